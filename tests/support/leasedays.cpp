#include "leasedays.h"

#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

QDate LeaseDays::step(const QDate &from, int freq)
{
    switch (freq) {
    case 1: return from.addDays(14);
    case 2: return from.addMonths(6);
    case 3: return from.addMonths(1);
    case 4: return from.addMonths(3);
    case 5: return from.addDays(7);
    case 6: return from.addYears(1);
    case 7: return from.addYears(2);
    case 8: return from.addYears(3);
    case 9: return from.addYears(5);
    default: break;
    }
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select days from frequency where freqid = %1").arg(freq));
    const int days = query.next() ? query.value(0).toInt() : 0;
    return days > 0 ? from.addDays(days) : QDate();
}

void LeaseDays::load(const QSqlDatabase &db)
{
    lines.clear();
    current.clear();
    earlier.clear();
    QSqlQuery query(db);
    query.exec("select g.apid, g.tid, g.rent, g.freq, g.nextdate, g.leaseend from agreements g join apartments a on "
               "a.agreeid = g.rid");
    while (query.next()) {
        const Terms lease{query.value(1).toInt(), qRound64(query.value(2).toDouble() * 100), query.value(3).toInt(),
                          query.value(4).toDate(), query.value(5).toDate(), QDate()};
        current.insert(query.value(0).toInt(), lease);
        lastTenant.insert(query.value(0).toInt(), lease.tid);
    }
    QMap<int, int> lineOfBill;
    query.exec("select recid, tid, apid, type, amount, freq, startdate, enddate, nextdate, completed, leaserent, "
               "firstpay from recur order by recid");
    while (query.next()) {
        Line bill;
        bill.tid = query.value(1).toInt();
        bill.apid = query.value(2).toInt();
        bill.type = query.value(3).toString();
        bill.rent = query.value(10).toInt() == 1;
        bill.cents = qRound64(query.value(4).toDouble() * 100);
        bill.freq = query.value(5).toInt();
        bill.start = query.value(6).toDate();
        bill.end = query.value(7).toDate();
        const QDate next = query.value(8).toDate();
        int index = -1;
        for (int i = 0; bill.rent && i < lines.size(); ++i)
            if (lines.at(i).rent && lines.at(i).apid == bill.apid && lines.at(i).tid == bill.tid)
                index = i;
        if (index < 0) {
            index = lines.size();
            lines << bill;
        }
        Line *line = &lines[index];
        if (next.isValid())
            line->dealt << Span{query.value(11).toDate(), next};
        const bool running = query.value(9).toInt() == 0 && current.value(bill.apid).tid == bill.tid
                             && current.contains(bill.apid);
        for (QDate due = next; running && due.isValid() && due < bill.end; due = step(due, bill.freq))
            line->pending << Due{due, bill.cents, bill.freq, true};
        if (bill.rent) {
            line->cents = bill.cents;
            line->freq = bill.freq;
        }
        lineOfBill.insert(query.value(0).toInt(), index);
    }
    query.exec("select recid, fordate, origamount from charges where recid is not null");
    while (query.next()) {
        Line &line = lines[lineOfBill.value(query.value(0).toInt())];
        line.charged << charge(line, query.value(1).toDate(), qRound64(query.value(2).toDouble() * 100));
    }
}

QString LeaseDays::charge(const Line &line, const QDate &day, qint64 cents)
{
    return QStringLiteral("tenant %1 apartment %2 %3 %4=%5")
        .arg(line.tid)
        .arg(line.apid)
        .arg(line.type.toLower(), day.toString(Qt::ISODate))
        .arg(cents);
}

LeaseDays::Line *LeaseDays::rentLine(int apid, int tid)
{
    for (Line &line : lines)
        if (line.rent && line.apid == apid && line.tid == tid)
            return &line;
    return nullptr;
}

QDate LeaseDays::firstFree(const Line &line, const QDate &day)
{
    QDate free = day;
    for (bool moved = true; moved;) {
        moved = false;
        for (const Span &span : line.dealt)
            if ((!span.from.isValid() || span.from <= free) && free < span.to) {
                free = span.to;
                moved = true;
            }
    }
    return free;
}

