// Leases renewed, corrected or entered again on the demonstration office, the way the clerk does it: the
// lease deleted and made again on the apartments page, charges added, deleted and charged ahead in Collect
// Rent. Every bill goes on from where it stood; the charges each bill posted are found by its key.

#include "leasecase.h"
#include "olderfile.h"

#include "datahub/fileupgrade.h"
#include "money/leasewrite.h"
#include "money/moneycommand.h"
#include "money/rentadjustment.h"

#include <QSqlQuery>

namespace {

// The demonstration office as the earlier release laid it out: no bill named on a charge, no lease's rent
// bill marked, no totals kept for the cashbook, no record of the layout.
const QStringList earlierLayout = OlderFile::statements();

} // namespace

class TestLeaseRenewal : public QObject, private LeaseCase
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rentPaidAheadAsAOneTimeChargeLeavesTheRenewalItsMonths();
    void renewalWithAnotherFrequencyTakesOverWhereTheOldRentStopped_data();
    void renewalWithAnotherFrequencyTakesOverWhereTheOldRentStopped();
    void correctedFirstPaymentMovesTheBillsThatChargedNothing();
    void forgivenRentStaysForgiven();
    void billEndedBeforeTheLeaseStaysEnded();
    void secondBillOfTypeRentOutlivesTheLease();
    void firstPaymentPutEarlierChargesTheDaysBefore();
    void renewalEnteredAheadAsksForTheOldLeasesDays_data();
    void renewalEnteredAheadAsksForTheOldLeasesDays();
    void turnoverUndoneChargesNothingTwice();
    void billEndedByTheClerkStaysEndedForTheNextTenant();
    void adjustRentChangesOnlyTheRunningRentOfCurrentLeases();
    void rentBeyondTheBooksIsRefused();
    void fileOfTheEarlierLayoutChargesEachDayOnce();
    void fileOfTheEarlierLayoutIsBroughtUpToDate();
    void fileLeftHalfwayIsTakenUpAtItsNextOpening();
};

void TestLeaseRenewal::init()
{
    const bool earlier = QByteArray(QTest::currentTestFunction()).startsWith("file");
    QStringList changes = earlier ? earlierLayout : QStringList();
    // One-time charges of a bill's type dated on its due day, off its amount: no bill posted them.
    if (QByteArray(QTest::currentTestFunction()) == "fileOfTheEarlierLayoutIsBroughtUpToDate")
        for (const char *charge : {"'Parking', 20", "'Rent', 200"})
            changes << QStringLiteral("insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, "
                                      "memo) select gen_id(gen_charges_id, 1), 1, 1, %1, 0, dateadd(-1 month to nextdate), "
                                      "0, %2, '' from recur where recid = 2")
                           .arg(QLatin1String(charge), QString(QLatin1String(charge)).section(QLatin1Char(' '), 1));
    if (QByteArray(QTest::currentTestFunction()) == "fileOfTheEarlierLayoutChargesEachDayOnce")
        changes << QStringLiteral("delete from recur where recid = 1") << QStringLiteral("delete from agreements where rid = 1")
                << QStringLiteral("update apartments set agreeid = -1 where apid = 1")
                << QStringLiteral("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, "
                                  "perday, tid, completed, apid) values (9500, 'Rent', 1100, 0, 3, '2020-01-01', "
                                  "'2019-01-01', '2021-01-01', 0, 36, 0, 1)");
    if (QByteArray(QTest::currentTestFunction()) == "fileLeftHalfwayIsTakenUpAtItsNextOpening")
        changes << QStringLiteral("create exception charges_refused 'refused'")
                << QStringLiteral("create trigger refuse_charges for charges before update as begin exception "
                                  "charges_refused; end");
    openOffice(changes);
    if (QByteArray(QTest::currentTestFunction()) == "fileLeftHalfwayIsTakenUpAtItsNextOpening")
        return;
    QVERIFY(t->opened);
    QVERIFY(m_month.isValid());
}

