#ifndef CHOOSELISTDIALOG_H
#define CHOOSELISTDIALOG_H

#include <QDialog>
#include <QStringList>
#include <QVector>

class QStringListModel;
class XDataSource;

namespace Ui {
class ChooseListDialog;
}

// What the report choosers of owners, buildings and plain list entries share: one form with a
// caption and a list in which the user picks one or more entries before OK.
class ChooseListDialog : public QDialog
{
    Q_OBJECT

public:
    ~ChooseListDialog() override;

    void setTexts(const QString &title, const QString &label);

protected:
    explicit ChooseListDialog(QWidget *parent = nullptr);

    // Shows the texts in a new list model; the previous one goes.
    void showItems(const QStringList &items);
    // Runs the statement on the hub's shared query and lists its second column, keeping the first
    // (the record's key) in `ids`, one per row after those already there.
    void showRecords(XDataSource *dataSource, const QString &sql, QStringList items, QVector<int> &ids);
    // The picked rows in the order the list's selection reports them.
    QVector<int> selectedRows() const;

    Ui::ChooseListDialog *ui;
    QStringListModel *listModel = nullptr;
};

#endif // CHOOSELISTDIALOG_H
