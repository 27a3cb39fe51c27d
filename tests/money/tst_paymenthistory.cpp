#include "testhub.h"

#include "datahub/today.h"
#include "money/paymentdialog.h"
#include "money/paymenthistorydialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>

// A tenant of the demonstration office whose payment lines are written here as storing a payment
// writes them: the charges settled, one TRANS row, a PAYMENTS row per charge and a cashbook income
// entry per charge type, all carrying the transaction's key.
static const int Tenant = 9700;
static const int Apartment = 9701;
static const int Trans = 9710;

class TestPaymentHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsTheTenantsPaymentsAndFollowsTheCurrentRow();
    void tenantWithoutPaymentsHasNothingToVoid();
    void voidRestoresEveryChargeByItsOwnLineExactly();
    void paymentCollectedThroughTheDialogIsVoidedExactly();
    void refusedVoidChangesNothing_data();
    void refusedVoidChangesNothing();
    void voidFailingMidwayChangesNothing();
    void voidOfAPaymentWhoseChargeIsGoneIsRefused();

private:
    void storePayment();
    void openFor(int tid);
    void selectTrans(int transid);
    QString state();

    TestHub *t = nullptr;
    PaymentHistoryDialog *dialog = nullptr;
    QTableView *payments = nullptr;
    QTableView *lines = nullptr;
};

void TestPaymentHistory::init()
{
    Today::set(QDate(2026, 3, 14));
    t = new TestHub;
    QVERIFY(t->opened);
    t->hub->setCanReceivePayments(true);
    t->hub->setCanVoidPayments(true);
    QVERIFY(t->exec("insert into tenants (tid, id, firstname, lastname) values (9700, 'T9700', 'Nora', 'Quist')"));
    QVERIFY(t->exec("insert into apartments (apid, tid, bid, suite, agreeid) values (9701, 9700, 1, 'Q-7', -1)"));
    storePayment();
}

void TestPaymentHistory::cleanup()
{
    delete dialog;
    dialog = nullptr;
    delete t;
    Today::reset();
}

void TestPaymentHistory::storePayment()
{
    const char *const rows[] = {
        // Two rent charges and one parking charge, paid in full, and one older charge left open.
        "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) values "
        "(9720, 9700, 9701, 'Rent', 0, 0, '2026-03-01', 12345.67, 12345.67)",
        "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) values "
        "(9721, 9700, 9701, 'Rent', 20.00, 0, '2026-02-01', 100.50, 120.50)",
        "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) values "
        "(9722, 9700, 9701, 'Parking', 0, 0, '2026-03-01', 45.10, 45.10)",
        "insert into trans (transid, tdate, tid, apid, ccard, ccardn, mycheck, checkn, cash, paytotal, duetotal, "
        "applied) values (9710, '2026-03-10', 9700, 9701, 0, '', 12491.27, '77', 0, 12491.27, 12511.27, 12491.27)",
        "insert into payments (transid, chid, amount, type, fordate, datepaid, accid) values "
        "(9710, 9720, 12345.67, 'Rent', '2026-03-01', '2026-03-10', 0)",
        "insert into payments (transid, chid, amount, type, fordate, datepaid, accid) values "
        "(9710, 9721, 100.50, 'Rent', '2026-02-01', '2026-03-10', 0)",
        "insert into payments (transid, chid, amount, type, fordate, datepaid, accid) values "
        "(9710, 9722, 45.10, 'Parking', '2026-03-01', '2026-03-10', 0)",
        "insert into cashbook (tdate, catid, description, expense, income, vid, apid, comments, transid) values "
        "('2026-03-10', 6, 'Payment Collected: Parking', 0, 45.10, -1, 9701, '', 9710)",
        "insert into cashbook (tdate, catid, description, expense, income, vid, apid, comments, transid) values "
        "('2026-03-10', 5, 'Payment Collected: Rent', 0, 12446.17, -1, 9701, '', 9710)",
        // An earlier payment of the same tenant, which a void of the other must not touch.
        "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) values "
        "(9723, 9700, 9701, 'Rent', 0, 0, '2026-01-01', 900, 900)",
        "insert into trans (transid, tdate, tid, apid, mycheck, paytotal, duetotal, applied) values "
        "(9711, '2026-01-05', 9700, 9701, 900, 900, 900, 900)",
        "insert into payments (transid, chid, amount, type, fordate, datepaid, accid) values "
        "(9711, 9723, 900, 'Rent', '2026-01-01', '2026-01-05', 0)",
        "insert into cashbook (tdate, catid, description, expense, income, vid, apid, comments, transid) values "
        "('2026-01-05', 5, 'Payment Collected: Rent', 0, 900, -1, 9701, '', 9711)",
    };
    for (const char *sql : rows)
        QVERIFY2(t->exec(sql), sql);
}

void TestPaymentHistory::openFor(int tid)
{
    t->hub->transModel()->select();
    dialog = new PaymentHistoryDialog(t->hub, tid);
    payments = child<QTableView>(dialog, "tableView");
    lines = child<QTableView>(dialog, "tableView_2");
}

