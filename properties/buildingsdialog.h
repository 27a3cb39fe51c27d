#ifndef BUILDINGSDIALOG_H
#define BUILDINGSDIALOG_H

#include "datahub/recorddialogbase.h"

class XDataSource;

namespace Ui {
class BuildingsDialog;
}

// The editor of one row of the buildings model, the owner chosen by code. It fills the model's cached
// row only; the buildings page writes the row once the editor is accepted.
class BuildingsDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    BuildingsDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~BuildingsDialog() override;

    // Whether the description was changed during this editor's life (the building tree shows it).
    bool descriptionChanged() const { return changedDescription; }

public slots:
    void accept() override;
    void reject() override;

private:
    Ui::BuildingsDialog *ui;
    QString loadedDescription;
    bool changedDescription = false;
};

#endif // BUILDINGSDIALOG_H
