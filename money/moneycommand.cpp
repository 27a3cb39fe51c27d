#include "money/moneycommand.h"

#include "datahub/debuglog.h"
#include "datahub/scopedtransaction.h"

#include <QDebug>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QtGlobal>

#include <cmath>

MoneyCommand::Stop::Stop(const QString &reason, const QString &message, bool refusal)
    : m_reason(reason.toUtf8())
    , m_message(message)
    , m_refusal(refusal)
{
}

const char *MoneyCommand::Stop::what() const noexcept
{
    return m_reason.constData();
}

MoneyCommand::Result MoneyCommand::done(int key)
{
    Result result;
    result.key = key;
    return result;
}

MoneyCommand::Result MoneyCommand::refused(const QString &message)
{
    Result result;
    result.outcome = Outcome::Refused;
    result.message = message;
    return result;
}

MoneyCommand::Result MoneyCommand::run(const Messages &messages, const std::function<int()> &work)
{
    Result result;
    ScopedTransaction transaction;
    if (!transaction.isActive()) {
        result.outcome = Outcome::NotStarted;
        result.message = messages.notStarted;
        return result;
    }
    try {
        result.key = work();
    } catch (const Stop &stop) {
        qCDebug(velloranLog) << "Exception: " << stop.what();
        transaction.rollback();
        result.outcome = stop.isRefusal() ? Outcome::Refused : Outcome::Failed;
        result.message = stop.message().isEmpty() ? messages.failed : stop.message();
        return result;
    } catch (const QException &e) {
        qCDebug(velloranLog) << "Exception: " << e.what();
        transaction.rollback();
        result.outcome = Outcome::Failed;
        result.message = messages.failed;
        return result;
    }
    if (!transaction.commit()) {
        result.outcome = Outcome::NotCommitted;
        result.message = messages.notCommitted;
    }
    return result;
}

namespace {

// An amount beyond the books is refused before anything is written, so that the clerk is told instead of
// the database keeping a number that turns into another.
void refuseAmountsBeyondTheBooks(const QString &sql, const QVariantList &values)
{
    for (const QVariant &value : values) {
        if (value.userType() == QMetaType::Double && !MoneyCommand::withinBooks(value.toDouble()))
            throw MoneyCommand::Stop(QStringLiteral("amount %1 beyond the books in: %2").arg(value.toDouble()).arg(sql),
                                     MoneyCommand::tr("An amount is larger than the books can hold (at most %1). "
                                                      "Nothing was written.")
                                         .arg(QLocale().toString(MoneyCommand::MaxAmount, 'f', 2)),
                                     true);
    }
}

} // namespace

QSqlQuery MoneyCommand::exec(const QString &sql, const QVariantList &values, const QString &message)
{
    return statement(sql, values, message, false);
}

QSqlQuery MoneyCommand::read(const QString &sql, const QVariantList &values)
{
    return statement(sql, values, QString(), true);
}

QSqlQuery MoneyCommand::statement(const QString &sql, const QVariantList &values, const QString &message, bool forwardOnly)
{
    refuseAmountsBeyondTheBooks(sql, values);
    QSqlQuery query(QSqlDatabase::database());
    query.setForwardOnly(forwardOnly);
    bool ok = query.prepare(sql);
    if (ok) {
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok) {
        qCDebug(velloranLog) << sql << query.lastError().text();
        throw Stop(QStringLiteral("refused: %1 (%2)").arg(sql, query.lastError().text()), message);
    }
    return query;
}

QSqlQuery MoneyCommand::prepare(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.prepare(sql)) {
        qCDebug(velloranLog) << sql << query.lastError().text();
        throw Stop(QStringLiteral("refused: %1 (%2)").arg(sql, query.lastError().text()));
    }
    return query;
}

void MoneyCommand::exec(QSqlQuery &prepared, const QVariantList &values)
{
    refuseAmountsBeyondTheBooks(prepared.lastQuery(), values);
    for (const QVariant &value : values)
        prepared.addBindValue(value);
    if (!prepared.exec()) {
        qCDebug(velloranLog) << prepared.lastQuery() << prepared.lastError().text();
        throw Stop(QStringLiteral("refused: %1 (%2)").arg(prepared.lastQuery(), prepared.lastError().text()));
    }
}

QVariant MoneyCommand::value(const QString &sql, const QVariantList &values, const QVariant &fallback)
{
    QSqlQuery query = exec(sql, values);
    return query.next() ? query.value(0) : fallback;
}

int MoneyCommand::nextKey(const char *generator)
{
    const QVariant key =
        value(QStringLiteral("select gen_id(%1, 1) from RDB$DATABASE").arg(QLatin1String(generator)));
    if (!key.isValid())
        throw Stop(QStringLiteral("no key from %1").arg(QLatin1String(generator)));
    return key.toInt();
}

bool MoneyCommand::withinBooks(double amount)
{
    return std::isfinite(amount) && std::fabs(amount) <= MaxAmount;
}

double MoneyCommand::cents(double amount)
{
    if (!withinBooks(amount))
        return amount;
    return double(qRound64(amount * 100.0)) / 100.0;
}

bool MoneyCommand::sameCents(double a, double b)
{
    return qRound64(a * 100.0) == qRound64(b * 100.0);
}
