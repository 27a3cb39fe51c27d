#include "money/billingstore.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "money/moneycommand.h"

#include <QLocale>
#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

using MC = MoneyCommand;

namespace {

// dealtdays.kind
enum DealtKind { Forgiven = 1, BeforeLayout = 4 };

qint64 toCents(const QVariant &amount)
{
    return qRound64(amount.toDouble() * 100.0);
}

double toAmount(qint64 cents)
{
    return double(cents) / 100.0;
}

QVariant orNull(const QDate &day)
{
    return day.isValid() ? QVariant(day) : QVariant(QVariant::Date);
}

QString dayText(const QDate &day)
{
    return ShortDate::toText(day);
}

QString moneyText(qint64 cents)
{
    return QLocale().toString(toAmount(cents), 'f', 2);
}

} // namespace

BillingStore::BillingStore(int apid)
{
    *this = load({apid}).value(apid);
    m_apid = apid;
}

void BillingStore::reload()
{
    const int apid = m_apid;
    *this = load({apid}).value(apid);
    m_apid = apid;
}

QHash<int, BillingStore> BillingStore::load(const QList<int> &apartments)
{
    // One apartment is read by its key; many by reading each table once, as the run needs nearly all.
    const bool one = apartments.size() == 1;
    const QVariantList values = one ? QVariantList{apartments.first()} : QVariantList();
    const auto where = [one](const char *column) {
        return one ? QStringLiteral("%1 = ?").arg(QLatin1String(column)) : QStringLiteral("1 = 1");
    };
    const QSet<int> wanted(apartments.cbegin(), apartments.cend());
    QHash<int, BillingStore> stores;
    for (int apid : apartments)
        stores[apid].m_apid = apid;
    const auto store = [&stores](int apid) -> BillingStore & { return stores[apid]; };
    const auto skip = [&wanted](const QVariant &apid) { return !wanted.contains(apid.toInt()); };

    QHash<int, int> frequencyDays;
    QSqlQuery read = MC::read(QStringLiteral("select freqid, days from frequency where freqid > 9"));
    while (read.next())
        frequencyDays.insert(read.value(0).toInt(), read.value(1).toInt());

    // An agreement written without the lease command (a file's own rows) is a lease saved, in force.
    read = MC::read(QStringLiteral("select rid, apid, tid, firstpay, leaseend, rent, freq, deleted from leasehistory where "
                                   "%1 union all select g.rid, g.apid, g.tid, g.nextdate, g.leaseend, g.rent, g.freq, 0 "
                                   "from agreements g where %2 and not exists (select 1 from leasehistory h where h.rid = "
                                   "g.rid) order by 1")
                        .arg(where("apid"),
                             where("g.apid")),
                    values + values);
    while (read.next()) {
        if (skip(read.value(1)))
            continue;
        BillingRule::Lease lease;
        lease.id = read.value(0).toInt();
        lease.tenant = read.value(2).toInt();
        lease.firstPay = read.value(3).toDate();
        lease.end = read.value(4).toDate();
        lease.cents = toCents(read.value(5));
        lease.freq = read.value(6).toInt();
        lease.deleted = read.value(7).toInt() != 0;
        store(read.value(1).toInt()).m_facts.leases.append(lease);
    }
    read = MC::read(QStringLiteral("select h.apid, t.rid, t.line from leasetaken t join leasehistory h on h.rid = t.rid "
                                   "where %1")
                        .arg(where("h.apid")),
                    values);
    while (read.next()) {
        if (skip(read.value(0)))
            continue;
        for (BillingRule::Lease &lease : store(read.value(0).toInt()).m_facts.leases) {
            if (lease.id == read.value(1).toInt())
                lease.takenLines.append(read.value(2).toInt());
        }
    }

    // The bills, and of each line the bill that shows it: the last one standing, else the last one.
    read = MC::read(QStringLiteral("select r.apid, r.recid, r.line, r.tid, coalesce(r.addedby, f.tid, r.tid), r.amount, "
                                   "r.freq, r.startdate, r.clerkend, r.deletedon, r.type, r.latefee, r.perday, r.nextdate, "
                                   "r.completed, r.lastdue from recur r left join recur f on f.recid = r.line where %1 order by "
                                   "r.recid")
                        .arg(where("r.apid")),
                    values);
    QHash<int, QMap<int, BillingRule::Line>> linesOf;
    QHash<int, int> lineOfBill;
    while (read.next()) {
        if (skip(read.value(0)))
            continue;
        BillingStore &s = store(read.value(0).toInt());
        Bill bill;
        bill.recid = read.value(1).toInt();
        bill.line = read.value(2).toInt();
        bill.tid = read.value(3).toInt();
        bill.type = read.value(10).toString();
        bill.lateFee = read.value(11).toDouble();
        bill.perDay = read.value(12).toDouble();
        bill.next = read.value(13).toDate();
        bill.completed = read.value(14).toInt() != 0;
        bill.lastDue = bill.storedLastDue = read.value(15).toDate();
        const QDate deletedOn = read.value(9).toDate();
        bill.live = !deletedOn.isValid();
        s.m_bills.append(bill);
        lineOfBill.insert(bill.recid, bill.line);
        if (bill.line == BillingRule::RentLine)
            continue;
        QMap<int, BillingRule::Line> &lines = linesOf[s.m_apid];
        const bool known = lines.contains(bill.line);
        BillingRule::Line &line = lines[bill.line];
        // A bill standing shows its line over any deleted one.
        if (known && !line.deletedOn.isValid() && !bill.live)
            continue;
        line.id = bill.line;
        line.tenant = read.value(4).toInt();
        line.cents = toCents(read.value(5));
        line.freq = read.value(6).toInt();
        line.start = read.value(7).toDate();
        line.clerkEnd = read.value(8).toDate();
        line.deletedOn = deletedOn;
    }
    for (auto it = linesOf.cbegin(); it != linesOf.cend(); ++it)
        stores[it.key()].m_facts.lines = it.value().values();

    // The charges are most of what a run reads: their line is their bill's, looked up here, and a run,
    // which tells nothing of them, leaves their amounts and leases unread.
    read = MC::read(QStringLiteral("select c.apid, c.tid, c.recid, c.fordate, c.lastday%1 from charges c where c.recid is "
                                   "not null and c.lastday is not null and %2")
                        .arg(one ? QStringLiteral(", c.amt, c.rid") : QString(), where("c.apid")),
                    values);
    while (read.next()) {
        if (skip(read.value(0)))
            continue;
        const auto line = lineOfBill.constFind(read.value(2).toInt());
        if (line == lineOfBill.cend())
            continue;
        store(read.value(0).toInt())
            .m_facts.charges.append({read.value(1).toInt(), line.value(), read.value(3).toDate(), read.value(4).toDate(),
                                     one ? toCents(read.value(5)) : 0, one ? read.value(6).toInt() : 0, false});
    }
    read = MC::read(QStringLiteral("select d.apid, d.tid, r.line, d.fromdate, d.lastday, d.kind, d.rid from dealtdays d join "
                                   "recur r on r.recid = d.recid where d.kind in (%1, %2) and %3")
                        .arg(Forgiven)
                        .arg(BeforeLayout)
                        .arg(where("d.apid")),
                    values);
    while (read.next()) {
        if (skip(read.value(0)))
            continue;
        BillingRule::Facts &facts = store(read.value(0).toInt()).m_facts;
        if (read.value(5).toInt() == Forgiven)
            facts.charges.append({read.value(1).toInt(), read.value(2).toInt(), read.value(3).toDate(),
                                  read.value(4).toDate(), 0, read.value(6).toInt(), true});
        else
            facts.dealt.append({read.value(1).toInt(), read.value(2).toInt(), read.value(3).toDate(), read.value(4).toDate()});
    }
    read = MC::read(QStringLiteral("select apid, askedby, tid, line, fordate, lastday, amount, rid from agreedperiods where "
                                   "%1 order by fordate")
                        .arg(where("apid")),
                    values);
    while (read.next()) {
        if (skip(read.value(0)))
            continue;
        store(read.value(0).toInt())
            .m_facts.agreed.append({read.value(1).toInt(), read.value(2).toInt(), read.value(3).toInt(),
                                    read.value(4).toDate(), read.value(5).toDate(), toCents(read.value(6)),
                                    read.value(7).toInt()});
    }
    for (BillingStore &s : stores)
        s.m_facts.frequencyDays = frequencyDays;
    return stores;
}

