#include "datahub/fileupgrade.h"
#include "datahub/debuglog.h"

#include "money/leasewrite.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
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
    if (found == 0 && !addColumns())
        return false;
    if (!fillColumns())
        return false;
    qCDebug(velloranLog) << "database brought up to date:" << m_summary;
    return true;
}

bool FileUpgrade::addColumns()
{
    if (!m_db.transaction()) {
        m_error = m_db.lastError().text();
        return false;
    }
    QSqlQuery query(m_db);
    for (const char *statement :
         {"alter table charges add recid integer", "alter table recur add leaserent smallint default 0",
          "alter table recur add lastdue date", "create table filelevel (fileversion integer not null)",
          "create table cashbooktotals (expense numeric(18, 6) default 0 not null, "
          "income numeric(18, 6) default 0 not null)",
          "create trigger cashbook_totals for cashbook active after insert or update or delete position 0 as "
          "begin "
          "if (inserting or updating) then update cashbooktotals set expense = expense + coalesce(new.expense, 0), "
          "income = income + coalesce(new.income, 0); "
          "if (updating or deleting) then update cashbooktotals set expense = expense - coalesce(old.expense, 0), "
          "income = income - coalesce(old.income, 0); "
          "end",
          "create index ix_cashbook_apid on cashbook (apid)"}) {
        if (!query.exec(QLatin1String(statement))) {
            m_error = query.lastError().text();
            qCDebug(velloranLog) << statement << m_error;
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

bool FileUpgrade::fillColumns()
{
    if (!m_db.transaction()) {
        m_error = m_db.lastError().text();
        return false;
    }
    // Saving a lease under the earlier layout deleted every rent bill of its apartment and made one
    // anew, so a rent bill of the lease's tenant made after it can only be one the clerk added.
    const QString rent = LeaseWrite::rentType();
    struct Step
    {
        QString sql;
        QVariantList values;
        int rows = 0;
    };
    QList<Step> steps = {
        {QStringLiteral("update recur set leaserent = 0 where leaserent is null"), {}},
        {QStringLiteral("update recur r set r.leaserent = 1 where lower(r.type) = ? and r.recid = (select min(b.recid) "
                        "from recur b join apartments a on a.apid = b.apid join agreements g on g.rid = a.agreeid "
                        "where b.apid = r.apid and b.tid = g.tid and lower(b.type) = ?)"),
         {rent, rent}},
        // A charge names its bill where one bill alone can have posted it: the only bill of its tenant,
        // apartment and type, which had gone past the charge's date.
        {QStringLiteral("update charges c set c.recid = (select min(r.recid) from recur r where %1) where c.recid is "
                        "null and (select count(*) from recur r where %1) = 1 and exists (select 1 from recur r where "
                        "%1 and c.fordate < r.nextdate)")
             .arg(QLatin1String(SameKind)),
         {}},
        // Whether a bill has charged is read the safe way round: any charge of its kind before its next
        // due date counts, so that no bill is taken back over a period it may have charged.
        {QStringLiteral("update recur r set r.lastdue = (select max(c.fordate) from charges c where %1 and c.fordate "
                        "< r.nextdate) where r.lastdue is null")
             .arg(QLatin1String(SameKind)),
         {}},
        {QStringLiteral("insert into cashbooktotals (expense, income) select coalesce(sum(expense), 0), "
                        "coalesce(sum(income), 0) from cashbook"),
         {}},
        {QStringLiteral("insert into filelevel (fileversion) values (?)"), {CurrentVersion}},
    };
    QSqlQuery query(m_db);
    for (Step &step : steps) {
        bool done = query.prepare(step.sql);
        for (int i = 0; done && i < step.values.size(); ++i)
            query.bindValue(i, step.values.at(i));
        done = done && query.exec();
        if (!done) {
            m_error = query.lastError().text();
            qCDebug(velloranLog) << step.sql << m_error;
            m_db.rollback();
            return false;
        }
        step.rows = query.numRowsAffected();
        query.finish();
    }
    if (!m_db.commit()) {
        m_error = m_db.lastError().text();
        m_db.rollback();
        return false;
    }
    m_summary = tr("brought up to date: %1 rent bills of leases marked, %2 charges linked to the bill that "
                   "posted them")
                    .arg(steps.at(1).rows)
                    .arg(steps.at(2).rows);
    return true;
}
