#include "testhub.h"

#include "datahub/today.h"
#include "properties/apartmentsform.h"
#include "reports/tibernereport.h"
#include "tests/reports/previewdriver.h"
#include "upkeep/maintenancedialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTextEdit>

namespace {
QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}
}

class TestMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void logShowsOneApartment();
    void searchByTypeAndApostrophe();
    void newEntryStartsWithDefaultsAndNeedsACost();
    void newEntryIsStoredWithVendorAndApartment();
    void costReadAsTyped_data();
    void costReadAsTyped();
    void cancelAfterNewLeavesNothing();
    void invoiceNumberQuestion_data();
    void invoiceNumberQuestion();
    void emptyStoredDateMustBeTyped();
    void choicesNoListHoldsAreKept();
    void newEntryNamesNoVendor();
    void printedLogFollowsTheSearch_data();
    void printedLogFollowsTheSearch();
    void printRefusedWithoutTheReportsRight();
    void apartmentsPageOpensTheLogOfItsApartment();

private:
    MaintenanceDialog *openLog(int apid);
    void selectDescription(const QString &description);

    TestHub *t = nullptr;
    MaintenanceDialog *log = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
    TiberneReport *reports = nullptr;
    QString pdf;
};

void TestMaintenance::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    pdf = TestEnvironment::root() + QStringLiteral("/maintenance.pdf");
}

void TestMaintenance::init()
{
    Today::set(QDate(2026, 3, 14));
    t = new TestHub;
    QVERIFY(t->opened);
    reports = new TiberneReport;
    t->hub->setReportGenerator(reports);
    t->hub->setCanViewReports(true);
    // Apartment 3 gets a second entry, with an apostrophe and without invoice or completion date.
    QVERIFY(t->exec("insert into maintenance (id, ldate, description, typex, status, priority, cost, vendor, invnum, "
                    "apid) values (9001, '2026-01-05', 'Tenant''s window latch', 'INCIDENT', 'OPEN', 'LOW', 12.5, 2, "
                    "'BL-1', 3)"));
    QVERIFY(t->exec("update maintenance set invnum = 'NR''1212' where id = 12"));
    model = t->hub->maintenanceModel();
}

void TestMaintenance::cleanup()
{
    delete log;
    log = nullptr;
    delete t;
    delete reports;
    Today::reset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

MaintenanceDialog *TestMaintenance::openLog(int apid)
{
    delete log;
    log = new MaintenanceDialog(t->hub, apid);
    view = child<QTableView>(log, "tableView");
    return log;
}

void TestMaintenance::selectDescription(const QString &description)
{
    selectRow(view, 2, description, 2);
}

void TestMaintenance::logShowsOneApartment()
{
    openLog(3);
    QCOMPARE(log->windowTitle(), QString("Maintenance Log For Apartment"));
    QCOMPARE(model->filter(), QString("apid = 3"));
    QCOMPARE(model->rowCount(), 2);
    for (int column = 0; column < model->columnCount(); ++column)
        QCOMPARE(view->isColumnHidden(column), column < 1 || column > 7);
    selectDescription("Kitchen faucet dripping");
    QCOMPARE(model->index(view->currentIndex().row(), 7).data().toString(), QString("Quickfix Plumbing"));

    openLog(40000);
    QCOMPARE(model->rowCount(), 0);
}

void TestMaintenance::searchByTypeAndApostrophe()
{
    openLog(3);
    auto *criteria = child<QLineEdit>(log, "lineEdit");
    child<QComboBox>(log, "comboBox")->setCurrentIndex(1);
    QTest::keyClicks(criteria, "epai");
    waitForSearch(log);
    QCOMPARE(model->filter(), QString("apid=3 and LOWER(Typex) like LOWER('%epai%') ESCAPE '\\'"));
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 2).data().toString(), QString("Kitchen faucet dripping"));

    child<QComboBox>(log, "comboBox")->setCurrentIndex(0);
    criteria->setText("t's");
    waitForSearch(log);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 2).data().toString(), QString("Tenant's window latch"));

    clickButton(log, "pushButton_7");
    QCOMPARE(model->filter(), QString("apid = 3"));
    QCOMPARE(model->rowCount(), 2);
}

