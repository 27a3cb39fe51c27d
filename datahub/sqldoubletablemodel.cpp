#include "datahub/sqldoubletablemodel.h"

SqlDoubleTableModel::SqlDoubleTableModel(QObject *parent, QSqlDatabase db)
    : QSuperSqlTableModel(parent, db)
{
}

SqlDoubleTableModel::~SqlDoubleTableModel() = default;

QVariant SqlDoubleTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (m_doubleColumns.contains(index.column())) {
        // While the row is written the stored number goes out, not the formatted text.
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && !isWriting())
            return QString::number(QSuperSqlTableModel::data(index, Qt::DisplayRole).toDouble(), 'f', 2);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return QSuperSqlTableModel::data(index, role);
}
