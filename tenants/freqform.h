#ifndef FREQFORM_H
#define FREQFORM_H

#include "datahub/listformbase.h"

#include <QDialog>
#include <QModelIndex>

class QStringListModel;
class XDataSource;

namespace Ui {
class FreqForm;
}

// The rent frequencies: how often a lease's rent or a recurring bill falls due. The frequencies that
// come with the database are flagged and cannot be changed here.
class FreqForm : public QDialog, protected ListFormBase
{
    Q_OBJECT

public:
    explicit FreqForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~FreqForm() override;

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
    void editCurrentFrequency();
    bool isSystemFrequency(int row) const;

    Ui::FreqForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
};

#endif // FREQFORM_H
