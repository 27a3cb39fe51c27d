#include "datahub/namelistform.h"

#include "datahub/msgbox.h"
#include "datahub/qsupersqltablemodel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStringListModel>
#include <QTableView>

namespace {
// The search columns, by the position of their label in the Field combo.
const char *const filterColumns[] = {"Name", "Description"};
}

NameListForm::NameListForm(QWidget *parent)
    : QDialog(parent)
    , ListFormBase(this)
    , m_fieldModel(new QStringListModel(this))
{
}

NameListForm::~NameListForm() = default;

void NameListForm::setupNameList(QSuperSqlTableModel *model, QTableView *view, QComboBox *fields, QLineEdit *search)
{
    m_fields = fields;
    m_search = search;
    model->setFilter(QString());
    setListModel(model, view);
    showOnlyColumns(view, {1, 2, 3});
    view->setColumnWidth(1, 150);
    view->setColumnWidth(2, 300);
    setupListView(view);

    setSearchFields(fields, m_fieldModel, {tr("Name"), tr("Description")});
    setSearch(m_search, [this] { this->search(); });
    view->setFocus();
}

bool NameListForm::canEditRow(int row)
{
    if (!isProtectedRow(row))
        return true;
    MsgBox::information(this, protectedEditMessage());
    return false;
}

bool NameListForm::canDeleteRow(int row)
{
    if (!isProtectedRow(row))
        return true;
    MsgBox::information(this, protectedDeleteMessage());
    return false;
}

void NameListForm::on_pushButton_5_clicked()
{
    close();
}

void NameListForm::on_pushButton_clicked()
{
    addRecord();
}

void NameListForm::on_pushButton_3_clicked()
{
    deleteCurrentRecord();
}

void NameListForm::on_pushButton_2_clicked()
{
    editCurrentRecord();
}

void NameListForm::on_pushButton_4_clicked()
{
}

void NameListForm::on_pushButton_7_clicked()
{
    clearSearch();
}

void NameListForm::search()
{
    const int field = qBound(0, m_fields->currentIndex(), 1);
    applySearch(QLatin1String(filterColumns[field]), m_search->text());
}

void NameListForm::on_tableView_doubleClicked(const QModelIndex &)
{
    editCurrentRecord();
}
