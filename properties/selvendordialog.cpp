#include "properties/selvendordialog.h"
#include "ui_selvendordialog.h"

#include <QSqlRecord>

SelVendorDialog::SelVendorDialog(XDataSource *dataSource, QWidget *parent)
    : SelDialogBase(dataSource, parent)
    , ui(new Ui::SelVendorDialog)
{
    Setup setup;
    setup.title = tr("Select Vendor Dialog");
    setup.fieldLabels = QStringList{tr("Name"), tr("Contact"), tr("Tel"), tr("Address"), tr("City"), tr("State"),
                                    tr("type"), tr("OtherType")};
    setup.searchColumns = QStringList{"Name", "Contact", "Tel", "Address", "City", "State", "type", "OtherType"};
    setup.baseQuery = QStringLiteral("select * from vendors ");
    setup.hiddenColumns = {0};
    setup.headers = {{8, tr("OTHER TYPE")}};
    setupPicker(ui, setup);
}

SelVendorDialog::~SelVendorDialog()
{
    delete ui;
}

void SelVendorDialog::takeResult(const QSqlRecord &record)
{
    // The vendors table keeps its columns in a fixed order: name second, trade eighth.
    m_vendorId = record.value(0).toInt();
    m_vendorName = record.value(1).toString();
    m_vendorType = record.value(7).toString();
}
