#include "money/paymentdialog.h"
#include "ui_paymentdialog.h"
#include "datahub/debuglog.h"

#include "datahub/listformbase.h"
#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/workunderway.h"
#include "datahub/xdatasource.h"
#include "money/addchargedialog.h"
#include "money/billingstore.h"
#include "money/chargeaheaddialog.h"
#include "money/chargerun.h"
#include "money/editpaymentdialog.h"
#include "money/chargeedit.h"
#include "money/moneyfield.h"
#include "money/paymentstore.h"
#include "money/relationkey.h"

#include <QDebug>
#include <QHeaderView>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringListModel>

namespace {

enum ChargeColumn {
    ChargeKey = 0, ChargeTenant = 1, ChargeApartment = 2, ChargeType = 3, ChargeAmountDue = 4,
    ChargeApplied = 5, ChargeForDate = 6, ChargePaid = 7, ChargeFlatFee = 9, ChargePerDay = 10,
    ChargeMemo = 11, ChargeLateDays = 12
};

void refresh(QSqlTableModel *model)
{
    model->setFilter(model->filter());
}

} // namespace

PaymentDialog::PaymentDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PaymentDialog)
    , m_dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Collect Rent"));

    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    ui->tableView->setModel(charges);
    charges->setHeaderData(ChargeForDate, Qt::Horizontal, tr("DUE DATE"), Qt::EditRole);
    charges->setHeaderData(ChargeAmountDue, Qt::Horizontal, tr("AMT DUE"), Qt::EditRole);
    charges->setHeaderData(ChargeApplied, Qt::Horizontal, tr("PAYING"), Qt::EditRole);
    charges->setHeaderData(ChargeApartment, Qt::Horizontal, tr("SUITE/APT #"), Qt::EditRole);

    // Due date, type, suite, amount due, paying, memo: the order in which a clerk reads a bill.
    QHeaderView *header = ui->tableView->horizontalHeader();
    header->swapSections(2, 3);
    header->swapSections(6, 3);
    header->swapSections(6, 4);
    header->swapSections(6, 5);
    header->swapSections(2, 3);
    ui->tableView->setColumnWidth(ChargeApartment, 150);
    ui->tableView->setColumnWidth(ChargeType, 150);
    ui->tableView->setColumnWidth(ChargeMemo, 250);
    const QList<int> shown = {ChargeApartment, ChargeType, ChargeAmountDue, ChargeApplied, ChargeForDate, ChargeMemo};
    for (int column = 0; column < charges->columnCount(); ++column)
        ui->tableView->setColumnHidden(column, !shown.contains(column));
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);

    ui->datePaid->setText(ShortDate::toText(Today::date()));
    // Shown the way the desktop writes amounts, so that fields the clerk leaves alone read back as 0.
    for (MoneyField *field : {ui->cash, ui->check, ui->creditcard})
        field->setAmount(0.0);
    recomputeTotals();
    ui->totalDue->setText(MoneyField::format(0.0));
    ui->paymentsApplied->setText(MoneyField::format(0.0));
    ui->tableView->setFocus();
}

PaymentDialog::~PaymentDialog()
{
    delete ui;
}

void PaymentDialog::loadTenant(int tid)
{
    m_tenantId = tid;
    QSqlQuery *query = m_dataSource->query();
    query->clear();
    query->exec(QStringLiteral("select * from tenants where tid=%1").arg(tid));
    if (query->first()) {
        const QSqlRecord tenant = query->record();
        const auto field = [&tenant](const char *name) { return tenant.value(QLatin1String(name)).toString(); };
        ui->name->setText(field("firstname") + QLatin1Char(' ') + field("lastname"));
        ui->address->setText(field("address"));
        ui->state->setText(field("state"));
        const QString postalCode = field("postalcode");
        ui->city->setText(postalCode.isEmpty() ? field("city") : field("city") + QStringLiteral(", ") + postalCode);
        ui->phone->setText(field("tel"));
    }
    query->clear();

    QStringList suites;
    m_apartmentKeys.clear();
    query->exec(QStringLiteral("select a.apid, a.suite,b.description from apartments a inner join buildings b  "
                               "on a.bid = b.buildid  where a.tid = %1")
                    .arg(tid));
    while (query->next()) {
        suites << QStringLiteral("%1 - %2").arg(query->value(2).toString(), query->value(1).toString());
        m_apartmentKeys << query->value(0).toInt();
    }
    query->clear();
    delete m_apartments;
    m_apartments = new QStringListModel(suites, this);
    ui->suites->setModel(m_apartments);

    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    qCDebug(velloranLog) << "Charges Record Count" << charges->rowCount();
    charges->setFilter(QStringLiteral("charges.tid = %1 and charges.amt >0").arg(tid));
    qCDebug(velloranLog) << "Charges Record Count" << charges->rowCount();
    appliedTotal();
}

