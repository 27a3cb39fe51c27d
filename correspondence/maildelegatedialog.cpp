#include "correspondence/maildelegatedialog.h"
#include "ui_maildelegatedialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "platform/mail/smtpclient.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

#include <memory>

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
    // Closed while a server is still being waited on: the session is cut short, not waited out.
    if (m_session) {
        m_abort = true;
        m_session->wait();
        delete m_session;
    }
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
    // A loop that stops at the first e-mail attempted: its session ends in the event loop, which goes
    // on from there (status). So the run never nests one call deeper per recipient, and only one
    // session is ever open.
    for (m_current = index + 1;; ++m_current) {
        ui->progressBar->setValue(m_current);
        if (m_stopping) {
            close();
            return;
        }
        if (m_current >= m_recipients.size()) {
            finishRun();
            return;
        }
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
        if (attempted)
            return;
    }
}

void MailDelegateDialog::finishRun()
{
    ui->pushButton_2->setEnabled(true);
    const int tried = m_sent + m_notSent.size() + m_unconfirmed.size();
    QString count = tr("%1 of %2 e-mails were sent.").arg(m_sent).arg(tried);
    if (!m_unconfirmed.isEmpty())
        count += QLatin1Char(' ') + tr("%1 more may have been delivered.").arg(m_unconfirmed.size());
    if (m_notSent.isEmpty() && m_unconfirmed.isEmpty()) {
        ui->label->setText(tried == 0 ? tr("You are done!") : QStringLiteral("%1 %2").arg(tr("You are done!"), count));
        return;
    }
    ui->label->setText(count);
    QStringList lines{count};
    if (!m_notSent.isEmpty())
        lines << QStringLiteral("%1 %2").arg(tr("Not sent:"), m_notSent.join(QStringLiteral(", ")));
    if (!m_unconfirmed.isEmpty())
        lines << QStringLiteral("%1 %2").arg(tr("Sent but not confirmed by the server, so perhaps delivered:"),
                                             m_unconfirmed.join(QStringLiteral(", ")));
    MsgBox::information(this, lines.join(QLatin1Char('\n')), tr("Morvessa"));
}

QString MailDelegateDialog::unconfirmedText(const QString &server) const
{
    return QStringLiteral("%1\n%2\n%3 %4")
        .arg(tr("The e-mail to %1 went to the mail server in full, but the server did not confirm it.").arg(m_attemptName),
             tr("It may have been delivered; sent again, it may arrive twice."), tr("Server:"), server);
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
    m_attemptName = name;
    MimeMessage message(true);
    message.setSender(EmailAddress(m_dataSource->senderAddress(), m_dataSource->senderName()));
    message.addRecipient(EmailAddress(address, name), MimeMessage::To);
    message.setSubject(subject);
    MimeHtml body(QString{});
    body.setHtml(html);
    message.addPart(body);

    // A header that would carry a line break is refused before any connection is made. The answer
    // still comes from the event loop, as a session's would.
    const QString problem = message.problem();
    if (!problem.isEmpty()) {
        const QString text = tr("The e-mail was not sent: %1").arg(problem);
        QMetaObject::invokeMethod(this, [this, text] { emit sendStatus(text); }, Qt::QueuedConnection);
        return false;
    }

    const QString host = m_dataSource->smtpServer();
    const int port = m_dataSource->smtpPort();
    const SmtpClient::ConnectionType type = m_dataSource->useTls() ? SmtpClient::TlsConnection : SmtpClient::SslConnection;
    const QString user = m_dataSource->smtpUser();
    const QString password = m_dataSource->mailPassword();
    auto outcome = std::make_shared<Outcome>();
    m_abort = false;
    m_session = QThread::create([=] {
        SmtpClient client(host, port, type);
        client.setUser(user);
        client.setPassword(password);
        client.setAbortFlag(&m_abort);
        // A server may take minutes to confirm a message; the window says what it is waiting for.
        client.setAwaitingConfirmation([this, name] {
            QMetaObject::invokeMethod(
                this,
                [this, name] {
                    if (!m_stopping)
                        ui->label->setText(tr("Waiting for the mail server to confirm the e-mail to %1").arg(name));
                },
                Qt::QueuedConnection);
        });
        outcome->server = client.serverText();
        if (!client.connectToHost())
            outcome->step = Outcome::Connect;
        else if (!client.login())
            outcome->step = Outcome::LogIn;
        else if (!client.sendMail(message))
            outcome->step = Outcome::Send;
        else
            client.quit();
        outcome->reason = client.lastError();
        outcome->unconfirmed = client.deliveryUnconfirmed();
        // The client goes here, on this thread, so the connection is closed before the next opens.
    });
    QThread *session = m_session;
    connect(session, &QThread::finished, this, [this, session, outcome] {
        if (m_session == session)
            m_session = nullptr;
        session->deleteLater();
        sessionEnded(*outcome);
    });
    session->start();
    return true;
}

