#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "platform/datafolder.h"
#include "properties/apartmentsform.h"
#include "shell/chooosedatadialog.h"
#include "shell/mainwindow.h"

#include <QLoggingCategory>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QDialogButtonBox>
#include <QComboBox>
#include <QLabel>
#include <QSqlDriver>
#include <QLineEdit>
#include <QTableView>

#include <memory>

// Tenant 9700 in Oak Row: rent due 1 June 2021 with 2.00 a day and 25.00 flat, water due the same day
// with a flat fee only. Tenant 9705 owes nothing that carries a fee.
static const char *const fixture[] = {
    "insert into owners (oid, code, name) values (9790, 'LOWN', 'Lee Owner')",
    "insert into buildings (buildid, description, oid) values (9720, 'Oak Row', 9790)",
    "insert into tenants (tid, id, firstname, lastname) values (9700, 'T-LATE', 'Lou', 'Late')",
    "insert into tenants (tid, id, firstname, lastname) values (9705, 'T-OK', 'Ona', 'Ontime')",
    "insert into apartments (apid, tid, bid, suite, rent, agreeid) values (9701, 9700, 9720, 'O-1', 900, -1)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9711, 9700, 9701, 'Rent', 900, 0, '2021-06-01', 0, 900, 25, 2, '', 0)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9712, 9700, 9701, 'Water', 40, 0, '2021-06-01', 0, 40, 10, 0, '', 0)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9715, 9705, 9701, 'Parking', 50, 0, '2021-05-01', 0, 50, 0, 0, '', 0)",
};

// Bills of tenant 9700: rent of O-1 monthly from 1 May 2021, rent and water of O-2 monthly from 1 June,
// both apartments leased; parking of O-3, which has no lease.
static const char *const bills[] = {
    "insert into apartments (apid, tid, bid, suite, rent, agreeid) values (9702, 9700, 9720, 'O-2', 650, -1)",
    "insert into apartments (apid, tid, bid, suite, rent, agreeid) values (9703, 9700, 9720, 'O-3', 0, -1)",
    "insert into agreements (rid, tid, apid, rent, freq, leasestart, nextdate, leaseend) values (9740, 9700, 9701, 900, "
    "3, '2021-05-01', '2021-05-01', '2022-04-30')",
    "insert into agreements (rid, tid, apid, rent, freq, leasestart, nextdate, leaseend) values (9741, 9700, 9702, 650, "
    "3, '2021-06-01', '2021-06-01', '2022-05-31')",
    "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, completed, apid, "
    "leaserent) values (9750, 'Rent', 900, 0, 3, '2021-05-01', '2021-05-01', '2022-04-30', 0, 9700, 0, 9701, 1)",
    "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, completed, apid, "
    "leaserent) values (9753, 'Rent', 650, 0, 3, '2021-06-01', '2021-06-01', '2022-05-31', 0, 9700, 0, 9702, 1)",
    "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, completed, apid) "
    "values (9751, 'Water', 40, 0, 3, '2021-06-01', '2021-06-01', '2022-05-31', 0, 9700, 0, 9702)",
    "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, completed, apid) "
    "values (9752, 'Parking', 50, 0, 3, '2021-06-01', '2021-06-01', '2022-05-31', 0, 9700, 0, 9703)",
};

namespace {
const QString kQuestion = QStringLiteral("Do you want to charge late bills now?");

// A data folder of the test's own with a fresh demonstration database, and the main window on it.
class Office
{
public:
    Office()
    {
        qputenv("VELLORAN_DOCUMENTS", QFile::encodeName(m_docs.path()));
        QDir().mkpath(DataFolder::path());
        const QString file = DataFolder::filePath(QStringLiteral("DEMO.FDB"));
        QFile::copy(TestDatabase::builtDatabase(QStringLiteral("DEMO.FDB")), file);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);

        ModalDriver chooser;
        chooser.ok();
        window = std::make_unique<MainWindow>();
    }
    ~Office()
    {
        window.reset();
        releaseConnection();
    }
    XDataSource *hub() const { return window->dataSource(); }
    QVariant scalar(const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database());
        return query.exec(sql) && query.next() ? query.value(0) : QVariant();
    }

    std::unique_ptr<MainWindow> window;

