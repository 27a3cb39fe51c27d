#include "money/catform.h"
#include "ui_catform.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "money/catdialog.h"

#include <QStringListModel>

namespace {
// The search columns, by the position of their label in the Field combo.
const char *const filterColumns[] = {"Name", "Description"};
}

CatForm::CatForm(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ListFormBase(this)
    , ui(new Ui::CatForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    setWindowTitle(tr("Cashbook Categories"));

    // The model is shared: a search left on it by an earlier opening would hide categories here.
    QUniversalSqlTableModel *model = dataSource->categoriesModel();
    model->setFilter(QString());
    ui->pushButton_4->hide();

    setListModel(model, ui->tableView);
    showOnlyColumns(ui->tableView, {1, 2, 3});
    ui->tableView->setColumnWidth(1, 150);
    ui->tableView->setColumnWidth(2, 300);
    setupListView(ui->tableView);

    setSearchFields(ui->comboBox, fieldModel, {tr("Name"), tr("Description")});
    ui->tableView->setFocus();
}

CatForm::~CatForm()
{
    delete ui;
}

QDialog *CatForm::createEditor(int row)
{
    return new CatDialog(dataSource, row, this);
}

bool CatForm::isSystemCategory(int row)
{
    // Rent and late fees are booked into these two by payments; their names must stay as they are.
    const int key = listModel()->index(row, 0).data().toInt();
    if (key != 5 && key != 7)
        return false;
    MsgBox::information(this, tr("This is a system defined category. You cannot modify it!"));
    return true;
}

bool CatForm::canEditRow(int row)
{
    return !isSystemCategory(row);
}

bool CatForm::canDeleteRow(int row)
{
    return !isSystemCategory(row);
}

void CatForm::editCategory()
{
    editCurrentRecord();
}

void CatForm::on_pushButton_5_clicked()
{
    close();
}

void CatForm::on_pushButton_clicked()
{
    addRecord();
}

void CatForm::on_pushButton_3_clicked()
{
    deleteCurrentRecord();
}

void CatForm::on_pushButton_2_clicked()
{
    editCategory();
}

void CatForm::on_pushButton_4_clicked()
{
}

void CatForm::on_pushButton_7_clicked()
{
    clearSearch();
}

void CatForm::on_lineEdit_textChanged(const QString &)
{
    const int field = qBound(0, ui->comboBox->currentIndex(), 1);
    applySearch(QLatin1String(filterColumns[field]), ui->lineEdit->text());
}

void CatForm::on_tableView_doubleClicked(const QModelIndex &)
{
    editCategory();
}
