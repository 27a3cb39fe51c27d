#include "leasedays.h"

#include "billingoracle.h"

#include "datahub/today.h"

#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <iterator>

namespace {

qint64 cents(const QVariant &amount)
{
    return qRound64(amount.toDouble() * 100);
}

QString shown(const QList<bool> &asked)
{
    QStringList answers;
    for (bool one : asked)
        answers << (one ? QStringLiteral("asked") : QStringLiteral("not"));
    return answers.join(QLatin1Char(','));
}

} // namespace

int LeaseDays::lineOf(int apid, int recid, const QSqlDatabase &db) const
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("select line from recur where recid = %1").arg(recid));
    const int line = query.next() ? query.value(0).toInt() : -recid;
    return line == 0 ? 0 : apartments.value(apid).lines.value(line, -line);
}

void LeaseDays::add(int apid, ClerkAct act)
{
    apartments[apid].acts << act;
}

void LeaseDays::load(const QSqlDatabase &db)
{
    apartments.clear();
    // The books stand as the bills left them on the day before their first next date still to come.
    QMap<int, QDate> lastDue;
    QSqlQuery query(db);
    query.exec(QStringLiteral("select apid, min(nextdate) from recur where completed = 0 and deletedon is null group by apid"));
    while (query.next())
        lastDue.insert(query.value(0).toInt(), qMin(Today::date(), query.value(1).toDate().addDays(-1)));
    const auto onDay = [&](int apid, ClerkAct::Kind kind) {
        ClerkAct act;
        act.kind = kind;
        act.today = lastDue.value(apid, Today::date());
        return act;
    };
    // Every lease saved, in order; a lease entered without a record of it is one saved in its terms.
    query.exec(QStringLiteral("select apid, rid, tid, firstpay, leaseend, rent, freq, deleted from leasehistory union all "
                              "select apid, rid, tid, nextdate, leaseend, rent, freq, 0 from agreements g where not "
                              "exists (select 1 from leasehistory h where h.rid = g.rid) order by 2"));
    while (query.next()) {
        const int apid = query.value(0).toInt();
        ClerkAct act = onDay(apid, ClerkAct::SaveLease);
        act.tenant = query.value(2).toInt();
        act.firstPay = query.value(3).toDate();
        act.end = query.value(4).toDate();
        act.cents = cents(query.value(5));
        act.freq = query.value(6).toInt();
        leaseSaved(apid, query.value(1).toInt(), {act.tenant, act.cents, act.freq, act.firstPay, act.end}, false,
                   false, act.today);
        if (query.value(7).toInt() != 0)
            leaseDeleted(apid, act.today);
    }
    // Each line's first bill, as the clerk set it up.
    query.exec(QStringLiteral("select r.apid, r.line, r.tid, r.amount, r.freq, r.startdate, r.clerkend, r.enddate, "
                              "r.deletedon from recur r where r.line = r.recid and r.line > 0 order by r.line"));
    while (query.next()) {
        const int apid = query.value(0).toInt();
        Apartment &here = apartment(apid);
        ClerkAct act = onDay(apid, ClerkAct::AddLine);
        act.tenant = query.value(2).toInt();
        act.cents = cents(query.value(3));
        act.freq = query.value(4).toInt();
        act.start = query.value(5).toDate();
        // No end of the clerk's: it runs with the lease in force.
        act.end = query.value(6).toDate();
        const bool withLease = !act.end.isValid() && here.inForce;
        for (const ClerkAct &saved : qAsConst(here.acts))
            if (withLease && saved.kind == ClerkAct::SaveLease)
                act.end = saved.end;
        if (!act.end.isValid())
            act.end = query.value(7).toDate();
        here.lines.insert(query.value(1).toInt(), here.lines.size() + 1);
        add(apid, act);
        if (!query.value(8).isNull()) {
            ClerkAct gone = onDay(apid, ClerkAct::DeleteLine);
            gone.line = here.lines.size();
            add(apid, gone);
        }
    }
    // What the bills dealt with before the books began, and the charges forgiven.
    query.exec(QStringLiteral("select r.apid, d.tid, r.recid, d.fromdate, d.lastday, d.kind from dealtdays d join recur r "
                              "on r.recid = d.recid where d.kind in (1, 4)"));
    while (query.next()) {
        const int apid = query.value(0).toInt();
        const int line = lineOf(apid, query.value(2).toInt(), db);
        if (query.value(5).toInt() == 4) {
            apartment(apid).beforeTheBooks << Dealt{query.value(1).toInt(), line, query.value(3).toDate(),
                                                    query.value(4).toDate()};
            continue;
        }
        ClerkAct act = onDay(apid, ClerkAct::Forgive);
        act.tenant = query.value(1).toInt();
        act.line = line;
        act.due = query.value(3).toDate();
        add(apid, act);
    }
}

