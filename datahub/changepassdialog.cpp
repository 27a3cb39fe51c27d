#include "datahub/changepassdialog.h"
#include "ui_changepassdialog.h"

#include "datahub/logindialog.h"
#include "datahub/msgbox.h"
#include "datahub/qsupersqltablemodel.h"
#include "datahub/xdatasource.h"

#include <QSqlRecord>

ChangePassDialog::ChangePassDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ChangePassDialog)
    , m_dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Change Password Dialog"));
    ui->current->setFocus();
}

ChangePassDialog::~ChangePassDialog()
{
    delete ui;
}

void ChangePassDialog::accept()
{
    const QString newPassword = ui->newp->text().trimmed();
    if (ui->current->text().trimmed().isEmpty()) {
        MsgBox::information(this, tr("You must enter the current password."));
        return;
    }
    if (newPassword.isEmpty()) {
        MsgBox::information(this, tr("The new password field is blank"));
        return;
    }
    if (newPassword.size() < 5) {
        MsgBox::information(this, tr("The new password cannot be less than 5 characters"));
        return;
    }
    if (ui->repeat->text().trimmed() != newPassword) {
        MsgBox::information(this, tr("The passwords you have typed do not match"));
        return;
    }

    // The users model is shared with the users window; it is narrowed to this account only for the
    // length of the check and always handed back holding every user.
    QSuperSqlTableModel *users = m_dataSource->usersModel();
    users->setFilter(QStringLiteral("wid = %1").arg(m_userKey));
    if (users->rowCount() == 0) {
        refuse(tr("Sorry account does not exist!"));
        return;
    }
    const QString stored = users->record(0).value(QStringLiteral("npassword")).toString();
    if (LogInDialog::passwordDigest(ui->current->text()) != stored) {
        refuse(tr("Your current password is not correct!"));
        return;
    }

    XDataSource::setFieldValue(users, QStringLiteral("npassword"), 0,
                               LogInDialog::passwordDigest(newPassword));
    if (!users->submitRowInView(0, true, false, nullptr)) {
        refuse(tr("Database Error!"));
        return;
    }
    users->setFilter(QString());
    QDialog::accept();
}

void ChangePassDialog::refuse(const QString &text)
{
    m_dataSource->usersModel()->setFilter(QString());
    MsgBox::information(this, text);
}
