// Letters: the merge of every field for a tenant whose values are known, the letter saved, reopened
// and printed to PDF for ticked tenants, the editor's tools, the custom letters list, and what the
// user sees when the database refuses a write.
#include "testhub.h"

#include "correspondence/customlettersdialog.h"
#include "correspondence/lettersdialog.h"
#include "correspondence/printlistdialog.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "reports/tibernereport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <functional>

namespace {

const int kTenant = 9200;   // every field known, names full of markup characters
const int kNeighbour = 9201; // a second tenant with amounts of its own
const int kHomeless = 9202;  // a tenant without apartment, lease, owner, charges or payments
const QDate kToday(2026, 3, 15);

QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

int pdfPages(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    if (!process.waitForFinished(60000))
        return 0;
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(QString::fromUtf8(process.readAllStandardOutput())).captured(1).toInt();
}

// Calls `step` once the next modal dialog of type T is up.
template<typename T>
void whenModal(std::function<void(T *)> step)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (T *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            step(dialog);
        }
    });
    timer->start();
}

QString money(double amount)
{
    return QStringLiteral("%L1").arg(amount, 0, 'f', 2);
}

// What a merged letter reads as once laid out.
QString printedText(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

QString fieldText(const QString &name)
{
    return QStringLiteral("<<<") + name + QStringLiteral(">>>");
}

} // namespace

class TestLetters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void mergeFillsEachField_data();
    void mergeFillsEachField();
    void valueLookingLikeAFieldIsNotMergedAgain();
    void lateRentLetterNamesTheLastPayment_data();
    void lateRentLetterNamesTheLastPayment();
    void lateRentLetterGivesThisMonthsChargesForWhatTheyAre();
    void savedLetterReopensAndPrintsForTwoTickedTenants();
    void tickListHoldsEveryTenantBeyondTheFirstBatch();
    void previewShowsOneLetterPerTickedTenant();
    void toolsFollowTheCursorWithoutReformatting();
    void customLettersCreateRenameDelete();
    void escapeAsksBeforeTypedTextIsLost_data();
    void escapeAsksBeforeTypedTextIsLost();
    void customLetterRefusals_data();
    void customLetterRefusals();
    void refusedWritesKeepWindowTextAndList();

private:
    LettersDialog *openEditor(int key);
    QStringList customTitles(CustomLettersDialog *dialog);
    void selectTitle(CustomLettersDialog *dialog, const QString &title);

    TestHub *t = nullptr;
    QPrinter printer;
    QString pdf;
};

void TestLetters::initTestCase()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "pdftotext is needed");
    pdf = TestEnvironment::root() + QStringLiteral("/letters.pdf");
}

