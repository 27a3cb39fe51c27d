#include "billingoracle.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

Q_DECLARE_METATYPE(ClerkAct)
Q_DECLARE_METATYPE(ClerkCharge)

// The tests' account of the billing rules answers the cases the office found, charge by charge: an
// oracle that is wrong here would pass a program that is wrong the same way.
class TestBillingOracle : public QObject
{
    Q_OBJECT

private slots:
    void chargesWhatTheClerkWasPromised_data();
    void chargesWhatTheClerkWasPromised();
    void chargesTheSameWithOrWithoutRuns();
};

namespace {
using Act = ClerkAct;
using Acts = QList<ClerkAct>;
const int juniper = 1, kasimir = 2, leontine = 3;

QDate d(int year, int month, int day) { return QDate(year, month, day); }

// An act; `who` is the tenant of a lease or a bill added and the line of a bill edited, `from` the
// first payment date of a lease and the start of a bill.
ClerkAct act(ClerkAct::Kind kind, const QDate &today, int who = 0, qint64 cents = 0, const QDate &from = QDate(),
             const QDate &end = QDate(), int freq = 3, bool yes = false)
{
    ClerkAct made;
    made.kind = kind;
    made.today = today;
    made.tenant = made.line = who;
    made.cents = cents;
    made.firstPay = made.start = from;
    made.end = end;
    made.freq = freq;
    made.yes = yes;
    return made;
}

ClerkAct lease(const QDate &today, int tenant, qint64 cents, const QDate &from, const QDate &end, int freq = 3,
               bool yes = false)
{
    return act(ClerkAct::SaveLease, today, tenant, cents, from, end, freq, yes);
}

// `count` charges of a line every `months` months from `first`, the day a month lacks being its last.
QList<ClerkCharge> every(int months, int tenant, int line, const QDate &first, int count, qint64 cents, int lease)
{
    QList<ClerkCharge> charges;
    for (int k = 0; k < count; ++k) {
        ClerkCharge charge;
        charge.tenant = tenant;
        charge.line = line;
        charge.due = first.addMonths(k * months);
        charge.lastDay = first.addMonths((k + 1) * months).addDays(-1);
        charge.cents = cents;
        charge.lease = lease;
        charges.append(charge);
    }
    return charges;
}

QStringList sorted(QList<ClerkCharge> charges)
{
    std::sort(charges.begin(), charges.end());
    QStringList text;
    for (const ClerkCharge &charge : charges)
        text.append(charge.toString());
    return text;
}

// The same acts with every charge run taken out and one run on the last act's day.
QList<ClerkAct> withoutRuns(const QList<ClerkAct> &acts)
{
    QList<ClerkAct> kept;
    for (const ClerkAct &each : acts) {
        if (each.kind != ClerkAct::Run)
            kept.append(each);
    }
    if (!acts.isEmpty())
        kept.append(act(ClerkAct::Run, acts.last().today));
    return kept;
}

// A clerk at random on one apartment of three tenants: leases saved and deleted (one in force at a
// time), bills added, edited and deleted, a posted charge forgiven, Charge Ahead, the rent adjusted,
// charge runs; every frequency, days moving on 0 - 240 at a time.
QList<ClerkAct> randomActs(quint32 seed)
{
    QRandomGenerator random(seed);
    QList<ClerkAct> acts;
    QDate today(2026, 1, 1), leaseEnd;
    int lines = 0, tenant = 0;
    const int count = random.bounded(4, 40);
    while (acts.size() < count) {
        const int pick = random.bounded(16);
        // Runs come about monthly, as the program is started; other acts at any distance.
        today = today.addDays(pick >= 8 ? random.bounded(25, 40)
                                        : random.bounded(4) ? random.bounded(10) : random.bounded(241));
        const int freq = random.bounded(1, 10);
        const qint64 cents = random.bounded(1, 200) * 1000;
        QDate start = today.addDays(random.bounded(-200, 101));
        if (random.bounded(3) == 0) // month ends, where schedules drift
            start.setDate(start.year(), start.month(), std::min(28 + random.bounded(4), start.daysInMonth()));
        const QDate end = start.addDays(random.bounded(20, 901));
        if (!leaseEnd.isValid()) {
            if (tenant == 0 || random.bounded(3) == 0)
                tenant = random.bounded(1, 4);
            leaseEnd = end;
            acts.append(lease(today, tenant, cents, start, end, freq, random.bounded(2)));
        } else if (pick <= 1) {
            leaseEnd = QDate();
            acts.append(act(Act::DeleteLease, today));
        } else if (pick == 2 || (pick <= 4 && lines == 0)) {
            ++lines;
            acts.append(act(Act::AddLine, today, tenant, cents, start, random.bounded(2) ? leaseEnd : end, freq));
        } else if (pick <= 4) {
            const bool gone = random.bounded(4) == 0;
            acts.append(act(gone ? Act::DeleteLine : Act::EditLine, today, random.bounded(lines + 1), cents, start,
                            random.bounded(2) ? leaseEnd : end, freq));
        } else if (pick == 5) {
            const ClerkOutcome sofar = BillingOracle::replay(acts);
            if (sofar.charges.isEmpty())
                continue;
            const ClerkCharge &posted = sofar.charges.at(random.bounded(sofar.charges.size()));
            ClerkAct forgive = act(Act::Forgive, today, posted.tenant);
            forgive.line = posted.line;
            forgive.due = posted.due;
            acts.append(forgive);
        } else if (pick == 6) {
            ClerkAct ahead = act(Act::ChargeAhead, today);
            ahead.periods = random.bounded(1, 4);
            acts.append(ahead);
        } else if (pick == 7) {
            acts.append(act(Act::AdjustRent, today, 0, cents));
        } else {
            acts.append(act(Act::Run, today));
        }
    }
    return acts;
}
} // namespace

