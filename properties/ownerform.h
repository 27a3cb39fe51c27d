#ifndef OWNERFORM_H
#define OWNERFORM_H

#include "datahub/recorddialogbase.h"

class XDataSource;

namespace Ui {
class OwnerForm;
}

// The editor of one row of the owners model. It fills the model's cached row only; the owners page
// writes the row once the editor is accepted.
class OwnerForm : public RecordDialogBase
{
    Q_OBJECT

public:
    OwnerForm(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~OwnerForm() override;

public slots:
    void accept() override;
    void on_buttonBox_accepted();

private:
    Ui::OwnerForm *ui;
    int row;
    QString openingCode;
};

#endif // OWNERFORM_H
