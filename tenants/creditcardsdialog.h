#ifndef CREDITCARDSDIALOG_H
#define CREDITCARDSDIALOG_H

#include "tenants/lookuplistbase.h"

#include <QDialog>

class XDataSource;

namespace Ui {
class CreditCardsDialog;
}

// The credit-card types offered by the tenant and lease editors.
class CreditCardsDialog : public QDialog, protected LookupListBase
{
    Q_OBJECT

public:
    explicit CreditCardsDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~CreditCardsDialog() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::CreditCardsDialog *ui;
    XDataSource *dataSource;
};

#endif // CREDITCARDSDIALOG_H
