#include "properties/apartmentsdialog.h"
#include "ui_apartmentsdialog.h"
#include "datahub/rowlookup.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "properties/seltenantdialog.h"
#include "datahub/debuglog.h"

#include <QDataWidgetMapper>
#include <QDebug>
#include <QIntValidator>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QStringListModel>

ApartmentsDialog::ApartmentsDialog(XDataSource *dataSource, int row, int ownerId, int buildingId, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::ApartmentsDialog)
    , row(row)
    , buildingId(buildingId)
    , statusModel(new QStringListModel(this))
    , categoryModel(new QStringListModel(this))
{
    Q_UNUSED(ownerId)
    ui->setupUi(this);
    setWindowTitle(tr("Apartments Dialog"));
    ui->lineEdit->setFocus();

    // Stored as they stand, so not translated.
    statusModel->setStringList({"Damaged", "Leasing", "Moved", "Normal", "Renovated", "Renting", "Repaired",
                                "Reserved", "Sub-Leasing"});
    ui->comboBox->setModel(statusModel);
    ui->comboBox->setCurrentIndex(3);
    categoryModel->setStringList({"Regular", "Temporary", "Show Suite"});
    ui->comboBox_2->setModel(categoryModel);
    ui->comboBox_2->setCurrentIndex(0);

    SqlDoubleTableModel *model = dataSource->apartmentsModel();
    QDataWidgetMapper *map = createMapper(model);
    map->addMapping(ui->lineEdit, 3);
    map->addMapping(ui->lineEdit_2, 7);
    map->addMapping(ui->lineEdit_3, 4);
    map->addMapping(ui->lineEdit_4, 5);
    map->addMapping(ui->lineEdit_5, 6);
    map->addMapping(ui->lineEdit_11, 22);
    map->addMapping(ui->lineEdit_10, 23);
    map->addMapping(ui->lineEdit_12, 24);
    map->addMapping(ui->lineEdit_9, 25);
    map->addMapping(ui->comboBox, 27);
    map->addMapping(ui->comboBox_2, 26);
    map->addMapping(ui->lineEdit_15, 28);
    map->addMapping(ui->lineEdit_16, 29);
    map->addMapping(ui->notes, 30);
    const QList<QPair<QCheckBox *, int>> features = {
        {ui->checkBox, 8},     {ui->checkBox_2, 15},  {ui->checkBox_3, 16},  {ui->checkBox_4, 9},
        {ui->checkBox_5, 17},  {ui->checkBox_6, 10},  {ui->checkBox_7, 18},  {ui->checkBox_8, 11},
        {ui->checkBox_9, 19},  {ui->checkBox_10, 12}, {ui->checkBox_11, 20}, {ui->checkBox_12, 13},
        {ui->checkBox_13, 21}, {ui->checkBox_14, 14},
    };
    for (const auto &feature : features)
        map->addMapping(feature.first, feature.second);
    // Square footage is kept to four places.
    ui->lineEdit_3->setDecimals(4);
    map->setCurrentIndex(row);

    auto *count = new QIntValidator(this);
    count->setBottom(0);
    ui->lineEdit_4->setValidator(count);
    ui->lineEdit_5->setValidator(count);

    loadedSuite = ui->lineEdit->text().trimmed();

    const QVariant tenant = model->QSqlTableModel::data(model->index(row, 1), Qt::EditRole);
    if (tenant.isNull()) {
        XDataSource::setCellValue(model, 1, row, -1);
    } else {
        QSqlQuery *query = dataSource->query();
        query->clear();
        query->exec(QStringLiteral("select firstname, lastname, company from tenants where tid =%1").arg(tenant.toInt()));
        if (query->first()) {
            ui->lineEdit_7->setText(query->value(QStringLiteral("company")).toString());
            ui->lineEdit_6->setText(query->value(QStringLiteral("firstname")).toString());
            ui->lineEdit_8->setText(query->value(QStringLiteral("lastname")).toString());
        }
        query->clear();
    }
    if (isNewRow())
        XDataSource::setCellValue(model, 2, row, buildingId);
}

ApartmentsDialog::~ApartmentsDialog()
{
    delete ui;
}

