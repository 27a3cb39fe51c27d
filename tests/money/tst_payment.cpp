#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "money/addchargedialog.h"
#include "money/editpaymentdialog.h"
#include "money/paymentdialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QListView>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QSqlRecord>
#include <QTableView>

// Tenant 9600 holds apartment 9601 in Elm Court and owes rent and water; tenant 9605 holds no
// apartment any more but still owes one charge.
static const char *const fixture[] = {
    "insert into owners (oid, code, name) values (9690, 'EOWN', 'Eve Owner')",
    "insert into buildings (buildid, description, oid) values (9620, 'Elm Court', 9690)",
    "insert into tenants (tid, id, firstname, lastname, address, city, state, postalcode, tel) values "
    "(9600, 'T-PP', 'Pat', 'Payer', '1 Elm St', 'Oakton', 'ON', 'K1A 0B1', '555-0100')",
    "insert into tenants (tid, id, firstname, lastname, city) values (9605, 'T-GONE', 'Gus', 'Gone', 'Leftville')",
    "insert into apartments (apid, tid, bid, suite, rent, agreeid) values (9601, 9600, 9620, 'E-1', 800, -1)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9611, 9600, 9601, 'Rent', 800, 0, '2021-06-01', 0, 800, 0, 0, '', 0)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9612, 9600, 9601, 'Water', 40, 0, '2021-05-20', 0, 40, 0, 0, '', 0)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9613, 9600, 9601, 'Rent', 0, 0, '2021-05-01', 800, 800, 0, 0, '', 0)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9615, 9605, null, 'Parking', 30, 30, '2021-05-01', 0, 30, 0, 0, '', 0)",
};

class TestPayment : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadShowsTenantAndOpenCharges();
    void paymentIsStoredOnce();
    void cashbookEntriesFollowTheTypes_data();
    void cashbookEntriesFollowTheTypes();
    void newTypeCategoryIsFoundAgainWhateverTheCase();
    void paymentRefusals_data();
    void paymentRefusals();
    void tenantWithoutApartmentPaysWithoutOne();
    void failedCommitThenSecondOkBooksNothingTwice();
    void failedWriteStoresNothing();
    void amountFieldsTakeOnlyWhatTheyRead();
    void appliedAmountLimits_data();
    void appliedAmountLimits();
    void leavingWithoutStoringPutsAppliedAmountsAndMemosBack_data();
    void leavingWithoutStoringPutsAppliedAmountsAndMemosBack();
    void deletingAPaidChargeIsRefused();
    void oneTimeChargeIsAdded();
    void oneTimeChargeForAnApartmentLetSinceStart();
    void oneTimeChargeRefusals_data();
    void oneTimeChargeRefusals();
    void deleteAsksFirst();
    void chargeAhead_data();
    void chargeAhead();
    void oneTimeChargeOnADueDayLeavesTheBillItsPeriod();
    void commaDesktopPaysWithOnlyCashTyped();

private:
    PaymentDialog *openFor(int tid);
    QTableView *grid() { return child<QTableView>(dialog, "tableView"); }
    void selectCharge(int chid);
    void setApplied(int chid, const QString &paying, const QString &memo = QString());
    void pay(const char *field, const QString &amount);
    void pressOk() { dialogButton(dialog, QDialogButtonBox::Ok)->click(); }
    QString label(const char *name) { return child<QLabel>(dialog, name)->text(); }
    QVariant scalar(const QString &sql) { return t->copy.scalar(sql); }
    // Tenant 9600's lease of 9601 from 1 May 2021 to `end`, at the rent his two rent charges were for.
    void lease(const QString &end);
    QString fields(const QString &columns, const QString &from);

    TestHub *t = nullptr;
    PaymentDialog *dialog = nullptr;
};

void TestPayment::init()
{
    Today::set(QDate(2021, 6, 10));
    t = new TestHub;
    QVERIFY(t->opened);
    for (const char *sql : fixture)
        QVERIFY(t->exec(sql));
    t->hub->chargesModel()->select();
}