void LeaseDays::leaseDeleted(int apid, const QDate &today)
{
    Apartment &here = apartment(apid);
    if (!here.inForce)
        return;
    ClerkAct act;
    act.kind = ClerkAct::DeleteLease;
    act.today = today;
    add(apid, act);
    here.inForce = false;
}

void LeaseDays::leaseSaved(int apid, int rid, const Terms &lease, bool yes, bool asked, const QDate &today)
{
    Apartment &here = apartment(apid);
    ClerkAct act;
    act.kind = ClerkAct::SaveLease;
    act.today = today;
    act.tenant = lease.tid;
    act.cents = lease.cents;
    act.freq = lease.freq;
    act.firstPay = lease.firstPayment;
    act.end = lease.end;
    act.yes = yes;
    add(apid, act);
    here.leases << rid;
    here.rents << lease.cents;
    here.asked << asked;
    here.inForce = true;
}

void LeaseDays::billAdded(int apid, int tid, qint64 cents, int freq, const QDate &start, const QDate &end, int recid,
                          const QDate &today)
{
    Apartment &here = apartment(apid);
    QSqlQuery query;
    query.exec(QStringLiteral("select line from recur where recid = %1").arg(recid));
    const int line = query.next() ? query.value(0).toInt() : -recid;
    if (!here.lines.contains(line))
        here.lines.insert(line, here.lines.size() + 1);
    ClerkAct act;
    act.kind = ClerkAct::AddLine;
    act.today = today;
    act.tenant = tid;
    act.cents = cents;
    act.freq = freq;
    act.start = start;
    act.end = end;
    add(apid, act);
}

void LeaseDays::billEdited(int apid, int recid, qint64 cents, int freq, const QDate &start, const QDate &end,
                           const QDate &today)
{
    ClerkAct act;
    act.kind = ClerkAct::EditLine;
    act.today = today;
    act.line = lineOf(apid, recid);
    act.cents = cents;
    act.freq = freq;
    act.start = start;
    act.end = end;
    add(apid, act);
}

void LeaseDays::forgiven(int apid, int tid, int recid, const QDate &due, const QDate &today)
{
    ClerkAct act;
    act.kind = ClerkAct::Forgive;
    act.today = today;
    act.tenant = tid;
    act.line = lineOf(apid, recid);
    act.due = due;
    add(apid, act);
}

void LeaseDays::chargeRun(const QDate &today)
{
    ClerkAct act;
    act.today = today;
    for (Apartment &here : apartments)
        here.acts << act;
}

void LeaseDays::posted(int apid, const QDate &today)
{
    ClerkAct act;
    act.today = today;
    add(apid, act);
}

void LeaseDays::rentAdjusted(const QList<int> &changed, bool byAmount, qint64 hundredths, const QDate &today)
{
    for (int apid : changed) {
        Apartment &here = apartment(apid);
        if (!here.inForce)
            continue;
        qint64 &rent = here.rents.last();
        // Rounded half away from zero, in whole cents.
        const qint64 scaled = rent * (10000 + hundredths);
        rent = byAmount ? rent + hundredths : scaled >= 0 ? (scaled + 5000) / 10000 : -((-scaled + 5000) / 10000);
        ClerkAct act;
        act.kind = ClerkAct::AdjustRent;
        act.today = today;
        act.cents = rent;
        add(apid, act);
    }
}

