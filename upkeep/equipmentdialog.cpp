#include "upkeep/equipmentdialog.h"
#include "ui_equipmentdialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"

#include <QDataWidgetMapper>
#include <QSqlRecord>

EquipmentDialog::EquipmentDialog(XDataSource *dataSource, int row, int apid, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::EquipmentDialog)
    , apid(apid)
    , row(row)
{
    ui->setupUi(this);
    setWindowTitle(tr("Equipment Form"));

    SqlDoubleTableModel *model = dataSource->equipmentModel();
    QDataWidgetMapper *map = createMapper(model);
    map->addMapping(ui->description, 2);
    map->addMapping(ui->serial, 3);
    map->addMapping(ui->model, 4);
    map->addMapping(ui->brand, 5);
    map->addMapping(ui->purchasePrice, 7);
    map->addMapping(ui->purchasedFrom, 8);
    map->setCurrentIndex(row);

    QDate purchased = Today::date();
    const QSqlRecord record = model->record(row);
    if (record.isNull(0))
        isNew = true;
    else
        purchased = record.value(QStringLiteral("purchaseDate")).toDate();
    ui->purchaseDate->setText(ShortDate::toText(purchased));

    loadedSerial = ui->serial->text();
    loadedDescription = ui->description->text();
    ui->description->setFocus();
}

EquipmentDialog::~EquipmentDialog()
{
    delete ui;
}

void EquipmentDialog::accept()
{
    const QString description = ui->description->text().trimmed();
    if (!requireText(description, tr("The name field cannot be blank")))
        return;
    const QDate purchased = ShortDate::fromText(ui->purchaseDate->text());
    if (!purchased.isValid()) {
        MsgBox::information(this, tr("The date you have enetered are not valid!"));
        return;
    }
    if (!ui->purchasePrice->check())
        return;
    SqlDoubleTableModel *model = dataSource()->equipmentModel();
    XDataSource::setCellValue(model, 6, row, purchased);

    // The same serial number twice is usually a typing slip, wherever the other item stands.
    const QString serial = ui->serial->text().trimmed();
    if (!serial.isEmpty() && serial != loadedSerial
        && !confirmIfFound(QStringLiteral("select serial from equipments where serial = ?"), {serial},
                           tr("The Serial Number you have entered already exists. Do you want to continue?")))
        return;
    if (description != loadedDescription
        && !confirmIfFound(QStringLiteral("select description from equipments where description = ? and apid = ?"),
                           {description, apid},
                           tr("The Equipment Description you have entered already exists. Do you want to continue?")))
        return;
    submitRecord(model, row, isNew, QStringLiteral("GEN_EQUIPMENTS_ID"));
}