void TestPayment::lease(const QString &end)
{
    QVERIFY(t->exec(QStringLiteral("insert into agreements (rid, tid, apid, rent, freq, leasestart, nextdate, leaseend) "
                                   "values (9640, 9600, 9601, 800, 3, '2021-05-01', '2021-05-01', '%1')")
                        .arg(end)));
    QVERIFY(t->exec("update apartments set agreeid = 9640 where apid = 9601"));
    QVERIFY(t->exec(QStringLiteral("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, "
                                   "perday, tid, completed, apid, leaserent) values (9649, 'Rent', 800, 0, 3, "
                                   "'2021-07-01', '2021-05-01', '%1', 0, 9600, 0, 9601, 1)")
                        .arg(end)));
    QVERIFY(t->exec("update charges set recid = 9649, rid = 9640, lastday = dateadd(-1 day to dateadd(1 month to "
                    "fordate)) where chid in (9611, 9613)"));
}

void TestPayment::cleanup()
{
    delete dialog;
    dialog = nullptr;
    delete t;
    Today::reset();
    QLocale::setDefault(QLocale::system());
}

PaymentDialog *TestPayment::openFor(int tid)
{
    delete dialog;
    dialog = new PaymentDialog(t->hub);
    dialog->loadTenant(tid);
    dialog->show();
    return dialog;
}

void TestPayment::selectCharge(int chid)
{
    selectRow(grid(), 0, chid, 3);
    QCOMPARE(grid()->currentIndex().sibling(grid()->currentIndex().row(), 0).data().toInt(), chid);
}

// Sets how much of a charge the payment pays, through the applied-amount editor.
void TestPayment::setApplied(int chid, const QString &paying, const QString &memo)
{
    selectCharge(chid);
    ModalDriver driver;
    driver.ok([&](QDialog *editor) {
        auto *field = child<QLineEdit>(editor, "paying");
        field->clear();
        QTest::keyClicks(field, paying);
        if (!memo.isNull())
            child<QPlainTextEdit>(editor, "memo")->setPlainText(memo);
    });
    clickButton(dialog, "pushButton_4");
    QCOMPARE(driver.handled, 1);
    QCOMPARE(driver.stayedOpen, 0);
}

// The named columns of the one row selected, joined by '/', money with two decimals, null as nothing.
QString TestPayment::fields(const QString &columns, const QString &from)
{
    static const QStringList money = {"paytotal", "applied", "duetotal", "cash", "mycheck", "ccard", "amt",
                                      "paid", "amount", "income", "expense", "origamount"};
    QStringList parts;
    for (const QString &column : columns.split(' '))
        parts << QString("coalesce(cast(%1 as varchar(200)), '')")
                     .arg(money.contains(column) ? QString("cast(%1 as numeric(12,2))").arg(column) : column);
    return scalar(QString("select %1 from %2").arg(parts.join("||'/'||"), from)).toString();
}

void TestPayment::pay(const char *field, const QString &amount)
{
    auto *edit = child<QLineEdit>(dialog, field);
    edit->clear();
    QTest::keyClicks(edit, amount);
    // As when the clerk leaves the field (Return would also press the dialog's default button, OK).
    emit edit->editingFinished();
}

void TestPayment::loadShowsTenantAndOpenCharges()
{
    openFor(9600);
    QCOMPARE(dialog->windowTitle(), QString("Collect Rent"));
    QCOMPARE(child<QLineEdit>(dialog, "name")->text(), QString("Pat Payer"));
    QCOMPARE(child<QLineEdit>(dialog, "city")->text(), QString("Oakton, K1A 0B1"));
    QCOMPARE(child<QLineEdit>(dialog, "datePaid")->text(), ShortDate::toText(QDate(2021, 6, 10)));
    QCOMPARE(child<QListView>(dialog, "suites")->model()->index(0, 0).data().toString(), QString("Elm Court - E-1"));
    // Only what is still owed, earliest first.
    QCOMPARE(grid()->model()->rowCount(), 2);
    QCOMPARE(grid()->model()->index(0, 0).data().toInt(), 9612);
    QCOMPARE(grid()->model()->index(1, 0).data().toInt(), 9611);
    QCOMPARE(label("totalDue"), QString("840.00"));
    QCOMPARE(label("paymentsApplied"), QString("0.00"));

    QCOMPARE(grid()->model()->index(0, 2).data().toString(), QString("E-1"));

    openFor(9605);
    QCOMPARE(child<QLineEdit>(dialog, "city")->text(), QString("Leftville"));
    QCOMPARE(child<QListView>(dialog, "suites")->model()->rowCount(), 0);
}

