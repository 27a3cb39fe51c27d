#include "leasedays.h"

#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {

const QDate Never(9999, 12, 31);

QDate earliest(const QDate &a, const QDate &b)
{
    return !a.isValid() ? b : !b.isValid() ? a : qMin(a, b);
}

} // namespace

QDate LeaseDays::step(const QDate &from, int freq, int times)
{
    switch (freq) {
    case 1: return from.addDays(14 * times);
    case 2: return from.addMonths(6 * times);
    case 3: return from.addMonths(times);
    case 4: return from.addMonths(3 * times);
    case 5: return from.addDays(7 * times);
    case 6: return from.addYears(times);
    case 7: return from.addYears(2 * times);
    case 8: return from.addYears(3 * times);
    case 9: return from.addYears(5 * times);
    default: break;
    }
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select days from frequency where freqid = %1").arg(freq));
    const int days = query.next() ? query.value(0).toInt() : 0;
    return days > 0 ? from.addDays(qint64(days) * times) : QDate();
}

void LeaseDays::load(const QSqlDatabase &db)
{
    *this = LeaseDays();
    QSqlQuery query(db);
    query.exec("select g.apid, g.tid, g.rent, g.freq, g.nextdate, g.leaseend from agreements g join apartments a on "
               "a.agreeid = g.rid");
    while (query.next()) {
        Lease lease;
        lease.apid = query.value(0).toInt();
        lease.terms = {query.value(1).toInt(), qRound64(query.value(2).toDouble() * 100), query.value(3).toInt(),
                       query.value(4).toDate(), query.value(5).toDate()};
        current.insert(lease.apid, leases.size());
        lastTenant.insert(lease.apid, lease.terms.tid);
        leases << lease;
    }
    // Days of a bill from its start to the apartment's first charge were dealt with before the books
    // began, whoever held them; a lease reaching back before a bill's start owes the days before it.
    QMap<int, QDate> booksBegan;
    query.exec("select r.apid, min(c.fordate) from charges c join recur r on r.recid = c.recid group by r.apid");
    while (query.next())
        booksBegan.insert(query.value(0).toInt(), query.value(1).toDate());
    QMap<int, int> billOfRecid;
    query.exec("select recid, tid, apid, type, amount, freq, startdate, enddate, nextdate, completed, leaserent, "
               "firstpay from recur order by recid");
    while (query.next()) {
        const int tid = query.value(1).toInt();
        const int apid = query.value(2).toInt();
        const bool rent = query.value(10).toInt() == 1;
        const bool running = query.value(9).toInt() == 0 && current.contains(apid)
                             && leases.at(current.value(apid)).terms.tid == tid;
        int index = rent ? rentBill(apid, tid) : -1;
        if (index < 0) {
            index = bills.size();
            lines << Line{apid, query.value(3).toString(), false};
            bills << Bill();
            bills.last().line = lines.size() - 1;
            bills.last().tid = tid;
        }
        Bill &bill = bills[index];
        if (!rent || running || bill.recid == 0) {
            bill.recid = query.value(0).toInt();
            bill.cents = qRound64(query.value(4).toDouble() * 100);
            bill.freq = query.value(5).toInt();
            bill.start = query.value(6).toDate();
            bill.end = query.value(7).toDate();
            bill.withLease = current.contains(apid) && bill.end == leases.at(current.value(apid)).terms.end;
            bill.ended = !rent && current.contains(apid) && bill.end < leases.at(current.value(apid)).terms.end;
        }
        billOfRecid.insert(query.value(0).toInt(), index);
        const QDate next = query.value(8).toDate();
        if (next.isValid())
            charges << Charge{bill.line, index, tid, bill.start, next, 0, false, false}
                    << Charge{bill.line, index, 0, bill.start, earliest(booksBegan.value(apid), next), 0, false, false};
        if (!running || !next.isValid())
            continue;
        // Its due dates from the day it began, where its next one is among them.
        const QDate began = rent && query.value(11).toDate().isValid() ? query.value(11).toDate() : bill.start;
        QDate anchor = next;
        int k = 0;
        for (int i = 0; began.isValid() && i < 1000 && step(began, bill.freq, i) <= next; ++i)
            if (step(began, bill.freq, i) == next) {
                anchor = began;
                k = i;
                break;
            }
        for (const QDate end = query.value(7).toDate(); step(anchor, bill.freq, k).isValid() && step(anchor, bill.freq, k) < end; ++k)
            bill.dues << Due{step(anchor, bill.freq, k), step(anchor, bill.freq, k + 1), bill.cents, false};
    }
    query.exec("select recid, fordate, origamount, tid from charges where recid is not null");
    while (query.next()) {
        const int index = billOfRecid.value(query.value(0).toInt(), -1);
        if (index < 0)
            continue;
        const Bill &bill = bills.at(index);
        const QDate day = query.value(1).toDate();
        charges << Charge{bill.line, index, query.value(3).toInt(), day, step(day, bill.freq),
                          qRound64(query.value(2).toDouble() * 100), true, false};
    }
}

