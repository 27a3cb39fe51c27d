#include "platform/mail/smtpclient.h"

#include <QRegularExpression>
#include <QSysInfo>

#include <curl/curl.h>

#include <cstring>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>

namespace {
QString &extraCaFile()
{
    static QString file;
    return file;
}

// SMTP's reply code to DATA: go ahead. Still the last reply after a send means none came to the end.
const long kStartMailInput = 354;
// The reply to the end of a message that says the server has taken it.
const long kMessageTaken = 250;

struct ReplyTimeouts
{
    std::atomic<int> responseMs{60000};
    std::atomic<int> messageEndMs{600000};
};

ReplyTimeouts &defaultTimeouts()
{
    static ReplyTimeouts timeouts;
    return timeouts;
}

long wholeSeconds(int milliseconds)
{
    return qMax(1, (milliseconds + 999) / 1000);
}

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The reply to the NOOP that opens the session is of no use; it only has to go somewhere.
size_t discard(char *, size_t size, size_t count, void *)
{
    return size * count;
}

struct Upload
{
    const QByteArray *bytes;
    qsizetype offset;
    CURL *curl;
    long messageEndSeconds;
    const std::function<void()> *awaiting;
    bool handedOver;
    const std::atomic<bool> *abort;
    curl_socket_t socket;
};

size_t readUpload(char *buffer, size_t size, size_t count, void *data)
{
    auto *upload = static_cast<Upload *>(data);
    const size_t left = size_t(upload->bytes->size() - upload->offset);
    const size_t n = qMin(left, size * count);
    std::memcpy(buffer, upload->bytes->constData() + upload->offset, n);
    upload->offset += qsizetype(n);
    if (upload->offset == upload->bytes->size() && !upload->handedOver) {
        // What follows is the end-of-data marker and the reply to it. libcurl reads the reply
        // limit each time it waits, so the longer wait holds from here on, for that reply only:
        // the handle's session ends with this message.
        upload->handedOver = true;
        curl_easy_setopt(upload->curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, upload->messageEndSeconds);
        if (*upload->awaiting)
            (*upload->awaiting)();
    }
    return n;
}

int checkAbort(void *flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool> *>(flag)->load() ? 1 : 0;
}

// Whether something the server sent waits on the connection, unread.
bool replyWaiting(curl_socket_t socket)
{
    pollfd waiting{socket, POLLIN, 0};
    return socket != CURL_SOCKET_BAD && ::poll(&waiting, 1, 0) > 0 && (waiting.revents & POLLIN);
}

// While a message is sent, a reply that has come is read before the session is cut short: the
// server's confirmation must not be thrown away unread.
int checkSendAbort(void *data, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *upload = static_cast<const Upload *>(data);
    return upload->abort->load() && !replyWaiting(upload->socket) ? 1 : 0;
}

QString bracketedHost(const QString &host)
{
    QString text = host.trimmed();
    if (text.contains(QLatin1Char(':')) && !text.startsWith(QLatin1Char('[')))
        text = QLatin1Char('[') + text + QLatin1Char(']');
    return text;
}

QByteArray mailbox(const QString &address)
{
    return '<' + address.toUtf8() + '>';
}
}

SmtpClient::SmtpClient(const QString &host, int port, ConnectionType connectionType)
    : m_host(host)
    , m_port(port)
    , m_type(connectionType)
    , m_responseTimeoutMs(defaultTimeouts().responseMs)
    , m_messageEndTimeoutMs(defaultTimeouts().messageEndMs)
{
}

void SmtpClient::setDefaultReplyTimeouts(int responseMs, int messageEndMs)
{
    defaultTimeouts().responseMs = responseMs;
    defaultTimeouts().messageEndMs = messageEndMs;
}

SmtpClient::~SmtpClient()
{
    closeSession();
}

void SmtpClient::setExtraCaCertificates(const QString &file)
{
    extraCaFile() = file;
}

QString SmtpClient::extraCaCertificates()
{
    return extraCaFile();
}

QString SmtpClient::serverText() const
{
    return bracketedHost(m_host) + QLatin1Char(':') + QString::number(m_port);
}

