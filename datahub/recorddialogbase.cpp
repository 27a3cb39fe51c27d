#include "datahub/recorddialogbase.h"
#include "datahub/rowlookup.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "datahub/debuglog.h"

#include <QComboBox>
#include <QDataWidgetMapper>
#include <QDebug>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QSqlRelationalDelegate>
#include <QSqlRelationalTableModel>
#include <QSqlTableModel>
#include <QTextEdit>

namespace {

// The length in characters of each text column of `table`, by column name.
QHash<QString, int> textColumnLengths(const QSqlDatabase &db, const QString &table)
{
    QHash<QString, int> lengths;
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "select trim(rf.rdb$field_name), f.rdb$character_length from rdb$relation_fields rf "
        "join rdb$fields f on f.rdb$field_name = rf.rdb$field_source "
        "where rf.rdb$relation_name = ? and f.rdb$field_type in (14, 37) and f.rdb$character_length > 0"));
    query.addBindValue(table.toUpper());
    if (!query.exec())
        qCDebug(velloranLog) << "column lengths of" << table << query.lastError().text();
    while (query.next())
        lengths.insert(query.value(0).toString(), query.value(1).toInt());
    return lengths;
}

// The text of a plain-text field, or a null string for any other widget.
QString plainText(QWidget *widget)
{
    if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
        return edit->toPlainText();
    if (auto *edit = qobject_cast<QTextEdit *>(widget))
        return edit->toPlainText();
    return QString();
}

// Whether the relation column at `index` names no row at all. A relational model shows the related
// text only, so a row that names none and a row whose related row was deleted look alike there; the
// key itself is read from the table.
bool namesNone(const QModelIndex &index)
{
    auto *model = qobject_cast<const QSqlRelationalTableModel *>(index.model());
    if (!model)
        return false;
    const QVariant id = model->data(model->index(index.row(), 0), Qt::EditRole);
    if (id.isNull())
        return model->data(index, Qt::EditRole).isNull();
    const QSqlRecord table = model->database().record(model->tableName());
    QSqlQuery query(model->database());
    query.prepare(QStringLiteral("select %1 from %2 where %3 = ?")
                      .arg(table.fieldName(index.column()), model->tableName(), table.fieldName(0)));
    query.addBindValue(id);
    if (!query.exec() || !query.next()) {
        qCDebug(velloranLog) << "stored key of" << model->tableName() << query.lastError().text();
        return false;
    }
    return query.value(0).isNull();
}

} // namespace

// Qt's relational delegate shows a stored text by moving the combo to the entry holding it, and
// leaves the combo where it stood (on its first entry) when none does; the submit then writes that
// entry. Here a combo shows no entry for such a value, and writes only what the clerk picked.
class ChoiceDelegate : public QSqlRelationalDelegate
{
public:
    using QSqlRelationalDelegate::QSqlRelationalDelegate;

    // Combos whose entries hold the keys of a relation, the first for none.
    QSet<const QComboBox *> keyed;

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *combo = qobject_cast<QComboBox *>(editor);
        if (!combo || !index.isValid()) {
            QSqlRelationalDelegate::setEditorData(editor, index);
            return;
        }
        const QVariant shown = index.data(Qt::DisplayRole);
        int entry = shown.isNull() ? -1 : combo->findText(shown.toString());
        if (entry < 0 && shown.isNull() && keyed.contains(combo) && namesNone(index))
            entry = 0;
        combo->setCurrentIndex(entry);
        opened.insert(combo, entry);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *combo = qobject_cast<QComboBox *>(editor);
        if (combo && combo->currentIndex() == opened.value(combo, -1))
            return;
        if (combo && keyed.contains(combo)) {
            // The relational model takes only keys it read when it first needed one, and none is no key
            // at all; the entries were read when the editor opened.
            if (auto *table = qobject_cast<QSqlTableModel *>(model))
                table->QSqlTableModel::setData(index, combo->currentData(), Qt::EditRole);
            else
                model->setData(index, combo->currentData(), Qt::EditRole);
            return;
        }
        QSqlRelationalDelegate::setModelData(editor, model, index);
    }

private:
    // The entry each combo showed for the row.
    mutable QHash<const QComboBox *, int> opened;
};

