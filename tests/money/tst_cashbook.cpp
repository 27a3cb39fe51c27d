#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "money/cashbookform.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QSqlError>
#include <QTableView>
#include <QTextEdit>

// Two entries on a day of their own, one naming a vendor with a quote in its name.
static const char *const fixture[] = {
    "insert into vendors (vid, name) values (9900, 'D''Arcy Hauling')",
    "insert into cashbook (accid, tdate, catid, description, expense, income, vid, apid, comments) values "
    "(9910, '2031-07-04', 1, 'Gutter repair', 310.25, 0, 9900, 1, 'north side')",
    "insert into cashbook (accid, tdate, catid, description, expense, income, vid, apid, comments) values "
    "(9911, '2031-07-04', 11, 'Water recharge', 0, 42.50, 424242, 1, '')",
};

class TestCashbook : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void categoryDecidesIncomeOrExpense_data();
    void categoryDecidesIncomeOrExpense();
    void newEntryOpensWithItsDefaults();
    void categoryAddedFromTheEditorIsOfferedAtOnce();
    void vendorAddedAndSuitePickedFromTheEditor();
    void typedVendorMustBeOneOfTheList_data();
    void typedVendorMustBeOneOfTheList();
    void vendorAddedFromTheEditorGoesOnlyWithTheEntry_data();
    void vendorAddedFromTheEditorGoesOnlyWithTheEntry();
    void editShowsTheAmountAndForgetsAVanishedVendor();
    void editorRefusals_data();
    void editorRefusals();
    void expenseReadAsTyped_data();
    void expenseReadAsTyped();
    void refusedEntryComesBackAsTyped();
    void totalsCoverTheWholeCashbook();
    void emptyCashbookTotalsZero();
    void search_data();
    void search();
    void suiteAndDateSearchesListTheirEntriesNewestFirst_data();
    void suiteAndDateSearchesListTheirEntriesNewestFirst();
    void invalidDateLeavesTheList();
    void deleteKeepsThePositionOrMovesUp();
    void entryPostedByAPaymentKeepsItsMoney();

private:
    QList<int> listedKeys();
    void selectAccid(int accid);

    TestHub *t = nullptr;
    CashbookForm *form = nullptr;
    QTableView *view = nullptr;
    QSqlDoubleQueryModel *list = nullptr;
};

void TestCashbook::init()
{
    Today::set(QDate(2026, 3, 14));
    t = new TestHub;
    QVERIFY(t->opened);
    for (const char *sql : fixture)
        QVERIFY2(t->exec(sql), sql);
    // The clerk of the cashbook, who may also keep the vendors and open the categories from its editor.
    t->hub->setCanUseCashbook(true);
    t->hub->setCanManageApartments(true);
    t->hub->cashbookModel()->setFilter(QString());
    form = new CashbookForm(t->hub);
    view = child<QTableView>(form, "tableView");
    list = t->hub->cashbookQueryModel();
}

void TestCashbook::cleanup()
{
    delete form;
    delete t;
    Today::reset();
    QLocale::setDefault(QLocale::system());
}

QList<int> TestCashbook::listedKeys()
{
    while (list->canFetchMore())
        list->fetchMore();
    QList<int> keys;
    for (int row = 0; row < list->rowCount(); ++row)
        keys << list->index(row, 8).data().toInt();
    return keys;
}

void TestCashbook::selectAccid(int accid)
{
    listedKeys();
    selectRow(view, 8, accid, 1);
}

void TestCashbook::categoryDecidesIncomeOrExpense_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("vendor");
    QTest::addColumn<double>("expense");
    QTest::addColumn<double>("income");
    QTest::addColumn<int>("vid");
    QTest::newRow("expense category, listed vendor") << "Repairs" << "D'Arcy Hauling" << 12.5 << 0.0 << 9900;
    QTest::newRow("income category, separator") << "Parking" << "----------" << 0.0 << 12.5 << -1;
}

