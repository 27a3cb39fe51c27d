#include "money/billspans.h"

#include <algorithm>

void BillSpans::add(const Span &span)
{
    // A span that deals with no day (a bill that has charged nothing) is no span.
    if (!span.to.isValid() || (span.from.isValid() && span.from >= span.to))
        return;
    m_spans << span;
}

bool BillSpans::dealtWith(const QDate &day) const
{
    for (const Span &span : m_spans)
        if ((!span.from.isValid() || span.from <= day) && day < span.to)
            return true;
    return false;
}

QDate BillSpans::firstFree(const QDate &day) const
{
    QDate free = day;
    // Spans may touch or overlap one another: walk until no span holds the day.
    for (bool moved = true; moved;) {
        moved = false;
        for (const Span &span : m_spans) {
            if ((!span.from.isValid() || span.from <= free) && free < span.to) {
                free = span.to;
                moved = true;
            }
        }
    }
    return free;
}

QList<BillSpans::Span> BillSpans::free(const QDate &from, const QDate &to) const
{
    QList<Span> found;
    for (QDate cursor = firstFree(from); cursor < to;) {
        const QDate bound = nextStart(cursor);
        const QDate end = bound.isValid() && bound < to ? bound : to;
        found << Span{cursor, end};
        cursor = firstFree(end);
    }
    return found;
}

QList<BillSpans::Span> BillSpans::united(QList<Span> spans)
{
    std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) { return a.from < b.from; });
    QList<Span> found;
    for (const Span &span : qAsConst(spans)) {
        if (!found.isEmpty() && span.from <= found.last().to)
            found.last().to = qMax(found.last().to, span.to);
        else
            found << span;
    }
    return found;
}

QDate BillSpans::nextStart(const QDate &day) const
{
    QDate next;
    for (const Span &span : m_spans)
        if (span.from.isValid() && span.from > day && (!next.isValid() || span.from < next))
            next = span.from;
    return next;
}

QList<BillSpans::Run> BillSpans::runs(const QDate &from, const QDate &to, const Step &step, QList<Span> *leftOver) const
{
    QList<Run> found;
    if (!from.isValid())
        return found;
    // A lease without an end: the bill is made as before, and posting charges nothing for it.
    if (!to.isValid())
        return {Run{firstFree(from), to, false}};
    QDate cursor = firstFree(from);
    while (cursor < to) {
        const QDate bound = nextStart(cursor);
        if (!bound.isValid()) {
            found << Run{cursor, to, false};
            break;
        }
        // Whole periods only, up to the next stretch dealt with.
        QDate stop = cursor;
        bool steps = true;
        while (stop < to) {
            const QDate after = step(cursor, stop);
            if (!after.isValid() || after <= stop) {
                steps = false;
                break;
            }
            if (after > bound)
                break;
            stop = after;
        }
        if (!steps) {
            // A frequency that does not step: the bill is made, and posting says it cannot charge.
            found << Run{cursor, to, false};
            break;
        }
        // A run that reaches the lease's end ends with it, as any bill does.
        if (stop > cursor)
            found << (stop < to ? Run{cursor, stop, true} : Run{cursor, to, false});
        // `to` is the lease's last day: a part left over that reaches it takes it in.
        const QDate leftEnd = qMin(bound, to.addDays(1));
        if (stop < leftEnd && leftOver)
            *leftOver << Span{stop, leftEnd};
        cursor = firstFree(bound);
    }
    return found;
}
