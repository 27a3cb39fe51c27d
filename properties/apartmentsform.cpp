#include "properties/apartmentsform.h"
#include "ui_apartmentsform.h"

#include "datahub/listformbase.h"
#include "datahub/listitemdelegate.h"
#include "datahub/msgbox.h"
#include "datahub/rowlookup.h"
#include "datahub/scopedtransaction.h"
#include "datahub/xdatasource.h"
#include "money/leasewrite.h"
#include "money/recurdialog.h"
#include "properties/apartmentsdialog.h"
#include "reports/tibernereport.h"
#include "upkeep/maintenancedialog.h"
#include "datahub/debuglog.h"

#include <QCloseEvent>
#include <QDebug>
#include <QHash>
#include "tenants/agreementsdialog.h"
#include <QException>
#include <QHeaderView>
#include <QMenu>
#include <QSqlError>
#include <QSqlRecord>
#include <QStringListModel>
#include <QTimer>
#include <QTreeWidgetItemIterator>

namespace {
const int OwnerRole = Qt::UserRole;
const int BuildingRole = Qt::UserRole + 1;

// Per Field entry, the column the search compares.
const char *const searchColumns[] = {"description", "suite", "t.firstname", "t.lastname", "company", "status"};

void reselect(QSqlTableModel *model)
{
    model->setFilter(model->filter());
}

// Columns of the agreements model that the lease editor fills, and of the recur model that a new
// bill starts with.
enum AgreementColumn { AgreementTenant = 1, AgreementApartment = 2, AgreementDamage = 3, AgreementRent = 4,
                       AgreementLateFee = 5, AgreementPerDay = 6, AgreementFrequency = 7, AgreementFirstDue = 8,
                       AgreementTerm = 9, AgreementStart = 10, AgreementEnd = 11, AgreementMoveIn = 12,
                       AgreementMoveOut = 13, AgreementNotes = 14, AgreementFirstPayment = 16 };
enum RecurColumn { RecurTenant = 9, RecurCompleted = 10, RecurApartment = 11 };
}

