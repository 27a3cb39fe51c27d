// The data hub on fresh copies of the delivered databases: the models it builds, how it stops on a
// broken file, the user it loads, and re-opening, closing and emptying the database.

#include "datahub/fileupgrade.h"
#include "datahub/xdatasource.h"
#include "testhub.h"

#include <QLoggingCategory>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <functional>

namespace {
QString defaultConnection()
{
    return QLatin1String(QSqlDatabase::defaultConnection);
}

// Keeps every warning and debug line written while it lives (and still passes them on), so that a
// test can tell a quiet operation from one Qt complained about.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        s_active = this;
        m_previous = qInstallMessageHandler(&MessageRecorder::handle);
    }
    ~MessageRecorder()
    {
        qInstallMessageHandler(m_previous);
        s_active = nullptr;
    }

    QStringList warnings;
    QStringList debugLines;

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (type == QtWarningMsg || type == QtCriticalMsg)
            s_active->warnings << text;
        else if (type == QtDebugMsg)
            s_active->debugLines << text;
        if (s_active->m_previous)
            s_active->m_previous(type, context, text);
    }

    static MessageRecorder *s_active;
    QtMessageHandler m_previous = nullptr;
};
MessageRecorder *MessageRecorder::s_active = nullptr;

// Whether the engine still counts the connection of that number as attached to the file, seen from a
// connection of the test's own (each query a new transaction, so a fresh look).
bool attached(const QSqlDatabase &monitor, qlonglong attachment)
{
    QSqlQuery q(monitor);
    q.prepare("select count(*) from mon$attachments where mon$attachment_id = ?");
    q.addBindValue(attachment);
    if (!q.exec() || !q.next()) {
        qWarning() << "monitor query failed:" << q.lastError().text();
        return false;
    }
    return q.value(0).toInt() == 1;
}

int generatorValue(TestDatabase &copy, const QString &table)
{
    return copy.scalar(QStringLiteral("select gen_id(GEN_%1_ID, 0) from rdb$database").arg(table)).toInt();
}

struct ExpectedModel
{
    const char *className;
    const char *table;        // empty for query models
    QVector<int> decimals;     // money columns, or column -> places for query models
    int relationColumn;
    const char *relationTable;
    int sortColumn;            // -1: no sort
    const char *order;
};
}

class TestXDataSource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void noDriverGivesInvalidDb();
    void cleanup();

    void buildsEveryModelInOrder_data();
    void buildsEveryModelInOrder();
    void joinModesDecideWhichRowsAreListed();
    void missingTableStopsTheOpening();
    void missingLaterReadTableStopsTheOpening_data();
    void missingLaterReadTableStopsTheOpening();
    void cashbookAndTransactionsAreReadWhenFirstAsked();
    void unreadableFileReportsTheDriverError();
    void loadsTheAdministratorsRights();

    void reopenTablesShowsRowsOfOtherConnections_data();
    void reopenTablesShowsRowsOfOtherConnections();
    void reopenTablesFailure_data();
    void reopenTablesFailure();
    void closeDatabaseReleasesTheConnection();
    void clearDatabaseEmptiesAllButReferenceTables();
    void clearDatabaseDeletesNothingWithoutItsOwnTransaction();

private:
    XDataSource *openHub(TestDatabase &copy);

    XDataSource *m_hub = nullptr;
};

XDataSource *TestXDataSource::openHub(TestDatabase &copy)
{
    m_hub = hubOnCopy(copy);
    return m_hub;
}

void TestXDataSource::cleanup()
{
    delete m_hub;
    m_hub = nullptr;
    releaseConnection();
}

// The hub's diagnostics are what several cases check; an ordinary run keeps them off.
void TestXDataSource::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("velloran.debug=true"));
}

// Runs first, before anything has loaded the database driver.
void TestXDataSource::noDriverGivesInvalidDb()
{
    const QStringList paths = QCoreApplication::libraryPaths();
    QTemporaryDir noPlugins;
    QCoreApplication::setLibraryPaths({noPlugins.path()});
    if (QSqlDatabase::isDriverAvailable("QIBASE")) {
        QCoreApplication::setLibraryPaths(paths);
        QSKIP("the driver was loaded before the test could hide it");
    }
    XDataSource hub;
    QTest::ignoreMessage(QtWarningMsg, "QSqlDatabase: QIBASE driver not loaded");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("QSqlDatabase: available drivers:.*"));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Invalid DB: Driver not loaded"));
    QVERIFY(!hub.openDatabase());
    QVERIFY(!hub.isOpen());
    QVERIFY(!hub.ownersModel());
    QVERIFY(hub.findChildren<QAbstractItemModel *>().isEmpty());
    QCoreApplication::setLibraryPaths(paths);
}