int LeaseDays::rentBill(int apid, int tid)
{
    for (int i = 0; i < bills.size(); ++i)
        if (bills.at(i).tid == tid && lines.at(bills.at(i).line).rent && lines.at(bills.at(i).line).apid == apid)
            return i;
    int line = -1;
    for (int i = 0; i < lines.size() && line < 0; ++i)
        if (lines.at(i).rent && lines.at(i).apid == apid)
            line = i;
    if (line < 0) {
        line = lines.size();
        lines << Line{apid, QStringLiteral("Rent"), true};
    }
    Bill bill;
    bill.tid = tid;
    bill.line = line;
    bills << bill;
    return bills.size() - 1;
}

QString LeaseDays::charge(int line, int tid, const QDate &day, qint64 cents) const
{
    return QStringLiteral("tenant %1 apartment %2 %3 %4=%5")
        .arg(tid)
        .arg(lines.at(line).apid)
        .arg(lines.at(line).type.toLower(), day.toString(Qt::ISODate))
        .arg(cents);
}

QList<LeaseDays::Span> LeaseDays::minus(const Span &span, const QList<Span> &taken)
{
    QList<Span> left{span};
    for (const Span &cut : taken) {
        QList<Span> rest;
        for (const Span &piece : qAsConst(left)) {
            if (!(cut.to > piece.from) || (cut.from.isValid() && !(cut.from < piece.to))) {
                rest << piece;
                continue;
            }
            if (cut.from.isValid() && piece.from < cut.from)
                rest << Span{piece.from, cut.from};
            if (cut.to < piece.to)
                rest << Span{cut.to, piece.to};
        }
        left = rest;
    }
    std::sort(left.begin(), left.end(), [](const Span &a, const Span &b) { return a.from < b.from; });
    return left;
}

QDate LeaseDays::firstFree(const QList<Span> &taken, const QDate &day)
{
    QDate free = day;
    for (bool moved = true; moved;) {
        moved = false;
        for (const Span &span : taken)
            if ((!span.from.isValid() || span.from <= free) && free < span.to) {
                free = span.to;
                moved = true;
            }
    }
    return free;
}

QList<LeaseDays::Due> LeaseDays::periods(const QDate &from, const QDate &dueBefore, int freq, qint64 cents,
                                         const QList<Span> &blocked)
{
    QList<Due> dues;
    QDate day = firstFree(blocked, from);
    QDate anchor = day;
    int k = 0;
    while (day.isValid() && dueBefore.isValid() && day < dueBefore) {
        const QDate next = step(anchor, freq, k + 1);
        if (!next.isValid())
            break;
        QDate hit;
        for (const Span &span : blocked)
            if (span.to > day && (!span.from.isValid() || span.from < next) && (!span.from.isValid() || span.from < span.to))
                hit = earliest(hit, span.from.isValid() ? qMax(span.from, day) : day);
        if (hit.isValid()) {
            day = firstFree(blocked, hit);
            anchor = day;
            k = 0;
            continue;
        }
        dues << Due{day, next, cents, false};
        ++k;
        day = next;
    }
    return dues;
}

QList<LeaseDays::Span> LeaseDays::covered(int line, int tid, const QDate &firstPayment, const Terms *saving) const
{
    QList<Span> spans;
    for (const Charge &charge : charges)
        if (charge.line == line
            && (tid <= 0 || charge.tid <= 0 || charge.tid == tid
                || (charge.day.isValid() && !(charge.day < firstPayment))))
            spans << Span{charge.day, charge.to};
    for (const Bill &bill : bills)
        if (bill.line == line && (tid <= 0 || bill.tid == tid))
            for (const Due &due : bill.dues)
                if (due.agreed && !(saving && bill.tid == saving->tid && due.to > saving->firstPayment))
                    spans << Span{due.day, due.to};
    return spans;
}