ApartmentsForm::ApartmentsForm(XDataSource *dataSource, QPrinter *printer, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ApartmentsForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
    , sharedPrinter(printer)
{
    ui->setupUi(this);
    searchTimer = ListFormBase::followTyping(ui->lineEdit, [this] { search(); }, ui->pushButton_10);
    ui->treeWidget->setColumnCount(1);
    ui->treeWidget->setHeaderLabels({QString()});
    // Every node is a line of text in one font: the tree need not measure each to know its height,
    // and its text is painted as the lists paint theirs.
    ui->treeWidget->setUniformRowHeights(true);
    ListItemDelegate::install(ui->treeWidget);
    refreshBuildings();

    connect(ui->tableView, &QCustomTableView::indexChanged, this, &ApartmentsForm::onIndexChanged);
    connect(dataSource, &XDataSource::buildingsChanged, this, &ApartmentsForm::refreshBuildings);
    connect(dataSource, &XDataSource::apartmentsRefresh, this, &ApartmentsForm::refreshApartments);

    baseQuery = QStringLiteral("select a.apid, a.tid, a.bid, b.description, a.suite, t.firstname||' '||t.lastname as "
                               "TENNAME, t.company,  a.squarefootage, a.bedrooms, a.bathrooms, a.floor,  a.status, "
                               "a.rent, a.agreeid from apartments a inner join buildings b on a.bid = b.buildid left "
                               "join tenants t on a.tid=t.tid ");

    QSqlDoubleQueryModel *list = dataSource->apartmentsQueryModel();
    ui->tableView->setModel(list);
    list->setHeaderData(3, Qt::Horizontal, tr("BUILDING"));
    list->setHeaderData(4, Qt::Horizontal, tr("APT/SUITE #"));
    list->setHeaderData(5, Qt::Horizontal, tr("TENANT"));
    list->setHeaderData(7, Qt::Horizontal, tr("SQ. FOOTAGE"));
    ui->tableView->setColumnWidth(3, 180);
    ui->tableView->setColumnWidth(5, 150);
    auto hideKeys = [this] {
        ListFormBase::showOnlyColumns(ui->tableView, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    };
    hideKeys();
    // A statement the database refuses leaves the list without columns; the keys must stay hidden
    // once it has them again.
    connect(list, &QSqlDoubleQueryModel::queryChanged, this, hideKeys);
    // A re-run list has no current row until one is chosen: the bills pane must not go on showing the
    // bills of an apartment that is no longer current.
    connect(list, &QSqlDoubleQueryModel::queryChanged, this,
            [this] { onIndexChanged(ui->tableView->currentIndex()); });
    ListFormBase::setupListView(ui->tableView);

    ListFormBase::setSearchFields(ui->comboBox, fieldModel,
                                  {tr("Building"), tr("Suite"), tr("Tenant Firstname"), tr("Tenant Lastname"),
                                   tr("Company"), tr("Status")});

    RecurModel *bills = dataSource->recurModel();
    ui->tableView_2->setModel(bills);
    bills->setHeaderData(4, Qt::Horizontal, tr("FREQUENCY"));
    bills->setHeaderData(5, Qt::Horizontal, tr("NEXT DATE"));
    bills->setHeaderData(6, Qt::Horizontal, tr("START DATE"));
    bills->setHeaderData(7, Qt::Horizontal, tr("END DATE"));
    QHeaderView *header = ui->tableView_2->horizontalHeader();
    header->swapSections(5, 6);
    header->swapSections(6, 7);
    ui->tableView_2->setColumnWidth(4, 150);
    ui->tableView_2->setColumnWidth(1, 150);
    ListFormBase::showOnlyColumns(ui->tableView_2, {1, 2, 4, 5, 6, 7, 10});
    ListFormBase::setupListView(ui->tableView_2);

    // The list model is shared and outlives the page: what an earlier page left on it (the last user's
    // search, before a log-off) is not what the empty box and the tree's marked top node say.
    showTreeNode(ui->treeWidget->topLevelItem(0));
}

ApartmentsForm::~ApartmentsForm()
{
    delete ui;
}

void ApartmentsForm::closeEvent(QCloseEvent *event)
{
    // The main window keeps this page for the whole run.
    event->ignore();
}

void ApartmentsForm::rerunList()
{
    QSqlDoubleQueryModel *list = dataSource->apartmentsQueryModel();
    list->setQuery(list->query().lastQuery(), QSqlDatabase::database());
}

void ApartmentsForm::selectApartment(int apid)
{
    QSqlDoubleQueryModel *list = dataSource->apartmentsQueryModel();
    const QModelIndexList hits = list->match(list->index(0, 0), Qt::DisplayRole, apid, 1, Qt::MatchExactly);
    if (!hits.isEmpty())
        ui->tableView->setCurrentIndex(hits.first());
}

int ApartmentsForm::currentApid() const
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (!current.isValid())
        return -1;
    return dataSource->apartmentsQueryModel()->record(current.row()).value(QStringLiteral("apid")).toInt();
}

void ApartmentsForm::fillOwnersTree()
{
    ui->treeWidget->clear();
    // One statement for the whole tree: a statement per owner costs more than the tree itself once an
    // office has a few hundred owners. The left join keeps the owners that have no building yet, and
    // walks the owners in their stored order with each owner's buildings right after him.
    QSqlQuery *query = dataSource->query();
    query->clear();
    query->setForwardOnly(true);
    query->exec(QStringLiteral("select o.oid, o.code, o.name, b.buildid, b.description from owners o "
                               "left join buildings b on b.oid = o.oid"));

    QList<QTreeWidgetItem *> items;
    auto *top = new QTreeWidgetItem(QStringList(tr("OWNERS")));
    top->setData(0, OwnerRole, -1);
    top->setData(0, BuildingRole, -1);
    items << top;
    const QBrush buildingBrush(QColor(QStringLiteral("Blue")));
    QHash<int, QTreeWidgetItem *> ownerItems;
    while (query->next()) {
        const int oid = query->value(0).toInt();
        QTreeWidgetItem *&owner = ownerItems[oid];
        if (!owner) {
            owner = new QTreeWidgetItem(top, QStringList(QStringLiteral("[%1] %2").arg(query->value(1).toString(),
                                                                                        query->value(2).toString())));
            owner->setData(0, OwnerRole, oid);
            owner->setData(0, BuildingRole, -1);
            items << owner;
        }
        if (query->isNull(3))
            continue;
        auto *building = new QTreeWidgetItem(owner, QStringList(query->value(4).toString()));
        building->setData(0, OwnerRole, oid);
        building->setData(0, BuildingRole, query->value(3).toInt());
        building->setForeground(0, buildingBrush);
        items << building;
    }
    query->clear();
    query->setForwardOnly(false);
    ui->treeWidget->insertTopLevelItems(0, {items.first()});
    ui->treeWidget->expandAll();
}

QTreeWidgetItem *ApartmentsForm::treeNode(int ownerId, int buildingId) const
{
    QTreeWidgetItem *top = ui->treeWidget->topLevelItem(0);
    if (!top || ownerId == -1)
        return top;
    for (QTreeWidgetItemIterator it(top); *it; ++it) {
        if ((*it)->data(0, OwnerRole).toInt() == ownerId && (*it)->data(0, BuildingRole).toInt() == buildingId)
            return *it;
    }
    return nullptr;
}

void ApartmentsForm::markTreeNode(QTreeWidgetItem *node)
{
    refreshing = true;
    ui->treeWidget->setCurrentItem(node);
    if (!node)
        ui->treeWidget->clearSelection();
    refreshing = false;
}

void ApartmentsForm::refreshBuildings()
{
    refreshing = true;
    fillOwnersTree();
    refreshing = false;
    // The refilled tree marks again the node whose apartments the list shows. A node that is gone with
    // its owner or building leaves nothing to narrow to: the list then shows every apartment.
    if (!listFollowsTree) {
        markTreeNode(nullptr);
        return;
    }
    QTreeWidgetItem *node = treeNode(listOwner, listBuilding);
    if (node) {
        markTreeNode(node);
        return;
    }
    showTreeNode(ui->treeWidget->topLevelItem(0));
}

void ApartmentsForm::reloadModels(int apid)
{
    reselect(dataSource->recurModel());
    reselect(dataSource->agreementsModel());
    reselect(dataSource->apartmentsModel());
    rerunList();
    selectApartment(apid);
}

void ApartmentsForm::refreshApartments()
{
    reloadModels(currentApid());
}

void ApartmentsForm::onIndexChanged(const QModelIndex &index)
{
    // Without a current apartment there are no bills to show.
    const int apid = index.isValid()
        ? dataSource->apartmentsQueryModel()->record(index.row()).value(QStringLiteral("apid")).toInt()
        : -1;
    // A deleted bill stays on record for what its line charged, but is no longer listed.
    const QString filter = QStringLiteral("apid = %1 and deletedon is null").arg(apid);
    if (dataSource->recurModel()->filter() != filter)
        dataSource->recurModel()->setFilter(filter);
}

void ApartmentsForm::on_treeWidget_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    if (refreshing || !current)
        return;
    narrowTo(current);
}

