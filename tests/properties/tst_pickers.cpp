#include "testhub.h"

#include "properties/selapartmentdialog.h"
#include "properties/selbuildingdialog.h"
#include "properties/seltenantdialog.h"
#include "properties/selvendordialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QTableView>

class TestPickers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listAndSearch_data();
    void listAndSearch();
    void chosenRowIsReturned_data();
    void chosenRowIsReturned();
    void returnTakesTheOneRowASearchLeaves_data();
    void returnTakesTheOneRowASearchLeaves();
    void waitingListOnly();
    void okNeedsAChosenRow();

private:
    QDialog *makePicker(const QString &kind);
    // The chosen key of an accepted picker, and its texts into `texts`.
    static int pickedKey(QDialog *picker, QStringList *texts);
    TestHub *t = nullptr;
};

void TestPickers::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    QVERIFY(t->exec("insert into owners (oid, code, name) values (9300, 'POWN', 'Pia Owner')"));
    QVERIFY(t->exec("insert into buildings (buildid, description, address, oid) values (9350, 'Pine Yard', '1 Pine Rd', 9300)"));
    QVERIFY(t->exec("insert into apartments (apid, bid, suite, agreeid) values (9390, 9350, 'P''7', -1)"));
    QVERIFY(t->exec("insert into tenants (tid, id, firstname, lastname, company) values "
                    "(9310, 'T-OB', 'Siobhan', 'O''Brien', 'Brien Co')"));
    QVERIFY(t->exec("insert into tenants (tid, id, firstname, lastname) values (9311, 'T-WL', 'Walt', 'Waiting')"));
    QVERIFY(t->exec("insert into waitlist (tid) values (9311)"));
    QVERIFY(t->exec("insert into vendors (vid, name, contact, type, othertype) values "
                    "(9320, 'Pipe & Sons', 'Dan', 'OTHER', 'Drains 100%')"));
}

void TestPickers::cleanup()
{
    delete t;
}

QDialog *TestPickers::makePicker(const QString &kind)
{
    if (kind == "apartment")
        return new SelApartmentDialog(t->hub);
    if (kind == "building")
        return new SelBuildingDialog(t->hub);
    if (kind == "tenant")
        return new SelTenantDialog(t->hub, false);
    return new SelVendorDialog(t->hub);
}

void TestPickers::listAndSearch_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("apartment by suite") << "apartment" << "Select Apartment Dialog"
                                        << "apartments a inner join buildings b on b.buildid = a.bid" << 0 << " p'7 ";
    QTest::newRow("building by owner code") << "building" << "Select Building Dialog"
                                            << "buildings b inner join owners o on b.oid = o.oid" << 5 << "pown";
    QTest::newRow("tenant by last name") << "tenant" << "Select Tenant Dialog" << "tenants" << 2 << "o'brien";
    QTest::newRow("vendor by other type") << "vendor" << "Select Vendor Dialog" << "vendors" << 7 << "100%";
}

void TestPickers::listAndSearch()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, table);
    QFETCH(int, field);
    QFETCH(QString, typed);
    QScopedPointer<QDialog> picker(makePicker(kind));
    QCOMPARE(picker->windowTitle(), title);
    QSqlDoubleQueryModel *model = t->hub->selectQueryModel();
    QCOMPARE(model->rowCount(), t->count(table));

    auto *criteria = child<QLineEdit>(picker.data(), "lineEdit");
    child<QComboBox>(picker.data(), "comboBox")->setCurrentIndex(field);
    QTest::keyClicks(criteria, typed);
    waitForSearch(picker.data());
    QVERIFY2(!model->lastError().isValid(), qPrintable(model->lastError().text()));
    QCOMPARE(model->rowCount(), 1);

    // Clear shows the whole list again and leaves the text where it is.
    clickButton(picker.data(), "pushButton_7");
    QCOMPARE(model->rowCount(), t->count(table));
    QCOMPARE(criteria->text(), typed);
}

void TestPickers::chosenRowIsReturned_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("apartment") << "apartment" << "p'7" << 9390 << QStringList({"P'7", "Pine Yard"});
    QTest::newRow("building") << "building" << "pine yard" << 9350 << QStringList({"Pine Yard"});
    QTest::newRow("tenant") << "tenant" << "t-ob" << 9310 << QStringList({"T-OB", "Brien Co", "Siobhan", "O'Brien"});
    QTest::newRow("vendor") << "vendor" << "pipe &" << 9320 << QStringList({"Pipe & Sons", "OTHER"});
}