void TestCashbook::categoryDecidesIncomeOrExpense()
{
    QFETCH(QString, category);
    QFETCH(QString, vendor);
    QFETCH(double, expense);
    QFETCH(double, income);
    QFETCH(int, vid);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        auto *categories = child<QComboBox>(d, "category");
        // The first category first, then the chosen one: the type follows each change.
        categories->setCurrentIndex(categories->findText(category));
        QCOMPARE(child<QRadioButton>(d, "income")->isChecked(), income > 0);
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Entry of " + category);
        QTest::keyClicks(child<QLineEdit>(d, "amount"), "12.50");
        auto *vendors = child<QComboBox>(d, "vendor");
        vendors->setCurrentIndex(vendors->findText(vendor));
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    const QString where = QStringLiteral(" from cashbook where description = 'Entry of %1'").arg(category);
    QCOMPARE(t->copy.scalar("select expense" + where).toDouble(), expense);
    QCOMPARE(t->copy.scalar("select income" + where).toDouble(), income);
    QCOMPARE(t->copy.scalar("select vid" + where).toInt(), vid);
    QCOMPARE(t->copy.scalar("select tdate" + where).toDate(), QDate(2026, 3, 14));
    QCOMPARE(t->copy.scalar("select t.name from cashbook c join categories t on t.catid = c.catid where "
                            "c.description = 'Entry of " + category + "'")
                 .toString(),
             category);
    // The new entry is listed and current.
    const int accid = t->copy.scalar("select accid" + where).toInt();
    QCOMPARE(list->index(view->currentIndex().row(), 8).data().toInt(), accid);
}

void TestCashbook::newEntryOpensWithItsDefaults()
{
    ModalDriver driver;
    driver.cancel([](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("CashBook Form"));
        QCOMPARE(child<QLineEdit>(d, "date")->text(), ShortDate::toText(QDate(2026, 3, 14)));
        QCOMPARE(child<QComboBox>(d, "vendor")->currentText(), QString("NONE"));
        QCOMPARE(child<QLineEdit>(d, "amount")->text(), QString());
        QCOMPARE(child<QLineEdit>(d, "suite")->text(), QString());
        QVERIFY(child<QComboBox>(d, "category")->currentIndex() >= 0);
    });
    const int stored = t->count("cashbook");
    clickButton(form, "pushButton");
    QCOMPARE(driver.handled, 1);
    QCOMPARE(t->count("cashbook"), stored);
    QVERIFY(!t->hub->cashbookModel()->isDirty());
}

void TestCashbook::categoryAddedFromTheEditorIsOfferedAtOnce()
{
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Laundry coins");
        QTest::keyClicks(child<QLineEdit>(d, "amount"), "7.25");
        clickButton(d, "pushButton");
        auto *categories = child<QComboBox>(d, "category");
        categories->setCurrentIndex(categories->findText("Quayside Laundry"));
        QVERIFY(child<QRadioButton>(d, "income")->isChecked());
    });
    // The categories window, and on it the new category's editor.
    driver.ok([](QDialog *d) { clickButton(d, "pushButton"); });
    driver.ok([](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "name"), "Quayside Laundry");
        child<QRadioButton>(d, "incomeRadio")->setChecked(true);
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select t.name from cashbook c join categories t on t.catid = c.catid where "
                            "c.description = 'Laundry coins'")
                 .toString(),
             QString("Quayside Laundry"));
    QCOMPARE(t->copy.scalar("select income from cashbook where description = 'Laundry coins'").toDouble(), 7.25);
}

void TestCashbook::vendorAddedAndSuitePickedFromTheEditor()
{
    QVERIFY(t->exec("insert into apartments (apid, bid, suite, agreeid) values (9920, 1, 'Z-9', -1)"));
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "description"), "New glass");
        QTest::keyClicks(child<QLineEdit>(d, "amount"), "88");
        clickButton(d, "pushButton_3");
        QCOMPARE(child<QComboBox>(d, "vendor")->currentText(), QString("Zephyr Glass"));
        clickButton(d, "pushButton_4");
        QCOMPARE(child<QLineEdit>(d, "suite")->text(), QString("Z-9"));
    });
    driver.ok([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "name"), "Zephyr Glass"); });
    driver.ok([](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit"), "z-9");
        waitForSearch(d);
        auto *view = child<QTableView>(d, "tableView");
        view->setCurrentIndex(view->model()->index(0, 2));
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select v.name from cashbook c join vendors v on v.vid = c.vid where "
                            "c.description = 'New glass'")
                 .toString(),
             QString("Zephyr Glass"));
    QCOMPARE(t->copy.scalar("select apid from cashbook where description = 'New glass'").toInt(), 9920);
}

