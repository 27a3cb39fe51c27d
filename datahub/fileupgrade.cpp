#include "datahub/fileupgrade.h"
#include "datahub/debuglog.h"

#include "datahub/frequencystep.h"
#include "datahub/recurmodel.h"

#include <QDebug>
#include <QSqlError>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>
#include <QDate>
#include <QVariant>

#include <algorithm>

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
    reach(AddingColumns);
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
        {Column, "RECUR.CLERKEND", "alter table recur add clerkend date"},
        {Column, "CHARGES.LASTDAY", "alter table charges add lastday date"},
        {Column, "CHARGES.RID", "alter table charges add rid integer"},
        {Table, "DEALTDAYS",
         "create table dealtdays (recid integer not null, apid integer, tid integer, rid integer, fromdate date, "
         "lastday date not null, kind smallint not null)"},
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
        {Index, "IX_CHARGES_RECID", "create index ix_charges_recid on charges (recid)"},
        {Index, "IX_DEALTDAYS_RECID", "create index ix_dealtdays_recid on dealtdays (recid)"},
        {Column, "RECUR.LINE", "alter table recur add line integer"},
        {Column, "RECUR.ADDEDBY", "alter table recur add addedby integer"},
        {Column, "RECUR.DELETEDON", "alter table recur add deletedon date"},
        {Table, "LEASEHISTORY",
         "create table leasehistory (rid integer not null primary key, apid integer, tid integer, firstpay date, "
         "leaseend date, rent double precision default 0, freq integer, deleted smallint default 0)"},
        {Table, "LEASETAKEN", "create table leasetaken (rid integer not null, line integer not null)"},
        {Table, "AGREEDPERIODS",
         "create table agreedperiods (askedby integer not null, tid integer, apid integer, line integer not null, "
         "fordate date not null, lastday date not null, amount double precision default 0, rid integer)"},
        {Trigger, "RECUR_LINE",
         "create trigger recur_line for recur active before insert or update position 1 as begin if "
         "(coalesce(new.leaserent, 0) <> 0) then new.line = 0; else if (new.line is null) then new.line = "
         "coalesce(new.origin, new.recid); end"},
        {Index, "IX_LEASEHISTORY_APID", "create index ix_leasehistory_apid on leasehistory (apid)"},
        {Index, "IX_LEASETAKEN_RID", "create index ix_leasetaken_rid on leasetaken (rid)"},
        {Index, "IX_AGREEDPERIODS_APID", "create index ix_agreedperiods_apid on agreedperiods (apid)"},
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

bool FileUpgrade::keys(QSqlQuery &query, const QString &sql, QList<int> *found)
{
    if (!exec(query, sql))
        return false;
    while (query.next())
        *found << query.value(0).toInt();
    query.finish();
    return true;
}

// Saving a lease under the earliest layout deleted every Rent bill of its apartment and made one anew,
// and deleting a lease deleted its Rent bill. So the lowest-keyed Rent bill of the current lease's
// tenant is that lease's rent bill; one of his made after it can only be the clerk's own. Any other Rent
// bill was added by the clerk after the last lease was saved there (on an apartment whose lease he had
// deleted, say): the earlier release's charge run charged it while it was open and its apartment had
// an agreement row, and so it goes on, until a lease saved on its apartment takes its place. One that
// run did not charge (already ended, or on an apartment with no agreement at all) stays stopped.
bool FileUpgrade::readEarliestBills(QSqlQuery &query, Earliest *earliest)
{
    const QString rent = RecurModel::rentType();
    static const char *const CurrentTenant =
        "exists (select 1 from apartments a join agreements g on g.rid = a.agreeid where a.apid = r.apid "
        "and g.tid = r.tid)";
    // As the earlier release's charge run chose the bills it posted.
    static const char *const Charged =
        "r.completed = 0 and r.apid in (select a.apid from apartments a join agreements t on a.apid = t.apid)";
    if (!exec(query, QStringLiteral("update recur set leaserent = 0 where leaserent is null"))
        || !exec(query, QStringLiteral("update recur set leaserent = 1 where lower(type) = ?"), {rent}))
        return false;
    if (!exec(query,
              QStringLiteral("update recur r set r.leaserent = 0 where r.leaserent = 1 and %1 and r.recid > (select "
                             "min(b.recid) from recur b where b.apid = r.apid and b.tid = r.tid and b.leaserent = 1)")
                  .arg(QLatin1String(CurrentTenant)))
        || !exec(query, QStringLiteral("update recur r set r.rid = (select a.agreeid from apartments a where a.apid = "
                                       "r.apid) where r.leaserent = 1 and %1")
                            .arg(QLatin1String(CurrentTenant)))
        || !keys(query,
                 QStringLiteral("select r.recid from recur r where r.leaserent = 1 and r.rid is null and %1 order by 1")
                     .arg(QLatin1String(Charged)),
                 &earliest->leftCharging)
        || !exec(query, QStringLiteral("update recur r set r.leaserent = 2 where r.leaserent = 1 and r.rid is null and %1")
                            .arg(QLatin1String(Charged)))
        || !keys(query,
                 QStringLiteral("select recid from recur where leaserent = 1 and rid is null and completed is distinct "
                                "from 1 order by 1"),
                 &earliest->stopped)
        || !exec(query, QStringLiteral("update recur set completed = 1 where leaserent = 1 and rid is null"))
        || !exec(query, QStringLiteral("select count(*) from recur where leaserent = 1 and rid is not null"))
        || !query.next())
        return false;
    earliest->rentBills = query.value(0).toInt();
    query.finish();
    return keepDeletedBillsDays(query, &earliest->deletedBills);
}

