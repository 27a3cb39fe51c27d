// Opening a file of an earlier layout brings what its rows say into the current one: the days each
// posted charge covers and its lease, the ends the clerk set, what each bill dealt with, and due dates
// counted from a first payment date; the earliest layout's rent bills charge as that release charged them.

#include "olderfile.h"
#include "testhub.h"

#include "datahub/fileupgrade.h"
#include "datahub/today.h"
#include "money/chargerun.h"

namespace {

QString iso(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

} // namespace

class TestFileUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void fileOfTheLayoutBeforeRecordsWhatItsBillsDealtWith_data();
    void fileOfTheLayoutBeforeRecordsWhatItsBillsDealtWith();
    void earliestFileChargesItsRentBillsAsThatReleaseDid();
    void chargeCoversOneStepOfItsBillsFrequency_data();
    void chargeCoversOneStepOfItsBillsFrequency();
    void fileOfLayout4KeepsOneBillPerLine_data();
    void fileOfLayout4KeepsOneBillPerLine();

private:
    QVariant scalar(const QString &sql) { return t->copy.scalar(sql); }
    // The first day of the month `n` months from the one the office was built in.
    QDate month(int n) const { return m_month.addMonths(n); }
    void open(const QStringList &changes);

    std::unique_ptr<TestHub> t;
    QDate m_month;
};

void TestFileUpgrade::cleanup()
{
    t.reset();
    Today::reset();
}

void TestFileUpgrade::open(const QStringList &changes)
{
    t = std::make_unique<TestHub>(changes);
    QVERIFY(t->opened);
    QCOMPARE(scalar("select fileversion from filelevel").toInt(), int(FileUpgrade::CurrentVersion));
    m_month = scalar("select startdate from recur where recid = 2").toDate().addMonths(5);
}

void TestFileUpgrade::fileOfTheLayoutBeforeRecordsWhatItsBillsDealtWith_data()
{
    QTest::addColumn<int>("layout");
    QTest::newRow("layout 3") << 3;
    QTest::newRow("earliest layout") << 0;
}

// Bill 2 (Amelia's parking) was ended by the clerk before its lease's end: in layout 3 the lease
// command had given it a later end, in the earliest layout its rent runs on past it. Bill 4 dealt with
// its days from a first payment date; 3, 5 and 7 have due dates on and off their start's schedule.
void TestFileUpgrade::fileOfTheLayoutBeforeRecordsWhatItsBillsDealtWith()
{
    QFETCH(int, layout);
    QStringList changes = OlderFile::statements(layout);
    changes << "update recur set startdate = '2026-01-31', nextdate = '2026-03-28' where recid = 3"
            << "update recur set startdate = '2026-01-31', nextdate = '2026-03-31' where recid = 5"
            << "update recur set freq = 6, startdate = '2028-02-29', nextdate = '2032-02-29' where recid = 7"
            << "update recur set enddate = dateadd(-2 month to enddate) where recid = 2";
    if (layout == 3)
        changes << "update recur set givenend = dateadd(2 month to enddate) where recid = 2"
                << "update recur set givenend = enddate where recid = 6"
                << "update recur set firstpay = dateadd(-2 month to nextdate) where recid = 4"
                << "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, memo, recid) "
                   "values (90001, 6, 7, 'Rent', 0, 0, '2028-02-29', 0, 1350, '', 7)"
                << "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, memo, recid) "
                   "values (90002, 4, 4, 'Rent', 0, 0, '2026-01-31', 0, 1500, '', 5)";
    open(changes);

    // Every charge a bill posted covers its period, a calendar step of its bill's frequency, and names
    // its bill's lease.
    QVERIFY(t->count("charges where recid is not null") > 100);
    QCOMPARE(t->count("charges c join recur r on r.recid = c.recid where c.lastday is distinct from dateadd(-1 day "
                      "to iif(r.freq = 6, dateadd(1 year to c.fordate), dateadd(1 month to c.fordate))) or c.rid is "
                      "distinct from r.rid"),
             0);
    QCOMPARE(t->count("charges where (recid is null) <> (lastday is null)"), 0);
    QCOMPARE(scalar("select count(*) from charges c where c.rid = 1 and c.recid = 1").toInt(), 6);
    if (layout == 3)
        QCOMPARE(scalar("select list(lastday, ' ') from (select lastday from charges where chid in (90001, 90002) "
                        "order by chid)").toString(),
                 QStringLiteral("2029-02-27 2026-02-27"));

    // Only the clerk's end is his.
    QCOMPARE(scalar("select list(recid) from recur where clerkend is not null").toString(), QStringLiteral("2"));
    QCOMPARE(t->count("recur where recid = 2 and clerkend = enddate"), 1);

    // What each bill dealt with under the layout before: every day before its next due date, or from
    // its first payment date where it had one.
    QCOMPARE(t->count("dealtdays where kind = 4"), t->count("recur"));
    QCOMPARE(t->count("dealtdays d join recur r on r.recid = d.recid where d.lastday <> dateadd(-1 day to r.nextdate) "
                      "or d.apid is distinct from r.apid or d.tid is distinct from r.tid or d.rid is distinct from r.rid"),
             0);
    QCOMPARE(scalar("select list(recid) from dealtdays where fromdate is not null").toString(),
             layout == 3 ? QStringLiteral("4") : QString());

    // Due dates count from the start where the bill kept to its start's schedule, each taken from it at once.
    QCOMPARE(t->count("recur where firstpay is null"), 0);
    QCOMPARE(scalar("select list(firstpay, ' ') from (select firstpay from recur where recid in (1, 3, 5, 7) order by "
                    "recid)").toString(),
             QStringLiteral("%1 2026-03-28 2026-01-31 2028-02-29").arg(iso(month(-6))));
    QVERIFY2(t->hub->upgradeSummary().contains("1 bills given the end the clerk set"),
             qPrintable(t->hub->upgradeSummary()));
}