void ApartmentsForm::showTreeNode(QTreeWidgetItem *node)
{
    if (!node)
        return;
    markTreeNode(node);
    narrowTo(node);
}

void ApartmentsForm::narrowTo(QTreeWidgetItem *node)
{
    const int oid = node->data(0, OwnerRole).toInt();
    const int buildid = node->data(0, BuildingRole).toInt();
    // The node chosen last decides, not a search typed before it.
    searchTimer->stop();
    listFollowsTree = true;
    listOwner = oid;
    listBuilding = buildid;
    QString statement = baseQuery;
    if (oid != -1) {
        statement = QStringLiteral("%1 where oid = %2").arg(baseQuery).arg(oid);
        if (buildid != -1)
            statement = QStringLiteral("%1 AND bid = %2").arg(statement).arg(buildid);
    }
    dataSource->apartmentsQueryModel()->setQuery(statement, QSqlDatabase::database());
}

void ApartmentsForm::search()
{
    const int field = qBound(0, ui->comboBox->currentIndex(), 5);
    const QString condition = ListFormBase::likeFilter(QLatin1String(searchColumns[field]), ui->lineEdit->text());
    if (condition.isEmpty()) {
        // Nothing to look for: every apartment, as the tree's top node shows them.
        showTreeNode(ui->treeWidget->topLevelItem(0));
        return;
    }
    // The search replaces the tree's narrowing, so no node stays marked as if it still applied; a click
    // on any node narrows the list again.
    listFollowsTree = false;
    markTreeNode(nullptr);
    const QString statement = QStringLiteral("%1 where %2").arg(baseQuery, condition);
    qCDebug(velloranLog) << statement;
    dataSource->apartmentsQueryModel()->setQuery(statement, QSqlDatabase::database());
}

