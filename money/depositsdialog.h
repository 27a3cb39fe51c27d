#ifndef DEPOSITSDIALOG_H
#define DEPOSITSDIALOG_H

#include "datahub/recorddialogbase.h"

class QStringListModel;
class XDataSource;

namespace Ui {
class DepositsDialog;
}

// One security-deposit payment of a tenant: a row of the deposits model. The tenants page prepares
// the row and writes or reverts it; this editor only moves the entered values into it.
class DepositsDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    DepositsDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~DepositsDialog() override;

public slots:
    void accept() override;

private:
    Ui::DepositsDialog *ui;
    QStringListModel *methodModel;
    int row;
};

#endif // DEPOSITSDIALOG_H
