#ifndef BILLINGRULE_H
#define BILLINGRULE_H

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>

// What an apartment's leases and recurring bills charge, decided in one place from the facts stored
// about them: the leases saved (a deleted one kept, with its tenant, days and terms), the lines of
// bills with what the clerk did to them, the charges posted (forgiven ones too), the days the tenant
// agreed to have charged after a lease of his was left, and what an older file had dealt with before
// its charges recorded their periods. It reads and writes nothing: the commands record the clerk's act
// and then ask it what to post.
//
// The clerk's promise, as the office keeps it:
//  1. The rent is one line, in the terms of each lease in turn; every other bill the clerk adds is a
//     line of its own, through tenants and leases. A tenant's charges of a line cover their periods
//     whatever becomes of the rows that show the line.
//  2. A lease holds the apartment for its tenant from its first payment date to its end, both
//     included; days before the first payment date are not charged.
//  3. Due dates count from the line's anchor, the k-th being the anchor stepped k periods at once. The
//     rent's anchor is the lease's first payment date; another line's is its start or, for a line taken
//     over, the later of its start and the lease's first payment date. Past days the tenant's own
//     charges cover, the schedule goes on where the first free day is one of its due dates, and begins
//     again on that day where it is not; a stretch shorter than a period before covered days is told,
//     not charged.
//  4. A lease owes, on each line in force, each period due on or after its first payment date and
//     before both its end and the line's end, that its tenant's own charges (forgiven ones too) do not
//     cover. Another tenant's charges never settle a lease's days.
//  5. A line deleted or ended charges nothing after; the clerk's end holds for every tenant.
//  6. A tenant who did not add a line takes it over with each lease of his saved while the line is
//     neither deleted nor ended before that lease's first payment date.
//  7. A lease saved where the tenant's previous lease here left whole periods uncharged asks whether
//     to charge them; yes charges them in the earlier terms as they fall due, until another tenant's
//     lease saved later takes those days, and never where his own charges cover a day of them.
//  8. Every command posts what fell due up to today before and after its act.
//  9. Charge Ahead posts the next periods of each of the tenant's lines: the lease's first, then the
//     days he agreed to.
// 10. What an older file had dealt with counts for the tenant it charged.
class BillingRule
{
public:
    // The rent is line 0; every other line has the key of the bill that began it.
    static constexpr int RentLine = 0;

    struct Lease
    {
        int id = 0; // the order leases were saved in: a later lease has a greater id
        int tenant = 0;
        QDate firstPay;
        QDate end;
        qint64 cents = 0;
        int freq = 3;
        bool deleted = false;
        QList<int> takenLines; // the lines this lease took over when it was saved
    };

    struct Line
    {
        int id = 0;
        int tenant = 0; // who added it
        qint64 cents = 0;
        int freq = 3;
        QDate start;
        QDate clerkEnd; // invalid: the line runs with each lease's end
        QDate deletedOn;
    };

    struct Charge
    {
        int tenant = 0;
        int line = RentLine;
        QDate due;
        QDate lastDay;
        qint64 cents = 0;
        int lease = 0;
        bool forgiven = false;
    };

    // A period of an earlier lease the tenant agreed to have charged, when lease `askedBy` was saved.
    struct Agreed
    {
        int askedBy = 0;
        int tenant = 0;
        int line = RentLine;
        QDate due;
        QDate lastDay;
        qint64 cents = 0;
        int lease = 0;
    };

    // Days an older file's bill had dealt with for a tenant before its charges recorded periods.
    struct Dealt
    {
        int tenant = 0;
        int line = RentLine;
        QDate from;
        QDate lastDay;
    };

    struct Facts
    {
        QList<Lease> leases; // in the order saved
        QList<Line> lines;
        QList<Charge> charges;
        QList<Agreed> agreed;
        QList<Dealt> dealt;
        // The length in days of each frequency beyond the office's nine built-in ones.
        QHash<int, int> frequencyDays;
    };

    // Days of a lease no whole period fits, told to the clerk and not charged.
    struct Told
    {
        int lease = 0;
        int line = RentLine;
        QDate from;
        QDate lastDay;
    };

    // What a line's bill shows for the tenant of the lease in force: the next due date it will charge
    // (invalid where none), and whether it has charged all it will.
    struct Row
    {
        int line = RentLine;
        int tenant = 0;
        QDate nextDate;
        bool completed = false;
    };

    explicit BillingRule(const Facts &facts);

    // The due date `times` periods of `freq` after `anchor`, stepped at once.
    QDate step(const QDate &anchor, int freq, int times) const;

    // Every charge due on or before `today` not yet posted: the lease in force's first, then the days
    // agreed to, line by line.
    QList<Charge> due(const QDate &today) const;
    // The next `periods` charges of each of the lease in force's lines, due or not.
    QList<Charge> ahead(int periods) const;

    // The lines lease `lease` takes over from other tenants, saved now.
    QList<int> takenOver(const Lease &lease) const;
    // The periods of the tenant's previous lease that saving lease `leaseId` asks about.
    QList<Agreed> question(int leaseId) const;
    // Other tenants' charges on days lease `leaseId` holds.
    QList<Charge> overlaps(int leaseId) const;
    // The parts of periods of lease `leaseId` that are told, not charged.
    QList<Told> told(int leaseId) const;
    // What each line's bill shows: the lease in force's lines, and lines with days agreed to still to
    // charge.
    QList<Row> rows() const;

    // The end a bill carries when the clerk typed `typed` on an apartment whose lease in force ends on
    // `leaseEnd`: his own, or none where it is the lease's end.
    static QDate clerksEnd(const QDate &typed, const QDate &leaseEnd);

    const Lease *leaseInForce() const;
    const Lease *lease(int id) const;
    const Line *line(int id) const;
    // The lines a lease charges: the rent, those of its tenant and those it took over, not deleted.
    QList<int> linesOf(const Lease &lease) const;

private:
    struct Span
    {
        QDate from;
        QDate lastDay;
    };
    struct Walk
    {
        QList<Charge> periods;
        QList<Told> told;
    };
    // The periods of `lease` on `line` its tenant's charges do not cover, from the schedule's anchor, up
    // to `today` (all of them where it is invalid) or, where `ahead` >= 0, that many of them.
    Walk walk(const Lease &lease, int line, const QList<Span> &covered, const QDate &today, int ahead) const;
    QList<Span> covered(int tenant, int line, bool withAgreed) const;
    QDate anchor(const Lease &lease, int line) const;
    // The clerk's end of the line: no due date on or after it is charged.
    QDate lineStop(int line) const;
    bool agreedStands(const Agreed &agreed, const QList<Span> &covered) const;
    // Adds to a line's charges its agreed periods that `wanted` takes and still stand, earliest first, the
    // lease's own charges counted as his; no more than `limit` charges in all where it is >= 0.
    void addAgreed(QList<Charge> &lineCharges, int line, const std::function<bool(const Agreed &)> &wanted,
                   int limit) const;
    int freqOf(const Lease &lease, int line) const;
    qint64 centsOf(const Lease &lease, int line) const;

    Facts m_facts;
};

#endif // BILLINGRULE_H
