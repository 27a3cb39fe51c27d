#include "properties/ownerform.h"
#include "ui_ownerform.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"

#include <QDataWidgetMapper>

OwnerForm::OwnerForm(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::OwnerForm)
    , row(row)
{
    ui->setupUi(this);
    setWindowTitle(tr("Owner Form"));

    SqlDoubleTableModel *model = dataSource->ownersModel();
    QDataWidgetMapper *map = createMapper(model);
    QLineEdit *const general[] = {ui->lineEdit,    ui->lineEdit_2,  ui->lineEdit_3,  ui->lineEdit_4,  ui->lineEdit_5,
                                  ui->lineEdit_6,  ui->lineEdit_7,  ui->lineEdit_8,  ui->lineEdit_9,  ui->lineEdit_10,
                                  ui->lineEdit_11, ui->lineEdit_12, ui->lineEdit_13};
    for (int i = 0; i < 13; ++i)
        map->addMapping(general[i], i + 1);
    map->addMapping(ui->textEdit, 15);
    map->addMapping(ui->manval, model->fieldIndex(QStringLiteral("manvalue")));
    map->addMapping(ui->manfee, model->fieldIndex(QStringLiteral("manfee")));
    map->addMapping(ui->resvalue, model->fieldIndex(QStringLiteral("resvalue")));
    map->addMapping(ui->banknum, model->fieldIndex(QStringLiteral("banknum")));
    map->addMapping(ui->bankname, model->fieldIndex(QStringLiteral("bankname")));
    map->addMapping(ui->bsb, model->fieldIndex(QStringLiteral("bsb")));

    for (MoneyField *field : {ui->manval, ui->manfee, ui->resvalue}) {
        field->setDecimals(4);
        field->setNegativeAllowed(true);
    }

    map->setCurrentIndex(row);
    // The model shows these three with two decimals; the editor shows what is stored, so that saving
    // the owner for another change does not round them.
    for (MoneyField *field : {ui->manval, ui->manfee, ui->resvalue}) {
        const QVariant stored = model->QSqlTableModel::data(model->index(row, map->mappedSection(field)));
        if (!stored.isNull())
            field->setAmount(stored.toDouble());
    }
    openingCode = ui->lineEdit->text().trimmed();
    ui->lineEdit->setFocus();
}

OwnerForm::~OwnerForm()
{
    delete ui;
}

void OwnerForm::on_buttonBox_accepted()
{
    // OK is answered by accept(), to which the button box is connected.
}

void OwnerForm::accept()
{
    // Blanks around a code would let " A1" and "A1" live side by side, so the code is kept trimmed.
    const QString code = ui->lineEdit->text().trimmed();
    if (!requireText(code, tr("The CODE field cannot be blank")))
        return;
    if (code != openingCode
        && !requireUnique(QStringLiteral("select code from owners where code = ?"), code,
                          tr("The CODE that you have entered already exists. Enter a new CODE")))
        return;
    if (!MoneyField::checkAll({ui->manval, ui->manfee, ui->resvalue}))
        return;
    if (!confirmSubmit())
        return;

    // A row that has no key yet is new, whatever its code was when the editor opened.
    SqlDoubleTableModel *model = dataSource()->ownersModel();
    if (model->QSqlTableModel::data(model->index(row, 0), Qt::EditRole).isNull()) {
        const int key = nextKey(QStringLiteral("GEN_OWNERS_ID"));
        if (key < 0)
            return;
        XDataSource::setCellValue(model, 0, row, key);
    }
    ui->lineEdit->setText(code);
    if (!submitMapper())
        return;
    QDialog::accept();
}