QDate LeaseDays::nextDealt(const Line &line, const QDate &day)
{
    QDate next;
    for (const Span &span : line.dealt)
        if (span.from.isValid() && span.from > day && span.from < span.to && (!next.isValid() || span.from < next))
            next = span.from;
    return next;
}

QList<QDate> LeaseDays::periods(const Line &line, const QDate &from, const QDate &to, int freq, const QDate &wall)
{
    QList<QDate> dues;
    QDate day = firstFree(line, from);
    while (day.isValid() && day < to) {
        const QDate after = step(day, freq);
        if (!after.isValid())
            break;
        if (wall.isValid() && wall < after)
            break;
        const QDate dealt = nextDealt(line, day);
        if (dealt.isValid() && dealt < after) {
            day = firstFree(line, dealt);
            continue;
        }
        dues << day;
        day = firstFree(line, after);
    }
    return dues;
}

void LeaseDays::post(int apid, const QDate &today)
{
    if (!current.contains(apid))
        return;
    for (Line &line : lines) {
        if (line.apid != apid)
            continue;
        while (!line.pending.isEmpty() && line.pending.first().day <= today) {
            const Due due = line.pending.takeFirst();
            line.charged << charge(line, due.day, due.cents);
            line.dealt << Span{due.day, step(due.day, due.freq)};
        }
    }
}

void LeaseDays::chargeRun(const QDate &today)
{
    for (auto lease = current.cbegin(); lease != current.cend(); ++lease)
        post(lease.key(), today);
}

void LeaseDays::leaseDeleted(int apid)
{
    if (!current.contains(apid))
        return;
    const Terms lease = current.take(apid);
    Line *rent = rentLine(apid, lease.tid);
    Terms gone = lease;
    gone.stood = rent ? firstFree(settled(*rent), lease.firstPayment) : lease.firstPayment;
    for (int i = 0; rent && i < rent->pending.size(); ++i)
        if (rent->pending.at(i).currentTerms) {
            gone.stood = rent->pending.at(i).day;
            break;
        }
    earlier[qMakePair(apid, lease.tid)] << gone;
    if (rent)
        rent->pending = committedDues(*rent);
}

QList<LeaseDays::Due> LeaseDays::committedDues(const Line &line)
{
    QList<Due> dues;
    for (const Due &due : line.pending)
        if (!due.currentTerms)
            dues << due;
    return dues;
}

// Days of an earlier lease the clerk chose to charge go on falling due whatever becomes of the lease
// after it: they count as dealt with.
LeaseDays::Line LeaseDays::committed(const Line &line)
{
    Line view = line;
    for (const Due &due : committedDues(line))
        view.dealt << Span{due.day, step(due.day, due.freq)};
    return view;
}

// The days the question about an earlier lease no longer concerns: those dealt with or falling due, and
// those it was answered for.
LeaseDays::Line LeaseDays::settled(const Line &line)
{
    Line view = committed(line);
    view.dealt << line.answered;
    return view;
}

QDate LeaseDays::earlierFrom(const Line &line, const Terms &before, const QDate &limit)
{
    QDate from = !line.rent && line.start.isValid() ? qMax(line.start, before.firstPayment) : before.firstPayment;
    // A bill the clerk began before that lease's first payment date stood to charge from its start.
    for (const Due &due : line.pending)
        if (due.currentTerms && due.day < from)
            from = due.day;
    // The days left are those after where its bills stopped: a part of a period behind that, named when
    // it was left, is not asked about again.
    for (const Span &span : settled(line).dealt)
        if ((!span.from.isValid() || span.from < limit) && span.to > from)
            from = span.to;
    return from;
}

