#include "datahub/listformbase.h"

#include "datahub/listitemdelegate.h"
#include "datahub/msgbox.h"
#include "datahub/permission.h"
#include "datahub/rownumberheader.h"
#include "datahub/scopedtransaction.h"
#include "datahub/textfold.h"
#include "datahub/qsupersqlrelationaltablemodel.h"
#include "datahub/qsupersqltablemodel.h"
#include "datahub/xdatasource.h"
#include "datahub/debuglog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QDialog>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <QStringListModel>
#include <QTableView>
#include <QTimer>

QString ListFormBase::quoted(const QString &text)
{
    QString result = text;
    return result.replace(QLatin1Char('\''), QLatin1String("''"));
}

QString ListFormBase::likeFilter(const QString &column, const QString &typed)
{
    QString text = typed.trimmed();
    if (text.isEmpty())
        return QString();
    // A typed "%" or "_" is looked for as itself, not as a wildcard of the pattern.
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('%'), QLatin1String("\\%"));
    text.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QStringLiteral("%1 like %2 ESCAPE '\\'")
        .arg(TextFold::folded(column), TextFold::folded(QStringLiteral("'%%1%'").arg(quoted(text))));
}

QString ListFormBase::reportCondition(const QString &column, const QString &typed, const QString &listFilter)
{
    const QString filter = likeFilter(column, typed);
    if (filter.isEmpty() || listFilter.isEmpty())
        return QString();
    return QStringLiteral(" where %1 ").arg(filter);
}

bool ListFormBase::mayPrintReports(QWidget *window, const XDataSource *dataSource)
{
    return Permission::granted(window, dataSource->canViewReports());
}

void ListFormBase::setupListView(QTableView *view)
{
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A list has nothing to edit cell by cell: Tab goes on to the next control, the chosen row stays.
    view->setTabKeyNavigation(false);
    ListItemDelegate::install(view);
    RowNumberHeader::install(view);
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

QTimer *ListFormBase::followTyping(QLineEdit *criteria, const std::function<void()> &search,
                                   QAbstractButton *searchButton)
{
    auto *timer = new QTimer(criteria);
    timer->setObjectName(QStringLiteral("searchTimer"));
    timer->setSingleShot(true);
    timer->setInterval(SearchDelayMs);
    // A search never runs under an editor or a question that another window has open: re-reading
    // the list there would move the rows under the command that opened it. It waits until the
    // dialog is answered.
    QObject::connect(timer, &QTimer::timeout, criteria, [criteria, timer, search] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != criteria->window()) {
            timer->start();
            return;
        }
        search();
    });
    QObject::connect(criteria, &QLineEdit::textChanged, timer, qOverload<>(&QTimer::start));
    const auto now = [timer, search] {
        timer->stop();
        search();
    };
    QObject::connect(criteria, &QLineEdit::returnPressed, criteria, now);
    if (searchButton)
        QObject::connect(searchButton, &QAbstractButton::clicked, criteria, now);
    return timer;
}

QString ListFormBase::submitFailure()
{
    const QString reason = XDataSource::lastWriteError();
    return reason.isEmpty() ? tr("Unable to submit data") : tr("Unable to submit data: %1").arg(reason);
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
    m_writeInTransaction = [model](int row, bool remove) { return model->writeRow(row, remove); };
    // Set up before the model comes, so that the rows are measured and painted the list's way only.
    setupListView(view);
    view->setModel(model);
}

void ListFormBase::setListModel(QSuperSqlRelationalTableModel *model, QTableView *view)
{
    m_model = model;
    m_view = view;
    m_write = [model, view](int row, bool remove) { return model->submitRowInView(row, true, remove, view); };
    m_writeInTransaction = [model](int row, bool remove) { return model->writeRow(row, remove); };
    // Set up before the model comes, so that the rows are measured and painted the list's way only.
    setupListView(view);
    view->setModel(model);
}

void ListFormBase::setSearch(QLineEdit *criteria, const std::function<void()> &search, QAbstractButton *searchButton)
{
    m_searchTimer = followTyping(criteria, search, searchButton);
    // The model is shared and outlives the window: a filter an earlier window left on it (the last
    // user's search, before a log-off) would show rows the empty box does not ask for.
    if (m_model && !m_model->filter().isEmpty())
        search();
}

void ListFormBase::applySearch(const QString &column, const QString &typed)
{
    const QString filter = likeFilter(column, typed);
    if (!filter.isEmpty())
        qCDebug(velloranLog) << "query: " << filter;
    m_model->setFilter(filter);
}

