#include "testhub.h"
#include "tests/reports/previewdriver.h"

#include "properties/apartmentsform.h"
#include "properties/ownersform.h"
#include "reports/tibernereport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlError>
#include <QTableView>
#include <QTreeWidget>

// Two owners; the first with two buildings. Apartment 9501 has a tenant, 9502 and 9503 carry
// equipment, maintenance, charges and bills, 9504 has a rental agreement.
static const char *const fixture[] = {
    "insert into owners (oid, code, name) values (9500, 'AOWN', 'Ada Owner')",
    "insert into owners (oid, code, name) values (9510, 'BOWN', 'Bo Owner')",
    "insert into buildings (buildid, description, oid) values (9520, 'Alder Court', 9500)",
    "insert into buildings (buildid, description, oid) values (9521, 'Birch Row', 9500)",
    "insert into buildings (buildid, description, oid) values (9522, 'Cedar Place', 9510)",
    "insert into tenants (tid, id, firstname, lastname) values (9530, 'T1', 'Orla', 'O''Neil')",
    "insert into tenants (tid, id, firstname, lastname) values (9531, 'T-WAIT9531', 'Wes', 'Waiting')",
    "insert into waitlist (tid) values (9531)",
    "insert into apartments (apid, tid, bid, suite, rent, status, agreeid) values (9501, 9530, 9520, 'A-1', 900, 'Renting', -1)",
    "insert into apartments (apid, tid, bid, suite, rent, status, agreeid) values (9502, -1, 9520, 'A-2', 800, 'Normal', -1)",
    "insert into apartments (apid, tid, bid, suite, rent, status, agreeid) values (9503, -1, 9521, 'PH%1', 1500, 'Normal', 0)",
    "insert into apartments (apid, tid, bid, suite, rent, status, agreeid) values (9504, 9530, 9522, 'C-1', 700, 'Leasing', 9540)",
    "insert into agreements (rid, tid, apid) values (9540, 9530, 9504)",
    "insert into equipments (id, apid, description) values (9550, 9502, 'Stove')",
    "insert into equipments (id, apid, description) values (9551, 9503, 'Fridge')",
    "insert into maintenance (id, apid, description) values (9560, 9502, 'Leak')",
    "insert into maintenance (id, apid, description) values (9561, 9503, 'Paint')",
    "insert into charges (chid, apid, type, amt) values (9570, 9502, 'Rent', 800)",
    "insert into charges (chid, apid, type, amt) values (9571, 9503, 'Rent', 1500)",
    "insert into recur (recid, apid, type, amount, freq, completed) values (9580, 9502, 'Rent', 800, 3, 0)",
    "insert into recur (recid, apid, type, amount, freq, completed) values (9581, 9503, 'Rent', 1500, 3, 0)",
    "insert into recur (recid, apid, type, amount, freq, completed) values (9582, 9503, 'Parking', 50, 3, 0)",
};

class TestApartments : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void treeNarrowsTheList();
    void refillingTheTreeLeavesTheList();
    void search_data();
    void search();
    void billsFollowTheCurrentApartment();
    void newApartmentGoesIntoTheChosenBuilding();
    void editThenCancelWritesNothing();
    void editOfAVanishedApartmentIsRefused();
    void editorGuards_data();
    void editorGuards();
    void waitingListPickStandsEvenWhenCancelled();
    void deleteRefusedWhileAnAgreementExists();
    void deleteTakesExactlyTheApartmentsRows();
    void deleteRefusedWhileMoneyNamesIt_data();
    void deleteRefusedWhileMoneyNamesIt();
    void failedDeleteLeavesEveryRow();
    void failedWriteLeavesTheApartment();
    void reportsFollowTheList();
    void listAndTreeAgreeAfterSearchAndClear();
    void billsPaneFollowsTheList();
    void treeFollowsOwnerChanges();
    void deleteQuestionNamesTheApartment();
    void printRefusedWithoutTheReportsRight_data();
    void printRefusedWithoutTheReportsRight();
    void chargesReportPrintsTheBills();

