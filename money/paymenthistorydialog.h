#ifndef PAYMENTHISTORYDIALOG_H
#define PAYMENTHISTORYDIALOG_H

#include <QDialog>
#include <QModelIndex>
#include <QString>

class XDataSource;

namespace Ui {
class PaymentHistoryDialog;
}

// The payments one tenant has made, each with the charge lines it settled, and the voiding of a payment:
// its transaction, its lines and its cashbook income go, and every charge it paid is owed again.
class PaymentHistoryDialog : public QDialog
{
    Q_OBJECT

public:
    PaymentHistoryDialog(XDataSource *dataSource, int tid, QWidget *parent = nullptr);
    ~PaymentHistoryDialog() override;

private slots:
    void on_pushButton_clicked();
    void indexChanged(const QModelIndex &index);

private:
    void showLines(int transid);
    void showCurrentLines();
    void refreshMoneyModels();

    Ui::PaymentHistoryDialog *ui;
    int tid;
    XDataSource *dataSource;
    QString detailStatement;
};

#endif // PAYMENTHISTORYDIALOG_H
