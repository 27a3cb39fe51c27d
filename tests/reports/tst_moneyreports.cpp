// The money reports on a copy of the demonstration database, with its payments, charges, cashbook
// rows and deposits: the values the builder hands the engine, and the cashbook, payments and late
// payments reports printed to PDF and read back as text.
#include "datahub/qsqldoublequerymodel.h"
#include "reports/reportsql.h"
#include "reports/tibernereport.h"

#include "tests/reports/pdftext.h"
#include "tests/reports/previewdriver.h"

#include <testdatabase.h>

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

namespace {

using ValueSlot = void (TiberneReport::*)(int, QString, QVariant &, int);

const QString Untouched = QStringLiteral("<as the engine gave it>");
const QDate March1(2024, 3, 1);
const QDate March31(2024, 3, 31);
// Building 1 holds apartments 9 and 10 of the demonstration data.
const QString Building1 = QStringLiteral(" where b.buildid in (1) ");

enum Report { Deposits, Bills, Cashbook, CashbookHeading, Payments, Summary, Receipt, LatePayments };

QString money(double amount)
{
    return TiberneReport::money(amount);
}

// The amounts printed after a caption, in the order they appear.
QStringList amountsAfter(const QString &text, const QString &caption)
{
    QStringList amounts;
    const QRegularExpression pattern(QRegularExpression::escape(caption) + QStringLiteral("\\s+(-?[\\d,]+\\.\\d\\d)"));
    auto it = pattern.globalMatch(text);
    while (it.hasNext())
        amounts << it.next().captured(1);
    return amounts;
}

QVariant scalar(const QString &sql)
{
    QSqlQuery query(sql);
    return query.next() ? query.value(0) : QVariant();
}

} // namespace

Q_DECLARE_METATYPE(Report)

class TestMoneyReports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void fieldValues_data();
    void fieldValues();
    void latePaymentTotalsIgnoreTheOrderOfQuestions();
    void latePaymentsPrintGroupedWithTotals();
    void cashbookPrintsThePeriodsEntries();
    void paymentsPrintEveryTransaction();
    // Last: it hands an apartment to a new tenant.
    void tenantReportsFollowTheTenantWhoPaid_data();
    void tenantReportsFollowTheTenantWhoPaid();

private:
    ValueSlot prepare(Report report, const QStringList &headings);
    void load(const QString &sql);
    QString printed();

    TestDatabase *database = nullptr;
    QSqlDoubleQueryModel *model = nullptr;
    TiberneReport *builder = nullptr;
    QString pdf;
    QDate lateDay;
};

void TestMoneyReports::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "pdftotext is needed");
    database = new TestDatabase(QStringLiteral("DEMO.FDB"));
    QVERIFY(database->isValid());
    QVERIFY(database->open().isOpen());

    // The demonstration charges are dated from the day the database was built; the day after the last
    // of them makes every unpaid one late.
    lateDay = scalar(QStringLiteral("select max(fordate) from charges where amt > 0")).toDate().addDays(1);
    QVERIFY(lateDay.isValid());
    QVERIFY(scalar(QStringLiteral("select count(*) from charges where amt > 0 and apid = 9")).toInt() > 0);

    const QStringList rows = {
        // March 2024 lies before all demonstration data: these rows are the period's only ones.
        "insert into cashbook (accid, tdate, catid, description, expense, income, vid, apid) values "
        "(9001, date '2024-03-05', 1, 'Test expense', 25, 0, -1, 9)",
        "insert into cashbook (accid, tdate, catid, description, expense, income, vid, apid) values "
        "(9002, date '2024-03-06', 1, 'Test nothing', 0, 0, -1, 9)",
        "insert into cashbook (accid, tdate, catid, description, expense, income, vid, apid) values "
        "(9003, date '2024-03-07', 1, 'Test income', 0, 1234.5, -1, 10)",
        "insert into charges (chid, tid, apid, type, amt, fordate, origamount) values "
        "(9001, null, 10, 'Ten-Test', 77.25, date '2024-03-01', 80)",
        "insert into trans (transid, tdate, tid, apid, ccard, ccardn, mycheck, checkn, cash, paytotal, duetotal) "
        "values (9001, date '2024-03-05', null, 10, 30.5, '4111', 20, '', 10, 60.5, 80)",
        "insert into payments (payid, transid, chid, amount, type, fordate, datepaid) values "
        "(9001, 9001, 9001, 2.75, 'Ten-Test', date '2024-03-01', date '2024-03-05')",
        "insert into deposits (depid, tid, tdate, amount, paymenttype) values "
        "(9001, 1, date '2024-03-02', 100.25, 'Cash')",
        "insert into deposits (depid, tid, tdate, amount, paymenttype) values "
        "(9002, 1, date '2024-03-03', 50, 'Check')",
    };
    for (const QString &sql : rows)
        QVERIFY(exec(sql));

    model = new QSqlDoubleQueryModel(this);
    builder = new TiberneReport(this);
    pdf = TestEnvironment::root() + QStringLiteral("/money.pdf");
}