private:
    void chooseNode(const QString &text);
    void selectApid(int apid);
    QList<int> listedApids();
    int dependents(int apid);

    TestHub *t = nullptr;
    ApartmentsForm *form = nullptr;
    QTableView *view = nullptr;
    QTreeWidget *tree = nullptr;
};

void TestApartments::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    for (const char *sql : fixture)
        QVERIFY(t->exec(sql));
    t->hub->apartmentsQueryModel()->setQuery(t->hub->apartmentsQueryModel()->query().lastQuery());
    t->hub->recurModel()->select();
    t->hub->apartmentsModel()->select();
    t->hub->waitlistModel()->select();
    // The office's users who print from this page hold the reports right.
    t->hub->setCanViewReports(true);
    form = new ApartmentsForm(t->hub, nullptr);
    view = child<QTableView>(form, "tableView");
    tree = child<QTreeWidget>(form, "treeWidget");
}

void TestApartments::cleanup()
{
    delete form;
    delete t;
}

void TestApartments::chooseNode(const QString &text)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    tree->setCurrentItem(found.first());
}

void TestApartments::selectApid(int apid)
{
    selectRow(view, 0, apid, 4);
}

QList<int> TestApartments::listedApids()
{
    QList<int> apids;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        const int apid = view->model()->index(row, 0).data().toInt();
        if (apid >= 9500 && apid < 9600)
            apids << apid;
    }
    std::sort(apids.begin(), apids.end());
    return apids;
}

int TestApartments::dependents(int apid)
{
    const QString where = QStringLiteral(" where apid = %1").arg(apid);
    return t->count("equipments" + where) + t->count("maintenance" + where) + t->count("charges" + where)
        + t->count("recur" + where);
}

void TestApartments::treeNarrowsTheList()
{
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0), QString("OWNERS"));
    chooseNode("[AOWN] Ada Owner");
    QCOMPARE(listedApids(), QList<int>({9501, 9502, 9503}));
    chooseNode("Birch Row");
    QCOMPARE(listedApids(), QList<int>({9503}));
    chooseNode("OWNERS");
    QCOMPARE(listedApids(), QList<int>({9501, 9502, 9503, 9504}));

    // New needs a building node.
    chooseNode("[BOWN] Bo Owner");
    clickButton(form, "pushButton");
    QCOMPARE(MsgBox::shownTexts(), QStringList("Select a valid building from the tree view"));
}

void TestApartments::refillingTheTreeLeavesTheList()
{
    chooseNode("Birch Row");
    QVERIFY(t->exec("insert into buildings (buildid, description, oid) values (9523, 'Dogwood Yard', 9510)"));
    emit t->hub->buildingsChanged();
    QCOMPARE(tree->findItems("Dogwood Yard", Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
    QCOMPARE(listedApids(), QList<int>({9503}));
    clickButton(form, "pushButton_15");
    QCOMPARE(listedApids(), QList<int>({9503}));
}

void TestApartments::search_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("apids");
    QTest::newRow("building") << 0 << "alder" << QList<int>({9501, 9502});
    QTest::newRow("suite with percent") << 1 << "h%1" << QList<int>({9503});
    QTest::newRow("tenant last name with apostrophe") << 3 << " o'neil " << QList<int>({9501, 9504});
    QTest::newRow("status") << 5 << "leas" << QList<int>({9504});
    QTest::newRow("blanks only") << 5 << "   " << QList<int>({9501, 9502, 9503, 9504});
}

void TestApartments::search()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QList<int>, apids);
    chooseNode("Cedar Place");
    child<QComboBox>(form, "comboBox")->setCurrentIndex(field);
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), typed);
    waitForSearch(form);
    QVERIFY(!t->hub->apartmentsQueryModel()->lastError().isValid());
    QCOMPARE(listedApids(), apids);

    clickButton(form, "pushButton_9");
    QCOMPARE(listedApids(), QList<int>({9501, 9502, 9503, 9504}));
    QCOMPARE(child<QLineEdit>(form, "lineEdit")->text(), typed);
}

void TestApartments::billsFollowTheCurrentApartment()
{
    selectApid(9503);
    QCOMPARE(t->hub->recurModel()->filter(), QString("apid = 9503 and deletedon is null"));
    QCOMPARE(t->hub->recurModel()->rowCount(), 2);
    selectApid(9501);
    QCOMPARE(t->hub->recurModel()->rowCount(), 0);
}

