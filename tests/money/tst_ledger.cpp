// The books as a property: clerk actions drawn at random from a seed, each through the window the
// clerk uses, on a copy of the demonstration office; after every action the ledger check must find
// nothing, the charges the bills posted must be those the billing oracle posts for the clerk's acts so
// far (tests/support/leasedays.h), and an action whose write the database refuses must leave the books
// as they were.
//
// VELLORAN_LEDGER_SEED replays another run, VELLORAN_LEDGER_ACTIONS sets how many actions it takes,
// VELLORAN_LEDGER_TRACE prints each action as it is done. A
// long run needs more than the five minutes ctest and Qt Test give a test: run the binary itself with
// Qt Test's limit raised (milliseconds), e.g.
//   VELLORAN_LEDGER_ACTIONS=3000 QTEST_FUNCTION_TIMEOUT=3600000 QT_QPA_PLATFORM=offscreen build/tests/tst_ledger

#include "leasedays.h"
#include "leasedriver.h"
#include "ledgercheck.h"
#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "money/cashbookform.h"
#include "money/catform.h"
#include "money/paymentdialog.h"
#include "money/paymenthistorydialog.h"
#include "platform/datafolder.h"
#include "properties/apartmentsform.h"
#include "shell/mainwindow.h"
#include "tenants/adjustrentdialog.h"
#include "tenants/tenantsform.h"
#include "upkeep/vendorsform.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QRadioButton>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>

#include <memory>
#include <random>

namespace {

QList<QVariant> column(const QString &sql)
{
    QList<QVariant> values;
    QSqlQuery query(QSqlDatabase::database());
    query.exec(sql);
    while (query.next())
        values << query.value(0);
    return values;
}

QVariant scalar(const QString &sql)
{
    const QList<QVariant> values = column(sql);
    return values.isEmpty() ? QVariant() : values.first();
}

// The first difference between two snapshots, for the report.
QString firstDifference(const QStringList &before, const QStringList &after)
{
    for (int i = 0; i < qMax(before.size(), after.size()); ++i) {
        const QString was = before.value(i), now = after.value(i);
        if (was != now)
            return QStringLiteral("was \"%1\", now \"%2\"").arg(was, now);
    }
    return QString();
}

// Makes the writes to one table fail, or none with an empty name.
bool refuseWritesTo(const QString &table)
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(QStringLiteral("select rdb$set_context('USER_SESSION', 'LEDGER_REFUSED', ?) from rdb$database"));
    query.addBindValue(table.isEmpty() ? QVariant(QVariant::String) : table);
    return query.exec() && query.next();
}

qint64 refusalCount()
{
    return scalar("select gen_id(ledger_refusals, 0) from rdb$database").toLongLong();
}

} // namespace

class TestLedger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void demonstrationOfficeBalances();
    void rentDayChargedTwiceIsFound();
    void randomClerkActionsKeepTheBooks();

private:
    struct Action
    {
        const char *name;
        // How often it comes, against the others.
        int weight;
        // What it did, for the report; an action that finds nothing to do says so.
        QString (TestLedger::*run)();
        // The tables it writes, one of which may be made to refuse.
        QStringList tables;
    };

    int below(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); }
    bool chance(int percent) { return below(100) < percent; }
    qint64 centsUpTo(qint64 cents) { return std::uniform_int_distribution<qint64>(1, qMax<qint64>(1, cents))(rng); }
    // A let apartment and a tenant without one, for a turnover; false where there is none of either.
    bool pickTurnover(QVariant &apid, QVariant &newcomer)
    {
        apid = anyOf("select a.apid from apartments a join agreements g on g.rid = a.agreeid where a.tid = g.tid");
        newcomer = anyOf("select t.tid from tenants t where not exists (select 1 from apartments a where a.tid = t.tid)");
        return !apid.isNull() && !newcomer.isNull();
    }
    QVariant anyOf(const QString &sql)
    {
        const QList<QVariant> keys = column(sql);
        return keys.isEmpty() ? QVariant() : keys.at(below(keys.size()));
    }
    // A bill of a let apartment that still charges the lease's tenant, of a type the clerk can choose.
    QVariant anyRunningBill(const QString &also)
    {
        return anyOf(QStringLiteral("select r.recid from recur r join apartments a on a.apid = r.apid join agreements g "
                                    "on g.rid = a.agreeid where r.completed = 0 and r.tid = g.tid and %1 "
                                    "and exists (select 1 from categories k where k.name = r.type)")
                         .arg(also));
    }
    // An expectation of the action itself, beyond the ledger check.
    void expect(bool holds, const QString &what)
    {
        if (!holds)
            broken << what;
    }

    std::unique_ptr<PaymentDialog> openCollection(int tid);
    void setPaying(PaymentDialog *dialog, int row, qint64 cents);
    void pressCancel(QDialog *dialog) { dialogButton(dialog, QDialogButtonBox::Cancel)->click(); }

    QString collectRent(bool full);
    QString collectPart() { return collectRent(false); }
    QString collectAll() { return collectRent(true); }
    QString cancelCollection();
    QString addCharge();
    QString deleteCharge();
    QString voidPayment();
    QString deleteTenant();
    QString endLease();
    QString remakeLease();
    QString turnOver();
    QString adjustRents();
    QString changeCashbookEntry(bool edit);
    QString editCashbookEntry() { return changeCashbookEntry(true); }
    QString deleteCashbookEntry() { return changeCashbookEntry(false); }
    QString deleteVendor();
    QString deleteCategory();
    QString runCharges();
    QString chargeLateFees();
    QString typeOnACommaDesktop();
    QString addSecondBill() { return addBillBeside(false); }
    QString addGarageAsRent() { return addBillBeside(true); }
    QString addBillBeside(bool rent);
    QString chargeOnADueDay() { return chargeLikeABill(false); }
    QString chargeLikeABillAhead() { return chargeLikeABill(true); }
    QString chargeLikeABill(bool ahead);
    QString remakeLeaseBeforeTheBooks();
    QString remakeLeaseFrom(bool earlier);
    QString forgiveThenRemake();
    QString remakeInAnotherFrequency();
    QString correctFirstPayment();
    QString endBillThenRemake();
    QString turnoverUndone();
    QString renewalAhead();

    // The charge run of the main window, told to the record of acts when it went through.
    void chargeRun();

    QSqlRecord billOf(int recid)
    {
        QSqlQuery query(QSqlDatabase::database());
        query.exec(QStringLiteral("select * from recur where recid = %1").arg(recid));
        return query.next() ? query.record() : QSqlRecord();
    }
    // The apartment editor gives the apartment to `tid`; false when it kept its tenant, which only a
    // refused write may leave it with.
    bool giveApartment(ApartmentsForm &form, int apid, int tid);

    std::mt19937 rng;
    std::unique_ptr<MainWindow> window;
    XDataSource *hub = nullptr;
    QStringList broken;
    // The clerk's acts on each apartment's billing, judged by the oracle.
    LeaseDays days;
    std::unique_ptr<LeaseDriver> lease;
};

