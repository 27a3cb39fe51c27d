#include "datahub/sqltenantsmodel.h"

namespace {
const int IncomeColumn = 23;
}

SqlTenantsModel::SqlTenantsModel(QObject *parent, QSqlDatabase db)
    : QSuperSqlTableModel(parent, db)
{
}

SqlTenantsModel::~SqlTenantsModel() = default;

QVariant SqlTenantsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (index.column() == IncomeColumn && (role == Qt::DisplayRole || role == Qt::EditRole)
        && !isWriting())
        return QString::number(QSuperSqlTableModel::data(index, Qt::DisplayRole).toDouble(), 'f', 2);
    return QSuperSqlTableModel::data(index, role);
}
