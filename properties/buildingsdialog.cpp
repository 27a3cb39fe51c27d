#include "properties/buildingsdialog.h"
#include "ui_buildingsdialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"

#include <QDataWidgetMapper>
#include <QIntValidator>
#include <QSqlRecord>
#include <QSqlRelationalDelegate>

BuildingsDialog::BuildingsDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::BuildingsDialog)
{
    ui->setupUi(this);
    setWindowTitle(tr("Buildings Dialog"));

    QSqlDoubleRelationalTableModel *model = dataSource->buildingsModel();
    QDataWidgetMapper *map = createMapper(model);
    // The delegate lets the owner combo show codes and put the owner's key into the row.
    map->setItemDelegate(new QSqlRelationalDelegate(map));
    QSqlTableModel *owners = model->relationModel(17);
    // The owner list is read once per run otherwise: an owner added since would not be offered, and
    // a deleted one would be, leaving a building that no list shows.
    owners->select();
    ui->comboBox->setModel(owners);
    ui->comboBox->setModelColumn(owners->fieldIndex(QStringLiteral("CODE")));

    map->addMapping(ui->comboBox, 17);
    map->addMapping(ui->lineEdit_2, 1);
    map->addMapping(ui->lineEdit_3, 2);
    map->addMapping(ui->lineEdit_4, 3);
    map->addMapping(ui->lineEdit_5, 7);
    map->addMapping(ui->lineEdit_6, 8);
    map->addMapping(ui->lineEdit_7, 4);
    map->addMapping(ui->lineEdit_8, 9);
    map->addMapping(ui->lineEdit_9, 10);
    map->addMapping(ui->lineEdit_10, 11);
    map->addMapping(ui->lineEdit_11, 5);
    map->addMapping(ui->lineEdit_12, 14);
    map->addMapping(ui->lineEdit_13, 6);
    map->addMapping(ui->lineEdit_15, 13);
    map->setCurrentIndex(row);

    auto *count = new QIntValidator(this);
    count->setBottom(0);
    ui->lineEdit_8->setValidator(count);

    ui->comboBox->setFocus();
    loadedDescription = ui->lineEdit_2->text().trimmed();

    QDate purchased;
    if (!loadedDescription.isEmpty()) {
        purchased = model->record(row).value(12).toDate();
    } else {
        purchased = Today::date();
        ui->comboBox->setCurrentIndex(0);
    }
    ui->lineEdit_14->setText(purchased.isValid() ? ShortDate::toText(purchased) : QString());
}

BuildingsDialog::~BuildingsDialog()
{
    delete ui;
}

void BuildingsDialog::accept()
{
    const QString description = ui->lineEdit_2->text().trimmed();
    if (!requireText(description, tr("The DESCRIPTION field cannot be blank")))
        return;
    // The buildings list joins every building to its owner: one without an owner would vanish from it.
    if (ui->comboBox->currentIndex() < 0) {
        MsgBox::information(this, tr("Select the owner of the building"));
        return;
    }
    if (description != loadedDescription) {
        changedDescription = true;
        if (!requireUnique(QStringLiteral("select description from buildings where description = ?"), description,
                           tr("The DESCRIPTION that you have entered already exists. Enter a new DESCRIPTION")))
            return;
    }
    const QDate purchased = ShortDate::fromText(ui->lineEdit_14->text().trimmed());
    if (!purchased.isValid()) {
        MsgBox::information(this, tr("Enter a valid purchase date!"));
        return;
    }
    if (!ui->lineEdit_15->check())
        return;
    XDataSource::setCellValue(dataSource()->buildingsModel(), 12, mapper()->currentIndex(), purchased);
    if (!confirmSubmit())
        return;
    // The uniqueness lookup compared the trimmed text, so the trimmed text is what is kept.
    ui->lineEdit_2->setText(description);
    if (!submitMapper(tr("Error submitting data!")))
        return;
    QDialog::accept();
}

void BuildingsDialog::reject()
{
    mapper()->revert();
    QDialog::reject();
}
