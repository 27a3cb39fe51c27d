#include "testhub.h"

#include "datahub/listformbase.h"
#include "upkeep/vendordialog.h"
#include "upkeep/vendorsform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

class TestVendors : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void search_data();
    void search();
    void fieldChangeWaitsForTheText();
    void newVendorKeepsATypedTrade();
    void cancelledNewVendorLeavesNoRow();
    void blankNameIsRefused();
    void storedTradeOutsideTheListIsShown();
    void deleteAsksAgainWhenMaintenanceNamesTheVendor_data();
    void deleteAsksAgainWhenMaintenanceNamesTheVendor();
    void vendorPaidInTheCashbookIsKept();
    void failedDeleteLeavesTheMaintenanceRecords_data();
    void failedDeleteLeavesTheMaintenanceRecords();
    void commandsKeepTheChosenVendorWhileTheSearchWaits();
    void longListReachesItsLastRowAfterADelete();

private:
    void selectVid(int vid);
    void addZedVendors();

    TestHub *t = nullptr;
    VendorsForm *form = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
};

void TestVendors::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    QVERIFY(t->exec("insert into vendors (vid, name, contact, type) values (9800, 'O''Neil Roofing', 'Oona', 'ROOFING')"));
    QVERIFY(t->exec("insert into vendors (vid, name, contact, type) values (9801, 'Plain Paint', 'Pat', 'PAINTING')"));
    QVERIFY(t->exec("insert into maintenance (id, apid, description, vendor) values (9810, 1, 'Roof leak', 9800)"));
    model = t->hub->vendorsModel();
    model->setFilter(QString());
    form = new VendorsForm(t->hub);
    view = child<QTableView>(form, "tableView");
}

void TestVendors::cleanup()
{
    delete form;
    delete t;
}

void TestVendors::selectVid(int vid)
{
    selectRow(view, 0, vid, 1);
}

// 300 vendors more, "Zed Vendor 001" to "Zed Vendor 300" (keys 20001 to 20300): more than the list
// reads at once.
void TestVendors::addZedVendors()
{
    QVERIFY(t->exec("execute block as declare i int = 1; begin while (i <= 300) do begin "
                    "insert into vendors (vid, name, contact) values (20000 + :i, 'Zed Vendor ' || lpad(:i, 3, '0'), "
                    "'Zed'); i = i + 1; end end"));
    model->setFilter(QString());
    while (model->canFetchMore())
        model->fetchMore();
}

void TestVendors::search_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("criteria");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QList<int>>("found");
    QTest::newRow("quote in a name") << 0 << "O'NEIL" << "LOWER(Name) like LOWER('%O''NEIL%') ESCAPE '\\'" << QList<int>{9800};
    QTest::newRow("blanks only show all") << 0 << "   " << "" << QList<int>();
    // A typed "_" is looked for as itself: no trade is spelt that way.
    QTest::newRow("wildcard typed") << 6 << "paint_ng" << "LOWER(type) like LOWER('%paint\\_ng%') ESCAPE '\\'" << QList<int>{-1};
    QTest::newRow("contact") << 1 << "pat" << "LOWER(Contact) like LOWER('%pat%') ESCAPE '\\'" << QList<int>{9801};
}

void TestVendors::search()
{
    QFETCH(int, field);
    QFETCH(QString, criteria);
    QFETCH(QString, filter);
    QFETCH(QList<int>, found);
    child<QComboBox>(form, "comboBox")->setCurrentIndex(field);
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), criteria);
    waitForSearch(form);
    QCOMPARE(model->filter(), filter);
    if (found.isEmpty()) {
        QCOMPARE(model->rowCount(), t->count("vendors"));
        return;
    }
    if (found == QList<int>{-1}) {
        QCOMPARE(model->rowCount(), 0);
        return;
    }
    QList<int> keys;
    for (int row = 0; row < model->rowCount(); ++row)
        keys << model->index(row, 0).data().toInt();
    QCOMPARE(keys, found);
}

