#include "testdatabase.h"

#include "platform/datafolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QSqlQuery>

class TestDataFolder : public QObject
{
    Q_OBJECT

private slots:
    void folderFollowsDocumentsVariable()
    {
        const QString docs = qEnvironmentVariable("VELLORAN_DOCUMENTS");
        QCOMPARE(DataFolder::path(), docs + QStringLiteral("/Morvessa/Morvessa Velloran"));
        QCOMPARE(DataFolder::filePath(QStringLiteral("DATA.FDB")), DataFolder::path() + QStringLiteral("/DATA.FDB"));
    }

    void folderFallsBackToDataLocation()
    {
        const QByteArray saved = qgetenv("VELLORAN_DOCUMENTS");
        qunsetenv("VELLORAN_DOCUMENTS");
        QCOMPARE(DataFolder::path(), qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Morvessa/Morvessa Velloran"));
        qputenv("VELLORAN_DOCUMENTS", saved);
    }

    // The first start brings the delivered databases into the data folder; an office's own file, or
    // one the installation does not have, is left alone.
    void deliveredDatabasesOnlyWhereAbsent()
    {
        QTemporaryDir delivered;
        QVERIFY(delivered.isValid());
        for (const QString &name : DataFolder::deliveredDatabases()) {
            QFile file(delivered.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("delivered " + name.toLatin1());
            file.close();
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        QDir(DataFolder::path()).removeRecursively();
        QVERIFY(DataFolder::provideDeliveredDatabases(QString()).isEmpty());
        QVERIFY(!QFile::exists(DataFolder::path()));

        QCOMPARE(DataFolder::provideDeliveredDatabases(delivered.path()),
                 QStringList({QStringLiteral("DATA.FDB"), QStringLiteral("DEMO.FDB")}));
        QVERIFY(QFileInfo(DataFolder::filePath(QStringLiteral("DEMO.FDB"))).isWritable());

        QFile office(DataFolder::filePath(QStringLiteral("DATA.FDB")));
        QVERIFY(office.open(QIODevice::WriteOnly));
        office.write("the office's own");
        office.close();
        QVERIFY(QFile::remove(DataFolder::filePath(QStringLiteral("DEMO.FDB"))));
        QCOMPARE(DataFolder::provideDeliveredDatabases(delivered.path()), QStringList(QStringLiteral("DEMO.FDB")));
        QVERIFY(office.open(QIODevice::ReadOnly));
        QCOMPARE(office.readAll(), QByteArray("the office's own"));
        QDir(DataFolder::path()).removeRecursively();
    }

    void embeddedEngineOpensACopy()
    {
        TestDatabase copy(QStringLiteral("DATA.FDB"));
        QVERIFY(copy.isValid());
        QSqlDatabase db = copy.open(QStringLiteral("platform"));
        QVERIFY(db.isOpen());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("select 1 from RDB$DATABASE")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }
};

VELLORAN_TEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
