#include "testdatabase.h"
#include "testsmtpserver.h"

#include "platform/mail/smtpclient.h"

#include <QTcpServer>
#include <QThread>

#include <thread>

namespace {
const QString kUser = QStringLiteral("office@brightwater.example.com");
const QString kPassword = QStringLiteral("s3cret pässword");

MimeMessage sampleMessage(const QString &html)
{
    MimeMessage message(true);
    message.setSender(EmailAddress(kUser, QStringLiteral("Brightwater Office")));
    message.addRecipient(EmailAddress(QStringLiteral("soren@mail.example.com"), QStringLiteral("Søren Lundqvist, Jr.")));
    message.setSubject(QStringLiteral("Rent reminder – März"));
    MimeHtml part;
    part.setHtml(html);
    message.addPart(part);
    return message;
}

TestSmtpServer::Options withLogin(TestSmtpServer::Mode mode)
{
    TestSmtpServer::Options options;
    options.mode = mode;
    options.user = kUser;
    options.password = kPassword;
    return options;
}
}

class TestSmtpClient : public QObject
{
    Q_OBJECT

private slots:
    void deliversOverEachConnectionType_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("type");
        QTest::newRow("plain") << int(TestSmtpServer::Plain) << int(SmtpClient::TcpConnection);
        QTest::newRow("ssl") << int(TestSmtpServer::Ssl) << int(SmtpClient::SslConnection);
        QTest::newRow("starttls") << int(TestSmtpServer::StartTls) << int(SmtpClient::TlsConnection);
    }

    void deliversOverEachConnectionType()
    {
        QFETCH(int, mode);
        QFETCH(int, type);
        TestSmtpServer server(withLogin(TestSmtpServer::Mode(mode)));
        QVERIFY(server.isRunning());
        SmtpClient::setExtraCaCertificates(server.certificate());

        // A line that starts with a dot must survive the end-of-data marker.
        const QString html = QStringLiteral("<html><body><p>Grüße</p>\r\n.<br/>\r\n<p>%1</p></body></html>")
                                 .arg(QString(200, QLatin1Char('x')));
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port(), SmtpClient::ConnectionType(type));
        client.setUser(kUser);
        client.setPassword(kPassword);
        QVERIFY2(client.connectToHost(), qPrintable(client.lastError()));
        QVERIFY(client.login());
        QVERIFY2(client.sendMail(sampleMessage(html)), qPrintable(client.lastError()));
        client.quit();

        const QList<QJsonObject> got = server.messages();
        QCOMPARE(got.size(), 1);
        const QJsonObject m = got.first();
        QCOMPARE(m.value("login").toString(), kUser);
        QCOMPARE(m.value("mail_from").toString(), kUser);
        QCOMPARE(m.value("rcpt_tos").toArray().first().toString(), QStringLiteral("soren@mail.example.com"));
        QCOMPARE(m.value("from").toString(), QStringLiteral("Brightwater Office <%1>").arg(kUser));
        QCOMPARE(m.value("to").toString(), QStringLiteral("\"Søren Lundqvist, Jr.\" <soren@mail.example.com>"));
        QCOMPARE(m.value("subject").toString(), QStringLiteral("Rent reminder – März"));
        QCOMPARE(m.value("content_type").toString(), QStringLiteral("text/html"));
        QCOMPARE(m.value("charset").toString(), QStringLiteral("utf-8"));
        QCOMPARE(m.value("html").toString().remove(QLatin1Char('\r')).trimmed(), QString(html).remove(QLatin1Char('\r')));

        // On the wire: 7-bit, encoded words for the names and subject, and headers of the standard.
        const QString raw = m.value("raw").toString();
        for (const QChar c : raw)
            QVERIFY(c.unicode() < 0x80);
        QVERIFY(raw.contains(QStringLiteral("Subject: Rent reminder =?UTF-8?"), Qt::CaseInsensitive));
        QVERIFY(raw.contains(QStringLiteral("To: =?UTF-8?"), Qt::CaseInsensitive));
        QVERIFY(raw.contains(QStringLiteral("MIME-Version: 1.0")));
        QVERIFY(raw.contains(QStringLiteral("Message-Id: <")) || raw.contains(QStringLiteral("Message-ID: <")));
        QVERIFY(raw.contains(QStringLiteral("Date: ")));
        QVERIFY(!raw.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));

        // One connection for the whole session, closed by quit().
        QVERIFY(server.allClosed());
        QCOMPARE(server.connectionsOpened(), 1);
        SmtpClient::setExtraCaCertificates(QString());
    }

    void stepFailures_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<bool>("loginOk");
        QTest::newRow("wrong password") << QStringLiteral("guess") << QStringLiteral("soren@mail.example.com") << false;
        QTest::newRow("refused recipient") << kPassword << QStringLiteral("gone@mail.example.com") << true;
    }

    // A refused login fails at login(), a refused recipient at sendMail(); neither delivers anything.
    void stepFailures()
    {
        QFETCH(QString, password);
        QFETCH(QString, recipient);
        QFETCH(bool, loginOk);
        TestSmtpServer::Options options = withLogin(TestSmtpServer::Plain);
        options.refuse << QStringLiteral("gone@mail.example.com");
        TestSmtpServer server(options);
        QVERIFY(server.isRunning());

        SmtpClient client(QStringLiteral("127.0.0.1"), server.port(), SmtpClient::TcpConnection);
        client.setUser(kUser);
        client.setPassword(password);
        QVERIFY2(client.connectToHost(), qPrintable(client.lastError()));
        QCOMPARE(client.login(), loginOk);
        if (loginOk) {
            MimeMessage message = sampleMessage(QStringLiteral("<p>hi</p>"));
            MimeMessage toGone(true);
            toGone.setSender(message.sender());
            toGone.addRecipient(EmailAddress(recipient));
            toGone.setSubject(message.subject());
            toGone.addPart(MimeHtml(QStringLiteral("<p>hi</p>")));
            QVERIFY(!client.sendMail(toGone));
            QVERIFY(client.lastError().contains(QStringLiteral("550")) || !client.lastError().isEmpty());
            QVERIFY(!client.deliveryUnconfirmed());
        } else {
            QVERIFY(!client.lastError().isEmpty());
            QVERIFY(!client.sendMail(sampleMessage(QStringLiteral("<p>hi</p>"))));
        }
        client.quit();
        QVERIFY(server.messages().isEmpty());
        QVERIFY(server.allClosed());
    }

    // The end of a message may be answered late, and only that reply is waited for longer. Limits of
    // 1 s for a reply and 3 s for the end stand for the real 60 s and 10 minutes; a cancel comes with
    // the real limits, so that only it can end the wait.
    void lateReplies_data()
    {
        QTest::addColumn<double>("lateEnd");
        QTest::addColumn<double>("lateRecipient");
        QTest::addColumn<bool>("cancel"); // shortly after the message has gone whole
        QTest::addColumn<bool>("sent");
        QTest::addColumn<bool>("unconfirmed");
        QTest::addColumn<int>("kept");
        QTest::newRow("end answered after the reply limit") << 2.0 << 0.0 << false << true << false << 1;
        QTest::newRow("end never answered in time") << 6.0 << 0.0 << false << false << true << 1;
        QTest::newRow("recipient answered after the reply limit") << 0.0 << 4.0 << false << false << false << 0;
        QTest::newRow("cancelled while the end is awaited") << 40.0 << 0.0 << true << false << true << 1;
    }

    void lateReplies()
    {
        QFETCH(double, lateEnd);
        QFETCH(double, lateRecipient);
        QFETCH(bool, cancel);
        QFETCH(bool, sent);
        QFETCH(bool, unconfirmed);
        QFETCH(int, kept);
        TestSmtpServer::Options options = withLogin(TestSmtpServer::Plain);
        options.lateEnd = lateEnd;
        options.lateRecipient = lateRecipient;
        TestSmtpServer server(options);
        QVERIFY(server.isRunning());

        SmtpClient client(QStringLiteral("127.0.0.1"), server.port(), SmtpClient::TcpConnection);
        client.setUser(kUser);
        client.setPassword(kPassword);
        if (!cancel) {
            client.setResponseTimeout(1000);
            client.setMessageEndTimeout(3000);
        }
        std::atomic<bool> abort{false};
        client.setAbortFlag(&abort);
        std::atomic<int> awaited{0};
        std::thread canceller;
        QElapsedTimer sinceCancel;
        client.setAwaitingConfirmation([&] {
            ++awaited;
            if (cancel)
                canceller = std::thread([&] {
                    QThread::msleep(300);
                    sinceCancel.start();
                    abort = true;
                });
        });
        QVERIFY2(client.connectToHost(), qPrintable(client.lastError()));
        QVERIFY(client.login());
        QElapsedTimer took;
        took.start();
        QCOMPARE(client.sendMail(sampleMessage(QStringLiteral("<p>hi</p>"))), sent);
        QCOMPARE(client.deliveryUnconfirmed(), unconfirmed);
        QCOMPARE(awaited.load(), lateRecipient > 0 ? 0 : 1);
        // Given up when the limit ran out, not when the server at last spoke.
        QVERIFY2(took.elapsed() < qint64(qMax(lateEnd, lateRecipient) * 1000) || sent, qPrintable(QString::number(took.elapsed())));
        client.quit();
        if (canceller.joinable()) {
            canceller.join();
            // Closing waits on no server that has not answered yet.
            QVERIFY2(sinceCancel.elapsed() < 1500, qPrintable(QString::number(sinceCancel.elapsed())));
        }
        QCOMPARE(server.messages().size(), kept);
    }

    void connectFailures_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("reason");
        QTest::newRow("nobody listening") << false << true << int(TestSmtpServer::StartTls) << QString();
        // An untrusted certificate must end the session, never fall back to sending in clear.
        QTest::newRow("untrusted certificate") << true << false << int(TestSmtpServer::StartTls) << QString();
        QTest::newRow("no STARTTLS offered") << true << true << int(TestSmtpServer::Plain) << QStringLiteral("STARTTLS");
    }

    void connectFailures()
    {
        QFETCH(bool, listening);
        QFETCH(bool, trusted);
        QFETCH(int, mode);
        QFETCH(QString, reason);
        TestSmtpServer server(withLogin(TestSmtpServer::Mode(mode)));
        QVERIFY(server.isRunning());
        int port = server.port();
        if (!listening) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        SmtpClient::setExtraCaCertificates(trusted ? server.certificate() : QString());
        SmtpClient client(QStringLiteral("127.0.0.1"), port, SmtpClient::TlsConnection);
        client.setUser(kUser);
        client.setPassword(kPassword);
        client.setConnectTimeout(3000);
        QVERIFY(!client.connectToHost());
        QVERIFY(!client.lastError().isEmpty());
        QVERIFY2(client.lastError().contains(reason), qPrintable(client.lastError()));
        QCOMPARE(client.serverText(), QStringLiteral("127.0.0.1:%1").arg(port));
        QVERIFY(!client.login());
        QVERIFY(server.messages().isEmpty());
        SmtpClient::setExtraCaCertificates(QString());
    }

    void headerLineBreaksRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("subject");
        const QString okAddress = QStringLiteral("soren@mail.example.com");
        QTest::newRow("name with LF") << QStringLiteral("Søren\nBcc: all@example.com") << okAddress << QStringLiteral("Rent");
        QTest::newRow("name with CR") << QStringLiteral("Søren\rX") << okAddress << QStringLiteral("Rent");
        QTest::newRow("subject with CRLF") << QStringLiteral("Søren") << okAddress << QStringLiteral("Rent\r\nBcc: x@y");
        QTest::newRow("address closing the envelope") << QStringLiteral("Søren") << QStringLiteral("a@b> NOTIFY=NEVER") << QStringLiteral("Rent");
        QTest::newRow("empty address") << QStringLiteral("Søren") << QString() << QStringLiteral("Rent");
    }

    void headerLineBreaksRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, subject);
        MimeMessage message(false);
        message.setSender(EmailAddress(kUser, QStringLiteral("Office")));
        message.addRecipient(EmailAddress(address, name));
        message.setSubject(subject);
        message.addPart(MimeHtml(QStringLiteral("<p>hi</p>")));
        QVERIFY(!message.problem().isEmpty());
        QVERIFY(message.toBytes().isEmpty());

        TestSmtpServer server(withLogin(TestSmtpServer::Plain));
        QVERIFY(server.isRunning());
        SmtpClient client(QStringLiteral("127.0.0.1"), server.port(), SmtpClient::TcpConnection);
        client.setUser(kUser);
        client.setPassword(kPassword);
        QVERIFY(client.connectToHost());
        QVERIFY(client.login());
        QVERIFY(!client.sendMail(message));
        QCOMPARE(client.lastError(), message.problem());
        client.quit();
        QVERIFY(server.messages().isEmpty());
    }
};

VELLORAN_TEST_MAIN(TestSmtpClient)
#include "tst_smtpclient.moc"