void TestLeaseRenewal::cleanup()
{
    closeOffice();
}

// Maple Court 201 is let in mid-January to Kasimir Wozniak, with a parking space from November and a lease
// from November whose first payment date was typed as December: December and January are charged. Put right
// to November, the lease charges November's rent and parking, and nothing twice.
void TestLeaseRenewal::firstPaymentPutEarlierChargesTheDaysBefore()
{
    const int kasimir = 37, maple201 = 5;
    Today::set(month(1).addDays(14));
    giveApartment(maple201, kasimir);
    addBill(maple201, QStringLiteral("Parking"), QStringLiteral("45.00"), month(-1), month(11).addDays(-1));
    newLease(maple201, QStringLiteral("1,175.00"), QStringLiteral("Monthly"), month(-1), month(11).addDays(-1),
             month(0));
    QCOMPARE(owed(kasimir, maple201, QStringLiteral("Rent"), month(-12)), expected({month(0), month(1)}, "1175.00"));
    deleteLease(maple201);
    newLease(maple201, QStringLiteral("1,175.00"), QStringLiteral("Monthly"), month(-1), month(11).addDays(-1),
             month(-1));
    const QList<QDate> three = {month(-1), month(0), month(1)};
    QCOMPARE(owed(kasimir, maple201, QStringLiteral("Rent"), month(-12)), expected(three, "1175.00"));
    QCOMPARE(owed(kasimir, maple201, QStringLiteral("Parking"), month(-12)), expected(three, "45.00"));
    chargeRunOn(month(3).addDays(2));
    QCOMPARE(owed(kasimir, maple201, QStringLiteral("Rent"), month(-12)),
             expected(three + QList<QDate>{month(2), month(3)}, "1175.00"));
}

void TestLeaseRenewal::renewalEnteredAheadAsksForTheOldLeasesDays_data()
{
    QTest::addColumn<bool>("charge");
    QTest::newRow("charged under the old lease") << true;
    QTest::newRow("left uncharged") << false;
}

// Amelia's lease runs to the end of May and is charged through January. In mid-January the clerk enters her
// renewal from June: saving it asks about February to May, and charges them under the old terms only on Yes.
void TestLeaseRenewal::renewalEnteredAheadAsksForTheOldLeasesDays()
{
    QFETCH(bool, charge);
    chargeRunOn(month(1).addDays(14));
    deleteLease(Maple101);
    MsgBox::clearShown();
    newLease(Maple101, QStringLiteral("1,200.00"), QStringLiteral("Monthly"), month(6), month(18).addDays(-1),
             month(6), charge ? QMessageBox::Yes : QMessageBox::No);
    const QStringList asked = MsgBox::shownTexts().filter(QStringLiteral("not charged"));
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked.first().contains(ShortDate::toText(month(2))) && asked.first().contains(ShortDate::toText(month(6).addDays(-1))),
             qPrintable(asked.first()));
    chargeRunOn(month(7).addDays(2));
    const QList<QDate> oldMonths = {month(1), month(2), month(3), month(4), month(5)};
    const QList<QDate> kept = charge ? oldMonths : QList<QDate>{month(1)};
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Rent"), month(1)),
             expected(kept, "1150.00") + QLatin1Char(' ') + expected({month(6), month(7)}, "1200.00"));
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Parking"), month(1)),
             expected(kept + QList<QDate>{month(6), month(7)}, "45.00"));
    // Entered once more, nothing is asked again and nothing is charged twice.
    deleteLease(Maple101);
    MsgBox::clearShown();
    newLease(Maple101, QStringLiteral("1,200.00"), QStringLiteral("Monthly"), month(6), month(18).addDays(-1),
             month(6));
    QCOMPARE(MsgBox::shownTexts().filter(QStringLiteral("not charged")), QStringList());
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Rent"), month(6)), expected({month(6), month(7)}, "1200.00"));
}

