// The statements behind the Reports menu, composed from chosen ids, statuses and dates, against the
// texts the office's reports have always run; and every one of them run on the demonstration
// database, so that none is refused by the engine.
#include "reports/reportsql.h"

#include <testdatabase.h>

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

const char *const Vendors = "select * from vendors order by name asc";
const char *const TenantList = "select * from tenants t order by t.lastname asc, t.firstname asc";
const char *const TenantDetails = "select * from Tenants where tid = %1";
const char *const Owners =
    "select b.description, b.address, b.city, b.provstate, b.tel, b.apartments,  o.code, o.name, o.addres"
    "s, o.city, o.zip, o.state, o.tel, o.fax, o. email from  owners o  left join buildings b  on o.oid = "
    "b.oid   order by o.code asc, b.description asc";
const char *const BuildingsList = "select * from buildings b  order by description asc";
const char *const BuildingsByOwner = "select * from buildings  %1 order by description asc";
const char *const Apartments =
    "select a.apid, a.tid, a.bid, b.description, a.suite, t.firstname||' '||t.lastname as TENNAME, t.comp"
    "any,  a.squarefootage, a.bedrooms, a.bathrooms, a.floor,  a.status, a.rent, a.agreeid from apartment"
    "s a inner join buildings b on a.bid = b.buildid left join tenants t on a.tid=t.tid %1";
const char *const Cashbook =
    "select c.tdate, t.name as category, c.description, c.expense, c.income, v.name as vendor, a.suite, c"
    ".accid, c.catid, c.vid, c.apid  from cashbook c  left join categories t  on c.catid = t.catid  left "
    "join vendors v  on c.vid = v.vid  left join apartments a  on c.apid = a.apid %1 order by c.tdate asc";
const char *const CashbookByTenant =
    "select c.tdate, t.name as category, c.description, c.expense, c.income, v.name as vendor, a.suite, c"
    ".accid, c.catid, c.vid, c.apid  from cashbook c  left join categories t  on c.catid = t.catid  left "
    "join vendors v  on c.vid = v.vid  left join apartments a  on c.apid = a.apid  left join trans r on r"
    ".transid = c.transid  left join tenants x on x.tid = r.tid  %1 order by c.tdate asc";
const char *const Payments =
    "select t.transid, t.tdate, t.ccard, t.ccardn, t.mycheck, t.checkn, t.cash, t.paytotal, t.duetotal, p"
    ".datepaid, p.fordate, p.amount, p.type, a.suite, b.description, x.firstname||' '||x.lastname as full"
    "name from trans t  inner join payments p  on p.transid = t.transid left join charges c on c.chid = p"
    ".chid  left join apartments a on a.apid = c.apid  left join buildings b  on a.bid = b.buildid   left"
    " join tenants x on x.tid = t.tid %1 order by t.tdate asc ";
const char *const LeaseExpiry =
    "select  a.suite, b.description, t.firstname||' '||t.lastname as fullname,  g.leasestart, g.leaseend "
    " from apartments a inner join agreements g on a.agreeid = g.rid  inner join buildings b  on b.buildi"
    "d = a.bid  left join tenants t  on a.tid = t.tid %1  order by b.description asc, a.suite asc";
const char *const ExpiredLeases =
    "select  a.suite, b.description, t.firstname||' '||t.lastname as fullname,  g.leasestart, g.leaseend "
    " from apartments a inner join agreements g on a.agreeid = g.rid  inner join buildings b  on b.buildi"
    "d = a.bid  left join tenants t  on a.tid = t.tid %1 order by g.leaseend asc";
const char *const MaintenanceByApartment =
    "select m.ldate, m.description, m.typex, m.status,  m.priority, m.cost, v.name from maintenance m  le"
    "ft join vendors v  on m.vendor = v.vid %1 order by m.ldate asc";
