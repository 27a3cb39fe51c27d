#include "testdatabase.h"

#include "reportengine/rptdsplugin.h"
#include "reportengine/rptengine.h"
#include "reportengine/rptsql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTextCodec>
#include <memory>

namespace {

class Host : public QObject
{
    Q_OBJECT
public:
    QStringList asked;
public slots:
    void onSetValue(int, QString name, QVariant &value, int)
    {
        asked.append(name);
        value = QStringLiteral("host");
    }
};

const char inlineSource[] =
    "<DataSource type='INLINE' name='DB3' rowCount='5' delimiter='|'>"
    "<Row value='Col1|Col2|Col3'/>"
    "<Row value='a1|a2|a3'/><Row value='b1|b2'/><Row value='c1|c2|c3'/>"
    "<Row value='d1|d2|d3'/><Row value='e1|e2|e3'/><Row value='f1|f2|f3'/>"
    "</DataSource>";

} // namespace

class TestRptDataSources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void inlineRows();
    void inlineCountEnteredForAnnouncedSet();
    void sourceNameClaimsVariables_data();
    void sourceNameClaimsVariables();
    void otherKindsMakeNothing();
    void sqlSourceServesRowsOnItsOwnConnection();
    void sqlSourceFailuresServeEmptyTexts();
    void secondSqlSourceServes();
    void userConnectionReplacesTemplateSources();
    void pluginSourceCalledByName();
    void pluginThatDoesNotLoad();
    void literalValuesFromSources();

private:
    std::unique_ptr<RptEngine> engineFor(const QString &pageContent);
    QString m_dbPath;
    QTemporaryDir m_dir;
    std::unique_ptr<RptEngine> m_engine;
    Host m_host;
};

std::unique_ptr<RptEngine> TestRptDataSources::engineFor(const QString &pageContent)
{
    auto engine = std::make_unique<RptEngine>();
    QDomDocument doc;
    if (!doc.setContent(QStringLiteral("<Reports><Report>%1</Report></Reports>").arg(pageContent)))
        qFatal("test template does not parse");
    engine->loadReport(doc);
    connect(engine.get(), &RptEngine::setValue, &m_host, &Host::onSetValue);
    return engine;
}

void TestRptDataSources::initTestCase()
{
    m_dbPath = m_dir.filePath(QStringLiteral("people.sqlite"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("setup"));
        db.setDatabaseName(m_dbPath);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("create table people (id integer, name text, note text)"));
        QVERIFY(q.exec("insert into people values (1, 'Ann', 'a < b > c')"));
        QVERIFY(q.exec("insert into people values (2, 'O''Brien', '[x] <1+1>')"));
        QVERIFY(q.exec("insert into people values (3, 'Cleo', '')"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("setup"));

    // The program's own connection under the default name must survive every report.
    QSqlDatabase app = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    app.setDatabaseName(m_dir.filePath(QStringLiteral("app.sqlite")));
    QVERIFY(app.open());
}

void TestRptDataSources::init()
{
    m_host.asked.clear();
}

void TestRptDataSources::cleanup()
{
    m_engine.reset();
}

void TestRptDataSources::inlineRows()
{
    m_engine = engineFor(QString::fromLatin1(inlineSource));
    int page = 0;
    m_engine->openDataSource(page);
    auto *source = m_engine->pageList().first()->dataSource;
    QVERIFY(source);
    QCOMPARE(source->getName(), QStringLiteral("DB3"));
    QCOMPARE(source->getRecordCount(), 5);
    QCOMPARE(source->getFieldValue(QStringLiteral("Col2"), 0), QStringLiteral("a2"));
    QCOMPARE(source->getFieldValue(QStringLiteral("Col3"), 1), QString());
    QCOMPARE(source->getFieldValue(QStringLiteral("col1"), 0), QString());
    QCOMPARE(source->getFieldValue(QStringLiteral("Col1"), 5), QStringLiteral("f1"));
    QCOMPARE(source->getFieldValue(QStringLiteral("Col1"), 6), QString());
    QCOMPARE(source->getFieldValue(QStringLiteral("Col1"), -1), QString());

    QCOMPARE(m_engine->sectionValue(QStringLiteral("[DB3.Col2]"), -1), QStringLiteral("a2"));
    QVERIFY(m_host.asked.isEmpty());
    QCOMPARE(m_engine->dataSetList().size(), 1);
    const DataSetInfo info = m_engine->dataSetList().first();
    QCOMPARE(info.dataSetName, QStringLiteral("DB3"));
    QCOMPARE(info.reportPage, 0);
    QCOMPARE(info.dataSetNo, 1);
    QCOMPARE(info.recordCount, 5);
}

void TestRptDataSources::inlineCountEnteredForAnnouncedSet()
{
    m_engine = engineFor(QStringLiteral("<ReportBand type='MasterData' dataSourceName='DB3'/>")
                         + QString::fromLatin1(inlineSource));
    m_engine->announceDataSets(0);
    int page = 0;
    m_engine->openDataSource(page);
    QCOMPARE(m_engine->dataSetList().size(), 1);
    QCOMPARE(m_engine->getRecCount(0, QStringLiteral("DB3")), 5);
}

void TestRptDataSources::sourceNameClaimsVariables_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("hostAsked");
    QTest::newRow("name not in variable") << "ds" << "[address]" << "host" << true;
    QTest::newRow("name inside variable") << "ds" << "[bads.Col1]" << "" << false;
    QTest::newRow("empty name claims all") << "" << "[Col1]" << "r0" << false;
    QTest::newRow("empty name drops every dot") << "" << "[x.Col1]" << "x0" << false;
}

