#include "billinghistory.h"

#include "billingreplay.h"

#include <QRandomGenerator>

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