void TestLetters::init()
{
    Today::set(kToday);
    t = new TestHub;
    QVERIFY(t->opened);
    const QStringList rows = {
        "insert into owners (oid, code, name, address, city, state, zip, tel, email) values (9200, 'O&1', "
        "'Hale & <b>Sons</b>', '1 Dock Rd', 'Portsmouth', 'NH', '03801', '555-0100', 'hale@sons.example')",
        "insert into buildings (buildid, oid, description, address) values (9200, 9200, 'Quay <House>', "
        "'9 Harbour St')",
        "insert into agreements (rid, tid, apid, damage, rent, latefee, perday, leasestart, leaseend, movein) "
        "values (9200, 9200, 9200, 500, 1234.5, 25, null, '2025-04-01', '2027-03-31', '2025-03-28')",
        "insert into apartments (apid, tid, bid, suite, agreeid) values (9200, 9200, 9200, '4B', 9200)",
        "insert into tenants (tid, id, company, firstname, lastname, address, city, state, postalcode, tel, dat1, "
        "driverslicense, insurenum) values (9200, 'T&9', 'A&B <Co>', 'Tom & Jerry', '<Smith>', '5 Elm \"Row\"', "
        "'Dover', 'DE', '19901', '555-0199', 'tom@smith.example', 'D-77', '123-45-6789')",
        "insert into recur (recid, tid, apid, type, amount, nextdate) values (9200, 9200, 9200, 'Rent', 1234.5, "
        "'2026-04-01')",
        "insert into trans (transid, tdate, tid, apid) values (9200, '2026-02-03', 9200, 9200)",
        "insert into trans (transid, tdate, tid, apid) values (9201, '2026-03-02', 9200, 9200)",
        // This month: a parking charge comes first, then two rent charges and a late fee; last month's
        // rent stays out.
        "insert into charges (chid, tid, apid, type, amt, fordate) values (9200, 9200, 9200, 'Parking', 45, "
        "'2026-03-01')",
        "insert into charges (chid, tid, apid, type, amt, fordate) values (9201, 9200, 9200, 'Rent', 1000, "
        "'2026-03-01')",
        "insert into charges (chid, tid, apid, type, amt, fordate) values (9202, 9200, 9200, 'RENT', 234.5, "
        "'2026-03-10')",
        "insert into charges (chid, tid, apid, type, amt, fordate) values (9203, 9200, 9200, 'Rent Late Fee', 20, "
        "'2026-03-06')",
        "insert into charges (chid, tid, apid, type, amt, fordate) values (9204, 9200, 9200, 'Rent', 999, "
        "'2026-02-01')",
        "insert into tenants (tid, id, firstname, lastname) values (9201, 'T9201', 'Nora', 'Quill')",
        "insert into charges (chid, tid, type, amt, fordate) values (9205, 9201, 'Rent', 777.25, '2026-03-01')",
        "insert into tenants (tid, id, firstname, lastname) values (9202, 'T9202', 'Ivo', null)",
    };
    for (const QString &row : rows)
        QVERIFY2(t->exec(row), qPrintable(row));
    TiberneReport::setPdfOutputForTests(pdf);
    QFile::remove(pdf);
    MsgBox::clearShown();
}

void TestLetters::cleanup()
{
    TiberneReport::setPdfOutputForTests(QString());
    delete t;
    t = nullptr;
    Today::reset();
}

LettersDialog *TestLetters::openEditor(int key)
{
    auto *editor = new LettersDialog(t->hub, key);
    editor->setPrinter(&printer);
    editor->show();
    return editor;
}

