#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "tenants/tenantdialog.h"
#include "tenants/tenantsform.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlError>
#include <QTableView>
#include <QTextEdit>

class TestTenants : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void search_data();
    void search();
    void newTenantWithVehiclePetAndOccupant_data();
    void newTenantWithVehiclePetAndOccupant();
    void failingTenantWriteKeepsWhatWasTypedAndLeavesNoSubRows();
    void pastedNameReachesTheFileByteForByte();
    void editorRefusals_data();
    void editorRefusals();
    void cardExpiryThroughTheEditor_data();
    void cardExpiryThroughTheEditor();
    void deleteRefusedWhileTheTenantHoldsAnAgreement();
    void deleteRefusedWhileRowsNameTheTenant_data();
    void deleteRefusedWhileRowsNameTheTenant();
    void deleteRemovesExactlyThatTenantsRows();
    void depositRecordedAndShownInThePanel();
    void depositRefusedWithoutATenant();
    void depositAmountReadAsTyped_data();
    void depositAmountReadAsTyped();

private:
    void selectTenant(int tid);
    // The tenant editor on the current tenant, filled by `fill`, then OK with the question answered.
    ModalDriver *editTenant(std::function<void(QDialog *)> fill);

    TestHub *t = nullptr;
    TenantsForm *form = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
};

void TestTenants::init()
{
    Today::set(QDate(2026, 12, 9));
    t = new TestHub;
    QVERIFY(t->opened);
    QVERIFY(t->exec("insert into tenants (tid, id, firstname, lastname, company, tel) values "
                    "(9100, 'ZT1', 'Siobhan', 'O''Neil', '100% Lettings', '555-0101')"));
    QVERIFY(t->exec("insert into tenants (tid, id, firstname, lastname, tel) values (9101, 'ZT2', 'Ada', 'Smith', '555-0102')"));
    QVERIFY(t->exec("insert into tenants (tid, id, firstname, lastname, tel) values (9102, 'ZT3', 'Bram', 'GOLDSMITH', '555-0103')"));
    form = new TenantsForm(t->hub);
    view = child<QTableView>(form, "tableView");
    model = t->hub->tenantsModel();
    model->setFilter(QString());
    model->select();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

void TestTenants::cleanup()
{
    delete form;
    delete t;
    Today::reset();
    QLocale::setDefault(QLocale::system());
}

void TestTenants::selectTenant(int tid)
{
    selectRow(view, 0, tid, 1);
}

ModalDriver *TestTenants::editTenant(std::function<void(QDialog *)> fill)
{
    auto *driver = new ModalDriver;
    driver->ok(std::move(fill));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_2");
    return driver;
}

void TestTenants::search_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("found");
    QTest::newRow("apostrophe") << 2 << "o'neil" << QList<int>{9100};
    QTest::newRow("percent sign") << 4 << "100%" << QList<int>{9100};
    QTest::newRow("anywhere, any case") << 2 << "SMI" << QList<int>{9101, 9102};
    QTest::newRow("by ID") << 0 << "zt2" << QList<int>{9101};
    QTest::newRow("by telephone") << 3 << "0103" << QList<int>{9102};
}

void TestTenants::search()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QList<int>, found);
    QVERIFY(t->exec(QStringLiteral("insert into deposits (tid, tdate, amount, paymenttype) values (%1, date "
                                   "'2026-01-05', 750, 'Check')")
                        .arg(found.first())));
    child<QComboBox>(form, "comboBox")->setCurrentIndex(field);
    auto *criteria = child<QLineEdit>(form, "lineEdit");
    QTest::keyClicks(criteria, typed);
    waitForSearch(form);
    QVERIFY(model->lastError().text().trimmed().isEmpty());
    QList<int> keys;
    for (int row = 0; row < model->rowCount(); ++row)
        keys << model->index(row, 0).data().toInt();
    std::sort(keys.begin(), keys.end());
    QCOMPARE(keys, found);

    // The first row found is current, and the panel shows its deposits.
    QCOMPARE(view->currentIndex().row(), 0);
    QSqlTableModel *deposits = t->hub->depositsModel();
    const int first = model->index(0, 0).data().toInt();
    QCOMPARE(deposits->rowCount(), first == found.first() ? 1 : 0);

    // Blanks only show every tenant again; Clear does too and keeps the text.
    criteria->setText("   ");
    waitForSearch(form);
    QCOMPARE(model->rowCount(), t->count("tenants"));
    criteria->setText(typed);
    clickButton(form, "pushButton_7");
    QCOMPARE(model->rowCount(), t->count("tenants"));
    QCOMPARE(criteria->text(), typed);
}

