#ifndef CHOOSEOWNERSDIALOG_H
#define CHOOSEOWNERSDIALOG_H

#include "reports/chooselistdialog.h"

// Asks for the owners whose buildings a report covers, or all of them. Read the results only after
// exec() returned Accepted.
class ChooseOwnersDialog : public ChooseListDialog
{
    Q_OBJECT

public:
    explicit ChooseOwnersDialog(XDataSource *dataSource, QWidget *parent = nullptr);

    bool isAllOwners() const { return m_allOwners; }
    // " where oid in (...) " over the chosen owners; not meaningful with all owners chosen.
    QString whereClause() const { return m_whereClause; }

public slots:
    void accept() override;

private:
    XDataSource *m_dataSource;
    QVector<int> m_ownerIds;
    bool m_allOwners = false;
    QString m_whereClause;
};

#endif // CHOOSEOWNERSDIALOG_H