void TestPayment::paymentIsStoredOnce()
{
    openFor(9600);
    setApplied(9611, "60", "first part\nrest next week");
    setApplied(9612, "40");
    // The amounts are kept with the charges at once, before any payment is stored.
    QCOMPARE(scalar("select applied from charges where chid = 9611").toDouble(), 60.0);
    QCOMPARE(scalar("select memo from charges where chid = 9611").toString(), QString("first part\nrest next week"));
    QCOMPARE(label("paymentsApplied"), QString("100.00"));

    pay("cash", "100");
    QCOMPARE(child<QLineEdit>(dialog, "total")->text(), QString("100.00"));
    QCOMPARE(label("paying"), QString("100.00"));
    child<QLineEdit>(dialog, "checknum")->setText("  ");
    pressOk();
    QVERIFY2(MsgBox::shownTexts().isEmpty(), qPrintable(MsgBox::shownTexts().join('|')));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));

    QCOMPARE(t->count("trans where tid = 9600"), 1);
    const int transid = scalar("select transid from trans where tid = 9600").toInt();
    QCOMPARE(fields("paytotal applied duetotal cash mycheck ccard apid tdate checkn", "trans where tid = 9600"),
             QString("100.00/100.00/840.00/100.00/0.00/0.00/9601/2021-06-10/"));

    QCOMPARE(fields("amt paid applied", "charges where chid = 9611"), QString("740.00/60.00/0.00"));
    QCOMPARE(fields("amt paid applied", "charges where chid = 9612"), QString("0.00/40.00/0.00"));

    QCOMPARE(t->count(QString("payments where transid = %1").arg(transid)), 2);
    QCOMPARE(fields("amount type fordate datepaid accid", QString("payments where transid = %1 and chid = 9611").arg(transid)),
             QString("60.00/Rent/2021-06-01/2021-06-10/0"));
    QCOMPARE(fields("amount type fordate", QString("payments where transid = %1 and chid = 9612").arg(transid)),
             QString("40.00/Water/2021-05-20"));

    QCOMPARE(t->count(QString("cashbook where transid = %1").arg(transid)), 2);
    QCOMPARE(fields("catid description income expense vid apid tdate",
                    QString("cashbook where transid = %1 and catid = 5").arg(transid)),
             QString("5/Payment Collected: Rent/60.00/0.00/-1/9601/2021-06-10"));
    QCOMPARE(fields("description income", QString("cashbook where transid = %1 and catid = 11").arg(transid)),
             QString("Payment Collected: Water/40.00"));

    // The shared models show what was stored, with nothing left pending.
    QVERIFY(!t->hub->chargesModel()->isDirty());
    QVERIFY(!t->hub->transModel()->isDirty());
    QVERIFY(!t->hub->cashbookModel()->isDirty());
}

void TestPayment::cashbookEntriesFollowTheTypes_data()
{
    QTest::addColumn<QString>("secondType");
    QTest::addColumn<int>("entries");
    QTest::addColumn<double>("rentIncome");
    QTest::newRow("two charges of one type") << "Rent" << 1 << 100.0;
    QTest::newRow("two types") << "Water" << 2 << 60.0;
    // Types that differ only in case are summed apart but land in the one category.
    QTest::newRow("same type in other case") << "RENT" << 2 << 60.0;
    // Qt lowers a dotted capital I to two characters, the engine to one: Parking's category is found.
    QTest::newRow("another type, with a dotted capital I") << "PARKİNG" << 2 << 60.0;
}

void TestPayment::cashbookEntriesFollowTheTypes()
{
    QFETCH(QString, secondType);
    QFETCH(int, entries);
    QFETCH(double, rentIncome);

    QVERIFY(t->exec(QString("update charges set type = '%1', applied = 40 where chid = 9612").arg(secondType)));
    QVERIFY(t->exec("update charges set applied = 60 where chid = 9611"));
    const int categories = t->count("categories");
    openFor(9600);
    pay("check", "100");
    pressOk();
    QVERIFY2(MsgBox::shownTexts().isEmpty(), qPrintable(MsgBox::shownTexts().join('|')));

    QCOMPARE(t->count("cashbook where transid is not null and apid = 9601"), entries);
    QCOMPARE(scalar("select sum(income) from cashbook where apid = 9601").toDouble(), 100.0);
    QCOMPARE(scalar("select income from cashbook where apid = 9601 and description = 'Payment Collected: Rent'").toDouble(),
             rentIncome);
    QCOMPARE(t->count("categories"), categories);
    QCOMPARE(scalar("select count(distinct catid) from cashbook where apid = 9601").toInt(),
             QStringList({"Rent", "RENT"}).contains(secondType) ? 1 : 2);
}

