#include "ledgercheck.h"

#include <QDate>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>

namespace {

// Money is stored as doubles: two amounts are the same when they agree to the cent.
#define DIFFERS(a, b) "abs((" a ") - (" b ")) >= 0.005"
#define PAYMENTS_OF_CHARGE "(select sum(p.amount) from payments p where p.chid = c.chid)"
#define PAYMENTS_OF_TRANS "(select sum(p.amount) from payments p where p.transid = t.transid)"
#define INCOME_OF_TRANS "(select sum(c.income) from cashbook c where c.transid = t.transid)"
#define INCOME_OF_TRANS_ON_APARTMENT                                                                             \
    "(select sum(d.income) from cashbook d where d.transid = c.transid and d.apid is not distinct from c.apid)"
#define PAID_ON_APARTMENT                                                                                        \
    "(select sum(p.amount) from payments p join charges h on h.chid = p.chid join trans t on t.transid = "     \
    "p.transid where p.transid = c.transid and (case when coalesce(h.apid, -1) < 0 then t.apid else h.apid "   \
    "end) is not distinct from c.apid)"

// The day after the period a bill's charge covers: its date stepped once by the bill's frequency
// (weeks, months and years by the calendar, the office's own frequencies by their days), or the bill's
// next charge where that comes sooner (a lease taken up in other terms made its periods shorter).
#define FREQUENCY_STEP(c, r)                                                                                     \
    "(case " r ".freq when 1 then dateadd(14 day to " c ".fordate) when 2 then dateadd(6 month to " c           \
    ".fordate) when 3 then dateadd(1 month to " c ".fordate) when 4 then dateadd(3 month to " c ".fordate) "    \
    "when 5 then dateadd(7 day to " c ".fordate) when 6 then dateadd(1 year to " c ".fordate) when 7 then "     \
    "dateadd(2 year to " c ".fordate) when 8 then dateadd(3 year to " c ".fordate) when 9 then dateadd(5 year " \
    "to " c ".fordate) else dateadd(coalesce((select f.days from frequency f where f.freqid = " r ".freq), 0) " \
    "day to " c ".fordate) end)"
struct Rule
{
    const char *text;
    // What names the row that breaks the rule.
    const char *row;
    // The values shown with it, "label=expression" or a plain column, separated by '|'.
    const char *values;
    // The rows that break it.
    const char *from;
};

const Rule rules[] = {
    {"a charge's amt + paid is its origamount", "'charge ' || chid", "amt|paid|origamount",
     "charges where " DIFFERS("amt + paid", "origamount")},
    {"a charge's paid is the sum of its payments", "'charge ' || c.chid", "paid=c.paid|payments=" PAYMENTS_OF_CHARGE,
     "charges c where " DIFFERS("c.paid", "coalesce(" PAYMENTS_OF_CHARGE ", 0)")},
    {"a charge owes and applies nothing below 0, and applies no more than it owes", "'charge ' || chid",
     "amt|applied|paid|origamount",
     "charges where amt < -0.005 or applied < -0.005 or paid < -0.005 or origamount < -0.005 "
     "or applied > amt + 0.005"},
    {"a payment names an existing charge", "'payment ' || payid", "chid",
     "payments p where not exists (select 1 from charges c where c.chid = p.chid)"},
    {"a payment names an existing transaction", "'payment ' || payid", "transid",
     "payments p where not exists (select 1 from trans t where t.transid = p.transid)"},
    {"a transaction's total is cash + check + card", "'trans ' || transid", "paytotal|cash|mycheck|ccard",
     "trans where " DIFFERS("paytotal", "coalesce(cash, 0) + coalesce(mycheck, 0) + coalesce(ccard, 0)")},
    {"a transaction's total is the sum of its payments", "'trans ' || t.transid",
     "paytotal=t.paytotal|payments=" PAYMENTS_OF_TRANS,
     "trans t where " DIFFERS("t.paytotal", "coalesce(" PAYMENTS_OF_TRANS ", 0)")},
    {"a transaction's total is the cashbook income carrying its key", "'trans ' || t.transid",
     "paytotal=t.paytotal|income=" INCOME_OF_TRANS,
     "trans t where " DIFFERS("t.paytotal", "coalesce(" INCOME_OF_TRANS ", 0)")},
    // A charge made for no apartment is booked where the payment is.
    {"a payment's cashbook income on an apartment is what it paid on that apartment's charges",
     "'cashbook ' || c.accid", "transid=c.transid|apid=c.apid|income=" INCOME_OF_TRANS_ON_APARTMENT
     "|paid=" PAID_ON_APARTMENT,
     "cashbook c where c.transid is not null and " DIFFERS(INCOME_OF_TRANS_ON_APARTMENT,
                                                          "coalesce(" PAID_ON_APARTMENT ", 0)")},
    {"the cashbook's totals are those of its entries, one row of them", "'totals'", "expense|income",
     "cashbooktotals t where (select count(*) from cashbooktotals) <> 1 or "
     DIFFERS("t.expense", "(select coalesce(sum(expense), 0) from cashbook)") " or "
     DIFFERS("t.income", "(select coalesce(sum(income), 0) from cashbook)")},
    {"a cashbook entry posted by a payment names an existing transaction", "'cashbook ' || accid", "transid|income",
     "cashbook c where c.transid is not null and not exists (select 1 from trans t where t.transid = c.transid)"},
    {"an open charge names an existing tenant", "'charge ' || chid", "tid|amt",
     "charges c where (amt > 0.005 or applied > 0.005) and not exists (select 1 from tenants t where t.tid = c.tid)"},
    {"a deposit names an existing tenant", "'deposit ' || depid", "tid|amount",
     "deposits d where not exists (select 1 from tenants t where t.tid = d.tid)"},
    {"an apartment names an existing tenant or none", "'apartment ' || apid", "tid",
     "apartments a where coalesce(a.tid, -1) <> -1 and not exists (select 1 from tenants t where t.tid = a.tid)"},
    {"a lease names an existing tenant", "'agreement ' || rid", "tid",
     "agreements g where not exists (select 1 from tenants t where t.tid = g.tid)"},
    {"a recurring bill names an existing tenant", "'recur ' || recid", "tid",
     "recur r where not exists (select 1 from tenants t where t.tid = r.tid)"},
    {"a cashbook entry names an existing category", "'cashbook ' || accid", "catid",
     "cashbook c where not exists (select 1 from categories k where k.catid = c.catid)"},
    {"a cashbook entry names an existing vendor or none", "'cashbook ' || accid", "vid",
     "cashbook c where coalesce(c.vid, -1) > 0 and not exists (select 1 from vendors v where v.vid = c.vid)"},
    {"a maintenance item names an existing vendor or none", "'maintenance ' || id", "vendor",
     "maintenance m where coalesce(m.vendor, -1) > 0 and not exists (select 1 from vendors v where v.vid = m.vendor)"},
    // A charge a bill posted names the bill: no bill charges one of its periods twice to a tenant (at a
    // turnover the leaver and the newcomer may each pay a period of the same line). One-time charges
    // name none, and may look like a bill's period (a month's rent paid up front).
    {"no bill charges the same period twice", "'charge ' || c.chid", "recid|tid|apid|origamount",
     "charges c where c.recid is not null and (select count(*) from charges d where d.recid = c.recid "
     "and d.fordate = c.fordate and d.tid is not distinct from c.tid) > 1"},
    // Once an apartment is let again, the rent that still runs is the new lease's tenant's, no longer
    // the one whose lease was deleted. Another line keeps its bill whoever it charges.
    {"the running rent of a let apartment is its lease's tenant's", "'recur ' || r.recid",
     "tid=r.tid|lease tenant=g.tid",
     "recur r join apartments a on a.apid = r.apid join agreements g on g.rid = a.agreeid "
     "where r.leaserent = 1 and r.completed = 0 and r.tid is distinct from g.tid"},
    {"no rent is negative", "'apartment ' || apid", "rent", "apartments where rent < 0"},
    {"no rent is negative", "'recur ' || recid", "amount", "recur where amount < 0"},
    {"no rent is negative", "'agreement ' || rid", "rent", "agreements where rent < 0"},
};

// Every money column, by table and key.
const struct
{
    const char *table;
    const char *key;
    const char *columns;
} moneyColumns[] = {
    {"charges", "chid", "amt|applied|paid|origamount|latefeeflat|perday"},
    {"trans", "transid", "ccard|mycheck|cash|paytotal|duetotal|applied"},
    {"payments", "payid", "amount"},
    {"cashbook", "accid", "expense|income"},
    {"deposits", "depid", "amount"},
    {"apartments", "apid", "rent"},
    {"recur", "recid", "amount|latefee|perday"},
    {"agreements", "rid", "damage|rent|latefee|perday"},
    {"maintenance", "id", "cost"},
};

const int kMostValues = 6;

struct Check
{
    QString text;
    QStringList labels;
};

struct Statement
{
    QString sql;
    QList<Check> checks;
};

// One statement for every rule, so that the check costs one round trip: the rule's number, the row,
// then its values, padded with nulls.
Statement build()
{
    QList<Check> checks;
    QStringList selects;
    const auto add = [&](const QString &text, const QString &row, const QString &values, const QString &from) {
        Check check{text, {}};
        QStringList columns{QString::number(checks.size()), QStringLiteral("cast(%1 as varchar(40))").arg(row)};
        for (const QString &value : values.split(QLatin1Char('|'))) {
            const int equals = value.indexOf(QLatin1Char('='));
            check.labels << (equals < 0 ? value : value.left(equals));
            columns << QStringLiteral("cast(%1 as double precision)").arg(equals < 0 ? value : value.mid(equals + 1));
        }
        while (columns.size() < kMostValues + 2)
            columns << QStringLiteral("cast(null as double precision)");
        selects << QStringLiteral("select %1 from %2").arg(columns.join(QStringLiteral(", ")), from);
        checks << check;
    };
    for (const Rule &rule : rules)
        add(QLatin1String(rule.text), QLatin1String(rule.row), QLatin1String(rule.values), QLatin1String(rule.from));
    for (const auto &money : moneyColumns) {
        QStringList offCent;
        for (const QString &column : QString::fromLatin1(money.columns).split(QLatin1Char('|')))
            offCent << QStringLiteral("abs(%1 * 100 - round(%1 * 100)) > 0.0001").arg(column);
        add(QStringLiteral("money is kept to the cent"),
            QStringLiteral("'%1 ' || %2").arg(QLatin1String(money.table), QLatin1String(money.key)),
            QLatin1String(money.columns),
            QStringLiteral("%1 where %2").arg(QLatin1String(money.table), offCent.join(QStringLiteral(" or "))));
    }
    return {selects.join(QStringLiteral(" union all ")), checks};
}

const Statement &statement()
{
    static const Statement built = build();
    return built;
}

// A tenant's rent is charged once a day at an apartment, whichever of his rent bills charged it: each
// charge of a lease's rent bill covers its period. A one-time charge of type Rent names no bill.
// One pass over his rent charges there in date order: a charge breaks the rule when it begins before
// the furthest day the charges before it reach.
QStringList rentDaysChargedTwice(const QSqlDatabase &db)
{
    const char *const text = "no day of a tenant's rent at an apartment is charged twice";
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // A charge that records its period covers just that; an older one the period of its bill's frequency.
    if (!query.exec(QStringLiteral("select c.chid, c.tid, r.apid, c.recid, c.fordate, coalesce(dateadd(1 day to "
                                   "c.lastday), " FREQUENCY_STEP("c", "r") ")"
                                   " from charges c join recur r on r.recid = c.recid where r.leaserent = 1 "
                                   "order by c.tid, r.apid, c.fordate, c.chid")))
        return {QStringLiteral("the check \"%1\" could not run: %2").arg(QLatin1String(text), query.lastError().text())};
    struct Charge
    {
        int chid, tid, apid, recid;
        QDate from, to;
    };
    QList<Charge> charges;
    QHash<int, QList<QDate>> datesOfBill;
    while (query.next()) {
        charges << Charge{query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt(),
                          query.value(3).toInt(), query.value(4).toDate(), query.value(5).toDate()};
        datesOfBill[charges.last().recid] << charges.last().from;
    }
    for (QList<QDate> &dates : datesOfBill)
        std::sort(dates.begin(), dates.end());
    QStringList found;
    const Charge *reach = nullptr;
    for (Charge &charge : charges) {
        const QList<QDate> &dates = datesOfBill[charge.recid];
        const auto next = std::upper_bound(dates.cbegin(), dates.cend(), charge.from);
        if (next != dates.cend() && *next < charge.to)
            charge.to = *next;
        if (reach && (reach->tid != charge.tid || reach->apid != charge.apid))
            reach = nullptr;
        if (reach && charge.from < reach->to)
            found << QStringLiteral("%1: charge %2 (tid %3, apid %4, recid %5, other charge %6)")
                         .arg(QLatin1String(text))
                         .arg(charge.chid)
                         .arg(charge.tid)
                         .arg(charge.apid)
                         .arg(charge.recid)
                         .arg(reach->chid);
        if (!reach || reach->to < charge.to)
            reach = &charge;
    }
    return found;
}

} // namespace