// A tenant's Rent charges at an apartment beyond all his Rent bills there are those of a lease whose
// bill was deleted: a stopped bill records them as dealt with, to the end of the period of the last of
// them. No charge of this layout names its bill, and a one-time Rent charge (a last month's rent typed
// ahead) must not be read as a deleted bill's: a bill posts one amount on a regular schedule, so a
// charge counts as a bill's only where a charge of the same amount stands one step of the schedule
// before it (the step of the tenant's latest Rent bill there, monthly where he has none). A one-time
// charge dated ahead has no such charge before it; the first charge of a deleted bill has none either,
// but the later ones carry its schedule on, and only the last of them matters. A deleted bill that
// posted a single charge is not told from a one-time charge, and is read as one.
bool FileUpgrade::keepDeletedBillsDays(QSqlQuery &query, int *bills)
{
    const QString rent = RecurModel::rentType();
    using Place = QPair<int, int>;
    struct Reach
    {
        QDate next;
        int freq = 3;
    };
    QHash<Place, Reach> reach;
    if (!exec(query, QStringLiteral("select tid, apid, nextdate, freq from recur where lower(type) = ? and tid is not "
                                    "null and apid is not null and nextdate is not null order by nextdate"),
              {rent}))
        return false;
    while (query.next()) {
        Reach &place = reach[Place(query.value(0).toInt(), query.value(1).toInt())];
        place.next = query.value(2).toDate();
        place.freq = query.value(3).isNull() ? 3 : query.value(3).toInt();
    }

    struct Charge
    {
        QDate date;
        qint64 cents;
    };
    struct Reached
    {
        Place place;
        QVariant amount;
        QDate last;
        int freq;
    };
    QList<Reached> beyond;
    if (!exec(query, QStringLiteral("select tid, apid, fordate, origamount, recid from charges where lower(type) = ? and "
                                    "fordate is not null and tid is not null and apid is not null order by tid, apid, "
                                    "fordate, chid"),
              {rent}))
        return false;
    QList<Charge> earlier;
    Reached found{};
    const auto close = [&]() {
        const Reach place = reach.value(found.place);
        if (found.last.isValid() && !(place.next.isValid() && place.next > found.last))
            beyond << found;
    };
    bool first = true;
    while (query.next()) {
        const Place place(query.value(0).toInt(), query.value(1).toInt());
        if (first || place != found.place) {
            if (!first)
                close();
            first = false;
            earlier.clear();
            const int freq = reach.contains(place) ? reach.value(place).freq : 3;
            found = Reached{place, QVariant(), QDate(), stepOf(freq).isValid() ? freq : 3};
        }
        const Charge charge{query.value(2).toDate(), qRound64(query.value(3).toDouble() * 100)};
        const Step step = stepOf(found.freq);
        // Charges an existing bill posted are its own, dated before where it has reached.
        const bool continues = query.value(4).isNull()
            && std::any_of(earlier.cbegin(), earlier.cend(), [&](const Charge &before) {
                   return before.cents == charge.cents && step.after(before.date) == charge.date;
               });
        if (continues) {
            found.last = charge.date;
            found.amount = query.value(3);
        }
        earlier << charge;
    }
    if (!first)
        close();
    query.finish();

    QSqlQuery insert(m_db);
    if (!insert.prepare(QStringLiteral("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, "
                                       "enddate, perday, tid, completed, apid, leaserent, lastdue) values "
                                       "(gen_id(gen_recur_id, 1), ?, ?, 0, ?, ?, null, ?, 0, ?, 1, ?, 1, ?)"))) {
        m_error = insert.lastError().text();
        return false;
    }
    for (const Reached &reached : qAsConst(beyond)) {
        const QDate next = stepOf(reached.freq).after(reached.last);
        const QVariantList values = {tr("Rent"), reached.amount,           reached.freq,         next,
                                     next,       reached.place.first, reached.place.second, reached.last};
        for (int i = 0; i < values.size(); ++i)
            insert.bindValue(i, values.at(i));
        if (!insert.exec()) {
            m_error = insert.lastError().text();
            qCDebug(velloranLog) << "recording the days of a deleted rent bill" << m_error;
            return false;
        }
    }
    *bills = beyond.size();
    return true;
}

