// The cashbook categories list and its editor, driven through their forms.

#include "testhub.h"

#include "money/catform.h"
#include "money/paymentdialog.h"
#include "money/recurdialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace {
void retype(QDialog *d, const char *name, const QString &text)
{
    auto *edit = child<QLineEdit>(d, name);
    edit->clear();
    typeText(edit, text);
}
} // namespace

class TestCategories : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listShowsAllCategoriesWithTheirKind();
    void newCategoryIsAnExpenseStoredAsTyped();
    void cancelledEditorsChangeNothing();
    void systemCategoriesAreProtected_data();
    void systemCategoriesAreProtected();
    void otherCategoriesCanBeDeleted();
    void categoryOfCashbookEntriesIsKept();
    void names_data();
    void names();
    void searchWithAQuote();
    void editorsNewButtonsNeedTheCashbookRight_data();
    void editorsNewButtonsNeedTheCashbookRight();

private:
    void selectCategory(int catid) { selectRow(view, 0, catid, 1); }

    TestHub *t = nullptr;
    CatForm *form = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
};

void TestCategories::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    QVERIFY(t->exec("insert into categories (catid, name, description, type) values (9300, 'O''Brien''s Fund', '', 1)"));
    model = t->hub->categoriesModel();
    // A search left behind by an earlier user of the shared model.
    model->setFilter("catid = 1");
    form = new CatForm(t->hub);
    view = child<QTableView>(form, "tableView");
}

void TestCategories::cleanup()
{
    delete form;
    delete t;
}

void TestCategories::listShowsAllCategoriesWithTheirKind()
{
    QCOMPARE(form->windowTitle(), QString("Cashbook Categories"));
    QCOMPARE(model->rowCount(), t->count("categories"));
    QList<int> shown;
    for (int column = 0; column < model->columnCount(); ++column)
        if (!view->isColumnHidden(column))
            shown << column;
    QCOMPARE(shown, QList<int>({1, 2, 3}));
    QVERIFY(child<QPushButton>(form, "pushButton_4")->isHidden());
    selectCategory(5);
    QCOMPARE(view->currentIndex().siblingAtColumn(3).data().toString(), QString("INCOME"));
    selectCategory(1);
    QCOMPARE(view->currentIndex().siblingAtColumn(3).data().toString(), QString("EXPENSE"));
}

void TestCategories::newCategoryIsAnExpenseStoredAsTyped()
{
    const int next = t->copy.scalar("select gen_id(GEN_CATEGORIES_ID, 0) from RDB$DATABASE").toInt() + 1;
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Cashbook Category Dialog"));
        QTest::keyClicks(child<QLineEdit>(d, "name"), " Snow Removal ");
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Winter");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar(QStringLiteral("select name from categories where catid = %1").arg(next)).toString(),
             QString(" Snow Removal "));
    QCOMPARE(t->copy.scalar(QStringLiteral("select type from categories where catid = %1").arg(next)).toInt(), 0);
}

void TestCategories::cancelledEditorsChangeNothing()
{
    const int rows = model->rowCount();
    ModalDriver driver;
    driver.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "name"), "Ghost"); });
    clickButton(form, "pushButton");
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(t->count("categories"), rows);

    // An OK refused by No leaves the new type in the row; Cancel must take it back.
    selectCategory(6);
    driver.ok([](QDialog *d) {
        QVERIFY(child<QRadioButton>(d, "incomeRadio")->isChecked());
        child<QRadioButton>(d, "expenseRadio")->setChecked(true);
        retype(d, "name", "Garage");
    });
    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 1);
    selectCategory(6);
    QCOMPARE(view->currentIndex().siblingAtColumn(3).data().toString(), QString("INCOME"));
    QCOMPARE(view->currentIndex().siblingAtColumn(1).data().toString(), QString("Parking"));
    QCOMPARE(t->copy.scalar("select type from categories where catid = 6").toInt(), 1);

    // Opened again, the editor still sees an income category.
    bool income = false;
    driver.cancel([&](QDialog *d) { income = child<QRadioButton>(d, "incomeRadio")->isChecked(); });
    clickButton(form, "pushButton_2");
    QVERIFY(income);
}

void TestCategories::systemCategoriesAreProtected_data()
{
    QTest::addColumn<int>("catid");
    QTest::addColumn<QString>("button");
    QTest::newRow("edit Rent") << 5 << "pushButton_2";
    QTest::newRow("delete Rent") << 5 << "pushButton_3";
    QTest::newRow("edit Rent Late Fee") << 7 << "pushButton_2";
    QTest::newRow("delete Rent Late Fee") << 7 << "pushButton_3";
}

void TestCategories::systemCategoriesAreProtected()
{
    QFETCH(int, catid);
    QFETCH(QString, button);
    const QString name = t->copy.scalar(QStringLiteral("select name from categories where catid = %1").arg(catid)).toString();
    ModalDriver driver;
    selectCategory(catid);
    clickButton(form, button.toLatin1().constData());
    QCOMPARE(driver.handled, 0);
    QCOMPARE(MsgBox::shownTexts(), QStringList("This is a system defined category. You cannot modify it!"));
    QCOMPARE(t->copy.scalar(QStringLiteral("select name from categories where catid = %1").arg(catid)).toString(), name);
}

