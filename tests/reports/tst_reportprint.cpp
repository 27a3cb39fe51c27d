// The list reports and the tenant details report saved as PDF from their preview, on the statements
// the windows and report commands use, read back as text: title, captions, first and last rows, page numbers
// and totals, and every row of a report far longer than one batch of a query model.
#include "datahub/qsqldoublequerymodel.h"
#include "reports/tibernereport.h"

#include "tests/reports/pdftext.h"
#include "tests/reports/previewdriver.h"

#include <testdatabase.h>

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {

enum Report { Owners, Tenants, Buildings, Vendors, Apartments, Equipment, Maintenance, Leases, Details };

// The text of the page footer's number: alone on its line apart from the print date.
bool showsPageNumber(const QString &pageText, int page)
{
    const QRegularExpression footer(QStringLiteral("(^|\\n)\\s*%1\\s+\\S+\\s*(\\n|$)").arg(page));
    return footer.match(pageText).hasMatch();
}

} // namespace

Q_DECLARE_METATYPE(Report)

class TestReportPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void listReport_data();
    void listReport();
    void tenantDetailsPrintsOneTenant();
    void longTenantsReportPrintsEveryRow();
    void textLayerHoldsEachValueOnce_data();
    void textLayerHoldsEachValueOnce();

private:
    QString print(Report report, const QString &sql, const QStringList &headings);

    TestDatabase *database = nullptr;
    QSqlDoubleQueryModel *model = nullptr;
    TiberneReport *builder = nullptr;
    QString pdf;
};

void TestReportPrint::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "pdftotext is needed");
    database = new TestDatabase(QStringLiteral("DEMO.FDB"));
    QVERIFY(database->isValid());
    QVERIFY(database->open().isOpen());
    model = new QSqlDoubleQueryModel(this);
    builder = new TiberneReport(this);
    pdf = TestEnvironment::root() + QStringLiteral("/report.pdf");
}

void TestReportPrint::cleanupTestCase()
{
    delete model;
    model = nullptr;
    delete database;
}

QString TestReportPrint::print(Report report, const QString &sql, const QStringList &headings)
{
    QFile::remove(pdf);
    model->clear();
    model->setQuery(sql, QSqlDatabase::database());
    if (model->lastError().isValid())
        qWarning() << model->lastError().text();
    ModalDriver preview;
    saveAsPdfFromPreview(preview, pdf);
    switch (report) {
    case Owners: builder->printOwners(model); break;
    case Tenants: builder->printTenants(model, false); break;
    case Buildings: builder->printBuildings(model); break;
    case Vendors: builder->printVendors(model); break;
    case Apartments: builder->printApartments(model, headings); break;
    case Equipment: builder->printEquipment(model, headings); break;
    case Maintenance: builder->printMaintenance(model, headings); break;
    case Leases: builder->printExpiringLeases(model, headings.value(0)); break;
    case Details: builder->printTenantDetails(model); break;
    }
    return pdfText(pdf);
}