void TestMaintenance::newEntryStartsWithDefaultsAndNeedsACost()
{
    openLog(3);
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Maintenance Log Form"));
        for (const char *date : {"date", "invdate", "completed"})
            QCOMPARE(child<QLineEdit>(d, date)->text(), QString("3/14/2026"));
        QCOMPARE(child<QComboBox>(d, "type")->currentText(), QString("REPAIR"));
        QCOMPARE(child<QComboBox>(d, "status")->currentText(), QString("OPEN"));
        QCOMPARE(child<QComboBox>(d, "priority")->currentText(), QString("HIGH"));
        QCOMPARE(child<QComboBox>(d, "vendor")->currentIndex(), 0);
        QVERIFY(child<QLineEdit>(d, "cost")->text().isEmpty());
        QTest::keyClicks(child<QLineEdit>(d, "descr"), "Leak");
    });
    clickButton(log, "pushButton");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList("The cost field cannot be blank"));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(t->count("maintenance where apid = 3"), 2);
}

void TestMaintenance::newEntryIsStoredWithVendorAndApartment()
{
    // The vendor list was read before the vendor was added.
    QVERIFY(qobject_cast<QSqlRelationalTableModel *>(model)->relationModel(7)->rowCount() > 0);
    QVERIFY(t->exec("insert into vendors (vid, name) values (9100, 'Zephyr Glaziers')"));
    openLog(3);
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        child<QLineEdit>(d, "date")->setText("3/10/2026");
        QTest::keyClicks(child<QLineEdit>(d, "descr"), "Broken pane");
        auto *type = child<QComboBox>(d, "type");
        type->setCurrentIndex(type->findText("INCIDENT"));
        auto *status = child<QComboBox>(d, "status");
        status->setCurrentIndex(status->findText("RESOLVED"));
        // A vendor added since is offered.
        auto *vendor = child<QComboBox>(d, "vendor");
        vendor->setCurrentIndex(vendor->findText("Zephyr Glaziers"));
        QTest::keyClicks(child<QLineEdit>(d, "cost"), "80.25");
        QTest::keyClicks(child<QLineEdit>(d, "invoicenum"), "ZG-9");
        QTest::keyClicks(child<QTextEdit>(d, "notes"), "Tenant's cat");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(log, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));
    const QString where = " from maintenance where description = 'Broken pane'";
    QCOMPARE(t->copy.scalar("select apid" + where).toInt(), 3);
    QCOMPARE(t->copy.scalar("select vendor" + where).toInt(), 9100);
    QCOMPARE(t->copy.scalar("select typex" + where).toString(), QString("INCIDENT"));
    QCOMPARE(t->copy.scalar("select status" + where).toString(), QString("RESOLVED"));
    QCOMPARE(t->copy.scalar("select priority" + where).toString(), QString("HIGH"));
    QCOMPARE(t->copy.scalar("select cost" + where).toDouble(), 80.25);
    QCOMPARE(t->copy.scalar("select invnum" + where).toString(), QString("ZG-9"));
    QCOMPARE(t->copy.scalar("select notes" + where).toString(), QString("Tenant's cat"));
    QCOMPARE(t->copy.scalar("select ldate" + where).toDate(), QDate(2026, 3, 10));
    QCOMPARE(t->copy.scalar("select invdate" + where).toDate(), QDate(2026, 3, 14));
    QVERIFY(t->copy.scalar("select id" + where).toInt() > 15);
    QCOMPARE(model->rowCount(), 3);
}

void TestMaintenance::costReadAsTyped_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("cost");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("German cents") << "de_DE" << "186,50" << 186.5 << QString();
    QTest::newRow("US grouping") << "en_US" << "1,186.50" << 1186.5 << QString();
    QTest::newRow("comma on a US desktop") << "en_US" << "186,50" << 0.0
                                           << "\"186,50\" is not an amount. Type amounts as in 1,234.50.";
    QTest::newRow("below zero") << "en_US" << "-80.25" << 0.0
                                << "\"-80.25\" is not an amount. Type amounts as in 1,234.50.";
    QTest::newRow("decimal sign alone") << "de_DE" << "," << 0.0 << "The cost field cannot be blank";
}

void TestMaintenance::costReadAsTyped()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(double, cost);
    QFETCH(QString, refusal);
    QLocale::setDefault(QLocale(locale));
    openLog(3);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "descr"), "Typed cost");
        QTest::keyClicks(child<QLineEdit>(d, "cost"), typed);
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(log, "pushButton");
    if (!refusal.isEmpty()) {
        QCOMPARE(driver.stayedOpen, 1);
        QCOMPARE(MsgBox::shownTexts(), QStringList(refusal));
        QCOMPARE(t->count("maintenance where description = 'Typed cost'"), 0);
        return;
    }
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select cost from maintenance where description = 'Typed cost'").toDouble(), cost);
}

void TestMaintenance::cancelAfterNewLeavesNothing()
{
    openLog(3);
    const int stored = t->count("maintenance");
    ModalDriver driver;
    driver.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "cost"), "5"); });
    clickButton(log, "pushButton");
    QCOMPARE(model->rowCount(), 2);
    QVERIFY(!model->isDirty());
    QCOMPARE(t->count("maintenance"), stored);
}