QList<LeaseDays::Leaving> LeaseDays::leaving(int apid, const Terms &lease) const
{
    QList<int> own;
    for (int i = 0; i < leases.size(); ++i)
        if (leases.at(i).apid == apid && leases.at(i).terms.tid == lease.tid)
            own << i;
    QList<Leaving> found;
    for (int n = 0; n < own.size(); ++n) {
        const Lease &before = leases.at(own.at(n));
        // Its days end where it does, where a later lease of his took over, or where the new one begins.
        QDate wall = lease.firstPayment;
        for (int m = n + 1; m < own.size(); ++m)
            wall = qMin(wall, leases.at(own.at(m)).terms.firstPayment);
        const QDate held = qMin(before.terms.end.addDays(1), wall);
        for (int b = 0; b < bills.size(); ++b) {
            const Bill &bill = bills.at(b);
            const bool rent = lines.at(bill.line).rent;
            if (bill.tid != lease.tid || lines.at(bill.line).apid != apid || bill.deleted
                || (!rent && bill.addedAt >= before.deletedAt))
                continue;
            const QDate from = rent || !bill.start.isValid() ? before.terms.firstPayment
                                                              : qMax(before.terms.firstPayment, bill.start);
            const QDate end = rent || bill.withLease || !bill.end.isValid() ? before.terms.end
                                                                             : qMin(bill.end, before.terms.end);
            const QDate to = qMin(held, end.addDays(1));
            if (!(from < to))
                continue;
            QList<Span> blocked = covered(bill.line, 0, QDate(), &lease) << before.settled.value(bill.line);
            // A period beginning on the line's last day is not charged: that day alone is not left.
            QList<Span> days = minus(Span{from, to}, blocked);
            for (int i = days.size() - 1; i >= 0; --i)
                if (!(days.at(i).from < end))
                    days.removeAt(i);
            if (days.isEmpty())
                continue;
            found << Leaving{own.at(n), b, days, end, blocked << Span{wall, Never}};
        }
    }
    return found;
}

bool LeaseDays::asks(int apid, const Terms &lease) const
{
    return !leaving(apid, lease).isEmpty();
}

void LeaseDays::post(int apid, const QDate &today)
{
    if (!current.contains(apid))
        return;
    for (int b = 0; b < bills.size(); ++b) {
        Bill &bill = bills[b];
        if (lines.at(bill.line).apid != apid)
            continue;
        std::stable_sort(bill.dues.begin(), bill.dues.end(), [](const Due &x, const Due &y) { return x.day < y.day; });
        while (!bill.dues.isEmpty() && !(today < bill.dues.first().day)) {
            const Due due = bill.dues.takeFirst();
            charges << Charge{bill.line, b, bill.tid, due.day, due.to, due.cents, true, false};
        }
    }
}

void LeaseDays::chargeRun(const QDate &today)
{
    for (auto lease = current.cbegin(); lease != current.cend(); ++lease)
        post(lease.key(), today);
}

void LeaseDays::leaseDeleted(int apid, const QDate &today)
{
    if (!current.contains(apid))
        return;
    ++clock;
    post(apid, today);
    Lease &gone = leases[current.take(apid)];
    gone.deletedAt = clock;
    Bill &rent = bills[rentBill(apid, gone.terms.tid)];
    for (int i = rent.dues.size() - 1; i >= 0; --i)
        if (!rent.dues.at(i).agreed)
            rent.dues.removeAt(i);
}

// The bill's own periods under `lease`, from the lease's first payment date (another bill's start, if
// later), beside the days its line has covered.
void LeaseDays::schedule(Bill &bill, const Terms &lease)
{
    for (int i = bill.dues.size() - 1; i >= 0; --i)
        if (!bill.dues.at(i).agreed)
            bill.dues.removeAt(i);
    QDate from = lease.firstPayment;
    QDate dueBefore = lease.end;
    if (lines.at(bill.line).rent) {
        bill.cents = lease.cents;
        bill.freq = lease.freq;
    } else {
        if (bill.withLease || !bill.end.isValid())
            bill.end = lease.end;
        if (bill.start.isValid())
            from = qMax(from, bill.start);
        dueBefore = qMin(dueBefore, bill.end);
    }
    bill.dues << periods(from, dueBefore, bill.freq, bill.cents, covered(bill.line, bill.tid, lease.firstPayment));
    std::stable_sort(bill.dues.begin(), bill.dues.end(), [](const Due &x, const Due &y) { return x.day < y.day; });
}

