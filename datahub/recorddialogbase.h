#ifndef RECORDDIALOGBASE_H
#define RECORDDIALOGBASE_H

#include <QDialog>
#include <QString>
#include <QVariant>

class QAbstractItemModel;
class QDataWidgetMapper;
class XDataSource;

// The acceptance steps every record editor shares, in the order the office knows them: required fields,
// a uniqueness lookup, the question, a new key from the table's generator, then the mapper's submit
// into the model's cached row. Each step shows its own message and says whether to go on; a refusal
// leaves the editor open with what was typed. The editor writes nothing to the database itself: the
// window that opened it writes or reverts the row.
class RecordDialogBase : public QDialog
{
    Q_OBJECT

public:
    explicit RecordDialogBase(XDataSource *dataSource, QWidget *parent = nullptr);
    ~RecordDialogBase() override;

protected:
    XDataSource *dataSource() const { return m_dataSource; }
    QDataWidgetMapper *mapper() const { return m_mapper; }

    // The editor's mapper on `model`, submitting only when asked.
    QDataWidgetMapper *createMapper(QAbstractItemModel *model);

    // False, after showing `message`, when nothing but blanks was typed.
    bool requireText(const QString &text, const QString &message);
    // Runs `sql` with `value` bound to its one placeholder on the hub's shared query. False, after
    // showing `message`, when a row comes back.
    bool requireUnique(const QString &sql, const QVariant &value, const QString &message);
    // The same with one value for each placeholder, in order.
    bool requireUnique(const QString &sql, const QVariantList &values, const QString &message);
    // "Are you sure you want to submit data"; true on Yes.
    bool confirmSubmit();
    // The next value of `generator`; -1 after showing "database error" when it gives no row.
    int nextKey(const QString &generator);
    // The fields into the model's cached row; false after showing `failure` when the model refuses.
    bool submitMapper(const QString &failure = QString());

private:
    XDataSource *m_dataSource = nullptr;
    QDataWidgetMapper *m_mapper = nullptr;
};

#endif // RECORDDIALOGBASE_H
