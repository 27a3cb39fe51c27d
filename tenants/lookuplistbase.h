#ifndef LOOKUPLISTBASE_H
#define LOOKUPLISTBASE_H

#include "datahub/listformbase.h"

class QLineEdit;
class XDataSource;

// What the credit-card types and lease terms windows share: the names of a small table in one column,
// a name added from a line edit unless it exists already in any letter case, and the list windows'
// delete. There is no editor: a name is added or deleted, never changed.
class LookupListBase : protected ListFormBase
{
    Q_DECLARE_TR_FUNCTIONS(LookupListBase)

protected:
    struct Setup
    {
        QString table;            // as the duplicate test names it
        QString header;           // of the one column shown
        QString duplicateMessage; // shown when the name exists
    };

    LookupListBase(QWidget *window, XDataSource *dataSource);

    void setupList(QSuperSqlTableModel *model, QTableView *view, QLineEdit *lineEdit, const Setup &setup);
    void insertName();
    void deleteName();

    QDialog *createEditor(int row) override;

private:
    QWidget *m_window;
    XDataSource *m_dataSource;
    QLineEdit *m_lineEdit = nullptr;
    Setup m_setup;
};

#endif // LOOKUPLISTBASE_H