void TestLetters::mergeFillsEachField_data()
{
    QTest::addColumn<int>("tenant");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("printed");

    const QStringList typed = {"Tom & Jerry", "<Smith>", "Tom & Jerry <Smith>", "5 Elm \"Row\"", "Dover", "DE",
                               "19901", "T&9", "A&B <Co>", "555-0199", "tom@smith.example", "D-77", "123-45-6789",
                               "Quay <House>", "9 Harbour St", "4B"};
    const QStringList names = LettersDialog::fieldNames();
    for (int field = 0; field < typed.size(); ++field)
        QTest::newRow(qPrintable(names.at(field))) << kTenant << names.at(field) << typed.at(field);

    QTest::newRow("Move In Date") << kTenant << "Move In Date" << ShortDate::toText(QDate(2025, 3, 28));
    QTest::newRow("Move Out Date, null") << kTenant << "Move Out Date" << QString();
    QTest::newRow("Lease Start") << kTenant << "Lease Start" << ShortDate::toText(QDate(2025, 4, 1));
    QTest::newRow("Lease End") << kTenant << "Lease End" << ShortDate::toText(QDate(2027, 3, 31));
    QTest::newRow("Rent") << kTenant << "Rent" << money(1234.5);
    QTest::newRow("Deposit") << kTenant << "Lease/Damage Deposit" << money(500);
    QTest::newRow("Late Fee Base Rate") << kTenant << "Late Fee Base Rate" << money(25);
    QTest::newRow("Late Fee Per Day, null") << kTenant << "Late Fee Per Day" << "-";
    QTest::newRow("Next Rent") << kTenant << "Next Rent" << ShortDate::toText(QDate(2026, 4, 1));
    QTest::newRow("Last Payment Date, the latest") << kTenant << "Last Payment Date" << ShortDate::toText(QDate(2026, 3, 2));
    QTest::newRow("Rent due, both rent charges of the month") << kTenant << "This Month Rent Due" << money(1234.5);
    QTest::newRow("Other charges") << kTenant << "This Month Other Charges Due" << money(65);
    QTest::newRow("All charges") << kTenant << "This Month All Charges Due" << money(1299.5);
    QTest::newRow("Full Date") << kTenant << "Full Date" << QLocale().toString(kToday, QLocale::LongFormat);
    QTest::newRow("Full Date With Weekday") << kTenant << "Full Date With Weekday"
                                            << QLocale::system().toString(kToday, QLocale::LongFormat);
    QTest::newRow("Month") << kTenant << "Month" << kToday.toString(QStringLiteral("MMMM"));
    QTest::newRow("Year") << kTenant << "Year" << "2026";
    QTest::newRow("short date") << kTenant << "short date" << ShortDate::toText(kToday);
    QTest::newRow("Owner fullname") << kTenant << "Owner fullname" << "Hale & <b>Sons</b>";
    QTest::newRow("Owner Address") << kTenant << "Owner Address" << "1 Dock Rd";
    QTest::newRow("Owner city") << kTenant << "Owner city" << "Portsmouth";
    QTest::newRow("Owner State") << kTenant << "Owner State" << "NH";
    QTest::newRow("Owner zip") << kTenant << "Owner zip/postal code" << "03801";
    QTest::newRow("Owner Code") << kTenant << "Owner Code" << "O&1";
    QTest::newRow("Owner Tel") << kTenant << "Owner Tel" << "555-0100";
    QTest::newRow("Owner Email") << kTenant << "Owner Email" << "hale@sons.example";
    QTest::newRow("typed in lower case") << kTenant << "tenant fullname" << "Tom & Jerry <Smith>";
    QTest::newRow("no tenant row: a tenant field") << 4711 << "Tenant fullname" << fieldText("Tenant fullname");
    QTest::newRow("no tenant row: a clock field") << 4711 << "Year" << fieldText("Year");
    QTest::newRow("no apartment: lease field") << kHomeless << "Rent" << fieldText("Rent");
    QTest::newRow("no apartment: owner field") << kHomeless << "Owner Tel" << fieldText("Owner Tel");
    QTest::newRow("no rent bill: next rent") << kHomeless << "Next Rent" << fieldText("Next Rent");
    QTest::newRow("null last name: full name") << kHomeless << "Tenant fullname" << QString();
    QTest::newRow("no payment: empty") << kHomeless << "Last Payment Date" << QString();
    QTest::newRow("no charge: rent due empty") << kHomeless << "This Month Rent Due" << QString();
    QTest::newRow("no charge: other charges") << kHomeless << "This Month Other Charges Due" << money(0);
    QTest::newRow("no charge: all charges") << kHomeless << "This Month All Charges Due" << money(0);
    QTest::newRow("only a rent charge: other charges") << kNeighbour << "This Month Other Charges Due" << money(0);
    QTest::newRow("only a rent charge: rent due") << kNeighbour << "This Month Rent Due" << money(777.25);
}

void TestLetters::mergeFillsEachField()
{
    QFETCH(int, tenant);
    QFETCH(QString, field);
    QFETCH(QString, printed);

    QScopedPointer<LettersDialog> editor(openEditor(1));
    QString html = QStringLiteral("<p>[") + LettersDialog::mergeKey(field) + QStringLiteral("]</p>");
    editor->mergeLetter(tenant, html);
    QCOMPARE(printedText(html), QStringLiteral("[%1]").arg(printed));
}

void TestLetters::lateRentLetterNamesTheLastPayment_data()
{
    QTest::addColumn<int>("tenant");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("paid") << kTenant
                          << "Your last payment was received on " + ShortDate::toText(QDate(2026, 3, 2)) + ".";
    QTest::newRow("never paid") << kHomeless << "No payment has been received from you.";
}

