// Every entry of the Reports menu run from the main window on a copy of the demonstration database:
// its questions answered through the dialogs' widgets, its report saved from the preview as PDF and
// read back.
#include "testhub.h"
#include "tests/reports/pdftext.h"
#include "tests/reports/previewdriver.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "platform/datafolder.h"
#include "reports/tibernereport.h"
#include "shell/chooosedatadialog.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// A data folder of the test's own with a fresh copy of the demonstration database.
class Office
{
public:
    Office()
    {
        qputenv("VELLORAN_DOCUMENTS", QFile::encodeName(m_docs.path()));
        QDir().mkpath(DataFolder::path());
        const QString file = QStringLiteral("DEMO.FDB");
        QFile::copy(TestDatabase::builtDatabase(file), DataFolder::filePath(file));
        QFile::setPermissions(DataFolder::filePath(file), QFile::ReadOwner | QFile::WriteOwner);
    }
    ~Office() { releaseConnection(); }

private:
    QTemporaryDir m_docs;
};

// The answers to the questions, by the dialog they go to.
void answerRange(QDialog *dialog)
{
    auto *custom = dialog->findChild<QRadioButton *>(QStringLiteral("custom"));
    QTest::mouseClick(custom, Qt::LeftButton, Qt::NoModifier, QPoint(8, custom->height() / 2));
    dialog->findChild<QLineEdit *>(QStringLiteral("from"))->setText(QStringLiteral("1/1/2000"));
    dialog->findChild<QLineEdit *>(QStringLiteral("to"))->setText(QStringLiteral("12/31/2099"));
}

QVariant scalar(const QString &sql)
{
    QSqlQuery query(sql);
    return query.next() ? query.value(0) : QVariant();
}

QString money(const QString &sql)
{
    return TiberneReport::money(scalar(sql).toDouble()).trimmed();
}

void pickFirstEntry(QDialog *dialog)
{
    auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
    list->setCurrentIndex(list->model()->index(0, 0));
}

void pickEveryEntry(QDialog *dialog)
{
    dialog->findChild<QListView *>(QStringLiteral("listView"))->selectAll();
}

// The maintenance log of an apartment, printed.
void printTheLog(QDialog *dialog)
{
    clickButton(dialog, "pushButton_4");
}

void pickFirstRecord(QDialog *dialog)
{
    auto *table = dialog->findChild<QTableView *>(QStringLiteral("tableView"));
    table->setCurrentIndex(table->model()->index(0, 1));
}

// Picks the record whose row holds `text` in one of its cells.
std::function<void(QDialog *)> pickRecordWith(const QString &text)
{
    return [text](QDialog *dialog) {
        auto *table = dialog->findChild<QTableView *>(QStringLiteral("tableView"));
        const QModelIndexList found =
            table->model()->match(table->model()->index(0, 1), Qt::DisplayRole, text, 1, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        table->setCurrentIndex(found.first());
    };
}

// The lines that print a cashbook entry: each starts with the entry's date.
QString entryLines(const QString &text)
{
    const QRegularExpression dated(QStringLiteral("^\\s*\\d{1,2}/\\d{1,2}/\\d{4}\\s"));
    QStringList lines = text.split(QLatin1Char('\n'));
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&dated](const QString &line) { return !dated.match(line).hasMatch(); }),
                lines.end());
    return lines.join(QLatin1Char('\n'));
}

// The amount typed into Paying, by charge.
using Paying = QMap<int, QString>;

// The groups of a by-building report as "building|total", in the order printed; a group whose total
// line names another building than its band is given as "mismatched|...".
QStringList buildingGroups(const QString &text)
{
    QStringList groups;
    const QRegularExpression group(QStringLiteral("Building:\\s+([^\\n]*?)\\s*\\n(?:.*\\n)*?\\s*Total for "
                                                  "([^\\n]*?):\\s+([\\d,]+\\.\\d\\d)"));
    auto it = group.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        groups << (match.captured(2) == match.captured(1) ? match.captured(1) : QStringLiteral("mismatched"))
                + QLatin1Char('|') + match.captured(3);
    }
    return groups;
}

// The same groups as amounts by building.
QMap<QString, double> buildingAmounts(const QString &text)
{
    QMap<QString, double> amounts;
    for (const QString &group : buildingGroups(text)) {
        const int bar = group.lastIndexOf(QLatin1Char('|'));
        amounts.insert(group.left(bar), group.mid(bar + 1).remove(QLatin1Char(',')).toDouble());
    }
    return amounts;
}

} // namespace

