#include "testhub.h"
#include "testsmtpserver.h"

#include "correspondence/destinationlistdialog.h"
#include "correspondence/emailconfiguredialog.h"
#include "correspondence/maildelegatedialog.h"
#include "correspondence/sendmaildaysdialog.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "platform/datafolder.h"
#include "platform/mail/smtpclient.h"
#include "shell/mainwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextEdit>

#include <memory>

namespace {
const QString kUser = QStringLiteral("office@brightwater.example.com");
const QString kPassword = QStringLiteral("pässwörd 42");
// The bound of a five-day lead time on 1 June: due on 27 May or earlier.
const QString kBound = QStringLiteral("2021-05-28");

// A statement with values bound, on the hub's connection.
bool execBound(const QString &sql, const QVariantList &values)
{
    QSqlQuery q;
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qWarning() << sql << q.lastError().text();
        return false;
    }
    return true;
}

// The office's mail settings as the options dialog stores them, the password scrambled; then the hub
// reads them again.
bool storeMailSettings(XDataSource *hub, int port, const QString &password)
{
    const QList<QPair<int, QString>> rows = {
        {12, QStringLiteral("Bürö Brightwater")}, {13, kUser}, {14, hub->encryptPassword(password)},
        {15, QStringLiteral("127.0.0.1")}, {16, QString::number(port)}, {17, kUser}};
    for (const auto &row : rows)
        if (!execBound(QStringLiteral("update setup set textvalue = ? where setid = ?"), {row.second, row.first}))
            return false;
    if (!exec(QStringLiteral("update setup set flagvalue = 1 where setid = 18")) || !hub->setupModel()->select())
        return false;
    hub->loadSettings();
    return hub->mailPassword() == password && hub->useTls();
}

// Charges of the tests' own: three tenants owe, one has paid everything, one owes but has no address.
bool loadCharges()
{
    if (!exec(QStringLiteral("update charges set amt = 0"))
        || !exec(QStringLiteral("update tenants set dat1 = '' where tid = 3")))
        return false;
    const QList<QVariantList> charges = {
        {90001, 1, QStringLiteral("Rent"), 1600.0, QDate(2021, 4, 15)},
        {90002, 1, QStringLiteral("Parking"), 100.0, QDate(2021, 3, 15)},
        {90003, 1, QStringLiteral("Rent"), 0.0, QDate(2021, 2, 15)},      // paid
        {90004, 1, QStringLiteral("Rent"), 1600.0, QDate(2021, 5, 30)},   // not late enough
        {90005, 4, QStringLiteral("Repairs & <damage>"), 1250.5, QDate(2021, 5, 1)},
        {90006, 16, QStringLiteral("Rent"), 900.0, QDate(2021, 5, 27)},   // exactly five days late
        {90007, 2, QStringLiteral("Rent"), 0.0, QDate(2021, 4, 15)},      // paid in full
        {90008, 3, QStringLiteral("Rent"), 700.0, QDate(2021, 4, 15)},    // no address
    };
    for (const QVariantList &c : charges)
        if (!execBound(QStringLiteral("insert into charges (chid, tid, type, amt, fordate) values (?, ?, ?, ?, ?)"), c))
            return false;
    return execBound(QStringLiteral("update mail set subject = ?, intro = ?, signoff = ? where mailid = 1"),
                     {QStringLiteral("Überfällig – your account"), QStringLiteral("Dear tenant,\n<please> pay"),
                      QStringLiteral("Regards,\nThe Office & Co")});
}

TestSmtpServer::Options serverOptions(const QStringList &refuse = {})
{
    TestSmtpServer::Options options;
    options.mode = TestSmtpServer::StartTls;
    options.user = kUser;
    options.password = kPassword;
    options.refuse = refuse;
    return options;
}

QString amount(double value)
{
    return QStringLiteral("%L1").arg(value, 15, 'f', 2, QLatin1Char(' '));
}

// Waits until the run has gone through its list (Close enabled again) or the window was closed.
bool runEnded(MailDelegateDialog *dialog, int timeout = 30000)
{
    auto *close = dialog->findChild<QPushButton *>(QStringLiteral("pushButton_2"));
    return QTest::qWaitFor([&] { return !dialog->isVisible() || close->isEnabled(); }, timeout);
}

