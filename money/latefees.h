#ifndef LATEFEES_H
#define LATEFEES_H

#include "money/moneycommand.h"

#include <QCoreApplication>
#include <QDate>

// The late fees of one tenant's overdue charges: for every charge due before `today`, still partly
// owed and carrying a fee, a new charge of the days not yet charged at its daily fee (plus its flat
// fee the first time), and the days recorded on the overdue charge, all in one transaction. A fee
// carries no fee of its own.
class LateFees
{
    Q_DECLARE_TR_FUNCTIONS(LateFees)

public:
    // Whether the tenant has a charge the run would look at; the clerk is asked only then.
    static bool anyOverdue(int tenantId, const QDate &today);
    static MoneyCommand::Result charge(int tenantId, const QDate &today);
};

#endif // LATEFEES_H
