#include "money/paymentdialog.h"
#include "ui_paymentdialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "money/addchargedialog.h"
#include "money/chargeaheaddialog.h"
#include "money/editpaymentdialog.h"
#include "money/moneyfield.h"
#include "money/relationkey.h"

#include <QDebug>
#include <QDoubleValidator>
#include <QException>
#include <QHeaderView>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringListModel>

namespace {

enum ChargeColumn {
    ChargeKey = 0, ChargeTenant = 1, ChargeApartment = 2, ChargeType = 3, ChargeAmountDue = 4,
    ChargeApplied = 5, ChargeForDate = 6, ChargePaid = 7, ChargeFlatFee = 9, ChargePerDay = 10,
    ChargeMemo = 11, ChargeLateDays = 12
};

// Gives up the storing of a payment: the step that failed goes to the debug output, and the caller's
// transaction is rolled back.
[[noreturn]] void fail(const QString &step)
{
    qDebug().noquote() << "Payment not stored:" << step;
    throw QException();
}

int appendRow(QSqlTableModel *model)
{
    const int row = model->rowCount();
    if (!model->insertRows(row, 1))
        fail(QStringLiteral("%1 refused a new row").arg(model->tableName()));
    return row;
}

void setField(QSqlTableModel *model, const char *field, int row, const QVariant &value)
{
    if (!XDataSource::setFieldValue(model, QLatin1String(field), row, value))
        fail(QStringLiteral("%1.%2 not set").arg(model->tableName(), QLatin1String(field)));
}

void setCell(QSqlTableModel *model, int column, int row, const QVariant &value)
{
    if (!XDataSource::setCellValue(model, column, row, value))
        fail(QStringLiteral("%1 column %2 not set").arg(model->tableName()).arg(column));
}

// The next key of `generator` on the shared query; -1 when the generator gives no row.
int nextKey(QSqlQuery *query, const char *generator)
{
    query->clear();
    query->exec(QStringLiteral("select gen_id(%1, 1) from RDB$DATABASE").arg(QLatin1String(generator)));
    const int key = query->first() ? query->value(0).toInt() : -1;
    query->clear();
    return key;
}

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

    QDoubleValidator *money = MoneyField::validator(this);
    ui->cash->setValidator(money);
    ui->check->setValidator(money);
    ui->creditcard->setValidator(money);
    ui->total->setValidator(money);

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
    qDebug() << "Charges Record Count" << charges->rowCount();
    charges->setFilter(QStringLiteral("charges.tid = %1 and charges.amt >0").arg(tid));
    qDebug() << "Charges Record Count" << charges->rowCount();
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
    ui->totalDue->setText(MoneyField::text(due));
    ui->paymentsApplied->setText(MoneyField::text(applied));
}

void PaymentDialog::recomputeTotals()
{
    const double total = MoneyField::value(ui->cash->text()) + MoneyField::value(ui->creditcard->text())
                         + MoneyField::value(ui->check->text());
    ui->total->setText(MoneyField::text(total));
    ui->paying->setText(MoneyField::text(total));
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
    XDataSource::setCellValue(charges, ChargeApplied, row, paying);
    XDataSource::setCellValue(charges, ChargeMemo, row, memo);
    charges->submitRowInView(row, true, false, ui->tableView);
    appliedTotal();
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
    if (editor->exec() != QDialog::Accepted) {
        charges->revertAll();
        delete editor;
        return;
    }
    delete editor;
    charges->submitRowInView(row, true, false, ui->tableView);
    appliedTotal();
}

void PaymentDialog::on_pushButton_2_clicked()
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("You haven't selected a valid record"));
        return;
    }
    if (MsgBox::question(this, tr("Are you sure you want to delete the selected record?")) != QMessageBox::Yes) {
        qDebug() << "Don't delete record";
        return;
    }
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    const int row = current.row();
    if (!charges->removeRows(row, 1)) {
        MsgBox::information(this, tr("Error deleting record!"));
        return;
    }
    charges->submitRowInView(row, true, true, ui->tableView);
    appliedTotal();
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

    QSqlDriver *driver = QSqlDatabase::database().driver();
    driver->rollbackTransaction();
    if (!driver->beginTransaction()) {
        MsgBox::information(this, tr("Error processing charges. Unable to start transaction."));
        return;
    }
    QSqlQuery *bills = m_dataSource->query();
    bills->clear();
    try {
        bills->exec(QStringLiteral("SELECT * FROM recur r  WHERE r.completed = 0 and r.tid=%1 and r.APID  IN  "
                                   "(select a.apid from apartments a  INNER join agreements t  on a.apid = t.apid)  "
                                   "ORDER BY r.APID ")
                        .arg(m_tenantId));
        if (!bills->first()) {
            qDebug() << "no active rentals";
            bills->clear();
            driver->commitTransaction();
            return;
        }
        do {
            m_dataSource->postChargesAhead(*bills, periods);
        } while (bills->next());
        bills->clear();
        if (!driver->commitTransaction()) {
            driver->rollbackTransaction();
            MsgBox::information(this, tr("Error charging ahead. Unable to commit transaction."));
            return;
        }
    } catch (const QException &e) {
        qDebug() << "Exception: " << e.what();
        bills->clear();
        driver->rollbackTransaction();
        MsgBox::information(this, tr("Error charging ahead. Exception occured"));
    }

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