void TestTenants::newTenantWithVehiclePetAndOccupant_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK keeps it all") << true;
    QTest::newRow("Cancel keeps nothing") << false;
}

void TestTenants::newTenantWithVehiclePetAndOccupant()
{
    QFETCH(bool, accept);
    const int next = t->copy.scalar("select gen_id(GEN_TENANTS_ID, 0) from RDB$DATABASE").toInt() + 1;
    const int tenants = t->count("tenants");
    const QDate dob(1990, 4, 17);

    ModalDriver driver;
    auto fillTenant = [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Tenant Form"));
        QCOMPARE(child<QLineEdit>(d, "lineEdit_23")->text(), QString("12/26"));
        QCOMPARE(child<QLineEdit>(d, "lineEdit_16")->text(), ShortDate::toText(Today::date()));
        QCOMPARE(child<QComboBox>(d, "comboBox_2")->currentText(), QString("Month"));
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit"), "  NEWT1 ");
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_4"), "Quill");
        child<QCheckBox>(d, "checkBox_2")->setChecked(true);
        clickButton(d, "pushButton");
        clickButton(d, "pushButton_4");
        clickButton(d, "pushButton_7");
        QCOMPARE(child<QTableView>(d, "tableView")->model()->rowCount(), 1);
        QCOMPARE(child<QTableView>(d, "tableView_3")->model()->rowCount(), 1);
    };
    if (accept)
        driver.ok(fillTenant);
    else
        driver.cancel(fillTenant);
    driver.ok([](QDialog *v) {
        QTest::keyClicks(child<QLineEdit>(v, "make"), " Zastava ");
        QTest::keyClicks(child<QLineEdit>(v, "number"), "QX 001");
    });
    driver.ok([](QDialog *p) { QTest::keyClicks(child<QLineEdit>(p, "pet"), "Biscotti"); });
    driver.ok([&](QDialog *o) {
        QTest::keyClicks(child<QLineEdit>(o, "name"), "Orla Quill");
        auto *date = child<QLineEdit>(o, "dob");
        date->clear();
        QTest::keyClicks(date, ShortDate::toText(dob));
        child<QTextEdit>(o, "comment")->setPlainText("  lodger  ");
    });
    if (accept)
        MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.handled, 4);
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(driver.unexpected, 0);

    if (!accept) {
        QCOMPARE(t->count("tenants"), tenants);
        QCOMPARE(t->count("vehicles where make = 'Zastava'"), 0);
        QCOMPARE(t->count("pets where name = 'Biscotti'"), 0);
        QCOMPARE(t->count("occupants where name = 'Orla Quill'"), 0);
        QCOMPARE(t->count(QStringLiteral("waitlist where tid = %1").arg(next)), 0);
        QCOMPARE(model->rowCount(), tenants);
        return;
    }
    QCOMPARE(t->copy.scalar("select tid from tenants where id = 'NEWT1'").toInt(), next);
    QCOMPARE(t->copy.scalar("select lastname from tenants where id = 'NEWT1'").toString(), QString("Quill"));
    QCOMPARE(t->copy.scalar("select ccardexpire from tenants where id = 'NEWT1'").toDate(), QDate(2026, 12, 1));
    QCOMPARE(t->copy.scalar("select dob from tenants where id = 'NEWT1'").toDate(), Today::date());
    QCOMPARE(t->copy.scalar("select incomeperiod from tenants where id = 'NEWT1'").toInt(), 1);
    QCOMPARE(t->copy.scalar("select acctype from tenants where id = 'NEWT1'").toInt(), 1);
    const QString ofTenant = QStringLiteral(" where tid = %1").arg(next);
    QCOMPARE(t->copy.scalar("select make from vehicles" + ofTenant).toString(), QString("Zastava"));
    QCOMPARE(t->copy.scalar("select plate from vehicles" + ofTenant).toString(), QString("QX 001"));
    QCOMPARE(t->copy.scalar("select name from pets" + ofTenant).toString(), QString("Biscotti"));
    QCOMPARE(t->copy.scalar("select dob from occupants" + ofTenant).toDate(), dob);
    QCOMPARE(t->copy.scalar("select comments from occupants" + ofTenant).toString(), QString("lodger"));
    QCOMPARE(t->count("waitlist" + ofTenant), 1);
}