private:
    QTemporaryDir m_docs;
};
}

class TestChargeRuns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void chargeRunPostsLeasedBillsOnly();
    void chargeRunWithNothingToPost();
    void chargeRunRollsBackWhenAPostingFails();
    void startUpRunIsShownAndNothingRunsInsideIt();
    void feesGrowWithTheDaysLate();
    void flatFeeIsChargedOnce();
    void nothingOverdueAsksNothing_data();
    void nothingOverdueAsksNothing();
    void answeringNoChargesNothing();
    void everyOverdueChargeGetsItsFeeOrNoneDoes_data();
    void everyOverdueChargeGetsItsFeeOrNoneDoes();
    void collectRentNeedsTheRight();
    void cancelledPickerEndsCollectRent();
    void collectRentOffersFeesThenTheCollection();
    void rentIsCollectedOnTheDemonstrationData();
    void secondBillOfATypeChargesItsOwnPeriods();

private:
    QString feeRows();
    std::unique_ptr<Office> office;
};

void TestChargeRuns::initTestCase()
{
    // The charge run tells through its debug lines what it found.
    QLoggingCategory::setFilterRules(QStringLiteral("velloran.debug=true"));
    MsgBox::setTestMode(true);
}

void TestChargeRuns::init()
{
    MsgBox::clearShown();
    Today::set(QDate(2021, 6, 11));
    office = std::make_unique<Office>();
    QVERIFY(office->window->isDatabaseOpen());
    for (const char *sql : fixture)
        QVERIFY(exec(sql));
    office->hub()->chargesModel()->select();
}

void TestChargeRuns::cleanup()
{
    office.reset();
    Today::reset();
}

// The posted charges of tenant 9700 as "type fordate", by due date.
static QString postedRows()
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec("select type, fordate, amt, origamount from charges where tid = 9700 and chid not in (9711, 9712) "
               "order by fordate, type, apid");
    QStringList rows;
    while (query.next())
        rows << QString("%1 %2 %3").arg(query.value(0).toString(), query.value(1).toDate().toString(Qt::ISODate))
                    .arg(query.value(2).toDouble(), 0, 'f', 2);
    return rows.join(" | ");
}

void TestChargeRuns::chargeRunPostsLeasedBillsOnly()
{
    for (const char *sql : bills)
        QVERIFY(exec(sql));
    office->window->processRecurringCharges();
    QCOMPARE(MsgBox::shownTexts(), QStringList());
    QCOMPARE(postedRows(), QString("Rent 2021-05-01 900.00 | Rent 2021-06-01 900.00 | Rent 2021-06-01 650.00 | Water 2021-06-01 40.00"));
    QCOMPARE(office->scalar("select nextdate from recur where recid = 9750").toDate(), QDate(2021, 7, 1));
    QCOMPARE(office->scalar("select nextdate from recur where recid = 9752").toDate(), QDate(2021, 6, 1));

    // A second run the same day finds nothing more due.
    office->window->processRecurringCharges();
    QCOMPARE(postedRows(), QString("Rent 2021-05-01 900.00 | Rent 2021-06-01 900.00 | Rent 2021-06-01 650.00 | Water 2021-06-01 40.00"));
}

void TestChargeRuns::chargeRunWithNothingToPost()
{
    QVERIFY(exec("update recur set completed = 1"));
    const int before = office->scalar("select count(*) from charges").toInt();
    office->window->processRecurringCharges();
    QCOMPARE(MsgBox::shownTexts(), QStringList());
    QCOMPARE(office->scalar("select count(*) from charges").toInt(), before);
    // The run's transaction was ended: there is none left to roll back.
    QVERIFY(!QSqlDatabase::database().driver()->rollbackTransaction());
}

