#ifndef LEASEWRITE_H
#define LEASEWRITE_H

#include "datahub/recurmodel.h"
#include "money/moneycommand.h"

#include <QCoreApplication>
#include <QSqlRecord>
#include <QVariant>

#include <functional>

class XDataSource;

// The writes of a rental agreement, each in one transaction. A saved agreement is only looked at: the
// clerk renews one, or corrects it, by deleting it and making it again.
//
// Each day a lease holds, from its first payment date to its end, is charged once, under its terms, for
// every line the clerk set up to charge it: the apartment's rent, and each other bill of the tenant
// there. What a lease still owes on a line is read from the ledger: the days it holds that no charge of
// that line at the apartment covers (a charge covers its due date to the day before the next), for
// whichever tenant, nor a charge the clerk forgave. A newcomer's first period begins at his first
// payment date all the same, where the leaver's last period runs past it. What the clerk did is kept as
// a fact of its own: the end he gave a bill, the days of an earlier lease he declined or agreed to have
// charged (under that lease alone).
//
// Every command first posts what has fallen due up to today, as the charge run does, so that nothing it
// stops or moves loses a charge already owed. Deleting a lease takes the row and the apartment's link
// and stops its rent; the charges and the other bills stay, and charge nobody until the apartment is let
// again (no charge run bills an apartment without a lease).
class LeaseWrite
{
    Q_DECLARE_TR_FUNCTIONS(LeaseWrite)

public:
    // What the lease editor set; a value left invalid takes the table's default.
    struct Terms
    {
        QVariant damage;
        QVariant rent;
        QVariant lateFee;
        QVariant perDay;
        QVariant frequency;
        QVariant firstDue;
        QVariant leaseTerm;
        QVariant leaseStart;
        QVariant leaseEnd;
        QVariant moveIn;
        QVariant moveOut;
        QVariant notes;
        QVariant firstPayment;
    };

    struct Lease
    {
        int agreementId = -1;
        int tenantId = -1;
        int apartmentId = -1;
        Terms terms;
    };

    // Asked, inside the command, whether the days of the tenant's earlier lease that the new one leaves
    // uncharged (on any of his lines there) are charged under the earlier terms; `question` names each
    // line with its days and amount. Without an answer they are left uncharged.
    using EarlierDays = std::function<bool(const QString &question)>;

    // The hub posts the charges that fall due, as every charge run does. On success the result's
    // message, where not empty, names what the clerk should know: parts of a period not charged.
    static MoneyCommand::Result save(const Lease &lease, XDataSource *dataSource,
                                     const EarlierDays &chargeEarlierDays = EarlierDays());
    static MoneyCommand::Result remove(int apartmentId, int agreementId, XDataSource *dataSource);
    // The clerk ended bill `recid` earlier than before: its tenant's other bills of its line that would
    // charge after that end (a bill charging an earlier lease's days he agreed to, or the one charging
    // the lease after it) end there too, so that what he ended stays ended whichever lease is saved next.
    static MoneyCommand::Result billEnded(int recid);

    // The clerk deleted the bill `bill` held: its line goes to no newcomer at a later lease.
    static MoneyCommand::Result billDeleted(const QSqlRecord &bill);
    // Whether bill `recid` has dealt with a day: charged it, or had it forgiven or answered for.
    static bool hasDealtWith(int recid);
    // The end the clerk gives a bill he adds or edits on an apartment whose lease is `agreementId`: his
    // own, unless it is that lease's end, which the bill then runs with (invalid).
    static QDate clerksEnd(const QDate &end, int agreementId);

    // Bill `recid`, about to charge from its first due date, charges no period before lease
    // `agreementId`'s first payment date: its periods begin there instead.
    static MoneyCommand::Result beginWhereHeld(int recid, int agreementId);

    // The type of a lease's rent bill, lower-cased as the statements compare it.
    static QString rentType() { return RecurModel::rentType(); }
};

#endif // LEASEWRITE_H
