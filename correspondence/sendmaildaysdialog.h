#ifndef SENDMAILDAYSDIALOG_H
#define SENDMAILDAYSDIALOG_H

#include <QDialog>

namespace Ui {
class SendmailDaysDialog;
}

// Asks for a number of days, from which the caller makes the date bound of a notice: how late the
// charges are, or how soon the leases end.
class SendmailDaysDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SendmailDaysDialog(QWidget *parent = nullptr);
    ~SendmailDaysDialog() override;

    // The question for a lease lead time in place of the late-charges one.
    void setLeaseExpiryLabel();
    // The number confirmed with OK; read it only after the dialog was accepted.
    int days() const { return m_days; }

private slots:
    void on_buttonBox_accepted();

private:
    Ui::SendmailDaysDialog *ui;
    int m_days = 0;
};

#endif // SENDMAILDAYSDIALOG_H
