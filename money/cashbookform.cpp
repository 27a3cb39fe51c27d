#include "money/cashbookform.h"
#include "ui_cashbookform.h"
#include "datahub/debuglog.h"

#include "datahub/listformbase.h"
#include "datahub/msgbox.h"
#include "datahub/rowlookup.h"
#include "datahub/shortdate.h"
#include "datahub/xdatasource.h"
#include "money/cashbookdialog.h"
#include "money/moneyfield.h"

#include <QCloseEvent>
#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringListModel>
#include <QTimer>

namespace {
// The Field combo's entries by position; the last one searches by date.
const char *const searchColumns[] = {"t.name", "c.description", "v.name", "a.suite", "c.tdate"};
const int searchColumnCount = int(sizeof(searchColumns) / sizeof(searchColumns[0]));
const int SuiteField = 3;
const int DateField = 4;
const int AccidColumn = 8;
const QString Newest = QStringLiteral(" order by c.tdate desc");

// The list's columns with the apartments read first: for a suite that few apartments have, their
// entries are found by apartment and only they are sorted by date.
const QString ByApartment = QStringLiteral(
    "select c.tdate, t.name as category, c.description, c.expense, c.income, v.name as vendor, a.suite, "
    "x.firstname||' '||x.lastname as tenant, c.accid, c.catid, c.vid, c.apid  from apartments a  join cashbook c  "
    "on c.apid = a.apid  left join categories t  on c.catid = t.catid  left join vendors v  on c.vid = v.vid  "
    "left join tenants x  on x.tid = a.tid ");
// Up to one apartment in this many matching, reading by apartment is the quicker; beyond it the
// entries in date order hold a match often enough that the first screenful comes at once.
const int FewApartments = 20;
}

CashbookForm::CashbookForm(XDataSource *dataSource, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CashbookForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    baseStatement = QStringLiteral(
        "select c.tdate, t.name as category, c.description, c.expense, c.income, v.name as vendor, a.suite, "
        "x.firstname||' '||x.lastname as tenant, c.accid, c.catid, c.vid, c.apid  from cashbook c  left join "
        "categories t  on c.catid = t.catid  left join vendors v  on c.vid = v.vid  left join apartments a  on "
        "c.apid = a.apid  left join tenants x  on x.tid = a.tid ");

    setListStatement(baseStatement + Newest);
    QSqlDoubleQueryModel *list = dataSource->cashbookQueryModel();
    connect(list, &QSqlDoubleQueryModel::queryChanged, this, &CashbookForm::queryChanged);

    // Set up before the model comes, so that the rows are measured and painted the list's way only.
    ListFormBase::setupListView(ui->tableView);
    ui->tableView->setModel(list);
    list->setHeaderData(0, Qt::Horizontal, tr("DATE"));
    list->setHeaderData(6, Qt::Horizontal, tr("SUITE/APT #"));
    ui->tableView->setColumnWidth(1, 150);
    ui->tableView->setColumnWidth(2, 250);
    for (int column : {5, 6, 7})
        ui->tableView->setColumnWidth(column, 150);
    ListFormBase::showOnlyColumns(ui->tableView, {0, 1, 2, 3, 4, 5, 6, 7});

    ListFormBase::setSearchFields(ui->comboBox, fieldModel,
                                  {tr("Category"), tr("Description"), tr("Vendor"), tr("Suite/Apt #"), tr("Date")});
    searchTimer = ListFormBase::followTyping(ui->lineEdit, [this] { search(); });
    ui->tableView->setFocus();
    updateTotals();
}

CashbookForm::~CashbookForm()
{
    delete ui;
}

void CashbookForm::closeEvent(QCloseEvent *event)
{
    // The main window keeps this page for the whole run.
    event->ignore();
}

void CashbookForm::setListStatement(const QString &statement)
{
    settingStatement = true;
    dataSource->setCashbookListStatement(statement);
    settingStatement = false;
}