void TestLedger::initTestCase()
{
    MsgBox::setTestMode(true);
}

void TestLedger::demonstrationOfficeBalances()
{
    TestDatabase demo(QStringLiteral("DEMO.FDB"));
    QVERIFY(demo.isValid());
    const QSqlDatabase db = demo.open(QStringLiteral("ledger"));
    QVERIFY(db.isOpen());
    const QStringList breaches = LedgerCheck::breaches(db);
    QVERIFY2(breaches.isEmpty(), qPrintable(breaches.join(QLatin1Char('\n'))));
}

// Two of Amelia's rent bills at Maple Court 101 charging days of November and December: each charge that
// begins inside another's period is named, a one-time Rent charge on a due day is not.
void TestLedger::rentDayChargedTwiceIsFound()
{
    TestDatabase demo(QStringLiteral("DEMO.FDB"));
    const QSqlDatabase db = demo.open(QStringLiteral("ledger"));
    QSqlQuery query(db);
    QVERIFY(query.exec("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, "
                       "tid, completed, apid, leaserent) values (9500, 'Rent', 1150, 0, 3, '2026-12-15', "
                       "'2026-11-15', '2027-05-31', 0, 1, 1, 1, 1)"));
    QVERIFY(query.exec("insert into charges (chid, tid, apid, type, amt, fordate, origamount, recid) values (9500, 1, 1, "
                       "'Rent', 1150, '2026-11-15', 1150, 9500)"));
    QVERIFY(query.exec("insert into charges (chid, tid, apid, type, amt, fordate, origamount) values (9501, 1, 1, "
                       "'Rent', 1150, '2026-12-01', 1150)"));
    const QString rule = QStringLiteral("no day of a tenant's rent at an apartment is charged twice: ");
    QCOMPARE(LedgerCheck::breaches(db), QStringList({rule + "charge 9500 (tid 1, apid 1, recid 9500, other charge 9)",
                                                     rule + "charge 11 (tid 1, apid 1, recid 1, other charge 9500)"}));
}

std::unique_ptr<PaymentDialog> TestLedger::openCollection(int tid)
{
    auto dialog = std::make_unique<PaymentDialog>(hub);
    dialog->loadTenant(tid);
    dialog->show();
    return dialog;
}

// The PAYING amount of one grid row, through the applied-amount editor.
void TestLedger::setPaying(PaymentDialog *dialog, int row, qint64 cents)
{
    auto *grid = child<QTableView>(dialog, "tableView");
    grid->setCurrentIndex(grid->model()->index(row, 3));
    ModalDriver driver;
    driver.ok([cents](QDialog *editor) { LeaseDriver::retype(editor, "paying", LeaseDriver::money(cents)); });
    clickButton(dialog, "pushButton_4");
}

QString TestLedger::collectRent(bool full)
{
    const QVariant tid = anyOf("select distinct tid from charges where amt > 0");
    if (tid.isNull())
        return QStringLiteral("nobody owes");
    auto dialog = openCollection(tid.toInt());
    QAbstractItemModel *grid = child<QTableView>(dialog.get(), "tableView")->model();
    QStringList paid;
    // A few charges at most: each is an editor of its own.
    for (int row = 0; row < grid->rowCount() && paid.size() < 3; ++row) {
        if (!full && !chance(50) && !(paid.isEmpty() && row == grid->rowCount() - 1))
            continue;
        const qint64 due = qRound64(grid->index(row, 4).data(Qt::EditRole).toDouble() * 100);
        const qint64 paying = full ? due : centsUpTo(due);
        setPaying(dialog.get(), row, paying);
        paid << QStringLiteral("%1:%2").arg(grid->index(row, 0).data().toInt()).arg(LeaseDriver::money(paying));
    }
    // The payment is whatever is applied, split over cash, check and card.
    const qint64 total = qRound64(QLocale().toDouble(child<QLabel>(dialog.get(), "paymentsApplied")->text()) * 100);
    const int lastPayment = scalar("select coalesce(max(transid), 0) from trans").toInt();
    const qint64 cash = total > 0 ? centsUpTo(total + 1) - 1 : 0;
    const qint64 check = total - cash > 0 ? centsUpTo(total - cash + 1) - 1 : 0;
    LeaseDriver::retype(dialog.get(), "cash", LeaseDriver::money(cash));
    LeaseDriver::retype(dialog.get(), "check", LeaseDriver::money(check));
    LeaseDriver::retype(dialog.get(), "creditcard", LeaseDriver::money(total - cash - check));
    dialogButton(dialog.get(), QDialogButtonBox::Ok)->click();
    if (dialog->isVisible())
        pressCancel(dialog.get());
    const QVariant stored = scalar(QStringLiteral("select paytotal from trans where transid > %1").arg(lastPayment));
    if (!stored.isNull())
        expect(qRound64(stored.toDouble() * 100) == total,
               QStringLiteral("the payment is stored as typed (%1, stored %2)").arg(LeaseDriver::money(total), stored.toString()));
    return QStringLiteral("tenant %1 pays %2 for %3").arg(tid.toInt()).arg(LeaseDriver::money(total), paid.join(QLatin1Char(' ')));
}

QString TestLedger::cancelCollection()
{
    const QVariant tid = anyOf("select distinct tid from charges where amt > 0");
    if (tid.isNull())
        return QStringLiteral("nobody owes");
    const QString marks = QStringLiteral("select list(chid || ':' || cast(applied as numeric(12, 2))) from charges where tid = %1").arg(tid.toInt());
    const QVariant before = scalar(marks);
    auto dialog = openCollection(tid.toInt());
    const int rows = child<QTableView>(dialog.get(), "tableView")->model()->rowCount();
    if (rows == 0)
        return QStringLiteral("tenant %1 has nothing listed").arg(tid.toInt());
    const int row = below(rows);
    setPaying(dialog.get(), row, centsUpTo(qRound64(
        child<QTableView>(dialog.get(), "tableView")->model()->index(row, 4).data(Qt::EditRole).toDouble() * 100)));
    pressCancel(dialog.get());
    expect(scalar(marks) == before, QStringLiteral("Cancel in Collect Rent keeps the PAYING amounts as they were (%1, "
                                                   "now %2)").arg(before.toString(), scalar(marks).toString()));
    return QStringLiteral("tenant %1 marks a charge, then cancels").arg(tid.toInt());
}