RecordDialogBase::RecordDialogBase(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , m_dataSource(dataSource)
{
}

RecordDialogBase::~RecordDialogBase()
{
    delete m_mapper;
}

QDataWidgetMapper *RecordDialogBase::createMapper(QAbstractItemModel *model)
{
    delete m_mapper;
    m_mapper = new QDataWidgetMapper(this);
    m_mapper->setModel(model);
    m_mapper->setSubmitPolicy(QDataWidgetMapper::ManualSubmit);
    m_columnLengths.clear();
    // The editors map their fields and then choose the row; the limits follow the fields they mapped.
    connect(m_mapper, &QDataWidgetMapper::currentIndexChanged, this, &RecordDialogBase::limitToColumns);
    return m_mapper;
}

void RecordDialogBase::limitToColumns()
{
    auto *table = qobject_cast<QSqlTableModel *>(m_mapper->model());
    if (!table)
        return;
    if (m_columnLengths.isEmpty()) {
        const QHash<QString, int> lengths = textColumnLengths(table->database(), table->tableName());
        const QSqlRecord record = table->record();
        auto *relational = qobject_cast<QSqlRelationalTableModel *>(table);
        for (int column = 0; column < record.count(); ++column) {
            // A relation column shows the related table's text; the key it stores is no text.
            if (relational && relational->relation(column).isValid())
                continue;
            const int length = lengths.value(record.fieldName(column).toUpper());
            if (length > 0)
                m_columnLengths.insert(column, length);
        }
    }
    for (auto it = m_columnLengths.cbegin(); it != m_columnLengths.cend(); ++it) {
        if (auto *edit = qobject_cast<QLineEdit *>(m_mapper->mappedWidgetAt(it.key())))
            edit->setMaxLength(qMin(edit->maxLength(), it.value()));
    }
}

// A plain-text field takes any length; one longer than its column is refused here, before the write
// would throw the whole record away.
bool RecordDialogBase::textsFitColumns()
{
    for (auto it = m_columnLengths.cbegin(); it != m_columnLengths.cend(); ++it) {
        QWidget *widget = m_mapper->mappedWidgetAt(it.key());
        if (plainText(widget).size() <= it.value())
            continue;
        MsgBox::information(this, tr("The text is too long: this field holds at most %1 characters.").arg(it.value()));
        widget->setFocus();
        return false;
    }
    return true;
}

bool RecordDialogBase::mapRecord(QSqlTableModel *model, int row, std::initializer_list<MappedField> fields)
{
    QDataWidgetMapper *map = createMapper(model);
    for (const MappedField &field : fields) {
        if (field.property)
            map->addMapping(field.widget, field.column, field.property);
        else
            map->addMapping(field.widget, field.column);
    }
    map->setCurrentIndex(row);
    return model->record(row).isNull(0);
}

void RecordDialogBase::keepStoredChoices()
{
    // The delegate is a child of the mapper: a new mapper gets a new one.
    if (m_choices)
        return;
    m_choices = new ChoiceDelegate(m_mapper);
    m_mapper->setItemDelegate(m_choices);
}

void RecordDialogBase::offerRelationChoices(QComboBox *combo, QSqlRelationalTableModel *model, int column,
                                            const QString &noneText)
{
    keepStoredChoices();
    QSqlTableModel *related = model->relationModel(column);
    // The related list is read once per run otherwise: a row added since would not be offered.
    related->select();
    while (related->canFetchMore())
        related->fetchMore();
    const QSqlRelation relation = model->relation(column);
    const int shown = related->fieldIndex(relation.displayColumn());
    const int key = related->fieldIndex(relation.indexColumn());
    combo->clear();
    combo->addItem(noneText);
    for (int row = 0; row < related->rowCount(); ++row)
        combo->addItem(related->index(row, shown).data().toString(), related->index(row, key).data(Qt::EditRole));
    m_choices->keyed.insert(combo);
}

bool RecordDialogBase::requireText(const QString &text, const QString &message)
{
    if (!text.trimmed().isEmpty())
        return true;
    MsgBox::information(this, message);
    return false;
}

bool RecordDialogBase::requireUnique(const QString &sql, const QVariant &value, const QString &message)
{
    return requireUnique(sql, QVariantList{value}, message);
}

bool RecordDialogBase::requireUnique(const QString &sql, const QVariantList &values, const QString &message)
{
    switch (RowLookup::find(m_dataSource->query(), sql, values)) {
    case RowLookup::NotFound:
        return true;
    case RowLookup::Found:
        MsgBox::information(this, message);
        return false;
    case RowLookup::Failed:
        break;
    }
    RowLookup::refuse(this);
    return false;
}

bool RecordDialogBase::requireUniqueToRow(const QString &sql, const QVariant &value, QAbstractItemModel *model,
                                          int row, const QString &message)
{
    return requireUnique(sql, QVariantList{value, model->data(model->index(row, 0), Qt::EditRole)}, message);
}

bool RecordDialogBase::confirmIfFound(const QString &sql, const QVariantList &values, const QString &question)
{
    switch (RowLookup::find(m_dataSource->query(), sql, values)) {
    case RowLookup::NotFound:
        return true;
    case RowLookup::Found:
        return MsgBox::question(this, question) == QMessageBox::Yes;
    case RowLookup::Failed:
        break;
    }
    RowLookup::refuse(this);
    return false;
}

bool RecordDialogBase::confirmSubmit()
{
    return MsgBox::question(this, tr("Are you sure you want to submit data")) == QMessageBox::Yes;
}

int RecordDialogBase::nextKey(const QString &generator)
{
    QSqlQuery *query = m_dataSource->query();
    query->clear();
    query->exec(QStringLiteral("select gen_id(%1, 1) from RDB$DATABASE").arg(generator));
    if (!query->first()) {
        qCDebug(velloranLog) << query->lastError().text();
        query->clear();
        MsgBox::information(this, tr("database error"));
        return -1;
    }
    const int key = query->value(0).toInt();
    query->clear();
    return key;
}

bool RecordDialogBase::submitMapper(const QString &failure)
{
    if (!textsFitColumns())
        return false;
    if (m_mapper->submit())
        return true;
    QString text = failure.isEmpty() ? tr("Unable to submit data") : failure;
    if (auto *model = qobject_cast<QSqlQueryModel *>(m_mapper->model())) {
        qCDebug(velloranLog) << model->lastError().text();
        if (model->lastError().isValid())
            text = QStringLiteral("%1: %2").arg(text, model->lastError().text().trimmed());
    }
    MsgBox::information(this, text);
    return false;
}

bool RecordDialogBase::submitRecord(QAbstractItemModel *model, int row, bool isNew, const QString &generator,
                                    int keyColumn, int *newKey)
{
    if (!confirmSubmit())
        return false;
    if (isNew) {
        const int key = nextKey(generator);
        if (key < 0)
            return false;
        if (newKey)
            *newKey = key;
        XDataSource::setCellValue(model, keyColumn, row, key);
    }
    if (!submitMapper())
        return false;
    QDialog::accept();
    return true;
}
