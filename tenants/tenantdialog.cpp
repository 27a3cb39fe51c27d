#include "tenants/tenantdialog.h"
#include "ui_tenantdialog.h"
#include "datahub/debuglog.h"

#include "datahub/listformbase.h"
#include "datahub/msgbox.h"
#include "datahub/qsupersqltablemodel.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "tenants/occupantdialog.h"
#include "tenants/petdialog.h"
#include "tenants/vehicledialog.h"

#include <QDataWidgetMapper>
#include <QDebug>
#include <QHeaderView>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSqlError>
#include <QStringListModel>

namespace {
const int CardExpiryColumn = 14;
const int BirthDateColumn = 15;
const int IncomeColumn = 23;
const int PeriodColumn = 24;
const int AccountTypeColumn = 28;

const char *const CardExpiryPattern = "(\\d?\\d)(?:/)(\\d{2})";

// What an empty expiry is stored as.
QDate noCardExpiry()
{
    return QDate(2000, 1, 1);
}
}

TenantDialog::TenantDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::TenantDialog)
    , periodModel(new QStringListModel(this))
    , row(row)
{
    ui->setupUi(this);
    setWindowTitle(tr("Tenant Form"));

    ui->lineEdit_23->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QLatin1String(CardExpiryPattern)), this));
    ui->comboBox->setModel(dataSource->ccardsModel());
    ui->comboBox->setModelColumn(1);

    SqlTenantsModel *model = dataSource->tenantsModel();
    QDataWidgetMapper *map = createMapper(model);
    QLineEdit *const general[] = {ui->lineEdit,   ui->lineEdit_2, ui->lineEdit_3, ui->lineEdit_4,  ui->lineEdit_5,
                                  ui->lineEdit_6, ui->lineEdit_7, ui->lineEdit_8, ui->lineEdit_9,  ui->lineEdit_10,
                                  ui->lineEdit_11};
    for (int i = 0; i < 11; ++i)
        map->addMapping(general[i], i + 1);
    map->addMapping(ui->comboBox, 12, "currentText");
    map->addMapping(ui->lineEdit_22, 13);
    map->addMapping(ui->lineEdit_17, 16);
    map->addMapping(ui->lineEdit_14, 17);
    map->addMapping(ui->lineEdit_13, 18);
    map->addMapping(ui->lineEdit_15, 19);
    map->addMapping(ui->checkBox, 20);
    map->addMapping(ui->textEdit, 21, "plainText");
    map->addMapping(ui->textEdit_2, 22, "plainText");
    map->addMapping(ui->lineEdit_24, IncomeColumn);
    map->addMapping(ui->lineEdit_26, 25);
    map->addMapping(ui->lineEdit_27, 26);
    map->addMapping(ui->lineEdit_28, 27);
    map->addMapping(ui->lineEdit_18, 29);
    map->addMapping(ui->lineEdit_19, 30);
    map->addMapping(ui->lineEdit_20, 31);
    map->addMapping(ui->lineEdit_12, 33);
    map->setCurrentIndex(row);

    openingId = ui->lineEdit->text().trimmed();
    periodModel->setStringList({tr("Week"), tr("Month"), tr("Year")});
    ui->comboBox_2->setModel(periodModel);

    const QSqlRecord record = model->record(row);
    QDate expiry = Today::date();
    QDate birth = Today::date().addYears(-150);
    if (openingId.isEmpty()) {
        ui->comboBox_2->setCurrentIndex(1);
        ui->radioButton->setChecked(true);
    } else {
        ui->comboBox_2->setCurrentIndex(record.value(PeriodColumn).toInt());
        if (record.value(AccountTypeColumn).toInt() == 1)
            ui->radioButton->setChecked(true);
        else
            ui->radioButton_2->setChecked(true);
        expiry = record.value(CardExpiryColumn).toDate();
        birth = record.value(BirthDateColumn).toDate();
    }
    ui->lineEdit_23->setText(cardExpiryText(expiry));
    ui->lineEdit_16->setText(ShortDate::toText(birth));

    setUpSubTable(vehicles(), {2, 3, 4}, {150, 150, 150});
    setUpSubTable(pets(), {2, 3}, {150, 400});
    dataSource->occupantsModel()->setHeaderData(5, Qt::Horizontal, tr("Date of Birth"), Qt::EditRole);
    setUpSubTable(occupants(), {2, 3, 4, 5, 6}, {150, 150, -1, -1, 300});

    if (!record.isNull(0)) {
        key = record.value(0).toInt();
        qCDebug(velloranLog) << "tid:" << key;
    } else {
        // Drawn now rather than on OK, since the vehicles, pets and occupants entered meanwhile need it.
        key = nextKey(QStringLiteral("GEN_TENANTS_ID"));
        if (key >= 0) {
            XDataSource::setCellValue(model, 0, row, key);
            ui->lineEdit_16->setText(ShortDate::toText(Today::date()));
        }
    }
    // With no key this shows no rows, rather than whatever another tenant left in the shared models.
    showRowsOfTenant(pets());
    showRowsOfTenant(occupants());
    showRowsOfTenant(vehicles());
    ui->lineEdit->setFocus();
}