void ListFormBase::clearSearch(const QString &keptFilter)
{
    if (m_searchTimer)
        m_searchTimer->stop();
    m_model->setFilter(keptFilter);
}

bool ListFormBase::addRecord()
{
    if (m_held && !beginHeldTransaction(tr("You cannot add/edit record at this time. Can't start a transaction!")))
        return false;
    const int row = m_model->rowCount();
    if (!m_model->insertRows(row, 1)) {
        if (m_held) {
            m_model->revertAll();
            rollBackHeld();
        }
        MsgBox::information(m_window, tr("Unable to add new record"));
        return false;
    }
    initNewRow(row);
    m_view->setCurrentIndex(m_model->index(row, 0));
    prepareNewRow(row);
    if (m_held)
        return editRowInHeldTransaction(row);
    return editCurrentRecord();
}

bool ListFormBase::editCurrentRecord()
{
    if (m_held) {
        if (!beginHeldTransaction(tr("You cannot add/edit record at this time. Can't start a transaction!")))
            return false;
        return editRowInHeldTransaction(-1);
    }
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(m_window, tr("You haven't selected a valid record"));
        return false;
    }
    int row = current.row();
    const QVariant key = keyOfRow(row);
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
        row = rowOfChosen(row, key);
        if (row < 0) {
            m_model->revertAll();
            MsgBox::information(m_window, tr("You haven't selected a valid record"));
            return false;
        }

        const int rowCountBefore = m_model->rowCount();
        const PendingRow pending = pendingChanges(m_model, row);
        if (writeRow(row, false))
            return true;

        // The model threw the change away with the failed transaction. Give the user back what was
        // typed, in the editor, to correct it or to cancel.
        MsgBox::information(m_window, submitFailure());
        row = restorePendingChanges(m_model, row, rowCountBefore, pending);
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
    int row = current.row();
    // The record is known by its key from here on: the questions below run their own event loops.
    const QVariant key = keyOfRow(row);
    if (!canDeleteRow(row))
        return false;
    if (MsgBox::question(m_window, deleteQuestion()) != QMessageBox::Yes) {
        qCDebug(velloranLog) << "Don't delete record";
        return false;
    }
    row = rowOfChosen(row, key);
    if (row < 0 || !confirmDeleteRow(row)) {
        qCDebug(velloranLog) << "Don't delete record";
        return false;
    }
    row = rowOfChosen(row, key);
    if (row < 0) {
        MsgBox::information(m_window, tr("You haven't selected a valid record"));
        return false;
    }
    qCDebug(velloranLog) << "Delete Record";
    if (m_held)
        return deleteRowInHeldTransaction(row);
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

void ListFormBase::initNewRow(int)
{
}

bool ListFormBase::canDeleteRow(int)
{
    return true;
}

void ListFormBase::prepareNewRow(int)
{
}

QString ListFormBase::deleteQuestion() const
{
    return tr("Are you sure you want to delete the selected record?");
}

bool ListFormBase::deleteDependentRows(int)
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

bool ListFormBase::beginHeldTransaction(const QString &failure)
{
    // Work another window has open is never given up for this one: the begin is refused instead.
    m_transaction.reset(new ScopedTransaction);
    if (!m_transaction->isActive()) {
        m_transaction.reset();
        MsgBox::information(m_window, failure);
        return false;
    }
    return true;
}

void ListFormBase::rollBackHeld()
{
    const bool rolledBack = m_transaction && m_transaction->rollback();
    m_transaction.reset();
    if (!rolledBack)
        MsgBox::information(m_window, tr("Can't undo changes to database. Error on rollback. Restart application now!"));
}

bool ListFormBase::commitHeld()
{
    const bool committed = m_transaction && m_transaction->commit();
    m_transaction.reset();
    return committed;
}