QString TestLedger::addCharge()
{
    const QVariant tid = anyOf("select distinct tid from apartments where tid > 0");
    if (tid.isNull())
        return QStringLiteral("no tenant holds an apartment");
    const QString type = anyOf("select name from categories").toString();
    const qint64 cents = centsUpTo(500000);
    const int lastCharge = scalar("select max(chid) from charges").toInt();
    auto dialog = openCollection(tid.toInt());
    ModalDriver driver;
    driver.ok([&](QDialog *editor) {
        child<QComboBox>(editor, "type")->setCurrentText(type);
        LeaseDriver::retype(editor, "amount", LeaseDriver::money(cents));
    });
    clickButton(dialog.get(), "pushButton");
    pressCancel(dialog.get());
    const QVariant stored = scalar(QStringLiteral("select origamount from charges where chid > %1").arg(lastCharge));
    if (!stored.isNull())
        expect(qRound64(stored.toDouble() * 100) == cents,
               QStringLiteral("the charge is stored as typed (%1, stored %2)").arg(LeaseDriver::money(cents), stored.toString()));
    return QStringLiteral("tenant %1 is charged %2 %3").arg(tid.toInt()).arg(LeaseDriver::money(cents), type);
}

QString TestLedger::deleteCharge()
{
    const QVariant tid = anyOf("select distinct tid from charges where amt > 0");
    if (tid.isNull())
        return QStringLiteral("nobody owes");
    int chid = 0;
    {
        auto dialog = openCollection(tid.toInt());
        QAbstractItemModel *grid = child<QTableView>(dialog.get(), "tableView")->model();
        if (grid->rowCount() == 0)
            return QStringLiteral("tenant %1 has nothing listed").arg(tid.toInt());
        chid = grid->index(below(grid->rowCount()), 0).data().toInt();
        pressCancel(dialog.get());
    }
    const bool paid = scalar(QStringLiteral("select count(*) from payments where chid = %1").arg(chid)).toInt() > 0;
    const bool gone = lease->forgive(chid);
    if (paid)
        expect(!gone, QStringLiteral("a charge with payments is not deleted (charge %1)").arg(chid));
    return QStringLiteral("charge %1%2 deleted").arg(chid).arg(paid ? QStringLiteral(", partly paid,") : QString());
}

QString TestLedger::voidPayment()
{
    const QVariant transid = anyOf("select transid from trans");
    if (transid.isNull())
        return QStringLiteral("no payment to void");
    const int tid = scalar(QStringLiteral("select tid from trans where transid = %1").arg(transid.toInt())).toInt();
    hub->transModel()->select();
    PaymentHistoryDialog dialog(hub, tid);
    selectRow(child<QTableView>(&dialog, "tableView"), 0, transid.toInt(), 1);
    clickButton(&dialog, "pushButton");
    return QStringLiteral("payment %1 of tenant %2 voided").arg(transid.toInt()).arg(tid);
}

QString TestLedger::deleteTenant()
{
    // Now and then one who owes or holds a deposit, as often as not one whose lease has gone.
    const QVariant tid = chance(50) ? anyOf("select tid from tenants")
                                    : anyOf("select t.tid from tenants t where not exists (select 1 from apartments a "
                                            "where a.tid = t.tid and a.agreeid > 0)");
    if (tid.isNull())
        return QStringLiteral("no tenant");
    const QString key = QString::number(tid.toInt());
    const bool bound = scalar("select count(*) from charges where amt > 0 and tid = " + key).toInt()
                           + scalar("select count(*) from deposits where tid = " + key).toInt()
                           + scalar("select count(*) from apartments where tid = " + key).toInt()
                       > 0;
    TenantsForm form(hub);
    hub->tenantsModel()->setFilter(QString());
    selectRow(child<QTableView>(&form, "tableView"), 0, tid.toInt(), 1);
    clickButton(&form, "pushButton_3");
    if (bound)
        expect(scalar("select count(*) from tenants where tid = " + key).toInt() == 1,
               QStringLiteral("a tenant who owes, holds a deposit or an apartment is not deleted (tenant %1)").arg(key));
    return QStringLiteral("tenant %1%2 deleted").arg(key, bound ? QStringLiteral(", still bound,") : QString());
}

QString TestLedger::endLease()
{
    const QVariant apid = anyOf("select apid from apartments where agreeid > 0");
    if (apid.isNull())
        return QStringLiteral("no lease");
    ApartmentsForm form(hub, nullptr);
    if (!lease->deleteLease(form, apid.toInt(), LeaseDriver::leaseOf(apid.toInt()).value(QStringLiteral("rid")).toInt()))
        return QStringLiteral("lease of apartment %1 kept").arg(apid.toInt());
    return QStringLiteral("lease of apartment %1 deleted").arg(apid.toInt());
}

bool TestLedger::giveApartment(ApartmentsForm &form, int apid, int tid)
{
    const qint64 refusals = refusalCount();
    if (lease->giveApartment(form, apid, tid))
        return true;
    if (refusalCount() == refusals)
        broken << QStringLiteral("the apartment editor gives apartment %1 to tenant %2").arg(apid).arg(tid);
    return false;
}

QString TestLedger::remakeLease()
{
    return remakeLeaseFrom(false);
}

// The same, the lease now said to have begun one to three months before the first charge the books hold
// for the apartment (the office began its books after the lease): those months are never charged.
QString TestLedger::remakeLeaseBeforeTheBooks()
{
    return remakeLeaseFrom(true);
}

QString TestLedger::remakeLeaseFrom(bool earlier)
{
    const QVariant apid = anyOf("select a.apid from apartments a join agreements g on g.rid = a.agreeid "
                                "where a.tid = g.tid");
    if (apid.isNull())
        return QStringLiteral("no lease");
    QSqlRecord terms = LeaseDriver::leaseOf(apid.toInt());
    if (earlier) {
        const QDate books = scalar(QStringLiteral("select min(fordate) from charges where apid = %1").arg(apid.toInt()))
                                .toDate();
        const QDate from = (books.isValid() ? books : terms.value(QStringLiteral("nextdate")).toDate())
                               .addMonths(-1 - below(3));
        for (const char *date : {"firstdue", "leasestart", "movein", "nextdate"})
            terms.setValue(QLatin1String(date), from);
    }
    return lease->remakeLeaseOf(apid.toInt(), terms,
                         earlier ? QStringLiteral(" from ")
                                       + terms.value(QStringLiteral("leasestart")).toDate().toString(Qt::ISODate)
                                 : QString());
}

