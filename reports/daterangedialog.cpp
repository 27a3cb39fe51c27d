#include "reports/daterangedialog.h"
#include "ui_daterangedialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"

DateRangeDialog::DateRangeDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DateRangeDialog)
{
    ui->setupUi(this);
    setWindowTitle(tr("Select Date Range"));
    const QString today = ShortDate::toText(Today::date());
    ui->from->setText(today);
    ui->to->setText(today);
}

DateRangeDialog::~DateRangeDialog()
{
    delete ui;
}

void DateRangeDialog::range(QDate &start, QDate &end) const
{
    start = m_start;
    end = m_end;
}

void DateRangeDialog::on_custom_toggled(bool on)
{
    ui->from->setEnabled(on);
    ui->to->setEnabled(on);
}

void DateRangeDialog::accept()
{
    const QDate today = Today::date();
    m_end = today;
    if (ui->year->isChecked()) {
        m_start = QDate(today.year(), 1, 1);
    } else if (ui->month->isChecked()) {
        m_start = QDate(today.year(), today.month(), 1);
    } else if (ui->today->isChecked()) {
        m_start = today;
    } else {
        m_start = ShortDate::fromText(ui->from->text().trimmed());
        m_end = ShortDate::fromText(ui->to->text().trimmed());
        if (!m_start.isValid() || !m_end.isValid() || m_start > m_end) {
            MsgBox::information(this, tr("Enter a valid date range!"));
            return;
        }
    }
    QDialog::accept();
}
