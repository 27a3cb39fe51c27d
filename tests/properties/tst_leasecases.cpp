// What the clerk meant, charged once: leases entered ahead, corrected, deleted and let to another tenant,
// bills added, ended, edited and deleted, and files of the earlier layout, each on a fresh copy of the
// demonstration office through the windows the clerk uses. Every figure is read back from the charges by
// tenant, type and date; each is the one the clerk's own acts call for.

#include "leasecase.h"
#include "olderfile.h"

namespace {

const int Juniper = 36;
const int Kasimir = 37;
const int Maple103 = 3; // let to tenant 3 at 1,325.00 a month (bill 4)
const int Maple201 = 5; // vacant
const QString Rent = QStringLiteral("Rent");
const QString Parking = QStringLiteral("Parking");
const QString Water = QStringLiteral("Water");

} // namespace

class TestLeaseCases : public QObject, private LeaseCase
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void renewalAheadAsksForTheDaysOfEveryLine();
    void leaseCommandsFirstPostWhatHasFallenDue();
    void billEndedOnItsFirstDayStaysEnded();
    void returningTenantIsChargedNoneOfAnotherTenantsMonths();
    void billThatChargedNothingBeginsAtItsEarlierStart();
    void billTypedBackDatedKeepsItsDaysThroughTheRenewal();
    void olderFilesOneTimeRentChargeLeavesTheRenewalItsMonths();
    void monthlyLeaseBegunOnThe31stChargesTwelveRents();
    void olderFilesRentBillWithoutALeaseChargesUntilALeaseTakesItsPlace();
    void renewalMovedEarlierChargesItsOwnDays_data();
    void renewalMovedEarlierChargesItsOwnDays();
    void billDeletedByTheClerkStaysDeleted();
    void endTypedForABillStays_data();
    void endTypedForABillStays();
    void billRaisedInItsEditorGoesOnAtItsNewAmount();
    void lineEndedEndsTheDaysAgreedToOnIt();

private:
    void retypeBill(int recid, const char *field, const QString &text)
    {
        editBill(Maple101, recid, [field, text](QDialog *editor) { retype(editor, field, text); });
    }
};

void TestLeaseCases::init()
{
    const QByteArray name = QTest::currentTestFunction();
    QStringList changes;
    // The last month's rent typed ahead as a one-time charge, on 1 May.
    if (name == "olderFilesOneTimeRentChargeLeavesTheRenewalItsMonths")
        changes << OlderFile::statements()
                << QStringLiteral("insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, "
                                  "memo) select gen_id(gen_charges_id, 1), 1, 1, 'Rent', 1150, 0, dateadd(4 month to "
                                  "nextdate), 0, 1150, '' from recur where recid = 1");
    // The lease of Maple Court 103 deleted in the earlier release (which deleted its rent bill, and kept the
    // agreement row), and a Rent bill of 1,325.00 a month from January added in its place.
    if (name == "olderFilesRentBillWithoutALeaseChargesUntilALeaseTakesItsPlace")
        changes << OlderFile::statements() << QStringLiteral("update apartments set agreeid = -1 where apid = 3")
                << QStringLiteral("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, "
                                  "perday, tid, completed, apid) select 9600, type, amount, latefee, freq, nextdate, "
                                  "nextdate, enddate, perday, tid, 0, apid from recur where recid = 4")
                << QStringLiteral("delete from recur where recid = 4");
    openOffice(changes);
    QVERIFY(t->opened);
    QVERIFY(m_month.isValid());
}

void TestLeaseCases::cleanup()
{
    closeOffice();
}

// Maple Court 201, let on 5 January to Kasimir Wozniak for the year at 12,000.00 Annually, with parking at
// 45.00 a month; charged through March, the next year's renewal is entered on 10 March. The question names
// the parking, whose April to December no charge covers; on Yes each is charged as it falls due.
void TestLeaseCases::renewalAheadAsksForTheDaysOfEveryLine()
{
    Today::set(month(1).addDays(4));
    giveApartment(Maple201, Kasimir);
    addBill(Maple201, Parking, QStringLiteral("45.00"), month(1), month(13).addDays(-1));
    newLease(Maple201, QStringLiteral("12,000.00"), QStringLiteral("Annually"), month(1), month(13).addDays(-1), month(1));
    chargeRunOn(month(3).addDays(9));
    deleteLease(Maple201);
    MsgBox::clearShown();
    newLease(Maple201, QStringLiteral("12,000.00"), QStringLiteral("Annually"), month(13), month(25).addDays(-1),
             month(13), QMessageBox::Yes);
    const QStringList shown = MsgBox::shownTexts();
    chargeRunOn(month(12).addDays(2));
    QCOMPARE(owed(Kasimir, Maple201, Parking, month(0)), expected(months(1, 12), "45.00"));
    QCOMPARE(owed(Kasimir, Maple201, Rent, month(0)), expected({month(1)}, "12000.00"));
    QVERIFY2(!shown.filter(Parking).isEmpty(), qPrintable(shown.join(" | ")));
}

