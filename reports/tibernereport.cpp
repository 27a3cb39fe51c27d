#include "reports/tibernereport.h"

#include "datahub/shortdate.h"
#include "reports/fetchall.h"
#include "datahub/debuglog.h"
#include "datahub/msgbox.h"
#include "reportengine/rptrunprogress.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QException>
#include <QScopedPointer>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>

#include <cmath>

namespace {

QString pdfOutputForTests;

const char *const SetValueSignal = SIGNAL(setValue(const int, const QString, QVariant &, const int));
const char *const SetDSInfoSignal = SIGNAL(setDSInfo(DataSetInfo &));

// The form in which a data field prints its column.
enum class Form { Text, Date, Money };

// A field answered straight from one column of the record in hand. Column names may be qualified by
// their table ("owners.code"): the record resolves them, which tells apart two joined columns of the
// same name.
struct DataField
{
    const char *field;
    Form form;
    const char *column;
};

// A field answered with a fixed, translated text, with or without the translated ":" after it.
struct Caption
{
    const char *field;
    const char *text;
    bool colon;
};

#define CAPTION(field, text, colon) { field, QT_TRANSLATE_NOOP("TiberneReport", text), colon }

QString columnText(const QSqlRecord &record, const char *column)
{
    return record.value(QLatin1String(column)).toString();
}

// What a data field prints of its column's value.
QVariant answerIn(Form form, const QVariant &column)
{
    switch (form) {
    case Form::Text:
        return column.toString();
    case Form::Date:
        return ShortDate::toText(column.toDate());
    case Form::Money:
        return TiberneReport::money(column.toDouble());
    }
    return QVariant();
}

template <size_t N>
bool answerData(const DataField (&table)[N], const QSqlRecord &record, const QString &name, QVariant &value)
{
    for (const DataField &entry : table) {
        if (name != QLatin1String(entry.field))
            continue;
        value = answerIn(entry.form, record.value(QLatin1String(entry.column)));
        return true;
    }
    return false;
}

template <size_t N>
bool answerCaption(const Caption (&table)[N], const QString &name, QVariant &value)
{
    for (const Caption &entry : table) {
        if (name != QLatin1String(entry.field))
            continue;
        QString text = TiberneReport::tr(entry.text);
        if (entry.colon)
            text += TiberneReport::tr(":");
        value = text;
        return true;
    }
    return false;
}

// Address lines as the lists print them: the postal code only when there is one.
QString addressLine(const QString &address, const QString &city, const QString &state, const QString &zip,
                    const QString &zipSeparator)
{
    if (zip.isEmpty())
        return QStringLiteral("%1, %2, %3").arg(address, city, state);
    return QStringLiteral("%1, %2, %3").arg(address, city, state) + zipSeparator + zip;
}

// ---- owners

const DataField ownerData[] = {
    {"Code", Form::Text, "owners.code"},
    {"Name", Form::Text, "owners.name"},
    {"Tel", Form::Text, "owners.tel"},
    {"Fax", Form::Text, "owners.fax"},
    {"Email", Form::Text, "owners.email"},
};

const DataField ownerBuildingData[] = {
    {"Descriptionx", Form::Text, "buildings.description"},
    {"Addressx", Form::Text, "buildings.address"},
    {"Cityx", Form::Text, "buildings.city"},
    {"Statex", Form::Text, "buildings.provstate"},
    {"Telx", Form::Text, "buildings.tel"},
    {"Apartmentsx", Form::Text, "buildings.apartments"},
};

const Caption ownerCaptions[] = {
    CAPTION("Owners", "Owners Report", false),
    CAPTION("trCode", "Code", true),
    CAPTION("trName", "Name", true),
    CAPTION("trAddress", "Address", true),
    CAPTION("trTel", "Tel", true),
    CAPTION("trEmail", "Email", true),
    CAPTION("trFax", "Fax", true),
    CAPTION("trList", "List of Properties", false),
    CAPTION("trDescription", "Description", false),
    CAPTION("trCity", "City", false),
    CAPTION("trState", "State/Prov.", false),
    CAPTION("trApartments", "# Apts/Suites", false),
};

// ---- tenants

const DataField tenantData[] = {
    {"ID", Form::Text, "ID"},
    {"Tel", Form::Text, "tel"},
    {"Licence", Form::Text, "driverslicense"},
};

const Caption tenantCaptions[] = {
    CAPTION("trID", "ID", false),
    CAPTION("trName", "Name", false),
    CAPTION("trAddress", "Address", false),
    CAPTION("trTel", "Tel", false),
    CAPTION("trLicence", "Dr. license #", false),
};

// ---- buildings

const DataField buildingData[] = {
    {"Description", Form::Text, "buildings.description"},
    {"Address", Form::Text, "buildings.address"},
    {"City", Form::Text, "buildings.City"},
    {"Tel", Form::Text, "buildings.tel"},
    {"Apts", Form::Text, "buildings.apartments"},
    {"State", Form::Text, "buildings.provstate"},
};

const Caption buildingCaptions[] = {
    CAPTION("Buildings", "Buildings Report", false),
    CAPTION("trApts", "# Apts/Suites", false),
    CAPTION("trTel", "Tel", false),
    CAPTION("trAddress", "Address", false),
    CAPTION("trState", "State/Prov.", false),
    CAPTION("trCity", "City", false),
    CAPTION("trDescription", "Description", false),
};

// ---- vendors

const DataField vendorData[] = {
    {"Name", Form::Text, "name"},
    {"Contact", Form::Text, "contact"},
    {"Tel", Form::Text, "tel"},
    {"Address", Form::Text, "address"},
    {"City", Form::Text, "city"},
    {"VendorCategory", Form::Text, "type"},
};

const Caption vendorCaptions[] = {
    CAPTION("Vendors", "Vendors", false),
    CAPTION("trName", "Vendor", false),
    CAPTION("trContact", "Contact", false),
    CAPTION("trTel", "Tel", false),
    CAPTION("trAddress", "Address", false),
    CAPTION("trCity", "City", false),
    CAPTION("trVendorCategory", "Category", false),
};

// ---- apartments

const DataField apartmentData[] = {
    {"Building", Form::Text, "buildings.description"},
    {"AptNum", Form::Text, "apartments.suite"},
    {"Tenant", Form::Text, "tenname"},
};

const DataField apartmentDataAfterFloor[] = {
    {"Beds", Form::Text, "apartments.bedrooms"},
    {"Baths", Form::Text, "apartments.bathrooms"},
    {"Rent", Form::Money, "apartments.rent"},
    {"BID", Form::Text, "apartments.bid"},
};

const Caption apartmentCaptions[] = {
    CAPTION("trBuilding", "Building", true),
    CAPTION("trAptNum", "Apt/Suite #", false),
    CAPTION("trTenant", "Tenant", false),
    CAPTION("trFloor", "Floor", false),
    CAPTION("trBeds", "# Beds", false),
    CAPTION("trBaths", "# Baths", false),
    CAPTION("trRent", "Rent", false),
};

// ---- equipment

const DataField equipmentData[] = {
    {"PurchaseDate", Form::Date, "PurchaseDate"},
    {"Description", Form::Text, "Description"},
    {"Serial", Form::Text, "serial"},
    {"Model", Form::Text, "model"},
    {"Brand", Form::Text, "brand"},
};

const Caption equipmentCaptions[] = {
    CAPTION("Equipment", "Equipment Report", false),
    CAPTION("trBuilding", "Building", true),
    CAPTION("trApartment", "Suite/Apt #", true),
    CAPTION("trDescription", "Description", false),
    CAPTION("trSerial", "Serial #", false),
    CAPTION("trModel", "Model", false),
    CAPTION("trBrand", "Brand", false),
    CAPTION("trPurchaseDate", "Purchase Date", false),
};

// ---- maintenance

const DataField maintenanceData[] = {
    {"Date", Form::Date, "maintenance.ldate"},
    {"Description", Form::Text, "maintenance.description"},
    {"Type", Form::Text, "maintenance.typex"},
    {"Status", Form::Text, "maintenance.status"},
    {"Priority", Form::Text, "maintenance.priority"},
    {"Vendor", Form::Text, "vendors.name"},
};

// Only when the caller names no apartment: then every row carries its own.
const DataField maintenancePlaceData[] = {
    {"Building", Form::Text, "buildings.description"},
    {"Apartment", Form::Text, "apartments.suite"},
};

const DataField maintenanceCostData[] = {
    {"Cost", Form::Money, "maintenance.cost"},
};

const Caption maintenanceCaptions[] = {
    CAPTION("Maintenance", "Maintenance Report", false),
    CAPTION("trBuilding", "Building", true),
};

const Caption maintenanceColumnCaptions[] = {
    CAPTION("trApartment", "Apt/Suite #", true),
    CAPTION("trDate", "Date", false),
    CAPTION("trDescription", "Description", false),
    CAPTION("trType", "Type", false),
    CAPTION("trStatus", "Status", false),
    CAPTION("trPriority", "Priority", false),
    CAPTION("trVendor", "Vendor", false),
    CAPTION("trCost", "Cost", false),
};

// ---- expiring leases

const DataField leaseData[] = {
    {"Building", Form::Text, "buildings.description"},
    {"Suite", Form::Text, "apartments.suite"},
    {"Tenant", Form::Text, "fullname"},
    {"LeaseStart", Form::Date, "agreements.leasestart"},
    {"LeaseEnd", Form::Date, "agreements.leaseend"},
};

const Caption leaseCaptions[] = {
    CAPTION("trBuilding", "Building", false),
    CAPTION("trSuite", "Apt/Suite #", false),
    CAPTION("trTenant", "Tenant", false),
    CAPTION("trLeaseStart", "Lease Start", false),
    CAPTION("trLeaseEnd", "Lease End", false),
};

// ---- recurring bills

const DataField billData[] = {
    {"StartDate", Form::Date, "recur.startdate"},
    {"NextDate", Form::Date, "recur.nextdate"},
    {"EndDate", Form::Date, "recur.enddate"},
    {"Amount", Form::Money, "recur.amount"},
    {"Type", Form::Text, "recur.type"},
    {"Frequency", Form::Text, "frequency.name"},
};

const Caption billCaptions[] = {
    CAPTION("Bills", "Recurring Bills", false),
    CAPTION("trBuilding", "Building", true),
    CAPTION("trApartment", "Suite/Apt #", true),
    CAPTION("trTenant", "Tenant", true),
    CAPTION("trType", "Type", false),
    CAPTION("trAmount", "Amount", false),
    CAPTION("trFrequency", "Frequency", false),
    CAPTION("trStartDate", "Start Date", false),
    CAPTION("trEndDate", "End Date", false),
    CAPTION("trNextDate", "Next Date", false),
};

// ---- tenant details

const DataField tenantDetailData[] = {
    {"ID", Form::Text, "id"},
};

const DataField tenantDetailDataAfterName[] = {
    {"Address", Form::Text, "address"},
    {"Company", Form::Text, "company"},
    {"City", Form::Text, "city"},
    {"State", Form::Text, "state"},
    {"Zip", Form::Text, "postalcode"},
    {"Phone", Form::Text, "tel"},
    {"DriversLicense", Form::Text, "driverslicense"},
    {"DriversLicenseProv", Form::Text, "driverslicenseprov"},
    {"SSN", Form::Text, "insurenum"},
    {"DOB", Form::Date, "dob"},
    {"Occupation", Form::Text, "occupation"},
    {"Employer", Form::Text, "employer"},
};

const DataField tenantDetailDataAfterStatus[] = {
    {"CreditCard", Form::Text, "cctype"},
    {"CCNum", Form::Text, "ccardnum"},
    {"Expiry", Form::Date, "ccardexpire"},
    {"Income", Form::Money, "income"},
    {"Bank", Form::Text, "bankname"},
    {"Branch", Form::Text, "branch"},
    {"AccNum", Form::Text, "accnum"},
};

const DataField tenantDetailDataAfterType[] = {
    {"EmergencyName", Form::Text, "notifyname"},
    {"EmergencyTel", Form::Text, "notifytel"},
    {"EmergencyRel", Form::Text, "notifyrel"},
    {"Notes", Form::Text, "notes"},
    {"Incidents", Form::Text, "incidents"},
};

const Caption tenantDetailCaptions[] = {
    CAPTION("TenantDetails", "Tenant Details", false),
    CAPTION("trPersonalInfo", "Personal Information", false),
    CAPTION("trID", "ID", true),
    CAPTION("trName", "Name", true),
    CAPTION("trCompany", "Company", true),
    CAPTION("trAddress", "Address", true),
    CAPTION("trCity", "City", true),
    CAPTION("trState", "State", true),
    CAPTION("trZip", "Zip", true),
    CAPTION("trPhone", "Phone", true),
    CAPTION("trDriversLicense", "Drivers Lic.", true),
    CAPTION("trDriversLicenseProv", "Dr. Lic. Provider", true),
    CAPTION("trSSN", "SSN #", true),
    CAPTION("trDOB", "Date of Birth", true),
    CAPTION("trOccupation", "Occupation", true),
    CAPTION("trEmployer", "Employer", true),
    CAPTION("trStatus", "Status", true),
    CAPTION("trFinancialInfo", "Financial Information", false),
    CAPTION("trCreditCard", "Credit Type", true),
    CAPTION("trCCNum", "Credit Card #", true),
    CAPTION("trExpiry", "Expiry Date", true),
    CAPTION("trIncome", "Income", true),
    CAPTION("trBank", "Bank", true),
    CAPTION("trBranch", "Branch", true),
    CAPTION("trAccNum", "Account #", true),
    CAPTION("trType", "Account Type", true),
    CAPTION("trEmergency", "Emergency Contact", false),
    CAPTION("trEmergencyName", "Name", true),
    CAPTION("trEmergencyTel", "Tel", true),
    CAPTION("trEmergencyRel", "Relationship", true),
    CAPTION("trNotes", "Notes", false),
    CAPTION("trIncidents", "Incidents", false),
};

// ---- late payments (its captions are with the other money reports)

const DataField lateData[] = {
    {"Date", Form::Date, "charges.fordate"},
    {"Amount", Form::Money, "charges.amt"},
    {"Building", Form::Text, "buildings.description"},
    {"Suite", Form::Text, "apartments.suite"},
    {"Tenant", Form::Text, "fullname"},
    {"Type", Form::Text, "charges.type"},
};

// The group of a late charge: its apartment and the tenant who owes it. After a turnover an
// apartment's overdue charges belong to more than one tenant, and each is dunned for his own.
QString lateGroup(const QString &apartment, const QString &tenant)
{
    return apartment + QLatin1Char('/') + tenant;
}

// The text of a value as answerIn prints it, from `shown` when the run met the value before. A run
// of many different values does not grow it without end.
template <class Key>
QString shownText(QHash<Key, QString> &shown, Key key, Form form, const QVariant &value)
{
    const auto known = shown.constFind(key);
    if (known != shown.constEnd())
        return *known;
    if (shown.size() >= 4096)
        shown.clear();
    const QString text = answerIn(form, value).toString();
    shown.insert(key, text);
    return text;
}

} // namespace

