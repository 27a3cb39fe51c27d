#include "tenants/tenantsform.h"
#include "ui_tenantsform.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/rowlookup.h"
#include "datahub/xdatasource.h"
#include "money/depositsdialog.h"
#include "tenants/tenantdialog.h"

#include <QCloseEvent>
#include <QDebug>
#include <QHeaderView>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringListModel>

namespace {
// The Field combo's entries, in its order, as the filter names the columns.
const char *const filterColumns[] = {"ID", "Firstname", "Lastname", "Tel", "Company"};
}

// The security-deposit panel: a second list of the page, on the deposits model, whose rows are written
// one at a time in the model's own transaction.
class TenantsForm::DepositsList : public ListFormBase
{
public:
    DepositsList(TenantsForm *page, XDataSource *dataSource, QTableView *view)
        : ListFormBase(page)
        , page(page)
        , dataSource(dataSource)
    {
        setListModel(dataSource->depositsModel(), view);
    }

    using ListFormBase::addRecord;
    using ListFormBase::deleteCurrentRecord;
    using ListFormBase::editCurrentRecord;

protected:
    QDialog *createEditor(int row) override { return new DepositsDialog(dataSource, row, page); }
    void prepareNewRow(int row) override
    {
        // The key stays empty: the table fills it when the row is written.
        XDataSource::setCellValue(listModel(), 1, row, page->currentTenantKey());
    }

private:
    TenantsForm *page;
    XDataSource *dataSource;
};

