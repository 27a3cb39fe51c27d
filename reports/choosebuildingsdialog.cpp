#include "reports/choosebuildingsdialog.h"

#include "datahub/msgbox.h"
#include "reports/reportsql.h"

ChooseBuildingsDialog::ChooseBuildingsDialog(XDataSource *dataSource, const QString &ownersClause, QWidget *parent)
    : ChooseListDialog(parent)
    , m_dataSource(dataSource)
{
    setTexts(tr("Choose Buildings"), tr("List apartments for the following buildings"));
    showRecords(m_dataSource, ReportSql::buildingsChoice(ownersClause), QStringList(), m_buildingIds);
}

void ChooseBuildingsDialog::accept()
{
    const QVector<int> rows = selectedRows();
    if (rows.isEmpty()) {
        MsgBox::information(this, tr("You must select at least 1 building!"));
        return;
    }
    QVector<int> ids;
    for (int row : rows)
        ids.append(m_buildingIds.value(row, -1));
    m_whereClause = ReportSql::buildingsClause(ids);
    m_everyBuilding = rows.size() == m_buildingIds.size();
    QDialog::accept();
}
