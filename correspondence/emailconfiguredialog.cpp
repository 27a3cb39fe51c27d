#include "correspondence/emailconfiguredialog.h"
#include "ui_emailconfiguredialog.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"

#include <QSqlRecord>

namespace {
enum MailColumn { SubjectColumn = 1, IntroColumn = 2, SignOffColumn = 3 };
}

EmailConfigureDialog::EmailConfigureDialog(XDataSource *dataSource, int kind, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::EmailConfigureDialog)
    , m_dataSource(dataSource)
    , m_kind(kind)
{
    ui->setupUi(this);
    if (kind == 0)
        setWindowTitle(tr("Configure Late Rent and Charges Email"));
    else if (kind == 1)
        setWindowTitle(tr("Configure Lease Reminder Email"));
    else
        setWindowTitle(tr("Configure Custom Email"));

    const QSqlRecord notice = m_dataSource->mailModel()->record(kind);
    ui->subject->setText(notice.value(SubjectColumn).toString());
    ui->introduction->setPlainText(notice.value(IntroColumn).toString());
    ui->signoff->setPlainText(notice.value(SignOffColumn).toString());
}

EmailConfigureDialog::~EmailConfigureDialog()
{
    delete ui;
}

QString EmailConfigureDialog::sampleBody(int kind)
{
    if (kind == 0)
        return tr("Category  Amount      Due\n"
                  "-----------------------------------------\n"
                  "Rent       $1600       1/15/2021\n"
                  "Parking    $100        1/15/2021\n"
                  "Rent       $1600       2/15/2021\n"
                  "Parking    $100        2/15/2021\n\n");
    if (kind == 1)
        return tr("\nYour current lease/rental agreement expires on June 30, 2021.\n");
    return QString();
}

void EmailConfigureDialog::showPreview()
{
    ui->preview->setPlainText(ui->introduction->toPlainText() + sampleBody(m_kind) + ui->signoff->toPlainText());
}

bool EmailConfigureDialog::saveTemplate()
{
    QSuperSqlTableModel *model = m_dataSource->mailModel();
    const bool saved = XDataSource::setCellValue(model, SubjectColumn, m_kind, ui->subject->text().trimmed())
                       && XDataSource::setCellValue(model, IntroColumn, m_kind, ui->introduction->toPlainText())
                       && XDataSource::setCellValue(model, SignOffColumn, m_kind, ui->signoff->toPlainText())
                       && model->submitRowInView(m_kind, true, false, nullptr);
    if (!saved) {
        model->revertRow(m_kind);
        MsgBox::information(this, tr("Unable to submit data"));
    }
    return saved;
}

void EmailConfigureDialog::on_pushButton_3_clicked()
{
    showPreview();
}

void EmailConfigureDialog::on_pushButton_clicked()
{
    saveTemplate();
}

void EmailConfigureDialog::on_pushButton_2_clicked()
{
    // A failed save keeps the window open with the texts as typed, so nothing is lost.
    if (saveTemplate())
        accept();
}
