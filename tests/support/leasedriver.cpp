#include "leasedriver.h"

#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "money/paymentdialog.h"
#include "properties/apartmentsform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QSqlQuery>

namespace {

QVariant scalar(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec(sql);
    return query.next() ? query.value(0) : QVariant();
}

} // namespace

QString LeaseDriver::money(qint64 cents)
{
    return QLocale().toString(cents / 100.0, 'f', 2);
}

void LeaseDriver::retype(QWidget *parent, const char *name, const QString &text)
{
    auto *edit = child<QLineEdit>(parent, name);
    edit->clear();
    QTest::keyClicks(edit, text);
    emit edit->editingFinished();
}

QSqlRecord LeaseDriver::leaseOf(int apid)
{
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select g.*, f.name frequency from agreements g join apartments a on a.agreeid = g.rid "
                              "left join frequency f on f.freqid = g.freq where a.apid = %1")
                   .arg(apid));
    return query.next() ? query.record() : QSqlRecord();
}

LeaseDays::Terms LeaseDriver::termsOf(int tid, const QSqlRecord &terms)
{
    return {tid, qRound64(terms.value(QStringLiteral("rent")).toDouble() * 100),
            terms.value(QStringLiteral("freq")).toInt(), terms.value(QStringLiteral("nextdate")).toDate(),
            terms.value(QStringLiteral("leaseend")).toDate()};
}

QStringList LeaseDriver::chargesOf(int apid)
{
    QStringList rows;
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select chid || '|' || tid || '|' || type || '|' || fordate || '|' || origamount || '|' "
                              "|| amt || '|' || paid from charges where apid = %1 order by chid")
                   .arg(apid));
    while (query.next())
        rows << query.value(0).toString();
    return rows;
}

bool LeaseDriver::deleteLease(ApartmentsForm &form, int apid, int agreement)
{
    selectRow(child<QTableView>(&form, "tableView"), 0, apid, 4);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(&form, "pushButton_12");
    if (scalar(QStringLiteral("select count(*) from agreements where rid = %1").arg(agreement)).toInt() != 0)
        return false;
    days.leaseDeleted(apid, Today::date());
    return true;
}

bool LeaseDriver::makeLease(ApartmentsForm &form, int apid, const QSqlRecord &terms,
                            QMessageBox::StandardButton earlierDays)
{
    selectRow(child<QTableView>(&form, "tableView"), 0, apid, 4);
    const int tid = scalar(QStringLiteral("select tid from apartments where apid = %1").arg(apid)).toInt();
    const LeaseDays::Terms lease = termsOf(tid, terms);
    // Yes to submitting the form, then the answer about the earlier lease's days, once more in case the
    // program asks twice.
    MsgBox::setTestMode(true);
    for (const QMessageBox::StandardButton answer : {QMessageBox::Yes, earlierDays, earlierDays})
        MsgBox::setNextAnswer(answer);
    ModalDriver driver;
    driver.ok([&terms](QDialog *editor) {
        const auto amount = [&terms](const char *name) {
            return money(qRound64(terms.value(QLatin1String(name)).toDouble() * 100));
        };
        retype(editor, "rent", amount("rent"));
        retype(editor, "damage", amount("damage"));
        retype(editor, "lateFeeFlatRate", amount("latefee"));
        retype(editor, "lateFeePerDay", amount("perday"));
        auto *frequency = child<QComboBox>(editor, "rentRecurs");
        frequency->setCurrentIndex(frequency->findText(terms.value(QStringLiteral("frequency")).toString()));
        const QDate moveIn = terms.value(QStringLiteral("movein")).toDate();
        // A tenant who stays has no move-out date: the field is left empty.
        const QDate moveOut = terms.value(QStringLiteral("moveout")).toDate();
        const QList<QPair<const char *, QDate>> dates = {
            {"firstDueOn", terms.value(QStringLiteral("firstdue")).toDate()},
            {"leaseStartDate", terms.value(QStringLiteral("leasestart")).toDate()},
            {"LeaseEndDate", terms.value(QStringLiteral("leaseend")).toDate()},
            {"moveIn", moveIn.isValid() ? moveIn : terms.value(QStringLiteral("leasestart")).toDate()},
            {"moveOut", moveOut},
            {"firstPaymentDate", terms.value(QStringLiteral("nextdate")).toDate()},
        };
        for (const auto &date : dates)
            retype(editor, date.first, date.second.isValid() ? ShortDate::toText(date.second) : QString());
    });
    clickButton(&form, "pushButton_11");
    const QStringList shown = MsgBox::shownTexts();
    MsgBox::setTestMode(true);
    for (int i = 0; i < 16; ++i)
        MsgBox::setNextAnswer(QMessageBox::Yes);
    const bool made = driver.stayedOpen == 0 && !leaseOf(apid).isEmpty();
    expect(driver.stayedOpen == 0, QStringLiteral("the lease form takes the lease of apartment %1 (%2)")
                                       .arg(apid)
                                       .arg(shown.join(QStringLiteral(" | "))));
    // Whether it should have been asked, the oracle says.
    const bool asked = shown.join(QLatin1Char(' ')).contains(QLatin1String("earlier lease"));
    if (made)
        days.leaseSaved(apid, leaseOf(apid).value(QStringLiteral("rid")).toInt(), lease,
                        earlierDays == QMessageBox::Yes, asked, Today::date());
    return made;
}

