#include "datahub/fileupgrade.h"
#include "datahub/debuglog.h"

#include "money/chargeposting.h"
#include "money/leasewrite.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QDate>
#include <QVariant>

namespace {

// A charge and a bill of the same tenant, apartment and type.
const char *const SameKind = "r.tid = c.tid and r.apid = c.apid and lower(r.type) = lower(c.type)";

} // namespace

FileUpgrade::FileUpgrade(const QSqlDatabase &db)
    : m_db(db)
{
}

// 0: the earlier layout; 1: its columns are added but not yet filled; CurrentVersion: up to date.
int FileUpgrade::version()
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("select count(*) from rdb$relations where rdb$relation_name = 'FILELEVEL'"))
        || !query.next()) {
        m_error = query.lastError().text();
        return -1;
    }
    if (query.value(0).toInt() == 0)
        return 0;
    if (!query.exec(QStringLiteral("select max(fileversion) from filelevel")) || !query.next()) {
        m_error = query.lastError().text();
        return -1;
    }
    return query.value(0).isNull() ? 1 : query.value(0).toInt();
}

bool FileUpgrade::run()
{
    m_summary.clear();
    m_error.clear();
    const int found = version();
    if (found < 0)
        return false;
    if (found >= CurrentVersion)
        return true;
    if (!addColumns())
        return false;
    if (!fillColumns(found))
        return false;
    qCDebug(velloranLog) << "database brought up to date:" << m_summary;
    return true;
}