void TestChargeRuns::chargeRunRollsBackWhenAPostingFails()
{
    for (const char *sql : bills)
        QVERIFY(exec(sql));
    // The rents are posted first; the water of O-2 is then refused.
    QVERIFY(exec("alter table charges add constraint refuse_water check (type <> 'Water')"));
    office->window->processRecurringCharges();
    QCOMPARE(MsgBox::shownTexts(), QStringList{"Error processing charges. Exception occured"});
    QCOMPARE(postedRows(), QString());
    QCOMPARE(office->scalar("select nextdate from recur where recid = 9750").toDate(), QDate(2021, 5, 1));
    QCOMPARE(office->scalar("select nextdate from recur where recid = 9751").toDate(), QDate(2021, 6, 1));
    QVERIFY(!QSqlDatabase::database().driver()->rollbackTransaction());
}

namespace {
// Records the texts of the progress dialogs drawn while it lives, each once in a row.
class ProgressWatch : public QObject
{
public:
    ProgressWatch() { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    QStringList shown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            if (auto *progress = qobject_cast<QProgressDialog *>(watched->parent()))
                if (shown.isEmpty() || shown.last() != progress->labelText())
                    shown << progress->labelText();
        return false;
    }
};
}

void TestChargeRuns::startUpRunIsShownAndNothingRunsInsideIt()
{
    for (const char *sql : bills)
        QVERIFY(exec(sql));
    // A command that falls due while the run is on (a timer, as a search that follows typing): it must
    // find the run done and committed.
    QString found;
    QTimer::singleShot(1, Qt::PreciseTimer, [&found] {
        QSqlQuery query(QSqlDatabase::database());
        query.exec("select count(*) from charges where tid = 9700 and chid not in (9711, 9712)");
        found = QString("%1 posted, transaction %2")
                    .arg(query.next() ? query.value(0).toInt() : -1)
                    .arg(QSqlDatabase::database().driver()->rollbackTransaction() ? "open" : "closed");
    });
    ProgressWatch watch;
    office->window->showMaximized();
    // Drawn from before the due bills are counted until the commit.
    QCOMPARE(watch.shown, QStringList({"Finding the bills that have fallen due...", "Posting the charges that have fallen due...",
                                       "Saving the charges posted..."}));
    QCOMPARE(found, QString());
    QVERIFY(!QApplication::overrideCursor());
    QTRY_COMPARE(found, QString("4 posted, transaction closed"));
    QCOMPARE(postedRows(), QString("Rent 2021-05-01 900.00 | Rent 2021-06-01 900.00 | Rent 2021-06-01 650.00 | Water 2021-06-01 40.00"));
}

// The late-fee charges of tenant 9700 as "type amount fordate", oldest first.
QString TestChargeRuns::feeRows()
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec("select type, amt, origamount, fordate, apid, latefeeflat, perday, applied, paid from charges "
               "where tid = 9700 and type like '% Late Fee' order by chid");
    QStringList rows;
    while (query.next()) {
        rows << QString("%1 %2 %3 %4 %5 %6")
                    .arg(query.value(0).toString())
                    .arg(query.value(1).toDouble(), 0, 'f', 2)
                    .arg(query.value(2).toDouble(), 0, 'f', 2)
                    .arg(query.value(3).toDate().toString(Qt::ISODate))
                    .arg(query.value(4).toInt())
                    .arg(query.value(5).toDouble() + query.value(6).toDouble() + query.value(7).toDouble()
                             + query.value(8).toDouble());
    }
    return rows.join(" | ");
}

void TestChargeRuns::feesGrowWithTheDaysLate()
{
    QVERIFY(exec("delete from charges where chid = 9712"));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    office->window->processLateFees(9700);
    QCOMPARE(MsgBox::shownTexts(), QStringList{kQuestion});
    QCOMPARE(feeRows(), QString("Rent Late Fee 45.00 45.00 2021-06-11 9701 0"));
    QCOMPARE(office->scalar("select lfd from charges where chid = 9711").toInt(), 10);
    QVERIFY(!office->hub()->chargesModel()->isDirty());

    // The same day again: the days are charged already.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    office->window->processLateFees(9700);
    QCOMPARE(feeRows(), QString("Rent Late Fee 45.00 45.00 2021-06-11 9701 0"));
    QCOMPARE(office->scalar("select lfd from charges where chid = 9711").toInt(), 10);

    Today::set(QDate(2021, 6, 16));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    office->window->processLateFees(9700);
    QCOMPARE(feeRows(), QString("Rent Late Fee 45.00 45.00 2021-06-11 9701 0 | Rent Late Fee 10.00 10.00 2021-06-16 9701 0"));
    QCOMPARE(office->scalar("select lfd from charges where chid = 9711").toInt(), 15);

    // A fee carries no fee of its own.
    Today::set(QDate(2021, 7, 1));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    office->window->processLateFees(9700);
    QCOMPARE(office->scalar("select count(*) from charges where type like '%Late Fee Late Fee'").toInt(), 0);
}

