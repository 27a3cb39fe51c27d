#ifndef AGREEMENTSDIALOG_H
#define AGREEMENTSDIALOG_H

#include "datahub/recorddialogbase.h"

class QLineEdit;

namespace Ui {
class AgreementsDialog;
}

// The rental agreement (lease) of an apartment over one row of the agreements model: rent, deposit,
// late fees, frequency, term and the six lease dates. A new agreement is filled in and checked here;
// an existing one is only shown. The apartments window writes the row and what follows from it.
class AgreementsDialog : public RecordDialogBase
{
    Q_OBJECT

public:
    AgreementsDialog(XDataSource *dataSource, int row, bool isNew, QWidget *parent = nullptr);
    ~AgreementsDialog() override;

    void setTenantInfo(const QString &suite, const QString &company, const QString &firstname,
                       const QString &lastname);
    // The key drawn for a new agreement; -1 until one was drawn.
    int agreementId() const { return m_agreementId; }

public slots:
    void accept() override;

private:
    QList<QLineEdit *> dateFields() const;

    Ui::AgreementsDialog *ui;
    int m_row;
    bool m_isNew;
    int m_agreementId = -1;
};

#endif // AGREEMENTSDIALOG_H
