#ifndef CLERKACTS_H
#define CLERKACTS_H

#include <QDate>
#include <QList>
#include <QString>

// One apartment's billing history as a clerk makes it: his acts in order, each on its own day
// ("today"), the days never going back. Two implementations replay it: the program's billing rule and
// the test's own account of what the clerk was promised; their charges must be the same.
//
// The apartment has tenants 1, 2 and 3. At most one lease is in force at a time: a lease is saved only
// where none is (the clerk renews or corrects one by deleting it and saving it again), and a newcomer's
// lease follows the leaver's deletion. Leases are numbered 1, 2, ... in the order they are saved; lines
// are the rent (line 0) and each bill the clerk adds (1, 2, ... in the order added).
//
// Frequencies are the office's table: 1 Bi-Weekly (14 days), 2 Semi-Annually (6 months), 3 Monthly,
// 4 Quarterly (3 months), 5 Weekly (7 days), 6 Annually, 7 Every 2 Years, 8 Every 3 Years,
// 9 Every 5 Years. Months and years step by the calendar, a day the month lacks being its last day.
// Amounts are in cents.
struct ClerkAct
{
    enum Kind {
        // A lease of `tenant` saved: rent `cents` every `freq`, held from `firstPay` to `end` (both
        // included). `yes` is his answer to the question about his previous lease's days, if asked.
        SaveLease,
        // The lease in force deleted.
        DeleteLease,
        // A recurring bill added to the apartment, starting a new line: for `tenant` (the apartment's
        // tenant: the tenant of the lease in force, or else of the lease saved last), `cents` every
        // `freq`, starting on `start`, with the end `end` typed. An end equal to the end of the lease in
        // force runs with the lease.
        AddLine,
        // The line's bill edited: `start`, `end`, `cents` and `freq` are what the editor holds when he
        // saves it (the values he did not change included). An end equal to the end of the lease in
        // force runs with the lease.
        EditLine,
        // The line's bill deleted.
        DeleteLine,
        // The posted, unpaid charge of `tenant` on `line` due on `due` deleted in Collect Rent.
        Forgive,
        // Charge Ahead of `periods` for the tenant of the lease in force.
        ChargeAhead,
        // Adjust Rental Rate: the rent of the lease in force becomes `cents`.
        AdjustRent,
        // The charge run (at the program's start, or Collect Rent's).
        Run,
    };

    Kind kind = Run;
    QDate today;
    int tenant = 0;
    int line = 0;
    qint64 cents = 0;
    int freq = 3;
    QDate firstPay;
    QDate start;
    QDate end;
    bool yes = false;
    int periods = 0;
    QDate due;

    QString toString() const;
};

// A charge posted by a line: its period is `due` to `lastDay`, both included; `lease` is the number of
// the lease it was posted under. A forgiven charge stays in the list, marked.
struct ClerkCharge
{
    int tenant = 0;
    int line = 0;
    QDate due;
    QDate lastDay;
    qint64 cents = 0;
    int lease = 0;
    bool forgiven = false;

    bool operator==(const ClerkCharge &other) const;
    bool operator<(const ClerkCharge &other) const;
    QString toString() const;
};

// What a replay ends with: every charge posted, in any order, and for each lease saved (in order)
// whether saving it asked the question.
struct ClerkOutcome
{
    QList<ClerkCharge> charges;
    QList<bool> asked;
};

#endif // CLERKACTS_H
