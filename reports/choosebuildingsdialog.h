#ifndef CHOOSEBUILDINGSDIALOG_H
#define CHOOSEBUILDINGSDIALOG_H

#include "reports/chooselistdialog.h"

// Asks for the buildings a report covers, out of the buildings of the owners chosen before. There
// is no entry for all buildings: the user picks every one. Read the result only after exec()
// returned Accepted.
class ChooseBuildingsDialog : public ChooseListDialog
{
    Q_OBJECT

public:
    // An empty owners clause lists every building.
    ChooseBuildingsDialog(XDataSource *dataSource, const QString &ownersClause, QWidget *parent = nullptr);

    // " where b.buildid in (...) " over the chosen buildings.
    QString whereClause() const { return m_whereClause; }
    // Whether the user picked every building the dialog listed.
    bool everyBuildingChosen() const { return m_everyBuilding; }

public slots:
    void accept() override;

private:
    XDataSource *m_dataSource;
    QVector<int> m_buildingIds;
    QString m_whereClause;
    bool m_everyBuilding = false;
};

#endif // CHOOSEBUILDINGSDIALOG_H
