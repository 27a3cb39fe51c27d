#include "correspondence/printlistdialog.h"
#include "ui_printlistdialog.h"

#include "correspondence/tenantticklist.h"
#include "datahub/qsqldoublequerymodel.h"
#include "datahub/xdatasource.h"

PrintListDialog::PrintListDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PrintListDialog)
    , m_data(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Print List"));

    QSqlDoubleQueryModel *tenants = m_data->reportQueryModel();
    TenantTickList::fill(ui->tableWidget, tenants, {tr("ID"), tr("Name"), tr("Company")}, QStringLiteral("company"));
    tenants->clear();
}

PrintListDialog::~PrintListDialog()
{
    delete ui;
}

void PrintListDialog::on_pushButton_clicked()
{
    m_checked = TenantTickList::tickedIds(ui->tableWidget);
    accept();
}

void PrintListDialog::on_pushButton_2_clicked()
{
    reject();
}

void PrintListDialog::on_pushButton_3_clicked()
{
    TenantTickList::checkAll(ui->tableWidget, Qt::Checked);
}

void PrintListDialog::on_pushButton_4_clicked()
{
    TenantTickList::checkAll(ui->tableWidget, Qt::Unchecked);
}
