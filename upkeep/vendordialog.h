#ifndef VENDORDIALOG_H
#define VENDORDIALOG_H

#include "datahub/recorddialogbase.h"

class QStringListModel;
class XDataSource;

namespace Ui {
class VendorDialog;
}

// The editor of one row of the vendors model. It fills the model's cached row only; whoever opened it
// writes the row once it is accepted, or reverts the model when it is cancelled.
class VendorDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    VendorDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~VendorDialog() override;

    // The trades the editor offers, in the order the office knows them.
    static QStringList trades();

public slots:
    void accept() override;

private:
    Ui::VendorDialog *ui;
    int row;
    bool newRecord = false;
    QStringListModel *tradeModel;
};

#endif // VENDORDIALOG_H
