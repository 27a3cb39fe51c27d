#include "olderfile.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

QStringList OlderFile::statements()
{
    return {
        QStringLiteral("alter table charges drop recid"),
        QStringLiteral("alter table recur drop leaserent"),
        QStringLiteral("alter table recur drop lastdue"),
        QStringLiteral("alter table recur drop firstpay"),
        QStringLiteral("alter table recur drop rid"),
        QStringLiteral("alter table recur drop origin"),
        QStringLiteral("alter table recur drop givenend"),
        QStringLiteral("drop table filelevel"),
        QStringLiteral("drop trigger cashbook_totals"),
        QStringLiteral("drop table cashbooktotals"),
        QStringLiteral("drop index ix_cashbook_apid"),
    };
}

bool OlderFile::make(const QString &path)
{
    const QString name = QStringLiteral("older-file");
    bool made = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
        db.setDatabaseName(path);
        db.setUserName(QStringLiteral("SYSDBA"));
        made = db.open();
        QSqlQuery query(db);
        for (const QString &sql : statements()) {
            if (made && !query.exec(sql)) {
                qWarning() << sql << query.lastError().text();
                made = false;
            }
        }
        if (!db.isOpen() || !made)
            qWarning() << "could not take" << path << "back to the earlier layout" << db.lastError().text();
        query = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return made;
}