// On 21 December Maple Court 101 is let to Juniper Hale by mistake and the mistake undone: Amelia's rent and
// parking go on from January, once each month; Juniper is charged nothing.
void TestLeaseRenewal::turnoverUndoneChargesNothingTwice()
{
    const int juniper = 36;
    Today::set(month(0).addDays(20));
    const QString rentBefore = owed(Amelia, Maple101, QStringLiteral("Rent"), month(-12));
    const QString parkingBefore = owed(Amelia, Maple101, QStringLiteral("Parking"), month(-12));
    deleteLease(Maple101);
    giveApartment(Maple101, juniper);
    newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(1));
    deleteLease(Maple101);
    giveApartment(Maple101, Amelia);
    newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(-6), month(6).addDays(-1),
             month(-6));
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Rent"), month(-12)), rentBefore);
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Parking"), month(-12)), parkingBefore);
    chargeRunOn(month(2).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Rent"), month(1)), expected({month(1), month(2)}, "1150.00"));
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Parking"), month(1)), expected({month(1), month(2)}, "45.00"));
    QCOMPARE(scalar(QStringLiteral("select count(*) from charges where tid = %1").arg(juniper)).toInt(), 0);
}

// Amelia gives up her parking space at the end of December; in January she moves out and Juniper takes the
// apartment from February: Juniper pays rent and no parking.
void TestLeaseRenewal::billEndedByTheClerkStaysEndedForTheNextTenant()
{
    const int juniper = 36;
    // Ended as the bill's editor ends it: the end is the clerk's.
    QVERIFY(t->exec(QStringLiteral("update recur set enddate = '%1', clerkend = '%1' where recid = %2")
                        .arg(month(1).addDays(-1).toString(Qt::ISODate))
                        .arg(ParkingBill)));
    chargeRunOn(month(1).addDays(5));
    deleteLease(Maple101);
    giveApartment(Maple101, juniper);
    newLease(Maple101, QStringLiteral("1,250.00"), QStringLiteral("Monthly"), month(2), month(14).addDays(-1), month(2));
    chargeRunOn(month(4).addDays(2));
    QCOMPARE(owed(juniper, Maple101, QStringLiteral("Rent"), month(-12)),
             expected({month(2), month(3), month(4)}, "1250.00"));
    QCOMPARE(owed(juniper, Maple101, QStringLiteral("Parking"), month(-12)), QString());
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Parking"), month(1)), QString());
}

