#include "upkeep/maintenanceitemdialog.h"
#include "ui_maintenanceitemdialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"

#include <QComboBox>
#include <QDataWidgetMapper>
#include <QSqlRecord>
#include <QStringListModel>

MaintenanceItemDialog::MaintenanceItemDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::MaintenanceItemDialog)
    , row(row)
    , typeModel(new QStringListModel(this))
    , statusModel(new QStringListModel(this))
    , priorityModel(new QStringListModel(this))
{
    ui->setupUi(this);
    setWindowTitle(tr("Maintenance Log Form"));

    QSqlDoubleRelationalTableModel *model = dataSource->maintenanceModel();
    const QSqlRecord record = model->record(row);
    isNew = record.isNull(QStringLiteral("ldate"));
    QDataWidgetMapper *map = createMapper(model);
    // An entry keeps each of its choices until the clerk picks another: a vendor deleted since stays
    // the vendor of the jobs he did. A new entry may name no vendor.
    keepStoredChoices();
    offerRelationChoices(ui->vendor, model, 7, tr("(no vendor)"));

    priorityModel->setStringList({tr("HIGH"), tr("NORMAL"), tr("LOW")});
    ui->priority->setModel(priorityModel);
    statusModel->setStringList({tr("OPEN"), tr("RESOLVED"), tr("CLOSED"), tr("POSTPONED")});
    ui->status->setModel(statusModel);
    typeModel->setStringList({tr("REPAIR"), tr("INCIDENT"), tr("REGULAR MAINTENANCE"), tr("CHECKUP"),
                              tr("METER READING"), tr("OTHER")});
    ui->type->setModel(typeModel);

    map->addMapping(ui->descr, 2);
    map->addMapping(ui->type, 3);
    map->addMapping(ui->status, 4);
    map->addMapping(ui->priority, 5);
    map->addMapping(ui->cost, 6);
    map->addMapping(ui->vendor, 7);
    map->addMapping(ui->notes, 8, "plainText");
    map->addMapping(ui->invoicenum, 11);
    map->setCurrentIndex(row);
    // The model shows a missing cost as 0.00; the user is to type one.
    if (model->QSqlRelationalTableModel::data(model->index(row, 6), Qt::EditRole).isNull())
        ui->cost->clear();
    // A new entry starts on each list's first entry, and OK stores it.
    if (isNew) {
        for (QComboBox *combo : {ui->type, ui->status, ui->priority, ui->vendor})
            combo->setCurrentIndex(0);
    }

    loadedInvoiceNumber = ui->invoicenum->text().trimmed();

    QDate entered = Today::date();
    QDate invoiced = entered;
    QDate completed = entered;
    if (!isNew) {
        entered = record.value(QStringLiteral("ldate")).toDate();
        invoiced = record.value(QStringLiteral("invdate")).toDate();
        completed = record.value(QStringLiteral("compdate")).toDate();
    }
    ui->date->setText(ShortDate::toText(entered));
    ui->invdate->setText(ShortDate::toText(invoiced));
    ui->completed->setText(ShortDate::toText(completed));
    ui->date->setFocus();
}

MaintenanceItemDialog::~MaintenanceItemDialog()
{
    delete ui;
}

void MaintenanceItemDialog::accept()
{
    if (!ui->cost->check(tr("The cost field cannot be blank")))
        return;
    const QDate entered = ShortDate::fromText(ui->date->text());
    const QDate invoiced = ShortDate::fromText(ui->invdate->text());
    const QDate completed = ShortDate::fromText(ui->completed->text());
    if (!entered.isValid() || !invoiced.isValid() || !completed.isValid()) {
        MsgBox::information(this, tr("The dates you have enetered are not valid!"));
        return;
    }
    QSqlDoubleRelationalTableModel *model = dataSource()->maintenanceModel();
    XDataSource::setCellValue(model, 1, row, entered);
    XDataSource::setCellValue(model, 9, row, invoiced);
    XDataSource::setCellValue(model, 10, row, completed);

    // Invoice numbers are asked about across every apartment: one invoice is paid once.
    const QString invoice = ui->invoicenum->text().trimmed();
    if (!invoice.isEmpty() && invoice != loadedInvoiceNumber
        && !confirmIfFound(QStringLiteral("select invnum from maintenance where invnum = ?"), {invoice},
                           tr("The Invoice Number you have entered already exists. Do you want to continue?")))
        return;
    submitRecord(model, row, isNew, QStringLiteral("GEN_MAINTENANCE_ID"));
}
