#include "upkeep/vendorsform.h"
#include "ui_vendorsform.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "upkeep/vendordialog.h"

#include <QCloseEvent>
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

bool VendorsForm::confirmDeleteRow(int row)
{
    // Maintenance records keep the vendor's key after it is gone, so the user decides with that in mind.
    const int key = listModel()->record(row).value(0).toInt();
    QSqlQuery *query = dataSource->query();
    query->clear();
    query->prepare(QStringLiteral("select vendor from maintenance where vendor = ?"));
    query->addBindValue(key);
    query->exec();
    const bool named = query->first();
    query->clear();
    if (!named)
        return true;
    return MsgBox::question(this, tr("This vendor has been assigned to some maintenance records. Are you sure you "
                                     "want to delete this record?"))
           == QMessageBox::Yes;
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
    deleteCurrentRecord();
}

void VendorsForm::on_tableView_doubleClicked(const QModelIndex &)
{
    editVendor();
}
