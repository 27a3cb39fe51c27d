#include "properties/seltenantdialog.h"
#include "ui_seltenantdialog.h"

#include <QSqlRecord>

SelTenantDialog::SelTenantDialog(XDataSource *dataSource, bool waitlistOnly, QWidget *parent)
    : SelDialogBase(dataSource, parent)
    , ui(new Ui::SelTenantDialog)
{
    Setup setup;
    setup.title = tr("Select Tenant Dialog");
    setup.fieldLabels = QStringList{tr("ID"), tr("firstname"), tr("lastname"), tr("tel"), tr("company"),
                                    tr("address"), tr("city"), tr("state")};
    setup.searchColumns = QStringList{"ID", "firstname", "lastname", "tel", "company", "address", "city", "state"};
    setup.baseQuery = waitlistOnly
        ? QStringLiteral("select t.tid, id, firstname, lastname, company, tel, address, city, state, "
                         "driverslicense from tenants t inner join waitlist w  on w.tid = t.tid ")
        : QStringLiteral("select tid, id, firstname, lastname, company, tel, address, city, state, "
                         "driverslicense from tenants");
    setup.hiddenColumns = {0};
    setup.headers = {{9, tr("DRIVER'S LICENSE")}};
    setupPicker(ui, setup);
}

SelTenantDialog::~SelTenantDialog()
{
    delete ui;
}

void SelTenantDialog::takeResult(const QSqlRecord &record)
{
    m_tenantId = record.value(0).toInt();
    m_company = record.value(QStringLiteral("company")).toString();
    m_firstName = record.value(QStringLiteral("firstname")).toString();
    m_lastName = record.value(QStringLiteral("lastname")).toString();
    m_tenantCode = record.value(QStringLiteral("id")).toString();
}