void TestMaintenance::invoiceNumberQuestion_data()
{
    QTest::addColumn<QString>("invoice");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<bool>("stored");

    const QString invoiceQ = "The Invoice Number you have entered already exists. Do you want to continue?";
    const QString submitQ = "Are you sure you want to submit data";
    // "QF-2307" belongs to apartment 14, "NR'1212" to apartment 25.
    QTest::newRow("unchanged") << "BL-1" << int(QMessageBox::Yes) << QStringList{submitQ} << true;
    QTest::newRow("empty") << "" << int(QMessageBox::Yes) << QStringList{submitQ} << true;
    QTest::newRow("other apartment's, yes") << "QF-2307" << int(QMessageBox::Yes) << QStringList{invoiceQ, submitQ}
                                            << true;
    QTest::newRow("other apartment's, no") << "QF-2307" << int(QMessageBox::No) << QStringList{invoiceQ} << false;
    QTest::newRow("with an apostrophe") << "NR'1212" << int(QMessageBox::Yes) << QStringList{invoiceQ, submitQ}
                                        << true;
    QTest::newRow("no to submit") << "NEW-1" << int(QMessageBox::No) << QStringList{submitQ} << false;
}

void TestMaintenance::invoiceNumberQuestion()
{
    QFETCH(QString, invoice);
    QFETCH(int, answer);
    QFETCH(QStringList, questions);
    QFETCH(bool, stored);
    openLog(3);
    selectDescription("Tenant's window latch");
    for (int i = 0; i < questions.size(); ++i)
        MsgBox::setNextAnswer(i == questions.size() - 1 ? QMessageBox::StandardButton(answer) : QMessageBox::Yes);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        // Stored without invoice and completion dates, the entry needs them typed before it is kept.
        child<QLineEdit>(d, "invdate")->setText("1/6/2026");
        child<QLineEdit>(d, "completed")->setText("1/7/2026");
        child<QLineEdit>(d, "invoicenum")->setText(invoice);
    });
    clickButton(log, "pushButton_2");
    QCOMPARE(MsgBox::shownTexts(), questions);
    QCOMPARE(driver.stayedOpen, stored ? 0 : 1);
    QCOMPARE(t->copy.scalar("select invnum from maintenance where id = 9001").toString(),
             stored ? invoice : QString("BL-1"));
}

void TestMaintenance::emptyStoredDateMustBeTyped()
{
    openLog(3);
    selectDescription("Tenant's window latch");
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(child<QLineEdit>(d, "date")->text(), QString("1/5/2026"));
        QVERIFY(child<QLineEdit>(d, "invdate")->text().isEmpty());
        QVERIFY(child<QLineEdit>(d, "completed")->text().isEmpty());
        QCOMPARE(child<QComboBox>(d, "type")->currentText(), QString("INCIDENT"));
        QCOMPARE(child<QComboBox>(d, "priority")->currentText(), QString("LOW"));
        QCOMPARE(child<QComboBox>(d, "vendor")->currentText(), QString("Brightline Electric"));
    });
    clickButton(log, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList("The dates you have enetered are not valid!"));
    QVERIFY(t->copy.scalar("select invdate from maintenance where id = 9001").isNull());
}

void TestMaintenance::choicesNoListHoldsAreKept()
{
    // The glazier who did the job is gone from the vendors, and the type was typed by an older program.
    QVERIFY(t->exec("insert into vendors (vid, name) values (9100, 'Clearview Glass')"));
    QVERIFY(t->exec("delete from vendors where vid = 9100"));
    QVERIFY(t->exec("update maintenance set vendor = 9100, typex = 'GLAZING', cost = 342.18, invdate = '2026-01-06', "
                    "compdate = '2026-01-07' where id = 9001"));
    openLog(3);
    selectDescription("Tenant's window latch");
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(child<QComboBox>(d, "vendor")->currentIndex(), -1);
        QCOMPARE(child<QComboBox>(d, "type")->currentIndex(), -1);
        auto *priority = child<QComboBox>(d, "priority");
        priority->setCurrentIndex(priority->findText("HIGH"));
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(log, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 0);
    const QString where = " from maintenance where id = 9001";
    QCOMPARE(t->copy.scalar("select vendor" + where).toInt(), 9100);
    QCOMPARE(t->copy.scalar("select typex" + where).toString(), QString("GLAZING"));
    QCOMPARE(t->copy.scalar("select priority" + where).toString(), QString("HIGH"));
    QCOMPARE(t->copy.scalar("select status" + where).toString(), QString("OPEN"));
    QCOMPARE(t->copy.scalar("select cost" + where).toDouble(), 342.18);
}

