#include "billinghistory.h"

#include "billingreplay.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

QList<ClerkAct> randomClerkHistory(quint32 seed)
{
    QRandomGenerator random(seed);
    auto between = [&random](int low, int high) { return int(random.bounded(low, high + 1)); };
    auto chance = [&random](int percent) { return int(random.bounded(100)) < percent; };
    auto frequency = [&]() { return chance(50) ? 3 : between(1, 9); };

    BillingReplay program;
    QList<ClerkAct> acts;
    QDate today = QDate(2026, 1, 1).addDays(between(0, 400));
    int tenant = between(1, 3);
    int lines = 0;
    const int length = between(6, 22);
    for (int i = 0; i < length; ++i) {
        today = today.addDays(chance(20) ? 0 : between(1, chance(70) ? 45 : 240));
        const BillingRule rule(program.facts());
        const BillingRule::Lease *inForce = rule.leaseInForce();
        ClerkAct act;
        act.today = today;
        const int roll = between(0, 99);
        if (!inForce && roll < 55) {
            act.kind = ClerkAct::SaveLease;
            if (chance(40))
                tenant = between(1, 3);
            act.tenant = tenant;
            act.firstPay = today.addDays(chance(30) ? 0 : between(-150, 90));
            act.end = act.firstPay.addMonths(between(1, 30)).addDays(chance(80) ? -1 : between(-20, 20));
            act.cents = 100 * between(3, 30) * 50;
            act.freq = frequency();
            act.yes = chance(50);
        } else if (inForce && roll < 15) {
            act.kind = ClerkAct::DeleteLease;
        } else if (roll < 30 && lines < 4) {
            act.kind = ClerkAct::AddLine;
            act.tenant = inForce ? inForce->tenant : tenant;
            act.cents = 100 * between(1, 20) * 5;
            act.freq = frequency();
            act.start = today.addDays(between(-150, 60));
            act.end = inForce && chance(50) ? inForce->end : act.start.addMonths(between(1, 24));
            ++lines;
        } else if (inForce && lines > 0 && roll < 45) {
            const BillingRule::Line *line = rule.line(between(1, lines));
            if (line->deletedOn.isValid())
                continue;
            act.kind = ClerkAct::EditLine;
            act.line = line->id;
            act.cents = line->cents;
            act.freq = line->freq;
            act.start = line->start;
            act.end = line->clerkEnd.isValid() ? line->clerkEnd : inForce->end;
            switch (between(0, 4)) {
            case 0: act.start = act.start.addDays(between(-120, 120)); break;
            case 1: act.end = act.end.addDays(between(-200, 200)); break;
            case 2: act.cents = 100 * between(1, 20) * 5; break;
            case 3: act.freq = frequency(); break;
            default: act.end = today.addDays(between(-10, 30)); break;
            }
        } else if (lines > 0 && roll < 52) {
            act.kind = ClerkAct::DeleteLine;
            act.line = between(1, lines);
            if (rule.line(act.line)->deletedOn.isValid())
                continue;
        } else if (roll < 62 && !program.facts().charges.isEmpty()) {
            const QList<BillingRule::Charge> &charges = program.facts().charges;
            const BillingRule::Charge &charge = charges.at(between(0, charges.size() - 1));
            if (charge.forgiven)
                continue;
            act.kind = ClerkAct::Forgive;
            act.tenant = charge.tenant;
            act.line = charge.line;
            act.due = charge.due;
        } else if (inForce && roll < 70) {
            act.kind = ClerkAct::ChargeAhead;
            act.periods = between(1, 3);
        } else if (inForce && roll < 76) {
            act.kind = ClerkAct::AdjustRent;
            act.cents = inForce->cents + 100 * between(-5, 10) * 10;
            if (act.cents <= 0)
                continue;
        } else {
            act.kind = ClerkAct::Run;
        }
        acts.append(act);
        program.apply(act);
    }
    return acts;
}

// What must hold of any books, whatever the clerk did.