void TestPayment::newTypeCategoryIsFoundAgainWhateverTheCase()
{
    const int categories = t->count("categories");
    QVERIFY(t->exec("update charges set type = 'Owner''s Pool', applied = 40 where chid = 9612"));
    openFor(9600);
    pay("creditcard", "40");
    pressOk();
    QVERIFY2(MsgBox::shownTexts().isEmpty(), qPrintable(MsgBox::shownTexts().join('|')));
    QCOMPARE(t->count("categories"), categories + 1);
    QCOMPARE(fields("name description type", "categories where name = 'Owner''s Pool'"),
             QString("Owner's Pool/Owner's Pool/1"));
    const int category = scalar("select catid from categories where name = 'Owner''s Pool'").toInt();
    QCOMPARE(scalar("select catid from cashbook where description = 'Payment Collected: Owner''s Pool'").toInt(), category);

    QVERIFY(t->exec("insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) "
                    "values (9619, 9600, 9601, 'OWNER''S POOL', 25, 25, '2021-06-05', 0, 25)"));
    openFor(9600);
    pay("cash", "25");
    pressOk();
    QVERIFY2(MsgBox::shownTexts().isEmpty(), qPrintable(MsgBox::shownTexts().join('|')));
    QCOMPARE(t->count("categories"), categories + 1);
    QCOMPARE(scalar("select catid from cashbook where description = 'Payment Collected: OWNER''S POOL'").toInt(), category);
}

void TestPayment::paymentRefusals_data()
{
    QTest::addColumn<QString>("cash");
    QTest::addColumn<QString>("datePaid");
    QTest::addColumn<QString>("message");
    const QString today = ShortDate::toText(QDate(2021, 6, 10));
    QTest::newRow("nothing paid") << "0" << today << "You aren't paying any amount!";
    QTest::newRow("more than applied") << "100" << today
                                       << "The amount you are paying must be equal to total payments applied!";
    QTest::newRow("less than applied") << "89.99" << today
                                       << "The amount you are paying must be equal to total payments applied!";
    QTest::newRow("not a date") << "90" << "2021-06-10x" << "Enter a valid date into the 'Date Paid' field!";
    QTest::newRow("empty date") << "90" << "" << "Enter a valid date into the 'Date Paid' field!";
    QTest::newRow("blanks round a good date") << "90" << "  " + today + " " << "";
}

void TestPayment::paymentRefusals()
{
    QFETCH(QString, cash);
    QFETCH(QString, datePaid);
    QFETCH(QString, message);

    QVERIFY(t->exec("update charges set applied = 90 where chid = 9611"));
    openFor(9600);
    child<QLineEdit>(dialog, "datePaid")->setText(datePaid);
    pay("cash", cash);
    pressOk();
    if (message.isEmpty()) {
        QCOMPARE(MsgBox::shownTexts(), QStringList());
        QCOMPARE(t->count("trans where tid = 9600"), 1);
        return;
    }
    QCOMPARE(MsgBox::shownTexts(), QStringList{message});
    QVERIFY(dialog->isVisible());
    QCOMPARE(child<QLineEdit>(dialog, "cash")->text(), cash);
    QCOMPARE(t->count("trans where tid = 9600"), 0);
    QCOMPARE(scalar("select amt from charges where chid = 9611").toDouble(), 800.0);
}

void TestPayment::tenantWithoutApartmentPaysWithoutOne()
{
    openFor(9605);
    pay("cash", "30");
    pressOk();
    QVERIFY2(MsgBox::shownTexts().isEmpty(), qPrintable(MsgBox::shownTexts().join('|')));
    QCOMPARE(scalar("select apid from trans where tid = 9605").toInt(), -1);
    QCOMPARE(scalar("select c.apid from cashbook c inner join trans t on t.transid = c.transid where t.tid = 9605").toInt(), -1);
    QCOMPARE(scalar("select amt from charges where chid = 9615").toDouble(), 0.0);
}