void MailDelegateDialog::sessionEnded(const Outcome &outcome)
{
    QString text = QStringLiteral("success");
    m_attemptUnconfirmed = outcome.step == Outcome::Send && outcome.unconfirmed;
    if (m_attemptUnconfirmed) {
        text = unconfirmedText(outcome.server);
    } else if (outcome.step != Outcome::Sent) {
        const QString step = outcome.step == Outcome::Connect ? tr("Failed to connect to host!")
                             : outcome.step == Outcome::LogIn ? tr("Failed to login!")
                                                              : tr("Failed to send mail");
        text = QStringLiteral("%1\n%2\n%3 %4").arg(step, outcome.reason, tr("Server:"), outcome.server);
    }
    emit sendStatus(text);
}

void MailDelegateDialog::status(const QString &text)
{
    if (m_askingToStop) {
        // Decided once the user has answered whether to stop.
        m_pendingStatus = text;
        m_hasPendingStatus = true;
        return;
    }
    if (text == QLatin1String("success")) {
        ++m_sent;
        processFrom(m_current);
        return;
    }
    QStringList &missed = m_attemptUnconfirmed ? m_unconfirmed : m_notSent;
    if (m_stopping) {
        missed << m_attemptName;
        // Cancelled while the server was confirming: what became of that e-mail is not known.
        if (m_attemptUnconfirmed)
            MsgBox::information(this, text, tr("Morvessa"));
        close();
        return;
    }
    // Sending again what the server may already have delivered is the user's choice, never the
    // default: Skip comes first there.
    const QList<QPair<QMessageBox::StandardButton, QString>> buttons =
        m_attemptUnconfirmed
            ? QList<QPair<QMessageBox::StandardButton, QString>>{{QMessageBox::Ignore, tr("Skip")},
                                                                 {QMessageBox::Retry, tr("Send Again")},
                                                                 {QMessageBox::Abort, tr("Abort")}}
            : QList<QPair<QMessageBox::StandardButton, QString>>{{QMessageBox::Retry, tr("Retry")},
                                                                 {QMessageBox::Ignore, tr("Skip")},
                                                                 {QMessageBox::Abort, tr("Abort")}};
    const QMessageBox::StandardButton answer = MsgBox::choice(this, text, buttons, tr("Morvessa"));
    if (answer == QMessageBox::Retry) {
        processFrom(m_current - 1);
    } else if (answer == QMessageBox::Abort) {
        missed << m_attemptName;
        close();
    } else if (answer == QMessageBox::Ignore || m_attemptUnconfirmed) {
        missed << m_attemptName;
        processFrom(m_current);
    } else {
        processFrom(m_current - 1);
    }
}

void MailDelegateDialog::on_pushButton_clicked()
{
    if (!ui->pushButton_3->isEnabled() && m_current != m_recipients.size()) {
        m_askingToStop = true;
        const bool stop = MsgBox::question(this, tr("Are you sure you want to quit!"), tr("Morvessa")) == QMessageBox::Yes;
        m_askingToStop = false;
        if (stop) {
            m_stopping = true;
            if (!m_session) {
                close();
                return;
            }
            // The e-mail under way is given up; the window closes as soon as its session has ended.
            m_abort = true;
            ui->pushButton->setEnabled(false);
        }
        if (m_hasPendingStatus) {
            m_hasPendingStatus = false;
            status(m_pendingStatus);
        }
        return;
    }
    close();
}


void MailDelegateDialog::on_pushButton_2_clicked()
{
    close();
}