void PaymentDialog::appliedTotal()
{
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    // The totals cover every charge of the tenant, not only those the grid has fetched so far.
    while (charges->canFetchMore())
        charges->fetchMore();
    double due = 0.0;
    double applied = 0.0;
    for (int row = 0; row < charges->rowCount(); ++row) {
        const QSqlRecord charge = charges->record(row);
        due += charge.value(QStringLiteral("amt")).toDouble();
        applied += charge.value(QStringLiteral("applied")).toDouble();
    }
    ui->totalDue->setText(MoneyField::format(due));
    ui->paymentsApplied->setText(MoneyField::format(applied));
}

void PaymentDialog::recomputeTotals()
{
    const double total = ui->cash->value() + ui->creditcard->value() + ui->check->value();
    ui->total->setText(MoneyField::format(total));
    ui->paying->setText(MoneyField::format(total));
}

void PaymentDialog::accept()
{
    QDialog::accept();
}

void PaymentDialog::on_creditcard_editingFinished()
{
    recomputeTotals();
}

void PaymentDialog::on_cash_editingFinished()
{
    recomputeTotals();
}

void PaymentDialog::on_check_editingFinished()
{
    recomputeTotals();
}

void PaymentDialog::on_tableView_doubleClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    ui->tableView->setCurrentIndex(index);
    on_pushButton_4_clicked();
}

void PaymentDialog::on_pushButton_4_clicked()
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("You haven't selected a valid record"));
        return;
    }
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    const int row = current.row();
    const QSqlRecord charge = charges->record(row);
    auto *editor = new EditPaymentDialog(this);
    editor->setValues(charge.value(QStringLiteral("applied")).toDouble(),
                      charge.value(QStringLiteral("memo")).toString(),
                      charge.value(QStringLiteral("amt")).toDouble());
    if (editor->exec() != QDialog::Accepted) {
        charges->revertAll();
        delete editor;
        return;
    }
    double paying = 0.0;
    QString memo;
    editor->values(paying, memo);
    delete editor;
    const int chid = charge.value(QStringLiteral("chid")).toInt();
    const ChargeEdit::Paying before{charge.value(QStringLiteral("applied")).toDouble(),
                                    charge.value(QStringLiteral("memo"))};
    const MoneyCommand::Result set = ChargeEdit::setPaying(chid, paying, memo);
    if (set.ok() && !m_payingAtOpen.contains(chid))
        m_payingAtOpen.insert(chid, before);
    showCharges(chid);
    if (!set.ok())
        MsgBox::information(this, set.message);
}

void PaymentDialog::on_pushButton_clicked()
{
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    const int row = charges->rowCount();
    if (!charges->insertRows(row, 1)) {
        MsgBox::information(this, tr("Unable to add new record"));
        return;
    }
    ui->tableView->setCurrentIndex(charges->index(row, 0));
    XDataSource::setCellValue(charges, ChargeTenant, row, m_tenantId);
    for (int column : {ChargeLateDays, ChargePerDay, ChargeFlatFee, ChargePaid, ChargeApplied})
        XDataSource::setCellValue(charges, column, row, 0);

    auto *editor = new AddChargeDialog(m_dataSource, row, m_apartments, &m_apartmentKeys, this);
    const bool accepted = editor->exec() == QDialog::Accepted;
    delete editor;
    if (!accepted) {
        charges->revertAll();
        return;
    }
    // The editor filled the model's row; the charge itself is written from its values.
    const auto cell = [charges, row](int column) {
        return charges->QSqlTableModel::data(charges->index(row, column), Qt::EditRole);
    };
    ChargeEdit::NewCharge charge;
    charge.chargeId = cell(ChargeKey).toInt();
    charge.tenantId = m_tenantId;
    charge.apartmentId = cell(ChargeApartment).toInt();
    charge.type = cell(ChargeType).toString();
    charge.amount = cell(ChargeAmountDue).toDouble();
    charge.forDate = cell(ChargeForDate).toDate();
    charges->revertAll();
    const MoneyCommand::Result added = ChargeEdit::add(charge);
    showCharges(added.ok() ? added.key : -1);
    if (!added.ok())
        MsgBox::information(this, added.message);
}

void PaymentDialog::on_pushButton_2_clicked()
{
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    const QModelIndex current = ui->tableView->currentIndex();
    const int chid = current.isValid() ? charges->record(current.row()).value(QStringLiteral("chid")).toInt() : -1;
    // A paid charge is refused before the clerk is asked to confirm what could not be done.
    if (current.isValid()) {
        const MoneyCommand::Result allowed = ChargeEdit::mayRemove(chid);
        if (!allowed.ok()) {
            MsgBox::information(this, allowed.message);
            return;
        }
    }
    if (ListFormBase::confirmDeleteOfCurrentRow(this, ui->tableView) < 0)
        return;
    const MoneyCommand::Result removed = ChargeEdit::remove(chid);
    showCharges(-1);
    if (!removed.ok())
        MsgBox::information(this, removed.message);
}

