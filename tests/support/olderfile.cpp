#include "olderfile.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

QStringList OlderFile::statements(int layout)
{
    // What the current layout added to the one before: the trigger goes before the columns it reads,
    // the index before its column.
    QStringList statements = {
        QStringLiteral("drop trigger recur_line"),
        QStringLiteral("alter table recur drop line"),
        QStringLiteral("alter table recur drop addedby"),
        QStringLiteral("alter table recur drop deletedon"),
        QStringLiteral("drop table leasehistory"),
        QStringLiteral("drop table leasetaken"),
        QStringLiteral("drop table agreedperiods"),
        QStringLiteral("drop index ix_charges_recid"),
        QStringLiteral("drop table dealtdays"),
        QStringLiteral("alter table charges drop lastday"),
        QStringLiteral("alter table charges drop rid"),
        QStringLiteral("alter table recur drop clerkend"),
    };
    if (layout == 3) {
        // As the earlier upgrade left a file: no bill's first payment date, the days before its next due
        // date all dealt with.
        return statements << QStringLiteral("update recur set firstpay = null")
                          << QStringLiteral("update filelevel set fileversion = 3");
    }
    return statements << QStringLiteral("alter table charges drop recid")
                      << QStringLiteral("alter table recur drop leaserent")
                      << QStringLiteral("alter table recur drop lastdue")
                      << QStringLiteral("alter table recur drop firstpay")
                      << QStringLiteral("alter table recur drop rid")
                      << QStringLiteral("alter table recur drop origin")
                      << QStringLiteral("alter table recur drop givenend")
                      << QStringLiteral("drop table filelevel")
                      << QStringLiteral("drop trigger cashbook_totals")
                      << QStringLiteral("drop table cashbooktotals")
                      << QStringLiteral("drop index ix_cashbook_apid");
}

bool OlderFile::make(const QString &path, int layout)
{
    const QString name = QStringLiteral("older-file");
    bool made = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
        db.setDatabaseName(path);
        db.setUserName(QStringLiteral("SYSDBA"));
        made = db.open();
        QSqlQuery query(db);
        for (const QString &sql : statements(layout)) {
            if (made && !query.exec(sql)) {
                qWarning() << sql << query.lastError().text();
                made = false;
            }
        }
        if (!db.isOpen() || !made)
            qWarning() << "could not take" << path << "back to layout" << layout << db.lastError().text();
        query = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return made;
}
