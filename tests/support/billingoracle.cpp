#include "billingoracle.h"

#include <QHash>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QVector>

#include <algorithm>

namespace {

// Months a period spans, or 0 where it is counted in days.
int monthsOf(int freq)
{
    switch (freq) {
    case 2: return 6;
    case 3: return 1;
    case 4: return 3;
    case 6: return 12;
    case 7: return 24;
    case 8: return 36;
    case 9: return 60;
    default: return 0;
    }
}

int daysOf(int freq)
{
    return freq == 1 ? 14 : freq == 5 ? 7 : 0;
}

// The k-th due date of a schedule: the anchor stepped k periods at once, never period by period, so
// that a 31st stays the 31st wherever the month has one.
QDate dueAt(const QDate &anchor, int freq, int k)
{
    const int months = monthsOf(freq);
    return months ? anchor.addMonths(k * months) : anchor.addDays(qint64(k) * daysOf(freq));
}

// Whether `day` is a due date of the schedule anchored on `anchor`; if so, `k` is its number.
bool isDue(const QDate &anchor, int freq, const QDate &day, int *k)
{
    if (day < anchor)
        return false;
    const int months = monthsOf(freq);
    if (!months) {
        const qint64 apart = anchor.daysTo(day);
        *k = int(apart / daysOf(freq));
        return apart % daysOf(freq) == 0;
    }
    const int guess = ((day.year() - anchor.year()) * 12 + day.month() - anchor.month()) / months;
    for (int candidate = std::max(0, guess - 1); candidate <= guess + 1; ++candidate) {
        if (dueAt(anchor, freq, candidate) == day) {
            *k = candidate;
            return true;
        }
    }
    return false;
}

// The days one tenant's charges of one line cover. Each charge's own span is kept, since the walk
// steps past his charges one at a time; touching spans are also merged into sorted stretches for the
// quick "is any day from here to there covered" look-ups.
class Covered
{
public:
    void add(const QDate &from, const QDate &to)
    {
        m_spans.append({from.toJulianDay(), to.toJulianDay()});
        qint64 first = from.toJulianDay();
        qint64 last = to.toJulianDay();
        QVector<QPair<qint64, qint64>> merged;
        for (const auto &run : m_runs) {
            if (run.second + 1 < first || last + 1 < run.first) {
                merged.append(run);
            } else {
                first = std::min(first, run.first);
                last = std::max(last, run.second);
            }
        }
        merged.append({first, last});
        std::sort(merged.begin(), merged.end());
        m_runs = merged;
    }

    // The last day of the charge covering `day` that ends latest, or an invalid date where none does.
    QDate chargeEnd(const QDate &day) const
    {
        const qint64 jd = day.toJulianDay();
        qint64 end = -1;
        for (const auto &span : m_spans) {
            if (span.first <= jd && jd <= span.second)
                end = std::max(end, span.second);
        }
        return end < 0 ? QDate() : QDate::fromJulianDay(end);
    }

    // The first covered day from `from` to `to`, or an invalid date.
    QDate firstIn(const QDate &from, const QDate &to) const
    {
        const qint64 first = from.toJulianDay();
        const qint64 last = to.toJulianDay();
        for (const auto &run : m_runs) {
            if (run.second >= first && run.first <= last)
                return QDate::fromJulianDay(std::max(first, run.first));
        }
        return QDate();
    }