// After a turnover the leaver's stopped rent bill keeps its amount; the newcomer's is the one adjusted.
void TestLeaseRenewal::adjustRentChangesOnlyTheRunningRentOfCurrentLeases()
{
    const int juniper = 36;
    deleteLease(Maple101);
    giveApartment(Maple101, juniper);
    newLease(Maple101, QStringLiteral("1,300.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(1));
    RentAdjustment adjustment(RentAdjustment::Apartment, Maple101, RentAdjustment::CurrentAgreements,
                              RentAdjustment::ByAmount, 10.0);
    QVERIFY(adjustment.prepare());
    QCOMPARE(adjustment.billCount(), 1);
    QVERIFY(adjustment.apply());
    QCOMPARE(scalar("select list(tid || '=' || cast(amount as numeric(12, 2)), ' ') from (select tid, amount from "
                    "recur where apid = 1 and lower(type) = 'rent' order by recid)")
                 .toString(),
             QStringLiteral("1=1150.00 36=1310.00"));
}

// A rent too large for the books is refused in the lease editor and by the command: nothing is written.
void TestLeaseRenewal::rentBeyondTheBooksIsRefused()
{
    deleteLease(Maple101);
    const int agreements = scalar("select count(*) from agreements").toInt();
    selectApartment(Maple101);
    ModalDriver driver;
    driver.ok([](QDialog *editor) { retype(editor, "rent", QStringLiteral("99999999999999999")); });
    driver.cancel();
    clickButton(form.get(), "pushButton_11");
    QVERIFY2(MsgBox::shownTexts().join(" ").contains(QStringLiteral("larger than the books")),
             qPrintable(MsgBox::shownTexts().join(" | ")));
    QCOMPARE(scalar("select count(*) from agreements").toInt(), agreements);
    QCOMPARE(MoneyCommand::cents(1e17), 1e17);
    LeaseWrite::Lease lease;
    lease.agreementId = 9999;
    lease.tenantId = Amelia;
    lease.apartmentId = Maple101;
    lease.terms.rent = 1e17;
    lease.terms.firstPayment = month(1);
    QCOMPARE(LeaseWrite::save(lease, t->hub).outcome, MoneyCommand::Outcome::Refused);
    QCOMPARE(scalar("select count(*) from agreements").toInt(), agreements);
}

// A file of the earlier layout where Amelia's renewal was begun (her lease deleted, which then deleted its
// rent bill) and a former tenant's Rent bill was left behind: her renewal, finished after the upgrade,
// charges from the first month her charges did not reach, and the former tenant is charged nothing.
void TestLeaseRenewal::fileOfTheEarlierLayoutChargesEachDayOnce()
{
    const int juniper = 36;
    QVERIFY2(t->hub->upgradeSummary().contains(QStringLiteral("deleted rent bills' days kept")),
             qPrintable(t->hub->upgradeSummary()));
    const QString before = owed(Amelia, Maple101, QStringLiteral("Rent"), month(-12));
    newLease(Maple101, QStringLiteral("1,200.00"), QStringLiteral("Monthly"), month(-6), month(18).addDays(-1),
             month(-6));
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Rent"), month(-12)), before);
    chargeRunOn(month(2).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, QStringLiteral("Rent"), month(1)), expected({month(1), month(2)}, "1200.00"));
    QCOMPARE(scalar(QStringLiteral("select count(*) from charges where tid = %1").arg(juniper)).toInt(), 0);
}

// She pays her last month's rent up front, typed as a one-time charge of type Rent dated on that
// month, then renews at 1,200.00: the renewal charges each month from the first one her old rent did
// not cover. The one-time charge moves no bill.
void TestLeaseRenewal::rentPaidAheadAsAOneTimeChargeLeavesTheRenewalItsMonths()
{
    {
        auto dialog = collectRent(Amelia);
        ModalDriver driver;
        driver.ok([this](QDialog *editor) {
            child<QComboBox>(editor, "type")->setCurrentText(QStringLiteral("Rent"));
            retype(editor, "amount", QStringLiteral("1,150.00"));
            retype(editor, "fordate", ShortDate::toText(month(5)));
        });
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(dialog.get(), "pushButton");
        QCOMPARE(driver.stayedOpen, 0);
    }
    QCOMPARE(scalar(QStringLiteral("select count(*) from charges where tid = 1 and type = 'Rent' and fordate = '%1' "
                                   "and recid is null")
                        .arg(month(5).toString(Qt::ISODate)))
                 .toInt(),
             1);

    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,200.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(1));
    // The rent bill she had is taken up in the new terms.
    QCOMPARE(scalar("select count(*) from recur where apid = 1 and leaserent = 1").toInt(), 1);
    QCOMPARE(scalar("select nextdate || ' ' || cast(amount as numeric(12, 2)) || ' ' || completed from recur where "
                    "recid = 1")
                 .toString(),
             month(1).toString(Qt::ISODate) + QStringLiteral(" 1200.00 0"));

    chargeAhead(Amelia, 5);
    QCOMPARE(chargesOf(RentBill, month(1)), expected({month(1), month(2), month(3), month(4), month(5)}, "1200.00"));
    QCOMPARE(scalar("select moveout from agreements where apid = 1").isNull(), true);
}

