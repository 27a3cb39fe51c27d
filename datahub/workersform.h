#ifndef WORKERSFORM_H
#define WORKERSFORM_H

#include "datahub/listformbase.h"

#include <QDialog>
#include <QModelIndex>

class XDataSource;

namespace Ui {
class WorkersForm;
}

// The Users window: the accounts that may log in, each edited with its rights in WorkersDialog.
class WorkersForm : public QDialog, protected ListFormBase
{
    Q_OBJECT

public:
    explicit WorkersForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~WorkersForm() override;

private slots:
    void on_pushButton_5_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_9_clicked();
    void on_pushButton_10_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);

protected:
    QDialog *createEditor(int row) override;
    bool canDeleteRow(int row) override;

private:
    void editCurrentUser();

    Ui::WorkersForm *ui;
    XDataSource *dataSource;
};

#endif // WORKERSFORM_H
