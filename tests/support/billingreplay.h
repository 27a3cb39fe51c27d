#ifndef BILLINGREPLAY_H
#define BILLINGREPLAY_H

#include "clerkacts.h"
#include "money/billingrule.h"

// The program's billing rule over a clerk's acts, its facts kept in memory as the commands keep them in
// the database: each act recorded as the command records it, with the posting before and after.
class BillingReplay
{
public:
    void apply(const ClerkAct &act);
    ClerkOutcome outcome() const;
    const BillingRule::Facts &facts() const { return m_facts; }
    // The day each charge of facts().charges was posted on.
    const QList<QDate> &postedOn() const { return m_postedOn; }

    static ClerkOutcome replay(const QList<ClerkAct> &acts);

private:
    void post(const QDate &today);
    void add(const QList<BillingRule::Charge> &charges, const QDate &today);

    BillingRule::Facts m_facts;
    QList<QDate> m_postedOn;
    QList<bool> m_asked;
    int m_leases = 0;
    int m_lines = 0;
};

#endif // BILLINGREPLAY_H
