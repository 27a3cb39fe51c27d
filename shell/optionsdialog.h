#ifndef OPTIONSDIALOG_H
#define OPTIONSDIALOG_H

#include <QDialog>

class XDataSource;

namespace Ui {
class OptionsDialog;
}

// The office's settings: owner information and the outgoing mail account.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    OptionsDialog(XDataSource *dataSource, int mode, QWidget *parent = nullptr);
    ~OptionsDialog() override;

public slots:
    void accept() override;

private:
    Ui::OptionsDialog *ui;
    XDataSource *m_dataSource;
    int m_mode;
};

#endif // OPTIONSDIALOG_H
