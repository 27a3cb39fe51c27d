// A lease's rent turned into charges: the due-date steps, the posting of what has fallen due, charging
// ahead, what the rent bill shows, and a charge run that either posts everything or nothing.

#include "testhub.h"

#include "datahub/today.h"
#include "money/billingstore.h"
#include "money/moneycommand.h"

#include <QSqlQuery>

namespace {
const int Tenant = 9001;
const int Apartment = 9002;

QString sqlDate(const QDate &date)
{
    return date.isValid() ? QStringLiteral("'%1'").arg(date.toString(Qt::ISODate)) : QStringLiteral("null");
}

QDate d(const char *iso)
{
    return QDate::fromString(QLatin1String(iso), Qt::ISODate);
}
} // namespace

class TestChargePosting : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dueDates_data();
    void dueDates();
    void tableLookupLeavesTheFrequencyListUnfiltered();

    void postsWhatHasFallenDue_data();
    void postsWhatHasFallenDue();
    void postedChargeCarriesTheBill();
    void chargesAhead_data();
    void chargesAhead();

    void driftedDayGoesBackToItsSchedule();
    void secondRunPostsNothingMore();
    void refusedChargeLeavesNoBillAdvanced();
    void postsAfterTheConnectionWasReopened();

private:
    // The apartment's lease, first due on `next`, and its rent bill `recid`; `deleted` leaves the lease
    // on record as deleted.
    void addLease(int recid, int freq, const QDate &next, const QDate &end, int deleted = 0, double amount = 100.0,
                  int apid = Apartment);
    // Posts the apartment in a transaction of its own, what is due or `periods` ahead.
    bool post(int periods = -1, int apid = Apartment);
    // The start-up charge run over the office; false when it was rolled back.
    bool chargeRun();
    QStringList postedDates();

    TestHub *t = nullptr;
};

void TestChargePosting::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    QVERIFY(t->exec("insert into frequency (freqid, name, description, days) values (41, 'Ten days', '', 10)"));
    QVERIFY(t->exec("insert into frequency (freqid, name, description, days) values (42, 'Never', '', 0)"));
    QVERIFY(t->exec("insert into frequency (freqid, name, description, days) values (43, 'Back', '', -3)"));
}

void TestChargePosting::cleanup()
{
    Today::reset();
    delete t;
    t = nullptr;
}

void TestChargePosting::addLease(int recid, int freq, const QDate &next, const QDate &end, int deleted,
                                 double amount, int apid)
{
    const int rid = recid - 100;
    QVERIFY(t->exec(QStringLiteral("insert into apartments (apid, bid, suite, agreeid) values (%1, 1, 'X%1', %2)")
                        .arg(apid)
                        .arg(deleted ? -1 : rid)));
    const QString terms = QStringLiteral("%1, %2, %3, %4, %5, %6").arg(rid).arg(Tenant).arg(apid).arg(amount).arg(freq)
                              .arg(sqlDate(next));
    QVERIFY(t->exec(QStringLiteral("insert into leasehistory (rid, tid, apid, rent, freq, firstpay, leaseend, deleted) "
                                   "values (%1, %2, %3)")
                        .arg(terms, sqlDate(end))
                        .arg(deleted)));
    if (!deleted)
        QVERIFY(t->exec(QStringLiteral("insert into agreements (rid, tid, apid, rent, freq, nextdate, leaseend, latefee, "
                                       "perday) values (%1, %2, 25, 1.5)")
                            .arg(terms, sqlDate(end))));
    QVERIFY(t->exec(QStringLiteral("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, "
                                   "enddate, perday, tid, completed, apid, leaserent, rid) values (%1, 'Rent', %2, 25, "
                                   "%3, %4, %4, %5, 1.5, %6, %7, %8, 1, %9)")
                        .arg(recid)
                        .arg(amount)
                        .arg(freq)
                        .arg(sqlDate(next), sqlDate(end))
                        .arg(Tenant)
                        .arg(deleted)
                        .arg(apid)
                        .arg(rid)));
}

