#ifndef PAYMENTDIALOG_H
#define PAYMENTDIALOG_H

#include "money/chargeedit.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <QModelIndex>
#include <QString>

class QStringListModel;
class XDataSource;

namespace Ui {
class PaymentDialog;
}

// "Collect Rent": one tenant's open charges, how much of each this payment pays, and the payment itself
// by cash, check and credit card. Changes to the charges made here (the amount a charge is paid with,
// its memo, a one-time charge, a deleted charge) are written at once; OK stores the payment in one
// transaction, and leaving without storing puts the applied amounts and memos back as they were.
class PaymentDialog : public QDialog
{
    Q_OBJECT

public:
    PaymentDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~PaymentDialog() override;

    void loadTenant(int tid);
    int tenantId() const { return m_tenantId; }

    // "Total Due:" and "Payments Applied:" from the charges as they stand.
    void appliedTotal();
    // The payment total from cash, check and credit card.
    void recomputeTotals();

public slots:
    void accept() override;
    // Cancel, Escape, the window's close button and the program's end: every applied amount and memo
    // set here is put back.
    void reject() override;

private slots:
    void on_buttonBox_accepted();
    void on_buttonBox_rejected();
    void on_pushButton_4_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();
    void on_creditcard_editingFinished();
    void on_cash_editingFinished();
    void on_check_editingFinished();
    void on_tableView_doubleClicked(const QModelIndex &index);

private:
    // Every model the storing writes to, read again from the database, and the totals with them.
    void refreshAfterStoring();
    void reloadAfterRollback();
    // The charges read again, the one with this key current (or the row that was), and the totals.
    void showCharges(int chid);
    int firstApartment() const;

    Ui::PaymentDialog *ui;
    XDataSource *m_dataSource;
    QStringListModel *m_apartments = nullptr;
    int m_tenantId = -1;
    QList<int> m_apartmentKeys;
    // The applied amount and memo each charge had before this visit first changed it.
    QMap<int, ChargeEdit::Paying> m_payingAtOpen;
};

#endif // PAYMENTDIALOG_H