void TestTenants::failingTenantWriteKeepsWhatWasTypedAndLeavesNoSubRows()
{
    const int tenants = t->count("tenants");
    // The database refuses the tenant row, in words of its own.
    QVERIFY(t->exec("create exception tenant_refused 'no new tenants today'"));
    QVERIFY(t->exec("create trigger tenants_refused for tenants before insert as begin exception tenant_refused; end"));
    // A company name pasted far beyond the hundred characters its column holds, and a long note.
    const QString pasted(2000, QLatin1Char('W'));
    const QString note(10000, QLatin1Char('n'));
    QString companyOnRetry;
    QString noteOnRetry;
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit"), "NEWT9");
        QApplication::clipboard()->setText(pasted);
        auto *company = child<QLineEdit>(d, "lineEdit_2");
        company->setFocus();
        QTest::keySequence(company, QKeySequence::Paste);
        child<QTextEdit>(d, "textEdit")->setPlainText(note);
        child<QCheckBox>(d, "checkBox_2")->setChecked(true);
        clickButton(d, "pushButton");
    });
    driver.ok([](QDialog *v) { QTest::keyClicks(child<QLineEdit>(v, "make"), "Trabant"); });
    // The editor comes back with everything typed, and is cancelled.
    driver.cancel([&](QDialog *d) {
        companyOnRetry = child<QLineEdit>(d, "lineEdit_2")->text();
        noteOnRetry = child<QTextEdit>(d, "textEdit")->toPlainText();
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(driver.unexpected, 0);
    QCOMPARE(driver.handled, 3);
    const QStringList told = MsgBox::shownTexts().filter("Unable to submit data");
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.constFirst().startsWith("Unable to submit data: ") && told.constFirst().contains("no new tenants today"),
             qPrintable(told.constFirst()));
    QCOMPARE(companyOnRetry, pasted.left(100));
    QCOMPARE(noteOnRetry, note);
    QCOMPARE(t->count("tenants"), tenants);
    QCOMPARE(t->count("vehicles where make = 'Trabant'"), 0);
    QCOMPARE(t->count("waitlist where tid not in (select tid from tenants)"), 0);
    QVERIFY(!model->isDirty());
    QCOMPARE(model->rowCount(), tenants);
}

void TestTenants::pastedNameReachesTheFileByteForByte()
{
    // A house beyond the basic plane (four bytes in UTF-8), Hebrew, and an e with two combining accents.
    const QString pasted = QString::fromUtf8("Zo\xC3\xAB \xF0\x9F\x8F\xA0 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D e\xCC\x81\xCC\x82");
    // A tenant of the demonstration office, pasted over her first name.
    selectTenant(26);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        QApplication::clipboard()->setText(pasted);
        auto *firstName = child<QLineEdit>(d, "lineEdit_3");
        firstName->selectAll();
        QTest::keySequence(firstName, QKeySequence::Paste);
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_2");
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(driver.unexpected, 0);

    // The file holds the bytes as pasted, compared inside the engine, whatever any connection converts.
    const auto storedAs = [this](int tid, const char *column, const QString &text) {
        return t->copy.scalar(QStringLiteral("select count(*) from tenants where tid = %1 and "
                                             "cast(%2 as varchar(400) character set octets) = x'%3'")
                                  .arg(tid)
                                  .arg(QLatin1String(column), QString::fromLatin1(text.toUtf8().toHex())))
                   .toInt()
               == 1;
    };
    QVERIFY(storedAs(26, "firstname", pasted));
    model->select();
    selectTenant(26);
    QCOMPARE(view->currentIndex().siblingAtColumn(3).data().toString(), pasted);
    // What the demonstration office has held all along reads as it always did.
    const QString stored = QString::fromUtf8("Dvo\xC5\x99\xC3\xA1k");
    QVERIFY(storedAs(16, "lastname", stored));
    selectTenant(16);
    QCOMPARE(view->currentIndex().siblingAtColumn(4).data().toString(), stored);
}