void SmtpClient::setCommonOptions()
{
    CURL *curl = static_cast<CURL *>(m_curl);
    const QString host = bracketedHost(m_host);
    const QString scheme = m_type == SslConnection ? QStringLiteral("smtps") : QStringLiteral("smtp");
    // The path names this machine in the EHLO greeting; without it libcurl greets as "localhost",
    // which some servers refuse.
    QString self = QSysInfo::machineHostName();
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9.-]+$"));
    if (!plainName.match(self).hasMatch())
        self.clear();
    const QByteArray url = (scheme + QLatin1String("://") + host + QLatin1Char(':') + QString::number(m_port)
                            + QLatin1Char('/') + self).toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(m_type == TcpConnection ? CURLUSESSL_NONE : CURLUSESSL_ALL));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(m_connectTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, wholeSeconds(m_responseTimeoutMs));
    m_errorBuffer.fill('\0', CURL_ERROR_SIZE);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_errorBuffer.data());
    if (m_abort) {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkAbort);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool> *>(m_abort));
    }
    if (!extraCaFile().isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, extraCaFile().toLocal8Bit().constData());
    if (!m_user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, m_user.toUtf8().constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, m_password.toUtf8().constData());
    }
}

int SmtpClient::perform()
{
    m_errorBuffer.fill('\0');
    const CURLcode code = curl_easy_perform(static_cast<CURL *>(m_curl));
    if (code == CURLE_OK)
        m_lastError.clear();
    else
        m_lastError = QString::fromUtf8(m_errorBuffer.at(0) ? m_errorBuffer.constData() : curl_easy_strerror(code));
    return code;
}

bool SmtpClient::connectToHost()
{
    closeSession();
    initCurl();
    m_curl = curl_easy_init();
    if (!m_curl) {
        m_lastError = QStringLiteral("The mail library could not be started");
        return false;
    }
    setCommonOptions();
    CURL *curl = static_cast<CURL *>(m_curl);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "NOOP");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
    const int code = perform();
    if (code == CURLE_OK) {
        m_connected = true;
        m_loggedIn = true;
        return true;
    }
    // The server was reached and spoke, but took none of the credentials: login() reports that.
    if (code == CURLE_LOGIN_DENIED || code == CURLE_AUTH_ERROR) {
        m_connected = true;
        m_loginError = m_lastError;
        return true;
    }
    closeSession();
    return false;
}

bool SmtpClient::login()
{
    if (!m_connected) {
        m_lastError = QStringLiteral("Not connected");
        return false;
    }
    if (!m_loggedIn)
        m_lastError = m_loginError;
    return m_loggedIn;
}

bool SmtpClient::sendMail(const MimeMessage &message)
{
    m_unconfirmed = false;
    if (!m_connected || !m_loggedIn) {
        m_lastError = QStringLiteral("Not connected");
        return false;
    }
    const QString problem = message.problem();
    if (!problem.isEmpty()) {
        m_lastError = problem;
        return false;
    }
    const QByteArray bytes = message.toBytes();
    CURL *curl = static_cast<CURL *>(m_curl);
    curl_socket_t socket = CURL_SOCKET_BAD;
    curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &socket);
    Upload upload{&bytes, 0, curl, wholeSeconds(m_messageEndTimeoutMs), &m_awaiting, false, m_abort, socket};
    curl_slist *recipients = nullptr;
    for (const EmailAddress &to : message.envelopeRecipients())
        recipients = curl_slist_append(recipients, mailbox(to.address()).constData());

    const QByteArray from = mailbox(message.sender().address());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(bytes.size()));
    if (m_abort) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkSendAbort);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &upload);
    }
    const int code = perform();
    long lastReply = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &lastReply);
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    if (m_abort) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkAbort);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool> *>(m_abort));
    }
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, wholeSeconds(m_responseTimeoutMs));
    curl_slist_free_all(recipients);
    // A server still busy with the message, or silent, would answer the QUIT that closing the handle
    // sends only after it, if ever, and the session would outlast its limit or its cancel by as long:
    // the connection is dropped without one.
    if (code == CURLE_ABORTED_BY_CALLBACK || code == CURLE_OPERATION_TIMEDOUT) {
        curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &socket);
        if (socket != CURL_SOCKET_BAD)
            ::shutdown(socket, SHUT_RDWR);
    }
    // The server took the message, even where the session was cut short just after its reply.
    if (upload.handedOver && lastReply == kMessageTaken) {
        m_lastError.clear();
        return true;
    }
    // A refusal of the message (a 4xx or 5xx to its end) is a reply: only silence leaves it open.
    m_unconfirmed = code != CURLE_OK && upload.handedOver && lastReply == kStartMailInput;
    return code == CURLE_OK;
}

void SmtpClient::quit()
{
    closeSession();
}

void SmtpClient::closeSession()
{
    // Cleaning up the handle closes its connection, with a QUIT when the server still listens.
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL *>(m_curl));
    m_curl = nullptr;
    m_connected = false;
    m_loggedIn = false;
    m_loginError.clear();
}
