#ifndef RPTSQL_H
#define RPTSQL_H

#include "rptdsabstract.h"
#include "rptsqlconnection.h"

#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>

// The result of an SQL query as a data source, on a database connection of its own.
class RptSql : public RptDsAbstract
{
    Q_OBJECT

public:
    explicit RptSql(QObject *parent = nullptr);
    ~RptSql() override;

    void setConnection(RptSqlConnection connection);
    bool openQuery();
    QImage getFieldImage(QString fieldName, int recNo);
    QString connectionName() const { return m_connectionName; }

public slots:
    void loadXML(QDomElement element) override;
    QString getFieldValue(QString fieldName, int recNo) override;

private:
    void releaseConnection();

    QSqlDatabase m_db;
    QSqlQuery *m_query = nullptr;
    RptSqlConnection m_connection;
    QString m_connectionName;
};

#endif // RPTSQL_H