TenantsForm::TenantsForm(XDataSource *dataSource, QWidget *parent)
    : QWidget(parent)
    , ListFormBase(this)
    , ui(new Ui::TenantsForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    SqlTenantsModel *tenants = dataSource->tenantsModel();
    setListModel(tenants, ui->tableView);
    // The editor writes vehicles, pets, occupants and the wait list while it is open; they must stand
    // or fall with the tenant.
    setHeldTransaction(true);
    connect(ui->tableView, &QCustomTableView::indexChanged, this, &TenantsForm::arrowEvent);

    tenants->setHeaderData(8, Qt::Horizontal, tr("ZIP/POSTAL CODE"), Qt::EditRole);
    tenants->setHeaderData(10, Qt::Horizontal, tr("DRIVER'S LICENSE"), Qt::EditRole);
    ui->tableView->setColumnWidth(5, 200);
    ui->tableView->setColumnWidth(8, 150);
    ui->tableView->setColumnWidth(10, 150);
    showOnlyColumns(ui->tableView, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    setupListView(ui->tableView);

    setSearchFields(ui->comboBox, fieldModel, {tr("ID"), tr("Firstname"), tr("Lastname"), tr("Tel"), tr("Company")});
    setSearch(ui->lineEdit, [this] { search(); });

    // No tenant is current yet, so the panel starts empty.
    showDeposits(currentTenantKey());

    deposits.reset(new DepositsList(this, dataSource, ui->tableView_2));
    SqlDoubleTableModel *depositsModel = dataSource->depositsModel();
    ui->tableView_2->horizontalHeader()->swapSections(4, 5);
    depositsModel->setHeaderData(2, Qt::Horizontal, tr("PAYMENT DATE"), Qt::EditRole);
    depositsModel->setHeaderData(5, Qt::Horizontal, tr("PAYMENT METHOD"), Qt::EditRole);
    ui->tableView_2->setColumnWidth(2, 150);
    ui->tableView_2->setColumnWidth(4, 350);
    ui->tableView_2->setColumnWidth(5, 150);
    showOnlyColumns(ui->tableView_2, {2, 3, 4, 5});
    setupListView(ui->tableView_2);
}

TenantsForm::~TenantsForm()
{
    delete ui;
}

void TenantsForm::closeEvent(QCloseEvent *event)
{
    // The main window keeps this page for the whole run.
    event->ignore();
}

int TenantsForm::currentTenantKey() const
{
    const QModelIndex current = ui->tableView->currentIndex();
    return listModel()->index(current.row(), 0).data(Qt::EditRole).toInt();
}

void TenantsForm::showDeposits(const QVariant &tenantKey)
{
    dataSource->depositsModel()->setFilter(QStringLiteral("TID=%1").arg(tenantKey.toInt()));
}

// ---- Search

void TenantsForm::search()
{
    const int field = qBound(0, ui->comboBox->currentIndex(), 4);
    applySearch(QLatin1String(filterColumns[field]), ui->lineEdit->text());
    ui->tableView->setCurrentIndex(listModel()->index(0, 0));
}

void TenantsForm::on_pushButton_7_clicked()
{
    clearSearch();
}

// ---- Tenants

QDialog *TenantsForm::createEditor(int row)
{
    return new TenantDialog(dataSource, row, this);
}

void TenantsForm::runTenantDialog()
{
    if (!editCurrentRecord())
        return;
    dataSource->waitlistModel()->setFilter(dataSource->waitlistModel()->filter());
}

void TenantsForm::on_pushButton_clicked()
{
    if (addRecord())
        dataSource->waitlistModel()->setFilter(dataSource->waitlistModel()->filter());
}

void TenantsForm::on_pushButton_2_clicked()
{
    runTenantDialog();
}

void TenantsForm::on_tableView_doubleClicked(const QModelIndex &)
{
    runTenantDialog();
}

bool TenantsForm::canDeleteRow(int row)
{
    const int key = listModel()->record(row).value(QStringLiteral("tid")).toInt();
    qCDebug(velloranLog) << "tID: " << key;
    // Each row that still names the tenant would name nobody once the tenant is gone; the first one
    // found says why the tenant stays.
    const QList<RowLookup::Guard> guards = {
        {QStringLiteral("select tid, agreeid from apartments where tid = ? and agreeid > 0"),
         tr("You cannot delete this record because there is a valid rental agreement associated with it?")},
        {QStringLiteral("select apid from apartments where tid = ?"),
         tr("You cannot delete this tenant: an apartment still has this tenant as its tenant.")},
        {QStringLiteral("select chid from charges where tid = ? and amt > 0"),
         tr("You cannot delete this tenant: the tenant still owes open charges. Collect the rent or "
            "delete the charges first.")},
        {QStringLiteral("select depid from deposits where tid = ? and amount > 0"),
         tr("You cannot delete this tenant: a security deposit is still held for this tenant. Return "
            "the deposit first.")},
        {QStringLiteral("select tid from tenants where tid = ? and (exists (select chid from charges where tid = ?) "
                        "or exists (select transid from trans where tid = ?) or exists (select recid from recur "
                        "where tid = ?))"),
         tr("You cannot delete this tenant: charges, payments or recurring bills of this tenant are "
            "kept in the books.")},
    };
    return RowLookup::nothingNames(this, dataSource->query(), guards, key);
}

QString TenantsForm::deleteQuestion() const
{
    return tr("Deleting this tenant will delete all occupants, pets, vehicles, and security deposits associated "
              "with this tenant record. Are you sure you want to continue?");
}

bool TenantsForm::deleteDependentRows(int row)
{
    const int key = listModel()->record(row).value(QStringLiteral("tid")).toInt();
    static const char *const statements[] = {
        "delete from pets where tid=?",      "delete from vehicles where tid=?", "delete from occupants where tid=?",
        "delete from waitlist where tid=?", "delete from DEPOSITS where tid=?",
    };
    QSqlQuery *query = dataSource->query();
    bool deleted = true;
    for (const char *statement : statements) {
        query->clear();
        query->prepare(QLatin1String(statement));
        query->addBindValue(key);
        if (!query->exec()) {
            qCDebug(velloranLog) << query->lastError().text();
            deleted = false;
        }
    }
    query->clear();
    if (!deleted)
        MsgBox::information(this, tr("Error deleting tenant record. Changes would be rolled back"));
    return deleted;
}

void TenantsForm::on_pushButton_3_clicked()
{
    if (!deleteCurrentRecord())
        return;
    for (QSqlTableModel *model : {static_cast<QSqlTableModel *>(dataSource->petsModel()),
                                  static_cast<QSqlTableModel *>(dataSource->vehiclesModel()),
                                  static_cast<QSqlTableModel *>(dataSource->occupantsModel()),
                                  static_cast<QSqlTableModel *>(dataSource->waitlistModel())})
        model->setFilter(model->filter());
    showDeposits(currentTenantKey());
}

// ---- Deposits of the current tenant

void TenantsForm::on_tableView_activated(const QModelIndex &index)
{
    showDeposits(listModel()->record(index.row()).value(QStringLiteral("TID")));
}

void TenantsForm::on_tableView_clicked(const QModelIndex &index)
{
    showDeposits(listModel()->record(index.row()).value(QStringLiteral("TID")));
}

void TenantsForm::arrowEvent(const QModelIndex &)
{
    showDeposits(currentTenantKey());
}

void TenantsForm::on_pushButton_5_clicked()
{
    if (!ui->tableView->currentIndex().isValid()) {
        MsgBox::information(this, tr("You haven't selected a valid tenant record"));
        return;
    }
    deposits->addRecord();
}

void TenantsForm::editDeposit()
{
    deposits->editCurrentRecord();
}

void TenantsForm::on_pushButton_8_clicked()
{
    editDeposit();
}

void TenantsForm::on_tableView_2_doubleClicked(const QModelIndex &)
{
    editDeposit();
}

void TenantsForm::on_pushButton_9_clicked()
{
    if (!ui->tableView_2->currentIndex().isValid()) {
        MsgBox::information(this, tr("You haven't selected a valid security deposit record"));
        return;
    }
    deposits->deleteCurrentRecord();
}

void TenantsForm::on_tableView_2_activated(const QModelIndex &)
{
}
