#include "datahub/scopedtransaction.h"

#include "datahub/debuglog.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

namespace {

// One connection, one GUI thread: a plain pointer tells whether a transaction is held, and by whom.
ScopedTransaction *s_holder = nullptr;

QSqlDriver *driver()
{
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    return db.isOpen() ? db.driver() : nullptr;
}

} // namespace

ScopedTransaction::ScopedTransaction()
{
    if (s_holder) {
        qCDebug(velloranLog) << "a transaction is already open; not beginning another";
        return;
    }
    QSqlDriver *d = driver();
    if (!d || !d->beginTransaction()) {
        qCDebug(velloranLog) << "begin transaction failed" << (d ? d->lastError().text() : QString());
        return;
    }
    m_active = true;
    s_holder = this;
}

ScopedTransaction::~ScopedTransaction()
{
    if (m_active)
        rollback();
}

bool ScopedTransaction::commit()
{
    if (!m_active)
        return false;
    QSqlDriver *d = driver();
    if (d && d->commitTransaction()) {
        m_active = false;
        s_holder = nullptr;
        return true;
    }
    qCDebug(velloranLog) << "commit failed" << (d ? d->lastError().text() : QString());
    rollback();
    return false;
}

bool ScopedTransaction::rollback()
{
    if (!m_active)
        return m_givenUpForHolder;
    m_active = false;
    s_holder = nullptr;
    QSqlDriver *d = driver();
    return d && d->rollbackTransaction();
}

bool ScopedTransaction::anyOpen()
{
    return s_holder != nullptr;
}

bool ScopedTransaction::rollBackOpen()
{
    if (!s_holder)
        return false;
    ScopedTransaction *holder = s_holder;
    const bool rolledBack = holder->rollback();
    holder->m_givenUpForHolder = rolledBack;
    return rolledBack;
}
