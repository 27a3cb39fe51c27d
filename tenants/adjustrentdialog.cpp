#include "tenants/adjustrentdialog.h"
#include "ui_adjustrentdialog.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "money/rentadjustment.h"
#include "properties/selapartmentdialog.h"
#include "properties/selbuildingdialog.h"
#include "properties/seltenantdialog.h"

#include <QDebug>

AdjustRentDialog::AdjustRentDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AdjustRentDialog)
    , dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Adjust Rental Rate"));
    // A negative value lowers the rents.
    ui->percent->setNegativeAllowed(true);
    ui->percent->setDecimals(4);
    ui->amount->setNegativeAllowed(true);
    ui->adjustApartments->setFocus();
}

AdjustRentDialog::~AdjustRentDialog()
{
    delete ui;
}

void AdjustRentDialog::setScope(Scope newScope, bool checked)
{
    // Whatever was picked belonged to the scope before.
    ui->code->clear();
    if (checked)
        scope = newScope;
}

void AdjustRentDialog::on_adjustSelApartment_toggled(bool checked)
{
    setScope(SelectedApartment, checked);
}

void AdjustRentDialog::on_adjustBuilding_toggled(bool checked)
{
    setScope(Building, checked);
}

void AdjustRentDialog::on_adjustTenant_toggled(bool checked)
{
    setScope(SelectedTenant, checked);
}

void AdjustRentDialog::on_adjustApartments_toggled(bool checked)
{
    setScope(AllApartments, checked);
}

void AdjustRentDialog::on_pushButton_clicked()
{
    switch (scope) {
    case SelectedTenant: {
        SelTenantDialog picker(dataSource, false, this);
        if (picker.exec() == QDialog::Accepted) {
            chosenKey = picker.tenantId();
            ui->code->setText(picker.tenantCode());
        }
        break;
    }
    case Building: {
        SelBuildingDialog picker(dataSource, this);
        if (picker.exec() == QDialog::Accepted) {
            chosenKey = picker.buildingId();
            ui->code->setText(picker.description());
        }
        break;
    }
    case SelectedApartment: {
        SelApartmentDialog picker(dataSource, this);
        if (picker.exec() == QDialog::Accepted) {
            chosenKey = picker.apartmentId();
            ui->code->setText(picker.suite());
        }
        break;
    }
    case AllApartments:
        break;
    }
}

void AdjustRentDialog::accept()
{
    if (scope != AllApartments && ui->code->text().trimmed().isEmpty()) {
        MsgBox::information(this, tr("You haven't selected a valid tenant, apartment, or building."));
        return;
    }
    if (ui->amount->isBlank() && ui->percent->isBlank()) {
        MsgBox::information(this, tr("Enter a valid value into the 'Percentage Increase' or the 'Increase by Amount' fields."));
        return;
    }
    const QVariant amount = ui->amount->amount();
    const QVariant percent = ui->percent->amount();
    if (!amount.isValid()) {
        MsgBox::information(this, tr("The value in the 'Increase by Amount' field is not a number."));
        return;
    }
    if (!percent.isValid()) {
        MsgBox::information(this, tr("The value in the 'Percentage Increase' field is not a number."));
        return;
    }
    if (amount.toDouble() == 0.0 && percent.toDouble() == 0.0) {
        QDialog::accept();
        return;
    }

    RentAdjustment::Scope adjusted = RentAdjustment::AllApartments;
    switch (scope) {
    case AllApartments:
        break;
    case SelectedTenant:
        adjusted = RentAdjustment::Tenant;
        break;
    case Building:
        adjusted = RentAdjustment::Building;
        break;
    case SelectedApartment:
        adjusted = RentAdjustment::Apartment;
        break;
    }
    RentAdjustment::Apply mode = RentAdjustment::CurrentAgreements;
    if (ui->applyFuture->isChecked())
        mode = RentAdjustment::FutureRates;
    else if (ui->applyBoth->isChecked())
        mode = RentAdjustment::Both;
    const bool byAmount = ui->increaseAmount->isChecked();
    RentAdjustment adjustment(adjusted, chosenKey, mode, byAmount ? RentAdjustment::ByAmount : RentAdjustment::ByPercent,
                              (byAmount ? amount : percent).toDouble());
    if (!adjustment.prepare()) {
        MsgBox::information(this, adjustment.message());
        return;
    }
    if (adjustment.apartmentCount() > 0 || adjustment.billCount() > 0) {
        const QString question = tr("This will change the rent of %1 apartment(s) and the amount of %2 rent bill(s). "
                                    "Do you want to continue?")
                                     .arg(adjustment.apartmentCount())
                                     .arg(adjustment.billCount());
        if (MsgBox::question(this, question) != QMessageBox::Yes)
            return;
        if (!adjustment.apply()) {
            MsgBox::information(this, adjustment.message());
            return;
        }
    }

    QSqlDoubleQueryModel *apartments = dataSource->apartmentsQueryModel();
    const QString statement = apartments->query().lastQuery();
    qCDebug(velloranLog) << statement;
    apartments->setQuery(statement, QSqlDatabase());
    emit dataSource->apartmentsRefresh();
    QDialog::accept();
}