class TestReportCommands : public QObject
{
    Q_OBJECT

public slots:
    // The desktop's handler of local files: what Save as HTML hands to the browser.
    void openFile(const QUrl &url) { opened << url.toLocalFile(); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void everyEntryPrints_data();
    void everyEntryPrints();
    void emptyReportKeepsItsHeadings_data();
    void emptyReportKeepsItsHeadings();
    void moneyReportsOfEveryBuildingAddUpToTheBooks_data();
    void moneyReportsOfEveryBuildingAddUpToTheBooks();
    void byBuildingReportsNameEachBuildingWithItsTotal_data();
    void byBuildingReportsNameEachBuildingWithItsTotal();
    void paymentsReportRunsInDateOrderToTheTotal();
    void maintenanceEntriesShowTheirOwnSuite();
    void refusedPickerLeavesTheRowsAlone();
    // Last: they move tenants and take payments.
    void arrearsPaidAfterAMoveAreBookedUnderTheirBuilding_data();
    void arrearsPaidAfterAMoveAreBookedUnderTheirBuilding();
    void latePaymentListDunsEachTenantForHisOwnCharges();

private:
    // What the clerk does in the preview: saves the report as PDF only, or also as HTML, turns it to
    // landscape and prints it to a file.
    enum Preview { SaveAsPdf, EveryOutput };
    QString run(const QString &action, const QString &questions, const QString &record = QString(),
                const QStringList &pageButtons = QStringList(), Preview preview = SaveAsPdf);
    // Collect Rent for the tenant with that ID, each charge paid in full as typed, in cash; the key of
    // the payment stored.
    int collectInFull(const QString &tenant, const Paying &paying);

    std::unique_ptr<Office> office;
    std::unique_ptr<MainWindow> window;
    QString pdf;
    QString html;
    QString printed;
    QStringList opened;
};

void TestReportCommands::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    MsgBox::setTestMode(true);
    qputenv("VELLORAN_VERSION_URL", "http://127.0.0.1:1/version.php");
    office = std::make_unique<Office>();
    ModalDriver driver;
    driver.ok();
    window = std::make_unique<MainWindow>();
    QVERIFY(window->isDatabaseOpen());
    window->dataSource()->setCanViewReports(true);
    // The pages whose lists print.
    window->dataSource()->setCanManageEquipment(true);
    window->dataSource()->setCanManageApartments(true);
    pdf = TestEnvironment::root() + QStringLiteral("/command.pdf");
    html = TestEnvironment::root() + QStringLiteral("/command.html");
    printed = TestEnvironment::root() + QStringLiteral("/printed.pdf");
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile");
}

void TestReportCommands::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    window.reset();
    office.reset();
}

void TestReportCommands::init()
{
    MsgBox::clearShown();
    opened.clear();
    for (const QString &file : {pdf, html, printed})
        QFile::remove(file);
    // The demonstration data are dated around the day the database was built: the day after its last
    // charge makes every unpaid charge late.
    Today::set(scalar(QStringLiteral("select max(fordate) from charges")).toDate().addDays(1));
}

