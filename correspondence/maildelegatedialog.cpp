#include "correspondence/maildelegatedialog.h"
#include "ui_maildelegatedialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "platform/mail/smtpclient.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace {
enum MailColumn { SubjectColumn = 1, IntroColumn = 2, SignOffColumn = 3 };
// The rows of the mail table, which numbers the notices its own way.
enum MailRow { LateRentRow = 0, LeaseExpiryRow = 1, CustomRow = 2 };

// Typed text as HTML: nothing the office or a tenant typed may be taken for markup.
QString htmlText(const QString &plain)
{
    return plain.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br/>"));
}
}

MailDelegateDialog::MailDelegateDialog(XDataSource *dataSource, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::MailDelegateDialog)
    , m_dataSource(dataSource)
{
    ui->setupUi(this);
    setWindowTitle(tr("Send Email"));
    ui->label->setText(tr("Ready To Send Mail"));
    connect(this, &MailDelegateDialog::sendStatus, this, &MailDelegateDialog::status);
}

MailDelegateDialog::~MailDelegateDialog()
{
    delete ui;
}

void MailDelegateDialog::on_pushButton_3_clicked()
{
    ui->progressBar->setMaximum(m_recipients.size());
    ui->progressBar->setMinimum(0);
    ui->progressBar->setValue(0);
    m_current = -1;
    ui->pushButton_3->setEnabled(false);
    ui->pushButton_2->setEnabled(false);
    processFrom(-1);
}

void MailDelegateDialog::processFrom(int index)
{
    // A loop, not a chain of calls: the list may be long, and each e-mail's session must be gone
    // before the next one opens.
    int after = index;
    for (;;) {
        m_current = after + 1;
        ui->progressBar->setValue(m_current);
        if (m_current >= m_recipients.size()) {
            ui->pushButton_2->setEnabled(true);
            ui->label->setText(tr("You are done!"));
            return;
        }
        m_next = Next::Following;
        bool attempted = false;
        switch (m_kind) {
        case 0:
            attempted = sendCustomEmail(m_current);
            break;
        case 1:
            attempted = sendLateRentEmail(m_current);
            break;
        case 2:
            attempted = sendLeaseExpiryEmail(m_current);
            break;
        default:
            break;
        }
        if (attempted && m_next == Next::Stop) {
            close();
            return;
        }
        after = attempted && m_next == Next::Again ? m_current - 1 : m_current;
    }
}

bool MailDelegateDialog::sendNotice(int mailRow, const QString &statement, const Composer &compose)
{
    const QSqlRecord texts = m_dataSource->mailModel()->record(mailRow);
    const QString subject = texts.value(SubjectColumn).toString();
    const QString intro = htmlText(texts.value(IntroColumn).toString());
    const QString signOff = htmlText(texts.value(SignOffColumn).toString());

    QSqlQuery *query = m_dataSource->query();
    query->clear();
    if (!query->exec(statement) || !query->next()) {
        query->clear();
        return false;
    }
    const QString address = query->value(QStringLiteral("email")).toString();
    const QString name = query->value(QStringLiteral("fullname")).toString();
    const QString html = compose(query, intro, signOff);
    // Let go of the rows before the network is waited on.
    query->clear();

    ui->label->setText(QStringLiteral("%1 %2").arg(tr("Sending Email To"), name));
    // The run holds the event loop until it ends; show who is being sent to now.
    ui->label->repaint();
    sendEmail(address, name, subject, html);
    return true;
}

bool MailDelegateDialog::sendCustomEmail(int index)
{
    return sendNotice(CustomRow,
                      QStringLiteral("select t.tid, t.company,  t.firstname||' '||t.lastname as fullname,  "
                                     "t.dat1 as email  from tenants t where t.tid = %1 ")
                          .arg(m_recipients.at(index)),
                      [](QSqlQuery *, const QString &intro, const QString &signOff) {
                          return QStringLiteral("<html><body><p>%1</p><br/>\n<p>%2</p><br/>\n</body></html>")
                              .arg(intro, signOff);
                      });
}