int BillingStore::rowOf(int line, int tenant) const
{
    int found = 0;
    int score = -1;
    for (const Bill &bill : m_bills) {
        if (bill.line != line)
            continue;
        // His own bill standing, else any standing, else his own, else any; the latest of them.
        const int s = (bill.live ? 2 : 0) + (bill.tid == tenant ? 1 : 0);
        if (s >= score) {
            score = s;
            found = bill.recid;
        }
    }
    return found;
}

QString BillingStore::typeOf(int line, int tenant) const
{
    const int recid = rowOf(line, tenant);
    for (const Bill &bill : m_bills) {
        if (bill.recid == recid)
            return bill.type;
    }
    return QString();
}

void BillingStore::write(const QList<BillingRule::Charge> &charges)
{
    if (charges.isEmpty())
        return;
    Statements &statements = prepared();
    for (const BillingRule::Charge &charge : charges) {
        int recid = rowOf(charge.line, charge.tenant);
        // A lease whose rent no bill shows (an agreement the file was given without one) gets its own.
        if (!recid && charge.line == BillingRule::RentLine)
            recid = addRentBill(charge.tenant, charge.lease);
        Bill *bill = nullptr;
        for (Bill &b : m_bills) {
            if (b.recid == recid)
                bill = &b;
        }
        if (!bill)
            throw MC::Stop(QStringLiteral("no bill shows line %1 of apartment %2").arg(charge.line).arg(m_apid));
        const double amount = toAmount(charge.cents);
        statements.insertCharges.add({charge.tenant, m_apid, bill->type, amount, charge.due, bill->lateFee, bill->perDay,
                                      recid, charge.lastDay,
                                      charge.lease > 0 ? QVariant(charge.lease) : QVariant(QVariant::Int)});
        m_facts.charges.append(charge);
        if (!bill->lastDue.isValid() || bill->lastDue < charge.due)
            bill->lastDue = charge.due;
    }
    // A run writes its charges in batches across apartments; a command, before anything reads them.
    if (!m_running)
        statements.insertCharges.flush();
}

