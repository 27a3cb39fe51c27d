// The values the report builder hands the engine, read from a real query on a copy of the
// demonstration database: column look-up across joined tables, address and name lines, dates,
// money, captions, headings and totals, and the record counts.
#include "datahub/qsqldoublequerymodel.h"
#include "datahub/shortdate.h"
#include "reports/fetchall.h"
#include "reports/tibernereport.h"
#include "tests/reports/previewdriver.h"

#include <testdatabase.h>

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

using ValueSlot = void (TiberneReport::*)(int, QString, QVariant &, int);

const QString Untouched = QStringLiteral("<as the engine gave it>");

const char *const OwnersSql =
    "select b.description, b.address, b.city, b.provstate, b.tel, b.apartments,  o.code, o.name, o.address, "
    "o.city, o.zip, o.state, o.tel, o.fax, o. email from  owners o  left join buildings b  on o.oid = b.oid  "
    "where o.oid >= 901 order by o.code asc, b.description asc";
const char *const TenantsSql = "select * from tenants t where t.tid >= 901 order by t.lastname asc, t.firstname asc";
const char *const BuildingsSql = "select * from buildings b  where b.buildid >= 901 order by description asc";
const char *const VendorsSql = "select * from vendors where vid >= 901 order by name asc";
const char *const ApartmentsSql =
    "select a.apid, a.tid, a.bid, b.description, a.suite, t.firstname||' '||t.lastname as TENNAME, t.company,  "
    "a.squarefootage, a.bedrooms, a.bathrooms, a.floor,  a.status, a.rent, a.agreeid from apartments a inner join "
    "buildings b on a.bid = b.buildid left join tenants t on a.tid=t.tid  where a.apid >= 901 order by a.suite";
const char *const EquipmentSql = "select * from equipments where apid = 901  order by description asc";
const char *const MaintenanceSql =
    "select b.description, a.suite, m.ldate, m.description, m.typex, m.status,  m.priority, m.cost, v.name from "
    "maintenance m  left join vendors v  on m.vendor = v.vid inner join apartments a on m.apid = a.apid inner join "
    "buildings b on a.bid = b.buildid   where m.id >= 901 order by b.description asc, a.suite asc, m.ldate asc";
const char *const LeasesSql =
    "select  a.suite, b.description, t.firstname||' '||t.lastname as fullname,  g.leasestart, g.leaseend  from "
    "apartments a inner join agreements g on a.agreeid = g.rid  inner join buildings b  on b.buildid = a.bid  left "
    "join tenants t  on a.tid = t.tid  where a.apid >= 901  order by b.description asc, a.suite asc";
const char *const TenantDetailsSql = "select * from Tenants where tid >= 901 order by tid";

enum Report { Owners, Tenants, WaitingList, Buildings, Vendors, Apartments, Equipment, Maintenance, Leases, Details };

} // namespace

Q_DECLARE_METATYPE(Report)

class TestReportFeeds : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void fieldValues_data();
    void fieldValues();
    void recordCountsCoverEveryRow();
    void tenantDetailsDeclaresOneRecord();
    void moneyText_data();
    void moneyText();

private:
    ValueSlot prepare(Report report, const QStringList &headings);

    TestDatabase *database = nullptr;
    QSqlDoubleQueryModel *model = nullptr;
    TiberneReport *builder = nullptr;
    QString pdf;
};

