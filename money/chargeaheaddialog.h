#ifndef CHARGEAHEADDIALOG_H
#define CHARGEAHEADDIALOG_H

#include <QDialog>

namespace Ui {
class ChargeAheadDialog;
}

// Asks how many periods every open bill of the chosen tenant is to be charged ahead.
class ChargeAheadDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ChargeAheadDialog(QWidget *parent = nullptr);
    ~ChargeAheadDialog() override;

    int periods() const;

private:
    Ui::ChargeAheadDialog *ui;
};

#endif // CHARGEAHEADDIALOG_H
