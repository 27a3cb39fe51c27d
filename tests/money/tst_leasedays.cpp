// Every short sequence of lease actions on one apartment, each on a fresh copy of the demonstration
// office, each action told as the clerk's acts and the books checked against what the billing oracle
// posts for them (tests/support/leasedays.h): Maple Court 101, let to Amelia Carraway with a rent and a parking bill,
// Juniper Hale free to take it. The actions, by the letters that name a sequence's row:
//   E, S, L, A  her lease deleted and entered again for the same tenant, its first payment date two months
//               earlier, the same, later within the old lease, or the day after its end (a renewal ahead);
//               L and A come as Ly/Ln and Ay/An, the answer to the question about the earlier lease's days
//               (elsewhere, where it is asked, the answer alternates by row)
//   T, R        a turnover to Juniper from the first of next month, and back: his lease deleted, the
//               apartment given to Amelia again, her lease entered again with its own dates; each counts
//               half an action, and R right after T is the same day (a mistake undone)
//   F           the tenant's latest unpaid charge of a bill deleted in Collect Rent (forgiven)
//   B           the tenant's parking bill ended at the end of its next period, through its editor
//   W           a water bill of 30.00 added back-dated, from the first of last month to the lease's end
//   Ve, Vl      the holder's latest water bill (one of 25.00 added from the month after next, if he has
//               none) given a start two months earlier, or a month later, in its editor
// Row by row the rent is charged monthly, quarterly or yearly beside the monthly parking (the lease
// entered again so from the first of next month after the first charge run), and every other pair of
// rows takes each action before that month's charge run instead of after it. Monthly runs go on to eighteen
// months from the first; the books are checked after every action and every run.
//
// Every sequence of one and two actions runs, and an evenly spread sample of those of three.
// VELLORAN_LEASEDAYS_SHARD=i/n runs every n-th row from the i-th (ctest runs them in shards side by
// side); VELLORAN_LEASEDAYS_ALL=1 runs every sequence of three as well (an hour or so), e.g.
//   VELLORAN_LEASEDAYS_ALL=1 QTEST_FUNCTION_TIMEOUT=36000000 QT_QPA_PLATFORM=offscreen build/tests/tst_leasedays

#include "leasedays.h"
#include "leasedriver.h"
#include "ledgercheck.h"
#include "testhub.h"

#include "datahub/today.h"
#include "money/chargerun.h"
#include "properties/apartmentsform.h"

#include <QSqlQuery>

namespace {

const int Maple101 = 1;
const int Amelia = 1;
const int Juniper = 36;
const int Months = 18;
const int SampleOfThree = 40;

QVariant scalar(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec(sql);
    return query.next() ? query.value(0) : QVariant();
}

// The letters a sequence is made of; T and R are half an action each.
const QStringList letters = {"E", "S", "Ly", "Ln", "Ay", "An", "F", "B", "T", "R", "W", "Ve", "Vl"};
int halves(const QString &letter)
{
    return letter == "T" || letter == "R" ? 1 : 2;
}

// Every sequence of at most six halves that the clerk can take: T while Amelia holds the apartment, R while
// Juniper does, B while the holder's parking bill runs (Juniper gets one at a turnover only from a bill of
// Amelia's still running, and keeps his own when he comes again).
void sequences(const QStringList &done, int used, bool juniper, const QMap<int, int> &parking, QList<QStringList> &all)
{
    if (!done.isEmpty())
        all << done;
    for (const QString &letter : letters) {
        QMap<int, int> bills = parking;
        const int holder = juniper ? Juniper : Amelia;
        if (used + halves(letter) > 6 || (letter == "T" && juniper) || (letter == "R" && !juniper))
            continue;
        if (letter == "B") {
            if (bills.value(holder) != 1)
                continue;
            bills[holder] = 2;
        }
        if (letter == "T" && bills.value(Juniper) == 0)
            bills[Juniper] = bills.value(Amelia) == 1 ? 1 : 0;
        sequences(QStringList(done) << letter, used + halves(letter), letter == "T" || (juniper && letter != "R"), bills,
                  all);
    }
}

QDate firstOfMonth(const QDate &day)
{
    return day.addDays(1 - day.day());
}

} // namespace