bool TestChargePosting::post(int periods, int apid)
{
    return MoneyCommand::run({}, [&]() {
               BillingStore store(apid);
               return periods < 0 ? store.postDue(Today::date()) : store.postAhead(periods, Today::date());
           }).ok();
}

bool TestChargePosting::chargeRun()
{
    return MoneyCommand::run({}, []() { return BillingStore::postOffice(Today::date()); }).ok();
}

QStringList TestChargePosting::postedDates()
{
    QStringList dates;
    QSqlQuery q(QSqlDatabase::database());
    q.exec(QStringLiteral("select fordate from charges where tid = %1 order by chid").arg(Tenant));
    while (q.next())
        dates << q.value(0).toDate().toString(Qt::ISODate);
    return dates;
}

void TestChargePosting::dueDates_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("freq");
    QTest::addColumn<QDate>("next");
    QTest::newRow("1 two weeks") << d("2024-02-20") << 1 << d("2024-03-05");
    QTest::newRow("2 six months to a shorter month") << d("2023-08-31") << 2 << d("2024-02-29");
    QTest::newRow("3 month end of January, leap year") << d("2024-01-31") << 3 << d("2024-02-29");
    QTest::newRow("3 the drifted day stays") << d("2024-02-29") << 3 << d("2024-03-29");
    QTest::newRow("3 month end, common year") << d("2023-01-31") << 3 << d("2023-02-28");
    QTest::newRow("3 across the year") << d("2024-12-15") << 3 << d("2025-01-15");
    QTest::newRow("4 quarter from 30 November") << d("2023-11-30") << 4 << d("2024-02-29");
    QTest::newRow("5 week over the month end") << d("2024-02-26") << 5 << d("2024-03-04");
    QTest::newRow("6 year from 29 February") << d("2024-02-29") << 6 << d("2025-02-28");
    QTest::newRow("6 year over a 29 February") << d("2027-03-01") << 6 << d("2028-03-01");
    QTest::newRow("7 two years") << d("2024-02-29") << 7 << d("2026-02-28");
    QTest::newRow("8 three years") << d("2021-03-01") << 8 << d("2024-03-01");
    QTest::newRow("9 five years to 29 February") << d("2019-02-28") << 9 << d("2024-02-28");
    QTest::newRow("table: ten days") << d("2024-02-25") << 41 << d("2024-03-06");
    // A frequency that does not step forward has no due date after any other.
    QTest::newRow("table: zero days") << d("2024-02-25") << 42 << QDate();
    QTest::newRow("table: negative days") << d("2024-02-25") << 43 << QDate();
    QTest::newRow("missing frequency") << d("2024-02-25") << 77 << QDate();
    QTest::newRow("id 0 is looked up") << d("2024-02-25") << 0 << QDate();
}

void TestChargePosting::dueDates()
{
    QFETCH(QDate, from);
    QFETCH(int, freq);
    QFETCH(QDate, next);
    // The steps as the billing rule takes them, with the office's frequencies read from the file.
    QCOMPARE(BillingStore(Apartment).rule().step(from, freq, 1), next);
}

void TestChargePosting::tableLookupLeavesTheFrequencyListUnfiltered()
{
    QSuperSqlTableModel *frequencies = t->hub->frequencyModel();
    frequencies->setFilter("freqid = 3");
    addLease(9100, 41, d("2024-01-01"), d("2024-12-31"));
    Today::set(d("2024-01-15"));
    QVERIFY(post());
    QCOMPARE(postedDates(), (QStringList{"2024-01-01", "2024-01-11"}));
    QCOMPARE(frequencies->filter(), QString("freqid = 3"));
    frequencies->setFilter(QString());
    QCOMPARE(frequencies->rowCount(), t->count("frequency"));
}

