#include "money/billingrule.h"

#include "datahub/frequencystep.h"

#include <QVector>

#include <algorithm>

namespace {
QDate earlier(const QDate &a, const QDate &b)
{
    if (!a.isValid())
        return b;
    if (!b.isValid())
        return a;
    return qMin(a, b);
}
} // namespace

BillingRule::BillingRule(const Facts &facts)
    : m_facts(facts)
{
}

QDate BillingRule::step(const QDate &anchor, int freq, int times) const
{
    if (!anchor.isValid())
        return QDate();
    const FrequencyStep builtIn = FrequencyStep::builtIn(freq);
    if (builtIn.months > 0)
        return anchor.addMonths(builtIn.months * times);
    const int days = builtIn.isBuiltIn() ? builtIn.days : m_facts.frequencyDays.value(freq);
    if (days <= 0)
        return QDate();
    return anchor.addDays(qint64(days) * times);
}

QDate BillingRule::clerksEnd(const QDate &typed, const QDate &leaseEnd)
{
    return typed.isValid() && typed == leaseEnd ? QDate() : typed;
}

const BillingRule::Lease *BillingRule::leaseInForce() const
{
    for (const Lease &lease : m_facts.leases) {
        if (!lease.deleted)
            return &lease;
    }
    return nullptr;
}

const BillingRule::Lease *BillingRule::lease(int id) const
{
    for (const Lease &lease : m_facts.leases) {
        if (lease.id == id)
            return &lease;
    }
    return nullptr;
}

const BillingRule::Line *BillingRule::line(int id) const
{
    for (const Line &line : m_facts.lines) {
        if (line.id == id)
            return &line;
    }
    return nullptr;
}

QList<int> BillingRule::linesOf(const Lease &lease) const
{
    QList<int> lines{RentLine};
    for (const Line &line : m_facts.lines) {
        if (line.tenant == lease.tenant || lease.takenLines.contains(line.id))
            lines.append(line.id);
    }
    return lines;
}

QList<int> BillingRule::takenOver(const Lease &lease) const
{
    QList<int> taken;
    for (const Line &line : m_facts.lines) {
        if (line.tenant == lease.tenant)
            continue;
        if (line.deletedOn.isValid() && line.deletedOn < lease.firstPay)
            continue;
        if (line.clerkEnd.isValid() && line.clerkEnd < lease.firstPay)
            continue;
        taken.append(line.id);
    }
    return taken;
}

int BillingRule::freqOf(const Lease &lease, int lineId) const
{
    if (lineId == RentLine)
        return lease.freq;
    const Line *l = line(lineId);
    return l ? l->freq : 0;
}

qint64 BillingRule::centsOf(const Lease &lease, int lineId) const
{
    if (lineId == RentLine)
        return lease.cents;
    const Line *l = line(lineId);
    return l ? l->cents : 0;
}

QDate BillingRule::anchor(const Lease &lease, int lineId) const
{
    if (lineId == RentLine)
        return lease.firstPay;
    const Line *l = line(lineId);
    if (!l)
        return QDate();
    if (l->tenant == lease.tenant)
        return l->start.isValid() ? l->start : lease.firstPay;
    return l->start.isValid() ? qMax(l->start, lease.firstPay) : lease.firstPay;
}

QDate BillingRule::lineStop(int lineId) const
{
    const Line *l = line(lineId);
    if (!l)
        return QDate();
    return earlier(l->clerkEnd, l->deletedOn.isValid() ? l->deletedOn.addDays(1) : QDate());
}

QList<BillingRule::Span> BillingRule::covered(int tenant, int lineId, bool withAgreed) const
{
    QList<Span> spans;
    for (const Charge &charge : m_facts.charges) {
        if (charge.tenant == tenant && charge.line == lineId && charge.due.isValid() && charge.lastDay.isValid())
            spans.append({charge.due, charge.lastDay});
    }
    for (const Dealt &dealt : m_facts.dealt) {
        if (dealt.tenant == tenant && dealt.line == lineId && dealt.lastDay.isValid())
            spans.append({dealt.from.isValid() ? dealt.from : QDate(1900, 1, 1), dealt.lastDay});
    }
    if (withAgreed) {
        const QList<Span> posted = covered(tenant, lineId, false);
        for (const Agreed &agreed : m_facts.agreed) {
            if (agreed.tenant == tenant && agreed.line == lineId && agreedStands(agreed, posted))
                spans.append({agreed.due, agreed.lastDay});
        }
    }
    std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) {
        return a.from < b.from || (a.from == b.from && a.lastDay < b.lastDay);
    });
    return spans;
}

bool BillingRule::agreedStands(const Agreed &agreed, const QList<Span> &coveredDays) const
{
    const Line *l = agreed.line == RentLine ? nullptr : line(agreed.line);
    if (l && l->deletedOn.isValid() && l->deletedOn < agreed.due)
        return false;
    if (l && l->clerkEnd.isValid() && agreed.due >= l->clerkEnd)
        return false;
    for (const Lease &later : m_facts.leases) {
        if (later.id > agreed.askedBy && later.tenant != agreed.tenant && later.firstPay <= agreed.lastDay)
            return false;
    }
    for (const Span &span : coveredDays) {
        if (span.from <= agreed.lastDay && span.lastDay >= agreed.due)
            return false;
    }
    return true;
}

