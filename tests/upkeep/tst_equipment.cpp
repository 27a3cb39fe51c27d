#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "upkeep/equipmentform.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

class TestEquipment : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pageOpensOnFirstApartmentAndFollowsThePicker();
    void newRefusedWithoutAnApartment_data();
    void newRefusedWithoutAnApartment();
    void newItemIsStoredForTheApartment();
    void cancelAfterNewLeavesNothing();
    void duplicateQuestions_data();
    void duplicateQuestions();
    void refusedDates_data();
    void refusedDates();
    void searchWithApostropheAndClear();
    void printOnEmptyListOpensNoReport();
    void printRefusedWithoutTheReportsRight();
    void closeIsRefused();

private:
    void chooseApartment(int apid);
    void selectDescription(const QString &description);

    TestHub *t = nullptr;
    EquipmentForm *form = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
};

void TestEquipment::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestEquipment::init()
{
    Today::set(QDate(2026, 3, 14));
    t = new TestHub;
    QVERIFY(t->opened);
    // A second apartment's items, one with an apostrophe, beside the demo's refrigerator in apartment 2.
    QVERIFY(t->exec("insert into equipments (id, apid, description, serial, purchasedate, price) values "
                    "(9001, 4, 'Tenant''s freezer', 'SN''01', '2020-02-03', 120)"));
    t->hub->setCanViewReports(true);
    form = new EquipmentForm(t->hub);
    view = child<QTableView>(form, "tableView");
    model = t->hub->equipmentModel();
}

void TestEquipment::cleanup()
{
    delete form;
    form = nullptr;
    delete t;
    Today::reset();
}

void TestEquipment::chooseApartment(int apid)
{
    ModalDriver driver;
    driver.ok([apid](QDialog *picker) { selectRow(child<QTableView>(picker, "tableView"), 1, apid, 2); });
    clickButton(form, "pushButton_5");
    QCOMPARE(driver.handled, 1);
    QCOMPARE(form->apartmentId(), apid);
}

void TestEquipment::selectDescription(const QString &description)
{
    selectRow(view, 2, description, 2);
    QVERIFY(view->currentIndex().isValid());
}

void TestEquipment::pageOpensOnFirstApartmentAndFollowsThePicker()
{
    const QSqlRecord first = t->hub->apartmentsQueryModel()->record(0);
    const int firstApid = first.value("apid").toInt();
    QCOMPARE(form->apartmentId(), firstApid);
    QCOMPARE(child<QLineEdit>(form, "lineEdit_2")->text(), first.value("suite").toString());
    QCOMPARE(child<QLineEdit>(form, "lineEdit_3")->text(), first.value("description").toString());
    QCOMPARE(model->rowCount(), t->count(QStringLiteral("equipments where apid = %1").arg(firstApid)));

    chooseApartment(4);
    QCOMPARE(model->filter(), QString("apid = 4"));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(child<QLineEdit>(form, "lineEdit_2")->text(),
             t->copy.scalar("select suite from apartments where apid = 4").toString());
    QCOMPARE(child<QLineEdit>(form, "lineEdit_3")->text(),
             t->copy.scalar("select b.description from apartments a join buildings b on b.buildid = a.bid "
                            "where a.apid = 4").toString());
    for (int column = 0; column < model->columnCount(); ++column)
        QCOMPARE(view->isColumnHidden(column), column < 2 || column > 8);
}

void TestEquipment::newRefusedWithoutAnApartment_data()
{
    QTest::addColumn<bool>("noApartmentAtAll");
    QTest::newRow("no apartment at all") << true;
    QTest::newRow("apartment deleted since") << false;
}

