#include "money/recurdialog.h"
#include "ui_recurdialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "money/catform.h"
#include "money/leasewrite.h"
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
        loadedStart = start;
        loadedEnd = end;
        loadedNext = bill.value(QStringLiteral("nextDate")).toDate();
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

bool RecurDialog::storedCompleted(int recid)
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(QStringLiteral("select completed from recur where recid = ?"));
    query.addBindValue(recid);
    return query.exec() && query.next() && query.value(0).toInt() != 0;
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
    // A bill whose start moves before it has dealt with a day begins where the start says, earlier or
    // later. One that has goes on from where it stopped: starting it again from its start date would
    // charge every period already charged a second time. A later start date moves it on. A bill whose
    // start stays stays where it stands (the lease may have moved it on to its first payment date).
    QDate next;
    if (isNewBill || !loadedNext.isValid()
        || (start != loadedStart
            && !LeaseWrite::hasDealtWith(model->data(model->index(row, KeyColumn), Qt::EditRole).toInt())))
        next = start;
    else if (start != loadedStart)
        next = qMax(loadedNext, start);
    if (next.isValid()) {
        XDataSource::setCellValue(model, NextDateColumn, row, next);
        // Its due dates are counted from where it begins.
        if (next == start)
            XDataSource::setCellValue(model, model->fieldIndex(QStringLiteral("firstpay")), row, start);
    }

    // A bill that reached its end and is given a later one goes on charging up to the new end: left
    // completed, it would show the new end and never charge the months the clerk just added.
    const int completedColumn = model->fieldIndex(QStringLiteral("completed"));
    const QDate resumeFrom = next.isValid() ? next : loadedNext;
    if (!isNewBill && end > loadedEnd && resumeFrom.isValid() && resumeFrom < end
        && storedCompleted(model->data(model->index(row, KeyColumn), Qt::EditRole).toInt()))
        XDataSource::setCellValue(model, completedColumn, row, 0);

    submitRecord(model, row, isNewBill, QStringLiteral("GEN_RECUR_ID"), KeyColumn);
}