void PaymentDialog::on_pushButton_3_clicked()
{
    const QModelIndex remembered = ui->tableView->currentIndex();
    int periods = 0;
    {
        auto *ask = new ChargeAheadDialog(this);
        const bool accepted = ask->exec() == QDialog::Accepted;
        periods = ask->periods();
        delete ask;
        if (!accepted)
            return;
    }

    QSqlQuery *bills = m_dataSource->query();
    const auto postAhead = [this, periods]() {
        return BillingStore::chargeAhead(m_tenantId, periods, Today::date()) > 0;
    };
    if (!ChargeRun::run(this, bills, postAhead, tr("Error charging ahead. Exception occured"),
                        tr("Error charging ahead. Unable to commit transaction.")))
        return;

    refresh(m_dataSource->chargesModel());
    emit m_dataSource->apartmentsRefresh();
    appliedTotal();
    if (remembered.isValid())
        ui->tableView->setCurrentIndex(m_dataSource->chargesModel()->index(remembered.row(), remembered.column()));
}

void PaymentDialog::on_buttonBox_rejected()
{
    close();
}

void PaymentDialog::reject()
{
    // Applied amounts and the memos typed with them are only what this visit meant to pay: a visit
    // that ends without storing the payment leaves every charge as it found it.
    if (!m_payingAtOpen.isEmpty()) {
        const MoneyCommand::Result restored = ChargeEdit::restoreApplied(m_payingAtOpen);
        if (restored.ok())
            m_payingAtOpen.clear();
        else
            MsgBox::information(this, restored.message);
        refresh(m_dataSource->chargesModel());
    }
    QDialog::reject();
}

void PaymentDialog::showCharges(int chid)
{
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    const int before = ui->tableView->currentIndex().row();
    refresh(charges);
    while (charges->canFetchMore())
        charges->fetchMore();
    int row = -1;
    for (int i = 0; chid >= 0 && i < charges->rowCount() && row < 0; ++i) {
        if (charges->index(i, ChargeKey).data().toInt() == chid)
            row = i;
    }
    if (row < 0)
        row = qMin(before, charges->rowCount() - 1);
    if (row >= 0)
        ui->tableView->setCurrentIndex(charges->index(row, 0));
    appliedTotal();
}

int PaymentDialog::firstApartment() const
{
    // A tenant may pay without holding an apartment any more (old charges after moving out).
    return m_apartmentKeys.isEmpty() ? -1 : m_apartmentKeys.first();
}

void PaymentDialog::on_buttonBox_accepted()
{
    if (!MoneyField::checkAll({ui->cash, ui->check, ui->creditcard}))
        return;
    PaymentStore::Payment payment;
    payment.tenantId = m_tenantId;
    payment.apartmentId = firstApartment();
    payment.paidOn = ShortDate::fromText(ui->datePaid->text());
    payment.cash = ui->cash->value();
    payment.check = ui->check->value();
    payment.checkNumber = ui->checknum->text();
    payment.card = ui->creditcard->value();
    payment.cardNumber = ui->creditcardnum->text();
    MoneyField::read(ui->totalDue->text(), &payment.dueTotal, 2, true);
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    for (int row = 0; row < charges->rowCount(); ++row) {
        const QSqlRecord charge = charges->record(row);
        payment.lines.append({charge.value(QStringLiteral("chid")).toInt(),
                              charge.value(QStringLiteral("applied")).toDouble()});
    }

    MoneyCommand::Result stored;
    {
        // Storing, and reading back what it changed, take a moment for a tenant with a long ledger;
        // the messages come after, with the cursor as it was.
        WorkUnderWay busy(this);
        stored = PaymentStore::store(payment);
        if (stored.outcome == MoneyCommand::Outcome::Done)
            refreshAfterStoring();
        else if (stored.outcome == MoneyCommand::Outcome::Failed || stored.outcome == MoneyCommand::Outcome::NotCommitted)
            reloadAfterRollback();
    }
    switch (stored.outcome) {
    case MoneyCommand::Outcome::Done:
        accept();
        return;
    case MoneyCommand::Outcome::Failed:
        MsgBox::information(this, stored.message);
        close();
        return;
    case MoneyCommand::Outcome::NotCommitted:
    case MoneyCommand::Outcome::Refused:
    case MoneyCommand::Outcome::NotStarted:
        MsgBox::information(this, stored.message);
        return;
    }
}

void PaymentDialog::refreshAfterStoring()
{
    // The charges paid hold no applied amount any more: nothing is left to put back.
    m_payingAtOpen.clear();
    refresh(m_dataSource->chargesModel());
    refresh(m_dataSource->transModel());
    refresh(m_dataSource->paymentsModel());
    refresh(m_dataSource->cashbookModel());
    m_dataSource->refreshCashbookList();
    refresh(m_dataSource->categoriesModel());
    emit m_dataSource->apartmentsRefresh();
}

void PaymentDialog::reloadAfterRollback()
{
    // A second OK must see the charges as the database holds them.
    refresh(m_dataSource->chargesModel());
    refresh(m_dataSource->transModel());
    refresh(m_dataSource->paymentsModel());
    refresh(m_dataSource->categoriesModel());
    refresh(m_dataSource->cashbookModel());
    appliedTotal();
}
