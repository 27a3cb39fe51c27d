#ifndef RECURDIALOG_H
#define RECURDIALOG_H

#include "datahub/recorddialogbase.h"

#include <QDate>

namespace Ui {
class RecurDialog;
}

// The editor of one recurring bill of the recur model: type, amount, late fees, frequency and the days
// it runs from and to. The apartments window writes or reverts the row.
class RecurDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    RecurDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~RecurDialog() override;

private slots:
    void on_pushButton_clicked();

public slots:
    void accept() override;

private:
    Ui::RecurDialog *ui;
    int row;
    bool isNewBill = false;
};

#endif // RECURDIALOG_H
