// The mass rent adjustment on the demonstration office: which rents each scope and mode changes, by how
// much, and that a failure changes nothing.

#include "leasedriver.h"
#include "testhub.h"

#include "datahub/today.h"
#include "properties/apartmentsform.h"
#include "tenants/adjustrentdialog.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSqlQuery>

#include <cmath>

namespace {
typedef QMap<int, double> Values;

Values values(const QString &sql)
{
    Values result;
    QSqlQuery q(QSqlDatabase::database());
    q.exec(sql);
    while (q.next())
        result.insert(q.value(0).toInt(), q.value(1).toDouble());
    return result;
}

QSet<int> keys(const QString &sql)
{
    QSet<int> result;
    QSqlQuery q(QSqlDatabase::database());
    q.exec(sql);
    while (q.next())
        result.insert(q.value(0).toInt());
    return result;
}

bool pressOk(QDialog *dialog)
{
    dialogButton(dialog, QDialogButtonBox::Ok)->click();
    return dialog->result() == QDialog::Accepted;
}

const char *const scopeRadios[] = {"adjustApartments", "adjustTenant", "adjustBuilding", "adjustSelApartment"};
} // namespace

class TestAdjustRent : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void changesExactlyTheRowsInScope_data();
    void changesExactlyTheRowsInScope();
    void bothValuesZeroWritesNothing();
    void aChoiceIsNeededAndGoesWithItsScope();
    void aValueIsNeeded();
    void failingStatementLeavesEveryRent();
    void resultsAreRoundedToTheCentAndAsked_data();
    void resultsAreRoundedToTheCentAndAsked();
    void belowZeroIsRefused();
    void decimalCommaOfTheDesktopIsRead();
    void unreadableValueIsRefused();
    void countsTheRunningRentOfCurrentLeasesAlone();

private:
    // Checks the scope's radio and, for all but all apartments, picks the row with that key.
    void chooseScope(AdjustRentDialog &dialog, int scope, int key);

    TestHub *t = nullptr;
};

void TestAdjustRent::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    // A rent bill typed in capitals is a rent bill too.
    QVERIFY(t->exec("update recur set type = 'RENT' where recid = 3"));
}

void TestAdjustRent::cleanup()
{
    delete t;
    t = nullptr;
}

void TestAdjustRent::chooseScope(AdjustRentDialog &dialog, int scope, int key)
{
    child<QRadioButton>(&dialog, scopeRadios[scope])->setChecked(true);
    if (scope == 0)
        return;
    // The key column of the tenant, building and apartment pickers.
    const int keyColumn = scope == 1 ? 0 : scope == 2 ? 10 : 1;
    ModalDriver driver;
    driver.ok([&](QDialog *picker) { selectRow(child<QTableView>(picker, "tableView"), keyColumn, key, 2); });
    clickButton(&dialog, "pushButton");
    QCOMPARE(driver.handled, 1);
    QCOMPARE(driver.stayedOpen, 0);
    QVERIFY(!child<QLineEdit>(&dialog, "code")->text().isEmpty());
}

void TestAdjustRent::changesExactlyTheRowsInScope_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("apartments");
    QTest::addColumn<QString>("bills");
    QTest::addColumn<QString>("apply");
    QTest::addColumn<bool>("byAmount");
    QTest::addColumn<QString>("value");

    const struct {
        const char *name;
        int scope;
        int key;
        const char *where;
        const char *billWhere;
    } scopes[] = {
        {"all", 0, -1, "", ""},
        {"tenant", 1, 1, " where tid = 1", " and r.tid = 1"},
        {"building", 2, 1, " where bid = 1", " and r.apid in (select apid from apartments where bid = 1)"},
        {"apartment", 3, 2, " where apid = 2", " and r.apid = 2"},
    };
    for (const auto &s : scopes) {
        const QString apartments = QStringLiteral("select apid from apartments") + s.where;
        // The rent that still runs under each apartment's lease: a lease that has run to its end charges
        // no more, whatever its rent.
        const QString bills = QStringLiteral("select r.recid from recur r join apartments a on a.apid = r.apid join "
                                             "agreements g on g.rid = a.agreeid where lower(r.type) = 'rent' and "
                                             "r.tid = g.tid and r.completed = 0")
                              + s.billWhere;
        QTest::newRow(qPrintable(QStringLiteral("%1, future rates, 3 percent").arg(s.name)))
            << s.scope << s.key << apartments << QString() << "applyFuture" << false << "3";
        QTest::newRow(qPrintable(QStringLiteral("%1, rent bills, amount with cents").arg(s.name)))
            << s.scope << s.key << QString() << bills << "applyCurrent" << true << "12345.67";
        QTest::newRow(qPrintable(QStringLiteral("%1, both, lowered by 10 percent").arg(s.name)))
            << s.scope << s.key << apartments << bills << "applyBoth" << false << "-10";
    }
}

