#ifndef LEASEWRITE_H
#define LEASEWRITE_H

#include "money/moneycommand.h"

#include <QCoreApplication>
#include <QVariant>

#include <functional>

class XDataSource;

// The writes of a rental agreement, each in one transaction. A saved agreement is only looked at: the
// clerk renews one, or corrects it, by deleting it and making it again.
//
// Each day a lease holds, from its first payment date to its end, is charged once, under its terms. A
// bill belongs to one tenant and has dealt with the days from the first payment date it began at to the
// day before its next date; saving a lease charges, in the lease's periods, the days none of the
// tenant's own bills of that kind at the apartment dealt with, and no day they did. His bill whose days
// end where the new ones begin goes on in the new terms; days before those dealt with get a bill of their
// own, in whole periods. At a turnover the leaver's bills stop where they stand, and the newcomer gets
// his own copy of each the leaver still had running (one the clerk ended stays ended). Every bill of the
// apartment then posts what has fallen due up to today.
//
// Deleting a lease takes the row and the apartment's link and stops the rent bill where it stands; the
// charges and the other bills stay, and charge nobody until the apartment is let again (no charge run
// bills an apartment without a lease).
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
    // (between where its rent stopped and the new first payment date) are charged under the earlier
    // terms; `question` names them. Without an answer they are left uncharged.
    using EarlierDays = std::function<bool(const QString &question)>;

    // The hub posts the charges that fall due, as every charge run does. On success the result's
    // message, where not empty, names what the clerk should know: parts of a period not charged.
    static MoneyCommand::Result save(const Lease &lease, XDataSource *dataSource,
                                     const EarlierDays &chargeEarlierDays = EarlierDays());
    static MoneyCommand::Result remove(int apartmentId, int agreementId);
    // The clerk ended bill `recid` earlier than before: its tenant's other bills of its line that would
    // charge after that end (a renewal's copy of it, made to charge from the renewal's first payment date)
    // end there too, so that what he ended stays ended whichever lease is saved next.
    static MoneyCommand::Result billEnded(int recid);

    // The type of a lease's rent bill, lower-cased as the statements compare it.
    static QString rentType() { return tr("rent"); }
};

#endif // LEASEWRITE_H
