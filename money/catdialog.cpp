#include "money/catdialog.h"
#include "ui_catdialog.h"

#include "datahub/textfold.h"
#include "datahub/xdatasource.h"

#include <QDataWidgetMapper>

CatDialog::CatDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::CatDialog)
    , row(row)
{
    ui->setupUi(this);
    setWindowTitle(tr("Cashbook Category Dialog"));

    QUniversalSqlTableModel *model = dataSource->categoriesModel();
    QDataWidgetMapper *map = createMapper(model);
    map->addMapping(ui->name, 1);
    map->addMapping(ui->description, 2);
    map->setCurrentIndex(row);

    if (model->data(model->index(row, 0), Qt::EditRole).isNull())
        isNewCategory = true;
    else if (model->data(model->index(row, 3), Qt::UserRole).toInt() != 0)
        ui->incomeRadio->setChecked(true);
    else
        ui->expenseRadio->setChecked(true);

    loadedName = ui->name->text();
    ui->name->setFocus();
}

CatDialog::~CatDialog()
{
    delete ui;
}

void CatDialog::accept()
{
    if (!requireText(ui->name->text(), tr("The category name field cannot be blank")))
        return;

    QUniversalSqlTableModel *model = dataSource()->categoriesModel();
    XDataSource::setFieldValue(model, QStringLiteral("type"), row, ui->incomeRadio->isChecked() ? 1 : 0);

    // The row itself does not count: giving a category's own name another letter case is no duplicate.
    if (ui->name->text().trimmed() != loadedName
        && !requireUniqueToRow(
            QStringLiteral("select name from categories where %1 and catid is distinct from ?")
                .arg(TextFold::sameText(QStringLiteral("categories"), QStringLiteral("name"))),
            ui->name->text().trimmed(), model, row,
            tr("The new category name you have entered already exists!")))
        return;
    submitRecord(model, row, isNewCategory, QStringLiteral("GEN_CATEGORIES_ID"));
}