void TestAdjustRent::changesExactlyTheRowsInScope()
{
    QFETCH(int, scope);
    QFETCH(int, key);
    QFETCH(QString, apartments);
    QFETCH(QString, bills);
    QFETCH(QString, apply);
    QFETCH(bool, byAmount);
    QFETCH(QString, value);

    const Values rentsBefore = values("select apid, rent from apartments");
    const Values billsBefore = values("select recid, amount from recur");
    const QSet<int> changedApartments = apartments.isEmpty() ? QSet<int>() : keys(apartments);
    const QSet<int> changedBills = bills.isEmpty() ? QSet<int>() : keys(bills);
    QVERIFY(changedApartments.size() < rentsBefore.size() || scope == 0);

    AdjustRentDialog dialog(t->hub);
    QCOMPARE(dialog.windowTitle(), QString("Adjust Rental Rate"));
    QSignalSpy refreshed(t->hub, &XDataSource::apartmentsRefresh);
    chooseScope(dialog, scope, key);
    child<QRadioButton>(&dialog, qPrintable(apply))->setChecked(true);
    if (byAmount) {
        child<QRadioButton>(&dialog, "increaseAmount")->setChecked(true);
        QTest::keyClicks(child<QLineEdit>(&dialog, "amount"), value);
        // Ignored: only the checked kind of increase counts.
        QTest::keyClicks(child<QLineEdit>(&dialog, "percent"), "50");
    } else {
        QTest::keyClicks(child<QLineEdit>(&dialog, "percent"), value);
        QTest::keyClicks(child<QLineEdit>(&dialog, "amount"), "1000");
    }
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(pressOk(&dialog));
    QCOMPARE(refreshed.count(), 1);

    const double number = value.toDouble();
    // Every new value is kept to the cent.
    const auto adjusted = [&](double before) {
        return std::round((byAmount ? before + number : before * (number / 100 + 1)) * 100) / 100;
    };
    int apartmentsChanged = 0;
    for (int apid : changedApartments)
        apartmentsChanged += adjusted(rentsBefore.value(apid)) != rentsBefore.value(apid);
    int billsChanged = 0;
    for (int recid : changedBills)
        billsChanged += adjusted(billsBefore.value(recid)) != billsBefore.value(recid);
    // Nothing to change, nothing to ask.
    const QStringList asked = apartmentsChanged + billsChanged == 0
                                  ? QStringList()
                                  : QStringList(QStringLiteral("This will change the rent of %1 apartment(s) and the "
                                                               "amount of %2 rent bill(s). Do you want to continue?")
                                                    .arg(apartmentsChanged)
                                                    .arg(billsChanged));
    QCOMPARE(MsgBox::shownTexts(), asked);
    const Values rentsAfter = values("select apid, rent from apartments");
    for (auto it = rentsBefore.constBegin(); it != rentsBefore.constEnd(); ++it) {
        const double expected = changedApartments.contains(it.key()) ? adjusted(it.value()) : it.value();
        QVERIFY2(qFuzzyCompare(rentsAfter.value(it.key()), expected), qPrintable(QString::number(it.key())));
    }
    const Values billsAfter = values("select recid, amount from recur");
    for (auto it = billsBefore.constBegin(); it != billsBefore.constEnd(); ++it) {
        const double expected = changedBills.contains(it.key()) ? adjusted(it.value()) : it.value();
        QVERIFY2(qFuzzyCompare(billsAfter.value(it.key()), expected), qPrintable(QString::number(it.key())));
    }
    // What another connection sees: the change was committed.
    if (!changedBills.isEmpty()) {
        const int recid = *changedBills.constBegin();
        QVERIFY(qFuzzyCompare(t->copy.scalar(QStringLiteral("select amount from recur where recid = %1").arg(recid)).toDouble(),
                              adjusted(billsBefore.value(recid))));
    }
}

void TestAdjustRent::bothValuesZeroWritesNothing()
{
    const Values rents = values("select apid, rent from apartments");
    AdjustRentDialog dialog(t->hub);
    QSignalSpy refreshed(t->hub, &XDataSource::apartmentsRefresh);
    QTest::keyClicks(child<QLineEdit>(&dialog, "amount"), "0");
    QVERIFY(pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(), QStringList());
    QCOMPARE(refreshed.count(), 0);
    QCOMPARE(values("select apid, rent from apartments"), rents);
}

