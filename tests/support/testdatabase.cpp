#include "testdatabase.h"

#include "platform/datafolder.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {
// The test's own connections read the text as the program's does.
const char *const Utf8Connection = "ISC_DPB_LC_CTYPE=UTF8";

QTemporaryDir *environmentRoot()
{
    static QTemporaryDir dir;
    return &dir;
}

bool durable = false;
}

void TestEnvironment::isolate(bool durableCopies)
{
    durable = durableCopies;
    const QString root = environmentRoot()->path();
    const QString docs = root + QStringLiteral("/documents");
    const QString home = root + QStringLiteral("/home");
    const QString config = root + QStringLiteral("/config");
    const QString data = root + QStringLiteral("/data");
    for (const QString &d : {docs, home, config, data})
        QDir().mkpath(d);
    qputenv("VELLORAN_DOCUMENTS", QFile::encodeName(docs));
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    // Without one, Qt makes a runtime folder of its own in the temporary folder and leaves it there.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = root + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    DataFolder::prepareDatabaseEngine();
}

QString TestEnvironment::root()
{
    return environmentRoot()->path();
}

TestDatabase::TestDatabase(const QString &fileName)
    : m_fileName(fileName)
{
    const QString source = builtDatabase(fileName);
    m_valid = m_dir.isValid() && QFile::copy(source, path());
    if (m_valid)
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    else
        qWarning() << "could not copy" << source << "to" << path();
}

TestDatabase::~TestDatabase()
{
    for (const QString &name : qAsConst(m_connections))
        releaseConnection(name);
}

QString TestDatabase::path() const
{
    return m_dir.path() + QLatin1Char('/') + m_fileName;
}

QString TestDatabase::builtDatabase(const QString &fileName)
{
    return (durable ? QStringLiteral(VELLORAN_DB_DIR) : QStringLiteral(VELLORAN_QUICK_DB_DIR)) + QLatin1Char('/')
        + fileName;
}

QSqlDatabase TestDatabase::open(const QString &connectionName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), connectionName);
    db.setDatabaseName(path());
    db.setUserName(QStringLiteral("SYSDBA"));
    db.setConnectOptions(QLatin1String(Utf8Connection));
    if (!db.open())
        qWarning() << "could not open" << path() << db.lastError().text();
    if (!m_connections.contains(connectionName))
        m_connections << connectionName;
    return db;
}

QVariant TestDatabase::scalar(const QString &sql)
{
    const QString name = QStringLiteral("check-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
        db.setDatabaseName(path());
        db.setUserName(QStringLiteral("SYSDBA"));
        db.setConnectOptions(QLatin1String(Utf8Connection));
        if (db.open()) {
            {
                // The query must be gone before the close, or the engine keeps the file attached.
                QSqlQuery q(db);
                if (q.exec(sql) && q.next())
                    result = q.value(0);
                else
                    qWarning() << "check query failed:" << sql << q.lastError().text();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

void releaseConnection(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool exec(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    if (!query.exec(sql)) {
        qWarning() << sql << query.lastError().text();
        return false;
    }
    return true;
}
