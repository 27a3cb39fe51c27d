#ifndef REMINDERSFORM_H
#define REMINDERSFORM_H

#include "datahub/listformbase.h"

#include <QDialog>
#include <QModelIndex>

class QStringListModel;
class XDataSource;

namespace Ui {
class RemindersForm;
}

// The office's reminders: every dated note, a search by title, description or day, and the reminder
// editor. This is where all due reminders can be seen; the start-up pop-up shows only one.
class RemindersForm : public QDialog, protected ListFormBase
{
    Q_OBJECT

public:
    RemindersForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~RemindersForm() override;

private slots:
    void on_pushButton_5_clicked();
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_7_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);

protected:
    QDialog *createEditor(int row) override;

private:
    // The list for the Criteria text as it stands now.
    void search();
    void editReminder();

    Ui::RemindersForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
};

#endif // REMINDERSFORM_H