    QDate lastDay() const { return m_runs.isEmpty() ? QDate() : QDate::fromJulianDay(m_runs.last().second); }

private:
    QVector<QPair<qint64, qint64>> m_spans;
    QVector<QPair<qint64, qint64>> m_runs;
};

struct Period
{
    QDate due;
    QDate lastDay;
};

// One line as one lease has it: where its schedule is anchored, how often it falls due, the first day
// the lease holds and the day due dates must come before.
struct Terms
{
    QDate anchor;
    int freq = 3;
    QDate from;
    QDate bound;
    qint64 cents = 0;
};

// The periods owed by rules 3 and 4, in order: at most `most` of them (-1: any number), none due after
// `upTo` (invalid: no such limit). The walk steps past the tenant's charges one at a time, never past
// a merged stretch of them: a schedule re-anchored at one charge and carried on by the next stays put,
// so charges posted on it never move it, however many postings made them. A stretch running into a
// charge is told.
QList<Period> owedPeriods(const Terms &terms, const Covered &covered, const QDate &upTo, int most)
{
    QList<Period> owed;
    QDate anchor = terms.anchor;
    int k = 0;
    QDate day = anchor;
    for (int guard = 0; guard < 100000; ++guard) {
        if (most >= 0 && owed.size() >= most)
            break;
        if (!terms.bound.isValid() || day >= terms.bound)
            break;
        if (upTo.isValid() && day > upTo)
            break;
        const QDate coveredTo = covered.chargeEnd(day);
        if (coveredTo.isValid()) {
            const QDate after = coveredTo.addDays(1);
            if (!isDue(anchor, terms.freq, after, &k)) {
                anchor = after;
                k = 0;
            }
            day = after;
            continue;
        }
        const QDate next = dueAt(anchor, terms.freq, k + 1);
        const QDate firstCovered = covered.firstIn(day, next.addDays(-1));
        if (firstCovered.isValid()) {
            // Told, not charged: the walk goes on past the charge it ran into.
            day = firstCovered;
            continue;
        }
        if (day >= terms.from)
            owed.append({day, next.addDays(-1)});
        ++k;
        day = next;
    }
    return owed;
}

struct Lease
{
    int number = 0;
    int tenant = 0;
    qint64 cents = 0;
    int freq = 3;
    QDate firstPay;
    QDate end;
    QDate rentAnchor;
    QDate rentEnd;
    QDate rentDeletedOn;
    int savedAt = 0;
    int deletedAt = -1;
    QList<int> takenOver;
};

struct Line
{
    int adder = 0;
    qint64 cents = 0;
    int freq = 3;
    QDate start;
    QDate ownEnd;
    QDate deletedOn;
    int addedAt = 0;
};

struct Agreed
{
    int tenant = 0;
    int lease = 0;
    int line = 0;
    Period period;
    qint64 cents = 0;
    int answeredAt = 0;
    bool charged = false;
};

// The day due dates must come before once a bill was deleted on `deletedOn` (invalid: not deleted).
QDate afterDeletion(const QDate &deletedOn)
{
    return deletedOn.isValid() ? deletedOn.addDays(1) : QDate();
}

QDate earlier(const QDate &a, const QDate &b)
{
    if (!a.isValid())
        return b;
    if (!b.isValid())
        return a;
    return std::min(a, b);
}

class Replay
{
public:
    ClerkOutcome run(const QList<ClerkAct> &acts)
    {
        for (m_now = 0; m_now < acts.size(); ++m_now) {
            const ClerkAct &act = acts.at(m_now);
            post(act.today);
            perform(act);
            post(act.today);
        }
        return m_outcome;
    }

private:
    void perform(const ClerkAct &act)
    {
        switch (act.kind) {
        case ClerkAct::SaveLease:
            saveLease(act);
            break;
        case ClerkAct::DeleteLease:
            if (Lease *lease = inForce())
                lease->deletedAt = m_now;
            break;
        case ClerkAct::AddLine: {
            Line line;
            line.adder = act.tenant;
            line.cents = act.cents;
            line.freq = act.freq;
            line.start = act.start;
            line.ownEnd = endOfItsOwn(act.end);
            line.addedAt = m_now;
            m_lines.append(line);
            break;
        }
        case ClerkAct::EditLine:
            editLine(act);
            break;
        case ClerkAct::DeleteLine:
            if (act.line == 0) {
                Lease *lease = rentLease();
                if (lease && !lease->rentDeletedOn.isValid())
                    lease->rentDeletedOn = act.today;
            } else if (act.line > 0 && act.line <= m_lines.size() && !m_lines.at(act.line - 1).deletedOn.isValid()) {
                m_lines[act.line - 1].deletedOn = act.today;
            }
            break;
        case ClerkAct::Forgive:
            for (ClerkCharge &charge : m_outcome.charges) {
                if (charge.tenant == act.tenant && charge.line == act.line && charge.due == act.due)
                    charge.forgiven = true;
            }
            break;
        case ClerkAct::ChargeAhead:
            chargeAhead(act.periods);
            break;
        case ClerkAct::AdjustRent:
            if (Lease *lease = inForce())
                lease->cents = act.cents;
            break;
        case ClerkAct::Run:
            break;
        }
    }

    Lease *inForce()
    {
        for (Lease &lease : m_leases) {
            if (lease.deletedAt < 0)
                return &lease;
        }
        return nullptr;
    }

    // The lease whose rent the rent's bill row shows: the one in force, or else the one saved last.
    Lease *rentLease()
    {
        if (Lease *lease = inForce())
            return lease;
        return m_leases.isEmpty() ? nullptr : &m_leases.last();
    }

