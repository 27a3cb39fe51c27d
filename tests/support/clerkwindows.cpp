#include "clerkwindows.h"

#include "leasedriver.h"
#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "money/chargerun.h"
#include "money/paymentdialog.h"
#include "properties/apartmentsform.h"
#include "tenants/adjustrentdialog.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>

namespace {

QVariant scalar(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    query.exec();
    return query.next() ? query.value(0) : QVariant();
}

// A list fetched to its end, for the clerk may scroll to any row of it, then the row of `key` made current.
void pick(QTableView *view, int keyColumn, int key, int column)
{
    while (view->model()->canFetchMore(QModelIndex()))
        view->model()->fetchMore(QModelIndex());
    selectRow(view, keyColumn, key, column);
}

void answer(const QList<QMessageBox::StandardButton> &answers)
{
    for (const QMessageBox::StandardButton answer : answers)
        MsgBox::setNextAnswer(answer);
}

void choose(QWidget *parent, const char *name, int freq)
{
    auto *box = child<QComboBox>(parent, name);
    const QVariant shown = scalar(QStringLiteral("select name from frequency where freqid = ?"), {freq});
    box->setCurrentIndex(box->findText(shown.toString()));
}

} // namespace

ClerkWindows::ClerkWindows(XDataSource *hub)
    : m_hub(hub)
    , m_page(new ApartmentsForm(hub, nullptr))
{
}

ClerkWindows::~ClerkWindows() = default;

bool ClerkWindows::fail(const ClerkAct &act, const QString &what)
{
    const QString shown = MsgBox::shownTexts().join(QStringLiteral(" | "));
    m_failure = QStringLiteral("%1: %2 (%3)").arg(act.toString(), what, shown);
    return false;
}

void ClerkWindows::showApartment(int tenant)
{
    // The apartment editor gives the apartment its tenant, which posts nothing: the test sets it.
    const int tid = m_tenants.value(tenant - 1);
    if (tenant > 0 && scalar(QStringLiteral("select tid from apartments where apid = ?"), {m_apid}).toInt() != tid) {
        exec(QStringLiteral("update apartments set tid = %1 where apid = %2").arg(tid).arg(m_apid));
        emit m_hub->apartmentsRefresh();
    }
    pick(child<QTableView>(m_page.get(), "tableView"), 0, m_apid, 4);
}

// The recurring bill editor, new (`recid` 0) or of the bill, filled with the act's terms.
bool ClerkWindows::billEditor(const ClerkAct &act, int recid)
{
    if (recid > 0)
        pick(child<QTableView>(m_page.get(), "tableView_2"), 0, recid, 1);
    answer({QMessageBox::Yes, QMessageBox::Yes}); // no lease in force, go on; submit the bill
    ModalDriver driver;
    driver.ok([&](QDialog *editor) {
        static const char *const types[] = {"Parking", "Water", "Laundry", "Utilities"};
        if (recid == 0)
            child<QComboBox>(editor, "type")->setCurrentText(QLatin1String(types[m_lineBills.size() % 4]));
        LeaseDriver::retype(editor, "amount", LeaseDriver::money(act.cents));
        choose(editor, "freq", act.freq);
        LeaseDriver::retype(editor, "startDate", ShortDate::toText(act.start));
        LeaseDriver::retype(editor, "endDate", ShortDate::toText(act.end));
    });
    clickButton(m_page.get(), recid > 0 ? "pushButton_6" : "pushButton_5");
    return driver.handled == 1 && driver.stayedOpen == 0;
}