// The delivered late-rent letter, merged as printed.
void TestLetters::lateRentLetterNamesTheLastPayment()
{
    QFETCH(int, tenant);
    QFETCH(QString, sentence);

    QScopedPointer<LettersDialog> editor(openEditor(1));
    QString html = t->copy.scalar(QStringLiteral("select body from letters where lid = 1")).toString();
    editor->mergeLetter(tenant, html);
    const QString text = printedText(html);
    QVERIFY2(text.contains(sentence), qPrintable(text));
    QVERIFY(!text.contains(QLatin1String("received on .")));
    QCOMPARE(text.count(QLatin1String("last payment")) + text.count(QLatin1String("No payment")), 1);
}

// Printed on the 1st, before any charge of the new month: the tenant owes every charge of earlier
// months, and the letter's figures (this month's open charges, 0.00 here) must not read as his debt.
void TestLetters::lateRentLetterGivesThisMonthsChargesForWhatTheyAre()
{
    Today::set(QDate(2026, 4, 1));
    const double owed = t->copy.scalar(QStringLiteral("select sum(amt) from charges where tid = 9200")).toDouble();
    QVERIFY(owed > 0);

    QScopedPointer<LettersDialog> editor(openEditor(1));
    whenModal<PrintListDialog>([](PrintListDialog *list) {
        auto *table = child<QTableWidget>(list, "tableWidget");
        clickButton(list, "pushButton_4");
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->item(row, 0)->data(Qt::UserRole).toInt() == kTenant)
                table->item(row, 0)->setCheckState(Qt::Checked);
        }
        clickButton(list, "pushButton");
    });
    clickButton(editor.data(), "pushButton_4");
    const QString text = pdfText(pdf).simplified();
    QVERIFY2(text.contains(QLatin1String("Dear Tom & Jerry <Smith>")), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("April 2026")), qPrintable(text));

    // Each figure is named as this month's, and the letter says the earlier months are not in it.
    const QRegularExpression figure(QStringLiteral("([^:.]*):\\s*(?<![\\d,])0\\.00"));
    int figures = 0;
    auto it = figure.globalMatch(text);
    while (it.hasNext()) {
        const QString label = it.next().captured(1);
        QVERIFY2(label.contains(QLatin1String("this month"), Qt::CaseInsensitive), qPrintable(label));
        QVERIFY2(!label.contains(QLatin1String("total"), Qt::CaseInsensitive), qPrintable(label));
        ++figures;
    }
    QCOMPARE(figures, 2);
    QVERIFY2(text.contains(QLatin1String("earlier months")), qPrintable(text));
    for (const char *claim : {"Total due", "full amount", "nothing is due"})
        QVERIFY2(!text.contains(QLatin1String(claim), Qt::CaseInsensitive), claim);
}

void TestLetters::valueLookingLikeAFieldIsNotMergedAgain()
{
    QVERIFY(t->exec("update tenants set company = '<<<Tenant SSN>>>' where tid = 9200"));
    QScopedPointer<LettersDialog> editor(openEditor(1));
    QString html = QStringLiteral("<p>") + LettersDialog::mergeKey(QStringLiteral("Tenant Company")) + QStringLiteral("</p>");
    editor->mergeLetter(kTenant, html);
    QCOMPARE(printedText(html), fieldText(QStringLiteral("Tenant SSN")));
}

