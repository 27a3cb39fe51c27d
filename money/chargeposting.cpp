#include "money/chargeposting.h"

#include "datahub/frequencystep.h"
#include "datahub/debuglog.h"

#include "datahub/xdatasource.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVector>

namespace {

// Every period a bill reaches is charged: the bill stands at the first period it has not charged, so
// the run needs no look at what is there already. Each charge names the bill that posted it, the days
// of its period and the lease it was charged under: what a lease still owes is read from them.
const QString InsertCharge = QStringLiteral(
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, "
    "perday, memo, recid, lastday, rid) values (gen_id(GEN_CHARGES_ID, 1), ?, ?, ?, ?, 0, ?, 0, ?, ?, ?, '', ?, "
    "?, ?)");
const QString UpdateBill =
    QStringLiteral("update recur set completed = ?, nextDate = ?, lastdue = coalesce(?, lastdue) where recid = ?");

// What a frequency id without a usable row steps to; never later than a real due date.
const QDate NoStep(1960, 1, 1);

} // namespace

QDate nextDueDate(const QDate &from, int frequency, XDataSource *dataSource)
{
    const FrequencyStep builtIn = FrequencyStep::builtIn(frequency);
    if (builtIn.months > 0)
        return from.addMonths(builtIn.months);
    if (builtIn.days > 0)
        return from.addDays(builtIn.days);

    int days = 0;
    QSuperSqlTableModel *frequencies = dataSource ? dataSource->frequencyModel() : nullptr;
    if (frequencies) {
        frequencies->setFilter(QStringLiteral("freqid=%1").arg(frequency));
        if (frequencies->rowCount() > 0)
            days = frequencies->record(0).value(QStringLiteral("days")).toInt();
        frequencies->setFilter(QString());
    }
    return days == 0 ? NoStep : from.addDays(days);
}

QDate dueDateAfter(const QDate &due, const QDate &first, int frequency, XDataSource *dataSource)
{
    const int months = FrequencyStep::builtIn(frequency).months;
    // Steps of days are the same counted from any due date.
    if (months == 0 || !first.isValid() || !due.isValid() || due < first)
        return nextDueDate(due, frequency, dataSource);
    // A due date an earlier release let drift (the 28th of a bill begun on the 31st) is the period of
    // its month: the next one is back on the schedule, so that a year still holds twelve rents.
    const int apart = (due.year() - first.year()) * 12 + due.month() - first.month();
    if (apart % months != 0)
        return nextDueDate(due, frequency, dataSource);
    return first.addMonths(apart + months);
}

PostingError::PostingError(const QString &message)
    : m_message(message.toUtf8())
{
}

const char *PostingError::what() const noexcept
{
    return m_message.constData();
}

struct ChargePoster::Bill
{
    int recid = 0;
    bool completed = false;
    QDate nextDate;
    QDate endDate;
    QDate firstPay;
    QVariant rid;
    int freq = 0;
    QVariant type;
    QVariant amount;
    QVariant lateFee;
    QVariant perday;
    QVariant tid;
    QVariant apid;

    explicit Bill(const QSqlQuery &query)
    {
        // Field names match whatever case the statement gave them.
        const QSqlRecord row = query.record();
        recid = row.value(QStringLiteral("recid")).toInt();
        completed = row.value(QStringLiteral("completed")).toInt() != 0;
        nextDate = row.value(QStringLiteral("nextDate")).toDate();
        endDate = row.value(QStringLiteral("endDate")).toDate();
        // Due dates count from the first payment date; a bill that has none counts from its start.
        firstPay = row.value(QStringLiteral("firstpay")).toDate();
        if (!firstPay.isValid())
            firstPay = row.value(QStringLiteral("startDate")).toDate();
        rid = row.value(QStringLiteral("rid"));
        if (!rid.isValid())
            rid = QVariant(QVariant::Int);
        freq = row.value(QStringLiteral("freq")).toInt();
        type = row.value(QStringLiteral("type"));
        amount = row.value(QStringLiteral("amount")).toDouble();
        lateFee = row.value(QStringLiteral("lateFee")).toDouble();
        perday = row.value(QStringLiteral("perday")).toDouble();
        tid = row.value(QStringLiteral("tid"));
        apid = row.value(QStringLiteral("apid"));
    }
};