void TestCategories::otherCategoriesCanBeDeleted()
{
    selectCategory(9300);
    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count("categories where catid = 9300"), 1);
    selectCategory(9300);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count("categories where catid = 9300"), 0);
    QCOMPARE(MsgBox::shownTexts(), QStringList({"Are you sure you want to delete the selected record?",
                                                "Are you sure you want to delete the selected record?"}));
}

// Parking (6) is the category of the parking income payments posted in the demonstration cashbook.
void TestCategories::categoryOfCashbookEntriesIsKept()
{
    const int entries = t->count("cashbook where catid = 6");
    QVERIFY(entries > 0);
    selectCategory(6);
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(),
             QStringList("This category cannot be deleted: entries in the cashbook are booked under it."));
    QCOMPARE(t->count("categories where catid = 6"), 1);
    QCOMPARE(t->count("cashbook where catid = 6"), entries);
}

void TestCategories::names_data()
{
    QTest::addColumn<int>("catid");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank") << 0 << "   " << "The category name field cannot be blank";
    QTest::newRow("another's name in other case") << 0 << "  REPAIRS " << "The new category name you have entered already exists!";
    QTest::newRow("another's name with quotes") << 6 << "o'brien's fund" << "The new category name you have entered already exists!";
    QTest::newRow("another's name with a dotted capital I") << 0 << "PARKİNG" << "The new category name you have entered already exists!";
    QTest::newRow("new name with a quote") << 0 << "Tenants' Party" << "";
    QTest::newRow("own name in other case") << 6 << "PARKING" << "";
    QTest::newRow("own name unchanged") << 9300 << "O'Brien's Fund" << "";
}

void TestCategories::names()
{
    QFETCH(int, catid);
    QFETCH(QString, name);
    QFETCH(QString, message);
    ModalDriver driver;
    driver.ok([&](QDialog *d) { retype(d, "name", name); });
    if (message.isEmpty())
        MsgBox::setNextAnswer(QMessageBox::Yes);
    if (catid == 0) {
        clickButton(form, "pushButton");
    } else {
        selectCategory(catid);
        clickButton(form, "pushButton_2");
    }
    if (message.isEmpty()) {
        QCOMPARE(driver.stayedOpen, 0);
        QCOMPARE(t->count(QStringLiteral("categories where name = '%1'").arg(QString(name).replace("'", "''"))), 1);
        QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));
    } else {
        QCOMPARE(driver.stayedOpen, 1);
        QCOMPARE(MsgBox::shownTexts().value(0), message);
        QCOMPARE(t->count(QStringLiteral("categories where name = '%1'").arg(QString(name).replace("'", "''"))), 0);
    }
}

void TestCategories::searchWithAQuote()
{
    auto *criteria = child<QLineEdit>(form, "lineEdit");
    QTest::keyClicks(criteria, "o'bri");
    waitForSearch(form);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 0).data().toInt(), 9300);
    child<QComboBox>(form, "comboBox")->setCurrentIndex(1);
    criteria->clear();
    QTest::keyClicks(criteria, "COLLECTED");
    waitForSearch(form);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 0).data().toInt(), 5);
    clickButton(form, "pushButton_7");
    QCOMPARE(model->rowCount(), t->count("categories"));
    QCOMPARE(criteria->text(), QString("COLLECTED"));
}

void TestCategories::editorsNewButtonsNeedTheCashbookRight_data()
{
    QTest::addColumn<QString>("editor");
    QTest::newRow("recurring bill") << "RecurDialog";
    QTest::newRow("one-time charge, from Collect Rent") << "AddChargeDialog";
}

void TestCategories::editorsNewButtonsNeedTheCashbookRight()
{
    QFETCH(QString, editor);
    // A clerk who collects rent and keeps the apartments, but may not touch the cashbook.
    t->hub->setCanReceivePayments(true);
    t->hub->setCanManageApartments(true);
    const int categories = t->count("categories");
    // The categories window, should it open, is counted as unexpected and cancelled.
    ModalDriver driver;
    if (editor == "RecurDialog") {
        RecurModel *bills = t->hub->recurModel();
        const int row = bills->rowCount();
        QVERIFY(bills->insertRows(row, 1));
        RecurDialog bill(t->hub, row);
        bill.show();
        clickButton(&bill, "pushButton");
        bills->revertAll();
    } else {
        PaymentDialog collect(t->hub);
        collect.loadTenant(3);
        collect.show();
        driver.cancel([](QDialog *charge) { clickButton(charge, "pushButton"); });
        clickButton(&collect, "pushButton");
    }
    QCOMPARE(driver.unexpected, 0);
    QCOMPARE(MsgBox::shownTexts(), QStringList("You are not permitted to access this area"));
    QCOMPARE(t->count("categories"), categories);
}

VELLORAN_TEST_MAIN(TestCategories)
#include "tst_categories.moc"