bool FileUpgrade::readFrequencies(QSqlQuery &query)
{
    if (!exec(query, QStringLiteral("select freqid, days from frequency where freqid is not null")))
        return false;
    while (query.next())
        m_frequencyDays.insert(query.value(0).toInt(), query.value(1).toInt());
    query.finish();
    return true;
}

// A built-in frequency steps by the calendar; any other steps by the days of its row, and one without
// days has no step.
FileUpgrade::Step FileUpgrade::stepOf(int frequency) const
{
    const FrequencyStep builtIn = FrequencyStep::builtIn(frequency);
    Step step;
    if (builtIn.isBuiltIn()) {
        step.months = builtIn.months;
        step.days = builtIn.days;
    } else {
        step.days = qMax(0, m_frequencyDays.value(frequency));
    }
    return step;
}

// The end the lease command gave a bill in the layout before: an end earlier than that one is the
// clerk's. The layouts before it kept nothing of the kind: another bill of a lease that ends before the
// lease's rent bill does was ended there by the clerk, since the lease command gave every bill of the
// apartment the lease's end.
bool FileUpgrade::recordClerkEnds(QSqlQuery &query, int found, int *bills)
{
    if (!exec(query, QStringLiteral("update recur set clerkend = enddate where clerkend is null and givenend is not "
                                    "null and enddate < givenend")))
        return false;
    *bills = query.numRowsAffected();
    if (found >= 3)
        return true;
    if (!exec(query, QStringLiteral("update recur r set r.clerkend = r.enddate where r.clerkend is null and "
                                    "r.leaserent = 0 and r.rid is not null and r.enddate < (select max(b.enddate) from "
                                    "recur b where b.rid = r.rid and b.apid = r.apid and b.leaserent = 1)")))
        return false;
    *bills += query.numRowsAffected();
    return true;
}