const char *const MaintenanceByPlace =
    "select b.description, a.suite, m.ldate, m.description, m.typex, m.status,  m.priority, m.cost, v.nam"
    "e from maintenance m  left join vendors v  on m.vendor = v.vid inner join apartments a on m.apid = a"
    ".apid inner join buildings b on a.bid = b.buildid  %1 order by b.description asc, a.suite asc, m.lda"
    "te asc";
const char *const Equipment = "select * from equipments where apid = %1  order by description asc";

QString fill(const char *statement, const QString &where)
{
    return QString::fromLatin1(statement).arg(where);
}

QString fill(const char *statement)
{
    return QString::fromLatin1(statement);
}

const QDate March1(2024, 3, 1);
const QDate March31(2024, 3, 31);

} // namespace

class TestReportSql : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void clauses_data();
    void clauses();
    void statusClause_data();
    void statusClause();
    void statements_data();
    void statements();
    void statementsRunOnDemonstrationData_data();
    void statementsRunOnDemonstrationData();

private:
    TestDatabase *database = nullptr;
};

void TestReportSql::initTestCase()
{
    database = new TestDatabase(QStringLiteral("DEMO.FDB"));
    QVERIFY(database->isValid());
    QVERIFY(database->open().isOpen());
}

void TestReportSql::cleanupTestCase()
{
    releaseConnection();
    delete database;
    database = nullptr;
}

void TestReportSql::clauses_data()
{
    QTest::addColumn<QString>("clause");
    QTest::addColumn<QString>("expected");

    using ReportSql::buildingsClause;
    using ReportSql::ownersClause;
    QTest::newRow("owners 4 and 9, in the order chosen") << ownersClause({4, 9}) << " where oid in (4, 9) ";
    QTest::newRow("owners 9 and 4") << ownersClause({9, 4}) << " where oid in (9, 4) ";
    QTest::newRow("one building") << buildingsClause({7}) << " where b.buildid in (7) ";
    // An id of 0 or less is no record: no number and no dangling separator.
    QTest::newRow("id 0 first") << buildingsClause({0, 7}) << " where b.buildid in (7) ";
    QTest::newRow("negative id between") << buildingsClause({3, -1, 5}) << " where b.buildid in (3, 5) ";
    QTest::newRow("id 0 last") << ownersClause({4, 0}) << " where oid in (4) ";
    QTest::newRow("rewritten for the apartment's building")
        << ReportSql::apartmentBuildingsClause(buildingsClause({3, 5})) << " where a.bid in (3, 5) ";
    QTest::newRow("rewrite keeps other text") << ReportSql::apartmentBuildingsClause(" where B.BUILDID in (1) ")
                                              << " where B.BUILDID in (1) ";
    QTest::newRow("owners' buildings in the chooser")
        << ReportSql::buildingsChoice(ownersClause({2}))
        << "select buildid, description from buildings  where oid in (2)  order by description asc";
    QTest::newRow("every building in the chooser")
        << ReportSql::buildingsChoice(QString()) << "select buildid, description from buildings  order by description asc";
}

void TestReportSql::clauses()
{
    QFETCH(QString, clause);
    QFETCH(QString, expected);
    QCOMPARE(clause, expected);
}

void TestReportSql::statusClause_data()
{
    QTest::addColumn<QVector<int>>("rows");
    QTest::addColumn<QString>("expected");

    QTest::newRow("all") << QVector<int>{0} << "";
    QTest::newRow("open and closed") << QVector<int>{1, 3} << "m.status = 'OPEN' or m.status = 'CLOSED'";
    QTest::newRow("selection order kept") << QVector<int>{4, 2} << "m.status = 'POSTPONED' or m.status = 'RESOLVED'";
    // All means all, wherever it stands in the choice.
    QTest::newRow("all chosen after another") << QVector<int>{2, 0} << "";
    QTest::newRow("all among others") << QVector<int>{1, 0, 3} << "";
    QTest::newRow("row outside the list ignored") << QVector<int>{1, 9} << "m.status = 'OPEN'";
}