bool MailDelegateDialog::sendLateRentEmail(int index)
{
    // Only what is still owed: a paid charge has no place in a reminder to pay.
    const QString statement =
        QStringLiteral("select c.fordate, c.amt, c.type, t.tid, t.id, t.company,  t.firstname||' '||t.lastname as "
                       "fullname, t.dat1 as email  from charges  c left join tenants t  on t.tid = c.tid  "
                       "where c.fordate < '%1' and c.amt > 0 and t.tid = %2  order by c.fordate asc")
            .arg(m_dateText)
            .arg(m_recipients.at(index));
    return sendNotice(LateRentRow, statement, [](QSqlQuery *query, const QString &intro, const QString &signOff) {
        QString table = QStringLiteral("<table><tr><th>%1</th><th>%2</th><th>%3</th> </tr>\n")
                            .arg(tr("Bill Date"), tr("Category"), tr("Amount"));
        do {
            const QString date = ShortDate::toText(query->value(QStringLiteral("fordate")).toDate());
            const QString category = query->value(QStringLiteral("type")).toString();
            const QString amount =
                QStringLiteral("%L1").arg(query->value(QStringLiteral("amt")).toDouble(), 15, 'f', 2, QLatin1Char(' '));
            table += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                         .arg(date.toHtmlEscaped(), category.toHtmlEscaped(), amount.toHtmlEscaped());
        } while (query->next());
        table += QStringLiteral("</table>");
        return QStringLiteral("<html><body><p>%1</p><br/>\n%2 <br/><p>%3</p><br/>\n</body></html>")
            .arg(intro, table, signOff);
    });
}

bool MailDelegateDialog::sendLeaseExpiryEmail(int index)
{
    const QString statement =
        QStringLiteral("select a.leaseend, t.tid, t.id, t.company,  t.firstname||' '||t.lastname as fullname, "
                       "t.dat1 as email  from agreements a left join tenants t  on t.tid = a.tid  "
                       "where a.leaseend < '%1'  and a.leaseend >= '%2'  and t.tid = %3 order by fullname")
            .arg(m_dateText, XDataSource::toSqlDate(Today::date()))
            .arg(m_recipients.at(index));
    return sendNotice(LeaseExpiryRow, statement, [](QSqlQuery *query, const QString &intro, const QString &signOff) {
        const QString line = QStringLiteral("%1: %2<br/>")
                                 .arg(tr("Lease expires on"),
                                      ShortDate::toText(query->value(QStringLiteral("leaseend")).toDate()).toHtmlEscaped());
        return QStringLiteral("<html><body><p>%1</p><br/>\n<p>%2</p><br/>\n<p>%3</p><br/>\n</body></html>")
            .arg(intro, line, signOff);
    });
}

bool MailDelegateDialog::sendEmail(const QString &address, const QString &name, const QString &subject,
                                   const QString &html)
{
    MimeMessage message(true);
    message.setSender(EmailAddress(m_dataSource->senderAddress(), m_dataSource->senderName()));
    message.addRecipient(EmailAddress(address, name), MimeMessage::To);
    message.setSubject(subject);
    MimeHtml body(QString{});
    body.setHtml(html);
    message.addPart(body);

    QString outcome;
    // A header that would carry a line break is refused before any connection is made.
    const QString problem = message.problem();
    if (!problem.isEmpty()) {
        outcome = tr("The e-mail was not sent: %1").arg(problem);
    } else {
        // The session ends with this block, before the user is asked anything.
        SmtpClient client(m_dataSource->smtpServer(), m_dataSource->smtpPort(),
                          m_dataSource->useTls() ? SmtpClient::TlsConnection : SmtpClient::SslConnection);
        client.setUser(m_dataSource->smtpUser());
        client.setPassword(m_dataSource->mailPassword());
        if (!client.connectToHost()) {
            outcome = tr("Failed to connect to host!");
        } else if (!client.login()) {
            outcome = tr("Failed to login!");
        } else if (!client.sendMail(message)) {
            outcome = tr("Failed to send mail");
        } else {
            client.quit();
            outcome = QStringLiteral("success");
        }
    }
    const bool sent = outcome == QLatin1String("success");
    emit sendStatus(outcome);
    return sent;
}

void MailDelegateDialog::status(const QString &text)
{
    if (text == QLatin1String("success")) {
        m_next = Next::Following;
        return;
    }
    const QMessageBox::StandardButton answer =
        MsgBox::choice(this, text,
                       {{QMessageBox::Retry, tr("Retry")}, {QMessageBox::Ignore, tr("Skip")}, {QMessageBox::Abort, tr("Abort")}},
                       tr("Morvessa"));
    if (answer == QMessageBox::Ignore)
        m_next = Next::Following;
    else if (answer == QMessageBox::Abort)
        m_next = Next::Stop;
    else
        m_next = Next::Again;
}

void MailDelegateDialog::on_pushButton_clicked()
{
    if (!ui->pushButton_3->isEnabled() && m_current != m_recipients.size()) {
        if (MsgBox::question(this, tr("Are you sure you want to quit!"), tr("Morvessa")) == QMessageBox::Yes)
            close();
        return;
    }
    close();
}

void MailDelegateDialog::on_pushButton_2_clicked()
{
    close();
}