void TestReportCommands::everyEntryPrints_data()
{
    // The action; for a print of a page, followed by the page it opens (its class) and the buttons
    // clicked on it in turn, once a row of its list is current.
    QTest::addColumn<QString>("action");
    // r date range, o owners (all), b buildings (every one), s status (all), t tenant, a apartment, v vendor,
    // e an apartment with equipment, l the maintenance log (its Print)
    QTest::addColumn<QString>("questions");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("vendors") << "action_Vendors" << "" << QStringList{"Vendors", "Total number of vendors: "};
    QTest::newRow("tenant list") << "action_Tenant_List" << "" << QStringList{"Tenants Report", "Carraway"};
    const QString waiting = scalar("select count(distinct tid) from waitlist").toString();
    QTest::newRow("waiting list") << "action_Waitlist" << ""
                                  << QStringList{"Tenants On Waitlist", "Total number of tenants on waitlist:   " + waiting};
    QTest::newRow("tenant details") << "actionTenant_Details_Report" << "t"
                                    << QStringList{"Tenant Details", "Personal Information"};
    QTest::newRow("owners") << "action_Owners_Report" << "" << QStringList{"Owners Report", "Maple Court"};
    QTest::newRow("buildings") << "action_Buildings_List" << "" << QStringList{"Buildings Report", "Maple Court"};
    QTest::newRow("buildings by owner") << "actionBuildings_by_Owner" << "o"
                                        << QStringList{"Buildings Report", "Maple Court"};
    QTest::newRow("apartments") << "action_Apartments_List_Report" << "ob"
                                << QStringList{"Apartments", "Total Number of Apartments: "};
    QTest::newRow("vacant apartments") << "action_Vacant_Apartments_Report" << ""
                                       << QStringList{"Vacant Apartments", "Total Number of Vacant Apartments: "};
    QTest::newRow("occupied apartments") << "action_Occupied_Apartments_Report" << ""
                                         << QStringList{"Occupied Apartments", "Total Number of Occupied Apartments: "};
    QTest::newRow("cashbook") << "action_Cashbook_Report" << "rob"
                              << QStringList{"Cashbook Entries", "From 1/1/2000 To 12/31/2099", "Payment Collected"};
    QTest::newRow("income by building") << "action_Income_by_Building" << "rob"
                                        << QStringList{"Income By Building", "Payment Collected"};
    QTest::newRow("expense by building") << "action_Expense_by_Building" << "rob"
                                         << QStringList{"Expense By Building", "Expense"};
    QTest::newRow("income by tenant") << "actionIncome_by_Tenant" << "rt"
                                      << QStringList{"Income By Tenant", "Tenant:", "Address:"};
    QTest::newRow("expense by tenant") << "actionExpense_by_Te_nant" << "rt" << QStringList{"Expense By Tenant"};
    QTest::newRow("expense by vendors") << "actionExpense_by_Vendors" << "robv"
                                        << QStringList{"Expense By Vendors", "Vendor:", "Type:"};
    QTest::newRow("payments") << "action_Payments_Report" << "rob"
                              << QStringList{"Bill Payments Report", "Invoice #:", "From 1/1/2000 To 12/31/2099"};
    QTest::newRow("payments by tenant") << "actionPayments_by_Tenants" << "rt"
                                        << QStringList{"Bill Payments Report", "Invoice #:"};
    QTest::newRow("payments summary") << "actionPayments_Summary_Report" << "r"
                                      << QStringList{"Payments Collected", "Cash Total:", money("select sum(cash) from trans"),
                                                     money("select sum(cash + mycheck + ccard) from trans")};
    QTest::newRow("late payments") << "action_Late_Payment_List" << ""
                                   << QStringList{"Late Payments Report", "Sub Total:", "Grand Total:",
                                                  money("select sum(amt) from charges where amt > 0")};
    QTest::newRow("late payments from rentals") << "action_Late_Payment_List_2" << ""
                                                << QStringList{"Late Payments Report", "Grand Total:"};
    QTest::newRow("lease expiry") << "action_Lease_Expiry_Dates" << "ob"
                                  << QStringList{"Lease Expiry Dates Report", "Lease End"};
    QTest::newRow("expired leases") << "action_Expired_Leases_Report" << "ob" << QStringList{"Expired Leases Report"};
    QTest::newRow("leases this month") << "actionExpiring_Leases_this_Month" << "ob"
                                       << QStringList{"Leases Expiring this Month"};
    QTest::newRow("maintenance by apartment") << "action_Maintenance_by_Apartment" << "sa"
                                              << QStringList{"Maintenance Report"};
    QTest::newRow("maintenance by building") << "actionMaintenance_by_Building" << "sob"
                                             << QStringList{"Maintenance Report", "Kitchen faucet dripping"};
    QTest::newRow("maintenance by vendor") << "actionMaintenance_by_Vendor" << "sobv"
                                           << QStringList{"Maintenance Report"};
    QTest::newRow("equipment") << "action_Equipments" << "a" << QStringList{"Equipment Report"};
    // The prints of the equipment page (for an apartment chosen on it) and of an apartment's maintenance log.
    QTest::newRow("equipment page") << "action_Equipment_Manager EquipmentForm pushButton_5 pushButton_4" << "e"
                                    << QStringList{"Equipment Report"};
    QTest::newRow("maintenance log") << "action_Apartments_2 ApartmentsForm pushButton_14" << "l"
                                     << QStringList{"Maintenance Report"};
}