void TestApartments::newApartmentGoesIntoTheChosenBuilding()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    const int next = t->copy.scalar("select gen_id(GEN_APARTMENTS_ID, 0) from RDB$DATABASE").toInt() + 1;
    chooseNode("Birch Row");
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Apartments Dialog"));
        QCOMPARE(child<QComboBox>(d, "comboBox")->currentText(), QString("Normal"));
        QCOMPARE(child<QComboBox>(d, "comboBox_2")->currentText(), QString("Regular"));
        QVERIFY(child<QLineEdit>(d, "lineEdit_6")->text().isEmpty());
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit"), " 7C ");
        child<QLineEdit>(d, "lineEdit_2")->setText("1250.5");
        child<QCheckBox>(d, "checkBox_9")->setChecked(true);
    });
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->count("apartments where suite = '7C'"), 1);
    QCOMPARE(t->copy.scalar("select apid from apartments where suite = '7C'").toInt(), next);
    QCOMPARE(t->copy.scalar("select bid || ':' || tid || ':' || agreeid || ':' || status || ':' || aptcategory from "
                            "apartments where suite = '7C'")
                 .toString(),
             QString("9521:-1:-1:Normal:Regular"));
    QCOMPARE(t->copy.scalar("select rent from apartments where suite = '7C'").toDouble(), 1250.5);
    QCOMPARE(view->model()->index(view->currentIndex().row(), 0).data().toInt(), next);
    QVERIFY(!t->hub->apartmentsModel()->isDirty());
}

void TestApartments::editThenCancelWritesNothing()
{
    selectApid(9501);
    ModalDriver driver;
    driver.cancel([](QDialog *d) {
        QCOMPARE(child<QLineEdit>(d, "lineEdit")->text(), QString("A-1"));
        QCOMPARE(child<QLineEdit>(d, "lineEdit_8")->text(), QString("O'Neil"));
        child<QLineEdit>(d, "lineEdit_2")->setText("1");
        clickButton(d, "pushButton_3");
    });
    clickButton(form, "pushButton_2");
    chooseNode("Alder Court");
    const int stored = t->count("apartments");
    driver.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "lineEdit"), "Z-9"); });
    clickButton(form, "pushButton");

    QCOMPARE(driver.handled, 2);
    QCOMPARE(t->copy.scalar("select cast(rent as integer) || ':' || tid from apartments where apid = 9501").toString(),
             QString("900:9530"));
    QCOMPARE(t->count("apartments"), stored);
    QVERIFY(!t->hub->apartmentsModel()->isDirty());
    QCOMPARE(t->hub->apartmentsModel()->filter(), QString());
}

void TestApartments::editOfAVanishedApartmentIsRefused()
{
    selectApid(9502);
    QVERIFY(t->exec("delete from apartments where apid = 9502"));
    clickButton(form, "pushButton_2");
    QCOMPARE(MsgBox::shownTexts(), QStringList("could not locate record in apartments table."));
    // The narrowing to the missing apartment does not stay on the shared model.
    QCOMPARE(t->hub->apartmentsModel()->filter(), QString());
    QVERIFY(!listedApids().contains(9502));
}

void TestApartments::editorGuards_data()
{
    QTest::addColumn<int>("apid");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("suite");
    QTest::addColumn<QString>("message");
    QTest::newRow("tenant clear with agreement") << 9504 << "pushButton_3" << ""
                                                 << "A rental agreement exists. First delete it and then try again!";
    QTest::newRow("tenant search with agreement") << 9504 << "pushButton_2" << ""
                                                  << "A rental agreement exists. First delete it and then try again!";
    QTest::newRow("blank suite") << 9502 << "" << "  " << "The 'Apt/Suite #' field cannot be blank";
    QTest::newRow("suite of another building") << 9502 << "" << "C-1"
                                               << "The Apt/Suite # that you have entered already exists. Enter a new one";
}