TenantDialog::~TenantDialog()
{
    delete ui;
}

bool TenantDialog::parseCardExpiry(QDate &date, QString &text)
{
    text = text.trimmed();
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(QLatin1String(CardExpiryPattern)));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const QDate parsed(2000 + match.captured(2).toInt(), match.captured(1).toInt(), 1);
    if (!parsed.isValid())
        return false;
    date = parsed;
    return true;
}

QString TenantDialog::cardExpiryText(const QDate &date)
{
    // Two digits for the year, so that what is shown is what the field accepts back.
    if (!date.isValid() || date == noCardExpiry() || date.year() < 2000 || date.year() > 2099)
        return QString();
    return QStringLiteral("%1/%2").arg(date.month()).arg(date.year() - 2000, 2, 10, QLatin1Char('0'));
}

void TenantDialog::accept()
{
    if (!haveKey())
        return;
    SqlTenantsModel *model = dataSource()->tenantsModel();
    XDataSource::setCellValue(model, PeriodColumn, row, ui->comboBox_2->currentIndex());
    XDataSource::setCellValue(model, AccountTypeColumn, row, ui->radioButton->isChecked() ? 1 : 0);
    qCDebug(velloranLog) << "Check 11";

    const QString id = ui->lineEdit->text().trimmed();
    ui->lineEdit->setText(id);
    if (!requireText(id, tr("The ID/CODE field cannot be blank")))
        return;
    qCDebug(velloranLog) << "Check 12";

    const QString email = ui->lineEdit_13->text().trimmed();
    ui->lineEdit_13->setText(email);
    if (!email.isEmpty() && !XDataSource::isValidEmail(email)) {
        MsgBox::information(this, tr("Enter a valid email address"));
        return;
    }
    qCDebug(velloranLog) << "Check 14";

    const QDate birth = ShortDate::fromText(ui->lineEdit_16->text());
    if (!birth.isValid()) {
        MsgBox::information(this, tr("Enter a valid date of birth!"));
        return;
    }
    XDataSource::setCellValue(model, BirthDateColumn, row, birth);
    qCDebug(velloranLog) << "Check 15";

    QString expiryText = ui->lineEdit_23->text().trimmed();
    QDate expiry = noCardExpiry();
    if (!expiryText.isEmpty() && !parseCardExpiry(expiry, expiryText)) {
        MsgBox::information(this, tr("Enter a valid credit card expiry date!"));
        return;
    }
    XDataSource::setCellValue(model, CardExpiryColumn, row, expiry);
    qCDebug(velloranLog) << "Check 13";

    // Case matters: changing only the case of one's own ID/code is no clash.
    if (id != openingId
        && !requireUnique(QStringLiteral("select id from tenants where id = ?"), id,
                          tr("The ID/CODE that you have entered already exists. Enter a new ID/CODE")))
        return;
    qCDebug(velloranLog) << "Check 1";

    if (!ui->lineEdit_24->check())
        return;
    if (!confirmSubmit())
        return;
    if (!submitMapper())
        return;
    qCDebug(velloranLog) << "Check 2";

    if (!addToWaitList())
        return;
    QDialog::accept();
}