void TestChargePosting::postsWhatHasFallenDue_data()
{
    QTest::addColumn<int>("freq");
    QTest::addColumn<QDate>("next");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("completed");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QStringList>("posted");
    QTest::addColumn<QDate>("storedNext");
    QTest::addColumn<int>("storedCompleted");

    // Each due date is counted from the day the bill began: the 31st, or the month's last day.
    QTest::newRow("three months due from the 31st, leap year")
        << 3 << d("2024-01-31") << d("2024-12-31") << 0 << d("2024-04-15")
        << QStringList{"2024-01-31", "2024-02-29", "2024-03-31"} << d("2024-04-30") << 0;
    QTest::newRow("four months due from the 31st")
        << 3 << d("2027-01-31") << d("2027-12-31") << 0 << d("2027-04-30")
        << QStringList{"2027-01-31", "2027-02-28", "2027-03-31", "2027-04-30"} << d("2027-05-31") << 0;
    QTest::newRow("twelve months from 31 January to 30 January: twelve rents")
        << 3 << d("2027-01-31") << d("2028-01-30") << 0 << d("2028-03-01")
        << QStringList{"2027-01-31", "2027-02-28", "2027-03-31", "2027-04-30", "2027-05-31", "2027-06-30",
                       "2027-07-31", "2027-08-31", "2027-09-30", "2027-10-31", "2027-11-30", "2027-12-31"}
        << d("2028-01-31") << 1;
    QTest::newRow("yearly from 29 February, calendar years")
        << 6 << d("2028-02-29") << d("2035-01-01") << 0 << d("2032-03-01")
        << QStringList{"2028-02-29", "2029-02-28", "2030-02-28", "2031-02-28", "2032-02-29"} << d("2033-02-28") << 0;
    // Every frequency of the office's table through the run, none stepped as another.
    QTest::newRow("semi-annually")
        << 2 << d("2026-12-01") << d("2029-12-01") << 0 << d("2028-01-15")
        << QStringList{"2026-12-01", "2027-06-01", "2027-12-01"} << d("2028-06-01") << 0;
    QTest::newRow("quarterly from the 31st")
        << 4 << d("2027-01-31") << d("2028-01-30") << 0 << d("2027-11-01")
        << QStringList{"2027-01-31", "2027-04-30", "2027-07-31", "2027-10-31"} << d("2028-01-31") << 1;
    QTest::newRow("bi-weekly")
        << 1 << d("2026-12-01") << d("2027-12-31") << 0 << d("2026-12-29")
        << QStringList{"2026-12-01", "2026-12-15", "2026-12-29"} << d("2027-01-12") << 0;
    QTest::newRow("every two years")
        << 7 << d("2026-03-31") << d("2033-01-01") << 0 << d("2030-04-01")
        << QStringList{"2026-03-31", "2028-03-31", "2030-03-31"} << d("2032-03-31") << 0;
    QTest::newRow("every three years from 29 February")
        << 8 << d("2024-02-29") << d("2035-01-01") << 0 << d("2030-03-01")
        << QStringList{"2024-02-29", "2027-02-28", "2030-02-28"} << d("2033-02-28") << 0;
    QTest::newRow("every five years")
        << 9 << d("2026-01-15") << d("2045-01-01") << 0 << d("2036-01-15")
        << QStringList{"2026-01-15", "2031-01-15", "2036-01-15"} << d("2041-01-15") << 0;
    QTest::newRow("due today is posted")
        << 5 << d("2024-04-15") << d("2024-12-31") << 0 << d("2024-04-15")
        << QStringList{"2024-04-15"} << d("2024-04-22") << 0;
    QTest::newRow("nothing due yet")
        << 3 << d("2024-05-01") << d("2024-12-31") << 0 << d("2024-04-15")
        << QStringList{} << d("2024-05-01") << 0;
    QTest::newRow("past its end: completed without posting")
        << 3 << d("2025-01-10") << d("2024-12-31") << 0 << d("2025-02-01")
        << QStringList{} << d("2025-01-10") << 1;
    QTest::newRow("steps onto its end date: completed, end date not charged")
        << 5 << d("2024-03-01") << d("2024-03-15") << 0 << d("2024-04-01")
        << QStringList{"2024-03-01", "2024-03-08"} << d("2024-03-15") << 1;
    QTest::newRow("steps past its end date: completed")
        << 5 << d("2024-03-01") << d("2024-03-10") << 0 << d("2024-04-01")
        << QStringList{"2024-03-01", "2024-03-08"} << d("2024-03-15") << 1;
    QTest::newRow("next date on the end date: completed")
        << 3 << d("2024-03-31") << d("2024-03-31") << 0 << d("2024-04-01")
        << QStringList{} << d("2024-03-31") << 1;
    QTest::newRow("frequency from the table")
        << 41 << d("2024-04-01") << d("2024-12-31") << 0 << d("2024-04-25")
        << QStringList{"2024-04-01", "2024-04-11", "2024-04-21"} << d("2024-05-01") << 0;
    // The lease deleted: its rent bill stays as it stood.
    QTest::newRow("deleted lease is left alone")
        << 3 << d("2024-01-01") << d("2024-12-31") << 1 << d("2024-04-15")
        << QStringList{} << d("2024-01-01") << 1;
    QTest::newRow("frequency with 0 days: nothing posted, row kept")
        << 42 << d("2024-01-01") << d("2024-12-31") << 0 << d("2024-04-15")
        << QStringList{} << d("2024-01-01") << 0;
    QTest::newRow("frequency stepping back: nothing posted, row kept")
        << 43 << d("2024-01-01") << d("2024-12-31") << 0 << d("2024-04-15")
        << QStringList{} << d("2024-01-01") << 0;
    QTest::newRow("missing frequency: nothing posted, row kept")
        << 77 << d("2024-01-01") << d("2024-12-31") << 0 << d("2024-04-15")
        << QStringList{} << d("2024-01-01") << 0;
    QTest::newRow("no next date: nothing posted, row kept")
        << 3 << QDate() << d("2024-12-31") << 0 << d("2024-04-15")
        << QStringList{} << QDate() << 0;
}