// The program was started on 10 December and left open; on 3 January Amelia's lease is deleted and the
// apartment let to Juniper from February. Her January rent and parking, due while her lease held, are
// charged as a start that morning would have charged them.
void TestLeaseCases::leaseCommandsFirstPostWhatHasFallenDue()
{
    chargeRunOn(month(0).addDays(9));
    Today::set(month(1).addDays(2));
    deleteLease(Maple101);
    giveApartment(Maple101, Juniper);
    newLease(Maple101, QStringLiteral("1,250.00"), QStringLiteral("Monthly"), month(2), month(14).addDays(-1), month(2));
    chargeRunOn(month(2).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, Rent, month(1)), expected({month(1)}, "1150.00"));
    QCOMPARE(owed(Amelia, Maple101, Parking, month(1)), expected({month(1)}, "45.00"));
    QCOMPARE(owed(Juniper, Maple101, Rent, month(1)), expected({month(2)}, "1250.00"));
}

// Water at 30.00 a month for March to May, ended by the clerk on its first day; the lease then entered
// again from March (January and February charged on Yes) and once more unchanged: no water is charged.
void TestLeaseCases::billEndedOnItsFirstDayStaysEnded()
{
    addBill(Maple101, Water, QStringLiteral("30.00"), month(3), month(6).addDays(-1));
    retypeBill(billOf(Amelia, Maple101, Water), "endDate", ShortDate::toText(month(3)));
    for (int again = 0; again < 2; ++again) {
        deleteLease(Maple101);
        newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(3), month(15).addDays(-1),
                 month(3), QMessageBox::Yes);
    }
    chargeRunOn(month(6).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, Water, month(0)), QString());
    QCOMPARE(owed(Amelia, Maple101, Rent, month(1)), expected(months(1, 6), "1150.00"));
}

// Amelia's lease deleted in December, Juniper's lease for the year charged January to March and then
// deleted, and Amelia back from April: nothing is asked about January to March, which Juniper's lease,
// saved after hers, took from January, and she is charged from April only.
void TestLeaseCases::returningTenantIsChargedNoneOfAnotherTenantsMonths()
{
    deleteLease(Maple101);
    giveApartment(Maple101, Juniper);
    newLease(Maple101, QStringLiteral("1,250.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(1));
    chargeRunOn(month(3).addDays(9));
    deleteLease(Maple101);
    giveApartment(Maple101, Amelia);
    MsgBox::clearShown();
    newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(4), month(16).addDays(-1), month(4),
             QMessageBox::Yes);
    const QStringList asked = MsgBox::shownTexts().filter(ShortDate::toText(month(1)));
    chargeRunOn(month(4).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, Rent, month(1)), expected({month(4)}, "1150.00"));
    QCOMPARE(owed(Amelia, Maple101, Parking, month(1)), expected({month(4)}, "45.00"));
    QCOMPARE(owed(Juniper, Maple101, Rent, month(1)), expected(months(1, 3), "1250.00"));
    QCOMPARE(asked, QStringList());
}

// Water at 30.00 a month from 1 February added on 20 January, then its start put back to 1 January in its
// editor: it has charged nothing, so it begins in January.
void TestLeaseCases::billThatChargedNothingBeginsAtItsEarlierStart()
{
    Today::set(month(1).addDays(19));
    addBill(Maple101, Water, QStringLiteral("30.00"), month(2), month(6).addDays(-1));
    const int water = billOf(Amelia, Maple101, Water);
    retypeBill(water, "startDate", ShortDate::toText(month(1)));
    QCOMPARE(scalar(QStringLiteral("select startdate from recur where recid = %1").arg(water)).toDate(), month(1));
    chargeRunOn(month(2).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, Water, month(0)), expected(months(1, 2), "30.00"));
}

// On 10 May, charged through May, water at 30.00 a month for April and May is added, and the renewal from
// June entered at once: April and May water are charged, once each.
void TestLeaseCases::billTypedBackDatedKeepsItsDaysThroughTheRenewal()
{
    chargeRunOn(month(5).addDays(9));
    addBill(Maple101, Water, QStringLiteral("30.00"), month(4), month(6).addDays(-1));
    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(6), month(18).addDays(-1), month(6),
             QMessageBox::Yes);
    chargeRunOn(month(6).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, Water, month(0), month(6)), expected(months(4, 5), "30.00"));
}

