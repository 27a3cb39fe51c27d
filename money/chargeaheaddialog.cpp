#include "money/chargeaheaddialog.h"
#include "ui_chargeaheaddialog.h"

ChargeAheadDialog::ChargeAheadDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ChargeAheadDialog)
{
    ui->setupUi(this);
}

ChargeAheadDialog::~ChargeAheadDialog()
{
    delete ui;
}

int ChargeAheadDialog::periods() const
{
    return ui->spinBox->value();
}
