#include "tenants/creditcardsdialog.h"
#include "ui_creditcardsdialog.h"

#include "datahub/xdatasource.h"

CreditCardsDialog::CreditCardsDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , LookupListBase(this, dataSource)
    , ui(new Ui::CreditCardsDialog)
    , dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Credit Cards"));
    setupList(dataSource->ccardsModel(), ui->tableView, ui->lineEdit,
              {QStringLiteral("ccards"), tr("CARD NAME"), tr("Credit card already exists")});
}

CreditCardsDialog::~CreditCardsDialog()
{
    delete ui;
}

void CreditCardsDialog::on_pushButton_clicked()
{
    insertName();
}

void CreditCardsDialog::on_pushButton_2_clicked()
{
    deleteName();
}
