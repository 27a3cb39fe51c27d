#include "datahub/readfailure.h"

#include "datahub/debuglog.h"
#include "datahub/msgbox.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>

namespace {
ReadFailure::Quiet *innermostQuiet = nullptr;
}

QString ReadFailure::words(const QSqlError &error)
{
    const QString engine = error.databaseText().trimmed();
    return engine.isEmpty() ? error.text().trimmed() : engine;
}

QString ReadFailure::reason(const QSqlQueryModel *model)
{
    if (model->lastError().isValid())
        return words(model->lastError());
    // The statement ran, but a page it reads may still be unreadable: the model then takes the rows it
    // fetched so far for all there are, and only the query remembers why it stopped.
    const QSqlError fetch = fetchError(model);
    return fetch.isValid() ? words(fetch) : QString();
}

QSqlError ReadFailure::fetchError(const QSqlQueryModel *model)
{
    // A model that never ran its statement holds a query that has nothing to say.
    const QSqlQuery query = model->query();
    return query.isActive() ? query.lastError() : QSqlError();
}

bool ReadFailure::check(const QSqlQueryModel *model)
{
    const QString why = reason(model);
    if (why.isEmpty())
        return true;
    tell(why);
    return false;
}

void ReadFailure::checkFetch(const QSqlQueryModel *model)
{
    const QSqlError fetch = fetchError(model);
    if (fetch.isValid())
        report(fetch);
}

void ReadFailure::report(const QSqlError &error)
{
    tell(words(error));
}

void ReadFailure::tell(const QString &why)
{
    qCWarning(velloranLog).noquote() << "read failed:" << why;
    if (innermostQuiet) {
        if (innermostQuiet->m_firstReason && innermostQuiet->m_firstReason->isEmpty())
            *innermostQuiet->m_firstReason = why;
        return;
    }
    MsgBox::information(QApplication::activeWindow(), tr("Unable to read data: %1").arg(why));
}

ReadFailure::Quiet::Quiet(QString *firstReason)
    : m_firstReason(firstReason)
    , m_outer(innermostQuiet)
{
    innermostQuiet = this;
}

ReadFailure::Quiet::~Quiet()
{
    innermostQuiet = m_outer;
}