void CashbookForm::rerunList()
{
    QSqlDoubleQueryModel *list = dataSource->cashbookQueryModel();
    setListStatement(list->query().lastQuery());
}

void CashbookForm::queryChanged()
{
    // A search, or Clear, shows other rows of the same cashbook. A statement run again from elsewhere
    // follows a write there (a voided payment takes its entries away).
    if (!settingStatement)
        updateTotals();
}

void CashbookForm::updateTotals()
{
    // The totals are those of the whole cashbook, whatever the search shows, kept with every write to it.
    QSqlQuery *query = dataSource->query();
    query->clear();
    if (query->exec(QStringLiteral("select expense, income from cashbooktotals")) && query->first()) {
        ui->expense->setText(MoneyField::format(query->value(0).toDouble()));
        ui->income->setText(MoneyField::format(query->value(1).toDouble()));
    }
    query->clear();
}

void CashbookForm::search()
{
    const QString text = ui->lineEdit->text().trimmed();
    if (text.isEmpty()) {
        setListStatement(baseStatement + Newest);
        return;
    }
    const int field = qBound(0, ui->comboBox->currentIndex(), searchColumnCount - 1);
    const QString column = QLatin1String(searchColumns[field]);
    QString statement;
    if (field == DateField) {
        const QDate date = ShortDate::fromText(text);
        if (!date.isValid())
            return;
        // Compared as a date, the day's entries come straight from the date index.
        statement = QStringLiteral("%3 where %1 = '%2' order by c.tdate desc")
                        .arg(column, XDataSource::toSqlDate(date), baseStatement);
    } else if (field == SuiteField) {
        statement = suiteStatement(text);
    } else {
        qCDebug(velloranLog) << "base; " << baseStatement;
        statement = baseStatement + QStringLiteral(" where ") + ListFormBase::likeFilter(column, text) + Newest;
    }
    qCDebug(velloranLog) << "query: " << statement;
    setListStatement(statement);
}

QString CashbookForm::suiteStatement(const QString &text) const
{
    const QString suite = ListFormBase::likeFilter(QStringLiteral("a.suite"), text);
    // The entries in date order, each looked up in its apartment, find a suite that many apartments
    // share at once and one that few have only after the whole cashbook: how many apartments match
    // decides which way round to read.
    QSqlQuery *query = dataSource->query();
    query->clear();
    bool few = false;
    if (query->exec(QStringLiteral("select count(*), sum(iif(%1, 1, 0)) from apartments a").arg(suite))
        && query->first())
        few = query->value(1).toLongLong() * FewApartments <= query->value(0).toLongLong();
    query->clear();
    return (few ? ByApartment : baseStatement) + QStringLiteral(" where ") + suite + Newest;
}

void CashbookForm::on_pushButton_7_clicked()
{
    searchTimer->stop();
    setListStatement(baseStatement + Newest);
}

int CashbookForm::currentAccid() const
{
    const QModelIndex current = ui->tableView->currentIndex();
    return dataSource->cashbookQueryModel()->index(current.row(), AccidColumn).data().toInt();
}

void CashbookForm::selectAccid(int accid)
{
    QSqlDoubleQueryModel *list = dataSource->cashbookQueryModel();
    while (list->canFetchMore())
        list->fetchMore();
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->index(row, AccidColumn).data().toInt() == accid) {
            ui->tableView->setCurrentIndex(list->index(row, 0));
            return;
        }
    }
}

void CashbookForm::on_pushButton_clicked()
{
    QSqlDoubleRelationalTableModel *cashbook = dataSource->cashbookModel();
    const int row = cashbook->rowCount();
    if (!cashbook->insertRows(row, 1)) {
        MsgBox::information(this, tr("Unable to add new record"));
        return;
    }
    editEntry(cashbook->index(row, 0), -1);
}