BillingStore::Statements &BillingStore::prepared()
{
    if (!m_statements) {
        m_statements = std::make_shared<Statements>();
        m_statements->insertCharges.row = [](int i) {
            return std::make_pair(QStringLiteral("t%1 integer = ?, a%1 integer = ?, y%1 varchar(80) = ?, m%1 double precision "
                                                 "= ?, f%1 date = ?, l%1 double precision = ?, p%1 double precision = ?, r%1 "
                                                 "integer = ?, d%1 date = ?, g%1 integer = ?")
                                      .arg(i),
                                  QStringLiteral("insert into charges (tid, apid, type, amt, applied, fordate, paid, "
                                                 "origamount, latefeeflat, perday, memo, recid, lastday, rid) values (:t%1, "
                                                 ":a%1, :y%1, :m%1, 0, :f%1, 0, :m%1, :l%1, :p%1, '', :r%1, :d%1, :g%1);")
                                      .arg(i));
        };
        m_statements->updateBills.row = [](int i) {
            return std::make_pair(QStringLiteral("n%1 date = ?, c%1 smallint = ?, l%1 date = ?, r%1 integer = ?").arg(i),
                                  QStringLiteral("update recur set nextdate = :n%1, completed = :c%1, lastdue = :l%1 where "
                                                 "recid = :r%1;")
                                      .arg(i));
        };
    }
    return *m_statements;
}

// Rows are written a batch at a time, as one block the engine runs without a return to the program
// between them: a run writes tens of thousands.
void BillingStore::Batched::add(const QVariantList &values)
{
    pending.append(values);
    if (pending.size() == Batch)
        flush();
}

void BillingStore::Batched::flush()
{
    while (!pending.isEmpty()) {
        const int rows = pending.size() >= Batch ? Batch : 1;
        QSqlQuery &statement = rows == Batch ? batch : one;
        if (statement.lastQuery().isEmpty()) {
            QStringList parameters;
            QStringList statements;
            for (int i = 0; i < rows; ++i) {
                const auto [declared, written] = row(i);
                parameters << declared;
                statements << written;
            }
            statement = MC::prepare(QStringLiteral("execute block (%1) as begin %2 end")
                                        .arg(parameters.join(QStringLiteral(", ")), statements.join(QLatin1Char(' '))));
        }
        QVariantList values;
        for (int i = 0; i < rows; ++i)
            values += pending.at(i);
        MC::exec(statement, values);
        pending.erase(pending.begin(), pending.begin() + rows);
    }
}

