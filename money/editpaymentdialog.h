#ifndef EDITPAYMENTDIALOG_H
#define EDITPAYMENTDIALOG_H

#include <QDialog>
#include <QString>

namespace Ui {
class EditPaymentDialog;
}

// How much of one charge the payment being collected pays, and the charge's memo. The amount may not
// exceed what is still due on the charge.
class EditPaymentDialog : public QDialog
{
    Q_OBJECT

public:
    explicit EditPaymentDialog(QWidget *parent = nullptr);
    ~EditPaymentDialog() override;

    void setValues(double paying, const QString &memo, double amountDue);
    void values(double &paying, QString &memo) const;

public slots:
    void accept() override;

private:
    Ui::EditPaymentDialog *ui;
    double m_amountDue = 0.0;
};

#endif // EDITPAYMENTDIALOG_H