bool FileUpgrade::exec(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    bool done = query.prepare(sql);
    for (int i = 0; done && i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    done = done && query.exec();
    if (!done) {
        m_error = query.lastError().text();
        qCDebug(velloranLog) << sql << m_error;
    }
    return done;
}

// Whether the statement, asked about `name`, finds it.
bool FileUpgrade::exists(const QString &sql, const QString &name)
{
    QSqlQuery query(m_db);
    return exec(query, sql, {name}) && query.next() && query.value(0).toInt() > 0;
}

bool FileUpgrade::addColumns()
{
    struct Addition
    {
        const char *check;
        const char *name;
        const char *statement;
    };
    static const char *const Column =
        "select count(*) from rdb$relation_fields where trim(rdb$relation_name) || '.' || trim(rdb$field_name) = ?";
    static const char *const Table = "select count(*) from rdb$relations where rdb$relation_name = ?";
    static const char *const Trigger = "select count(*) from rdb$triggers where rdb$trigger_name = ?";
    static const char *const Index = "select count(*) from rdb$indices where rdb$index_name = ?";
    static const Addition additions[] = {
        {Column, "CHARGES.RECID", "alter table charges add recid integer"},
        {Column, "RECUR.LEASERENT", "alter table recur add leaserent smallint default 0"},
        {Column, "RECUR.LASTDUE", "alter table recur add lastdue date"},
        {Column, "RECUR.FIRSTPAY", "alter table recur add firstpay date"},
        {Column, "RECUR.RID", "alter table recur add rid integer"},
        {Column, "RECUR.ORIGIN", "alter table recur add origin integer"},
        {Column, "RECUR.GIVENEND", "alter table recur add givenend date"},
        {Table, "FILELEVEL", "create table filelevel (fileversion integer not null)"},
        {Table, "CASHBOOKTOTALS",
         "create table cashbooktotals (expense numeric(18, 6) default 0 not null, "
         "income numeric(18, 6) default 0 not null)"},
        {Trigger, "CASHBOOK_TOTALS",
         "create trigger cashbook_totals for cashbook active after insert or update or delete position 0 as "
         "begin "
         "if (inserting or updating) then update cashbooktotals set expense = expense + coalesce(new.expense, 0), "
         "income = income + coalesce(new.income, 0); "
         "if (updating or deleting) then update cashbooktotals set expense = expense - coalesce(old.expense, 0), "
         "income = income - coalesce(old.income, 0); "
         "end"},
        {Index, "IX_CASHBOOK_APID", "create index ix_cashbook_apid on cashbook (apid)"},
    };
    QStringList missing;
    for (const Addition &addition : additions) {
        if (!exists(QLatin1String(addition.check), QLatin1String(addition.name))) {
            if (!m_error.isEmpty())
                return false;
            missing << QLatin1String(addition.statement);
        }
    }
    if (missing.isEmpty())
        return true;
    if (!m_db.transaction()) {
        m_error = m_db.lastError().text();
        return false;
    }
    QSqlQuery query(m_db);
    for (const QString &statement : qAsConst(missing)) {
        if (!exec(query, statement)) {
            m_db.rollback();
            return false;
        }
    }
    if (!m_db.commit()) {
        m_error = m_db.lastError().text();
        m_db.rollback();
        return false;
    }
    return true;
}

// Saving a lease under the earliest layout deleted every Rent bill of its apartment and made one anew,
// and deleting a lease deleted its Rent bill. So every Rent bill is the lease rent bill of its tenant
// there: the lowest-keyed of the current lease's tenant is that lease's, and runs; one of his made after
// it can only be the clerk's own. Any other (a former tenant's, one left where the lease went) is
// stopped, so that it charges no day beside the next lease. A tenant's Rent charges at an apartment
// beyond all his Rent bills there are those of a lease whose bill was deleted: a stopped bill records
// them as dealt with, to the end of the period of the last of them.
bool FileUpgrade::readEarliestBills(QSqlQuery &query, int *rentBills, int *charges)
{
    const QString rent = LeaseWrite::rentType();
    static const char *const CurrentTenant =
        "exists (select 1 from apartments a join agreements g on g.rid = a.agreeid where a.apid = r.apid "
        "and g.tid = r.tid)";
    if (!exec(query, QStringLiteral("update recur set leaserent = 0 where leaserent is null"))
        || !exec(query, QStringLiteral("update recur set leaserent = 1 where lower(type) = ?"), {rent}))
        return false;
    *rentBills = query.numRowsAffected();
    if (!exec(query,
              QStringLiteral("update recur r set r.leaserent = 0 where r.leaserent = 1 and %1 and r.recid > (select "
                             "min(b.recid) from recur b where b.apid = r.apid and b.tid = r.tid and b.leaserent = 1)")
                  .arg(QLatin1String(CurrentTenant)))
        || !exec(query, QStringLiteral("update recur r set r.rid = (select a.agreeid from apartments a where a.apid = "
                                       "r.apid) where r.leaserent = 1 and %1")
                            .arg(QLatin1String(CurrentTenant)))
        || !exec(query, QStringLiteral("update recur set completed = 1 where leaserent = 1 and rid is null")))
        return false;

    struct Reached
    {
        QVariant tid, apid, amount;
        QDate last;
        int freq;
    };
    QList<Reached> beyond;
    if (!exec(query, QStringLiteral("select c.tid, c.apid, max(c.fordate), (select max(r.nextdate) from recur r where "
                                    "r.tid = c.tid and r.apid = c.apid and r.leaserent = 1), (select first 1 r.freq "
                                    "from recur r where r.tid = c.tid and r.apid = c.apid and r.leaserent = 1 order by "
                                    "r.nextdate desc), (select first 1 o.origamount from charges o where o.tid = c.tid "
                                    "and o.apid = c.apid and lower(o.type) = ? order by o.fordate desc) from charges c "
                                    "where lower(c.type) = ? and c.fordate is not null group by c.tid, c.apid"),
              {rent, rent}))
        return false;
    while (query.next()) {
        const QDate last = query.value(2).toDate();
        const QDate reached = query.value(3).toDate();
        if (reached.isValid() && reached > last)
            continue;
        beyond << Reached{query.value(0), query.value(1), query.value(5), last,
                          query.value(4).isNull() ? 3 : query.value(4).toInt()};
    }
    query.finish();
    QSqlQuery insert(m_db);
    if (!insert.prepare(QStringLiteral("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, "
                                       "enddate, perday, tid, completed, apid, leaserent, lastdue) values "
                                       "(gen_id(gen_recur_id, 1), ?, ?, 0, ?, ?, null, ?, 0, ?, 1, ?, 1, ?)"))) {
        m_error = insert.lastError().text();
        return false;
    }
    for (const Reached &reached : qAsConst(beyond)) {
        QDate next = nextDueDate(reached.last, reached.freq, nullptr);
        if (!next.isValid() || next <= reached.last)
            next = reached.last.addMonths(1);
        const QVariantList values = {tr("Rent"), reached.amount, reached.freq, next, next, reached.tid, reached.apid,
                                     reached.last};
        for (int i = 0; i < values.size(); ++i)
            insert.bindValue(i, values.at(i));
        if (!insert.exec()) {
            m_error = insert.lastError().text();
            qCDebug(velloranLog) << "recording the days of a deleted rent bill" << m_error;
            return false;
        }
    }
    *charges = beyond.size();
    return true;
}

bool FileUpgrade::fillColumns(int found)
{
    if (!m_db.transaction()) {
        m_error = m_db.lastError().text();
        return false;
    }
    QSqlQuery query(m_db);
    const auto fail = [this]() {
        m_db.rollback();
        return false;
    };
    int rentBills = 0, formerLeases = 0, linked = 0;
    if (found < 2) {
        // A charge names its bill only where that bill alone can have posted it: the one bill of its
        // tenant, apartment and type, gone past the charge's date, of the charge's amount and with the
        // charge's date on its schedule. A one-time charge beside a bill stays unnamed.
        static const char *const OnSchedule =
            "(case r.freq "
            "when 1 then mod(datediff(day from c.fordate to r.nextdate), 14) "
            "when 5 then mod(datediff(day from c.fordate to r.nextdate), 7) "
            "when 3 then iif(extract(day from c.fordate) = extract(day from r.nextdate), 0, 1) "
            "when 4 then iif(extract(day from c.fordate) = extract(day from r.nextdate), "
            "mod(datediff(month from c.fordate to r.nextdate), 3), 1) "
            "when 2 then iif(extract(day from c.fordate) = extract(day from r.nextdate), "
            "mod(datediff(month from c.fordate to r.nextdate), 6), 1) "
            "when 6 then iif(extract(day from c.fordate) = extract(day from r.nextdate), "
            "mod(datediff(month from c.fordate to r.nextdate), 12), 1) "
            "when 7 then iif(extract(day from c.fordate) = extract(day from r.nextdate), "
            "mod(datediff(month from c.fordate to r.nextdate), 24), 1) "
            "when 8 then iif(extract(day from c.fordate) = extract(day from r.nextdate), "
            "mod(datediff(month from c.fordate to r.nextdate), 36), 1) "
            "when 9 then iif(extract(day from c.fordate) = extract(day from r.nextdate), "
            "mod(datediff(month from c.fordate to r.nextdate), 60), 1) "
            "else coalesce(mod(datediff(day from c.fordate to r.nextdate), (select nullif(max(f.days), 0) from "
            "frequency f where f.freqid = r.freq)), 1) end) = 0";
        if (!exec(query, QStringLiteral("update charges c set c.recid = (select min(r.recid) from recur r where %1) "
                                        "where c.recid is null and (select count(*) from recur r where %1) = 1 and "
                                        "exists (select 1 from recur r where %1 and c.fordate < r.nextdate and "
                                        "abs(c.origamount - r.amount) < 0.005 and %2)")
                                 .arg(QLatin1String(SameKind), QLatin1String(OnSchedule))))
            return fail();
        linked = query.numRowsAffected();
        // Whether a bill has charged is read the safe way round: any charge of its kind before its next
        // due date counts, so that no bill is taken back over a period it may have charged.
        if (!exec(query, QStringLiteral("update recur r set r.lastdue = (select max(c.fordate) from charges c where %1 "
                                        "and c.fordate < r.nextdate) where r.lastdue is null")
                             .arg(QLatin1String(SameKind))))
            return fail();
        // Then the rent bills, after the links: a bill that records a deleted one's days posted nothing.
        if (!readEarliestBills(query, &rentBills, &formerLeases))
            return fail();
        if (!exec(query, QStringLiteral("select count(*) from cashbooktotals")) || !query.next())
            return fail();
        const bool totalled = query.value(0).toInt() > 0;
        query.finish();
        if (!totalled && !exec(query, QStringLiteral("insert into cashbooktotals (expense, income) select "
                                                     "coalesce(sum(expense), 0), coalesce(sum(income), 0) from cashbook")))
            return fail();
    }
    // The bills of each current lease's tenant ran with that lease; the days a bill older than this
    // layout has dealt with reach back to before its books (its first payment date stays empty).
    if (!exec(query, QStringLiteral("update recur r set r.rid = (select a.agreeid from apartments a join agreements g "
                                    "on g.rid = a.agreeid where a.apid = r.apid and g.tid = r.tid) where r.rid is null "
                                    "and (r.leaserent is distinct from 1 or coalesce(r.completed, 0) = 0)"))
        || !exec(query, QStringLiteral("delete from filelevel"))
        || !exec(query, QStringLiteral("insert into filelevel (fileversion) values (?)"), {CurrentVersion}))
        return fail();
    if (!m_db.commit()) {
        m_error = m_db.lastError().text();
        m_db.rollback();
        return false;
    }
    QStringList done;
    if (found < 2)
        done << tr("%1 rent bills of leases marked").arg(rentBills)
             << tr("%1 deleted rent bills' days kept").arg(formerLeases)
             << tr("%1 charges linked to the bill that posted them").arg(linked);
    done << tr("the days each bill dealt with recorded");
    m_summary = tr("brought up to date: %1").arg(done.join(QStringLiteral(", ")));
    return true;
}
