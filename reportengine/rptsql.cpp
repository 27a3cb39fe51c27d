#include "rptsql.h"
#include "datahub/debuglog.h"

#include <QAtomicInt>
#include <QDebug>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

namespace {

// Every data source registers a connection under a name nobody else uses: taking the default
// name, or a name the program already holds, would replace the program's own database connection.
QString uniqueConnectionName(const QString &wanted)
{
    static QAtomicInt serial;
    const QString base = wanted.isEmpty() ? QStringLiteral("RptSql") : wanted;
    return QStringLiteral("%1#rpt%2").arg(base).arg(serial.fetchAndAddRelaxed(1) + 1);
}

} // namespace

RptSql::RptSql(QObject *parent)
    : RptDsAbstract(parent)
{
}

RptSql::~RptSql()
{
    releaseConnection();
}

void RptSql::releaseConnection()
{
    delete m_query;
    m_query = nullptr;
    if (m_connectionName.isEmpty())
        return;
    if (m_db.isOpen())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

void RptSql::setConnection(RptSqlConnection connection)
{
    releaseConnection();
    m_connection = connection;
    m_connectionName = uniqueConnectionName(connection.dbConnectionName);
    m_db = QSqlDatabase::addDatabase(connection.dbType, m_connectionName);
    m_db.setDatabaseName(connection.dbName);
    m_db.setHostName(connection.dbHost);
    m_db.setUserName(connection.dbUser);
    m_db.setPassword(connection.dbPassword);
    if (connection.dbPort != 0)
        m_db.setPort(connection.dbPort);
    setObjectName(connection.dsName);
    m_name = connection.dsName;
}

void RptSql::loadXML(QDomElement element)
{
    RptSqlConnection c;
    c.dsName = element.attribute(QStringLiteral("name"));
    c.dbType = element.attribute(QStringLiteral("dbType"));
    c.dbName = element.attribute(QStringLiteral("dbName"));
    c.dbHost = element.attribute(QStringLiteral("dbHost"));
    c.dbUser = element.attribute(QStringLiteral("dbUser"));
    c.dbPassword = element.attribute(QStringLiteral("dbPassword"));
    c.dbCoding = element.attribute(QStringLiteral("dbCoding"));
    c.charsetCoding = element.attribute(QStringLiteral("charsetCoding"));
    c.dbConnectionName = element.attribute(QStringLiteral("dbConnectionName"));
    c.dbPort = element.attribute(QStringLiteral("dbPort")).toInt();
    c.sqlQuery = element.text().trimmed();
    m_name = c.dsName;
    setConnection(c);
}

bool RptSql::openQuery()
{
    delete m_query;
    m_query = nullptr;
    m_recordCount = 0;
    rows.clear();
    fieldNames.clear();
    if (m_connectionName.isEmpty())
        return false;

    const bool opened = m_db.open();
    if (!opened)
        qCDebug(velloranLog) << "Failed open DB" << m_db.lastError().text();
    else
        qCDebug(velloranLog) << "open DB";

    m_query = new QSqlQuery(m_db);
    if (!m_connection.dbCoding.isEmpty() && m_db.driverName().contains(QLatin1String("MYSQL"))) {
        QString coding = m_connection.dbCoding;
        m_query->exec(QStringLiteral("set names '%1'").arg(coding.replace(QLatin1Char('\''), QStringLiteral("''"))));
    }
    // The text codec named by charsetCoding is left alone: the drivers hand over Unicode text,
    // and the codec is the whole program's, not the report's.

    // Without a database there is no result, whatever the driver makes of the statement.
    if (!m_query->exec(m_connection.sqlQuery) || !opened) {
        qCDebug(velloranLog) << m_query->lastError().text();
        return false;
    }
    if (!m_query->isActive())
        return true;

    if (m_query->last())
        m_recordCount = m_query->at() + 1;
    const QSqlRecord record = m_query->record();
    for (int i = 0; i < record.count(); ++i)
        fieldNames.append(record.fieldName(i));
    if (m_recordCount > 0 && m_query->seek(0)) {
        do {
            QStringList row;
            for (int i = 0; i < record.count(); ++i)
                row.append(m_query->value(i).toString());
            rows.append(row);
        } while (m_query->next());
        m_query->seek(0);
    }
    return true;
}

QString RptSql::getFieldValue(QString fieldName, int recNo)
{
    if (!m_query || !m_query->isActive()) {
        qCDebug(velloranLog) << "Query is not active";
        return QString();
    }
    if (fieldName == QLatin1String("fieldName"))
        return QStringLiteral("as");
    if (recNo >= 0 && recNo < m_recordCount) {
        m_query->seek(recNo);
        const int column = m_query->record().indexOf(fieldName);
        return column < 0 ? QString() : m_query->value(column).toString();
    }
    qCDebug(velloranLog) << "recNo more than recordCount";
    return QString();
}

QImage RptSql::getFieldImage(QString fieldName, int recNo)
{
    if (!m_query || !m_query->isActive()) {
        qCDebug(velloranLog) << "Query is not active";
        return QImage();
    }
    if (recNo >= 0 && recNo < getRecordCount()) {
        m_query->seek(recNo);
        const int column = m_query->record().indexOf(fieldName);
        if (column < 0)
            return QImage();
        return QImage::fromData(m_query->value(column).toByteArray());
    }
    qCDebug(velloranLog) << "recNo more than recordCount";
    return QImage();
}