void TestXDataSource::buildsEveryModelInOrder_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("working database") << "DATA.FDB";
    QTest::newRow("demonstration database") << "DEMO.FDB";
}

void TestXDataSource::buildsEveryModelInOrder()
{
    QFETCH(QString, file);
    TestDatabase copy(file);
    QVERIFY(copy.isValid());
    XDataSource *hub = openHub(copy);
    QCOMPARE(hub->databaseFile(), file);
    QVERIFY(hub->openDatabase());
    QVERIFY(hub->isOpen());
    QVERIFY(hub->query() && hub->query2() && hub->query() != hub->query2());
    QVERIFY(!hub->reportGenerator());

    const QList<ExpectedModel> expected = {
        {"SqlDoubleTableModel", "OWNERS", {16, 17, 22}, -1, "", 0, "ASC"},
        {"QSuperSqlTableModel", "SETUP", {}, -1, "", 0, "ASC"},
        {"QSuperSqlTableModel", "MAIL", {}, -1, "", 0, "ASC"},
        {"QSuperSqlTableModel", "LETTERS", {}, -1, "", 0, "ASC"},
        {"SqlTenantsModel", "TENANTS", {}, -1, "", 0, "ASC"},
        {"QSuperSqlTableModel", "VEHICLES", {}, -1, "", 0, "ASC"},
        {"QSuperSqlTableModel", "PETS", {}, -1, "", 0, "ASC"},
        {"QSuperSqlTableModel", "OCCUPANTS", {}, -1, "", 0, "ASC"},
        {"QSuperSqlTableModel", "CCARDS", {}, -1, "", 0, "ASC"},
        {"QSuperSqlTableModel", "WAITLIST", {}, -1, "", 0, "ASC"},
        {"SqlDoubleTableModel", "DEPOSITS", {3}, -1, "", 0, "ASC"},
        {"QSqlDoubleRelationalTableModel", "BUILDINGS", {13}, 17, "OWNERS", 0, "ASC"},
        {"SqlDoubleTableModel", "APARTMENTS", {7}, -1, "", 0, "ASC"},
        {"QSqlDoubleQueryModel", "", {7, 4, 12, 2}, -1, "", -1, ""},
        {"QSqlDoubleQueryModel", "", {}, -1, "", -1, ""},
        {"ReportQueryModel", "", {}, -1, "", -1, ""},
        {"QSqlDoubleQueryModel", "", {}, -1, "", -1, ""},
        {"RecurModel", "RECUR", {2, 3, 8}, 4, "FREQUENCY", 0, "ASC"},
        {"QUniversalSqlTableModel", "CATEGORIES", {3}, -1, "", 1, "ASC"},
        {"QSqlDoubleRelationalTableModel", "AGREEMENTS", {3, 4, 5, 6, 17}, 7, "FREQUENCY", 0, "ASC"},
        {"QSuperSqlTableModel", "LEASES", {}, -1, "", 0, "ASC"},
        {"QSuperSqlTableModel", "VENDORS", {}, -1, "", 0, "ASC"},
        {"QSqlDoubleRelationalTableModel", "MAINTENANCE", {6}, 7, "VENDORS", 0, "ASC"},
        {"SqlDoubleTableModel", "EQUIPMENTS", {7}, -1, "", 0, "ASC"},
        {"QUniversalSqlTableModel", "TODO", {4}, -1, "", 3, "DESC"},
        {"QSuperSqlTableModel", "REMINDERS", {}, -1, "", 3, "DESC"},
        {"QSuperSqlTableModel", "FREQUENCY", {}, -1, "", -1, ""},
        {"QSqlDoubleRelationalTableModel", "CASHBOOK", {4, 5}, 2, "CATEGORIES", 1, "DESC"},
        {"QSqlDoubleQueryModel", "", {3, 2, 4, 2}, -1, "", -1, ""},
        {"QSuperSqlTableModel", "USERS", {}, -1, "", 1, "ASC"},
        {"QSqlDoubleRelationalTableModel", "CHARGES", {4, 5, 7, 8, 9, 10}, 2, "APARTMENTS", 6, "ASC"},
        {"SqlDoubleTableModel", "TRANS", {4, 6, 8, 9, 10, 11}, -1, "", 1, "DESC"},
        {"SqlDoubleTableModel", "PAYMENTS", {3}, -1, "", 0, "ASC"},
    };
    const QList<QAbstractItemModel *> getters = {
        hub->ownersModel(), hub->setupModel(), hub->mailModel(), hub->lettersModel(), hub->tenantsModel(),
        hub->vehiclesModel(), hub->petsModel(), hub->occupantsModel(), hub->ccardsModel(),
        hub->waitlistModel(), hub->depositsModel(), hub->buildingsModel(), hub->apartmentsModel(),
        hub->apartmentsQueryModel(), hub->selectQueryModel(), hub->reportQueryModel(),
        hub->spareQueryModel(), hub->recurModel(), hub->categoriesModel(), hub->agreementsModel(),
        hub->leasesModel(), hub->vendorsModel(), hub->maintenanceModel(), hub->equipmentModel(),
        hub->todoModel(), hub->remindersModel(), hub->frequencyModel(), hub->cashbookModel(),
        hub->cashbookQueryModel(), hub->usersModel(), hub->chargesModel(), hub->transModel(),
        hub->paymentsModel(),
    };
    const QList<QAbstractItemModel *> created =
        hub->findChildren<QAbstractItemModel *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(created.size(), 33);
    QCOMPARE(created, getters);

    for (int i = 0; i < expected.size(); ++i) {
        const ExpectedModel &e = expected.at(i);
        QAbstractItemModel *model = created.at(i);
        const QString where = QStringLiteral("model %1").arg(i + 1);
        QVERIFY2(QString(model->metaObject()->className()) == e.className, qPrintable(where));
        if (auto *query = qobject_cast<QSqlDoubleQueryModel *>(model)) {
            QMap<int, int> places;
            for (int k = 0; k + 1 < e.decimals.size(); k += 2)
                places.insert(e.decimals.at(k), e.decimals.at(k + 1));
            QVERIFY2(query->doubleColumns() == places, qPrintable(where));
            QVERIFY2(!query->lastError().isValid(), qPrintable(where));
            continue;
        }
        auto *table = qobject_cast<QSqlTableModel *>(model);
        QVERIFY2(table, qPrintable(where));
        QCOMPARE(table->tableName(), QString(e.table));
        QVERIFY2(table->editStrategy() == QSqlTableModel::OnManualSubmit, qPrintable(where));

        const QString statement = table->query().lastQuery();
        if (e.sortColumn < 0) {
            QVERIFY2(!statement.contains("ORDER BY"), qPrintable(where));
        } else {
            const QString field = table->record().fieldName(e.sortColumn);
            QVERIFY2(statement.contains(QRegularExpression(QStringLiteral("ORDER BY .*%1\"? %2$").arg(field, e.order))),
                     qPrintable(where + ": " + statement));
        }

        QVector<int> decimals;
        if (auto *m = qobject_cast<SqlDoubleTableModel *>(model))
            decimals = m->doubleColumns();
        else if (auto *m = qobject_cast<QSqlDoubleRelationalTableModel *>(model))
            decimals = m->doubleColumns();
        else if (auto *m = qobject_cast<QUniversalSqlTableModel *>(model))
            decimals = m->converters().keys().toVector();
        QVERIFY2(decimals == e.decimals, qPrintable(where));

        if (auto *relational = qobject_cast<QSqlRelationalTableModel *>(model)) {
            const QSqlRelation relation = relational->relation(e.relationColumn);
            QVERIFY2(relation.isValid(), qPrintable(where));
            QCOMPARE(relation.tableName(), QString(e.relationTable));
        }
    }

    QVERIFY(hub->categoriesModel()->converters().value(3) == &XDataSource::transTypeText);
    QVERIFY(hub->todoModel()->converters().value(4) == &XDataSource::priorityText);
    QCOMPARE(hub->apartmentsQueryModel()->record().fieldName(5), QString("TENNAME"));
    QCOMPARE(hub->cashbookQueryModel()->record().fieldName(5), QString("VENDOR"));
    QCOMPARE(hub->setupModel()->rowCount(), 18);
}

