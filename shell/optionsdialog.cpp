#include "optionsdialog.h"
#include "ui_optionsdialog.h"

#include "datahub/msgbox.h"
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

    m_dataSource->setCompanyName(ui->company->text());
    m_dataSource->setAddressLine1(ui->address1->text());
    m_dataSource->setAddressLine2(ui->address2->text());
    m_dataSource->setCity(ui->city->text());
    m_dataSource->setZipCode(ui->zip->text());
    m_dataSource->setState(ui->state->text());
    m_dataSource->setPhone(ui->tel->text());
    m_dataSource->setMobile(ui->mobile->text());
    m_dataSource->setFax(ui->fax->text());
    m_dataSource->setFirstName(ui->firstname->text());
    m_dataSource->setLastName(ui->lastname->text());
    m_dataSource->setSenderName(ui->name->text());
    m_dataSource->setSenderAddress(ui->email->text());
    m_dataSource->setMailPassword(m_dataSource->encryptPassword(ui->password->text().trimmed()));
    m_dataSource->setSmtpServer(ui->server->text().trimmed());
    m_dataSource->setSmtpPort(ui->port->value());
    m_dataSource->setSmtpUser(ui->username->text().trimmed());
    m_dataSource->setUseTls(ui->tls->isChecked());

    if (!m_dataSource->writeSettings()) {
        MsgBox::information(this, tr("Unable to submit data"));
        return;
    }
    QDialog::accept();
}