void TestReportSql::statusClause()
{
    QFETCH(QVector<int>, rows);
    QFETCH(QString, expected);
    QCOMPARE(ReportSql::statusClause(rows), expected);
}

void TestReportSql::statements_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");

    using namespace ReportSql;
    const QString building7 = buildingsClause({7});
    const QString buildings35 = buildingsClause({3, 5});
    const QString openOrClosed = ReportSql::statusClause({1, 3});
    const QString open = ReportSql::statusClause({1});

    QTest::newRow("vendors") << vendors() << fill(Vendors);
    QTest::newRow("tenant list") << tenantList() << fill(TenantList);
    QTest::newRow("tenant details") << tenantDetails(12) << fill(TenantDetails, "12");
    QTest::newRow("owners") << owners() << fill(Owners);
    QTest::newRow("buildings list") << buildingsList() << fill(BuildingsList);
    QTest::newRow("buildings of all owners, three blanks") << buildingsByOwner(QString())
                                                           << "select * from buildings   order by description asc";
    QTest::newRow("buildings of owners 4 and 9") << buildingsByOwner(ownersClause({4, 9}))
                                                 << fill(BuildingsByOwner, " where oid in (4, 9) ");
    QTest::newRow("apartments, clause as chosen") << apartmentsList(buildings35)
                                                  << fill(Apartments, " where b.buildid in (3, 5) ");
    QTest::newRow("occupied apartments") << occupiedApartments() << fill(Apartments, "where agreeid > -1");
    QTest::newRow("cashbook, building 7, March 2024")
        << cashbook(building7, March1, March31)
        << fill(Cashbook, "  where a.bid in (7)  and c.tdate >= '2024-03-01' and c.tdate <= '2024-03-31' ");
    QTest::newRow("income by tenant")
        << incomeByTenant(12, March1, March31)
        << fill(CashbookByTenant, " where x.tid = 12  and c.tdate >= '2024-03-01' and c.tdate <= '2024-03-31' and "
                                  "c.income > 0");
    QTest::newRow("expense by tenant")
        << expenseByTenant(12, March1, March31)
        << fill(CashbookByTenant, " where x.tid = 12  and c.tdate >= '2024-03-01' and c.tdate <= '2024-03-31' and "
                                  "c.expense > 0");
    QTest::newRow("expense by vendor")
        << expenseByVendor(buildings35, 4, March1, March31)
        << fill(Cashbook, "  where a.bid in (3, 5)  and v.vid = 4 and c.tdate >= '2024-03-01' and c.tdate <= "
                          "'2024-03-31' and c.expense > 0");
    QTest::newRow("payments")
        << payments(building7, March1, March31)
        << fill(Payments, "  where a.bid in (7)  and t.tdate >= '2024-03-01' and t.tdate <= '2024-03-31' ");
    QTest::newRow("payments by tenant")
        << paymentsByTenant(12, March1, March31)
        << fill(Payments, " where x.tid = 12 and t.tdate >= '2024-03-01' and t.tdate <= '2024-03-31' ");
    QTest::newRow("lease expiry") << leaseExpiry(building7) << fill(LeaseExpiry, " where a.bid in (7) ");
    QTest::newRow("expired leases, strictly before today")
        << expiredLeases(building7, QDate(2024, 3, 15))
        << fill(ExpiredLeases, "  where a.bid in (7)  and g.leaseend < '2024-03-15'");
    QTest::newRow("maintenance of apartment 12, open or closed")
        << maintenanceByApartment(12, openOrClosed)
        << fill(MaintenanceByApartment, " where m.apid = 12 and (m.status = 'OPEN' or m.status = 'CLOSED')");
    QTest::newRow("maintenance of apartment 12, every status")
        << maintenanceByApartment(12, QString()) << fill(MaintenanceByApartment, " where m.apid = 12");
    QTest::newRow("maintenance of buildings 3 and 5, every status")
        << maintenanceByBuilding(buildings35, QString())
        << fill(MaintenanceByPlace, "  where b.buildid in (3, 5)  and ( m.apid > -1 )");
    QTest::newRow("maintenance of buildings 3 and 5, open")
        << maintenanceByBuilding(buildings35, open)
        << fill(MaintenanceByPlace, "  where b.buildid in (3, 5)  and (m.status = 'OPEN')");
    QTest::newRow("maintenance without buildings clause")
        << maintenanceByBuilding(QString(), open) << fill(MaintenanceByPlace, " where m.status = 'OPEN'");
    QTest::newRow("maintenance by vendor")
        << maintenanceByVendor(buildings35, open, 4)
        << fill(MaintenanceByPlace, "  where b.buildid in (3, 5)  and (m.status = 'OPEN') and v.vid = 4");
    QTest::newRow("maintenance by vendor, every status, no buildings clause")
        << maintenanceByVendor(QString(), QString(), 4)
        << fill(MaintenanceByPlace, " where  m.apid > -1  and v.vid = 4");
    QTest::newRow("equipment") << equipment(12) << fill(Equipment, "12");

    QTest::newRow("waiting list, tenant list order")
        << waitingList()
        << "select * from tenants t where t.tid in (select w.tid from waitlist w) order by t.lastname asc, "
           "t.firstname asc";
    QTest::newRow("late payments before today")
        << latePayments(QDate(2024, 3, 15))
        << "select c.chid, c.apid, c.tid, c.fordate, c.type, c.amt, a.suite, b.description, x.firstname||' '||"
           "x.lastname as fullname from charges c left join apartments a on a.apid = c.apid left join buildings b "
           "on b.buildid = a.bid left join tenants x on x.tid = c.tid where c.amt > 0 and c.fordate < '2024-03-15' "
           "order by c.apid asc, c.tid asc, c.fordate asc, c.chid asc";
    QTest::newRow("leases ending this month, across a leap day")
        << leasesEndingInMonth(building7, QDate(2024, 2, 10))
        << fill(ExpiredLeases, "  where a.bid in (7)  and g.leaseend >= '2024-02-01' and g.leaseend <= '2024-02-29'");
}

