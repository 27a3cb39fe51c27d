#include "correspondence/printlistdialog.h"
#include "ui_printlistdialog.h"

#include "datahub/qsqldoublequerymodel.h"
#include "datahub/xdatasource.h"
#include "reports/fetchall.h"

#include <QSqlRecord>
#include <QTableWidgetItem>

PrintListDialog::PrintListDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PrintListDialog)
    , m_data(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Print List"));

    QTableWidget *table = ui->tableWidget;
    table->setHorizontalHeaderLabels({tr("ID"), tr("Name"), tr("Company")});
    table->setColumnWidth(0, 150);
    table->setColumnWidth(1, 350);
    table->setColumnWidth(2, 250);

    QSqlDoubleQueryModel *tenants = m_data->reportQueryModel();
    const int rows = fetchAllRows(tenants);
    table->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const QSqlRecord record = tenants->record(row);
        auto *id = new QTableWidgetItem(record.value(QStringLiteral("id")).toString());
        id->setFlags(id->flags() | Qt::ItemIsUserCheckable);
        id->setCheckState(Qt::Checked);
        id->setData(Qt::UserRole, record.value(QStringLiteral("tid")).toInt());
        table->setItem(row, 0, id);
        table->setItem(row, 1, new QTableWidgetItem(record.value(QStringLiteral("fullname")).toString()));
        table->setItem(row, 2, new QTableWidgetItem(record.value(QStringLiteral("company")).toString()));
    }
    tenants->clear();
}

PrintListDialog::~PrintListDialog()
{
    delete ui;
}

void PrintListDialog::checkAll(Qt::CheckState state)
{
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row)
        ui->tableWidget->item(row, 0)->setCheckState(state);
}

void PrintListDialog::on_pushButton_clicked()
{
    m_checked.clear();
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        const QTableWidgetItem *item = ui->tableWidget->item(row, 0);
        if (item->checkState() == Qt::Checked)
            m_checked << item->data(Qt::UserRole).toInt();
    }
    accept();
}

void PrintListDialog::on_pushButton_2_clicked()
{
    reject();
}

void PrintListDialog::on_pushButton_3_clicked()
{
    checkAll(Qt::Checked);
}

void PrintListDialog::on_pushButton_4_clicked()
{
    checkAll(Qt::Unchecked);
}
