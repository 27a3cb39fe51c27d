#ifndef CHARGEEDIT_H
#define CHARGEEDIT_H

#include "money/moneycommand.h"

#include <QCoreApplication>
#include <QDate>
#include <QMap>
#include <QString>
#include <QVariant>

// The changes a clerk makes to a tenant's charges while collecting rent, each in a transaction of its
// own: how much of a charge the payment will pay (and its memo), a one-time charge, and a deleted
// charge. A charge that has been paid, even in part, is never deleted: its payment would name nothing
// and voiding it would give nothing back.
class ChargeEdit
{
    Q_DECLARE_TR_FUNCTIONS(ChargeEdit)

public:
    struct NewCharge
    {
        // A key drawn from GEN_CHARGES_ID already, or -1 to draw one here.
        int chargeId = -1;
        int tenantId = -1;
        int apartmentId = -1;
        QString type;
        double amount = 0.0;
        QDate forDate;
    };

    // What setPaying changes on a charge: the amount the payment pays of it, and its memo (null when
    // the charge had none).
    struct Paying
    {
        double applied = 0.0;
        QVariant memo;
    };

    // Sets what the payment being collected pays of the charge (never more than it still owes).
    static MoneyCommand::Result setPaying(int chargeId, double paying, const QString &memo);
    // Puts what setPaying changed back as it was, for each charge by its key.
    static MoneyCommand::Result restoreApplied(const QMap<int, Paying> &charges);
    // The new charge's key on success.
    static MoneyCommand::Result add(const NewCharge &charge);
    // Refused while any payment names the charge.
    static MoneyCommand::Result remove(int chargeId);
    // The refusal remove() would give, asked before the clerk is asked to confirm.
    static MoneyCommand::Result mayRemove(int chargeId);
};

#endif // CHARGEEDIT_H
