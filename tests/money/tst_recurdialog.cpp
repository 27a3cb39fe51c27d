// The recurring bill editor on a row of the recur model, as the apartments window opens it, and the
// charge-ahead count.

#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "money/chargeaheaddialog.h"
#include "money/leasewrite.h"
#include "money/recurdialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QSqlQuery>

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

bool pressOk(QDialog *dialog)
{
    dialogButton(dialog, QDialogButtonBox::Ok)->click();
    return dialog->result() == QDialog::Accepted;
}
} // namespace

class TestRecurDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newBillStartsOnItsStartDate();
    void refusals_data();
    void refusals();
    void noToTheQuestionKeepsTheEditorOpen();
    void resavedBillKeepsItsPlace_data();
    void resavedBillKeepsItsPlace();
    void extendedBillChargesTheNewMonths();
    void newCategoryIsOfferedAtOnce();
    void chargeAheadCount();

private:
    int rowOf(int recid);
    bool post();
    // Saves the editor's row and records it as the apartments window does.
    bool submit(int row);

    TestHub *t = nullptr;
    RecurModel *model = nullptr;
};

void TestRecurDialog::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    Today::set(d("2024-04-15"));
    // Tenant 9001's lease of apartment 9002 for 2024 with its rent bill, and a monthly bill of his own.
    QVERIFY(t->exec("insert into apartments (apid, tid, suite, rent, agreeid) values (9002, 9001, 'R-1', 700, 9210)"));
    QVERIFY(t->exec("insert into agreements (rid, tid, apid, rent, freq, leasestart, nextdate, leaseend) values (9210, "
                    "9001, 9002, 700, 3, '2024-01-01', '2024-01-01', '2024-12-31')"));
    QVERIFY(t->exec("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, "
                    "tid, completed, apid, leaserent) values (9201, 'Rent', 700, 25, 3, '2024-01-01', '2024-01-01', "
                    "'2024-12-31', 2, 9001, 0, 9002, 1)"));
    QVERIFY(t->exec("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, "
                    "tid, completed, apid) values (9200, 'Rent', 900, 25, 3, '2024-01-01', '2024-01-01', "
                    "'2024-12-31', 2, 9001, 0, 9002)"));
    model = t->hub->recurModel();
    model->select();
}

void TestRecurDialog::cleanup()
{
    Today::reset();
    delete t;
    t = nullptr;
}

int TestRecurDialog::rowOf(int recid)
{
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->record(row).value(0).toInt() == recid)
            return row;
    return -1;
}

bool TestRecurDialog::post()
{
    return LeaseWrite::postDue(9002).ok();
}

bool TestRecurDialog::submit(int row)
{
    return model->submitRow(row, true, false) && LeaseWrite::billSaved(9200, false).ok();
}

void TestRecurDialog::newBillStartsOnItsStartDate()
{
    const int next = t->copy.scalar("select gen_id(GEN_RECUR_ID, 0) from RDB$DATABASE").toInt() + 1;
    // What the apartments window does before it opens the editor on a new bill.
    const int row = model->rowCount();
    QVERIFY(model->insertRows(row, 1));
    XDataSource::setCellValue(model, 9, row, 9001);
    XDataSource::setCellValue(model, 11, row, 9002);
    XDataSource::setCellValue(model, 10, row, 0);

    RecurDialog dialog(t->hub, row);
    QCOMPARE(dialog.windowTitle(), QString("Recurring Bill Form"));
    QCOMPARE(child<QLineEdit>(&dialog, "startDate")->text(), ShortDate::toText(d("2024-04-15")));
    QCOMPARE(child<QLineEdit>(&dialog, "endDate")->text(), ShortDate::toText(d("2024-04-15")));
    auto *type = child<QComboBox>(&dialog, "type");
    type->setCurrentIndex(type->findText("Parking"));
    auto *freq = child<QComboBox>(&dialog, "freq");
    freq->setCurrentIndex(freq->findText("Weekly"));
    retype(&dialog, "amount", "-45.5");
    retype(&dialog, "startDate", ShortDate::toText(d("2024-05-01")));
    retype(&dialog, "endDate", ShortDate::toText(d("2025-04-30")));
    // A minus sign is kept where the clerk sees it and refused, never dropped or stored.
    QVERIFY(!pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(), QStringList("\"-45.5\" is not an amount. Type amounts as in 1,234.50."));
    retype(&dialog, "amount", "45.5");
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(pressOk(&dialog));
    QVERIFY(model->submitRow(row, true, false));

    const QString bill = QStringLiteral("select %1 from recur where recid = ") + QString::number(next);
    QCOMPARE(t->copy.scalar(bill.arg("type")).toString(), QString("Parking"));
    QCOMPARE(t->copy.scalar(bill.arg("freq")).toInt(), 5);
    QCOMPARE(t->copy.scalar(bill.arg("amount")).toDouble(), 45.5);
    QCOMPARE(t->copy.scalar(bill.arg("startdate")).toDate(), d("2024-05-01"));
    QCOMPARE(t->copy.scalar(bill.arg("nextdate")).toDate(), d("2024-05-01"));
    QCOMPARE(t->copy.scalar(bill.arg("enddate")).toDate(), d("2025-04-30"));
    QCOMPARE(t->copy.scalar(bill.arg("completed")).toInt(), 0);
}