void TestApartments::editorGuards()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QFETCH(int, apid);
    QFETCH(QString, button);
    QFETCH(QString, suite);
    QFETCH(QString, message);
    selectApid(apid);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        if (!button.isEmpty())
            clickButton(d, qPrintable(button));
        if (!suite.isEmpty())
            child<QLineEdit>(d, "lineEdit")->setText(suite);
        else if (button.isEmpty())
            child<QLineEdit>(d, "lineEdit")->clear();
        if (!button.isEmpty())
            d->reject();
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.unexpected, 0);
    QVERIFY(MsgBox::shownTexts().contains(message));
    QCOMPARE(t->count(QStringLiteral("apartments where apid = %1 and suite <> ''").arg(apid).toUtf8().constData()), 1);
}

void TestApartments::waitingListPickStandsEvenWhenCancelled()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    const auto pickWaiting = [](QDialog *picker) {
        QTest::keyClicks(child<QLineEdit>(picker, "lineEdit"), "t-wait9531");
        waitForSearch(picker);
        auto *list = child<QTableView>(picker, "tableView");
        list->setCurrentIndex(list->model()->index(0, 1));
    };
    selectApid(9502);
    ModalDriver driver;
    driver.cancel([](QDialog *d) {
        clickButton(d, "pushButton");
        QCOMPARE(child<QLineEdit>(d, "lineEdit_8")->text(), QString("Waiting"));
    });
    driver.ok(pickWaiting);
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.handled, 2);
    QCOMPARE(t->count("waitlist where tid = 9531"), 0);
    QCOMPARE(t->copy.scalar("select tid from apartments where apid = 9502").toInt(), -1);

    // The page's own transactions still work afterwards.
    driver.ok([](QDialog *d) {
        clickButton(d, "pushButton_2");
    });
    driver.ok(pickWaiting);
    selectApid(9502);
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select tid from apartments where apid = 9502").toInt(), 9531);
    // Picking a tenant who already lives somewhere is refused.
    MsgBox::clearShown();
    driver.cancel([](QDialog *d) { clickButton(d, "pushButton_2"); });
    driver.ok(pickWaiting);
    selectApid(9502);
    clickButton(form, "pushButton_2");
    QCOMPARE(MsgBox::shownTexts(), QStringList("The tenant has already been assigned to another apartment"));

}

void TestApartments::deleteRefusedWhileAnAgreementExists()
{
    selectApid(9504);
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(), QStringList("A valid rental agreement exists. First delete it!"));
    QCOMPARE(t->count("apartments where apid = 9504"), 1);
}

void TestApartments::deleteTakesExactlyTheApartmentsRows()
{
    const int others = dependents(9502);
    chooseNode("OWNERS");
    selectApid(9503);
    const int row = view->currentIndex().row();
    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count("apartments where apid = 9503"), 1);

    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count("apartments where apid = 9503"), 0);
    QCOMPARE(dependents(9503), 0);
    QCOMPARE(dependents(9502), others);
    QCOMPARE(view->currentIndex().row(), row < view->model()->rowCount() ? row : -1);
}

void TestApartments::deleteRefusedWhileMoneyNamesIt_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("message");
    const QString paid = "You cannot delete this apartment: payments received for it are kept in the books. Keep the "
                         "apartment, or first void those payments in the tenant's payment history.";
    QTest::newRow("a payment line on its charge")
        << "insert into payments (payid, transid, chid, amount, type) values (9590, 9591, 9571, 1500, 'Rent')" << paid;
    QTest::newRow("a payment received for it")
        << "insert into trans (transid, tdate, tid, apid, cash, paytotal) values (9591, '2026-03-01', 9530, 9503, "
           "50, 50)"
        << paid;
    QTest::newRow("a cashbook entry booked to it")
        << "insert into cashbook (accid, tdate, catid, description, expense, apid) values (9592, '2026-03-01', 1, "
           "'Paint', 50, 9503)"
        << "You cannot delete this apartment: cashbook entries are booked to it. Keep the apartment, or first book "
           "those entries to another apartment, or delete them, in the cashbook.";
}