TiberneReport::TiberneReport(QObject *parent)
    : QObject(parent)
{
}

TiberneReport::~TiberneReport() = default;

void TiberneReport::setPdfOutputForTests(const QString &path)
{
    pdfOutputForTests = path;
}

QString TiberneReport::pdfOutputPathForTests()
{
    return pdfOutputForTests;
}

QString TiberneReport::money(double amount)
{
    return QStringLiteral("%L1").arg(amount, 15, 'f', 2, QLatin1Char(' '));
}

// ---- runs

void TiberneReport::run(const QString &templatePath, const char *valueSlot, const char *dsInfoSlot)
{
    // What is kept to answer the engine's questions quickly lives no longer than the run, however it
    // ends: the preview runs the report again and again, but only while it is open, and the rows may
    // change or go once it is closed.
    struct RunScope
    {
        explicit RunScope(TiberneReport *builder)
            : builder(builder)
        {
            builder->running = true;
            builder->cachedRow = -1;
            builder->answeredRow = -1;
        }
        ~RunScope()
        {
            builder->running = false;
            builder->cachedRow = -1;
            builder->cachedRecord = QSqlRecord();
            builder->answeredRow = -1;
            builder->rowAnswers.clear();
            builder->lateColumns.clear();
            builder->runColumns.clear();
            builder->shownDates.clear();
            builder->shownAmounts.clear();
        }
        TiberneReport *builder;
    } scope(this);
    // Deleted however the run ends, also when a value slot throws.
    QScopedPointer<RptEngine> engine(new RptEngine(this));
    engine->loadReport(templatePath);
    connect(engine.data(), SetValueSignal, this, valueSlot);
    connect(engine.data(), SetDSInfoSignal, this, dsInfoSlot);
    // A save or a print to a file that fails is told over the preview, with the file and the reason.
    connect(engine.data(), &RptEngine::outputFailed, this, [](const QString &fileName, const QString &reason) {
        MsgBox::warning(QApplication::activeModalWidget(), tr("The report could not be written to %1.\n\n%2")
                                                               .arg(QDir::toNativeSeparators(fileName), reason));
    });
    if (pdfOutputForTests.isEmpty())
        engine->printExec(true, false, QString());
    else
        engine->printPDF(pdfOutputForTests, false);
}

