#ifndef TESTSMTPSERVER_H
#define TESTSMTPSERVER_H

// A real SMTP server for the mail tests: Debian's aiosmtpd, run by tests/support/smtpserver.py on
// 127.0.0.1 on a port the system picks, with a certificate made for the run when TLS is asked for.
// It stops when the object goes. Header only, so that only the tests that send mail carry it.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

class TestSmtpServer
{
public:
    enum Mode { Plain, Ssl, StartTls };

    struct Options
    {
        Mode mode = Plain;
        QString user;
        QString password;
        QStringList refuse;
        // Seconds before the end of a message is answered (the message is kept at once), and before
        // a recipient is.
        double lateEnd = 0;
        double lateRecipient = 0;
    };

    explicit TestSmtpServer(const Options &options)
    {
        QStringList args{script(), QStringLiteral("--out"), m_dir.path(), QStringLiteral("--mode"),
                         options.mode == Ssl ? QStringLiteral("ssl")
                         : options.mode == StartTls ? QStringLiteral("starttls") : QStringLiteral("plain")};
        if (options.mode != Plain) {
            if (!makeCertificate())
                return;
            args << QStringLiteral("--cert") << certificate() << QStringLiteral("--key") << m_dir.filePath(QStringLiteral("key.pem"));
        }
        if (!options.user.isEmpty())
            args << QStringLiteral("--user") << options.user << QStringLiteral("--password") << options.password;
        for (const QString &address : options.refuse)
            args << QStringLiteral("--refuse") << address;
        if (options.lateEnd > 0)
            args << QStringLiteral("--late-end") << QString::number(options.lateEnd);
        if (options.lateRecipient > 0)
            args << QStringLiteral("--late-rcpt") << QString::number(options.lateRecipient);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(python(), args);
        if (!m_process.waitForStarted(10000))
            return;
        QElapsedTimer waited;
        waited.start();
        while (!m_process.canReadLine() && waited.elapsed() < 15000 && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(200);
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("PORT "))
            m_port = line.mid(5).toInt();
    }

    ~TestSmtpServer()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    bool isRunning() const { return m_port > 0; }
    int port() const { return m_port; }
    // The certificate the server shows, to be trusted by the client under test.
    QString certificate() const { return m_dir.filePath(QStringLiteral("cert.pem")); }

    // The messages accepted so far, oldest first.
    QList<QJsonObject> messages() const
    {
        QList<QJsonObject> found;
        for (int n = 1;; ++n) {
            QFile file(m_dir.filePath(QStringLiteral("msg-%1.json").arg(n)));
            if (!file.open(QIODevice::ReadOnly))
                break;
            found.append(QJsonDocument::fromJson(file.readAll()).object());
        }
        return found;
    }

    // Lines "open ..." and "close ..." with the connections open after each.
    QStringList events() const
    {
        QFile file(m_dir.filePath(QStringLiteral("events.log")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    int connectionsOpened() const { return events().filter(QStringLiteral("open ")).size(); }
    // The most connections the server ever held at once.
    int mostOpenAtOnce() const
    {
        int most = 0;
        for (const QString &line : events()) {
            const int at = line.indexOf(QStringLiteral(" open="));
            most = qMax(most, line.mid(at + 6).section(QLatin1Char(' '), 0, 0).toInt());
        }
        return most;
    }
    // Waits until every connection has been closed on the server's side.
    bool allClosed() const
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000) {
            const QStringList all = events();
            if (all.isEmpty() || all.last().contains(QStringLiteral(" open=0 ")))
                return true;
            QTest::qWait(20);
        }
        return false;
    }

private:
    static QString python()
    {
        // Debian's own interpreter, the one python3-aiosmtpd installs into.
        return QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                     : QStringLiteral("python3");
    }
    static QString script() { return QStringLiteral(VELLORAN_TEST_SUPPORT_DIR "/smtpserver.py"); }

    bool makeCertificate()
    {
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                       QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("1"),
                       QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                       QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost"),
                       QStringLiteral("-keyout"), m_dir.filePath(QStringLiteral("key.pem")),
                       QStringLiteral("-out"), certificate()});
        return openssl.waitForFinished(30000) && openssl.exitCode() == 0 && QFileInfo::exists(certificate());
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

#endif // TESTSMTPSERVER_H
