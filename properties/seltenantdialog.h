#ifndef SELTENANTDIALOG_H
#define SELTENANTDIALOG_H

#include "properties/seldialogbase.h"

namespace Ui {
class SelTenantDialog;
}

// Picks a tenant, from all tenants or from those on the waiting list. Read the getters only after exec() returned Accepted.
class SelTenantDialog : public SelDialogBase
{
    Q_OBJECT

public:
    SelTenantDialog(XDataSource *dataSource, bool waitlistOnly, QWidget *parent = nullptr);
    ~SelTenantDialog() override;

    int tenantId() const { return m_tenantId; }
    QString tenantCode() const { return m_tenantCode; }
    QString company() const { return m_company; }
    QString firstName() const { return m_firstName; }
    QString lastName() const { return m_lastName; }

protected:
    void takeResult(const QSqlRecord &record) override;

private:
    Ui::SelTenantDialog *ui;
    int m_tenantId = -1;
    QString m_tenantCode;
    QString m_company;
    QString m_firstName;
    QString m_lastName;
};

#endif // SELTENANTDIALOG_H