bool TenantDialog::addToWaitList()
{
    QSuperSqlTableModel *waitlist = dataSource()->waitlistModel();
    waitlist->setFilter(QStringLiteral("TID=%1").arg(key));
    waitlist->select();
    if (waitlist->rowCount() > 0 || !ui->checkBox_2->isChecked())
        return true;
    QSqlQuery *query = dataSource()->query();
    query->clear();
    query->prepare(QStringLiteral("insert into waitlist (tid) values (?)"));
    query->addBindValue(key);
    const bool written = query->exec();
    qCDebug(velloranLog) << "rows Affected:" << query->numRowsAffected();
    if (!written)
        qCDebug(velloranLog) << query->lastError().text();
    query->clear();
    if (!written) {
        MsgBox::information(this, tr("Unable to submit data"));
        return false;
    }
    return true;
}

TenantDialog::SubTable TenantDialog::vehicles() const
{
    return {dataSource()->vehiclesModel(), ui->tableView, tr("You haven't selected any vehicle")};
}

TenantDialog::SubTable TenantDialog::pets() const
{
    return {dataSource()->petsModel(), ui->tableView_2, tr("You haven't selected any pet")};
}

TenantDialog::SubTable TenantDialog::occupants() const
{
    return {dataSource()->occupantsModel(), ui->tableView_3, tr("You haven't selected any record")};
}

void TenantDialog::setUpSubTable(const SubTable &table, const QList<int> &shown, const QList<int> &widths)
{
    table.view->setModel(table.model);
    ListFormBase::showOnlyColumns(table.view, shown);
    ListFormBase::setupListView(table.view);
    for (int i = 0; i < shown.size() && i < widths.size(); ++i)
        if (widths.at(i) > 0)
            table.view->setColumnWidth(shown.at(i), widths.at(i));
}

bool TenantDialog::haveKey()
{
    if (key >= 0)
        return true;
    MsgBox::information(this, tr("database error"));
    return false;
}

void TenantDialog::showRowsOfTenant(const SubTable &table)
{
    table.model->setFilter(QStringLiteral("TID = %1").arg(key));
    table.model->select();
    // The tenant's editor holds a transaction open: all the rows are read before its commit.
    RowSubmission::readRestInTransaction(table.model);
}

bool TenantDialog::currentSubRow(const SubTable &table, int &subRow)
{
    const QModelIndex current = table.view->currentIndex();
    if (!current.isValid()) {
        MsgBox::information(this, table.noneSelected);
        return false;
    }
    subRow = current.row();
    return true;
}

QVariantList TenantDialog::subRowValues(const SubTable &table, int subRow, int count) const
{
    QVariantList values;
    for (int column = 2; column < 2 + count; ++column)
        values << table.model->index(subRow, column).data(Qt::EditRole);
    return values;
}

void TenantDialog::addSubRow(const SubTable &table, const QVariantList &values)
{
    const int subRow = table.model->rowCount();
    if (!table.model->insertRows(subRow, 1)) {
        MsgBox::information(this, tr("Unable to add new record"));
        return;
    }
    const QModelIndex index = table.model->index(subRow, 0);
    table.view->setCurrentIndex(index);
    for (int i = 0; i < values.size(); ++i)
        XDataSource::setCellValue(table.model, i + 2, subRow, values.at(i));
    XDataSource::setCellValue(table.model, 1, subRow, key);
    const bool written = XDataSource::insertRow(table.model, subRow);
    showRowsOfTenant(table);
    table.view->setCurrentIndex(table.model->index(subRow, 0));
    if (!written)
        MsgBox::information(this, tr("Unable to add new record"));
}

void TenantDialog::updateSubRow(const SubTable &table, int subRow, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        XDataSource::setCellValue(table.model, i + 2, subRow, values.at(i));
    const bool written = XDataSource::updateRow(table.model, subRow);
    showRowsOfTenant(table);
    table.view->setCurrentIndex(table.model->index(subRow, 0));
    if (!written)
        MsgBox::information(this, tr("Unable to submit data"));
}

