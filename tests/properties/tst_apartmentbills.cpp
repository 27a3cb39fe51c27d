// The agreement and recurring-bill commands of the apartments page on the demonstration database:
// letting a vacant apartment, viewing and saving its lease, deleting it, and the apartment's bills.

#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "properties/apartmentsform.h"

#include <QComboBox>
#include <QLocale>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>

namespace {
QDate d(const char *iso)
{
    return QDate::fromString(QLatin1String(iso), Qt::ISODate);
}

void retype(QWidget *dialog, const char *name, const QString &text)
{
    auto *edit = child<QLineEdit>(dialog, name);
    edit->clear();
    QTest::keyClicks(edit, text);
}

// Runs `step` on the modal dialog the next command opens, from inside its event loop.
void onNextModal(std::function<void(QDialog *)> step)
{
    QTimer::singleShot(0, [step] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            step(dialog);
    });
}

// A lease from February 2024 to January 2025, monthly rent of `rent` as typed, first payment on 1 February.
void fillLease(QDialog *dialog, const QString &rent, const QDate &from = d("2024-02-01"))
{
    retype(dialog, "rent", rent);
    auto *freq = child<QComboBox>(dialog, "rentRecurs");
    freq->setCurrentIndex(freq->findText("Monthly"));
    const char *const fields[] = {"firstDueOn", "leaseStartDate", "LeaseEndDate", "moveIn", "moveOut",
                                  "firstPaymentDate"};
    const QDate end = from.addYears(1).addDays(-1);
    const QDate dates[] = {from, from, end, from.addDays(-2), end, from};
    for (int i = 0; i < 6; ++i)
        retype(dialog, fields[i], ShortDate::toText(dates[i]));
}

// Demo apartment 201 is vacant; the clerk has just given it tenant 36 from the waiting list. It still
// carries a parking bill of an earlier tenancy, billed up to the end of May 2023.
const int Apid = 5;
const char *const fixture[] = {
    "update apartments set tid = 36 where apid = 5",
    "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, completed, "
    "apid) values (9400, 'Parking', 40, 0, 3, '2023-06-01', '2023-01-01', '2023-12-31', 0, 36, 0, 5)",
};
} // namespace

class TestApartmentBills : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newAgreementLetsTheApartment();
    void leaseRentReadAsTyped_data();
    void leaseRentReadAsTyped();
    void savedAgreementPostsNothingTwice_data();
    void savedAgreementPostsNothingTwice();
    void failedWriteLeavesEveryRow_data();
    void failedWriteLeavesEveryRow();
    void turnoverBillsTheNewTenantFromHerLease();
    void leaseMadeAgainChargesNoPeriodTwice_data();
    void leaseMadeAgainChargesNoPeriodTwice();
    void leaseMadeAgainWhereTheBooksBeganLater();
    void deleteTakesTheAgreementAndItsRentBill();
    void failedDeleteKeepsTheAgreement();
    void billAddedWithoutAgreement();
    void billDeletion_data();
    void billDeletion();

private:
    void selectApid(int apid);
    void letApartment(bool cancel = false, const QDate &from = d("2024-02-01"));
    void deleteAgreement();
    QStringList chargeRows(int apid = Apid);
    QVariant scalar(const QString &sql) { return t->copy.scalar(sql); }
    int charges() { return scalar("select count(*) from charges where apid = 5").toInt(); }
    int rentBills() { return scalar("select count(*) from recur where apid = 5 and lower(type) = 'rent'").toInt(); }
    QVariant rentBill(const char *column)
    {
        return scalar(QStringLiteral("select %1 from recur where apid = 5 and lower(type) = 'rent'").arg(column));
    }

    TestHub *t = nullptr;
    ApartmentsForm *form = nullptr;
    QTableView *view = nullptr;
};

void TestApartmentBills::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    Today::set(d("2024-04-15"));
    for (const char *sql : fixture)
        QVERIFY(t->exec(sql));
    t->hub->apartmentsQueryModel()->setQuery(t->hub->apartmentsQueryModel()->query().lastQuery());
    t->hub->recurModel()->select();
    form = new ApartmentsForm(t->hub, nullptr);
    view = child<QTableView>(form, "tableView");
}

void TestApartmentBills::cleanup()
{
    QLocale::setDefault(QLocale::system());
    delete form;
    delete t;
    Today::reset();
}