// A charge a bill posted is forgiven (deleted in Collect Rent), then the lease is made again as it
// stood: the forgiven period is not charged again.
QString TestLedger::forgiveThenRemake()
{
    const QVariant chid = anyOf("select c.chid from charges c join recur r on r.recid = c.recid join apartments a on "
                                "a.apid = r.apid join agreements g on g.rid = a.agreeid where a.tid = g.tid and "
                                "c.tid = g.tid and c.paid = 0 and c.applied = 0 and not exists (select 1 from payments "
                                "p where p.chid = c.chid)");
    if (chid.isNull())
        return QStringLiteral("no unpaid charge of a bill");
    const QSqlRecord bill = billOf(scalar(QStringLiteral("select recid from charges where chid = %1").arg(chid.toInt())).toInt());
    const int recid = bill.value(QStringLiteral("recid")).toInt();
    const int apid = bill.value(QStringLiteral("apid")).toInt();
    if (!lease->forgive(chid.toInt()))
        return QStringLiteral("charge %1 kept").arg(chid.toInt());
    return QStringLiteral("charge %1 of bill %2 forgiven; ").arg(chid.toInt()).arg(recid)
           + lease->remakeLeaseOf(apid, LeaseDriver::leaseOf(apid), QString());
}

// Renewed in another frequency at another rent: as it stood, from the month before, or from one of the
// next two months.
QString TestLedger::remakeInAnotherFrequency()
{
    const QVariant apid = anyOf("select a.apid from apartments a join agreements g on g.rid = a.agreeid "
                                "where a.tid = g.tid");
    if (apid.isNull())
        return QStringLiteral("no lease");
    QSqlRecord terms = LeaseDriver::leaseOf(apid.toInt());
    static const QPair<int, const char *> frequencies[] = {{1, "Bi-Weekly"}, {3, "Monthly"}, {4, "Quarterly"},
                                                           {5, "Weekly"}};
    const auto &frequency = frequencies[below(4)];
    terms.setValue(QStringLiteral("freq"), frequency.first);
    terms.setValue(QStringLiteral("frequency"), QLatin1String(frequency.second));
    terms.setValue(QStringLiteral("rent"), double(centsUpTo(400000) + 10000) / 100);
    QString how = QStringLiteral(" %1 at %2").arg(QLatin1String(frequency.second),
                                                  LeaseDriver::money(qRound64(terms.value(QStringLiteral("rent")).toDouble() * 100)));
    const int shift = below(4) - 1;
    if (shift < 2) {
        const QDate from = Today::date().addDays(1 - Today::date().day()).addMonths(shift);
        for (const char *date : {"firstdue", "leasestart", "movein", "nextdate"})
            terms.setValue(QLatin1String(date), from);
        terms.setValue(QStringLiteral("leaseend"), from.addYears(1).addDays(-1));
        // The tenant moves out when the renewed lease ends, not on the old lease's move-out date.
        terms.setValue(QStringLiteral("moveout"), from.addYears(1).addDays(-1));
        how += QStringLiteral(" from ") + from.toString(Qt::ISODate);
    }
    if (chance(50))
        terms.setValue(QStringLiteral("moveout"), QVariant(QVariant::Date));
    return lease->remakeLeaseOf(apid.toInt(), terms, how);
}

// A vacant apartment is let from one to three months ahead, then the first payment date is corrected a
// month earlier or later before anything is charged; as often as not a parking bill was added first.
QString TestLedger::correctFirstPayment()
{
    const QVariant apid = anyOf("select apid from apartments where agreeid <= 0 and coalesce(tid, -1) <= 0");
    const QVariant newcomer = anyOf("select t.tid from tenants t where not exists "
                                    "(select 1 from apartments a where a.tid = t.tid)");
    const QVariant anyLease = anyOf("select a.apid from apartments a where a.agreeid > 0");
    if (apid.isNull() || newcomer.isNull() || anyLease.isNull())
        return QStringLiteral("no vacant apartment or no tenant without one");
    ApartmentsForm form(hub, nullptr);
    if (!giveApartment(form, apid.toInt(), newcomer.toInt()))
        return QStringLiteral("apartment %1 kept its tenant").arg(apid.toInt());
    const QDate month = Today::date().addDays(1 - Today::date().day());
    const QDate first = month.addMonths(1 + below(3));
    QString how;
    if (chance(50)) {
        const QDate start = month.addMonths(1 + below(3));
        if (lease->addBill(form, apid.toInt(), QStringLiteral("Parking"), 4500, start, start.addYears(2)) > 0)
            how = QStringLiteral(", parking from ") + start.toString(Qt::ISODate);
    }
    QSqlRecord terms = LeaseDriver::leaseOf(anyLease.toInt());
    terms.setValue(QStringLiteral("tid"), newcomer.toInt());
    for (const char *date : {"firstdue", "leasestart", "movein", "nextdate"})
        terms.setValue(QLatin1String(date), first);
    terms.setValue(QStringLiteral("leaseend"), first.addYears(1).addDays(-1));
    terms.setValue(QStringLiteral("moveout"), QVariant(QVariant::Date));
    if (!lease->makeLease(form, apid.toInt(), terms))
        return QStringLiteral("apartment %1 given to tenant %2, no lease").arg(apid.toInt()).arg(newcomer.toInt());
    terms = LeaseDriver::leaseOf(apid.toInt());
    const QDate corrected = first.addMonths(first > month.addMonths(1) && chance(50) ? -1 : 1);
    terms.setValue(QStringLiteral("firstdue"), corrected);
    terms.setValue(QStringLiteral("nextdate"), corrected);
    if (corrected < terms.value(QStringLiteral("leasestart")).toDate())
        terms.setValue(QStringLiteral("leasestart"), corrected);
    return QStringLiteral("apartment %1 let to tenant %2 from %3%4; ")
               .arg(apid.toInt())
               .arg(newcomer.toInt())
               .arg(first.toString(Qt::ISODate), how)
           + lease->remakeLeaseOf(apid.toInt(), terms, QStringLiteral(" paying from ") + corrected.toString(Qt::ISODate));
}