void TestXDataSource::joinModesDecideWhichRowsAreListed()
{
    TestDatabase copy("DATA.FDB");
    {
        QSqlDatabase db = copy.open("setup");
        QSqlQuery q(db);
        QVERIFY(q.exec("insert into buildings (buildid, description, oid) values (901, 'Orphan block', 999)"));
        QVERIFY(q.exec("insert into apartments (apid, tid, bid, suite) values (902, -1, 901, 'O-1')"));
        QVERIFY(q.exec("insert into agreements (rid, tid, apid) values (903, 1, 902)"));
        QVERIFY(q.exec("insert into recur (recid, type, freq, apid) values (904, 'Rent', 999, 902)"));
        QVERIFY(q.exec("insert into maintenance (id, description, vendor, apid) values (905, 'Leak', 999, 902)"));
        db.close();
    }
    XDataSource *hub = openHub(copy);
    QVERIFY(hub->openDatabase());
    QCOMPARE(hub->buildingsModel()->rowCount(), 0);
    QCOMPARE(hub->apartmentsQueryModel()->rowCount(), 1);
    QCOMPARE(hub->apartmentsQueryModel()->data(hub->apartmentsQueryModel()->index(0, 3)).toString(), QString("Orphan block"));
    QCOMPARE(hub->recurModel()->rowCount(), 0);
    QCOMPARE(hub->agreementsModel()->rowCount(), 1);
    QCOMPARE(hub->maintenanceModel()->rowCount(), 1);
}

