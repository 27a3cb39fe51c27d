#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "money/depositsdialog.h"
#include "tenants/occupantdialog.h"
#include "tenants/petdialog.h"
#include "tenants/tenantdialog.h"
#include "tenants/vehicledialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTextEdit>

// The small editors and the deposit editor, driven on their own as the tenants page would.
class TestTenantEditors : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void parseCardExpiry_data();
    void parseCardExpiry();
    void vehicleNeedsAMakeAndReadsBackTrimmed();
    void petNeedsANameAndReadsBackTrimmed();
    void occupantChecks_data();
    void occupantChecks();
    void depositChecks_data();
    void depositChecks();
    void existingDepositOpensWithItsValues();
    void memoLongerThanItsColumnIsRefusedAndKept();

private:
    // Presses OK; true when the dialog closed accepted.
    static bool pressOk(QDialog *dialog)
    {
        dialogButton(dialog, QDialogButtonBox::Ok)->click();
        return !dialog->isVisible() && dialog->result() == QDialog::Accepted;
    }
};

void TestTenantEditors::init()
{
    Today::set(QDate(2026, 12, 9));
    MsgBox::setTestMode(true);
}

void TestTenantEditors::cleanup()
{
    MsgBox::setTestMode(false);
    Today::reset();
}

void TestTenantEditors::parseCardExpiry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("one-digit month") << "1/27" << QDate(2027, 1, 1);
    QTest::newRow("two-digit month") << "01/27" << QDate(2027, 1, 1);
    QTest::newRow("blanks around") << "  12/30 " << QDate(2030, 12, 1);
    QTest::newRow("year 2000") << "6/00" << QDate(2000, 6, 1);
    QTest::newRow("month 13") << "13/27" << QDate();
    QTest::newRow("month 0") << "0/27" << QDate();
    QTest::newRow("four-digit year") << "1/2027" << QDate();
    QTest::newRow("other separator") << "1-27" << QDate();
    QTest::newRow("three-digit month") << "123/27" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestTenantEditors::parseCardExpiry()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const QDate untouched(1999, 9, 9);
    QDate parsed = untouched;
    QString typed = text;
    QCOMPARE(TenantDialog::parseCardExpiry(parsed, typed), date.isValid());
    QCOMPARE(typed, text.trimmed());
    QCOMPARE(parsed, date.isValid() ? date : untouched);
    // What the editor shows for a stored month is what it reads back.
    if (date.isValid()) {
        QString shown = TenantDialog::cardExpiryText(date);
        QDate again;
        QVERIFY(TenantDialog::parseCardExpiry(again, shown) || date == QDate(2000, 1, 1));
    }
}

void TestTenantEditors::vehicleNeedsAMakeAndReadsBackTrimmed()
{
    VehicleDialog editor;
    editor.show();
    QCOMPARE(editor.windowTitle(), QString("Vehicle Form"));
    QTest::keyClicks(child<QLineEdit>(&editor, "make"), "   ");
    QTest::keyClicks(child<QLineEdit>(&editor, "model"), "Golf");
    QVERIFY(!pressOk(&editor));
    QCOMPARE(MsgBox::shownTexts(), QStringList("You have to enter at least the make of the vehicle!"));

    editor.setFields("  Volkswagen ", " Golf ", "");
    QVERIFY(pressOk(&editor));
    QString make, model, number;
    editor.readFields(make, model, number);
    QCOMPARE(make, QString("Volkswagen"));
    QCOMPARE(model, QString("Golf"));
    QCOMPARE(number, QString());
}

void TestTenantEditors::petNeedsANameAndReadsBackTrimmed()
{
    PetDialog editor;
    editor.show();
    editor.setName("", "  Indoor cat ");
    QVERIFY(!pressOk(&editor));
    QCOMPARE(MsgBox::shownTexts(), QStringList("You have to  enter a pet name!"));
    QTest::keyClicks(child<QLineEdit>(&editor, "pet"), " Mochi ");
    QVERIFY(pressOk(&editor));
    QString name, comment;
    editor.readFields(name, comment);
    QCOMPARE(name, QString("Mochi"));
    QCOMPARE(comment, QString("Indoor cat"));
}

void TestTenantEditors::occupantChecks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("dob");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QDate>("read");
    const QString today = ShortDate::toText(QDate(2026, 12, 9));
    QTest::newRow("today by default") << "Noah" << "<default>" << "" << QDate(2026, 12, 9);
    QTest::newRow("typed date") << "Noah" << ShortDate::toText(QDate(2014, 7, 15)) << "" << QDate(2014, 7, 15);
    QTest::newRow("name before date") << "  " << "nonsense" << "You have to  enter a name!" << QDate();
    QTest::newRow("other date format") << "Noah" << "2014-07-15" << "Enter a valid date of birth!" << QDate();
    QTest::newRow("no stored date") << "Noah" << "<null>" << "Enter a valid date of birth!" << QDate();
}

void TestTenantEditors::occupantChecks()
{
    QFETCH(QString, name);
    QFETCH(QString, dob);
    QFETCH(QString, message);
    QFETCH(QDate, read);
    OccupantDialog editor;
    editor.show();
    QCOMPARE(child<QLineEdit>(&editor, "dob")->text(), ShortDate::toText(QDate(2026, 12, 9)));
    if (dob == "<null>") {
        editor.setFields(name, "Son", "", QDate(), "");
        QCOMPARE(child<QLineEdit>(&editor, "dob")->text(), QString());
    } else {
        QTest::keyClicks(child<QLineEdit>(&editor, "name"), name);
        if (dob != "<default>")
            child<QLineEdit>(&editor, "dob")->setText(dob);
    }
    const bool accepted = pressOk(&editor);
    QCOMPARE(accepted, message.isEmpty());
    QCOMPARE(MsgBox::shownTexts(), message.isEmpty() ? QStringList() : QStringList(message));
    if (!accepted)
        return;
    QString readName, relationship, ssn, comment;
    QDate readDob;
    editor.readFields(readName, relationship, ssn, readDob, comment);
    QCOMPARE(readName, name.trimmed());
    QCOMPARE(readDob, read);
}