void TestPaymentHistory::selectTrans(int transid)
{
    selectRow(payments, 0, transid, 1);
}

// Every amount the void may touch, as the database holds it.
QString TestPaymentHistory::state()
{
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(t->copy.scalar("select list(chid || ':' || amt || '/' || paid, ' ') from (select chid, amt, paid from "
                            "charges where tid = 9700 order by chid)")
                 .toString())
        .arg(t->count("trans where tid = 9700"))
        .arg(t->count("payments where transid in (9710, 9711)"))
        .arg(t->count("cashbook where transid in (9710, 9711)"))
        .arg(t->count("trans"));
}

void TestPaymentHistory::listsTheTenantsPaymentsAndFollowsTheCurrentRow()
{
    openFor(Tenant);
    QCOMPARE(child<QLabel>(dialog, "paymentsLabel")->text(), QString("Payments for tenant: Nora Quist"));
    QCOMPARE(payments->model()->rowCount(), 2);
    // Newest first, and nothing shown in the lines until a payment is current.
    QCOMPARE(payments->model()->index(0, 0).data().toInt(), Trans);
    QCOMPARE(lines->model()->rowCount(), 0);

    selectTrans(Trans);
    QCOMPARE(lines->model()->rowCount(), 3);
    QStringList suites;
    double total = 0;
    for (int row = 0; row < 3; ++row) {
        suites << lines->model()->index(row, 3).data().toString();
        total += lines->model()->index(row, 2).data().toDouble();
    }
    QCOMPARE(suites, QStringList({"Q-7", "Q-7", "Q-7"}));
    QCOMPARE(QString::number(total, 'f', 2), QString("12491.27"));

    selectTrans(9711);
    QCOMPARE(lines->model()->rowCount(), 1);
    QCOMPARE(lines->model()->index(0, 6).data().toInt(), 9723);
}

void TestPaymentHistory::tenantWithoutPaymentsHasNothingToVoid()
{
    const QString before = state();
    openFor(424242);
    QCOMPARE(child<QLabel>(dialog, "paymentsLabel")->text(), QString("Payments"));
    QCOMPARE(payments->model()->rowCount(), 0);
    clickButton(dialog, "pushButton");
    QCOMPARE(MsgBox::shownTexts(), QStringList("You haven't selected a valid record"));
    QCOMPARE(state(), before);
}

void TestPaymentHistory::voidRestoresEveryChargeByItsOwnLineExactly()
{
    openFor(Tenant);
    QSqlDoubleQueryModel *cashbookList = t->hub->cashbookQueryModel();
    cashbookList->setQuery(cashbookList->query().lastQuery());
    const int listed = cashbookList->rowCount();
    selectTrans(Trans);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(dialog, "pushButton");
    QCOMPARE(MsgBox::shownTexts(),
             QStringList("Are you sure you want to void the selected payment and restore the associated charges?"));

    // Each charge gets back exactly what its own line paid, cents included.
    QCOMPARE(t->copy.scalar("select amt from charges where chid = 9720").toDouble(), 12345.67);
    QCOMPARE(t->copy.scalar("select paid from charges where chid = 9720").toDouble(), 0.0);
    QCOMPARE(t->copy.scalar("select amt from charges where chid = 9721").toDouble(), 120.50);
    QCOMPARE(t->copy.scalar("select paid from charges where chid = 9721").toDouble(), 0.0);
    QCOMPARE(t->copy.scalar("select amt from charges where chid = 9722").toDouble(), 45.10);
    QCOMPARE(t->count("trans where transid = 9710"), 0);
    QCOMPARE(t->count("payments where transid = 9710"), 0);
    QCOMPARE(t->count("cashbook where transid = 9710"), 0);
    // The other payment stands.
    QCOMPARE(t->copy.scalar("select paid from charges where chid = 9723").toDouble(), 900.0);
    QCOMPARE(t->count("payments where transid = 9711"), 1);
    QCOMPARE(t->count("cashbook where transid = 9711"), 1);

    // The voided payment leaves the grid, its lines empty, and the cashbook list has lost its entries.
    QVERIFY(payments->isRowHidden(0));
    QCOMPARE(lines->model()->rowCount(), 0);
    QCOMPARE(cashbookList->rowCount(), listed - 2);
    QCOMPARE(t->hub->chargesModel()->filter(), QString());

    // Voiding the same, now hidden, payment again finds no lines and restores nothing twice.
    const QString after = state();
    MsgBox::clearShown();
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(dialog, "pushButton");
    QCOMPARE(state(), after);
}

