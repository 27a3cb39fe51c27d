#ifndef SELAPARTMENTDIALOG_H
#define SELAPARTMENTDIALOG_H

#include "properties/seldialogbase.h"

namespace Ui {
class SelApartmentDialog;
}

// Picks an apartment with its building. Read the getters only after exec() returned Accepted.
class SelApartmentDialog : public SelDialogBase
{
    Q_OBJECT

public:
    explicit SelApartmentDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~SelApartmentDialog() override;

    int apartmentId() const { return m_apartmentId; }
    QString suite() const { return m_suite; }
    QString buildingDescription() const { return m_buildingDescription; }

protected:
    void takeResult(const QSqlRecord &record) override;

private:
    Ui::SelApartmentDialog *ui;
    int m_apartmentId = -1;
    QString m_suite;
    QString m_buildingDescription;
};

#endif // SELAPARTMENTDIALOG_H