class TestLeaseDays : public QObject
{
    Q_OBJECT

private slots:
    void everyShortSequenceChargesEachDayOnce_data();
    void everyShortSequenceChargesEachDayOnce();

private:
    // Runs one action; says what it did.
    QString act(const QString &letter, bool answerYes);
    QString remake(int months, bool keepStart, bool after, QMessageBox::StandardButton answer);
    QString turnOver(int tid, const QSqlRecord &terms, QMessageBox::StandardButton answer);
    QString chargeRentBy(int freq);
    QString water(const QString &letter);
    // The books against the oracle (Maple Court 101's, or `everyApartment`'s) and the ledger check;
    // false, with the breaches in `broken`, when they do not hold.
    bool check(const QString &where, bool everyApartment = false);

    std::unique_ptr<ApartmentsForm> form;
    LeaseDays days;
    std::unique_ptr<LeaseDriver> lease;
    QStringList broken;
    // The lease each tenant last held here, to come back with.
    QMap<int, QSqlRecord> leases;
    bool forgiveRentFirst = true;
    QString mode;
};

void TestLeaseDays::everyShortSequenceChargesEachDayOnce_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<int>("rentFreq");
    QTest::addColumn<bool>("runFirst");
    const QStringList shard = qEnvironmentVariable("VELLORAN_LEASEDAYS_SHARD", QStringLiteral("0/1")).split('/');
    const int shards = qMax(1, shard.value(1).toInt());
    const auto add = [&](const QStringList &steps, int row) {
        if (row % shards == shard.value(0).toInt())
            QTest::newRow(qPrintable(steps.join('-'))) << steps << (row % 2 == 0) << QList<int>{3, 4, 6}.at(row % 3)
                                                        << (row / 2 % 2 == 0);
    };
    QList<QStringList> all;
    sequences({}, 0, false, {{Amelia, 1}}, all);
    QList<QStringList> three;
    int row = 0;
    for (const QStringList &steps : all) {
        int used = 0;
        for (const QString &letter : steps)
            used += halves(letter);
        if (used > 4)
            three << steps;
        else
            add(steps, row++);
    }
    const bool everyOne = qEnvironmentVariableIntValue("VELLORAN_LEASEDAYS_ALL") != 0;
    const int stride = everyOne ? 1 : qMax(1, int(three.size() / SampleOfThree));
    for (int i = 0; i < three.size(); i += stride)
        add(three.at(i), row++);
}

void TestLeaseDays::everyShortSequenceChargesEachDayOnce()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, answerYes);
    QFETCH(int, rentFreq);
    QFETCH(bool, runFirst);
    TestHub hub;
    QVERIFY(hub.opened);
    hub.hub->setCanReceivePayments(true);
    MsgBox::setTestMode(true);
    for (int i = 0; i < 16; ++i)
        MsgBox::setNextAnswer(QMessageBox::Yes);
    form = std::make_unique<ApartmentsForm>(hub.hub, nullptr);
    days = LeaseDays();
    broken.clear();
    lease = std::make_unique<LeaseDriver>(hub.hub, days, broken);
    leases.clear();
    forgiveRentFirst = answerYes;
    mode = QStringLiteral("rent by frequency %1, actions %2 the month's charge run")
               .arg(rentFreq)
               .arg(runFirst ? QStringLiteral("before") : QStringLiteral("after"));
    // The demonstration office has charged its bills up to the month it was built in.
    const QDate start = scalar("select nextdate from recur where recid = 2").toDate().addDays(9);
    Today::set(start);
    days.load();

    int step = 0;
    bool holds = true;
    for (int month = 0; holds && month < Months; ++month) {
        Today::set(start.addMonths(month));
        const auto run = [&] {
            // False where nothing had fallen due: the commands before it had posted it.
            ChargeRun::postDue(nullptr, hub.hub);
            days.chargeRun(Today::date());
            holds = check(QStringLiteral("the charge run on %1").arg(Today::date().toString(Qt::ISODate)));
        };
        const bool acted = step < steps.size();
        if (!runFirst || !acted || (month == 0 && rentFreq != 3))
            run();
        if (holds && month == 0 && rentFreq != 3)
            holds = check(QStringLiteral("the rent charged by %1 (%2)").arg(rentFreq).arg(chargeRentBy(rentFreq)));
        // An action, and a turnover undone the same day with it.
        while (holds && step < steps.size()) {
            const QString letter = steps.at(step++);
            const QString done = act(letter, answerYes);
            holds = check(QStringLiteral("%1 (%2) on %3").arg(letter, done, Today::date().toString(Qt::ISODate)));
            if (!(letter == "T" && steps.value(step) == "R"))
                break;
        }
        if (holds && runFirst && acted)
            run();
    }
    if (holds)
        check(QStringLiteral("the last month, every apartment"), true);
    form.reset();
    lease.reset();
    Today::reset();
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QStringLiteral("\n  "))));
}