// Runs the command (or the page's buttons, see everyEntryPrints_data), answering its questions (a
// record is picked by the text `record` when one is given), works the preview and returns the text of
// the report saved from it as PDF.
QString TestReportCommands::run(const QString &action, const QString &questions, const QString &record,
                                const QStringList &pageButtons, Preview preview)
{
    // A file left by an earlier run would be read as this run's report.
    for (const QString &file : {pdf, html, printed})
        QFile::remove(file);
    ModalDriver driver;
    for (QChar question : questions) {
        switch (question.toLatin1()) {
        case 'r': driver.ok(answerRange); break;
        case 'o':
        case 's': driver.ok(pickFirstEntry); break;
        case 'b': driver.ok(pickEveryEntry); break;
        case 'l': driver.ok(printTheLog); break;
        case 'e': driver.ok(pickRecordWith(scalar("select min(apid) from equipments").toString())); break;
        default: driver.ok(record.isEmpty() ? std::function<void(QDialog *)>(pickFirstRecord) : pickRecordWith(record));
        }
    }
    if (preview == SaveAsPdf)
        saveAsPdfFromPreview(driver, pdf);
    else
        workThroughPreview(driver, pdf, html, printed);
    const int previewDialogs = preview == SaveAsPdf ? 2 : 4;

    auto *command = window->findChild<QAction *>(action);
    if (!command)
        return QStringLiteral("no action ") + action;
    command->trigger();
    if (!pageButtons.isEmpty()) {
        QWidget *page = nullptr;
        for (QWidget *widget : window->findChildren<QWidget *>())
            if (widget->inherits(qPrintable(pageButtons.first())))
                page = widget;
        if (!page)
            return QStringLiteral("no page ") + pageButtons.first() + MsgBox::shownTexts().join(QLatin1Char('|'));
        auto *list = page->findChild<QTableView *>(QStringLiteral("tableView"));
        if (list && !list->currentIndex().isValid())
            list->setCurrentIndex(list->model()->index(0, 1));
        for (const QString &button : pageButtons.mid(1))
            clickButton(page, qPrintable(button));
    }
    if (driver.handled != questions.size() + previewDialogs || driver.stayedOpen || driver.unexpected
        || !MsgBox::shownTexts().isEmpty())
        return QStringLiteral("questions not answered: ") + MsgBox::shownTexts().join(QLatin1Char('|'));
    return QFile::exists(pdf) ? pdfText(pdf) : QStringLiteral("no report saved");
}

// Every report is previewed, then saved as PDF and as HTML, turned to landscape and printed to a file:
// each a run of the same report again.
void TestReportCommands::everyEntryPrints()
{
    QFETCH(QString, action);
    QFETCH(QString, questions);
    QFETCH(QStringList, texts);

    const QStringList steps = action.split(QLatin1Char(' '));
    const QString text = run(steps.first(), questions, QString(), steps.mid(1), EveryOutput);
    for (const QString &expected : qAsConst(texts))
        QVERIFY2(text.contains(expected), qPrintable(expected + QLatin1String("\n") + text.left(2000)));

    const QString title = texts.first();
    QFile page(html);
    QVERIFY2(page.open(QIODevice::ReadOnly), "no HTML saved");
    QVERIFY(QString::fromUtf8(page.readAll()).contains(title));
    QCOMPARE(opened, QStringList(html));
    QVERIFY2(pdfText(printed).contains(title), "the print to a file does not hold the title");
    QVERIFY(pdfLandscape(printed));
}

void TestReportCommands::emptyReportKeepsItsHeadings_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("questions");
    QTest::addColumn<QString>("record");
    // What the page prints, in this order.
    QTest::addColumn<QStringList>("texts");

    // The tenant has paid the office but never been charged an expense.
    QTest::newRow("expense by tenant")
        << "actionExpense_by_Te_nant" << "rt" << "T0001"
        << QStringList{"Expense By Tenant", "From 1/1/2000 To 12/31/2099", "Tenant:", "Amelia Carraway",
                       "Address:", "120 Maple Avenue, Apt 101, Fairhaven, OR 97420", "Date", "Description",
                       "Expense", "Category", "Total number: 0"};
    // "roo": Cedar Row Flats alone, which has no expense in the demonstration books.
    QTest::newRow("expense by building")
        << "action_Expense_by_Building" << "roo" << ""
        << QStringList{"Expense By Building", "From 1/1/2000 To 12/31/2099", "Date", "Description", "Expense",
                       "Category", "Total expense:", "0.00", "Total number: 0"};
}

// A report with no rows prints its title, what it is about, its column headings and its zero totals.
void TestReportCommands::emptyReportKeepsItsHeadings()
{
    QFETCH(QString, action);
    QFETCH(QString, questions);
    QFETCH(QString, record);
    QFETCH(QStringList, texts);

    const QString text = run(action, questions, record);
    int at = 0;
    for (const QString &expected : qAsConst(texts)) {
        const int found = text.indexOf(expected, at);
        QVERIFY2(found >= 0, qPrintable(expected + QLatin1String("\n") + text));
        at = found + expected.size();
    }
}

