#include "reports/chooselistdialog.h"
#include "ui_chooselistdialog.h"
#include "datahub/debuglog.h"

#include "datahub/xdatasource.h"

#include <QDebug>
#include <QItemSelectionModel>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringListModel>

ChooseListDialog::ChooseListDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ChooseListDialog)
{
    ui->setupUi(this);
}

ChooseListDialog::~ChooseListDialog()
{
    delete ui;
}

void ChooseListDialog::setTexts(const QString &title, const QString &label)
{
    setWindowTitle(title);
    ui->label->setText(label);
}

void ChooseListDialog::showItems(const QStringList &items)
{
    QStringListModel *previous = listModel;
    QItemSelectionModel *previousSelection = ui->listView->selectionModel();
    listModel = new QStringListModel(items, this);
    ui->listView->setModel(listModel);
    delete previousSelection;
    delete previous;
}

void ChooseListDialog::showRecords(XDataSource *dataSource, const QString &sql, QStringList items, QVector<int> &ids)
{
    QSqlQuery *query = dataSource->query();
    query->clear();
    if (query->exec(sql)) {
        while (query->next()) {
            ids.append(query->value(0).toInt());
            items.append(query->value(1).toString());
        }
    } else {
        qCDebug(velloranLog) << query->lastError().text();
    }
    query->clear();
    showItems(items);
}

QVector<int> ChooseListDialog::selectedRows() const
{
    QVector<int> rows;
    if (!ui->listView->selectionModel())
        return rows;
    const QModelIndexList selected = ui->listView->selectionModel()->selectedRows();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    return rows;
}