bool ClerkWindows::apply(const ClerkAct &act)
{
    Today::set(act.today);
    MsgBox::setTestMode(true);
    const int inForce = scalar(QStringLiteral("select agreeid from apartments where apid = ?"), {m_apid}).toInt();
    const int line = m_lineBills.value(act.line);
    // Collect Rent of the tenant, opened as the main window opens it: after the charge run.
    const auto collectRent = [&](int tid, const std::function<void(PaymentDialog &)> &work) {
        ChargeRun::postDue(nullptr, m_hub);
        PaymentDialog dialog(m_hub);
        dialog.loadTenant(tid);
        dialog.show();
        work(dialog);
        dialogButton(&dialog, QDialogButtonBox::Cancel)->click();
    };
    switch (act.kind) {
    case ClerkAct::SaveLease: {
        showApartment(act.tenant);
        answer({QMessageBox::Yes, act.yes ? QMessageBox::Yes : QMessageBox::No});
        ModalDriver driver;
        driver.ok([&](QDialog *form) {
            LeaseDriver::retype(form, "rent", LeaseDriver::money(act.cents));
            choose(form, "rentRecurs", act.freq);
            for (const char *field : {"firstDueOn", "leaseStartDate", "moveIn", "firstPaymentDate"})
                LeaseDriver::retype(form, field, ShortDate::toText(act.firstPay));
            LeaseDriver::retype(form, "LeaseEndDate", ShortDate::toText(act.end));
            LeaseDriver::retype(form, "moveOut", QString());
        });
        clickButton(m_page.get(), "pushButton_11");
        const int rid = scalar(QStringLiteral("select agreeid from apartments where apid = ?"), {m_apid}).toInt();
        if (rid <= 0 || driver.stayedOpen > 0)
            return fail(act, QStringLiteral("the lease form took no lease"));
        m_leases << rid;
        const QString shown = MsgBox::shownTexts().join(QLatin1Char(' '));
        m_asked << shown.contains(QLatin1String("earlier lease here leaves days"));
        break;
    }
    case ClerkAct::DeleteLease:
        if (inForce <= 0)
            break;
        showApartment(0);
        answer({QMessageBox::Yes});
        clickButton(m_page.get(), "pushButton_12");
        if (scalar(QStringLiteral("select count(*) from agreements where rid = ?"), {inForce}).toInt() != 0)
            return fail(act, QStringLiteral("the lease is still there"));
        break;
    case ClerkAct::AddLine: {
        showApartment(act.tenant);
        const int last = scalar(QStringLiteral("select coalesce(max(recid), 0) from recur"), {}).toInt();
        const bool saved = billEditor(act, 0);
        const int recid = scalar(QStringLiteral("select max(recid) from recur where apid = ? and recid > ?"),
                                 {m_apid, last}).toInt();
        if (!saved || recid <= 0)
            return fail(act, QStringLiteral("the bill editor added no bill"));
        m_lineBills.insert(m_lineBills.size() + 1, recid);
        break;
    }
    case ClerkAct::EditLine: {
        showApartment(0);
        const bool saved = billEditor(act, line);
        QSqlQuery bill(QSqlDatabase::database());
        bill.exec(QStringLiteral("select amount, freq, startdate, enddate from recur where recid = %1").arg(line));
        if (!saved || !bill.next() || qRound64(bill.value(0).toDouble() * 100) != act.cents
            || bill.value(1).toInt() != act.freq || bill.value(2).toDate() != act.start
            || bill.value(3).toDate() != act.end)
            return fail(act, QStringLiteral("the bill editor did not save the bill as typed"));
        break;
    }
    case ClerkAct::DeleteLine:
        showApartment(0);
        pick(child<QTableView>(m_page.get(), "tableView_2"), 0, line, 1);
        answer({QMessageBox::Yes, QMessageBox::Yes}); // no lease in force, go on; delete the bill
        clickButton(m_page.get(), "pushButton_7");
        if (scalar(QStringLiteral("select deletedon from recur where recid = ?"), {line}).isNull())
            return fail(act, QStringLiteral("the bill was not deleted"));
        break;
    case ClerkAct::Forgive: {
        int chid = -1;
        collectRent(m_tenants.value(act.tenant - 1), [&](PaymentDialog &dialog) {
            chid = chargeOf(act);
            pick(child<QTableView>(&dialog, "tableView"), 0, chid, 3);
            answer({QMessageBox::Yes});
            clickButton(&dialog, "pushButton_2");
        });
        if (chid < 0 || scalar(QStringLiteral("select count(*) from charges where chid = ?"), {chid}).toInt() != 0)
            return fail(act, QStringLiteral("the charge was not deleted"));
        break;
    }
    case ClerkAct::ChargeAhead: {
        ModalDriver driver;
        driver.ok([&](QDialog *ask) { child<QSpinBox>(ask, "spinBox")->setValue(act.periods); });
        collectRent(scalar(QStringLiteral("select tid from agreements where rid = ?"), {inForce}).toInt(),
                    [](PaymentDialog &dialog) { clickButton(&dialog, "pushButton_3"); });
        if (driver.handled != 1)
            return fail(act, QStringLiteral("Charge Ahead asked no number of periods"));
        break;
    }
    case ClerkAct::AdjustRent: {
        const double rent = scalar(QStringLiteral("select amount from recur r join agreements g on g.rid = r.rid and g.tid "
                                                  "= r.tid where r.apid = ? and r.leaserent = 1"),
                                   {m_apid}).toDouble();
        AdjustRentDialog dialog(m_hub);
        child<QRadioButton>(&dialog, "adjustSelApartment")->setChecked(true);
        {
            ModalDriver driver;
            driver.ok([this](QDialog *picker) { pick(child<QTableView>(picker, "tableView"), 1, m_apid, 2); });
            clickButton(&dialog, "pushButton");
        }
        child<QRadioButton>(&dialog, "applyCurrent")->setChecked(true);
        child<QRadioButton>(&dialog, "increaseAmount")->setChecked(true);
        LeaseDriver::retype(&dialog, "amount", LeaseDriver::money(act.cents - qRound64(rent * 100)));
        answer({QMessageBox::Yes});
        dialogButton(&dialog, QDialogButtonBox::Ok)->click();
        if (dialog.isVisible())
            return fail(act, QStringLiteral("the rent was not adjusted"));
        break;
    }
    case ClerkAct::Run:
        ChargeRun::postDue(nullptr, m_hub);
        break;
    }
    for (const QString &shown : MsgBox::shownTexts()) {
        if (shown.startsWith(QLatin1String("Error")) || shown.startsWith(QLatin1String("Unable")))
            return fail(act, shown);
    }
    return true;
}
