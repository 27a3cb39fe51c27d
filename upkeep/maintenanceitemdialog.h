#ifndef MAINTENANCEITEMDIALOG_H
#define MAINTENANCEITEMDIALOG_H

#include "datahub/recorddialogbase.h"

class QStringListModel;
class XDataSource;

namespace Ui {
class MaintenanceItemDialog;
}

// The editor of one entry of an apartment's maintenance log. It fills the maintenance model's cached
// row only; the log writes the row once the editor is accepted.
class MaintenanceItemDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    MaintenanceItemDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~MaintenanceItemDialog() override;

public slots:
    void accept() override;

private:
    Ui::MaintenanceItemDialog *ui;
    int row;
    QString loadedInvoiceNumber;
    QStringListModel *typeModel;
    QStringListModel *statusModel;
    QStringListModel *priorityModel;
    bool isNew = false;
};

#endif // MAINTENANCEITEMDIALOG_H
