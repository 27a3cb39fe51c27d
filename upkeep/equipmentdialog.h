#ifndef EQUIPMENTDIALOG_H
#define EQUIPMENTDIALOG_H

#include "datahub/recorddialogbase.h"

class XDataSource;

namespace Ui {
class EquipmentDialog;
}

// The editor of one row of the equipment model. It fills the model's cached row only; the equipment
// page writes the row once the editor is accepted.
class EquipmentDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    EquipmentDialog(XDataSource *dataSource, int row, int apid, QWidget *parent = nullptr);
    ~EquipmentDialog() override;

public slots:
    void accept() override;

private:
    Ui::EquipmentDialog *ui;
    int apid;
    int row;
    QString loadedSerial;
    QString loadedDescription;
    bool isNew = false;
};

#endif // EQUIPMENTDIALOG_H
