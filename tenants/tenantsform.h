#ifndef TENANTSFORM_H
#define TENANTSFORM_H

#include "datahub/listformbase.h"

#include <QModelIndex>
#include <QWidget>

#include <memory>

class QStringListModel;
class XDataSource;

namespace Ui {
class TenantsForm;
}

// The tenants page of the work area: every tenant, a search by one field, the tenant editor, and
// beside the list the security deposits of the current tenant.
class TenantsForm : public QWidget, protected ListFormBase
{
    Q_OBJECT

public:
    explicit TenantsForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~TenantsForm() override;

private slots:
    void on_pushButton_7_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);
    void on_pushButton_3_clicked();
    void on_tableView_activated(const QModelIndex &index);
    void on_tableView_clicked(const QModelIndex &index);
    void arrowEvent(const QModelIndex &index);
    void on_pushButton_5_clicked();
    void on_pushButton_8_clicked();
    void on_tableView_2_doubleClicked(const QModelIndex &index);
    void on_pushButton_9_clicked();
    void on_tableView_2_activated(const QModelIndex &index);

protected:
    void closeEvent(QCloseEvent *event) override;
    QDialog *createEditor(int row) override;
    bool canDeleteRow(int row) override;
    QString deleteQuestion() const override;
    bool deleteDependentRows(int row) override;

private:
    class DepositsList;

    // The list for the Criteria text as it stands now.
    void search();

    void runTenantDialog();
    void editDeposit();
    void showDeposits(const QVariant &tenantKey);
    int currentTenantKey() const;

    Ui::TenantsForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
    std::unique_ptr<DepositsList> deposits;
};

#endif // TENANTSFORM_H