// Amelia's last month's rent typed ahead as a one-time charge, and one of Benedict's after his lease
// and its bill were deleted; Clara's lease deleted, the apartment keeping an earlier agreement row,
// and a Rent bill added for her afterwards; a Rent bill left on an apartment with no agreement at all.
void TestFileUpgrade::earliestFileChargesItsRentBillsAsThatReleaseDid()
{
    const QString oneTime = "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, memo) "
                            "select %1, tid, apid, 'Rent', amount, 0, dateadd(%2 month to nextdate), 0, amount, '' from "
                            "recur where recid = %3";
    open(OlderFile::statements()
         << oneTime.arg(90001).arg(4).arg(1) << oneTime.arg(90002).arg(3).arg(3)
         << "delete from recur where recid in (3, 4)" << "delete from agreements where rid in (2, 3)"
         << "update apartments set agreeid = -1 where apid in (2, 3)"
         << "insert into agreements (rid, tid, apid, rent, freq, leasestart, leaseend, nextdate) select 9700, 3, 3, "
            "1300, 3, dateadd(-16 month to startdate), dateadd(-4 month to startdate), dateadd(-16 month to startdate) "
            "from recur where recid = 2"
         << "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, "
            "completed, apid) select 9601, 'Rent', 1325, 0, 3, nextdate, nextdate, dateadd(12 month to nextdate), 0, 3, "
            "0, 3 from recur where recid = 2"
         << "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, "
            "completed, apid) select 9602, 'Rent', 900, 0, 3, nextdate, nextdate, dateadd(12 month to nextdate), 0, 36, "
            "0, 5 from recur where recid = 2");
    const QString summary = t->hub->upgradeSummary();
    QVERIFY2(summary.contains("1 rent bills of no lease left charging until a lease is saved on their apartment "
                              "(bills 9601)")
                 && summary.contains("1 rent bills of former tenants stopped (bills 9602)")
                 && summary.contains("1 deleted rent bills' days kept"),
             qPrintable(summary));

    // Only Benedict's deleted bill left days, up to its last posted charge; a one-time charge never
    // does, nor covers any.
    QCOMPARE(scalar("select list(tid || ' ' || lastdue || ' ' || nextdate || ' ' || completed) from recur where "
                    "startdate is null").toString(),
             QStringLiteral("2 %1 %2 1").arg(iso(month(0)), iso(month(1))));
    QCOMPARE(t->count("charges where chid in (90001, 90002) and recid is null and lastday is null"), 2);

    QCOMPARE(scalar("select leaserent || ' ' || completed from recur where recid = 9601").toString(),
             QStringLiteral("2 0"));
    QCOMPARE(scalar("select leaserent || ' ' || completed from recur where recid = 9602").toString(),
             QStringLiteral("1 1"));
    Today::set(month(2).addDays(3));
    QVERIFY(ChargeRun::postDue(nullptr, t->hub));
    // It charges on from its next due date (the charges before are her deleted bill's, named as this
    // one's: the one Rent bill of hers there).
    QCOMPARE(scalar(QStringLiteral("select list(fordate || '=' || cast(origamount as numeric(12, 2)), ' ') from (select "
                                   "fordate, origamount from charges where recid = 9601 and fordate >= '%1' order by "
                                   "fordate)").arg(iso(month(1)))).toString(),
             QStringLiteral("%1=1325.00 %2=1325.00").arg(iso(month(1)), iso(month(2))));
    QCOMPARE(t->count("charges where recid = 9602"), 0);
}