void TestMoneyReports::cleanupTestCase()
{
    delete model;
    model = nullptr;
    releaseConnection();
    delete database;
}

void TestMoneyReports::load(const QString &sql)
{
    model->clear();
    model->setQuery(sql, QSqlDatabase::database());
    QVERIFY2(!model->lastError().isValid(), qPrintable(model->lastError().text()));
}

QString TestMoneyReports::printed()
{
    return pdfText(pdf);
}

// Runs the report once (saved from its preview) so that the builder holds its rows and texts, and
// returns the report's value slot.
ValueSlot TestMoneyReports::prepare(Report report, const QStringList &headings)
{
    QFile::remove(pdf);
    ModalDriver preview;
    saveAsPdfFromPreview(preview, pdf);
    switch (report) {
    case Deposits:
        load(QStringLiteral("select * from deposits where depid >= 9001 order by depid"));
        builder->printDeposits(model, headings);
        return &TiberneReport::setValueDeposits;
    case Bills:
        load(QStringLiteral("select r.*, f.name from recur r left join frequency f on f.freqid = r.freq "
                            "where r.recid = 1"));
        builder->printBills(model, headings);
        return &TiberneReport::setValueBills;
    case Cashbook:
        load(ReportSql::cashbook(Building1, March1, March31));
        builder->printCashbook(model, headings);
        return &TiberneReport::setValueCashbook;
    case CashbookHeading:
        load(ReportSql::cashbook(Building1, March1, March31));
        builder->printCashbookHeading(model, headings);
        return &TiberneReport::setValueCashbookHeading;
    case Payments:
        load(ReportSql::payments(Building1, March1, March31));
        builder->printPayments(model, headings);
        return &TiberneReport::setValuePayments;
    case Summary:
        load(ReportSql::paymentsSummary(March1, March31));
        builder->printPaymentsSummary(model, headings);
        return &TiberneReport::setValuePaymentsSummary;
    case Receipt:
        load(QStringLiteral("select p.fordate, p.amount, p.type, c.origamount as amountdue from payments p "
                            "left join charges c on c.chid = p.chid where p.payid = 9001"));
        builder->printReceipt(model, headings);
        return &TiberneReport::setValueReceipt;
    case LatePayments:
        load(ReportSql::latePayments(lateDay));
        builder->printLatePayments(model, headings);
        return &TiberneReport::setValueLatePayments;
    }
    return nullptr;
}

