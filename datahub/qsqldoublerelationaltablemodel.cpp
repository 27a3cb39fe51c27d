#include "datahub/qsqldoublerelationaltablemodel.h"

QSqlDoubleRelationalTableModel::QSqlDoubleRelationalTableModel(QObject *parent, QSqlDatabase db)
    : QSuperSqlRelationalTableModel(parent, db)
{
}

QSqlDoubleRelationalTableModel::~QSqlDoubleRelationalTableModel() = default;

QVariant QSqlDoubleRelationalTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (m_doubleColumns.contains(index.column())) {
        // While the row is written the stored number goes out, not the formatted text.
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && !isWriting())
            return QString::number(QSuperSqlRelationalTableModel::data(index, Qt::DisplayRole).toDouble(), 'f', 2);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return QSuperSqlRelationalTableModel::data(index, role);
}
