#include "money/leasewrite.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
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

#include <tuple>

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

// recur.leaserent: a lease's rent bill, or an older file's Rent bill that no lease made (it charges
// until a lease is saved on its apartment, which takes its place).
enum RentKind { OtherBill = 0, LeaseRent = 1, OlderRent = 2 };
// dealtdays.kind
enum DealtKind { ChargeCovers = 0, Forgiven = 1, Declined = 2, Agreed = 3, BeforeLayout = 4, LineDeleted = 5 };
// The line of the apartment's rent; the other lines are keyed by their first bill.
const int RentLine = 0;
const QDate Never(9999, 12, 31);

QVariant orNull(const QDate &day)
{
    return day.isValid() ? QVariant(day) : QVariant(QVariant::Date);
}

QVariant orNull(int key)
{
    return key > 0 ? QVariant(key) : QVariant(QVariant::Int);
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
    QDate clerkEnd;
    bool completed = false;
    int rentKind = OtherBill;
    int rid = -1;
    int origin = -1;

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
        clerkEnd = date("clerkend");
        completed = row.value(QStringLiteral("completed")).toInt() != 0;
        rentKind = row.value(QStringLiteral("leaserent")).toInt();
        rid = key("rid");
        origin = key("origin");
    }

    bool rent() const { return rentKind != OtherBill; }
    int line() const { return rent() ? RentLine : origin > 0 ? origin : recid; }
    // The first day of its periods.
    QDate begin() const { return firstPay.isValid() ? firstPay : start.isValid() ? start : next; }
    // The day it ends on: the clerk's end where he gave an earlier one.
    QDate lastDay() const { return clerkEnd.isValid() && (!end.isValid() || clerkEnd < end) ? clerkEnd : end; }
};

// Days a line dealt with: a charge's period, or days the clerk forgave or answered for.
struct Dealt
{
    int recid = 0;
    int tid = 0;
    int rid = -1;
    BillSpans::Span days;
    int kind = ChargeCovers;
};

// What the command knows of the apartment: its bills and the ledger of each line, and the writes.
class Apartment
{
public:
    Apartment(int apid, XDataSource *dataSource, const QString &failed)
        : m_apid(apid)
        , m_dataSource(dataSource)
        , m_failed(failed)
    {
        QSqlQuery read = MC::exec(QStringLiteral("select * from recur where apid = ? order by recid"), {apid}, failed);
        while (read.next())
            bills << Bill(read.record());
        read = MC::exec(QStringLiteral("select recid, tid, rid, fordate, lastday, 0 from charges where apid = ? and "
                                       "recid is not null and lastday is not null union all select recid, tid, rid, "
                                       "fromdate, lastday, kind from dealtdays where apid = ?"),
                        {apid, apid}, failed);
        while (read.next()) {
            const QVariant rid = read.value(2);
            m_dealt << Dealt{read.value(0).toInt(), read.value(1).toInt(), rid.isNull() ? -1 : rid.toInt(),
                             BillSpans::Span{read.value(3).toDate(), read.value(4).toDate().addDays(1)},
                             read.value(5).toInt()};
        }
        for (const Bill &bill : qAsConst(bills))
            m_lineOf.insert(bill.recid, bill.line());
    }

    QList<Bill> bills;

    // The first day each lease of `tid` here dealt with or is to charge, by lease: where a later lease
    // of his took over.
    QMap<int, QDate> leaseBegins(int tid) const
    {
        QMap<int, QDate> begins;
        const auto note = [&begins](int rid, const QDate &day) {
            if (rid > 0 && day.isValid() && (!begins.contains(rid) || day < begins.value(rid)))
                begins.insert(rid, day);
        };
        for (const Dealt &dealt : m_dealt)
            if (dealt.tid == tid)
                note(dealt.rid, dealt.days.from);
        for (const Bill &bill : bills)
            if (bill.tid == tid)
                note(bill.rid, bill.begin());
        return begins;
    }

    // Whether the bill charges days of an earlier lease the clerk agreed to have charged.
    bool agreed(const Bill &bill) const
    {
        for (const Dealt &dealt : m_dealt)
            if (dealt.kind == Agreed && dealt.recid == bill.recid)
                return true;
        return false;
    }