int PaymentDialog::firstApartment() const
{
    // A tenant may pay without holding an apartment any more (old charges after moving out).
    return m_apartmentKeys.isEmpty() ? -1 : m_apartmentKeys.first();
}

void PaymentDialog::on_buttonBox_accepted()
{
    const double total = MoneyField::value(ui->total->text());
    const double applied = MoneyField::value(ui->paymentsApplied->text());
    if (MoneyField::compare(total, 0.0) == 0) {
        MsgBox::information(this, tr("You aren't paying any amount!"));
        return;
    }
    if (MoneyField::compare(total, applied) != 0) {
        MsgBox::information(this, tr("The amount you are paying must be equal to total payments applied!"));
        return;
    }
    if (!ShortDate::fromText(ui->datePaid->text()).isValid()) {
        MsgBox::information(this, tr("Enter a valid date into the 'Date Paid' field!"));
        return;
    }

    QSqlDriver *driver = QSqlDatabase::database().driver();
    driver->rollbackTransaction();
    if (!driver->beginTransaction()) {
        MsgBox::information(this, tr("Error storing payment information. Unable to start transaction."));
        return;
    }
    // Only what this attempt pays may reach the cashbook.
    m_typeTotals.clear();
    try {
        storeTransaction();
        applyPayment();
        postCashbookEntries();
    } catch (const QException &e) {
        qDebug() << "Exception: " << e.what();
        m_dataSource->query()->clear();
        driver->rollbackTransaction();
        reloadAfterRollback();
        MsgBox::information(this, tr("Error storing payment information. Error occured"));
        close();
        return;
    }
    if (!driver->commitTransaction()) {
        driver->rollbackTransaction();
        reloadAfterRollback();
        MsgBox::information(this, tr("Error storing payment information. Unable to commit transaction."));
        return;
    }

    // The models written through keep the written rows as pending changes; read them back as stored.
    refresh(m_dataSource->chargesModel());
    refresh(m_dataSource->transModel());
    refresh(m_dataSource->paymentsModel());
    refresh(m_dataSource->cashbookModel());
    QSqlDoubleQueryModel *cashbookList = m_dataSource->cashbookQueryModel();
    cashbookList->setQuery(cashbookList->query().lastQuery(), QSqlDatabase());
    refresh(m_dataSource->categoriesModel());
    emit m_dataSource->apartmentsRefresh();
    accept();
}

void PaymentDialog::reloadAfterRollback()
{
    // The rolled-back rows are still in the models as pending changes (the charges already at 0
    // applied): a second OK must see the charges as the database holds them, or it would book the
    // money again without taking it off any charge.
    refresh(m_dataSource->chargesModel());
    refresh(m_dataSource->transModel());
    refresh(m_dataSource->paymentsModel());
    refresh(m_dataSource->categoriesModel());
    refresh(m_dataSource->cashbookModel());
    m_typeTotals.clear();
    appliedTotal();
}

void PaymentDialog::storeTransaction()
{
    SqlDoubleTableModel *trans = m_dataSource->transModel();
    const int row = appendRow(trans);
    setField(trans, "tid", row, m_tenantId);
    setField(trans, "apid", row, firstApartment());
    setField(trans, "tdate", row, ShortDate::fromText(ui->datePaid->text()));
    setField(trans, "paytotal", row, MoneyField::value(ui->total->text()));
    setField(trans, "ccard", row, MoneyField::value(ui->creditcard->text()));
    setField(trans, "ccardn", row, ui->creditcardnum->text().trimmed());
    setField(trans, "mycheck", row, MoneyField::value(ui->check->text()));
    setField(trans, "checkn", row, ui->checknum->text().trimmed());
    setField(trans, "cash", row, MoneyField::value(ui->cash->text()));
    setField(trans, "duetotal", row, MoneyField::value(ui->totalDue->text()));
    setField(trans, "applied", row, MoneyField::value(ui->paymentsApplied->text()));

    m_transactionKey = nextKey(m_dataSource->query(), "GEN_TRANS_ID");
    if (m_transactionKey < 0) {
        MsgBox::information(this, tr("database error"));
        fail(QStringLiteral("no key from GEN_TRANS_ID"));
    }
    setCell(trans, 0, row, m_transactionKey);
    // The model's own row write: the numbers go out as stored, not as the two-decimal texts shown.
    if (!trans->writeRow(row, false))
        fail(QStringLiteral("TRANS row not written"));
}

