#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "properties/buildingsform.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

class TestBuildings : public QObject
{
    Q_OBJECT

private slots:
    void printRefusedWithoutTheReportsRight();
    void init();
    void cleanup();

    void listShowsNineColumnsInOrder();
    void searchThroughOwnerCodeAndApostrophe();
    void newThenCancelWritesNothingButTellsTheTree();
    void newBuildingIsStoredUnderItsOwner();
    void descriptionChangeAloneTellsTheTree();
    void editorRefusals_data();
    void editorRefusals();
    void buildingWithoutAnOwnerIsRefused();
    void editorOffersTheOwnersAsTheyAreNow();
    void deleteRefusedWhileAnApartmentBelongsToTheBuilding();

private:
    void selectDescription(const QString &description);

    TestHub *t = nullptr;
    BuildingsForm *form = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
};

void TestBuildings::init()
{
    Today::set(QDate(2026, 3, 14));
    t = new TestHub;
    QVERIFY(t->opened);
    QVERIFY(t->exec("insert into owners (oid, code, name) values (9200, 'QOWN', 'Quentin Owner')"));
    QVERIFY(t->exec("insert into owners (oid, code, name) values (9201, 'ROWN', 'Rhea Owner')"));
    QVERIFY(t->exec("insert into buildings (buildid, description, city, oid, purchasedate) values "
                    "(9250, 'King''s Court', 'Elmstead', 9200, '2019-05-01')"));
    QVERIFY(t->exec("insert into buildings (buildid, description, city, oid) values (9251, 'Undated Hall', 'Elmstead', 9201)"));
    t->hub->setCanViewReports(true);
    form = new BuildingsForm(t->hub);
    view = child<QTableView>(form, "tableView");
    model = t->hub->buildingsModel();
    model->select();
}

void TestBuildings::cleanup()
{
    delete form;
    delete t;
    Today::reset();
}

void TestBuildings::selectDescription(const QString &description)
{
    selectRow(view, 1, description, 1);
}

void TestBuildings::listShowsNineColumnsInOrder()
{
    QList<int> shown;
    QHeaderView *header = view->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!view->isColumnHidden(column))
            shown << column;
    }
    QCOMPARE(shown, QList<int>({17, 1, 2, 3, 4, 9, 5, 14, 13}));
    QCOMPARE(model->headerData(17, Qt::Horizontal).toString(), QString("OWNER CODE"));
}

void TestBuildings::searchThroughOwnerCodeAndApostrophe()
{
    auto *field = child<QComboBox>(form, "comboBox");
    auto *criteria = child<QLineEdit>(form, "lineEdit");
    QTest::keyClicks(criteria, "king's court");
    waitForSearch(form);
    QCOMPARE(model->filter(), QString("LOWER(BUILDINGS.DESCRIPTION) like LOWER('%king''s court%') ESCAPE '\\'"));
    QCOMPARE(model->rowCount(), 1);

    field->setCurrentIndex(4);
    criteria->clear();
    QTest::keyClicks(criteria, "rown");
    waitForSearch(form);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 1).data().toString(), QString("Undated Hall"));

    clickButton(form, "pushButton_7");
    QCOMPARE(model->rowCount(), t->count("buildings b inner join owners o on o.oid = b.oid"));
    clickButton(form, "pushButton_4");
    QVERIFY(!t->hub->reportQueryModel()->query().lastQuery().contains("where"));
}

void TestBuildings::newThenCancelWritesNothingButTellsTheTree()
{
    QSignalSpy changed(t->hub, &XDataSource::buildingsChanged);
    const int rows = model->rowCount();
    const int stored = t->count("buildings");
    ModalDriver driver;
    driver.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), "Never Built"); });
    clickButton(form, "pushButton");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(t->count("buildings"), stored);
}

void TestBuildings::newBuildingIsStoredUnderItsOwner()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        // A new building starts on today's date and the first owner.
        QCOMPARE(child<QLineEdit>(d, "lineEdit_14")->text(), ShortDate::toText(QDate(2026, 3, 14)));
        QCOMPARE(child<QComboBox>(d, "comboBox")->currentIndex(), 0);
        auto *owner = child<QComboBox>(d, "comboBox");
        owner->setCurrentIndex(owner->findText("ROWN"));
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), " Harbour View ");
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_8"), "-12");
    });
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select oid from buildings where description = 'Harbour View'").toInt(), 9201);
    QCOMPARE(t->copy.scalar("select purchasedate from buildings where description = 'Harbour View'").toDate(),
             QDate(2026, 3, 14));
    QCOMPARE(t->copy.scalar("select apartments from buildings where description = 'Harbour View'").toInt(), 12);
}

