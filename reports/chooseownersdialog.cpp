#include "reports/chooseownersdialog.h"

#include "datahub/msgbox.h"
#include "reports/reportsql.h"

ChooseOwnersDialog::ChooseOwnersDialog(XDataSource *dataSource, QWidget *parent)
    : ChooseListDialog(parent)
    , m_dataSource(dataSource)
{
    setTexts(tr("Choose Owners"), tr("List buildings for the following owners"));
    m_ownerIds.append(-1);
    showRecords(m_dataSource, ReportSql::ownersChoice(), QStringList{tr("All Owners")}, m_ownerIds);
}

void ChooseOwnersDialog::accept()
{
    const QVector<int> rows = selectedRows();
    if (rows.isEmpty()) {
        MsgBox::information(this, tr("You must select at least 1 owner!"));
        return;
    }
    m_allOwners = rows.contains(0);
    QVector<int> ids;
    if (!m_allOwners) {
        for (int row : rows)
            ids.append(m_ownerIds.value(row, -1));
    }
    m_whereClause = ReportSql::ownersClause(ids);
    QDialog::accept();
}