void TestReportFeeds::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    database = new TestDatabase(QStringLiteral("DEMO.FDB"));
    QVERIFY(database->isValid());
    QVERIFY(database->open().isOpen());

    const QStringList rows = {
        "insert into owners (oid, code, name, address, city, state, zip, tel, fax, email) values "
        "(901, 'ZZA', 'Zed Alpha', 'Owner Road 1', 'Ownerton', 'OS', '12345', 'OWNER-TEL', 'OWNER-FAX', 'a@zed.example')",
        "insert into owners (oid, code, name, address, city, state, zip, tel) values "
        "(902, 'ZZB', 'Zed Beta', 'Beta Lane 2', 'Betaville', 'BS', '', 'B-TEL')",
        "insert into buildings (buildid, description, address, city, tel, provstate, apartments, oid) values "
        "(901, 'Zed House', 'House Street 9', 'Housecity', 'BLDG-TEL', 'HP', 12, 901)",
        "insert into tenants (tid, id, firstname, lastname, address, city, state, postalcode, tel, driverslicense, "
        "driverslicenseprov, cctype, ccardnum, ccardexpire, dob, active, income, acctype, insurenum) values "
        "(901, 'ZT1', 'Ann', 'Zedd', 'Tenant Way 5', 'Tenantville', 'TS', 'T5Z', 'T-TEL', 'DL-1', 'OR', 'Visa', "
        "'4111', date '2027-05-31', null, 0, 0, 0, 'SSN-1')",
        "insert into tenants (tid, id, firstname, lastname, address, city, state, postalcode, tel, dob, active, income, "
        "acctype) values (902, 'ZT2', 'Bob', 'Zeddo', 'Other Way 6', 'Otherville', 'OS', '', 'T2-TEL', "
        "date '1980-01-15', 5, 2500.75, 2)",
        "insert into vendors (vid, name, contact, tel, address, city, type) values "
        "(901, 'Zed Plumbing', 'Zoe', 'V-TEL', 'Pipe Road', 'Pipetown', 'Plumber')",
        "insert into agreements (rid, tid, apid, leasestart, leaseend) values "
        "(901, 901, 901, date '2024-02-01', date '2025-01-31')",
        "insert into apartments (apid, tid, bid, suite, bedrooms, bathrooms, rent, floor, agreeid) values "
        "(901, 901, 901, 'Z1', 2, 1, 1234.5, null, 901)",
        "insert into apartments (apid, tid, bid, suite, bedrooms, bathrooms, rent, floor, agreeid) values "
        "(902, -1, 901, 'Z2', 3, 2, 0, '3', -1)",
        "insert into equipments (id, apid, description, serial, model, brand, purchasedate) values "
        "(901, 901, 'Fridge', 'SN-1', 'M-1', 'Coldco', date '2019-06-30')",
        "insert into maintenance (id, ldate, description, typex, status, priority, cost, vendor, apid) values "
        "(901, date '2024-03-05', 'Fix tap', 'Plumbing', 'OPEN', 'High', 75.5, 901, 901)",
    };
    for (const QString &sql : rows)
        QVERIFY(exec(sql));

    model = new QSqlDoubleQueryModel(this);
    builder = new TiberneReport(this);
    pdf = TestEnvironment::root() + QStringLiteral("/feeds.pdf");
}

void TestReportFeeds::cleanupTestCase()
{
    delete model;
    model = nullptr;
    delete database;
}

// Runs the report once (saved from its preview) so that the builder holds its rows and texts, and
// returns the report's value slot, which the engine would call.
ValueSlot TestReportFeeds::prepare(Report report, const QStringList &headings)
{
    static const QHash<int, const char *> sql = {
        {Owners, OwnersSql},         {Tenants, TenantsSql},       {WaitingList, TenantsSql},
        {Buildings, BuildingsSql},   {Vendors, VendorsSql},       {Apartments, ApartmentsSql},
        {Equipment, EquipmentSql},   {Maintenance, MaintenanceSql}, {Leases, LeasesSql},
        {Details, TenantDetailsSql},
    };
    model->clear();
    model->setQuery(QString::fromLatin1(sql.value(report)), QSqlDatabase::database());
    if (model->lastError().isValid())
        qWarning() << model->lastError().text();
    ModalDriver preview;
    saveAsPdfFromPreview(preview, pdf);
    switch (report) {
    case Owners:
        builder->printOwners(model);
        return &TiberneReport::setValueOwner;
    case Tenants:
        builder->printTenants(model, false);
        return &TiberneReport::setValueTenants;
    case WaitingList:
        builder->printTenants(model, true);
        return &TiberneReport::setValueTenants;
    case Buildings:
        builder->printBuildings(model);
        return &TiberneReport::setValueBuildings;
    case Vendors:
        builder->printVendors(model);
        return &TiberneReport::setValueVendors;
    case Apartments:
        builder->printApartments(model, headings);
        return &TiberneReport::setValueApartments;
    case Equipment:
        builder->printEquipment(model, headings);
        return &TiberneReport::setValueEquipment;
    case Maintenance:
        builder->printMaintenance(model, headings);
        return &TiberneReport::setValueMaintenance;
    case Leases:
        builder->printExpiringLeases(model, headings.value(0));
        return &TiberneReport::setValueExpiringLeases;
    case Details:
        builder->printTenantDetails(model);
        return &TiberneReport::setValueTenantDetails;
    }
    return nullptr;
}