// A charge a bill posted covers its due date to the day before its next one, a step of the bill's
// frequency from the charge's own date (the earlier releases stepped each due date from the one before),
// and was posted under the lease its bill runs with. Both are set in one pass over the charges, a range
// of bills at a time (each of about a slice of charges, found through the bill's key): each range is
// one statement whatever the frequencies, and the display moves on between them.
bool FileUpgrade::recordPeriods(QSqlQuery &query, int *charges)
{
    const int SliceCharges = 25000;
    *charges = 0;
    QStringList lastDays;
    QSet<int> frequencies;
    for (auto frequency = m_frequencyDays.cbegin(); frequency != m_frequencyDays.cend(); ++frequency)
        frequencies << frequency.key();
    if (!exec(query, QStringLiteral("select distinct freq from recur where freq is not null")))
        return false;
    while (query.next())
        frequencies << query.value(0).toInt();
    query.finish();
    for (int frequency : qAsConst(frequencies)) {
        const Step step = stepOf(frequency);
        if (step.months > 0)
            lastDays << QStringLiteral("when %1 then dateadd(-1 day to dateadd(%2 month to c.fordate))")
                            .arg(frequency)
                            .arg(step.months);
        else if (step.days > 0)
            lastDays << QStringLiteral("when %1 then dateadd(%2 day to c.fordate)").arg(frequency).arg(step.days - 1);
    }
    const QString lastDay = lastDays.isEmpty() ? QStringLiteral("cast(null as date)")
                                               : QStringLiteral("case r.freq %1 end").arg(lastDays.join(QLatin1Char(' ')));

    // The charges still without their days or lease, by bill in key order, and how many of them a
    // step of their bill's frequency gives days.
    struct Slice
    {
        int from = 0;
        int to = 0;
        int charges = 0;
    };
    QList<Slice> slices;
    int total = 0;
    if (!exec(query, QStringLiteral("select r.recid, r.freq, count(*), sum(iif(c.lastday is null and c.fordate is not "
                                    "null, 1, 0)) from charges c join recur r on r.recid = c.recid where c.lastday is "
                                    "null or c.rid is null group by r.recid, r.freq order by r.recid")))
        return false;
    while (query.next()) {
        const int recid = query.value(0).toInt();
        const int count = query.value(2).toInt();
        if (slices.isEmpty() || slices.constLast().charges >= SliceCharges)
            slices << Slice{recid, recid, 0};
        slices.last().to = recid;
        slices.last().charges += count;
        total += count;
        if (!query.value(1).isNull() && stepOf(query.value(1).toInt()).isValid())
            *charges += query.value(3).toInt();
    }
    query.finish();
    if (m_progress)
        m_progress->total = total;
    if (total > 0)
        reach(CountingCharges);
    const QString sql = QStringLiteral("merge into charges c using (select recid, freq, rid from recur where recid "
                                       "between ? and ?) r on c.recid = r.recid when matched and (c.lastday is null or "
                                       "c.rid is null) then update set c.lastday = coalesce(c.lastday, %1), c.rid = "
                                       "coalesce(c.rid, r.rid)")
                            .arg(lastDay);
    if (!query.prepare(sql)) {
        m_error = query.lastError().text();
        qCDebug(velloranLog) << sql << m_error;
        return false;
    }
    for (const Slice &slice : qAsConst(slices)) {
        query.bindValue(0, slice.from);
        query.bindValue(1, slice.to);
        if (!query.exec()) {
            m_error = query.lastError().text();
            qCDebug(velloranLog) << sql << m_error;
            return false;
        }
        if (m_progress)
            m_progress->done += slice.charges;
    }
    return true;
}

// In the layout before, a bill had dealt with the days from its first payment date to the day before
// its next due date, and with every day before that where its first payment date was empty.
bool FileUpgrade::recordDealtDays(QSqlQuery &query, int *bills)
{
    if (!exec(query, QStringLiteral("insert into dealtdays (recid, apid, tid, rid, fromdate, lastday, kind) select "
                                    "r.recid, r.apid, r.tid, r.rid, r.firstpay, dateadd(-1 day to r.nextdate), 4 from "
                                    "recur r where r.nextdate is not null and (r.firstpay is null or r.firstpay < "
                                    "r.nextdate)")))
        return false;
    *bills = query.numRowsAffected();
    return true;
}

// From here on a bill's due dates count from its first payment date. One without it counts from its
// start where its due dates so far are steps of its schedule from there (the k-th taken at once, as
// they are counted now), else from its next due date.
bool FileUpgrade::countFromFirstPayment(QSqlQuery &query, int *fromStart)
{
    struct Bill
    {
        int recid;
        QDate start, next;
        int freq;
    };
    QList<Bill> bills;
    if (!exec(query, QStringLiteral("select recid, startdate, nextdate, freq from recur where firstpay is null and "
                                    "coalesce(nextdate, startdate) is not null")))
        return false;
    while (query.next())
        bills << Bill{query.value(0).toInt(), query.value(1).toDate(), query.value(2).toDate(), query.value(3).toInt()};
    query.finish();
    *fromStart = 0;
    QSqlQuery update(m_db);
    static const char *const SetFirstPay = "update recur set firstpay = ? where recid = ?";
    if (!update.prepare(QLatin1String(SetFirstPay))) {
        m_error = update.lastError().text();
        return false;
    }
    for (const Bill &bill : qAsConst(bills)) {
        QDate first = bill.next.isValid() ? bill.next : bill.start;
        const Step step = stepOf(bill.freq);
        if (bill.start.isValid() && bill.next.isValid() && bill.start <= bill.next && step.isValid()) {
            QDate due = bill.start;
            for (int k = 1; due < bill.next; ++k)
                due = step.after(bill.start, k);
            if (due == bill.next) {
                first = bill.start;
                ++*fromStart;
            }
        }
        update.bindValue(0, first);
        update.bindValue(1, bill.recid);
        if (!update.exec()) {
            m_error = update.lastError().text();
            qCDebug(velloranLog) << SetFirstPay << m_error;
            return false;
        }
    }
    return true;
}