void TestPaymentHistory::paymentCollectedThroughTheDialogIsVoidedExactly()
{
    // Two open charges of the tenant, the second paid only in part.
    QVERIFY(t->exec("insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) values "
                    "(9730, 9700, 9701, 'Rent', 12345.67, 0, '2026-04-01', 0, 12345.67)"));
    QVERIFY(t->exec("insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount) values "
                    "(9731, 9700, 9701, 'Water', 100.50, 0, '2026-03-20', 0, 100.50)"));
    t->hub->chargesModel()->select();
    const QString before = state();
    const int allPayments = t->count("payments");
    const int allCashbook = t->count("cashbook");

    PaymentDialog collect(t->hub);
    collect.loadTenant(Tenant);
    collect.show();
    const auto apply = [&](int chid, const QString &paying) {
        auto *grid = child<QTableView>(&collect, "tableView");
        selectRow(grid, 0, chid, 3);
        ModalDriver driver;
        driver.ok([&](QDialog *editor) {
            auto *field = child<QLineEdit>(editor, "paying");
            field->clear();
            QTest::keyClicks(field, paying);
        });
        clickButton(&collect, "pushButton_4");
        QCOMPARE(driver.stayedOpen, 0);
    };
    apply(9730, "12345.67");
    apply(9731, "60.25");
    auto *check = child<QLineEdit>(&collect, "check");
    check->clear();
    QTest::keyClicks(check, "12405.92");
    emit check->editingFinished();
    dialogButton(&collect, QDialogButtonBox::Ok)->click();
    QVERIFY2(MsgBox::shownTexts().isEmpty(), qPrintable(MsgBox::shownTexts().join('|')));
    QCOMPARE(t->copy.scalar("select amt from charges where chid = 9731").toDouble(), 40.25);
    const int collected = t->copy.scalar("select transid from trans where tid = 9700 and transid not in (9710, 9711)").toInt();
    QCOMPARE(t->count(QStringLiteral("payments where transid = %1").arg(collected)), 2);
    QCOMPARE(t->count(QStringLiteral("cashbook where transid = %1").arg(collected)), 2);

    openFor(Tenant);
    selectTrans(collected);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(dialog, "pushButton");
    QCOMPARE(state(), before);
    QCOMPARE(t->copy.scalar("select amt from charges where chid = 9730").toDouble(), 12345.67);
    QCOMPARE(t->copy.scalar("select amt from charges where chid = 9731").toDouble(), 100.50);
    QCOMPARE(t->count("payments"), allPayments);
    QCOMPARE(t->count("cashbook"), allCashbook);
}

void TestPaymentHistory::refusedVoidChangesNothing_data()
{
    QTest::addColumn<bool>("mayVoid");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("user without the void right")
        << false << true << QStringList("You are not permitted to access this area");
    QTest::newRow("answered No") << true << false
                                 << QStringList("Are you sure you want to void the selected payment and restore "
                                                "the associated charges?");
}

void TestPaymentHistory::refusedVoidChangesNothing()
{
    QFETCH(bool, mayVoid);
    QFETCH(bool, answerYes);
    QFETCH(QStringList, messages);
    t->hub->setCanVoidPayments(mayVoid);
    const QString before = state();
    openFor(Tenant);
    selectTrans(Trans);
    if (mayVoid)
        MsgBox::setNextAnswer(answerYes ? QMessageBox::Yes : QMessageBox::No);
    clickButton(dialog, "pushButton");
    QCOMPARE(MsgBox::shownTexts(), messages);
    QCOMPARE(state(), before);
    QVERIFY(!payments->isRowHidden(0));
}

void TestPaymentHistory::voidFailingMidwayChangesNothing()
{
    // The cashbook refuses to lose the payment's entries, after the charges were already given back
    // inside the void's transaction.
    QVERIFY(t->exec("create exception keep_cashbook 'cashbook entries are kept'"));
    QVERIFY(t->exec("create trigger cashbook_keep for cashbook active before delete position 0 as "
                    "begin if (old.transid = 9710) then exception keep_cashbook; end"));
    const QString before = state();
    openFor(Tenant);
    selectTrans(Trans);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(dialog, "pushButton");
    QCOMPARE(MsgBox::shownTexts().value(1), QString("Error voiding payment. Error occured"));
    QCOMPARE(state(), before);
    QVERIFY(!payments->isRowHidden(0));
    QCOMPARE(payments->currentIndex().row(), 0);
    QCOMPARE(lines->model()->rowCount(), 3);
}

void TestPaymentHistory::voidOfAPaymentWhoseChargeIsGoneIsRefused()
{
    // Older books: the parking charge went with its apartment, its payment line stayed.
    QVERIFY(t->exec("delete from charges where chid = 9722"));
    const QString before = state();
    openFor(Tenant);
    selectTrans(Trans);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(dialog, "pushButton");
    QCOMPARE(MsgBox::shownTexts().size(), 2);
    QVERIFY2(MsgBox::shownTexts().value(1).startsWith("This payment cannot be voided: 1 of its lines paid charges "
                                                      "that have since been deleted (45.10 in all)"),
             qPrintable(MsgBox::shownTexts().value(1)));
    QCOMPARE(state(), before);
    QVERIFY(!payments->isRowHidden(0));
}

VELLORAN_TEST_MAIN(TestPaymentHistory)
#include "tst_paymenthistory.moc"
