#ifndef BILLINGSTORE_H
#define BILLINGSTORE_H

#include "money/billingrule.h"

#include <QCoreApplication>
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QSqlQuery>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>

// The billing rule's facts as the file stores them, and its answers written back, inside the caller's
// transaction (every statement goes through MoneyCommand, whose Stop rolls the command back). A
// command records the clerk's act here and asks the rule what follows from it: what falls due is
// posted before and after the act, and each bill row is brought to what it shows (its next date, and
// whether it has charged all it will). Nothing here decides what a lease owes.
class BillingStore
{
    Q_DECLARE_TR_FUNCTIONS(BillingStore)

public:
    // The facts of apartment `apid`; none without one.
    explicit BillingStore(int apid);
    BillingStore() = default;

    const BillingRule::Facts &facts() const { return m_facts; }
    BillingRule rule() const { return BillingRule(m_facts); }

    // Reads the facts again, after an act changed them.
    void reload();
    // Posts every charge due up to `today` and brings the bill rows up to date; the number posted.
    int postDue(const QDate &today);
    // Posts what is due, then the next `periods` charges of each line of the lease in force.
    int postAhead(int periods, const QDate &today);

    // A lease saved: records it (a lease still in force on the apartment gives way to it) with the
    // lines it takes over. `ask`, given the question about the tenant's previous lease's days, says
    // whether they are charged; without it they are not. Returns what the clerk is told.
    using Ask = std::function<bool(const QString &question)>;
    QStringList leaseSaved(int rid, int tid, const QDate &firstPay, const QDate &end, double rent, int freq,
                           const Ask &ask);
    // The lease in force deleted; it stays on record as deleted.
    void leaseDeleted();
    // Bill `recid` added or edited: its end is the clerk's unless it is the lease's end; a bill just
    // added begins a line of its own, added by its tenant.
    void billSaved(int recid, bool added);
    // The line of bill `recid` deleted on `today`: none of its bills charges after that day.
    void lineDeleted(int recid, const QDate &today);
    // Posted charge `chid` forgiven: its period stays dealt with for its tenant, its row is gone.
    void chargeForgiven(int chid);

    // The command around an act on apartment `apid`: what is due is posted, `act` runs, and what is due
    // is posted again; the bill rows are then brought up to date. Without `postFirst` the caller posted
    // before the act already (a bill the editor has written since).
    static void around(int apid, const std::function<void(BillingStore &)> &act, bool postFirst = true);

    // The charge run of the whole office up to `today`, one apartment at a time; `progress` is told the
    // apartments done of those with something due. The number of charges posted.
    static int postOffice(const QDate &today, const std::function<void(int done, int total)> &progress = {});
    // Charge Ahead for tenant `tid`: the next `periods` charges of each line of every lease of his in
    // force, then what is due; the number posted.
    static int chargeAhead(int tid, int periods, const QDate &today);
    // The apartment whose bill is `recid`, or -1.
    static int apartmentOfBill(int recid);

private:
    // Reads the facts of the apartments.
    static QHash<int, BillingStore> load(const QList<int> &apartments);
    void write(const QList<BillingRule::Charge> &charges);
    void writeRows();
    // A rent bill for a tenant whose lease no bill shows; its key.
    int addRentBill(int tenant, int lease);
    // The next date a completed bill of `line` shows for `tenant`, where it showed `shown`.
    QDate stoppedAt(int line, int tenant, const QDate &shown) const;
    // The bill row that names a line's charges for a tenant.
    int rowOf(int line, int tenant) const;
    // The type of that bill: what the clerk is told the line is.
    QString typeOf(int line, int tenant) const;
    QString question(const QList<BillingRule::Agreed> &asked) const;
    QStringList told(int rid) const;

    struct Bill
    {
        int recid = 0;
        int line = 0;
        int tid = 0;
        QString type;
        double lateFee = 0;
        double perDay = 0;
        QDate next;
        bool completed = false;
        bool live = true;
        QDate lastDue;
        QDate storedLastDue;
    };
    // A statement a posting runs for many rows, written a batch of rows at a time.
    struct Batched
    {
        static constexpr int Batch = 32;
        // The parameters declared for row `i` of a batch and its statement.
        std::function<std::pair<QString, QString>(int i)> row;
        QSqlQuery batch;
        QSqlQuery one;
        QList<QVariantList> pending; // rows not yet written
        void add(const QVariantList &values);
        void flush();
    };
    // The statements of a posting, prepared once for a run of them.
    struct Statements
    {
        Batched insertCharges;
        Batched updateBills;
    };
    Statements &prepared();

    int m_apid = -1;
    BillingRule::Facts m_facts;
    QList<Bill> m_bills;
    std::shared_ptr<Statements> m_statements;
    bool m_running = false; // inside the office's run, which writes its charges in batches
};

#endif // BILLINGSTORE_H