void TestReportPrint::listReport_data()
{
    QTest::addColumn<Report>("report");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("headings");
    // Texts the report must show wherever they fall.
    QTest::addColumn<QStringList>("texts");
    // Columns whose values in the first and the last row must be printed.
    QTest::addColumn<QStringList>("rowColumns");

    QTest::newRow("owners")
        << Owners
        << "select b.description, b.address, b.city, b.provstate, b.tel, b.apartments,  o.code, o.name, o.address, "
           "o.city, o.zip, o.state, o.tel, o.fax, o. email from  owners o  left join buildings b  on o.oid = b.oid   "
           "order by o.code asc, b.description asc"
        << QStringList()
        << QStringList{"Owners Report", "Code:", "Name:", "Email:", "Description", "# Apts/Suites", "State/Prov."}
        << QStringList{"owners.code", "owners.name"};
    QTest::newRow("tenants")
        << Tenants << "select * from tenants t order by t.lastname asc, t.firstname asc" << QStringList()
        << QStringList{"Tenants Report", "ID", "Name", "Address", "Dr. license #", "Total number of tenants:   "}
        << QStringList{"lastname", "driverslicense"};
    QTest::newRow("buildings")
        << Buildings << "select * from buildings b  order by description asc" << QStringList()
        << QStringList{"Buildings Report", "Description", "# Apts/Suites", "State/Prov.", "Total number of buildings: "}
        << QStringList{"description", "city"};
    QTest::newRow("vendors")
        << Vendors << "select * from vendors order by name asc" << QStringList()
        << QStringList{"Vendors", "Vendor", "Contact", "Category", "Total number of vendors: "}
        << QStringList{"name", "type"};
    QTest::newRow("apartments")
        << Apartments
        << "select a.apid, a.tid, a.bid, b.description, a.suite, t.firstname||' '||t.lastname as TENNAME, t.company,  "
           "a.squarefootage, a.bedrooms, a.bathrooms, a.floor,  a.status, a.rent, a.agreeid from apartments a inner "
           "join buildings b on a.bid = b.buildid left join tenants t on a.tid=t.tid "
        << QStringList{"Apartments", "Number of Apartments in Building", "Total Number of Apartments"}
        << QStringList{"Apartments", "Building:", "Apt/Suite #", "# Beds", "Rent", "Number of Apartments in Building:",
                       "Total Number of Apartments: "}
        << QStringList{"description"};
    QTest::newRow("equipment")
        << Equipment << "select * from equipments where apid = 4  order by description asc"
        << QStringList{"Maple Court", "101"}
        << QStringList{"Equipment Report", "Building:", "Suite/Apt #:", "Serial #", "Purchase Date", "Maple Court",
                       "Total number of equipment: "}
        << QStringList{"description", "serial"};
    QTest::newRow("maintenance by building")
        << Maintenance
        << "select b.description, a.suite, m.ldate, m.description, m.typex, m.status,  m.priority, m.cost, v.name "
           "from maintenance m  left join vendors v  on m.vendor = v.vid inner join apartments a on m.apid = a.apid "
           "inner join buildings b on a.bid = b.buildid   where  m.apid > -1  order by b.description asc, a.suite asc, "
           "m.ldate asc"
        << QStringList()
        << QStringList{"Maintenance Report", "Building:", "Apt/Suite #:", "Priority", "Vendor", "Total number: "}
        << QStringList{"maintenance.description", "buildings.description"};
    QTest::newRow("lease expiry")
        << Leases
        << "select  a.suite, b.description, t.firstname||' '||t.lastname as fullname,  g.leasestart, g.leaseend  from "
           "apartments a inner join agreements g on a.agreeid = g.rid  inner join buildings b  on b.buildid = a.bid  "
           "left join tenants t  on a.tid = t.tid   order by b.description asc, a.suite asc"
        << QStringList{"Lease Expiry Dates Report"}
        << QStringList{"Lease Expiry Dates Report", "Building", "Apt/Suite #", "Lease Start", "Lease End"}
        << QStringList{"fullname"};
}

void TestReportPrint::listReport()
{
    QFETCH(Report, report);
    QFETCH(QString, sql);
    QFETCH(QStringList, headings);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, rowColumns);

    const QString text = print(report, sql, headings);
    QVERIFY2(!text.trimmed().isEmpty(), "the report printed nothing");
    const int rows = model->rowCount();
    QVERIFY(rows > 0);

    for (const QString &expected : qAsConst(texts))
        QVERIFY2(text.contains(expected), qPrintable(expected));
    for (const QString &column : qAsConst(rowColumns)) {
        for (int row : {0, rows - 1}) {
            const QString value = model->record(row).value(column).toString();
            if (!value.isEmpty())
                QVERIFY2(text.contains(value), qPrintable(QStringLiteral("%1 of row %2: %3").arg(column).arg(row).arg(value)));
        }
    }
    // Count totals name every row the statement gave.
    if (texts.last().endsWith(QLatin1Char(' '))) {
        const QRegularExpression total(QRegularExpression::escape(texts.last().trimmed()) + QStringLiteral("\\s*")
                                       + QString::number(rows) + QStringLiteral("\\b"));
        QVERIFY2(total.match(text).hasMatch(), qPrintable(texts.last()));
    }

    const int pages = pdfPages(pdf);
    QVERIFY(pages >= 1);
    QVERIFY(showsPageNumber(pdfText(pdf, pages), pages));
}

void TestReportPrint::tenantDetailsPrintsOneTenant()
{
    const QString text = print(Details, QStringLiteral("select * from Tenants where tid = 1"), QStringList());
    QCOMPARE(pdfPages(pdf), 1);
    const QSqlRecord tenant = model->record(0);
    for (const char *caption : {"Tenant Details", "Personal Information", "Financial Information", "Emergency Contact",
                                "Notes", "Incidents", "Drivers Lic.:", "Date of Birth:", "Account Type:", "Relationship:"})
        QVERIFY2(text.contains(QLatin1String(caption)), caption);
    const QString name = tenant.value("firstname").toString() + QLatin1Char(' ') + tenant.value("lastname").toString();
    QVERIFY2(text.contains(name), qPrintable(name));
    QVERIFY(text.contains(tenant.value("notifyname").toString()));
    QVERIFY(text.contains(tenant.value("dob").toDate().toString(QStringLiteral("M/d/yyyy"))));
    QVERIFY(text.contains(tenant.value("active").toInt() ? QStringLiteral("Active") : QStringLiteral("Not Active")));
}