void TestAdjustRent::aChoiceIsNeededAndGoesWithItsScope()
{
    const QString message = "You haven't selected a valid tenant, apartment, or building.";
    const Values rents = values("select apid, rent from apartments");
    AdjustRentDialog dialog(t->hub);
    QTest::keyClicks(child<QLineEdit>(&dialog, "percent"), "5");
    child<QRadioButton>(&dialog, "adjustTenant")->setChecked(true);
    QVERIFY(!pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));

    chooseScope(dialog, 1, 1);
    child<QRadioButton>(&dialog, "adjustBuilding")->setChecked(true);
    QVERIFY(child<QLineEdit>(&dialog, "code")->text().isEmpty());
    MsgBox::clearShown();
    QVERIFY(!pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    QCOMPARE(values("select apid, rent from apartments"), rents);
}

void TestAdjustRent::aValueIsNeeded()
{
    AdjustRentDialog dialog(t->hub);
    QTest::keyClicks(child<QLineEdit>(&dialog, "percent"), "  ");
    QVERIFY(!pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(),
             QStringList("Enter a valid value into the 'Percentage Increase' or the 'Increase by Amount' fields."));
}

void TestAdjustRent::failingStatementLeavesEveryRent()
{
    // The apartments' new rents are within the books; a rent bill's is not.
    QVERIFY(t->exec("update recur set amount = 1e300 where recid = 1"));
    const Values rents = values("select apid, rent from apartments");
    const Values bills = values("select recid, amount from recur");
    AdjustRentDialog dialog(t->hub);
    QSignalSpy refreshed(t->hub, &XDataSource::apartmentsRefresh);
    child<QRadioButton>(&dialog, "applyBoth")->setChecked(true);
    child<QLineEdit>(&dialog, "percent")->setText("1000000");
    QVERIFY(!pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(), QStringList("Error Adjusting rent"));
    QCOMPARE(refreshed.count(), 0);
    QCOMPARE(values("select apid, rent from apartments"), rents);
    QCOMPARE(values("select recid, amount from recur"), bills);
    QCOMPARE(t->copy.scalar("select rent from apartments where apid = 1").toDouble(), rents.value(1));
}

void TestAdjustRent::resultsAreRoundedToTheCentAndAsked_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("confirmed") << int(QMessageBox::Yes);
    QTest::newRow("declined") << int(QMessageBox::No);
}

void TestAdjustRent::resultsAreRoundedToTheCentAndAsked()
{
    QFETCH(int, answer);
    QVERIFY(t->exec("update apartments set rent = 1325 where apid = 2"));
    QVERIFY(t->exec("update recur set amount = 1325 where recid = 3"));
    AdjustRentDialog dialog(t->hub);
    chooseScope(dialog, 3, 2);
    child<QRadioButton>(&dialog, "applyBoth")->setChecked(true);
    QTest::keyClicks(child<QLineEdit>(&dialog, "percent"), "3.3");
    const int bills = t->count("recur where apid = 2 and lower(type) = 'rent'");
    MsgBox::setNextAnswer(QMessageBox::StandardButton(answer));
    QCOMPARE(pressOk(&dialog), answer == QMessageBox::Yes);
    QCOMPARE(MsgBox::shownTexts(), QStringList(QStringLiteral("This will change the rent of 1 apartment(s) and the "
                                                              "amount of %1 rent bill(s). Do you want to continue?")
                                                   .arg(bills)));
    // 1325 * 1.033 is 1368.725: the clerk must be able to pay it exactly.
    const double expected = answer == QMessageBox::Yes ? 1368.73 : 1325.0;
    QCOMPARE(t->copy.scalar("select rent from apartments where apid = 2").toDouble(), expected);
    QCOMPARE(t->copy.scalar("select amount from recur where recid = 3").toDouble(), expected);
}