void TestBuildings::descriptionChangeAloneTellsTheTree()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QSignalSpy changed(t->hub, &XDataSource::buildingsChanged);
    ModalDriver driver;
    selectDescription("King's Court");
    driver.ok([](QDialog *d) {
        QCOMPARE(child<QLineEdit>(d, "lineEdit_14")->text(), ShortDate::toText(QDate(2019, 5, 1)));
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), "  ");
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_4"), "ville");
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(changed.count(), 0);
    QCOMPARE(t->copy.scalar("select city from buildings where buildid = 9250").toString(), QString("Elmsteadville"));

    selectDescription("King's Court");
    driver.ok([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), " II"); });
    clickButton(form, "pushButton_2");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(t->copy.scalar("select description from buildings where buildid = 9250").toString(),
             QString("King's Court II"));
}

void TestBuildings::editorRefusals_data()
{
    QTest::addColumn<QString>("building");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank description") << "King's Court" << " " << "" << "The DESCRIPTION field cannot be blank";
    QTest::newRow("description of another building")
        << "Undated Hall" << "King's Court" << "" << "The DESCRIPTION that you have entered already exists. Enter a new DESCRIPTION";
    QTest::newRow("no purchase date stored") << "Undated Hall" << "Undated Hall" << "" << "Enter a valid purchase date!";
    QTest::newRow("not a date") << "King's Court" << "King's Court" << "31/31/x" << "Enter a valid purchase date!";
}

void TestBuildings::editorRefusals()
{
    QFETCH(QString, building);
    QFETCH(QString, description);
    QFETCH(QString, date);
    QFETCH(QString, message);
    selectDescription(building);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        child<QLineEdit>(d, "lineEdit_2")->setText(description);
        if (!date.isEmpty())
            child<QLineEdit>(d, "lineEdit_14")->setText(date);
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    QVERIFY(!model->isDirty());
}

void TestBuildings::buildingWithoutAnOwnerIsRefused()
{
    QVERIFY(t->exec("delete from buildings"));
    QVERIFY(t->exec("delete from owners"));
    t->hub->buildingsModel()->relationModel(17)->select();
    model->select();
    ModalDriver driver;
    driver.ok([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), "Orphan House"); });
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList("Select the owner of the building"));
    QCOMPARE(t->count("buildings"), 0);
}

void TestBuildings::editorOffersTheOwnersAsTheyAreNow()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QStringList offered;
    const auto readOwners = [&](QDialog *d) {
        auto *owner = child<QComboBox>(d, "comboBox");
        offered.clear();
        for (int i = 0; i < owner->count(); ++i)
            offered << owner->itemText(i);
    };
    ModalDriver driver;
    driver.cancel(readOwners);
    clickButton(form, "pushButton");
    QVERIFY(offered.contains("QOWN"));

    // One owner known to the last editor is removed, and a new one added, on the owners page.
    QVERIFY(t->exec("insert into owners (oid, code, name) values (9203, 'GONE', 'Gone Owner')"));
    t->hub->buildingsModel()->relationModel(17)->select();
    QVERIFY(t->exec("delete from owners where oid = 9203"));
    QVERIFY(t->exec("insert into owners (oid, code, name) values (9202, 'SOWN', 'Sven Owner')"));
    driver.ok([&](QDialog *d) {
        readOwners(d);
        auto *owner = child<QComboBox>(d, "comboBox");
        owner->setCurrentIndex(owner->findText("SOWN"));
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), "Spruce Lodge");
    });
    clickButton(form, "pushButton");
    QVERIFY(offered.contains("SOWN"));
    QVERIFY(!offered.contains("GONE"));
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select oid from buildings where description = 'Spruce Lodge'").toInt(), 9202);
}

void TestBuildings::deleteRefusedWhileAnApartmentBelongsToTheBuilding()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QSignalSpy changed(t->hub, &XDataSource::buildingsChanged);
    QVERIFY(t->exec("insert into apartments (apid, bid, suite, agreeid) values (9290, 9250, 'Q-1', -1)"));
    selectDescription("King's Court");
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(),
             QStringList("You cannot delete this record because at least one apartment has been assigned to it"));
    QCOMPARE(t->count("buildings where buildid = 9250"), 1);

    // A look-up that fails refuses the delete as well.
    QVERIFY(t->exec("alter table apartments alter column bid to bid_gone"));
    MsgBox::clearShown();
    selectDescription("Undated Hall");
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(),
             QStringList("The database could not be checked, so nothing was changed. Please try again."));
    QCOMPARE(t->count("buildings where buildid = 9251"), 1);
    QVERIFY(t->exec("alter table apartments alter column bid_gone to bid"));

    selectDescription("Undated Hall");
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count("buildings where buildid = 9251"), 0);
    QCOMPARE(changed.count(), 1);
}

void TestBuildings::printRefusedWithoutTheReportsRight()
{
    t->hub->setCanViewReports(false);
    QSqlDoubleQueryModel *report = t->hub->reportQueryModel();
    report->setQuery("select 1 from RDB$DATABASE");
    MsgBox::clearShown();
    clickButton(form, "pushButton_4");
    QCOMPARE(MsgBox::shownTexts(), QStringList("You are not permitted to access this area"));
    QCOMPARE(report->query().lastQuery(), QString("select 1 from RDB$DATABASE"));
}

VELLORAN_TEST_MAIN(TestBuildings)
#include "tst_buildings.moc"