// The tenant's earlier leases here whose days before `lease` are neither dealt with nor answered for,
// oldest first, each with the first day that is not its own: its end, the lease after it took over from
// its first payment date, or `lease` begins. Each is asked about in turn.
QList<QPair<LeaseDays::Terms, QDate>> LeaseDays::leavingDays(int apid, const Terms &lease) const
{
    const auto found = earlier.constFind(qMakePair(apid, lease.tid));
    if (found == earlier.cend() || current.contains(apid))
        return {};
    const Line *rent = nullptr;
    for (const Line &line : lines)
        if (line.rent && line.apid == apid && line.tid == lease.tid)
            rent = &line;
    QList<QPair<Terms, QDate>> leaving;
    Line view = rent ? settled(*rent) : Line();
    for (int i = 0; i < found->size(); ++i) {
        const Terms &before = found->at(i);
        QDate limit = qMin(before.end.addDays(1), lease.firstPayment);
        if (i + 1 < found->size())
            limit = qMin(limit, found->at(i + 1).firstPayment);
        const QDate from = rent ? firstFree(view, before.stood) : before.firstPayment;
        if (!(from < qMin(before.end, limit)))
            continue;
        leaving << qMakePair(before, limit);
        view.dealt << Span{from, limit};
    }
    return leaving;
}

bool LeaseDays::asks(int apid, const Terms &lease) const
{
    return !leavingDays(apid, lease).isEmpty();
}

void LeaseDays::leaseSaved(int apid, const Terms &lease, bool chargeEarlier, const QDate &today)
{
    const QList<QPair<Terms, QDate>> leaving = leavingDays(apid, lease);
    const int leaver = lastTenant.value(apid, 0);
    // Every other tenant's bills stop where they stand; the newcomer gets his own of each bill the
    // leaver still had running, unless he has one of that type here already (a turnover undone).
    QList<Line> copies;
    for (Line &line : lines) {
        if (line.apid != apid || line.tid == lease.tid)
            continue;
        line.pending.clear();
        if (line.tid != leaver || line.rent || line.ended)
            continue;
        bool own = false;
        for (const Line &other : lines)
            own = own || (other.apid == apid && other.tid == lease.tid && !other.rent && other.type == line.type);
        if (own)
            continue;
        Line copy;
        copy.tid = lease.tid;
        copy.apid = apid;
        copy.type = line.type;
        copy.cents = line.cents;
        copy.freq = line.freq;
        // From the newcomer's first payment date, or the day the leaver's bill was to begin.
        copy.start = line.start.isValid() ? qMax(lease.firstPayment, line.start) : lease.firstPayment;
        copy.end = lease.end;
        copies << copy;
    }
    lines << copies;
    if (!rentLine(apid, lease.tid)) {
        Line rent;
        rent.tid = lease.tid;
        rent.apid = apid;
        rent.type = QStringLiteral("Rent");
        rent.rent = true;
        lines << rent;
    }
    for (Line &line : lines) {
        if (line.apid != apid || line.tid != lease.tid)
            continue;
        QList<Due> dues = committedDues(line);
        Line view = committed(line);
        if (!line.rent && !line.ended)
            line.end = lease.end;
        for (const auto &left : leaving) {
            const Terms &before = left.first;
            const QDate declinedTo = left.second;
            const QDate earlierTo = qMin(before.end, declinedTo);
            const QDate askedFrom = line.rent ? before.stood : earlierFrom(view, before, declinedTo);
            if (!chargeEarlier) {
                // Days the clerk chose not to charge stay uncharged, the earlier lease's last day among them.
                if (askedFrom < declinedTo) {
                    line.dealt << Span{askedFrom, declinedTo};
                    view.dealt << Span{askedFrom, declinedTo};
                }
                continue;
            }
            const int freq = line.rent ? before.freq : line.freq;
            const qint64 cents = line.rent ? before.cents : line.cents;
            const QDate to = line.rent ? earlierTo : qMin(earlierTo, line.end);
            for (const QDate &day : periods(view, askedFrom, to, freq, lease.firstPayment)) {
                dues << Due{day, cents, freq, false};
                view.dealt << Span{day, step(day, freq)};
            }
            std::stable_sort(dues.begin(), dues.end(), [](const Due &a, const Due &b) { return a.day < b.day; });
            // What no whole period of them fits is answered for; the periods falling due are asked about
            // again should they stop (a turnover).
            QDate at = askedFrom;
            for (const Due &due : qAsConst(dues)) {
                if (due.currentTerms)
                    continue;
                if (at < due.day)
                    line.answered << Span{at, qMin(due.day, declinedTo)};
                at = qMax(at, step(due.day, due.freq));
            }
            if (at < declinedTo) {
                line.answered << Span{at, declinedTo};
                view.dealt << Span{at, declinedTo};
            }
        }
        if (line.rent) {
            line.cents = lease.cents;
            line.freq = lease.freq;
            for (const QDate &day : periods(view, lease.firstPayment, lease.end, lease.freq, QDate()))
                dues << Due{day, lease.cents, lease.freq, true};
        } else {
            for (const QDate &day : periods(view, qMax(lease.firstPayment, line.start), line.end, line.freq, QDate()))
                dues << Due{day, line.cents, line.freq, true};
        }
        // Days of the earlier lease may fall due after the first of the new one's (a first payment date
        // put right to an earlier day): each is posted when its day comes.
        std::stable_sort(dues.begin(), dues.end(), [](const Due &a, const Due &b) { return a.day < b.day; });
        line.pending = dues;
    }
    current.insert(apid, lease);
    lastTenant.insert(apid, lease.tid);
    post(apid, today);
}

