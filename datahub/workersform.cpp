#include "datahub/workersform.h"
#include "ui_workersform.h"

#include "datahub/msgbox.h"
#include "datahub/workersdialog.h"
#include "datahub/xdatasource.h"

#include <QHeaderView>
#include <QSqlRecord>

WorkersForm::WorkersForm(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ListFormBase(this)
    , ui(new Ui::WorkersForm)
    , dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Users"));
    setListModel(dataSource->usersModel(), ui->tableView);

    for (int column : {1, 2, 3})
        ui->tableView->setColumnWidth(column, 150);
    // Last name first: the columns read 3, 1, 2.
    QHeaderView *header = ui->tableView->horizontalHeader();
    header->swapSections(2, 3);
    header->swapSections(1, 2);
    // The key, the password digest and the rights are never shown.
    showOnlyColumns(ui->tableView, {1, 2, 3});
    setupListView(ui->tableView);
    ui->tableView->setFocus();
}

WorkersForm::~WorkersForm()
{
    delete ui;
}

QDialog *WorkersForm::createEditor(int row)
{
    return new WorkersDialog(dataSource, row, this);
}

bool WorkersForm::canDeleteRow(int row)
{
    if (listModel()->record(row).value(0).toInt() == 1) {
        MsgBox::information(this, tr("Sorry! You cannot delete the ADMIN account"));
        return false;
    }
    return true;
}

void WorkersForm::editCurrentUser()
{
    editCurrentRecord();
}

void WorkersForm::on_pushButton_5_clicked()
{
    addRecord();
}

void WorkersForm::on_pushButton_8_clicked()
{
    editCurrentUser();
}

void WorkersForm::on_pushButton_9_clicked()
{
    deleteCurrentRecord();
}

void WorkersForm::on_pushButton_10_clicked()
{
    close();
}

void WorkersForm::on_tableView_doubleClicked(const QModelIndex &)
{
    editCurrentUser();
}