void ApartmentsForm::on_pushButton_9_clicked()
{
    // Every apartment, and the tree says so: its top node is marked, and a click on any other node
    // narrows the list again.
    showTreeNode(ui->treeWidget->topLevelItem(0));
}


void ApartmentsForm::on_pushButton_clicked()
{
    QTreeWidgetItem *node = ui->treeWidget->currentItem();
    const int buildid = node ? node->data(0, BuildingRole).toInt() : -1;
    if (buildid == -1) {
        MsgBox::information(this, tr("Select a valid building from the tree view"));
        return;
    }
    const int oid = node->data(0, OwnerRole).toInt();
    // The editor writes into this transaction (a tenant taken off the waiting list), so it is held
    // from before the editor opens until the apartment itself is written.
    ScopedTransaction transaction;
    if (!transaction.isActive()) {
        MsgBox::information(this, tr("Error inserting record. Unable to start transaction."));
        return;
    }
    SqlDoubleTableModel *model = dataSource->apartmentsModel();
    const int row = model->rowCount();
    if (!model->insertRows(row, 1)) {
        MsgBox::information(this, tr("Unable to add new record"));
        return;
    }
    XDataSource::setFieldValue(model, QStringLiteral("agreeid"), row, -1);
    runApartmentsDialog(model->index(row, 0), buildid, oid, transaction);
}

void ApartmentsForm::on_pushButton_2_clicked()
{
    if (!ui->tableView->currentIndex().isValid()) {
        MsgBox::information(this, tr("Select a valid apartment record from the apartments table view."));
        return;
    }
    const int apid = currentApid();
    SqlDoubleTableModel *model = dataSource->apartmentsModel();
    model->setFilter(QStringLiteral("apid = %1").arg(apid));
    if (model->rowCount() == 0) {
        model->setFilter(QString());
        rerunList();
        MsgBox::information(this, tr("could not locate record in apartments table."));
        return;
    }
    ScopedTransaction transaction;
    if (!transaction.isActive()) {
        model->setFilter(QString());
        MsgBox::information(this, tr("Error editing record. Unable to start transaction."));
        return;
    }
    const int bid = model->record(0).value(QStringLiteral("bid")).toInt();
    runApartmentsDialog(model->index(0, 0), bid, -1, transaction);
    model->setFilter(QString());
}

void ApartmentsForm::on_tableView_doubleClicked(const QModelIndex &)
{
    on_pushButton_2_clicked();
}

void ApartmentsForm::runApartmentsDialog(const QModelIndex &index, int buildingId, int ownerId,
                                         ScopedTransaction &transaction)
{
    SqlDoubleTableModel *model = dataSource->apartmentsModel();
    const int row = index.row();
    const bool isNew = model->QSqlTableModel::data(model->index(row, 0), Qt::EditRole).isNull();

    int apid = -1;
    for (;;) {
        auto *editor = new ApartmentsDialog(dataSource, row, ownerId, buildingId, this);
        if (editor->exec() != QDialog::Accepted) {
            model->revertAll();
            delete editor;
            if (!transaction.rollback())
                MsgBox::information(this, tr("Error rolling back transaction"));
            return;
        }
        apid = editor->apartmentId();
        delete editor;

        if (isNew ? XDataSource::insertRow(model, row) : XDataSource::updateRow(model, row))
            break;
        // Only the refused statement was undone: the transaction and what was typed into the model's
        // row are still there, and the editor shows them again, to correct or to cancel.
        MsgBox::information(this, ListFormBase::submitFailure());
    }
    if (!transaction.commit()) {
        model->revertAll();
        MsgBox::information(this, tr("Error committing transaction"));
        return;
    }
    reselect(dataSource->waitlistModel());
    rerunList();
    selectApartment(apid);
    reselect(model);
}

