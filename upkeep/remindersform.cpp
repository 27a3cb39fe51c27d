#include "upkeep/remindersform.h"
#include "ui_remindersform.h"

#include "datahub/shortdate.h"
#include "datahub/xdatasource.h"
#include "upkeep/reminderdialog.h"

#include <QHeaderView>
#include <QStringListModel>

namespace {
// Per Field entry, the column the search compares; the last one is searched by day, not by text.
const char *const searchColumns[] = {"Title", "Description", "tDate"};
const int DateField = 2;
}

RemindersForm::RemindersForm(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ListFormBase(this)
    , ui(new Ui::RemindersForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    setWindowTitle(tr("Reminders"));
    QSuperSqlTableModel *model = dataSource->remindersModel();
    setListModel(model, ui->tableView);
    ui->pushButton_4->hide();

    model->setHeaderData(3, Qt::Horizontal, tr("DATE"), Qt::EditRole);
    ui->tableView->setColumnWidth(1, 240);
    ui->tableView->setColumnWidth(2, 400);
    ui->tableView->horizontalHeader()->swapSections(2, 3);
    showOnlyColumns(ui->tableView, {1, 2, 3});
    setupListView(ui->tableView);

    setSearchFields(ui->comboBox, fieldModel, {tr("Title"), tr("Description"), tr("Date")});
    setSearch(ui->lineEdit, [this] { search(); });
    ui->tableView->setFocus();
}

RemindersForm::~RemindersForm()
{
    delete ui;
}

QDialog *RemindersForm::createEditor(int row)
{
    return new ReminderDialog(dataSource, row, this);
}

void RemindersForm::editReminder()
{
    editCurrentRecord();
}

void RemindersForm::on_pushButton_5_clicked()
{
    close();
}

void RemindersForm::on_pushButton_clicked()
{
    addRecord();
}

void RemindersForm::on_pushButton_3_clicked()
{
    deleteCurrentRecord();
}

void RemindersForm::on_pushButton_2_clicked()
{
    editReminder();
}

void RemindersForm::on_pushButton_4_clicked()
{
    // The button is hidden: there is no reminders report.
}

void RemindersForm::on_pushButton_7_clicked()
{
    clearSearch();
}

void RemindersForm::search()
{
    const int field = qBound(0, ui->comboBox->currentIndex(), 2);
    const QString column = QLatin1String(searchColumns[field]);
    if (field != DateField || ui->lineEdit->text().trimmed().isEmpty()) {
        applySearch(column, ui->lineEdit->text());
        return;
    }
    // Half a date finds nothing; the list stays as it was until the date is complete.
    const QDate day = ShortDate::fromText(ui->lineEdit->text());
    if (!day.isValid())
        return;
    listModel()->setFilter(QStringLiteral("%1='%2'").arg(column, XDataSource::toSqlDate(day)));
}

void RemindersForm::on_tableView_doubleClicked(const QModelIndex &)
{
    editReminder();
}