void TestApartmentBills::selectApid(int apid)
{
    selectRow(view, 0, apid, 4);
}

// A lease of a year (by default February 2024 to January 2025), monthly rent of 1200, first payment
// on its first day.
void TestApartmentBills::letApartment(bool cancel, const QDate &from)
{
    selectApid(Apid);
    ModalDriver driver;
    const auto fill = [from](QDialog *dialog) { fillLease(dialog, "1200", from); };
    if (cancel) {
        driver.cancel(fill);
    } else {
        driver.ok(fill);
        MsgBox::setNextAnswer(QMessageBox::Yes);
    }
    clickButton(form, "pushButton_11");
    QCOMPARE(driver.handled, 1);
    QCOMPARE(driver.stayedOpen, 0);
}

void TestApartmentBills::deleteAgreement()
{
    selectApid(Apid);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_12");
    QCOMPARE(scalar("select agreeid from apartments where apid = 5").toInt(), -1);
}

QStringList TestApartmentBills::chargeRows(int apid)
{
    QStringList rows;
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select chid, tid, type, fordate, origamount from charges where apid = %1 order by chid")
                   .arg(apid));
    while (query.next())
        rows << QStringLiteral("%1 %2 %3 %4 %5").arg(query.value(0).toString(), query.value(1).toString(),
                                                     query.value(2).toString(),
                                                     query.value(3).toDate().toString(Qt::ISODate),
                                                     query.value(4).toString());
    return rows;
}

void TestApartmentBills::newAgreementLetsTheApartment()
{
    const int key = scalar("select gen_id(GEN_AGREEMENTS_ID, 0) from RDB$DATABASE").toInt() + 1;
    letApartment();
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));

    QCOMPARE(scalar("select count(*) from agreements where apid = 5").toInt(), 1);
    QCOMPARE(scalar("select rid from agreements where apid = 5").toInt(), key);
    QCOMPARE(scalar("select tid from agreements where apid = 5").toInt(), 36);
    QCOMPARE(scalar("select agreeid from apartments where apid = 5").toInt(), key);

    QCOMPARE(rentBills(), 1);
    QCOMPARE(rentBill("amount").toDouble(), 1200.0);
    QCOMPARE(rentBill("freq").toInt(), 3);
    QCOMPARE(rentBill("tid").toInt(), 36);
    QCOMPARE(rentBill("startdate").toDate(), d("2024-02-01"));
    QCOMPARE(rentBill("enddate").toDate(), d("2025-01-31"));
    // February, March and April are charged; May is next.
    QCOMPARE(rentBill("nextdate").toDate(), d("2024-05-01"));
    QCOMPARE(scalar("select count(*) from charges where apid = 5 and type = 'Rent' and amt = 1200 and tid = 36 "
                    "and fordate in ('2024-02-01', '2024-03-01', '2024-04-01')")
                 .toInt(),
             3);
    // The parking bill has charged nothing yet: it runs with the new lease from its first payment date,
    // and keeps the start and end the clerk gave it (no end of his own: it runs to the lease's end).
    QCOMPARE(scalar("select startdate from recur where recid = 9400").toDate(), d("2023-01-01"));
    QCOMPARE(scalar("select enddate from recur where recid = 9400").toDate(), d("2023-12-31"));
    QCOMPARE(scalar("select nextdate from recur where recid = 9400").toDate(), d("2024-05-01"));
    QCOMPARE(charges(), 6);

    // The page shows the apartment let, still current, with its two bills.
    QSqlDoubleQueryModel *list = t->hub->apartmentsQueryModel();
    const QSqlRecord shown = list->record(view->currentIndex().row());
    QCOMPARE(shown.value("apid").toInt(), Apid);
    QCOMPARE(shown.value("agreeid").toInt(), key);
    QCOMPARE(shown.value("tenname").toString(), QString("Juniper Hale"));
}

void TestApartmentBills::leaseRentReadAsTyped_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("rent");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("US grouping") << "en_US" << "1,175.55" << 1175.55 << QString();
    QTest::newRow("German grouping") << "de_DE" << "1.175,55" << 1175.55 << QString();
    QTest::newRow("German cents") << "de_DE" << "1175,5" << 1175.5 << QString();
    QTest::newRow("decimal sign alone") << "en_US" << "." << 0.0 << "The rent field cannot be blank";
    QTest::newRow("German text on a US desktop")
        << "en_US" << "1.175,55" << 0.0 << "\"1.175,55\" is not an amount. Type amounts as in 1,234.50.";
    QTest::newRow("US text on a German desktop")
        << "de_DE" << "1175.55" << 0.0 << "\"1175.55\" is not an amount. Type amounts as in 1.234,50.";
}

