#include "properties/ownersform.h"
#include "ui_ownersform.h"
#include "datahub/rowlookup.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "properties/ownerform.h"
#include "reports/tibernereport.h"
#include "datahub/debuglog.h"

#include <QCloseEvent>
#include <QDebug>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringListModel>

namespace {
// The Field combo's entries name the columns directly: list filter and report alike.
const char *const filterColumns[] = {"Code", "Name", "Email", "Address", "City", "State", "Zip", "Tel"};
const char *const reportColumns[] = {"o.Code", "o.Name", "o.Email", "o.Address",
                                     "o.City", "o.State", "o.Zip",   "o.Tel"};
}

OwnersForm::OwnersForm(XDataSource *dataSource, QWidget *parent)
    : QWidget(parent)
    , ListFormBase(this)
    , ui(new Ui::OwnersForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    setListModel(dataSource->ownersModel(), ui->tableView);
    showOnlyColumns(ui->tableView, {1, 2, 3, 4, 5, 6, 7, 13});
    setupListView(ui->tableView);

    setSearchFields(ui->comboBox, fieldModel,
                    {tr("Code"), tr("Name"), tr("Email"), tr("Address"), tr("City"), tr("State"), tr("Zip"),
                     tr("Tel")});
    setSearch(ui->lineEdit, [this] { search(); });
}

OwnersForm::~OwnersForm()
{
    delete ui;
}

void OwnersForm::closeEvent(QCloseEvent *event)
{
    // The main window keeps this page for the whole run.
    event->ignore();
}

QDialog *OwnersForm::createEditor(int row)
{
    return new OwnerForm(dataSource, row, this);
}

bool OwnersForm::canDeleteRow(int row)
{
    const int key = listModel()->record(row).value(QStringLiteral("oid")).toInt();
    qCDebug(velloranLog) << "ID: " << key;
    return RowLookup::nothingInTheWay(this, dataSource->query(), QStringLiteral("select * from buildings where oid = ?"),
                                      {key},
                                      tr("You cannot delete this record because at least one building has been "
                                         "assigned to it"));
}

// The apartments page shows every owner in its tree: it re-reads the tree whenever an owner comes,
// changes or goes.
void OwnersForm::on_pushButton_3_clicked()
{
    if (deleteCurrentRecord())
        dataSource->refreshBuildings();
}

void OwnersForm::on_pushButton_clicked()
{
    const int row = listModel()->rowCount();
    if (addRecord()) {
        qCDebug(velloranLog) << "oid: " << listModel()->index(row, 0).data();
        dataSource->refreshBuildings();
    }
}

void OwnersForm::on_pushButton_2_clicked()
{
    if (editCurrentRecord())
        dataSource->refreshBuildings();
}

void OwnersForm::search()
{
    const int field = qBound(0, ui->comboBox->currentIndex(), 7);
    applySearch(QLatin1String(filterColumns[field]), ui->lineEdit->text());
}

void OwnersForm::on_pushButton_5_clicked()
{
    clearSearch();
}

void OwnersForm::on_tableView_doubleClicked(const QModelIndex &)
{
    on_pushButton_2_clicked();
}

void OwnersForm::on_pushButton_4_clicked()
{
    if (!mayPrintReports(this, dataSource))
        return;
    const int field = qBound(0, ui->comboBox->currentIndex(), 7);
    const QString condition = reportCondition(QLatin1String(reportColumns[field]), ui->lineEdit->text(),
                                              listModel()->filter());
    QSqlDoubleQueryModel *report = dataSource->reportQueryModel();
    report->clear();
    report->setQuery(QStringLiteral("select b.description, b.address, b.city, b.provstate, b.tel, b.apartments,  "
                                    "o.code, o.name, o.address, o.city, o.zip, o.state, o.tel, o.fax, o. email "
                                    "from  owners o  left join buildings b  on o.oid = b.oid  %1  "
                                    "order by o.code asc, b.description asc")
                         .arg(condition),
                     QSqlDatabase::database());
    if (TiberneReport *reports = dataSource->reportGenerator())
        reports->printOwners(report, QString());
}
