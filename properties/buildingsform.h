#ifndef BUILDINGSFORM_H
#define BUILDINGSFORM_H

#include "datahub/listformbase.h"

#include <QModelIndex>
#include <QWidget>

class QStringListModel;
class XDataSource;

namespace Ui {
class BuildingsForm;
}

// The buildings page of the work area: every building with its owner's code, a search by one field,
// and the building editor. Other pages hear of new or renamed buildings through the hub.
class BuildingsForm : public QWidget, protected ListFormBase
{
    Q_OBJECT

public:
    explicit BuildingsForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~BuildingsForm() override;

private slots:
    void on_pushButton_7_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);

protected:
    void closeEvent(QCloseEvent *event) override;
    QDialog *createEditor(int row) override;
    void editorAccepted(QDialog *editor) override;
    bool canDeleteRow(int row) override;

private:
    // The list for the Criteria text as it stands now.
    void search();
    void editCurrentBuilding();

    Ui::BuildingsForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
    bool descriptionChanged = false;
};

#endif // BUILDINGSFORM_H
