#ifndef LEASECASE_H
#define LEASECASE_H

// The demonstration office as the lease tests use it: its apartments page open on the 10th of the month
// the office was built in, and the clerk's lease and bill commands on it (the apartments page, the
// recurring bill editor, Collect Rent, the start-up charge run), each through the window he uses. What
// reached the books is read back with a query of its own.
// Header only: it needs the program's library, which only the tests that include it link.

#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "money/chargerun.h"
#include "money/paymentdialog.h"
#include "properties/apartmentsform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>

#include <functional>
#include <memory>

class LeaseCase
{
protected:
    // Maple Court 101, let to Amelia Carraway: rent 1,150.00 (bill 1) and parking 45.00 (bill 2), both
    // charged monthly up to the first of the month the office was built in.
    static constexpr int Amelia = 1;
    static constexpr int Maple101 = 1;
    static constexpr int RentBill = 1;
    static constexpr int ParkingBill = 2;

    static void retype(QWidget *dialog, const char *name, const QString &text)
    {
        auto *edit = child<QLineEdit>(dialog, name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }

    // The office's copy, with `changes` run on it first; where it opened, its apartments page.
    void openOffice(const QStringList &changes = {})
    {
        t = new TestHub(changes);
        if (!t->opened)
            return;
        t->hub->setCanReceivePayments(true);
        m_month = scalar("select nextdate from recur where recid = 2").toDate().addMonths(-1);
        Today::set(month(0).addDays(9));
        form = std::make_unique<ApartmentsForm>(t->hub, nullptr);
    }
    void closeOffice()
    {
        form.reset();
        delete t;
        t = nullptr;
        Today::reset();
    }

    // The first day of the month `n` months from the one the office was built in.
    QDate month(int n) const { return m_month.addMonths(n); }
    QVariant scalar(const QString &sql) { return t->copy.scalar(sql); }

    // The charges a bill posted from `from` on, as "date=amount".
    QString chargesOf(int recid, const QDate &from)
    {
        return rows(QStringLiteral("recid = %1 and fordate >= '%2'").arg(recid).arg(from.toString(Qt::ISODate)));
    }
    // Every charge of a type of a tenant at an apartment from `from` on (and before `before`, where
    // given), "date=amount", by date.
    QString owed(int tid, int apid, const QString &type, const QDate &from, const QDate &before = QDate())
    {
        return rows(QStringLiteral("tid = %1 and apid = %2 and type = '%3' and fordate >= '%4'%5")
                        .arg(tid)
                        .arg(apid)
                        .arg(type, from.toString(Qt::ISODate),
                             before.isValid() ? QStringLiteral(" and fordate < '%1'").arg(before.toString(Qt::ISODate))
                                              : QString()));
    }
    static QString expected(const QList<QDate> &dates, const QString &amount)
    {
        QStringList rows;
        for (const QDate &date : dates)
            rows << date.toString(Qt::ISODate) + QLatin1Char('=') + amount;
        return rows.join(QLatin1Char(' '));
    }
    // The first days of the months `first` to `last` from the build month.
    QList<QDate> months(int first, int last) const
    {
        QList<QDate> days;
        for (int n = first; n <= last; ++n)
            days << month(n);
        return days;
    }

    void selectApartment(int apid) { selectRow(child<QTableView>(form.get(), "tableView"), 0, apid, 4); }

    void deleteLease(int apid)
    {
        selectApartment(apid);
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(form.get(), "pushButton_12");
        QCOMPARE(scalar(QStringLiteral("select agreeid from apartments where apid = %1").arg(apid)).toInt(), -1);
    }

    // View/New Rental Agreement..., typed as the clerk types it; Move Out left empty, the tenant stays.
    // `earlierDays` answers the question about an earlier lease's days, where it is asked.
    void newLease(int apid, const QString &rent, const QString &frequency, const QDate &start, const QDate &end,
                  const QDate &firstPayment, QMessageBox::StandardButton earlierDays = QMessageBox::NoButton)
    {
        selectApartment(apid);
        ModalDriver driver;
        driver.ok([&](QDialog *editor) {
            retype(editor, "rent", rent);
            auto *recurs = child<QComboBox>(editor, "rentRecurs");
            recurs->setCurrentIndex(recurs->findText(frequency));
            retype(editor, "firstDueOn", ShortDate::toText(firstPayment));
            retype(editor, "leaseStartDate", ShortDate::toText(start));
            retype(editor, "LeaseEndDate", ShortDate::toText(end));
            retype(editor, "moveIn", ShortDate::toText(start));
            retype(editor, "moveOut", QString());
            retype(editor, "firstPaymentDate", ShortDate::toText(firstPayment));
        });
        MsgBox::setNextAnswer(QMessageBox::Yes);
        if (earlierDays != QMessageBox::NoButton)
            MsgBox::setNextAnswer(earlierDays);
        clickButton(form.get(), "pushButton_11");
        QCOMPARE(driver.stayedOpen, 0);
        QVERIFY2(scalar(QStringLiteral("select agreeid from apartments where apid = %1").arg(apid)).toInt() > 0,
                 qPrintable(MsgBox::shownTexts().join(" | ")));
    }

    // The apartment editor gives the apartment to `tid`, as the clerk does once its lease is deleted.
    void giveApartment(int apid, int tid)
    {
        selectApartment(apid);
        ModalDriver driver;
        driver.ok([](QDialog *editor) { clickButton(editor, "pushButton_2"); });
        driver.ok([tid](QDialog *picker) { selectRow(child<QTableView>(picker, "tableView"), 0, tid, 1); });
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(form.get(), "pushButton_2");
        QCOMPARE(scalar(QStringLiteral("select tid from apartments where apid = %1").arg(apid)).toInt(), tid);
    }

    // A monthly bill added in the apartment's bills list.
    void addBill(int apid, const QString &type, const QString &amount, const QDate &start, const QDate &end)
    {
        selectApartment(apid);
        ModalDriver driver;
        driver.ok([&](QDialog *editor) {
            child<QComboBox>(editor, "type")->setCurrentText(type);
            child<QComboBox>(editor, "freq")->setCurrentText(QStringLiteral("Monthly"));
            retype(editor, "amount", amount);
            retype(editor, "startDate", ShortDate::toText(start));
            retype(editor, "endDate", ShortDate::toText(end));
        });
        for (int i = 0; i < 2; ++i)
            MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(form.get(), "pushButton_5");
        QCOMPARE(driver.stayedOpen, 0);
    }
    // The bill chosen in the apartment's bills list and changed in its editor by `edit`.
    void editBill(int apid, int recid, const std::function<void(QDialog *)> &edit)
    {
        selectApartment(apid);
        auto *bills = child<QTableView>(form.get(), "tableView_2");
        selectRow(bills, 0, recid, 1);
        QVERIFY(bills->currentIndex().isValid());
        ModalDriver driver;
        driver.ok(edit);
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(form.get(), "pushButton_6");
        QCOMPARE(driver.stayedOpen, 0);
    }
    int billOf(int tid, int apid, const QString &type)
    {
        return scalar(QStringLiteral("select max(recid) from recur where tid = %1 and apid = %2 and type = '%3'")
                          .arg(tid)
                          .arg(apid)
                          .arg(type))
            .toInt();
    }

    // The start-up charge run on `day`; a day with nothing due posts nothing, and is no failure.
    void chargeRunOn(const QDate &day)
    {
        Today::set(day);
        ChargeRun::postDue(nullptr, t->hub);
        QCOMPARE(MsgBox::shownTexts().filter(QStringLiteral("Error processing charges")), QStringList());
    }

    std::unique_ptr<PaymentDialog> collectRent(int tid)
    {
        auto dialog = std::make_unique<PaymentDialog>(t->hub);
        dialog->loadTenant(tid);
        dialog->show();
        return dialog;
    }
    // Collect Rent's Charge Ahead, `periods` of each of the tenant's bills.
    void chargeAhead(int tid, int periods)
    {
        auto dialog = collectRent(tid);
        ModalDriver driver;
        driver.ok([periods](QDialog *ask) { child<QSpinBox>(ask, "spinBox")->setValue(periods); });
        clickButton(dialog.get(), "pushButton_3");
        QCOMPARE(driver.handled, 1);
        dialogButton(dialog.get(), QDialogButtonBox::Cancel)->click();
    }

    TestHub *t = nullptr;
    std::unique_ptr<ApartmentsForm> form;
    QDate m_month;

private:
    QString rows(const QString &where)
    {
        return scalar(QStringLiteral("select list(r, ' ') from (select fordate || '=' || cast(cast(origamount as "
                                     "numeric(12, 2)) as varchar(20)) as r from charges where %1 order by fordate, chid)")
                          .arg(where))
            .toString();
    }
};

#endif // LEASECASE_H