void TestReportCommands::moneyReportsOfEveryBuildingAddUpToTheBooks_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("vendor");
    // The cashbook rows the report must hold, the office's own entries (no apartment) among them.
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("amount");

    QTest::newRow("cashbook") << "action_Cashbook_Report" << "" << "from cashbook" << "income + expense";
    QTest::newRow("income by building") << "action_Income_by_Building" << "" << "from cashbook where income > 0"
                                        << "income";
    QTest::newRow("expense by building") << "action_Expense_by_Building" << "" << "from cashbook where expense > 0"
                                         << "expense";
    // Every one of this vendor's entries is an office-wide one.
    QTest::newRow("expense by vendors") << "actionExpense_by_Vendors" << "Sparrow Cleaning Co."
                                        << "from cashbook where expense > 0 and vid = 5" << "expense";
}

void TestReportCommands::moneyReportsOfEveryBuildingAddUpToTheBooks()
{
    QFETCH(QString, action);
    QFETCH(QString, vendor);
    QFETCH(QString, rows);
    QFETCH(QString, amount);

    const int count = scalar("select count(*) " + rows).toInt();
    const int officeRows = scalar("select count(*) " + rows + (rows.contains(" where ") ? " and" : " where")
                                  + " apid is null").toInt();
    QVERIFY(officeRows > 0);
    const QString text = run(action, vendor.isEmpty() ? QStringLiteral("rob") : QStringLiteral("robv"), vendor);
    QVERIFY2(text.contains(QStringLiteral("Total number: %1").arg(count)), qPrintable(text.right(300)));
    const QString entries = entryLines(text);
    QCOMPARE(TiberneReport::money(sumOfAmounts(entries)).trimmed(),
             money(QStringLiteral("select sum(%1) %2").arg(amount, rows)));
    QCOMPARE(entries.count(QLatin1String("Office")), officeRows);
}

void TestReportCommands::byBuildingReportsNameEachBuildingWithItsTotal_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("questions");
    QTest::addColumn<QString>("amount");
    // The rows the report must hold, beyond the amount's own condition.
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("total");

    // "roo": every owner, then the first building of the list, Cedar Row Flats (4).
    QTest::newRow("income, one building") << "action_Income_by_Building" << "roo" << "income" << " and a.bid = 4"
                                          << "Total income:";
    QTest::newRow("expense, one building") << "action_Expense_by_Building" << "roo" << "expense" << " and a.bid = 4"
                                           << "Total expense:";
    QTest::newRow("income, every building") << "action_Income_by_Building" << "rob" << "income" << ""
                                            << "Total income:";
    QTest::newRow("expense, every building") << "action_Expense_by_Building" << "rob" << "expense" << ""
                                             << "Total expense:";
}

void TestReportCommands::byBuildingReportsNameEachBuildingWithItsTotal()
{
    QFETCH(QString, action);
    QFETCH(QString, questions);
    QFETCH(QString, amount);
    QFETCH(QString, rows);
    QFETCH(QString, total);

    // Cedar Row Flats has no expense in the demonstration books: a repair of its own gives it one.
    QSqlQuery repair;
    QVERIFY(repair.exec(QStringLiteral("update or insert into cashbook (accid, tdate, catid, description, expense, "
                                       "income, vid, apid) values (9301, date '2026-06-15', 1, 'Gutters cleared', "
                                       "180, 0, -1, 31) matching (accid)")));

    const QString from = QStringLiteral("from cashbook c left join apartments a on a.apid = c.apid left join "
                                        "buildings b on b.buildid = a.bid where c.%1 > 0%2")
                             .arg(amount, rows);
    QStringList groups;
    QSqlQuery buildings(QStringLiteral("select coalesce(b.description, 'Office'), sum(c.%1) %2 group by b.description "
                                       "order by b.description nulls last")
                            .arg(amount, from));
    while (buildings.next())
        groups << buildings.value(0).toString() + QLatin1Char('|')
                + TiberneReport::money(buildings.value(1).toDouble()).trimmed();
    QVERIFY(groups.size() >= (rows.isEmpty() ? 3 : 1));
    QCOMPARE(groups.last().startsWith(QLatin1String("Office|")), rows.isEmpty());

    const QString text = run(action, questions);
    // Each group's band names its building, and its total follows its entries.
    QCOMPARE(buildingGroups(text), groups);

    const QRegularExpression overall(QRegularExpression::escape(total) + QStringLiteral("\\s+([\\d,]+\\.\\d\\d)"));
    QCOMPARE(overall.match(text).captured(1), money(QStringLiteral("select sum(c.%1) %2").arg(amount, from)));
    QVERIFY2(text.contains(QStringLiteral("Total number: %1").arg(scalar("select count(*) " + from).toInt())),
             qPrintable(text.right(300)));
    // The entries, the building totals and the overall total each add up to the books.
    QCOMPARE(TiberneReport::money(sumOfAmounts(text)).trimmed(),
             money(QStringLiteral("select 3 * sum(c.%1) %2").arg(amount, from)));
}

