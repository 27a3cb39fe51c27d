#include "tenants/freqform.h"
#include "ui_freqform.h"

#include "datahub/xdatasource.h"
#include "tenants/freqdialog.h"

namespace {
const int SystemFlagColumn = 4;
}

FreqForm::FreqForm(XDataSource *dataSource, QWidget *parent)
    : NameListForm(parent)
    , ui(new Ui::FreqForm)
    , dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Rent Frequencies"));
    ui->pushButton_4->hide();
    setupNameList(dataSource->frequencyModel(), ui->tableView, ui->comboBox, ui->lineEdit);
}

FreqForm::~FreqForm()
{
    delete ui;
}

QDialog *FreqForm::createEditor(int row)
{
    return new FreqDialog(dataSource, row, this);
}

bool FreqForm::isProtectedRow(int row) const
{
    return listModel()->index(row, SystemFlagColumn).data().toInt() == 1;
}

QString FreqForm::protectedEditMessage() const
{
    return tr("This is a system defined rent frequency. You cannot modify it!");
}

QString FreqForm::protectedDeleteMessage() const
{
    return tr("This is a system defined frequency. You cannot modify it!");
}
