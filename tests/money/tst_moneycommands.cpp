// The money rules on their own, without a window: what each writes, checked with a query of its own,
// and that a write the engine refuses half-way leaves the books exactly as they were.

#include "ledgercheck.h"
#include "testhub.h"

#include "datahub/scopedtransaction.h"
#include "datahub/today.h"
#include "money/chargeedit.h"
#include "money/latefees.h"
#include "money/leasewrite.h"
#include "money/paymentstore.h"
#include "money/paymentvoid.h"

namespace {

// Tenant 9800 holds apartment 9801 of Maple Court and owes rent (2.00 a day and 25.00 flat when late)
// and water; tenant 9805 owes parking.
const char *const fixture[] = {
    "insert into tenants (tid, id, firstname, lastname) values (9800, 'T9800', 'Ada', 'Ledger')",
    "insert into tenants (tid, id, firstname, lastname) values (9805, 'T9805', 'Ben', 'Other')",
    "insert into apartments (apid, tid, bid, suite, rent, agreeid) values (9801, 9800, 1, 'L-1', 800, -1)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9811, 9800, 9801, 'Rent', 800, 0, '2021-06-01', 0, 800, 25, 2, '', 0)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9812, 9800, 9801, 'Water', 40.10, 0, '2021-05-20', 0, 40.10, 0, 0, '', 0)",
    "insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, latefeeflat, perday, memo, lfd) "
    "values (9815, 9805, 9801, 'Parking', 30, 0, '2021-05-01', 0, 30, 0, 0, '', 0)",
};


enum class Command { Store, Void, SetPaying, Remove, LateFees, LeaseSave, LeaseRemove };

PaymentStore::Payment payment(double cash, const QList<PaymentStore::Line> &lines)
{
    PaymentStore::Payment p;
    p.tenantId = 9800;
    p.apartmentId = 9801;
    p.paidOn = QDate(2021, 6, 11);
    p.cash = cash;
    p.checkNumber = QStringLiteral(" 77 ");
    p.dueTotal = 840.10;
    p.lines = lines;
    return p;
}

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(MoneyCommand::Outcome)

class TestMoneyCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void paymentIsStoredAndVoidedExactly();
    void paymentRefusals_data();
    void paymentRefusals();
    void paidChargeIsNotDeleted();
    void lateFeesGrowOnLaterDays();
    void leaseSavedKeepsRentToTheCent();
    void failedWriteLeavesTheBooksAsTheyWere_data();
    void failedWriteLeavesTheBooksAsTheyWere();
    void noCommandBeginsInsideAnotherTransaction();

private:
    QVariant scalar(const QString &sql) { return t->copy.scalar(sql); }
    // An amount with four decimals as the engine writes it: any fraction of a cent shows.
    QString money(const QString &sql)
    {
        return scalar(QStringLiteral("select cast(cast((%1) as numeric(14,4)) as varchar(30)) from rdb$database").arg(sql))
            .toString();
    }
    MoneyCommand::Result saveLease(double rent);

    TestHub *t = nullptr;
};

void TestMoneyCommands::init()
{
    Today::set(QDate(2021, 6, 11));
    t = new TestHub;
    QVERIFY(t->opened);
    for (const char *sql : fixture)
        QVERIFY2(t->exec(sql), sql);
}

void TestMoneyCommands::cleanup()
{
    delete t;
    t = nullptr;
    Today::reset();
}

MoneyCommand::Result TestMoneyCommands::saveLease(double rent)
{
    LeaseWrite::Lease lease;
    lease.agreementId = scalar("select gen_id(GEN_AGREEMENTS_ID, 1) from rdb$database").toInt();
    lease.tenantId = 9800;
    lease.apartmentId = 9801;
    lease.terms.rent = rent;
    lease.terms.frequency = 3;
    lease.terms.leaseStart = QDate(2021, 5, 1);
    lease.terms.leaseEnd = QDate(2022, 4, 30);
    lease.terms.firstPayment = QDate(2021, 5, 1);
    return LeaseWrite::save(lease, t->hub);
}