void TestRptDataSources::sourceNameClaimsVariables()
{
    QFETCH(QString, name);
    QFETCH(QString, variable);
    QFETCH(QString, expected);
    QFETCH(bool, hostAsked);
    m_engine = engineFor(QStringLiteral("<DataSource type='INLINE' name='%1' rowCount='1' delimiter=';'>"
                                        "<Row value='Col1;xCol1'/><Row value='r0;x0'/></DataSource>")
                             .arg(name));
    int page = 0;
    m_engine->openDataSource(page);
    QCOMPARE(m_engine->sectionValue(variable, -1), expected);
    QCOMPARE(!m_host.asked.isEmpty(), hostAsked);
}

void TestRptDataSources::otherKindsMakeNothing()
{
    m_engine = engineFor(QStringLiteral("<DataSource type='XML' name='x'/><DataSource name='y'/>"));
    int page = 0;
    m_engine->openDataSource(page);
    QVERIFY(!m_engine->pageList().first()->dataSource);
    QVERIFY(!m_engine->pageList().first()->sqlDataSource);
    QVERIFY(m_engine->dataSetList().isEmpty());
    // A page number that does not exist is ignored.
    page = 4;
    m_engine->openDataSource(page);
}

void TestRptDataSources::sqlSourceServesRowsOnItsOwnConnection()
{
    QTextCodec *codecBefore = QTextCodec::codecForLocale();
    const QStringList connectionsBefore = QSqlDatabase::connectionNames();
    m_engine = engineFor(QStringLiteral(
        "<ReportBand type='MasterData' dataSourceName='people'/>"
        "<DataSource type='SQL' name='people' dbType='QSQLITE' dbName='%1' charsetCoding='KOI8-R'>\n"
        "  select id, name, note from people order by id\n</DataSource>")
                             .arg(m_dbPath));
    m_engine->announceDataSets(0);
    int page = 0;
    m_engine->openDataSource(page);
    auto *sql = qobject_cast<RptSql *>(m_engine->pageList().first()->sqlDataSource);
    QVERIFY(sql);
    QCOMPARE(sql->getRecordCount(), 3);
    QCOMPARE(m_engine->getRecCount(0, QStringLiteral("people")), 3);
    QCOMPARE(sql->fieldNames, QStringList({"id", "name", "note"}));
    QCOMPARE(sql->rows.size(), 3);
    QCOMPARE(sql->getFieldValue(QStringLiteral("name"), 1), QStringLiteral("O'Brien"));
    QCOMPARE(sql->getFieldValue(QStringLiteral("fieldName"), 0), QStringLiteral("as"));
    QCOMPARE(sql->getFieldValue(QStringLiteral("nothing"), 0), QString());
    QCOMPARE(sql->getFieldValue(QStringLiteral("name"), 3), QString());
    m_engine->setCurrentRecord(2);
    QCOMPARE(m_engine->sectionValue(QStringLiteral("[people.name]"), -1), QStringLiteral("Cleo"));

    // The program's connection and the process codec are left as they were.
    QSqlDatabase app = QSqlDatabase::database();
    QVERIFY(app.isOpen());
    QVERIFY(app.databaseName().endsWith(QLatin1String("app.sqlite")));
    QCOMPARE(QTextCodec::codecForLocale(), codecBefore);
    QVERIFY(QSqlDatabase::connectionNames().contains(sql->connectionName()));
    QVERIFY(!connectionsBefore.contains(sql->connectionName()));

    // Running again replaces the page's source; the engine going takes every connection with it.
    m_engine->openDataSource(page);
    QCOMPARE(QSqlDatabase::connectionNames().size(), connectionsBefore.size() + 1);
    m_engine.reset();
    QCOMPARE(QSqlDatabase::connectionNames(), connectionsBefore);
}

