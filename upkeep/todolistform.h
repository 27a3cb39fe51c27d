#ifndef TODOLISTFORM_H
#define TODOLISTFORM_H

#include "datahub/listformbase.h"

#include <QDate>
#include <QDialog>
#include <QModelIndex>

class XDataSource;

namespace Ui {
class ToDoListForm;
}

// The office's to-do list by day: the items of the day chosen in the calendar (or of every day), and
// the item editor, which adds new items on the chosen day.
class ToDoListForm : public QDialog, protected ListFormBase
{
    Q_OBJECT

public:
    ToDoListForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~ToDoListForm() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_calendarWidget_clicked(const QDate &date);
    void on_calendarWidget_activated(const QDate &date);
    void on_pushButton_5_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);

protected:
    QDialog *createEditor(int row) override;
    void initNewRow(int row) override;

private:
    void editItem();
    void filterByDate(const QDate &date);

    Ui::ToDoListForm *ui;
    XDataSource *dataSource;
};

#endif // TODOLISTFORM_H
