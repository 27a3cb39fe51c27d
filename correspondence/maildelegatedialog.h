#ifndef MAILDELEGATEDIALOG_H
#define MAILDELEGATEDIALOG_H

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>

class QSqlQuery;
class QThread;
class XDataSource;

namespace Ui {
class MailDelegateDialog;
}

// Sends one notice e-mail to each tenant of a list, one SMTP session per e-mail, and asks the user
// whether to retry, skip or abort when one fails. Nothing is sent before Start. Each session runs on
// a thread of its own, one at a time, so that the window goes on answering while a server is waited
// on; the database is read here, on the window's thread, only.
//
// Kinds here: 0 custom, 1 late rent and charges, 2 lease expiry (each reads its own row of the mail
// table: 2, 0 and 1). Any other kind sends nothing.
class MailDelegateDialog : public QDialog
{
    Q_OBJECT

public:
    MailDelegateDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~MailDelegateDialog() override;

    void setRecipients(const QVector<int> &recipients) { m_recipients = recipients; }
    QVector<int> recipients() const { return m_recipients; }
    void setKind(const int &kind) { m_kind = kind; }
    int kind() const { return m_kind; }
    // The date bound of the late-rent and lease-expiry notices, "yyyy-MM-dd".
    void setDateText(const QString &text) { m_dateText = text; }
    QString dateText() const { return m_dateText; }

    // Starts one e-mail over one SMTP session; sendStatus follows exactly once, from the event loop,
    // when the session has ended. False when the message was refused before any connection.
    bool sendEmail(const QString &address, const QString &name, const QString &subject, const QString &html);
    // Build and send the notice for recipients()[index]; true when the tenant's rows were found and an
    // e-mail was attempted, false when there was nothing to send.
    bool sendCustomEmail(int index);
    bool sendLateRentEmail(int index);
    bool sendLeaseExpiryEmail(int index);
    // Goes on with the run after the recipient at `index` until the list ends or the user aborts.
    void processFrom(int index);

signals:
    void sendStatus(const QString &text);

public slots:
    // The outcome of one attempt: "success", or the failure to put to the user.
    void status(const QString &text);

private slots:
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();

private:
    // How a session ended: the step that failed (none when sent) and what libcurl or the server said.
    struct Outcome
    {
        enum Step { Sent, Connect, LogIn, Send } step = Sent;
        QString reason;
        QString server;
        // The whole message went to the server, which never confirmed it: it may have been delivered.
        bool unconfirmed = false;
    };

    using Composer = std::function<QString(QSqlQuery *query, const QString &intro, const QString &signOff)>;
    bool sendNotice(int mailRow, const QString &statement, const Composer &compose);
    void sessionEnded(const Outcome &outcome);
    // The end of a run that went through the whole list: how many were sent, and who was missed.
    void finishRun();
    QString unconfirmedText(const QString &server) const;

    Ui::MailDelegateDialog *ui;
    XDataSource *m_dataSource;
    QVector<int> m_recipients;
    int m_current = -1;
    int m_kind = 0;
    QString m_dateText;

    // The session under way, if any, and the flag that cuts it short.
    QThread *m_session = nullptr;
    std::atomic<bool> m_abort{false};
    // Cancel was confirmed: nothing more is sent, and the window closes once the session is over.
    bool m_stopping = false;
    // The cancel question is up; a session that ends meanwhile waits for the answer.
    bool m_askingToStop = false;
    QString m_pendingStatus;
    bool m_hasPendingStatus = false;

    QString m_attemptName;
    // The status being answered is of an e-mail the server may have delivered.
    bool m_attemptUnconfirmed = false;
    int m_sent = 0;
    QStringList m_notSent;
    QStringList m_unconfirmed;
};

#endif // MAILDELEGATEDIALOG_H