QStringList outcomeDifferences(ClerkOutcome program, ClerkOutcome oracle)
{
    QStringList found;
    std::sort(program.charges.begin(), program.charges.end());
    std::sort(oracle.charges.begin(), oracle.charges.end());
    for (const ClerkCharge &c : program.charges) {
        if (!oracle.charges.contains(c))
            found << QStringLiteral("charged, not promised: ") + c.toString();
    }
    for (const ClerkCharge &c : oracle.charges) {
        if (!program.charges.contains(c))
            found << QStringLiteral("promised, not charged: ") + c.toString();
    }
    if (program.asked != oracle.asked)
        found << QStringLiteral("questions asked differ");
    return found;
}

namespace Clerk {

QDate d(const char *iso)
{
    return QDate::fromString(QLatin1String(iso), Qt::ISODate);
}

ClerkAct lease(const char *today, int tenant, qint64 cents, int freq, const char *first, const char *end, bool yes)
{
    ClerkAct act;
    act.kind = ClerkAct::SaveLease;
    act.today = d(today);
    act.tenant = tenant;
    act.cents = cents;
    act.freq = freq;
    act.firstPay = d(first);
    act.end = d(end);
    act.yes = yes;
    return act;
}

ClerkAct line(ClerkAct::Kind kind, const char *today, int tenantOrLine, qint64 cents, const char *start,
              const char *end)
{
    ClerkAct act;
    act.kind = kind;
    act.today = d(today);
    (kind == ClerkAct::AddLine ? act.tenant : act.line) = tenantOrLine;
    act.cents = cents;
    act.freq = 3;
    act.start = d(start);
    act.end = d(end);
    return act;
}

ClerkAct plain(ClerkAct::Kind kind, const char *today, int line)
{
    ClerkAct act;
    act.kind = kind;
    act.today = d(today);
    act.line = line;
    return act;
}

ClerkAct forgive(const char *today, int tenant, int line, const char *due)
{
    ClerkAct act = plain(ClerkAct::Forgive, today, line);
    act.tenant = tenant;
    act.due = d(due);
    return act;
}

QStringList chargesOf(const ClerkOutcome &outcome, int line)
{
    QList<ClerkCharge> charges = outcome.charges;
    std::sort(charges.begin(), charges.end());
    QStringList shown;
    for (const ClerkCharge &c : charges) {
        if (c.line == line)
            shown << QStringLiteral("%1 %2 %3%4").arg(c.tenant).arg(c.due.toString(Qt::ISODate)).arg(c.cents)
                         .arg(c.forgiven ? QStringLiteral(" forgiven") : QString());
    }
    return shown;
}

QStringList monthly(int tenant, const QDate &first, int months, qint64 cents)
{
    QStringList shown;
    for (int i = 0; i < months; ++i)
        shown << QStringLiteral("%1 %2 %3").arg(tenant).arg(first.addMonths(i).toString(Qt::ISODate)).arg(cents);
    return shown;
}

} // namespace Clerk

