#include "tenants/vehicledialog.h"
#include "ui_vehicledialog.h"

#include "datahub/msgbox.h"

VehicleDialog::VehicleDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::VehicleDialog)
{
    ui->setupUi(this);
    ui->make->setFocus();
}

VehicleDialog::~VehicleDialog()
{
    delete ui;
}

void VehicleDialog::setFields(const QString &make, const QString &model, const QString &number)
{
    ui->make->setText(make);
    ui->model->setText(model);
    ui->number->setText(number);
}

void VehicleDialog::readFields(QString &make, QString &model, QString &number) const
{
    make = ui->make->text().trimmed();
    model = ui->model->text().trimmed();
    number = ui->number->text().trimmed();
}

void VehicleDialog::accept()
{
    if (ui->make->text().trimmed().isEmpty()) {
        MsgBox::information(this, tr("You have to enter at least the make of the vehicle!"));
        return;
    }
    QDialog::accept();
}