    QDate endOfItsOwn(const QDate &typed)
    {
        const Lease *lease = inForce();
        return lease && typed == lease->end ? QDate() : typed;
    }

    void editLine(const ClerkAct &act)
    {
        if (act.line == 0) {
            Lease *lease = rentLease();
            if (!lease || lease->rentDeletedOn.isValid())
                return;
            lease->cents = act.cents;
            lease->freq = act.freq;
            lease->rentAnchor = act.start.isValid() && act.start > lease->firstPay ? act.start : lease->firstPay;
            lease->rentEnd = act.end == lease->end ? QDate() : act.end;
            return;
        }
        if (act.line < 1 || act.line > m_lines.size() || m_lines.at(act.line - 1).deletedOn.isValid())
            return;
        Line &line = m_lines[act.line - 1];
        line.cents = act.cents;
        line.freq = act.freq;
        line.start = act.start;
        line.ownEnd = endOfItsOwn(act.end);
    }

    Covered &covered(int tenant, int line) { return m_covered[qMakePair(tenant, line)]; }

    // The lines a lease has, rent (0) first, each with its terms under that lease.
    // A line deleted charges nothing due after the day it was deleted; the question offers none.
    QList<QPair<int, Terms>> linesOf(const Lease &lease, int addedBefore, bool offering = false) const
    {
        QList<QPair<int, Terms>> lines;
        if (!(offering && lease.rentDeletedOn.isValid())) {
            Terms rent;
            rent.anchor = lease.rentAnchor;
            rent.freq = lease.freq;
            rent.from = lease.firstPay;
            rent.bound = earlier(earlier(lease.end, lease.rentEnd), afterDeletion(lease.rentDeletedOn));
            rent.cents = lease.cents;
            lines.append({0, rent});
        }
        for (int i = 0; i < m_lines.size(); ++i) {
            const Line &line = m_lines.at(i);
            if (offering && line.deletedOn.isValid())
                continue;
            const bool adder = line.adder == lease.tenant && line.addedAt < addedBefore;
            if (!adder && !lease.takenOver.contains(i + 1))
                continue;
            Terms terms;
            terms.anchor = adder ? line.start : std::max(line.start, lease.firstPay);
            terms.freq = line.freq;
            terms.from = lease.firstPay;
            terms.bound = earlier(earlier(lease.end, line.ownEnd), afterDeletion(line.deletedOn));
            terms.cents = line.cents;
            lines.append({i + 1, terms});
        }
        return lines;
    }

    void charge(int tenant, int line, const Period &period, qint64 cents, int lease)
    {
        ClerkCharge posted;
        posted.tenant = tenant;
        posted.line = line;
        posted.due = period.due;
        posted.lastDay = period.lastDay;
        posted.cents = cents;
        posted.lease = lease;
        m_outcome.charges.append(posted);
        covered(tenant, line).add(period.due, period.lastDay);
    }

    // Whether an agreed period may still be charged (its due date aside).
    bool live(const Agreed &agreed)
    {
        if (agreed.charged)
            return false;
        if (agreed.line == 0) {
            const QDate deletedOn = m_leases.at(agreed.lease - 1).rentDeletedOn;
            if (deletedOn.isValid() && agreed.period.due > deletedOn)
                return false;
        } else {
            const Line &line = m_lines.at(agreed.line - 1);
            if ((line.deletedOn.isValid() && agreed.period.due > line.deletedOn)
                || (line.ownEnd.isValid() && agreed.period.due >= line.ownEnd))
                return false;
        }
        for (const Lease &other : m_leases) {
            if (other.tenant != agreed.tenant && other.savedAt > agreed.answeredAt
                && other.firstPay <= agreed.period.lastDay)
                return false;
        }
        return !covered(agreed.tenant, agreed.line).firstIn(agreed.period.due, agreed.period.lastDay).isValid();
    }

    void chargeAgreed(Agreed &agreed)
    {
        charge(agreed.tenant, agreed.line, agreed.period, agreed.cents, agreed.lease);
        agreed.charged = true;
    }

    void post(const QDate &today)
    {
        for (bool more = true; more;) {
            more = false;
            if (Lease *lease = inForce()) {
                const Lease current = *lease;
                for (const auto &line : linesOf(current, m_now + 1)) {
                    const QList<Period> owed = owedPeriods(line.second, covered(current.tenant, line.first), today, -1);
                    for (const Period &period : owed) {
                        charge(current.tenant, line.first, period, line.second.cents, current.number);
                        more = true;
                    }
                }
            }
            for (Agreed &agreed : m_agreed) {
                if (agreed.period.due <= today && live(agreed)) {
                    chargeAgreed(agreed);
                    more = true;
                }
            }
        }
    }

