// Benchmark of the charge run (built with the tests, not run by ctest): 10,000 monthly leases, each ten
// months behind, posted as the start-up run does (100,000 charges), against the floor of the same
// 100,000 rows inserted by one EXECUTE BLOCK inside the engine, in the same process. Then the lease
// commands on an apartment with five years of charges on its rent and two more lines, each within
// 100 ms.
//
//   QT_QPA_PLATFORM=offscreen ./tests/bench_posting [bills]
#include "testhub.h"

#include "datahub/today.h"
#include "money/billingstore.h"
#include "money/leasewrite.h"
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

    // Five years of a lease on apartment 1 with parking and water beside the rent, then the commands.
    run(QStringLiteral("update agreements set nextdate = '2020-06-15', leasestart = '2020-06-15' where rid = 1"));
    run(QStringLiteral("update leasehistory set firstpay = '2020-06-15' where rid = 1"));
    run(QStringLiteral("update recur set startdate = '2020-06-15' where recid = 1"));
    for (const char *type : {"Parking", "Water"})
        run(QStringLiteral("insert into recur (recid, type, amount, freq, nextdate, startdate, enddate, tid, completed, "
                           "apid, addedby) values (gen_id(GEN_RECUR_ID, 0) + %1, '%2', 45, 3, '2020-06-15', '2020-06-15', "
                           "'2026-12-31', 1, 0, 1, 1)")
                .arg(bills + (type[0] == 'P' ? 1 : 2))
                .arg(QLatin1String(type)));
    MoneyCommand::run({}, [] { return BillingStore(1).postDue(Today::date()); });
    const int history = scalar(QStringLiteral("select count(*) from charges where apid = 1"));
    bool commandsHeld = history >= 180;
    const auto timed = [&commandsHeld](const char *name, const std::function<bool()> &command) {
        QElapsedTimer commandClock;
        commandClock.start();
        const bool done = command();
        const qint64 ms = commandClock.elapsed();
        commandsHeld = commandsHeld && done && ms < 100;
        std::printf("%-34s %lld ms (target: under 100 ms)%s\n", name, static_cast<long long>(ms), done ? "" : " FAILED");
    };
    std::printf("apartment with %d charges over five years:\n", history);
    timed("lease deleted", [] { return LeaseWrite::remove(1, 1, nullptr).ok(); });
    LeaseWrite::Lease lease;
    lease.agreementId = 9900001;
    lease.tenantId = 1;
    lease.apartmentId = 1;
    lease.terms.rent = 1100.0;
    lease.terms.frequency = 3;
    lease.terms.firstPayment = QDate(2025, 7, 1);
    lease.terms.leaseStart = QDate(2025, 7, 1);
    lease.terms.leaseEnd = QDate(2026, 6, 30);
    timed("lease saved, the question asked", [&lease] {
        return LeaseWrite::save(lease, nullptr, [](const QString &) { return true; }).ok();
    });
    const int parking = scalar(QStringLiteral("select max(recid) from recur where apid = 1 and type = 'Parking'"));
    timed("bill edited", [parking] {
        return run(QStringLiteral("update recur set amount = 50 where recid = %1").arg(parking))
            && LeaseWrite::billSaved(parking, false).ok();
    });
    timed("bill deleted", [parking] { return LeaseWrite::billDeleted(parking).ok(); });

    delete hub;
    db = QSqlDatabase();
    releaseConnection();
    return posted == charges && advanced == bills && distinctDays == PeriodsBehind && named == charges && commandsHeld ? 0
                                                                                                                      : 1;
}