    // The days of `line` the ledger settles for a lease of `tid` whose first payment date is `from`:
    // every charge and forgiven charge of the line, except the periods of another tenant's begun before
    // `from`, which do not put off a newcomer's first period.
    BillSpans owedAround(int line, int tid, const QDate &from) const
    {
        return covered(line, [&](const Dealt &dealt) {
            // What was dealt with before the books began was, whoever held the apartment then.
            return dealt.kind == BeforeLayout
                   || ((dealt.kind == ChargeCovers || dealt.kind == Forgiven)
                       && (dealt.tid == tid || (dealt.days.from.isValid() && dealt.days.from >= from)));
        });
    }
    // The days of `line` an earlier lease `rid` has nothing more to ask about: charged or forgiven for
    // whichever tenant, declined under that lease, or still to be charged by a bill of its agreed days.
    BillSpans answeredFor(int line, int rid) const
    {
        BillSpans spans = covered(line, [&](const Dealt &dealt) {
            return dealt.kind != Agreed && (dealt.kind != Declined || dealt.rid == rid);
        });
        for (const Bill &bill : bills)
            if (bill.line() == line && bill.rid == rid && !bill.completed && bill.end.isValid() && agreed(bill))
                spans.add(bill.next, bill.end.addDays(1));
        return spans;
    }
    // Whether the clerk ended `bill` before the end of the lease it ran under: its line stops there.
    bool endedByClerk(const Bill &bill) const
    {
        if (!bill.clerkEnd.isValid() || bill.rid <= 0)
            return false;
        for (const Bill &rent : bills)
            if (rent.rentKind == LeaseRent && rent.rid == bill.rid && rent.tid == bill.tid && rent.end.isValid())
                return bill.clerkEnd < rent.end;
        return false;
    }
    // The tenant whose charge of `line` reaches furthest; -1 where it has charged nobody.
    int lastCharged(int line) const
    {
        // A bill the clerk deleted names its line; the line was its tenant's when he deleted it.
        const Dealt *last = nullptr;
        for (const Dealt &dealt : m_dealt)
            if (((dealt.kind == ChargeCovers && m_lineOf.value(dealt.recid, -1) == line)
                 || (dealt.kind == LineDeleted && dealt.recid == line))
                && (!last || last->days.to < dealt.days.to))
                last = &dealt;
        return last ? last->tid : -1;
    }
    // The days of an earlier lease the clerk agreed to have charged by `bill`.
    QList<BillSpans::Span> agreedDays(const Bill &bill) const
    {
        QList<BillSpans::Span> days;
        for (const Dealt &dealt : m_dealt)
            if (dealt.kind == Agreed && dealt.recid == bill.recid)
                days << dealt.days;
        return days;
    }

    BillSpans::Step stepper(int freq, const QDate &first = QDate()) const
    {
        return [this, freq, first](const QDate &runFirst, const QDate &from) {
            return dueDateAfter(from, first.isValid() ? first : runFirst, freq, m_dataSource);
        };
    }

    void exec(const QString &sql, const QVariantList &values) { MC::exec(sql, values, m_failed); }