int BillingStore::addRentBill(int tenant, int leaseId)
{
    const BillingRule::Lease *lease = rule().lease(leaseId);
    const int recid = MC::nextKey("GEN_RECUR_ID");
    MC::exec(QStringLiteral("insert into recur (recid, type, amount, freq, startdate, enddate, firstpay, nextdate, rid, tid, "
                            "apid, completed, leaserent, line) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 1, 0)"),
             {recid, tr("Rent"), lease ? toAmount(lease->cents) : 0.0, lease ? lease->freq : 3,
              orNull(lease ? lease->firstPay : QDate()), orNull(lease ? lease->end : QDate()),
              orNull(lease ? lease->firstPay : QDate()), orNull(lease ? lease->firstPay : QDate()),
              leaseId > 0 ? QVariant(leaseId) : QVariant(QVariant::Int), tenant, m_apid});
    Bill bill;
    bill.recid = recid;
    bill.line = BillingRule::RentLine;
    bill.tid = tenant;
    bill.type = tr("Rent");
    bill.next = lease ? lease->firstPay : QDate();
    m_bills.append(bill);
    return recid;
}

QDate BillingStore::stoppedAt(int line, int tenant, const QDate &shown) const
{
    // A bill that has charged all it will shows the day after the last its tenant's charges of its line
    // cover, as it did when its charges moved it on; one that charged nothing keeps what it showed.
    QDate last;
    for (const BillingRule::Charge &charge : m_facts.charges) {
        if (charge.line == line && charge.tenant == tenant && charge.lastDay.isValid()
            && (!last.isValid() || charge.lastDay > last))
            last = charge.lastDay;
    }
    return last.isValid() ? last.addDays(1) : shown;
}

void BillingStore::writeRows()
{
    const BillingRule billing = rule();
    const QList<BillingRule::Row> rows = billing.rows();
    const BillingRule::Lease *inForce = billing.leaseInForce();
    for (Bill &bill : m_bills) {
        if (!bill.live)
            continue;
        QDate next = bill.next;
        bool completed = true;
        for (const BillingRule::Row &row : rows) {
            if (row.line != bill.line || rowOf(row.line, row.tenant) != bill.recid)
                continue;
            // A line with no schedule to walk (no first due date, a frequency without a step) is left as
            // it stands: it has not charged all it will, it cannot charge at all.
            const BillingRule::Line *line = billing.line(row.line);
            if (line || inForce) {
                const QDate anchor = line ? line->start : inForce->firstPay;
                if (!anchor.isValid() || !billing.step(anchor, line ? line->freq : inForce->freq, 1).isValid()) {
                    completed = bill.completed;
                    break;
                }
            }
            completed = row.completed;
            next = row.nextDate.isValid() ? row.nextDate : stoppedAt(row.line, row.tenant, bill.next);
            break;
        }
        if (next == bill.next && completed == bill.completed && bill.lastDue == bill.storedLastDue)
            continue;
        prepared().updateBills.add({orNull(next), completed ? 1 : 0, orNull(bill.lastDue), bill.recid});
        bill.next = next;
        bill.completed = completed;
        bill.storedLastDue = bill.lastDue;
    }
    if (!m_running && m_statements)
        m_statements->updateBills.flush();
}

int BillingStore::postDue(const QDate &today)
{
    const QList<BillingRule::Charge> due = rule().due(today);
    write(due);
    writeRows();
    return due.size();
}

int BillingStore::postAhead(int periods, const QDate &today)
{
    const int due = postDue(today);
    const QList<BillingRule::Charge> ahead = rule().ahead(periods);
    write(ahead);
    return due + ahead.size() + postDue(today);
}