void ApartmentsForm::on_pushButton_3_clicked()
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("Select a valid apartment record from the apartments table view."));
        return;
    }
    const int deletedRow = current.row();
    const QSqlRecord record = dataSource->apartmentsQueryModel()->record(deletedRow);
    const int apid = record.value(QStringLiteral("apid")).toInt();
    if (record.value(QStringLiteral("agreeid")).toInt() > 0) {
        MsgBox::information(this, tr("A valid rental agreement exists. First delete it!"));
        return;
    }
    // What the apartment was paid for, and what the cashbook booked to it, must keep saying where; only
    // the charges nothing has paid (the current charges the question names) go with it.
    const QList<RowLookup::Guard> guards = {
        {QStringLiteral("select apid from apartments where apid = ? and (exists (select transid from trans where "
                        "apid = ?) or exists (select p.payid from payments p join charges c on c.chid = p.chid "
                        "where c.apid = ?) or exists (select chid from charges where apid = ? and paid <> 0))"),
         tr("You cannot delete this apartment: payments received for it are kept in the books. Keep the "
            "apartment, or first void those payments in the tenant's payment history.")},
        {QStringLiteral("select accid from cashbook where apid = ?"),
         tr("You cannot delete this apartment: cashbook entries are booked to it. Keep the apartment, or "
            "first book those entries to another apartment, or delete them, in the cashbook.")},
    };
    if (!RowLookup::nothingNames(this, dataSource->query(), guards, apid))
        return;
    // The question names the apartment, so that the user sees which one goes before saying Yes.
    if (MsgBox::question(this, tr("Are you sure you want to delete apartment %1 of %2? <br/> All equipment, "
                                  "maintenance records, recurring bills, and current charges associated with "
                                  "it will be deleted!")
                                   .arg(record.value(QStringLiteral("suite")).toString().toHtmlEscaped(),
                                        record.value(QStringLiteral("description")).toString().toHtmlEscaped()))
        != QMessageBox::Yes) {
        qCDebug(velloranLog) << "Don't delete record";
        return;
    }
    ScopedTransaction transaction;
    if (!transaction.isActive()) {
        MsgBox::information(this, tr("Error deleting record. Unable to start transaction."));
        return;
    }

    QSqlQuery *query = dataSource->query();
    const char *const statements[] = {"Delete from apartments where apid= %1", "Delete from equipments where apid= %1",
                                      "Delete from maintenance where apid= %1", "Delete from charges where apid= %1",
                                      "Delete from recur where apid= %1", "Delete from agreedperiods where apid= %1",
                                      "Delete from leasetaken where rid in (select rid from leasehistory where apid= %1)",
                                      "Delete from leasehistory where apid= %1", "Delete from dealtdays where apid= %1"};
    for (const char *statement : statements) {
        query->clear();
        if (!query->exec(QString::fromLatin1(statement).arg(apid))) {
            // Half a cascade would leave bills and charges of an apartment that no longer exists.
            qCDebug(velloranLog) << query->lastError().text();
            query->clear();
            MsgBox::information(this, tr("Error deleting record. Unable to commit transaction."));
            return;
        }
    }
    query->clear();
    if (!transaction.commit()) {
        MsgBox::information(this, tr("Error deleting record. Unable to commit transaction."));
        return;
    }

    rerunList();
    reselect(dataSource->apartmentsModel());
    QSqlDoubleQueryModel *list = dataSource->apartmentsQueryModel();
    if (list->rowCount() > deletedRow)
        ui->tableView->setCurrentIndex(list->index(deletedRow, 3));
    reselect(dataSource->recurModel());
    reselect(dataSource->chargesModel());
    reselect(dataSource->maintenanceModel());
    reselect(dataSource->equipmentModel());
}

void ApartmentsForm::on_pushButton_4_clicked()
{
    if (!ListFormBase::mayPrintReports(this, dataSource))
        return;
    QSqlDoubleQueryModel *report = dataSource->reportQueryModel();
    report->clear();
    report->setQuery(dataSource->apartmentsQueryModel()->query().lastQuery(), QSqlDatabase::database());
    qCDebug(velloranLog) << report->rowCount();
    if (TiberneReport *reports = dataSource->reportGenerator())
        reports->printApartments(report, {tr("Apartments"), tr("Number of Apartmets in Building"),
                                          tr("Total Number of Apartments")});
}