void TestFileUpgrade::chargeCoversOneStepOfItsBillsFrequency_data()
{
    QTest::addColumn<int>("freq");
    QTest::addColumn<int>("months");
    QTest::addColumn<int>("days");
    QTest::newRow("Bi-Weekly") << 1 << 0 << 14;
    QTest::newRow("Semi-Annually") << 2 << 6 << 0;
    QTest::newRow("Monthly") << 3 << 1 << 0;
    QTest::newRow("Quarterly") << 4 << 3 << 0;
    QTest::newRow("Weekly") << 5 << 0 << 7;
    QTest::newRow("Annually") << 6 << 12 << 0;
    QTest::newRow("Every 2 Years") << 7 << 24 << 0;
    QTest::newRow("Every 3 Years") << 8 << 36 << 0;
    QTest::newRow("Every 5 Years") << 9 << 60 << 0;
    QTest::newRow("the office's own, of 10 days") << 10 << 0 << 10;
    QTest::newRow("the office's own, without days") << 11 << 0 << 0;
}

// Charges of a bill of each frequency, on days at the ends of months and of a leap year's February,
// one at the turn of a year: each covers up to the day before the next due date, a calendar step on
// from its own (the last day of a shorter month where the step lands past it); none covers days where
// the frequency has no step. Every charge names its bill's lease.
void TestFileUpgrade::chargeCoversOneStepOfItsBillsFrequency()
{
    QFETCH(int, freq);
    QFETCH(int, months);
    QFETCH(int, days);
    const QList<QDate> dates = {QDate(2024, 1, 31), QDate(2024, 2, 29), QDate(2023, 8, 31), QDate(2025, 12, 31),
                                QDate(2026, 3, 15)};
    QStringList changes = OlderFile::statements(3);
    changes << "insert into frequency (freqid, name, description, days, sysflag) values (10, 'Ten days', '', 10, 0)"
            << "insert into frequency (freqid, name, description, days, sysflag) values (11, 'Now and then', '', 0, 0)"
            << QStringLiteral("update recur set freq = %1 where recid = 3").arg(freq);
    for (int i = 0; i < dates.size(); ++i)
        changes << QStringLiteral("insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, "
                                  "memo, recid) select %1, tid, apid, type, 0, 0, '%2', 0, amount, '', 3 from recur "
                                  "where recid = 3")
                       .arg(95001 + i)
                       .arg(iso(dates.at(i)));
    open(changes);
    QStringList expected;
    for (const QDate &date : dates) {
        const QDate next = months > 0 ? date.addMonths(months) : days > 0 ? date.addDays(days) : QDate();
        expected << (next.isValid() ? iso(next.addDays(-1)) : QStringLiteral("none"));
    }
    QCOMPARE(scalar("select list(coalesce(cast(lastday as varchar(10)), 'none'), ' ') from (select lastday from charges "
                    "where chid > 95000 order by chid)").toString(),
             expected.join(' '));
    QCOMPARE(t->count("charges c join recur r on r.recid = c.recid where c.rid is distinct from r.rid"), 0);
}