// A bill of the lease's tenant is ended before the lease does (a parking space given up), then the lease
// is renewed from the first of next month: the bill stays ended.
QString TestLedger::endBillThenRemake()
{
    const QVariant recid = anyRunningBill(QStringLiteral("r.leaserent is distinct from 1 and r.enddate > r.nextdate"));
    if (recid.isNull())
        return QStringLiteral("no bill to end");
    const QSqlRecord bill = billOf(recid.toInt());
    const int apid = bill.value(QStringLiteral("apid")).toInt();
    const QDate leaseEnd = LeaseDriver::leaseOf(apid).value(QStringLiteral("leaseend")).toDate();
    const QDate end = qMax(bill.value(QStringLiteral("startdate")).toDate(),
                           bill.value(QStringLiteral("nextdate")).toDate().addMonths(below(3)).addDays(-1));
    if (!(end < leaseEnd))
        return QStringLiteral("bill %1 ends with its lease").arg(recid.toInt());
    if (!(end < bill.value(QStringLiteral("enddate")).toDate()))
        return QStringLiteral("bill %1 ends before that already").arg(recid.toInt());
    {
        ApartmentsForm form(hub, nullptr);
        if (!lease->endBill(form, apid, recid.toInt(), end))
            return QStringLiteral("bill %1 kept its end").arg(recid.toInt());
    }
    QSqlRecord terms = LeaseDriver::leaseOf(apid);
    const QDate from = Today::date().addDays(1 - Today::date().day()).addMonths(1);
    for (const char *date : {"firstdue", "leasestart", "nextdate"})
        terms.setValue(QLatin1String(date), from);
    terms.setValue(QStringLiteral("leaseend"), qMax(leaseEnd, from.addYears(1).addDays(-1)));
    return QStringLiteral("bill %1 ends %2; ").arg(recid.toInt()).arg(end.toString(Qt::ISODate))
           + lease->remakeLeaseOf(apid, terms, QStringLiteral(" from ") + from.toString(Qt::ISODate));
}

// An apartment let to another tenant by mistake from the first of next month, then given back: the
// newcomer's lease deleted, the first tenant's entered again as it stood. He goes on where his own bills
// stood, charged again for nothing.
QString TestLedger::turnoverUndone()
{
    QVariant apid, newcomer;
    if (!pickTurnover(apid, newcomer))
        return QStringLiteral("no lease or no tenant without an apartment");
    const QSqlRecord own = LeaseDriver::leaseOf(apid.toInt());
    const int tid = own.value(QStringLiteral("tid")).toInt();
    ApartmentsForm form(hub, nullptr);
    if (!lease->deleteLease(form, apid.toInt(), own.value(QStringLiteral("rid")).toInt()))
        return QStringLiteral("lease of apartment %1 kept").arg(apid.toInt());
    if (!giveApartment(form, apid.toInt(), newcomer.toInt()))
        return QStringLiteral("apartment %1 kept its tenant").arg(apid.toInt());
    QSqlRecord mistake = own;
    const QDate first = Today::date().addDays(1 - Today::date().day()).addMonths(1);
    for (const char *date : {"firstdue", "leasestart", "movein", "nextdate"})
        mistake.setValue(QLatin1String(date), first);
    mistake.setValue(QStringLiteral("leaseend"), first.addYears(1).addDays(-1));
    mistake.setValue(QStringLiteral("moveout"), QVariant(QVariant::Date));
    if (!lease->makeLease(form, apid.toInt(), mistake))
        return QStringLiteral("apartment %1 given to tenant %2, no lease").arg(apid.toInt()).arg(newcomer.toInt());
    if (!lease->deleteLease(form, apid.toInt(), LeaseDriver::leaseOf(apid.toInt()).value(QStringLiteral("rid")).toInt()))
        return QStringLiteral("apartment %1 let to tenant %2, lease kept").arg(apid.toInt()).arg(newcomer.toInt());
    if (!giveApartment(form, apid.toInt(), tid))
        return QStringLiteral("apartment %1 not given back").arg(apid.toInt());
    lease->makeLease(form, apid.toInt(), own);
    return QStringLiteral("apartment %1 let to tenant %2 from %3 and given back to tenant %4")
        .arg(apid.toInt())
        .arg(newcomer.toInt())
        .arg(first.toString(Qt::ISODate))
        .arg(tid);
}

// The lease renewed for a year from the day after its end, entered now (deleted and made again); the
// days left of the old lease are charged under it or left uncharged, as the clerk answers.
QString TestLedger::renewalAhead()
{
    const QVariant apid = anyOf("select a.apid from apartments a join agreements g on g.rid = a.agreeid "
                                "where a.tid = g.tid");
    if (apid.isNull())
        return QStringLiteral("no lease");
    QSqlRecord terms = LeaseDriver::leaseOf(apid.toInt());
    const QDate from = terms.value(QStringLiteral("leaseend")).toDate().addDays(1);
    for (const char *date : {"firstdue", "leasestart", "movein", "nextdate"})
        terms.setValue(QLatin1String(date), from);
    terms.setValue(QStringLiteral("leaseend"), from.addYears(1).addDays(-1));
    terms.setValue(QStringLiteral("moveout"), QVariant(QVariant::Date));
    const bool charge = chance(50);
    return lease->remakeLeaseOf(apid.toInt(), terms,
                                QStringLiteral(" from %1, the old lease's days %2").arg(from.toString(Qt::ISODate),
                                                                                       charge ? "charged" : "left"),
                                charge ? QMessageBox::Yes : QMessageBox::No);
}

// A second bill beside one the apartment is billed for already (a second parking space), or a garage
// let as a bill of type Rent, added on the apartments page from a month or so around the first one's
// next due date.
QString TestLedger::addBillBeside(bool rent)
{
    const QVariant recid = anyRunningBill(rent ? QStringLiteral("r.leaserent = 1")
                                               : QStringLiteral("r.leaserent is distinct from 1"));
    if (recid.isNull())
        return QStringLiteral("no such bill");
    const QSqlRecord beside = billOf(recid.toInt());
    const int apid = beside.value(QStringLiteral("apid")).toInt();
    const QString type = rent ? QStringLiteral("Rent") : beside.value(QStringLiteral("type")).toString();
    const QDate start = beside.value(QStringLiteral("nextdate")).toDate().addMonths(1 - below(4));
    const QDate end = beside.value(QStringLiteral("enddate")).toDate();
    const qint64 cents = centsUpTo(20000);
    ApartmentsForm form(hub, nullptr);
    const int added = lease->addBill(form, apid, type, cents, start, end);
    if (added > 0) {
        const QString stored = scalar(QStringLiteral("select type from recur where recid = %1").arg(added)).toString();
        expect(stored == type, QStringLiteral("the second bill is of the type chosen (%1, stored %2)").arg(type, stored));
    }
    return QStringLiteral("apartment %1 gets a second %2 bill of %3 from %4")
        .arg(apid)
        .arg(type, LeaseDriver::money(cents), start.toString(Qt::ISODate));
}

