#include "upkeep/vendordialog.h"
#include "ui_vendordialog.h"

#include "datahub/xdatasource.h"

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

    newRecord = mapRecord(dataSource->vendorsModel(), row,
                          {{ui->name, 1},
                           {ui->contactName, 2},
                           {ui->tel, 3},
                           {ui->address, 4},
                           {ui->city, 5},
                           {ui->state, 6},
                           {ui->vendorType, 7, "currentText"},
                           {ui->otherType, 8}});
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