void TestLeaseRenewal::renewalWithAnotherFrequencyTakesOverWhereTheOldRentStopped_data()
{
    QTest::addColumn<int>("apid");
    QTest::addColumn<int>("tid");
    QTest::addColumn<int>("recid");
    QTest::addColumn<QString>("rent");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<int>("periods");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("oldRent");
    // Maple Court 301 at 1,200.00 and 302 at 1,375.00 a month, both charged through the build month.
    QTest::newRow("monthly to weekly") << 9 << 8 << 10 << "300.00" << "Weekly" << 5 << "300.00" << "1200.00";
    QTest::newRow("monthly to quarterly") << 10 << 9 << 12 << "4,200.00" << "Quarterly" << 2 << "4200.00"
                                          << "1375.00";
}

// Entered again from the month before, in another frequency: nothing of the month the old rent covers is
// charged again, and the new rent steps in its own frequency from the first day the old one did not cover.
void TestLeaseRenewal::renewalWithAnotherFrequencyTakesOverWhereTheOldRentStopped()
{
    QFETCH(int, apid);
    QFETCH(int, tid);
    QFETCH(int, recid);
    QFETCH(QString, rent);
    QFETCH(QString, frequency);
    QFETCH(int, periods);
    QFETCH(QString, amount);
    QFETCH(QString, oldRent);

    const int before = scalar("select count(*) from charges").toInt();
    deleteLease(apid);
    newLease(apid, rent, frequency, month(-1), month(11).addDays(-1), month(-1));
    QCOMPARE(scalar("select count(*) from charges").toInt(), before);
    QCOMPARE(scalar(QStringLiteral("select nextdate from recur where recid = %1").arg(recid)).toDate(), month(1));

    chargeAhead(tid, periods);
    QList<QDate> dates;
    for (QDate due = month(1); dates.size() < periods;
         due = frequency == QLatin1String("Weekly") ? due.addDays(7) : due.addMonths(3))
        dates << due;
    QCOMPARE(chargesOf(recid, month(0)), expected({month(0)}, oldRent) + QLatin1Char(' ') + expected(dates, amount));
}