bool ApartmentsDialog::isNewRow() const
{
    // A row without a key is new, whatever its suite; an apartment stored with a blank suite must not
    // be given a second key.
    SqlDoubleTableModel *model = dataSource()->apartmentsModel();
    return model->QSqlTableModel::data(model->index(row, 0), Qt::EditRole).isNull();
}

bool ApartmentsDialog::agreementForbidsTenantChange()
{
    const QSqlRecord record = dataSource()->apartmentsModel()->record(row);
    const QVariant agreement = record.value(QStringLiteral("agreeid"));
    if (!record.isNull(0) && (agreement.isNull() || agreement.toInt() != -1)) {
        MsgBox::information(this, tr("A rental agreement exists. First delete it and then try again!"));
        return true;
    }
    return false;
}

void ApartmentsDialog::on_pushButton_3_clicked()
{
    if (agreementForbidsTenantChange())
        return;
    XDataSource::setCellValue(dataSource()->apartmentsModel(), 1, row, -1);
    ui->lineEdit_7->clear();
    ui->lineEdit_6->clear();
    ui->lineEdit_8->clear();
}

void ApartmentsDialog::on_pushButton_2_clicked()
{
    pickTenant(false);
}

void ApartmentsDialog::on_pushButton_clicked()
{
    pickTenant(true);
}

void ApartmentsDialog::pickTenant(bool fromWaitingList)
{
    if (agreementForbidsTenantChange())
        return;
    SelTenantDialog picker(dataSource(), fromWaitingList, this);
    if (picker.exec() != QDialog::Accepted)
        return;
    const int tenant = picker.tenantId();

    QSqlQuery *query = dataSource()->query();
    const RowLookup::Result assigned
        = RowLookup::find(query, QStringLiteral("select tid from apartments where tid = ?"), {tenant});
    if (assigned == RowLookup::Failed) {
        RowLookup::refuse(this);
        return;
    }
    if (assigned == RowLookup::Found) {
        MsgBox::information(this, tr("The tenant has already been assigned to another apartment"));
        return;
    }

    if (fromWaitingList) {
        // The removal stands even when this editor is cancelled. The apartments page runs the editor
        // inside a transaction of its own, with nothing written in it yet: the removal is committed in
        // it, and a fresh transaction is left open for the page to commit or roll back.
        QSqlDriver *driver = QSqlDatabase::database().driver();
        const bool callerTransaction = !driver->beginTransaction();
        query->clear();
        const bool removed = query->exec(QStringLiteral("delete from waitlist where tid=%1").arg(tenant));
        if (!removed)
            qCDebug(velloranLog) << query->lastError().text();
        query->clear();
        const bool committed = removed && driver->commitTransaction();
        if (!committed)
            driver->rollbackTransaction();
        if (callerTransaction)
            driver->beginTransaction();
        if (!committed) {
            MsgBox::information(this, tr("Error committing transaction"));
            return;
        }
    }

    ui->lineEdit_6->setText(picker.firstName());
    ui->lineEdit_7->setText(picker.company());
    ui->lineEdit_8->setText(picker.lastName());
    XDataSource::setCellValue(dataSource()->apartmentsModel(), 1, row, tenant);
}

void ApartmentsDialog::accept()
{
    const QString suite = ui->lineEdit->text().trimmed();
    ui->lineEdit->setText(suite);
    if (!requireText(suite, tr("The 'Apt/Suite #' field cannot be blank")))
        return;
    if (suite != loadedSuite
        && !requireUnique(QStringLiteral("select suite from apartments where suite = ?"), suite,
                          tr("The Apt/Suite # that you have entered already exists. Enter a new one")))
        return;
    if (!MoneyField::checkAll({ui->lineEdit_2, ui->lineEdit_3}))
        return;
    if (!confirmSubmit())
        return;

    apartmentKey = -1;
    SqlDoubleTableModel *model = dataSource()->apartmentsModel();
    if (!isNewRow()) {
        apartmentKey = model->QSqlTableModel::data(model->index(row, 0), Qt::EditRole).toInt();
    } else {
        const int key = nextKey(QStringLiteral("GEN_APARTMENTS_ID"));
        if (key < 0) {
            reject();
            return;
        }
        apartmentKey = key;
        XDataSource::setFieldValue(model, QStringLiteral("ApID"), row, key);
    }
    if (!submitMapper())
        return;
    QDialog::accept();
}
