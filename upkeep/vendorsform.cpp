#include "upkeep/vendorsform.h"
#include "ui_vendorsform.h"

#include "datahub/debuglog.h"
#include "datahub/msgbox.h"
#include "datahub/rowlookup.h"
#include "datahub/scopedtransaction.h"
#include "datahub/xdatasource.h"
#include "upkeep/vendordialog.h"

#include <QCloseEvent>
#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringListModel>

namespace {
// The Field combo's entries by position; the labels are translated, the column names never.
const char *const searchColumns[] = {"Name", "Contact", "Tel", "Address", "City", "State", "type", "OtherType"};
const int searchColumnCount = int(sizeof(searchColumns) / sizeof(searchColumns[0]));
}

VendorsForm::VendorsForm(XDataSource *dataSource, QWidget *parent)
    : QWidget(parent)
    , ListFormBase(this)
    , ui(new Ui::VendorsForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    setListModel(dataSource->vendorsModel(), ui->tableView);
    showOnlyColumns(ui->tableView, {1, 2, 3, 4, 5, 6, 7, 8});
    for (int column = 1; column <= 8; ++column)
        ui->tableView->setColumnWidth(column, 150);
    setupListView(ui->tableView);
    setSearchFields(ui->comboBox, fieldModel,
                    {tr("Name"), tr("Contact"), tr("Tel"), tr("Address"), tr("City"), tr("State"), tr("type"),
                     tr("OtherType")});
    setSearch(ui->lineEdit, [this] { search(); });
}

VendorsForm::~VendorsForm()
{
    delete ui;
}

void VendorsForm::closeEvent(QCloseEvent *event)
{
    // The main window keeps this page for the whole run.
    event->ignore();
}

QDialog *VendorsForm::createEditor(int row)
{
    return new VendorDialog(dataSource, row, this);
}

bool VendorsForm::canDeleteRow(int row)
{
    // A payee the cashbook names stays: the money paid to it must keep saying to whom.
    const int key = listModel()->record(row).value(0).toInt();
    return RowLookup::nothingInTheWay(this, dataSource->query(),
                                      QStringLiteral("select accid from cashbook where vid = ?"), {key},
                                      tr("This vendor cannot be deleted: entries in the cashbook name it as "
                                         "their payee."));
}

bool VendorsForm::confirmDeleteRow(int row)
{
    const int key = listModel()->record(row).value(0).toInt();
    const RowLookup::Result named = RowLookup::find(
        dataSource->query(), QStringLiteral("select vendor from maintenance where vendor = ?"), {key});
    if (named == RowLookup::Failed) {
        RowLookup::refuse(this);
        return false;
    }
    if (named == RowLookup::NotFound)
        return true;
    if (MsgBox::question(this, tr("This vendor has been assigned to some maintenance records. Are you sure you "
                                  "want to delete this record?"))
        != QMessageBox::Yes)
        return false;
    // The maintenance records stay, with no vendor, in the transaction the delete runs in.
    QSqlQuery *query = dataSource->query();
    query->clear();
    query->prepare(QStringLiteral("update maintenance set vendor = null where vendor = ?"));
    query->addBindValue(key);
    const bool cleared = query->exec();
    if (!cleared)
        qCDebug(velloranLog) << query->lastError().text();
    query->clear();
    if (!cleared)
        MsgBox::information(this, tr("Error deleting record!"));
    return cleared;
}

void VendorsForm::editVendor()
{
    editCurrentRecord();
}

void VendorsForm::search()
{
    const int field = qBound(0, ui->comboBox->currentIndex(), searchColumnCount - 1);
    applySearch(QLatin1String(searchColumns[field]), ui->lineEdit->text());
}

void VendorsForm::on_pushButton_7_clicked()
{
    clearSearch();
}

void VendorsForm::on_pushButton_clicked()
{
    addRecord();
}

void VendorsForm::on_pushButton_2_clicked()
{
    editVendor();
}

void VendorsForm::on_pushButton_3_clicked()
{
    // The vendor and the maintenance records it leaves are written together or not at all.
    ScopedTransaction transaction;
    if (!transaction.isActive()) {
        MsgBox::information(this, tr("Error beginning transaction!"));
        return;
    }
    if (!deleteCurrentRecord())
        return;
    if (!transaction.commit()) {
        MsgBox::information(this, tr("Error committing transaction!"));
        QSqlTableModel *model = listModel();
        model->setFilter(model->filter());
        return;
    }
    // The maintenance log shows the records without their vendor from now on.
    QSqlTableModel *maintenance = dataSource->maintenanceModel();
    maintenance->setFilter(maintenance->filter());
}

void VendorsForm::on_tableView_doubleClicked(const QModelIndex &)
{
    editVendor();
}