    // A new bill with the terms of `terms`, for the days of `run`; its key.
    int insert(const Bill &terms, int tid, const BillSpans::Run &run, int rid)
    {
        const int recid = MC::nextKey("GEN_RECUR_ID");
        exec(QStringLiteral("insert into recur (recid, type, amount, latefee, freq, perday, nextdate, startdate, "
                            "enddate, tid, completed, apid, leaserent, lastdue, firstpay, rid, origin, clerkend) "
                            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, ?, null, ?, ?, ?, ?)"),
             {recid, terms.type, terms.amount, terms.lateFee, terms.freq, terms.perDay, run.first, orNull(terms.start),
              orNull(run.lastDay()), tid, m_apid, terms.rent() ? LeaseRent : OtherBill, run.first, orNull(rid),
              orNull(terms.line()), orNull(terms.clerkEnd)});
        m_lineOf.insert(recid, terms.line());
        return recid;
    }
    // `bill` charges the days of `run` in the terms of `terms` for `tid` under lease `rid`.
    void resume(const Bill &bill, const Bill &terms, int tid, const BillSpans::Run &run, int rid)
    {
        exec(QStringLiteral("update recur set type = ?, amount = ?, latefee = ?, freq = ?, perday = ?, nextdate = ?, "
                            "firstpay = ?, startdate = ?, enddate = ?, tid = ?, rid = ?, completed = 0, leaserent = ? "
                            "where recid = ?"),
             {terms.type, terms.amount, terms.lateFee, terms.freq, terms.perDay, run.first, run.first,
              orNull(terms.start), orNull(run.lastDay()), tid, orNull(rid), terms.rent() ? LeaseRent : OtherBill,
              bill.recid});
    }
    void stop(Bill &bill)
    {
        if (!bill.completed)
            exec(QStringLiteral("update recur set completed = 1 where recid = ?"), {bill.recid});
        bill.completed = true;
    }
    // The bill charges no day from `day` on. The days the clerk agreed to stay on record as that
    // lease's: those it no longer charges are asked about again when its tenant comes back.
    void cutAt(Bill &bill, const QDate &day)
    {
        if (!bill.end.isValid() || bill.end >= day) {
            bill.end = day.addDays(-1);
            bill.completed = bill.completed || bill.next >= bill.end;
            exec(QStringLiteral("update recur set enddate = ?, completed = ? where recid = ?"),
                 {bill.end, bill.completed ? 1 : 0, bill.recid});
        }
    }
    // A later lease of the bill's own tenant holds the agreed days from `day` on: they are no longer the
    // earlier lease's to charge or to ask about.
    void handOver(Bill &bill, const QDate &day)
    {
        // No period of it runs into the later lease's days: the one that would is not charged.
        QDate stop = day;
        for (QDate due = bill.next; due.isValid() && due < day && (!bill.end.isValid() || due < bill.end);) {
            const QDate after = dueDateAfter(due, bill.firstPay, bill.freq, m_dataSource);
            if (!after.isValid() || after <= due)
                break;
            if (after > day) {
                stop = due;
                break;
            }
            due = after;
        }
        cutAt(bill, stop);
        for (int i = m_dealt.size() - 1; i >= 0; --i) {
            Dealt &dealt = m_dealt[i];
            if (dealt.kind != Agreed || dealt.recid != bill.recid || dealt.days.to <= day)
                continue;
            if (dealt.days.from >= day)
                m_dealt.removeAt(i);
            else
                dealt.days.to = day;
        }
        exec(QStringLiteral("delete from dealtdays where recid = ? and kind = ? and fromdate >= ?"),
             {bill.recid, Agreed, day});
        exec(QStringLiteral("update dealtdays set lastday = ? where recid = ? and kind = ? and lastday >= ?"),
             {day.addDays(-1), bill.recid, Agreed, day});
    }
    void record(const Bill &bill, int tid, int rid, const BillSpans::Span &days, DealtKind kind)
    {
        exec(QStringLiteral("insert into dealtdays (recid, apid, tid, rid, fromdate, lastday, kind) values "
                            "(?, ?, ?, ?, ?, ?, ?)"),
             {bill.recid, m_apid, tid, orNull(rid), orNull(days.from), days.to.addDays(-1), kind});
    }

    void postDue()
    {
        QSqlQuery due = MC::exec(QStringLiteral("select * from recur where apid = ? and completed = 0"), {m_apid},
                                 m_failed);
        while (due.next())
            m_dataSource->postRecurringCharges(due);
    }

private:
    BillSpans covered(int line, const std::function<bool(const Dealt &)> &counts) const
    {
        BillSpans spans;
        for (const Dealt &dealt : m_dealt)
            if (m_lineOf.value(dealt.recid, -1) == line && counts(dealt))
                spans.add(dealt.days);
        return spans;
    }

    int m_apid;
    XDataSource *m_dataSource;
    QString m_failed;
    QList<Dealt> m_dealt;
    QMap<int, int> m_lineOf;
};

// What falls due on an apartment is posted before a command changes its bills, as the charge run
// would post it: only while the apartment is let.
void postWhatIsDue(int apid, XDataSource *dataSource, const QString &failed)
{
    if (MC::value(QStringLiteral("select count(*) from agreements where apid = ?"), {apid}, 0).toInt() == 0)
        return;
    Apartment(apid, dataSource, failed).postDue();
}

QString dayText(const QDate &day)
{
    return ShortDate::toText(day);
}

QString moneyText(double amount)
{
    return QLocale().toString(amount, 'f', 2);
}

QString frequencyName(int freq)
{
    return MC::value(QStringLiteral("select name from frequency where freqid = ?"), {freq}).toString();
}