// A file of the earlier layout where May's rent was typed ahead as a one-time Rent charge: no rent bill
// was deleted, and the lease entered again charges January to April.
void TestLeaseCases::olderFilesOneTimeRentChargeLeavesTheRenewalItsMonths()
{
    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(-6), month(6).addDays(-1),
             month(-6));
    chargeRunOn(month(4).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, Rent, month(1), month(5)), expected(months(1, 4), "1150.00"));
    QVERIFY2(t->hub->upgradeSummary().contains(QStringLiteral(" 0 deleted rent bills")),
             qPrintable(t->hub->upgradeSummary()));
}

// Maple Court 201 let to Kasimir at 1,000.00 a month from 31 January to 30 January: twelve rents, each
// due the same day of its month as the first, or that month's last day.
void TestLeaseCases::monthlyLeaseBegunOnThe31stChargesTwelveRents()
{
    const QDate first(month(2).year(), 1, 31);
    giveApartment(Maple201, Kasimir);
    newLease(Maple201, QStringLiteral("1,000.00"), QStringLiteral("Monthly"), first, first.addYears(1).addDays(-1), first);
    chargeRunOn(first.addMonths(13));
    QList<QDate> dues;
    for (int k = 0; k < 12; ++k)
        dues << first.addMonths(k);
    QCOMPARE(owed(Kasimir, Maple201, Rent, first.addMonths(-1)), expected(dues, "1000.00"));
}

// A file of the earlier layout with a Rent bill added on an apartment whose lease was deleted: it charges
// as that release charged it, until a lease saved on the apartment takes its place.
void TestLeaseCases::olderFilesRentBillWithoutALeaseChargesUntilALeaseTakesItsPlace()
{
    const int tenant = 3;
    chargeRunOn(month(2).addDays(9));
    QCOMPARE(owed(tenant, Maple103, Rent, month(1)), expected(months(1, 2), "1325.00"));
    newLease(Maple103, QStringLiteral("1,350.00"), QStringLiteral("Monthly"), month(3), month(15).addDays(-1), month(3),
             QMessageBox::Yes);
    chargeRunOn(month(3).addDays(2));
    QCOMPARE(owed(tenant, Maple103, Rent, month(1)),
             expected(months(1, 2), "1325.00") + QLatin1Char(' ') + expected({month(3)}, "1350.00"));
}

void TestLeaseCases::renewalMovedEarlierChargesItsOwnDays_data()
{
    QTest::addColumn<bool>("agreed");
    QTest::newRow("February to May declined") << false;
    QTest::newRow("February to May agreed") << true;
}

// Amelia's renewal entered on 10 January for June, the question about February to May answered; on 10
// February it is corrected to begin in April at 1,200.00. April and May are the corrected lease's, charged
// at its rent; February and March are charged only where she agreed.
void TestLeaseCases::renewalMovedEarlierChargesItsOwnDays()
{
    QFETCH(bool, agreed);
    const QMessageBox::StandardButton answer = agreed ? QMessageBox::Yes : QMessageBox::No;
    chargeRunOn(month(1).addDays(9));
    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,200.00"), QStringLiteral("Monthly"), month(6), month(18).addDays(-1), month(6),
             answer);
    chargeRunOn(month(2).addDays(9));
    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,200.00"), QStringLiteral("Monthly"), month(4), month(16).addDays(-1), month(4),
             answer);
    chargeRunOn(month(6).addDays(2));
    const QString oldTerms = agreed ? expected(months(2, 3), "1150.00") + QLatin1Char(' ') : QString();
    QCOMPARE(owed(Amelia, Maple101, Rent, month(2)), oldTerms + expected(months(4, 6), "1200.00"));
    QCOMPARE(owed(Amelia, Maple101, Parking, month(2)), expected(months(agreed ? 2 : 4, 6), "45.00"));
}