// A port on the loopback address where nothing listens.
int closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// The main window on a fresh copy of the demonstration database in the data folder.
std::unique_ptr<MainWindow> openMainWindow(ModalDriver &driver)
{
    const QString file = DataFolder::filePath(QStringLiteral("DEMO.FDB"));
    QDir().mkpath(DataFolder::path());
    QFile::remove(file);
    QFile::copy(TestDatabase::builtDatabase(QStringLiteral("DEMO.FDB")), file);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    driver.ok(); // the database chooser: the demonstration database
    return std::make_unique<MainWindow>();
}

// A late-rent run for tenants 1, 4 and 16 with the bound of the tests, started from its Start button.
std::unique_ptr<MailDelegateDialog> startRun(XDataSource *hub, const QVector<int> &recipients, int kind = 1,
                                             const QString &dateText = kBound)
{
    auto dialog = std::make_unique<MailDelegateDialog>(hub);
    dialog->setRecipients(recipients);
    dialog->setKind(kind);
    dialog->setDateText(dateText);
    dialog->show();
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_3"))->click();
    return dialog;
}
}

class TestEmail : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        MsgBox::setTestMode(true);
        Today::set(QDate(2021, 6, 1));
    }
    void cleanup()
    {
        Today::reset();
        releaseConnection();
        SmtpClient::setExtraCaCertificates(QString());
        SmtpClient::setDefaultReplyTimeouts(60000, 600000);
    }

    void lateRentRunFromTheMainWindow();
    void failedStepsAskRetrySkipAbort_data();
    void failedStepsAskRetrySkipAbort();
    void unreachableServerSendsNothingAndSaysWhy_data();
    void unreachableServerSendsNothingAndSaysWhy();
    void cancelStopsASessionUnderWay();
    void unconfirmedMessageIsNotSentAgainUnasked_data();
    void unconfirmedMessageIsNotSentAgainUnasked();
    void customListLeavesOutTenantsWithoutAddress();
    void lineBreakInNameRefusedBeforeConnecting();
    void runsThatSendNothing_data();
    void runsThatSendNothing();
    void otherKindsBuildTheirBodies_data();
    void otherKindsBuildTheirBodies();
    void cancelAsksOnlyDuringARun();
    void configurePreview_data();
    void configurePreview();
    void configureSaveStoresTexts();
    void configureFailedSaveStaysOpen();
    void mailingListTicksAndReturnsKeys();
    void mailingListTakesEveryRow();
    void leadTimeRange();
};

