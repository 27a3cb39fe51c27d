#include "correspondence/destinationlistdialog.h"
#include "ui_destinationlistdialog.h"
#include "datahub/debuglog.h"

#include "datahub/xdatasource.h"
#include "reports/fetchall.h"

#include <QDebug>
#include <QSqlRecord>

DestinationListDialog::DestinationListDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DestinationListDialog)
    , m_dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Mailing List"));

    QTableWidget *table = ui->tableWidget;
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setHorizontalHeaderLabels({tr("ID"), tr("Name"), tr("Email Address")});
    table->setColumnWidth(0, 150);
    table->setColumnWidth(1, 350);
    table->setColumnWidth(2, 250);

    QSqlDoubleQueryModel *model = m_dataSource->reportQueryModel();
    // Firebird does not tell the size of a result: without this only the first batch is listed.
    const int rows = fetchAllRows(model);
    table->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const QSqlRecord tenant = model->record(row);
        auto *id = new QTableWidgetItem(tenant.value(QStringLiteral("id")).toString());
        id->setCheckState(Qt::Checked);
        id->setData(Qt::UserRole, tenant.value(QStringLiteral("tid")).toInt());
        table->setItem(row, 0, id);
        table->setItem(row, 1, new QTableWidgetItem(tenant.value(QStringLiteral("fullname")).toString()));
        table->setItem(row, 2, new QTableWidgetItem(tenant.value(QStringLiteral("email")).toString()));
    }
    qCDebug(velloranLog) << "mailing list rows:" << table->rowCount();
    model->clear();
}

DestinationListDialog::~DestinationListDialog()
{
    delete ui;
}

void DestinationListDialog::checkAll(Qt::CheckState state)
{
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row)
        if (QTableWidgetItem *item = ui->tableWidget->item(row, 0))
            item->setCheckState(state);
}

void DestinationListDialog::on_pushButton_clicked()
{
    for (int row = 0; row < ui->tableWidget->rowCount(); ++row) {
        const QTableWidgetItem *item = ui->tableWidget->item(row, 0);
        if (item && item->checkState() == Qt::Checked)
            m_selected.append(item->data(Qt::UserRole).toInt());
    }
    accept();
}

void DestinationListDialog::on_pushButton_2_clicked()
{
    reject();
}

void DestinationListDialog::on_pushButton_3_clicked()
{
    qCDebug(velloranLog) << "mailing list rows:" << ui->tableWidget->rowCount();
    checkAll(Qt::Checked);
}

void DestinationListDialog::on_pushButton_4_clicked()
{
    checkAll(Qt::Unchecked);
}
