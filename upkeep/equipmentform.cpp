#include "upkeep/equipmentform.h"
#include "ui_equipmentform.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "properties/selapartmentdialog.h"
#include "reports/tibernereport.h"
#include "upkeep/equipmentdialog.h"

#include <QCloseEvent>
#include <QDebug>
#include <QSqlRecord>
#include <QStringListModel>

namespace {
// Per Field entry, the column the search compares.
const char *const searchColumns[] = {"Description", "Serial", "Model", "Brand"};

QString searchColumn(int index)
{
    return QString::fromLatin1(searchColumns[qBound(0, index, 3)]);
}
}

EquipmentForm::EquipmentForm(XDataSource *dataSource, QWidget *parent)
    : QWidget(parent)
    , ListFormBase(this)
    , ui(new Ui::EquipmentForm)
    , dataSource(dataSource)
    , fieldModel(new QStringListModel(this))
{
    ui->setupUi(this);
    SqlDoubleTableModel *model = dataSource->equipmentModel();
    setListModel(model, ui->tableView);

    // The page opens on the apartment the apartments list starts with, if there is one.
    QSqlDoubleQueryModel *apartments = dataSource->apartmentsQueryModel();
    if (apartments->rowCount() > 0) {
        const QSqlRecord first = apartments->record(0);
        apid = first.value(QStringLiteral("apid")).toInt();
        ui->lineEdit_2->setText(first.value(QStringLiteral("suite")).toString());
        ui->lineEdit_3->setText(first.value(QStringLiteral("description")).toString());
    }
    model->setFilter(apartmentFilter());

    model->setHeaderData(3, Qt::Horizontal, tr("SERIAL #"));
    model->setHeaderData(6, Qt::Horizontal, tr("PURCHASE DATE"));
    model->setHeaderData(7, Qt::Horizontal, tr("PURCHASE PRICE"));
    model->setHeaderData(8, Qt::Horizontal, tr("PURCHASED FROM "));
    ui->tableView->setColumnWidth(2, 200);
    for (int column = 3; column <= 8; ++column)
        ui->tableView->setColumnWidth(column, 150);
    showOnlyColumns(ui->tableView, {2, 3, 4, 5, 6, 7, 8});
    setupListView(ui->tableView);

    setSearchFields(ui->comboBox, fieldModel, {tr("Description"), tr("Serial"), tr("Model"), tr("Brand")});
}

EquipmentForm::~EquipmentForm()
{
    delete ui;
}

QString EquipmentForm::apartmentFilter() const
{
    return QStringLiteral("apid = %1").arg(apid);
}

void EquipmentForm::closeEvent(QCloseEvent *event)
{
    // The main window keeps this page for the whole run.
    event->ignore();
}

QDialog *EquipmentForm::createEditor(int row)
{
    return new EquipmentDialog(dataSource, row, apid, this);
}

void EquipmentForm::initNewRow(int row)
{
    XDataSource::setFieldValue(dataSource->equipmentModel(), QStringLiteral("apid"), row, apid);
}

bool EquipmentForm::apartmentExists(int apartmentKey)
{
    QSqlQuery *query = dataSource->query();
    query->clear();
    query->prepare(QStringLiteral("select apid from apartments where apid = ?"));
    query->addBindValue(apartmentKey);
    query->exec();
    const bool found = query->first();
    query->clear();
    return found;
}

void EquipmentForm::editEquipment()
{
    editCurrentRecord();
}

void EquipmentForm::on_pushButton_5_clicked()
{
    SelApartmentDialog picker(dataSource, this);
    if (picker.exec() != QDialog::Accepted)
        return;
    ui->lineEdit_2->setText(picker.suite());
    ui->lineEdit_3->setText(picker.buildingDescription());
    apid = picker.apartmentId();
    dataSource->equipmentModel()->setFilter(apartmentFilter());
}

void EquipmentForm::on_pushButton_7_clicked()
{
    dataSource->equipmentModel()->setFilter(apartmentFilter());
}

void EquipmentForm::on_lineEdit_textChanged(const QString &)
{
    const QString like = likeFilter(searchColumn(ui->comboBox->currentIndex()).toLower(), ui->lineEdit->text());
    if (like.isEmpty()) {
        dataSource->equipmentModel()->setFilter(apartmentFilter());
        return;
    }
    const QString filter = QStringLiteral("%1 and apid = %2").arg(like, QString::number(apid));
    qCDebug(velloranLog) << "query: " << filter << "apid " << apid;
    dataSource->equipmentModel()->setFilter(filter);
}

void EquipmentForm::on_pushButton_clicked()
{
    // An item must belong to an apartment that is still there.
    if (!apartmentExists(apid)) {
        MsgBox::information(this, tr("Unable to add new record"));
        return;
    }
    addRecord();
}

void EquipmentForm::on_pushButton_2_clicked()
{
    editEquipment();
}

void EquipmentForm::on_pushButton_3_clicked()
{
    deleteCurrentRecord();
}

void EquipmentForm::on_pushButton_4_clicked()
{
    if (!mayPrintReports(this, dataSource))
        return;
    SqlDoubleTableModel *model = dataSource->equipmentModel();
    if (model->rowCount() == 0) {
        MsgBox::information(this, tr("No data available!"));
        return;
    }
    QString condition = apartmentFilter();
    if (model->filter() != condition) {
        const QString like = likeFilter(searchColumn(ui->comboBox->currentIndex()), ui->lineEdit->text());
        if (!like.isEmpty())
            condition = QStringLiteral("%1 and apid = %2").arg(like, QString::number(apid));
    }
    QSqlDoubleQueryModel *report = dataSource->reportQueryModel();
    report->clear();
    report->setQuery(QStringLiteral("select * from equipments where %1  order by description asc").arg(condition),
                     QSqlDatabase::database());
    if (TiberneReport *reports = dataSource->reportGenerator())
        reports->printEquipment(report, {ui->lineEdit_3->text(), ui->lineEdit_2->text()});
}

void EquipmentForm::on_tableView_doubleClicked(const QModelIndex &)
{
    editEquipment();
}