void TestEmail::lateRentRunFromTheMainWindow()
{
    TestSmtpServer server(serverOptions());
    QVERIFY(server.isRunning());
    SmtpClient::setExtraCaCertificates(server.certificate());

    ModalDriver driver;
    auto window = openMainWindow(driver);
    QVERIFY(window->isDatabaseOpen());
    XDataSource *hub = window->dataSource();
    hub->setCanUseEmail(true);
    QVERIFY(storeMailSettings(hub, server.port(), kPassword));
    QVERIFY(loadCharges());
    QVERIFY(hub->mailModel()->select());

    QStringList listed;
    driver.ok([](QDialog *days) { days->findChild<QSpinBox *>(QStringLiteral("spinBox"))->setValue(5); });
    driver.ok([&listed](QDialog *list) {
        auto *table = list->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        for (int row = 0; row < table->rowCount(); ++row)
            listed << table->item(row, 1)->text();
        clickButton(list, "pushButton");
    });
    QString label;
    driver.ok([&label](QDialog *sender) {
        clickButton(sender, "pushButton_3");
        QVERIFY(runEnded(static_cast<MailDelegateDialog *>(sender)));
        label = sender->findChild<QLabel *>(QStringLiteral("label"))->text();
    });
    window->sendLateRentEmails();
    QTRY_COMPARE(driver.handled, 4);
    QCOMPARE(driver.unexpected, 0);

    // Owing, late by five days or more (Pavel by exactly five), and reachable: the tenants with only
    // paid charges or no address are left out.
    QCOMPARE(listed, QStringList({"Amelia Carraway", "Desmond Achterberg", "Pavel Dvořák"}));
    QCOMPARE(label, QStringLiteral("You are done! 3 of 3 e-mails were sent."));
    QVERIFY(MsgBox::shownTexts().isEmpty());
    QCOMPARE(hub->reportQueryModel()->rowCount(), 0);

    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 3);
    const QStringList to = {"Amelia Carraway <amelia.carraway@mail.example.com>",
                            "Desmond Achterberg <desmond.achterberg@mail.example.com>",
                            "Pavel Dvořák <pavel.dvorak@mail.example.com>"};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject m = got.at(i);
        QCOMPARE(m.value("to").toString(), to.at(i));
        QCOMPARE(m.value("login").toString(), kUser);
        QCOMPARE(m.value("from").toString(), QStringLiteral("Bürö Brightwater <%1>").arg(kUser));
        QCOMPARE(m.value("subject").toString(), QStringLiteral("Überfällig – your account"));
        QCOMPARE(m.value("charset").toString(), QStringLiteral("utf-8"));
        const QString html = m.value("html").toString();
        QVERIFY2(html.startsWith(QStringLiteral("<html><body><p>Dear tenant,<br/>&lt;please&gt; pay</p><br/>")), qPrintable(html));
        QVERIFY(html.contains(QStringLiteral("<p>Regards,<br/>The Office &amp; Co</p>")));
    }
    const QRegularExpression encodedTo(QStringLiteral("\nTo: [^\r\n]*=\\?UTF-8\\?"), QRegularExpression::CaseInsensitiveOption);
    QVERIFY(got.at(2).value("raw").toString().contains(encodedTo));
    QVERIFY(!got.at(1).value("raw").toString().contains(encodedTo));
    const QRegularExpression encodedFrom(QStringLiteral("\nFrom: =\\?UTF-8\\?"), QRegularExpression::CaseInsensitiveOption);
    QVERIFY(got.at(0).value("raw").toString().contains(encodedFrom));

    const auto row = [](const QDate &due, const QString &type, double value) {
        return QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>").arg(ShortDate::toText(due), type, amount(value));
    };
    const QString amelia = got.at(0).value("html").toString();
    const int parking = amelia.indexOf(row(QDate(2021, 3, 15), "Parking", 100));
    const int rent = amelia.indexOf(row(QDate(2021, 4, 15), "Rent", 1600));
    QVERIFY2(parking > 0 && rent > parking, qPrintable(amelia));
    QCOMPARE(amelia.count(QStringLiteral("<tr><td>")), 2);
    QVERIFY(got.at(1).value("html").toString().contains(row(QDate(2021, 5, 1), "Repairs &amp; &lt;damage&gt;", 1250.5)));
    QVERIFY(got.at(2).value("html").toString().contains(row(QDate(2021, 5, 27), "Rent", 900)));

    // One session per e-mail, each closed before the next opens.
    QVERIFY(server.allClosed());
    QCOMPARE(server.connectionsOpened(), 3);
    QCOMPARE(server.mostOpenAtOnce(), 1);

    window.reset();
    releaseConnection();
}

void TestEmail::failedStepsAskRetrySkipAbort_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("refuse");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("asked");
    QTest::addColumn<QStringList>("delivered");
    QTest::addColumn<int>("connections");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("end");

    const QString amelia = QStringLiteral("amelia.carraway@mail.example.com");
    const QString desmond = QStringLiteral("desmond.achterberg@mail.example.com");
    const QString pavel = QStringLiteral("pavel.dvorak@mail.example.com");
    const int skip = QMessageBox::Ignore;
    const int retry = QMessageBox::Retry;
    const int abort = QMessageBox::Abort;
    const QString everyone = QStringLiteral("0 of 3 e-mails were sent.\nNot sent: Amelia Carraway, Desmond Achterberg, Pavel Dvořák");
    const QString oneMissed = QStringLiteral("2 of 3 e-mails were sent.\nNot sent: Desmond Achterberg");
    QTest::newRow("refused login, skip each") << QStringLiteral("wrong") << QStringList() << QList<int>{skip, skip, skip}
                                              << QStringLiteral("Failed to login!") << 3 << QStringList() << 3 << true << everyone;
    QTest::newRow("refused login, abort") << QStringLiteral("wrong") << QStringList() << QList<int>{abort}
                                          << QStringLiteral("Failed to login!") << 1 << QStringList() << 1 << false << QString();
    QTest::newRow("refused recipient, skip") << kPassword << QStringList{desmond} << QList<int>{skip}
                                             << QStringLiteral("Failed to send mail") << 1 << QStringList{amelia, pavel} << 3 << true
                                             << oneMissed;
    QTest::newRow("refused recipient, retry then skip")
        << kPassword << QStringList{desmond} << QList<int>{retry, skip} << QStringLiteral("Failed to send mail") << 2
        << QStringList{amelia, pavel} << 4 << true << oneMissed;
    QTest::newRow("refused recipient, abort") << kPassword << QStringList{desmond} << QList<int>{abort}
                                              << QStringLiteral("Failed to send mail") << 1 << QStringList{amelia} << 2 << false
                                              << QString();
}