void TestPayment::failedCommitThenSecondOkBooksNothingTwice()
{
    // The engine refuses to commit any transaction that holds a payment of this tenant, until the
    // trigger goes.
    QVERIFY(t->exec("create exception e_hold_payment 'payments are held'"));
    QVERIFY(t->exec("create trigger hold_payment on transaction commit as begin "
                    "if (exists(select 1 from trans where tid = 9600)) then exception e_hold_payment; end"));
    QVERIFY(t->exec("update charges set applied = 60 where chid = 9611"));
    QVERIFY(t->exec("update charges set applied = 40 where chid = 9612"));
    openFor(9600);
    pay("cash", "100");
    pressOk();
    QCOMPARE(MsgBox::shownTexts(), QStringList{"Error storing payment information. Unable to commit transaction."});
    QVERIFY(dialog->isVisible());
    QCOMPARE(t->count("trans where tid = 9600"), 0);
    QCOMPARE(label("paymentsApplied"), QString("100.00"));
    QCOMPARE(label("totalDue"), QString("840.00"));

    QVERIFY(!t->hub->chargesModel()->isDirty());

    // The driver lets go of a transaction whose commit failed, and the engine keeps it (with its
    // locks on the charges) until the connection ends, so the second OK may be refused as well.
    // Whatever it does, the cashbook never holds money that was not taken off the charges.
    QVERIFY(t->exec("drop trigger hold_payment"));
    MsgBox::clearShown();
    pressOk();
    QVERIFY(t->count("trans where tid = 9600") <= 1);
    const double booked = scalar("select coalesce(sum(income), 0) from cashbook where apid = 9601").toDouble();
    QCOMPARE(booked, scalar("select sum(paid) from charges where chid in (9611, 9612)").toDouble());
    QCOMPARE(booked, scalar("select coalesce(sum(amount), 0) from payments where chid in (9611, 9612)").toDouble());
    QVERIFY2(booked == 0.0 || booked == 100.0, qPrintable(QString::number(booked)));
}

void TestPayment::failedWriteStoresNothing()
{
    // The cashbook refuses the Water entry after the TRANS row, both charges and both payment lines
    // were written.
    QVERIFY(t->exec("alter table cashbook add constraint no_water_income check (description <> 'Payment Collected: Water')"));
    QVERIFY(t->exec("update charges set applied = 60 where chid = 9611"));
    QVERIFY(t->exec("update charges set applied = 40 where chid = 9612"));
    openFor(9600);
    pay("cash", "100");
    pressOk();
    QCOMPARE(MsgBox::shownTexts(), QStringList{"Error storing payment information. Error occured"});
    QVERIFY(!dialog->isVisible());
    QCOMPARE(t->count("trans where tid = 9600"), 0);
    QCOMPARE(t->count("payments where chid in (9611, 9612)"), 0);
    QCOMPARE(t->count("cashbook where apid = 9601"), 0);
    QCOMPARE(fields("amt paid applied", "charges where chid = 9611"), QString("800.00/0.00/60.00"));
    QVERIFY(!t->hub->chargesModel()->isDirty());
    QVERIFY(!t->hub->transModel()->isDirty());
}

void TestPayment::amountFieldsTakeOnlyWhatTheyRead()
{
    openFor(9600);
    // A comma is no decimal sign here: the text stays for the clerk to correct, OK says why and stores
    // nothing, so nothing is read as 0 or as a hundred times itself.
    pay("cash", "12,5");
    pay("check", "3");
    pay("creditcard", "0.5");
    QCOMPARE(child<QLineEdit>(dialog, "cash")->text(), QString("12,5"));
    pressOk();
    QVERIFY(dialog->isVisible());
    QCOMPARE(MsgBox::shownTexts(), QStringList("\"12,5\" is not an amount. Type amounts as in 1,234.50."));
    QCOMPARE(t->count("trans where tid = 9600"), 0);

    // On a German desktop the comma is the decimal sign and a point groups the thousands.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    pay("cash", "1.312,5");
    pay("check", "12,50");
    pay("creditcard", "0,5");
    QCOMPARE(child<QLineEdit>(dialog, "total")->text(), QString("1325,50"));
}

void TestPayment::appliedAmountLimits_data()
{
    QTest::addColumn<QString>("paying");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("stored");
    QTest::newRow("the whole amount due") << "40.00" << true << 40.0;
    QTest::newRow("a cent more") << "40.01" << false << 0.0;
    QTest::newRow("empty is nothing") << "" << true << 0.0;
}

