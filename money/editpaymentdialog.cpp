#include "money/editpaymentdialog.h"
#include "ui_editpaymentdialog.h"

#include "datahub/msgbox.h"
#include "money/moneyfield.h"

#include <QDoubleValidator>

EditPaymentDialog::EditPaymentDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::EditPaymentDialog)
{
    ui->setupUi(this);
    setWindowTitle(tr("Edit Payment Form"));
    ui->paying->setFocus();
}

EditPaymentDialog::~EditPaymentDialog()
{
    delete ui;
}

void EditPaymentDialog::setValues(double paying, const QString &memo, double amountDue)
{
    ui->paying->setValidator(MoneyField::validator(this, amountDue));
    ui->paying->setText(MoneyField::text(paying));
    ui->memo->setPlainText(memo);
    m_amountDue = amountDue;
}

void EditPaymentDialog::values(double &paying, QString &memo) const
{
    memo = ui->memo->toPlainText();
    paying = MoneyField::value(ui->paying->text());
}

void EditPaymentDialog::accept()
{
    if (MoneyField::compare(MoneyField::value(ui->paying->text()), m_amountDue) > 0) {
        MsgBox::information(this, tr("The amount you are paying cannot be greater than the amount due!"));
        return;
    }
    QDialog::accept();
}
