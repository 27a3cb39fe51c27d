#ifndef RPTSQLCONNECTION_H
#define RPTSQLCONNECTION_H

#include <QString>

// Settings of one SQL data source: what the host hands to a report page, or what a template's
// "SQL" data source describes. `active` and `pageNo` only matter for the host's record.
struct RptSqlConnection
{
    bool active = false;
    int pageNo = 0;
    QString dsName;
    QString dbType;
    QString dbName;
    QString dbHost;
    QString dbUser;
    QString dbPassword;
    int dbPort = 0;
    QString dbConnectionName;
    QString sqlQuery;
    QString dbCoding;
    QString charsetCoding;
};

#endif // RPTSQLCONNECTION_H