void TestTenants::editorRefusals_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank ID") << "lineEdit" << "   " << "The ID/CODE field cannot be blank";
    QTest::newRow("ID of another tenant") << "lineEdit" << "ZT2" << "The ID/CODE that you have entered already exists. Enter a new ID/CODE";
    QTest::newRow("e-mail without at sign") << "lineEdit_13" << "siobhan.example.com" << "Enter a valid email address";
    QTest::newRow("date of birth in another format") << "lineEdit_16" << "1980-02-03" << "Enter a valid date of birth!";
}

void TestTenants::editorRefusals()
{
    QFETCH(QString, widget);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QVERIFY(t->exec("update tenants set dob = date '1980-02-03' where tid = 9100"));
    model->select();
    selectTenant(9100);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        auto *edit = d->findChild<QLineEdit *>(widget);
        edit->clear();
        QTest::keyClicks(edit, typed);
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    QCOMPARE(t->count("tenants where id = 'ZT1'"), 1);
    QVERIFY(!model->isDirty());
}

void TestTenants::cardExpiryThroughTheEditor_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("kept");
    QTest::newRow("typed M/YY") << "null" << "" << "3/27" << QDate(2027, 3, 1);
    QTest::newRow("leading zero") << "null" << "" << "03/27" << QDate(2027, 3, 1);
    QTest::newRow("empty is 1 January 2000") << "date '2027-05-01'" << "5/27" << "" << QDate(2000, 1, 1);
    QTest::newRow("kept as shown") << "date '2027-11-01'" << "11/27" << "<unchanged>" << QDate(2027, 11, 1);
    QTest::newRow("a year before 2010 reads back") << "date '2008-07-01'" << "7/08" << "<unchanged>" << QDate(2008, 7, 1);
    QTest::newRow("none stored shows empty") << "date '2000-01-01'" << "" << "<unchanged>" << QDate(2000, 1, 1);
    QTest::newRow("month 13 refused") << "date '2027-05-01'" << "5/27" << "13/27" << QDate();
    QTest::newRow("month 0 refused") << "date '2027-05-01'" << "5/27" << "0/27" << QDate();
}

void TestTenants::cardExpiryThroughTheEditor()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QDate, kept);
    QVERIFY(t->exec(QStringLiteral("update tenants set ccardexpire = %1, dob = date '1980-02-03' where tid = 9100")
                        .arg(stored)));
    model->select();
    selectTenant(9100);
    QString opened;
    std::unique_ptr<ModalDriver> driver(editTenant([&](QDialog *d) {
        auto *expiry = child<QLineEdit>(d, "lineEdit_23");
        opened = expiry->text();
        if (typed != "<unchanged>") {
            expiry->clear();
            QTest::keyClicks(expiry, typed);
        }
    }));
    QCOMPARE(opened, shown);
    if (!kept.isValid()) {
        QCOMPARE(driver->stayedOpen, 1);
        QVERIFY(MsgBox::shownTexts().contains("Enter a valid credit card expiry date!"));
        QCOMPARE(t->copy.scalar("select ccardexpire from tenants where tid = 9100").toDate(), QDate(2027, 5, 1));
        return;
    }
    QCOMPARE(driver->stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select ccardexpire from tenants where tid = 9100").toDate(), kept);
}

