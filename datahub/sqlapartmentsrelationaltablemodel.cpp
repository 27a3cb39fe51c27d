#include "datahub/sqlapartmentsrelationaltablemodel.h"

namespace {
const int FloorAreaColumn = 4;
const int SpareColumns = 3;
}

SqlApartmentsRelationalTableModel::SqlApartmentsRelationalTableModel(QObject *parent, QSqlDatabase db)
    : QSqlDoubleRelationalTableModel(parent, db)
{
}

SqlApartmentsRelationalTableModel::~SqlApartmentsRelationalTableModel() = default;

int SqlApartmentsRelationalTableModel::columnCount(const QModelIndex &parent) const
{
    return QSqlQueryModel::columnCount(parent) + SpareColumns;
}

QVariant SqlApartmentsRelationalTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (index.column() == FloorAreaColumn && (role == Qt::DisplayRole || role == Qt::EditRole)
        && !isWriting())
        return QString::number(QSqlRelationalTableModel::data(index, Qt::DisplayRole).toDouble(), 'f', 4);
    return QSqlDoubleRelationalTableModel::data(index, role);
}
