#ifndef LEASEWRITE_H
#define LEASEWRITE_H

#include "money/moneycommand.h"

#include <QCoreApplication>
#include <QVariant>

class XDataSource;

// The writes of a rental agreement. Saving one writes its row, points the apartment at it, builds
// the apartment's rent bill anew from it, puts the other bills onto the lease's dates and tenant and
// posts what every bill of the apartment has fallen due up to today, never a period charged already;
// deleting one takes the row, the apartment's link and the rent bill, and the apartment's other bills
// charge nobody until it is let again (no charge run bills an apartment without a lease). Each runs
// in one transaction.
class LeaseWrite
{
    Q_DECLARE_TR_FUNCTIONS(LeaseWrite)

public:
    // What the lease editor set; a value left invalid keeps what is stored (for a new agreement, the
    // table's default).
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
        bool isNew = true;
        Terms terms;
    };

    // The hub posts the charges that fall due, as every charge run does.
    static MoneyCommand::Result save(const Lease &lease, XDataSource *dataSource);
    static MoneyCommand::Result remove(int apartmentId, int agreementId);

    // The type of an apartment's rent bill, lower-cased as every statement compares it.
    static QString rentType() { return tr("rent"); }
};

#endif // LEASEWRITE_H