void TestVendors::fieldChangeWaitsForTheText()
{
    auto *criteria = child<QLineEdit>(form, "lineEdit");
    QTest::keyClicks(criteria, "pa");
    waitForSearch(form);
    const QString byName = model->filter();
    child<QComboBox>(form, "comboBox")->setCurrentIndex(1);
    QCOMPARE(model->filter(), byName);

    clickButton(form, "pushButton_7");
    QCOMPARE(model->filter(), QString());
    QCOMPARE(criteria->text(), QString("pa"));
    QTest::keyClicks(criteria, "t");
    waitForSearch(form);
    QCOMPARE(model->filter(), QString("LOWER(Contact) like LOWER('%pat%') ESCAPE '\\'"));
}

void TestVendors::newVendorKeepsATypedTrade()
{
    const int before = t->copy.scalar("select gen_id(GEN_VENDORS_ID, 0) from RDB$DATABASE").toInt();
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Vendor Form"));
        auto *trade = child<QComboBox>(d, "vendorType");
        QCOMPARE(trade->count(), 31);
        QCOMPARE(trade->itemText(24), QString("OTHER"));
        QTest::keyClicks(child<QLineEdit>(d, "name"), "Glassworks");
        QTest::keyClicks(child<QLineEdit>(d, "tel"), "555-0101");
        trade->setCurrentText("GLAZIER");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select type from vendors where name = 'Glassworks'").toString(), QString("GLAZIER"));
    QCOMPARE(t->copy.scalar("select tel from vendors where name = 'Glassworks'").toString(), QString("555-0101"));
    QVERIFY(t->copy.scalar("select vid from vendors where name = 'Glassworks'").toInt() > before);
}

void TestVendors::cancelledNewVendorLeavesNoRow()
{
    const int rows = model->rowCount();
    ModalDriver driver;
    driver.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "name"), "Never"); });
    clickButton(form, "pushButton");
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(t->count("vendors where name = 'Never'"), 0);
}

void TestVendors::blankNameIsRefused()
{
    selectVid(9801);
    ModalDriver driver;
    driver.ok([](QDialog *d) { child<QLineEdit>(d, "name")->setText("  "); });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList("The name field cannot be blank"));
    QCOMPARE(t->copy.scalar("select name from vendors where vid = 9801").toString(), QString("Plain Paint"));
}

void TestVendors::storedTradeOutsideTheListIsShown()
{
    selectVid(9800);
    QString shown;
    ModalDriver driver;
    driver.cancel([&](QDialog *d) { shown = child<QComboBox>(d, "vendorType")->currentText(); });
    clickButton(form, "pushButton_2");
    QCOMPARE(shown, QString("ROOFING"));
}

void TestVendors::deleteAsksAgainWhenMaintenanceNamesTheVendor_data()
{
    QTest::addColumn<int>("vid");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("deleted");
    const auto yes = QMessageBox::Yes;
    const auto no = QMessageBox::No;
    QTest::newRow("named, kept at the second question") << 9800 << QList<int>{yes, no} << 2 << false;
    QTest::newRow("named, confirmed twice") << 9800 << QList<int>{yes, yes} << 2 << true;
    QTest::newRow("named, kept at the first question") << 9800 << QList<int>{no} << 1 << false;
    QTest::newRow("not named") << 9801 << QList<int>{yes} << 1 << true;
}

void TestVendors::deleteAsksAgainWhenMaintenanceNamesTheVendor()
{
    QFETCH(int, vid);
    QFETCH(QList<int>, answers);
    QFETCH(int, questions);
    QFETCH(bool, deleted);
    selectVid(vid);
    for (int answer : answers)
        MsgBox::setNextAnswer(QMessageBox::StandardButton(answer));
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts().size(), questions);
    QCOMPARE(MsgBox::shownTexts().constFirst(), QString("Are you sure you want to delete the selected record?"));
    if (questions == 2)
        QCOMPARE(MsgBox::shownTexts().at(1), QString("This vendor has been assigned to some maintenance records. Are "
                                                     "you sure you want to delete this record?"));
    QCOMPARE(t->count(QStringLiteral("vendors where vid = %1").arg(vid)), deleted ? 0 : 1);
    // The maintenance record stays; it keeps its vendor unless the vendor went.
    QCOMPARE(t->count("maintenance where id = 9810"), 1);
    QCOMPARE(t->count("maintenance where vendor = 9800"), deleted && vid == 9800 ? 0 : 1);
    QCOMPARE(t->count("maintenance where id = 9810 and vendor is null"), deleted && vid == 9800 ? 1 : 0);
}