void TestChargePosting::postsWhatHasFallenDue()
{
    QFETCH(int, freq);
    QFETCH(QDate, next);
    QFETCH(QDate, end);
    QFETCH(int, completed);
    QFETCH(QDate, today);
    QFETCH(QStringList, posted);
    QFETCH(QDate, storedNext);
    QFETCH(int, storedCompleted);

    addLease(9100, freq, next, end, completed);
    Today::set(today);
    QVERIFY(post());
    QCOMPARE(postedDates(), posted);
    QCOMPARE(t->copy.scalar("select nextdate from recur where recid = 9100").toDate(), storedNext);
    QCOMPARE(t->copy.scalar("select completed from recur where recid = 9100").toInt(), storedCompleted);

    // Once posted, the same day posts nothing again.
    QVERIFY(post());
    QCOMPARE(postedDates(), posted);
}

void TestChargePosting::postedChargeCarriesTheBill()
{
    const int key = t->copy.scalar("select gen_id(GEN_CHARGES_ID, 0) from RDB$DATABASE").toInt();
    addLease(9100, 3, d("2024-01-15"), d("2024-12-31"), 0, 812.5);
    Today::set(d("2024-02-20"));
    QVERIFY(post());
    QCOMPARE(t->count(QStringLiteral("charges where tid = %1").arg(Tenant)), 2);
    QCOMPARE(t->copy.scalar(QStringLiteral("select min(chid) from charges where tid = %1").arg(Tenant)).toInt(), key + 1);
    QCOMPARE(t->copy.scalar(QStringLiteral("select max(chid) from charges where tid = %1").arg(Tenant)).toInt(), key + 2);
    const QString row = QStringLiteral("select %1 from charges where chid = ") + QString::number(key + 2);
    QCOMPARE(t->copy.scalar(row.arg("apid")).toInt(), Apartment);
    QCOMPARE(t->copy.scalar(row.arg("type")).toString(), QString("Rent"));
    QCOMPARE(t->copy.scalar(row.arg("amt")).toDouble(), 812.5);
    QCOMPARE(t->copy.scalar(row.arg("origamount")).toDouble(), 812.5);
    QCOMPARE(t->copy.scalar(row.arg("applied")).toDouble(), 0.0);
    QCOMPARE(t->copy.scalar(row.arg("paid")).toDouble(), 0.0);
    QCOMPARE(t->copy.scalar(row.arg("latefeeflat")).toDouble(), 25.0);
    QCOMPARE(t->copy.scalar(row.arg("perday")).toDouble(), 1.5);
    QCOMPARE(t->copy.scalar(row.arg("memo")).toString(), QString(""));
    QCOMPARE(t->copy.scalar(row.arg("lfd")).toInt(), 0);
    QCOMPARE(t->copy.scalar(row.arg("fordate")).toDate(), d("2024-02-15"));
}