void TestMoneyCommands::paymentIsStoredAndVoidedExactly()
{
    const QStringList before = LedgerCheck::snapshot();
    const MoneyCommand::Result stored = PaymentStore::store(payment(100.10, {{9811, 60.0}, {9812, 40.10}}));
    QVERIFY2(stored.ok(), qPrintable(stored.message));
    const QString trans = QString::number(stored.key);

    QCOMPARE(scalar("select tid||'/'||apid||'/'||tdate||'/'||checkn from trans where transid = " + trans).toString(),
             QString("9800/9801/2021-06-11/77"));
    QCOMPARE(money("select paytotal from trans where transid = " + trans), QString("100.1000"));
    QCOMPARE(money("select applied from trans where transid = " + trans), QString("100.1000"));
    QCOMPARE(money("select cash + mycheck + ccard from trans where transid = " + trans), QString("100.1000"));
    QCOMPARE(money("select amt from charges where chid = 9811"), QString("740.0000"));
    QCOMPARE(money("select paid from charges where chid = 9811"), QString("60.0000"));
    QCOMPARE(money("select amt + paid - origamount from charges where chid = 9812"), QString("0.0000"));
    QCOMPARE(money("select sum(amount) from payments where transid = " + trans), QString("100.1000"));
    QCOMPARE(scalar("select count(*) from payments where transid = " + trans).toInt(), 2);
    // One income entry per type, in the type's own category.
    QCOMPARE(money("select sum(income) from cashbook where transid = " + trans), QString("100.1000"));
    QCOMPARE(scalar("select catid from cashbook where description = 'Payment Collected: Water' and transid = " + trans)
                 .toInt(),
             11);

    const MoneyCommand::Result voided = PaymentVoid::voidPayment(stored.key);
    QVERIFY2(voided.ok(), qPrintable(voided.message));
    QCOMPARE(LedgerCheck::snapshot(), before);
    // A payment voided already has nothing left to undo.
    QVERIFY(PaymentVoid::voidPayment(stored.key).ok());
    QCOMPARE(LedgerCheck::snapshot(), before);
}

void TestMoneyCommands::paymentRefusals_data()
{
    QTest::addColumn<double>("cash");
    QTest::addColumn<int>("charge");
    QTest::addColumn<double>("amount");
    QTest::addColumn<MoneyCommand::Outcome>("outcome");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing paid") << 0.0 << 9811 << 0.0 << MoneyCommand::Outcome::Refused
                                  << "You aren't paying any amount!";
    QTest::newRow("paid differs from applied")
        << 50.0 << 9811 << 40.0 << MoneyCommand::Outcome::Refused
        << "The amount you are paying must be equal to total payments applied!";
    QTest::newRow("more than the charge owes") << 40.11 << 9812 << 40.11 << MoneyCommand::Outcome::Failed
                                               << "Error storing payment information. Error occured";
    QTest::newRow("another tenant's charge") << 30.0 << 9815 << 30.0 << MoneyCommand::Outcome::Failed
                                             << "Error storing payment information. Error occured";
    QTest::newRow("a charge that is gone") << 30.0 << 424242 << 30.0 << MoneyCommand::Outcome::Failed
                                           << "Error storing payment information. Error occured";
}

void TestMoneyCommands::paymentRefusals()
{
    QFETCH(double, cash);
    QFETCH(int, charge);
    QFETCH(double, amount);
    QFETCH(MoneyCommand::Outcome, outcome);
    QFETCH(QString, message);
    const QStringList before = LedgerCheck::snapshot();
    const MoneyCommand::Result stored = PaymentStore::store(payment(cash, {{charge, amount}}));
    QCOMPARE(stored.outcome, outcome);
    QCOMPARE(stored.message, message);
    QCOMPARE(LedgerCheck::snapshot(), before);
}

void TestMoneyCommands::paidChargeIsNotDeleted()
{
    QVERIFY(PaymentStore::store(payment(10.0, {{9811, 10.0}})).ok());
    const QStringList before = LedgerCheck::snapshot();
    const QString refusal = "Payments have been made on this charge, so it cannot be deleted. Void the payment in "
                            "the payment history first.";
    QCOMPARE(ChargeEdit::mayRemove(9811).message, refusal);
    const MoneyCommand::Result removed = ChargeEdit::remove(9811);
    QCOMPARE(removed.outcome, MoneyCommand::Outcome::Refused);
    QCOMPARE(removed.message, refusal);
    QCOMPARE(LedgerCheck::snapshot(), before);
    QCOMPARE(scalar("select count(*) from payments p join charges c on c.chid = p.chid where p.chid = 9811").toInt(), 1);

    QVERIFY(ChargeEdit::mayRemove(9812).ok());
    QVERIFY(ChargeEdit::remove(9812).ok());
    QCOMPARE(scalar("select count(*) from charges where chid = 9812").toInt(), 0);
}

