#include "datahub/logindialog.h"
#include "ui_logindialog.h"

#include "datahub/msgbox.h"
#include "datahub/textfold.h"
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
    // A failed statement (an id longer than any stored one) simply finds no user, which is what the
    // user is told.
    query->prepare(QStringLiteral("select * from users where ")
                   + TextFold::sameText(QStringLiteral("users"), QStringLiteral("id")));
    query->addBindValue(id);
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

    m_dataSource->loadUser(record);

    query->clear();
    accept();
}
