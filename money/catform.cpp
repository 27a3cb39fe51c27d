#include "money/catform.h"
#include "ui_catform.h"

#include "datahub/msgbox.h"
#include "datahub/permission.h"
#include "datahub/rowlookup.h"
#include "datahub/xdatasource.h"
#include "money/catdialog.h"

CatForm::CatForm(XDataSource *dataSource, QWidget *parent)
    : NameListForm(parent)
    , ui(new Ui::CatForm)
    , dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Cashbook Categories"));
    ui->pushButton_4->hide();
    setupNameList(dataSource->categoriesModel(), ui->tableView, ui->comboBox, ui->lineEdit);
}

CatForm::~CatForm()
{
    delete ui;
}

bool CatForm::run(XDataSource *dataSource, QWidget *parent)
{
    if (!Permission::granted(parent, dataSource->canUseCashbook()))
        return false;
    CatForm categories(dataSource, parent);
    categories.exec();
    return true;
}

QDialog *CatForm::createEditor(int row)
{
    return new CatDialog(dataSource, row, this);
}

bool CatForm::isProtectedRow(int row) const
{
    // Rent and late fees are booked into these two by payments; their names must stay as they are.
    const int key = listModel()->index(row, 0).data().toInt();
    return key == 5 || key == 7;
}

QString CatForm::protectedEditMessage() const
{
    return tr("This is a system defined category. You cannot modify it!");
}

bool CatForm::canDeleteRow(int row)
{
    if (!NameListForm::canDeleteRow(row))
        return false;
    // An entry booked under a category that is gone would show under no heading at all.
    const int key = listModel()->index(row, 0).data().toInt();
    return RowLookup::nothingInTheWay(this, dataSource->query(),
                                      QStringLiteral("select accid from cashbook where catid = ?"), {key},
                                      tr("This category cannot be deleted: entries in the cashbook are booked "
                                         "under it."));
}
