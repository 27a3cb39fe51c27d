#include "properties/buildingsform.h"
#include "ui_buildingsform.h"
#include "datahub/rowlookup.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "properties/buildingsdialog.h"
#include "reports/tibernereport.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringListModel>

namespace {
// Per Field entry: the expression of the list filter (the owner code comes through the relation) and
// the one of the report statement, which names its tables b and o.
const char *const filterColumns[] = {"buildings.Description", "buildings.Address", "buildings.City",
                                     "buildings.Tel",         "Code",              "buildings.Manager"};
const char *const reportColumns[] = {"b.Description", "b.Address", "b.City", "b.Tel", "o.Code", "b.Manager"};
}

BuildingsForm::BuildingsForm(XDataSource *dataSource, QWidget *parent)
    : QWidget(parent)
    , ListFormBase(this)
    , ui(new Ui::BuildingsForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    QSqlDoubleRelationalTableModel *model = dataSource->buildingsModel();
    setListModel(model, ui->tableView);

    model->setHeaderData(13, Qt::Horizontal, tr("MARKET VALUE"));
    model->setHeaderData(17, Qt::Horizontal, tr("OWNER CODE"));
    model->setHeaderData(14, Qt::Horizontal, tr("MANAGER'S TEL"));

    QHeaderView *header = ui->tableView->horizontalHeader();
    header->swapSections(0, 17);
    header->swapSections(5, 9);
    header->swapSections(13, 14);

    for (int column : {1, 2})
        ui->tableView->setColumnWidth(column, 200);
    for (int column : {3, 4, 9, 17, 5, 13, 14})
        ui->tableView->setColumnWidth(column, 150);
    showOnlyColumns(ui->tableView, {1, 2, 3, 4, 5, 9, 13, 14, 17});
    setupListView(ui->tableView);

    setSearchFields(ui->comboBox, fieldModel,
                    {tr("Description"), tr("Address"), tr("City"), tr("Tel"), tr("Owner Code"), tr("Manager")});
    setSearch(ui->lineEdit, [this] { search(); });
}

BuildingsForm::~BuildingsForm()
{
    delete ui;
}

void BuildingsForm::closeEvent(QCloseEvent *event)
{
    // The main window keeps this page for the whole run.
    event->ignore();
}

QDialog *BuildingsForm::createEditor(int row)
{
    return new BuildingsDialog(dataSource, row, this);
}

void BuildingsForm::editorAccepted(QDialog *editor)
{
    if (static_cast<BuildingsDialog *>(editor)->descriptionChanged())
        descriptionChanged = true;
}

bool BuildingsForm::canDeleteRow(int row)
{
    // The apartments of a building would be left pointing at nothing.
    const int key = listModel()->record(row).value(QStringLiteral("buildid")).toInt();
    return RowLookup::nothingInTheWay(this, dataSource->query(),
                                      QStringLiteral("select apid from apartments where bid = ?"), {key},
                                      tr("You cannot delete this record because at least one apartment has been "
                                         "assigned to it"));
}

void BuildingsForm::editCurrentBuilding()
{
    editCurrentRecord();
}

void BuildingsForm::search()
{
    const int field = qBound(0, ui->comboBox->currentIndex(), 5);
    applySearch(QString::fromLatin1(filterColumns[field]).toUpper(), ui->lineEdit->text());
}

void BuildingsForm::on_pushButton_7_clicked()
{
    clearSearch();
}

void BuildingsForm::on_pushButton_clicked()
{
    addRecord();
    // Also after a cancelled editor: the apartments page re-reads its tree either way.
    emit dataSource->buildingsChanged();
}

void BuildingsForm::on_pushButton_2_clicked()
{
    descriptionChanged = false;
    editCurrentBuilding();
    if (descriptionChanged)
        emit dataSource->buildingsChanged();
}

void BuildingsForm::on_pushButton_3_clicked()
{
    if (deleteCurrentRecord())
        emit dataSource->buildingsChanged();
}

void BuildingsForm::on_pushButton_4_clicked()
{
    if (!mayPrintReports(this, dataSource))
        return;
    const int field = qBound(0, ui->comboBox->currentIndex(), 5);
    const QString condition = reportCondition(QLatin1String(reportColumns[field]), ui->lineEdit->text(),
                                              listModel()->filter());
    QSqlDoubleQueryModel *report = dataSource->reportQueryModel();
    report->clear();
    report->setQuery(QStringLiteral("select * from buildings b  inner join owners o  on o.oid = b.oid %1  "
                                    "order by b.description asc")
                         .arg(condition),
                     QSqlDatabase::database());
    if (TiberneReport *reports = dataSource->reportGenerator())
        reports->printBuildings(report);
}

void BuildingsForm::on_tableView_doubleClicked(const QModelIndex &)
{
    on_pushButton_2_clicked();
}