QStringList LedgerCheck::breaches(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(statement().sql))
        return {QStringLiteral("the ledger check could not run: %1").arg(query.lastError().text())};
    QStringList found;
    while (query.next()) {
        const Check &check = statement().checks.at(query.value(0).toInt());
        QStringList values;
        for (int i = 0; i < check.labels.size(); ++i) {
            const QVariant value = query.value(i + 2);
            values << QStringLiteral("%1 %2").arg(check.labels.at(i), value.isNull() ? QStringLiteral("null")
                                                                                       : QString::number(value.toDouble(), 'g', 12));
        }
        found << QStringLiteral("%1: %2 (%3)").arg(check.text, query.value(1).toString().trimmed(),
                                                   values.join(QStringLiteral(", ")));
    }
    return found + rentDaysChargedTwice(db);
}

QStringList LedgerCheck::snapshot(const QSqlDatabase &db)
{
    static const char *const tables[] = {"charges", "payments", "trans", "cashbook", "categories", "deposits",
                                         "tenants", "apartments", "agreements", "recur", "vendors", "maintenance",
                                         "cashbooktotals"};
    QStringList rows;
    for (const char *table : tables) {
        QSqlQuery query(db);
        query.exec(QStringLiteral("select * from %1 order by 1").arg(QLatin1String(table)));
        while (query.next()) {
            const QSqlRecord record = query.record();
            QStringList values;
            for (int i = 0; i < record.count(); ++i)
                values << record.value(i).toString();
            rows << QLatin1String(table) + QLatin1Char(' ') + values.join(QLatin1Char('|'));
        }
    }
    return rows;
}
