#include "datahub/listformbase.h"

#include "datahub/msgbox.h"
#include "datahub/qsupersqlrelationaltablemodel.h"
#include "datahub/qsupersqltablemodel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDebug>
#include <QDialog>
#include <QSqlRecord>
#include <QStringListModel>
#include <QTableView>

QString ListFormBase::quoted(const QString &text)
{
    QString result = text;
    return result.replace(QLatin1Char('\''), QLatin1String("''"));
}

QString ListFormBase::searchText(const QString &typed)
{
    return quoted(typed.trimmed().toLower());
}

QString ListFormBase::likeFilter(const QString &column, const QString &typed)
{
    const QString text = searchText(typed);
    if (text.isEmpty())
        return QString();
    return QStringLiteral("LOWER(%1) like '%%2%'").arg(column, text);
}

QString ListFormBase::reportCondition(const QString &column, const QString &typed, const QString &listFilter)
{
    const QString text = searchText(typed);
    if (text.isEmpty() || listFilter.isEmpty())
        return QString();
    return QStringLiteral(" where LOWER(%1) like '%%2%' ").arg(column, text);
}

void ListFormBase::setupListView(QTableView *view)
{
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void ListFormBase::showOnlyColumns(QTableView *view, const QList<int> &shown)
{
    if (!view->model())
        return;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        view->setColumnHidden(column, !shown.contains(column));
}

void ListFormBase::setSearchFields(QComboBox *comboBox, QStringListModel *model, const QStringList &labels)
{
    model->setStringList(labels);
    comboBox->setModel(model);
    comboBox->setCurrentIndex(0);
}

ListFormBase::ListFormBase(QWidget *window)
    : m_window(window)
{
}

ListFormBase::~ListFormBase() = default;

void ListFormBase::setListModel(QSuperSqlTableModel *model, QTableView *view)
{
    m_model = model;
    m_view = view;
    m_write = [model, view](int row, bool remove) { return model->submitRowInView(row, true, remove, view); };
    view->setModel(model);
}

void ListFormBase::setListModel(QSuperSqlRelationalTableModel *model, QTableView *view)
{
    m_model = model;
    m_view = view;
    m_write = [model, view](int row, bool remove) { return model->submitRowInView(row, true, remove, view); };
    view->setModel(model);
}

void ListFormBase::applySearch(const QString &column, const QString &typed)
{
    const QString filter = likeFilter(column, typed);
    if (!filter.isEmpty())
        qDebug() << "query: " << filter;
    m_model->setFilter(filter);
}

void ListFormBase::clearSearch()
{
    m_model->setFilter(QString());
}

bool ListFormBase::addRecord()
{
    const int row = m_model->rowCount();
    if (!m_model->insertRows(row, 1)) {
        MsgBox::information(m_window, tr("Unable to add new record"));
        return false;
    }
    m_view->setCurrentIndex(m_model->index(row, 0));
    return editCurrentRecord();
}

bool ListFormBase::editCurrentRecord()
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(m_window, tr("You haven't selected a valid record"));
        return false;
    }
    int row = current.row();
    if (!canEditRow(row))
        return false;
    for (;;) {
        QDialog *editor = createEditor(row);
        if (editor->exec() != QDialog::Accepted) {
            m_model->revertAll();
            delete editor;
            return false;
        }
        editorAccepted(editor);
        delete editor;

        const int rowCountBefore = m_model->rowCount();
        const PendingRow pending = pendingChanges(row);
        if (writeRow(row, false))
            return true;

        // The model threw the change away with the failed transaction. Give the user back what was
        // typed, in the editor, to correct it or to cancel.
        MsgBox::information(m_window, tr("Unable to submit data"));
        row = restorePendingChanges(row, rowCountBefore, pending);
        if (row < 0)
            return false;
        m_view->setCurrentIndex(m_model->index(row, 0));
    }
}

bool ListFormBase::deleteCurrentRecord()
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(m_window, tr("You haven't selected a valid record"));
        return false;
    }
    const int row = current.row();
    if (!canDeleteRow(row))
        return false;
    if (MsgBox::question(m_window, tr("Are you sure you want to delete the selected record?"))
        != QMessageBox::Yes) {
        qDebug() << "Don't delete record";
        return false;
    }
    if (!confirmDeleteRow(row)) {
        qDebug() << "Don't delete record";
        return false;
    }
    qDebug() << "Delete Record";
    m_model->removeRows(row, 1);
    if (!writeRow(row, true)) {
        MsgBox::information(m_window, tr("Unable to delete record"));
        return false;
    }
    return true;
}

void ListFormBase::editorAccepted(QDialog *)
{
}

bool ListFormBase::canDeleteRow(int)
{
    return true;
}

bool ListFormBase::confirmDeleteRow(int)
{
    return true;
}

bool ListFormBase::canEditRow(int)
{
    return true;
}

bool ListFormBase::writeRow(int row, bool remove)
{
    return m_write && m_write(row, remove);
}

ListFormBase::PendingRow ListFormBase::pendingChanges(int row) const
{
    PendingRow pending;
    if (!m_model->isDirty())
        return pending;
    const QSqlRecord record = m_model->record(row);
    for (int column = 0; column < record.count(); ++column) {
        if (!record.isGenerated(column))
            continue;
        // The base class's value is the one the editor put into the cache, before any display
        // formatting of the window's model class.
        pending.columns << column;
        pending.values << m_model->QSqlTableModel::data(m_model->index(row, column), Qt::EditRole);
    }
    return pending;
}

int ListFormBase::restorePendingChanges(int row, int rowCountBefore, const PendingRow &pending)
{
    if (m_model->rowCount() < rowCountBefore) {
        // A new row leaves the model when its insert fails.
        row = m_model->rowCount();
        if (!m_model->insertRows(row, 1))
            return -1;
    }
    if (row >= m_model->rowCount())
        return -1;
    for (int i = 0; i < pending.columns.size(); ++i)
        m_model->setData(m_model->index(row, pending.columns.at(i)), pending.values.at(i), Qt::EditRole);
    return row;
}
