#ifndef DATAFOLDER_H
#define DATAFOLDER_H

#include <QString>

// The folder both programs keep the office's database in. On the office's Windows machines this was
// the all-users documents folder; here it is $VELLORAN_DOCUMENTS when set, else the user's data
// location, followed by "Morvessa/Morvessa Velloran".
class DataFolder
{
public:
    static QString documentsFolder();
    static QString path();
    static QString filePath(const QString &fileName);

    // The embedded database engine keeps its lock files in $FIREBIRD_LOCK. Its default is a folder
    // shared by every user of the machine, which the first user owns; point it at a folder of the
    // current user's own unless somebody chose one.
    static void prepareDatabaseEngine();

    // The client library the QIBASE driver loads on this platform.
    static QString databaseClientLibrary();
};

#endif // DATAFOLDER_H