bool LeaseDriver::giveApartment(ApartmentsForm &form, int apid, int tid)
{
    selectRow(child<QTableView>(&form, "tableView"), 0, apid, 4);
    {
        ModalDriver driver;
        driver.ok([](QDialog *editor) { clickButton(editor, "pushButton_2"); });
        driver.ok([tid](QDialog *picker) { selectRow(child<QTableView>(picker, "tableView"), 0, tid, 1); });
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(&form, "pushButton_2");
    }
    return scalar(QStringLiteral("select tid from apartments where apid = %1").arg(apid)).toInt() == tid;
}

// The bill's editor retypes one of its dates; the bill as it was, or an empty record where the date
// did not reach the database.
QSqlRecord LeaseDriver::retypeBillDate(ApartmentsForm &form, int apid, int recid, const char *field, const QDate &day)
{
    QSqlQuery bill(QSqlDatabase::database());
    bill.exec(QStringLiteral("select amount, freq, startdate, enddate from recur where recid = %1").arg(recid));
    if (!bill.next())
        return QSqlRecord();
    const QSqlRecord was = bill.record();
    const int charges = chargesOf(apid).size();
    selectRow(child<QTableView>(&form, "tableView"), 0, apid, 4);
    selectRow(child<QTableView>(&form, "tableView_2"), 0, recid, 1);
    {
        ModalDriver driver;
        driver.ok([field, &day](QDialog *editor) { retype(editor, field, ShortDate::toText(day)); });
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(&form, "pushButton_6");
    }
    const QString column = QString::fromLatin1(field).toLower();
    if (scalar(QStringLiteral("select %1 from recur where recid = %2").arg(column).arg(recid)).toDate() != day) {
        postedBeforeEditing(apid, charges);
        return QSqlRecord();
    }
    return was;
}

// The bill editor posts what has fallen due before it opens, whether or not the bill is then saved;
// where it posted nothing, nothing was due or the posting was refused.
void LeaseDriver::postedBeforeEditing(int apid, int chargesBefore)
{
    if (chargesOf(apid).size() != chargesBefore)
        days.posted(apid, Today::date());
}

bool LeaseDriver::endBill(ApartmentsForm &form, int apid, int recid, const QDate &end)
{
    const QSqlRecord bill = retypeBillDate(form, apid, recid, "endDate", end);
    if (bill.isEmpty())
        return false;
    days.billEdited(apid, recid, qRound64(bill.value(0).toDouble() * 100), bill.value(1).toInt(), bill.value(2).toDate(),
                    end, Today::date());
    return true;
}