void TestReportFeeds::fieldValues_data()
{
    QTest::addColumn<Report>("report");
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<int>("recNo");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    const QStringList none;
    const QStringList aptHeadings = {"Apartments", "Number of Apartments in Building", "Total Number of Apartments"};
    const QStringList place = {"Zed House", "Z1"};

    // Joined columns of the same name are told apart by their table.
    QTest::newRow("owner code") << Owners << none << 0 << "Code" << "ZZA";
    QTest::newRow("owner tel, not the building's") << Owners << none << 0 << "Tel" << "OWNER-TEL";
    QTest::newRow("building tel, not the owner's") << Owners << none << 0 << "Telx" << "BLDG-TEL";
    QTest::newRow("owner address with zip") << Owners << none << 0 << "Address"
                                            << "Owner Road 1, Ownerton, OS 12345";
    QTest::newRow("owner address without zip") << Owners << none << 1 << "Address" << "Beta Lane 2, Betaville, BS";
    QTest::newRow("owner building address") << Owners << none << 0 << "Addressx" << "House Street 9";
    QTest::newRow("owner without building") << Owners << none << 1 << "Descriptionx" << "";
    QTest::newRow("owner caption with colon") << Owners << none << 0 << "trCode" << "Code:";
    QTest::newRow("owner title outside records") << Owners << none << -1 << "Owners" << "Owners Report";
    QTest::newRow("owner data field outside records") << Owners << none << -1 << "Code" << Untouched;
    QTest::newRow("owner unknown field") << Owners << none << 0 << "Nothing" << Untouched;

    QTest::newRow("tenant name") << Tenants << none << 0 << "Name" << "Zedd, Ann";
    QTest::newRow("tenant address, two blanks before the code") << Tenants << none << 0 << "Address"
                                                                << "Tenant Way 5, Tenantville, TS  T5Z";
    QTest::newRow("tenant address without code") << Tenants << none << 1 << "Address" << "Other Way 6, Otherville, OS";
    QTest::newRow("tenant id") << Tenants << none << 1 << "ID" << "ZT2";
    QTest::newRow("tenant title") << Tenants << none << 0 << "Tenants" << "Tenants Report";
    QTest::newRow("tenant total") << Tenants << none << -1 << "trTotal" << "Total number of tenants:   2";
    QTest::newRow("waiting list title") << WaitingList << none << -1 << "Tenants" << "Tenants On Waitlist";
    QTest::newRow("waiting list total") << WaitingList << none << -1 << "trTotal"
                                        << "Total number of tenants on waitlist:   2";
    QTest::newRow("tenant list caption not answered") << Tenants << none << -1 << "trList" << Untouched;

    QTest::newRow("building city") << Buildings << none << 0 << "City" << "Housecity";
    QTest::newRow("building state") << Buildings << none << 0 << "State" << "HP";
    QTest::newRow("building total") << Buildings << none << -1 << "trTotal" << "Total number of buildings: 1";

    QTest::newRow("vendor category") << Vendors << none << 0 << "VendorCategory" << "Plumber";
    QTest::newRow("vendor caption") << Vendors << none << -1 << "trName" << "Vendor";
    QTest::newRow("vendor total") << Vendors << none << -1 << "trTotal" << "Total number of vendors: 1";

    QTest::newRow("apartment rent") << Apartments << aptHeadings << 0 << "Rent" << "       1,234.50";
    QTest::newRow("apartment no rent") << Apartments << aptHeadings << 1 << "Rent" << "           0.00";
    QTest::newRow("apartment tenant") << Apartments << aptHeadings << 0 << "Tenant" << "Ann Zedd";
    QTest::newRow("apartment without floor") << Apartments << aptHeadings << 0 << "Floor" << Untouched;
    QTest::newRow("apartment floor") << Apartments << aptHeadings << 1 << "Floor" << "3";
    QTest::newRow("apartment building") << Apartments << aptHeadings << 1 << "Building" << "Zed House";
    QTest::newRow("apartment title") << Apartments << aptHeadings << -1 << "Apartments" << "Apartments";
    QTest::newRow("apartment total") << Apartments << aptHeadings << -1 << "trTotal"
                                     << "Total Number of Apartments: 2";
    QTest::newRow("apartment subtotal caption") << Apartments << aptHeadings << -1 << "trSubTotal"
                                                << "Number of Apartments in Building:";
    QTest::newRow("apartment building caption") << Apartments << aptHeadings << -1 << "trBuilding" << "Building:";
    // A caller that passes fewer texts than the report reads gets empty texts, not a crash.
    QTest::newRow("apartment title, no headings") << Apartments << none << -1 << "Apartments" << "";
    QTest::newRow("apartment total, no headings") << Apartments << none << -1 << "trTotal" << ": 2";
    QTest::newRow("apartment subtotal, one heading") << Apartments << QStringList{"Only"} << -1 << "trSubTotal"
                                                     << ":";

    QTest::newRow("equipment date") << Equipment << place << 0 << "PurchaseDate" << "6/30/2019";
    QTest::newRow("equipment serial") << Equipment << place << 0 << "Serial" << "SN-1";
    QTest::newRow("equipment apartment") << Equipment << place << -1 << "Apartment" << "Z1";
    QTest::newRow("equipment apartment, short list") << Equipment << QStringList{"Zed House"} << -1 << "Apartment"
                                                     << "";
    QTest::newRow("equipment total") << Equipment << place << -1 << "trTotal" << "Total number of equipment: 1";

    QTest::newRow("maintenance date") << Maintenance << none << 0 << "Date" << "3/5/2024";
    QTest::newRow("maintenance vendor") << Maintenance << none << 0 << "Vendor" << "Zed Plumbing";
    QTest::newRow("maintenance cost") << Maintenance << none << 0 << "Cost" << "          75.50";
    QTest::newRow("maintenance building from the row") << Maintenance << none << 0 << "Building" << "Zed House";
    QTest::newRow("maintenance apartment from the row") << Maintenance << none << 0 << "Apartment" << "Z1";
    QTest::newRow("maintenance building from the list") << Maintenance << QStringList{"Listed", "L1"} << 0
                                                        << "Building" << "Listed";
    QTest::newRow("maintenance apartment from the list") << Maintenance << QStringList{"Listed", "L1"} << 0
                                                         << "Apartment" << "L1";
    QTest::newRow("maintenance apartment, short list") << Maintenance << QStringList{"Listed"} << 0 << "Apartment"
                                                       << "";
    QTest::newRow("maintenance no building outside records") << Maintenance << none << -1 << "Building" << Untouched;

    QTest::newRow("lease title") << Leases << QStringList{"Lease Expiry Dates Report"} << -1 << "ExpiringLeases"
                                 << "Lease Expiry Dates Report";
    QTest::newRow("lease end") << Leases << none << 0 << "LeaseEnd" << "1/31/2025";
    QTest::newRow("lease tenant") << Leases << none << 0 << "Tenant" << "Ann Zedd";
    QTest::newRow("lease suite number not answered") << Leases << none << 0 << "SuiteNum" << Untouched;

    QTest::newRow("details name") << Details << none << 0 << "Name" << "Ann Zedd";
    QTest::newRow("details not active") << Details << none << 0 << "Status" << "Not Active";
    QTest::newRow("details active") << Details << none << 1 << "Status" << "Active";
    QTest::newRow("details savings") << Details << none << 0 << "Type" << "Savings";
    QTest::newRow("details checking") << Details << none << 1 << "Type" << "Checking";
    QTest::newRow("details no birth date") << Details << none << 0 << "DOB" << "";
    QTest::newRow("details birth date") << Details << none << 1 << "DOB" << "1/15/1980";
    QTest::newRow("details card expiry") << Details << none << 0 << "Expiry" << "5/31/2027";
    QTest::newRow("details no income") << Details << none << 0 << "Income" << "           0.00";
    QTest::newRow("details income") << Details << none << 1 << "Income" << "       2,500.75";
    QTest::newRow("details ssn") << Details << none << 0 << "SSN" << "SSN-1";
    QTest::newRow("details phone") << Details << none << 0 << "Phone" << "T-TEL";
    QTest::newRow("details tel not answered") << Details << none << 0 << "Tel" << Untouched;
    QTest::newRow("details block title") << Details << none << -1 << "trPersonalInfo" << "Personal Information";
    QTest::newRow("details caption with colon") << Details << none << -1 << "trDOB" << "Date of Birth:";
}