void TestPickers::chosenRowIsReturned()
{
    QFETCH(QString, kind);
    QFETCH(QString, typed);
    QFETCH(int, id);
    QFETCH(QStringList, texts);
    QScopedPointer<QDialog> picker(makePicker(kind));
    QTest::keyClicks(child<QLineEdit>(picker.data(), "lineEdit"), typed);
    waitForSearch(picker.data());
    auto *view = child<QTableView>(picker.data(), "tableView");
    QCOMPARE(view->model()->rowCount(), 1);
    view->setCurrentIndex(view->model()->index(0, 2));
    picker->accept();
    QCOMPARE(picker->result(), int(QDialog::Accepted));

    QStringList got;
    QCOMPARE(pickedKey(picker.data(), &got), id);
    QCOMPARE(got, texts);
}

void TestPickers::returnTakesTheOneRowASearchLeaves_data()
{
    chosenRowIsReturned_data();
}

void TestPickers::returnTakesTheOneRowASearchLeaves()
{
    QFETCH(QString, kind);
    QFETCH(QString, typed);
    QFETCH(int, id);
    QFETCH(QStringList, texts);
    QScopedPointer<QDialog> picker(makePicker(kind));
    picker->show();
    auto *criteria = child<QLineEdit>(picker.data(), "lineEdit");
    // The whole list, none chosen: the clerk is told to choose.
    QTest::keyClick(criteria, Qt::Key_Return);
    QVERIFY(picker->isVisible());
    QCOMPARE(MsgBox::shownTexts(), QStringList("You have not selected a valid record."));

    // Return straight after the typing, before the list has followed it.
    QTest::keyClicks(criteria, typed);
    QTest::keyClick(criteria, Qt::Key_Return);
    QVERIFY(!picker->isVisible());
    QCOMPARE(picker->result(), int(QDialog::Accepted));
    QStringList got;
    QCOMPARE(pickedKey(picker.data(), &got), id);
    QCOMPARE(got, texts);
}

int TestPickers::pickedKey(QDialog *picker, QStringList *texts)
{
    int chosen = -2;
    if (auto *p = qobject_cast<SelApartmentDialog *>(picker)) {
        chosen = p->apartmentId();
        *texts = QStringList{p->suite(), p->buildingDescription()};
    } else if (auto *p = qobject_cast<SelBuildingDialog *>(picker)) {
        chosen = p->buildingId();
        *texts = QStringList{p->description()};
    } else if (auto *p = qobject_cast<SelTenantDialog *>(picker)) {
        chosen = p->tenantId();
        *texts = QStringList{p->tenantCode(), p->company(), p->firstName(), p->lastName()};
    } else if (auto *p = qobject_cast<SelVendorDialog *>(picker)) {
        chosen = p->vendorId();
        *texts = QStringList{p->vendorName(), p->vendorType()};
    }
    return chosen;
}

void TestPickers::waitingListOnly()
{
    SelTenantDialog picker(t->hub, true);
    QSqlDoubleQueryModel *model = t->hub->selectQueryModel();
    QCOMPARE(model->rowCount(), t->count("waitlist"));
    child<QComboBox>(&picker, "comboBox")->setCurrentIndex(2);
    QTest::keyClicks(child<QLineEdit>(&picker, "lineEdit"), "o'brien");
    waitForSearch(&picker);
    QCOMPARE(model->rowCount(), 0);
    child<QLineEdit>(&picker, "lineEdit")->setText("WAIT");
    waitForSearch(&picker);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 0).data().toInt(), 9311);
}

void TestPickers::okNeedsAChosenRow()
{
    SelVendorDialog picker(t->hub);
    picker.show();
    QCOMPARE(child<QTableView>(&picker, "tableView")->isColumnHidden(0), true);
    child<QTableView>(&picker, "tableView")->setCurrentIndex(QModelIndex());
    QTest::mouseClick(dialogButton(&picker, QDialogButtonBox::Ok), Qt::LeftButton);
    QVERIFY(picker.isVisible());
    QCOMPARE(MsgBox::shownTexts(), QStringList("You have not selected a valid record."));
    picker.reject();
    QCOMPARE(picker.vendorId(), -1);
}

VELLORAN_TEST_MAIN(TestPickers)
#include "tst_pickers.moc"