// The facts the billing rule reads, from what the layout before kept: each bill's line, the lease in
// force as saved (with the lines its tenant had taken over), a line the clerk deleted as deleted for
// every tenant, one bill standing for each line (the copies the layout before made for each tenant and
// lease are kept, out of the lists), and the days of an earlier lease agreed to as the periods they hold.
bool FileUpgrade::recordBillingFacts(QSqlQuery &query, int *facts)
{
    const QDate today = QDate::currentDate();
    static const char *const Statements[] = {
        "update recur set leaserent = 0 where leaserent is null",
        "update recur set line = iif(leaserent <> 0, 0, coalesce(origin, recid)) where line is null",
        "insert into leasehistory (rid, apid, tid, firstpay, leaseend, rent, freq, deleted) select g.rid, g.apid, g.tid, "
        "g.nextdate, g.leaseend, g.rent, g.freq, iif(exists (select 1 from apartments a where a.apid = g.apid and "
        "a.agreeid = g.rid), 0, 1) from agreements g where not exists (select 1 from leasehistory h where h.rid = g.rid)",
        // A rent bill of no lease the earliest layout left charging until a lease is saved on its apartment
        // charges as a lease of its tenant in its own terms, saved last, which the next lease takes over.
        "insert into leasehistory (rid, apid, tid, firstpay, leaseend, rent, freq, deleted) select gen_id(gen_agreements_id, "
        "1), r.apid, r.tid, coalesce(r.firstpay, r.startdate), r.enddate, r.amount, r.freq, 0 from recur r where "
        "r.leaserent = 2 and r.completed = 0 and r.recid = (select max(x.recid) from recur x where x.apid = r.apid and "
        "x.leaserent = 2 and x.completed = 0) and not exists (select 1 from leasehistory h where h.apid = r.apid and "
        "h.deleted = 0)",
        "insert into leasetaken (rid, line) select distinct h.rid, r.line from leasehistory h join recur r on r.apid = "
        "h.apid and r.tid = h.tid where h.deleted = 0 and r.line <> 0 and (select f.tid from recur f where f.recid = "
        "r.line) is distinct from h.tid",
        "update recur r set r.deletedon = (select max(d.lastday) from dealtdays d where d.kind = 5 and d.recid = r.line) "
        "where r.line <> 0 and r.deletedon is null and exists (select 1 from dealtdays d where d.kind = 5 and d.recid = "
        "r.line)",
    };
    for (const char *statement : Statements) {
        if (!exec(query, QLatin1String(statement)))
            return false;
        *facts += qMax(0, query.numRowsAffected());
    }
    // Of a line's bills standing, the one of the tenant in force not charging agreed days shows it, else
    // the latest; the others are kept out of the lists from today.
    static const char *const Shown =
        "coalesce((select max(x.recid) from recur x join apartments a on a.apid = x.apid join agreements g on g.rid = "
        "a.agreeid where x.line = r.line and x.apid = r.apid and x.deletedon is null and x.tid = g.tid and not exists "
        "(select 1 from dealtdays d where d.recid = x.recid and d.kind = 3)), (select max(x.recid) from recur x where "
        "x.line = r.line and x.apid = r.apid and x.deletedon is null))";
    if (!exec(query, QStringLiteral("update recur r set r.deletedon = ? where r.line <> 0 and r.deletedon is null and "
                                    "r.recid <> %1")
                         .arg(QLatin1String(Shown)),
              {today}))
        return false;

    // Days agreed to, period by period of the bill that was to charge them.
    struct Days
    {
        int tid, apid, line, rid;
        QDate from, last;
        double amount;
        int freq;
    };
    QList<Days> agreed;
    if (!exec(query, QStringLiteral("select d.tid, d.apid, r.line, d.rid, d.fromdate, d.lastday, r.amount, r.freq from "
                                    "dealtdays d join recur r on r.recid = d.recid where d.kind = 3 and d.fromdate is not "
                                    "null")))
        return false;
    while (query.next())
        agreed.append({query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt(), query.value(3).toInt(),
                       query.value(4).toDate(), query.value(5).toDate(), query.value(6).toDouble(),
                       query.value(7).toInt()});
    query.finish();
    for (const Days &days : qAsConst(agreed)) {
        const Step step = stepOf(days.freq);
        if (!step.isValid())
            continue;
        for (int k = 0; k < 10000; ++k) {
            const QDate due = step.after(days.from, k);
            const QDate last = step.after(days.from, k + 1).addDays(-1);
            if (due > days.last || last > days.last)
                break;
            // Asked when his lease after them was saved: the latest of his here.
            if (!exec(query, QStringLiteral("insert into agreedperiods (askedby, tid, apid, line, fordate, lastday, amount, "
                                            "rid) values (coalesce((select max(h.rid) from leasehistory h where h.apid = ? "
                                            "and h.tid = ?), ?), ?, ?, ?, ?, ?, ?, ?)"),
                      {days.apid, days.tid, days.rid + 1, days.tid, days.apid, days.line, due, last, days.amount,
                       days.rid}))
                return false;
            ++*facts;
        }
    }
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
    reach(found < 2 ? LinkingCharges : ReadingBills);
    if (!readFrequencies(query))
        return fail();
    Earliest earliest;
    int linked = 0;
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
        reach(ReadingBills);
        // Whether a bill has charged is read the safe way round: any charge of its kind before its next
        // due date counts, so that no bill is taken back over a period it may have charged.
        if (!exec(query, QStringLiteral("update recur r set r.lastdue = (select max(c.fordate) from charges c where %1 "
                                        "and c.fordate < r.nextdate) where r.lastdue is null")
                             .arg(QLatin1String(SameKind))))
            return fail();
        // Then the rent bills, after the links: a bill that records a deleted one's days posted nothing.
        if (!readEarliestBills(query, &earliest))
            return fail();
        if (!exec(query, QStringLiteral("select count(*) from cashbooktotals")) || !query.next())
            return fail();
        const bool totalled = query.value(0).toInt() > 0;
        query.finish();
        if (!totalled && !exec(query, QStringLiteral("insert into cashbooktotals (expense, income) select "
                                                     "coalesce(sum(expense), 0), coalesce(sum(income), 0) from cashbook")))
            return fail();
    }
    int clerkEnds = 0, periods = 0, dealt = 0, fromStart = 0, facts = 0;
    if (found < 4) {
        // The bills of each current lease's tenant ran with that lease.
        if (found < 3
            && !exec(query, QStringLiteral("update recur r set r.rid = (select a.agreeid from apartments a join agreements "
                                           "g on g.rid = a.agreeid where a.apid = r.apid and g.tid = r.tid) where r.rid is "
                                           "null and (r.leaserent is distinct from 1 or coalesce(r.completed, 0) = 0)")))
            return fail();
        // What each bill dealt with is read in the layout before's terms, before its first payment date
        // takes its new meaning.
        if (!recordClerkEnds(query, found, &clerkEnds) || !recordPeriods(query, &periods))
            return fail();
        reach(RecordingDays);
        if (!recordDealtDays(query, &dealt) || !countFromFirstPayment(query, &fromStart))
            return fail();
    } else {
        reach(RecordingDays);
    }
    if (!recordBillingFacts(query, &facts) || !exec(query, QStringLiteral("delete from filelevel"))
        || !exec(query, QStringLiteral("insert into filelevel (fileversion) values (?)"), {CurrentVersion}))
        return fail();
    reach(Saving);
    if (!m_db.commit()) {
        m_error = m_db.lastError().text();
        m_db.rollback();
        return false;
    }
    const auto named = [](const QList<int> &bills) {
        QStringList keys;
        for (int recid : bills)
            keys << QString::number(recid);
        return bills.isEmpty() ? QString() : tr(" (bills %1)").arg(keys.join(QStringLiteral(", ")));
    };
    QStringList done;
    if (found < 2)
        done << tr("%1 rent bills of leases marked").arg(earliest.rentBills)
             << tr("%1 rent bills of no lease left charging until a lease is saved on their apartment%2")
                    .arg(earliest.leftCharging.size())
                    .arg(named(earliest.leftCharging))
             << tr("%1 rent bills of former tenants stopped%2").arg(earliest.stopped.size()).arg(named(earliest.stopped))
             << tr("%1 deleted rent bills' days kept").arg(earliest.deletedBills)
             << tr("%1 charges linked to the bill that posted them").arg(linked);
    if (found < 4)
        done << tr("%1 charges given the days they cover and their lease").arg(periods)
             << tr("%1 bills given the end the clerk set").arg(clerkEnds)
             << tr("the days %1 bills dealt with recorded").arg(dealt)
             << tr("%1 bills' due dates counted from their start").arg(fromStart);
    done << tr("%1 leases, lines and agreed periods recorded").arg(facts);
    m_summary = tr("brought up to date: %1").arg(done.join(QStringLiteral(", ")));
    return true;
}