void TestChargeRuns::flatFeeIsChargedOnce()
{
    QVERIFY(exec("delete from charges where chid = 9711"));
    // A charge kept from an apartment since given up: its fee belongs to no apartment either.
    QVERIFY(exec("update charges set apid = null where chid = 9712"));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    office->window->processLateFees(9700);
    QCOMPARE(feeRows(), QString("Water Late Fee 10.00 10.00 2021-06-11 0 0"));
    QCOMPARE(office->scalar("select lfd from charges where chid = 9712").toInt(), 10);

    Today::set(QDate(2021, 6, 30));
    MsgBox::clearShown();
    office->window->processLateFees(9700);
    QCOMPARE(MsgBox::shownTexts(), QStringList());
    QCOMPARE(feeRows(), QString("Water Late Fee 10.00 10.00 2021-06-11 0 0"));
}

void TestChargeRuns::nothingOverdueAsksNothing_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("tenant");
    QTest::newRow("due today") << "update charges set fordate = '2021-06-11' where tid = 9700" << 9700;
    QTest::newRow("paid in full") << "update charges set amt = 0, paid = origamount where tid = 9700" << 9700;
    QTest::newRow("no fee on the charge") << "" << 9705;
}

void TestChargeRuns::nothingOverdueAsksNothing()
{
    QFETCH(QString, change);
    QFETCH(int, tenant);
    if (!change.isEmpty())
        QVERIFY(exec(change));
    const int before = office->scalar("select count(*) from charges").toInt();
    office->window->processLateFees(tenant);
    QCOMPARE(MsgBox::shownTexts(), QStringList());
    QCOMPARE(office->scalar("select count(*) from charges").toInt(), before);
}

void TestChargeRuns::answeringNoChargesNothing()
{
    MsgBox::setNextAnswer(QMessageBox::No);
    office->window->processLateFees(9700);
    QCOMPARE(MsgBox::shownTexts(), QStringList{kQuestion});
    QCOMPARE(feeRows(), QString());
    QCOMPARE(office->scalar("select sum(lfd) from charges where tid = 9700").toInt(), 0);
}

void TestChargeRuns::everyOverdueChargeGetsItsFeeOrNoneDoes_data()
{
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("fees");
    QTest::addColumn<int>("lateDays");
    QTest::newRow("all written") << "" << "Rent Late Fee 45.00 45.00 2021-06-11 9701 0 | "
                                          "Water Late Fee 10.00 10.00 2021-06-11 9701 0" << 20;
    // The engine refuses the second fee after the first was written and its days recorded.
    QTest::newRow("second fee refused") << "Water Late Fee" << "" << 0;
}

void TestChargeRuns::everyOverdueChargeGetsItsFeeOrNoneDoes()
{
    QFETCH(QString, refused);
    QFETCH(QString, fees);
    QFETCH(int, lateDays);
    if (!refused.isEmpty())
        QVERIFY(exec(QString("alter table charges add constraint refuse_fee check (type <> '%1')").arg(refused)));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    office->window->processLateFees(9700);
    QCOMPARE(feeRows(), fees);
    QCOMPARE(office->scalar("select sum(lfd) from charges where tid = 9700").toInt(), lateDays);
    QCOMPARE(MsgBox::shownTexts().size(), refused.isEmpty() ? 1 : 2);
    if (!refused.isEmpty())
        QCOMPARE(MsgBox::shownTexts().last(), QString("Error processing charges. Exception occured"));
    QVERIFY(!office->hub()->chargesModel()->isDirty());
}