// A one-time charge of a bill's type and amount, added in Collect Rent and dated on the day that bill is
// next due, or some months ahead (a month's rent paid up front).
QString TestLedger::chargeLikeABill(bool ahead)
{
    const QVariant recid = anyRunningBill(QStringLiteral("a.tid = r.tid"));
    if (recid.isNull())
        return QStringLiteral("no bill");
    QSqlQuery bill(QSqlDatabase::database());
    bill.exec(QStringLiteral("select r.tid, r.type, r.nextdate, b.description || ' - ' || a.suite, r.amount from recur "
                             "r join apartments a on a.apid = r.apid join buildings b on b.buildid = a.bid where "
                             "r.recid = %1")
                  .arg(recid.toInt()));
    bill.next();
    const int tid = bill.value(0).toInt();
    const QString type = bill.value(1).toString();
    const QDate due = bill.value(2).toDate().addMonths(ahead ? 1 + below(6) : 0);
    const QString suite = bill.value(3).toString();
    const qint64 cents = ahead ? qRound64(bill.value(4).toDouble() * 100) : centsUpTo(20000);
    auto dialog = openCollection(tid);
    ModalDriver driver;
    driver.ok([&](QDialog *editor) {
        child<QComboBox>(editor, "type")->setCurrentText(type);
        child<QComboBox>(editor, "suite")->setCurrentText(suite);
        LeaseDriver::retype(editor, "amount", LeaseDriver::money(cents));
        LeaseDriver::retype(editor, "fordate", ShortDate::toText(due));
    });
    clickButton(dialog.get(), "pushButton");
    pressCancel(dialog.get());
    return QStringLiteral("tenant %1 is charged %2 %3 on %4, like bill %5")
        .arg(tid)
        .arg(LeaseDriver::money(cents), type, due.toString(Qt::ISODate))
        .arg(recid.toInt());
}

void TestLedger::chargeRun()
{
    const qint64 refusals = refusalCount();
    window->processRecurringCharges();
    if (refusalCount() == refusals)
        days.chargeRun(Today::date());
}

// The tenant leaves: the lease is deleted, the apartment editor gives the apartment to another tenant
// and a lease is made for her from the first of next month. The departed tenant keeps what she owed
// and is charged nothing for the new lease's periods.
QString TestLedger::turnOver()
{
    QVariant apid, newcomer;
    if (!pickTurnover(apid, newcomer))
        return QStringLiteral("no lease or no tenant without an apartment");
    QSqlRecord terms = LeaseDriver::leaseOf(apid.toInt());
    const int departed = terms.value(QStringLiteral("tid")).toInt();
    const QStringList before = LeaseDriver::chargesOf(apid.toInt());
    ApartmentsForm form(hub, nullptr);
    if (!lease->deleteLease(form, apid.toInt(), terms.value(QStringLiteral("rid")).toInt()))
        return QStringLiteral("lease of apartment %1 kept").arg(apid.toInt());
    if (!giveApartment(form, apid.toInt(), newcomer.toInt()))
        return QStringLiteral("apartment %1 kept its tenant").arg(apid.toInt());

    const QDate first = Today::date().addDays(1 - Today::date().day()).addMonths(1);
    for (const char *date : {"firstdue", "leasestart", "movein", "nextdate"})
        terms.setValue(QLatin1String(date), first);
    terms.setValue(QStringLiteral("leaseend"), first.addYears(1).addDays(-1));
    terms.setValue(QStringLiteral("moveout"), first.addYears(1).addDays(-1));
    // What she was charged before she left (a one-time charge dated ahead among it) stays hers.
    const int lastCharge = scalar("select coalesce(max(chid), 0) from charges").toInt();
    lease->makeLease(form, apid.toInt(), terms);

    const QStringList after = LeaseDriver::chargesOf(apid.toInt());
    for (const QString &charge : before)
        expect(after.contains(charge), QStringLiteral("the departed tenant keeps what she owed (%1)").arg(charge));
    Today::set(first.addMonths(2));
    chargeRun();
    expect(scalar(QStringLiteral("select count(*) from charges where apid = %1 and tid = %2 and fordate >= '%3' "
                                 "and chid > %4")
                      .arg(apid.toInt())
                      .arg(departed)
                      .arg(first.toString(Qt::ISODate))
                      .arg(lastCharge))
                   .toInt()
               == 0,
           QStringLiteral("tenant %1 is charged nothing of apartment %2 after she left").arg(departed).arg(apid.toInt()));
    return QStringLiteral("apartment %1 goes from tenant %2 to tenant %3 on %4, charge run on %5")
        .arg(apid.toInt())
        .arg(departed)
        .arg(newcomer.toInt())
        .arg(first.toString(Qt::ISODate), Today::date().toString(Qt::ISODate));
}

QString TestLedger::adjustRents()
{
    AdjustRentDialog dialog(hub);
    static const char *const modes[] = {"applyFuture", "applyCurrent", "applyBoth"};
    const int mode = below(3);
    child<QRadioButton>(&dialog, modes[mode])->setChecked(true);
    QString scope = QStringLiteral("every apartment");
    int apid = 0;
    if (chance(50)) {
        apid = anyOf("select apid from apartments").toInt();
        child<QRadioButton>(&dialog, "adjustSelApartment")->setChecked(true);
        ModalDriver driver;
        driver.ok([apid](QDialog *picker) { selectRow(child<QTableView>(picker, "tableView"), 1, apid, 2); });
        clickButton(&dialog, "pushButton");
        scope = QStringLiteral("apartment %1").arg(apid);
    }
    // Mostly a few percent or dollars either way, now and then a cut below nothing.
    const bool byAmount = chance(50);
    const bool drastic = chance(15);
    const qint64 hundredths = drastic ? -(byAmount ? 900000 : 15000) : centsUpTo(byAmount ? 12000 : 3000) - (byAmount ? 6000 : 1500);
    child<QRadioButton>(&dialog, byAmount ? "increaseAmount" : "increasePercentRadio")->setChecked(true);
    LeaseDriver::retype(&dialog, byAmount ? "amount" : "percent", LeaseDriver::money(hundredths));
    // The leases whose rent it adjusts: those in force whose rent still runs.
    QList<int> leased;
    if (mode != 0)
        for (const QVariant &key : column(QStringLiteral("select r.apid from recur r join apartments a on a.apid = r.apid "
                                                         "and a.agreeid = r.rid join agreements g on g.rid = a.agreeid "
                                                         "and g.tid = r.tid where r.leaserent = 1 and r.completed = 0%1")
                                              .arg(apid > 0 ? QStringLiteral(" and r.apid = %1").arg(apid) : QString())))
            leased << key.toInt();
    const qint64 refusals = refusalCount();
    MsgBox::clearShown();
    dialogButton(&dialog, QDialogButtonBox::Ok)->click();
    // A refused write changes no rent, nor does a cut below nothing.
    if (refusalCount() != refusals || MsgBox::shownTexts().join(QLatin1Char(' ')).contains(QLatin1String("below zero")))
        return QStringLiteral("%1 kept its rents").arg(scope);
    // From here on the running rents charge what the adjustment makes of them, by the test's own sums.
    days.rentAdjusted(leased, byAmount, hundredths, Today::date());
    return QStringLiteral("%1 changed by %2%3").arg(scope, LeaseDriver::money(hundredths), byAmount ? QString() : QStringLiteral("%"));
}

