#ifndef BILLINGHISTORY_H
#define BILLINGHISTORY_H

#include "clerkacts.h"

#include <QStringList>

// One random clerk's history of an apartment, seeded so that a failure can be run again alone: leases
// saved and deleted, bills added, edited and deleted, charges forgiven, Charge Ahead, rent adjusted and
// runs, on days that never go back.
QList<ClerkAct> randomClerkHistory(quint32 seed);

// Where one account's charges or questions differ from another's, each difference a line.
QStringList outcomeDifferences(ClerkOutcome program, ClerkOutcome oracle);

#endif // BILLINGHISTORY_H
