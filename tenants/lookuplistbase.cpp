#include "tenants/lookuplistbase.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/textfold.h"
#include "datahub/xdatasource.h"

#include <QDebug>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>

LookupListBase::LookupListBase(QWidget *window, XDataSource *dataSource)
    : ListFormBase(window)
    , m_window(window)
    , m_dataSource(dataSource)
{
}

void LookupListBase::setupList(QSuperSqlTableModel *model, QTableView *view, QLineEdit *lineEdit, const Setup &setup)
{
    m_lineEdit = lineEdit;
    m_setup = setup;
    setListModel(model, view);
    model->setSort(1, Qt::AscendingOrder);
    model->setHeaderData(1, Qt::Horizontal, setup.header, Qt::EditRole);
    view->setColumnWidth(1, 400);
    showOnlyColumns(view, {1});
    setupListView(view);
    lineEdit->setFocus();
}

QDialog *LookupListBase::createEditor(int)
{
    return nullptr;
}

void LookupListBase::insertName()
{
    const QString name = m_lineEdit->text().trimmed();
    if (name.isEmpty())
        return;

    QSqlQuery *query = m_dataSource->query();
    query->clear();
    query->prepare(QStringLiteral("select name from %1 where %2")
                       .arg(m_setup.table, TextFold::sameText(m_setup.table, QStringLiteral("name"))));
    query->addBindValue(name);
    if (!query->exec())
        qCDebug(velloranLog) << query->lastError().text();
    const bool exists = query->first();
    query->clear();
    if (exists) {
        MsgBox::information(m_window, m_setup.duplicateMessage);
        return;
    }

    QSqlTableModel *model = listModel();
    const int row = model->rowCount();
    if (!model->insertRows(row, 1)) {
        MsgBox::information(m_window, tr("Unable to add new record"));
        return;
    }
    listView()->setCurrentIndex(model->index(row, 0));
    XDataSource::setCellValue(model, 1, row, name);
    // The key is left out of the insert: the table's trigger draws it.
    if (!static_cast<QSuperSqlTableModel *>(model)->submitRowInView(row, true, false, listView())) {
        MsgBox::information(m_window, tr("Unable to submit data"));
        return;
    }
    m_lineEdit->clear();
    m_lineEdit->setFocus();
}

void LookupListBase::deleteName()
{
    deleteCurrentRecord();
    m_lineEdit->setFocus();
}