QStringList BillingStore::leaseSaved(int rid, int tid, const QDate &firstPay, const QDate &end, double rent, int freq,
                                     const Ask &ask)
{
    MC::exec(QStringLiteral("update leasehistory set deleted = 1 where apid = ? and deleted = 0"), {m_apid});
    for (BillingRule::Lease &lease : m_facts.leases)
        lease.deleted = true;

    BillingRule::Lease lease;
    lease.id = rid;
    lease.tenant = tid;
    lease.firstPay = firstPay;
    lease.end = end;
    lease.cents = toCents(rent);
    lease.freq = freq;
    lease.takenLines = rule().takenOver(lease);
    MC::exec(QStringLiteral("insert into leasehistory (rid, apid, tid, firstpay, leaseend, rent, freq, deleted) values "
                            "(?, ?, ?, ?, ?, ?, ?, 0)"),
             {rid, m_apid, tid, orNull(firstPay), orNull(end), toAmount(lease.cents), freq});
    for (int line : qAsConst(lease.takenLines))
        MC::exec(QStringLiteral("insert into leasetaken (rid, line) values (?, ?)"), {rid, line});
    m_facts.leases.append(lease);

    const QList<BillingRule::Agreed> asked = rule().question(rid);
    if (!asked.isEmpty() && ask && ask(question(asked))) {
        for (const BillingRule::Agreed &agreed : asked) {
            MC::exec(QStringLiteral("insert into agreedperiods (askedby, tid, apid, line, fordate, lastday, amount, rid) "
                                    "values (?, ?, ?, ?, ?, ?, ?, ?)"),
                     {agreed.askedBy, agreed.tenant, m_apid, agreed.line, agreed.due, agreed.lastDay,
                      toAmount(agreed.cents), agreed.lease});
            m_facts.agreed.append(agreed);
        }
    }
    QStringList notices = told(rid);

    // Other tenants' charges on the days this lease holds: both pay them, unless the clerk forgives them.
    QMap<int, QList<BillingRule::Charge>> others;
    for (const BillingRule::Charge &charge : rule().overlaps(rid))
        others[charge.tenant].append(charge);
    for (auto it = others.cbegin(); it != others.cend(); ++it) {
        QDate from = it.value().first().due;
        QDate to = it.value().first().lastDay;
        qint64 cents = 0;
        for (const BillingRule::Charge &charge : it.value()) {
            from = qMin(from, charge.due);
            to = qMax(to, charge.lastDay);
            cents += charge.cents;
        }
        const QString name =
            MC::value(QStringLiteral("select trim(coalesce(firstname, '') || ' ' || coalesce(lastname, '')) from tenants "
                                     "where tid = ?"),
                      {it.key()})
                .toString();
        notices << tr("%1 has been charged %2 - %3, %4, days this lease holds.")
                       .arg(name, dayText(from), dayText(to), moneyText(cents));
    }
    return notices;
}

QString BillingStore::question(const QList<BillingRule::Agreed> &asked) const
{
    // Each line with its days, its periods joined where they follow one another.
    QMap<int, QList<BillingRule::Agreed>> byLine;
    for (const BillingRule::Agreed &agreed : asked)
        byLine[agreed.line].append(agreed);
    QStringList lines;
    QDate firstPay;
    for (const BillingRule::Lease &lease : m_facts.leases) {
        if (!asked.isEmpty() && lease.id == asked.first().askedBy)
            firstPay = lease.firstPay;
    }
    for (auto it = byLine.cbegin(); it != byLine.cend(); ++it) {
        const QString type = typeOf(it.key(), asked.first().tenant);
        QStringList spans;
        QDate from;
        QDate to;
        qint64 cents = 0;
        for (const BillingRule::Agreed &agreed : it.value()) {
            cents += agreed.cents;
            if (from.isValid() && to.addDays(1) == agreed.due) {
                to = agreed.lastDay;
                continue;
            }
            if (from.isValid())
                spans << tr("%1 to %2").arg(dayText(from), dayText(to));
            from = agreed.due;
            to = agreed.lastDay;
        }
        spans << tr("%1 to %2").arg(dayText(from), dayText(to));
        lines << tr("%1: %2, %3").arg(type, spans.join(QStringLiteral(", ")), moneyText(cents));
    }
    return tr("The tenant's earlier lease here leaves days that have not been charged and that no charge covers:\n%1\n"
              "This lease begins on %2, so they are not charged.\n\nCharge them under the earlier lease, with its terms, "
              "as they fall due?")
        .arg(lines.join(QLatin1Char('\n')), dayText(firstPay));
}

QStringList BillingStore::told(int rid) const
{
    QStringList notices;
    for (const BillingRule::Told &told : rule().told(rid)) {
        const QString type = typeOf(told.line, rule().lease(rid)->tenant);
        notices << tr("%1 from %2 to %3 is less than a whole period and was not charged.")
                       .arg(type, dayText(told.from), dayText(told.lastDay));
    }
    return notices;
}

void BillingStore::leaseDeleted()
{
    MC::exec(QStringLiteral("update leasehistory set deleted = 1 where apid = ? and deleted = 0"), {m_apid});
    for (BillingRule::Lease &lease : m_facts.leases)
        lease.deleted = true;
}

