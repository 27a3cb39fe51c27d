#include "money/rentadjustment.h"

#include "datahub/debuglog.h"
#include "datahub/scopedtransaction.h"
#include "datahub/today.h"
#include "money/billingstore.h"
#include "money/moneycommand.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>
#include <cstdlib>

RentAdjustment::RentAdjustment(Scope scope, int key, Apply apply, Kind kind, double value)
    : m_scope(scope)
    , m_key(key)
    , m_apply(apply)
    , m_kind(kind)
    , m_value(value)
{
}

double RentAdjustment::adjusted(double value) const
{
    // Worked out in whole cents and hundredths of a percent, as typed, so that a half cent rounds away
    // from zero as on paper (1,425.00 less 14.30% is 1,221.225, so 1,221.23) and no binary noise decides.
    const double cents = std::round(value * 100.0);
    const double typed = std::round(m_value * 100.0);
    if (std::fabs(cents) < 1e13 && std::fabs(typed) < 1e6) {
        const qint64 c = qint64(cents);
        const qint64 t = qint64(typed);
        if (m_kind == ByAmount)
            return double(c + t) / 100.0;
        const qint64 scaled = c * (10000 + t);
        qint64 whole = scaled / 10000;
        const qint64 rest = scaled % 10000;
        if (2 * std::llabs(rest) >= 10000)
            whole += scaled < 0 ? -1 : 1;
        return double(whole) / 100.0;
    }
    const double result = m_kind == ByAmount ? value + m_value : value * (m_value / 100 + 1);
    // Stored to the cent, so that the charge it becomes can be paid exactly.
    return std::round(result * 100.0) / 100.0;
}

bool RentAdjustment::readChanges(const QString &sql, const QVariantList &values, QList<Change> &changes, int &negative)
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        qCDebug(velloranLog) << sql << query.lastError().text();
        m_message = tr("Error Adjusting rent");
        return false;
    }
    while (query.next()) {
        if (query.value(1).isNull())
            continue;
        const double before = query.value(1).toDouble();
        const double after = adjusted(before);
        if (!MoneyCommand::withinBooks(after)) {
            m_message = tr("Error Adjusting rent");
            return false;
        }
        if (after < 0)
            ++negative;
        if (after != before)
            changes.append({query.value(0).toInt(), after});
    }
    return true;
}

bool RentAdjustment::compute(QList<Change> &apartments, QList<Change> &bills)
{
    apartments.clear();
    bills.clear();
    static const char *const apartmentScopes[] = {"", " where tid = ?", " where bid = ?", " where apid = ?"};
    static const char *const billScopes[] = {"", " and r.tid = ?", " and a.bid = ?", " and r.apid = ?"};
    QVariantList key;
    if (m_scope != AllApartments)
        key << m_key;
    int negative = 0;
    if (m_apply == FutureRates || m_apply == Both) {
        if (!readChanges(QStringLiteral("select apid, rent from apartments") + QLatin1String(apartmentScopes[m_scope]),
                         key, apartments, negative))
            return false;
    }
    if (m_apply == CurrentAgreements || m_apply == Both) {
        // The running rent bill of each apartment's current lease, and nothing else: a stopped bill, a
        // former tenant's or a bill of type Rent the clerk added keeps its amount.
        if (!readChanges(QStringLiteral("select r.recid, r.amount from recur r join apartments a on a.apid = r.apid "
                                        "and a.agreeid = r.rid join agreements g on g.rid = a.agreeid and g.tid = r.tid "
                                        "where r.leaserent = 1 and coalesce(r.completed, 0) = 0")
                             + QLatin1String(billScopes[m_scope]),
                         key, bills, negative))
            return false;
    }
    if (negative > 0) {
        m_message = tr("The adjustment would bring %n of the rents and bills below zero. Nothing was changed.",
                       nullptr, negative);
        return false;
    }
    return true;
}

bool RentAdjustment::prepare()
{
    m_message.clear();
    return compute(m_apartments, m_bills);
}

bool RentAdjustment::write(const QString &sql, const QList<Change> &changes)
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.prepare(sql)) {
        qCDebug(velloranLog) << sql << query.lastError().text();
        return false;
    }
    for (const Change &change : changes) {
        query.addBindValue(change.value);
        query.addBindValue(change.key);
        if (!query.exec()) {
            qCDebug(velloranLog) << sql << query.lastError().text();
            return false;
        }
    }
    return true;
}

bool RentAdjustment::apply()
{
    m_message.clear();
    ScopedTransaction transaction;
    if (!transaction.isActive()) {
        m_message = tr("Error adjusting transaction!");
        return false;
    }
    // Read again inside the transaction: what is written is worked out from what it replaces.
    if (!compute(m_apartments, m_bills))
        return false;
    // The apartments and their rent bills change together or not at all. What had fallen due under the
    // old rent is posted first; the new rent is the lease's from its next period on.
    try {
        // Every lease in scope, changed or not: the command posts around itself all the same.
        QList<int> leased;
        if (m_apply == CurrentAgreements || m_apply == Both) {
            static const char *const scopes[] = {"", " and g.tid = ?", " and a.bid = ?", " and a.apid = ?"};
            QSqlQuery read(QSqlDatabase::database());
            read.prepare(QStringLiteral("select a.apid from apartments a join agreements g on g.rid = a.agreeid where 1 = 1")
                         + QLatin1String(scopes[m_scope]));
            if (m_scope != AllApartments)
                read.addBindValue(m_key);
            if (!read.exec())
                throw MoneyCommand::Stop(read.lastError().text());
            while (read.next())
                leased << read.value(0).toInt();
        }
        for (int apid : qAsConst(leased))
            BillingStore(apid).postDue(Today::date());
        if (!write(QStringLiteral("update apartments set rent = ? where apid = ?"), m_apartments)
            || !write(QStringLiteral("update recur set amount = ? where recid = ?"), m_bills)
            || !write(QStringLiteral("update leasehistory h set rent = ? where deleted = 0 and exists (select 1 from recur r "
                                     "where r.recid = ? and r.apid = h.apid and r.tid = h.tid)"),
                      m_bills)) {
            m_message = tr("Error Adjusting rent");
            return false;
        }
        for (int apid : qAsConst(leased))
            BillingStore(apid).postDue(Today::date());
    } catch (const MoneyCommand::Stop &) {
        m_message = tr("Error Adjusting rent");
        return false;
    }
    if (!transaction.commit()) {
        m_message = tr("Error Adjusting rent");
        return false;
    }
    return true;
}