void TestPayment::appliedAmountLimits()
{
    QFETCH(QString, paying);
    QFETCH(bool, accepted);
    QFETCH(double, stored);

    QVERIFY(t->exec("update charges set applied = 5 where chid = 9612"));
    EditPaymentDialog editor;
    editor.setValues(5, "memo", 40.0);
    auto *field = child<QLineEdit>(&editor, "paying");
    QCOMPARE(field->text(), QString("5.00"));
    field->setText(paying);
    editor.show();
    dialogButton(&editor, QDialogButtonBox::Ok)->click();
    QCOMPARE(editor.isVisible(), !accepted);
    QCOMPARE(MsgBox::shownTexts().isEmpty(), accepted);
    if (!accepted) {
        QCOMPARE(MsgBox::shownTexts(), QStringList{"The amount you are paying cannot be greater than the amount due!"});
        return;
    }
    double value = -1;
    QString memo;
    editor.values(value, memo);
    QCOMPARE(value, stored);
    QCOMPARE(memo, QString("memo"));
}

void TestPayment::leavingWithoutStoringPutsAppliedAmountsAndMemosBack_data()
{
    QTest::addColumn<QString>("leave");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("window's close button") << "close";
}

void TestPayment::leavingWithoutStoringPutsAppliedAmountsAndMemosBack()
{
    QFETCH(QString, leave);
    // An amount applied and a memo written before this visit are what the visit found, and what it leaves.
    QVERIFY(t->exec("update charges set applied = 5, memo = 'from May' where chid = 9611"));
    openFor(9600);
    setApplied(9612, "15.5", "water\nto check");
    setApplied(9611, "20");
    setApplied(9611, "30", "kept note");
    QCOMPARE(fields("applied memo", "charges where chid = 9611"), QString("30.00/kept note"));
    if (leave == "cancel")
        dialogButton(dialog, QDialogButtonBox::Cancel)->click();
    else if (leave == "escape")
        QTest::keyClick(dialog, Qt::Key_Escape);
    else
        dialog->close();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(MsgBox::shownTexts(), QStringList());
    QCOMPARE(fields("applied amt paid memo", "charges where chid = 9612"), QString("0.00/40.00/0.00/"));
    QCOMPARE(fields("applied amt paid memo", "charges where chid = 9611"), QString("5.00/800.00/0.00/from May"));
    QCOMPARE(t->count("trans where tid = 9600"), 0);

    openFor(9600);
    QCOMPARE(label("paymentsApplied"), QString("5.00"));
}

void TestPayment::deletingAPaidChargeIsRefused()
{
    // Charge 9611 was paid 100.00 of its 800.00 by an earlier payment.
    QVERIFY(t->exec("update charges set amt = 700, paid = 100 where chid = 9611"));
    QVERIFY(t->exec("insert into trans (transid, tdate, tid, apid, cash, paytotal, duetotal, applied) values "
                    "(9680, '2021-06-02', 9600, 9601, 100, 100, 840, 100)"));
    QVERIFY(t->exec("insert into payments (transid, chid, amount, type, fordate, datepaid, accid) values "
                    "(9680, 9611, 100, 'Rent', '2021-06-01', '2021-06-02', 0)"));
    openFor(9600);
    selectCharge(9611);
    // Refused before any question: a question nobody queued an answer for would stop the test.
    clickButton(dialog, "pushButton_2");
    QCOMPARE(MsgBox::shownTexts(), QStringList{"Payments have been made on this charge, so it cannot be deleted. "
                                               "Void the payment in the payment history first."});
    QCOMPARE(t->count("charges where chid = 9611"), 1);
    QCOMPARE(t->count("payments p inner join charges c on c.chid = p.chid where p.transid = 9680"), 1);
    QCOMPARE(grid()->model()->rowCount(), 2);
    QCOMPARE(label("totalDue"), QString("740.00"));
}

void TestPayment::oneTimeChargeIsAdded()
{
    openFor(9600);
    // The categories window behind "New..." is the cashbook's.
    t->hub->setCanUseCashbook(true);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    QString listTitle;
    driver.ok([](QDialog *editor) {
        QCOMPARE(editor->windowTitle(), QString("Add One Time Charge"));
        clickButton(editor, "pushButton");
        child<QComboBox>(editor, "type")->setCurrentText("Laundry");
        auto *amount = child<QLineEdit>(editor, "amount");
        amount->clear();
        QTest::keyClicks(amount, "75");
        QCOMPARE(child<QComboBox>(editor, "suite")->currentText(), QString("Elm Court - E-1"));
    });
    // "New..." beside the type opens the categories list.
    driver.cancel([&](QDialog *categories) { listTitle = categories->windowTitle(); });
    clickButton(dialog, "pushButton");
    QCOMPARE(listTitle, QString("Cashbook Categories"));
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(MsgBox::shownTexts(), QStringList{"Are you sure you want to submit data"});

    QCOMPARE(t->count("charges where tid = 9600 and type = 'Laundry'"), 1);
    QCOMPARE(fields("apid amt origamount applied paid fordate lfd", "charges where tid = 9600 and type = 'Laundry'"),
             QString("9601/75.00/75.00/0.00/0.00/2021-06-10/0"));
    QVERIFY(scalar("select chid from charges where tid = 9600 and type = 'Laundry'").toInt() > 0);
    QCOMPARE(grid()->model()->rowCount(), 3);
    QCOMPARE(grid()->model()->index(2, 3).data().toString(), QString("Laundry"));
    QCOMPARE(label("totalDue"), QString("915.00"));
}