bool ListFormBase::editRowInHeldTransaction(int row)
{
    const QModelIndex current = row < 0 ? m_view->currentIndex() : m_model->index(row, 0);
    if (!current.isValid()) {
        m_model->revertAll();
        rollBackHeld();
        MsgBox::information(m_window, tr("You haven't selected a valid record"));
        return false;
    }
    row = current.row();
    const QVariant chosen = keyOfRow(row);
    QDialog *editor = createEditor(row);
    if (editor->exec() != QDialog::Accepted) {
        m_model->revertAll();
        rollBackHeld();
        delete editor;
        return false;
    }
    editorAccepted(editor);
    delete editor;
    row = rowOfChosen(row, chosen);
    if (row < 0) {
        m_model->revertAll();
        rollBackHeld();
        MsgBox::information(m_window, tr("You haven't selected a valid record"));
        return false;
    }
    // A new record has its key now.
    const QVariant key = keyOfRow(row);
    qCDebug(velloranLog) << "key: " << m_model->QSqlTableModel::data(m_model->index(row, 0), Qt::EditRole);

    // The editor's other rows are already written in this transaction; committing them without the
    // record would leave them pointing at nothing.
    if (!m_writeInTransaction(row, false)) {
        // The refused statement alone was undone: the transaction, the editor's other rows and what was
        // typed into the model's row are all still there. The editor shows them again, to correct or to
        // cancel, which drops the lot.
        MsgBox::information(m_window, submitFailure());
        return editRowInHeldTransaction(row);
    }
    if (!commitHeld()) {
        m_model->revertAll();
        MsgBox::information(m_window, tr("Your data has not been saved. Can't commit a transaction!"));
        return false;
    }
    qCDebug(velloranLog) << QSqlDatabase::database().lastError().text();
    m_model->setFilter(m_model->filter());
    const int listed = RowSubmission::rowOfKey(m_model, key);
    m_view->setCurrentIndex(m_model->index(listed >= 0 ? listed : row, current.column()));
    return true;
}

bool ListFormBase::deleteRowInHeldTransaction(int row)
{
    if (!beginHeldTransaction(tr("Error beginning transaction!")))
        return false;
    if (!deleteDependentRows(row)) {
        m_transaction.reset();
        return false;
    }
    if (!m_writeInTransaction(row, true)) {
        qCDebug(velloranLog) << m_model->lastError().text();
        m_transaction.reset();
        MsgBox::information(m_window, tr("Error deleting record!"));
        return false;
    }
    if (!commitHeld()) {
        MsgBox::information(m_window, tr("Error committing transaction!"));
        return false;
    }
    m_model->setFilter(m_model->filter());
    // The record that moved up into the deleted one's place becomes current.
    if (row < m_model->rowCount())
        m_view->setCurrentIndex(m_model->index(row, 0));
    return true;
}

QVariant ListFormBase::keyOfRow(int row) const
{
    return m_model->QSqlTableModel::data(m_model->index(row, 0), Qt::EditRole);
}

int ListFormBase::rowOfChosen(int row, const QVariant &key) const
{
    // A new row has no key yet, and a list read again no longer holds it.
    if (key.isNull())
        return row < m_model->rowCount() && m_model->isDirty(m_model->index(row, 0)) ? row : -1;
    if (row < m_model->rowCount() && keyOfRow(row) == key)
        return row;
    return RowSubmission::rowOfKey(m_model, key);
}

bool ListFormBase::writeRow(int row, bool remove)
{
    return m_write && m_write(row, remove);
}

ListFormBase::PendingRow ListFormBase::pendingChanges(QSqlTableModel *model, int row)
{
    PendingRow pending;
    if (!model->isDirty())
        return pending;
    const QSqlRecord record = model->record(row);
    for (int column = 0; column < record.count(); ++column) {
        if (!record.isGenerated(column))
            continue;
        // The base class's value is the one the editor put into the cache, before any display
        // formatting of the window's model class.
        pending.columns << column;
        pending.values << model->QSqlTableModel::data(model->index(row, column), Qt::EditRole);
    }
    return pending;
}

int ListFormBase::restorePendingChanges(QSqlTableModel *model, int row, int rowCountBefore,
                                          const PendingRow &pending)
{
    if (model->rowCount() < rowCountBefore) {
        // A new row leaves the model when its insert fails.
        row = model->rowCount();
        if (!model->insertRows(row, 1))
            return -1;
    }
    if (row >= model->rowCount())
        return -1;
    for (int i = 0; i < pending.columns.size(); ++i)
        model->setData(model->index(row, pending.columns.at(i)), pending.values.at(i), Qt::EditRole);
    return row;
}

int ListFormBase::confirmDeleteOfCurrentRow(QWidget *window, QTableView *view)
{
    const QModelIndex current = view->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(window, tr("You haven't selected a valid record"));
        return -1;
    }
    if (MsgBox::question(window, tr("Are you sure you want to delete the selected record?")) != QMessageBox::Yes) {
        qCDebug(velloranLog) << "Don't delete record";
        return -1;
    }
    return current.row();
}
