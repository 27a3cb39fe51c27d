#include "testhub.h"

#include "properties/ownersform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

class TestOwners : public QObject
{
    Q_OBJECT

private slots:
    void printRefusedWithoutTheReportsRight();
    void init();
    void cleanup();

    void searchByEachField_data();
    void searchByEachField();
    void clearAndPrintFollowTheList();
    void newOwnerIsStoredTrimmedWithAGeneratedKey();
    void savingAnOwnerKeepsItsFourDecimals();
    void editorRefusals_data();
    void editorRefusals();
    void ownerWithBlankCodeIsUpdatedNotDuplicated();
    void checksThatCannotBeMadeRefuse();
    void deleteRefusedWhileABuildingBelongsToTheOwner();

private:
    void selectCode(const QString &code);

    TestHub *t = nullptr;
    OwnersForm *form = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
};

void TestOwners::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    QVERIFY(t->exec("insert into owners (oid, code, name, address, city, state, zip, tel, email) values "
                    "(9100, 'ZQ1', 'Maeve O''Hara', '12 Quay Lane', 'Dunmore', 'Leinster', 'D9Q', '555-0199', "
                    "'maeve@hara.example')"));
    QVERIFY(t->exec("insert into owners (oid, code, name, email) values (9101, 'ZQ2', '100% Holdings', 'x@y.example')"));
    t->hub->setCanViewReports(true);
    form = new OwnersForm(t->hub);
    view = child<QTableView>(form, "tableView");
    model = t->hub->ownersModel();
    model->select();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

void TestOwners::cleanup()
{
    delete form;
    delete t;
}

void TestOwners::selectCode(const QString &code)
{
    selectRow(view, 1, code, 1);
}

void TestOwners::searchByEachField_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("Code") << 0 << "zq1";
    QTest::newRow("Name with apostrophe") << 1 << "o'hara";
    QTest::newRow("Email") << 2 << "@HARA.";
    QTest::newRow("Address") << 3 << "quay";
    QTest::newRow("City") << 4 << "dunm";
    QTest::newRow("State") << 5 << "leinst";
    QTest::newRow("Zip") << 6 << "d9q";
    QTest::newRow("Tel") << 7 << "0199";
}

void TestOwners::searchByEachField()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    child<QComboBox>(form, "comboBox")->setCurrentIndex(field);
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), typed);
    waitForSearch(form);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 1).data().toString(), QString("ZQ1"));
}

void TestOwners::clearAndPrintFollowTheList()
{
    auto *field = child<QComboBox>(form, "comboBox");
    auto *criteria = child<QLineEdit>(form, "lineEdit");
    field->setCurrentIndex(1);
    QTest::keyClicks(criteria, "100%");
    waitForSearch(form);
    QCOMPARE(model->rowCount(), 1);

    // Changing the field alone does not search again.
    field->setCurrentIndex(0);
    QCOMPARE(model->rowCount(), 1);

    clickButton(form, "pushButton_4");
    QSqlDoubleQueryModel *report = t->hub->reportQueryModel();
    QVERIFY(report->query().lastQuery().contains("where LOWER(o.Code) like LOWER('%100\\%%') ESCAPE '\\'"));

    clickButton(form, "pushButton_5");
    QCOMPARE(criteria->text(), QString("100%"));
    QCOMPARE(model->rowCount(), t->count("owners"));
    clickButton(form, "pushButton_4");
    QVERIFY(!report->query().lastQuery().contains("where"));
    QCOMPARE(report->rowCount(), t->count("owners o left join buildings b on o.oid = b.oid"));
}

void TestOwners::newOwnerIsStoredTrimmedWithAGeneratedKey()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    const int next = t->copy.scalar("select gen_id(GEN_OWNERS_ID, 0) from RDB$DATABASE").toInt() + 1;
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Owner Form"));
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit"), "  NEW7 ");
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), "Noor Haddad");
        child<QLineEdit>(d, "manval")->clear();
        QTest::keyClicks(child<QLineEdit>(d, "manval"), "7.1234");
        QTest::keyClicks(child<QLineEdit>(d, "bsb"), "062-000");
    });
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select oid from owners where code = 'NEW7'").toInt(), next);
    QCOMPARE(t->copy.scalar("select bsb from owners where code = 'NEW7'").toString(), QString("062-000"));
    // The percentage fields keep four decimals.
    QCOMPARE(t->copy.scalar("select manvalue from owners where code = 'NEW7'").toDouble(), 7.1234);
}