QList<ClerkCase> officeCases()
{
    using namespace Clerk;
    QList<ClerkCase> cases;
    cases.append({"a forgiven yearly charge does not free the next tenant",
                  {lease("2026-12-11", 1, 1200000, 6, "2026-12-01", "2027-11-30"),
                   forgive("2026-12-11", 1, 0, "2026-12-01"), plain(ClerkAct::DeleteLease, "2026-12-11"),
                   lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"), plain(ClerkAct::Run, "2027-12-01")},
                  0, QStringList{"1 2026-12-01 1200000 forgiven"} + monthly(2, d("2026-12-01"), 12, 120000),
                  {false, false}});
    cases.append({"a forgiven month does not free the next tenant",
                  {lease("2026-12-11", 1, 100000, 3, "2026-12-01", "2027-11-30"),
                   forgive("2026-12-11", 1, 0, "2026-12-01"), plain(ClerkAct::DeleteLease, "2026-12-11"),
                   lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"), plain(ClerkAct::Run, "2027-01-05")},
                  0, QStringList{"1 2026-12-01 100000 forgiven", "2 2026-12-01 120000", "2 2027-01-01 120000"},
                  {false, false}});
    cases.append({"the newcomer pays the month the leaver's period began on",
                  {lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                   plain(ClerkAct::DeleteLease, "2027-01-03"),
                   lease("2027-01-03", 1, 125000, 3, "2027-01-01", "2027-12-31")},
                  0, QStringList{"2 2026-12-01 120000", "1 2027-01-01 125000", "2 2027-01-01 120000"}, {false, false}});
    cases.append({"a month agreed to is not charged to the next tenant's lease too",
                  {lease("2026-12-15", 2, 120000, 3, "2027-01-01", "2027-12-31"),
                   plain(ClerkAct::DeleteLease, "2026-12-15"),
                   lease("2026-12-15", 3, 110000, 3, "2027-01-01", "2027-12-31"), plain(ClerkAct::Run, "2027-01-10"),
                   plain(ClerkAct::DeleteLease, "2027-01-10"),
                   lease("2027-01-10", 3, 110000, 3, "2028-01-01", "2028-12-31", true),
                   plain(ClerkAct::DeleteLease, "2027-01-10"),
                   lease("2027-01-10", 2, 120000, 3, "2027-03-01", "2027-12-31", true),
                   plain(ClerkAct::Run, "2027-04-02")},
                  0, QStringList{"3 2027-01-01 110000", "3 2027-02-01 110000",
                                 "2 2027-03-01 120000", "2 2027-04-01 120000"},
                  {false, false, true, false}});
    cases.append({"a line deleted goes to no later lease",
                  {lease("2026-12-10", 1, 115000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::AddLine, "2026-12-10", 1, 4500, "2026-12-01", "2027-11-30"),
                   plain(ClerkAct::DeleteLease, "2026-12-10"),
                   lease("2026-12-10", 2, 120000, 3, "2027-01-01", "2027-12-31"),
                   plain(ClerkAct::DeleteLine, "2026-12-10", 1), plain(ClerkAct::DeleteLease, "2026-12-12"),
                   lease("2026-12-12", 2, 120000, 3, "2027-01-01", "2027-12-31"), plain(ClerkAct::Run, "2027-03-01")},
                  1, QStringList{"1 2026-12-01 4500"}, {false, false, false}});
    cases.append({"a line ended on the newcomer's first day goes to no later lease",
                  {lease("2026-12-10", 1, 115000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::AddLine, "2026-12-10", 1, 4500, "2026-12-01", "2027-11-30"),
                   plain(ClerkAct::DeleteLease, "2026-12-10"),
                   lease("2026-12-10", 2, 120000, 3, "2027-01-01", "2027-12-31"),
                   line(ClerkAct::EditLine, "2026-12-10", 1, 4500, "2026-12-01", "2027-01-01"),
                   plain(ClerkAct::DeleteLease, "2026-12-12"),
                   lease("2026-12-12", 3, 110000, 3, "2027-01-01", "2027-12-31"), plain(ClerkAct::Run, "2027-03-01")},
                  1, QStringList{"1 2026-12-01 4500"}, {false, false, false}});
    cases.append({"days agreed to stay agreed whatever start the row is given",
                  {lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::AddLine, "2026-12-11", 2, 3000, "2026-12-01", "2027-05-31"),
                   plain(ClerkAct::DeleteLease, "2026-12-11"),
                   lease("2026-12-11", 2, 120000, 3, "2027-12-01", "2028-11-30", true),
                   line(ClerkAct::EditLine, "2026-12-12", 1, 3000, "2027-02-01", "2027-05-31"),
                   plain(ClerkAct::Run, "2027-06-01")},
                  1, monthly(2, d("2026-12-01"), 6, 3000), {false, true}});
    cases.append({"a start moved earlier charges the earlier months",
                  {lease("2027-02-10", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::AddLine, "2027-02-10", 2, 3000, "2027-02-01", "2027-11-30"),
                   line(ClerkAct::EditLine, "2027-02-15", 1, 3000, "2026-12-01", "2027-11-30")},
                  1, monthly(2, d("2026-12-01"), 3, 3000), {false}});
    cases.append({"an end moved later resumes a bill that had reached its end",
                  {lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::AddLine, "2026-12-11", 2, 3000, "2026-12-01", "2027-02-01"),
                   plain(ClerkAct::Run, "2027-03-10"),
                   line(ClerkAct::EditLine, "2027-03-10", 1, 3000, "2026-12-01", "2027-05-01"),
                   plain(ClerkAct::Run, "2027-05-10")},
                  1, monthly(2, d("2026-12-01"), 5, 3000), {false}});
    cases.append({"a line's charges count whatever start its bill is given and however often the lease is entered",
                  {lease("2026-01-05", 1, 115000, 3, "2026-01-01", "2026-12-31"),
                   line(ClerkAct::AddLine, "2026-01-05", 1, 4500, "2026-01-01", "2026-12-31"),
                   plain(ClerkAct::Run, "2026-12-10"),
                   line(ClerkAct::EditLine, "2026-12-10", 1, 4500, "2026-06-01", "2026-12-31"),
                   plain(ClerkAct::DeleteLease, "2026-12-10"),
                   lease("2026-12-10", 1, 115000, 3, "2026-06-01", "2026-12-31"),
                   plain(ClerkAct::DeleteLease, "2026-12-11"),
                   lease("2026-12-11", 1, 115000, 3, "2026-06-01", "2026-12-31"), plain(ClerkAct::Run, "2027-01-05")},
                  1, monthly(1, d("2026-01-01"), 12, 4500), {false, false, false}});
    cases.append({"a start moved earlier after the lease was entered again charges no month twice",
                  {lease("2027-02-10", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::AddLine, "2027-02-10", 2, 3000, "2027-02-01", "2027-11-30"),
                   plain(ClerkAct::Run, "2027-04-05"), plain(ClerkAct::DeleteLease, "2027-04-05"),
                   lease("2027-04-05", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::EditLine, "2027-04-06", 1, 3000, "2026-12-01", "2027-11-30"),
                   plain(ClerkAct::Run, "2027-05-02")},
                  1, monthly(2, d("2026-12-01"), 6, 3000), {false, false}});
    cases.append({"a deleted line with an end of its own is not asked about",
                  {lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::AddLine, "2026-12-11", 2, 4500, "2026-12-01", "2027-03-31"),
                   plain(ClerkAct::DeleteLine, "2026-12-11", 1), plain(ClerkAct::DeleteLease, "2026-12-11"),
                   lease("2026-12-11", 2, 120000, 3, "2027-12-01", "2028-11-30", true),
                   plain(ClerkAct::Run, "2027-06-01")},
                  1, QStringList{"2 2026-12-01 4500"}, {false, true}});
    cases.append({"less than a period is not asked about",
                  {lease("2026-12-11", 2, 300000, 4, "2026-12-01", "2027-11-30"),
                   plain(ClerkAct::DeleteLease, "2026-12-11"),
                   lease("2026-12-11", 2, 300000, 4, "2027-04-15", "2028-04-14", true),
                   plain(ClerkAct::Run, "2027-04-20")},
                  0, QStringList{"2 2026-12-01 300000", "2 2027-04-15 300000"}, {false, false}});
    cases.append({"days agreed to and not yet charged are not asked about again",
                  {lease("2027-01-10", 2, 120000, 3, "2027-01-01", "2027-12-31"),
                   plain(ClerkAct::DeleteLease, "2027-01-10"),
                   lease("2027-01-10", 2, 120000, 3, "2027-07-01", "2027-12-31", true),
                   plain(ClerkAct::DeleteLease, "2027-01-10"),
                   lease("2027-01-10", 2, 120000, 3, "2027-02-01", "2027-12-31"),
                   plain(ClerkAct::DeleteLease, "2027-01-10"),
                   lease("2027-01-10", 2, 120000, 3, "2027-07-01", "2027-12-31"), plain(ClerkAct::Run, "2027-08-02")},
                  0, monthly(2, d("2027-01-01"), 8, 120000), {false, true, false, false}});
    const QList<ClerkAct> fromTheFifteenth{lease("2026-12-01", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::AddLine, "2026-12-01", 2, 4500, "2026-12-01", "2027-11-30"),
                   plain(ClerkAct::DeleteLease, "2026-12-10"),
                   lease("2026-12-10", 1, 125000, 3, "2026-12-15", "2027-12-14"),
                   plain(ClerkAct::Run, "2027-01-15")};
    cases.append({"a newcomer's rent counts from his own first payment date", fromTheFifteenth,
                  0, QStringList{"2 2026-12-01 120000"} + monthly(1, d("2026-12-15"), 2, 125000), {false, false}});
    cases.append({"a newcomer takes the leaver's parking over from his own first payment date", fromTheFifteenth,
                  1, QStringList{"2 2026-12-01 4500"} + monthly(1, d("2026-12-15"), 2, 4500), {false, false}});
    cases.append({"a lease begun on the 31st charges twelve rents",
                  {lease("2027-01-31", 1, 100000, 3, "2027-01-31", "2028-01-30"), plain(ClerkAct::Run, "2028-03-01")},
                  0, monthly(1, d("2027-01-31"), 12, 100000), {false}});
    cases.append({"a rent going on from the 30th keeps its schedule through monthly runs",
                  {lease("2027-11-30", 1, 100000, 3, "2027-11-30", "2028-11-29"),
                   plain(ClerkAct::DeleteLease, "2028-01-10"),
                   lease("2028-01-10", 1, 110000, 3, "2028-01-28", "2029-01-27"), plain(ClerkAct::Run, "2028-02-01"),
                   plain(ClerkAct::Run, "2028-03-01"), plain(ClerkAct::Run, "2028-04-15")},
                  0, monthly(1, d("2027-11-30"), 2, 100000) + monthly(1, d("2028-01-30"), 3, 110000), {false, false}});
    cases.append({"half-yearly rent twice a year",
                  {lease("2026-12-11", 2, 600000, 2, "2026-12-01", "2028-11-30"), plain(ClerkAct::Run, "2028-12-01")},
                  0, QStringList{"2 2026-12-01 600000", "2 2027-06-01 600000",
                                 "2 2027-12-01 600000", "2 2028-06-01 600000"},
                  {false}});
    cases.append({"a line ended stops the days agreed to on it",
                  {lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                   line(ClerkAct::AddLine, "2026-12-11", 2, 4500, "2026-12-01", "2027-11-30"),
                   plain(ClerkAct::DeleteLease, "2026-12-11"),
                   lease("2026-12-11", 2, 120000, 3, "2027-07-01", "2028-06-30", true),
                   line(ClerkAct::EditLine, "2027-03-10", 1, 4500, "2026-12-01", "2027-03-15"),
                   plain(ClerkAct::Run, "2027-08-01")},
                  1, monthly(2, d("2026-12-01"), 4, 4500), {false, true}});
    return cases;
}

void officeCaseRows()
{
    QTest::addColumn<QList<ClerkAct>>("acts");
    QTest::addColumn<int>("line");
    QTest::addColumn<QStringList>("charges");
    QTest::addColumn<QList<bool>>("asked");
    for (const ClerkCase &c : officeCases())
        QTest::newRow(c.name) << c.acts << c.line << c.charges << c.asked;
}

void warnHistory(quint32 seed, const QList<ClerkAct> &acts, const QStringList &found)
{
    qWarning().noquote() << "seed" << seed << "(VELLORAN_BILLING_SEED=" << seed << "VELLORAN_BILLING_HISTORIES=1)";
    for (const ClerkAct &act : acts)
        qWarning().noquote() << "  " << act.toString();
    for (const QString &breach : found)
        qWarning().noquote() << "  !" << breach;
}