void TestApartments::deleteRefusedWhileMoneyNamesIt()
{
    QFETCH(QString, row);
    QFETCH(QString, message);
    QVERIFY(t->exec(row));
    const int before = dependents(9503);
    selectApid(9503);
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    QCOMPARE(t->count("apartments where apid = 9503"), 1);
    QCOMPARE(dependents(9503), before);
}

void TestApartments::failedDeleteLeavesEveryRow()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    // The charges refuse to go: the apartment, its equipment and maintenance, deleted before them in the
    // same transaction, must come back.
    QVERIFY(t->exec("create exception keep_charges 'charges are kept'"));
    QVERIFY(t->exec("create trigger charges_kept for charges before delete as begin exception keep_charges; end"));
    const int before = dependents(9503);
    selectApid(9503);
    clickButton(form, "pushButton_3");
    QVERIFY(MsgBox::shownTexts().contains("Error deleting record. Unable to commit transaction."));
    QCOMPARE(t->count("apartments where apid = 9503"), 1);
    QCOMPARE(dependents(9503), before);
}

void TestApartments::failedWriteLeavesTheApartment()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    // The database refuses the apartment row.
    QVERIFY(t->exec("create exception keep_apartments 'apartments are kept'"));
    QVERIFY(t->exec("create trigger apartments_kept for apartments before update as begin exception keep_apartments; end"));
    selectApid(9502);
    ModalDriver driver;
    driver.ok([](QDialog *d) { child<QLineEdit>(d, "lineEdit")->setText(QStringLiteral("B-7")); });
    // The editor comes back with what was typed, and is cancelled.
    QString suiteOnRetry;
    driver.cancel([&](QDialog *d) { suiteOnRetry = child<QLineEdit>(d, "lineEdit")->text(); });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.handled, 2);
    QCOMPARE(suiteOnRetry, QString("B-7"));
    const QStringList told = MsgBox::shownTexts().filter("Unable to submit data");
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.constFirst().startsWith("Unable to submit data: ") && told.constFirst().contains("apartments are kept"),
             qPrintable(told.constFirst()));
    QCOMPARE(t->copy.scalar("select suite from apartments where apid = 9502").toString(), QString("A-2"));
    QVERIFY(!t->hub->apartmentsModel()->isDirty());
}

void TestApartments::reportsFollowTheList()
{
    chooseNode("Alder Court");
    clickButton(form, "pushButton_4");
    QSqlDoubleQueryModel *report = t->hub->reportQueryModel();
    QCOMPARE(report->rowCount(), 2);

    selectApid(9502);
    clickButton(form, "pushButton_8");
    QCOMPARE(report->rowCount(), 1);
    QCOMPARE(report->index(0, 1).data().toString(), QString("Rent"));

    view->setCurrentIndex(QModelIndex());
    MsgBox::clearShown();
    clickButton(form, "pushButton_8");
    clickButton(form, "pushButton_14");
    QCOMPARE(MsgBox::shownTexts(),
             QStringList({"Select a valid apartment record from the apartments table view.",
                          "Select a valid apartment record from the apartments table view."}));
}

void TestApartments::listAndTreeAgreeAfterSearchAndClear()
{
    chooseNode("Birch Row");
    child<QComboBox>(form, "comboBox")->setCurrentIndex(1);
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), "a-");
    waitForSearch(form);
    QCOMPARE(listedApids(), QList<int>({9501, 9502}));
    // The search decides the list: no building stays marked as if it still narrowed it.
    QVERIFY(!tree->currentItem());

    // A click on the building it had before narrows the list again.
    chooseNode("Birch Row");
    QCOMPARE(listedApids(), QList<int>({9503}));

    // Clear shows every apartment, and the tree marks its top node; the building narrows again.
    clickButton(form, "pushButton_9");
    QCOMPARE(listedApids(), QList<int>({9501, 9502, 9503, 9504}));
    QCOMPARE(tree->currentItem()->text(0), QString("OWNERS"));
    chooseNode("Birch Row");
    QCOMPARE(listedApids(), QList<int>({9503}));

    // Clearing the criteria shows every apartment as Clear does.
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), "c-");
    child<QLineEdit>(form, "lineEdit")->clear();
    waitForSearch(form);
    QCOMPARE(listedApids(), QList<int>({9501, 9502, 9503, 9504}));
    QCOMPARE(tree->currentItem()->text(0), QString("OWNERS"));
}