void TestPayment::oneTimeChargeForAnApartmentLetSinceStart()
{
    // The start-up charge run has put an apartment into a charge row, so the charges model knows
    // the apartments of that moment only.
    QSqlDoubleRelationalTableModel *charges = t->hub->chargesModel();
    QVERIFY(charges->insertRows(charges->rowCount(), 1));
    QVERIFY(XDataSource::setCellValue(charges, 2, charges->rowCount() - 1, 9601));
    charges->revertAll();
    QVERIFY(t->exec("insert into apartments (apid, tid, bid, suite, rent, agreeid) values (9602, 9600, 9620, 'E-2', 600, -1)"));

    openFor(9600);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    driver.ok([](QDialog *editor) {
        child<QLineEdit>(editor, "amount")->setText("20");
        child<QComboBox>(editor, "suite")->setCurrentText("Elm Court - E-2");
    });
    clickButton(dialog, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(scalar("select apid from charges where tid = 9600 and amt = 20").toInt(), 9602);
}

void TestPayment::oneTimeChargeRefusals_data()
{
    QTest::addColumn<int>("tenant");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("billed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message");
    const QString today = ShortDate::toText(QDate(2021, 6, 10));
    QTest::newRow("blank amount") << 9600 << "  " << today << 0 << "The amount field cannot be blank";
    QTest::newRow("date in another format") << 9600 << "10" << "2021-06-10" << 0
                                            << "The date you have enetered is not valid!";
    QTest::newRow("no apartment to bill") << 9605 << "10" << today << 0 << "Select the suite/apartment the charge is for";
    QTest::newRow("not sure") << 9600 << "10" << today << int(QMessageBox::No) << "Are you sure you want to submit data";
    QTest::newRow("cancelled") << 9600 << "12" << today << 0 << "";
}

void TestPayment::oneTimeChargeRefusals()
{
    QFETCH(int, tenant);
    QFETCH(QString, amount);
    QFETCH(QString, billed);
    QFETCH(int, answer);
    QFETCH(QString, message);

    const int before = t->count("charges");
    openFor(tenant);
    if (answer)
        MsgBox::setNextAnswer(QMessageBox::StandardButton(answer));
    const auto fill = [&](QDialog *editor) {
        child<QLineEdit>(editor, "amount")->setText(amount);
        child<QLineEdit>(editor, "fordate")->setText(billed);
    };
    ModalDriver driver;
    if (message.isEmpty())
        driver.cancel(fill);
    else
        driver.ok(fill);
    clickButton(dialog, "pushButton");
    // A refused editor stays open until the driver cancels it; either way nothing is left behind.
    QCOMPARE(driver.stayedOpen, message.isEmpty() ? 0 : 1);
    QCOMPARE(MsgBox::shownTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(t->count("charges"), before);
    QVERIFY(!t->hub->chargesModel()->isDirty());
    QCOMPARE(grid()->model()->rowCount(), tenant == 9600 ? 2 : 1);
    QCOMPARE(label("totalDue"), tenant == 9600 ? QString("840.00") : QString("30.00"));
}

void TestPayment::deleteAsksFirst()
{
    openFor(9600);
    grid()->setCurrentIndex(QModelIndex());
    clickButton(dialog, "pushButton_2");
    QCOMPARE(MsgBox::shownTexts(), QStringList{"You haven't selected a valid record"});

    MsgBox::clearShown();
    selectCharge(9612);
    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(dialog, "pushButton_2");
    QCOMPARE(t->count("charges where chid = 9612"), 1);

    selectCharge(9612);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(dialog, "pushButton_2");
    QCOMPARE(t->count("charges where chid = 9612"), 0);
    QCOMPARE(grid()->model()->rowCount(), 1);
    QCOMPARE(label("totalDue"), QString("800.00"));
}

void TestPayment::chargeAhead_data()
{
    QTest::addColumn<bool>("leased");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("rows");
    QTest::newRow("weekly bill up to its end") << true << "" << "" << 4;
    QTest::newRow("no lease, no open bill") << false << "" << "" << 2;
    QTest::newRow("posting refused") << true << "type <> 'Pool'" << "Error charging ahead. Exception occured" << 2;
}

void TestPayment::chargeAhead()
{
    QFETCH(bool, leased);
    QFETCH(QString, refusal);
    QFETCH(QString, message);
    QFETCH(int, rows);

    // The pool's end is the clerk's, before the lease's.
    if (leased)
        lease("2021-06-30");
    QVERIFY(t->exec("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, "
                    "completed, apid, clerkend) values (9650, 'Pool', 15, 0, 5, '2021-06-01', '2021-06-01', '2021-06-10', "
                    "0, 9600, 0, 9601, '2021-06-10')"));
    if (!refusal.isEmpty())
        QVERIFY(t->exec("alter table charges add constraint refuse_ahead check (" + refusal + ")"));
    openFor(9600);
    ModalDriver driver;
    driver.ok([](QDialog *ask) { child<QSpinBox>(ask, "spinBox")->setValue(3); });
    clickButton(dialog, "pushButton_3");
    QCOMPARE(driver.handled, 1);
    QCOMPARE(MsgBox::shownTexts(), message.isEmpty() ? QStringList() : QStringList{message});

    QCOMPARE(grid()->model()->rowCount(), rows);
    const bool posted = rows > 2;
    QCOMPARE(t->count("charges where tid = 9600 and type = 'Pool'"), posted ? 2 : 0);
    QCOMPARE(scalar("select nextdate from recur where recid = 9650").toDate(), posted ? QDate(2021, 6, 15) : QDate(2021, 6, 1));
    QCOMPARE(scalar("select completed from recur where recid = 9650").toInt(), posted ? 1 : 0);
    QCOMPARE(label("totalDue"), posted ? QString("870.00") : QString("840.00"));
}

// A visitor's parking permit charged on the day the parking bill falls due is a charge of its own:
// charging ahead still bills that day's parking.
void TestPayment::oneTimeChargeOnADueDayLeavesTheBillItsPeriod()
{
    lease("2022-06-30");
    QVERIFY(t->exec("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, "
                    "completed, apid) values (9650, 'Parking', 45, 0, 3, '2021-07-01', '2021-07-01', '2022-06-30', 0, "
                    "9600, 0, 9601)"));
    openFor(9600);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    driver.ok([](QDialog *editor) {
        child<QComboBox>(editor, "type")->setCurrentText("Parking");
        for (const auto &field : {qMakePair(QByteArray("amount"), QString("20")),
                                  qMakePair(QByteArray("fordate"), ShortDate::toText(QDate(2021, 7, 1)))}) {
            auto *edit = child<QLineEdit>(editor, field.first.constData());
            edit->clear();
            QTest::keyClicks(edit, field.second);
        }
    });
    driver.ok([](QDialog *ask) { child<QSpinBox>(ask, "spinBox")->setValue(1); });
    clickButton(dialog, "pushButton");
    clickButton(dialog, "pushButton_3");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(scalar("select list(cast(origamount as numeric(12, 2)), ' ') from (select origamount from charges "
                    "where tid = 9600 and type = 'Parking' and fordate = '2021-07-01' order by origamount)")
                 .toString(),
             QString("20.00 45.00"));
    QCOMPARE(scalar("select nextdate from recur where recid = 9650").toDate(), QDate(2021, 8, 1));
}

// On a German desktop the clerk types only what is paid and the cash; the fields left alone are no
// payment, not a refusal.
void TestPayment::commaDesktopPaysWithOnlyCashTyped()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    openFor(9600);
    QCOMPARE(child<QLineEdit>(dialog, "check")->text(), QString("0,00"));
    QCOMPARE(label("paying"), QString("0,00"));
    setApplied(9612, "40,00");
    pay("cash", "40,00");
    pressOk();
    QCOMPARE(MsgBox::shownTexts(), QStringList());
    QVERIFY(!dialog->isVisible());
    QCOMPARE(fields("paytotal cash mycheck ccard", "trans where tid = 9600"), QString("40.00/40.00/0.00/0.00"));
    QCOMPARE(fields("amt paid", "charges where chid = 9612"), QString("0.00/40.00"));
}

VELLORAN_TEST_MAIN(TestPayment)
#include "tst_payment.moc"