int LeaseDriver::addBill(ApartmentsForm &form, int apid, const QString &type, qint64 cents, const QDate &start,
                         const QDate &end)
{
    const int last = scalar(QStringLiteral("select coalesce(max(recid), 0) from recur")).toInt();
    const int charges = chargesOf(apid).size();
    selectRow(child<QTableView>(&form, "tableView"), 0, apid, 4);
    {
        ModalDriver driver;
        driver.ok([&](QDialog *editor) {
            child<QComboBox>(editor, "type")->setCurrentText(type);
            child<QComboBox>(editor, "freq")->setCurrentText(QStringLiteral("Monthly"));
            retype(editor, "amount", money(cents));
            retype(editor, "startDate", ShortDate::toText(start));
            retype(editor, "endDate", ShortDate::toText(end));
        });
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(&form, "pushButton_5");
    }
    QSqlQuery added(QSqlDatabase::database());
    added.exec(QStringLiteral("select recid, tid from recur where recid > %1").arg(last));
    if (!added.next()) {
        postedBeforeEditing(apid, charges);
        return 0;
    }
    days.billAdded(apid, added.value(1).toInt(), cents, 3, start, end, added.value(0).toInt(), Today::date());
    return added.value(0).toInt();
}

bool LeaseDriver::startBill(ApartmentsForm &form, int apid, int recid, const QDate &start)
{
    const QSqlRecord bill = retypeBillDate(form, apid, recid, "startDate", start);
    if (bill.isEmpty())
        return false;
    days.billEdited(apid, recid, qRound64(bill.value(0).toDouble() * 100), bill.value(1).toInt(), start,
                    bill.value(3).toDate(), Today::date());
    return true;
}

bool LeaseDriver::forgive(int chid)
{
    QSqlQuery charge(QSqlDatabase::database());
    charge.exec(QStringLiteral("select recid, fordate, origamount, tid, apid, type from charges where chid = %1").arg(chid));
    if (!charge.next())
        return false;
    {
        PaymentDialog dialog(hub);
        dialog.loadTenant(charge.value(3).toInt());
        dialog.show();
        selectRow(child<QTableView>(&dialog, "tableView"), 0, chid, 3);
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(&dialog, "pushButton_2");
        dialogButton(&dialog, QDialogButtonBox::Cancel)->click();
    }
    if (scalar(QStringLiteral("select count(*) from charges where chid = %1").arg(chid)).toInt() != 0)
        return false;
    // A one-time charge forgiven is no day of a bill.
    if (!charge.value(0).isNull())
        days.forgiven(charge.value(4).toInt(), charge.value(3).toInt(), charge.value(0).toInt(), charge.value(1).toDate(),
                      Today::date());
    return true;
}

QString LeaseDriver::remakeLeaseOf(int apid, const QSqlRecord &terms, const QString &how,
                                   QMessageBox::StandardButton earlierDays)
{
    const QStringList before = chargesOf(apid);
    ApartmentsForm form(hub, nullptr);
    if (!deleteLease(form, apid, terms.value(QStringLiteral("rid")).toInt()))
        return QStringLiteral("lease of apartment %1 kept").arg(apid);
    if (snapshot)
        betweenCommands = snapshot();
    if (!makeLease(form, apid, terms, earlierDays))
        return QStringLiteral("lease of apartment %1 deleted, not made again").arg(apid);
    const QStringList after = chargesOf(apid);
    for (const QString &charge : before)
        expect(after.contains(charge), QStringLiteral("a lease made again leaves the charges as they were (%1)")
                                           .arg(charge));
    return QStringLiteral("lease of apartment %1 made again%2, %3 charges posted")
        .arg(apid)
        .arg(how)
        .arg(after.size() - before.size());
}