void TestFileUpgrade::fileOfLayout4KeepsOneBillPerLine_data()
{
    // Desmond's parking on Maple Court 104 (bill 6), charged since his lease began last month.
    const QString copy = "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, "
                         "tid, completed, apid, leaserent, rid, firstpay, origin) select %1, type, amount, 0, freq, %2, "
                         "%3, enddate, 0, tid, 0, apid, 0, %4, %3, 6 from recur where recid = 6";
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<int>("listed");
    QTest::addColumn<QList<int>>("months");
    QTest::newRow("as it stands") << QStringList() << 1 << QList<int>{-1, 0, 1};
    // The lease entered again copied his parking for it.
    QTest::newRow("copied for the lease entered again")
        << QStringList{copy.arg(9801).arg("nextdate").arg("startdate").arg(4)} << 1 << QList<int>{-1, 0, 1};
    // That copy deleted in the bills list five days into this month: the layout removed the row.
    QTest::newRow("copy deleted") << QStringList{"insert into dealtdays (recid, apid, tid, rid, fromdate, lastday, kind) "
                                                 "select 6, apid, tid, rid, null, dateadd(-26 day to nextdate), 5 from "
                                                 "recur where recid = 6"}
                                  << 0 << QList<int>{-1, 0};
    // Two months of an earlier lease of his here, agreed to when this one was saved, on a bill of their own.
    QTest::newRow("earlier months agreed to")
        << QStringList{copy.arg(9802).arg("dateadd(-4 month to nextdate)").arg("dateadd(-4 month to nextdate)").arg(9790),
                       "insert into dealtdays (recid, apid, tid, rid, fromdate, lastday, kind) select 9802, apid, tid, "
                       "9790, dateadd(-4 month to nextdate), dateadd(-1 day to dateadd(-2 month to nextdate)), 3 from "
                       "recur where recid = 6"}
        << 1 << QList<int>{-3, -2, -1, 0, 1};
}

// A file of the layout before: each line keeps one bill in the apartment's list, a line the clerk deleted
// charges nothing after, and days agreed to are charged as they fell due; the start-up run then charges
// each month of the line once.
void TestFileUpgrade::fileOfLayout4KeepsOneBillPerLine()
{
    QFETCH(QStringList, changes);
    QFETCH(int, listed);
    QFETCH(QList<int>, months);
    open(OlderFile::statements(4) << changes);
    QVERIFY2(t->hub->upgradeSummary().contains("leases, lines and agreed periods recorded"),
             qPrintable(t->hub->upgradeSummary()));
    QCOMPARE(t->count("leasehistory where apid = 4 and tid = 4 and deleted = 0"), 1);
    QCOMPARE(t->count("recur where apid = 4 and type = 'Parking' and deletedon is null"), listed);
    QCOMPARE(t->count("recur where apid = 4 and type = 'Parking' and line is distinct from 6"), 0);

    Today::set(month(1).addDays(3));
    QVERIFY(ChargeRun::postDue(nullptr, t->hub));
    QStringList expected;
    for (int m : months)
        expected << iso(month(m)) + "=45.00";
    QCOMPARE(scalar("select list(fordate || '=' || cast(origamount as numeric(12, 2)), ' ') from (select fordate, "
                    "origamount from charges where apid = 4 and type = 'Parking' order by fordate)")
                 .toString(),
             expected.join(' '));
    // The bill the list shows goes on from the month after the last charged.
    QCOMPARE(t->count(QStringLiteral("recur where apid = 4 and type = 'Parking' and deletedon is null and completed = 0 "
                                     "and nextdate = '%1'").arg(iso(month(2)))),
             listed);
}

VELLORAN_TEST_MAIN(TestFileUpgrade)
#include "tst_fileupgrade.moc"
