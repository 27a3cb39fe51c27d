#include "datahub/qsupersqlrelationaltablemodel.h"

#include "datahub/qsupersqltablemodel.h"
#include "datahub/readfailure.h"
#include "datahub/xdatasource.h"

namespace {
bool deleteRelational(QSqlTableModel *model, int row)
{
    return XDataSource::deleteRelationalRow(static_cast<QSqlRelationalTableModel *>(model), row);
}

const RowSubmission::Writers relationalWriters = {
    &XDataSource::insertRelationalRow,
    &XDataSource::updateRelationalRow,
    &deleteRelational,
};

// Stands in for the filter while the statement is composed; no filter of the program contains it.
const QString FilterMarker = QStringLiteral("\x01filter\x01");
}

QSuperSqlRelationalTableModel::QSuperSqlRelationalTableModel(QObject *parent, QSqlDatabase db)
    : QSqlRelationalTableModel(parent, db)
{
}

QSuperSqlRelationalTableModel::~QSuperSqlRelationalTableModel() = default;

bool QSuperSqlRelationalTableModel::submitRow(int row, bool refresh, bool remove)
{
    return RowSubmission::submit(this, row, refresh, remove, nullptr, m_writing, relationalWriters);
}

bool QSuperSqlRelationalTableModel::submitRowInView(int row, bool refresh, bool remove,
                                                    QAbstractItemView *view)
{
    return RowSubmission::submit(this, row, refresh, remove, view, m_writing, relationalWriters);
}

bool QSuperSqlRelationalTableModel::writeRow(int row, bool remove)
{
    return RowSubmission::write(this, row, remove, m_writing, relationalWriters);
}

QVariant QSuperSqlRelationalTableModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::DisplayRole && index.isValid() && !isDirty(index) && relation(index.column()).isValid())
        return QSqlTableModel::data(index, role);
    return QSqlRelationalTableModel::data(index, role);
}

bool QSuperSqlRelationalTableModel::select()
{
    // Setting the marker filter while composing must not run anything.
    if (m_composing)
        return false;
    const bool selected = QSqlRelationalTableModel::select();
    return ReadFailure::check(this) && selected;
}

void QSuperSqlRelationalTableModel::fetchMore(const QModelIndex &parent)
{
    ReadFailure::fetchMore<QSqlRelationalTableModel>(this, parent);
}

void QSuperSqlRelationalTableModel::setTable(const QString &tableName)
{
    m_unfiltered.clear();
    m_filtered.clear();
    QSqlRelationalTableModel::setTable(tableName);
}

void QSuperSqlRelationalTableModel::setRelation(int column, const QSqlRelation &relation)
{
    m_unfiltered.clear();
    m_filtered.clear();
    QSqlRelationalTableModel::setRelation(column, relation);
}

QString QSuperSqlRelationalTableModel::selectStatement() const
{
    const QString order = orderByClause();
    if (m_unfiltered.isEmpty() || order != m_composedOrder) {
        auto *self = const_cast<QSuperSqlRelationalTableModel *>(this);
        const QString filter = this->filter();
        m_composing = true;
        self->QSqlTableModel::setFilter(QString());
        m_unfiltered = QSqlRelationalTableModel::selectStatement();
        self->QSqlTableModel::setFilter(FilterMarker);
        m_filtered = QSqlRelationalTableModel::selectStatement();
        self->QSqlTableModel::setFilter(filter);
        m_composing = false;
        m_composedOrder = order;
        // A statement that could not be composed (no table yet) is not kept.
        if (m_unfiltered.isEmpty() || !m_filtered.contains(FilterMarker)) {
            m_unfiltered.clear();
            m_filtered.clear();
            return QSqlRelationalTableModel::selectStatement();
        }
    }
    const QString filter = this->filter();
    if (filter.isEmpty())
        return m_unfiltered;
    QString statement = m_filtered;
    return statement.replace(FilterMarker, filter);
}
