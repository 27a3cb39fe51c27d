#include "upkeep/maintenancedialog.h"
#include "ui_maintenancedialog.h"
#include "datahub/debuglog.h"

#include "datahub/xdatasource.h"
#include "reports/tibernereport.h"
#include "upkeep/maintenanceitemdialog.h"

#include <QDebug>
#include <QStringListModel>

namespace {
// Per Field entry, the column the list's search compares and the one of the printed log's statement,
// which names the maintenance table m.
const char *const searchColumns[] = {"Description", "Typex", "Status", "Priority"};
const char *const reportColumns[] = {"m.description", "m.typex", "m.status", "m.priority"};
}

MaintenanceDialog::MaintenanceDialog(XDataSource *dataSource, int apid, QWidget *parent)
    : QDialog(parent)
    , ListFormBase(this)
    , ui(new Ui::MaintenanceDialog)
    , dataSource(dataSource)
    , apid(apid)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    setWindowTitle(tr("Maintenance Log For Apartment"));

    QSqlDoubleRelationalTableModel *model = dataSource->maintenanceModel();
    model->setFilter(apartmentFilter());
    setListModel(model, ui->tableView);
    showOnlyColumns(ui->tableView, {1, 2, 3, 4, 5, 6, 7});
    model->setHeaderData(7, Qt::Horizontal, tr("VENDOR"));
    model->setHeaderData(1, Qt::Horizontal, tr("DATE"));
    model->setHeaderData(3, Qt::Horizontal, tr("TYPE"));
    ui->tableView->setColumnWidth(2, 200);
    ui->tableView->setColumnWidth(3, 200);
    setupListView(ui->tableView);

    setSearchFields(ui->comboBox, fieldModel, {tr("Description"), tr("Type"), tr("Status"), tr("Priority")});
    ui->tableView->setFocus();
}

MaintenanceDialog::~MaintenanceDialog()
{
    delete ui;
}

QString MaintenanceDialog::apartmentFilter() const
{
    return QStringLiteral("apid = %1").arg(apid);
}

QDialog *MaintenanceDialog::createEditor(int row)
{
    return new MaintenanceItemDialog(dataSource, row, this);
}

void MaintenanceDialog::initNewRow(int row)
{
    XDataSource::setCellValue(dataSource->maintenanceModel(), 12, row, apid);
}

void MaintenanceDialog::editEntry()
{
    editCurrentRecord();
}

void MaintenanceDialog::on_pushButton_5_clicked()
{
    close();
}

void MaintenanceDialog::on_pushButton_clicked()
{
    addRecord();
}

void MaintenanceDialog::on_pushButton_3_clicked()
{
    deleteCurrentRecord();
}

void MaintenanceDialog::on_pushButton_2_clicked()
{
    editEntry();
}

void MaintenanceDialog::on_pushButton_4_clicked()
{
    if (!mayPrintReports(this, dataSource))
        return;
    // The printout lists what the log shows: the whole log, or the entries the search finds.
    QString where = QStringLiteral(" where m.apid = %1").arg(apid);
    if (listModel()->filter() != apartmentFilter()) {
        const int field = qBound(0, ui->comboBox->currentIndex(), 3);
        const QString like = likeFilter(QLatin1String(reportColumns[field]), ui->lineEdit->text());
        if (!like.isEmpty())
            where = QStringLiteral(" where m.apid=%1 and %2").arg(apid).arg(like);
    }
    QSqlDoubleQueryModel *report = dataSource->reportQueryModel();
    report->clear();
    report->setQuery(QStringLiteral("select m.ldate, m.description, m.typex, m.status,  m.priority, m.cost, v.name "
                                    "from maintenance m  left join vendors v  on m.vendor = v.vid %1 order by "
                                    "m.ldate asc")
                         .arg(where),
                     QSqlDatabase::database());

    QStringList headings;
    QSqlQuery *query = dataSource->query();
    query->clear();
    query->prepare(QStringLiteral("select b.description, a.suite from apartments a inner join buildings b  on "
                                  "a.bid = b.buildid  where a.apid = ?"));
    query->addBindValue(apid);
    if (query->exec() && query->first())
        headings << query->value(0).toString() << query->value(1).toString();
    query->clear();

    if (TiberneReport *reports = dataSource->reportGenerator())
        reports->printMaintenance(report, headings);
}

void MaintenanceDialog::on_pushButton_7_clicked()
{
    listModel()->setFilter(apartmentFilter());
}

void MaintenanceDialog::on_lineEdit_textChanged(const QString &)
{
    const int field = qBound(0, ui->comboBox->currentIndex(), 3);
    const QString like = likeFilter(QLatin1String(searchColumns[field]), ui->lineEdit->text());
    if (like.isEmpty()) {
        listModel()->setFilter(apartmentFilter());
        return;
    }
    const QString filter = QStringLiteral("apid=%1 and %2").arg(apid).arg(like);
    qCDebug(velloranLog) << "query: " << filter;
    listModel()->setFilter(filter);
}

void MaintenanceDialog::on_tableView_doubleClicked(const QModelIndex &)
{
    editEntry();
}
