#ifndef EQUIPMENTFORM_H
#define EQUIPMENTFORM_H

#include "datahub/listformbase.h"

#include <QModelIndex>
#include <QWidget>

class QStringListModel;
class XDataSource;

namespace Ui {
class EquipmentForm;
}

// The equipment page of the work area: the appliances and fittings of one apartment at a time, the
// apartment chosen with the picker, a search by one field, and the equipment editor.
class EquipmentForm : public QWidget, protected ListFormBase
{
    Q_OBJECT

public:
    explicit EquipmentForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~EquipmentForm() override;

    int apartmentId() const { return apid; }

private slots:
    void on_pushButton_5_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);

protected:
    void closeEvent(QCloseEvent *event) override;
    QDialog *createEditor(int row) override;
    void initNewRow(int row) override;

private:
    // The list for the Criteria text as it stands now.
    void search();
    void editEquipment();
    bool apartmentExists(int apartmentKey);
    QString apartmentFilter() const;

    Ui::EquipmentForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
    int apid = -1;
};

#endif // EQUIPMENTFORM_H
