#include "correspondence/destinationlistdialog.h"
#include "ui_destinationlistdialog.h"
#include "datahub/debuglog.h"

#include "correspondence/tenantticklist.h"
#include "datahub/qsqldoublequerymodel.h"
#include "datahub/xdatasource.h"

#include <QDebug>

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
    QSqlDoubleQueryModel *model = m_dataSource->reportQueryModel();
    TenantTickList::fill(table, model, {tr("ID"), tr("Name"), tr("Email Address")}, QStringLiteral("email"));
    qCDebug(velloranLog) << "mailing list rows:" << table->rowCount();
    model->clear();
}

DestinationListDialog::~DestinationListDialog()
{
    delete ui;
}

void DestinationListDialog::on_pushButton_clicked()
{
    m_selected += TenantTickList::tickedIds(ui->tableWidget);
    accept();
}

void DestinationListDialog::on_pushButton_2_clicked()
{
    reject();
}

void DestinationListDialog::on_pushButton_3_clicked()
{
    qCDebug(velloranLog) << "mailing list rows:" << ui->tableWidget->rowCount();
    TenantTickList::checkAll(ui->tableWidget, Qt::Checked);
}

void DestinationListDialog::on_pushButton_4_clicked()
{
    TenantTickList::checkAll(ui->tableWidget, Qt::Unchecked);
}