void TestTenantEditors::depositChecks_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message");
    const QString paid = ShortDate::toText(QDate(2026, 12, 1));
    QTest::newRow("accepted") << paid << "500" << int(QMessageBox::Yes) << "";
    QTest::newRow("zero amount passes") << paid << "0" << int(QMessageBox::Yes) << "";
    QTest::newRow("date in another format") << "2026-12-01" << "500" << -1 << "Enter a valid payment date!";
    QTest::newRow("empty amount") << paid << "" << -1 << "Enter a valid payment amount!";
    QTest::newRow("answered No") << paid << "500" << int(QMessageBox::No) << "Are you sure you want to submit data";
    QTest::newRow("below zero") << paid << "-500" << -1 << "\"-500\" is not an amount. Type amounts as in 1,234.50.";
}

void TestTenantEditors::depositChecks()
{
    QFETCH(QString, date);
    QFETCH(QString, amount);
    QFETCH(int, answer);
    QFETCH(QString, message);
    TestHub t;
    QVERIFY(t.opened);
    SqlDoubleTableModel *deposits = t.hub->depositsModel();
    deposits->setFilter("TID=9100");
    const int row = deposits->rowCount();
    QVERIFY(deposits->insertRows(row, 1));
    XDataSource::setCellValue(deposits, 1, row, 9100);

    DepositsDialog editor(t.hub, row);
    editor.show();
    QCOMPARE(child<QLineEdit>(&editor, "lineEdit")->text(), ShortDate::toText(QDate(2026, 12, 9)));
    QCOMPARE(child<QComboBox>(&editor, "comboBox")->currentText(), QString("Cash"));
    QCOMPARE(child<QLineEdit>(&editor, "lineEdit_2")->text(), QString());
    child<QLineEdit>(&editor, "lineEdit")->setText(date);
    QTest::keyClicks(child<QLineEdit>(&editor, "lineEdit_2"), amount);
    if (answer >= 0)
        MsgBox::setNextAnswer(QMessageBox::StandardButton(answer));
    const bool accepted = pressOk(&editor);
    if (message.isEmpty()) {
        QVERIFY(accepted);
        QCOMPARE(deposits->index(row, 3).data().toString(), QString::number(amount.toDouble(), 'f', 2));
        QCOMPARE(deposits->index(row, 2).data().toDate(), QDate(2026, 12, 1));
        QCOMPARE(deposits->index(row, 5).data().toString(), QString("Cash"));
        return;
    }
    QVERIFY(!accepted);
    QCOMPARE(MsgBox::shownTexts().last(), message);
    // Nothing reached the row; the typed amount is still there to correct.
    QVERIFY(deposits->index(row, 2).data().isNull());
    QCOMPARE(child<QLineEdit>(&editor, "lineEdit_2")->text(), amount);
    deposits->revertAll();
}

void TestTenantEditors::existingDepositOpensWithItsValues()
{
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(t.exec("insert into deposits (depid, tid, tdate, amount, memo, paymenttype) values "
                   "(9400, 1, date '2025-03-04', 1250.5, 'Key deposit', 'Credit Card')"));
    SqlDoubleTableModel *deposits = t.hub->depositsModel();
    deposits->setFilter("TID=1");
    int row = -1;
    for (int r = 0; r < deposits->rowCount(); ++r)
        if (deposits->index(r, 0).data().toInt() == 9400)
            row = r;
    QVERIFY(row >= 0);
    DepositsDialog editor(t.hub, row);
    QCOMPARE(child<QLineEdit>(&editor, "lineEdit")->text(), ShortDate::toText(QDate(2025, 3, 4)));
    QCOMPARE(child<QLineEdit>(&editor, "lineEdit_2")->text(), QString("1250.50"));
    QCOMPARE(child<QComboBox>(&editor, "comboBox")->currentText(), QString("Credit Card"));
    QCOMPARE(child<QTextEdit>(&editor, "textEdit")->toPlainText(), QString("Key deposit"));
}

void TestTenantEditors::memoLongerThanItsColumnIsRefusedAndKept()
{
    TestHub t;
    QVERIFY(t.opened);
    SqlDoubleTableModel *deposits = t.hub->depositsModel();
    const int row = deposits->rowCount();
    QVERIFY(deposits->insertRows(row, 1));
    XDataSource::setCellValue(deposits, 1, row, 9100);
    XDataSource::setCellValue(deposits, 3, row, 500);
    DepositsDialog editor(t.hub, row);
    editor.show();
    // The memo column holds a thousand characters; a plain-text field takes any number.
    const QString memo(1001, QLatin1Char('m'));
    child<QTextEdit>(&editor, "textEdit")->setPlainText(memo);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(!pressOk(&editor));
    QCOMPARE(MsgBox::shownTexts().last(), QString("The text is too long: this field holds at most 1000 characters."));
    QCOMPARE(child<QTextEdit>(&editor, "textEdit")->toPlainText(), memo);
    QVERIFY(deposits->index(row, 4).data().isNull());
    deposits->revertAll();
}

VELLORAN_TEST_MAIN(TestTenantEditors)
#include "tst_tenanteditors.moc"