void TestXDataSource::missingTableStopsTheOpening()
{
    TestDatabase copy("DATA.FDB");
    {
        QSqlDatabase db = copy.open("ddl");
        QSqlQuery q(db);
        QVERIFY2(q.exec("drop table vendors"), qPrintable(q.lastError().text()));
        db.close();
    }
    XDataSource *hub = openHub(copy);
    QTest::ignoreMessage(QtDebugMsg, "failed to open VENDORS table");
    QVERIFY(!hub->openDatabase());
    QVERIFY(!hub->isOpen());
    QCOMPARE(hub->findChildren<QAbstractItemModel *>(QString(), Qt::FindDirectChildrenOnly).size(), 22);
    QVERIFY(hub->leasesModel());
    QVERIFY(hub->vendorsModel());
    QCOMPARE(hub->vendorsModel()->rowCount(), 0);
    QVERIFY(!hub->maintenanceModel());
    QVERIFY(!hub->paymentsModel());
    QTest::ignoreMessage(QtDebugMsg, "todomodel is null");
    QVERIFY(!hub->todoModel());
    QVERIFY(QSqlDatabase::database(defaultConnection(), false).isOpen());
}

// The cashbook and the transactions are read only when first asked for, yet a file without them
// must still be refused at the opening.
void TestXDataSource::missingLaterReadTableStopsTheOpening_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("modelsCreated");
    QTest::newRow("cashbook") << "CASHBOOK" << 28;
    QTest::newRow("payment transactions") << "TRANS" << 32;
}

void TestXDataSource::missingLaterReadTableStopsTheOpening()
{
    QFETCH(QString, table);
    QFETCH(int, modelsCreated);
    TestDatabase copy("DATA.FDB");
    {
        QSqlDatabase db = copy.open("ddl");
        QSqlQuery q(db);
        QVERIFY2(q.exec("drop table " + table), qPrintable(q.lastError().text()));
        db.close();
    }
    XDataSource *hub = openHub(copy);
    QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("failed to open %1 table").arg(table)));
    QVERIFY(!hub->openDatabase());
    QVERIFY(!hub->isOpen());
    QCOMPARE(hub->findChildren<QAbstractItemModel *>(QString(), Qt::FindDirectChildrenOnly).size(), modelsCreated);
}

