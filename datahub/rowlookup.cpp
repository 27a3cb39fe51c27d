#include "datahub/rowlookup.h"

#include "datahub/msgbox.h"
#include "datahub/debuglog.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

RowLookup::Result RowLookup::find(QSqlQuery *query, const QString &sql, const QVariantList &values)
{
    query->clear();
    Result result = Failed;
    if (query->prepare(sql)) {
        for (const QVariant &value : values)
            query->addBindValue(value);
        if (query->exec())
            result = query->next() ? Found : NotFound;
    }
    if (result == Failed)
        qCDebug(velloranLog) << "check failed:" << sql << query->lastError().text();
    query->clear();
    return result;
}

bool RowLookup::nothingInTheWay(QWidget *parent, QSqlQuery *query, const QString &sql, const QVariantList &values,
                                const QString &inUse)
{
    switch (find(query, sql, values)) {
    case NotFound:
        return true;
    case Found:
        MsgBox::information(parent, inUse);
        return false;
    case Failed:
        break;
    }
    refuse(parent);
    return false;
}

bool RowLookup::nothingNames(QWidget *parent, QSqlQuery *query, const QList<Guard> &guards, const QVariant &key)
{
    for (const Guard &guard : guards) {
        QVariantList values;
        for (int i = guard.sql.count(QLatin1Char('?')); i > 0; --i)
            values << key;
        if (!nothingInTheWay(parent, query, guard.sql, values, guard.inUse))
            return false;
    }
    return true;
}

void RowLookup::refuse(QWidget *parent)
{
    MsgBox::information(parent, tr("The database could not be checked, so nothing was changed. "
                                   "Please try again."));
}