void TestCashbook::typedVendorMustBeOneOfTheList_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<int>("vid"); // 0: refused, nothing stored
    QTest::newRow("a name no vendor has") << "Someone New" << false << 0;
    // Enter puts the typed name into the combo's list, where it still names no vendor.
    QTest::newRow("a name no vendor has, with Enter") << "Someone Else" << true << 0;
    QTest::newRow("a listed vendor's name") << "D'Arcy Hauling" << false << 9900;
    QTest::newRow("nothing") << "" << false << -1;
}

void TestCashbook::typedVendorMustBeOneOfTheList()
{
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(int, vid);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Hinges");
        QLineEdit *vendor = child<QComboBox>(d, "vendor")->lineEdit();
        vendor->clear();
        QTest::keyClicks(vendor, typed);
        if (enter)
            QTest::keyClick(vendor, Qt::Key_Return);
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, vid == 0 ? 1 : 0);
    // Enter is also the form's OK: the name is refused then, and again on OK.
    QCOMPARE(MsgBox::shownTexts().constLast().startsWith("\"" + typed + "\" is not one of the vendors."), vid == 0);
    QCOMPARE(t->copy.scalar("select coalesce(max(vid), 0) from cashbook where description = 'Hinges'").toInt(), vid);
}

void TestCashbook::vendorAddedFromTheEditorGoesOnlyWithTheEntry_data()
{
    QTest::addColumn<bool>("vendorsRight");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("entry cancelled") << true << QStringList("Are you sure you want to submit data");
    QTest::newRow("no right to the vendors") << false << QStringList("You are not permitted to access this area");
}

void TestCashbook::vendorAddedFromTheEditorGoesOnlyWithTheEntry()
{
    QFETCH(bool, vendorsRight);
    QFETCH(QStringList, messages);
    t->hub->setCanManageApartments(vendorsRight);
    t->hub->vendorsModel()->select();
    const int vendors = t->count("vendors");
    bool offered = false;
    ModalDriver driver;
    driver.cancel([&](QDialog *d) {
        clickButton(d, "pushButton_3");
        offered = child<QComboBox>(d, "vendor")->findText("Zephyr Glass") >= 0;
    });
    if (vendorsRight) {
        MsgBox::setNextAnswer(QMessageBox::Yes);
        driver.ok([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "name"), "Zephyr Glass"); });
    }
    clickButton(form, "pushButton");
    QCOMPARE(driver.unexpected, 0);
    QCOMPARE(offered, vendorsRight);
    QCOMPARE(MsgBox::shownTexts(), messages);
    QCOMPARE(t->count("vendors"), vendors);
    QCOMPARE(t->hub->vendorsModel()->rowCount(), vendors);
}

void TestCashbook::editShowsTheAmountAndForgetsAVanishedVendor()
{
    selectAccid(9911);
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(child<QLineEdit>(d, "amount")->text(), QString("42.50"));
        QCOMPARE(child<QComboBox>(d, "category")->currentText(), QString("Water"));
        QVERIFY(child<QRadioButton>(d, "income")->isChecked());
        QCOMPARE(child<QComboBox>(d, "vendor")->currentIndex(), -1);
        QVERIFY(!child<QLineEdit>(d, "suite")->text().isEmpty());
        child<QLineEdit>(d, "amount")->setText("40.00");
        child<QTextEdit>(d, "notes")->setPlainText(QString(700, QLatin1Char('n')));
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select income from cashbook where accid = 9911").toDouble(), 40.0);
    QCOMPARE(t->copy.scalar("select vid from cashbook where accid = 9911").toInt(), -1);
    QCOMPARE(t->copy.scalar("select comments from cashbook where accid = 9911").toString(), QString(700, 'n'));
    QCOMPARE(t->hub->cashbookModel()->filter(), QString());

    // The comments and vendor of an entry come back as they were stored.
    selectAccid(9910);
    driver.cancel([](QDialog *d) {
        QCOMPARE(child<QComboBox>(d, "vendor")->currentText(), QString("D'Arcy Hauling"));
        QCOMPARE(child<QTextEdit>(d, "notes")->toPlainText(), QString("north side"));
        QVERIFY(child<QRadioButton>(d, "expense")->isChecked());
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.handled, 2);
}

void TestCashbook::editorRefusals_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("message");
    QTest::newRow("date checked first") << " " << "" << "The date field cannot be blank";
    QTest::newRow("blank description") << ShortDate::toText(QDate(2026, 3, 1)) << "  "
                                       << "The description field cannot be blank";
    QTest::newRow("not a date") << "31/31/x" << "Stamps" << "The date you have enetered isn't valid!";
}