void TestMaintenance::newEntryNamesNoVendor()
{
    openLog(3);
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(child<QComboBox>(d, "vendor")->currentText(), QString("(no vendor)"));
        QTest::keyClicks(child<QLineEdit>(d, "descr"), "Swept the yard");
        QTest::keyClicks(child<QLineEdit>(d, "cost"), "15");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(log, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->count("maintenance where description = 'Swept the yard' and vendor is null"), 1);

    // Opened again it still names none; the latch's vendor is taken off it by choosing none.
    selectDescription("Swept the yard");
    driver.ok([](QDialog *d) { QCOMPARE(child<QComboBox>(d, "vendor")->currentText(), QString("(no vendor)")); });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(log, "pushButton_2");
    selectDescription("Tenant's window latch");
    driver.ok([](QDialog *d) {
        child<QLineEdit>(d, "invdate")->setText("1/6/2026");
        child<QLineEdit>(d, "completed")->setText("1/7/2026");
        child<QComboBox>(d, "vendor")->setCurrentIndex(0);
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(log, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->count("maintenance where description = 'Swept the yard' and vendor is null"), 1);
    QCOMPARE(t->count("maintenance where id = 9001 and vendor is null"), 1);
}

void TestMaintenance::printedLogFollowsTheSearch_data()
{
    QTest::addColumn<int>("apid");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("whole log") << 3 << "" << QStringList{"Kitchen faucet dripping", "Tenant's window latch"}
                               << QStringList{"Water heater"};
    QTest::newRow("searched") << 3 << "t's w" << QStringList{"Tenant's window latch"}
                              << QStringList{"Kitchen faucet dripping"};
    QTest::newRow("empty log") << 2 << "" << QStringList() << QStringList{"Kitchen faucet dripping"};
}

void TestMaintenance::printedLogFollowsTheSearch()
{
    QFETCH(int, apid);
    QFETCH(QString, search);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, absent);
    QVERIFY(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty());
    openLog(apid);
    child<QLineEdit>(log, "lineEdit")->setText(search);
    waitForSearch(log);
    QFile::remove(pdf);
    ModalDriver preview;
    saveAsPdfFromPreview(preview, pdf);
    clickButton(log, "pushButton_4");
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains("Maintenance Report"), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Total number: %1").arg(shown.size())));
    // The apartment's building heads the entries.
    if (!shown.isEmpty())
        QVERIFY(text.contains(t->copy.scalar(QStringLiteral("select b.description from apartments a join buildings b "
                                                            "on b.buildid = a.bid where a.apid = %1").arg(apid)).toString()));
    for (const QString &entry : shown)
        QVERIFY2(text.contains(entry), qPrintable(entry));
    for (const QString &entry : absent)
        QVERIFY2(!text.contains(entry), qPrintable(entry));
    QCOMPARE(t->hub->reportQueryModel()->rowCount(), shown.size());
}

void TestMaintenance::printRefusedWithoutTheReportsRight()
{
    t->hub->setCanViewReports(false);
    openLog(3);
    QSqlDoubleQueryModel *report = t->hub->reportQueryModel();
    report->setQuery("select 1 from RDB$DATABASE");
    QFile::remove(pdf);
    MsgBox::clearShown();
    ModalDriver preview;
    saveAsPdfFromPreview(preview, pdf);
    clickButton(log, "pushButton_4");
    QCOMPARE(MsgBox::shownTexts(), QStringList("You are not permitted to access this area"));
    QCOMPARE(report->query().lastQuery(), QString("select 1 from RDB$DATABASE"));
    QVERIFY(!QFile::exists(pdf));
}

void TestMaintenance::apartmentsPageOpensTheLogOfItsApartment()
{
    ApartmentsForm page(t->hub, nullptr);
    auto *list = child<QTableView>(&page, "tableView");
    ModalDriver driver;
    clickButton(&page, "pushButton_14");
    QCOMPARE(MsgBox::shownTexts(), QStringList("Select a valid apartment record from the apartments table view."));
    QCOMPARE(driver.handled, 0);

    selectRow(list, 0, 3, 4);
    QString filter;
    driver.ok([&](QDialog *d) {
        QVERIFY(qobject_cast<MaintenanceDialog *>(d));
        filter = model->filter();
    });
    clickButton(&page, "pushButton_14");
    QCOMPARE(driver.handled, 1);
    QCOMPARE(filter, QString("apid = 3"));
}

VELLORAN_TEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