void TestLetters::savedLetterReopensAndPrintsForTwoTickedTenants()
{
    {
        QScopedPointer<LettersDialog> editor(openEditor(1));
        QCOMPARE(editor->windowTitle(), QStringLiteral("Late Rent/Bills Letter"));
        auto *text = child<QTextEdit>(editor.data(), "textEdit");
        auto *fields = child<QComboBox>(editor.data(), "fieldCombo");
        QCOMPARE(fields->count(), 43);
        text->clear();
        QTest::keyClicks(text, "Dear ");
        fields->setCurrentText(QStringLiteral("Tenant fullname"));
        clickButton(editor.data(), "pushButton_5");
        QTest::keyClicks(text, ", rent due ");
        fields->setCurrentText(QStringLiteral("This Month Rent Due"));
        clickButton(editor.data(), "pushButton_5");
        QTest::keyClicks(text, " by ");
        fields->setCurrentText(QStringLiteral("Next Rent"));
        clickButton(editor.data(), "pushButton_5");
        clickButton(editor.data(), "pushButton");
        QCOMPARE(MsgBox::shownTexts(), QStringList());
    }
    const QString stored = t->copy.scalar(QStringLiteral("select body from letters where lid = 1")).toString();
    QVERIFY(stored.contains(LettersDialog::mergeKey(QStringLiteral("This Month Rent Due"))));

    QScopedPointer<LettersDialog> editor(openEditor(1));
    auto *text = child<QTextEdit>(editor.data(), "textEdit");
    const QString typed = QStringLiteral("Dear <<<Tenant fullname>>>, rent due <<<This Month Rent Due>>> by <<<Next Rent>>>");
    QCOMPARE(text->toPlainText(), typed);

    bool listed = false;
    whenModal<PrintListDialog>([&listed](PrintListDialog *list) {
        auto *table = child<QTableWidget>(list, "tableWidget");
        clickButton(list, "pushButton_4");
        for (int row = 0; row < table->rowCount(); ++row) {
            QTableWidgetItem *item = table->item(row, 0);
            listed = listed || item->data(Qt::UserRole).toInt() == kTenant;
            if (item->data(Qt::UserRole).toInt() == kTenant || item->data(Qt::UserRole).toInt() == kNeighbour)
                item->setCheckState(Qt::Checked);
        }
        clickButton(list, "pushButton");
    });
    clickButton(editor.data(), "pushButton_4");
    QVERIFY(listed);
    QVERIFY(editor->isVisible());

    const QString printed = pdfText(pdf);
    QCOMPARE(pdfPages(pdf), 2);
    QVERIFY2(printed.contains(QStringLiteral("Dear Tom & Jerry <Smith>, rent due %1 by %2")
                                  .arg(money(1234.5), ShortDate::toText(QDate(2026, 4, 1)))),
             qPrintable(printed));
    QVERIFY2(printed.contains(QStringLiteral("Dear Nora Quill, rent due %1 by").arg(money(777.25))), qPrintable(printed));
    QCOMPARE(printed.count(QStringLiteral("Dear ")), 2);

    // The merged copies are never stored, and the editor keeps the letter as typed.
    QCOMPARE(text->toPlainText(), typed);
    QCOMPARE(t->copy.scalar(QStringLiteral("select body from letters where lid = 1")).toString(), stored);
    QCOMPARE(t->hub->reportQueryModel()->rowCount(), 0);
}

void TestLetters::tickListHoldsEveryTenantBeyondTheFirstBatch()
{
    QVERIFY(t->exec("execute block as declare i integer = 0; begin while (i < 300) do begin "
                    "insert into tenants (tid, id, firstname, lastname) values (20000 + :i, 'B' || :i, 'Bulk', :i); "
                    "i = i + 1; end end"));
    const int tenants = t->count(QStringLiteral("tenants"));
    QVERIFY(tenants > 300);

    QScopedPointer<LettersDialog> editor(openEditor(1));
    int listed = 0;
    whenModal<PrintListDialog>([&listed](PrintListDialog *list) {
        listed = child<QTableWidget>(list, "tableWidget")->rowCount();
        clickButton(list, "pushButton_2");
    });
    editor->printForTenants();
    QCOMPARE(listed, tenants);
    QVERIFY(!QFile::exists(pdf));
}

void TestLetters::previewShowsOneLetterPerTickedTenant()
{
    TiberneReport::setPdfOutputForTests(QString());
    QScopedPointer<LettersDialog> editor(openEditor(1));
    whenModal<PrintListDialog>([](PrintListDialog *list) {
        auto *table = child<QTableWidget>(list, "tableWidget");
        clickButton(list, "pushButton_4");
        for (int row = 0; row < table->rowCount(); ++row) {
            const int key = table->item(row, 0)->data(Qt::UserRole).toInt();
            if (key == kTenant || key == kNeighbour || key == kHomeless)
                table->item(row, 0)->setCheckState(Qt::Checked);
        }
        clickButton(list, "pushButton");
    });
    int pages = 0;
    whenModal<QPrintPreviewDialog>([&pages](QPrintPreviewDialog *preview) {
        auto *widget = preview->findChild<QPrintPreviewWidget *>();
        QTRY_VERIFY(widget->pageCount() > 0);
        pages = widget->pageCount();
        preview->reject();
    });
    editor->printForTenants();
    QCOMPARE(pages, 3);
    QVERIFY(!QFile::exists(pdf));
}

