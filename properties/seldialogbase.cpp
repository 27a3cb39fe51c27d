#include "properties/seldialogbase.h"

#include "datahub/listformbase.h"
#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSqlRecord>
#include <QStringListModel>
#include <QTableView>
#include <QTimer>

SelDialogBase::SelDialogBase(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , dataSource(dataSource)
    , m_fieldModel(new QStringListModel(this))
{
}

SelDialogBase::~SelDialogBase() = default;

void SelDialogBase::setupPicker(QComboBox *comboBox, QLineEdit *lineEdit, QTableView *tableView, const Setup &setup)
{
    m_comboBox = comboBox;
    m_lineEdit = lineEdit;
    m_tableView = tableView;
    m_searchColumns = setup.searchColumns;
    m_baseQuery = setup.baseQuery;

    setWindowTitle(setup.title);
    ListFormBase::setSearchFields(comboBox, m_fieldModel, setup.fieldLabels);
    m_searchTimer = ListFormBase::followTyping(lineEdit, [this] { search(); });
    lineEdit->setFocus();

    // The model is shared with other pickers and the payment history: it simply gets this statement.
    QSqlDoubleQueryModel *model = dataSource->selectQueryModel();
    model->clear();
    model->setQuery(m_baseQuery, QSqlDatabase::database());

    tableView->setModel(model);
    const QList<int> hidden = setup.hiddenColumns;
    auto hideColumns = [tableView, hidden]() {
        for (int column : hidden)
            tableView->setColumnHidden(column, true);
    };
    hideColumns();
    connect(model, &QSqlDoubleQueryModel::queryChanged, this, hideColumns);
    ListFormBase::setupListView(tableView);
    for (auto it = setup.headers.cbegin(); it != setup.headers.cend(); ++it)
        model->setHeaderData(it.key(), Qt::Horizontal, it.value());
}

void SelDialogBase::accept()
{
    const QModelIndex current = m_tableView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("You have not selected a valid record."));
        return;
    }
    takeResult(dataSource->selectQueryModel()->record(current.row()));
    QDialog::accept();
}

void SelDialogBase::on_pushButton_7_clicked()
{
    m_searchTimer->stop();
    dataSource->selectQueryModel()->setQuery(m_baseQuery, QSqlDatabase::database());
}

void SelDialogBase::search()
{
    const QString column = m_searchColumns.value(m_comboBox->currentIndex(), m_searchColumns.value(0));
    const QString condition = ListFormBase::likeFilter(column, m_lineEdit->text());
    QSqlDoubleQueryModel *model = dataSource->selectQueryModel();
    model->setQuery(condition.isEmpty() ? m_baseQuery : QStringLiteral("%1 where %2").arg(m_baseQuery, condition),
                    QSqlDatabase::database());
    // The one record a search leaves is the one the clerk means: OK or Return takes it.
    if (model->rowCount() != 1 || model->canFetchMore())
        return;
    int shown = 0;
    while (shown + 1 < model->columnCount() && m_tableView->isColumnHidden(shown))
        ++shown;
    m_tableView->setCurrentIndex(model->index(0, shown));
}