// Maple Court 201 is let with a parking bill from next month and a lease whose first payment was typed a
// month late; nothing is charged yet. Entered again with the right date, the rent and the parking both
// begin next month.
void TestLeaseRenewal::correctedFirstPaymentMovesTheBillsThatChargedNothing()
{
    QVERIFY(t->exec("update apartments set tid = 36 where apid = 5"));
    t->hub->apartmentsQueryModel()->setQuery(t->hub->apartmentsQueryModel()->query().lastQuery());
    addBill(5, QStringLiteral("Parking"), QStringLiteral("45.00"), month(1), month(13).addDays(-1));
    const int parking = scalar("select recid from recur where apid = 5 and type = 'Parking'").toInt();
    newLease(5, QStringLiteral("1,180.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(2));
    QCOMPARE(scalar(QStringLiteral("select nextdate from recur where recid = %1").arg(parking)).toDate(), month(2));

    deleteLease(5);
    newLease(5, QStringLiteral("1,180.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(1));
    QCOMPARE(scalar("select count(*) from recur where apid = 5 and leaserent = 1").toInt(), 1);
    const int rent = scalar("select recid from recur where apid = 5 and leaserent = 1").toInt();
    QCOMPARE(scalar(QStringLiteral("select nextdate from recur where recid = %1").arg(rent)).toDate(), month(1));
    QCOMPARE(scalar(QStringLiteral("select nextdate from recur where recid = %1").arg(parking)).toDate(), month(1));

    chargeAhead(36, 1);
    QCOMPARE(chargesOf(rent, month(0)), expected({month(1)}, "1180.00"));
    QCOMPARE(chargesOf(parking, month(0)), expected({month(1)}, "45.00"));
}

// Next month's rent is charged ahead, then forgiven (deleted in Collect Rent); the lease entered again
// with its terms as they stood does not charge it again.
void TestLeaseRenewal::forgivenRentStaysForgiven()
{
    chargeAhead(Amelia, 1);
    const int forgiven = scalar(QStringLiteral("select chid from charges where recid = 1 and fordate = '%1'")
                                    .arg(month(1).toString(Qt::ISODate)))
                             .toInt();
    QVERIFY(forgiven > 0);
    {
        auto dialog = collectRent(Amelia);
        auto *grid = child<QTableView>(dialog.get(), "tableView");
        selectRow(grid, 0, forgiven, 3);
        QVERIFY(grid->currentIndex().isValid());
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(dialog.get(), "pushButton_2");
        dialogButton(dialog.get(), QDialogButtonBox::Cancel)->click();
    }
    QCOMPARE(scalar(QStringLiteral("select count(*) from charges where chid = %1").arg(forgiven)).toInt(), 0);

    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(-6), month(6).addDays(-1),
             month(-6));
    QCOMPARE(chargesOf(RentBill, month(1)), QString());
    QCOMPARE(scalar("select nextdate from recur where recid = 1").toDate(), month(2));
    // The parking charged ahead beside it stays, once.
    QCOMPARE(chargesOf(ParkingBill, month(1)), expected({month(1)}, "45.00"));
}

// She gives her parking space up at the end of this month, some months before her lease ends, and then
// renews: the parking stays ended.
void TestLeaseRenewal::billEndedBeforeTheLeaseStaysEnded()
{
    selectApartment(Maple101);
    auto *bills = child<QTableView>(form.get(), "tableView_2");
    selectRow(bills, 0, ParkingBill, 1);
    QVERIFY(bills->currentIndex().isValid());
    {
        ModalDriver driver;
        driver.ok([this](QDialog *editor) { retype(editor, "endDate", ShortDate::toText(month(1).addDays(-1))); });
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(form.get(), "pushButton_6");
        QCOMPARE(driver.stayedOpen, 0);
    }
    QCOMPARE(scalar("select enddate from recur where recid = 2").toDate(), month(1).addDays(-1));

    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(1));
    QCOMPARE(scalar("select enddate from recur where recid = 2").toDate(), month(1).addDays(-1));

    chargeAhead(Amelia, 3);
    QCOMPARE(chargesOf(ParkingBill, month(1)), QString());
    QCOMPARE(chargesOf(RentBill, month(1)), expected({month(1), month(2), month(3)}, "1150.00"));
}

// A garage let beside the apartment as a second bill of type Rent is the clerk's own: the lease entered
// again keeps it, and it goes on charging.
void TestLeaseRenewal::secondBillOfTypeRentOutlivesTheLease()
{
    addBill(Maple101, QStringLiteral("Rent"), QStringLiteral("150.00"), month(1), month(13).addDays(-1));
    const int garage = scalar("select recid from recur where apid = 1 and amount = 150").toInt();
    QVERIFY(garage > 0);

    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(1));
    QCOMPARE(scalar(QStringLiteral("select count(*) from recur where recid = %1 and completed = 0").arg(garage)).toInt(),
             1);

    chargeAhead(Amelia, 2);
    QCOMPARE(chargesOf(garage, month(1)), expected({month(1), month(2)}, "150.00"));
    QCOMPARE(chargesOf(RentBill, month(1)), expected({month(1), month(2)}, "1150.00"));
}

// An office's file of the earlier layout, opened by this program, names the bills on their charges and
// marks each lease's rent bill; a lease entered again on it then goes on from where its rent stood.
void TestLeaseRenewal::fileOfTheEarlierLayoutIsBroughtUpToDate()
{
    QVERIFY2(t->hub->upgradeSummary().contains(QStringLiteral("brought up to date")),
             qPrintable(t->hub->upgradeSummary()));
    QCOMPARE(scalar("select fileversion from filelevel").toInt(), int(FileUpgrade::CurrentVersion));
    QCOMPARE(scalar("select count(*) from cashbooktotals t where t.expense = (select cast(sum(expense) as numeric(18, 6)) "
                    "from cashbook) and t.income = (select cast(sum(income) as numeric(18, 6)) from cashbook)")
                 .toInt(),
             1);
    // Amelia's rent and parking, charged monthly for the last six months, each under its own bill.
    QList<QDate> sixMonths;
    for (int n = -5; n <= 0; ++n)
        sixMonths << month(n);
    QCOMPARE(chargesOf(RentBill, month(-12)), expected(sixMonths, "1150.00"));
    QCOMPARE(chargesOf(ParkingBill, month(-12)), expected(sixMonths, "45.00"));
    QCOMPARE(scalar("select count(*) from charges where recid is not null and (type like '%Late Fee' or memo <> '')")
                 .toInt(),
             0);
    QCOMPARE(scalar("select count(*) from charges where origamount in (20, 200) and recid is null").toInt(), 2);
    QCOMPARE(scalar("select leaserent || ' ' || lastdue from recur where recid = 1").toString(),
             QStringLiteral("1 ") + month(0).toString(Qt::ISODate));
    QCOMPARE(scalar("select leaserent from recur where recid = 2").toInt(), 0);
    // Every let apartment has its lease's rent bill, and only one; no other rent bill of it runs.
    QCOMPARE(scalar("select count(*) from apartments a where a.agreeid > 0 and ((select count(*) from recur r where "
                    "r.apid = a.apid and r.leaserent = 1 and r.rid = a.agreeid) <> 1 or (select count(*) from recur r "
                    "where r.apid = a.apid and r.leaserent = 1 and r.completed = 0 and r.rid is distinct from "
                    "a.agreeid) <> 0)")
                 .toInt(),
             0);

    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,200.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(1));
    QCOMPARE(scalar("select count(*) from recur where apid = 1 and leaserent = 1").toInt(), 1);
    chargeAhead(Amelia, 2);
    QCOMPARE(chargesOf(RentBill, month(-12)), expected(sixMonths, "1150.00") + QLatin1Char(' ')
                                                  + expected({month(1), month(2)}, "1200.00"));

    // Opened again, it has nothing more to do.
    std::unique_ptr<XDataSource> again(hubOnCopy(t->copy));
    form.reset();
    delete t->hub;
    t->hub = nullptr;
    releaseConnection();
    QVERIFY(again->openDatabase());
    QCOMPARE(again->upgradeSummary(), QString());
}