void TestLetters::toolsFollowTheCursorWithoutReformatting()
{
    QScopedPointer<LettersDialog> editor(openEditor(1));
    auto *text = child<QTextEdit>(editor.data(), "textEdit");
    auto *bold = child<QToolButton>(editor.data(), "boldtbtn");
    auto *center = child<QToolButton>(editor.data(), "textcenterbtn");
    for (const char *name : {"textleftbtn", "textrightbtn", "textjustifybtn", "textcenterbtn", "boldtbtn"})
        QVERIFY2(!child<QToolButton>(editor.data(), name)->icon().isNull(), name);

    text->clear();
    QTest::keyClicks(text, "plain ");
    QTest::mouseClick(bold, Qt::LeftButton);
    QTest::keyClicks(text, "strong");
    QVERIFY(bold->isChecked());
    QTest::mouseClick(center, Qt::LeftButton);

    QTextCursor cursor = text->textCursor();
    cursor.setPosition(2);
    text->setTextCursor(cursor);
    QVERIFY(!bold->isChecked());
    QVERIFY(center->isChecked());
    QVERIFY(!child<QToolButton>(editor.data(), "textleftbtn")->isChecked());

    // A selection over both words ends in the bold one: the tools show bold, the plain word stays plain.
    cursor.setPosition(0);
    cursor.setPosition(text->toPlainText().size(), QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    QVERIFY(bold->isChecked());
    cursor.setPosition(2);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
    cursor.setPosition(text->toPlainText().size());
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
}

QStringList TestLetters::customTitles(CustomLettersDialog *dialog)
{
    QStringList titles;
    QAbstractItemModel *model = child<QListView>(dialog, "listView")->model();
    for (int row = 0; row < model->rowCount(); ++row)
        titles << model->index(row, 0).data().toString();
    return titles;
}

void TestLetters::selectTitle(CustomLettersDialog *dialog, const QString &title)
{
    auto *list = child<QListView>(dialog, "listView");
    const QModelIndexList found = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, title, 1,
                                                       Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(title));
    list->setCurrentIndex(found.first());
}

void TestLetters::customLettersCreateRenameDelete()
{
    CustomLettersDialog dialog(t->hub);
    dialog.show();
    // The delivered renewal notice is listed with the demonstration office's own letter.
    QCOMPARE(customTitles(&dialog), (QStringList{"Lease Renewal Notice", "Notice of Entry"}));
    auto *line = child<QLineEdit>(&dialog, "lineEdit");

    QTest::keyClicks(line, "  Tenant's  Notice ");
    clickButton(&dialog, "pushButton");
    QCOMPARE(MsgBox::shownTexts(), QStringList());
    QCOMPARE(customTitles(&dialog), (QStringList{"Lease Renewal Notice", "Notice of Entry", "Tenant's  Notice"}));
    QVERIFY(line->text().isEmpty());
    QCOMPARE(t->count(QStringLiteral("letters where title = 'Tenant''s  Notice' and lid = 5 and body is null")), 1);

    QTest::keyClicks(line, "ANOTHER TENANT'S NOTICE");
    selectTitle(&dialog, QStringLiteral("Tenant's  Notice"));
    clickButton(&dialog, "pushButton_5");
    QCOMPARE(customTitles(&dialog), (QStringList{"ANOTHER TENANT'S NOTICE", "Lease Renewal Notice", "Notice of Entry"}));
    QCOMPARE(t->count(QStringLiteral("letters where title = 'ANOTHER TENANT''S NOTICE' and lid = 5")), 1);

    selectTitle(&dialog, QStringLiteral("ANOTHER TENANT'S NOTICE"));
    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(&dialog, "pushButton_3");
    QCOMPARE(t->count(QStringLiteral("letters where lid = 5")), 1);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(&dialog, "pushButton_3");
    QCOMPARE(t->count(QStringLiteral("letters where lid = 5")), 0);
    QCOMPARE(customTitles(&dialog), (QStringList{"Lease Renewal Notice", "Notice of Entry"}));

    // Select opens the letter in the editor over the list.
    selectTitle(&dialog, QStringLiteral("Notice of Entry"));
    whenModal<LettersDialog>([](LettersDialog *editor) { clickButton(editor, "pushButton_3"); });
    clickButton(&dialog, "pushButton_2");
    QCOMPARE(dialog.selectedLetterId(), 4);
    QVERIFY(dialog.isVisible());
}