QStringList LeaseDays::breaches(int onlyApid, const QSqlDatabase &db)
{
    // The books: every charge a bill posted, and those forgiven (their amounts not kept).
    QMap<int, QList<ClerkCharge>> booked;
    QSqlQuery query(db);
    query.exec(QStringLiteral("select r.apid, c.tid, r.line, c.fordate, c.lastday, c.origamount, c.rid, 0 from charges c "
                              "join recur r on r.recid = c.recid union all select r.apid, d.tid, r.line, d.fromdate, "
                              "d.lastday, 0, d.rid, 1 from dealtdays d join recur r on r.recid = d.recid where d.kind = 1"));
    while (query.next()) {
        const int apid = query.value(0).toInt();
        if (onlyApid > 0 && apid != onlyApid)
            continue;
        const Apartment &here = apartments[apid];
        const int line = query.value(2).toInt();
        ClerkCharge charge;
        charge.tenant = query.value(1).toInt();
        charge.line = line == 0 ? 0 : here.lines.value(line, -line);
        charge.due = query.value(3).toDate();
        charge.lastDay = query.value(4).toDate();
        charge.cents = cents(query.value(5));
        charge.lease = int(here.leases.indexOf(query.value(6).toInt())) + 1;
        charge.forgiven = query.value(7).toInt() != 0;
        booked[apid] << charge;
    }
    QStringList found;
    for (auto here = apartments.begin(); here != apartments.end(); ++here) {
        if (onlyApid > 0 && here.key() != onlyApid)
            continue;
        Apartment &apartment = here.value();
        if (apartment.replayed != apartment.acts.size()) {
            apartment.promised = BillingOracle::replay(apartment.acts);
            apartment.replayed = int(apartment.acts.size());
        }
        QList<ClerkCharge> promised;
        for (ClerkCharge charge : qAsConst(apartment.promised.charges)) {
            const bool dealt = std::any_of(apartment.beforeTheBooks.cbegin(), apartment.beforeTheBooks.cend(), [&](const Dealt &d) {
                return d.tid == charge.tenant && d.line == charge.line && !(charge.due > d.lastDay)
                       && !(d.from.isValid() && charge.due < d.from);
            });
            if (charge.forgiven)
                charge.cents = 0;
            if (!dealt)
                promised << charge;
        }
        QList<ClerkCharge> charged = booked.value(here.key());
        std::sort(promised.begin(), promised.end());
        std::sort(charged.begin(), charged.end());
        QStringList wrong;
        QList<ClerkCharge> extra, missing;
        std::set_difference(charged.cbegin(), charged.cend(), promised.cbegin(), promised.cend(), std::back_inserter(extra));
        std::set_difference(promised.cbegin(), promised.cend(), charged.cbegin(), charged.cend(), std::back_inserter(missing));
        for (const ClerkCharge &c : qAsConst(extra))
            wrong << QStringLiteral("charged, not promised: ") + c.toString();
        for (const ClerkCharge &c : qAsConst(missing))
            wrong << QStringLiteral("promised, not charged: ") + c.toString();
        if (apartment.asked != apartment.promised.asked)
            wrong << QStringLiteral("the question asked at each lease saved: %1, promised %2")
                         .arg(shown(apartment.asked), shown(apartment.promised.asked));
        if (wrong.isEmpty())
            continue;
        QStringList acts;
        for (const ClerkAct &act : qAsConst(apartment.acts))
            acts << act.toString();
        for (const QString &what : qAsConst(wrong))
            found << QStringLiteral("apartment %1, %2").arg(here.key()).arg(what);
        found << QStringLiteral("apartment %1's acts: %2").arg(here.key()).arg(acts.join(QStringLiteral("; ")));
    }
    return found;
}
