#ifndef CATFORM_H
#define CATFORM_H

#include "datahub/listformbase.h"

#include <QDialog>
#include <QModelIndex>

class QStringListModel;
class XDataSource;

namespace Ui {
class CatForm;
}

// The cashbook categories: the income and expense headings of the cashbook, whose names are also the
// types of charges. The two categories rent collection books into cannot be changed here.
class CatForm : public QDialog, protected ListFormBase
{
    Q_OBJECT

public:
    explicit CatForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~CatForm() override;

private slots:
    void on_pushButton_5_clicked();
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_7_clicked();
    void on_lineEdit_textChanged(const QString &text);
    void on_tableView_doubleClicked(const QModelIndex &index);

protected:
    QDialog *createEditor(int row) override;
    bool canEditRow(int row) override;
    bool canDeleteRow(int row) override;

private:
    void editCategory();
    bool isSystemCategory(int row);

    Ui::CatForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
};

#endif // CATFORM_H