namespace {
// The hub posts every bill through the poster installed here when the library is loaded.
const bool posterInstalled = RecurringPoster::install([] { return std::make_unique<ChargePoster>(); });
} // namespace

ChargePoster::ChargePoster() = default;

ChargePoster::~ChargePoster() = default;

void ChargePoster::postDue(const QSqlQuery &bill, const QDate &today, XDataSource *dataSource)
{
    post(Bill(bill), today, -1, dataSource);
}

void ChargePoster::postAhead(const QSqlQuery &bill, int periods, XDataSource *dataSource)
{
    post(Bill(bill), QDate(), qMax(0, periods), dataSource);
}

// `periods` < 0 posts what is due by `today`; otherwise up to that many charges whatever their date.
void ChargePoster::post(const Bill &bill, const QDate &today, int periods, XDataSource *dataSource)
{
    if (bill.completed)
        return;
    if (!bill.nextDate.isValid()) {
        qCDebug(velloranLog) << "recurring bill" << bill.recid << "has no next due date; nothing posted";
        return;
    }

    // The due dates are worked out before anything is written: a frequency that does not move the
    // date forward would otherwise post the same charge for ever. Such a bill is left as it is for the
    // office to correct, and the rest of the run goes on.
    QVector<QDate> dueDates;
    QVector<QDate> lastDays;
    QDate next = bill.nextDate;
    const auto more = [&] {
        // The end date itself is not charged: a bill ends the day its lease does.
        if (!(next < bill.endDate))
            return false;
        return periods < 0 ? next <= today : dueDates.size() < periods;
    };
    while (more()) {
        const QDate after = dueDateAfter(next, bill.firstPay, bill.freq, dataSource);
        if (!after.isValid() || after <= next) {
            qCDebug(velloranLog) << "recurring bill" << bill.recid << "frequency" << bill.freq
                     << "does not advance its due date" << next << "; nothing posted";
            return;
        }
        dueDates << next;
        lastDays << after.addDays(-1);
        next = after;
    }

    for (int i = 0; i < dueDates.size(); ++i) {
        const QDate &due = dueDates.at(i);
        if (!execute(m_insertCharge, InsertCharge,
                     {bill.tid, bill.apid, bill.type, bill.amount, due, bill.amount, bill.lateFee, bill.perday,
                      bill.recid, lastDays.at(i), bill.rid})) {
            throw PostingError(QStringLiteral("charge of recurring bill %1 for %2 not written")
                                   .arg(bill.recid)
                                   .arg(XDataSource::toSqlDate(due)));
        }
    }

    // A bill that has reached its end date has nothing more to post, whether or not the last step
    // landed on the end date exactly.
    const int completed = next >= bill.endDate ? 1 : 0;
    const QVariant lastDue = dueDates.isEmpty() ? QVariant(QVariant::Date) : QVariant(dueDates.constLast());
    if (!execute(m_updateBill, UpdateBill, {completed, next, lastDue, bill.recid}))
        throw PostingError(QStringLiteral("recurring bill %1 not advanced").arg(bill.recid));
}

bool ChargePoster::execute(std::unique_ptr<QSqlQuery> &statement, const QString &sql, const QVariantList &values)
{
    const auto prepare = [&] {
        statement.reset(new QSqlQuery(QSqlDatabase::database()));
        if (statement->prepare(sql))
            return true;
        qCDebug(velloranLog) << sql << statement->lastError().text();
        statement.reset();
        return false;
    };
    // A statement prepared just now gets no second try.
    bool retried = !statement;
    if (!statement && !prepare())
        return false;
    for (;;) {
        for (int i = 0; i < values.size(); ++i)
            statement->bindValue(i, values.at(i));
        if (statement->exec())
            return true;
        // A kept statement still names the transaction it was prepared in; once that has ended the
        // engine answers with its "invalid transaction handle" code, and the statement is prepared
        // anew in the caller's transaction. Any other refusal is the database's last word.
        if (retried || statement->lastError().nativeErrorCode() != QLatin1String("-901")) {
            qCDebug(velloranLog) << sql << statement->lastError().text();
            return false;
        }
        retried = true;
        if (!prepare())
            return false;
    }
}