void TestMoneyReports::fieldValues_data()
{
    QTest::addColumn<Report>("report");
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<int>("recNo");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    const QStringList none;
    const QStringList tenantBlock = {"T0001", "Amelia Carraway", "Maple Court", "101", "Acme", "1 Road", "Floor 2",
                                     "Fairhaven", "OR", "97420", "555-2013"};
    const QStringList receipt = tenantBlock + QStringList{"9001", "3/5/2024", "80", "60.5", "10", "20", "abc"};
    const QStringList cashbookTexts = {"From 3/1/2024 To 3/31/2024", "Tenant:", "Address:", "Ann Zedd",
                                       "5 Way, Town, ST Z1P", "Expense By Tenant"};
    const QStringList summaryTexts = {"From A To B", "Payments Summary Report", "10.00", "20.00", "30.50", "60.50"};

    QTest::newRow("deposit amount") << Deposits << tenantBlock << 0 << "Amount" << money(100.25);
    QTest::newRow("deposit date") << Deposits << tenantBlock << 1 << "Date" << "3/3/2024";
    QTest::newRow("deposit method") << Deposits << tenantBlock << 1 << "Method" << "Check";
    QTest::newRow("deposit total") << Deposits << tenantBlock << -1 << "Total" << money(150.25);
    QTest::newRow("deposit name caption") << Deposits << tenantBlock << -1 << "trName" << "Name:";
    QTest::newRow("deposit city line") << Deposits << tenantBlock << -1 << "City" << "Fairhaven,97420 OR";
    QTest::newRow("deposit phone") << Deposits << tenantBlock << -1 << "Phone" << "555-2013";
    QTest::newRow("deposit short list") << Deposits << QStringList{"T1"} << -1 << "Phone" << "";
    QTest::newRow("deposit title") << Deposits << tenantBlock << -1 << "trSecDeposit" << "Receipt: Security Deposit";
    QTest::newRow("deposit tel not answered") << Deposits << tenantBlock << -1 << "Tel" << Untouched;

    QTest::newRow("bill frequency") << Bills << QStringList{"Ann", "Maple", "101"} << 0 << "Frequency" << "Monthly";
    QTest::newRow("bill amount") << Bills << QStringList{"Ann", "Maple", "101"} << 0 << "Amount" << money(1150);
    QTest::newRow("bill tenant") << Bills << QStringList{"Ann", "Maple", "101"} << -1 << "Tenant" << "Ann";
    QTest::newRow("bill apartment caption") << Bills << none << -1 << "trApartment" << "Suite/Apt #:";
    QTest::newRow("bill total") << Bills << none << -1 << "trTotal" << "Total number of recurring bills: 1";

    // Rows in date order: the expense, the row of nothing, the income.
    QTest::newRow("cashbook expense row, no income") << Cashbook << cashbookTexts << 0 << "Income" << "";
    QTest::newRow("cashbook expense") << Cashbook << cashbookTexts << 0 << "Expense" << money(25);
    QTest::newRow("cashbook income row, no expense") << Cashbook << cashbookTexts << 2 << "Expense" << "";
    QTest::newRow("cashbook income") << Cashbook << cashbookTexts << 2 << "Income" << money(1234.5);
    QTest::newRow("cashbook suite") << Cashbook << cashbookTexts << 2 << "Apts" << "302";
    QTest::newRow("cashbook range") << Cashbook << cashbookTexts << -1 << "Range" << "From 3/1/2024 To 3/31/2024";
    QTest::newRow("cashbook title") << Cashbook << cashbookTexts << -1 << "Cashbook" << "Expense By Tenant";
    QTest::newRow("cashbook block") << Cashbook << cashbookTexts << -1 << "Address" << "5 Way, Town, ST Z1P";
    QTest::newRow("cashbook income caption") << Cashbook << cashbookTexts << -1 << "trIncome" << "Income";
    QTest::newRow("cashbook total") << Cashbook << cashbookTexts << -1 << "trTotal" << "Total number: 3";
    QTest::newRow("heading: expense in the one column") << CashbookHeading << cashbookTexts << 0 << "Income"
                                                         << money(25);
    QTest::newRow("heading: expense caption") << CashbookHeading << cashbookTexts << 0 << "trIncome" << "Expense";
    QTest::newRow("heading: income caption") << CashbookHeading << cashbookTexts << 2 << "trIncome" << "Income";
    QTest::newRow("heading: nothing prints 0.00") << CashbookHeading << cashbookTexts << 1 << "Income" << money(0);
    QTest::newRow("heading: no caption outside rows") << CashbookHeading << cashbookTexts << -1 << "trIncome"
                                                      << Untouched;

    QTest::newRow("payment invoice") << Payments << QStringList{"Range", "Bill Payments Report"} << 0 << "Invoice"
                                     << "9001";
    QTest::newRow("payment no check number") << Payments << none << 0 << "CheckNum" << "-";
    QTest::newRow("payment card number") << Payments << none << 0 << "CreditNum" << "4111";
    QTest::newRow("payment card") << Payments << none << 0 << "CreditCard" << money(30.5);
    QTest::newRow("payment line") << Payments << none << 0 << "Amount" << money(2.75);
    QTest::newRow("payment bill date") << Payments << none << 0 << "BillDate" << "3/1/2024";
    QTest::newRow("payment suite") << Payments << none << 0 << "Suite" << "302";
    QTest::newRow("payment title") << Payments << QStringList{"Range", "Bill Payments Report"} << -1 << "Payment"
                                   << "Bill Payments Report";
    QTest::newRow("payment caption") << Payments << none << -1 << "trDate" << "Date Paid:";

    QTest::newRow("summary cash row") << Summary << summaryTexts << 0 << "Total" << money(10);
    QTest::newRow("summary card row") << Summary << summaryTexts << 2 << "Type" << "Credit Card";
    QTest::newRow("summary card total") << Summary << summaryTexts << 2 << "Total" << money(30.5);
    QTest::newRow("summary grand total") << Summary << summaryTexts << -1 << "GrandTotal" << "60.50";
    QTest::newRow("summary caption") << Summary << summaryTexts << -1 << "trGrandTotal" << "Grand Total:";
    QTest::newRow("summary invoice not answered") << Summary << summaryTexts << -1 << "Invoice" << Untouched;

    QTest::newRow("receipt amount due") << Receipt << receipt << 0 << "Amt" << money(80);
    QTest::newRow("receipt paid") << Receipt << receipt << 0 << "Paid" << money(2.75);
    QTest::newRow("receipt total due from text") << Receipt << receipt << -1 << "TotalDue" << money(80);
    QTest::newRow("receipt total paid from text") << Receipt << receipt << -1 << "TotalPaid" << money(60.5);
    QTest::newRow("receipt text that is no number") << Receipt << receipt << -1 << "CreditCard" << money(0);
    QTest::newRow("receipt tenant caption") << Receipt << receipt << -1 << "trName" << "Tenant:";
    QTest::newRow("receipt city line") << Receipt << receipt << -1 << "City" << "Fairhaven,97420 OR";
    QTest::newRow("receipt date") << Receipt << receipt << -1 << "Date" << "3/5/2024";

    QTest::newRow("late caption") << LatePayments << none << -1 << "trSubTotal" << "Sub Total:";
    QTest::newRow("late title") << LatePayments << none << -1 << "Payment" << "Late Payments Report";
}