void TestCashbook::editorRefusals()
{
    QFETCH(QString, date);
    QFETCH(QString, description);
    QFETCH(QString, message);
    const int stored = t->count("cashbook");
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        child<QLineEdit>(d, "date")->setText(date);
        child<QLineEdit>(d, "description")->setText(description);
    });
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    QCOMPARE(t->count("cashbook"), stored);
}

void TestCashbook::expenseReadAsTyped_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("expense");
    QTest::newRow("German cents") << "de_DE" << "12,50" << 12.5;
    QTest::newRow("German grouping") << "de_DE" << "1.325,00" << 1325.0;
    QTest::newRow("US grouping") << "en_US" << "1,175.55" << 1175.55;
    QTest::newRow("German point") << "de_DE" << "12.50" << -1.0;
    QTest::newRow("decimal sign alone") << "en_US" << "." << -1.0;
    QTest::newRow("three places") << "en_US" << "12.505" << -1.0;
}

void TestCashbook::expenseReadAsTyped()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(double, expense);
    QLocale::setDefault(QLocale(locale));
    const int stored = t->count("cashbook");
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        auto *categories = child<QComboBox>(d, "category");
        categories->setCurrentIndex(categories->findText("Repairs"));
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Typed repair");
        QTest::keyClicks(child<QLineEdit>(d, "amount"), typed);
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    if (expense < 0) {
        QCOMPARE(driver.stayedOpen, 1);
        QCOMPARE(MsgBox::shownTexts(),
                 QStringList(QStringLiteral("\"%1\" is not an amount. Type amounts as in %2.")
                                 .arg(typed, QLocale().toString(1234.5, 'f', 2))));
        QCOMPARE(t->count("cashbook"), stored);
        return;
    }
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select expense from cashbook where description = 'Typed repair'").toDouble(), expense);

    // Opened again it shows the amount as typed, and OK stores it unchanged.
    QString shown;
    selectAccid(t->copy.scalar("select accid from cashbook where description = 'Typed repair'").toInt());
    ModalDriver again;
    again.ok([&](QDialog *d) { shown = child<QLineEdit>(d, "amount")->text(); });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_2");
    QCOMPARE(again.stayedOpen, 0);
    QCOMPARE(QLocale().toDouble(shown), expense);
    QCOMPARE(t->copy.scalar("select expense from cashbook where description = 'Typed repair'").toDouble(), expense);
}

void TestCashbook::refusedEntryComesBackAsTyped()
{
    const int stored = t->count("cashbook");
    // The database refuses the entry, in words of its own.
    QVERIFY(t->exec("create exception cashbook_closed 'the books are closed'"));
    QVERIFY(t->exec("create trigger cashbook_closed for cashbook before insert as begin exception cashbook_closed; end"));
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        auto *categories = child<QComboBox>(d, "category");
        categories->setCurrentIndex(categories->findText("Repairs"));
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Refused repair");
        QTest::keyClicks(child<QLineEdit>(d, "amount"), "86.40");
    });
    // The editor comes back with what was typed, and is cancelled.
    QString description;
    QString amount;
    driver.cancel([&](QDialog *d) {
        description = child<QLineEdit>(d, "description")->text();
        amount = child<QLineEdit>(d, "amount")->text();
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.handled, 2);
    QCOMPARE(driver.unexpected, 0);
    QCOMPARE(description, QString("Refused repair"));
    QCOMPARE(QLocale().toDouble(amount), 86.4);
    const QStringList told = MsgBox::shownTexts().filter("Unable to submit data");
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.constFirst().contains("the books are closed"), qPrintable(told.constFirst()));
    QCOMPARE(t->count("cashbook"), stored);
    QVERIFY(!t->hub->cashbookModel()->isDirty());
}