void TestChargeRuns::collectRentNeedsTheRight()
{
    for (const char *sql : bills)
        QVERIFY(exec(sql));
    office->hub()->setCanReceivePayments(false);
    ModalDriver driver;
    office->window->collectRent();
    QCOMPARE(MsgBox::shownTexts(), QStringList{"You are not permitted to access this area"});
    QCOMPARE(driver.handled, 0);
    QCOMPARE(postedRows(), QString());
}

void TestChargeRuns::cancelledPickerEndsCollectRent()
{
    for (const char *sql : bills)
        QVERIFY(exec(sql));
    office->hub()->setCanReceivePayments(true);
    ModalDriver driver;
    driver.cancel([](QDialog *picker) { QCOMPARE(picker->windowTitle(), QString("Select Tenant Dialog")); });
    office->window->collectRent();
    QCOMPARE(driver.handled, 1);
    QCOMPARE(driver.unexpected, 0);
    QVERIFY(!MsgBox::shownTexts().contains(kQuestion));
    QCOMPARE(feeRows(), QString());
    // The charge run comes first, whatever the user does next.
    QCOMPARE(postedRows(), QString("Rent 2021-05-01 900.00 | Rent 2021-06-01 900.00 | Rent 2021-06-01 650.00 | Water 2021-06-01 40.00"));
}

void TestChargeRuns::collectRentOffersFeesThenTheCollection()
{
    office->hub()->setCanReceivePayments(true);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QString shownName;
    QString shownDue;
    ModalDriver driver;
    driver.ok([](QDialog *picker) {
        QTest::keyClicks(child<QLineEdit>(picker, "lineEdit"), "t-late");
        waitForSearch(picker);
        auto *view = child<QTableView>(picker, "tableView");
        QCOMPARE(view->model()->rowCount(), 1);
        view->setCurrentIndex(view->model()->index(0, 2));
    });
    driver.cancel([&](QDialog *collection) {
        QCOMPARE(collection->windowTitle(), QString("Collect Rent"));
        shownName = child<QLineEdit>(collection, "name")->text();
        shownDue = child<QLabel>(collection, "totalDue")->text();
    });
    office->window->collectRent();
    QCOMPARE(driver.handled, 2);
    QCOMPARE(driver.unexpected, 0);
    QVERIFY(MsgBox::shownTexts().contains(kQuestion));
    QCOMPARE(shownName, QString("Lou Late"));
    // 900 rent and 40 water, with their fees of 45 and 10 already on the bill.
    QCOMPARE(shownDue, QString("995.00"));
}

void TestChargeRuns::rentIsCollectedOnTheDemonstrationData()
{
    // Tenant 3 of the demonstration data is behind with charges that carry late fees; the dates of
    // that data follow the day it was built, so "today" is taken from it.
    const QDate lastDue = office->scalar("select max(fordate) from charges where tid = 3 and amt > 0").toDate();
    QVERIFY(lastDue.isValid());
    Today::set(lastDue.addDays(5));
    const QString code = office->scalar("select id from tenants where tid = 3").toString();
    office->hub()->setCanReceivePayments(true);
    MsgBox::setNextAnswer(QMessageBox::Yes);

    int paidCharge = -1;
    double paidAmount = 0.0;
    ModalDriver driver;
    driver.ok([&](QDialog *picker) {
        QTest::keyClicks(child<QLineEdit>(picker, "lineEdit"), code);
        waitForSearch(picker);
        selectRow(child<QTableView>(picker, "tableView"), 0, 3, 2);
    });
    driver.ok([&](QDialog *collection) {
        auto *grid = child<QTableView>(collection, "tableView");
        QVERIFY(grid->model()->rowCount() > 0);
        grid->setCurrentIndex(grid->model()->index(0, 3));
        paidCharge = grid->model()->index(0, 0).data().toInt();
        paidAmount = grid->model()->index(0, 4).data().toDouble();
        clickButton(collection, "pushButton_4");
        auto *cash = child<QLineEdit>(collection, "cash");
        cash->setText(QString::number(paidAmount, 'f', 2));
        emit cash->editingFinished();
    });
    // The applied-amount editor: the charge is paid in full.
    driver.ok([&](QDialog *editor) { child<QLineEdit>(editor, "paying")->setText(QString::number(paidAmount, 'f', 2)); });
    office->window->collectRent();

    QCOMPARE(driver.unexpected, 0);
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(MsgBox::shownTexts().first(), kQuestion);
    QVERIFY(office->scalar(QString("select count(*) from charges where tid = 3 and type like '%Late Fee' "
                                   "and fordate = '%1'").arg(XDataSource::toSqlDate(Today::date()))).toInt() > 0);
    QVERIFY(paidAmount > 0.0);
    QCOMPARE(office->scalar(QString("select amt from charges where chid = %1").arg(paidCharge)).toDouble(), 0.0);
    const int transid = office->scalar("select max(transid) from trans where tid = 3").toInt();
    QCOMPARE(office->scalar(QString("select paytotal from trans where transid = %1").arg(transid)).toDouble(), paidAmount);
    QCOMPARE(office->scalar(QString("select sum(income) from cashbook where transid = %1").arg(transid)).toDouble(),
             paidAmount);
}

