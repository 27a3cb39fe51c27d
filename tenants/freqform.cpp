#include "tenants/freqform.h"
#include "ui_freqform.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "tenants/freqdialog.h"

#include <QStringListModel>

namespace {
// The search columns, by the position of their label in the Field combo.
const char *const filterColumns[] = {"Name", "Description"};
const int SystemFlagColumn = 4;
}

FreqForm::FreqForm(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ListFormBase(this)
    , ui(new Ui::FreqForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    setWindowTitle(tr("Rent Frequencies"));

    // The criteria box starts empty, so the list starts whole whatever an earlier user left on the
    // shared model.
    QSuperSqlTableModel *model = dataSource->frequencyModel();
    model->setFilter(QString());
    setListModel(model, ui->tableView);
    ui->pushButton_4->hide();

    showOnlyColumns(ui->tableView, {1, 2, 3});
    ui->tableView->setColumnWidth(1, 150);
    ui->tableView->setColumnWidth(2, 300);
    setupListView(ui->tableView);

    setSearchFields(ui->comboBox, fieldModel, {tr("Name"), tr("Description")});
    ui->tableView->setFocus();
}

FreqForm::~FreqForm()
{
    delete ui;
}

QDialog *FreqForm::createEditor(int row)
{
    return new FreqDialog(dataSource, row, this);
}

bool FreqForm::isSystemFrequency(int row) const
{
    return listModel()->index(row, SystemFlagColumn).data().toInt() == 1;
}

bool FreqForm::canEditRow(int row)
{
    if (!isSystemFrequency(row))
        return true;
    MsgBox::information(this, tr("This is a system defined rent frequency. You cannot modify it!"));
    return false;
}

bool FreqForm::canDeleteRow(int row)
{
    if (!isSystemFrequency(row))
        return true;
    MsgBox::information(this, tr("This is a system defined frequency. You cannot modify it!"));
    return false;
}

void FreqForm::editCurrentFrequency()
{
    editCurrentRecord();
}

void FreqForm::on_pushButton_5_clicked()
{
    close();
}

void FreqForm::on_pushButton_clicked()
{
    addRecord();
}

void FreqForm::on_pushButton_3_clicked()
{
    deleteCurrentRecord();
}

void FreqForm::on_pushButton_2_clicked()
{
    editCurrentFrequency();
}

void FreqForm::on_pushButton_4_clicked()
{
}

void FreqForm::on_pushButton_7_clicked()
{
    clearSearch();
}

void FreqForm::on_lineEdit_textChanged(const QString &)
{
    const int field = qBound(0, ui->comboBox->currentIndex(), 1);
    applySearch(QLatin1String(filterColumns[field]), ui->lineEdit->text());
}

void FreqForm::on_tableView_doubleClicked(const QModelIndex &)
{
    editCurrentFrequency();
}
