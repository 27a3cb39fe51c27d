#include "datahub/recorddialogbase.h"
#include "datahub/rowlookup.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "datahub/debuglog.h"

#include <QDataWidgetMapper>
#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QSqlTableModel>

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
    return m_mapper;
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
    if (m_mapper->submit())
        return true;
    if (auto *model = qobject_cast<QSqlQueryModel *>(m_mapper->model()))
        qCDebug(velloranLog) << model->lastError().text();
    MsgBox::information(this, failure.isEmpty() ? tr("Unable to submit data") : failure);
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
