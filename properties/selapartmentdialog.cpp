#include "properties/selapartmentdialog.h"
#include "ui_selapartmentdialog.h"

#include <QSqlRecord>

SelApartmentDialog::SelApartmentDialog(XDataSource *dataSource, QWidget *parent)
    : SelDialogBase(dataSource, parent)
    , ui(new Ui::SelApartmentDialog)
{
    Setup setup;
    setup.title = tr("Select Apartment Dialog");
    setup.fieldLabels = QStringList{tr("Suite/Apt #"), tr("Building"), tr("Address"), tr("City"), tr("State/Prov."),
                                    tr("Zip/Postal Code")};
    setup.searchColumns = QStringList{"Suite", "description", "Address", "City", "provstate", "postalcode"};
    setup.baseQuery = QStringLiteral("select a.bid, a.apid, a.suite, b.description, a.bedrooms, a.bathrooms, "
                                     "b.address, b.city, b.provstate, b.postalcode from apartments a inner join "
                                     "buildings b on b.buildid = a.bid ");
    setup.hiddenColumns = {0, 1};
    setup.headers = {{3, tr("BUILDING")}, {8, tr("STATE/PROV.")}, {9, tr("ZIP/CODE")}};
    setupPicker(ui, setup);
}

SelApartmentDialog::~SelApartmentDialog()
{
    delete ui;
}

void SelApartmentDialog::takeResult(const QSqlRecord &record)
{
    m_apartmentId = record.value(1).toInt();
    m_suite = record.value(QStringLiteral("suite")).toString();
    m_buildingDescription = record.value(QStringLiteral("description")).toString();
}
