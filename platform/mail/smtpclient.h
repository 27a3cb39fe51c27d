#ifndef SMTPCLIENT_H
#define SMTPCLIENT_H

#include "platform/mail/mimemessage.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

// A client for one SMTP session: open it, authenticate, send, quit. libcurl carries the session, so
// the server's certificate is checked against the system's trusted authorities, and a secured
// session is never quietly downgraded to a plain one.
//
// libcurl authenticates while it opens the session, so connectToHost() also runs the AUTH exchange
// when a user is set; it fails only when the server could not be reached or spoken to, and login()
// then reports whether the server took the credentials. Everything is sent over that one
// connection, which quit() (or the destructor) closes.
class SmtpClient
{
public:
    enum ConnectionType {
        TcpConnection = 0, // plain, nothing encrypted
        SslConnection = 1, // TLS from the first byte (SMTPS)
        TlsConnection = 2  // plain first, then STARTTLS, which the server must offer
    };

    SmtpClient(const QString &host = QStringLiteral("localhost"), int port = 25,
               ConnectionType connectionType = TcpConnection);
    ~SmtpClient();
    SmtpClient(const SmtpClient &) = delete;
    SmtpClient &operator=(const SmtpClient &) = delete;

    void setUser(const QString &user) { m_user = user; }
    void setPassword(const QString &password) { m_password = password; }
    // Time allowed to reach the server, to wait for any one of its replies, and to wait for the
    // reply to the end of a message, which a server may give only once it has delivered or queued
    // the message (the mail standard asks a client to wait 10 minutes for it).
    void setConnectTimeout(int milliseconds) { m_connectTimeoutMs = milliseconds; }
    void setResponseTimeout(int milliseconds) { m_responseTimeoutMs = milliseconds; }
    void setMessageEndTimeout(int milliseconds) { m_messageEndTimeoutMs = milliseconds; }
    // The two reply limits every client starts with; process-wide, 60 s and 10 min unless changed.
    static void setDefaultReplyTimeouts(int responseMs, int messageEndMs);

    bool connectToHost();
    bool login();
    bool sendMail(const MimeMessage &message);
    void quit();

    // After a sendMail that failed: true when the whole message had gone to the server and no reply
    // to its end came (the wait ran out, the connection dropped, or the session was cut short). The
    // server may then have delivered it; it must not be sent again without the user choosing so.
    bool deliveryUnconfirmed() const { return m_unconfirmed; }
    // Called on the session's thread once the whole message has been handed over and the server's
    // confirmation is being waited for. Empty for none.
    void setAwaitingConfirmation(const std::function<void()> &callback) { m_awaiting = callback; }

    // A flag that, once set from any thread, ends the session at libcurl's next progress check
    // (within a second); the step under way then fails, and the connection is dropped without
    // waiting on the server. A reply to the end of a message that has already come is read first,
    // and a message it confirms counts as sent. Not owned; null for none.
    void setAbortFlag(const std::atomic<bool> *flag) { m_abort = flag; }

    // What went wrong in the last step that failed, in libcurl's or the server's words.
    QString lastError() const { return m_lastError; }
    // The server as the session addresses it, "host:port".
    QString serverText() const;

    // A file of further certificate authorities to trust besides the system's, for a server whose
    // certificate an office signs itself. Process-wide; empty for none.
    static void setExtraCaCertificates(const QString &file);
    static QString extraCaCertificates();

private:
    int perform();
    void setCommonOptions();
    void closeSession();

    QString m_host;
    int m_port;
    ConnectionType m_type;
    QString m_user;
    QString m_password;
    // Long enough for a slow line, short enough for a user watching the window.
    int m_connectTimeoutMs = 15000;
    int m_responseTimeoutMs;
    int m_messageEndTimeoutMs;

    void *m_curl = nullptr;
    bool m_connected = false;
    bool m_loggedIn = false;
    QString m_lastError;
    QString m_loginError;
    QByteArray m_errorBuffer;
    const std::atomic<bool> *m_abort = nullptr;
    bool m_unconfirmed = false;
    std::function<void()> m_awaiting;
};

#endif // SMTPCLIENT_H
