#include "money/recurdialog.h"
#include "ui_recurdialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "money/catform.h"
#include "money/moneyfield.h"

#include <QDataWidgetMapper>
#include <QSqlQuery>
#include <QSqlRelationalDelegate>
#include <QSqlTableModel>

namespace {
enum Column { KeyColumn = 0, TypeColumn = 1, AmountColumn = 2, LateFeeColumn = 3, FreqColumn = 4,
              NextDateColumn = 5, StartDateColumn = 6, EndDateColumn = 7, PerDayColumn = 8 };
}

RecurDialog::RecurDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::RecurDialog)
    , row(row)
{
    ui->setupUi(this);
    setWindowTitle(tr("Recurring Bill Form"));

    RecurModel *model = dataSource->recurModel();
    QDataWidgetMapper *map = createMapper(model);
    map->setItemDelegate(new QSqlRelationalDelegate(map));

    QSqlTableModel *frequencies = model->relationModel(FreqColumn);
    ui->freq->setModel(frequencies);
    ui->freq->setModelColumn(frequencies->fieldIndex(QStringLiteral("NAME")));
    ui->type->setModel(dataSource->categoriesModel());
    ui->type->setModelColumn(1);

    map->addMapping(ui->type, TypeColumn);
    map->addMapping(ui->amount, AmountColumn);
    map->addMapping(ui->lateFeeFlatRate, LateFeeColumn);
    map->addMapping(ui->dailyLateFee, PerDayColumn);
    map->addMapping(ui->freq, FreqColumn);
    map->setCurrentIndex(row);

    QDate start;
    QDate end;
    if (model->data(model->index(row, KeyColumn), Qt::EditRole).isNull()) {
        isNewBill = true;
        start = end = Today::date();
    } else {
        const QSqlRecord bill = model->record(row);
        start = bill.value(QStringLiteral("startDate")).toDate();
        end = bill.value(QStringLiteral("endDate")).toDate();
    }
    ui->startDate->setText(ShortDate::toText(start));
    ui->endDate->setText(ShortDate::toText(end));
    ui->type->setFocus();
}

RecurDialog::~RecurDialog()
{
    delete ui;
}

void RecurDialog::on_pushButton_clicked()
{
    // The categories list re-reads the model the type combo shows; keep the type chosen so far.
    const QString chosen = ui->type->currentText();
    if (CatForm::run(dataSource(), this))
        ui->type->setCurrentIndex(ui->type->findText(chosen));
}

void RecurDialog::accept()
{
    if (!ui->amount->check(tr("The amount field cannot be blank"))
        || !MoneyField::checkAll({ui->lateFeeFlatRate, ui->dailyLateFee}))
        return;

    const QDate start = ShortDate::fromText(ui->startDate->text());
    const QDate end = ShortDate::fromText(ui->endDate->text());
    if (!start.isValid() || !end.isValid() || start > end) {
        MsgBox::information(this, tr("The dates you have enetered are not valid!"));
        return;
    }

    RecurModel *model = dataSource()->recurModel();
    XDataSource::setCellValue(model, StartDateColumn, row, start);
    XDataSource::setCellValue(model, EndDateColumn, row, end);
    // Its next date and whether it has charged all it will are the billing rule's, written once the bill
    // is saved; a new bill shows its start until then.
    if (isNewBill)
        XDataSource::setCellValue(model, NextDateColumn, row, start);

    submitRecord(model, row, isNewBill, QStringLiteral("GEN_RECUR_ID"), KeyColumn);
}