void TestReportCommands::paymentsReportRunsInDateOrderToTheTotal()
{
    const QString text = run(QStringLiteral("action_Payments_Report"), QStringLiteral("rob"));

    QCOMPARE(text.count(QLatin1String("Invoice #:")), scalar("select count(*) from trans").toInt());
    const QRegularExpression paidOn(QStringLiteral("Date Paid:\\s+(\\S+)"));
    QDate previous;
    int transactions = 0;
    auto it = paidOn.globalMatch(text);
    while (it.hasNext()) {
        const QDate date = ShortDate::fromText(it.next().captured(1));
        QVERIFY(date.isValid());
        QVERIFY2(!previous.isValid() || previous <= date, qPrintable(date.toString(Qt::ISODate)));
        previous = date;
        ++transactions;
    }
    QVERIFY(transactions > 20);
    const QRegularExpression total(QStringLiteral("Grand Total:\\s+([\\d,]+\\.\\d\\d)"));
    const QRegularExpressionMatch printedTotal = total.match(text);
    QVERIFY2(printedTotal.hasMatch(), qPrintable(text.right(300)));
    QCOMPARE(printedTotal.captured(1), money("select sum(paytotal) from trans"));
    // The total closes the report.
    QVERIFY(text.indexOf(QLatin1String("Grand Total:")) > text.lastIndexOf(QLatin1String("Invoice #:")));
}

void TestReportCommands::maintenanceEntriesShowTheirOwnSuite()
{
    const QString text = run(QStringLiteral("actionMaintenance_by_Building"), QStringLiteral("sob"));

    QSqlQuery entries(QStringLiteral("select m.ldate, m.description, a.suite from maintenance m "
                                     "join apartments a on a.apid = m.apid"));
    int checked = 0;
    while (entries.next()) {
        // The date stands apart from the description, and the next suite printed is the entry's own.
        const QString date = ShortDate::toText(entries.value(0).toDate());
        const QString description = entries.value(1).toString();
        const QRegularExpression entry(QRegularExpression::escape(date) + QStringLiteral("\\s+")
                                       + QRegularExpression::escape(description)
                                       + QStringLiteral("[^\\n]*\\n[^:]*Apt/Suite #:\\s+(\\S+)"));
        const QRegularExpressionMatch match = entry.match(text);
        QVERIFY2(match.hasMatch(), qPrintable(date + QLatin1Char(' ') + description));
        QCOMPARE(match.captured(1), entries.value(2).toString());
        ++checked;
    }
    QCOMPARE(checked, scalar("select count(*) from maintenance").toInt());
}

void TestReportCommands::refusedPickerLeavesTheRowsAlone()
{
    QSqlQueryModel *rows = window->dataSource()->reportQueryModel();
    {
        ModalDriver preview;
        preview.cancel();
        window->findChild<QAction *>(QStringLiteral("action_Vendors"))->trigger();
        QCOMPARE(preview.handled, 1);
    }
    // The report's rows go once its preview is closed; rows a window put there since stay untouched
    // by a report whose picker is refused.
    QCOMPARE(rows->rowCount(), 0);
    rows->setQuery(QStringLiteral("select * from vendors"), QSqlDatabase::database());
    const int before = rows->rowCount();
    const QString statement = rows->query().lastQuery();
    QVERIFY(before > 0);
    QFile::remove(pdf);

    ModalDriver driver;
    driver.ok(answerRange);
    driver.cancel();
    window->findChild<QAction *>(QStringLiteral("actionIncome_by_Tenant"))->trigger();
    QCOMPARE(driver.handled, 2);
    QVERIFY(MsgBox::shownTexts().isEmpty());
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(rows->rowCount(), before);
    QCOMPARE(rows->query().lastQuery(), statement);
}