void TestRptDataSources::sqlSourceFailuresServeEmptyTexts()
{
    m_engine = engineFor(QStringLiteral(
        "<DataSource type='SQL' name='bad' dbType='QSQLITE' dbName='%1'>select * from nowhere</DataSource>")
                             .arg(m_dbPath));
    int page = 0;
    m_engine->openDataSource(page);
    auto *sql = qobject_cast<RptSql *>(m_engine->pageList().first()->sqlDataSource);
    QVERIFY(sql);
    QVERIFY(m_engine->dataSetList().isEmpty());
    QCOMPARE(sql->getFieldValue(QStringLiteral("fieldName"), 0), QString());
    QCOMPARE(m_engine->sectionValue(QStringLiteral("[bad.x]"), -1), QString());
    QVERIFY(m_engine->sectionFieldImage(QStringLiteral("[bad.x]")).isNull());

    // A driver that does not exist gives the same quiet result.
    m_engine = engineFor(QStringLiteral("<DataSource type='SQL' name='none' dbType='QNOSUCH'>select 1</DataSource>"));
    m_engine->openDataSource(page);
    QVERIFY(m_engine->dataSetList().isEmpty());
    QCOMPARE(m_engine->sectionValue(QStringLiteral("[none.x]"), -1), QString());
}

void TestRptDataSources::secondSqlSourceServes()
{
    m_engine = engineFor(QStringLiteral(
        "<DataSource type='SQL' name='q' dbType='QSQLITE' dbName='%1'>select name from people where id = 1</DataSource>"
        "<DataSource type='SQL' name='q' dbType='QSQLITE' dbName='%1'>select name from people where id = 3</DataSource>")
                             .arg(m_dbPath));
    int page = 0;
    m_engine->openDataSource(page);
    QCOMPARE(m_engine->sectionValue(QStringLiteral("[q.name]"), 0), QStringLiteral("Cleo"));
    QCOMPARE(m_engine->getRecCount(0, QStringLiteral("q")), 1);
}

void TestRptDataSources::userConnectionReplacesTemplateSources()
{
    m_engine = engineFor(QString::fromLatin1(inlineSource));
    RptSqlConnection connection;
    connection.active = true;
    connection.dsName = QStringLiteral("user");
    connection.dbType = QStringLiteral("QSQLITE");
    connection.dbName = m_dbPath;
    connection.sqlQuery = QStringLiteral("select name from people order by id");
    int page = 0;
    m_engine->setUserSqlConnection(page, connection);
    m_engine->openDataSource(page);
    QVERIFY(!m_engine->pageList().first()->dataSource);
    QCOMPARE(m_engine->sectionValue(QStringLiteral("[user.name]"), 0), QStringLiteral("Ann"));
    QCOMPARE(m_engine->getRecCount(0, QStringLiteral("user")), 3);

    RptSqlConnection read;
    int missing = 3;
    m_engine->getUserSqlConnection(missing, read);
    QCOMPARE(read.dsName, QString());
}