void TestBillingOracle::chargesWhatTheClerkWasPromised_data()
{
    QTest::addColumn<QList<ClerkAct>>("acts");
    QTest::addColumn<QList<ClerkCharge>>("charges");
    QTest::addColumn<QList<bool>>("asked");

    // Juniper's yearly charge forgiven when he backed out does not pay Kasimir's months.
    QList<ClerkCharge> forgiven = every(12, juniper, 0, d(2026, 12, 1), 1, 1200000, 1);
    forgiven[0].forgiven = true;
    ClerkAct forgive = act(Act::Forgive, d(2026, 12, 11));
    forgive.tenant = juniper;
    forgive.due = d(2026, 12, 1);
    QTest::newRow("a forgiven charge does not free the next tenant")
        << Acts{lease(d(2026, 12, 11), juniper, 1200000, d(2026, 12, 1), d(2027, 11, 30), 6), forgive,
                act(Act::DeleteLease, d(2026, 12, 11)),
                lease(d(2026, 12, 11), kasimir, 120000, d(2026, 12, 1), d(2027, 11, 30)),
                act(Act::Run, d(2027, 12, 1))}
        << forgiven + every(1, kasimir, 0, d(2026, 12, 1), 12, 120000, 2) << QList<bool>{false, false};

    // Kasimir charged ahead to February; Juniper, let from January, pays his own January all the same.
    ClerkAct ahead = act(Act::ChargeAhead, d(2026, 12, 15));
    ahead.periods = 2;
    QTest::newRow("a newcomer's first period is charged over the leaver's")
        << Acts{lease(d(2026, 12, 1), kasimir, 120000, d(2026, 12, 1), d(2027, 11, 30)), ahead,
                act(Act::DeleteLease, d(2027, 1, 3)),
                lease(d(2027, 1, 3), juniper, 125000, d(2027, 1, 1), d(2027, 12, 31))}
        << every(1, kasimir, 0, d(2026, 12, 1), 3, 120000, 1) + every(1, juniper, 0, d(2027, 1, 1), 1, 125000, 2)
        << QList<bool>{false, false};

    // Leontine agrees to February - December 2027; Kasimir let from March stops her days from March only,
    // and is not asked about days another tenant took before him.
    QTest::newRow("a month is not charged twice through the question")
        << Acts{lease(d(2026, 12, 15), kasimir, 120000, d(2027, 1, 1), d(2027, 12, 31)),
                act(Act::DeleteLease, d(2026, 12, 15)),
                lease(d(2026, 12, 15), leontine, 110000, d(2027, 1, 1), d(2027, 12, 31)),
                act(Act::Run, d(2027, 1, 10)), act(Act::DeleteLease, d(2027, 1, 10)),
                lease(d(2027, 1, 10), leontine, 110000, d(2028, 1, 1), d(2028, 12, 31), 3, true),
                act(Act::DeleteLease, d(2027, 1, 10)),
                lease(d(2027, 1, 10), kasimir, 120000, d(2027, 3, 1), d(2028, 2, 29), 3, true),
                act(Act::Run, d(2027, 3, 31))}
        << every(1, leontine, 0, d(2027, 1, 1), 2, 110000, 2) + every(1, kasimir, 0, d(2027, 3, 1), 1, 120000, 4)
        << QList<bool>{false, false, true, false};

    // Kasimir's agreed water of January - May stays his though the bill's start is moved to February.
    QTest::newRow("agreed days survive an edited start")
        << Acts{lease(d(2026, 12, 1), kasimir, 120000, d(2026, 12, 1), d(2027, 11, 30)),
                act(Act::AddLine, d(2026, 12, 1), kasimir, 3000, d(2026, 12, 1), d(2027, 5, 31)),
                act(Act::DeleteLease, d(2026, 12, 10)),
                lease(d(2026, 12, 10), kasimir, 120000, d(2027, 12, 1), d(2028, 11, 30), 3, true),
                act(Act::EditLine, d(2026, 12, 10), 1, 3000, d(2027, 2, 1), d(2027, 5, 31)),
                act(Act::Run, d(2027, 6, 1))}
        << every(1, kasimir, 0, d(2026, 12, 1), 7, 120000, 1) + every(1, kasimir, 1, d(2026, 12, 1), 6, 3000, 1)
        << QList<bool>{false, true};

    // Parking ended in March and given a later end in April resumes with April.
    QTest::newRow("an end moved later resumes the bill")
        << Acts{lease(d(2027, 1, 1), juniper, 115000, d(2027, 1, 1), d(2027, 12, 31)),
                act(Act::AddLine, d(2027, 1, 1), juniper, 4500, d(2027, 1, 1), d(2027, 3, 31)),
                act(Act::Run, d(2027, 4, 15)),
                act(Act::EditLine, d(2027, 4, 15), 1, 4500, d(2027, 1, 1), d(2027, 6, 30)),
                act(Act::Run, d(2027, 7, 15))}
        << every(1, juniper, 0, d(2027, 1, 1), 7, 115000, 1) + every(1, juniper, 1, d(2027, 1, 1), 6, 4500, 1)
        << QList<bool>{false};

    // The newcomer from the 15th is due on the 15th, and takes the leaver's parking over from his own date.
    QTest::newRow("a newcomer's periods count from his own first payment date")
        << Acts{lease(d(2026, 12, 1), kasimir, 120000, d(2026, 12, 1), d(2027, 11, 30)),
                act(Act::AddLine, d(2026, 12, 1), kasimir, 4500, d(2026, 12, 1), d(2027, 11, 30)),
                act(Act::DeleteLease, d(2026, 12, 10)),
                lease(d(2026, 12, 10), juniper, 125000, d(2026, 12, 15), d(2027, 12, 14)),
                act(Act::Run, d(2027, 1, 15))}
        << every(1, kasimir, 0, d(2026, 12, 1), 1, 120000, 1) + every(1, kasimir, 1, d(2026, 12, 1), 1, 4500, 1)
               + every(1, juniper, 0, d(2026, 12, 15), 2, 125000, 2)
               + every(1, juniper, 1, d(2026, 12, 15), 2, 4500, 2)
        << QList<bool>{false, false};

    // Begun on the 31st: twelve rents, each due on the 31st or the month's last day, none on the end.
    QTest::newRow("a lease begun on the 31st charges twelve rents")
        << Acts{lease(d(2027, 1, 31), juniper, 100000, d(2027, 1, 31), d(2028, 1, 30)),
                act(Act::Run, d(2028, 3, 1))}
        << every(1, juniper, 0, d(2027, 1, 31), 12, 100000, 1) << QList<bool>{false};

    // Juniper's new lease from 28 Jan starts inside his old 30th-schedule charge, so it goes on from 30 Jan:
    // runs every month, or one at the end, walk its own charges one at a time and keep the 30th.
    QTest::newRow("a rent re-anchored on the 30th keeps its schedule through monthly runs")
        << Acts{lease(d(2027, 11, 30), juniper, 100000, d(2027, 11, 30), d(2028, 11, 29)),
                act(Act::DeleteLease, d(2028, 1, 10)),
                lease(d(2028, 1, 10), juniper, 110000, d(2028, 1, 28), d(2029, 1, 27)), act(Act::Run, d(2028, 2, 1)),
                act(Act::Run, d(2028, 3, 1)), act(Act::Run, d(2028, 4, 15))}
        << every(1, juniper, 0, d(2027, 11, 30), 2, 100000, 1) + every(1, juniper, 0, d(2028, 1, 30), 3, 110000, 2)
        << QList<bool>{false, false};

    QTest::newRow("half-yearly rent falls due twice a year")
        << Acts{lease(d(2027, 1, 1), juniper, 600000, d(2027, 1, 1), d(2028, 12, 31), 2),
                act(Act::Run, d(2029, 1, 1))}
        << every(6, juniper, 0, d(2027, 1, 1), 4, 600000, 1) << QList<bool>{false};
}

