#ifndef SELVENDORDIALOG_H
#define SELVENDORDIALOG_H

#include "properties/seldialogbase.h"

namespace Ui {
class SelVendorDialog;
}

// Picks a vendor. Read the getters only after exec() returned Accepted.
class SelVendorDialog : public SelDialogBase
{
    Q_OBJECT

public:
    explicit SelVendorDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~SelVendorDialog() override;

    int vendorId() const { return m_vendorId; }
    QString vendorName() const { return m_vendorName; }
    QString vendorType() const { return m_vendorType; }

protected:
    void takeResult(const QSqlRecord &record) override;

private:
    Ui::SelVendorDialog *ui;
    int m_vendorId = -1;
    QString m_vendorName;
    QString m_vendorType;
};

#endif // SELVENDORDIALOG_H
