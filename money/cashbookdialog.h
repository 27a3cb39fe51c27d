#ifndef CASHBOOKDIALOG_H
#define CASHBOOKDIALOG_H

#include "datahub/recorddialogbase.h"

#include <QList>

class QStringListModel;
class XDataSource;

namespace Ui {
class CashbookDialog;
}

// The editor of one cashbook entry, a row of the hub's cashbook model. The category decides whether the
// amount is booked as income or as expense. The editor fills the model's cached row only; its caller
// writes the row once it is accepted, or reverts the model when it is cancelled. A vendor added from
// here is kept only with the entry: cancelling the entry takes it back.
class CashbookDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    CashbookDialog(XDataSource *dataSource, int row, QWidget *parent = nullptr);
    ~CashbookDialog() override;

    // A new entry begun as an income (or as an expense) opens on the first category of that kind; the
    // category the clerk then chooses decides how the amount is booked.
    void beginAs(bool income);

    void setRecordId(int id) { m_recordId = id; }
    // The entry's key: the one set by the caller, or the one drawn for a new entry; -1 when neither.
    int recordId() const { return m_recordId; }

public slots:
    void accept() override;
    void reject() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_category_currentIndexChanged(int index);

private:
    void fillVendors();
    void setTypeFromCategory();
    // Reads the vendor the combo names into m_vendorId: -1 for "NONE", the separator and an empty
    // box. A name that is not one of the listed vendors is refused, false.
    bool readVendor();
    // Takes back the vendors added from this editor, the entry being cancelled.
    void dropMadeVendors();

    Ui::CashbookDialog *ui;
    int m_apartmentId = -1;
    int m_row;
    bool m_newRow = false;
    // Posted by a rent payment (the row carries its transaction's key): the payment history owns its
    // date, category and amount.
    bool m_posted = false;
    int m_recordId = -1;
    int m_vendorId = -1;
    QStringListModel *m_vendorModel;
    QList<int> m_vendorKeys;
    QList<int> m_madeVendors;
};

#endif // CASHBOOKDIALOG_H