// Of a tenant's bills of one line, the one that goes on: the one running, else the one that stood
// furthest on.
Bill *carrier(const QList<Bill *> &bills)
{
    Bill *found = nullptr;
    for (Bill *bill : bills) {
        const auto key = [](const Bill *b) { return std::make_tuple(!b->completed, b->next, b->recid); };
        if (!found || key(bill) > key(found))
            found = bill;
    }
    return found;
}

// Days of an earlier lease a line leaves, with the bill that carries that lease's terms.
struct Left
{
    Bill *bill;
    QList<BillSpans::Span> days;
};

class LeaseSave
{
public:
    LeaseSave(const LeaseWrite::Lease &lease, XDataSource *dataSource, const QString &failed)
        : m_lease(lease)
        , m_dataSource(dataSource)
        , m_failed(failed)
    {
    }

    int run(const LeaseWrite::EarlierDays &ask)
    {
        postWhatIsDue(m_lease.apartmentId, m_dataSource, m_failed);
        writeLease();
        Apartment apartment(m_lease.apartmentId, m_dataSource, m_failed);
        m_apartment = &apartment;
        const QMap<int, Bill *> sources = leaversBills();
        stopOthers();
        answerEarlierDays(ask);
        chargeRent();
        chargeLines(sources);
        apartment.postDue();
        return m_lease.agreementId;
    }

    QStringList notices;

private:
    int tid() const { return m_lease.tenantId; }

    void writeLease()
    {
        writeAgreement(m_lease, m_failed);
        MC::exec(QStringLiteral("update apartments set agreeid = ? where apid = ?"),
                 {m_lease.agreementId, m_lease.apartmentId}, m_failed);
        QSqlQuery read = MC::exec(QStringLiteral("select * from agreements where rid = ?"), {m_lease.agreementId},
                                  m_failed);
        if (!read.next())
            throw MC::Stop(QStringLiteral("agreement %1 not found after writing").arg(m_lease.agreementId), m_failed);
        const QSqlRecord agreement = read.record();
        m_end = agreement.value(QStringLiteral("leaseend")).toDate();
        m_firstPayment = agreement.value(QStringLiteral("nextdate")).toDate();
        m_rent.type = LeaseWrite::tr("Rent");
        m_rent.amount = MC::cents(agreement.value(QStringLiteral("rent")).toDouble());
        m_rent.lateFee = MC::cents(agreement.value(QStringLiteral("latefee")).toDouble());
        m_rent.perDay = MC::cents(agreement.value(QStringLiteral("perday")).toDouble());
        m_rent.freq = agreement.value(QStringLiteral("freq")).toInt();
        m_rent.start = agreement.value(QStringLiteral("leasestart")).toDate();
        m_rent.rentKind = LeaseRent;
    }

    // Of each line the tenant has no bill of, the leaver's bill: the newcomer gets his own. The leaver
    // is whoever the line charged last; where it has charged nobody yet, a bill still running. A line
    // the tenant himself held last and deleted his bill of goes to nobody, nor does one the clerk ended.
    QMap<int, Bill *> leaversBills()
    {
        QSet<int> his;
        for (const Bill &bill : qAsConst(m_apartment->bills))
            if (bill.tid == tid())
                his << bill.line();
        QMap<int, Bill *> sources;
        for (Bill &bill : m_apartment->bills) {
            if (bill.rent() || bill.tid == tid() || his.contains(bill.line()) || m_apartment->agreed(bill))
                continue;
            const int holder = m_apartment->lastCharged(bill.line());
            if ((holder > 0 ? bill.tid != holder : bill.completed) || m_apartment->endedByClerk(bill))
                continue;
            Bill *&source = sources[bill.line()];
            source = carrier({source ? source : &bill, &bill});
        }
        return sources;
    }

    // Another tenant's bills charge nothing beside this lease: a bill charging an earlier lease's days
    // ends before it (his own earlier lease's days are this lease's from there), any other stops where
    // it stands. So does an older file's rent bill of no lease.
    void stopOthers()
    {
        for (Bill &bill : m_apartment->bills) {
            if (m_apartment->agreed(bill) && bill.tid == tid())
                m_apartment->handOver(bill, m_firstPayment);
            else if (m_apartment->agreed(bill))
                m_apartment->cutAt(bill, m_firstPayment);
            else if (bill.tid != tid() || bill.rentKind == OlderRent)
                m_apartment->stop(bill);
        }
    }

