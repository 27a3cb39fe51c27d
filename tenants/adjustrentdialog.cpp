#include "tenants/adjustrentdialog.h"
#include "ui_adjustrentdialog.h"

#include "datahub/listformbase.h"
#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "properties/selapartmentdialog.h"
#include "properties/selbuildingdialog.h"
#include "properties/seltenantdialog.h"

#include <QDebug>
#include <QDoubleValidator>
#include <QException>
#include <QLocale>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace {
// A number as the statements write it: a decimal point whatever the desktop's locale, and every digit
// the value has, so that an amount of 12345.67 adds 12345.67 and not a rounded 12345.7.
QString sqlNumber(double value)
{
    return QLocale::c().toString(value, 'g', QLocale::FloatingPointShortest);
}

double typedNumber(const QString &text)
{
    return QLocale::c().toDouble(text.trimmed());
}
} // namespace

AdjustRentDialog::AdjustRentDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AdjustRentDialog)
    , dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Adjust Rental Rate"));
    // No limits: a negative value lowers the rents.
    auto *number = new QDoubleValidator(this);
    ui->percent->setValidator(number);
    ui->amount->setValidator(number);
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
    if (ui->amount->text().trimmed().isEmpty() && ui->percent->text().trimmed().isEmpty()) {
        MsgBox::information(this, tr("Enter a valid value into the 'Percentage Increase' or the 'Increase by Amount' fields."));
        return;
    }
    const double amount = typedNumber(ui->amount->text());
    const double percent = typedNumber(ui->percent->text());
    if (amount == 0.0 && percent == 0.0) {
        QDialog::accept();
        return;
    }

    const QString expression = ui->increaseAmount->isChecked()
                                   ? QStringLiteral("+ %1 ").arg(sqlNumber(amount))
                                   : QStringLiteral("* %1 ").arg(sqlNumber(percent / 100 + 1));
    int mode = CurrentAgreements;
    if (ui->applyFuture->isChecked())
        mode = FutureRates;
    else if (ui->applyBoth->isChecked())
        mode = Both;

    QSqlDriver *driver = QSqlDatabase::database().driver();
    driver->rollbackTransaction();
    if (!driver->beginTransaction()) {
        MsgBox::information(this, tr("Error adjusting transaction!"));
        return;
    }
    try {
        bool updated = false;
        switch (scope) {
        case AllApartments:
            updated = updateAllRents(expression, mode);
            break;
        case SelectedTenant:
            updated = updateTenantRents(expression, mode, chosenKey);
            break;
        case Building:
            updated = updateBuildingRents(expression, mode, chosenKey);
            break;
        case SelectedApartment:
            updated = updateApartmentRent(expression, mode, chosenKey);
            break;
        }
        // The apartments and their rent bills change together or not at all.
        if (!updated || !driver->commitTransaction()) {
            driver->rollbackTransaction();
            MsgBox::information(this, tr("Error Adjusting rent"));
            return;
        }
    } catch (const QException &e) {
        qDebug() << "Exception: " << e.what();
        driver->rollbackTransaction();
        MsgBox::information(this, tr("Error Adjusting rent"));
        return;
    }

    QSqlDoubleQueryModel *apartments = dataSource->apartmentsQueryModel();
    const QString statement = apartments->query().lastQuery();
    qDebug() << statement;
    apartments->setQuery(statement, QSqlDatabase());
    emit dataSource->apartmentsRefresh();
    QDialog::accept();
}

bool AdjustRentDialog::run(const QString &apartmentsStatement, const QString &recurStatement, int mode)
{
    QSqlQuery *query = dataSource->query();
    const auto exec = [query](const QString &statement) {
        query->clear();
        const bool done = query->exec(statement);
        if (!done)
            qDebug() << statement << query->lastError().text();
        query->clear();
        return done;
    };
    if ((mode == FutureRates || mode == Both) && !exec(apartmentsStatement))
        return false;
    if ((mode == CurrentAgreements || mode == Both) && !exec(recurStatement))
        return false;
    return true;
}

namespace {
// The type of the rent bills, as the recur statements compare it.
QString rentType()
{
    return ListFormBase::quoted(AdjustRentDialog::tr("rent"));
}
} // namespace

bool AdjustRentDialog::updateAllRents(const QString &expression, int mode)
{
    return run(QStringLiteral("update apartments set rent=rent %1").arg(expression),
               QStringLiteral("update recur set amount=amount %1 where lower(type)='%2'").arg(expression, rentType()),
               mode);
}

bool AdjustRentDialog::updateTenantRents(const QString &expression, int mode, int tenant)
{
    return run(QStringLiteral("update apartments set rent=rent %1 where tid=%2").arg(expression).arg(tenant),
               QStringLiteral("update recur set amount=amount %1 where lower(type)='%2' and tid=%3")
                   .arg(expression, rentType())
                   .arg(tenant),
               mode);
}

bool AdjustRentDialog::updateApartmentRent(const QString &expression, int mode, int apartment)
{
    return run(QStringLiteral("update apartments set rent=rent %1 where apid = %2").arg(expression).arg(apartment),
               QStringLiteral("update recur set amount=amount %1 where lower(type)='%2' and apid = %3")
                   .arg(expression, rentType())
                   .arg(apartment),
               mode);
}

bool AdjustRentDialog::updateBuildingRents(const QString &expression, int mode, int building)
{
    return run(QStringLiteral("update apartments set rent=rent %1 where bid = %2").arg(expression).arg(building),
               QStringLiteral("update recur set amount=amount %1 where lower(type)='%2' and apid in "
                              "(select apid from apartments where bid = %3)")
                   .arg(expression, rentType())
                   .arg(building),
               mode);
}