BillingRule::Walk BillingRule::walk(const Lease &lease, int lineId, const QList<Span> &coveredDays,
                                    const QDate &today, int ahead) const
{
    Walk result;
    const int freq = freqOf(lease, lineId);
    QDate from = anchor(lease, lineId);
    const QDate stop = earlier(lease.end, lineStop(lineId));
    if (!from.isValid() || !stop.isValid())
        return result;
    QDate lastHeld = lease.end;
    if (const Line *l = lineId == RentLine ? nullptr : line(lineId)) {
        lastHeld = earlier(lastHeld, l->clerkEnd);
        lastHeld = earlier(lastHeld, l->deletedOn);
    }
    auto tell = [&](const QDate &first, const QDate &last) {
        const QDate told = qMin(last, lastHeld);
        if (first <= told)
            result.told.append({lease.id, lineId, first, told});
    };

    // The charges are met one at a time, never a run of them at once: a lease's own charges, posted on
    // its schedule, then never move it, however many postings made them.
    QVector<QDate> latestEnd(coveredDays.size());
    for (int i = 0; i < coveredDays.size(); ++i)
        latestEnd[i] = i == 0 ? coveredDays.at(i).lastDay : qMax(latestEnd.at(i - 1), coveredDays.at(i).lastDay);
    const auto firstAfter = [&](const QDate &day) {
        return int(std::upper_bound(coveredDays.begin(), coveredDays.end(), day,
                                    [](const QDate &d, const Span &s) { return d < s.from; })
                   - coveredDays.begin());
    };
    // The last day of the charge that covers `day` and ends latest; invalid where none does.
    const auto coverEnd = [&](const QDate &day) {
        QDate end;
        for (int i = firstAfter(day) - 1; i >= 0 && latestEnd.at(i) >= day; --i) {
            if (coveredDays.at(i).lastDay >= day)
                end = end.isValid() ? qMax(end, coveredDays.at(i).lastDay) : coveredDays.at(i).lastDay;
        }
        return end;
    };

    int k = 0;
    for (int guard = 0; guard < 100000; ++guard) {
        const QDate due = step(from, freq, k);
        if (!due.isValid())
            break;
        if (due >= stop) {
            // A due date on the last day held charges nothing: that day is told.
            if (due >= lease.firstPay && !coverEnd(due).isValid())
                tell(due, lastHeld);
            break;
        }
        const QDate next = step(from, freq, k + 1);
        if (!next.isValid() || next <= due)
            break;
        const QDate last = next.addDays(-1);
        QDate resume = coverEnd(due);
        if (!resume.isValid()) {
            const int runsInto = firstAfter(due);
            if (runsInto < coveredDays.size() && coveredDays.at(runsInto).from <= last) {
                tell(qMax(due, lease.firstPay), coveredDays.at(runsInto).from.addDays(-1));
                resume = coverEnd(coveredDays.at(runsInto).from);
            }
        }
        if (resume.isValid()) {
            resume = resume.addDays(1);
            while (step(from, freq, k).isValid() && step(from, freq, k) < resume)
                ++k;
            if (step(from, freq, k) != resume) {
                from = resume;
                k = 0;
            }
            continue;
        }
        if (due >= lease.firstPay) {
            if (ahead < 0 && today.isValid() && due > today)
                break;
            result.periods.append({lease.tenant, lineId, due, last, centsOf(lease, lineId), lease.id, false});
            if (ahead >= 0 && result.periods.size() >= ahead)
                break;
        } else if (last >= lease.firstPay) {
            tell(lease.firstPay, last);
        }
        ++k;
    }
    return result;
}

QList<BillingRule::Charge> BillingRule::due(const QDate &today) const
{
    QList<Charge> posting;
    const Lease *inForce = leaseInForce();
    QList<int> lines;
    if (inForce)
        lines = linesOf(*inForce);
    for (const Agreed &agreed : m_facts.agreed) {
        if (!lines.contains(agreed.line))
            lines.append(agreed.line);
    }
    for (int lineId : lines) {
        QList<Charge> lineCharges;
        if (inForce && linesOf(*inForce).contains(lineId))
            lineCharges = walk(*inForce, lineId, covered(inForce->tenant, lineId, false), today, -1).periods;
        addAgreed(lineCharges, lineId, [&today](const Agreed &a) { return a.due <= today; }, -1);
        posting += lineCharges;
    }
    return posting;
}