void TestEmail::failedStepsAskRetrySkipAbort()
{
    QFETCH(QString, password);
    QFETCH(QStringList, refuse);
    QFETCH(QList<int>, answers);
    QFETCH(QString, text);
    QFETCH(int, asked);
    QFETCH(QStringList, delivered);
    QFETCH(int, connections);
    QFETCH(bool, open);
    QFETCH(QString, end);

    TestSmtpServer server(serverOptions(refuse));
    QVERIFY(server.isRunning());
    SmtpClient::setExtraCaCertificates(server.certificate());
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(storeMailSettings(t.hub, server.port(), password));
    QVERIFY(loadCharges());
    QVERIFY(t.hub->mailModel()->select());

    for (int answer : answers)
        MsgBox::setNextAnswer(QMessageBox::StandardButton(answer));
    auto dialog = startRun(t.hub, {1, 4, 16});
    QVERIFY(runEnded(dialog.get()));

    // Each question names the failed step, then why, then the server.
    QStringList shown = MsgBox::shownTexts();
    QCOMPARE(shown.size(), asked + (end.isEmpty() ? 0 : 1));
    for (int i = 0; i < asked; ++i) {
        const QStringList lines = shown.at(i).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), text);
        QVERIFY2(!lines.at(1).isEmpty(), qPrintable(shown.at(i)));
        QCOMPARE(lines.at(2), QStringLiteral("Server: 127.0.0.1:%1").arg(server.port()));
    }
    if (!end.isEmpty())
        QCOMPARE(shown.last(), end);
    QStringList got;
    for (const QJsonObject &m : server.messages())
        got << m.value("rcpt_tos").toArray().first().toString();
    QCOMPARE(got, delivered);
    QVERIFY(server.allClosed());
    QCOMPARE(server.connectionsOpened(), connections);
    QCOMPARE(server.mostOpenAtOnce(), 1);
    QCOMPARE(dialog->isVisible(), open);
    // A run that missed someone does not end looking like success.
    if (open)
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label"))->text(), end.section(QLatin1Char('\n'), 0, 0));
}

void TestEmail::unreachableServerSendsNothingAndSaysWhy_data()
{
    QTest::addColumn<bool>("listening");
    QTest::addColumn<QString>("reason");
    QTest::newRow("stopped server") << false << QString();
    QTest::newRow("server without STARTTLS") << true << QStringLiteral("STARTTLS");
}

void TestEmail::unreachableServerSendsNothingAndSaysWhy()
{
    QFETCH(bool, listening);
    QFETCH(QString, reason);
    TestSmtpServer::Options plain;
    plain.user = kUser;
    plain.password = kPassword;
    TestSmtpServer server(plain);
    QVERIFY(server.isRunning());
    const int port = listening ? server.port() : closedPort();
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(storeMailSettings(t.hub, port, kPassword));
    QVERIFY(loadCharges());

    MsgBox::setNextAnswer(QMessageBox::Ignore);
    MsgBox::setNextAnswer(QMessageBox::Ignore);
    auto dialog = startRun(t.hub, {1, 4});
    QVERIFY(runEnded(dialog.get()));

    const QStringList shown = MsgBox::shownTexts();
    QCOMPARE(shown.size(), 3);
    for (int i = 0; i < 2; ++i) {
        const QStringList lines = shown.at(i).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), QStringLiteral("Failed to connect to host!"));
        QVERIFY2(!lines.at(1).isEmpty() && lines.at(1).contains(reason), qPrintable(shown.at(i)));
        QCOMPARE(lines.at(2), QStringLiteral("Server: 127.0.0.1:%1").arg(port));
    }
    QCOMPARE(shown.at(2), QStringLiteral("0 of 2 e-mails were sent.\nNot sent: Amelia Carraway, Desmond Achterberg"));
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("0 of 2 e-mails were sent."));
    QVERIFY(server.messages().isEmpty());
}

