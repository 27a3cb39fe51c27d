#include "testdatabase.h"

#include "platform/datafolder.h"

#include <QApplication>
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