// Collect Rent as the clerk works it: the tenant picked by his ID, no late fees charged now, each
// charge's amount typed into Paying and the same sum given in cash.
int TestReportCommands::collectInFull(const QString &tenant, const Paying &paying)
{
    window->dataSource()->setCanReceivePayments(true);
    MsgBox::setNextAnswer(QMessageBox::No);
    double cash = 0.0;
    ModalDriver driver;
    driver.ok([&](QDialog *picker) {
        QTest::keyClicks(child<QLineEdit>(picker, "lineEdit"), tenant);
        waitForSearch(picker);
        auto *view = child<QTableView>(picker, "tableView");
        QCOMPARE(view->model()->rowCount(), 1);
        view->setCurrentIndex(view->model()->index(0, 2));
    });
    driver.ok([&](QDialog *collection) {
        auto *grid = child<QTableView>(collection, "tableView");
        for (auto it = paying.constBegin(); it != paying.constEnd(); ++it) {
            grid->clearSelection();
            selectRow(grid, 0, it.key(), 3);
            QCOMPARE(grid->currentIndex().sibling(grid->currentIndex().row(), 0).data().toInt(), it.key());
            clickButton(collection, "pushButton_4");
            cash += QString(it.value()).remove(QLatin1Char(',')).toDouble();
        }
        auto *field = child<QLineEdit>(collection, "cash");
        field->clear();
        QTest::keyClicks(field, QString::number(cash, 'f', 2));
        emit field->editingFinished();
    });
    for (const QString &amount : paying)
        driver.ok([amount](QDialog *editor) {
            auto *field = child<QLineEdit>(editor, "paying");
            field->clear();
            QTest::keyClicks(field, amount);
        });
    const int before = scalar(QStringLiteral("select coalesce(max(transid), 0) from trans")).toInt();
    window->collectRent();
    const QStringList lateFeeQuestion{QStringLiteral("Do you want to charge late bills now?")};
    if (driver.handled != 2 + paying.size() || driver.unexpected || driver.stayedOpen
        || (!MsgBox::shownTexts().isEmpty() && MsgBox::shownTexts() != lateFeeQuestion))
        return -1;
    MsgBox::clearShown();
    const int stored = scalar(QStringLiteral("select max(transid) from trans")).toInt();
    return stored > before ? stored : -1;
}

void TestReportCommands::arrearsPaidAfterAMoveAreBookedUnderTheirBuilding_data()
{
    QTest::addColumn<QStringList>("move");
    QTest::addColumn<QString>("tenant");
    QTest::addColumn<Paying>("paying");
    // The payment's cashbook entries as "apartment|description|income".
    QTest::addColumn<QStringList>("entries");
    // What each building gains in Income by Building, as "building|amount".
    QTest::addColumn<QStringList>("gains");
    QTest::addColumn<int>("transApartment");

    // Anselm Greer leaves Cedar Row Flats 103 (apartment 33) owing November's rent and its late fee.
    QTest::newRow("moved out") << QStringList{"update apartments set tid = -1 where apid = 33"} << "T0027"
                               << Paying{{168, "1,225.00"}, {222, "75"}}
                               << QStringList{"33|Payment Collected: Rent|1225.00",
                                              "33|Payment Collected: Rent Late Fee|75.00"}
                               << QStringList{"Cedar Row Flats|1300.00"} << -1;
    // Tenant T0014 moves out of Harbour View 201 (apartment 17) into Maple Court 201 (apartment 5), and
    // pays December's rent of the old flat with the first rent of the new one.
    QTest::newRow("moved within the office")
        << QStringList{"update apartments set tid = -1 where apid = 17",
                       "update apartments set tid = 14 where apid = 5",
                       "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) values "
                       "(9401, 14, 5, 'Rent', 900, 0, date '2026-12-01', 0, 900)"}
        << "T0014" << Paying{{88, "1,425.00"}, {9401, "900.00"}}
        << QStringList{"5|Payment Collected: Rent|900.00", "17|Payment Collected: Rent|1425.00"}
        << QStringList{"Harbour View Apartments|1425.00", "Maple Court|900.00"} << 5;
}

