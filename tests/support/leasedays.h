#ifndef LEASEDAYS_H
#define LEASEDAYS_H

#include <QDate>
#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QStringList>

// A test's own account of what an office's recurring bills must have charged, worked out by day from
// what the clerk did: the leases made and deleted, with their terms, the bills added and ended, the
// charges forgiven and the answers given. Never read back from the bills themselves.
//
// Each day a lease holds (its periods from its first payment date, the last one that begins before its
// end charged whole) is charged once, under that lease's terms. A tenant's rent at an apartment is one
// line of days, whichever bills charge it; each other bill is a line of its own. A line has dealt with
// the days it charged or the clerk forgave, and, for the bills the books began with, every day before
// their next date. A lease saved charges only days its tenant's lines have not dealt with: whole periods
// up to the days dealt with, restarting on the first day after them.
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
        // Of a lease deleted: the first day its rent had not reached, where its periods stood.
        QDate stood;
    };

    // The next due date after `from`, by the office's frequency.
    static QDate step(const QDate &from, int freq);

    // The bills as the office holds them now.
    void load(const QSqlDatabase &db = QSqlDatabase::database());

    void leaseDeleted(int apid);
    // Whether saving `lease` leaves days of its tenant's earlier lease at the apartment uncharged, and
    // so asks whether to charge them.
    bool asks(int apid, const Terms &lease) const;
    // `chargeEarlier` is the answer to that question, where it was asked.
    void leaseSaved(int apid, const Terms &lease, bool chargeEarlier, const QDate &today);
    void billAdded(int apid, int tid, const QString &type, qint64 cents, int freq, const QDate &start,
                   const QDate &end);
    // The clerk sets the end of the tenant's bill of that type and amount.
    void billEnded(int apid, int tid, const QString &type, qint64 cents, const QDate &end);
    void forgiven(int tid, int apid, const QString &type, const QDate &day, qint64 cents);
    void chargeRun(const QDate &today);
    // Adjust Rental Rate on the running rent of current leases (every apartment, or one): by an amount
    // or by hundredths of a percent, each rounded to the cent; one below zero changes nothing.
    // `askingRents` are the apartments' own rents the same run changes, if any.
    void rentAdjusted(int onlyApid, bool byAmount, qint64 hundredths, bool bills, const QList<qint64> &askingRents);

    int holder(int apid) const { return current.contains(apid) ? current.value(apid).tid : 0; }
    bool let(int apid) const { return current.contains(apid); }

    // Each charge that a bill posted, by tenant, apartment, type, date and amount, must be one the model
    // expects, and each one expected must be there.
    QStringList breaches(const QSqlDatabase &db = QSqlDatabase::database()) const;

private:
    struct Span
    {
        QDate from; // invalid: from before the books began
        QDate to;
    };
    struct Due
    {
        QDate day;
        qint64 cents;
        int freq;
        bool currentTerms;
    };
    struct Line
    {
        int tid = 0;
        int apid = 0;
        QString type;
        bool rent = false;
        qint64 cents = 0;
        int freq = 0;
        QDate start;
        QDate end;
        bool ended = false;
        QList<Span> dealt;
        // Days of an earlier lease the clerk was asked about and agreed to have charged: what of them
        // no whole period fits stays uncharged, and he is not asked about them again.
        QList<Span> answered;
        QList<Due> pending;
        QStringList charged;
    };

    static QString charge(const Line &line, const QDate &day, qint64 cents);
    static QDate firstFree(const Line &line, const QDate &day);
    static QDate nextDealt(const Line &line, const QDate &day);
    // The due dates charging the days of [from, to) the line has not dealt with; no period reaches past
    // `wall` (where valid) or into days dealt with.
    static QList<QDate> periods(const Line &line, const QDate &from, const QDate &to, int freq, const QDate &wall);
    static QList<Due> committedDues(const Line &line);
    static Line committed(const Line &line);
    // The first day of `line` the tenant's earlier lease `before` left, of those before `limit`.
    static QDate earlierFrom(const Line &line, const Terms &before, const QDate &limit);
    static Line settled(const Line &line);
    void post(int apid, const QDate &today);
    Line *rentLine(int apid, int tid);

    QList<Line> lines;
    QMap<int, Terms> current;
    QList<QPair<Terms, QDate>> leavingDays(int apid, const Terms &lease) const;

    // The leases each tenant had at each apartment, by apartment and tenant, oldest first.
    QMap<QPair<int, int>, QList<Terms>> earlier;
    QMap<int, int> lastTenant;
};

#endif // LEASEDAYS_H
