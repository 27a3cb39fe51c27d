#ifndef BENCHPROCESS_H
#define BENCHPROCESS_H

// What the benchmarks' measuring processes share: the office's file opened on the embedded engine, and
// the process's own accounting of its processor time, page faults and peak memory.

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <sys/resource.h>

#include <cstdio>

inline bool openDatabase(const QString &file, const QString &connection = QLatin1String(QSqlDatabase::defaultConnection))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), connection);
    db.setDatabaseName(file);
    db.setUserName(QStringLiteral("SYSDBA"));
    db.setPassword(QStringLiteral("masterkey"));
    if (!db.open()) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(file), qPrintable(db.lastError().text()));
        return false;
    }
    return true;
}

inline struct rusage usage()
{
    struct rusage figures {};
    getrusage(RUSAGE_SELF, &figures);
    return figures;
}

inline double cpuMs(const struct rusage &figures)
{
    return (figures.ru_utime.tv_sec + figures.ru_stime.tv_sec) * 1e3
        + (figures.ru_utime.tv_usec + figures.ru_stime.tv_usec) / 1e3;
}

#endif // BENCHPROCESS_H