void PaymentDialog::applyPayment()
{
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    SqlDoubleTableModel *payments = m_dataSource->paymentsModel();
    QSqlQuery *query = m_dataSource->query();
    const QDate paidOn = ShortDate::fromText(ui->datePaid->text());

    for (int row = 0; row < charges->rowCount(); ++row) {
        const QSqlRecord charge = charges->record(row);
        const double due = charge.value(QStringLiteral("amt")).toDouble();
        const double applied = charge.value(QStringLiteral("applied")).toDouble();
        if (applied == 0.0)
            continue;
        const double paid = charge.value(QStringLiteral("paid")).toDouble();
        const int key = charge.value(QStringLiteral("chid")).toInt();

        query->clear();
        query->exec(QStringLiteral("select apid from charges where chid=%1").arg(key));
        const bool stillThere = query->first();
        query->clear();
        if (!stillThere)
            fail(QStringLiteral("charge %1 is no longer in the database").arg(key));

        const QString type = charge.value(QStringLiteral("type")).toString();
        const QDate forDate = charge.value(QStringLiteral("forDate")).toDate();

        setField(charges, "applied", row, 0);
        setField(charges, "amt", row, due - applied);
        setField(charges, "paid", row, paid + applied);
        if (!charges->writeRow(row, false))
            fail(QStringLiteral("charge %1 not reduced").arg(key));

        const int line = appendRow(payments);
        setField(payments, "transID", line, m_transactionKey);
        setField(payments, "amount", line, applied);
        setField(payments, "chid", line, key);
        setField(payments, "accid", line, 0);
        setField(payments, "type", line, type);
        setField(payments, "forDate", line, forDate);
        setField(payments, "DatePaid", line, paidOn);
        if (!payments->writeRow(line, false))
            fail(QStringLiteral("PAYMENTS row of charge %1 not written").arg(key));

        m_typeTotals[type] += applied;
    }
}

void PaymentDialog::postCashbookEntries()
{
    const QDate paidOn = ShortDate::fromText(ui->datePaid->text());
    if (m_typeTotals.isEmpty())
        return;
    QUniversalSqlTableModel *categories = m_dataSource->categoriesModel();
    QSqlDoubleRelationalTableModel *cashbook = m_dataSource->cashbookModel();
    QSqlQuery *query = m_dataSource->query();

    for (auto it = m_typeTotals.constBegin(); it != m_typeTotals.constEnd(); ++it) {
        const QString &type = it.key();
        // The type is bound: charge types are typed by users and may hold quotes.
        query->clear();
        query->prepare(QStringLiteral("select catid from categories where lower(name) = ?"));
        query->addBindValue(type.toLower());
        query->exec();
        int category = query->first() ? query->value(0).toInt() : -1;
        query->clear();

        if (category < 0) {
            const int row = appendRow(categories);
            setCell(categories, 1, row, type);
            setCell(categories, 2, row, type);
            setCell(categories, 3, row, 1);
            category = nextKey(query, "GEN_CATEGORIES_ID");
            if (category < 0) {
                MsgBox::information(this, tr("Error adding categories."));
                fail(QStringLiteral("no key from GEN_CATEGORIES_ID"));
            }
            setCell(categories, 0, row, category);
            if (!categories->writeRow(row, false))
                fail(QStringLiteral("category %1 not written").arg(type));
        }

        const int row = appendRow(cashbook);
        setCell(cashbook, 1, row, paidOn);
        if (!setRelationKey(cashbook, 2, row, category))
            fail(QStringLiteral("cashbook category %1 not set").arg(category));
        setCell(cashbook, 3, row, QStringLiteral("%1: %2").arg(tr("Payment Collected"), type));
        setCell(cashbook, 4, row, 0);
        setCell(cashbook, 5, row, it.value());
        setCell(cashbook, 6, row, -1);
        setCell(cashbook, 7, row, firstApartment());
        setCell(cashbook, 8, row, QString());
        setCell(cashbook, 9, row, m_transactionKey);
        const int key = nextKey(query, "GEN_CASHBOOK_ID");
        if (key < 0)
            fail(QStringLiteral("no key from GEN_CASHBOOK_ID"));
        setCell(cashbook, 0, row, key);
        if (!cashbook->writeRow(row, false))
            fail(QStringLiteral("cashbook entry of %1 not written").arg(type));
    }
}
