#ifndef DATAFOLDER_H
#define DATAFOLDER_H

#include <QString>
#include <QStringList>

// The folder both programs keep the office's database in. On the office's Windows machines this was
// the all-users documents folder; here it is $VELLORAN_DOCUMENTS when set, else the user's data
// location, followed by "Morvessa/Morvessa Velloran".
class DataFolder
{
public:
    static QString documentsFolder();
    static QString path();
    static QString filePath(const QString &fileName);

    // The delivered databases, DATA.FDB and DEMO.FDB.
    static QStringList deliveredDatabases();
    // Where the installation keeps the delivered databases: beside the program as the install laid
    // them out, else in the build tree's "db" folder. Empty when neither holds them.
    static QString deliveredFolder();
    // Copies each delivered database from `from` into the data folder where the data folder lacks it,
    // creating the folder. An office's database is never overwritten. Returns the names copied.
    static QStringList provideDeliveredDatabases(const QString &from);

    // The embedded database engine keeps its lock files in $FIREBIRD_LOCK. Its default is a folder
    // shared by every user of the machine, which the first user owns; point it at a folder of the
    // current user's own unless somebody chose one.
    static void prepareDatabaseEngine();

    // The client library the QIBASE driver loads on this platform.
    static QString databaseClientLibrary();
};

#endif // DATAFOLDER_H
