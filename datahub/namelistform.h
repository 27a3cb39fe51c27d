#ifndef NAMELISTFORM_H
#define NAMELISTFORM_H

#include "datahub/listformbase.h"

#include <QDialog>
#include <QModelIndex>

class QLineEdit;
class QStringListModel;

// The windows of a small table of names with a description (cashbook categories, rent frequencies):
// the list searched by name or description, New / Edit / Delete through the list flow, and the rows
// the program itself relies on guarded against change. The form gives its Designer widgets the same
// object names, so that the buttons find the slots below.
class NameListForm : public QDialog, protected ListFormBase
{
    Q_OBJECT

protected:
    explicit NameListForm(QWidget *parent = nullptr);
    ~NameListForm() override;

    // After the form's setupUi: every row of `model` (a search left on the shared model by an earlier
    // opening would hide some), its name, description and third column shown, searched by the Field
    // combo's Name or Description.
    void setupNameList(QSuperSqlTableModel *model, QTableView *view, QComboBox *fields, QLineEdit *search);

    // A row the program relies on as it is; Edit and Delete refuse it with these messages.
    virtual bool isProtectedRow(int row) const = 0;
    virtual QString protectedEditMessage() const = 0;
    virtual QString protectedDeleteMessage() const { return protectedEditMessage(); }

    bool canEditRow(int row) override;
    bool canDeleteRow(int row) override;

private slots:
    void on_pushButton_5_clicked();
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_7_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);

private:
    // The list for the Criteria text as it stands now.
    void search();
    QComboBox *m_fields = nullptr;
    QLineEdit *m_search = nullptr;
    QStringListModel *m_fieldModel;
};

#endif // NAMELISTFORM_H
