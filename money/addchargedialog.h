#ifndef ADDCHARGEDIALOG_H
#define ADDCHARGEDIALOG_H

#include "datahub/recorddialogbase.h"

#include <QList>

class QAbstractItemModel;

namespace Ui {
class AddChargeDialog;
}

// A one-time charge for one of the tenant's apartments, filled into the row of the charges model that
// the rent collection window appended. The window writes the row once the editor is accepted.
class AddChargeDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    // `apartments` lists the tenant's apartments as the collection window shows them; `apartmentKeys`
    // holds their keys in the same order.
    AddChargeDialog(XDataSource *dataSource, int row, QAbstractItemModel *apartments,
                    const QList<int> *apartmentKeys, QWidget *parent = nullptr);
    ~AddChargeDialog() override;

public slots:
    void accept() override;

private slots:
    void on_pushButton_clicked();

private:
    Ui::AddChargeDialog *ui;
    int m_row;
    bool m_newRecord;
    const QList<int> *m_apartmentKeys;
};

#endif // ADDCHARGEDIALOG_H
