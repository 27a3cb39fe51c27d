#ifndef QSUPERSQLTABLEMODEL_H
#define QSUPERSQLTABLEMODEL_H

#include <QSqlDatabase>
#include <QSqlTableModel>

class QAbstractItemView;

// The one-row write shared by both row-writing model classes: the statements they use, and the flow
// of begin, write, commit and refresh around them (inside the transaction a window holds, when one is
// open, without a begin or commit of its own).
namespace RowSubmission {
typedef bool (*Writer)(QSqlTableModel *model, int row);

struct Writers
{
    Writer insert;
    Writer update;
    Writer remove;
};

bool submit(QSqlTableModel *model, int row, bool refresh, bool remove, QAbstractItemView *view,
            bool &writing, const Writers &writers);
bool write(QSqlTableModel *model, int row, bool remove, bool &writing, const Writers &writers);

// The row of `model` whose key (column 0) is `key`, reading further rows of the list until it is
// found; -1 when the list does not hold it.
int rowOfKey(QSqlTableModel *model, const QVariant &key);
// A list selected while a transaction is held reads all its rows now: the commit closes its cursor,
// and the rows not yet read would be lost without a word.
void readRestInTransaction(QSqlQueryModel *model);
}

// A table model that writes one of its rows at a time, each in a short transaction of its own on the
// default connection. Every table model of the data hub derives from it (or from its relational twin).
class QSuperSqlTableModel : public QSqlTableModel
{
    Q_OBJECT

public:
    explicit QSuperSqlTableModel(QObject *parent = nullptr, QSqlDatabase db = QSqlDatabase());
    ~QSuperSqlTableModel() override;

    // Writes row `row` (deletes its record when `remove`); re-reads the model after the commit when
    // `refresh`. True only when the row reached the database and the transaction was committed.
    virtual bool submitRow(int row, bool refresh, bool remove);
    // The same, then makes a row of `view` current again (view may be null).
    virtual bool submitRowInView(int row, bool refresh, bool remove, QAbstractItemView *view);
    // The same choice of statement without a transaction or refresh; the caller holds the transaction.
    virtual bool writeRow(int row, bool remove);

    // True while a row is being read for an insert or update, so that display formatting is left out
    // of the values that are written.
    bool isWriting() const { return m_writing; }

    // A read that fails says so (ReadFailure) instead of leaving an empty list behind.
    bool select() override;
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;

private:
    bool m_writing = false;
};

#endif // QSUPERSQLTABLEMODEL_H