void TestOwners::savingAnOwnerKeepsItsFourDecimals()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(t->exec("update owners set manvalue = 7.1234, manfee = 2.5, resvalue = 1000.0625 where oid = 9100"));
    model->select();
    selectCode("ZQ1");
    QString shown;
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        shown = child<QLineEdit>(d, "manval")->text();
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_4"), "town");
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(shown, QString("7.1234"));
    QCOMPARE(t->copy.scalar("select city from owners where oid = 9100").toString(), QString("Dunmoretown"));
    QCOMPARE(t->copy.scalar("select manvalue from owners where oid = 9100").toDouble(), 7.1234);
    QCOMPARE(t->copy.scalar("select manfee from owners where oid = 9100").toDouble(), 2.5);
    QCOMPARE(t->copy.scalar("select resvalue from owners where oid = 9100").toDouble(), 1000.0625);
}

void TestOwners::editorRefusals_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("blanks only") << "   " << "The CODE field cannot be blank";
    QTest::newRow("code of another owner") << "ZQ2" << "The CODE that you have entered already exists. Enter a new CODE";
}

void TestOwners::editorRefusals()
{
    QFETCH(QString, code);
    QFETCH(QString, message);
    selectCode("ZQ1");
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        auto *edit = child<QLineEdit>(d, "lineEdit");
        edit->clear();
        QTest::keyClicks(edit, code);
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    QCOMPARE(t->count("owners where code = 'ZQ1'"), 1);
    QVERIFY(!model->isDirty());
}

void TestOwners::ownerWithBlankCodeIsUpdatedNotDuplicated()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(t->exec("insert into owners (oid, code, name) values (9102, '', 'No Code Yet')"));
    model->select();
    const int stored = t->count("owners");
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 0).data().toInt() == 9102)
            view->setCurrentIndex(model->index(row, 1));
    ModalDriver driver;
    driver.ok([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "lineEdit"), "FIXED"); });
    view->scrollTo(view->currentIndex());
    const QPoint cell = view->visualRect(view->currentIndex()).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(driver.handled, 1);
    QCOMPARE(t->count("owners"), stored);
    QCOMPARE(t->copy.scalar("select code from owners where oid = 9102").toString(), QString("FIXED"));
}

void TestOwners::deleteRefusedWhileABuildingBelongsToTheOwner()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(t->exec("insert into buildings (buildid, description, oid) values (9150, 'Quay House', 9100)"));
    selectCode("ZQ1");
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(),
             QStringList("You cannot delete this record because at least one building has been assigned to it"));
    QCOMPARE(t->count("owners where oid = 9100"), 1);

    QVERIFY(t->exec("update buildings set oid = 9101 where buildid = 9150"));
    MsgBox::clearShown();
    selectCode("ZQ1");
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to delete the selected record?"));
    QCOMPARE(t->count("owners where oid = 9100"), 0);
}

// A renamed column makes a check's statement fail as a damaged or locked table would: the check must
// refuse, not read the failure as "nothing in the way".
void TestOwners::checksThatCannotBeMadeRefuse()
{
    const QString refusal("The database could not be checked, so nothing was changed. Please try again.");
    QVERIFY(t->exec("alter table buildings alter column oid to oid_gone"));
    selectCode("ZQ1");
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(), QStringList(refusal));
    QCOMPARE(t->count("owners where oid = 9100"), 1);

    QVERIFY(t->exec("alter table owners alter column code to code_gone"));
    MsgBox::clearShown();
    const int owners = t->count("owners");
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit"), "NEW8");
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), "Ines Varga");
    });
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList(refusal));
    QCOMPARE(t->count("owners"), owners);
}

void TestOwners::printRefusedWithoutTheReportsRight()
{
    t->hub->setCanViewReports(false);
    QSqlDoubleQueryModel *report = t->hub->reportQueryModel();
    report->setQuery("select 1 from RDB$DATABASE");
    MsgBox::clearShown();
    clickButton(form, "pushButton_4");
    QCOMPARE(MsgBox::shownTexts(), QStringList("You are not permitted to access this area"));
    QCOMPARE(report->query().lastQuery(), QString("select 1 from RDB$DATABASE"));
}

VELLORAN_TEST_MAIN(TestOwners)
#include "tst_owners.moc"
