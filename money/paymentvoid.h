#ifndef PAYMENTVOID_H
#define PAYMENTVOID_H

#include "money/moneycommand.h"

#include <QCoreApplication>

// Undoes a stored payment: every charge it paid is owed again by exactly its own line, and its lines,
// its cashbook income and its TRANS row go, in one transaction. A payment that paid a charge since
// deleted is refused whole: nothing could be owed again in its place.
class PaymentVoid
{
    Q_DECLARE_TR_FUNCTIONS(PaymentVoid)

public:
    // A payment that is no longer there has nothing left to undo, which is not a failure.
    static MoneyCommand::Result voidPayment(int transid);
};

#endif // PAYMENTVOID_H