void TestXDataSource::cashbookAndTransactionsAreReadWhenFirstAsked()
{
    TestDatabase copy("DEMO.FDB");
    XDataSource *hub = openHub(copy);
    QVERIFY(hub->openDatabase());

    // Positions in creation order: cashbook 28, its list query 29, transactions 32.
    const QList<QSqlQueryModel *> created =
        hub->findChildren<QSqlQueryModel *>(QString(), Qt::FindDirectChildrenOnly);
    for (int position : {28, 29, 32})
        QVERIFY2(!created.at(position - 1)->query().isActive(), qPrintable(QString::number(position)));

    // Rows written after the opening are there when a window first asks.
    QVERIFY(exec("insert into cashbook (accid, tdate, catid, description, expense, income) "
                 "values (9901, '2031-01-01', 1, 'Newest entry', 5, 0)"));
    QVERIFY(exec("insert into trans (transid, tdate, tid, apid, paytotal) values (9902, '2031-01-02', 1, 1, 7)"));

    const struct {
        QSqlQueryModel *model;
        int dateColumn;
        QString table;
    } lists[] = {
        {hub->cashbookModel(), 1, "cashbook"},
        {hub->cashbookQueryModel(), 0, "cashbook"},
        {hub->transModel(), 1, "trans"},
    };
    for (const auto &list : lists) {
        QSqlQueryModel *model = list.model;
        while (model->canFetchMore())
            model->fetchMore();
        QCOMPARE(model->rowCount(), copy.scalar("select count(*) from " + list.table).toInt());
        QCOMPARE(model->index(0, list.dateColumn).data(Qt::EditRole).toDate(), list.table == "trans"
                     ? QDate(2031, 1, 2) : QDate(2031, 1, 1));
        for (int row = 1; row < model->rowCount(); ++row)
            QVERIFY(model->index(row - 1, list.dateColumn).data(Qt::EditRole).toDate()
                    >= model->index(row, list.dateColumn).data(Qt::EditRole).toDate());
    }
    // Asked again, the model is not read anew: an edit not yet written stays.
    QVERIFY(hub->transModel()->setData(hub->transModel()->index(0, 9), 8.0));
    QVERIFY(hub->transModel()->isDirty());
    QCOMPARE(hub->transModel()->index(0, 9).data(Qt::EditRole).toDouble(), 8.0);
}

void TestXDataSource::unreadableFileReportsTheDriverError()
{
    QTemporaryDir empty;
    m_hub = new XDataSource;
    m_hub->setDataDirectory(empty.path());
    QVERIFY(!m_hub->openDatabase());
    QVERIFY(!m_hub->ownersModel());
    QVERIFY(!m_hub->query());
    QVERIFY(!m_hub->lastErrorText().isEmpty());
}

void TestXDataSource::loadsTheAdministratorsRights()
{
    TestDatabase copy("DEMO.FDB");
    XDataSource *hub = openHub(copy);
    QVERIFY(hub->openDatabase());

    QSqlQuery *q = hub->query();
    q->clear();
    QVERIFY(q->exec("select * from users where lower(id)='admin'"));
    QVERIFY(q->first());
    hub->loadUser(q->record());
    q->clear();

    QCOMPARE(hub->userKey(), 1);
    QCOMPARE(hub->userId(), QString("ADMIN"));
    QCOMPARE(hub->userFirstName(), copy.scalar("select firstname from users where wid = 1").toString());
    QCOMPARE(hub->userLastName(), copy.scalar("select lastname from users where wid = 1").toString());
    const QList<QPair<const char *, bool>> rights = {
        {"progoptions", hub->canSetOptions()},   {"modusers", hub->canModifyUsers()},
        {"bill", hub->canReceivePayments()},     {"voidtrans", hub->canVoidPayments()},
        {"tenants", hub->canManageTenants()},    {"buildings", hub->canManageBuildings()},
        {"apartments", hub->canManageApartments()}, {"cashbook", hub->canUseCashbook()},
        {"equipments", hub->canManageEquipment()}, {"owners", hub->canManageOwners()},
        {"email", hub->canUseEmail()},           {"reports", hub->canViewReports()},
    };
    for (const auto &right : rights) {
        const bool stored = copy.scalar(QStringLiteral("select %1 from users where wid = 1").arg(right.first)).toInt() != 0;
        QVERIFY2(right.second == stored, right.first);
        QVERIFY2(right.second, right.first); // the administrator holds every right
    }
}

using ModelGetter = std::function<QSqlTableModel *(XDataSource *)>;
Q_DECLARE_METATYPE(ModelGetter)