bool TiberneReport::readRows(QSqlQueryModel *model, int &rows)
{
    if (running || RptEngine::runInProgress()) {
        qCDebug(velloranLog) << "a report asked for while another runs is refused";
        return false;
    }
    {
        RptRunProgress progress(nullptr, tr("Reading the report"));
        progress.begin(tr("Rows read: %1"), 0);
        rows = fetchAllRows(model, [&progress](int soFar) { return progress.step(soFar); });
    }
    if (rows >= 0)
        return true;
    finishedWith(model);
    return false;
}

void TiberneReport::releaseRowsAfterOutput(QSqlQueryModel *model)
{
    rowsToRelease = model;
    statementToRelease = model ? model->query().lastQuery() : QString();
}

void TiberneReport::finishedWith(QSqlQueryModel *model)
{
    // A report asked for inside a running one is refused; the running one's rows stay until it is over.
    if (running || RptEngine::runInProgress())
        return;
    const bool release = model && rowsToRelease == model && model->query().lastQuery() == statementToRelease;
    rowsToRelease = nullptr;
    statementToRelease.clear();
    if (!release)
        return;
    model->clear();
    RptEngine::giveBackFreedMemory();
}

int TiberneReport::print(QSqlQueryModel *model, const QString &templatePath, const char *valueSlot,
                         const char *dsInfoSlot)
{
    int rows = 0;
    if (readRows(model, rows)) {
        this->model = model;
        run(templatePath, valueSlot, dsInfoSlot);
    }
    finishedWith(model);
    return 1;
}

int TiberneReport::printTitled(QSqlQueryModel *model, const QStringList &headings, const QString &templatePath,
                               const char *valueSlot, const char *dsInfoSlot)
{
    this->headings = headings;
    title = heading(0);
    return print(model, templatePath, valueSlot, dsInfoSlot);
}