bool TestLeaseDays::check(const QString &where, bool everyApartment)
{
    QStringList found = broken;
    broken.clear();
    found << LedgerCheck::breaches() << days.breaches(everyApartment ? 0 : Maple101);
    if (found.isEmpty())
        return true;
    if (found.size() > 8)
        found = found.mid(0, 8) << QStringLiteral("and %1 more").arg(found.size() - 8);
    // The apartment's bills and the charges of the run's months, to tell what went wrong.
    const QString bills = QStringLiteral("select list(recid || ' tenant ' || tid || ' ' || type || ' ' || amount || "
                                         "' from ' || coalesce(firstpay, startdate) || ' next ' || nextdate || ' to ' "
                                         "|| enddate || iif(completed = 1, ' stopped', ''), '; ') from recur where "
                                         "apid = %1");
    const QString charges = QStringLiteral("select list(chid || ' bill ' || recid || ' tenant ' || tid || ' ' || fordate "
                                           "|| '=' || origamount, '; ') from charges where apid = %1 and recid is not "
                                           "null and fordate > '2026-12-01'");
    broken << QStringLiteral("after %1 (%2):").arg(where, mode) << found
           << QStringLiteral("bills: %1").arg(scalar(bills.arg(Maple101)).toString())
           << QStringLiteral("charges: %1").arg(scalar(charges.arg(Maple101)).toString());
    return false;
}

QString TestLeaseDays::act(const QString &letter, bool answerYes)
{
    const QMessageBox::StandardButton byRow = answerYes ? QMessageBox::Yes : QMessageBox::No;
    const auto answer = [&](const QChar &given) {
        return given == 'y' ? QMessageBox::Yes : given == 'n' ? QMessageBox::No : byRow;
    };
    const QChar given = letter.size() > 1 ? letter.at(1) : QChar();
    const int holder = scalar(QStringLiteral("select tid from apartments where apid = %1").arg(Maple101)).toInt();
    switch (letter.at(0).toLatin1()) {
    case 'E':
        return remake(-2, false, false, byRow);
    case 'S':
        return remake(0, false, false, byRow);
    case 'L':
        return remake(2, true, false, answer(given));
    case 'A':
        return remake(0, false, true, answer(given));
    case 'T':
        return turnOver(Juniper, QSqlRecord(), byRow);
    case 'R':
        return turnOver(Amelia, leases.value(Amelia), byRow);
    case 'F': {
        // Rent and parking in turn, the latest of the one chosen first.
        const QVariant chid = scalar(QStringLiteral("select first 1 c.chid from charges c where c.apid = %1 and c.tid = "
                                                    "%2 and c.recid is not null and c.paid = 0 and not exists (select 1 "
                                                    "from payments p where p.chid = c.chid) order by c.fordate desc, "
                                                    "c.type %3")
                                         .arg(Maple101)
                                         .arg(holder)
                                         .arg(forgiveRentFirst ? "desc" : "asc"));
        forgiveRentFirst = !forgiveRentFirst;
        if (chid.isNull())
            return QStringLiteral("nothing to forgive");
        return lease->forgive(chid.toInt()) ? QStringLiteral("charge %1 forgiven").arg(chid.toInt())
                                            : QStringLiteral("charge %1 kept").arg(chid.toInt());
    }
    case 'B': {
        QSqlQuery bill(QSqlDatabase::database());
        // The one charging now; ending it on the end it has already is no act of the clerk's.
        bill.exec(QStringLiteral("select recid, nextdate, enddate from recur where apid = %1 and tid = %2 and type = "
                                 "'Parking' and completed = 0 order by nextdate, recid")
                      .arg(Maple101)
                      .arg(holder));
        const QDate leaseEnd = LeaseDriver::leaseOf(Maple101).value(QStringLiteral("leaseend")).toDate();
        if (!bill.next() || !(bill.value(1).toDate().addMonths(1).addDays(-1) < leaseEnd)
            || !(bill.value(1).toDate().addMonths(1).addDays(-1) < bill.value(2).toDate()))
            return QStringLiteral("no parking bill to end");
        const QDate end = bill.value(1).toDate().addMonths(1).addDays(-1);
        if (!lease->endBill(*form, Maple101, bill.value(0).toInt(), end))
            broken << QStringLiteral("the bill editor ends bill %1 on %2").arg(bill.value(0).toInt()).arg(end.toString(Qt::ISODate));
        return QStringLiteral("bill %1 ends %2").arg(bill.value(0).toInt()).arg(end.toString(Qt::ISODate));
    }
    case 'W':
    case 'V':
        return water(letter);
    default:
        break;
    }
    return QString();
}