void TestReportFeeds::fieldValues()
{
    QFETCH(Report, report);
    QFETCH(QStringList, headings);
    QFETCH(int, recNo);
    QFETCH(QString, field);
    QFETCH(QString, expected);

    const ValueSlot slot = prepare(report, headings);
    QVERIFY(slot);
    QVERIFY(model->rowCount() > 0);
    QVariant value = Untouched;
    (builder->*slot)(recNo, field, value, 0);
    QCOMPARE(value.toString(), expected);
}

void TestReportFeeds::recordCountsCoverEveryRow()
{
    // Well past the first batch a query model fetches on its own.
    QSqlQuery insert;
    QVERIFY(insert.prepare(QStringLiteral("insert into vendors (vid, name) values (?, ?)")));
    for (int i = 0; i < 600; ++i) {
        insert.addBindValue(2000 + i);
        insert.addBindValue(QStringLiteral("Bulk vendor %1").arg(i, 3, 10, QLatin1Char('0')));
        QVERIFY(insert.exec());
    }
    model->clear();
    model->setQuery(QStringLiteral("select * from vendors where vid >= 2000 order by name asc"), QSqlDatabase::database());
    QVERIFY(model->rowCount() < 600);

    ModalDriver preview;
    saveAsPdfFromPreview(preview, pdf);
    builder->printVendors(model);
    DataSetInfo info;
    builder->setDSInfoVendors(info);
    QCOMPARE(info.dataSetName, QStringLiteral("GoodSource"));
    QCOMPARE(info.dataSetNo, 1);
    QCOMPARE(info.recordCount, 600);
    QVariant total;
    builder->setValueVendors(-1, QStringLiteral("trTotal"), total, 0);
    QCOMPARE(total.toString(), QStringLiteral("Total number of vendors: 600"));
    QVariant last;
    builder->setValueVendors(599, QStringLiteral("Name"), last, 0);
    QCOMPARE(last.toString(), QStringLiteral("Bulk vendor 599"));

    QVERIFY(exec(QStringLiteral("delete from vendors where vid >= 2000")));
    QCOMPARE(fetchAllRows(nullptr), 0);
}