void TestXDataSource::reopenTablesShowsRowsOfOtherConnections_data()
{
    QTest::addColumn<ModelGetter>("model");
    QTest::addColumn<QString>("insert");
    QTest::newRow("owners") << ModelGetter([](XDataSource *h) -> QSqlTableModel * { return h->ownersModel(); })
                            << "insert into owners (code, name) values ('NEW', 'Written elsewhere')";
    QTest::newRow("tenants") << ModelGetter([](XDataSource *h) -> QSqlTableModel * { return h->tenantsModel(); })
                             << "insert into tenants (firstname, lastname) values ('Written', 'Elsewhere')";
    QTest::newRow("vehicles") << ModelGetter([](XDataSource *h) -> QSqlTableModel * { return h->vehiclesModel(); })
                              << "insert into vehicles (tid, make) values (1, 'Written elsewhere')";
    QTest::newRow("pets") << ModelGetter([](XDataSource *h) -> QSqlTableModel * { return h->petsModel(); })
                          << "insert into pets (tid, name) values (1, 'Written elsewhere')";
    QTest::newRow("occupants") << ModelGetter([](XDataSource *h) -> QSqlTableModel * { return h->occupantsModel(); })
                               << "insert into occupants (tid, name) values (1, 'Written elsewhere')";
    QTest::newRow("credit cards") << ModelGetter([](XDataSource *h) -> QSqlTableModel * { return h->ccardsModel(); })
                                  << "insert into ccards (name) values ('Written elsewhere')";
    QTest::newRow("waiting list") << ModelGetter([](XDataSource *h) -> QSqlTableModel * { return h->waitlistModel(); })
                                  << "insert into waitlist (tid) values (2)";
}

void TestXDataSource::reopenTablesShowsRowsOfOtherConnections()
{
    QFETCH(ModelGetter, model);
    QFETCH(QString, insert);
    TestDatabase copy("DEMO.FDB");
    XDataSource *hub = openHub(copy);
    QVERIFY(hub->openDatabase());
    QSqlTableModel *table = model(hub);
    const int before = table->rowCount();

    {
        QSqlDatabase other = copy.open("other");
        QSqlQuery q(other);
        QVERIFY2(q.exec(insert), qPrintable(q.lastError().text()));
        other.close();
    }
    QCOMPARE(table->rowCount(), before); // a model holds what it last selected

    MessageRecorder messages;
    QVERIFY(hub->reopenTables());
    QVERIFY2(messages.warnings.isEmpty(), qPrintable(messages.warnings.join('\n')));
    QCOMPARE(table->rowCount(), before + 1);
    QCOMPARE(model(hub), table);
    QVERIFY(QSqlDatabase::database(defaultConnection(), false).isOpen());

    // The connection is a new one: whatever the windows run next on the hub must reach the file.
    QSqlQuery *q = hub->query();
    q->clear();
    QVERIFY2(q->exec("select count(*) from " + table->tableName()) && q->next(), qPrintable(q->lastError().text()));
    QCOMPARE(q->value(0).toInt(), before + 1);
    q->clear();
    QSqlQuery *q2 = hub->query2();
    q2->clear();
    QVERIFY2(q2->exec("select count(*) from owners") && q2->next(), qPrintable(q2->lastError().text()));
    q2->clear();
    QVERIFY(hub->vendorsModel()->select());
    QVERIFY(exec("update owners set name = 'After reopening' where oid = 1"));
    QCOMPARE(copy.scalar("select name from owners where oid = 1").toString(), QString("After reopening"));
}

void TestXDataSource::reopenTablesFailure_data()
{
    QTest::addColumn<QString>("droppedTable");
    QTest::addColumn<QString>("debugLine");
    // The file out of reach: no line of a model, since none was tried.
    QTest::newRow("file unreachable") << "" << "";
    // A table of the seven gone: the models before it are selected, the line names it.
    QTest::newRow("credit cards gone") << "ccards" << "failed to open ccards table";
}

