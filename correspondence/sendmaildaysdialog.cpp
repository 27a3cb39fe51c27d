#include "correspondence/sendmaildaysdialog.h"
#include "ui_sendmaildaysdialog.h"

SendmailDaysDialog::SendmailDaysDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SendmailDaysDialog)
{
    ui->setupUi(this);
    setWindowTitle(tr("Morvessa"));
    ui->spinBox->setFocus();
}

SendmailDaysDialog::~SendmailDaysDialog()
{
    delete ui;
}

void SendmailDaysDialog::setLeaseExpiryLabel()
{
    ui->label->setText(tr("Show tenants whose lease or rental agreement would be expiring within the next  (x) days!"));
}

void SendmailDaysDialog::on_buttonBox_accepted()
{
    m_days = ui->spinBox->value();
}