void LeaseDays::leaseSaved(int apid, const Terms &lease, bool chargeEarlier, const QDate &today)
{
    ++clock;
    post(apid, today);
    const QList<Leaving> left = leaving(apid, lease);
    const int leaver = lastTenant.value(apid, 0);
    // Every other tenant's bills stop where they stand; the newcomer gets his own of each line the
    // leaver had running with his lease.
    QList<Bill> copies;
    for (Bill &bill : bills) {
        if (lines.at(bill.line).apid != apid || bill.tid == lease.tid)
            continue;
        bill.dues.clear();
        if (bill.tid != leaver || lines.at(bill.line).rent || bill.deleted || bill.ended
            || !(bill.withLease || !bill.end.isValid() || lease.firstPayment < bill.end))
            continue;
        bool own = false;
        for (const Bill &other : qAsConst(bills))
            own = own || (other.tid == lease.tid && other.line == bill.line);
        if (own)
            continue;
        Bill copy = bill;
        copy.recid = 0;
        copy.tid = lease.tid;
        copy.start = bill.start.isValid() ? qMax(lease.firstPayment, bill.start) : lease.firstPayment;
        copy.end = bill.withLease || !bill.end.isValid() ? lease.end : qMin(bill.end, lease.end);
        copy.withLease = bill.withLease || !bill.end.isValid();
        copy.addedAt = clock;
        copy.dues.clear();
        copies << copy;
    }
    bills << copies;
    rentBill(apid, lease.tid);
    // Days of an earlier lease agreed to that the new lease now holds are its own.
    for (Bill &bill : bills)
        if (bill.tid == lease.tid && lines.at(bill.line).apid == apid)
            for (int i = bill.dues.size() - 1; i >= 0; --i)
                if (!bill.dues.at(i).agreed || bill.dues.at(i).to > lease.firstPayment)
                    bill.dues.removeAt(i);
    for (const Leaving &days : left) {
        Lease &before = leases[days.lease];
        Bill &bill = bills[days.bill];
        QList<Span> &settled = before.settled[bill.line];
        if (!chargeEarlier) {
            settled << days.days;
            continue;
        }
        const bool rent = lines.at(bill.line).rent;
        QList<Due> dues = periods(days.days.first().from, days.dueBefore, rent ? before.terms.freq : bill.freq,
                                  rent ? before.terms.cents : bill.cents, days.blocked);
        QList<Span> charged;
        for (Due &due : dues) {
            due.agreed = true;
            charged << Span{due.day, due.to};
        }
        bill.dues << dues;
        // What no whole period fits is answered for.
        for (const Span &span : days.days)
            settled << minus(span, charged);
    }
    for (Bill &bill : bills)
        if (bill.tid == lease.tid && lines.at(bill.line).apid == apid && !bill.deleted)
            schedule(bill, lease);
    Lease made;
    made.apid = apid;
    made.terms = lease;
    // Days of its own that no whole period fits are told to the clerk and not charged: answered for.
    for (const Bill &bill : qAsConst(bills)) {
        if (bill.tid != lease.tid || lines.at(bill.line).apid != apid || bill.deleted)
            continue;
        const bool rent = lines.at(bill.line).rent;
        const QDate from = rent || !bill.start.isValid() ? lease.firstPayment : qMax(lease.firstPayment, bill.start);
        const QDate end = rent || !bill.end.isValid() ? lease.end : qMin(bill.end, lease.end);
        QList<Span> taken = covered(bill.line, bill.tid, lease.firstPayment);
        for (const Due &due : bill.dues)
            taken << Span{due.day, due.to};
        if (from <= end)
            made.settled[bill.line] << minus(Span{from, end.addDays(1)}, taken);
    }
    current.insert(apid, leases.size());
    leases << made;
    lastTenant.insert(apid, lease.tid);
    post(apid, today);
}

LeaseDays::Bill *LeaseDays::billOf(int apid, int tid, const QString &type, qint64 cents, int recid)
{
    Bill *found = nullptr;
    for (Bill &bill : bills)
        if (recid > 0 && bill.recid == recid)
            return &bill;
    // A bill the program made for days of an earlier lease is the clerk's bill of that line all the same.
    for (int unknown = 1; unknown >= 0 && !found; --unknown) {
        for (Bill &bill : bills) {
            const Line &line = lines.at(bill.line);
            if (line.apid == apid && bill.tid == tid && !line.rent && line.type == type && bill.cents == cents
                && !bill.deleted && (!unknown || bill.recid <= 0)
                && (!found || (found->dues.isEmpty() && !bill.dues.isEmpty())))
                found = &bill;
        }
    }
    if (found && recid > 0 && found->recid <= 0)
        found->recid = recid;
    return found;
}

