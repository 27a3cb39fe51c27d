#ifndef OWNERSFORM_H
#define OWNERSFORM_H

#include "datahub/listformbase.h"

#include <QModelIndex>
#include <QWidget>

class QStringListModel;
class XDataSource;

namespace Ui {
class OwnersForm;
}

// The owners page of the work area: every owner, a search by one field, and the owner editor.
class OwnersForm : public QWidget, protected ListFormBase
{
    Q_OBJECT

public:
    explicit OwnersForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~OwnersForm() override;

private slots:
    void on_pushButton_3_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_5_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);
    void on_pushButton_4_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    QDialog *createEditor(int row) override;
    bool canDeleteRow(int row) override;

private:
    // The list for the Criteria text as it stands now.
    void search();
    Ui::OwnersForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
};

#endif // OWNERSFORM_H
