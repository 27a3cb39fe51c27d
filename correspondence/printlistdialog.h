#ifndef PRINTLISTDIALOG_H
#define PRINTLISTDIALOG_H

#include <QDialog>
#include <QVector>

class XDataSource;

namespace Ui {
class PrintListDialog;
}

// The tenants a letter is printed for: every tenant of the report query model with a tick, all
// ticked at first. Takes the model's rows and leaves the model empty.
class PrintListDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PrintListDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~PrintListDialog() override;

    // The keys of the tenants ticked when Print was pressed, top row first.
    QVector<int> checkedTenantIds() const { return m_checked; }

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();

private:
    Ui::PrintListDialog *ui;
    XDataSource *m_data;
    QVector<int> m_checked;
};

#endif // PRINTLISTDIALOG_H