void TestEquipment::newRefusedWithoutAnApartment()
{
    QFETCH(bool, noApartmentAtAll);
    const int stored = t->count("equipments");
    if (noApartmentAtAll) {
        delete form;
        QVERIFY(t->exec("delete from apartments"));
        QSqlDoubleQueryModel *list = t->hub->apartmentsQueryModel();
        list->setQuery(list->query().lastQuery(), QSqlDatabase::database());
        form = new EquipmentForm(t->hub);
        QCOMPARE(form->apartmentId(), -1);
        QVERIFY(child<QLineEdit>(form, "lineEdit_2")->text().isEmpty());
        QVERIFY(child<QLineEdit>(form, "lineEdit_3")->text().isEmpty());
        QCOMPARE(model->rowCount(), 0);
    } else {
        QVERIFY(t->exec(QStringLiteral("delete from apartments where apid = %1").arg(form->apartmentId())));
    }
    const int rows = model->rowCount();
    ModalDriver driver;
    clickButton(form, "pushButton");
    QCOMPARE(MsgBox::shownTexts(), QStringList("Unable to add new record"));
    QCOMPARE(driver.handled, 0);
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(t->count("equipments"), stored);
}

void TestEquipment::newItemIsStoredForTheApartment()
{
    chooseApartment(4);
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Equipment Form"));
        QCOMPARE(child<QLineEdit>(d, "purchaseDate")->text(), QString("3/14/2026"));
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Owner's dryer");
        QTest::keyClicks(child<QLineEdit>(d, "serial"), "DR-77");
        QTest::keyClicks(child<QLineEdit>(d, "brand"), "Frostline");
        auto *price = child<QLineEdit>(d, "purchasePrice");
        QCOMPARE(price->text(), QString("0.00"));
        price->selectAll();
        QTest::keyClicks(price, "412.5");
        child<QLineEdit>(d, "purchaseDate")->setText("2/1/2025");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));
    QCOMPARE(t->copy.scalar("select apid from equipments where serial = 'DR-77'").toInt(), 4);
    QCOMPARE(t->copy.scalar("select description from equipments where serial = 'DR-77'").toString(),
             QString("Owner's dryer"));
    QCOMPARE(t->copy.scalar("select price from equipments where serial = 'DR-77'").toDouble(), 412.5);
    QCOMPARE(t->copy.scalar("select purchasedate from equipments where serial = 'DR-77'").toDate(), QDate(2025, 2, 1));
    QVERIFY(t->copy.scalar("select id from equipments where serial = 'DR-77'").toInt() > 38);
    QCOMPARE(model->rowCount(), 4);
}

void TestEquipment::cancelAfterNewLeavesNothing()
{
    chooseApartment(4);
    const int stored = t->count("equipments");
    ModalDriver driver;
    driver.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "description"), "Never bought"); });
    clickButton(form, "pushButton");
    QCOMPARE(model->rowCount(), 3);
    QVERIFY(!model->isDirty());
    QCOMPARE(t->count("equipments"), stored);
}

void TestEquipment::duplicateQuestions_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<bool>("stored");

    const QString serialQ = "The Serial Number you have entered already exists. Do you want to continue?";
    const QString descriptionQ = "The Equipment Description you have entered already exists. Do you want to continue?";
    const QString submitQ = "Are you sure you want to submit data";
    // The freezer of apartment 4 is edited; "FR202010391" is the refrigerator of apartment 2.
    QTest::newRow("nothing changed") << "SN'01" << "Tenant's freezer" << int(QMessageBox::Yes)
                                     << QStringList{submitQ} << true;
    QTest::newRow("serial of another apartment, yes") << "FR202010391" << "Tenant's freezer"
                                                      << int(QMessageBox::Yes) << QStringList{serialQ, submitQ} << true;
    QTest::newRow("serial of another apartment, no") << "FR202010391" << "Tenant's freezer" << int(QMessageBox::No)
                                                     << QStringList{serialQ} << false;
    QTest::newRow("description of this apartment") << "SN'01" << "Electric range" << int(QMessageBox::No)
                                                   << QStringList{descriptionQ} << false;
    QTest::newRow("description only elsewhere") << "SN'01" << "Dishwasher" << int(QMessageBox::Yes)
                                                << QStringList{submitQ} << true;
}