// An entry of the cashbook window, as often as not one that a payment posted, given a new amount or
// deleted.
QString TestLedger::changeCashbookEntry(bool edit)
{
    const QVariant accid = chance(50) ? anyOf("select accid from cashbook where transid is not null")
                                      : anyOf("select accid from cashbook");
    if (accid.isNull())
        return QStringLiteral("empty cashbook");
    const qint64 cents = centsUpTo(100000);
    CashbookForm form(hub);
    QSqlDoubleQueryModel *list = hub->cashbookQueryModel();
    while (list->canFetchMore())
        list->fetchMore();
    selectRow(child<QTableView>(&form, "tableView"), 8, accid.toInt(), 1);
    ModalDriver driver;
    if (edit)
        driver.ok([cents](QDialog *editor) { LeaseDriver::retype(editor, "amount", LeaseDriver::money(cents)); });
    clickButton(&form, edit ? "pushButton_2" : "pushButton_3");
    return edit ? QStringLiteral("cashbook entry %1 set to %2").arg(accid.toInt()).arg(LeaseDriver::money(cents))
                : QStringLiteral("cashbook entry %1 deleted").arg(accid.toInt());
}

QString TestLedger::deleteVendor()
{
    const QVariant vid = anyOf("select vid from vendors");
    if (vid.isNull())
        return QStringLiteral("no vendor");
    hub->vendorsModel()->setFilter(QString());
    VendorsForm form(hub);
    selectRow(child<QTableView>(&form, "tableView"), 0, vid.toInt(), 1);
    clickButton(&form, "pushButton_3");
    return QStringLiteral("vendor %1 deleted").arg(vid.toInt());
}

QString TestLedger::deleteCategory()
{
    const QVariant catid = anyOf("select catid from categories where catid not in (5, 7)");
    if (catid.isNull())
        return QStringLiteral("no category");
    CatForm form(hub);
    selectRow(child<QTableView>(&form, "tableView"), 0, catid.toInt(), 1);
    clickButton(&form, "pushButton_3");
    return QStringLiteral("category %1 deleted").arg(catid.toInt());
}

// The same windows on a desktop that writes amounts with a decimal comma and a point between
// thousands ("1.234,56").
QString TestLedger::typeOnACommaDesktop()
{
    const QLocale desktop;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QString done;
    switch (below(3)) {
    case 0:
        done = addCharge();
        break;
    case 1:
        done = collectRent(chance(50));
        break;
    default:
        done = editCashbookEntry();
        break;
    }
    QLocale::setDefault(desktop);
    return QStringLiteral("on a German desktop, ") + done;
}

QString TestLedger::runCharges()
{
    const int days = 1 + below(20);
    Today::set(Today::date().addDays(days));
    chargeRun();
    return QStringLiteral("charge run on %1").arg(Today::date().toString(Qt::ISODate));
}

QString TestLedger::chargeLateFees()
{
    const QVariant tid = anyOf("select distinct tid from charges where amt > 0");
    if (tid.isNull())
        return QStringLiteral("nobody owes");
    window->processLateFees(tid.toInt());
    return QStringLiteral("late fees of tenant %1 on %2").arg(tid.toInt()).arg(Today::date().toString(Qt::ISODate));
}

