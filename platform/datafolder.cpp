#include "datafolder.h"

#include <QDir>
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
