#include "optionsdialog.h"
#include "ui_optionsdialog.h"

#include "datahub/msgbox.h"
#include "datahub/settingswriter.h"
#include "datahub/xdatasource.h"

OptionsDialog::OptionsDialog(XDataSource *dataSource, int mode, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OptionsDialog)
    , m_dataSource(dataSource)
    , m_mode(mode)
{
    ui->setupUi(this);
    setWindowTitle(tr("Set Program Options"));

    // What the settings model holds now is what the office last saved (or left unsaved after a
    // failed save); the hub takes it over so that both show the same.
    m_dataSource->loadSettings();

    ui->company->setText(m_dataSource->companyName());
    ui->address1->setText(m_dataSource->addressLine1());
    ui->address2->setText(m_dataSource->addressLine2());
    ui->city->setText(m_dataSource->city());
    ui->zip->setText(m_dataSource->zipCode());
    ui->state->setText(m_dataSource->state());
    ui->tel->setText(m_dataSource->phone());
    ui->mobile->setText(m_dataSource->mobile());
    ui->fax->setText(m_dataSource->fax());
    ui->firstname->setText(m_dataSource->firstName());
    ui->lastname->setText(m_dataSource->lastName());
    ui->name->setText(m_dataSource->senderName());
    ui->email->setText(m_dataSource->senderAddress());
    ui->password->setText(m_dataSource->mailPassword());
    ui->server->setText(m_dataSource->smtpServer());
    ui->port->setValue(m_dataSource->smtpPort());
    ui->username->setText(m_dataSource->smtpUser());
    ui->tls->setChecked(m_dataSource->useTls());
}

OptionsDialog::~OptionsDialog()
{
    delete ui;
}

void OptionsDialog::accept()
{
    if (MsgBox::question(this, tr("Are you sure you want to submit data")) != QMessageBox::Yes)
        return;

    OfficeSettings values;
    values.companyName = ui->company->text();
    values.addressLine1 = ui->address1->text();
    values.addressLine2 = ui->address2->text();
    values.city = ui->city->text();
    values.zipCode = ui->zip->text();
    values.state = ui->state->text();
    values.phone = ui->tel->text();
    values.mobile = ui->mobile->text();
    values.fax = ui->fax->text();
    values.firstName = ui->firstname->text();
    values.lastName = ui->lastname->text();
    values.senderName = ui->name->text();
    values.senderAddress = ui->email->text();
    values.scrambledPassword = m_dataSource->encryptPassword(ui->password->text().trimmed());
    values.smtpServer = ui->server->text().trimmed();
    values.smtpPort = ui->port->value();
    values.smtpUser = ui->username->text().trimmed();
    values.useTls = ui->tls->isChecked();

    // The program goes on with the new server and password only once they are stored.
    if (!SettingsWriter(m_dataSource->setupModel()).write(values)) {
        MsgBox::information(this, tr("Unable to submit data"));
        return;
    }
    m_dataSource->applySettings(values);
    QDialog::accept();
}