void TestChargePosting::chargesAhead_data()
{
    QTest::addColumn<int>("freq");
    QTest::addColumn<QDate>("next");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("completed");
    QTest::addColumn<int>("periods");
    QTest::addColumn<QStringList>("posted");
    QTest::addColumn<QDate>("storedNext");
    QTest::addColumn<int>("storedCompleted");

    QTest::newRow("weekly, three asked, two before the end")
        << 5 << d("2030-03-01") << d("2030-03-10") << 0 << 3
        << QStringList{"2030-03-01", "2030-03-08"} << d("2030-03-15") << 1;
    QTest::newRow("monthly, future dates, from the 31st")
        << 3 << d("2030-01-31") << d("2030-12-31") << 0 << 3
        << QStringList{"2030-01-31", "2030-02-28", "2030-03-31"} << d("2030-04-30") << 0;
    QTest::newRow("0 periods still rewrites the flag")
        << 3 << d("2030-02-01") << d("2030-01-31") << 0 << 0
        << QStringList{} << d("2030-02-01") << 1;
    QTest::newRow("negative periods as 0")
        << 3 << d("2030-01-01") << d("2030-12-31") << 0 << -2
        << QStringList{} << d("2030-01-01") << 0;
    QTest::newRow("deleted lease is left alone")
        << 3 << d("2030-01-01") << d("2030-12-31") << 1 << 2
        << QStringList{} << d("2030-01-01") << 1;
    QTest::newRow("missing frequency never stores 1960")
        << 77 << d("2030-01-01") << d("2030-12-31") << 0 << 2
        << QStringList{} << d("2030-01-01") << 0;
}

void TestChargePosting::chargesAhead()
{
    QFETCH(int, freq);
    QFETCH(QDate, next);
    QFETCH(QDate, end);
    QFETCH(int, completed);
    QFETCH(int, periods);
    QFETCH(QStringList, posted);
    QFETCH(QDate, storedNext);
    QFETCH(int, storedCompleted);

    addLease(9100, freq, next, end, completed);
    Today::set(d("2024-01-01"));
    QVERIFY(post(periods));
    QCOMPARE(postedDates(), posted);
    QCOMPARE(t->copy.scalar("select nextdate from recur where recid = 9100").toDate(), storedNext);
    QCOMPARE(t->copy.scalar("select completed from recur where recid = 9100").toInt(), storedCompleted);
}

