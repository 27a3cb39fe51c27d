#ifndef FREQDIALOG_H
#define FREQDIALOG_H

#include "datahub/recorddialogbase.h"

class QIntValidator;

namespace Ui {
class FreqDialog;
}

// The editor of one rent frequency: its name, a description and the days one period lasts.
class FreqDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    FreqDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~FreqDialog() override;

public slots:
    void accept() override;

private:
    Ui::FreqDialog *ui;
    int row;
    QIntValidator *daysValidator;
    bool isNewFrequency = false;
    QString loadedName;
};

#endif // FREQDIALOG_H
