#ifndef DESTINATIONLISTDIALOG_H
#define DESTINATIONLISTDIALOG_H

#include <QDialog>
#include <QVector>

class XDataSource;

namespace Ui {
class DestinationListDialog;
}

// The mailing list: the tenants the caller loaded into the report query model, each with a tick,
// all ticked at first. Send hands back the keys of the ticked ones. The caller's statement selects
// the tenants' tid and id and the aliases fullname and email.
class DestinationListDialog : public QDialog
{
    Q_OBJECT

public:
    DestinationListDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~DestinationListDialog() override;

    // The ticked tenant keys in list order; valid once the dialog was accepted.
    QVector<int> selectedTenantIds() const { return m_selected; }

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();

private:
    Ui::DestinationListDialog *ui;
    XDataSource *m_dataSource;
    QVector<int> m_selected;
};

#endif // DESTINATIONLISTDIALOG_H