void ApartmentsForm::on_pushButton_8_clicked()
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("Select a valid apartment record from the apartments table view."));
        return;
    }
    if (!ListFormBase::mayPrintReports(this, dataSource))
        return;
    const QSqlRecord record = dataSource->apartmentsQueryModel()->record(current.row());
    QSqlDoubleQueryModel *report = dataSource->reportQueryModel();
    report->clear();
    report->setQuery(QStringLiteral("select f.name, r.type, r.amount, r.startdate, r.enddate, r.nextdate from recur r  "
                                    "inner join Frequency f on r.freq = f.freqid  where r.apid=%1 and coalesce(r.completed, 0) = 0 "
                                    "and r.deletedon is null")
                         .arg(record.value(QStringLiteral("apid")).toInt()),
                     QSqlDatabase::database());
    qCDebug(velloranLog) << report->rowCount();
    if (TiberneReport *reports = dataSource->reportGenerator())
        reports->printBills(report, {record.value(QStringLiteral("tenname")).toString(),
                                     record.value(QStringLiteral("description")).toString(),
                                     record.value(QStringLiteral("suite")).toString()});
}

void ApartmentsForm::on_pushButton_14_clicked()
{
    if (!ui->tableView->currentIndex().isValid()) {
        MsgBox::information(this, tr("Select a valid apartment record from the apartments table view."));
        return;
    }
    MaintenanceDialog log(dataSource, currentApid(), this);
    log.exec();
}

void ApartmentsForm::on_treeWidget_customContextMenuRequested(const QPoint &position)
{
    QMenu menu(this);
    menu.addAction(ui->action_Refresh);
    menu.exec(ui->treeWidget->viewport()->mapToGlobal(position));
}

void ApartmentsForm::on_pushButton_15_clicked()
{
    refreshBuildings();
}

void ApartmentsForm::on_action_Refresh_triggered()
{
    refreshBuildings();
}

bool ApartmentsForm::currentApartment(QSqlRecord &apartment)
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("Select a valid apartment record from the apartments table view."));
        return false;
    }
    apartment = dataSource->apartmentsQueryModel()->record(current.row());
    return true;
}

bool ApartmentsForm::agreementExists(int agreeid)
{
    if (agreeid == -1)
        return false;
    QSqlQuery *query = dataSource->query();
    query->clear();
    query->exec(QStringLiteral("select rid from agreements where rid=%1").arg(agreeid));
    const bool found = query->first();
    query->clear();
    return found;
}

bool ApartmentsForm::goOnWithoutAgreement(int agreeid)
{
    return agreeid != -1
        || MsgBox::question(this, tr("A valid rental agreement does not exist. Are you sure you want to continue?"))
               == QMessageBox::Yes;
}

QModelIndex ApartmentsForm::createAgreementRow(int apid, int tid, double rent)
{
    QSqlDoubleRelationalTableModel *model = dataSource->agreementsModel();
    const int row = model->rowCount();
    if (!model->insertRows(row, 1)) {
        MsgBox::information(this, tr("Error creating new rental agreement"));
        return QModelIndex();
    }
    XDataSource::setCellValue(model, AgreementApartment, row, apid);
    XDataSource::setCellValue(model, AgreementTenant, row, tid);
    XDataSource::setCellValue(model, AgreementRent, row, rent);
    return model->index(row, 0);
}