// Amelia's lease entered again from the first of next month for a year, its rent charged quarterly or
// yearly (a month's rent for each month).
QString TestLeaseDays::chargeRentBy(int freq)
{
    QSqlRecord terms = LeaseDriver::leaseOf(Maple101);
    const QDate from = firstOfMonth(Today::date()).addMonths(1);
    for (const char *date : {"firstdue", "leasestart", "movein", "nextdate"})
        terms.setValue(QLatin1String(date), from);
    terms.setValue(QStringLiteral("leaseend"), from.addYears(1).addDays(-1));
    terms.setValue(QStringLiteral("freq"), freq);
    terms.setValue(QStringLiteral("frequency"), freq == 4 ? QStringLiteral("Quarterly") : QStringLiteral("Annually"));
    terms.setValue(QStringLiteral("rent"), terms.value(QStringLiteral("rent")).toDouble() * (freq == 4 ? 3 : 12));
    return lease->remakeLeaseOf(Maple101, terms, QStringLiteral(" from %1").arg(from.toString(Qt::ISODate)));
}

// W: a water bill of 30.00 from the first of last month (not before the lease's first payment date) to the
// lease's end. V: the holder's latest water bill given another start.
QString TestLeaseDays::water(const QString &letter)
{
    const QSqlRecord terms = LeaseDriver::leaseOf(Maple101);
    const QDate firstPayment = terms.value(QStringLiteral("nextdate")).toDate();
    const QDate end = terms.value(QStringLiteral("leaseend")).toDate();
    const QDate month = firstOfMonth(Today::date());
    if (letter == "W") {
        const QDate from = qMax(firstPayment, month.addMonths(-1));
        const int recid = lease->addBill(*form, Maple101, QStringLiteral("Water"), 3000, from, end);
        if (recid == 0)
            broken << QStringLiteral("the bill editor adds a water bill from %1").arg(from.toString(Qt::ISODate));
        return QStringLiteral("water bill %1 from %2").arg(recid).arg(from.toString(Qt::ISODate));
    }
    const int holder = scalar(QStringLiteral("select tid from apartments where apid = %1").arg(Maple101)).toInt();
    int recid = scalar(QStringLiteral("select max(recid) from recur where apid = %1 and tid = %2 and type = 'Water'")
                           .arg(Maple101)
                           .arg(holder))
                    .toInt();
    QString done;
    if (recid == 0) {
        const QDate from = qMax(firstPayment, month.addMonths(2));
        recid = lease->addBill(*form, Maple101, QStringLiteral("Water"), 2500, from, end);
        if (recid == 0) {
            broken << QStringLiteral("the bill editor adds a water bill from %1").arg(from.toString(Qt::ISODate));
            return QString();
        }
        done = QStringLiteral("water bill %1 from %2, ").arg(recid).arg(from.toString(Qt::ISODate));
    }
    const QDate was = scalar(QStringLiteral("select startdate from recur where recid = %1").arg(recid)).toDate();
    const QDate start = letter == "Ve" ? qMax(firstPayment, was.addMonths(-2)) : was.addMonths(1);
    if (start == was)
        return done + QStringLiteral("bill %1 starts %2 already").arg(recid).arg(was.toString(Qt::ISODate));
    if (!lease->startBill(*form, Maple101, recid, start))
        broken << QStringLiteral("the bill editor starts bill %1 on %2").arg(recid).arg(start.toString(Qt::ISODate));
    return done + QStringLiteral("bill %1 starts %2").arg(recid).arg(start.toString(Qt::ISODate));
}

