#ifndef CASHBOOKFORM_H
#define CASHBOOKFORM_H

#include <QModelIndex>
#include <QString>
#include <QWidget>

class QStringListModel;
class QTimer;
class XDataSource;

namespace Ui {
class CashbookForm;
}

// The cashbook page of the work area: every income and expense entry, newest first, with its category,
// vendor, apartment and that apartment's tenant; a search by one field or by date; the totals of the
// whole cashbook; and the entry editor.
class CashbookForm : public QWidget
{
    Q_OBJECT

public:
    explicit CashbookForm(XDataSource *dataSource, QWidget *parent = nullptr);
    ~CashbookForm() override;

    void updateTotals();

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_7_clicked();
    void on_tableView_doubleClicked(const QModelIndex &index);
    void queryChanged();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The list for the Criteria text as it stands now.
    void search();
    QString suiteStatement(const QString &text) const;
    void editEntry(const QModelIndex &index, int accid);
    void setListStatement(const QString &statement);
    void rerunList();
    int currentAccid() const;
    void selectAccid(int accid);

    Ui::CashbookForm *ui;
    XDataSource *dataSource;
    QStringListModel *fieldModel;
    QString baseStatement;
    QTimer *searchTimer;
    // While the page sets its own statement: the list changes, the totals do not.
    bool settingStatement = false;
};

#endif // CASHBOOKFORM_H