void LeaseDays::billAdded(int apid, int tid, const QString &type, qint64 cents, int freq, const QDate &start,
                          const QDate &end, int recid)
{
    ++clock;
    lines << Line{apid, type, false};
    Bill bill;
    bill.recid = recid;
    bill.tid = tid;
    bill.line = lines.size() - 1;
    bill.cents = cents;
    bill.freq = freq;
    bill.start = start;
    bill.end = end;
    bill.addedAt = clock;
    if (current.contains(apid)) {
        const Terms &lease = leases.at(current.value(apid)).terms;
        bill.withLease = end == lease.end;
        bill.ended = end < lease.end;
        if (lease.tid == tid)
            schedule(bill, lease);
    }
    bills << bill;
}

void LeaseDays::billEnded(int apid, int tid, const QString &type, qint64 cents, const QDate &end, int recid)
{
    Bill *bill = billOf(apid, tid, type, cents, recid);
    if (!bill)
        return;
    bill->end = end;
    bill->withLease = current.contains(apid) && end == leases.at(current.value(apid)).terms.end;
    bill->ended = current.contains(apid) && end < leases.at(current.value(apid)).terms.end;
    for (int i = bill->dues.size() - 1; i >= 0; --i)
        if (!(bill->dues.at(i).day < end))
            bill->dues.removeAt(i);
}

void LeaseDays::billStarted(int apid, int tid, const QString &type, qint64 cents, const QDate &start, int recid)
{
    Bill *bill = billOf(apid, tid, type, cents, recid);
    if (!bill)
        return;
    bill->start = start;
    for (const Charge &charge : qAsConst(charges))
        if (charge.bill >= 0 && &bills[charge.bill] == bill && charge.posted)
            return;
    if (current.contains(apid) && leases.at(current.value(apid)).terms.tid == tid)
        schedule(*bill, leases.at(current.value(apid)).terms);
}

void LeaseDays::forgiven(int tid, int apid, const QString &type, const QDate &day, qint64 cents)
{
    for (Charge &one : charges)
        if (one.posted && !one.forgiven && one.tid == tid && lines.at(one.line).apid == apid && one.day == day
            && one.cents == cents && lines.at(one.line).type.compare(type, Qt::CaseInsensitive) == 0) {
            one.forgiven = true;
            return;
        }
}

void LeaseDays::rentAdjusted(int onlyApid, bool byAmount, qint64 hundredths, bool bills,
                             const QList<qint64> &askingRents)
{
    const auto adjusted = [&](qint64 cents) {
        if (byAmount)
            return cents + hundredths;
        // Rounded half away from zero, in whole numbers.
        const qint64 scaled = cents * (10000 + hundredths);
        return scaled >= 0 ? (scaled + 5000) / 10000 : -((-scaled + 5000) / 10000);
    };
    for (qint64 rent : askingRents)
        if (adjusted(rent) < 0)
            return;
    if (!bills)
        return;
    QList<int> running;
    for (auto lease = current.cbegin(); lease != current.cend(); ++lease)
        if (onlyApid <= 0 || lease.key() == onlyApid)
            running << lease.value();
    for (int index : qAsConst(running))
        if (adjusted(leases.at(index).terms.cents) < 0)
            return;
    for (int index : qAsConst(running)) {
        Terms &terms = leases[index].terms;
        terms.cents = adjusted(terms.cents);
        Bill &rent = this->bills[rentBill(leases.at(index).apid, terms.tid)];
        rent.cents = terms.cents;
        for (Due &due : rent.dues)
            if (!due.agreed)
                due.cents = terms.cents;
    }
}

QStringList LeaseDays::breaches(const QSqlDatabase &db) const
{
    QStringList expected, actual;
    for (const Charge &one : charges)
        if (one.posted && !one.forgiven)
            expected << charge(one.line, one.tid, one.day, one.cents);
    QSqlQuery query(db);
    query.exec("select c.tid, r.apid, c.type, c.fordate, c.origamount from charges c join recur r on r.recid = c.recid");
    while (query.next())
        actual << QStringLiteral("tenant %1 apartment %2 %3 %4=%5")
                      .arg(query.value(0).toInt())
                      .arg(query.value(1).toInt())
                      .arg(query.value(2).toString().toLower(), query.value(3).toDate().toString(Qt::ISODate))
                      .arg(qRound64(query.value(4).toDouble() * 100));
    QStringList missing;
    for (const QString &one : qAsConst(expected))
        if (!actual.removeOne(one))
            missing << one;
    QStringList found;
    if (!missing.isEmpty()) {
        missing.sort();
        found << QStringLiteral("each day a lease holds is charged: missing %1").arg(missing.join(QStringLiteral(", ")));
    }
    if (!actual.isEmpty()) {
        actual.sort();
        found << QStringLiteral("no day is charged that no lease holds, or twice: extra %1")
                     .arg(actual.join(QStringLiteral(", ")));
    }
    return found;
}