void TestRptDataSources::pluginSourceCalledByName()
{
    m_engine = engineFor(QStringLiteral(
        "<DataSource type='INLINE' name='plug' plugin='%1' fileName='rows.dat' dsAliasName='alias'>"
        "<Data><![CDATA[raw data]]></Data></DataSource>")
                             .arg(QStringLiteral(TEST_DS_PLUGIN)));
    int page = 0;
    m_engine->openDataSource(page);
    auto *plugin = qobject_cast<RptDsPlugin *>(m_engine->pageList().first()->dataSource);
    QVERIFY(plugin);
    QVERIFY(plugin->pluginObject());
    QCOMPARE(m_engine->getRecCount(0, QStringLiteral("plug")), 3);
    m_engine->setCurrentRecord(2);
    QCOMPARE(m_engine->sectionValue(QStringLiteral("[plug.amount]"), -1), QStringLiteral("amount:2"));
    QCOMPARE(plugin->pluginObject()->property("calls").toStringList(),
             QStringList({"setDataStr:raw data", "loadXML:1", "getRecordCount:alias"}));

    // Without a data text the data file is handed over instead.
    m_engine = engineFor(QStringLiteral(
        "<DataSource type='INLINE' name='plug' plugin='%1' fileName='rows.dat'/>").arg(QStringLiteral(TEST_DS_PLUGIN)));
    m_engine->openDataSource(page);
    plugin = qobject_cast<RptDsPlugin *>(m_engine->pageList().first()->dataSource);
    QCOMPARE(plugin->pluginObject()->property("calls").toStringList().first(), QStringLiteral("setDataFile:rows.dat"));
}

void TestRptDataSources::pluginThatDoesNotLoad()
{
    m_engine = engineFor(QStringLiteral(
        "<DataSource type='INLINE' name='plug' plugin='%1'/>").arg(m_dir.filePath(QStringLiteral("missing.so"))));
    int page = 0;
    m_engine->openDataSource(page);
    auto *plugin = qobject_cast<RptDsPlugin *>(m_engine->pageList().first()->dataSource);
    QVERIFY(plugin);
    QVERIFY(!plugin->pluginObject());
    QCOMPARE(m_engine->getRecCount(0, QStringLiteral("plug")), 0);
    QCOMPARE(m_engine->sectionValue(QStringLiteral("[plug.x]"), 0), QString());
}

void TestRptDataSources::literalValuesFromSources()
{
    m_engine = engineFor(QStringLiteral(
        "<DataSource type='SQL' name='p' dbType='QSQLITE' dbName='%1'>select name, note from people order by id</DataSource>")
                             .arg(m_dbPath));
    int page = 0;
    m_engine->openDataSource(page);
    m_engine->setCurrentRecord(0);
    QCOMPARE(m_engine->sectionField(nullptr, QStringLiteral("[p.name]: [p.note]"), false, false, QString()),
             QStringLiteral("Ann: a < b > c"));
    m_engine->setCurrentRecord(1);
    QCOMPARE(m_engine->sectionField(nullptr, QStringLiteral("[p.name]: [p.note]"), false, false, QString()),
             QStringLiteral("O'Brien: [x] <1+1>"));
    QVERIFY(m_host.asked.isEmpty());

    RptFieldObject field;
    field.printing = QStringLiteral("[p.name] == \"O'Brien\" && [p.note].length == 9");
    QVERIFY(m_engine->isFieldVisible(&field));
    field.printing = QStringLiteral("[p.name] == 'Ann'");
    QVERIFY(!m_engine->isFieldVisible(&field));
}

VELLORAN_TEST_MAIN(TestRptDataSources)
#include "tst_rptdatasources.moc"
