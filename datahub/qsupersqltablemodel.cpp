#include "datahub/qsupersqltablemodel.h"

#include "datahub/readfailure.h"
#include "datahub/scopedtransaction.h"
#include "datahub/xdatasource.h"
#include "datahub/debuglog.h"

#include <QAbstractItemView>
#include <QDebug>
#include <QSqlRecord>

namespace RowSubmission {

namespace {

enum class Statement { None, Insert, Update, Delete };

bool hasPendingChange(const QSqlTableModel *model, int row)
{
    for (int column = 0; column < model->columnCount(); ++column) {
        if (model->isDirty(model->index(row, column)))
            return true;
    }
    return false;
}

// A key that the caller put into the row (drawn from the table's generator) marks a new row as surely
// as an empty key does; an untouched key means the row is already in the table.
Statement choose(QSqlTableModel *model, int row, bool remove)
{
    if (remove)
        return Statement::Delete;
    // A row without any pending change has nothing to write; its record would otherwise read as a new
    // row carrying a key and end in a duplicate insert.
    if (!hasPendingChange(model, row))
        return Statement::None;
    const QSqlRecord record = model->record(row);
    if (record.isNull(0) || record.isGenerated(0))
        return Statement::Insert;
    return Statement::Update;
}

bool run(QSqlTableModel *model, int row, Statement statement, const Writers &writers)
{
    switch (statement) {
    case Statement::Insert:
        return writers.insert(model, row);
    case Statement::Update:
        return writers.update(model, row);
    case Statement::Delete:
        return writers.remove(model, row);
    case Statement::None:
        break;
    }
    return true;
}

} // namespace

int rowOfKey(QSqlTableModel *model, const QVariant &key)
{
    if (key.isNull())
        return -1;
    for (int row = 0;; ++row) {
        if (row >= model->rowCount()) {
            if (!model->canFetchMore())
                return -1;
            model->fetchMore();
            if (row >= model->rowCount())
                return -1;
        }
        if (model->QSqlTableModel::data(model->index(row, 0), Qt::EditRole) == key)
            return row;
    }
}

void readRestInTransaction(QSqlQueryModel *model)
{
    if (!ScopedTransaction::anyOpen())
        return;
    while (model->canFetchMore())
        model->fetchMore();
}

bool submit(QSqlTableModel *model, int row, bool refresh, bool remove, QAbstractItemView *view,
            bool &writing, const Writers &writers)
{
    // A row written while a window holds its transaction open (the rows an editor writes beside its
    // record) goes into that transaction, which its holder commits or rolls back with the record.
    ScopedTransaction transaction;
    const bool own = transaction.isActive();
    if (!own && !ScopedTransaction::anyOpen()) {
        qCDebug(velloranLog) << "begin transaction failed";
        model->revertRow(row);
        return false;
    }

    // The record written stays current after the re-select wherever the list still shows it.
    const QVariant key = remove ? QVariant() : model->QSqlTableModel::data(model->index(row, 0), Qt::EditRole);

    bool written;
    if (remove) {
        written = run(model, row, Statement::Delete, writers);
    } else {
        writing = true;
        written = run(model, row, choose(model, row, false), writers);
        writing = false;
    }

    if (!written) {
        // Our own transaction rolls back as it leaves the scope.
        model->revertRow(row);
        return false;
    }
    if (own && !transaction.commit()) {
        model->revertRow(row);
        return false;
    }
    if (!refresh)
        return true;

    model->setFilter(model->filter());
    readRestInTransaction(model);
    if (view) {
        const int listed = rowOfKey(model, key);
        QModelIndex current = model->index(listed >= 0 ? listed : row, 0);
        if (!current.isValid())
            current = model->index(row - 1, 0);
        view->setCurrentIndex(current);
    }
    return true;
}

bool write(QSqlTableModel *model, int row, bool remove, bool &writing, const Writers &writers)
{
    if (remove)
        return run(model, row, Statement::Delete, writers);
    // As in submit(): the stored values go out, not the texts the model shows for them.
    writing = true;
    const bool written = run(model, row, choose(model, row, false), writers);
    writing = false;
    return written;
}

} // namespace RowSubmission

namespace {
const RowSubmission::Writers plainWriters = {
    &XDataSource::insertRow,
    &XDataSource::updateRow,
    &XDataSource::deleteRow,
};
}

QSuperSqlTableModel::QSuperSqlTableModel(QObject *parent, QSqlDatabase db)
    : QSqlTableModel(parent, db)
{
}

QSuperSqlTableModel::~QSuperSqlTableModel() = default;

bool QSuperSqlTableModel::submitRow(int row, bool refresh, bool remove)
{
    return RowSubmission::submit(this, row, refresh, remove, nullptr, m_writing, plainWriters);
}

bool QSuperSqlTableModel::submitRowInView(int row, bool refresh, bool remove, QAbstractItemView *view)
{
    return RowSubmission::submit(this, row, refresh, remove, view, m_writing, plainWriters);
}

bool QSuperSqlTableModel::writeRow(int row, bool remove)
{
    return RowSubmission::write(this, row, remove, m_writing, plainWriters);
}

bool QSuperSqlTableModel::select()
{
    const bool selected = QSqlTableModel::select();
    return ReadFailure::check(this) && selected;
}

void QSuperSqlTableModel::fetchMore(const QModelIndex &parent)
{
    ReadFailure::fetchMore<QSqlTableModel>(this, parent);
}
