#include "datahub/recurmodel.h"

namespace {
const int CompletedColumn = 10;
}

RecurModel::RecurModel(QObject *parent, QSqlDatabase db)
    : QSqlDoubleRelationalTableModel(parent, db)
{
}

QVariant RecurModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    // While a row is being written the flag must go to the database as the stored number, never as
    // the word shown in the list.
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && index.column() == CompletedColumn
        && !isWriting()) {
        const int completed = QSqlDoubleRelationalTableModel::data(index, Qt::DisplayRole).toInt();
        return completed != 0 ? tr("Yes") : tr("No");
    }
    return QSqlDoubleRelationalTableModel::data(index, role);
}