    // The days each earlier lease of the tenant here leaves on each of his lines before this lease's
    // first payment date that nothing of the ledger settles, with the bill that carries its terms.
    QList<Left> earlierDays()
    {
        QMap<QPair<int, int>, QList<BillSpans::Span>> daysOf;
        QMap<QPair<int, int>, Bill *> termsOf;
        for (Bill &bill : m_apartment->bills) {
            if (bill.tid != tid() || bill.rentKind == OlderRent || bill.rid == m_lease.agreementId
                || (!bill.rent() && bill.rid <= 0))
                continue;
            const QPair<int, int> lease(bill.line(), bill.rid);
            const bool agreed = m_apartment->agreed(bill);
            if (agreed) {
                // Those past an end the clerk gave the bill stay uncharged.
                for (BillSpans::Span span : m_apartment->agreedDays(bill)) {
                    if (bill.clerkEnd.isValid() && span.to > bill.clerkEnd.addDays(1))
                        span.to = bill.clerkEnd.addDays(1);
                    if (span.from < span.to)
                        daysOf[lease] << span;
                }
            } else {
                const QDate last = bill.rent() ? bill.end : bill.lastDay();
                if (!bill.begin().isValid() || !last.isValid())
                    continue;
                daysOf[lease] << BillSpans::Span{bill.begin(), last.addDays(1)};
            }
            if (!termsOf.value(lease) || !agreed)
                termsOf[lease] = &bill;
        }
        const QMap<int, QDate> begins = m_apartment->leaseBegins(tid());
        QList<Left> found;
        for (auto lease = daysOf.cbegin(); lease != daysOf.cend(); ++lease) {
            const BillSpans answered = m_apartment->answeredFor(lease.key().first, lease.key().second);
            // Its days end where this lease begins, or where a later lease of his took over.
            QDate wall = m_firstPayment;
            for (auto later = begins.cbegin(); later != begins.cend(); ++later)
                if (later.key() > lease.key().second && later.key() != m_lease.agreementId)
                    wall = qMin(wall, later.value());
            QList<BillSpans::Span> days;
            for (const BillSpans::Span &held : lease.value())
                for (const BillSpans::Span &span : answered.free(held.from, qMin(held.to, wall)))
                    // A period beginning on the lease's last day is not charged: that day alone is not left.
                    if (span.from < held.to.addDays(-1))
                        days << span;
            days = BillSpans::united(days);
            if (!days.isEmpty())
                found << Left{termsOf.value(lease.key()), days};
        }
        return found;
    }

    QString question(const QList<Left> &left) const
    {
        QStringList lines;
        for (const Left &item : left) {
            QStringList spans;
            for (const BillSpans::Span &span : item.days)
                spans << LeaseWrite::tr("%1 to %2").arg(dayText(span.from), dayText(span.to.addDays(-1)));
            lines << LeaseWrite::tr("%1 %2 %3 (to %4): %5")
                         .arg(item.bill->type.toString(), moneyText(item.bill->amount), frequencyName(item.bill->freq),
                              dayText(item.bill->lastDay()), spans.join(QStringLiteral(", ")));
        }
        return LeaseWrite::tr("The tenant's earlier lease here leaves days that have not been charged and that no "
                              "charge covers:\n%1\nThis lease begins on %2, so they are not charged.\n\nCharge them "
                              "under the earlier lease, with its terms, as they fall due?")
            .arg(lines.join(QLatin1Char('\n')), dayText(m_firstPayment));
    }

    // The one question about the earlier lease's days, for every line that leaves some. Yes charges them
    // in whole periods of the earlier schedule, each run by a bill of its own; No declines them under
    // that lease alone.
    void answerEarlierDays(const LeaseWrite::EarlierDays &ask)
    {
        const QList<Left> left = earlierDays();
        if (left.isEmpty())
            return;
        const bool charge = ask && ask(question(left));
        for (const Left &item : left) {
            Bill &bill = *item.bill;
            if (!charge) {
                for (const BillSpans::Span &span : item.days)
                    m_apartment->record(bill, tid(), bill.rid, span, Declined);
                continue;
            }
            BillSpans bounded = m_apartment->answeredFor(bill.line(), bill.rid);
            bounded.add(m_firstPayment, Never);
            QList<BillSpans::Span> partial;
            const QDate last = item.days.last().to.addDays(-1);
            for (const BillSpans::Run &run :
                 bounded.runs(item.days.first().from, last, m_apartment->stepper(bill.freq, bill.begin()), &partial)) {
                Bill terms = bill;
                terms.clerkEnd = QDate();
                const int recid = m_apartment->insert(terms, tid(), run, bill.rid);
                Bill made = terms;
                made.recid = recid;
                m_apartment->record(made, tid(), bill.rid, {run.first, run.lastDay().addDays(1)}, Agreed);
            }
            // Less than a whole period: not charged, as the clerk is told, and not asked about again.
            for (const BillSpans::Span &part : qAsConst(partial)) {
                m_apartment->record(bill, tid(), bill.rid, part, Declined);
                tellPartial(bill.type.toString(), part);
            }
        }
    }