void TestApartmentBills::leaseRentReadAsTyped()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(double, rent);
    QFETCH(QString, refusal);
    QLocale::setDefault(QLocale(locale));
    const int before = charges();
    selectApid(Apid);
    ModalDriver driver;
    driver.ok([typed](QDialog *dialog) { fillLease(dialog, typed); });
    if (refusal.isEmpty())
        MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_11");

    if (!refusal.isEmpty()) {
        QCOMPARE(driver.stayedOpen, 1);
        QCOMPARE(MsgBox::shownTexts(), QStringList(refusal));
        QCOMPARE(scalar("select count(*) from agreements where apid = 5").toInt(), 0);
        QCOMPARE(rentBills(), 0);
        QCOMPARE(charges(), before);
        return;
    }
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(scalar("select rent from agreements where apid = 5").toDouble(), rent);
    QCOMPARE(rentBill("amount").toDouble(), rent);
    // February to April are charged at that rent, none at 0.
    QCOMPARE(scalar(QStringLiteral("select count(*) from charges where apid = 5 and type = 'Rent' and tid = 36 "
                                   "and abs(amt - %1) < 0.005")
                        .arg(rent, 0, 'f', 2))
                 .toInt(),
             3);

    // The saved lease shows its rent the way the desktop writes it.
    QString shown;
    onNextModal([&shown](QDialog *dialog) {
        shown = child<QLineEdit>(dialog, "rent")->text();
        dialog->reject();
    });
    clickButton(form, "pushButton_11");
    QCOMPARE(QLocale().toDouble(shown), rent);
}

void TestApartmentBills::savedAgreementPostsNothingTwice_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("rent");
    QTest::addColumn<QString>("today");
    QTest::addColumn<int>("newCharges");
    QTest::addColumn<QString>("rentNext");
    // A saved lease is only shown; even a form accepted behind the clerk's back writes nothing, and the
    // charge run, not the form, bills what falls due meanwhile.
    QTest::newRow("viewed and closed, two months on") << false << QString() << "2024-06-15" << 0 << "2024-05-01";
    QTest::newRow("accepted, same day") << true << QString() << "2024-04-15" << 0 << "2024-05-01";
    QTest::newRow("new rent accepted, same day") << true << "1250" << "2024-04-15" << 0 << "2024-05-01";
    QTest::newRow("accepted, two months on") << true << QString() << "2024-06-15" << 0 << "2024-05-01";
}

void TestApartmentBills::savedAgreementPostsNothingTwice()
{
    QFETCH(bool, save);
    QFETCH(QString, rent);
    QFETCH(QString, today);
    QFETCH(int, newCharges);
    QFETCH(QString, rentNext);

    letApartment();
    const int before = charges();
    Today::set(QDate::fromString(today, Qt::ISODate));
    MsgBox::clearShown();

    // The form shows an existing agreement read-only with Close alone; an accepted form is saved.
    bool opened = false;
    onNextModal([&](QDialog *dialog) {
        opened = true;
        if (!save) {
            dialog->reject();
            return;
        }
        if (!rent.isEmpty())
            child<QLineEdit>(dialog, "rent")->setText(rent);
        MsgBox::setNextAnswer(QMessageBox::Yes);
        dialog->accept();
    });
    clickButton(form, "pushButton_11");
    QVERIFY(opened);
    QCOMPARE(MsgBox::shownTexts().size(), save ? 1 : 0);

    const double amount = 1200.0;
    QCOMPARE(scalar("select rent from agreements where apid = 5").toDouble(), amount);
    QCOMPARE(rentBills(), 1);
    QCOMPARE(rentBill("amount").toDouble(), amount);
    const QDate next = QDate::fromString(rentNext, Qt::ISODate);
    QCOMPARE(rentBill("nextdate").toDate(), next);
    QCOMPARE(scalar("select nextdate from recur where recid = 9400").toDate(), next);
    QCOMPARE(charges(), before + newCharges);
    QCOMPARE(scalar("select count(*) from (select fordate, type from charges where apid = 5 group by fordate, type "
                    "having count(*) > 1)")
                 .toInt(),
             0);
    QVERIFY(t->hub->agreementsModel()->filter().isEmpty());
}