void TestLetters::escapeAsksBeforeTypedTextIsLost_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer"); // to the question; 0: none may come
    QTest::newRow("unchanged") << "" << 0;
    QTest::newRow("typed, discarded") << "Call the office" << int(QMessageBox::Yes);
    QTest::newRow("typed, kept and saved") << "Call the office" << int(QMessageBox::No);
}

// Escape in the editor opened from the custom letters list.
void TestLetters::escapeAsksBeforeTypedTextIsLost()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    const QString before = t->copy.scalar(QStringLiteral("select body from letters where lid = 4")).toString();
    CustomLettersDialog dialog(t->hub);
    dialog.show();
    selectTitle(&dialog, QStringLiteral("Notice of Entry"));
    bool kept = false;
    whenModal<LettersDialog>([&](LettersDialog *editor) {
        auto *text = child<QTextEdit>(editor, "textEdit");
        QTest::keyClicks(text, typed);
        if (answer)
            MsgBox::setNextAnswer(QMessageBox::StandardButton(answer));
        QTest::keyClick(text, Qt::Key_Escape);
        kept = editor->isVisible() && text->toPlainText().contains(typed);
        if (kept) { // a saved letter then closes without a question
            clickButton(editor, "pushButton");
            QTest::keyClick(text, Qt::Key_Escape);
        }
    });
    clickButton(&dialog, "pushButton_2");
    const QString question = QStringLiteral("The letter has changes that are not saved. Do you want to discard them?");
    QCOMPARE(MsgBox::shownTexts(), answer ? QStringList{question} : QStringList());
    QCOMPARE(kept, answer == QMessageBox::No);
    QVERIFY(dialog.isVisible());
    const QString stored = t->copy.scalar(QStringLiteral("select body from letters where lid = 4")).toString();
    QCOMPARE(stored != before && stored.contains(typed), answer == QMessageBox::No);
}

void TestLetters::customLetterRefusals_data()
{
    QTest::addColumn<bool>("onlyFixed");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("titles");

    const QString exists = QStringLiteral("The title you entered already exists. Enter a new title!");
    const QString none = QStringLiteral("No Item has been selected!");
    const QStringList demo = {QStringLiteral("Lease Renewal Notice"), QStringLiteral("Notice of Entry")};
    QTest::newRow("create: taken in other case") << false << "NOTICE OF ENTRY" << "" << "pushButton" << exists << demo;
    QTest::newRow("create: taken, with a dotted capital I") << false << "NOTİCE OF ENTRY" << "" << "pushButton" << exists
                                                            << demo;
    QTest::newRow("create: a fixed letter's title") << false << "late rent and bills" << "" << "pushButton" << exists
                                                    << demo;
    QTest::newRow("create: blank") << false << "   " << "" << "pushButton" << "" << demo;
    QTest::newRow("rename: to a fixed letter's title") << false << "Rental agreement" << "Notice of Entry"
                                                       << "pushButton_5" << exists << demo;
    QTest::newRow("rename: own title in other case") << false << "notice of entry" << "Notice of Entry"
                                                     << "pushButton_5" << ""
                                                     << QStringList{"Lease Renewal Notice", "notice of entry"};
    // With only the letters the menu opens the list is empty and nothing can be current.
    QTest::newRow("rename: empty list") << true << "New" << "" << "pushButton_5" << none << QStringList();
    QTest::newRow("select: empty list") << true << "" << "" << "pushButton_2" << none << QStringList();
    QTest::newRow("delete: empty list") << true << "" << "" << "pushButton_3" << none << QStringList();
}

