#include "datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

QString DataFolder::documentsFolder()
{
    const QByteArray chosen = qgetenv("VELLORAN_DOCUMENTS");
    if (!chosen.isEmpty())
        return QString::fromLocal8Bit(chosen);
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString DataFolder::path()
{
    return QDir::cleanPath(documentsFolder() + QStringLiteral("/Morvessa/Morvessa Velloran"));
}

QString DataFolder::filePath(const QString &fileName)
{
    return path() + QLatin1Char('/') + fileName;
}

QStringList DataFolder::deliveredDatabases()
{
    return {QStringLiteral("DATA.FDB"), QStringLiteral("DEMO.FDB")};
}

QString DataFolder::deliveredFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QStringList candidates = {programFolder + QStringLiteral("/" VELLORAN_DELIVERED_DIR),
                                    programFolder + QStringLiteral("/db")};
    for (const QString &candidate : candidates) {
        if (QFile::exists(candidate + QStringLiteral("/DATA.FDB")))
            return QDir::cleanPath(candidate);
    }
    return QString();
}

QStringList DataFolder::provideDeliveredDatabases(const QString &from)
{
    QStringList copied;
    if (from.isEmpty() || !QDir().mkpath(path()))
        return copied;
    for (const QString &name : deliveredDatabases()) {
        const QString target = filePath(name);
        const QString source = from + QLatin1Char('/') + name;
        if (QFile::exists(target) || !QFile::exists(source))
            continue;
        if (!QFile::copy(source, target))
            continue;
        // The installed copy is read-only; the office's own must take its writes.
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
        copied << name;
    }
    return copied;
}

void DataFolder::prepareDatabaseEngine()
{
    if (!qEnvironmentVariableIsEmpty("FIREBIRD_LOCK"))
        return;
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString lockDir = QDir::cleanPath(base + QStringLiteral("/firebird-%1").arg(::getuid()));
    QDir().mkpath(lockDir);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(lockDir));
}

QString DataFolder::databaseClientLibrary()
{
    return QStringLiteral("libfbclient.so.2");
}