void TestXDataSource::reopenTablesFailure()
{
    QFETCH(QString, droppedTable);
    QFETCH(QString, debugLine);
    TestDatabase copy("DEMO.FDB");
    XDataSource *hub = openHub(copy);
    if (droppedTable.isEmpty()) {
        QVERIFY(hub->openDatabase());
        // The engine keeps a file it has open by its path, so the file is made unreachable by
        // pointing the connection elsewhere.
        QSqlDatabase::database().setDatabaseName(copy.folder() + "/gone/" + copy.fileName());
    } else {
        {
            QSqlDatabase db = copy.open("ddl");
            QSqlQuery q(db);
            QVERIFY2(q.exec("drop table " + droppedTable), qPrintable(q.lastError().text()));
            db.close();
        }
        QTest::ignoreMessage(QtDebugMsg, qPrintable(debugLine));
        QVERIFY(!hub->openDatabase());
        QVERIFY(hub->ccardsModel());
    }
    const int owners = hub->ownersModel()->rowCount();
    QVERIFY(exec("insert into owners (code) values ('LATE')"));

    MessageRecorder messages;
    QVERIFY(!hub->reopenTables());
    QStringList modelLines = messages.debugLines.filter("failed to open");
    QCOMPARE(modelLines, debugLine.isEmpty() ? QStringList() : QStringList{debugLine});
    // The owners come before the credit cards, so only a broken connection leaves them stale.
    QCOMPARE(hub->ownersModel()->rowCount(), debugLine.isEmpty() ? owners : owners + 1);
}

void TestXDataSource::closeDatabaseReleasesTheConnection()
{
    TestDatabase copy("DEMO.FDB");
    XDataSource *hub = openHub(copy);
    QVERIFY(hub->openDatabase());
    // What the windows leave behind: pickers and reports with their own rows, the shared queries
    // after use.
    hub->selectQueryModel()->setQuery("select * from tenants", QSqlDatabase::database());
    hub->reportQueryModel()->setQuery("select * from buildings", QSqlDatabase::database());
    QVERIFY(hub->selectQueryModel()->rowCount() > 0);
    QVERIFY(hub->reportQueryModel()->rowCount() > 0);
    QVERIFY(hub->query()->exec("select count(*) from apartments") && hub->query()->next());
    QVERIFY(hub->query2()->exec("select * from owners") && hub->query2()->next());
    QVERIFY(hub->cashbookModel()->relationModel(2));
    QSqlQuery self(QSqlDatabase::database());
    QVERIFY(self.exec("select current_connection from rdb$database") && self.next());
    const qlonglong attachment = self.value(0).toLongLong();
    self = QSqlQuery();
    const QSqlDatabase monitor = copy.open("monitor");
    QVERIFY(attached(monitor, attachment));

    MessageRecorder messages;
    hub->closeDatabase();
    QVERIFY2(messages.warnings.isEmpty(), qPrintable(messages.warnings.join('\n')));
    QVERIFY(!QSqlDatabase::contains(defaultConnection()));
    QVERIFY(!attached(monitor, attachment));
    for (QSqlQueryModel *model : {static_cast<QSqlQueryModel *>(hub->selectQueryModel()),
                                  static_cast<QSqlQueryModel *>(hub->reportQueryModel()),
                                  static_cast<QSqlQueryModel *>(hub->apartmentsQueryModel()),
                                  static_cast<QSqlQueryModel *>(hub->cashbookQueryModel())}) {
        QVERIFY(model);
        QCOMPARE(model->rowCount(), 0);
        QVERIFY(model->query().lastQuery().isEmpty());
    }
    QVERIFY(!hub->isOpen());
    // Whatever still asks the hub for a table model or a shared query learns that there is none.
    QVERIFY(!hub->ownersModel());
    QVERIFY(!hub->cashbookModel());
    QVERIFY(!hub->query() && !hub->query2());

    // Nothing of the hub may still lean on the removed connection when the hub goes.
    delete m_hub;
    m_hub = nullptr;
    QVERIFY2(messages.warnings.isEmpty(), qPrintable(messages.warnings.join('\n')));
}