void TestTenants::deleteRefusedWhileTheTenantHoldsAnAgreement()
{
    QVERIFY(t->exec("insert into pets (tid, name) values (9100, 'Rex')"));
    QVERIFY(t->exec("insert into apartments (apid, tid, bid, suite, agreeid) values (9300, 9100, 1, 'Z-1', 42)"));
    selectTenant(9100);
    clickButton(form, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts(),
             QStringList("You cannot delete this record because there is a valid rental agreement associated with it?"));
    QCOMPARE(t->count("tenants where tid = 9100"), 1);
    QCOMPARE(t->count("pets where tid = 9100"), 1);
}

void TestTenants::deleteRefusedWhileRowsNameTheTenant_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("still an apartment's tenant")
        << QStringList("insert into apartments (apid, tid, bid, suite, agreeid) values (9300, 9100, 1, 'Z-1', -1)")
        << "You cannot delete this tenant: an apartment still has this tenant as its tenant.";
    QTest::newRow("owes open charges")
        << QStringList{"insert into charges (chid, tid, apid, type, amt, origamount, paid, fordate) values "
                       "(99001, 9100, 1, 'Rent', 1352.50, 1352.50, 0, '2026-11-01')",
                       "insert into deposits (tid, amount) values (9100, 600)"}
        << "You cannot delete this tenant: the tenant still owes open charges. Collect the rent or delete the "
           "charges first.";
    QTest::newRow("deposit held")
        << QStringList("insert into deposits (tid, amount) values (9100, 600)")
        << "You cannot delete this tenant: a security deposit is still held for this tenant. Return the deposit "
           "first.";
    QTest::newRow("paid charges in the books")
        << QStringList("insert into charges (chid, tid, apid, type, amt, origamount, paid, fordate) values "
                       "(99001, 9100, 1, 'Rent', 0, 900, 900, '2026-11-01')")
        << "You cannot delete this tenant: charges, payments or recurring bills of this tenant are kept in the "
           "books.";
    // A look-up that fails must not read as "nothing in the way".
    QTest::newRow("check fails")
        << QStringList("alter table deposits alter column tid to tid_gone")
        << "The database could not be checked, so nothing was changed. Please try again.";
}

void TestTenants::deleteRefusedWhileRowsNameTheTenant()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, refusal);
    QVERIFY(t->exec("insert into pets (tid, name) values (9100, 'Rex')"));
    for (const QString &sql : setup)
        QVERIFY2(t->exec(sql), qPrintable(sql));
    const int charges = t->count("charges");
    const int apartments = t->count("apartments where tid = 9100");
    selectTenant(9100);
    clickButton(form, "pushButton_3");
    // A broken deposits table also fails the deposits panel's read, which says so on its own.
    QCOMPARE(MsgBox::shownTexts().filter(QRegularExpression("^(?!Unable to read data: )")), QStringList(refusal));
    QCOMPARE(t->count("tenants where tid = 9100"), 1);
    QCOMPARE(t->count("pets where tid = 9100"), 1);
    QCOMPARE(t->count("charges"), charges);
    QCOMPARE(t->count("apartments where tid = 9100"), apartments);
}

void TestTenants::deleteRemovesExactlyThatTenantsRows()
{
    for (int tid : {9100, 9101}) {
        QVERIFY(t->exec(QStringLiteral("insert into pets (tid, name) values (%1, 'Rex')").arg(tid)));
        QVERIFY(t->exec(QStringLiteral("insert into vehicles (tid, make) values (%1, 'Lada')").arg(tid)));
        QVERIFY(t->exec(QStringLiteral("insert into occupants (tid, name) values (%1, 'Kid')").arg(tid)));
        QVERIFY(t->exec(QStringLiteral("insert into waitlist (tid) values (%1)").arg(tid)));
        // A deposit record with nothing held any more goes with its tenant.
        QVERIFY(t->exec(QStringLiteral("insert into deposits (tid, amount) values (%1, %2)").arg(tid).arg(tid == 9100 ? 0 : 500)));
    }
    const int tenants = t->count("tenants");
    selectTenant(9100);
    const int row = view->currentIndex().row();

    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count("tenants where tid = 9100"), 1);

    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count("tenants"), tenants - 1);
    for (const char *table : {"pets", "vehicles", "occupants", "waitlist", "deposits"}) {
        QCOMPARE(t->count(QStringLiteral("%1 where tid = 9100").arg(table)), 0);
        QCOMPARE(t->count(QStringLiteral("%1 where tid = 9101").arg(table)), 1);
    }
    QCOMPARE(model->rowCount(), tenants - 1);
    QCOMPARE(view->currentIndex().row(), row);
}

