#include "money/leasewrite.h"

#include "datahub/shortdate.h"
#include "datahub/xdatasource.h"
#include "money/billspans.h"
#include "money/chargeposting.h"

#include <QDate>
#include <QLocale>
#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QtGlobal>

using MC = MoneyCommand;

namespace {

struct Column
{
    const char *name;
    QVariant LeaseWrite::Terms::*value;
    bool money;
};

const Column termColumns[] = {
    {"damage", &LeaseWrite::Terms::damage, true},
    {"rent", &LeaseWrite::Terms::rent, true},
    {"latefee", &LeaseWrite::Terms::lateFee, true},
    {"perday", &LeaseWrite::Terms::perDay, true},
    {"freq", &LeaseWrite::Terms::frequency, false},
    {"firstdue", &LeaseWrite::Terms::firstDue, false},
    {"leaseterm", &LeaseWrite::Terms::leaseTerm, false},
    {"leasestart", &LeaseWrite::Terms::leaseStart, false},
    {"leaseend", &LeaseWrite::Terms::leaseEnd, false},
    {"movein", &LeaseWrite::Terms::moveIn, false},
    {"moveout", &LeaseWrite::Terms::moveOut, false},
    {"notes", &LeaseWrite::Terms::notes, false},
    {"nextdate", &LeaseWrite::Terms::firstPayment, false},
};

// The agreement row itself, with what the editor set.
void writeAgreement(const LeaseWrite::Lease &lease, const QString &failed)
{
    QStringList names = {QStringLiteral("rid"), QStringLiteral("tid"), QStringLiteral("apid")};
    QVariantList values = {lease.agreementId, lease.tenantId, lease.apartmentId};
    for (const Column &column : termColumns) {
        const QVariant value = lease.terms.*column.value;
        if (!value.isValid())
            continue;
        names << QLatin1String(column.name);
        // An amount left empty is none; every amount is kept to the cent.
        values << (column.money ? QVariant(MC::cents(value.toDouble())) : value);
    }
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    MC::exec(QStringLiteral("insert into agreements (%1) values (%2)")
                 .arg(names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
             values, failed);
}

// A recurring bill of the apartment as the command found it.
struct Bill
{
    int recid = 0;
    int tid = 0;
    QVariant type;
    double amount = 0;
    double lateFee = 0;
    double perDay = 0;
    int freq = 0;
    QDate next;
    QDate start;
    QDate end;
    QDate firstPay;
    bool charged = false;
    bool completed = false;
    bool leaseRent = false;
    int rid = -1;
    int origin = -1;
    QDate givenEnd;

    Bill() = default;
    explicit Bill(const QSqlRecord &row)
    {
        const auto date = [&row](const char *name) { return row.value(QLatin1String(name)).toDate(); };
        const auto key = [&row](const char *name) {
            const QVariant value = row.value(QLatin1String(name));
            return value.isNull() ? -1 : value.toInt();
        };
        recid = row.value(QStringLiteral("recid")).toInt();
        tid = row.value(QStringLiteral("tid")).toInt();
        type = row.value(QStringLiteral("type"));
        amount = row.value(QStringLiteral("amount")).toDouble();
        lateFee = row.value(QStringLiteral("latefee")).toDouble();
        perDay = row.value(QStringLiteral("perday")).toDouble();
        freq = row.value(QStringLiteral("freq")).toInt();
        next = date("nextdate");
        start = date("startdate");
        end = date("enddate");
        firstPay = date("firstpay");
        charged = !row.value(QStringLiteral("lastdue")).isNull();
        completed = row.value(QStringLiteral("completed")).toInt() != 0;
        leaseRent = row.value(QStringLiteral("leaserent")).toInt() == 1;
        rid = key("rid");
        origin = key("origin");
        givenEnd = date("givenend");
    }

    // The line of bills this one belongs to: the first bill and those made to charge days it left.
    int line() const { return origin > 0 ? origin : recid; }
    // A bill that never charged and has no first payment date of its own has dealt with nothing.
    BillSpans::Span span() const { return unused() ? BillSpans::Span{} : BillSpans::Span{firstPay, next}; }
    // Has dealt with no day yet, so it may begin wherever the lease says.
    bool unused() const { return !charged && (!firstPay.isValid() || (next.isValid() && next <= firstPay)); }
};

QString dayText(const QDate &day)
{
    return ShortDate::toText(day);
}

QString moneyText(double amount)
{
    return QLocale().toString(amount, 'f', 2);
}

// The bills the command works on, with what it decided for each, written once it has decided.
class BillPlan
{
public:
    BillPlan(int apid, XDataSource *dataSource, const QString &failed)
        : m_apid(apid)
        , m_dataSource(dataSource)
        , m_failed(failed)
    {
        QSqlQuery read = MC::exec(QStringLiteral("select * from recur where apid = ? order by recid"), {apid}, failed);
        while (read.next())
            m_bills << Bill(read.record());
    }

    QList<Bill> &bills() { return m_bills; }

    QDate step(const QDate &from, int freq) const { return nextDueDate(from, freq, m_dataSource); }
    BillSpans::Step stepper(int freq) const
    {
        return [this, freq](const QDate &from) { return step(from, freq); };
    }

    // The end of the lease a bill ran with: its lease's rent bill's end, or the latest end of its
    // tenant's rent bills here.
    QDate leaseEndOf(const Bill &bill) const
    {
        QDate byLease, byTenant;
        for (const Bill &rent : m_bills) {
            if (!rent.leaseRent || !rent.end.isValid())
                continue;
            if (bill.rid > 0 && rent.rid == bill.rid && (!byLease.isValid() || rent.end > byLease))
                byLease = rent.end;
            if (rent.tid == bill.tid && (!byTenant.isValid() || rent.end > byTenant))
                byTenant = rent.end;
        }
        return byLease.isValid() ? byLease : byTenant;
    }
    // A bill the clerk ended stays ended: its end is before the one the lease command gave it, or, for a
    // bill the command never wrote, before its lease's end.
    bool endedByClerk(const Bill &bill) const
    {
        const QDate given = bill.givenEnd.isValid() ? bill.givenEnd : leaseEndOf(bill);
        return bill.end.isValid() && given.isValid() && bill.end < given;
    }

    void exec(const QString &sql, const QVariantList &values) { MC::exec(sql, values, m_failed); }

    // A new bill like `like`, for the days of `run`.
    void insert(const Bill &like, int tid, const BillSpans::Run &run, const QDate &start, int rid, int origin,
                const QDate &givenEnd = QDate())
    {
        exec(QStringLiteral("insert into recur (type, amount, latefee, freq, perday, nextdate, startdate, enddate, "
                            "tid, completed, apid, leaserent, lastdue, firstpay, rid, origin, givenend) "
                            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, null, ?, ?, ?, ?)"),
             {like.type, like.amount, like.lateFee, like.freq, like.perDay, run.first, start, run.lastDay(), tid, m_apid,
              like.leaseRent ? 1 : 0, run.first, rid, origin > 0 ? QVariant(origin) : QVariant(QVariant::Int),
              givenEnd.isValid() ? givenEnd : run.lastDay()});
    }
    // `bill` goes on with the days of `run` in the terms of `terms`, charging `tid` under lease `rid`. A
    // bill the clerk ended keeps the end he gave it as its end, and stays known as ended.
    void resume(const Bill &bill, const Bill &terms, int tid, const BillSpans::Run &run, const QDate &start, int rid,
                const QDate &givenEnd)
    {
        const QDate given = givenEnd.isValid() ? givenEnd : run.lastDay();
        // A bill that has dealt with no day begins where the run does.
        const QDate next = bill.unused() ? run.first : bill.next;
        const QDate firstPay = bill.unused() ? run.first : bill.firstPay;
        exec(QStringLiteral("update recur set type = ?, amount = ?, latefee = ?, freq = ?, perday = ?, nextdate = ?, "
                            "firstpay = ?, startdate = ?, enddate = ?, tid = ?, rid = ?, completed = 0, givenend = ? "
                            "where recid = ?"),
             {terms.type, terms.amount, terms.lateFee, terms.freq, terms.perDay, next,
              firstPay.isValid() ? QVariant(firstPay) : QVariant(QVariant::Date), start, run.lastDay(), tid, rid,
              given, bill.recid});
    }
    void stop(const Bill &bill)
    {
        if (!bill.completed)
            exec(QStringLiteral("update recur set completed = 1 where recid = ?"), {bill.recid});
    }

    // Charges `runs` with the bills of `line` that may go on (the one whose days end where a run
    // begins, or one that has dealt with no day), and new bills of the line for the rest; a bill of the
    // line that goes on with none of them stops where it stands.
    // `givenEnd`, where valid, is the end the lease gave a line the clerk ended earlier: its bills keep it,
    // so that they stay known as ended.
    void charge(const QList<BillSpans::Run> &runs, QList<Bill *> line, const Bill &terms, int tid,
                const QDate &start, int rid, int origin, const QDate &givenEnd = QDate())
    {
        for (const BillSpans::Run &run : runs) {
            Bill *goesOn = nullptr;
            for (Bill *bill : qAsConst(line))
                if (bill->next == run.first && !bill->unused())
                    goesOn = bill;
            for (int i = 0; !goesOn && i < line.size(); ++i)
                if (line.at(i)->unused())
                    goesOn = line.at(i);
            if (goesOn) {
                resume(*goesOn, terms, tid, run, start, rid, givenEnd);
                line.removeOne(goesOn);
            } else {
                insert(terms, tid, run, start, rid, origin, givenEnd);
            }
        }
        // The days they stood to charge are the new bills' now.
        for (Bill *bill : qAsConst(line))
            stop(*bill);
    }

    void postAll()
    {
        // A lease whose days were all dealt with already has no bill of its own to post.
        QSqlQuery bills = MC::exec(QStringLiteral("select * from recur where apid = ?"), {m_apid}, m_failed);
        while (bills.next())
            m_dataSource->postRecurringCharges(bills);
    }

private:
    int m_apid;
    XDataSource *m_dataSource;
    QString m_failed;
    QList<Bill> m_bills;
};

// The days of an earlier lease its rent never reached: from where the bill stopped to the lease's end
// or the new first payment date, whichever comes first.
BillSpans::Span daysLeft(const Bill &bill, const QDate &firstPayment)
{
    if (!bill.end.isValid() || !bill.next.isValid())
        return {};
    // The lease's end is its last day; a period beginning on it is not charged, so it alone is not left.
    const QDate limit = qMin(bill.end.addDays(1), firstPayment);
    return bill.next < limit && bill.next < bill.end ? BillSpans::Span{bill.next, limit} : BillSpans::Span{};
}

// The bill of a line that stands furthest on: the one the line goes on from.
Bill *latest(const QList<Bill *> &of)
{
    Bill *last = nullptr;
    for (Bill *bill : of)
        if (!last || bill->next > last->next || (bill->next == last->next && bill->recid > last->recid))
            last = bill;
    return last;
}

QString frequencyName(int freq)
{
    return MC::value(QStringLiteral("select name from frequency where freqid = ?"), {freq}).toString();
}

} // namespace

MoneyCommand::Result LeaseWrite::save(const Lease &lease, XDataSource *dataSource, const EarlierDays &chargeEarlierDays)
{
    const QString failed = tr("Error creating new rental agreement");
    const MC::Messages messages{tr("Error creating/displaying rental agreement"),
                                tr("Error creating/viewing rental agreement"), tr("Error creating rental agreement")};
    QStringList notices;
    MC::Result result = MC::run(messages, [&]() {
        notices.clear();
        const int apid = lease.apartmentId;
        const int tid = lease.tenantId;
        const int rid = lease.agreementId;
        writeAgreement(lease, failed);
        MC::exec(QStringLiteral("update apartments set agreeid = ? where apid = ?"), {rid, apid}, failed);

        QSqlQuery read = MC::exec(QStringLiteral("select * from agreements where rid = ?"), {rid}, failed);
        if (!read.next())
            throw MC::Stop(QStringLiteral("agreement %1 not found after writing").arg(rid), failed);
        const QSqlRecord agreement = read.record();
        read.finish();
        const QDate leaseStart = agreement.value(QStringLiteral("leasestart")).toDate();
        const QDate leaseEnd = agreement.value(QStringLiteral("leaseend")).toDate();
        const QDate firstPayment = agreement.value(QStringLiteral("nextdate")).toDate();

        BillPlan plan(apid, dataSource, failed);
        QList<Bill> &bills = plan.bills();
        Bill rentTerms;
        rentTerms.type = tr("Rent");
        rentTerms.amount = MC::cents(agreement.value(QStringLiteral("rent")).toDouble());
        rentTerms.lateFee = MC::cents(agreement.value(QStringLiteral("latefee")).toDouble());
        rentTerms.perDay = MC::cents(agreement.value(QStringLiteral("perday")).toDouble());
        rentTerms.freq = agreement.value(QStringLiteral("freq")).toInt();
        rentTerms.leaseRent = true;

        // The tenant's own bills here, by kind: his lease rent, and each line of his other bills. The
        // bills of anyone else stop where they stand.
        QList<Bill *> myRent;
        QMap<int, QList<Bill *>> lines;
        for (Bill &bill : bills) {
            if (bill.leaseRent) {
                if (bill.tid == tid)
                    myRent << &bill;
                else
                    plan.stop(bill);
            } else {
                lines[bill.line()] << &bill;
            }
        }
        BillSpans rentDealt;
        for (const Bill *bill : qAsConst(myRent))
            rentDealt.add(bill->span());

        // Days of his earlier lease that the new one leaves between where its rent stopped and the new
        // first payment date: charged under the earlier terms only where the clerk says so.
        QList<Bill *> keptOn;
        QMap<int, QList<const Bill *>> cutShort;
        QMap<int, BillSpans> lineDealt;
        for (auto line = lines.begin(); line != lines.end(); ++line)
            for (const Bill *bill : qAsConst(line.value()))
                if (bill->tid == tid)
                    lineDealt[line.key()].add(bill->span());
        // A rent bill of his still running charges an earlier lease's days the clerk agreed to: it goes on
        // with them, and so do the bills that run with it; the new lease begins after them.
        QSet<int> keptLeases;
        for (Bill *bill : qAsConst(myRent)) {
            if (bill->completed || bill->rid == rid)
                continue;
            keptOn << bill;
            keptLeases << bill->rid;
            rentDealt.add(bill->next, bill->end.isValid() ? bill->end.addDays(1) : QDate(9999, 12, 31));
        }
        for (auto line = lines.begin(); line != lines.end(); ++line) {
            for (Bill *bill : qAsConst(line.value())) {
                if (bill->tid != tid || bill->completed || !keptLeases.contains(bill->rid))
                    continue;
                keptOn << bill;
                lineDealt[line.key()].add(bill->next, bill->end.isValid() ? bill->end.addDays(1) : QDate(9999, 12, 31));
            }
        }
        for (Bill *earlier : qAsConst(myRent)) {
            if (keptOn.contains(earlier))
                continue;
            const BillSpans::Span left = daysLeft(*earlier, firstPayment);
            if (!left.to.isValid() || rentDealt.dealtWith(left.from))
                continue;
            // The bills that ran with that lease and stopped where it did.
            QList<QPair<Bill *, BillSpans::Span>> with = {{earlier, left}};
            for (auto line = lines.begin(); line != lines.end(); ++line) {
                // Of his bills in the line, the one furthest on of those that ran with it.
                QList<Bill *> his;
                for (Bill *bill : qAsConst(line.value())) {
                    const QDate ranTo = bill->givenEnd.isValid() ? bill->givenEnd : bill->end;
                    if (bill->tid == tid && !keptOn.contains(bill)
                        && ((earlier->rid > 0 && bill->rid == earlier->rid) || ranTo == earlier->end))
                        his << bill;
                }
                Bill *last = latest(his);
                if (!last)
                    continue;
                const BillSpans::Span lineLeft = daysLeft(*last, firstPayment);
                if (lineLeft.to.isValid() && !lineDealt[line.key()].dealtWith(lineLeft.from))
                    with << qMakePair(last, lineLeft);
            }
            const QString question =
                tr("The rent of the tenant's earlier lease here (%1 %2, to %3) has been charged up to %4. This lease "
                   "begins on %5, so the days from %6 to %7 are not charged.\n\nCharge them under the earlier lease, "
                   "with its rent and the bills that ran with it, as they fall due?")
                    .arg(moneyText(earlier->amount), frequencyName(earlier->freq), dayText(earlier->end),
                         dayText(left.from.addDays(-1)), dayText(firstPayment), dayText(left.from),
                         dayText(left.to.addDays(-1)));
            const bool charge = chargeEarlierDays && chargeEarlierDays(question);
            for (const auto &pair : qAsConst(with)) {
                Bill *bill = pair.first;
                BillSpans &dealt = bill->leaseRent ? rentDealt : lineDealt[bill->line()];
                // Left uncharged for good, as a charge forgiven: the bill has dealt with them. One that had
                // dealt with no day begins at them.
                const auto leftUncharged = [&] {
                    if (bill->unused())
                        bill->firstPay = pair.second.from;
                    bill->next = pair.second.to;
                    bill->charged = true;
                    plan.exec(QStringLiteral("update recur set nextdate = ?, firstpay = ? where recid = ?"),
                              {bill->next, bill->firstPay.isValid() ? QVariant(bill->firstPay) : QVariant(QVariant::Date),
                               bill->recid});
                    dealt.add(pair.second);
                };
                if (!charge) {
                    leftUncharged();
                    continue;
                }
                BillSpans bounded = dealt;
                bounded.add(firstPayment, QDate(9999, 12, 31));
                QList<BillSpans::Span> partial;
                const QList<BillSpans::Run> runs =
                    bounded.runs(bill->next, bill->end, plan.stepper(bill->freq), &partial);
                for (const BillSpans::Span &part : qAsConst(partial))
                    notices << tr("%1 from %2 to %3 is less than a whole period and was not charged.")
                                   .arg(bill->type.toString(), dayText(part.from), dayText(part.to.addDays(-1)));
                // Less than a whole period: not charged, as the clerk is told, and not asked about again.
                if (runs.isEmpty() && !partial.isEmpty())
                    leftUncharged();
                if (runs.isEmpty() || runs.first().first != bill->next)
                    continue;
                const BillSpans::Run &run = runs.first();
                // It runs with the earlier lease, for its days alone. One the clerk ended keeps the end the
                // lease gave it, so that it stays known as ended.
                const QDate given = !plan.endedByClerk(*bill) ? run.lastDay()
                                    : bill->givenEnd.isValid() ? bill->givenEnd
                                                               : plan.leaseEndOf(*bill);
                plan.exec(QStringLiteral("update recur set enddate = ?, givenend = ?, rid = ?, completed = 0 where recid = ?"),
                          {run.lastDay(), given, earlier->rid > 0 ? QVariant(earlier->rid) : QVariant(QVariant::Int),
                           bill->recid});
                bill->rid = earlier->rid;
                dealt.add(bill->next, run.lastDay().addDays(1));
                keptOn << bill;
                // Cut short of the end the clerk gave it: the days after are the new lease's, and the bill
                // that charges them carries his end from now on.
                if (given != run.lastDay() && bill->end > run.lastDay())
                    cutShort[bill->line()] << bill;
            }
        }
        // A bill kept on for the earlier lease's days charges those alone: the new terms get another.
        for (Bill *bill : qAsConst(keptOn))
            myRent.removeOne(bill);

        // The new lease's rent: every day it holds that none of his rent bills dealt with.
        QList<BillSpans::Span> partial;
        plan.charge(rentDealt.runs(firstPayment, leaseEnd, plan.stepper(rentTerms.freq), &partial), myRent, rentTerms,
                    tid, leaseStart, rid, -1);
        for (const BillSpans::Span &part : qAsConst(partial))
            notices << tr("Rent from %1 to %2 is less than a whole period and was not charged.")
                           .arg(dayText(part.from), dayText(part.to.addDays(-1)));

        // Each line of the apartment's other bills: his own go on where they stand; a line he has no bill
        // of goes over to him only where the leaver still had it running.
        for (auto line = lines.begin(); line != lines.end(); ++line) {
            QList<Bill *> mine, others;
            for (Bill *bill : qAsConst(line.value()))
                (bill->tid == tid ? mine : others) << bill;
            for (Bill *bill : qAsConst(others))
                plan.stop(*bill);
            if (!mine.isEmpty()) {
                QList<Bill *> goOn = mine;
                for (Bill *bill : qAsConst(keptOn))
                    goOn.removeOne(bill);
                const Bill *last = latest(goOn.isEmpty() ? mine : goOn);
                // Ended by the clerk, the line charges the days the new lease holds up to the end he gave it.
                QDate to = leaseEnd;
                for (const Bill *bill : qAsConst(mine))
                    if (plan.endedByClerk(*bill) && (to.isValid() ? bill->end < to : true))
                        to = bill->end;
                const QDate from = last->start.isValid() ? qMax(firstPayment, last->start) : firstPayment;
                QList<BillSpans::Span> left;
                const QList<BillSpans::Run> runs = lineDealt[line.key()].runs(from, to, plan.stepper(last->freq), &left);
                plan.charge(runs, goOn, *last, tid, last->start.isValid() ? last->start : leaseStart, rid, line.key(),
                            to != leaseEnd ? leaseEnd : QDate());
                // The clerk's end now stands on the bill charging up to it; one cut short before it ends
                // where it stopped, as the lease command ended it.
                if (!runs.isEmpty() && to != leaseEnd)
                    for (const Bill *bill : cutShort.value(line.key()))
                        plan.exec(QStringLiteral("update recur set givenend = enddate where recid = ?"), {bill->recid});
                for (const BillSpans::Span &part : qAsConst(left))
                    notices << tr("%1 from %2 to %3 is less than a whole period and was not charged.")
                                   .arg(last->type.toString(), dayText(part.from), dayText(part.to.addDays(-1)));
                continue;
            }
            const Bill *source = latest(others);
            if (!source || plan.endedByClerk(*source))
                continue;
            const QDate from = source->start.isValid() ? qMax(firstPayment, source->start) : firstPayment;
            // His own begins on his first payment date, or where the leaver's was to begin.
            plan.insert(*source, tid, BillSpans::Run{from, leaseEnd, false}, from, rid, line.key());
        }

        plan.postAll();
        return rid;
    });
    if (result.ok())
        result.message = notices.join(QLatin1Char('\n'));
    return result;
}

MoneyCommand::Result LeaseWrite::remove(int apartmentId, int agreementId)
{
    const QString failed = tr("Error deleting rental agreement");
    return MC::run({failed, failed, failed}, [&]() {
        MC::exec(QStringLiteral("delete from agreements where apid = ? and rid = ?"), {apartmentId, agreementId});
        MC::exec(QStringLiteral("update apartments set agreeid = -1 where apid = ?"), {apartmentId});
        // Its rent bill keeps where it stands, for the tenant's next lease to take up. A bill charging an
        // earlier lease's days that the clerk agreed to goes on with them.
        MC::exec(QStringLiteral("update recur set completed = 1 where apid = ? and leaserent = 1 and (rid = ? or rid is "
                                "null)"),
                 {apartmentId, agreementId});
        return agreementId;
    });
}

MoneyCommand::Result LeaseWrite::billEnded(int recid)
{
    const QString failed = tr("Error ending the recurring bill");
    return MC::run({failed, failed, failed}, [&]() {
        QSqlQuery read = MC::exec(QStringLiteral("select * from recur where recid = ?"), {recid}, failed);
        if (!read.next())
            return recid;
        const Bill ended(read.record());
        const QVariant apid = read.value(QStringLiteral("apid"));
        read.finish();
        if (!ended.end.isValid())
            return recid;
        // The bills of its line, as the lease command links them: the first and those carrying it on.
        MC::exec(QStringLiteral("update recur set enddate = ?, completed = iif(nextdate > ?, 1, completed) where "
                                "apid = ? and tid = ? and recid <> ? and (recid = ? or origin = ?) and completed = 0 "
                                "and leaserent is distinct from 1 and enddate > ?"),
                 {ended.end, ended.end, apid, ended.tid, recid, ended.line(), ended.line(), ended.end}, failed);
        return recid;
    });
}