    void tellPartial(const QString &type, const BillSpans::Span &part)
    {
        notices << LeaseWrite::tr("%1 from %2 to %3 is less than a whole period and was not charged.")
                       .arg(type, dayText(part.from), dayText(part.to.addDays(-1)));
    }

    // The days of [from, to) the line still owes this lease, in its periods: the first run by `goesOn`
    // where there is one, each further one by a bill of its own; a bill of the tenant's in the line that
    // charges none of them stops.
    void charge(int line, const Bill &terms, const QDate &from, const QDate &to, Bill *goesOn,
                const QList<Bill *> &others)
    {
        QList<BillSpans::Span> partial;
        const QList<BillSpans::Run> runs = m_apartment->owedAround(line, tid(), m_firstPayment)
                                               .runs(from, to, m_apartment->stepper(terms.freq), &partial);
        Bill charging = terms;
        charging.recid = goesOn ? goesOn->recid : others.isEmpty() ? 0 : others.first()->recid;
        for (int i = 0; i < runs.size(); ++i) {
            if (i == 0 && goesOn)
                m_apartment->resume(*goesOn, terms, tid(), runs.at(i), m_lease.agreementId);
            else if (const int recid = m_apartment->insert(terms, tid(), runs.at(i), m_lease.agreementId); !charging.recid)
                charging.recid = recid;
        }
        // Days no whole period fits are told, not charged, and answered for under this lease.
        for (const BillSpans::Span &part : qAsConst(partial)) {
            tellPartial(terms.type.toString(), part);
            if (charging.recid > 0)
                m_apartment->record(charging, tid(), m_lease.agreementId, part, Declined);
        }
        for (Bill *bill : others)
            if (bill != goesOn || runs.isEmpty())
                m_apartment->stop(*bill);
    }

    // The tenant's bills of a line that may go on with this lease: not those charging an earlier
    // lease's agreed days.
    QList<Bill *> his(int line)
    {
        QList<Bill *> found;
        for (Bill &bill : m_apartment->bills)
            if (bill.tid == tid() && bill.line() == line && bill.rentKind != OlderRent && !m_apartment->agreed(bill))
                found << &bill;
        return found;
    }

    void chargeRent()
    {
        const QList<Bill *> bills = his(RentLine);
        charge(RentLine, m_rent, m_firstPayment, m_end, carrier(bills), bills);
    }

    // Each other line: his own bill goes on in its own terms, from its start and up to the end the clerk
    // gave it; a line he has no bill of comes to him from the leaver's bill still running.
    void chargeLines(const QMap<int, Bill *> &sources)
    {
        QList<int> lines;
        for (const Bill &bill : qAsConst(m_apartment->bills))
            if (!bill.rent() && !lines.contains(bill.line()))
                lines << bill.line();
        for (int line : qAsConst(lines)) {
            const QList<Bill *> bills = his(line);
            Bill *goesOn = carrier(bills);
            const Bill *source = goesOn ? goesOn : sources.value(line);
            if (!source)
                continue;
            Bill terms = *source;
            const QDate from = terms.start.isValid() ? qMax(m_firstPayment, terms.start) : m_firstPayment;
            // The newcomer's copy of the leaver's bill begins with him.
            if (!goesOn)
                terms.start = from;
            const QDate to = terms.clerkEnd.isValid() && (!m_end.isValid() || terms.clerkEnd < m_end) ? terms.clerkEnd
                                                                                                     : m_end;
            if (!goesOn && to.isValid() && to <= from)
                continue;
            charge(line, terms, from, to, goesOn, bills);
        }
    }

    const LeaseWrite::Lease &m_lease;
    XDataSource *m_dataSource;
    QString m_failed;
    Apartment *m_apartment = nullptr;
    QDate m_end;
    QDate m_firstPayment;
    Bill m_rent;
};

} // namespace

