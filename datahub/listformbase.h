#ifndef LISTFORMBASE_H
#define LISTFORMBASE_H

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class QComboBox;
class QDialog;
class QSqlTableModel;
class QStringListModel;
class QSuperSqlRelationalTableModel;
class QSuperSqlTableModel;
class QTableView;
class QWidget;

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
    // The typed search text as every filter uses it: trimmed, lower case, quotes doubled.
    static QString searchText(const QString &typed);
    // "LOWER(column) like '%text%'" for the typed text; empty when nothing but blanks was typed.
    static QString likeFilter(const QString &column, const QString &typed);
    // The condition a list report appends to its statement: " where LOWER(column) like '%text%' ", or
    // empty when the text is blank or the list itself is not filtered (after Clear the report shows
    // what the list shows).
    static QString reportCondition(const QString &column, const QString &typed, const QString &listFilter);

    // Whole rows, one at a time, no editing in place.
    static void setupListView(QTableView *view);
    // Hides every column of the view's model that is not in `shown`.
    static void showOnlyColumns(QTableView *view, const QList<int> &shown);
    // Fills the Field combo of a search with its labels, through the window's own list model, and
    // chooses the first.
    static void setSearchFields(QComboBox *comboBox, QStringListModel *model, const QStringList &labels);

protected:
    explicit ListFormBase(QWidget *window);
    virtual ~ListFormBase();

    void setListModel(QSuperSqlTableModel *model, QTableView *view);
    void setListModel(QSuperSqlRelationalTableModel *model, QTableView *view);
    QSqlTableModel *listModel() const { return m_model; }
    QTableView *listView() const { return m_view; }

    // Puts the search filter on the list model (all rows when the text is blank).
    void applySearch(const QString &column, const QString &typed);
    void clearSearch();

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
    // Called before the delete question; a refusal shows its own message and returns false.
    virtual bool canDeleteRow(int row);
    // Called after the user agreed to the delete, for a window that must ask once more about what
    // still depends on the row; false keeps the row.
    virtual bool confirmDeleteRow(int row);
    // Called before the editor opens on the current row; a refusal shows its own message and returns
    // false.
    virtual bool canEditRow(int row);

private:
    bool writeRow(int row, bool remove);
    struct PendingRow
    {
        QList<int> columns;
        QList<QVariant> values;
    };
    PendingRow pendingChanges(int row) const;
    int restorePendingChanges(int row, int rowCountBefore, const PendingRow &pending);

    QWidget *m_window = nullptr;
    QSqlTableModel *m_model = nullptr;
    QTableView *m_view = nullptr;
    std::function<bool(int, bool)> m_write;
};

#endif // LISTFORMBASE_H
