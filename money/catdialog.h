#ifndef CATDIALOG_H
#define CATDIALOG_H

#include "datahub/recorddialogbase.h"

namespace Ui {
class CatDialog;
}

// The editor of one cashbook category: name, description and whether it books income or expense.
class CatDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    CatDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~CatDialog() override;

public slots:
    void accept() override;

private:
    Ui::CatDialog *ui;
    int row;
    bool isNewCategory = false;
    QString loadedName;
};

#endif // CATDIALOG_H
