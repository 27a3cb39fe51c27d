#include "datahub/qsqldoublequerymodel.h"

#include "datahub/readfailure.h"

namespace {
const int RightAligned = Qt::AlignRight | Qt::AlignVCenter;
}

QSqlDoubleQueryModel::QSqlDoubleQueryModel(QObject *parent)
    : QSqlQueryModel(parent)
{
}

QSqlDoubleQueryModel::~QSqlDoubleQueryModel() = default;

QVariant QSqlDoubleQueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const auto places = m_doubleColumns.constFind(index.column());
    if (places != m_doubleColumns.constEnd()) {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return QString::number(storedData(index, role).toDouble(), 'f', *places);
        if (role == Qt::TextAlignmentRole)
            return RightAligned;
    }
    return storedData(index, role);
}

QVariant QSqlDoubleQueryModel::storedData(const QModelIndex &index, int role) const
{
    return QSqlQueryModel::data(index, role);
}

void QSqlDoubleQueryModel::setQuery(const QString &query, const QSqlDatabase &db)
{
    QSqlQueryModel::setQuery(query, db);
    ReadFailure::check(this);
    emit queryChanged();
}

void QSqlDoubleQueryModel::fetchMore(const QModelIndex &parent)
{
    ReadFailure::fetchMore<QSqlQueryModel>(this, parent);
}

void QSqlDoubleQueryModel::setDoubleColumn(int column, int decimals)
{
    m_doubleColumns.insert(column, decimals);
}

QMap<int, int> QSqlDoubleQueryModel::doubleColumns() const
{
    return m_doubleColumns;
}
