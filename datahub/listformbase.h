#ifndef LISTFORMBASE_H
#define LISTFORMBASE_H

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QDialog;
class QSqlTableModel;
class QStringListModel;
class QSuperSqlRelationalTableModel;
class QSuperSqlTableModel;
class QTableView;
class QTimer;
class QWidget;
class ScopedTransaction;
class XDataSource;

// What every list window shares: the search filter, and the New / Edit / Delete flow around a record
// editor on one row of a shared table model. A window derives from its Qt widget class first and from
// this second, keeps its own slots, texts and form, and answers the few questions below that make it
// different (which editor, what forbids a delete).
class ListFormBase
{
    Q_DECLARE_TR_FUNCTIONS(ListFormBase)

public:
    // Every single quote doubled. The one place where typed text is made safe to stand inside a quoted
    // literal of a composed filter or statement; everything else binds its values.
    static QString quoted(const QString &text);
    // "LOWER(column) like LOWER('%text%') ESCAPE '\'" for the typed text, trimmed, its pattern characters
    // escaped and its quotes doubled, the database folding the case of both sides; empty when nothing
    // but blanks was typed. Every search of a list, a picker or a list report composes its condition here.
    static QString likeFilter(const QString &column, const QString &typed);
    // The condition a list report appends to its statement: " where " and the like filter and " ", or
    // empty when the text is blank or the list itself is not filtered (after Clear the report shows
    // what the list shows).
    static QString reportCondition(const QString &column, const QString &typed, const QString &listFilter);

    // The Print buttons of the list windows print reports: they need the same right as the Reports
    // menu, and refuse with the same message.
    static bool mayPrintReports(QWidget *window, const XDataSource *dataSource);

    // Whole rows, one at a time, no editing in place, Tab and Shift+Tab leave the list; cells painted by
    // the list delegate, rows numbered by the list's row header. setListModel does this before the
    // model comes.
    static void setupListView(QTableView *view);
    // Hides every column of the view's model that is not in `shown`.
    static void showOnlyColumns(QTableView *view, const QList<int> &shown);
    // Fills the Field combo of a search with its labels, through the window's own list model, and
    // chooses the first.
    static void setSearchFields(QComboBox *comboBox, QStringListModel *model, const QStringList &labels);

    // How long the typing rests before the list follows it.
    static const int SearchDelayMs = 150;
    // "Unable to submit data", with the engine's reason when the last row write gave one.
    static QString submitFailure();
    // What an editor put into a row of `model`, kept over a write that may fail: a failed write
    // throws the change away, and the editor gives it back to the user to correct or to cancel.
    struct PendingRow
    {
        QList<int> columns;
        QList<QVariant> values;
    };
    static PendingRow pendingChanges(QSqlTableModel *model, int row);
    // Puts `pending` back into the row (again at the end when a failed insert took the new row away,
    // `rowCountBefore` being the row count before the write); the row, or -1.
    static int restorePendingChanges(QSqlTableModel *model, int row, int rowCountBefore, const PendingRow &pending);
    // A search that follows the typing without running its statement on every key: `search` runs once
    // the Criteria text has rested for SearchDelayMs, and at once on Return in the box or on
    // `searchButton`. Every list and picker that searches as the user types goes through here. The
    // timer ("searchTimer") is a child of the box; Clear stops it, so that a search still pending
    // does not undo the Clear.
    static QTimer *followTyping(QLineEdit *criteria, const std::function<void()> &search,
                                QAbstractButton *searchButton = nullptr);

protected:
    explicit ListFormBase(QWidget *window);
    virtual ~ListFormBase();

    void setListModel(QSuperSqlTableModel *model, QTableView *view);
    void setListModel(QSuperSqlRelationalTableModel *model, QTableView *view);
    QSqlTableModel *listModel() const { return m_model; }
    QTableView *listView() const { return m_view; }

    // For a record whose editor writes rows of other tables while it is open: New, Edit and Delete then
    // run in one transaction of the window's own, begun before the editor opens and committed only
    // when the record itself was written, so that the record and everything hanging on it are kept or
    // dropped together.
    void setHeldTransaction(bool on) { m_held = on; }

    // The window's search follows the typing in `criteria` (followTyping), and runs once at once when
    // the list model comes filtered, so that the rows match the box from the start. Called after
    // setListModel.
    void setSearch(QLineEdit *criteria, const std::function<void()> &search, QAbstractButton *searchButton = nullptr);
    // Puts the search filter on the list model (all rows when the text is blank).
    void applySearch(const QString &column, const QString &typed);
    // Clear: every row again (those `keptFilter` lets through), and no search left pending.
    void clearSearch(const QString &keptFilter = QString());

    // New: appends a row to the model, makes it current and edits it. False when nothing was saved.
    bool addRecord();
    // Edit: runs the editor on the current row; after an accepted editor the row is written, after a
    // cancelled one every pending change of the model is dropped. False when nothing was saved.
    bool editCurrentRecord();
    // Delete: asks, then removes the current row's record. False when nothing was deleted.
    bool deleteCurrentRecord();

    // The editor on `row`; the flow runs it modally and deletes it.
    virtual QDialog *createEditor(int row) = 0;
    // Called with the accepted editor before it is deleted and the row is written.
    virtual void editorAccepted(QDialog *editor);
    // Called by New with the row just appended, before the editor opens: what the window knows of a
    // new record that the editor does not ask for (the apartment it belongs to, its day).
    virtual void initNewRow(int row);
    // Called before the delete question; a refusal shows its own message and returns false.
    virtual bool canDeleteRow(int row);
    // A new row, already current, before its editor opens (to carry the key of the record it belongs to).
    virtual void prepareNewRow(int row);
    virtual QString deleteQuestion() const;
    // With a held transaction: removes the rows that hang on the record, inside the delete's transaction
    // and before the record itself. A failure shows its own message and returns false; the whole delete
    // is then rolled back.
    virtual bool deleteDependentRows(int row);
    // Called after the user agreed to the delete, for a window that must ask once more about what
    // still depends on the row; false keeps the row.
    virtual bool confirmDeleteRow(int row);
    // Called before the editor opens on the current row; a refusal shows its own message and returns
    // false.
    virtual bool canEditRow(int row);

private:
    QVariant keyOfRow(int row) const;
    // The row that shows the record a command was started on: `row` while it still does, else where
    // the list shows it after being read again; -1 when the list no longer holds it.
    int rowOfChosen(int row, const QVariant &key) const;
    bool writeRow(int row, bool remove);
    bool beginHeldTransaction(const QString &failure);
    void rollBackHeld();
    bool commitHeld();
    bool editRowInHeldTransaction(int row);
    bool deleteRowInHeldTransaction(int row);

    QWidget *m_window = nullptr;
    QSqlTableModel *m_model = nullptr;
    QTableView *m_view = nullptr;
    std::function<bool(int, bool)> m_write;
    std::function<bool(int, bool)> m_writeInTransaction;
    bool m_held = false;
    QTimer *m_searchTimer = nullptr;
    // Open from the begin of a held New, Edit or Delete to its commit or rollback.
    std::unique_ptr<ScopedTransaction> m_transaction;

public:
    // The first steps of every delete from a table view: the view's current row, else "You haven't
    // selected a valid record"; then the delete question. The row, or -1 when there is none or the
    // answer is No.
    static int confirmDeleteOfCurrentRow(QWidget *window, QTableView *view);
};

#endif // LISTFORMBASE_H
