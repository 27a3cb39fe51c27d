#ifndef TESTDATABASE_H
#define TESTDATABASE_H

#include <QApplication>
#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

// Points every folder a program might write to (data folder, home, settings) at a temporary folder
// that lives as long as the test process, so that no test touches a real office or user settings.
// The test's databases are copied from files whose commits do not wait for the disk, unless
// `durableCopies`: a test of what a file keeps through a crash copies the delivered files as they are.
class TestEnvironment
{
public:
    static void isolate(bool durableCopies = false);
    static QString root();
};

// A private copy of a freshly built delivered database ("DATA.FDB" or "DEMO.FDB") in a folder of its
// own. The copy and its folder go when the object goes.
class TestDatabase
{
public:
    explicit TestDatabase(const QString &fileName = QStringLiteral("DATA.FDB"));
    ~TestDatabase();

    bool isValid() const { return m_valid; }
    QString folder() const { return m_dir.path(); }
    QString path() const;
    QString fileName() const { return m_fileName; }

    // Opens the copy through the QIBASE driver on the embedded engine under the given connection name.
    QSqlDatabase open(const QString &connectionName = QLatin1String(QSqlDatabase::defaultConnection));

    // A statement run on a connection of its own, for checking what reached the file.
    QVariant scalar(const QString &sql);

    // The freshly built database the copies are made from (see TestEnvironment::isolate).
    static QString builtDatabase(const QString &fileName);

private:
    QTemporaryDir m_dir;
    QString m_fileName;
    QStringList m_connections;
    bool m_valid = false;
};

// Closes and forgets a connection, so that the next test can open one of that name afresh.
void releaseConnection(const QString &name = QLatin1String(QSqlDatabase::defaultConnection));

// A statement run on the default connection, the one the program's data hub opens; a failure is
// logged with the database's text.
bool exec(const QString &sql);

// Defined true for the tests whose databases must wait for the disk as an office's do (tests/CMakeLists.txt).
#ifndef VELLORAN_DURABLE_COPIES
#define VELLORAN_DURABLE_COPIES false
#endif

// QTEST_MAIN with the environment isolated before the application object exists.
#define VELLORAN_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestEnvironment::isolate(VELLORAN_DURABLE_COPIES);                                         \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#endif // TESTDATABASE_H