void TestApartments::billsPaneFollowsTheList()
{
    selectApid(9503);
    QCOMPARE(t->hub->recurModel()->rowCount(), 2);
    // Another building: its list has no current apartment yet, so no bills of the old one stay.
    chooseNode("Alder Court");
    QCOMPARE(t->hub->recurModel()->rowCount(), 0);
    selectApid(9502);
    QCOMPARE(t->hub->recurModel()->rowCount(), 1);
    child<QComboBox>(form, "comboBox")->setCurrentIndex(1);
    QTest::keyClicks(child<QLineEdit>(form, "lineEdit"), "a-");
    waitForSearch(form);
    QCOMPARE(listedApids(), QList<int>({9501, 9502}));
    QCOMPARE(t->hub->recurModel()->rowCount(), 0);
}

void TestApartments::treeFollowsOwnerChanges()
{
    QVERIFY(t->exec("insert into owners (oid, code, name) values (9511, 'COWN', 'Cy Owner')"));
    t->hub->ownersModel()->select();
    chooseNode("Birch Row");
    OwnersForm owners(t->hub);
    selectRow(child<QTableView>(&owners, "tableView"), 0, 9511, 1);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(&owners, "pushButton_3");
    QCOMPARE(t->count("owners where oid = 9511"), 0);
    QVERIFY(tree->findItems("[COWN] Cy Owner", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    // The refilled tree still marks the building whose apartments the list shows.
    QCOMPARE(tree->currentItem()->text(0), QString("Birch Row"));
    QCOMPARE(listedApids(), QList<int>({9503}));
}

void TestApartments::deleteQuestionNamesTheApartment()
{
    selectApid(9503);
    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts().size(), 1);
    QVERIFY2(MsgBox::shownTexts().first().startsWith("Are you sure you want to delete apartment PH%1 of Birch Row?"),
             qPrintable(MsgBox::shownTexts().first()));
    QCOMPARE(t->count("apartments where apid = 9503"), 1);
}

void TestApartments::printRefusedWithoutTheReportsRight_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Print") << "pushButton_4";
    QTest::newRow("Print Charges") << "pushButton_8";
}

void TestApartments::printRefusedWithoutTheReportsRight()
{
    QFETCH(QString, button);
    t->hub->setCanViewReports(false);
    QSqlDoubleQueryModel *report = t->hub->reportQueryModel();
    report->setQuery("select 1 from RDB$DATABASE");
    selectApid(9503);
    MsgBox::clearShown();
    clickButton(form, qPrintable(button));
    QCOMPARE(MsgBox::shownTexts(), QStringList("You are not permitted to access this area"));
    QCOMPARE(report->query().lastQuery(), QString("select 1 from RDB$DATABASE"));
}

void TestApartments::chargesReportPrintsTheBills()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "pdftotext is needed");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(t->exec("update recur set startdate = '2026-01-01', enddate = '2026-12-31', nextdate = '2026-02-01' "
                    "where apid = 9503"));
    TiberneReport builder;
    t->hub->setReportGenerator(&builder);
    const QString pdf = TestEnvironment::root() + QStringLiteral("/charges.pdf");
    selectApid(9503);
    ModalDriver driver;
    saveAsPdfFromPreview(driver, pdf);
    clickButton(form, "pushButton_8");
    QCOMPARE(driver.handled, 2);
    t->hub->setReportGenerator(nullptr);

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const char *expected : {"Recurring Bills", "Building:", "Birch Row", "Suite/Apt #:", "PH%1", "Tenant:", "Type",
                                 "Amount", "Frequency", "Start Date", "End Date", "Next Date", "Rent", "1,500.00",
                                 "Parking", "50.00", "Monthly", "1/1/2026", "12/31/2026", "2/1/2026",
                                 "Total number of recurring bills: 2"})
        QVERIFY2(printed.contains(QLatin1String(expected)), expected);
    QCOMPARE(printed.count(QStringLiteral("Monthly")), 2);
}

VELLORAN_TEST_MAIN(TestApartments)
#include "tst_apartments.moc"