void TestEmail::cancelStopsASessionUnderWay()
{
    // A server that takes the connection and never says a word: the session waits on it.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(storeMailSettings(t.hub, silent.serverPort(), kPassword));
    QVERIFY(loadCharges());

    auto dialog = startRun(t.hub, {1, 4});
    auto *label = dialog->findChild<QLabel *>(QStringLiteral("label"));
    QCOMPARE(label->text(), QStringLiteral("Sending Email To Amelia Carraway"));
    // The window answers while the server is waited on.
    QVERIFY(QTest::qWaitFor([&] { return silent.hasPendingConnections(); }, 10000));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(dialog.get(), "pushButton");
    QCOMPARE(MsgBox::shownTexts(), QStringList{QStringLiteral("Are you sure you want to quit!")});
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 5000);

    // Nothing more was tried: one connection only, and no question about the one given up.
    QTest::qWait(200);
    int connections = 0;
    while (QTcpSocket *socket = silent.nextPendingConnection()) {
        ++connections;
        socket->deleteLater();
    }
    QCOMPARE(connections, 1);
    QCOMPARE(MsgBox::shownTexts().size(), 1);
}

void TestEmail::unconfirmedMessageIsNotSentAgainUnasked_data()
{
    QTest::addColumn<double>("lateEnd");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("label");
    const QString question = QStringLiteral(
        "The e-mail to Amelia Carraway went to the mail server in full, but the server did not confirm it.\n"
        "It may have been delivered; sent again, it may arrive twice.\nServer: 127.0.0.1:");
    const QString summary = QStringLiteral("0 of 1 e-mails were sent. 1 more may have been delivered.");
    QTest::newRow("confirmed after the reply limit") << 1.5 << false << QStringList() << "You are done! 1 of 1 e-mails were sent.";
    QTest::newRow("never confirmed, skipped")
        << 5.0 << false
        << QStringList{question, summary + "\nSent but not confirmed by the server, so perhaps delivered: Amelia Carraway"} << summary;
    QTest::newRow("cancelled while waiting") << 40.0 << true
                                             << QStringList{"Are you sure you want to quit!", question} << QString();
}

// A server that confirms a message late: the run waits for it longer than for any other reply (2 s
// here for the real 10 minutes, 1 s for the real 60 s), and one that never confirms leaves the e-mail
// "perhaps delivered", sent again only when the user says so. Cancelled, with the real limits, the run
// stops within a second, whenever the server would answer, and tells the e-mail as perhaps delivered.
void TestEmail::unconfirmedMessageIsNotSentAgainUnasked()
{
    QFETCH(double, lateEnd);
    QFETCH(bool, cancel);
    QFETCH(QStringList, shown);
    QFETCH(QString, label);
    TestSmtpServer::Options options = serverOptions();
    options.lateEnd = lateEnd;
    TestSmtpServer server(options);
    QVERIFY(server.isRunning());
    SmtpClient::setExtraCaCertificates(server.certificate());
    if (!cancel)
        SmtpClient::setDefaultReplyTimeouts(1000, 2000);
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(storeMailSettings(t.hub, server.port(), kPassword));
    QVERIFY(loadCharges());
    QVERIFY(t.hub->mailModel()->select());

    if (!cancel && !shown.isEmpty())
        MsgBox::setNextAnswer(QMessageBox::Ignore);
    auto dialog = startRun(t.hub, {1});
    auto *status = dialog->findChild<QLabel *>(QStringLiteral("label"));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Waiting for the mail server to confirm the e-mail to Amelia Carraway"), 10000);
    if (cancel) {
        MsgBox::setNextAnswer(QMessageBox::Yes);
        clickButton(dialog.get(), "pushButton");
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 1500);
    }
    QVERIFY(runEnded(dialog.get()));

    const QStringList got = MsgBox::shownTexts();
    QCOMPARE(got.size(), shown.size());
    for (int i = 0; i < got.size(); ++i)
        QVERIFY2(got.at(i).startsWith(shown.at(i)), qPrintable(got.at(i)));
    QCOMPARE(dialog->isVisible(), !cancel);
    if (!cancel)
        QCOMPARE(status->text(), label);
    QCOMPARE(server.messages().size(), 1);
}