// An older file's lease begun on the 31st whose due day drifted to the 28th: its charges so far cover
// the periods of its schedule they were posted for, and the rest of its twelve months are charged on the
// 31st, or the month's last day.
void TestChargePosting::driftedDayGoesBackToItsSchedule()
{
    addLease(9100, 3, d("2027-01-31"), d("2028-01-30"));
    QVERIFY(t->exec(QStringLiteral("insert into charges (tid, apid, type, amt, fordate, recid, lastday, rid) values (%1, "
                                   "%2, 'Rent', 100, '2027-01-31', 9100, '2027-02-27', 9000)")
                        .arg(Tenant)
                        .arg(Apartment)));
    QVERIFY(t->exec(QStringLiteral("insert into charges (tid, apid, type, amt, fordate, recid, lastday, rid) values (%1, "
                                   "%2, 'Rent', 100, '2027-02-28', 9100, '2027-03-30', 9000)")
                        .arg(Tenant)
                        .arg(Apartment)));
    Today::set(d("2028-03-01"));
    QVERIFY(post());
    QCOMPARE(postedDates(), (QStringList{"2027-01-31", "2027-02-28", "2027-03-31", "2027-04-30", "2027-05-31", "2027-06-30",
                                         "2027-07-31", "2027-08-31", "2027-09-30", "2027-10-31", "2027-11-30", "2027-12-31"}));
    QCOMPARE(t->copy.scalar("select lastday from charges where fordate = '2027-03-31'").toDate(), d("2027-04-29"));
}

void TestChargePosting::secondRunPostsNothingMore()
{
    const int before = t->count("charges");
    // Two months after the demonstration office was built, every open bill of a lease is due.
    Today::set(QDate::currentDate().addMonths(2));
    QVERIFY(chargeRun());
    const int afterFirst = t->count("charges");
    QVERIFY(afterFirst > before);
    QCOMPARE(t->count("recur where completed = 0 and nextdate <= '" + Today::date().toString(Qt::ISODate)
                      + "' and nextdate < enddate and apid in (select apid from agreements)"),
             0);
    QVERIFY(chargeRun());
    QCOMPARE(t->count("charges"), afterFirst);
}

void TestChargePosting::refusedChargeLeavesNoBillAdvanced()
{
    // The rent posts first and fine; the water bill's second charge lands on a key that is taken.
    addLease(9101, 3, d("2024-01-01"), d("2024-12-31"));
    QVERIFY(t->exec(QStringLiteral("insert into recur (recid, type, amount, freq, nextdate, startdate, enddate, tid, "
                                   "completed, apid) values (9102, 'Water', 40, 3, '2024-03-01', '2024-03-01', "
                                   "'2024-12-31', %1, 0, %2)")
                        .arg(Tenant)
                        .arg(Apartment)));
    const int key = t->copy.scalar("select gen_id(GEN_CHARGES_ID, 0) from RDB$DATABASE").toInt();
    QVERIFY(t->exec(QStringLiteral("insert into charges (chid, tid, type) values (%1, 1, 'Blocker')").arg(key + 6)));
    QVERIFY(t->exec("update recur set completed = 1 where recid < 9000"));
    QVERIFY(t->exec("delete from agreements where rid < 9000"));
    Today::set(d("2024-04-15"));

    QVERIFY(!chargeRun());
    QCOMPARE(postedDates(), QStringList());
    QCOMPARE(t->copy.scalar("select nextdate from recur where recid = 9101").toDate(), d("2024-01-01"));
    QCOMPARE(t->copy.scalar("select nextdate from recur where recid = 9102").toDate(), d("2024-03-01"));

    // With the key free again the next run posts both bills in full.
    QVERIFY(t->exec("delete from charges where type = 'Blocker'"));
    QVERIFY(chargeRun());
    QCOMPARE(postedDates().size(), 4 + 2);
    QCOMPARE(t->copy.scalar("select nextdate from recur where recid = 9101").toDate(), d("2024-05-01"));
    QCOMPARE(t->copy.scalar("select nextdate from recur where recid = 9102").toDate(), d("2024-05-01"));
}

void TestChargePosting::postsAfterTheConnectionWasReopened()
{
    addLease(9100, 3, d("2024-01-01"), d("2024-12-31"));
    addLease(9101, 3, d("2024-01-01"), d("2024-12-31"), 0, 100.0, Apartment + 1);
    Today::set(d("2024-02-15"));
    QVERIFY(post());
    QVERIFY(t->hub->reopenTables());
    QVERIFY(post(-1, Apartment + 1));
    QCOMPARE(postedDates().size(), 4);
}

VELLORAN_TEST_MAIN(TestChargePosting)
#include "tst_chargeposting.moc"