// The holder's lease deleted and entered again, its first payment date `months` from where it was, or,
// `after` its end, from the next day for a year; a changed first payment date comes with a rent 10.00
// higher. `keepStart` keeps the lease's start and moves the first payment date alone, within the lease.
QString TestLeaseDays::remake(int months, bool keepStart, bool after, QMessageBox::StandardButton answer)
{
    QSqlRecord terms = LeaseDriver::leaseOf(Maple101);
    const QDate firstPayment = terms.value(QStringLiteral("nextdate")).toDate();
    const QDate end = terms.value(QStringLiteral("leaseend")).toDate();
    QDate from = firstPayment.addMonths(months);
    if (keepStart) {
        from = qMax(firstPayment, firstOfMonth(Today::date())).addMonths(months);
        if (!(from < end))
            from = firstOfMonth(end);
    }
    if (after) {
        from = end.addDays(1);
        terms.setValue(QStringLiteral("leaseend"), from.addYears(1).addDays(-1));
    }
    if (from != firstPayment)
        terms.setValue(QStringLiteral("rent"), terms.value(QStringLiteral("rent")).toDouble() + 10);
    for (const char *date : {"firstdue", "nextdate"})
        terms.setValue(QLatin1String(date), from);
    if (!keepStart)
        for (const char *date : {"leasestart", "movein"})
            terms.setValue(QLatin1String(date), from);
    return lease->remakeLeaseOf(Maple101, terms,
                                QStringLiteral(" paying from %1 to %2")
                                    .arg(from.toString(Qt::ISODate),
                                         terms.value(QStringLiteral("leaseend")).toDate().toString(Qt::ISODate)),
                                answer);
}

// The holder's lease deleted and the apartment given to `tid`, with `terms`, or for a year from the first
// of next month at 1,200.00.
QString TestLeaseDays::turnOver(int tid, const QSqlRecord &terms, QMessageBox::StandardButton answer)
{
    QSqlRecord lease = LeaseDriver::leaseOf(Maple101);
    leases.insert(lease.value(QStringLiteral("tid")).toInt(), lease);
    if (!this->lease->deleteLease(*form, Maple101, lease.value(QStringLiteral("rid")).toInt())) {
        broken << QStringLiteral("the lease of apartment %1 is deleted").arg(Maple101);
        return QString();
    }
    if (!this->lease->giveApartment(*form, Maple101, tid)) {
        broken << QStringLiteral("the apartment editor gives apartment %1 to tenant %2").arg(Maple101).arg(tid);
        return QString();
    }
    if (!terms.isEmpty()) {
        lease = terms;
    } else {
        const QDate from = firstOfMonth(Today::date()).addMonths(1);
        for (const char *date : {"firstdue", "leasestart", "movein", "nextdate"})
            lease.setValue(QLatin1String(date), from);
        lease.setValue(QStringLiteral("leaseend"), from.addYears(1).addDays(-1));
        lease.setValue(QStringLiteral("moveout"), QVariant(QVariant::Date));
        lease.setValue(QStringLiteral("rent"), 1200.0);
    }
    if (!this->lease->makeLease(*form, Maple101, lease, answer))
        broken << QStringLiteral("a lease for tenant %1 is made").arg(tid);
    return QStringLiteral("apartment let to tenant %1 paying from %2")
        .arg(tid)
        .arg(lease.value(QStringLiteral("nextdate")).toDate().toString(Qt::ISODate));
}

VELLORAN_TEST_MAIN(TestLeaseDays)
#include "tst_leasedays.moc"