void TestLedger::randomClerkActionsKeepTheBooks()
{
    const QByteArray seedText = qgetenv("VELLORAN_LEDGER_SEED");
    const quint32 seed = seedText.isEmpty() ? 31u : seedText.toUInt();
    const QByteArray countText = qgetenv("VELLORAN_LEDGER_ACTIONS");
    const int count = countText.isEmpty() ? 300 : countText.toInt();
    rng.seed(seed);

    // The main window on a data folder of the test's own, holding a fresh demonstration office.
    QTemporaryDir documents;
    qputenv("VELLORAN_DOCUMENTS", QFile::encodeName(documents.path()));
    QDir().mkpath(DataFolder::path());
    const QString file = DataFolder::filePath(QStringLiteral("DEMO.FDB"));
    QVERIFY(QFile::copy(TestDatabase::builtDatabase(QStringLiteral("DEMO.FDB")), file));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    // The copy goes with the test: it need not wait for the disk at every commit.
    QProcess::execute(QStringLiteral("gfix"), {QStringLiteral("-write"), QStringLiteral("async"), file});
    {
        ModalDriver chooser;
        chooser.ok();
        window = std::make_unique<MainWindow>();
    }
    QVERIFY(window->isDatabaseOpen());
    hub = window->dataSource();
    lease = std::make_unique<LeaseDriver>(hub, days, broken);
    hub->setCanReceivePayments(true);
    hub->setCanVoidPayments(true);
    // The office's demonstration days run up to the last payment it received.
    Today::set(scalar("select max(tdate) from trans").toDate().addDays(3));
    days.load();

    const QList<Action> actions = {
        {"collect part", 3, &TestLedger::collectPart, {"charges", "trans", "payments", "cashbook", "categories"}},
        {"collect all", 2, &TestLedger::collectAll, {"charges", "trans", "payments", "cashbook", "categories"}},
        {"cancel collection", 1, &TestLedger::cancelCollection, {"charges"}},
        {"one-time charge", 2, &TestLedger::addCharge, {"charges"}},
        {"delete charge", 1, &TestLedger::deleteCharge, {"charges"}},
        {"void payment", 2, &TestLedger::voidPayment, {"trans", "charges", "payments", "cashbook"}},
        {"delete tenant", 1, &TestLedger::deleteTenant, {"tenants", "deposits"}},
        {"end lease", 1, &TestLedger::endLease, {"agreements", "apartments", "recur"}},
        // Two commands each: a refused write stops the first, and the books stay as they were.
        {"make a lease again", 1, &TestLedger::remakeLease, {"agreements"}},
        {"turnover", 1, &TestLedger::turnOver, {"agreements"}},
        {"adjust rents", 1, &TestLedger::adjustRents, {"apartments", "recur"}},
        {"edit cashbook entry", 1, &TestLedger::editCashbookEntry, {"cashbook"}},
        {"delete cashbook entry", 1, &TestLedger::deleteCashbookEntry, {"cashbook"}},
        {"delete vendor", 1, &TestLedger::deleteVendor, {"vendors", "maintenance"}},
        {"delete category", 1, &TestLedger::deleteCategory, {"categories"}},
        {"charge run", 2, &TestLedger::runCharges, {"charges", "recur"}},
        {"late fees", 2, &TestLedger::chargeLateFees, {"charges"}},
        {"comma desktop", 2, &TestLedger::typeOnACommaDesktop, {"charges", "trans", "payments", "cashbook"}},
        {"second bill of a type", 1, &TestLedger::addSecondBill, {"recur"}},
        {"one-time charge on a due day", 1, &TestLedger::chargeOnADueDay, {"charges"}},
        {"lease made again from before the books", 1, &TestLedger::remakeLeaseBeforeTheBooks, {"agreements"}},
        {"one-time charge like a bill, dated ahead", 1, &TestLedger::chargeLikeABillAhead, {"charges"}},
        {"charge forgiven, lease made again", 1, &TestLedger::forgiveThenRemake, {"charges"}},
        {"lease made again in another frequency", 1, &TestLedger::remakeInAnotherFrequency, {"agreements", "recur"}},
        {"first payment date corrected", 1, &TestLedger::correctFirstPayment, {"apartments"}},
        {"bill ended early, lease made again", 1, &TestLedger::endBillThenRemake, {"recur"}},
        {"garage let as a bill of type Rent", 1, &TestLedger::addGarageAsRent, {"recur"}},
        {"turnover undone", 1, &TestLedger::turnoverUndone, {"agreements"}},
        {"renewal entered ahead", 1, &TestLedger::renewalAhead, {"agreements"}},
    };

    // Every table an action writes gets a trigger that refuses the write while the session names the
    // table, and counts the refusals in a generator, which keeps its count through the rollback.
    // Armed by a session variable rather than created per action: changing the schema makes the
    // engine prepare every statement of the program again.
    QVERIFY(exec("create exception ledger_refused 'the test refuses this write'"));
    QVERIFY(exec("create sequence ledger_refusals"));
    QSet<QString> written;
    for (const Action &action : actions)
        written += QSet<QString>(action.tables.begin(), action.tables.end());
    for (const QString &table : written)
        QVERIFY(exec(QStringLiteral("create trigger ledger_refuse_%1 for %1 before insert or update or delete "
                                    "position 99 as declare tried bigint; begin "
                                    "if (rdb$get_context('USER_SESSION', 'LEDGER_REFUSED') = '%1') then begin "
                                    "tried = gen_id(ledger_refusals, 1); exception ledger_refused; end end")
                         .arg(table)));

    int totalWeight = 0;
    for (const Action &action : actions)
        totalWeight += action.weight;

    // A window that no step of an action answers would wait for a clerk who never comes.
    QTimer watchdog;
    QString stuck;
    connect(&watchdog, &QTimer::timeout, this, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            stuck = dialog->windowTitle();
            dialog->reject();
        }
        watchdog.start(100);
    });

    QElapsedTimer clock;
    clock.start();
    for (int number = 1; number <= count; ++number) {
        int drawn = below(totalWeight);
        auto chosen = actions.cbegin();
        while (drawn >= chosen->weight)
            drawn -= chosen++->weight;
        const Action &action = *chosen;
        const QString refused = chance(12) ? action.tables.at(below(action.tables.size())) : QString();
        const QStringList before = refused.isEmpty() ? QStringList() : LedgerCheck::snapshot();
        lease->snapshot = refused.isEmpty() ? std::function<QStringList()>() : [] { return LedgerCheck::snapshot(); };
        lease->betweenCommands.clear();
        const qint64 refusals = refused.isEmpty() ? 0 : refusalCount();
        if (!refused.isEmpty())
            QVERIFY(refuseWritesTo(refused));
        // Every question is answered Yes: the clerk goes through with whatever the window allows.
        MsgBox::setTestMode(true);
        for (int i = 0; i < 16; ++i)
            MsgBox::setNextAnswer(QMessageBox::Yes);
        broken.clear();
        stuck.clear();
        watchdog.start(15000);
        const QString done = (this->*action.run)();
        watchdog.stop();
        if (!stuck.isNull())
            broken << QStringLiteral("no window stays open unanswered (\"%1\")").arg(stuck);
        if (!refused.isEmpty()) {
            QVERIFY(refuseWritesTo(QString()));
            const QStringList after = LedgerCheck::snapshot();
                // Only a write the database did refuse leaves the books as they were.
            // A lease made again may have been refused only its second command.
            if (refusalCount() != refusals && after != before && after != lease->betweenCommands)
                broken << QStringLiteral("a refused write to %1 leaves the books as they were: %2")
                              .arg(refused, firstDifference(before, after));
        }
        broken << LedgerCheck::breaches();
        broken << days.breaches();
        const QString where = QStringLiteral("seed %1, action %2 (%3: %4%5)")
                                  .arg(seed)
                                  .arg(number)
                                  .arg(QLatin1String(action.name), done,
                                       refused.isEmpty() ? QString() : QStringLiteral(", writes to %1 refused").arg(refused));
        if (qEnvironmentVariableIsSet("VELLORAN_LEDGER_TRACE"))
            qInfo("%s", qPrintable(where));
        if (broken.size() > 8)
            broken = broken.mid(0, 8) << QStringLiteral("and %1 more").arg(broken.size() - 8);
        QVERIFY2(broken.isEmpty(), qPrintable(where + QStringLiteral(":\n  ") + broken.join(QStringLiteral("\n  "))
                                              + QStringLiteral("\n  messages: ") + MsgBox::shownTexts().join(" | ")));
    }
    qInfo("seed %u: %d actions in %lld ms", seed, count, clock.elapsed());
    lease.reset();
    window.reset();
    releaseConnection();
}

VELLORAN_TEST_MAIN(TestLedger)
#include "tst_ledger.moc"
