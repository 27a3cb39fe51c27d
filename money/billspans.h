#ifndef BILLSPANS_H
#define BILLSPANS_H

#include <QDate>
#include <QList>

#include <functional>

// The days a line of bills has dealt with, and the periods a lease may still charge around them.
//
// A line has dealt with the days its charges cover (each its due date to the day before the next), and
// those the clerk forgave or answered for. A lease charges, in its own periods, only the days not dealt
// with. Where its periods run into days dealt with, only whole periods are charged and the part of a
// period left over is named, so that no day is charged twice and none is dropped without the clerk
// being told.
class BillSpans
{
public:
    // The days [from, to); an invalid `from` reaches back to before the books began.
    struct Span
    {
        QDate from;
        QDate to;
    };
    // The periods a bill charges: due dates from `first` on, each before `end`. `bounded` where the run
    // stops at days dealt with rather than at the lease's end: `end` is then the first day dealt with,
    // and the bill's last day is the day before (`lastDay`).
    struct Run
    {
        QDate first;
        QDate end;
        bool bounded = false;

        // The end date a bill of this run carries: its last day, as a lease's end is.
        QDate lastDay() const { return bounded ? end.addDays(-1) : end; }
    };
    // The due date after `from` of periods counted from `first`.
    using Step = std::function<QDate(const QDate &first, const QDate &from)>;

    void add(const Span &span);
    void add(const QDate &from, const QDate &to) { add(Span{from, to}); }
    bool dealtWith(const QDate &day) const;

    // The runs that charge the days of [from, to) not dealt with, in periods of `step` beginning on
    // `from` and, after each stretch dealt with, on the first day after it. The last period of the lease
    // may reach past `to` (a lease ends inside its last period); no period reaches into days dealt with.
    // `leftOver` gets each part of a period that could not be charged whole.
    QList<Run> runs(const QDate &from, const QDate &to, const Step &step, QList<Span> *leftOver) const;

    // The first day at or after `day` not dealt with.
    QDate firstFree(const QDate &day) const;
    // The same days as `spans`, as stretches apart from one another, earliest first.
    static QList<Span> united(QList<Span> spans);
    // The stretches of [from, to) not dealt with.
    QList<Span> free(const QDate &from, const QDate &to) const;

private:
    // The earliest start of a stretch dealt with after `day`; invalid where none.
    QDate nextStart(const QDate &day) const;

    QList<Span> m_spans;
};

#endif // BILLSPANS_H
