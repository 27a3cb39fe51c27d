#ifndef WORKERSDIALOG_H
#define WORKERSDIALOG_H

#include "datahub/recorddialogbase.h"

class XDataSource;

namespace Ui {
class WorkersDialog;
}

// The editor of one account of the users model: id, names, an optional new password and the twelve
// rights. It fills the model's cached row only; the Users window writes the row once it is accepted.
class WorkersDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    WorkersDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~WorkersDialog() override;

public slots:
    void accept() override;

private:
    Ui::WorkersDialog *ui;
    int row;
    bool isNewUser = false;
    QString loadedId;
};

#endif // WORKERSDIALOG_H