void TestReportPrint::longTenantsReportPrintsEveryRow()
{
    QSqlQuery insert;
    QVERIFY(insert.prepare(QStringLiteral("insert into tenants (tid, id, firstname, lastname, driverslicense) "
                                          "values (?, ?, ?, ?, ?)")));
    QSqlDatabase::database().transaction();
    for (int i = 1; i <= 600; ++i) {
        const QString number = QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'));
        insert.addBindValue(5000 + i);
        insert.addBindValue(QStringLiteral("B%1").arg(number));
        insert.addBindValue(QStringLiteral("Bulk"));
        insert.addBindValue(QStringLiteral("Bulkrow%1").arg(number));
        insert.addBindValue(QStringLiteral("LIC%1").arg(number));
        QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
    }
    QVERIFY(QSqlDatabase::database().commit());

    const QString text = print(Tenants,
                               QStringLiteral("select * from tenants t where t.tid > 5000 "
                                              "order by t.lastname asc, t.firstname asc"),
                               QStringList());
    QCOMPARE(model->rowCount(), 600);
    for (int i = 1; i <= 600; ++i) {
        const QString licence = QStringLiteral("LIC%1").arg(i, 4, 10, QLatin1Char('0'));
        QVERIFY2(text.contains(licence), qPrintable(licence));
    }
    QVERIFY(text.contains(QStringLiteral("Total number of tenants:   600")));
    const int pages = pdfPages(pdf);
    QVERIFY(pages > 10);
    QVERIFY(showsPageNumber(pdfText(pdf, 1), 1));
    QVERIFY(showsPageNumber(pdfText(pdf, pages), pages));
}

// Text drawn in the colour of the paper beneath it still lands in the PDF's text layer; it must not
// be there at all, or a search through a saved report finds every value twice.
void TestReportPrint::textLayerHoldsEachValueOnce_data()
{
    QTest::addColumn<Report>("report");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("column");
    // True: the value prints once per group of equal values (a group header); false: once per row.
    QTest::addColumn<bool>("perGroup");
    QTest::addColumn<QString>("caption");

    const QString owners = QStringLiteral(
        "select b.description, b.address, b.city, b.provstate, b.tel, b.apartments,  o.code, o.name, o.address, "
        "o.city, o.zip, o.state, o.tel, o.fax, o. email from  owners o  left join buildings b  on o.oid = b.oid   "
        "order by o.code asc, b.description asc");
    QTest::newRow("owners: names") << Owners << owners << "owners.name" << true << "List of Properties";
    QTest::newRow("owners: telephones") << Owners << owners << "owners.tel" << true << "List of Properties";
    QTest::newRow("buildings: telephones")
        << Buildings << "select * from buildings b  order by description asc" << "tel" << false << "Buildings Report";
}

void TestReportPrint::textLayerHoldsEachValueOnce()
{
    QFETCH(Report, report);
    QFETCH(QString, sql);
    QFETCH(QString, column);
    QFETCH(bool, perGroup);
    QFETCH(QString, caption);

    const QString text = print(report, sql, QStringList());
    QMap<QString, int> expected;
    QSet<QString> groups;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QSqlRecord record = model->record(row);
        const QString value = record.value(column).toString().trimmed();
        groups << record.value(QStringLiteral("owners.code")).toString();
        if (value.isEmpty())
            continue;
        if (perGroup)
            expected[value] = 1;
        else
            ++expected[value];
    }
    QVERIFY(!expected.isEmpty());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QRegularExpression alone(QStringLiteral("(?<!\\w)%1(?!\\w)").arg(QRegularExpression::escape(it.key())));
        QCOMPARE(text.count(alone), it.value());
    }
    // Captions too: the owners' "List of Properties" heads each owner's block once.
    QCOMPARE(text.count(caption), report == Owners ? groups.size() : 1);
}

VELLORAN_TEST_MAIN(TestReportPrint)
#include "tst_reportprint.moc"