int TiberneReport::printOwners(QSqlQueryModel *model, const QString &)
{
    return print(model, QStringLiteral(":/Reports/owners.xml"),
                 SLOT(setValueOwner(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoOwner(DataSetInfo &)));
}

int TiberneReport::printTenants(QSqlQueryModel *model, bool waitingList, const QString &)
{
    this->waitingList = waitingList;
    return print(model, QStringLiteral(":/Reports/tenants.xml"),
                 SLOT(setValueTenants(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoTenants(DataSetInfo &)));
}

int TiberneReport::printBuildings(QSqlQueryModel *model, const QString &)
{
    try {
        return print(model, QStringLiteral(":/Reports/buildings.xml"),
                     SLOT(setValueBuildings(const int, const QString, QVariant &, const int)),
                     SLOT(setDSInfoBuildings(DataSetInfo &)));
    } catch (const QException &e) {
        qCDebug(velloranLog) << e.what();
    }
    return 1;
}

int TiberneReport::printVendors(QSqlQueryModel *model, const QString &)
{
    return print(model, QStringLiteral(":/Reports/vendors.xml"),
                 SLOT(setValueVendors(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoVendors(DataSetInfo &)));
}

int TiberneReport::printTenantDetails(QSqlQueryModel *model, const QString &)
{
    return print(model, QStringLiteral(":/Reports/tenantDetails.xml"),
                 SLOT(setValueTenantDetails(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoTenantDetails(DataSetInfo &)));
}

int TiberneReport::printExpiringLeases(QSqlQueryModel *model, const QString &title)
{
    headings.clear();
    this->title = title;
    return print(model, QStringLiteral(":/Reports/leaseExpiry.xml"),
                 SLOT(setValueExpiringLeases(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoExpiringLeases(DataSetInfo &)));
}

int TiberneReport::printDeposits(QSqlQueryModel *model, const QStringList &texts)
{
    // The total needs every row, not only the first batch the model holds.
    int rows = 0;
    if (!readRows(model, rows))
        return 1;
    grandTotal = 0.0;
    for (int row = 0; row < rows; ++row)
        grandTotal += model->record(row).value(QStringLiteral("amount")).toDouble();
    headings = texts;
    return print(model, QStringLiteral(":/Reports/deposits.xml"),
                 SLOT(setValueDeposits(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoDeposits(DataSetInfo &)));
}

int TiberneReport::printApartments(QSqlQueryModel *model, const QStringList &headings)
{
    this->headings = headings;
    return print(model, QStringLiteral(":/Reports/apartments.xml"),
                 SLOT(setValueApartments(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoApartments(DataSetInfo &)));
}

int TiberneReport::printBills(QSqlQueryModel *model, const QStringList &headings)
{
    this->headings = headings;
    return print(model, QStringLiteral(":/Reports/bills.xml"),
                 SLOT(setValueBills(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoBills(DataSetInfo &)));
}

int TiberneReport::printEquipment(QSqlQueryModel *model, const QStringList &headings)
{
    this->headings = headings;
    return print(model, QStringLiteral(":/Reports/Equipment.xml"),
                 SLOT(setValueEquipment(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoEquipment(DataSetInfo &)));
}

int TiberneReport::printMaintenance(QSqlQueryModel *model, const QStringList &headings)
{
    this->headings = headings;
    return print(model, QStringLiteral(":/Reports/maintenance.xml"),
                 SLOT(setValueMaintenance(const int, const QString, QVariant &, const int)),
                 SLOT(setDSInfoMaintenance(DataSetInfo &)));
}

int TiberneReport::printCashbook(QSqlQueryModel *model, const QStringList &headings)
{
    return printTitled(model, headings, QStringLiteral(":/Reports/cashbook.xml"),
                       SLOT(setValueCashbook(const int, const QString, QVariant &, const int)),
                       SLOT(setDSInfoCashbook(DataSetInfo &)));
}

int TiberneReport::printCashbookHeading(QSqlQueryModel *model, const QStringList &headings)
{
    return printTitled(model, headings, QStringLiteral(":/Reports/cashbook2.xml"),
                       SLOT(setValueCashbookHeading(const int, const QString, QVariant &, const int)),
                       SLOT(setDSInfoCashbookHeading(DataSetInfo &)));
}

int TiberneReport::printPayments(QSqlQueryModel *model, const QStringList &headings)
{
    // A transaction spans as many rows as the bills it paid: its total counts once, and its block
    // keeps the place of its first row, so that the blocks follow the statement's date order.
    int rows = 0;
    if (!readRows(model, rows))
        return 1;
    grandTotal = 0.0;
    groupFirstRow.clear();
    for (int row = 0; row < rows; ++row) {
        const QSqlRecord record = model->record(row);
        const QString transaction = columnText(record, "trans.transid");
        if (groupFirstRow.contains(transaction))
            continue;
        groupFirstRow.insert(transaction, row);
        grandTotal += record.value(QStringLiteral("trans.paytotal")).toDouble();
    }
    grandTotal = std::round(grandTotal * 100.0) / 100.0;
    return printTitled(model, headings, QStringLiteral(":/Reports/paymentsreport.xml"),
                       SLOT(setValuePayments(const int, const QString, QVariant &, const int)),
                       SLOT(setDSInfoPayments(DataSetInfo &)));
}

int TiberneReport::printPaymentsSummary(QSqlQueryModel *model, const QStringList &headings)
{
    return printTitled(model, headings, QStringLiteral(":/Reports/paymentssummary.xml"),
                       SLOT(setValuePaymentsSummary(const int, const QString, QVariant &, const int)),
                       SLOT(setDSInfoPaymentsSummary(DataSetInfo &)));
}

int TiberneReport::printReceipt(QSqlQueryModel *model, const QStringList &headings)
{
    return printTitled(model, headings, QStringLiteral(":/Reports/receipt.xml"),
                       SLOT(setValueReceipt(const int, const QString, QVariant &, const int)),
                       SLOT(setDSInfoReceipt(DataSetInfo &)));
}

int TiberneReport::printLatePayments(QSqlQueryModel *model, const QStringList &texts)
{
    // The totals are taken from all rows before the engine starts, so that they do not depend on
    // which values it asks for, how often, or in which order.
    int rows = 0;
    if (!readRows(model, rows))
        return 1;
    grandTotal = 0.0;
    groupTotals.clear();
    groupFirstRow.clear();
    // Three columns of every row, read as the row's record would read them, without making the record.
    const QSqlRecord columns = model->record();
    const int apartmentColumn = columns.indexOf(QStringLiteral("charges.apid"));
    const int tenantColumn = columns.indexOf(QStringLiteral("charges.tid"));
    const int amountColumn = columns.indexOf(QStringLiteral("charges.amt"));
    const auto value = [model](int row, int column) {
        return column < 0 ? QVariant() : model->data(model->index(row, column), Qt::EditRole);
    };
    // The engine asks for the fields of a row by name, several times each: their columns are found
    // here once for the run, the apartment's and the tenant's last.
    lateColumns.clear();
    for (const DataField &entry : lateData)
        lateColumns.append(columns.indexOf(QLatin1String(entry.column)));
    lateColumns.append(apartmentColumn);
    lateColumns.append(tenantColumn);
    for (int row = 0; row < rows; ++row) {
        const QString group = lateGroup(value(row, apartmentColumn).toString(), value(row, tenantColumn).toString());
        const double amount = value(row, amountColumn).toDouble();
        grandTotal += amount;
        groupTotals[group] += amount;
        if (!groupFirstRow.contains(group))
            groupFirstRow.insert(group, row);
    }
    return printTitled(model, texts, QStringLiteral(":/Reports/latepayments.xml"),
                       SLOT(setValueLatePayments(const int, const QString, QVariant &, const int)),
                       SLOT(setDSInfoLatePayments(DataSetInfo &)));
}

// ---- shared answers

QString TiberneReport::groupKey(const QString &key) const
{
    // The engine sorts groups by this text: the row where the group first appears, written with
    // leading zeros, keeps the statement's order (9 before 10).
    return QStringLiteral("%1").arg(groupFirstRow.value(key), 9, 10, QLatin1Char('0'));
}

int TiberneReport::rowCount() const
{
    return model ? model->rowCount() : 0;
}

bool TiberneReport::recordAt(int recNo, QSqlRecord &record) const
{
    if (recNo < 0 || !model)
        return false;
    // The engine asks for one record's fields one after another, and for each of them several times;
    // while it runs the rows stay as they are, so the record last read answers again.
    if (running && recNo == cachedRow) {
        record = cachedRecord;
        return true;
    }
    record = model->record(recNo);
    if (running) {
        cachedRow = recNo;
        cachedRecord = record;
    }
    return true;
}

int TiberneReport::rowOf(int recNo) const
{
    // A record number past the rows (the first record of a report without any) still has its fields
    // answered, each as a column of no value, as the record of a row that is not there reads them.
    return recNo >= 0 && model ? recNo : -1;
}

QVariant TiberneReport::cell(int row, const char *column) const
{
    if (!running)
        return model->record(row).value(QLatin1String(column));
    // The engine asks for every field of every row, and again in its second pass: each column is
    // found once a run, and the row read cell by cell instead of as a record of all its columns.
    auto found = runColumns.constFind(column);
    if (found == runColumns.constEnd())
        found = runColumns.insert(column, model->record().indexOf(QLatin1String(column)));
    return *found < 0 ? QVariant() : model->data(model->index(row, *found), Qt::EditRole);
}

QString TiberneReport::shownDate(const QVariant &value) const
{
    if (!running)
        return answerIn(Form::Date, value).toString();
    return shownText(shownDates, value.toDate().toJulianDay(), Form::Date, value);
}

QString TiberneReport::shownMoney(double amount) const
{
    if (!running)
        return money(amount);
    return shownText(shownAmounts, amount, Form::Money, amount);
}

QString TiberneReport::shownMoneyOrBlank(double amount) const
{
    // Amounts that stand for "nothing here" print as an empty cell.
    return amount == 0.0 ? QString() : shownMoney(amount);
}

QString TiberneReport::heading(int index) const
{
    return headings.value(index);
}

QString TiberneReport::captionWithColon(const QString &translated) const
{
    return translated + tr(":");
}

QString TiberneReport::countTotal(const QString &translated) const
{
    return QStringLiteral("%1: %2").arg(translated, QString::number(rowCount()));
}

void TiberneReport::answerStandardCount(DataSetInfo &dsInfo) const
{
    dsInfo.dataSetName = QStringLiteral("GoodSource");
    dsInfo.dataSetNo = 1;
    dsInfo.recordCount = rowCount();
}

static void logDataSet(const DataSetInfo &dsInfo)
{
    qCDebug(velloranLog).noquote() << QStringLiteral("%1 %2 %3 %4")
                              .arg(dsInfo.dataSetName)
                              .arg(dsInfo.dataSetNo)
                              .arg(dsInfo.recordCount)
                              .arg(dsInfo.reportPage);
}

void TiberneReport::setDSInfoOwner(DataSetInfo &dsInfo)
{
    logDataSet(dsInfo);
    answerStandardCount(dsInfo);
    logDataSet(dsInfo);
}

void TiberneReport::setDSInfoTenants(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoDeposits(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoBuildings(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoApartments(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoBills(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoEquipment(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoVendors(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoMaintenance(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoCashbook(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoCashbookHeading(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoCashbookByBuilding(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoPayments(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoPaymentsSummary(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoLatePayments(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoExpiringLeases(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }
void TiberneReport::setDSInfoReceipt(DataSetInfo &dsInfo) { answerStandardCount(dsInfo); }

// One tenant per report, whatever the model holds.
void TiberneReport::setDSInfoTenantDetails(DataSetInfo &dsInfo)
{
    dsInfo.dataSetName = QStringLiteral("GoodSource");
    dsInfo.dataSetNo = 1;
    dsInfo.recordCount = 1;
}

// ---- list reports

void TiberneReport::setValueOwner(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    qCDebug(velloranLog).noquote().nospace() << "recno: " << recNo;
    QSqlRecord record;
    if (recordAt(recNo, record)) {
        if (answerData(ownerData, record, paramName, paramValue))
            return;
        if (paramName == QLatin1String("Address")) {
            paramValue = addressLine(columnText(record, "owners.address"), columnText(record, "owners.city"),
                                     columnText(record, "owners.state"), columnText(record, "owners.zip"),
                                     QStringLiteral(" "));
            return;
        }
        if (answerData(ownerBuildingData, record, paramName, paramValue))
            return;
    }
    answerCaption(ownerCaptions, paramName, paramValue);
}

void TiberneReport::setValueTenants(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record)) {
        if (paramName == QLatin1String("ID")) {
            paramValue = columnText(record, "ID");
            return;
        }
        if (paramName == QLatin1String("Name")) {
            paramValue = QStringLiteral("%1, %2").arg(columnText(record, "Lastname"), columnText(record, "firstname"));
            return;
        }
        if (paramName == QLatin1String("Address")) {
            // The tenants list sets the postal code two blanks apart from the state.
            paramValue = addressLine(columnText(record, "address"), columnText(record, "city"),
                                     columnText(record, "state"), columnText(record, "postalcode"),
                                     QStringLiteral("  "));
            return;
        }
        if (answerData(tenantData, record, paramName, paramValue))
            return;
    }
    if (paramName == QLatin1String("Tenants")) {
        paramValue = waitingList ? tr("Tenants On Waitlist") : tr("Tenants Report");
        return;
    }
    if (answerCaption(tenantCaptions, paramName, paramValue))
        return;
    if (paramName == QLatin1String("trTotal")) {
        const QString caption = waitingList ? tr("Total number of tenants on waitlist:   ")
                                            : tr("Total number of tenants:   ");
        paramValue = caption + QString::number(rowCount());
    }
}

void TiberneReport::setValueBuildings(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    qCDebug(velloranLog).noquote().nospace() << "recno: " << recNo;
    QSqlRecord record;
    if (recordAt(recNo, record) && answerData(buildingData, record, paramName, paramValue))
        return;
    if (answerCaption(buildingCaptions, paramName, paramValue))
        return;
    if (paramName == QLatin1String("trTotal"))
        paramValue = countTotal(tr("Total number of buildings"));
}

void TiberneReport::setValueVendors(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record) && answerData(vendorData, record, paramName, paramValue))
        return;
    if (answerCaption(vendorCaptions, paramName, paramValue))
        return;
    if (paramName == QLatin1String("trTotal"))
        paramValue = countTotal(tr("Total number of vendors"));
}

void TiberneReport::setValueApartments(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    qCDebug(velloranLog).noquote().nospace() << "recno: " << recNo;
    QSqlRecord record;
    if (recordAt(recNo, record)) {
        if (answerData(apartmentData, record, paramName, paramValue))
            return;
        if (paramName == QLatin1String("Floor")) {
            // An apartment without a floor leaves the field as the engine gave it.
            const QVariant floor = record.value(QStringLiteral("apartments.floor"));
            if (!floor.isNull()) {
                paramValue = floor.toString();
                return;
            }
        }
        if (answerData(apartmentDataAfterFloor, record, paramName, paramValue))
            return;
    }
    if (paramName == QLatin1String("Apartments")) {
        paramValue = heading(0);
        return;
    }
    if (answerCaption(apartmentCaptions, paramName, paramValue))
        return;
    if (paramName == QLatin1String("trTotal")) {
        paramValue = QStringLiteral("%1: %2").arg(heading(2), QString::number(rowCount()));
        return;
    }
    if (paramName == QLatin1String("trSubTotal"))
        paramValue = captionWithColon(heading(1));
}

void TiberneReport::setValueEquipment(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record) && answerData(equipmentData, record, paramName, paramValue))
        return;
    if (paramName == QLatin1String("Building")) {
        paramValue = heading(0);
        return;
    }
    if (paramName == QLatin1String("Apartment")) {
        paramValue = heading(1);
        return;
    }
    if (answerCaption(equipmentCaptions, paramName, paramValue))
        return;
    if (paramName == QLatin1String("trTotal"))
        paramValue = countTotal(tr("Total number of equipment"));
}

void TiberneReport::setValueMaintenance(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record)) {
        if (answerData(maintenanceData, record, paramName, paramValue))
            return;
        if (headings.isEmpty() && answerData(maintenancePlaceData, record, paramName, paramValue))
            return;
        if (answerData(maintenanceCostData, record, paramName, paramValue))
            return;
    }
    if (answerCaption(maintenanceCaptions, paramName, paramValue))
        return;
    if (!headings.isEmpty()) {
        if (paramName == QLatin1String("Building")) {
            paramValue = heading(0);
            return;
        }
        if (paramName == QLatin1String("Apartment")) {
            paramValue = heading(1);
            return;
        }
    }
    if (answerCaption(maintenanceColumnCaptions, paramName, paramValue))
        return;
    if (paramName == QLatin1String("trTotal"))
        paramValue = countTotal(tr("Total number"));
}

void TiberneReport::setValueExpiringLeases(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record) && answerData(leaseData, record, paramName, paramValue))
        return;
    if (paramName == QLatin1String("ExpiringLeases")) {
        paramValue = title;
        return;
    }
    answerCaption(leaseCaptions, paramName, paramValue);
}

// ---- tenant details

void TiberneReport::setValueTenantDetails(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record)) {
        if (answerData(tenantDetailData, record, paramName, paramValue))
            return;
        if (paramName == QLatin1String("Name")) {
            paramValue = QStringLiteral("%1 %2").arg(columnText(record, "firstname"), columnText(record, "lastname"));
            return;
        }
        if (answerData(tenantDetailDataAfterName, record, paramName, paramValue))
            return;
        if (paramName == QLatin1String("Status")) {
            paramValue = record.value(QStringLiteral("active")).toInt() != 0 ? tr("Active") : tr("Not Active");
            return;
        }
        if (answerData(tenantDetailDataAfterStatus, record, paramName, paramValue))
            return;
        if (paramName == QLatin1String("Type")) {
            paramValue = record.value(QStringLiteral("acctype")).toInt() != 0 ? tr("Checking") : tr("Savings");
            return;
        }
        if (answerData(tenantDetailDataAfterType, record, paramName, paramValue))
            return;
    }
    answerCaption(tenantDetailCaptions, paramName, paramValue);
}

// ---- money reports

namespace {

// A field answered with one of the caller's texts, by its position in the list.
struct Entry
{
    const char *field;
    int index;
};

template <size_t N>
bool answerEntry(const Entry (&table)[N], const QStringList &texts, const QString &name, QVariant &value)
{
    for (const Entry &entry : table) {
        if (name != QLatin1String(entry.field))
            continue;
        value = texts.value(entry.index);
        return true;
    }
    return false;
}

// The city line of the receipts: city, comma, postal code, blank, state.
QString cityLine(const QStringList &texts)
{
    return QStringLiteral("%1,%3 %2").arg(texts.value(7), texts.value(8), texts.value(9));
}

const DataField depositData[] = {
    {"Date", Form::Date, "tdate"},
    {"Amount", Form::Money, "amount"},
    {"Method", Form::Text, "paymenttype"},
};

const Caption depositCaptions[] = {
    CAPTION("trAmount", "Amount", false),
    CAPTION("trDate", "Date", false),
    CAPTION("trMethod", "Method", false),
    CAPTION("trTotal", "Total", true),
};

// The tenant block that the deposit and payment receipts share.
const Caption receiptTenantCaptions[] = {
    CAPTION("trTenantNum", "Tenant #", true),
    CAPTION("trBuilding", "Building", true),
    CAPTION("trApt", "Apt/Suite", true),
};

const Entry receiptTenantEntries[] = {
    {"Name", 1}, {"Building", 2}, {"Suite", 3}, {"Company", 4}, {"Add1", 5}, {"Add2", 6}, {"Phone", 10},
};

const Entry billEntries[] = {
    {"Building", 1}, {"Apartment", 2}, {"Tenant", 0},
};

const DataField cashbookData[] = {
    {"Date", Form::Date, "cashbook.tdate"},
};

const DataField cashbookTextData[] = {
    {"Description", Form::Text, "cashbook.description"},
    {"Category", Form::Text, "category"},
    {"Apts", Form::Text, "apartments.suite"},
};

const Caption cashbookCaptions[] = {
    CAPTION("trDate", "Date", false),
    CAPTION("trDescription", "Description", false),
    CAPTION("trIncome", "Income", false),
    CAPTION("trExpense", "Expense", false),
    CAPTION("trCategory", "Category", false),
    CAPTION("trApts", "Apt/Suite #", false),
};

const Entry cashbookEntries[] = {
    {"Cashbook", 5}, {"trBuilding", 1}, {"trAddress", 2}, {"Building", 3}, {"Address", 4},
};

const DataField paymentData[] = {
    {"Date", Form::Date, "trans.tdate"},
    {"TotalDue", Form::Money, "trans.duetotal"},
    {"Name", Form::Text, "fullname"},
    {"Building", Form::Text, "buildings.description"},
    {"Suite", Form::Text, "apartments.suite"},
    {"Invoice", Form::Text, "trans.transid"},
    {"TotalPaid", Form::Money, "trans.paytotal"},
    {"Cash", Form::Money, "trans.cash"},
    {"Check", Form::Money, "trans.mycheck"},
    {"CreditCard", Form::Money, "trans.ccard"},
};

const DataField paymentLineData[] = {
    {"BillDate", Form::Date, "payments.fordate"},
    {"Amount", Form::Money, "payments.amount"},
    {"Type", Form::Text, "payments.type"},
};

const Caption paymentCaptions[] = {
    CAPTION("trName", "Tenant", true),
    CAPTION("trBuilding", "Building", true),
    CAPTION("trSuite", "Apt/Suite #", true),
    CAPTION("trDate", "Date Paid", true),
    CAPTION("trInvoice", "Invoice #", true),
    CAPTION("trTotalDue", "Total Due", true),
    CAPTION("trTotalPaid", "Total Paid", false),
    CAPTION("trCash", "Cash", false),
    CAPTION("trCheck", "Check", false),
    CAPTION("trCreditCard", "Credit Card", false),
    CAPTION("trCheckNum", "Check #", false),
    CAPTION("trCreditNum", "C. Card #", false),
    CAPTION("trBillDate", "Bill Date", false),
    CAPTION("trAmount", "Amount", false),
    CAPTION("trType", "Type", false),
    CAPTION("trGrandTotal", "Grand Total", true),
};

const Entry paymentEntries[] = {
    {"Payment", 1}, {"Range", 0},
};

const Caption summaryCaptions[] = {
    CAPTION("trPaymentSummary", "Payments Collected", false),
    CAPTION("trCashTotal", "Cash Total", true),
    CAPTION("trChecksTotal", "Checks Total", true),
    CAPTION("trCreditTotal", "Credit Card Total", true),
    CAPTION("trGrandTotal", "Grand Total", true),
    CAPTION("trType", "Type", false),
    CAPTION("trTotal", "Total", false),
};

const Entry summaryEntries[] = {
    {"Payment", 1}, {"Range", 0}, {"CashTotal", 2}, {"ChecksTotal", 3}, {"CreditTotal", 4}, {"GrandTotal", 5},
};

const DataField receiptData[] = {
    {"BillDate", Form::Date, "payments.fordate"},
    {"Amt", Form::Money, "amountdue"},
    {"Paid", Form::Money, "payments.amount"},
    {"Category", Form::Text, "payments.type"},
};

const Caption receiptCaptions[] = {
    CAPTION("trBillDate", "Bill Date", false),
    CAPTION("trCategory", "Category", false),
    CAPTION("trAmt", "Amount Due", false),
    CAPTION("trPaid", "Amount Paid", false),
    CAPTION("trName", "Tenant", true),
    CAPTION("trInvoice", "Invoice #", true),
    CAPTION("trDate", "Date", true),
    CAPTION("trTotalDue", "Total Due", true),
    CAPTION("trTotalPaid", "Total Paid", true),
    CAPTION("trCash", "Cash", true),
    CAPTION("trCheck", "Check", true),
    CAPTION("trCreditCard", "Credit Card", true),
    CAPTION("trSigned", "Signed", false),
};

const Entry receiptEntries[] = {
    {"TenantNum", 0}, {"Invoice", 11}, {"Date", 12},
};

// The receipt's amounts come as plain numbers in text.
const Entry receiptAmountEntries[] = {
    {"TotalDue", 13}, {"TotalPaid", 14}, {"Cash", 15}, {"Check", 16}, {"CreditCard", 17},
};

const Caption lateCaptions[] = {
    CAPTION("Payment", "Late Payments Report", false),
    CAPTION("trBuilding", "Building", false),
    CAPTION("trSuite", "Apt/Suite #", false),
    CAPTION("trTenant", "Tenant", false),
    CAPTION("trDate", "Bill Date", false),
    CAPTION("trType", "Type", false),
    CAPTION("trAmount", "Amount", false),
    CAPTION("trSubTotal", "Sub Total", true),
    CAPTION("trGrandTotal", "Grand Total", true),
};

} // namespace

void TiberneReport::setValueDeposits(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    try {
        QSqlRecord record;
        if (recordAt(recNo, record) && answerData(depositData, record, paramName, paramValue))
            return;
        if (answerCaption(depositCaptions, paramName, paramValue))
            return;
        if (paramName == QLatin1String("Total")) {
            paramValue = money(grandTotal);
            return;
        }
        if (paramName == QLatin1String("TenantNum")) {
            qCDebug(velloranLog).noquote() << "In printdeposits list count" << headings.size();
            paramValue = heading(0);
            return;
        }
        if (paramName == QLatin1String("trName")) {
            paramValue = captionWithColon(tr("Name"));
            return;
        }
        if (answerCaption(receiptTenantCaptions, paramName, paramValue)
            || answerEntry(receiptTenantEntries, headings, paramName, paramValue))
            return;
        if (paramName == QLatin1String("City")) {
            paramValue = cityLine(headings);
            return;
        }
        if (paramName == QLatin1String("trSecDeposit"))
            paramValue = tr("Receipt: Security Deposit");
    } catch (const QException &e) {
        qCDebug(velloranLog).noquote() << "setValueDeposits" << e.what();
    }
}

void TiberneReport::setValueBills(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record) && answerData(billData, record, paramName, paramValue))
        return;
    if (answerCaption(billCaptions, paramName, paramValue) || answerEntry(billEntries, headings, paramName, paramValue))
        return;
    if (paramName == QLatin1String("trTotal"))
        paramValue = countTotal(tr("Total number of recurring bills"));
}

// What the two cashbook reports answer alike once their amount columns are dealt with.
bool TiberneReport::answerCashbookCommon(int row, const QString &paramName, QVariant &paramValue) const
{
    if (row >= 0) {
        // An entry of no apartment belongs to the office as a whole, and says so in the suite column.
        if (paramName == QLatin1String("Apts") && cell(row, "cashbook.apid").toInt() <= 0) {
            paramValue = tr("Office");
            return true;
        }
        if (paramName == QLatin1String(cashbookData[0].field)) {
            paramValue = shownDate(cell(row, cashbookData[0].column));
            return true;
        }
        for (const DataField &entry : cashbookTextData) {
            if (paramName == QLatin1String(entry.field)) {
                paramValue = cell(row, entry.column).toString();
                return true;
            }
        }
    }
    if (answerEntry(cashbookEntries, headings, paramName, paramValue))
        return true;
    if (paramName == QLatin1String("Range")) {
        paramValue = title;
        return true;
    }
    if (paramName == QLatin1String("trTotal")) {
        paramValue = countTotal(tr("Total number"));
        return true;
    }
    return false;
}

void TiberneReport::setValueCashbook(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    const int row = rowOf(recNo);
    if (row >= 0) {
        if (paramName == QLatin1String("Income")) {
            paramValue = shownMoneyOrBlank(cell(row, "cashbook.income").toDouble());
            return;
        }
        if (paramName == QLatin1String("Expense")) {
            paramValue = shownMoneyOrBlank(cell(row, "cashbook.expense").toDouble());
            return;
        }
    }
    if (answerCashbookCommon(row, paramName, paramValue))
        return;
    answerCaption(cashbookCaptions, paramName, paramValue);
}

void TiberneReport::setValueCashbookHeading(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    const int row = rowOf(recNo);
    if (row >= 0) {
        // One amount column: an expense row shows its expense there, under the caption "Expense".
        const bool incomeField = paramName == QLatin1String("Income");
        if (incomeField || paramName == QLatin1String("trIncome")) {
            const double income = cell(row, "cashbook.income").toDouble();
            if (incomeField)
                paramValue = shownMoney(income == 0.0 ? cell(row, "cashbook.expense").toDouble() : income);
            else
                paramValue = income == 0.0 ? tr("Expense") : tr("Income");
            return;
        }
        if (paramName == QLatin1String("Expense")) {
            paramValue = shownMoneyOrBlank(cell(row, "cashbook.expense").toDouble());
            return;
        }
    }
    if (answerCashbookCommon(row, paramName, paramValue))
        return;
    if (paramName != QLatin1String("trIncome") && paramName != QLatin1String("trExpense"))
        answerCaption(cashbookCaptions, paramName, paramValue);
}

int TiberneReport::printIncomeByBuilding(QSqlQueryModel *model, const QStringList &headings)
{
    return printByBuilding(model, headings, false);
}

int TiberneReport::printExpenseByBuilding(QSqlQueryModel *model, const QStringList &headings)
{
    return printByBuilding(model, headings, true);
}

int TiberneReport::printByBuilding(QSqlQueryModel *model, const QStringList &headings, bool expense)
{
    // The totals are taken from all rows before the engine starts, as for the late payments.
    int rows = 0;
    if (!readRows(model, rows))
        return 1;
    const char *const amountColumn = expense ? "cashbook.expense" : "cashbook.income";
    expenseByBuilding = expense;
    grandTotal = 0.0;
    buildingTotals.clear();
    groupFirstRow.clear();
    // Two columns of every row, read as the row's record would read them, without making the record.
    const QSqlRecord columns = model->record();
    const int buildingColumn = columns.indexOf(QStringLiteral("buildings.buildid"));
    const int amountAt = columns.indexOf(QLatin1String(amountColumn));
    const auto value = [model](int row, int column) {
        return column < 0 ? QVariant() : model->data(model->index(row, column), Qt::EditRole);
    };
    for (int row = 0; row < rows; ++row) {
        const QString building = value(row, buildingColumn).toString();
        const double amount = value(row, amountAt).toDouble();
        grandTotal += amount;
        buildingTotals[building] += amount;
        if (!groupFirstRow.contains(building))
            groupFirstRow.insert(building, row);
    }
    grandTotal = std::round(grandTotal * 100.0) / 100.0;
    for (double &total : buildingTotals)
        total = std::round(total * 100.0) / 100.0;
    return printTitled(model, headings, QStringLiteral(":/Reports/buildingcashbook.xml"),
                       SLOT(setValueCashbookByBuilding(const int, const QString, QVariant &, const int)),
                       SLOT(setDSInfoCashbookByBuilding(DataSetInfo &)));
}

void TiberneReport::setValueCashbookByBuilding(const int recNo, const QString paramName, QVariant &paramValue,
                                               const int)
{
    const int row = rowOf(recNo);
    if (row >= 0) {
        if (paramName == QLatin1String("Amount")) {
            paramValue = shownMoney(cell(row, expenseByBuilding ? "cashbook.expense" : "cashbook.income").toDouble());
            return;
        }
        const bool key = paramName == QLatin1String("BuildingKey");
        const bool name = paramName == QLatin1String("Building") || paramName == QLatin1String("trSubTotal");
        if (key || name || paramName == QLatin1String("SubTotal")) {
            const QString building = cell(row, "buildings.buildid").toString();
            if (key) {
                paramValue = groupKey(building);
            } else if (name) {
                // Entries of no apartment belong to no building: they are the office's own.
                const QString buildingName =
                    building.isEmpty() ? tr("Office") : cell(row, "buildings.description").toString();
                paramValue = paramName == QLatin1String("Building") ? buildingName
                                                                    : tr("Total for %1:").arg(buildingName);
            } else {
                paramValue = money(buildingTotals.value(building));
            }
            return;
        }
    }
    if (paramName == QLatin1String("GrandTotal")) {
        paramValue = money(grandTotal);
        return;
    }
    if (paramName == QLatin1String("trGrandTotal")) {
        paramValue = expenseByBuilding ? tr("Total expense:") : tr("Total income:");
        return;
    }
    if (paramName == QLatin1String("trAmount")) {
        paramValue = expenseByBuilding ? tr("Expense") : tr("Income");
        return;
    }
    if (paramName == QLatin1String("trBuilding")) {
        paramValue = captionWithColon(tr("Building"));
        return;
    }
    if (answerCashbookCommon(row, paramName, paramValue))
        return;
    answerCaption(cashbookCaptions, paramName, paramValue);
}

void TiberneReport::setValuePayments(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record)) {
        if (answerData(paymentData, record, paramName, paramValue))
            return;
        if (paramName == QLatin1String("CheckNum") || paramName == QLatin1String("CreditNum")) {
            const QString number = columnText(record, paramName == QLatin1String("CheckNum") ? "trans.checkn"
                                                                                              : "trans.ccardn");
            paramValue = number.isEmpty() ? QStringLiteral("-") : number;
            return;
        }
        if (answerData(paymentLineData, record, paramName, paramValue))
            return;
        if (paramName == QLatin1String("InvoiceKey")) {
            paramValue = groupKey(columnText(record, "trans.transid"));
            return;
        }
    }
    if (paramName == QLatin1String("GrandTotal")) {
        paramValue = money(grandTotal);
        return;
    }
    if (answerEntry(paymentEntries, headings, paramName, paramValue))
        return;
    answerCaption(paymentCaptions, paramName, paramValue);
}

void TiberneReport::setValuePaymentsSummary(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record)) {
        // By position: the caller names the total and the method as it likes.
        if (paramName == QLatin1String("Total")) {
            paramValue = money(record.value(0).toDouble());
            return;
        }
        if (paramName == QLatin1String("Type")) {
            paramValue = record.value(1).toString();
            return;
        }
    }
    if (answerEntry(summaryEntries, headings, paramName, paramValue))
        return;
    answerCaption(summaryCaptions, paramName, paramValue);
}

void TiberneReport::setValueReceipt(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    QSqlRecord record;
    if (recordAt(recNo, record) && answerData(receiptData, record, paramName, paramValue))
        return;
    if (answerCaption(receiptCaptions, paramName, paramValue)
        || answerCaption(receiptTenantCaptions, paramName, paramValue)
        || answerEntry(receiptTenantEntries, headings, paramName, paramValue)
        || answerEntry(receiptEntries, headings, paramName, paramValue))
        return;
    if (paramName == QLatin1String("City")) {
        paramValue = cityLine(headings);
        return;
    }
    QVariant amount;
    if (answerEntry(receiptAmountEntries, headings, paramName, amount))
        paramValue = money(amount.toString().toDouble());
}

bool TiberneReport::answerLateRow(int row, const QString &name, QVariant &value)
{
    const int fields = int(sizeof(lateData) / sizeof(lateData[0]));
    if (row != answeredRow || rowAnswers.size() != lateColumns.size()) {
        answeredRow = row;
        rowAnswers.fill(QVariant(), lateColumns.size());
    }
    // Worked out when first asked for; every answer is a text, so an invalid one is not known yet.
    const auto answer = [&](int entry) -> const QVariant & {
        QVariant &known = rowAnswers[entry];
        if (!known.isValid()) {
            const int column = lateColumns.at(entry);
            const QVariant data = column < 0 ? QVariant() : model->data(model->index(row, column), Qt::EditRole);
            const Form form = entry < fields ? lateData[entry].form : Form::Text;
            if (form == Form::Date)
                known = shownText(shownDates, data.toDate().toJulianDay(), form, data);
            else if (form == Form::Money)
                known = shownText(shownAmounts, data.toDouble(), form, data);
            else
                known = answerIn(form, data);
        }
        return known;
    };
    for (int entry = 0; entry < fields; ++entry) {
        if (name == QLatin1String(lateData[entry].field)) {
            value = answer(entry);
            return true;
        }
    }
    const bool key = name == QLatin1String("SuiteNum");
    if (!key && name != QLatin1String("SubTotal"))
        return false;
    const QString group = lateGroup(answer(fields).toString(), answer(fields + 1).toString());
    value = key ? groupKey(group) : money(groupTotals.value(group));
    return true;
}

void TiberneReport::setValueLatePayments(const int recNo, const QString paramName, QVariant &paramValue, const int)
{
    // Every total comes from the rows themselves, never from the order in which the engine asks:
    // a preview repaints its pages in any order and as often as the user pages back and forth.
    QSqlRecord record;
    if (running && recNo >= 0 && recNo < rowCount()
        && lateColumns.size() == int(sizeof(lateData) / sizeof(lateData[0])) + 2) {
        if (answerLateRow(recNo, paramName, paramValue))
            return;
    } else if (recordAt(recNo, record)) {
        if (answerData(lateData, record, paramName, paramValue))
            return;
        const QString group = lateGroup(columnText(record, "charges.apid"), columnText(record, "charges.tid"));
        if (paramName == QLatin1String("SuiteNum")) {
            paramValue = groupKey(group);
            return;
        }
        if (paramName == QLatin1String("SubTotal")) {
            paramValue = money(groupTotals.value(group));
            return;
        }
    }
    if (paramName == QLatin1String("GrandTotal")) {
        paramValue = money(grandTotal);
        return;
    }
    if (answerCaption(lateCaptions, paramName, paramValue))
        return;
    if (paramName == QLatin1String("trNumber"))
        paramValue = countTotal(tr("Number of Late Payments"));
}