void TestTenants::depositRecordedAndShownInThePanel()
{
    selectTenant(9101);
    auto *deposits = child<QTableView>(form, "tableView_2");
    QCOMPARE(deposits->model()->rowCount(), 0);

    {
        ModalDriver cancelled;
        cancelled.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), "1"); });
        clickButton(form, "pushButton_5");
    }
    QCOMPARE(t->count("deposits where tid = 9101"), 0);
    QCOMPARE(deposits->model()->rowCount(), 0);

    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(child<QLineEdit>(d, "lineEdit")->text(), ShortDate::toText(QDate(2026, 12, 9)));
        QCOMPARE(child<QLineEdit>(d, "lineEdit_2")->text(), QString());
        QCOMPARE(child<QComboBox>(d, "comboBox")->currentText(), QString("Cash"));
        auto *date = child<QLineEdit>(d, "lineEdit");
        date->clear();
        QTest::keyClicks(date, ShortDate::toText(QDate(2026, 11, 30)));
        QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), "812.5");
        child<QComboBox>(d, "comboBox")->setCurrentIndex(1);
        child<QTextEdit>(d, "textEdit")->setPlainText("First month's security");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_5");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->count("deposits where tid = 9101"), 1);
    QCOMPARE(t->copy.scalar("select amount from deposits where tid = 9101").toDouble(), 812.5);
    QCOMPARE(t->copy.scalar("select tdate from deposits where tid = 9101").toDate(), QDate(2026, 11, 30));
    QCOMPARE(t->copy.scalar("select paymenttype from deposits where tid = 9101").toString(), QString("Check"));
    QCOMPARE(t->copy.scalar("select memo from deposits where tid = 9101").toString(), QString("First month's security"));
    QCOMPARE(deposits->model()->rowCount(), 1);
    QCOMPARE(deposits->currentIndex().row(), 0);
    QCOMPARE(deposits->model()->index(0, 3).data().toString(), QString("812.50"));

    // Another tenant's panel does not show it.
    selectTenant(9100);
    QCOMPARE(deposits->model()->rowCount(), 0);
}

void TestTenants::depositRefusedWithoutATenant()
{
    child<QLineEdit>(form, "lineEdit")->setText("no such tenant");
    waitForSearch(form);
    clickButton(form, "pushButton_5");
    QCOMPARE(MsgBox::shownTexts(), QStringList("You haven't selected a valid tenant record"));
    QCOMPARE(t->count("deposits where tid = 0"), 0);
}

void TestTenants::depositAmountReadAsTyped_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("US grouping") << "en_US" << "1,175.55" << 1175.55 << QString();
    QTest::newRow("German grouping") << "de_DE" << "1.175,55" << 1175.55 << QString();
    QTest::newRow("decimal sign alone") << "en_US" << "." << 0.0 << "Enter a valid payment amount!";
    QTest::newRow("US text on a German desktop")
        << "de_DE" << "1,175.55" << 0.0 << "\"1,175.55\" is not an amount. Type amounts as in 1.234,50.";
}

void TestTenants::depositAmountReadAsTyped()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(double, amount);
    QFETCH(QString, refusal);
    QLocale::setDefault(QLocale(locale));
    selectTenant(9101);
    ModalDriver driver;
    driver.ok([&](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "lineEdit_2"), typed); });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_5");
    if (!refusal.isEmpty()) {
        QCOMPARE(driver.stayedOpen, 1);
        QCOMPARE(MsgBox::shownTexts(), QStringList(refusal));
        QCOMPARE(t->count("deposits where tid = 9101"), 0);
        return;
    }
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select amount from deposits where tid = 9101").toDouble(), amount);
}

VELLORAN_TEST_MAIN(TestTenants)
#include "tst_tenants.moc"