void TestCashbook::totalsCoverTheWholeCashbook()
{
    const auto sum = [this](const char *column) {
        return QString::number(t->copy.scalar(QStringLiteral("select sum(%1) from cashbook").arg(column)).toDouble(),
                               'f', 2);
    };
    // The rows are shown first, the totals as soon as they are read.
    form->show();
    QTRY_COMPARE(child<QLabel>(form, "expense")->text(), sum("expense"));
    QCOMPARE(child<QLabel>(form, "income")->text(), sum("income"));

    // A search narrows the list, not the totals; a change made elsewhere shows at the next list run.
    child<QComboBox>(form, "comboBox")->setCurrentIndex(1);
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), "gutter");
    waitForSearch(form);
    QCOMPARE(listedKeys(), QList<int>{9910});
    QCOMPARE(child<QLabel>(form, "expense")->text(), sum("expense"));
    QVERIFY(t->exec("update cashbook set expense = expense + 1000.10 where accid = 9910"));
    list->setQuery(list->query().lastQuery());
    QCOMPARE(child<QLabel>(form, "expense")->text(), sum("expense"));
}

void TestCashbook::emptyCashbookTotalsZero()
{
    form->show();
    QTRY_VERIFY(child<QLabel>(form, "income")->text() != QString("0.00"));
    QVERIFY(t->exec("delete from cashbook"));
    // As after a payment voided elsewhere: the list run again, and the totals with it.
    list->setQuery(list->query().lastQuery());
    clickButton(form, "pushButton_7");
    QCOMPARE(child<QLabel>(form, "expense")->text(), QString("0.00"));
    QCOMPARE(child<QLabel>(form, "income")->text(), QString("0.00"));
    QCOMPARE(list->rowCount(), 0);
}

void TestCashbook::search_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("criteria");
    QTest::addColumn<QList<int>>("found");
    QTest::newRow("vendor with a quote, any case") << 2 << "d'ARCY" << QList<int>{9910};
    QTest::newRow("category") << 0 << "wAtEr" << QList<int>();
    QTest::newRow("date in the short format") << 4 << ShortDate::toText(QDate(2031, 7, 4)) << QList<int>{9910, 9911};
}

void TestCashbook::search()
{
    QFETCH(int, field);
    QFETCH(QString, criteria);
    QFETCH(QList<int>, found);
    child<QComboBox>(form, "comboBox")->setCurrentIndex(field);
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), criteria);
    waitForSearch(form);
    QList<int> keys = listedKeys();
    if (found.isEmpty()) {
        // Every entry of the category, and only those.
        QCOMPARE(keys.size(), t->count("cashbook c join categories t on t.catid = c.catid where t.name = 'Water'"));
        QVERIFY(keys.contains(9911));
    } else {
        std::sort(keys.begin(), keys.end());
        QCOMPARE(keys, found);
    }

    // Clear lists everything again and keeps the criteria.
    clickButton(form, "pushButton_7");
    QCOMPARE(listedKeys().size(), t->count("cashbook"));
    QCOMPARE(child<QLineEdit>(form, "lineEdit")->text(), criteria);
}

void TestCashbook::suiteAndDateSearchesListTheirEntriesNewestFirst_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("criteria");
    // Searched apart, as the clerk searches: one apartment's suite, a part most suites share, and the
    // day of the office with the most entries (worked out in the test).
    QTest::newRow("suite of one apartment") << 3 << "304";
    QTest::newRow("part of every suite") << 3 << "0";
    QTest::newRow("part of some suites") << 3 << "20";
    QTest::newRow("busiest day") << 4 << QString();
}