void TestMoneyCommands::lateFeesGrowOnLaterDays()
{
    // A daily fee with a fraction of a cent: each fee is charged to the cent.
    QVERIFY(t->exec("update charges set perday = 0.333, latefeeflat = 0 where chid = 9812"));
    const auto fees = [this] {
        return scalar("select list(r, ' | ') from (select type || ' ' || cast(amt as numeric(12,4)) || ' ' || "
                      "cast(origamount as numeric(12,4)) || ' ' || fordate || ' ' || apid as r from charges "
                      "where tid = 9800 and type like '% Late Fee' order by chid)")
            .toString();
    };
    QVERIFY(LateFees::anyOverdue(9800, Today::date()));
    QVERIFY(LateFees::charge(9800, Today::date()).ok());
    QCOMPARE(fees(), QString("Rent Late Fee 45.0000 45.0000 2021-06-11 9801 | "
                             "Water Late Fee 7.3300 7.3300 2021-06-11 9801"));
    QCOMPARE(scalar("select lfd from charges where chid = 9811").toInt(), 10);
    QCOMPARE(scalar("select lfd from charges where chid = 9812").toInt(), 22);

    // The same day again: nothing more is owed.
    QVERIFY(LateFees::charge(9800, Today::date()).ok());
    QCOMPARE(scalar("select count(*) from charges where tid = 9800 and type like '% Late Fee'").toInt(), 2);

    QVERIFY(LateFees::charge(9800, QDate(2021, 6, 16)).ok());
    QCOMPARE(money("select amt from charges where tid = 9800 and type = 'Rent Late Fee' and fordate = '2021-06-16'"),
             QString("10.0000"));
    QCOMPARE(scalar("select lfd from charges where chid = 9811").toInt(), 15);
    // No fee is charged on a fee.
    QVERIFY(LateFees::charge(9800, QDate(2021, 7, 1)).ok());
    QCOMPARE(scalar("select count(*) from charges where type like '%Late Fee Late Fee'").toInt(), 0);
    QVERIFY(!LateFees::anyOverdue(9805, Today::date()));
}

void TestMoneyCommands::leaseSavedKeepsRentToTheCent()
{
    Today::set(QDate(2021, 7, 15));
    const MoneyCommand::Result saved = saveLease(1200.004);
    QVERIFY2(saved.ok(), qPrintable(saved.message));
    QCOMPARE(scalar("select agreeid from apartments where apid = 9801").toInt(), saved.key);
    QCOMPARE(money("select rent from agreements where rid = " + QString::number(saved.key)), QString("1200.0000"));
    QCOMPARE(scalar("select count(*) from recur where apid = 9801 and lower(type) = 'rent'").toInt(), 1);
    // The June rent charge 9811 was posted by no bill: the lease's rent bill charges every period from
    // its first payment date, each naming the bill.
    QCOMPARE(scalar("select list(r, ' ') from (select fordate || '=' || cast(amt as numeric(12,4)) as r from charges "
                    "c join recur b on b.recid = c.recid where c.apid = 9801 and b.leaserent = 1 order by fordate)")
                 .toString(),
             QString("2021-05-01=1200.0000 2021-06-01=1200.0000 2021-07-01=1200.0000"));

    QVERIFY(LeaseWrite::remove(9801, saved.key, t->hub).ok());
    QCOMPARE(scalar("select agreeid from apartments where apid = 9801").toInt(), -1);
    // The rent bill is stopped where it stood, not deleted.
    QCOMPARE(scalar("select list(completed || ' ' || nextdate) from recur where apid = 9801").toString(),
             QString("1 2021-08-01"));
    QCOMPARE(scalar("select count(*) from agreements where apid = 9801").toInt(), 0);
}

