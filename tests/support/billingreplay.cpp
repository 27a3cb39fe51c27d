#include "billingreplay.h"

void BillingReplay::add(const QList<BillingRule::Charge> &charges, const QDate &today)
{
    m_facts.charges += charges;
    for (int i = 0; i < charges.size(); ++i)
        m_postedOn.append(today);
}

void BillingReplay::post(const QDate &today)
{
    add(BillingRule(m_facts).due(today), today);
}

void BillingReplay::apply(const ClerkAct &act)
{
    post(act.today);
    BillingRule::Lease *inForce = nullptr;
    for (BillingRule::Lease &lease : m_facts.leases) {
        if (!lease.deleted)
            inForce = &lease;
    }
    const QDate leaseEnd = inForce ? inForce->end : QDate();
    BillingRule::Line *line = nullptr;
    for (BillingRule::Line &l : m_facts.lines) {
        if (l.id == act.line)
            line = &l;
    }

    switch (act.kind) {
    case ClerkAct::SaveLease: {
        BillingRule::Lease lease;
        lease.id = ++m_leases;
        lease.tenant = act.tenant;
        lease.firstPay = act.firstPay;
        lease.end = act.end;
        lease.cents = act.cents;
        lease.freq = act.freq;
        lease.takenLines = BillingRule(m_facts).takenOver(lease);
        m_facts.leases.append(lease);
        const QList<BillingRule::Agreed> asked = BillingRule(m_facts).question(lease.id);
        m_asked.append(!asked.isEmpty());
        if (act.yes)
            m_facts.agreed += asked;
        break;
    }
    case ClerkAct::DeleteLease:
        if (inForce)
            inForce->deleted = true;
        break;
    case ClerkAct::AddLine: {
        BillingRule::Line added;
        added.id = ++m_lines;
        added.tenant = act.tenant;
        added.cents = act.cents;
        added.freq = act.freq;
        added.start = act.start;
        added.clerkEnd = BillingRule::clerksEnd(act.end, leaseEnd);
        m_facts.lines.append(added);
        break;
    }
    case ClerkAct::EditLine:
        if (line) {
            line->cents = act.cents;
            line->freq = act.freq;
            line->start = act.start;
            line->clerkEnd = BillingRule::clerksEnd(act.end, leaseEnd);
        }
        break;
    case ClerkAct::DeleteLine:
        if (line && !line->deletedOn.isValid())
            line->deletedOn = act.today;
        break;
    case ClerkAct::Forgive:
        for (BillingRule::Charge &charge : m_facts.charges) {
            if (charge.tenant == act.tenant && charge.line == act.line && charge.due == act.due && !charge.forgiven) {
                charge.forgiven = true;
                break;
            }
        }
        break;
    case ClerkAct::ChargeAhead:
        add(BillingRule(m_facts).ahead(act.periods), act.today);
        break;
    case ClerkAct::AdjustRent:
        if (inForce)
            inForce->cents = act.cents;
        break;
    case ClerkAct::Run:
        break;
    }
    post(act.today);
}

ClerkOutcome BillingReplay::outcome() const
{
    ClerkOutcome outcome;
    outcome.asked = m_asked;
    for (const BillingRule::Charge &c : m_facts.charges)
        outcome.charges.append({c.tenant, c.line, c.due, c.lastDay, c.cents, c.lease, c.forgiven});
    return outcome;
}

ClerkOutcome BillingReplay::replay(const QList<ClerkAct> &acts)
{
    BillingReplay replay;
    for (const ClerkAct &act : acts)
        replay.apply(act);
    return replay.outcome();
}