void TestReportSql::statements()
{
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QCOMPARE(statement, expected);
}

void TestReportSql::statementsRunOnDemonstrationData_data()
{
    QTest::addColumn<QString>("statement");

    using namespace ReportSql;
    const QDate from(2000, 1, 1);
    const QDate to(2100, 1, 1);
    const QString buildings = buildingsClause({1, 2, 3});
    const QString status = ReportSql::statusClause({1, 3});
    const QStringList statements = {
        ownersChoice(), buildingsChoice(ownersClause({1, 2})), vendors(), tenantList(), waitingList(),
        tenantDetails(1), tenantAddress(1), owners(), buildingsList(), buildingsByOwner(ownersClause({1})),
        apartmentsList(buildings), occupiedApartments(), vacantApartments(), cashbook(buildings, from, to),
        incomeByBuilding(buildings, from, to), expenseByBuilding(buildings, from, to), incomeByTenant(1, from, to),
        expenseByTenant(1, from, to), expenseByVendor(buildings, 1, from, to), payments(buildings, from, to),
        paymentsByTenant(1, from, to), paymentsSummary(from, to), latePayments(to), leaseExpiry(buildings),
        expiredLeases(buildings, to), leasesEndingInMonth(buildings, to), maintenanceByApartment(3, status),
        maintenanceByBuilding(buildings, QString()), maintenanceByVendor(buildings, status, 1), equipment(1),
    };
    for (int i = 0; i < statements.size(); ++i)
        QTest::addRow("statement %d", i) << statements.at(i);
}

void TestReportSql::statementsRunOnDemonstrationData()
{
    QFETCH(QString, statement);
    QSqlQuery query(QSqlDatabase::database());
    QVERIFY2(query.exec(statement), qPrintable(query.lastError().text() + QLatin1Char('\n') + statement));
    query.clear();
}

VELLORAN_TEST_MAIN(TestReportSql)
#include "tst_reportsql.moc"
