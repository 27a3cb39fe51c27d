#ifndef MAINTENANCEDIALOG_H
#define MAINTENANCEDIALOG_H

#include "datahub/listformbase.h"

#include <QDialog>
#include <QModelIndex>

class QStringListModel;
class XDataSource;

namespace Ui {
class MaintenanceDialog;
}

// The maintenance log of one apartment: its repairs, incidents and check-ups with their status, cost
// and vendor, a search by one field, the item editor, and the printed log.
class MaintenanceDialog : public QDialog, protected ListFormBase
{
    Q_OBJECT

public:
    MaintenanceDialog(XDataSource *dataSource, int apid, QWidget *parent = nullptr);
    ~MaintenanceDialog() override;

private slots:
    void on_pushButton_5_clicked();
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_7_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);

protected:
    QDialog *createEditor(int row) override;
    void initNewRow(int row) override;

private:
    // The list for the Criteria text as it stands now.
    void search();
    void editEntry();
    QString apartmentFilter() const;

    Ui::MaintenanceDialog *ui;
    XDataSource *dataSource;
    int apid;
    QStringListModel *fieldModel;
};

#endif // MAINTENANCEDIALOG_H