MoneyCommand::Result LeaseWrite::save(const Lease &lease, XDataSource *dataSource, const EarlierDays &chargeEarlierDays)
{
    const QString failed = tr("Error creating new rental agreement");
    const MC::Messages messages{tr("Error creating/displaying rental agreement"),
                                tr("Error creating/viewing rental agreement"), tr("Error creating rental agreement")};
    QStringList notices;
    MC::Result result = MC::run(messages, [&]() {
        LeaseSave save(lease, dataSource, failed);
        const int rid = save.run(chargeEarlierDays);
        notices = save.notices;
        return rid;
    });
    if (result.ok())
        result.message = notices.join(QLatin1Char('\n'));
    return result;
}

MoneyCommand::Result LeaseWrite::remove(int apartmentId, int agreementId, XDataSource *dataSource)
{
    const QString failed = tr("Error deleting rental agreement");
    return MC::run({failed, failed, failed}, [&]() {
        postWhatIsDue(apartmentId, dataSource, failed);
        MC::exec(QStringLiteral("delete from agreements where apid = ? and rid = ?"), {apartmentId, agreementId});
        MC::exec(QStringLiteral("update apartments set agreeid = -1 where apid = ?"), {apartmentId});
        // Its rent bill stops where it stands; one charging an earlier lease's days that the clerk
        // agreed to goes on with them.
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
        if (!ended.end.isValid() || ended.rent())
            return recid;
        // The end is the line's: every bill of the tenant's in it takes it as the clerk's, and none charges past it.
        MC::exec(QStringLiteral("update recur set enddate = iif(enddate is null or enddate > ?, ?, enddate), clerkend = "
                                "?, completed = iif(nextdate >= ?, 1, completed) where apid = ? and tid = ? and recid <> "
                                "? and (recid = ? or origin = ?) and leaserent is distinct from 1"),
                 {ended.end, ended.end, ended.end, ended.end, apid, ended.tid, recid, ended.line(), ended.line()},
                 failed);
        return recid;
    });
}

MoneyCommand::Result LeaseWrite::billDeleted(const QSqlRecord &bill)
{
    const QString failed = tr("The recurring bill was deleted, but that it was could not be recorded.");
    return MC::run({failed, failed, failed}, [&]() {
        const Bill deleted(bill);
        if (deleted.rent())
            return deleted.recid;
        MC::exec(QStringLiteral("insert into dealtdays (recid, apid, tid, rid, fromdate, lastday, kind) values "
                                "(?, ?, ?, ?, null, ?, ?)"),
                 {deleted.line(), bill.value(QStringLiteral("apid")), deleted.tid, orNull(deleted.rid), Today::date(),
                  LineDeleted},
                 failed);
        return deleted.recid;
    });
}

bool LeaseWrite::hasDealtWith(int recid)
{
    return MC::value(QStringLiteral("select count(*) from charges where recid = ?"), {recid}, 0).toInt() > 0
           || MC::value(QStringLiteral("select count(*) from dealtdays where recid = ? and kind <> ?"), {recid, Declined},
                        0)
                      .toInt()
                  > 0;
}

QDate LeaseWrite::clerksEnd(const QDate &end, int agreementId)
{
    const QDate leaseEnd =
        agreementId > 0 ? MC::value(QStringLiteral("select leaseend from agreements where rid = ?"), {agreementId}).toDate()
                        : QDate();
    return leaseEnd.isValid() && leaseEnd == end ? QDate() : end;
}

MoneyCommand::Result LeaseWrite::beginWhereHeld(int recid, int agreementId)
{
    const QString failed = tr("Unable to submit data");
    return MC::run({failed, failed, failed}, [&]() {
        const QDate held =
            MC::value(QStringLiteral("select nextdate from agreements where rid = ?"), {agreementId}).toDate();
        const QDate due = MC::value(QStringLiteral("select nextdate from recur where recid = ?"), {recid}).toDate();
        // Its periods begin where the lease's do: the days before were no lease's, and a period counted
        // from its own start would leave the lease's first days uncharged.
        if (held.isValid() && due.isValid() && due < held)
            MC::exec(QStringLiteral("update recur set nextdate = ?, firstpay = ? where recid = ?"), {held, held, recid},
                     failed);
        return recid;
    });
}