void BillingStore::billSaved(int recid, bool added)
{
    QSqlQuery read = MC::exec(QStringLiteral("select enddate, line, tid, amount, freq from recur where recid = ?"), {recid});
    if (!read.next())
        return;
    const QDate typedEnd = read.value(0).toDate();
    const int line = read.value(1).isNull() ? recid : read.value(1).toInt();
    const QVariant amount = read.value(3);
    const QVariant freq = read.value(4);
    const QVariant tid = read.value(2);
    read.finish();
    const BillingRule::Lease *inForce = rule().leaseInForce();
    if (line == BillingRule::RentLine) {
        // The rent bill shows the lease's terms: what the clerk sets on it is the lease's.
        if (inForce && inForce->tenant == tid.toInt())
            MC::exec(QStringLiteral("update leasehistory set rent = ?, freq = ? where rid = ?"),
                     {MC::cents(amount.toDouble()), freq, inForce->id});
        return;
    }
    const QDate clerks = BillingRule::clerksEnd(typedEnd, inForce ? inForce->end : QDate());
    if (added)
        MC::exec(QStringLiteral("update recur set line = ?, addedby = tid, clerkend = ? where recid = ?"),
                 {line, orNull(clerks), recid});
    else
        MC::exec(QStringLiteral("update recur set clerkend = ? where recid = ?"), {orNull(clerks), recid});
}

void BillingStore::lineDeleted(int recid, const QDate &today)
{
    const QVariant line = MC::value(QStringLiteral("select line from recur where recid = ?"), {recid});
    if (line.isNull() || line.toInt() == BillingRule::RentLine)
        return;
    MC::exec(QStringLiteral("update recur set deletedon = ? where apid = ? and line = ? and deletedon is null"),
             {today, m_apid, line});
}

void BillingStore::chargeForgiven(int chid)
{
    MC::exec(QStringLiteral("insert into dealtdays (recid, apid, tid, rid, fromdate, lastday, kind) select recid, apid, "
                            "tid, rid, fordate, lastday, ? from charges where chid = ? and recid is not null and lastday "
                            "is not null"),
             {Forgiven, chid});
    MC::exec(QStringLiteral("delete from charges where chid = ?"), {chid});
}

void BillingStore::around(int apid, const std::function<void(BillingStore &)> &act, bool postFirst)
{
    BillingStore store(apid);
    const QDate today = Today::date();
    if (postFirst)
        store.postDue(today);
    act(store);
    store.reload();
    store.postDue(today);
}

int BillingStore::chargeAhead(int tid, int periods, const QDate &today)
{
    QList<int> apartments;
    QSqlQuery leases = MC::exec(QStringLiteral("select distinct apid from agreements where tid = ?"), {tid});
    while (leases.next())
        apartments << leases.value(0).toInt();
    leases.finish();
    int posted = 0;
    for (int apid : qAsConst(apartments))
        posted += BillingStore(apid).postAhead(periods, today);
    return posted;
}

int BillingStore::apartmentOfBill(int recid)
{
    return MC::value(QStringLiteral("select apid from recur where recid = ?"), {recid}, -1).toInt();
}

int BillingStore::postOffice(const QDate &today, const std::function<void(int, int)> &progress)
{
    // The apartments with something due: a bill standing whose next date has come, or days a tenant
    // agreed to have charged.
    const QString due = QStringLiteral(
        "select r.apid from recur r where r.completed = 0 and r.deletedon is null and r.nextdate <= ? union select "
        "g.apid from agreedperiods g where g.fordate <= ?");
    QList<int> found;
    QSqlQuery read = MC::read(due, {today, today});
    while (read.next())
        found << read.value(0).toInt();
    read.finish();
    const QHash<int, BillingStore> stores = found.isEmpty() ? QHash<int, BillingStore>() : load(found);
    QList<int> apartments = stores.keys();
    std::sort(apartments.begin(), apartments.end());
    int posted = 0;
    int done = 0;
    // One set of statements, prepared once, for the whole run.
    std::shared_ptr<Statements> statements;
    for (int apid : qAsConst(apartments)) {
        BillingStore store = stores.value(apid);
        store.m_statements = statements;
        store.m_running = true;
        posted += store.postDue(today);
        statements = store.m_statements;
        if (progress)
            progress(++done, apartments.size());
    }
    if (statements) {
        statements->insertCharges.flush();
        statements->updateBills.flush();
    }
    return posted;
}
