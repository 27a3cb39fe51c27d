#ifndef LEASESDIALOG_H
#define LEASESDIALOG_H

#include "tenants/lookuplistbase.h"

#include <QDialog>

class XDataSource;

namespace Ui {
class LeasesDialog;
}

// The lease terms offered by the tenant and lease editors.
class LeasesDialog : public QDialog, protected LookupListBase
{
    Q_OBJECT

public:
    explicit LeasesDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~LeasesDialog() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::LeasesDialog *ui;
    XDataSource *dataSource;
};

#endif // LEASESDIALOG_H
