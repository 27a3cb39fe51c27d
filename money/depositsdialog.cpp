#include "money/depositsdialog.h"
#include "ui_depositsdialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"

#include <QDataWidgetMapper>
#include <QStringListModel>

namespace {
const int DateColumn = 2;
const int AmountColumn = 3;
const int MemoColumn = 4;
const int MethodColumn = 5;
}

DepositsDialog::DepositsDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::DepositsDialog)
    , methodModel(new QStringListModel(this))
    , row(row)
{
    ui->setupUi(this);
    methodModel->setStringList({tr("Cash"), tr("Check"), tr("Credit Card"), tr("Other")});
    ui->comboBox->setModel(methodModel);
    ui->comboBox->setCurrentIndex(0);

    SqlDoubleTableModel *model = dataSource->depositsModel();
    const QSqlRecord record = model->record(row);
    ui->lineEdit->setText(ShortDate::toText(record.isNull(0) ? Today::date() : record.value(DateColumn).toDate()));

    QDataWidgetMapper *map = createMapper(model);
    map->addMapping(ui->lineEdit_2, AmountColumn);
    map->addMapping(ui->comboBox, MethodColumn, "currentText");
    map->addMapping(ui->textEdit, MemoColumn, "plainText");
    map->setCurrentIndex(row);
    // The model shows the amount with two decimals; an unset amount of a new row stays empty so that
    // it must be typed.
    if (model->QSqlTableModel::data(model->index(row, AmountColumn), Qt::EditRole).isNull())
        ui->lineEdit_2->clear();
    if (ui->comboBox->currentIndex() < 0)
        ui->comboBox->setCurrentIndex(0);
}

DepositsDialog::~DepositsDialog()
{
    delete ui;
}

void DepositsDialog::accept()
{
    const QDate paid = ShortDate::fromText(ui->lineEdit->text());
    if (!paid.isValid()) {
        MsgBox::information(this, tr("Enter a valid payment date!"));
        return;
    }
    if (!ui->lineEdit_2->check(tr("Enter a valid payment amount!")))
        return;
    if (!confirmSubmit())
        return;
    XDataSource::setCellValue(dataSource()->depositsModel(), DateColumn, row, paid);
    if (!submitMapper(tr("Error submitting data")))
        return;
    QDialog::accept();
}