void TestCashbook::suiteAndDateSearchesListTheirEntriesNewestFirst()
{
    QFETCH(int, field);
    QFETCH(QString, criteria);
    // What the office holds, read apart from the window: each entry's day and the suite of its apartment.
    struct Entry
    {
        QDate day;
        QString suite;
    };
    QMap<int, Entry> entries;
    QMap<QDate, int> perDay;
    {
        QSqlQuery rows(QSqlDatabase::database());
        QVERIFY(rows.exec("select c.accid, c.tdate, a.suite from cashbook c left join apartments a on a.apid = c.apid"));
        while (rows.next()) {
            entries.insert(rows.value(0).toInt(), {rows.value(1).toDate(), rows.value(2).toString()});
            ++perDay[rows.value(1).toDate()];
        }
    }
    QDate day;
    if (field == 4) {
        for (auto it = perDay.constBegin(); it != perDay.constEnd(); ++it)
            if (!day.isValid() || it.value() > perDay.value(day))
                day = it.key();
        QVERIFY(perDay.value(day) > 2);
        criteria = ShortDate::toText(day);
    }
    QList<int> expected;
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it) {
        const bool found = field == 4 ? it.value().day == day
                                      : it.value().suite.contains(criteria, Qt::CaseInsensitive);
        if (found)
            expected << it.key();
    }
    QVERIFY(!expected.isEmpty());

    child<QComboBox>(form, "comboBox")->setCurrentIndex(field);
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), criteria);
    waitForSearch(form);
    QList<int> keys = listedKeys();
    for (int row = 1; row < keys.size(); ++row)
        QVERIFY(entries.value(keys.at(row - 1)).day >= entries.value(keys.at(row)).day);
    std::sort(keys.begin(), keys.end());
    QCOMPARE(keys, expected);
}

void TestCashbook::invalidDateLeavesTheList()
{
    child<QComboBox>(form, "comboBox")->setCurrentIndex(4);
    const int all = listedKeys().size();
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), "4th of July");
    waitForSearch(form);
    QCOMPARE(listedKeys().size(), all);
    QCOMPARE(list->lastError().isValid(), false);
}

void TestCashbook::deleteKeepsThePositionOrMovesUp()
{
    child<QComboBox>(form, "comboBox")->setCurrentIndex(4);
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), ShortDate::toText(QDate(2031, 7, 4)));
    waitForSearch(form);
    QCOMPARE(listedKeys().size(), 2);
    view->setCurrentIndex(list->index(1, 1));
    const int last = list->index(1, 8).data().toInt();
    const int first = list->index(0, 8).data().toInt();

    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count(QStringLiteral("cashbook where accid = %1").arg(last)), 1);

    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count(QStringLiteral("cashbook where accid = %1").arg(last)), 0);
    QCOMPARE(listedKeys(), QList<int>{first});
    QCOMPARE(view->currentIndex().row(), 0);
    QCOMPARE(t->hub->cashbookModel()->filter(), QString());
}

// Entry 2 of the demonstration office is the rent income payment 1 posted.
void TestCashbook::entryPostedByAPaymentKeepsItsMoney()
{
    const auto stored = [this](const char *column) {
        return t->copy.scalar(QStringLiteral("select %1 from cashbook where accid = 2").arg(column));
    };
    const QVariant date = stored("tdate");
    const QVariant category = stored("catid");
    const double income = stored("income").toDouble();

    selectAccid(2);
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(), QStringList("This entry was posted by a rent payment and cannot be deleted here. "
                                               "To take it back, void the payment in the payment history."));
    QCOMPARE(t->count("cashbook where accid = 2"), 1);

    // The rest of the entry can still be corrected.
    MsgBox::clearShown();
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QVERIFY(child<QLabel>(d, "postedNote")->isVisible());
        QVERIFY(!child<QComboBox>(d, "category")->isEnabled());
        QTest::keyClicks(child<QLineEdit>(d, "amount"), "9");
        QTest::keyClicks(child<QLineEdit>(d, "date"), "9");
        QTest::keyClicks(child<QLineEdit>(d, "description"), " (check 1201)");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(stored("description").toString(), QString("Payment Collected: Rent (check 1201)"));
    QCOMPARE(stored("tdate"), date);
    QCOMPARE(stored("catid"), category);
    QCOMPARE(stored("income").toDouble(), income);
    QCOMPARE(stored("expense").toDouble(), 0.0);

    // An entry of the clerk's own shows no such note.
    selectAccid(9910);
    driver.cancel([](QDialog *d) {
        QVERIFY(!child<QLabel>(d, "postedNote")->isVisible());
        QVERIFY(child<QComboBox>(d, "category")->isEnabled());
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.handled, 2);
}

VELLORAN_TEST_MAIN(TestCashbook)
#include "tst_cashbook.moc"