void TestMoneyReports::fieldValues()
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

void TestMoneyReports::latePaymentTotalsIgnoreTheOrderOfQuestions()
{
    prepare(LatePayments, QStringList());
    const int rows = model->rowCount();
    QVERIFY(rows > 3);
    auto ask = [this](int recNo, const char *field) {
        QVariant value;
        builder->setValueLatePayments(recNo, QLatin1String(field), value, 0);
        return value.toString();
    };
    auto sumOf = [](int apartment) {
        return scalar(QStringLiteral("select sum(amt) from charges where amt > 0 and apid = %1").arg(apartment))
            .toDouble();
    };
    const int lastApartment = model->record(rows - 1).value(QStringLiteral("apid")).toInt();
    const int firstApartment = model->record(0).value(QStringLiteral("apid")).toInt();

    // The last group first, the first group after it, and amounts asked over and over in between.
    QCOMPARE(ask(rows - 1, "SubTotal"), money(sumOf(lastApartment)));
    for (int i = 0; i < 3; ++i)
        for (int row = rows - 1; row >= 0; --row)
            ask(row, "Amount");
    QCOMPARE(ask(0, "SubTotal"), money(sumOf(firstApartment)));
    QCOMPARE(ask(rows - 1, "SubTotal"), money(sumOf(lastApartment)));
    const double all = scalar(QStringLiteral("select sum(amt) from charges where amt > 0 and fordate < '%1'")
                                  .arg(lateDay.toString(Qt::ISODate)))
                           .toDouble();
    QCOMPARE(ask(rows - 1, "GrandTotal"), money(all));
    QCOMPARE(ask(-1, "GrandTotal"), money(all));
    // Past the last row: nothing to add up, and no crash.
    QCOMPARE(ask(rows + 5, "SubTotal"), money(0));

    // The group keys sort as the statement orders the apartments: 9 before 10 as text too.
    QString key9;
    QString key10;
    for (int row = 0; row < rows; ++row) {
        const int apartment = model->record(row).value(QStringLiteral("apid")).toInt();
        if (apartment == 9)
            key9 = ask(row, "SuiteNum");
        if (apartment == 10)
            key10 = ask(row, "SuiteNum");
    }
    QVERIFY(!key9.isEmpty());
    QVERIFY(!key10.isEmpty());
    QVERIFY2(key9 < key10, qPrintable(key9 + QLatin1Char(' ') + key10));
}