void TestMoneyCommands::failedWriteLeavesTheBooksAsTheyWere_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("refusing");
    QTest::addColumn<QString>("message");
    const QString storing = "Error storing payment information. Error occured";
    const QString voiding = "Error voiding payment. Error occured";
    const QString submit = "Unable to submit data";
    QTest::newRow("payment: its cashbook income") << Command::Store << "cashbook before insert" << storing;
    QTest::newRow("payment: a charge") << Command::Store << "charges before update" << storing;
    QTest::newRow("payment: a new category") << Command::Store << "categories before insert" << storing;
    QTest::newRow("void: its transaction") << Command::Void << "trans before delete" << voiding;
    QTest::newRow("void: a charge") << Command::Void << "charges before update" << voiding;
    QTest::newRow("paying amount") << Command::SetPaying << "charges before update" << submit;
    QTest::newRow("charge deleted") << Command::Remove << "charges before delete" << submit;
    QTest::newRow("late fee: the days charged") << Command::LateFees << "charges before update"
                                                << "Error processing charges. Exception occured";
    QTest::newRow("lease: the apartment's link") << Command::LeaseSave << "apartments before update"
                                                 << "Error creating new rental agreement";
    QTest::newRow("lease: a charge posted") << Command::LeaseSave << "charges before insert"
                                            << "Error creating/viewing rental agreement";
    QTest::newRow("lease deleted: its rent bill") << Command::LeaseRemove << "recur before update"
                                                  << "Error deleting rental agreement";
}

void TestMoneyCommands::failedWriteLeavesTheBooksAsTheyWere()
{
    QFETCH(Command, command);
    QFETCH(QString, refusing);
    QFETCH(QString, message);

    // A type no category has yet, so that storing makes one.
    QVERIFY(t->exec("update charges set type = 'Bike Shed' where chid = 9812"));
    int transid = -1;
    int agreement = -1;
    if (command == Command::Void) {
        const MoneyCommand::Result stored = PaymentStore::store(payment(100.10, {{9811, 60.0}, {9812, 40.10}}));
        QVERIFY(stored.ok());
        transid = stored.key;
    }
    if (command == Command::LeaseRemove) {
        const MoneyCommand::Result saved = saveLease(1200.0);
        QVERIFY(saved.ok());
        agreement = saved.key;
    }
    const QStringList before = LedgerCheck::snapshot();
    QVERIFY(t->exec("create exception write_refused 'refused'"));
    QVERIFY(t->exec(QStringLiteral("create trigger refuse_write for %1 position 9 as begin exception write_refused; end")
                        .arg(refusing)));

    MoneyCommand::Result result;
    switch (command) {
    case Command::Store:
        result = PaymentStore::store(payment(100.10, {{9811, 60.0}, {9812, 40.10}}));
        break;
    case Command::Void:
        result = PaymentVoid::voidPayment(transid);
        break;
    case Command::SetPaying:
        result = ChargeEdit::setPaying(9811, 12.5, QStringLiteral("part"));
        break;
    case Command::Remove:
        result = ChargeEdit::remove(9812);
        break;
    case Command::LateFees:
        result = LateFees::charge(9800, Today::date());
        break;
    case Command::LeaseSave:
        // The lease posts the rent that has fallen due.
        Today::set(QDate(2021, 7, 15));
        result = saveLease(1200.0);
        break;
    case Command::LeaseRemove:
        result = LeaseWrite::remove(9801, agreement, t->hub);
        break;
    }
    QCOMPARE(result.outcome, MoneyCommand::Outcome::Failed);
    QCOMPARE(result.message, message);
    QCOMPARE(LedgerCheck::snapshot(), before);
    QVERIFY(!ScopedTransaction::anyOpen());
}

void TestMoneyCommands::noCommandBeginsInsideAnotherTransaction()
{
    const QStringList before = LedgerCheck::snapshot();
    {
        ScopedTransaction other;
        QVERIFY(other.isActive());
        const MoneyCommand::Result stored = PaymentStore::store(payment(60.0, {{9811, 60.0}}));
        QCOMPARE(stored.outcome, MoneyCommand::Outcome::NotStarted);
        QCOMPARE(stored.message, QString("Error storing payment information. Unable to start transaction."));
        QCOMPARE(ChargeEdit::remove(9812).outcome, MoneyCommand::Outcome::NotStarted);
    }
    QCOMPARE(LedgerCheck::snapshot(), before);
}

VELLORAN_TEST_MAIN(TestMoneyCommands)
#include "tst_moneycommands.moc"