void TestRecurDialog::refusals_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    const QString may1 = ShortDate::toText(d("2024-05-01"));
    QTest::newRow("blank amount") << "   " << may1 << may1 << "The amount field cannot be blank";
    QTest::newRow("start after end") << "10" << ShortDate::toText(d("2024-05-02")) << may1
                                     << "The dates you have enetered are not valid!";
    QTest::newRow("date in another format") << "10" << "2024-05-01" << ShortDate::toText(d("2024-06-01"))
                                            << "The dates you have enetered are not valid!";
    QTest::newRow("blank end") << "10" << may1 << "" << "The dates you have enetered are not valid!";
    QTest::newRow("equal dates") << "10" << may1 << may1 << "";
}

void TestRecurDialog::refusals()
{
    QFETCH(QString, amount);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, message);
    RecurDialog dialog(t->hub, rowOf(9200));
    retype(&dialog, "amount", amount);
    retype(&dialog, "startDate", start);
    retype(&dialog, "endDate", end);
    if (message.isEmpty()) {
        MsgBox::setNextAnswer(QMessageBox::Yes);
        QVERIFY(pressOk(&dialog));
    } else {
        QVERIFY(!pressOk(&dialog));
        QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    }
}

void TestRecurDialog::noToTheQuestionKeepsTheEditorOpen()
{
    const int generator = t->copy.scalar("select gen_id(GEN_RECUR_ID, 0) from RDB$DATABASE").toInt();
    const int row = model->rowCount();
    QVERIFY(model->insertRows(row, 1));
    RecurDialog dialog(t->hub, row);
    retype(&dialog, "amount", "10");
    MsgBox::setNextAnswer(QMessageBox::No);
    QVERIFY(!pressOk(&dialog));
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));
    QCOMPARE(t->copy.scalar("select gen_id(GEN_RECUR_ID, 0) from RDB$DATABASE").toInt(), generator);
    model->revertAll();
    QCOMPARE(rowOf(9200) >= 0, true);
    QCOMPARE(model->rowCount(), row);
}

void TestRecurDialog::resavedBillKeepsItsPlace_data()
{
    QTest::addColumn<int>("completed");
    QTest::addColumn<QDate>("newStart");
    QTest::addColumn<QDate>("storedNext");
    QTest::newRow("start unchanged") << 0 << d("2024-01-01") << d("2024-05-01");
    QTest::newRow("start moved earlier") << 0 << d("2023-11-01") << d("2024-05-01");
    QTest::newRow("start moved past the next date") << 0 << d("2024-06-10") << d("2024-06-10");
    QTest::newRow("completed bill stays completed") << 1 << d("2024-02-01") << d("2024-05-01");
}

