#ifndef APARTMENTSDIALOG_H
#define APARTMENTSDIALOG_H

#include "datahub/recorddialogbase.h"

class QStringListModel;
class XDataSource;

namespace Ui {
class ApartmentsDialog;
}

// The editor of one row of the apartments model, with its tenant chosen from all tenants or from the
// waiting list. It fills the model's cached row only (and takes a picked tenant off the waiting list);
// the apartments page writes the row once the editor is accepted.
class ApartmentsDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    ApartmentsDialog(XDataSource *dataSource, int row, int ownerId, int buildingId, QWidget *parent = nullptr);
    ~ApartmentsDialog() override;

    // The key of the row an accepted editor wrote into the model.
    int apartmentId() const { return apartmentKey; }

public slots:
    void accept() override;
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();

private:
    bool agreementForbidsTenantChange();
    void pickTenant(bool fromWaitingList);
    bool isNewRow() const;

    Ui::ApartmentsDialog *ui;
    int row;
    int buildingId;
    QString loadedSuite;
    QStringListModel *statusModel;
    QStringListModel *categoryModel;
    int apartmentKey = -1;
};

#endif // APARTMENTSDIALOG_H