void TestXDataSource::clearDatabaseEmptiesAllButReferenceTables()
{
    struct Table
    {
        const char *name;
        const char *key;
        bool kept;
    };
    const QList<Table> tables = {
        {"OWNERS", "oid", false},        {"BUILDINGS", "buildid", false}, {"APARTMENTS", "apid", false},
        {"TENANTS", "tid", false},       {"VEHICLES", "vehid", false},    {"PETS", "petid", false},
        {"OCCUPANTS", "occid", false},   {"WAITLIST", "wlid", false},     {"DEPOSITS", "depid", false},
        {"AGREEMENTS", "rid", false},    {"RECUR", "recid", false},       {"CHARGES", "chid", false},
        {"TRANS", "transid", false},     {"PAYMENTS", "payid", false},    {"CASHBOOK", "accid", false},
        {"VENDORS", "vid", false},       {"MAINTENANCE", "id", false},    {"EQUIPMENTS", "id", false},
        {"TODO", "id", false},           {"REMINDERS", "id", false},
        {"CATEGORIES", "catid", true},   {"CCARDS", "ccid", true},        {"FREQUENCY", "freqid", true},
        {"LEASES", "leaseid", true},     {"LETTERS", "lid", true},        {"MAIL", "mailid", true},
        {"SETUP", "setid", true},        {"USERS", "wid", true},
    };
    TestDatabase copy("DEMO.FDB");
    // Besides them the file's record of its layout, the cashbook's totals, and the billing facts that
    // have no generator of their own (the days bills dealt with, the leases saved, the lines they took
    // over, the periods agreed to); the facts are emptied with the rest.
    QCOMPARE(copy.scalar("select count(*) from rdb$relations where coalesce(rdb$system_flag, 0) = 0 "
                         "and rdb$view_blr is null").toInt(), tables.size() + 6);
    const QString facts = "select (select count(*) from dealtdays) + (select count(*) from leasehistory) + (select "
                          "count(*) from leasetaken) + (select count(*) from agreedperiods) from rdb$database";
    QVERIFY(copy.scalar("select count(*) from dealtdays").toInt() > 0);
    QVERIFY(copy.scalar("select count(*) from leasehistory").toInt() > 0);
    XDataSource *hub = openHub(copy);
    QVERIFY(hub->openDatabase());
    // Rows keyed 0 or below are placeholders the program relies on; they survive.
    QVERIFY(exec("insert into owners (oid, code) values (0, 'NONE')"));
    QVERIFY(exec("insert into tenants (tid, lastname) values (-1, 'Vacant')"));

    QHash<QString, int> rows, placeholders, generators;
    for (const Table &t : tables) {
        rows[t.name] = copy.scalar(QStringLiteral("select count(*) from %1").arg(t.name)).toInt();
        placeholders[t.name] = copy.scalar(QStringLiteral("select count(*) from %1 where %2 <= 0").arg(t.name, t.key)).toInt();
        generators[t.name] = generatorValue(copy, t.name);
        QVERIFY2(rows[t.name] > placeholders[t.name], t.name);
        QVERIFY2(generators[t.name] > 0, t.name);
    }
    QCOMPARE(placeholders["OWNERS"], 1);
    QCOMPARE(placeholders["TENANTS"], 1);

    hub->clearDatabase();
    QCOMPARE(copy.scalar(facts).toInt(), 0);

    for (const Table &t : tables) {
        const int after = copy.scalar(QStringLiteral("select count(*) from %1").arg(t.name)).toInt();
        const int generator = generatorValue(copy, t.name);
        if (t.kept) {
            QVERIFY2(after == rows[t.name], t.name);
            QVERIFY2(generator == generators[t.name], t.name);
        } else {
            QVERIFY2(after == placeholders[t.name], t.name);
            QVERIFY2(generator == 0, t.name);
        }
    }
    QCOMPARE(copy.scalar("select list(fileversion) from filelevel").toString(), QString::number(FileUpgrade::CurrentVersion));
    // The cashbook emptied, its totals are nothing.
    QCOMPARE(copy.scalar("select list(expense + income) from cashbooktotals").toDouble(), 0.0);
    // A reset generator hands out keys from 1 again.
    QVERIFY(exec("insert into owners (code) values ('FIRST')"));
    QCOMPARE(copy.scalar("select oid from owners where code = 'FIRST'").toInt(), 1);
}

void TestXDataSource::clearDatabaseDeletesNothingWithoutItsOwnTransaction()
{
    TestDatabase copy("DEMO.FDB");
    XDataSource *hub = openHub(copy);
    QVERIFY(hub->openDatabase());
    const int owners = copy.scalar("select count(*) from owners").toInt();
    const int generator = generatorValue(copy, "OWNERS");

    // A transaction already running on the connection: the hub cannot start its own.
    QSqlDatabase db = QSqlDatabase::database();
    QVERIFY(db.transaction());
    hub->clearDatabase();
    QVERIFY(db.rollback());

    QCOMPARE(copy.scalar("select count(*) from owners").toInt(), owners);
    QCOMPARE(generatorValue(copy, "OWNERS"), generator);
}

VELLORAN_TEST_MAIN(TestXDataSource)
#include "tst_xdatasource.moc"