void TestEmail::customListLeavesOutTenantsWithoutAddress()
{
    ModalDriver driver;
    auto window = openMainWindow(driver);
    QVERIFY(window->isDatabaseOpen());
    window->dataSource()->setCanUseEmail(true);
    QVERIFY(exec(QStringLiteral("update tenants set dat1 = '' where tid = 3")));
    QVERIFY(exec(QStringLiteral("update tenants set dat1 = null where tid = 4")));
    QVERIFY(exec(QStringLiteral("update tenants set dat1 = '  ' where tid = 16")));

    QVector<int> listed;
    driver.cancel([&listed](QDialog *list) {
        auto *table = list->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        for (int row = 0; row < table->rowCount(); ++row)
            listed << table->item(row, 0)->data(Qt::UserRole).toInt();
    });
    window->sendCustomEmails();
    QTRY_COMPARE(driver.handled, 2);
    QCOMPARE(driver.unexpected, 0);

    QSqlQuery reachable;
    QVERIFY(reachable.exec(QStringLiteral("select count(*) from tenants where trim(coalesce(dat1, '')) <> ''")) && reachable.next());
    QVERIFY(reachable.value(0).toInt() > 0);
    QCOMPARE(listed.size(), reachable.value(0).toInt());
    for (int tid : {3, 4, 16})
        QVERIFY2(!listed.contains(tid), qPrintable(QString::number(tid)));
    reachable.clear();
    window.reset();
    releaseConnection();
}

void TestEmail::lineBreakInNameRefusedBeforeConnecting()
{
    TestSmtpServer server(serverOptions());
    QVERIFY(server.isRunning());
    SmtpClient::setExtraCaCertificates(server.certificate());
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(storeMailSettings(t.hub, server.port(), kPassword));
    QVERIFY(loadCharges());
    QVERIFY(execBound(QStringLiteral("update tenants set lastname = ? where tid = 1"),
                      {QStringLiteral("Carraway\r\nBcc: everyone@example.com")}));

    MsgBox::setNextAnswer(QMessageBox::Ignore);
    auto dialog = startRun(t.hub, {1, 4});
    QVERIFY(runEnded(dialog.get()));

    // The refusal, then the end naming the one not sent.
    QCOMPARE(MsgBox::shownTexts().size(), 2);
    QVERIFY(MsgBox::shownTexts().first().contains(QStringLiteral("line break")));
    QVERIFY(MsgBox::shownTexts().last().startsWith(QStringLiteral("1 of 2 e-mails were sent.\nNot sent: Amelia Carraway")));
    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.first().value("rcpt_tos").toArray().first().toString(), QStringLiteral("desmond.achterberg@mail.example.com"));
    QVERIFY(server.allClosed());
    QCOMPARE(server.connectionsOpened(), 1);
}

void TestEmail::runsThatSendNothing_data()
{
    QTest::addColumn<QVector<int>>("recipients");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("maximum");
    QTest::newRow("no recipient") << QVector<int>() << 1 << 0;
    QTest::newRow("unknown kind") << QVector<int>{1, 4} << 7 << 2;
    // Tenant 2 owes nothing; tenant 999 does not exist.
    QTest::newRow("nothing owed or no tenant") << QVector<int>{2, 999} << 1 << 2;
}

void TestEmail::runsThatSendNothing()
{
    QFETCH(QVector<int>, recipients);
    QFETCH(int, kind);
    QFETCH(int, maximum);
    TestSmtpServer server(serverOptions());
    QVERIFY(server.isRunning());
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(storeMailSettings(t.hub, server.port(), kPassword));
    QVERIFY(loadCharges());

    auto dialog = startRun(t.hub, recipients, kind);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("label"))->text(), QStringLiteral("You are done!"));
    auto *progress = dialog->findChild<QProgressBar *>(QStringLiteral("progressBar"));
    QCOMPARE(progress->maximum(), maximum);
    QCOMPARE(progress->value(), maximum);
    QVERIFY(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_2"))->isEnabled());
    QVERIFY(!dialog->findChild<QPushButton *>(QStringLiteral("pushButton_3"))->isEnabled());
    QVERIFY(MsgBox::shownTexts().isEmpty());
    QCOMPARE(server.connectionsOpened(), 0);
}

void TestEmail::otherKindsBuildTheirBodies_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("mailId");
    QTest::addColumn<QString>("middle");
    QTest::addColumn<QString>("dateText");
    QTest::newRow("custom") << 0 << 3 << QString() << QString();
    QTest::newRow("lease expiry") << 2 << 2
                                  << QStringLiteral("<p>Lease expires on: %1<br/></p><br/>\n").arg(ShortDate::toText(QDate(2021, 6, 20)))
                                  << QStringLiteral("2021-07-01");
}