void TestEquipment::duplicateQuestions()
{
    QFETCH(QString, serial);
    QFETCH(QString, description);
    QFETCH(int, answer);
    QFETCH(QStringList, questions);
    QFETCH(bool, stored);
    QVERIFY(t->exec("insert into equipments (id, apid, description, serial) values (9002, 2, 'Dishwasher', 'DW-1')"));
    chooseApartment(4);
    selectDescription("Tenant's freezer");

    for (int i = 0; i < questions.size(); ++i)
        MsgBox::setNextAnswer(i == questions.size() - 1 ? QMessageBox::StandardButton(answer) : QMessageBox::Yes);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        child<QLineEdit>(d, "serial")->setText(serial);
        child<QLineEdit>(d, "description")->setText(description);
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(MsgBox::shownTexts(), questions);
    QCOMPARE(driver.stayedOpen, stored ? 0 : 1);
    QCOMPARE(t->copy.scalar("select serial from equipments where id = 9001").toString(),
             stored ? serial : QString("SN'01"));
    QCOMPARE(t->copy.scalar("select description from equipments where id = 9001").toString(),
             stored ? description : QString("Tenant's freezer"));
}

void TestEquipment::refusedDates_data()
{
    QTest::addColumn<QString>("date");
    QTest::newRow("empty") << "";
    QTest::newRow("impossible day") << "2/30/2025";
    QTest::newRow("two-digit year") << "2/1/25";
}

void TestEquipment::refusedDates()
{
    QFETCH(QString, date);
    chooseApartment(4);
    selectDescription("Tenant's freezer");
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        QCOMPARE(child<QLineEdit>(d, "purchaseDate")->text(), QString("2/3/2020"));
        child<QLineEdit>(d, "purchaseDate")->setText(date);
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList("The date you have enetered are not valid!"));
    QCOMPARE(t->copy.scalar("select purchasedate from equipments where id = 9001").toDate(), QDate(2020, 2, 3));
}

void TestEquipment::searchWithApostropheAndClear()
{
    chooseApartment(4);
    auto *criteria = child<QLineEdit>(form, "lineEdit");
    QTest::keyClicks(criteria, "T'S F");
    waitForSearch(form);
    QCOMPARE(model->filter(), QString("LOWER(description) like LOWER('%T''S F%') ESCAPE '\\' and apid = 4"));
    QCOMPARE(model->rowCount(), 1);

    child<QComboBox>(form, "comboBox")->setCurrentIndex(1);
    criteria->setText("n'0");
    waitForSearch(form);
    QCOMPARE(model->rowCount(), 1);
    criteria->setText("%2");
    waitForSearch(form);
    QCOMPARE(model->filter(), QString("LOWER(serial) like LOWER('%\\%2%') ESCAPE '\\' and apid = 4"));

    clickButton(form, "pushButton_7");
    QCOMPARE(model->filter(), QString("apid = 4"));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(criteria->text(), QString("%2"));
}

void TestEquipment::printOnEmptyListOpensNoReport()
{
    QVERIFY(t->exec("delete from equipments where apid = 4"));
    chooseApartment(4);
    QCOMPARE(model->rowCount(), 0);
    t->hub->reportQueryModel()->clear();
    clickButton(form, "pushButton_4");
    QCOMPARE(MsgBox::shownTexts(), QStringList("No data available!"));
    QVERIFY(t->hub->reportQueryModel()->query().lastQuery().isEmpty());
}

void TestEquipment::printRefusedWithoutTheReportsRight()
{
    t->hub->setCanViewReports(false);
    chooseApartment(4);
    QVERIFY(model->rowCount() > 0);
    t->hub->reportQueryModel()->clear();
    MsgBox::clearShown();
    clickButton(form, "pushButton_4");
    QCOMPARE(MsgBox::shownTexts(), QStringList("You are not permitted to access this area"));
    QVERIFY(t->hub->reportQueryModel()->query().lastQuery().isEmpty());
}

void TestEquipment::closeIsRefused()
{
    QCloseEvent event;
    QApplication::sendEvent(form, &event);
    QVERIFY(!event.isAccepted());
}

VELLORAN_TEST_MAIN(TestEquipment)
#include "tst_equipment.moc"