void TestApartmentBills::failedWriteLeavesEveryRow_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("message");
    const QString failed = "Error creating new rental agreement";
    QTest::newRow("cancelled form") << QString() << QString();
    QTest::newRow("agreement") << "agreements before insert" << failed;
    QTest::newRow("apartment's link") << "apartments before update" << failed;
    QTest::newRow("rent bill") << "recur before insert" << failed;
    // The bills' next dates are written by the posting around the lease, as its charges are.
    QTest::newRow("other bills' dates") << "recur before update" << "Error creating/viewing rental agreement";
    QTest::newRow("charge") << "charges before insert" << "Error creating/viewing rental agreement";
}

void TestApartmentBills::failedWriteLeavesEveryRow()
{
    QFETCH(QString, trigger);
    QFETCH(QString, message);
    if (!trigger.isEmpty()) {
        QVERIFY(t->exec("create exception write_refused 'refused'"));
        QVERIFY(t->exec(QStringLiteral("create trigger refuse for %1 as begin exception write_refused; end")
                            .arg(trigger)));
    }
    const int agreements = scalar("select count(*) from agreements").toInt();
    const int bills = scalar("select count(*) from recur").toInt();

    letApartment(trigger.isEmpty());
    QCOMPARE(MsgBox::shownTexts().contains(message), !message.isEmpty());
    QCOMPARE(scalar("select count(*) from agreements").toInt(), agreements);
    QCOMPARE(scalar("select agreeid from apartments where apid = 5").toInt(), -1);
    QCOMPARE(scalar("select count(*) from recur").toInt(), bills);
    QCOMPARE(scalar("select nextdate from recur where recid = 9400").toDate(), d("2023-06-01"));
    QCOMPARE(charges(), 0);
    // Nothing of the failed command waits in the shared models to be written by someone else.
    QVERIFY(!t->hub->agreementsModel()->isDirty());
    QVERIFY(!t->hub->recurModel()->isDirty());
}

// Tenant 36 leaves in April; the apartment goes to tenant 37 with a lease from 1 May, made in July.
// Tenant 36's parking line goes on for 37 from her first payment date, on the same bill, and 36 keeps what
// she owed and nothing more.
void TestApartmentBills::turnoverBillsTheNewTenantFromHerLease()
{
    letApartment();
    const QStringList owed = chargeRows();
    deleteAgreement();
    // The clerk gives the apartment to tenant 37 in the apartment editor.
    QVERIFY(t->exec("update apartments set tid = 37 where apid = 5"));
    t->hub->apartmentsQueryModel()->setQuery(t->hub->apartmentsQueryModel()->query().lastQuery());
    Today::set(d("2024-07-15"));
    letApartment(false, d("2024-05-01"));

    QCOMPARE(scalar("select tid || ' ' || completed || ' ' || nextdate from recur where recid = 9400").toString(),
             QString("36 0 2024-08-01"));
    QCOMPARE(scalar("select count(*) from recur where apid = 5 and type = 'Parking'").toInt(), 1);
    QCOMPARE(chargeRows().mid(0, owed.size()), owed);
    QCOMPARE(scalar("select count(*) from charges where apid = 5 and tid = 36 and fordate >= '2024-05-01'").toInt(),
             0);
    // May, June and July: rent and parking for 37, once each.
    QCOMPARE(scalar("select count(distinct type || fordate) from charges where apid = 5 and tid = 37 "
                    "and fordate in ('2024-05-01', '2024-06-01', '2024-07-01')")
                 .toInt(),
             6);
    QCOMPARE(chargeRows().size(), owed.size() + 6);
}

void TestApartmentBills::leaseMadeAgainChargesNoPeriodTwice_data()
{
    QTest::addColumn<QString>("today");
    QTest::addColumn<int>("newCharges");
    QTest::addColumn<QString>("next");
    QTest::newRow("same day") << "2024-04-15" << 0 << "2024-05-01";
    // May and June fall due for the rent and the parking, once each.
    QTest::newRow("two months on") << "2024-06-15" << 4 << "2024-07-01";
}

