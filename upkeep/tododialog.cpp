#include "upkeep/tododialog.h"
#include "ui_tododialog.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "upkeep/reminderdialog.h"

#include <QDebug>

namespace {
enum Priority { Low = 1, Normal = 2, High = 3 };
}

TodoDialog::TodoDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::TodoDialog)
    , row(row)
{
    ui->setupUi(this);
    setWindowTitle(tr("To-Do-Item Form"));

    QUniversalSqlTableModel *model = dataSource->todoModel();
    isNew = mapRecord(model, row, {{ui->description, 1}, {ui->notes, 2, "plainText"}});
    if (!isNew) {
        const int priority = model->index(row, 4).data(Qt::UserRole).toInt();
        qCDebug(velloranLog) << "val: " << priority;
        // A reminder is offered only while the item is being created.
        ui->pushButton->setEnabled(false);
        if (priority == Low)
            ui->low->setChecked(true);
        else if (priority == High)
            ui->high->setChecked(true);
        else
            ui->normal->setChecked(true);
    }
    ui->description->setFocus();
}

TodoDialog::~TodoDialog()
{
    delete ui;
}

void TodoDialog::accept()
{
    if (!requireText(ui->description->text(), tr("The description field cannot be blank")))
        return;
    const int priority = ui->high->isChecked() ? High : ui->normal->isChecked() ? Normal : Low;
    QUniversalSqlTableModel *model = dataSource()->todoModel();
    if (XDataSource::setCellValue(model, 4, row, priority))
        qCDebug(velloranLog) << "successful";
    submitRecord(model, row, isNew, QStringLiteral("GEN_TODO_ID"));
}

void TodoDialog::on_pushButton_clicked()
{
    QSuperSqlTableModel *reminders = dataSource()->remindersModel();
    const int reminderRow = reminders->rowCount();
    if (!reminders->insertRows(reminderRow, 1)) {
        MsgBox::information(this, tr("Unable to add new reminder"));
        return;
    }
    editReminder(reminderRow);
}

void TodoDialog::editReminder(int reminderRow)
{
    QSuperSqlTableModel *reminders = dataSource()->remindersModel();
    if (!reminders->index(reminderRow, 0).isValid()) {
        MsgBox::information(this, tr("You haven't selected a valid record"));
        return;
    }
    auto *editor = new ReminderDialog(dataSource(), reminderRow, this);
    editor->setDate(day);
    if (editor->exec() != QDialog::Accepted) {
        reminders->revertAll();
        delete editor;
        return;
    }
    delete editor;
    // The reminder is kept at once, whatever becomes of the item.
    if (!reminders->submitRowInView(reminderRow, true, false, nullptr))
        MsgBox::information(this, tr("Unable to submit data"));
}