void TestBillingOracle::chargesWhatTheClerkWasPromised()
{
    QFETCH(QList<ClerkAct>, acts);
    QFETCH(QList<ClerkCharge>, charges);
    QFETCH(QList<bool>, asked);

    const ClerkOutcome outcome = BillingOracle::replay(acts);
    QCOMPARE(sorted(outcome.charges), sorted(charges));
    QCOMPARE(outcome.asked, asked);
    QCOMPARE(sorted(BillingOracle::replay(withoutRuns(acts)).charges), sorted(charges));
}

// Charge runs between the acts post earlier what the acts post anyway: the charges are the same.
void TestBillingOracle::chargesTheSameWithOrWithoutRuns()
{
    for (quint32 seed = 1; seed <= 2000; ++seed) {
        const QList<ClerkAct> acts = randomActs(seed);
        const ClerkOutcome withRuns = BillingOracle::replay(acts);
        const ClerkOutcome once = BillingOracle::replay(withoutRuns(acts));
        QVERIFY2(sorted(withRuns.charges) == sorted(once.charges) && withRuns.asked == once.asked,
                 qPrintable(QStringLiteral("seed %1").arg(seed)));
    }
}

QTEST_GUILESS_MAIN(TestBillingOracle)
#include "tst_billingoracle.moc"