void BillingRule::addAgreed(QList<Charge> &lineCharges, int lineId, const std::function<bool(const Agreed &)> &wanted,
                            int limit) const
{
    QList<Agreed> agreed;
    for (const Agreed &a : m_facts.agreed) {
        if (a.line == lineId && wanted(a))
            agreed.append(a);
    }
    std::sort(agreed.begin(), agreed.end(), [](const Agreed &a, const Agreed &b) { return a.due < b.due; });
    for (const Agreed &a : agreed) {
        if (limit >= 0 && lineCharges.size() >= limit)
            break;
        QList<Span> coveredDays = covered(a.tenant, lineId, false);
        for (const Charge &c : lineCharges) {
            if (c.tenant == a.tenant)
                coveredDays.append({c.due, c.lastDay});
        }
        if (agreedStands(a, coveredDays))
            lineCharges.append({a.tenant, lineId, a.due, a.lastDay, a.cents, a.lease, false});
    }
}

QList<BillingRule::Charge> BillingRule::ahead(int periods) const
{
    QList<Charge> posting;
    const Lease *inForce = leaseInForce();
    if (!inForce || periods <= 0)
        return posting;
    const QList<int> leaseLines = linesOf(*inForce);
    QList<int> lines = leaseLines;
    for (const Agreed &a : m_facts.agreed) {
        if (a.tenant == inForce->tenant && !lines.contains(a.line))
            lines.append(a.line);
    }
    for (int lineId : lines) {
        QList<Charge> lineCharges;
        if (leaseLines.contains(lineId))
            lineCharges = walk(*inForce, lineId, covered(inForce->tenant, lineId, false), QDate(), periods).periods;
        const int tenant = inForce->tenant;
        addAgreed(lineCharges, lineId, [tenant](const Agreed &a) { return a.tenant == tenant; }, periods);
        posting += lineCharges;
    }
    return posting;
}

QList<BillingRule::Agreed> BillingRule::question(int leaseId) const
{
    QList<Agreed> offered;
    const Lease *saving = lease(leaseId);
    if (!saving)
        return offered;
    const Lease *previous = nullptr;
    for (const Lease &l : m_facts.leases) {
        if (l.id < saving->id && l.tenant == saving->tenant)
            previous = &l;
    }
    if (!previous)
        return offered;
    QDate lastDay = saving->firstPay.addDays(-1);
    for (const Lease &l : m_facts.leases) {
        if (l.id > previous->id && l.tenant != saving->tenant)
            lastDay = qMin(lastDay, l.firstPay.addDays(-1));
    }
    for (int lineId : linesOf(*previous)) {
        const Line *l = lineId == RentLine ? nullptr : line(lineId);
        if (l && l->deletedOn.isValid())
            continue;
        const QList<Span> coveredDays = covered(saving->tenant, lineId, true);
        QDate from = previous->firstPay;
        for (const Span &span : coveredDays)
            from = qMax(from, span.lastDay.addDays(1));
        if (from > lastDay)
            continue;
        for (const Charge &period : walk(*previous, lineId, coveredDays, QDate(), -1).periods) {
            if (period.due >= from && period.lastDay <= lastDay)
                offered.append({saving->id, saving->tenant, lineId, period.due, period.lastDay, period.cents, previous->id});
        }
    }
    return offered;
}

QList<BillingRule::Charge> BillingRule::overlaps(int leaseId) const
{
    QList<Charge> others;
    const Lease *saving = lease(leaseId);
    if (!saving)
        return others;
    for (const Charge &charge : m_facts.charges) {
        if (charge.tenant != saving->tenant && !charge.forgiven && charge.lastDay >= saving->firstPay
            && charge.due <= saving->end)
            others.append(charge);
    }
    return others;
}

QList<BillingRule::Told> BillingRule::told(int leaseId) const
{
    QList<Told> told;
    const Lease *l = lease(leaseId);
    if (!l)
        return told;
    for (int lineId : linesOf(*l))
        told += walk(*l, lineId, covered(l->tenant, lineId, false), QDate(), -1).told;
    return told;
}

QList<BillingRule::Row> BillingRule::rows() const
{
    QList<Row> rows;
    const Lease *inForce = leaseInForce();
    if (inForce) {
        const QList<Charge> next = ahead(1);
        for (int lineId : linesOf(*inForce)) {
            Row row{lineId, inForce->tenant, QDate(), true};
            for (const Charge &charge : next) {
                if (charge.line == lineId) {
                    row.nextDate = charge.due;
                    row.completed = false;
                }
            }
            rows.append(row);
        }
    }
    if (m_facts.agreed.isEmpty())
        return rows;
    // A line no lease in force shows, with days agreed to still to charge, shows the first of them.
    for (const Charge &charge : due(QDate(9999, 12, 31))) {
        const bool agreed = std::any_of(m_facts.agreed.cbegin(), m_facts.agreed.cend(), [&charge](const Agreed &a) {
            return a.tenant == charge.tenant && a.line == charge.line && a.due == charge.due;
        });
        const bool shown = std::any_of(rows.cbegin(), rows.cend(), [&charge](const Row &row) {
            return row.line == charge.line && (row.tenant == charge.tenant || !row.completed);
        });
        if (agreed && !shown)
            rows.append({charge.line, charge.tenant, charge.due, false});
    }
    return rows;
}
