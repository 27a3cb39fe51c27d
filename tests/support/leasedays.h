#ifndef LEASEDAYS_H
#define LEASEDAYS_H

#include "clerkacts.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QSqlDatabase>
#include <QStringList>

// A test's record of what the clerk did to each apartment's billing, told in the acts of
// tests/support/clerkacts.h as he does them through the windows, and the judge of the books by them:
// the charges the bills posted (tenant, line, period, amount, lease) and the charges forgiven must be
// those the billing oracle posts for the same acts, and saving a lease must ask the question where the
// oracle does. It never reads back what the bills charged to decide what they should have.
//
// Where a test begins, each apartment's books are told as the acts that make them: its leases saved in
// their terms and its other bills added, on the day its bills last fell due; what a bill had dealt with
// before the books began stands for charges of its tenant there.
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

    // The office as its books stand now.
    void load(const QSqlDatabase &db = QSqlDatabase::database());

    void leaseDeleted(int apid, const QDate &today);
    // Lease `rid` saved; `yes` was the answer ready for the question about the tenant's previous lease's
    // days, `asked` whether the program asked it.
    void leaseSaved(int apid, int rid, const Terms &lease, bool yes, bool asked, const QDate &today);
    // Bill `recid` added for the apartment's tenant `tid`, or edited: what its editor held when saved.
    void billAdded(int apid, int tid, qint64 cents, int freq, const QDate &start, const QDate &end, int recid,
                   const QDate &today);
    void billEdited(int apid, int recid, qint64 cents, int freq, const QDate &start, const QDate &end,
                    const QDate &today);
    // The charge of bill `recid` due on `due` deleted in Collect Rent.
    void forgiven(int apid, int tid, int recid, const QDate &due, const QDate &today);
    void chargeRun(const QDate &today);
    // What had fallen due at the apartment posted (as a bill's editor does before it opens).
    void posted(int apid, const QDate &today);
    // Adjust Rental Rate by an amount or by hundredths of a percent, each rounded to the cent, on the
    // leases in force of the apartments whose rent it changed.
    void rentAdjusted(const QList<int> &apartments, bool byAmount, qint64 hundredths, const QDate &today);

    // Where the books differ from what the oracle posts for the clerk's acts, of one apartment or all.
    QStringList breaches(int onlyApid = 0, const QSqlDatabase &db = QSqlDatabase::database());

private:
    struct Dealt
    {
        int tid = 0;
        int line = 0;
        QDate from;
        QDate lastDay;
    };
    struct Apartment
    {
        QList<ClerkAct> acts;
        QList<int> leases;   // the agreement of lease n at n - 1
        QList<qint64> rents; // the rent of lease n at n - 1, as it stands
        QMap<int, int> lines; // the file's line -> the act's
        QList<bool> asked;
        QList<Dealt> beforeTheBooks;
        bool inForce = false;
        // The oracle's outcome for the first `replayed` acts.
        int replayed = -1;
        ClerkOutcome promised;
    };

    Apartment &apartment(int apid) { return apartments[apid]; }
    int lineOf(int apid, int recid, const QSqlDatabase &db = QSqlDatabase::database()) const;
    void add(int apid, ClerkAct act);

    QMap<int, Apartment> apartments;
};

#endif // LEASEDAYS_H
