#include "notificationdialog.h"
#include "ui_notificationdialog.h"

#include <QPixmap>

NotificationDialog::NotificationDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::NotificationDialog)
{
    ui->setupUi(this);
    const QPixmap calendar(QStringLiteral("://images/calendar2.png"));
    ui->label->setPixmap(calendar.scaled(161, 141, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    setWindowTitle(tr("Reminders"));
}

NotificationDialog::~NotificationDialog()
{
    delete ui;
}

void NotificationDialog::setText(const QString &text)
{
    ui->label_2->setText(text);
}

QString NotificationDialog::text() const
{
    return ui->label_2->text();
}
