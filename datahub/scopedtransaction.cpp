#include "datahub/scopedtransaction.h"

#include "datahub/debuglog.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

namespace {

// One connection, one GUI thread: a plain flag tells whether a transaction is held.
bool s_open = false;

QSqlDriver *driver()
{
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    return db.isOpen() ? db.driver() : nullptr;
}

} // namespace

ScopedTransaction::ScopedTransaction()
{
    if (s_open) {
        qCDebug(velloranLog) << "a transaction is already open; not beginning another";
        return;
    }
    QSqlDriver *d = driver();
    if (!d || !d->beginTransaction()) {
        qCDebug(velloranLog) << "begin transaction failed" << (d ? d->lastError().text() : QString());
        return;
    }
    m_active = true;
    s_open = true;
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
        s_open = false;
        return true;
    }
    qCDebug(velloranLog) << "commit failed" << (d ? d->lastError().text() : QString());
    rollback();
    return false;
}

bool ScopedTransaction::rollback()
{
    if (!m_active)
        return false;
    m_active = false;
    s_open = false;
    QSqlDriver *d = driver();
    return d && d->rollbackTransaction();
}

bool ScopedTransaction::anyOpen()
{
    return s_open;
}
