#include "upkeep/vendordialog.h"
#include "ui_vendordialog.h"

#include "datahub/xdatasource.h"

#include <QDataWidgetMapper>
#include <QSqlRecord>
#include <QStringListModel>

VendorDialog::VendorDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::VendorDialog)
    , row(row)
    , tradeModel(new QStringListModel(this))
{
    ui->setupUi(this);
    setWindowTitle(tr("Vendor Form"));

    tradeModel->setStringList(trades());
    ui->vendorType->setModel(tradeModel);
    // A trade outside the list may be typed, and one stored earlier is shown as it stands.
    ui->vendorType->setEditable(true);

    QSuperSqlTableModel *model = dataSource->vendorsModel();
    QDataWidgetMapper *map = createMapper(model);
    map->addMapping(ui->name, 1);
    map->addMapping(ui->contactName, 2);
    map->addMapping(ui->tel, 3);
    map->addMapping(ui->address, 4);
    map->addMapping(ui->city, 5);
    map->addMapping(ui->state, 6);
    map->addMapping(ui->vendorType, 7, "currentText");
    map->addMapping(ui->otherType, 8);
    map->setCurrentIndex(row);

    newRecord = model->record(row).isNull(0);
    ui->name->setFocus();
}

VendorDialog::~VendorDialog()
{
    delete ui;
}

QStringList VendorDialog::trades()
{
    return {tr("AIR CONDITIONING"),    tr("ANIMAL CONTROL"),   tr("APPLIANCE REPAIR"),   tr("BATH FIXTURES"),
            tr("CARPET CLEANING"),     tr("CARPET LINO/INSTALL"), tr("CLEANING GENERAL"), tr("DOOR REPAIR/INSTALL"),
            tr("ELEC FIXTURES"),       tr("ELECTRIC UTILITIES CO"), tr("ELECTRICIAN"),    tr("ELECTRONICS"),
            tr("FURNITURE"),           tr("GAS/HYDRO"),        tr("GENERAL TRADE"),      tr("GOVERNMENT"),
            tr("HEATING"),             tr("HUD"),              tr("HVAC"),               tr("INSULATION"),
            tr("LAWN CARE/MOWING"),    tr("LOCK SMITH"),       tr("MASONRY"),            tr("NEWS PAPER/MEDIA"),
            tr("OTHER"),               tr("PAINTING"),         tr("PEST CONTROL"),       tr("REPAIR GENERAL"),
            tr("SNOW REMOVAL"),        tr("TILING"),           tr("WASTE REMOVAL")};
}

void VendorDialog::accept()
{
    if (!requireText(ui->name->text(), tr("The name field cannot be blank")))
        return;
    submitRecord(dataSource()->vendorsModel(), row, newRecord, QStringLiteral("GEN_VENDORS_ID"));
}