// A saved lease can only be viewed: the clerk corrects it by deleting it and making it again.
void TestApartmentBills::leaseMadeAgainChargesNoPeriodTwice()
{
    QFETCH(QString, today);
    QFETCH(int, newCharges);
    QFETCH(QString, next);

    letApartment();
    const QStringList before = chargeRows();
    Today::set(QDate::fromString(today, Qt::ISODate));
    deleteAgreement();
    letApartment();

    const QStringList after = chargeRows();
    QCOMPARE(after.mid(0, before.size()), before);
    QCOMPARE(after.size(), before.size() + newCharges);
    QCOMPARE(scalar("select count(*) from (select fordate, type from charges where apid = 5 group by fordate, type "
                    "having count(*) > 1)")
                 .toInt(),
             0);
    QCOMPARE(rentBill("nextdate").toDate(), QDate::fromString(next, Qt::ISODate));
    QCOMPARE(scalar("select nextdate from recur where recid = 9400").toDate(), QDate::fromString(next, Qt::ISODate));
}

// Maple Court 101's lease began a month before the office's books did: the first rent and parking
// charged are a month after the lease's first payment date. Deleted and entered again with the same
// terms, it charges neither that month nor any month twice, and the parking bill keeps its own start.
void TestApartmentBills::leaseMadeAgainWhereTheBooksBeganLater()
{
    const QDate leaseStart = scalar("select leasestart from agreements where rid = 1").toDate();
    const QDate firstCharged = scalar("select min(fordate) from charges where apid = 1").toDate();
    const QDate parkingStart = scalar("select startdate from recur where recid = 2").toDate();
    const QDate next = scalar("select nextdate from recur where recid = 1").toDate();
    QVERIFY(leaseStart.isValid() && firstCharged > leaseStart);
    QCOMPARE(scalar("select nextdate from recur where recid = 2").toDate(), next);
    const QStringList before = chargeRows(1);
    Today::set(next.addDays(4));

    selectApid(1);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_12");
    QCOMPARE(scalar("select agreeid from apartments where apid = 1").toInt(), -1);
    selectApid(1);
    ModalDriver driver;
    driver.ok([leaseStart](QDialog *dialog) { fillLease(dialog, "1150", leaseStart); });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_11");
    QCOMPARE(driver.stayedOpen, 0);

    // What was charged stays; the month now due is charged once for the rent and once for the parking.
    const QStringList after = chargeRows(1);
    QCOMPARE(after.mid(0, before.size()), before);
    QCOMPARE(after.size(), before.size() + 2);
    QCOMPARE(scalar("select min(fordate) from charges where apid = 1").toDate(), firstCharged);
    QCOMPARE(scalar(QStringLiteral("select count(*) from charges where apid = 1 and fordate = '%1' and type in "
                                   "('Rent', 'Parking')").arg(next.toString(Qt::ISODate))).toInt(), 2);
    QCOMPARE(scalar("select nextdate from recur where apid = 1 and lower(type) = 'rent'").toDate(), next.addMonths(1));
    QCOMPARE(scalar("select nextdate from recur where recid = 2").toDate(), next.addMonths(1));
    QCOMPARE(scalar("select startdate from recur where recid = 2").toDate(), parkingStart);
}

void TestApartmentBills::deleteTakesTheAgreementAndItsRentBill()
{
    letApartment();
    // Only a type that is "rent" exactly makes a bill the rent bill.
    // Added by the clerk from May, as the bill editor adds them.
    QVERIFY(t->exec("insert into recur (recid, type, amount, freq, nextdate, startdate, enddate, tid, completed, apid) "
                    "values (9401, 'RENT', 10, 3, '2024-05-01', '2024-05-01', '2025-01-31', 36, 0, 5)"));
    QVERIFY(t->exec("insert into recur (recid, type, amount, freq, nextdate, startdate, enddate, tid, completed, apid) "
                    "values (9402, 'Rental insurance', 10, 3, '2024-05-01', '2024-05-01', '2025-01-31', 36, 0, 5)"));
    const int before = charges();
    MsgBox::clearShown();
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_12");
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to delete the current rental agreement! You "
                                               "will not be able to undo it once you delete it"));
    QCOMPARE(scalar("select count(*) from agreements where apid = 5").toInt(), 0);
    QCOMPARE(scalar("select agreeid from apartments where apid = 5").toInt(), -1);
    QCOMPARE(scalar("select tid from apartments where apid = 5").toInt(), 36);
    // The lease's rent bill is stopped where it stood, for the tenant's next lease to take up; the bills
    // the clerk added, one of type Rent among them, stay on his list, charging nothing while no lease holds.
    QCOMPARE(scalar("select list(completed || ' ' || nextdate) from recur where apid = 5 and leaserent = 1").toString(),
             QString("1 2024-05-01"));
    QCOMPARE(scalar("select count(*) from recur where recid in (9400, 9401, 9402) and deletedon is null").toInt(), 3);
    QCOMPARE(charges(), before);
}

