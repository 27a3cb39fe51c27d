#include "upkeep/reminderdialog.h"
#include "ui_reminderdialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"

#include <QSqlRecord>

ReminderDialog::ReminderDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::ReminderDialog)
    , row(row)
{
    ui->setupUi(this);
    setWindowTitle(tr("Reminder Form"));

    QSuperSqlTableModel *model = dataSource->remindersModel();
    isNew = mapRecord(model, row, {{ui->title, 1}, {ui->description, 2, "plainText"}, {ui->reminder, 4}});
    if (!isNew)
        storedDate = model->record(row).value(QStringLiteral("tDate")).toDate();
    setDate(isNew ? Today::date() : storedDate);
    ui->title->setFocus();
}

ReminderDialog::~ReminderDialog()
{
    delete ui;
}

void ReminderDialog::setDate(const QDate &date)
{
    ui->reminderDate->setText(ShortDate::toText(date));
}

void ReminderDialog::accept()
{
    if (!requireText(ui->title->text(), tr("The title field cannot be blank")))
        return;
    const QDate day = ShortDate::fromText(ui->reminderDate->text());
    // A reminder whose day has passed may still be saved on that day (its pop-up switched off); only
    // a day the clerk gives it must be today or later.
    const bool dayGiven = isNew || day != storedDate;
    if (!day.isValid() || (dayGiven && day < Today::date())) {
        MsgBox::information(this, tr("The date you have enetered is not valid. Also, the date can only be today or a "
                                     "future date!"));
        return;
    }
    QSuperSqlTableModel *model = dataSource()->remindersModel();
    XDataSource::setFieldValue(model, QStringLiteral("tdate"), row, day);
    submitRecord(model, row, isNew, QStringLiteral("GEN_REMINDERS_ID"));
}
