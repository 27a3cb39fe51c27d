#include "properties/selbuildingdialog.h"
#include "ui_selbuildingdialog.h"

#include <QSqlRecord>

SelBuildingDialog::SelBuildingDialog(XDataSource *dataSource, QWidget *parent)
    : SelDialogBase(dataSource, parent)
    , ui(new Ui::SelBuildingDialog)
{
    Setup setup;
    setup.title = tr("Select Building Dialog");
    setup.fieldLabels = QStringList{tr("Description"), tr("Address"), tr("City"), tr("Tel"), tr("Manager"),
                                    tr("Owner Code")};
    setup.searchColumns = QStringList{"b.Description", "b.Address", "b.City", "b.Tel", "b.Manager", "o.code"};
    setup.baseQuery = QStringLiteral("select b.description, o.code, b.address, b.city, b.provstate, b.postalcode, "
                                     "b.tel, b.apartments, b.manager, b.mantel, b.buildid from buildings b inner "
                                     "join owners o on b.oid = o.oid ");
    setup.hiddenColumns = {10};
    setup.headers = {{4, tr("STATE/PROV.")}, {9, tr("MANAGER'S TEL")}, {5, tr("ZIP/P. CODE")}};
    setupPicker(ui, setup);
}

SelBuildingDialog::~SelBuildingDialog()
{
    delete ui;
}

void SelBuildingDialog::takeResult(const QSqlRecord &record)
{
    m_buildingId = record.value(QStringLiteral("buildid")).toInt();
    m_description = record.value(QStringLiteral("description")).toString();
}
