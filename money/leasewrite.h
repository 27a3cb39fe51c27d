#ifndef LEASEWRITE_H
#define LEASEWRITE_H

#include "money/moneycommand.h"

#include <QCoreApplication>
#include <QSqlRecord>
#include <QVariant>

#include <functional>

class XDataSource;

// The lease and bill commands of an apartment, each in one transaction: the clerk's act is recorded and
// the billing rule posts what falls due before and after it (money/billingstore.h). A saved agreement is
// only looked at: the clerk renews one, or corrects it, by deleting it and making it again. Deleting a
// lease takes the row and the apartment's link; the lease stays on record, as do its charges and bills.
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

    // On success the result's message, where not empty, names what the clerk should know: parts of a
    // period not charged, and other tenants' charges on the days the lease holds.
    static MoneyCommand::Result save(const Lease &lease, XDataSource *dataSource,
                                     const EarlierDays &chargeEarlierDays = EarlierDays());
    static MoneyCommand::Result remove(int apartmentId, int agreementId, XDataSource *dataSource);
    // What has fallen due on the apartment, posted before the clerk edits one of its bills; the result's
    // key is the number of charges posted.
    static MoneyCommand::Result postDue(int apartmentId);
    // Bill `recid` just saved in the editor (`added`: a new one, which begins a line of its own), after
    // postDue before the editor opened.
    static MoneyCommand::Result billSaved(int recid, bool added);
    // Bill `recid` deleted by the clerk: its line charges nothing after today, for any tenant.
    static MoneyCommand::Result billDeleted(int recid);
};

#endif // LEASEWRITE_H