void TestRecurDialog::resavedBillKeepsItsPlace()
{
    QFETCH(int, completed);
    QFETCH(QDate, newStart);
    QFETCH(QDate, storedNext);

    // A completed bill is one that reached the end the clerk gave it, showing the date it stopped at.
    if (completed)
        QVERIFY(t->exec("update recur set enddate = '2024-04-30', clerkend = '2024-04-30', nextdate = '2024-05-01' "
                        "where recid = 9200"));
    QVERIFY(post());
    QCOMPARE(t->count("charges where recid = 9200"), 4);
    QCOMPARE(t->copy.scalar("select completed from recur where recid = 9200").toInt(), completed);
    model->select();

    const int row = rowOf(9200);
    RecurDialog dialog(t->hub, row);
    QCOMPARE(child<QLineEdit>(&dialog, "startDate")->text(), ShortDate::toText(d("2024-01-01")));
    retype(&dialog, "startDate", ShortDate::toText(newStart));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(pressOk(&dialog));
    QVERIFY(submit(row));
    QCOMPARE(t->copy.scalar("select nextdate from recur where recid = 9200").toDate(), storedNext);
    QCOMPARE(t->copy.scalar("select startdate from recur where recid = 9200").toDate(), newStart);
    QCOMPARE(t->copy.scalar("select completed from recur where recid = 9200").toInt(), completed);
    QCOMPARE(t->copy.scalar("select recid from recur where recid = 9200").toInt(), 9200);

    // Nothing already charged is charged again.
    QVERIFY(post());
    QCOMPARE(t->count("charges where recid = 9200"), 4);
}

// A bill that reached its end, given a later end, charges the months added.
void TestRecurDialog::extendedBillChargesTheNewMonths()
{
    QVERIFY(t->exec("update recur set enddate = '2024-03-01', clerkend = '2024-03-01' where recid = 9200"));
    QVERIFY(post());
    QCOMPARE(t->copy.scalar("select completed from recur where recid = 9200").toInt(), 1);
    QCOMPARE(t->count("charges where recid = 9200"), 2);
    model->select();

    const int row = rowOf(9200);
    RecurDialog dialog(t->hub, row);
    retype(&dialog, "endDate", ShortDate::toText(d("2024-06-30")));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(pressOk(&dialog));
    QVERIFY(submit(row));
    QCOMPARE(t->copy.scalar("select completed from recur where recid = 9200").toInt(), 0);
    // The save charges the months added that have fallen due; a run after it finds nothing more.
    QCOMPARE(t->count("charges where recid = 9200"), 4);
    QVERIFY(post());
    QCOMPARE(t->count("charges where recid = 9200"), 4);
    QCOMPARE(t->copy.scalar("select max(fordate) from charges where recid = 9200").toDate(), d("2024-04-01"));
}

void TestRecurDialog::newCategoryIsOfferedAtOnce()
{
    t->hub->setCanUseCashbook(true);
    RecurDialog dialog(t->hub, rowOf(9200));
    auto *type = child<QComboBox>(&dialog, "type");
    type->setCurrentIndex(type->findText("Parking"));
    ModalDriver driver;
    // The categories list: New, then the category editor inside it, then closed.
    driver.ok([](QDialog *categories) { clickButton(categories, "pushButton"); });
    driver.ok([](QDialog *editor) { QTest::keyClicks(child<QLineEdit>(editor, "name"), "Snow Removal"); });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(&dialog, "pushButton");
    QCOMPARE(driver.handled, 2);
    QVERIFY(type->findText("Snow Removal") >= 0);
    QCOMPARE(type->currentText(), QString("Parking"));
    QCOMPARE(t->count("categories where name = 'Snow Removal'"), 1);
}

void TestRecurDialog::chargeAheadCount()
{
    ChargeAheadDialog dialog;
    auto *spin = child<QSpinBox>(&dialog, "spinBox");
    QCOMPARE(dialog.periods(), 1);
    QCOMPARE(spin->minimum(), 1);
    QCOMPARE(spin->maximum(), 100);
    spin->setValue(0);
    QCOMPARE(dialog.periods(), 1);
    spin->setValue(250);
    QCOMPARE(dialog.periods(), 100);
    QVERIFY(pressOk(&dialog));
}

VELLORAN_TEST_MAIN(TestRecurDialog)
#include "tst_recurdialog.moc"