void TestLetters::customLetterRefusals()
{
    QFETCH(bool, onlyFixed);
    QFETCH(QString, typed);
    QFETCH(QString, select);
    QFETCH(QString, button);
    QFETCH(QString, message);
    QFETCH(QStringList, titles);

    if (onlyFixed)
        QVERIFY(t->exec("delete from letters where lid > 2"));
    const int letters = t->count(QStringLiteral("letters"));
    CustomLettersDialog dialog(t->hub);
    dialog.show();
    typeText(child<QLineEdit>(&dialog, "lineEdit"), typed);
    if (!select.isEmpty())
        selectTitle(&dialog, select);
    clickButton(&dialog, qPrintable(button));
    QCOMPARE(MsgBox::shownTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(customTitles(&dialog), titles);
    QCOMPARE(t->count(QStringLiteral("letters")), letters);
    QVERIFY(dialog.result() != QDialog::Accepted);
}

void TestLetters::refusedWritesKeepWindowTextAndList()
{
    QVERIFY(t->exec("create exception e_letters_locked 'letters are locked'"));
    QVERIFY(t->exec("create trigger letters_locked for letters before insert or update or delete as "
                    "begin exception e_letters_locked; end"));
    const QString unable = QStringLiteral("Unable to submit data");
    const QString before = t->copy.scalar(QStringLiteral("select body from letters where lid = 2")).toString();

    {
        QScopedPointer<LettersDialog> editor(openEditor(2));
        auto *text = child<QTextEdit>(editor.data(), "textEdit");
        text->clear();
        QTest::keyClicks(text, "A new agreement");
        clickButton(editor.data(), "pushButton_2");
        QCOMPARE(MsgBox::shownTexts(), QStringList{unable});
        QVERIFY(editor->isVisible());
        QCOMPARE(text->toPlainText(), QStringLiteral("A new agreement"));
        QCOMPARE(t->copy.scalar(QStringLiteral("select body from letters where lid = 2")).toString(), before);

        // Save and Print stops at the refused save: no tick list, nothing printed.
        MsgBox::clearShown();
        clickButton(editor.data(), "pushButton_4");
        QCOMPARE(MsgBox::shownTexts(), QStringList{unable});
        QVERIFY(!QFile::exists(pdf));
    }

    CustomLettersDialog dialog(t->hub);
    dialog.show();
    const QStringList demo = {QStringLiteral("Lease Renewal Notice"), QStringLiteral("Notice of Entry")};
    auto *line = child<QLineEdit>(&dialog, "lineEdit");

    MsgBox::clearShown();
    QTest::keyClicks(line, "Fresh");
    const int modelRows = t->hub->lettersModel()->rowCount();
    clickButton(&dialog, "pushButton");
    QCOMPARE(MsgBox::shownTexts(), QStringList{"Unable to create new custom letter!"});
    QCOMPARE(t->hub->lettersModel()->rowCount(), modelRows);
    QCOMPARE(customTitles(&dialog), demo);

    MsgBox::clearShown();
    selectTitle(&dialog, QStringLiteral("Notice of Entry"));
    clickButton(&dialog, "pushButton_5");
    QCOMPARE(MsgBox::shownTexts(), QStringList{unable});
    QCOMPARE(customTitles(&dialog), demo);
    QCOMPARE(t->count(QStringLiteral("letters where lid = 4 and title = 'Notice of Entry'")), 1);

    MsgBox::clearShown();
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(&dialog, "pushButton_3");
    QCOMPARE(MsgBox::shownTexts().last(), unable);
    QCOMPARE(customTitles(&dialog), demo);
    QCOMPARE(t->count(QStringLiteral("letters where lid = 4")), 1);
}

VELLORAN_TEST_MAIN(TestLetters)

#include "tst_letters.moc"
