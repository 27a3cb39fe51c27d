#ifndef FREQFORM_H
#define FREQFORM_H

#include "datahub/namelistform.h"

class XDataSource;

namespace Ui {
class FreqForm;
}

// The rent frequencies: how often a lease's rent or a recurring bill falls due. The frequencies that
// come with the database are flagged and cannot be changed here.
class FreqForm : public NameListForm
{
    Q_OBJECT

public:
    explicit FreqForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~FreqForm() override;

protected:
    QDialog *createEditor(int row) override;
    bool isProtectedRow(int row) const override;
    QString protectedEditMessage() const override;
    QString protectedDeleteMessage() const override;

private:
    Ui::FreqForm *ui;
    XDataSource *dataSource;
};

#endif // FREQFORM_H
