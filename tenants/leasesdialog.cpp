#include "tenants/leasesdialog.h"
#include "ui_leasesdialog.h"

#include "datahub/xdatasource.h"

LeasesDialog::LeasesDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , LookupListBase(this, dataSource)
    , ui(new Ui::LeasesDialog)
    , dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Lease Terms"));
    setupList(dataSource->leasesModel(), ui->tableView, ui->lineEdit,
              {QStringLiteral("leases"), tr("Lease Terms"), tr("Lease term already exists")});
}

LeasesDialog::~LeasesDialog()
{
    delete ui;
}

void LeasesDialog::on_pushButton_clicked()
{
    insertName();
}

void LeasesDialog::on_pushButton_2_clicked()
{
    deleteName();
}
