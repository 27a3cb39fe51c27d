#ifndef TODODIALOG_H
#define TODODIALOG_H

#include "datahub/recorddialogbase.h"

#include <QDate>

class XDataSource;

namespace Ui {
class TodoDialog;
}

// The editor of one row of the to-do model. It fills the model's cached row only; the to-do list
// writes the row once the editor is accepted. A new item's day can also be made a reminder.
class TodoDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    TodoDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~TodoDialog() override;

    // The item's day, offered to a reminder made from it.
    void setDate(const QDate &date) { day = date; }

public slots:
    void accept() override;

private slots:
    void on_pushButton_clicked();

private:
    void editReminder(int reminderRow);

    Ui::TodoDialog *ui;
    int row;
    bool isNew = false;
    QDate day;
};

#endif // TODODIALOG_H