void TenantDialog::deleteSubRow(const SubTable &table)
{
    if (!haveKey())
        return;
    const int row = ListFormBase::confirmDeleteOfCurrentRow(this, table.view);
    if (row < 0)
        return;
    qCDebug(velloranLog) << "Delete Record";
    const bool deleted = XDataSource::deleteRow(table.model, row);
    showRowsOfTenant(table);
    if (!deleted)
        MsgBox::information(this, tr("Unable to delete record"));
}

// ---- Vehicles

void TenantDialog::on_pushButton_clicked()
{
    if (!haveKey())
        return;
    VehicleDialog editor(this);
    if (editor.exec() != QDialog::Accepted)
        return;
    QString make, model, number;
    editor.readFields(make, model, number);
    addSubRow(vehicles(), {make, model, number});
}

void TenantDialog::editVehicle()
{
    int subRow;
    if (!haveKey() || !currentSubRow(vehicles(), subRow))
        return;
    const QVariantList values = subRowValues(vehicles(), subRow, 3);
    VehicleDialog editor(this);
    editor.setFields(values.at(0).toString(), values.at(1).toString(), values.at(2).toString());
    if (editor.exec() != QDialog::Accepted)
        return;
    QString make, model, number;
    editor.readFields(make, model, number);
    updateSubRow(vehicles(), subRow, {make, model, number});
}

void TenantDialog::on_pushButton_2_clicked()
{
    editVehicle();
}

void TenantDialog::on_tableView_doubleClicked(const QModelIndex &)
{
    editVehicle();
}

void TenantDialog::on_pushButton_3_clicked()
{
    deleteSubRow(vehicles());
}

// ---- Pets

void TenantDialog::on_pushButton_4_clicked()
{
    if (!haveKey())
        return;
    PetDialog editor(this);
    if (editor.exec() != QDialog::Accepted)
        return;
    QString name, comment;
    editor.readFields(name, comment);
    addSubRow(pets(), {name, comment});
}

void TenantDialog::editPet()
{
    int subRow;
    if (!haveKey() || !currentSubRow(pets(), subRow))
        return;
    const QVariantList values = subRowValues(pets(), subRow, 2);
    PetDialog editor(this);
    editor.setName(values.at(0).toString(), values.at(1).toString());
    if (editor.exec() != QDialog::Accepted)
        return;
    QString name, comment;
    editor.readFields(name, comment);
    updateSubRow(pets(), subRow, {name, comment});
}

void TenantDialog::on_pushButton_5_clicked()
{
    editPet();
}

void TenantDialog::on_tableView_2_doubleClicked(const QModelIndex &)
{
    editPet();
}

void TenantDialog::on_pushButton_6_clicked()
{
    deleteSubRow(pets());
}

// ---- Occupants

void TenantDialog::on_pushButton_7_clicked()
{
    if (!haveKey())
        return;
    OccupantDialog editor(this);
    if (editor.exec() != QDialog::Accepted)
        return;
    QString name, relationship, ssn, comment;
    QDate dob;
    editor.readFields(name, relationship, ssn, dob, comment);
    addSubRow(occupants(), {name, relationship, ssn, dob, comment});
}

void TenantDialog::editOccupant()
{
    int subRow;
    if (!haveKey() || !currentSubRow(occupants(), subRow))
        return;
    const QVariantList values = subRowValues(occupants(), subRow, 5);
    OccupantDialog editor(this);
    editor.setFields(values.at(0).toString(), values.at(1).toString(), values.at(2).toString(),
                     values.at(3).toDate(), values.at(4).toString());
    if (editor.exec() != QDialog::Accepted)
        return;
    QString name, relationship, ssn, comment;
    QDate dob;
    editor.readFields(name, relationship, ssn, dob, comment);
    updateSubRow(occupants(), subRow, {name, relationship, ssn, dob, comment});
}

void TenantDialog::on_pushButton_8_clicked()
{
    editOccupant();
}

void TenantDialog::on_tableView_3_doubleClicked(const QModelIndex &)
{
    editOccupant();
}

void TenantDialog::on_pushButton_9_clicked()
{
    deleteSubRow(occupants());
}