    void saveLease(const ClerkAct &act)
    {
        Lease lease;
        lease.number = m_leases.size() + 1;
        lease.tenant = act.tenant;
        lease.cents = act.cents;
        lease.freq = act.freq;
        lease.firstPay = act.firstPay;
        lease.end = act.end;
        lease.rentAnchor = act.firstPay;
        lease.savedAt = m_now;
        for (int i = 0; i < m_lines.size(); ++i) {
            const Line &line = m_lines.at(i);
            const bool gone = (line.deletedOn.isValid() && line.deletedOn < act.firstPay)
                              || (line.ownEnd.isValid() && line.ownEnd < act.firstPay);
            if (line.adder != act.tenant && !gone)
                lease.takenOver.append(i + 1);
        }

        // The question is about his latest earlier lease here, if he had one.
        const Lease *previous = nullptr;
        for (const Lease &earlierLease : m_leases) {
            if (earlierLease.tenant == act.tenant)
                previous = &earlierLease;
        }
        QList<Agreed> offered;
        if (previous)
            offered = question(*previous, act.firstPay);
        m_leases.append(lease);
        m_outcome.asked.append(!offered.isEmpty());
        if (act.yes)
            m_agreed.append(offered);
    }

    QList<Agreed> question(const Lease &previous, const QDate &newFirstPay)
    {
        QDate taken = newFirstPay;
        for (const Lease &other : m_leases) {
            if (other.tenant != previous.tenant && other.savedAt > previous.savedAt)
                taken = std::min(taken, other.firstPay);
        }
        QList<Agreed> offered;
        const int gone = previous.deletedAt < 0 ? m_now : previous.deletedAt;
        for (const auto &line : linesOf(previous, gone, true)) {
            Covered counted = covered(previous.tenant, line.first);
            for (Agreed &agreed : m_agreed) {
                if (agreed.tenant == previous.tenant && agreed.line == line.first && live(agreed))
                    counted.add(agreed.period.due, agreed.period.lastDay);
            }
            const QDate after = counted.lastDay();
            Terms terms = line.second;
            terms.bound = earlier(terms.bound, taken);
            for (const Period &period : owedPeriods(terms, counted, QDate(), -1)) {
                if ((after.isValid() && period.due <= after) || period.lastDay >= taken)
                    continue;
                Agreed agreed;
                agreed.tenant = previous.tenant;
                agreed.lease = previous.number;
                agreed.line = line.first;
                agreed.period = period;
                agreed.cents = terms.cents;
                agreed.answeredAt = m_now;
                offered.append(agreed);
            }
        }
        return offered;
    }

    void chargeAhead(int periods)
    {
        Lease *lease = inForce();
        if (!lease)
            return;
        const Lease current = *lease;
        QMap<int, Terms> lines;
        QSet<int> tenantsLines;
        for (const auto &line : linesOf(current, m_now + 1)) {
            lines.insert(line.first, line.second);
            tenantsLines.insert(line.first);
        }
        for (const Agreed &agreed : m_agreed) {
            if (agreed.tenant == current.tenant && live(agreed))
                tenantsLines.insert(agreed.line);
        }
        for (int line : tenantsLines) {
            for (int n = 0; n < periods; ++n) {
                if (lines.contains(line)) {
                    const QList<Period> next =
                        owedPeriods(lines.value(line), covered(current.tenant, line), QDate(), 1);
                    if (!next.isEmpty()) {
                        charge(current.tenant, line, next.first(), lines.value(line).cents, current.number);
                        continue;
                    }
                }
                Agreed *first = nullptr;
                for (Agreed &agreed : m_agreed) {
                    if (agreed.tenant == current.tenant && agreed.line == line && live(agreed)
                        && (!first || agreed.period.due < first->period.due))
                        first = &agreed;
                }
                if (!first)
                    break;
                chargeAgreed(*first);
            }
        }
    }

    int m_now = 0;
    QList<Lease> m_leases;
    QList<Line> m_lines;
    QList<Agreed> m_agreed;
    QHash<QPair<int, int>, Covered> m_covered;
    ClerkOutcome m_outcome;
};

} // namespace

ClerkOutcome BillingOracle::replay(const QList<ClerkAct> &acts)
{
    return Replay().run(acts);
}