void ApartmentsForm::on_pushButton_11_clicked()
{
    QSqlRecord apartment;
    if (!currentApartment(apartment))
        return;
    const int apid = apartment.value(QStringLiteral("apid")).toInt();
    const int agreeid = apartment.value(QStringLiteral("agreeid")).toInt();
    const QVariant tenant = apartment.value(QStringLiteral("tid"));
    const int tid = tenant.toInt();
    const QString suite = apartment.value(QStringLiteral("suite")).toString();
    const double rent = apartment.value(QStringLiteral("rent")).toDouble();
    if (tenant.isNull() || tid < 1) {
        MsgBox::information(this, tr("No tenant has been assigned to the apartment!"));
        return;
    }

    // A key whose agreement is gone counts as no agreement: the apartment gets a new one.
    const bool isNew = !agreementExists(agreeid);

    QSqlQuery *query = dataSource->query();
    query->clear();
    query->exec(QStringLiteral("select * from tenants where tid=%1").arg(tid));
    if (!query->first()) {
        query->clear();
        MsgBox::information(this, tr("tenant does not exist"));
        return;
    }
    const QString company = query->value(QStringLiteral("company")).toString();
    const QString firstname = query->value(QStringLiteral("firstname")).toString();
    const QString lastname = query->value(QStringLiteral("lastname")).toString();
    query->clear();

    QSqlDoubleRelationalTableModel *agreements = dataSource->agreementsModel();
    // Nothing of a command that did not finish may stay in the shared models, nor the narrowing to
    // one agreement that other windows would go on seeing.
    const auto discard = [this, agreements, isNew] {
        agreements->revertAll();
        dataSource->recurModel()->revertAll();
        if (!isNew)
            agreements->setFilter(QString());
    };

    int row = 0;
    if (isNew) {
        const QModelIndex created = createAgreementRow(apid, tid, rent);
        if (!created.isValid()) {
            discard();
            MsgBox::information(this, tr("Error creating/displaying rental agreement"));
            return;
        }
        row = created.row();
    } else {
        agreements->setFilter(QStringLiteral("rid = %1").arg(agreeid));
        if (agreements->rowCount() == 0) {
            discard();
            MsgBox::information(this, tr("Error creating/displaying rental agreement"));
            return;
        }
    }

    auto *form = new AgreementsDialog(dataSource, row, isNew, this);
    form->setTenantInfo(suite, company, firstname, lastname);
    const bool accepted = form->exec() == QDialog::Accepted;
    const int rid = isNew ? form->agreementId() : agreeid;
    delete form;
    // A saved agreement is only shown: its form has nothing to accept.
    if (!accepted || !isNew) {
        discard();
        return;
    }

    // What the form set in the row.
    const auto cell = [agreements, row](int column) {
        return agreements->record(row).isGenerated(column)
                   ? agreements->QSqlTableModel::data(agreements->index(row, column), Qt::EditRole)
                   : QVariant();
    };
    LeaseWrite::Lease lease;
    lease.agreementId = rid;
    lease.tenantId = tid;
    lease.apartmentId = apid;
    LeaseWrite::Terms &terms = lease.terms;
    terms.damage = cell(AgreementDamage);
    terms.rent = cell(AgreementRent);
    terms.lateFee = cell(AgreementLateFee);
    terms.perDay = cell(AgreementPerDay);
    terms.frequency = cell(AgreementFrequency);
    terms.firstDue = cell(AgreementFirstDue);
    terms.leaseTerm = cell(AgreementTerm);
    terms.leaseStart = cell(AgreementStart);
    terms.leaseEnd = cell(AgreementEnd);
    terms.moveIn = cell(AgreementMoveIn);
    terms.moveOut = cell(AgreementMoveOut);
    terms.notes = cell(AgreementNotes);
    terms.firstPayment = cell(AgreementFirstPayment);
    discard();

    const MoneyCommand::Result saved = LeaseWrite::save(lease, dataSource, [this](const QString &question) {
        return MsgBox::question(this, question) == QMessageBox::Yes;
    });
    if (!saved.ok()) {
        MsgBox::information(this, saved.message);
        return;
    }
    if (!saved.message.isEmpty())
        MsgBox::information(this, saved.message);
    reselect(dataSource->chargesModel());
    reloadModels(apid);
}

void ApartmentsForm::on_pushButton_12_clicked()
{
    QSqlRecord apartment;
    if (!currentApartment(apartment))
        return;
    const int apid = apartment.value(QStringLiteral("apid")).toInt();
    const int agreeid = apartment.value(QStringLiteral("agreeid")).toInt();
    if (!agreementExists(agreeid)) {
        MsgBox::information(this, tr("A valid rental agreement does not exist"));
        return;
    }
    if (MsgBox::question(this, tr("Are you sure you want to delete the current rental agreement! You will not be "
                                  "able to undo it once you delete it"))
        != QMessageBox::Yes) {
        qCDebug(velloranLog) << "Don't delete record";
        return;
    }
    qCDebug(velloranLog) << "Delete Record";
    const MoneyCommand::Result deleted = LeaseWrite::remove(apid, agreeid, dataSource);
    if (!deleted.ok()) {
        MsgBox::information(this, deleted.message);
        return;
    }
    reloadModels(apid);
}

void ApartmentsForm::on_pushButton_5_clicked()
{
    editRecurringBill(true);
}

void ApartmentsForm::on_pushButton_6_clicked()
{
    editRecurringBill(false);
}

void ApartmentsForm::on_tableView_2_doubleClicked(const QModelIndex &)
{
    editRecurringBill(false);
}