void TestReportCommands::arrearsPaidAfterAMoveAreBookedUnderTheirBuilding()
{
    QFETCH(QStringList, move);
    QFETCH(QString, tenant);
    QFETCH(Paying, paying);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, gains);
    QFETCH(int, transApartment);

    for (const QString &sql : move)
        QVERIFY2(exec(sql), qPrintable(sql));
    const QMap<QString, double> before = buildingAmounts(run(QStringLiteral("action_Income_by_Building"),
                                                             QStringLiteral("rob")));
    QVERIFY(before.contains(QStringLiteral("Office")));

    const int transid = collectInFull(tenant, paying);
    QVERIFY2(transid > 0, qPrintable(MsgBox::shownTexts().join(QLatin1Char('|'))));
    QCOMPARE(scalar(QStringLiteral("select apid from trans where transid = %1").arg(transid)).toInt(), transApartment);
    QStringList booked;
    QSqlQuery rows(QStringLiteral("select apid, description, income from cashbook where transid = %1 "
                                  "order by apid, description").arg(transid));
    while (rows.next())
        booked << QStringLiteral("%1|%2|%3").arg(rows.value(0).toString(), rows.value(1).toString(),
                                                 QString::number(rows.value(2).toDouble(), 'f', 2));
    QCOMPARE(booked, entries);
    // Income by Building credits each building with what was paid on its charges, and nothing to the
    // office's own entries or elsewhere.
    const QMap<QString, double> after = buildingAmounts(run(QStringLiteral("action_Income_by_Building"),
                                                            QStringLiteral("rob")));
    QStringList gained;
    for (auto it = after.constBegin(); it != after.constEnd(); ++it)
        if (!qFuzzyCompare(1.0 + it.value(), 1.0 + before.value(it.key())))
            gained << it.key() + QLatin1Char('|') + QString::number(it.value() - before.value(it.key()), 'f', 2);
    QCOMPARE(gained, gains);
    QStringList paidOn;
    QSqlQuery buildings(QStringLiteral("select b.description, sum(p.amount) from payments p "
                                       "join charges h on h.chid = p.chid join apartments a on a.apid = h.apid join "
                                       "buildings b on b.buildid = a.bid where p.transid = %1 group by b.description "
                                       "order by b.description").arg(transid));
    while (buildings.next())
        paidOn << buildings.value(0).toString() + QLatin1Char('|')
                + QString::number(buildings.value(1).toDouble(), 'f', 2);
    QCOMPARE(gained, paidOn);
}

// Juniper Hale takes over Elmstead Terrace 101 from its tenant, who leaves owing, and leaves his first
// month unpaid: the list printed on 2 April 2027 names each of them for his own charges.
void TestReportCommands::latePaymentListDunsEachTenantForHisOwnCharges()
{
    const QString leaver = scalar("select firstname || ' ' || lastname from tenants where tid = 19").toString();
    const QString leaverOwes = money("select sum(amt) from charges where tid = 19 and apid = 23 and amt > 0");
    QVERIFY(scalar("select count(*) from charges where tid = 19 and apid = 23 and amt > 0").toInt() > 1);
    const QStringList turnover = {
        "update apartments set tid = 36 where apid = 23",
        "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) values "
        "(9411, 36, 23, 'Rent', 1800, 0, date '2027-04-01', 0, 1800)",
        "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) values "
        "(9412, 36, 23, 'Parking', 60, 0, date '2027-04-01', 0, 60)",
    };
    for (const QString &sql : turnover)
        QVERIFY2(exec(sql), qPrintable(sql));
    Today::set(QDate(2027, 4, 2));

    const QString text = run(QStringLiteral("action_Late_Payment_List"), QString());
    // Each name heads its own group, whose sub-total is that tenant's own debt.
    const auto subTotalAfter = [&text](const QString &name) {
        const QRegularExpression group(QRegularExpression::escape(name)
                                       + QStringLiteral("[^\\n]*\\n(?:(?!Sub Total:).*\\n)*?\\s*Sub Total:\\s+"
                                                        "([\\d,]+\\.\\d\\d)"));
        return group.match(text).captured(1);
    };
    QCOMPARE(text.count(leaver), 1);
    QCOMPARE(text.count(QLatin1String("Juniper Hale")), 1);
    QCOMPARE(subTotalAfter(leaver), leaverOwes);
    QCOMPARE(subTotalAfter(QStringLiteral("Juniper Hale")), QStringLiteral("1,860.00"));
    // Tenants of one apartment stand in the order they were entered: the one who left comes first.
    QVERIFY(text.indexOf(leaver) < text.indexOf(QLatin1String("Juniper Hale")));
    const QRegularExpression grandTotal(QStringLiteral("Grand Total:\\s+([\\d,]+\\.\\d\\d)"));
    QCOMPARE(grandTotal.match(text).captured(1),
             money("select sum(amt) from charges where amt > 0 and fordate < '2027-04-02'"));
    QCOMPARE(text.count(QLatin1String("Sub Total:")),
             scalar("select count(*) from (select distinct apid, tid from charges where amt > 0 and "
                    "fordate < '2027-04-02')").toInt());
}

VELLORAN_TEST_MAIN(TestReportCommands)
#include "tst_reportcommands.moc"