// Juniper's parking (Amelia's line, taken over), charged for February, deleted in the apartment's bills
// list; his lease entered again: no parking is charged after February.
void TestLeaseCases::billDeletedByTheClerkStaysDeleted()
{
    deleteLease(Maple101);
    giveApartment(Maple101, Juniper);
    newLease(Maple101, QStringLiteral("1,250.00"), QStringLiteral("Monthly"), month(2), month(14).addDays(-1), month(2));
    chargeRunOn(month(2).addDays(2));
    const int parking = ParkingBill;
    selectApartment(Maple101);
    auto *bills = child<QTableView>(form.get(), "tableView_2");
    selectRow(bills, 0, parking, 1);
    QVERIFY(bills->currentIndex().isValid());
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form.get(), "pushButton_7");
    QCOMPARE(scalar(QStringLiteral("select count(*) from recur where recid = %1 and deletedon is null").arg(parking)).toInt(),
             0);
    deleteLease(Maple101);
    newLease(Maple101, QStringLiteral("1,250.00"), QStringLiteral("Monthly"), month(2), month(14).addDays(-1), month(2),
             QMessageBox::Yes);
    chargeRunOn(month(4).addDays(2));
    QCOMPARE(owed(Juniper, Maple101, Parking, month(0)), expected({month(2)}, "45.00"));
    QCOMPARE(owed(Juniper, Maple101, Rent, month(0)), expected(months(2, 4), "1250.00"));
}

void TestLeaseCases::endTypedForABillStays_data()
{
    QTest::addColumn<bool>("betweenLeases");
    QTest::newRow("added while the apartment had no lease") << true;
    QTest::newRow("added after the lease") << false;
}

// Water at 20.00 a month from June with End 30 September, typed while Amelia's lease was deleted or just
// after her renewal from June to next May was entered: it charges June to September either way.
void TestLeaseCases::endTypedForABillStays()
{
    QFETCH(bool, betweenLeases);
    const auto addWater = [this] {
        addBill(Maple101, Water, QStringLiteral("20.00"), month(6), month(10).addDays(-1));
    };
    deleteLease(Maple101);
    if (betweenLeases)
        addWater();
    newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(6), month(18).addDays(-1), month(6),
             QMessageBox::Yes);
    if (!betweenLeases)
        addWater();
    chargeRunOn(month(12).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, Water, month(0)), expected(months(6, 9), "20.00"));
}

// Amelia's parking begun a month earlier and her lease entered again: the one bill of the line charges
// June too. It is raised to 50.00 in its editor, and the lease entered again: parking goes on at 50.00,
// not at the amount it charged before.
void TestLeaseCases::billRaisedInItsEditorGoesOnAtItsNewAmount()
{
    retypeBill(ParkingBill, "startDate", ShortDate::toText(month(-6)));
    const auto enterAgain = [this] {
        deleteLease(Maple101);
        newLease(Maple101, QStringLiteral("1,150.00"), QStringLiteral("Monthly"), month(-6), month(6).addDays(-1),
                 month(-6));
    };
    enterAgain();
    const int running = billOf(Amelia, Maple101, Parking);
    QCOMPARE(running, ParkingBill);
    retypeBill(running, "amount", QStringLiteral("50.00"));
    enterAgain();
    chargeRunOn(month(2).addDays(2));
    QCOMPARE(owed(Amelia, Maple101, Parking, month(1)), expected(months(1, 2), "50.00"));
}

// Kasimir's parking at 45.00 a month with his lease from January; the lease entered again from July and
// February to June agreed to; on 10 March the clerk ends his parking on 15 March: the days agreed to end
// with it, and April to June are not charged.
void TestLeaseCases::lineEndedEndsTheDaysAgreedToOnIt()
{
    Today::set(month(1).addDays(4));
    giveApartment(Maple201, Kasimir);
    addBill(Maple201, Parking, QStringLiteral("45.00"), month(1), month(13).addDays(-1));
    newLease(Maple201, QStringLiteral("1,200.00"), QStringLiteral("Monthly"), month(1), month(13).addDays(-1), month(1));
    chargeRunOn(month(1).addDays(9));
    deleteLease(Maple201);
    newLease(Maple201, QStringLiteral("1,200.00"), QStringLiteral("Monthly"), month(7), month(19).addDays(-1), month(7),
             QMessageBox::Yes);
    chargeRunOn(month(3).addDays(9));
    const int first = scalar(QStringLiteral("select min(recid) from recur where tid = %1 and apid = %2 and type = '%3'")
                                 .arg(Kasimir).arg(Maple201).arg(Parking)).toInt();
    const QString end = ShortDate::toText(month(3).addDays(14));
    editBill(Maple201, first, [end](QDialog *editor) { retype(editor, "endDate", end); });
    chargeRunOn(month(7).addDays(2));
    QCOMPARE(owed(Kasimir, Maple201, Parking, month(0)), expected(months(1, 3), "45.00"));
}

VELLORAN_TEST_MAIN(TestLeaseCases)
#include "tst_leasecases.moc"