void TestEmail::otherKindsBuildTheirBodies()
{
    QFETCH(int, kind);
    QFETCH(int, mailId);
    QFETCH(QString, middle);
    QFETCH(QString, dateText);
    TestSmtpServer server(serverOptions());
    QVERIFY(server.isRunning());
    SmtpClient::setExtraCaCertificates(server.certificate());
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(storeMailSettings(t.hub, server.port(), kPassword));
    QVERIFY(execBound(QStringLiteral("update mail set subject = ?, intro = ?, signoff = ? where mailid = ?"),
                      {QStringLiteral("Notice"), QStringLiteral("Hello\nthere"), QStringLiteral("Bye"), mailId}));
    QVERIFY(t.hub->mailModel()->select());
    // Only tenant 1's first agreement ends within the window.
    QVERIFY(exec(QStringLiteral("update agreements set leaseend = '2020-01-01'")));
    QVERIFY(exec(QStringLiteral("update agreements set leaseend = '2021-06-20' where rid = (select min(rid) from agreements where tid = 1)")));

    auto dialog = startRun(t.hub, {1}, kind, dateText);
    QVERIFY(runEnded(dialog.get()));
    const QList<QJsonObject> got = server.messages();
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.first().value("html").toString().remove(QLatin1Char('\r')).trimmed(),
             QStringLiteral("<html><body><p>Hello<br/>there</p><br/>\n%1<p>Bye</p><br/>\n</body></html>").arg(middle));
}

void TestEmail::cancelAsksOnlyDuringARun()
{
    TestHub t;
    QVERIFY(t.opened);
    MailDelegateDialog before(t.hub);
    before.show();
    clickButton(&before, "pushButton");
    QVERIFY(!before.isVisible());

    // After a run has ended the window closes at once too.
    auto after = startRun(t.hub, {}, 1);
    clickButton(after.get(), "pushButton");
    QVERIFY(!after->isVisible());
    QVERIFY(MsgBox::shownTexts().isEmpty());
}

void TestEmail::configurePreview_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("preview");
    QTest::newRow("late rent") << 0 << "Configure Late Rent and Charges Email"
                               << "Dear tenant,\nplease payCategory  Amount      Due\n"
                                  "-----------------------------------------\n"
                                  "Rent       $1600       1/15/2021\nParking    $100        1/15/2021\n"
                                  "Rent       $1600       2/15/2021\nParking    $100        2/15/2021\n\nThanks";
    QTest::newRow("lease") << 1 << "Configure Lease Reminder Email"
                           << "Dear tenant,\nplease pay\nYour current lease/rental agreement expires on June 30, 2021.\nThanks";
    QTest::newRow("custom") << 2 << "Configure Custom Email" << "Dear tenant,\nplease payThanks";
}

void TestEmail::configurePreview()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, preview);
    TestHub t;
    QVERIFY(t.opened);
    EmailConfigureDialog dialog(t.hub, kind);
    QCOMPARE(dialog.windowTitle(), title);
    dialog.findChild<QTextEdit *>(QStringLiteral("introduction"))->setPlainText(QStringLiteral("Dear tenant,\nplease pay"));
    dialog.findChild<QTextEdit *>(QStringLiteral("signoff"))->setPlainText(QStringLiteral("Thanks"));
    clickButton(&dialog, "pushButton_3");
    QCOMPARE(dialog.findChild<QTextEdit *>(QStringLiteral("preview"))->toPlainText(), preview);
}

void TestEmail::configureSaveStoresTexts()
{
    TestHub t;
    QVERIFY(t.opened);
    EmailConfigureDialog dialog(t.hub, 1);
    dialog.show();
    auto *subject = dialog.findChild<QLineEdit *>(QStringLiteral("subject"));
    subject->clear();
    QTest::keyClicks(subject, QStringLiteral("  Your lease ends  "));
    dialog.findChild<QTextEdit *>(QStringLiteral("introduction"))->setPlainText(QStringLiteral("Dear tenant,\n\n  Note:"));
    dialog.findChild<QTextEdit *>(QStringLiteral("signoff"))->setPlainText(QStringLiteral("Regards\n"));
    clickButton(&dialog, "pushButton_3");
    clickButton(&dialog, "pushButton_2");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(MsgBox::shownTexts().isEmpty());
    QCOMPARE(t.copy.scalar(QStringLiteral("select subject from mail where mailid = 2")).toString(), QStringLiteral("Your lease ends"));
    QCOMPARE(t.copy.scalar(QStringLiteral("select intro from mail where mailid = 2")).toString(), QStringLiteral("Dear tenant,\n\n  Note:"));
    QCOMPARE(t.copy.scalar(QStringLiteral("select signoff from mail where mailid = 2")).toString(), QStringLiteral("Regards\n"));
    // The other notices and the preview are never written.
    QVERIFY(t.copy.scalar(QStringLiteral("select subject from mail where mailid = 1")).toString() != QStringLiteral("Your lease ends"));
}

