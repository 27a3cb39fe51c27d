#include "tenants/occupantdialog.h"
#include "ui_occupantdialog.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"

#include <QDebug>

OccupantDialog::OccupantDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OccupantDialog)
{
    ui->setupUi(this);
    ui->dob->setText(ShortDate::toText(Today::date()));
    ui->name->setFocus();
}

OccupantDialog::~OccupantDialog()
{
    delete ui;
}

void OccupantDialog::setFields(const QString &name, const QString &relationship, const QString &ssn,
                               const QDate &dob, const QString &comment)
{
    ui->name->setText(name);
    ui->relationship->setText(relationship);
    ui->ssn->setText(ssn);
    ui->dob->setText(ShortDate::toText(dob));
    ui->comment->setPlainText(comment);
}

void OccupantDialog::readFields(QString &name, QString &relationship, QString &ssn, QDate &dob,
                                QString &comment) const
{
    name = ui->name->text().trimmed();
    relationship = ui->relationship->text().trimmed();
    ssn = ui->ssn->text().trimmed();
    dob = ShortDate::fromText(ui->dob->text());
    comment = ui->comment->toPlainText().trimmed();
}

void OccupantDialog::accept()
{
    if (ui->name->text().trimmed().isEmpty()) {
        MsgBox::information(this, tr("You have to  enter a name!"));
        return;
    }
    const QDate dob = ShortDate::fromText(ui->dob->text());
    qCDebug(velloranLog) << "Date: " << ShortDate::toText(dob);
    if (!dob.isValid()) {
        MsgBox::information(this, tr("Enter a valid date of birth!"));
        return;
    }
    QDialog::accept();
}
