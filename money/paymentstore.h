#ifndef PAYMENTSTORE_H
#define PAYMENTSTORE_H

#include "money/moneycommand.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>

// Stores a payment a tenant made: one TRANS row, every amount taken off its charge and recorded as a
// PAYMENTS line, and one cashbook income entry per apartment and charge type (under a category of the
// type's name, made when there is none), all carrying the transaction's key, in one transaction. Each
// entry carries the apartment of the charges it pays, so that money paid for an apartment the tenant
// has left, or moved out of within the office, is booked to that apartment's building and owner.
class PaymentStore
{
    Q_DECLARE_TR_FUNCTIONS(PaymentStore)

public:
    struct Line
    {
        int chargeId = -1;
        double amount = 0.0;
    };

    struct Payment
    {
        int tenantId = -1;
        // The apartment of the TRANS row, and of the cashbook entry for a charge that names none; -1
        // when the tenant holds none.
        int apartmentId = -1;
        QDate paidOn;
        double cash = 0.0;
        double check = 0.0;
        QString checkNumber;
        double card = 0.0;
        QString cardNumber;
        // What the tenant owed when paying, for the receipt.
        double dueTotal = 0.0;
        // What each charge is paid with; lines of 0 are passed over.
        QList<Line> lines;
    };

    // The key of the new TRANS row on success.
    static MoneyCommand::Result store(const Payment &payment);
};

#endif // PAYMENTSTORE_H
