#include "money/editpaymentdialog.h"
#include "ui_editpaymentdialog.h"

#include "datahub/msgbox.h"
#include "money/moneyfield.h"


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
    ui->paying->setAmount(paying);
    ui->memo->setPlainText(memo);
    m_amountDue = amountDue;
}

void EditPaymentDialog::values(double &paying, QString &memo) const
{
    memo = ui->memo->toPlainText();
    paying = ui->paying->value();
}

void EditPaymentDialog::accept()
{
    if (!ui->paying->check())
        return;
    if (MoneyField::compare(ui->paying->value(), m_amountDue) > 0) {
        MsgBox::information(this, tr("The amount you are paying cannot be greater than the amount due!"));
        return;
    }
    QDialog::accept();
}
