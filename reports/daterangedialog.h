#ifndef DATERANGEDIALOG_H
#define DATERANGEDIALOG_H

#include <QDate>
#include <QDialog>

namespace Ui {
class DateRangeDialog;
}

// Asks for the period of a report: year to date, month to date, today, or two typed dates. Read the
// range only after exec() returned Accepted.
class DateRangeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DateRangeDialog(QWidget *parent = nullptr);
    ~DateRangeDialog() override;

    void range(QDate &start, QDate &end) const;

public slots:
    void accept() override;
    void on_custom_toggled(bool on);

private:
    Ui::DateRangeDialog *ui;
    QDate m_end;
    QDate m_start;
};

#endif // DATERANGEDIALOG_H
