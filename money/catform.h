#ifndef CATFORM_H
#define CATFORM_H

#include "datahub/namelistform.h"

class XDataSource;

namespace Ui {
class CatForm;
}

// The cashbook categories: the income and expense headings of the cashbook, whose names are also the
// types of charges. The two categories rent collection books into cannot be changed here, and a category
// that cashbook entries are booked under cannot be deleted.
class CatForm : public NameListForm
{
    Q_OBJECT

public:
    explicit CatForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~CatForm() override;

    // Runs the window modally for a user with the cashbook right, whose window it is (its names are
    // what the cashbook's entries are booked under), and refuses anyone else as the menu does. Every
    // command that opens it, the New buttons of the editors beside a type combo included, comes here.
    // False when refused.
    static bool run(XDataSource *dataSource, QWidget *parent);

protected:
    QDialog *createEditor(int row) override;
    bool isProtectedRow(int row) const override;
    QString protectedEditMessage() const override;
    bool canDeleteRow(int row) override;

private:
    Ui::CatForm *ui;
    XDataSource *dataSource;
};

#endif // CATFORM_H
