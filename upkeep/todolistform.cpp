#include "upkeep/todolistform.h"
#include "ui_todolistform.h"

#include "datahub/msgbox.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "upkeep/tododialog.h"

ToDoListForm::ToDoListForm(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ListFormBase(this)
    , ui(new Ui::ToDoListForm)
    , dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Todo List"));
    QUniversalSqlTableModel *model = dataSource->todoModel();
    setListModel(model, ui->tableView);

    model->setHeaderData(3, Qt::Horizontal, tr("DATE"), Qt::EditRole);
    model->setHeaderData(4, Qt::Horizontal, tr("PRIORITY"), Qt::EditRole);
    ui->tableView->setColumnWidth(1, 250);
    showOnlyColumns(ui->tableView, {1, 3, 4});
    setupListView(ui->tableView);

    ui->calendarWidget->setSelectedDate(Today::date());
    filterByDate(Today::date());
    ui->tableView->setFocus();
}

ToDoListForm::~ToDoListForm()
{
    delete ui;
}

QDialog *ToDoListForm::createEditor(int row)
{
    auto *editor = new TodoDialog(dataSource, row, this);
    editor->setDate(ui->calendarWidget->selectedDate());
    return editor;
}

void ToDoListForm::initNewRow(int row)
{
    XDataSource::setCellValue(dataSource->todoModel(), 3, row, ui->calendarWidget->selectedDate());
}

void ToDoListForm::editItem()
{
    editCurrentRecord();
}

void ToDoListForm::filterByDate(const QDate &date)
{
    listModel()->setFilter(QStringLiteral("tdate = '%1'").arg(XDataSource::toSqlDate(date)));
}

void ToDoListForm::on_pushButton_clicked()
{
    if (ui->calendarWidget->selectedDate() < Today::date()) {
        MsgBox::information(this, tr("Select today or a future date"));
        return;
    }
    addRecord();
}

void ToDoListForm::on_pushButton_2_clicked()
{
    editItem();
}

void ToDoListForm::on_pushButton_3_clicked()
{
    deleteCurrentRecord();
}

void ToDoListForm::on_pushButton_4_clicked()
{
    close();
}

void ToDoListForm::on_calendarWidget_clicked(const QDate &date)
{
    filterByDate(date);
}

void ToDoListForm::on_calendarWidget_activated(const QDate &date)
{
    filterByDate(date);
}

void ToDoListForm::on_pushButton_5_clicked()
{
    clearSearch();
}

void ToDoListForm::on_tableView_doubleClicked(const QModelIndex &)
{
    editItem();
}
