// The data hub on fresh copies of the delivered databases: the models it builds, how it stops on a
// broken file and the user it loads.

#include "datahub/xdatasource.h"
#include "testhub.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
QString defaultConnection()
{
    return QLatin1String(QSqlDatabase::defaultConnection);
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
    void noDriverGivesInvalidDb();
    void cleanup();

    void buildsEveryModelInOrder_data();
    void buildsEveryModelInOrder();
    void joinModesDecideWhichRowsAreListed();
    void missingTableStopsTheOpening();
    void unreadableFileReportsTheDriverError();
    void loadsTheAdministratorsRights();

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
        {"QSqlDoubleQueryModel", "", {}, -1, "", -1, ""},
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

VELLORAN_TEST_MAIN(TestXDataSource)
#include "tst_xdatasource.moc"