// Maple Court 101 pays 45.00 a month for parking; the tenant takes a second space at 30.00 from three
// months back, added on the apartments page. Each bill charges each of its own months once.
void TestChargeRuns::secondBillOfATypeChargesItsOwnPeriods()
{
    const QDate next = office->scalar("select nextdate from recur where recid = 2").toDate();
    const QDate end = office->scalar("select enddate from recur where recid = 2").toDate();
    QVERIFY(next.isValid());
    const QDate since = next.addMonths(-3);
    Today::set(next.addDays(-23));
    {
        ApartmentsForm page(office->hub(), nullptr);
        selectRow(child<QTableView>(&page, "tableView"), 0, 1, 4);
        ModalDriver driver;
        driver.ok([&](QDialog *bill) {
            child<QComboBox>(bill, "type")->setCurrentText("Parking");
            child<QComboBox>(bill, "freq")->setCurrentText("Monthly");
            const QList<QPair<const char *, QString>> typed = {
                {"amount", "30"}, {"startDate", ShortDate::toText(since)}, {"endDate", ShortDate::toText(end)}};
            for (const auto &field : typed) {
                auto *edit = child<QLineEdit>(bill, field.first);
                edit->clear();
                QTest::keyClicks(edit, field.second);
            }
        });
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(&page, "pushButton_5");
        QCOMPARE(driver.stayedOpen, 0);
    }
    const auto parking = [&] {
        QSqlQuery query(QSqlDatabase::database());
        query.exec(QStringLiteral("select fordate, origamount from charges where apid = 1 and type = 'Parking' "
                                  "and fordate >= '%1' order by fordate, origamount")
                       .arg(since.toString(Qt::ISODate)));
        QStringList rows;
        while (query.next())
            rows << QString("%1 %2").arg(query.value(0).toDate().toString(Qt::ISODate)).arg(query.value(1).toDouble());
        return rows;
    };
    // The command that saved the bill charged its months fallen due, once each; the run finds nothing more.
    QStringList expected = parking();
    QStringList months;
    for (int month = 0; month < 3; ++month)
        months << QString("%1 30").arg(since.addMonths(month).toString(Qt::ISODate));
    QCOMPARE(expected.filter(QRegularExpression(" 30$")), months);

    office->window->processRecurringCharges();
    QCOMPARE(parking(), expected);

    Today::set(next.addDays(4));
    office->window->processRecurringCharges();
    expected << QString("%1 30").arg(next.toString(Qt::ISODate)) << QString("%1 45").arg(next.toString(Qt::ISODate));
    expected.sort();
    QCOMPARE(parking(), expected);
    QCOMPARE(office->scalar(QStringLiteral("select count(*) from recur where apid = 1 and type = 'Parking' and "
                                           "nextdate = '%1'").arg(next.addMonths(1).toString(Qt::ISODate))).toInt(),
             2);
}

VELLORAN_TEST_MAIN(TestChargeRuns)
#include "tst_chargeruns.moc"