void TestEmail::configureFailedSaveStaysOpen()
{
    TestHub t;
    QVERIFY(t.opened);
    const QString stored = t.copy.scalar(QStringLiteral("select subject from mail where mailid = 1")).toString();
    EmailConfigureDialog dialog(t.hub, 0);
    dialog.show();
    // Longer than the column holds: the database refuses the row.
    const QString tooLong(300, QLatin1Char('s'));
    dialog.findChild<QLineEdit *>(QStringLiteral("subject"))->setText(tooLong);
    clickButton(&dialog, "pushButton_2");
    QCOMPARE(MsgBox::shownTexts(), QStringList{"Unable to submit data"});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("subject"))->text(), tooLong);
    QCOMPARE(t.copy.scalar(QStringLiteral("select subject from mail where mailid = 1")).toString(), stored);
}

void TestEmail::mailingListTicksAndReturnsKeys()
{
    TestHub t;
    QVERIFY(t.opened);
    QSqlDoubleQueryModel *model = t.hub->reportQueryModel();
    // Tenant 4 twice: the list keeps both rows, and both keys when both are ticked.
    model->setQuery(QStringLiteral("select tid, id, firstname||' '||lastname as fullname, dat1 as email from tenants "
                                   "where tid in (1, 4) union all select tid, id, 'again' as fullname, dat1 as email "
                                   "from tenants where tid = 4"));
    DestinationListDialog list(t.hub);
    QCOMPARE(model->rowCount(), 0);
    QTableWidget *table = list.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    QCOMPARE(table->rowCount(), 3);
    clickButton(&list, "pushButton_4");
    table->item(0, 0)->setCheckState(Qt::Checked);
    table->item(2, 0)->setCheckState(Qt::Checked);
    clickButton(&list, "pushButton");
    QCOMPARE(list.result(), int(QDialog::Accepted));
    QCOMPARE(list.selectedTenantIds(), QVector<int>({1, 4}));

    // An empty list still sends, with nobody in it.
    DestinationListDialog empty(t.hub);
    clickButton(&empty, "pushButton");
    QCOMPARE(empty.result(), int(QDialog::Accepted));
    QVERIFY(empty.selectedTenantIds().isEmpty());
}

void TestEmail::mailingListTakesEveryRow()
{
    TestHub t;
    QVERIFY(t.opened);
    // More tenants than a query model fetches in its first batch.
    QVERIFY(exec(QStringLiteral("execute block as declare i integer = 0; begin while (i < 600) do begin "
                                "insert into tenants (tid, id, firstname, lastname, dat1) values "
                                "(5000 + :i, 'X' || :i, 'Many', 'Tenant', 'm@example.com'); i = i + 1; end end")));
    const int tenants = t.count(QStringLiteral("tenants"));
    QVERIFY(tenants > 600);
    t.hub->reportQueryModel()->setQuery(QStringLiteral("select tid, id, firstname||' '||lastname as fullname, dat1 as email from tenants"));
    DestinationListDialog list(t.hub);
    QCOMPARE(list.findChild<QTableWidget *>(QStringLiteral("tableWidget"))->rowCount(), tenants);
    clickButton(&list, "pushButton");
    QCOMPARE(list.selectedTenantIds().size(), tenants);
}

void TestEmail::leadTimeRange()
{
    SendmailDaysDialog dialog;
    auto *spin = dialog.findChild<QSpinBox *>(QStringLiteral("spinBox"));
    QTimer::singleShot(0, &dialog, [&dialog] { dialogButton(&dialog, QDialogButtonBox::Ok)->click(); });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.days(), 1);

    QTimer::singleShot(0, &dialog, [spin, &dialog] {
        QTest::keyClicks(spin, QStringLiteral("5000"));
        dialogButton(&dialog, QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(dialog.days() >= 1 && dialog.days() <= 1000);
}

VELLORAN_TEST_MAIN(TestEmail)
#include "tst_email.moc"