void ApartmentsForm::editRecurringBill(bool isNew)
{
    QSqlRecord apartment;
    if (!currentApartment(apartment))
        return;
    const int apid = apartment.value(QStringLiteral("apid")).toInt();
    const int agreeid = apartment.value(QStringLiteral("agreeid")).toInt();
    const QVariant tid = apartment.value(QStringLiteral("tid"));
    if (!goOnWithoutAgreement(agreeid))
        return;

    // What has fallen due is posted before the bills change, so that no edit loses a charge owed.
    const MoneyCommand::Result before = LeaseWrite::postDue(apid);
    if (!before.ok()) {
        MsgBox::information(this, before.message);
        return;
    }
    RecurModel *bills = dataSource->recurModel();
    if (before.key > 0) {
        // The posting rewrote the bills' next dates: they are read again, the clerk's bill still chosen.
        const int chosen = ui->tableView_2->currentIndex().row();
        const QVariant recid = chosen >= 0 ? bills->record(chosen).value(QStringLiteral("recid")) : QVariant();
        reselect(bills);
        for (int row = 0; !isNew && recid.isValid() && row < bills->rowCount(); ++row) {
            if (bills->record(row).value(QStringLiteral("recid")) == recid)
                ui->tableView_2->setCurrentIndex(bills->index(row, 0));
        }
    }
    if (isNew) {
        const int row = bills->rowCount();
        if (!bills->insertRows(row, 1)) {
            MsgBox::information(this, tr("Error creating new bill"));
            return;
        }
        ui->tableView_2->setCurrentIndex(bills->index(row, 0));
        XDataSource::setCellValue(bills, RecurApartment, row, apid);
        XDataSource::setCellValue(bills, RecurTenant, row, tid);
        XDataSource::setCellValue(bills, RecurCompleted, row, 0);
    }
    const QModelIndex bill = ui->tableView_2->currentIndex();
    if (!bill.isValid()) {
        MsgBox::information(this, tr("You haven't selected any recurring bill record"));
        return;
    }

    const auto stored = [bills, &bill](const QString &field) {
        return bills->QSqlTableModel::data(bills->index(bill.row(), bills->fieldIndex(field)), Qt::EditRole);
    };
    auto *form = new RecurDialog(dataSource, bill.row(), this);
    const bool accepted = form->exec() == QDialog::Accepted;
    delete form;
    if (!accepted) {
        bills->revertAll();
        return;
    }
    const int recid = stored(QStringLiteral("recid")).toInt();
    if (!bills->submitRowInView(bill.row(), true, false, ui->tableView_2)) {
        MsgBox::information(this, tr("Unable to submit data"));
        return;
    }
    // What the bill charges from here is the billing rule's, posted at once where it has fallen due.
    const MoneyCommand::Result saved = LeaseWrite::billSaved(recid, isNew);
    if (!saved.ok())
        MsgBox::information(this, saved.message);
    reselect(bills);
}

void ApartmentsForm::on_pushButton_7_clicked()
{
    QSqlRecord apartment;
    if (!currentApartment(apartment) || !goOnWithoutAgreement(apartment.value(QStringLiteral("agreeid")).toInt()))
        return;

    const QModelIndex bill = ui->tableView_2->currentIndex();
    if (!bill.isValid()) {
        MsgBox::information(this, tr("You haven't selected any recurring bill record"));
        return;
    }
    RecurModel *bills = dataSource->recurModel();
    const int row = bill.row();
    // The lease's own rent bill goes only with the lease; a bill of type Rent the clerk added is his.
    if (bills->record(row).value(QStringLiteral("leaserent")).toInt() == 1) {
        MsgBox::information(this, tr("You can't delete the rent recurring bill!"));
        return;
    }
    if (MsgBox::question(this, tr("Are you sure you want to delete the record?")) != QMessageBox::Yes) {
        qCDebug(velloranLog) << "Don't delete record";
        return;
    }
    qCDebug(velloranLog) << "Delete Record";
    // The bill stays on record, deleted: its line's charges stand, and it charges nothing more.
    const MoneyCommand::Result deleted =
        LeaseWrite::billDeleted(bills->record(row).value(QStringLiteral("recid")).toInt());
    if (!deleted.ok())
        MsgBox::information(this, deleted.message);
    reselect(bills);
}
