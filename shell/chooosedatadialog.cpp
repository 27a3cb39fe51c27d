#include "chooosedatadialog.h"
#include "ui_chooosedatadialog.h"

ChoooseDataDialog::ChoooseDataDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ChoooseDataDialog)
{
    ui->setupUi(this);
    setWindowTitle(tr("Choose Database"));
}

ChoooseDataDialog::~ChoooseDataDialog()
{
    delete ui;
}

void ChoooseDataDialog::on_buttonBox_accepted()
{
    m_demo = ui->radioButton->isChecked();
}