void TestMoneyReports::latePaymentsPrintGroupedWithTotals()
{
    prepare(LatePayments, QStringList());
    const QString text = printed();
    QVERIFY2(text.contains(QLatin1String("Late Payments Report")), qPrintable(text));

    // One subtotal per apartment and tenant, in apartment order, each the sum of that tenant's unpaid
    // charges there.
    QStringList expected;
    QSqlQuery groups(QStringLiteral("select apid, sum(amt) from charges where amt > 0 and fordate < '%1' "
                                    "group by apid, tid order by apid, tid")
                         .arg(lateDay.toString(Qt::ISODate)));
    QList<int> apartments;
    while (groups.next()) {
        apartments << groups.value(0).toInt();
        expected << money(groups.value(1).toDouble()).trimmed();
    }
    QVERIFY(apartments.contains(9));
    QVERIFY(apartments.contains(10));
    QCOMPARE(amountsAfter(text, QStringLiteral("Sub Total:")), expected);

    const QString grand = money(scalar(QStringLiteral("select sum(amt) from charges where amt > 0 and fordate < '%1'")
                                           .arg(lateDay.toString(Qt::ISODate)))
                                    .toDouble())
                              .trimmed();
    QCOMPARE(amountsAfter(text, QStringLiteral("Grand Total:")), QStringList{grand});
    QVERIFY(text.contains(QStringLiteral("Number of Late Payments: %1").arg(model->rowCount())));

    // Apartment 9's charges come before apartment 10's.
    const int nine = text.indexOf(QLatin1String("301"));
    const int ten = text.indexOf(QLatin1String("Ten-Test"));
    QVERIFY(nine >= 0);
    QVERIFY(ten > nine);

    // A second print of the same rows prints the same report.
    prepare(LatePayments, QStringList());
    QCOMPARE(printed(), text);
}

void TestMoneyReports::cashbookPrintsThePeriodsEntries()
{
    const QDate from = scalar(QStringLiteral("select min(tdate) from cashbook where accid < 9000")).toDate();
    const QDate to = scalar(QStringLiteral("select max(tdate) from cashbook where accid < 9000")).toDate();
    const QString buildings = QStringLiteral(" where b.buildid in (1, 2, 3, 4, 5) ");
    QFile::remove(pdf);
    load(ReportSql::cashbook(buildings, from, to));
    const int rows = model->rowCount();
    QCOMPARE(rows, scalar(QStringLiteral("select count(*) from cashbook c join apartments a on a.apid = c.apid "
                                         "where a.bid in (1, 2, 3, 4, 5) and c.tdate >= '%1' and c.tdate <= '%2'")
                              .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate)))
                       .toInt());
    QVERIFY(rows > 50);
    ModalDriver preview;
    saveAsPdfFromPreview(preview, pdf);
    builder->printCashbook(model, {QStringLiteral("From X To Y"), QString(), QString(), QString(), QString(),
                                   QStringLiteral("Cashbook Entries")});
    const QString text = printed();
    QVERIFY(text.contains(QLatin1String("Cashbook Entries")));
    QVERIFY(text.contains(QLatin1String("From X To Y")));
    QVERIFY(text.contains(QStringLiteral("Total number: %1").arg(rows)));
    for (int row : {0, rows - 1}) {
        const QSqlRecord record = model->record(row);
        QVERIFY(text.contains(record.value(QStringLiteral("description")).toString()));
        const double amount = record.value(QStringLiteral("income")).toDouble()
            + record.value(QStringLiteral("expense")).toDouble();
        QVERIFY2(text.contains(money(amount).trimmed()), qPrintable(money(amount)));
    }
}

void TestMoneyReports::paymentsPrintEveryTransaction()
{
    const QDate from = scalar(QStringLiteral("select min(tdate) from trans where transid < 9000")).toDate();
    const QDate to = scalar(QStringLiteral("select max(tdate) from trans where transid < 9000")).toDate();
    QFile::remove(pdf);
    load(ReportSql::payments(QStringLiteral(" where b.buildid in (1, 2) "), from, to));
    const int rows = model->rowCount();
    QVERIFY(rows > 20);
    QSet<QString> invoices;
    for (int row = 0; row < rows; ++row)
        invoices.insert(model->record(row).value(QStringLiteral("transid")).toString());
    ModalDriver preview;
    saveAsPdfFromPreview(preview, pdf);
    builder->printPayments(model, {QStringLiteral("From X To Y"), QStringLiteral("Bill Payments Report")});
    const QString text = printed();
    QVERIFY(text.contains(QLatin1String("Bill Payments Report")));
    QVERIFY(text.contains(QLatin1String("From X To Y")));
    // One block per transaction, each with its invoice number.
    QCOMPARE(text.count(QLatin1String("Invoice #:")), invoices.size());
    const QRegularExpression invoice(QStringLiteral("Invoice #:\\s+(\\d+)"));
    QSet<QString> printedInvoices;
    auto it = invoice.globalMatch(text);
    while (it.hasNext())
        printedInvoices.insert(it.next().captured(1));
    QCOMPARE(printedInvoices, invoices);
}

