// Benchmark of the charge run (built with the tests, not run by ctest): 10,000 monthly bills, each ten
// months behind, posted through the data hub as the start-up run does (100,000 charges), against the
// floor of the same 100,000 rows inserted by one EXECUTE BLOCK inside the engine, in the same process.
//
//   QT_QPA_PLATFORM=offscreen ./tests/bench_posting [bills]
#include "testhub.h"

#include "datahub/today.h"
#include "money/billingstore.h"
#include "money/moneycommand.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace {

const int PeriodsBehind = 10;

bool run(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database());
    if (q.exec(sql))
        return true;
    std::fprintf(stderr, "%s\n%s\n", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

int scalar(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database());
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    TestEnvironment::isolate();
    QApplication app(argc, argv);
    const int bills = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    const int charges = bills * PeriodsBehind;

    TestDatabase copy(QStringLiteral("DATA.FDB"));
    XDataSource *hub = hubOnCopy(copy);
    if (!copy.isValid() || !hub->openDatabase()) {
        std::fprintf(stderr, "no database\n");
        return 1;
    }
    QSqlDatabase db = QSqlDatabase::database();
    Today::set(QDate(2025, 6, 15));

    // The leases and their rent bills: monthly, due since 1 September 2024, running to the end of 2026.
    db.transaction();
    if (!run(QStringLiteral("execute block as declare i integer = 1; begin "
                            "while (i <= %1) do begin "
                            "insert into apartments (apid, suite, rent, agreeid) values (:i, :i, 1000, :i); "
                            "insert into agreements (rid, tid, apid, rent, freq, nextdate, leasestart, leaseend, latefee, "
                            "perday) values (:i, :i, :i, 1000 + mod(:i, 500), 3, '2024-09-01', '2024-09-01', "
                            "'2026-12-31', 25, 1.5); "
                            "insert into leasehistory (rid, tid, apid, rent, freq, firstpay, leaseend) values (:i, :i, :i, "
                            "1000 + mod(:i, 500), 3, '2024-09-01', '2026-12-31'); "
                            "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, "
                            "perday, tid, completed, apid, rid, leaserent) values (:i, 'Rent', 1000 + mod(:i, 500), 25, 3, "
                            "'2024-09-01', '2024-09-01', '2026-12-31', 1.5, :i, 0, :i, :i, 1); "
                            "i = i + 1; end end")
                 .arg(bills))
        || !db.commit()) {
        return 1;
    }

    // The floor: the same rows, each naming its bill, the days it covers and its lease, written by the
    // engine itself.
    QElapsedTimer clock;
    db.transaction();
    clock.start();
    const bool floorWritten = run(QStringLiteral(
        "execute block as declare i integer = 1; declare k integer; begin "
        "while (i <= %1) do begin k = 0; "
        "while (k < %2) do begin "
        "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, "
        "memo, recid, lastday, rid) values (gen_id(GEN_CHARGES_ID, 1), :i, :i, 'Rent', 1000 + mod(:i, 500), 0, "
        "dateadd(:k month to date '2024-09-01'), 0, 1000 + mod(:i, 500), 25, 1.5, '', :i, "
        "dateadd(-1 day to dateadd(:k + 1 month to date '2024-09-01')), :i); "
        "k = k + 1; end i = i + 1; end end")
                                  .arg(bills)
                                  .arg(PeriodsBehind));
    const bool floorCommitted = floorWritten && db.commit();
    const qint64 floorMs = clock.elapsed();
    const int floorRows = scalar(QStringLiteral("select count(*) from charges"));
    db.transaction();
    run(QStringLiteral("delete from charges"));
    db.commit();
    if (!floorCommitted || floorRows != charges) {
        std::fprintf(stderr, "floor wrote %d rows\n", floorRows);
        return 1;
    }

    // The run, as the main window starts it: one transaction, every apartment with something due.
    clock.restart();
    if (!MoneyCommand::run({}, [] { return BillingStore::postOffice(Today::date()); }).ok())
        return 1;
    const qint64 runMs = clock.elapsed();

    const int posted = scalar(QStringLiteral("select count(*) from charges"));
    const int advanced = scalar(QStringLiteral("select count(*) from recur where nextdate = '2025-07-01' and completed = 0"));
    const int distinctDays = scalar(QStringLiteral("select count(distinct fordate) from charges"));

    const double floorRate = charges * 1000.0 / qMax<qint64>(floorMs, 1);
    const double runRate = posted * 1000.0 / qMax<qint64>(runMs, 1);
    std::printf("bills %d, charges expected %d\n", bills, charges);
    std::printf("in-engine EXECUTE BLOCK: %lld ms, %.0f charges/s\n", static_cast<long long>(floorMs), floorRate);
    std::printf("charge run:              %lld ms, %.0f charges/s (%d posted, %d bills advanced, %d due dates)\n",
                static_cast<long long>(runMs), runRate, posted, advanced, distinctDays);
    std::printf("run rate / in-engine rate: %.1f%%\n", 100.0 * runRate / floorRate);
    const int named = scalar(QStringLiteral("select count(*) from charges where recid = tid and rid = tid and lastday = "
                                            "dateadd(-1 day to dateadd(1 month to fordate))"));
    std::printf("charges naming their bill, period and lease: %d\n", named);
    std::printf("run time / in-engine time: x%.2f (target: within x1.5)\n", double(runMs) / qMax<qint64>(floorMs, 1));

    delete hub;
    db = QSqlDatabase();
    releaseConnection();
    return posted == charges && advanced == bills && distinctDays == PeriodsBehind && named == charges ? 0 : 1;
}