void TestReportFeeds::tenantDetailsDeclaresOneRecord()
{
    prepare(Details, QStringList());
    QCOMPARE(model->rowCount(), 2);
    DataSetInfo info;
    builder->setDSInfoTenantDetails(info);
    QCOMPARE(info.recordCount, 1);
    QCOMPARE(info.dataSetName, QStringLiteral("GoodSource"));

    // An empty result still answers every caption and leaves the data fields untouched.
    model->clear();
    model->setQuery(QStringLiteral("select * from tenants where tid = -5"), QSqlDatabase::database());
    ModalDriver preview;
    saveAsPdfFromPreview(preview, pdf);
    builder->printBuildings(model);
    builder->setDSInfoBuildings(info);
    QCOMPARE(info.recordCount, 0);
    QVariant total;
    builder->setValueBuildings(-1, QStringLiteral("trTotal"), total, 0);
    QCOMPARE(total.toString(), QStringLiteral("Total number of buildings: 0"));
}

void TestReportFeeds::moneyText_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << "           0.00";
    QTest::newRow("grouping") << 1234567.891 << "   1,234,567.89";
    QTest::newRow("negative") << -45.5 << "         -45.50";
    QTest::newRow("rounding") << 0.005 << "           0.01";
}

void TestReportFeeds::moneyText()
{
    QFETCH(double, amount);
    QFETCH(QString, expected);
    QCOMPARE(TiberneReport::money(amount), expected);
    QCOMPARE(TiberneReport::money(amount).size(), 15);
}

VELLORAN_TEST_MAIN(TestReportFeeds)
#include "tst_reportfeeds.moc"
