#include "reports/choosegenericdialog.h"

#include "datahub/msgbox.h"

ChooseGenericDialog::ChooseGenericDialog(QWidget *parent)
    : ChooseListDialog(parent)
{
}

void ChooseGenericDialog::setItems(const QStringList &items)
{
    showItems(items);
}

void ChooseGenericDialog::accept()
{
    const QVector<int> rows = selectedRows();
    if (rows.isEmpty()) {
        MsgBox::information(this, tr("You must select at least 1 item!"));
        return;
    }
    m_chosenRows = rows;
    QDialog::accept();
}