void TestApartmentBills::failedDeleteKeepsTheAgreement()
{
    letApartment();
    const int key = scalar("select agreeid from apartments where apid = 5").toInt();
    QVERIFY(t->exec("create exception bills_kept 'bills are kept'"));
    QVERIFY(t->exec("create trigger keep_bills for recur before update as begin exception bills_kept; end"));
    MsgBox::clearShown();
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_12");
    QVERIFY(MsgBox::shownTexts().contains("Error deleting rental agreement"));
    QCOMPARE(scalar("select count(*) from agreements where apid = 5").toInt(), 1);
    QCOMPARE(scalar("select agreeid from apartments where apid = 5").toInt(), key);
    QCOMPARE(rentBills(), 1);
}

void TestApartmentBills::billAddedWithoutAgreement()
{
    const int key = scalar("select gen_id(GEN_RECUR_ID, 0) from RDB$DATABASE").toInt() + 1;
    selectApid(Apid);
    ModalDriver driver;
    driver.ok([](QDialog *dialog) {
        auto *type = child<QComboBox>(dialog, "type");
        type->setCurrentIndex(type->findText("Utilities"));
        retype(dialog, "amount", "65");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes); // no agreement: go on
    MsgBox::setNextAnswer(QMessageBox::Yes); // submit
    clickButton(form, "pushButton_5");
    QCOMPARE(driver.stayedOpen, 0);
    const QString bill = QStringLiteral("select %1 from recur where recid = ") + QString::number(key);
    QCOMPARE(scalar(bill.arg("apid")).toInt(), Apid);
    QCOMPARE(scalar(bill.arg("tid")).toInt(), 36);
    QCOMPARE(scalar(bill.arg("amount")).toDouble(), 65.0);
    // Added, not charged: the next charge run bills it.
    QCOMPARE(charges(), 0);
}

void TestApartmentBills::billDeletion_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("leaseRent");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("the lease's rent bill") << "Rent" << 1 << false;
    // A garage let as a second bill of type Rent is the clerk's own.
    QTest::newRow("a bill of type Rent the clerk added") << "RENT" << 0 << true;
    QTest::newRow("other bill") << "Rental insurance" << 0 << true;
}

void TestApartmentBills::billDeletion()
{
    QFETCH(QString, type);
    QFETCH(int, leaseRent);
    QFETCH(bool, deleted);
    QVERIFY(t->exec(QStringLiteral("insert into recur (recid, type, amount, freq, nextdate, enddate, tid, completed, "
                                   "apid, leaserent) values (9410, '%1', 10, 3, '2024-05-01', '2025-01-31', 36, 0, 5, %2)")
                        .arg(type)
                        .arg(leaseRent)));
    QVERIFY(t->exec("insert into charges (chid, tid, apid, type, amt) values (9420, 36, 5, 'Rent', 10)"));
    selectApid(Apid);
    t->hub->recurModel()->select();
    auto *bills = child<QTableView>(form, "tableView_2");
    selectRow(bills, 0, 9410, 1);
    QVERIFY(bills->currentIndex().isValid());

    MsgBox::setNextAnswer(QMessageBox::Yes); // no agreement: go on
    MsgBox::setNextAnswer(QMessageBox::Yes); // delete the record
    clickButton(form, "pushButton_7");
    // A bill deleted stays on record, out of the list, for its line's charges.
    QCOMPARE(scalar("select count(*) from recur where recid = 9410").toInt(), 1);
    QCOMPARE(scalar("select count(*) from recur where recid = 9410 and deletedon is null").toInt(), deleted ? 0 : 1);
    if (!deleted)
        QVERIFY(MsgBox::shownTexts().contains("You can't delete the rent recurring bill!"));
    else
        QVERIFY(MsgBox::shownTexts().contains("Are you sure you want to delete the record?"));
    QCOMPARE(charges(), 1);
    QCOMPARE(scalar("select count(*) from recur where recid = 9400").toInt(), 1);
}

VELLORAN_TEST_MAIN(TestApartmentBills)
#include "tst_apartmentbills.moc"
