#include "datahub/qsupersqlrelationaltablemodel.h"

#include "datahub/qsupersqltablemodel.h"
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
