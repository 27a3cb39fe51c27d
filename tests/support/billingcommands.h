#ifndef BILLINGCOMMANDS_H
#define BILLINGCOMMANDS_H

#include "clerkacts.h"

#include <QList>
#include <QMap>

// A clerk's acts carried out by the program's own commands on the open database, on an apartment and
// three tenants of their own made for the history: the lease command, the bill commands, Collect Rent's
// deletion of a charge, Charge Ahead, Adjust Rental Rate and the charge run, each on its act's day. What
// they leave in the file is read back as the acts' vocabulary, to be set beside another account (a
// forgiven charge is read without its amount, which the file no longer holds).
class BillingCommands
{
public:
    BillingCommands();
    virtual ~BillingCommands();

    // False, with the failure in `failure()`, where a command did not go through.
    virtual bool apply(const ClerkAct &act);
    ClerkOutcome outcome() const;
    QString failure() const { return m_failure; }

protected:
    // The posted charge the act names, or -1.
    int chargeOf(const ClerkAct &act) const;

    int m_apid = 0;
    QList<int> m_tenants; // tenants 1, 2, 3
    QList<int> m_leases;  // agreements in the order saved
    QMap<int, int> m_lineBills; // line number -> its bill
    QList<bool> m_asked;
    QString m_failure;
};

#endif // BILLINGCOMMANDS_H
