#ifndef CHOOOSEDATADIALOG_H
#define CHOOOSEDATADIALOG_H

#include <QDialog>

namespace Ui {
class ChoooseDataDialog;
}

// Asked at every start, before any database is touched: the demonstration or the working database.
class ChoooseDataDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ChoooseDataDialog(QWidget *parent = nullptr);
    ~ChoooseDataDialog() override;

    bool isDemoChosen() const { return m_demo; }

private slots:
    void on_buttonBox_accepted();

private:
    Ui::ChoooseDataDialog *ui;
    // Only an explicit OK on the working option leaves the demonstration database: closing the
    // dialog any other way must never put a stranger's hands on the office's real data.
    bool m_demo = true;
};

#endif // CHOOOSEDATADIALOG_H