void TestAdjustRent::belowZeroIsRefused()
{
    const Values rents = values("select apid, rent from apartments");
    const Values bills = values("select recid, amount from recur");
    AdjustRentDialog dialog(t->hub);
    QSignalSpy refreshed(t->hub, &XDataSource::apartmentsRefresh);
    child<QRadioButton>(&dialog, "applyBoth")->setChecked(true);
    child<QRadioButton>(&dialog, "increaseAmount")->setChecked(true);
    QTest::keyClicks(child<QLineEdit>(&dialog, "amount"), "-5000");
    QVERIFY(!pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts().size(), 1);
    QVERIFY2(MsgBox::shownTexts().constFirst().endsWith("of the rents and bills below zero. Nothing was changed."),
             qPrintable(MsgBox::shownTexts().constFirst()));
    QCOMPARE(refreshed.count(), 0);
    QCOMPARE(values("select apid, rent from apartments"), rents);
    QCOMPARE(values("select recid, amount from recur"), bills);
    QCOMPARE(t->count("apartments where rent < 0"), 0);
}

void TestAdjustRent::decimalCommaOfTheDesktopIsRead()
{
    QVERIFY(t->exec("update apartments set rent = 1000 where apid = 2"));
    const QLocale kept;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
        AdjustRentDialog dialog(t->hub);
        chooseScope(dialog, 3, 2);
        QTest::keyClicks(child<QLineEdit>(&dialog, "percent"), "2,5");
        MsgBox::setNextAnswer(QMessageBox::Yes);
        QVERIFY(pressOk(&dialog));
    }
    QLocale::setDefault(kept);
    QCOMPARE(t->copy.scalar("select rent from apartments where apid = 2").toDouble(), 1025.0);
}

void TestAdjustRent::unreadableValueIsRefused()
{
    const Values rents = values("select apid, rent from apartments");
    AdjustRentDialog dialog(t->hub);
    // What the validator lets stand while a number is still being typed.
    child<QLineEdit>(&dialog, "percent")->setText("1e");
    QVERIFY(!pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(), QStringList("The value in the 'Percentage Increase' field is not a number."));
    QCOMPARE(values("select apid, rent from apartments"), rents);
}

// After a turnover at Maple Court 101 (Amelia's lease deleted, Juniper's made) and the lease of Maple
// Court 103 deleted, current leases get 25.00 more: the count is one rent for each current lease that
// still runs, and Amelia's stopped bill and the deleted lease's keep their amounts.
void TestAdjustRent::countsTheRunningRentOfCurrentLeasesAlone()
{
    Today::set(QDate(2026, 12, 10));
    const int running = t->count("apartments a join agreements g on g.rid = a.agreeid where g.leaseend >= '2026-12-10'");
    LeaseDays days;
    days.load();
    QStringList broken;
    LeaseDriver lease(t->hub, days, broken);
    {
        ApartmentsForm form(t->hub, nullptr);
        QSqlRecord terms = LeaseDriver::leaseOf(1);
        QVERIFY(lease.deleteLease(form, 1, terms.value(QStringLiteral("rid")).toInt()));
        QVERIFY(lease.giveApartment(form, 1, 36));
        for (const char *date : {"firstdue", "leasestart", "movein", "nextdate"})
            terms.setValue(QLatin1String(date), QDate(2027, 1, 1));
        terms.setValue(QStringLiteral("leaseend"), QDate(2027, 12, 31));
        terms.setValue(QStringLiteral("rent"), 1200.0);
        QVERIFY(lease.makeLease(form, 1, terms));
        QVERIFY(lease.deleteLease(form, 3, LeaseDriver::leaseOf(3).value(QStringLiteral("rid")).toInt()));
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join('\n')));
    const Values before = values("select recid, amount from recur");
    AdjustRentDialog dialog(t->hub);
    child<QRadioButton>(&dialog, "applyCurrent")->setChecked(true);
    child<QRadioButton>(&dialog, "increaseAmount")->setChecked(true);
    QTest::keyClicks(child<QLineEdit>(&dialog, "amount"), "25");
    MsgBox::clearShown();
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(pressOk(&dialog));
    Today::reset();
    QCOMPARE(MsgBox::shownTexts(), QStringList(QStringLiteral("This will change the rent of 0 apartment(s) and the "
                                                              "amount of %1 rent bill(s). Do you want to continue?")
                                                   .arg(running - 1)));
    const Values after = values("select recid, amount from recur");
    int changed = 0;
    for (auto it = before.constBegin(); it != before.constEnd(); ++it)
        changed += after.value(it.key()) != it.value();
    QCOMPARE(changed, running - 1);
    QCOMPARE(after.value(1), 1150.0);
    QCOMPARE(after.value(4), 1325.0);
    QCOMPARE(t->copy.scalar("select amount from recur where tid = 36 and apid = 1 and leaserent = 1").toDouble(), 1225.0);
}

VELLORAN_TEST_MAIN(TestAdjustRent)
#include "tst_adjustrent.moc"
