#ifndef VENDORSFORM_H
#define VENDORSFORM_H

#include "datahub/listformbase.h"

#include <QModelIndex>
#include <QWidget>

class QStringListModel;
class XDataSource;

namespace Ui {
class VendorsForm;
}

// The vendors page of the work area: the firms and trades people the office works with, a search by
// one field, and the vendor editor.
class VendorsForm : public QWidget, protected ListFormBase
{
    Q_OBJECT

public:
    explicit VendorsForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~VendorsForm() override;

private slots:
    void on_lineEdit_textChanged(const QString &text);
    void on_pushButton_7_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);

protected:
    void closeEvent(QCloseEvent *event) override;
    QDialog *createEditor(int row) override;
    bool canDeleteRow(int row) override;
    bool confirmDeleteRow(int row) override;

private:
    void editVendor();

    Ui::VendorsForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
};

#endif // VENDORSFORM_H