void LeaseDays::billAdded(int apid, int tid, const QString &type, qint64 cents, int freq, const QDate &start,
                          const QDate &end)
{
    Line line;
    line.tid = tid;
    line.apid = apid;
    line.type = type;
    line.cents = cents;
    line.freq = freq;
    line.start = start;
    line.end = end;
    // A bill the clerk gives an end before the lease's own is one he ended: it does not come back.
    line.ended = current.contains(apid) && end.isValid() && end < current.value(apid).end;
    if (current.value(apid).tid == tid && current.contains(apid))
        for (const QDate &day : periods(line, start, end, freq, QDate()))
            line.pending << Due{day, cents, freq, true};
    lines << line;
}

void LeaseDays::billEnded(int apid, int tid, const QString &type, qint64 cents, const QDate &end)
{
    for (Line &line : lines) {
        if (line.apid != apid || line.tid != tid || line.rent || line.type != type || line.cents != cents)
            continue;
        line.end = end;
        line.ended = !current.contains(apid) || end < current.value(apid).end;
        while (!line.pending.isEmpty() && !(line.pending.last().day < end))
            line.pending.removeLast();
        return;
    }
}

void LeaseDays::forgiven(int tid, int apid, const QString &type, const QDate &day, qint64 cents)
{
    for (Line &line : lines)
        if (line.tid == tid && line.apid == apid && line.charged.removeOne(charge(line, day, cents)))
            return;
    Q_UNUSED(type)
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
    QList<Line *> running;
    for (Line &line : lines)
        if (bills && line.rent && current.contains(line.apid) && current.value(line.apid).tid == line.tid
            && (onlyApid <= 0 || line.apid == onlyApid))
            running << &line;
    for (Line *line : running)
        if (adjusted(line->cents) < 0)
            return;
    for (Line *line : running) {
        line->cents = adjusted(line->cents);
        current[line->apid].cents = line->cents;
        for (Due &due : line->pending)
            if (due.currentTerms)
                due.cents = line->cents;
    }
}

QStringList LeaseDays::breaches(const QSqlDatabase &db) const
{
    QStringList expected, actual;
    for (const Line &line : lines)
        expected << line.charged;
    QSqlQuery query(db);
    query.exec("select c.tid, r.apid, c.type, c.fordate, c.origamount from charges c join recur r on r.recid = c.recid");
    while (query.next()) {
        Line line;
        line.tid = query.value(0).toInt();
        line.apid = query.value(1).toInt();
        line.type = query.value(2).toString();
        actual << charge(line, query.value(3).toDate(), qRound64(query.value(4).toDouble() * 100));
    }
    QStringList missing;
    for (const QString &one : expected)
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