void TestMoneyReports::tenantReportsFollowTheTenantWhoPaid_data()
{
    QTest::addColumn<bool>("movedIn");
    QTest::addColumn<bool>("payments");
    QTest::newRow("payments of the tenant who moved out") << false << true;
    QTest::newRow("payments of the tenant who moved in") << true << true;
    QTest::newRow("income of the tenant who moved out") << false << false;
    QTest::newRow("income of the tenant who moved in") << true << false;
}

void TestMoneyReports::tenantReportsFollowTheTenantWhoPaid()
{
    QFETCH(bool, movedIn);
    QFETCH(bool, payments);

    // Apartment 10 changes hands once: its tenant moves out, a new one moves in and pays.
    const int newcomer = 9101;
    static int leaver = 0;
    if (leaver == 0) {
        leaver = scalar(QStringLiteral("select tid from apartments where apid = 10")).toInt();
        QVERIFY(scalar(QStringLiteral("select count(*) from trans where tid = %1").arg(leaver)).toInt() > 0);
        const QStringList rows = {
            "insert into tenants (tid, id, firstname, lastname) values (9101, 'T9101', 'Nova', 'Newman')",
            "update apartments set tid = 9101 where apid = 10",
            "insert into charges (chid, tid, apid, type, amt, fordate, origamount, paid) values "
            "(9101, 9101, 10, 'Rent', 0, date '2026-12-01', 999.99, 999.99)",
            "insert into trans (transid, tdate, tid, apid, ccard, mycheck, cash, paytotal, duetotal, applied) "
            "values (9101, date '2026-12-02', 9101, 10, 0, 0, 999.99, 999.99, 999.99, 999.99)",
            "insert into payments (payid, transid, chid, amount, type, fordate, datepaid) values "
            "(9101, 9101, 9101, 999.99, 'Rent', date '2026-12-01', date '2026-12-02')",
            "insert into cashbook (accid, tdate, catid, description, expense, income, vid, apid, transid) values "
            "(9101, date '2026-12-02', 5, 'Payment Collected: Rent', 0, 999.99, -1, 10, 9101)",
        };
        for (const QString &sql : rows)
            QVERIFY(exec(sql));
    }
    const int tenant = movedIn ? newcomer : leaver;
    const QDate from(2000, 1, 1);
    const QDate to(2099, 12, 31);
    QFile::remove(pdf);

    if (payments) {
        load(ReportSql::paymentsByTenant(tenant, from, to));
        ModalDriver preview;
        saveAsPdfFromPreview(preview, pdf);
        builder->printPayments(model, {QStringLiteral("From X To Y"), QStringLiteral("Bill Payments Report")});
        const QString text = printed();
        QCOMPARE(text.count(QLatin1String("Invoice #:")),
                 scalar(QStringLiteral("select count(*) from trans where tid = %1").arg(tenant)).toInt());
        QCOMPARE(amountsAfter(text, QStringLiteral("Grand Total:")),
                 QStringList{money(scalar(QStringLiteral("select sum(paytotal) from trans where tid = %1").arg(tenant))
                                       .toDouble())
                                 .trimmed()});
        QCOMPARE(text.contains(QLatin1String("Nova Newman")), movedIn);
    } else {
        load(ReportSql::incomeByTenant(tenant, from, to));
        ModalDriver preview;
        saveAsPdfFromPreview(preview, pdf);
        builder->printCashbookHeading(model, {QStringLiteral("From X To Y"), QString(), QString(), QString(),
                                              QString(), QStringLiteral("Income By Tenant")});
        const QString text = printed();
        const QString own = QStringLiteral("from cashbook c join trans t on t.transid = c.transid "
                                           "where t.tid = %1 and c.income > 0").arg(tenant);
        QVERIFY2(text.contains(QStringLiteral("Total number: %1").arg(scalar("select count(*) " + own).toInt())),
                 qPrintable(text.right(200)));
        QCOMPARE(money(sumOfAmounts(text)), money(scalar("select sum(c.income) " + own).toDouble()));
    }
}

VELLORAN_TEST_MAIN(TestMoneyReports)
#include "tst_moneyreports.moc"
