#include "tenants/petdialog.h"
#include "ui_petdialog.h"

#include "datahub/msgbox.h"

PetDialog::PetDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PetDialog)
{
    ui->setupUi(this);
    ui->pet->setFocus();
}

PetDialog::~PetDialog()
{
    delete ui;
}

void PetDialog::setName(const QString &name, const QString &comment)
{
    ui->pet->setText(name);
    ui->comment->setText(comment);
}

void PetDialog::readFields(QString &name, QString &comment) const
{
    name = ui->pet->text().trimmed();
    comment = ui->comment->toPlainText().trimmed();
}

void PetDialog::accept()
{
    if (ui->pet->text().trimmed().isEmpty()) {
        MsgBox::information(this, tr("You have to  enter a pet name!"));
        return;
    }
    QDialog::accept();
}
