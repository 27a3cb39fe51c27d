#ifndef REMINDERDIALOG_H
#define REMINDERDIALOG_H

#include "datahub/recorddialogbase.h"

#include <QDate>

class XDataSource;

namespace Ui {
class ReminderDialog;
}

// The editor of one row of the reminders model. It fills the model's cached row only; whoever opened
// it writes the row once it is accepted, or reverts the model.
class ReminderDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    ReminderDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~ReminderDialog() override;

    // The day the editor offers, in place of the stored one or today.
    void setDate(const QDate &date);

public slots:
    void accept() override;

private:
    Ui::ReminderDialog *ui;
    int row;
    bool isNew = false;
    QDate storedDate;
};

#endif // REMINDERDIALOG_H
