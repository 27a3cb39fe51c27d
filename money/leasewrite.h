#ifndef LEASEWRITE_H
#define LEASEWRITE_H

#include "money/moneycommand.h"

#include <QCoreApplication>
#include <QVariant>

class XDataSource;

// The writes of a rental agreement, each in one transaction. A saved agreement is only looked at: the
// clerk renews one, or corrects it, by deleting it and making it again.
//
// Saving a new one writes its row, points the apartment at it and gives the apartment its rent bill:
// the bill the same tenant had there is taken up in the new terms from the first day its charges did
// not cover, any other tenant gets a bill of his own from the first payment date. The apartment's other
// bills go with the lease, each from where it stands, and every bill posts what has fallen due up to
// today. Deleting one takes the row and the apartment's link and stops the rent bill where it stands;
// the charges and the other bills stay, and charge nobody until the apartment is let again (no charge
// run bills an apartment without a lease).
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

    // The hub posts the charges that fall due, as every charge run does.
    static MoneyCommand::Result save(const Lease &lease, XDataSource *dataSource);
    static MoneyCommand::Result remove(int apartmentId, int agreementId);

    // The type of a lease's rent bill, lower-cased as the statements compare it.
    static QString rentType() { return tr("rent"); }
};

#endif // LEASEWRITE_H