void CashbookForm::on_pushButton_2_clicked()
{
    if (!ui->tableView->currentIndex().isValid()) {
        MsgBox::information(this, tr("Select a valid record"));
        return;
    }
    QSqlDoubleRelationalTableModel *cashbook = dataSource->cashbookModel();
    qCDebug(velloranLog) << "Rowcount" << cashbook->rowCount();
    const int accid = currentAccid();
    cashbook->setFilter(QStringLiteral("ACCID = %1").arg(accid));
    if (cashbook->rowCount() == 0) {
        rerunList();
        MsgBox::information(this, tr("could not locate record in cashbook."));
        return;
    }
    editEntry(cashbook->index(0, 0), accid);
    cashbook->setFilter(QString());
}

void CashbookForm::on_tableView_doubleClicked(const QModelIndex &)
{
    on_pushButton_2_clicked();
}

void CashbookForm::editEntry(const QModelIndex &index, int accid)
{
    QSqlDoubleRelationalTableModel *cashbook = dataSource->cashbookModel();
    int row = index.row();
    for (;;) {
        auto *editor = new CashbookDialog(dataSource, row, this);
        if (accid != -1)
            editor->setRecordId(accid);
        if (editor->exec() != QDialog::Accepted) {
            cashbook->revertAll();
            delete editor;
            return;
        }
        const int saved = editor->recordId();
        delete editor;
        const int rowCountBefore = cashbook->rowCount();
        const ListFormBase::PendingRow pending = ListFormBase::pendingChanges(cashbook, row);
        // The grid shows the list statement, not this model, so no view is handed over here.
        if (cashbook->submitRowInView(row, true, false, nullptr)) {
            rerunList();
            selectAccid(saved);
            updateTotals();
            return;
        }
        // The failed write threw the entry away: the editor gives back what was typed, to correct it
        // or to cancel.
        MsgBox::information(this, ListFormBase::submitFailure());
        row = ListFormBase::restorePendingChanges(cashbook, row, rowCountBefore, pending);
        if (row < 0)
            return;
        accid = saved;
    }
}

void CashbookForm::on_pushButton_3_clicked()
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, tr("You haven't selected a valid record"));
        return;
    }
    // The income a rent payment posted goes only with the payment, or the cashbook would no longer
    // match the rent collected.
    const RowLookup::Result posted = RowLookup::find(
        dataSource->query(), QStringLiteral("select accid from cashbook where accid = ? and transid > 0"), {currentAccid()});
    if (posted == RowLookup::Failed) {
        RowLookup::refuse(this);
        return;
    }
    if (posted == RowLookup::Found) {
        MsgBox::information(this, tr("This entry was posted by a rent payment and cannot be deleted here. To take "
                                     "it back, void the payment in the payment history."));
        return;
    }
    if (MsgBox::question(this, tr("Are you sure you want to delete the selected record?")) != QMessageBox::Yes) {
        qCDebug(velloranLog) << "Don't delete record";
        return;
    }
    QSqlDoubleRelationalTableModel *cashbook = dataSource->cashbookModel();
    cashbook->setFilter(QStringLiteral("ACCID = %1").arg(currentAccid()));
    if (cashbook->rowCount() == 0) {
        MsgBox::information(this, tr("Could not locate record!"));
        return;
    }
    if (!cashbook->submitRowInView(0, true, true, nullptr)) {
        qCDebug(velloranLog) << cashbook->lastError().text();
        MsgBox::information(this, tr("Error deleting record!"));
        return;
    }
    cashbook->setFilter(QString());
    rerunList();
    QSqlDoubleQueryModel *list = dataSource->cashbookQueryModel();
    int row = current.row();
    while (list->rowCount() <= row && list->canFetchMore())
        list->fetchMore();
    if (row == list->rowCount())
        --row;
    if (row >= 0 && list->index(row, 0).isValid())
        ui->tableView->setCurrentIndex(list->index(row, 0));
    updateTotals();
    ui->tableView->setFocus();
}