// The first step (the new columns) was committed, the second refused: the file is opened no further and
// nothing of the second step stays; once the refusal is gone the next opening completes it.
void TestLeaseRenewal::fileLeftHalfwayIsTakenUpAtItsNextOpening()
{
    QVERIFY(!t->opened);
    QVERIFY2(t->hub->lastErrorText().startsWith(QStringLiteral("The database could not be brought up to date")),
             qPrintable(t->hub->lastErrorText()));
    delete t->hub;
    t->hub = nullptr;
    releaseConnection();
    QCOMPARE(scalar("select count(recid) from charges").toInt(), 0);
    QCOMPARE(scalar("select count(*) from filelevel").toInt(), 0);
    {
        QSqlQuery query(t->copy.open(QStringLiteral("changes")));
        QVERIFY(query.exec(QStringLiteral("drop trigger refuse_charges")));
    }
    releaseConnection(QStringLiteral("changes"));

    t->hub = hubOnCopy(t->copy);
    QVERIFY2(t->hub->openDatabase(), qPrintable(t->hub->lastErrorText()));
    QCOMPARE(scalar("select fileversion from filelevel").toInt(), int(FileUpgrade::CurrentVersion));
    QCOMPARE(scalar("select count(*) from charges where recid = 1").toInt(), 6);
}

VELLORAN_TEST_MAIN(TestLeaseRenewal)
#include "tst_leaserenewal.moc"