void TestVendors::vendorPaidInTheCashbookIsKept()
{
    QVERIFY(t->exec("insert into cashbook (accid, tdate, catid, description, expense, income, vid) values "
                    "(9820, '2026-11-02', 1, 'Touch-up', 80, 0, 9801)"));
    selectVid(9801);
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(),
             QStringList("This vendor cannot be deleted: entries in the cashbook name it as their payee."));
    QCOMPARE(t->count("vendors where vid = 9801"), 1);
}

void TestVendors::failedDeleteLeavesTheMaintenanceRecords_data()
{
    QTest::addColumn<QStringList>("failure");
    QTest::addColumn<QStringList>("shown");
    const QString first = "Are you sure you want to delete the selected record?";
    const QString second = "This vendor has been assigned to some maintenance records. Are you sure you want to "
                           "delete this record?";
    QTest::newRow("the question's check fails")
        << QStringList("alter table maintenance alter column vendor to vendor_gone")
        << QStringList{first, "The database could not be checked, so nothing was changed. Please try again."};
    QTest::newRow("the vendor's delete fails")
        << QStringList{"create exception vendor_kept 'kept'",
                       "create trigger vendors_kept for vendors before delete as begin exception vendor_kept; end"}
        << QStringList{first, second, "Unable to delete record"};
}

void TestVendors::failedDeleteLeavesTheMaintenanceRecords()
{
    QFETCH(QStringList, failure);
    QFETCH(QStringList, shown);
    for (const QString &sql : failure)
        QVERIFY2(t->exec(sql), qPrintable(sql));
    selectVid(9800);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(), shown);
    QCOMPARE(t->count("vendors where vid = 9800"), 1);
    if (failure.size() > 1)
        QCOMPARE(t->count("maintenance where id = 9810 and vendor = 9800"), 1);
}

void TestVendors::commandsKeepTheChosenVendorWhileTheSearchWaits()
{
    addZedVendors();
    // The real boxes, so that a question runs its own event loop as it does for the clerk.
    MsgBox::setTestMode(false);
    const auto yesOnceTheSearchIsDue = [](QDialog *box) {
        QTest::qWait(3 * ListFormBase::SearchDelayMs);
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
    };
    auto *criteria = child<QLineEdit>(form, "lineEdit");

    // Delete: the clerk chose 006 and typed on before the list followed.
    selectVid(20006);
    QTest::keyClicks(criteria, "zed vendor 2");
    {
        ModalDriver deleting;
        deleting.ok(yesOnceTheSearchIsDue);
        clickButton(form, "pushButton_3");
        QCOMPARE(deleting.handled, 1);
    }
    QCOMPARE(t->count("vendors where vid = 20006"), 0);
    QCOMPARE(t->count("vendors where name like 'Zed Vendor 2%'"), 100);
    QCOMPARE(t->count("vendors where name like 'Zed Vendor%'"), 299);
    // The search still follows the typing once the command is done.
    QTRY_COMPARE(model->filter(), ListFormBase::likeFilter("Name", "zed vendor 2"));

    // Edit: what was typed in the editor reaches the vendor the editor was opened on.
    criteria->clear();
    waitForSearch(form);
    selectVid(20007);
    QTest::keyClicks(criteria, "zed vendor 2");
    ModalDriver editing;
    editing.ok([](QDialog *editor) {
        QTest::qWait(3 * ListFormBase::SearchDelayMs);
        auto *contact = child<QLineEdit>(editor, "contactName");
        contact->clear();
        QTest::keyClicks(contact, "Zara");
    });
    editing.ok(yesOnceTheSearchIsDue);
    clickButton(form, "pushButton_2");
    QCOMPARE(editing.stayedOpen, 0);
    QCOMPARE(editing.unexpected, 0);
    QCOMPARE(t->copy.scalar("select contact from vendors where vid = 20007").toString(), QString("Zara"));
    QCOMPARE(t->count("vendors where contact = 'Zara'"), 1);
}

void TestVendors::longListReachesItsLastRowAfterADelete()
{
    addZedVendors();
    selectVid(9801);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count("vendors where vid = 9801"), 0);
    while (model->canFetchMore())
        model->fetchMore();
    QCOMPARE(model->rowCount(), t->count("vendors"));
    QVERIFY(model->rowCount() > 300);
}

VELLORAN_TEST_MAIN(TestVendors)
#include "tst_vendors.moc"
