#ifndef RECORDDIALOGBASE_H
#define RECORDDIALOGBASE_H

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <initializer_list>

class ChoiceDelegate;
class QAbstractItemModel;
class QComboBox;
class QDataWidgetMapper;
class QSqlRelationalTableModel;
class QSqlTableModel;
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

    // The editor's mapper on `model`, submitting only when asked. Each line edit it shows a text
    // column in takes no more characters than the column holds.
    QDataWidgetMapper *createMapper(QAbstractItemModel *model);
    // One field of the editor: its widget, the model column it shows and, where the widget's user
    // property is not the one to map, the property to map instead.
    struct MappedField
    {
        QWidget *widget;
        int column;
        const char *property = nullptr;
    };
    // The editor's mapper on `model` with `fields`, on `row`. True when the row has no key yet: a new
    // record.
    bool mapRecord(QSqlTableModel *model, int row, std::initializer_list<MappedField> fields);

    // The combo boxes of the mapper change the row only when the clerk picks another entry than the
    // one they opened on: a stored value that no entry holds (a vendor since deleted, a text no longer
    // listed) shows no entry and is kept as it was. Called after createMapper, before the row is
    // chosen.
    void keepStoredChoices();
    // Fills `combo` with the rows that the relation of `column` of `model` offers, each entry holding
    // its key, headed by `noneText` for a row that names none. The combo keeps stored choices as above,
    // and the key of the entry the clerk picks (null for none) goes into the row.
    void offerRelationChoices(QComboBox *combo, QSqlRelationalTableModel *model, int column, const QString &noneText);

    // False, after showing `message`, when nothing but blanks was typed.
    bool requireText(const QString &text, const QString &message);
    // Runs `sql` with `value` bound to its one placeholder on the hub's shared query. False, after
    // showing `message`, when a row comes back.
    bool requireUnique(const QString &sql, const QVariant &value, const QString &message);
    // Runs `sql` with `values` bound to its placeholders on the hub's shared query. When a row comes
    // back the user is asked `question`: true when nothing was found or the answer is Yes.
    bool confirmIfFound(const QString &sql, const QVariantList &values, const QString &question);
    // The same with one value for each placeholder, in order.
    bool requireUnique(const QString &sql, const QVariantList &values, const QString &message);
    // The same for a value that only the edited row may hold: `sql` binds `value` and then the key of
    // `row` of `model` (null for a new row), so that the row itself is left out of the lookup.
    bool requireUniqueToRow(const QString &sql, const QVariant &value, QAbstractItemModel *model, int row,
                            const QString &message);
    // "Are you sure you want to submit data"; true on Yes.
    bool confirmSubmit();
    // The next value of `generator`; -1 after showing "database error" when it gives no row.
    int nextKey(const QString &generator);
    // The fields into the model's cached row; false after showing `failure` when the model refuses,
    // or after saying so when a plain-text field holds more than its column does.
    bool submitMapper(const QString &failure = QString());
    // The tail of an acceptance once the editor's own checks passed: confirmSubmit, for a new row a key
    // from `generator` into `keyColumn` of `row` (and into `newKey` when given), submitMapper, then the
    // editor closes as accepted. False, with the editor left open, when any step refuses.
    bool submitRecord(QAbstractItemModel *model, int row, bool isNew, const QString &generator, int keyColumn = 0,
                      int *newKey = nullptr);

private:
    // Each text column of the mapper's table shown in a widget of the editor: its length in characters.
    void limitToColumns();
    bool textsFitColumns();

    XDataSource *m_dataSource = nullptr;
    QDataWidgetMapper *m_mapper = nullptr;
    QPointer<ChoiceDelegate> m_choices;
    QHash<int, int> m_columnLengths;
};

#endif // RECORDDIALOGBASE_H
