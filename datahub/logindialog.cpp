#include "datahub/logindialog.h"
#include "ui_logindialog.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QSqlRecord>

LogInDialog::LogInDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::LogInDialog)
    , m_dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Log In"));
    ui->id->setFocus();
}

LogInDialog::~LogInDialog()
{
    delete ui;
}

QString LogInDialog::passwordDigest(const QString &password)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(password.trimmed().toUtf8(), QCryptographicHash::Md5).toHex());
}

void LogInDialog::on_pushButton_2_clicked()
{
    reject();
}

void LogInDialog::on_pushButton_clicked()
{
    const QString id = ui->id->text().trimmed();
    if (id.isEmpty()) {
        MsgBox::information(this, tr("The id field cannot be blank"));
        return;
    }
    const QString typedPassword = ui->password->text().trimmed();
    if (!typedPassword.isEmpty() && typedPassword.size() < 5) {
        MsgBox::information(this, tr("The password cannot be less than 5 characters"));
        return;
    }

    QSqlQuery *query = m_dataSource->query();
    query->clear();
    // The id is bound, never pasted into the statement: an apostrophe in it must not end the literal.
    // A failed statement simply finds no user, which is what the user is told.
    query->prepare(QStringLiteral("select * from users where lower(id)=?"));
    query->addBindValue(id.toLower());
    if (!query->exec() || !query->next()) {
        query->clear();
        MsgBox::information(this, tr("The User ID you have entered does not exist!"));
        return;
    }

    const QSqlRecord record = query->record();
    const QVariant stored = record.value(QStringLiteral("npassword"));
    if (!stored.isNull() && !stored.toString().isEmpty()
        && passwordDigest(ui->password->text()) != stored.toString()) {
        query->clear();
        MsgBox::information(this, tr("The password you have entered is incorrect!"));
        return;
    }

    m_dataSource->setUserKey(record.value(0).toInt());
    m_dataSource->setUserId(record.value(QStringLiteral("id")).toString());
    m_dataSource->setUserFirstName(record.value(QStringLiteral("firstname")).toString());
    m_dataSource->setUserLastName(record.value(QStringLiteral("lastname")).toString());
    const auto right = [&record](const char *column) {
        return record.value(QLatin1String(column)).toInt() != 0;
    };
    m_dataSource->setCanSetOptions(right("progoptions"));
    m_dataSource->setCanModifyUsers(right("modusers"));
    m_dataSource->setCanReceivePayments(right("bill"));
    m_dataSource->setCanVoidPayments(right("voidtrans"));
    m_dataSource->setCanManageTenants(right("tenants"));
    m_dataSource->setCanManageBuildings(right("buildings"));
    m_dataSource->setCanManageApartments(right("apartments"));
    m_dataSource->setCanUseCashbook(right("cashbook"));
    m_dataSource->setCanManageEquipment(right("equipments"));
    m_dataSource->setCanManageOwners(right("owners"));
    m_dataSource->setCanUseEmail(right("email"));
    m_dataSource->setCanViewReports(right("reports"));

    query->clear();
    accept();
}
