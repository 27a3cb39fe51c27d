#ifndef SELBUILDINGDIALOG_H
#define SELBUILDINGDIALOG_H

#include "properties/seldialogbase.h"

namespace Ui {
class SelBuildingDialog;
}

// Picks a building with its owner. Read the getters only after exec() returned Accepted.
class SelBuildingDialog : public SelDialogBase
{
    Q_OBJECT

public:
    explicit SelBuildingDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~SelBuildingDialog() override;

    int buildingId() const { return m_buildingId; }
    QString description() const { return m_description; }

protected:
    void takeResult(const QSqlRecord &record) override;

private:
    Ui::SelBuildingDialog *ui;
    int m_buildingId = -1;
    QString m_description;
};

#endif // SELBUILDINGDIALOG_H
