#include "money/paymenthistorydialog.h"
#include "ui_paymenthistorydialog.h"
#include "datahub/debuglog.h"

#include "datahub/listformbase.h"
#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "money/paymentvoid.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

PaymentHistoryDialog::PaymentHistoryDialog(XDataSource *dataSource, int tid, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PaymentHistoryDialog)
    , tid(tid)
    , dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Payment History"));

    SqlDoubleTableModel *trans = dataSource->transModel();
    trans->setFilter(QStringLiteral("tid = %1").arg(tid));

    QSqlQuery *query = dataSource->query();
    query->clear();
    query->prepare(QStringLiteral("select firstname, lastname from tenants where tid = ?"));
    query->addBindValue(tid);
    if (query->exec() && query->first())
        ui->paymentsLabel->setText(tr("Payments for tenant: ") + query->value(0).toString() + QStringLiteral(" ")
                                   + query->value(1).toString());
    query->clear();

    ui->tableView->setModel(trans);
    connect(ui->tableView, &QCustomTableView::indexChanged, this, &PaymentHistoryDialog::indexChanged);
    trans->setHeaderData(1, Qt::Horizontal, tr("DATE PAID"));
    trans->setHeaderData(4, Qt::Horizontal, tr("CREDIT CARD"));
    trans->setHeaderData(5, Qt::Horizontal, tr("CARD NUM"));
    trans->setHeaderData(6, Qt::Horizontal, tr("CHECK"));
    trans->setHeaderData(7, Qt::Horizontal, tr("CHECK NUM"));
    trans->setHeaderData(9, Qt::Horizontal, tr("TOTAL PAID"));
    trans->setHeaderData(10, Qt::Horizontal, tr("TOTAL DUE"));
    const QList<int> shown = {1, 4, 5, 6, 7, 8, 9, 10};
    for (int column : shown)
        ui->tableView->setColumnWidth(column, 150);
    ListFormBase::showOnlyColumns(ui->tableView, shown);
    ListFormBase::setupListView(ui->tableView);

    detailStatement = QStringLiteral("select p.fordate, p.type, p.amount, a.suite, p.transid, p.payid, c.chid from "
                                     "payments p  left join charges c on c.chid = p.chid  left join apartments a on "
                                     "c.apid = a.apid  where p.transid = %1");
    QSqlDoubleQueryModel *lines = dataSource->selectQueryModel();
    lines->clear();
    showCurrentLines();

    ui->tableView_2->setModel(lines);
    lines->setHeaderData(0, Qt::Horizontal, tr("BILLING DATE"));
    lines->setHeaderData(3, Qt::Horizontal, tr("SUITE/APT #"));
    ui->tableView_2->setColumnWidth(0, 150);
    ui->tableView_2->setColumnWidth(1, 200);
    ui->tableView_2->setColumnWidth(2, 150);
    ui->tableView_2->setColumnWidth(3, 150);
    ListFormBase::showOnlyColumns(ui->tableView_2, {0, 1, 2, 3});
    ListFormBase::setupListView(ui->tableView_2);
}

PaymentHistoryDialog::~PaymentHistoryDialog()
{
    delete ui;
}

void PaymentHistoryDialog::indexChanged(const QModelIndex &)
{
    showCurrentLines();
}

void PaymentHistoryDialog::showLines(int transid)
{
    dataSource->selectQueryModel()->setQuery(detailStatement.arg(transid), QSqlDatabase::database());
}

void PaymentHistoryDialog::showCurrentLines()
{
    // With no current row the key reads 0, which no payment has: the lines stay empty.
    const QModelIndex current = ui->tableView->currentIndex();
    showLines(dataSource->transModel()->index(current.row(), 0).data().toInt());
}

void PaymentHistoryDialog::on_pushButton_clicked()
{
    // Seeing the payments needs the billing right only; undoing one needs its own.
    if (!dataSource->canVoidPayments()) {
        MsgBox::information(this, tr("You are not permitted to access this area"));
        return;
    }
    const QModelIndex current = ui->tableView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("You haven't selected a valid record"));
        return;
    }
    if (MsgBox::question(this, tr("Are you sure you want to void the selected payment and restore the associated "
                                  "charges?"))
        != QMessageBox::Yes) {
        qCDebug(velloranLog) << "Don't delete record";
        return;
    }

    const int row = current.row();
    const int transid = dataSource->transModel()->record(row).value(0).toInt();
    const MoneyCommand::Result voided = PaymentVoid::voidPayment(transid);
    if (!voided.ok()) {
        MsgBox::information(this, voided.message);
        if (voided.outcome == MoneyCommand::Outcome::Failed) {
            ui->tableView->setCurrentIndex(current);
            showCurrentLines();
        }
        return;
    }

    ui->tableView->hideRow(row);
    refreshMoneyModels();
    ui->tableView->setCurrentIndex(current);
    showCurrentLines();
}

void PaymentHistoryDialog::refreshMoneyModels()
{
    QSqlDoubleRelationalTableModel *cashbook = dataSource->cashbookModel();
    cashbook->setFilter(cashbook->filter());
    dataSource->refreshCashbookList();
    SqlDoubleTableModel *payments = dataSource->paymentsModel();
    payments->setFilter(payments->filter());
    QSqlDoubleRelationalTableModel *charges = dataSource->chargesModel();
    charges->setFilter(charges->filter());
}
