#ifndef LEASEDAYS_H
#define LEASEDAYS_H

#include <QDate>
#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QStringList>

// A test's own account of what an office's recurring bills must have charged, worked out by day from
// what the clerk did: the leases he made and deleted with their terms, each bill as he set it up (its
// amount, frequency, start and end), the ends he typed, the charges he forgave and his answers. It
// never reads back what the bills did; it reads the books once, where a test begins.
//
// The rules it holds the books to, and nothing else:
//  - A line is the apartment's rent, or one other bill the clerk set up; a newcomer's copy of the
//    leaver's bill carries the same line on. A charge covers its period: its due date to the day before
//    the next. Due dates are counted from the day the schedule began, the k-th one stepped k times as a
//    whole (months and years by the calendar, 14 and 7 days as days); a due date on or after the end is
//    not charged, a period begun before it is charged whole.
//  - A lease holds the days from its first payment date to its end. What it owes, line by line, is the
//    days it holds that no charge of that line at the apartment covers, charged in periods from its
//    first payment date (another bill from its start, if later, up to its end and never past the
//    lease's); where periods run into covered days only whole periods are charged and the schedule
//    begins again after them. Another tenant's charges begun before the first payment date do not count
//    against the lease (a turnover).
//  - Another bill goes on with each new lease of its tenant: an end equal to the lease's end runs with
//    the lease, any other end the clerk typed stays his. At a turnover every other tenant's bills stop
//    where they stand, and the newcomer gets his own of each line the leaver still had running (not
//    ended or deleted by the clerk) and he has none of, up to the end it had, if the clerk typed one. A
//    bill that has charged nothing begins where its start says.
//  - Saving a lease asks once when, of a line of the tenant's earlier lease here, days it held before
//    the new first payment date (and before a later lease of his took over) are covered by no charge of
//    any tenant, were not declined or answered for under that lease, and are not being charged already.
//    Yes charges them in whole periods of that lease's terms as they fall due, none past the new first
//    payment date, the part no whole period fits answered for; No declines them under that lease alone.
//  - Where the test begins, each bill's days from its start to its next due date count as covered for
//    its own tenant, and from its start to the apartment's first charge for every tenant (before the
//    books); days before a bill's start are covered by nothing.
//  - A later lease of the tenant holds his earlier lease's agreed days from its first payment date: a
//    period of them that would run into it is not charged, and what it leaves is asked about.
//  - Days a lease holds that no whole period of a line fits are told and not charged: they are
//    answered for under that lease.
//  - A charge forgiven stays covered. Every lease command first posts what has fallen due up to today
//    at its apartment; an apartment without a lease is charged nothing.
class LeaseDays
{
public:
    struct Terms
    {
        int tid = 0;
        qint64 cents = 0;
        int freq = 0;
        QDate firstPayment;
        QDate end;
    };

    // The due date `times` steps of the office's frequency after `from`, stepped as a whole.
    static QDate step(const QDate &from, int freq, int times = 1);

    // The office as its books stand now.
    void load(const QSqlDatabase &db = QSqlDatabase::database());

    void leaseDeleted(int apid, const QDate &today);
    // Whether saving `lease` asks about days of its tenant's earlier lease at the apartment.
    bool asks(int apid, const Terms &lease) const;
    // `chargeEarlier` is the answer to that question, where it was asked.
    void leaseSaved(int apid, const Terms &lease, bool chargeEarlier, const QDate &today);
    void billAdded(int apid, int tid, const QString &type, qint64 cents, int freq, const QDate &start,
                   const QDate &end, int recid = 0);
    // The clerk types the end of the tenant's bill (`recid`, or the first of that type and amount).
    void billEnded(int apid, int tid, const QString &type, qint64 cents, const QDate &end, int recid = 0);
    // The clerk types another start into the bill's editor.
    void billStarted(int apid, int tid, const QString &type, qint64 cents, const QDate &start, int recid = 0);
    void forgiven(int tid, int apid, const QString &type, const QDate &day, qint64 cents);
    void chargeRun(const QDate &today);
    // Adjust Rental Rate on the running rent of current leases (every apartment, or one): by an amount
    // or by hundredths of a percent, each rounded to the cent; one below zero changes nothing.
    // `askingRents` are the apartments' own rents the same run changes, if any.
    void rentAdjusted(int onlyApid, bool byAmount, qint64 hundredths, bool bills, const QList<qint64> &askingRents);

    int holder(int apid) const { return current.contains(apid) ? leases.at(current.value(apid)).terms.tid : 0; }
    bool let(int apid) const { return current.contains(apid); }

    // Each charge that a bill posted, by tenant, apartment, type, due date and amount, must be one the
    // model expects, and each one expected must be there.
    QStringList breaches(const QSqlDatabase &db = QSqlDatabase::database()) const;

private:
    struct Span
    {
        QDate from; // invalid: from before the books began
        QDate to;   // the first day after
    };
    struct Line
    {
        int apid = 0;
        QString type;
        bool rent = false;
    };
    struct Charge
    {
        int line = 0;
        int bill = -1;
        int tid = 0;
        QDate day;
        QDate to;
        qint64 cents = 0;
        bool posted = true; // false: days the books had dealt with where the test began
        bool forgiven = false;
    };
    struct Due
    {
        QDate day;
        QDate to;
        qint64 cents = 0;
        bool agreed = false; // days of an earlier lease the clerk chose to have charged
    };
    struct Bill
    {
        int recid = 0;
        int tid = 0;
        int line = 0;
        qint64 cents = 0;
        int freq = 0;
        QDate start;
        QDate end;
        bool withLease = false; // its end is the lease's
        bool ended = false;     // the clerk ended it before its lease's end
        bool deleted = false;
        int addedAt = 0;
        QList<Due> dues;
    };
    struct Lease
    {
        int apid = 0;
        Terms terms;
        int deletedAt = 1 << 30;
        // By line: days declined, or answered for where no whole period fitted.
        QMap<int, QList<Span>> settled;
    };
    // Days of an earlier lease the question concerns, for one bill.
    struct Leaving
    {
        int lease = 0;
        int bill = 0;
        QList<Span> days;
        QDate dueBefore;
        QList<Span> blocked;
    };

    static QList<Span> minus(const Span &span, const QList<Span> &taken);
    static QDate firstFree(const QList<Span> &taken, const QDate &day);
    // Periods from `from` while due before `dueBefore`, each whole, none running into `blocked`; the
    // schedule begins again after each blocked stretch.
    static QList<Due> periods(const QDate &from, const QDate &dueBefore, int freq, qint64 cents,
                              const QList<Span> &blocked);
    // The days of `line` its charges cover, and those its bills are to charge of earlier leases' days,
    // for `tid` (every tenant: 0); another tenant's charges from `firstPayment` on count too. Saving a
    // lease of `saving`'s tenant drops his agreed periods that run into it.
    QList<Span> covered(int line, int tid, const QDate &firstPayment, const Terms *saving = nullptr) const;
    QList<Leaving> leaving(int apid, const Terms &lease) const;
    QString charge(int line, int tid, const QDate &day, qint64 cents) const;
    void post(int apid, const QDate &today);
    int rentBill(int apid, int tid);
    Bill *billOf(int apid, int tid, const QString &type, qint64 cents, int recid);
    void schedule(Bill &bill, const Terms &lease);

    QList<Line> lines;
    QList<Bill> bills;
    QList<Charge> charges;
    QList<Lease> leases;
    QMap<int, int> current;
    QMap<int, int> lastTenant;
    int clock = 0;
};

#endif // LEASEDAYS_H
