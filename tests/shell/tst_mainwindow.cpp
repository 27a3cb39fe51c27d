#include "testhub.h"

#include "datahub/logindialog.h"
#include "datahub/msgbox.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "platform/datafolder.h"
#include "shell/chooosedatadialog.h"
#include "shell/mainwindow.h"
#include "shell/notificationdialog.h"
#include "shell/outlookengine.h"
#include "shell/programstart.h"

#include <QAction>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWidget>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

using RightSetter = void (XDataSource::*)(bool);
Q_DECLARE_METATYPE(RightSetter)
Q_DECLARE_METATYPE(OutlookEngine::Command)

namespace {

const QString kRefusal = QStringLiteral("You are not permitted to access this area");

// Answers the next modal dialog once it is up.
void whenModal(const std::function<void(QWidget *)> &answer)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            answer(modal);
        }
    });
    poll->start();
}

void answerChooser(bool demo, const std::function<void()> &then = {})
{
    whenModal([demo, then](QWidget *modal) {
        auto *chooser = qobject_cast<ChoooseDataDialog *>(modal);
        if (!chooser) {
            qWarning() << "expected the database chooser, got" << modal;
            return;
        }
        if (!demo)
            chooser->findChild<QRadioButton *>(QStringLiteral("radioButton_2"))->setChecked(true);
        dialogButton(chooser, QDialogButtonBox::Ok)->click();
        if (then)
            then();
    });
}

void answerLogIn(const QString &userId)
{
    whenModal([userId](QWidget *modal) {
        auto *logIn = qobject_cast<LogInDialog *>(modal);
        if (!logIn) {
            qWarning() << "expected the log-in, got" << modal;
            return;
        }
        if (userId.isEmpty()) {
            logIn->findChild<QPushButton *>(QStringLiteral("pushButton_2"))->click();
            return;
        }
        logIn->findChild<QLineEdit *>(QStringLiteral("id"))->setText(userId);
        logIn->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
    });
}

// Rejects every modal dialog but the database chooser that comes up while it lives, for commands
// that open one.
class ModalCloser
{
public:
    ModalCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (dialog && !qobject_cast<ChoooseDataDialog *>(dialog)) {
                m_seen << dialog->metaObject()->className();
                dialog->reject();
            }
        });
        m_timer.start(20);
    }
    QStringList seen() const { return m_seen; }

private:
    QTimer m_timer;
    QStringList m_seen;
};

// A data folder of the test's own, holding fresh copies of the named delivered databases.
class Office
{
public:
    explicit Office(const QStringList &files = {QStringLiteral("DEMO.FDB"), QStringLiteral("DATA.FDB")})
    {
        qputenv("VELLORAN_DOCUMENTS", QFile::encodeName(m_docs.path()));
        QDir().mkpath(DataFolder::path());
        for (const QString &file : files) {
            QFile::copy(TestDatabase::builtDatabase(file), DataFolder::filePath(file));
            QFile::setPermissions(DataFolder::filePath(file), QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    ~Office() { releaseConnection(); }

private:
    QTemporaryDir m_docs;
};

std::unique_ptr<MainWindow> openWindow(bool demo = true)
{
    answerChooser(demo);
    return std::make_unique<MainWindow>();
}

void withdrawAllRights(XDataSource *hub)
{
    for (RightSetter set : {&XDataSource::setCanSetOptions, &XDataSource::setCanModifyUsers,
                            &XDataSource::setCanReceivePayments, &XDataSource::setCanVoidPayments,
                            &XDataSource::setCanManageTenants, &XDataSource::setCanManageBuildings,
                            &XDataSource::setCanManageApartments, &XDataSource::setCanUseCashbook,
                            &XDataSource::setCanManageEquipment, &XDataSource::setCanManageOwners,
                            &XDataSource::setCanUseEmail, &XDataSource::setCanViewReports})
        (hub->*set)(false);
}

// Runs a command the way the user reaches it: a menu action by its object name, or a side-bar
// item by its name through the engine the side bar talks to.
void runCommand(MainWindow *window, const QString &name)
{
    if (name.startsWith(QLatin1String("action"))) {
        auto *action = window->findChild<QAction *>(name);
        QVERIFY2(action, qPrintable(name));
        action->trigger();
        return;
    }
    auto *sideBar = window->findChild<QQuickWidget *>(QStringLiteral("quickWidget"));
    QObject *engine = sideBar->rootContext()->contextProperty(QStringLiteral("xEngine")).value<QObject *>();
    QVERIFY(engine);
    QVERIFY(QMetaObject::invokeMethod(engine, "outAction", Q_ARG(QString, name)));
}

QList<NotificationDialog *> openPopups()
{
    QList<NotificationDialog *> popups;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *popup = qobject_cast<NotificationDialog *>(w))
            if (popup->isVisible())
                popups << popup;
    return popups;
}

// A one-request web server on the loopback interface, answering with a fixed status and body.
class VersionServer : public QObject
{
public:
    VersionServer(int status, const QByteArray &body)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this, status, body] {
            QTcpSocket *socket = m_server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, status, body] {
                m_request += socket->readAll();
                if (!m_request.contains("\r\n\r\n"))
                    return;
                socket->write(QByteArray("HTTP/1.1 ") + QByteArray::number(status) + " X\r\nContent-Type: text/plain\r\n"
                              + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/version.php").arg(m_server.serverPort())); }
    QByteArray request() const { return m_request; }

private:
    QTcpServer m_server;
    QByteArray m_request;
};

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void missingDatabaseEndsTheRun();
    void failedConnectShowsTheReason_data();
    void failedConnectShowsTheReason();
    void refusedLogInEndsWithZero();
    void firstShowWorkRunsOnce();
    void scenesLoadAndSectionsSwitch();
    void gateRefusesAndAdmitsByRight_data();
    void gateRefusesAndAdmitsByRight();
    void pageIsBuiltOnceAndShownAgain();
    void logOffClosesPages_data();
    void logOffClosesPages();
    void logInStartsEveryPageUnfiltered();
    void sideBarNamesMapToCommands_data();
    void sideBarNamesMapToCommands();
    void backupStartsStowhandWithDatabaseName_data();
    void backupStartsStowhandWithDatabaseName();
    void helpFileMissingIsReported();
    void startupNotices_data();
    void startupNotices();
    void versionReplyParsing_data();
    void versionReplyParsing();
    void versionCheckOverLoopback_data();
    void versionCheckOverLoopback();
    void recordIncomeAndExpenseOpenOnTheirKind_data();
    void recordIncomeAndExpenseOpenOnTheirKind();
};

void TestMainWindow::initTestCase()
{
    MsgBox::setTestMode(true);
    qRegisterMetaType<QNetworkReply *>();
    // No test may reach the real version page.
    qputenv("VELLORAN_VERSION_URL", "http://127.0.0.1:1/version.php");
}

void TestMainWindow::init()
{
    MsgBox::clearShown();
    Today::set(QDate(2021, 6, 1));
}

void TestMainWindow::cleanup()
{
    Today::reset();
    for (NotificationDialog *popup : openPopups())
        popup->close();
}

void TestMainWindow::missingDatabaseEndsTheRun()
{
    Office office({QStringLiteral("DATA.FDB")});
    answerChooser(true);
    QCOMPARE(ProgramStart::run(nullptr), 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList{QStringLiteral("Missing database")});
    QVERIFY(!QSqlDatabase::contains());
}

void TestMainWindow::failedConnectShowsTheReason_data()
{
    QTest::addColumn<bool>("cutDatabase");
    QTest::newRow("not a database") << false;
    // The engine opens it, but its first table cannot be read: the connection itself has no error.
    QTest::newRow("database cut to half") << true;
}

void TestMainWindow::failedConnectShowsTheReason()
{
    QFETCH(bool, cutDatabase);
    Office office{cutDatabase ? QStringList{QStringLiteral("DEMO.FDB")} : QStringList()};
    QFile file(DataFolder::filePath(QStringLiteral("DEMO.FDB")));
    if (cutDatabase) {
        QVERIFY(file.resize(file.size() / 2));
    } else {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a database");
        file.close();
    }

    // A log-in dialog must not follow; if one came up anyway, the test notices instead of hanging.
    ModalCloser closer;
    answerChooser(true);
    QCOMPARE(ProgramStart::run(nullptr), 1);
    QCOMPARE(MsgBox::shownTexts().size(), 1);
    const QString text = MsgBox::shownTexts().constFirst();
    QVERIFY2(text.startsWith(QLatin1String("Unable to connect: ")), qPrintable(text));
    QVERIFY(text.size() > int(qstrlen("Unable to connect: ")));
    QVERIFY(closer.seen().isEmpty());
}

void TestMainWindow::refusedLogInEndsWithZero()
{
    Office office;
    answerChooser(true, [] { answerLogIn(QString()); });
    QCOMPARE(ProgramStart::run(nullptr), 0);
    QVERIFY(MsgBox::shownTexts().isEmpty());
}

void TestMainWindow::firstShowWorkRunsOnce()
{
    Office office;
    auto window = openWindow();
    QVERIFY(window->isDatabaseOpen());
    QSqlQuery setup;
    QVERIFY(setup.exec(QStringLiteral("update setup set textvalue = 'Harbour Lets' where setid = 1")));
    window->dataSource()->setupModel()->select();

    window->show();
    QCOMPARE(window->dataSource()->companyName(), QStringLiteral("Harbour Lets"));
    auto *timer = window->findChild<QTimer *>(QStringLiteral("finishTimer"));
    QVERIFY(timer && timer->isActive() && timer->isSingleShot());
    QCOMPARE(timer->interval(), 2000);
    // The recurring-charge run has closed its transaction, so the next writer can open one.
    QVERIFY(QSqlDatabase::database().transaction());
    QVERIFY(QSqlDatabase::database().rollback());

    // Showing the window again (after minimising, after a new log-in) repeats nothing.
    timer->stop();
    window->dataSource()->setCompanyName(QStringLiteral("kept"));
    window->hide();
    window->show();
    QCOMPARE(window->dataSource()->companyName(), QStringLiteral("kept"));
    QVERIFY(!timer->isActive());
}

void TestMainWindow::scenesLoadAndSectionsSwitch()
{
    Office office;
    auto window = openWindow();
    window->resize(1200, 800);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    auto *topBar = window->findChild<QQuickWidget *>(QStringLiteral("quickWidget_2"));
    auto *sideBar = window->findChild<QQuickWidget *>(QStringLiteral("quickWidget"));
    QCOMPARE(topBar->status(), QQuickWidget::Ready);
    QCOMPARE(sideBar->status(), QQuickWidget::Ready);
    QVERIFY(topBar->errors().isEmpty());
    QVERIFY(sideBar->errors().isEmpty());
    QCOMPARE(sideBar->width(), 280);
    QCOMPARE(topBar->height(), 50);

    QObject *userText = topBar->rootObject()->findChild<QObject *>(QStringLiteral("userText"));
    QVERIFY(userText);
    QCOMPARE(userText->property("text").toString(), QStringLiteral("Demonstration database"));

    QQuickItem *root = sideBar->rootObject();
    auto *mainList = root->findChild<QQuickItem *>(QStringLiteral("mainList"));
    auto *lettersList = root->findChild<QQuickItem *>(QStringLiteral("lettersList"));
    QVERIFY(mainList && lettersList);
    QVERIFY(mainList->isVisible());
    QVERIFY(!lettersList->isVisible());
    QCOMPARE(mainList->property("count").toInt(), 8);

    // The Letters header is the last one, at the foot of the bar.
    QTest::mouseClick(sideBar, Qt::LeftButton, Qt::NoModifier, QPoint(140, sideBar->height() - 16));
    QTRY_VERIFY(lettersList->isVisible());
    QVERIFY(!mainList->isVisible());
    QCOMPARE(lettersList->property("count").toInt(), 3);

    QTest::mouseClick(sideBar, Qt::LeftButton, Qt::NoModifier, QPoint(140, 15));
    QTRY_VERIFY(mainList->isVisible());
    QVERIFY(!lettersList->isVisible());
}

void TestMainWindow::gateRefusesAndAdmitsByRight_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<RightSetter>("grant");

    const struct {
        const char *command;
        RightSetter grant;
    } rows[] = {
        {"action_Oweners", &XDataSource::setCanManageOwners},
        {"mainOwners", &XDataSource::setCanManageOwners},
        {"action_Buildings_2", &XDataSource::setCanManageBuildings},
        {"mainBuildings", &XDataSource::setCanManageBuildings},
        {"action_Apartments_2", &XDataSource::setCanManageApartments},
        {"mainApartments", &XDataSource::setCanManageApartments},
        {"action_Vendors_2", &XDataSource::setCanManageApartments},
        {"mainVendors", &XDataSource::setCanManageApartments},
        {"action_Tenants_2", &XDataSource::setCanManageTenants},
        {"mainTenants", &XDataSource::setCanManageTenants},
        {"action_Equipment_Manager", &XDataSource::setCanManageEquipment},
        {"mainEquipment", &XDataSource::setCanManageEquipment},
        {"action_Cashbook_2", &XDataSource::setCanUseCashbook},
        {"accCashbook", &XDataSource::setCanUseCashbook},
        {"action_Cashbook_Categories", &XDataSource::setCanUseCashbook},
        {"sysCategories", &XDataSource::setCanUseCashbook},
        {"accRecordExpense", &XDataSource::setCanUseCashbook},
        {"accRecordIncome", &XDataSource::setCanUseCashbook},
        {"action_Users", &XDataSource::setCanModifyUsers},
        {"sysUsers", &XDataSource::setCanModifyUsers},
        {"sysRentFreq", &XDataSource::setCanReceivePayments},
        {"action_Adjust_Rental_Rate", &XDataSource::setCanReceivePayments},
        {"otherAdjust", &XDataSource::setCanReceivePayments},
        {"accPaymentHistory", &XDataSource::setCanReceivePayments},
        {"accCollectRent", &XDataSource::setCanReceivePayments},
        {"action_Lease_Terms", &XDataSource::setCanManageTenants},
        {"sysLeaseTerms", &XDataSource::setCanManageTenants},
        {"action_Credit_Cards", &XDataSource::setCanManageTenants},
        {"sysCreditCards", &XDataSource::setCanManageTenants},
        {"letterLate", &XDataSource::setCanUseEmail},
        {"letterLease", &XDataSource::setCanUseEmail},
        {"letterCustom", &XDataSource::setCanUseEmail},
        {"action_Send", &XDataSource::setCanUseEmail},
        {"emailSendLate", &XDataSource::setCanUseEmail},
        {"action_Configure", &XDataSource::setCanUseEmail},
        {"emailConfigureLate", &XDataSource::setCanUseEmail},
        {"action_Send_2", &XDataSource::setCanUseEmail},
        {"emailSendExpiring", &XDataSource::setCanUseEmail},
        {"action_Configure_2", &XDataSource::setCanUseEmail},
        {"emailConfigureExpiring", &XDataSource::setCanUseEmail},
        {"action_Send_3", &XDataSource::setCanUseEmail},
        {"emailSendCustom", &XDataSource::setCanUseEmail},
        {"action_Configure_3", &XDataSource::setCanUseEmail},
        {"emailConfigureCustom", &XDataSource::setCanUseEmail},
        {"action_Options", &XDataSource::setCanSetOptions},
    };
    for (const auto &row : rows)
        QTest::newRow(row.command) << QString::fromLatin1(row.command) << row.grant;

    const char *reports[] = {
        "action_Payments_Report", "actionPayments_by_Tenants", "action_Late_Payment_List",
        "actionPayments_Summary_Report", "action_Tenant_List", "actionTenant_Details_Report", "action_Waitlist",
        "action_Owners_Report", "action_Buildings_List", "actionBuildings_by_Owner",
        "action_Apartments_List_Report", "action_Vacant_Apartments_Report", "action_Occupied_Apartments_Report",
        "action_Cashbook_Report", "action_Income_by_Building", "action_Expense_by_Building",
        "actionIncome_by_Tenant", "actionExpense_by_Te_nant", "actionExpense_by_Vendors", "action_Vendors",
        "action_Equipments", "action_Lease_Expiry_Dates", "action_Expired_Leases_Report",
        "actionExpiring_Leases_this_Month", "action_Maintenance_by_Apartment", "actionMaintenance_by_Building",
        "actionMaintenance_by_Vendor", "action_Late_Payment_List_2"};
    for (const char *report : reports)
        QTest::newRow(report) << QString::fromLatin1(report) << RightSetter(&XDataSource::setCanViewReports);
}

void TestMainWindow::gateRefusesAndAdmitsByRight()
{
    QFETCH(QString, command);
    QFETCH(RightSetter, grant);

    Office office;
    auto owner = openWindow();
    MainWindow *window = owner.get();
    QVERIFY(window->isDatabaseOpen());
    XDataSource *hub = window->dataSource();
    ModalCloser closer;

    withdrawAllRights(hub);
    runCommand(window, command);
    QCOMPARE(MsgBox::shownTexts(), QStringList{kRefusal});
    QVERIFY(closer.seen().isEmpty());

    MsgBox::clearShown();
    (hub->*grant)(true);
    runCommand(window, command);
    QVERIFY2(!MsgBox::shownTexts().contains(kRefusal), qPrintable(MsgBox::shownTexts().join('|')));
    withdrawAllRights(hub);
}

void TestMainWindow::pageIsBuiltOnceAndShownAgain()
{
    Office office;
    auto window = openWindow();
    window->show();
    window->dataSource()->setCanManageOwners(true);
    auto *area = window->findChild<QMdiArea *>(QStringLiteral("mdiArea"));

    runCommand(window.get(), QStringLiteral("action_Oweners"));
    QCOMPARE(area->subWindowList().size(), 1);
    QMdiSubWindow *page = area->subWindowList().constFirst();
    QCOMPARE(page->windowTitle(), QStringLiteral("Owners"));
    page->close();

    runCommand(window.get(), QStringLiteral("mainOwners"));
    QCOMPARE(area->subWindowList().size(), 1);
    QCOMPARE(area->subWindowList().constFirst(), page);
    QVERIFY(page->isVisible() && page->isMaximized());
}

void TestMainWindow::logOffClosesPages_data()
{
    QTest::addColumn<QString>("nextUser");
    QTest::addColumn<bool>("windowStays");
    QTest::newRow("next user logs in") << QStringLiteral("ADMIN") << true;
    QTest::newRow("log-in refused") << QString() << false;
}

void TestMainWindow::logOffClosesPages()
{
    QFETCH(QString, nextUser);
    QFETCH(bool, windowStays);

    Office office;
    auto window = openWindow();
    window->show();
    window->dataSource()->setCanManageOwners(true);
    window->dataSource()->setCanManageBuildings(true);
    runCommand(window.get(), QStringLiteral("action_Oweners"));
    runCommand(window.get(), QStringLiteral("action_Buildings_2"));
    auto *area = window->findChild<QMdiArea *>(QStringLiteral("mdiArea"));
    QCOMPARE(area->subWindowList().size(), 2);

    answerLogIn(nextUser);
    runCommand(window.get(), QStringLiteral("action_Log_Off"));
    QVERIFY(area->subWindowList().isEmpty());
    QCOMPARE(window->isVisible(), windowStays);
}

void TestMainWindow::logInStartsEveryPageUnfiltered()
{
    Office office;
    auto window = openWindow();
    auto *area = window->findChild<QMdiArea *>(QStringLiteral("mdiArea"));
    const QMap<QString, QString> tables = {{"action_Tenants_2", "tenants"},   {"action_Oweners", "owners"},
                                           {"action_Buildings_2", "buildings"}, {"action_Vendors_2", "vendors"},
                                           {"action_Apartments_2", "apartments"}, {"action_Cashbook_2", "cashbook"}};
    // The first log-in gives ADMIN's rights; the second follows a search on every page.
    for (int logIn = 0; logIn < 2; ++logIn) {
        answerLogIn(QStringLiteral("ADMIN"));
        runCommand(window.get(), QStringLiteral("action_Log_Off"));
        for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
            runCommand(window.get(), it.key());
            QWidget *page = area->subWindowList().last()->widget();
            QAbstractItemModel *rows = child<QTableView>(page, "tableView")->model();
            QSqlQuery count(QStringLiteral("select count(*) from ") + it.value());
            QVERIFY(count.next() && child<QLineEdit>(page, "lineEdit")->text().isEmpty());
            QCOMPARE(rows->rowCount(), count.value(0).toInt());
            QTest::keyClicks(child<QLineEdit>(page, "lineEdit"), "zzz");
            waitForSearch(page);
            QCOMPARE(rows->rowCount(), 0);
        }
    }
}

void TestMainWindow::sideBarNamesMapToCommands_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<OutlookEngine::Command>("command");
    using C = OutlookEngine::Command;
    const struct {
        const char *name;
        C command;
    } rows[] = {
        {"mainTenants", &MainWindow::openTenants},
        {"mainOwners", &MainWindow::openOwners},
        {"mainBuildings", &MainWindow::openBuildings},
        {"mainApartments", &MainWindow::openApartments},
        {"mainEquipment", &MainWindow::openEquipment},
        {"mainVendors", &MainWindow::openVendors},
        {"mainTodolist", &MainWindow::openToDoList},
        {"mainHelp", &MainWindow::openHelp},
        {"accCashbook", &MainWindow::openCashbook},
        {"accCollectRent", &MainWindow::collectRent},
        {"accRecordExpense", &MainWindow::recordExpense},
        {"accRecordIncome", &MainWindow::recordIncome},
        {"accPaymentHistory", &MainWindow::openPaymentHistory},
        {"sysUsers", &MainWindow::openUsers},
        {"sysCategories", &MainWindow::openCashbookCategories},
        {"sysRentFreq", &MainWindow::openRentFrequencies},
        {"sysLeaseTerms", &MainWindow::openLeaseTerms},
        {"sysCreditCards", &MainWindow::openCreditCards},
        {"otherReminders", &MainWindow::openReminders},
        {"otherAdjust", &MainWindow::openAdjustRent},
        {"letterLate", &MainWindow::openLettersDialog},
        {"letterLease", &MainWindow::openLeaseAgreementLetter},
        {"letterCustom", &MainWindow::openCustomLetters},
        {"emailConfigureLate", &MainWindow::configureLateRentEmail},
        {"emailSendLate", &MainWindow::sendLateRentEmails},
        {"emailConfigureExpiring", &MainWindow::configureExpiringLeaseEmail},
        {"emailSendExpiring", &MainWindow::sendExpiringLeaseEmails},
        {"emailConfigureCustom", &MainWindow::configureCustomEmail},
        {"emailSendCustom", &MainWindow::sendCustomEmails},
        {"MainOwners", nullptr},
        {"mainowners", nullptr},
        {"", nullptr},
        {"mainOwners ", nullptr},
    };
    for (const auto &row : rows)
        QTest::newRow(*row.name ? row.name : "(empty)") << QString::fromLatin1(row.name) << row.command;
}

void TestMainWindow::sideBarNamesMapToCommands()
{
    QFETCH(QString, name);
    QFETCH(OutlookEngine::Command, command);
    QVERIFY(OutlookEngine::commandFor(name) == command);
}

void TestMainWindow::backupStartsStowhandWithDatabaseName_data()
{
    QTest::addColumn<bool>("demo");
    QTest::addColumn<QString>("argument");
    QTest::newRow("demonstration") << true << QStringLiteral("DEMO.FDB");
    QTest::newRow("working") << false << QStringLiteral("DATA.FDB");
}

void TestMainWindow::backupStartsStowhandWithDatabaseName()
{
    QFETCH(bool, demo);
    QFETCH(QString, argument);

    Office office;
    auto window = openWindow(demo);
    QString program;
    QStringList arguments;
    int starts = 0;
    window->setProgramStarter([&](const QString &p, const QStringList &a) {
        program = p;
        arguments = a;
        ++starts;
        return true;
    });
    withdrawAllRights(window->dataSource());
    runCommand(window.get(), QStringLiteral("action_Backup"));
    QCOMPARE(starts, 1);
    QCOMPARE(program, QCoreApplication::applicationDirPath() + QStringLiteral("/stowhand"));
    QCOMPARE(arguments, QStringList{argument});
    QVERIFY(MsgBox::shownTexts().isEmpty());
}

void TestMainWindow::helpFileMissingIsReported()
{
    Office office;
    auto window = openWindow();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");

    QVERIFY(!QFile::exists(MainWindow::helpFile()));
    runCommand(window.get(), QStringLiteral("action_Contents"));
    QCOMPARE(MsgBox::shownTexts().size(), 1);
    QVERIFY(MsgBox::shownTexts().constFirst().contains(QLatin1String("velloran.chm")));
    QVERIFY(catcher.urls.isEmpty());

    MsgBox::clearShown();
    QFile help(MainWindow::helpFile());
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.close();
    runCommand(window.get(), QStringLiteral("mainHelp"));
    QFile::remove(MainWindow::helpFile());
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QVERIFY(MsgBox::shownTexts().isEmpty());
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(MainWindow::helpFile())});
}

void TestMainWindow::startupNotices_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QStringList>("notices");
    QTest::addColumn<int>("popups");

    const QString expired = QStringLiteral("There are expired Leases! Press 'CTRL+E' to view them.");
    const QString late = QStringLiteral("There are late bills! Press 'CTRL+L' to view them.");

    QTest::newRow("nothing due yet") << QDate(2020, 6, 1) << QStringList() << QStringList() << 0;
    QTest::newRow("lease ends and bill falls due today") << QDate(2021, 1, 1) << QStringList() << QStringList() << 1;
    QTest::newRow("everything due") << QDate(2021, 6, 1) << QStringList() << QStringList{expired, late} << 1;
    QTest::newRow("paid bill is not late")
        << QDate(2021, 6, 1) << QStringList{QStringLiteral("update charges set amt = 0, paid = 500")}
        << QStringList{expired} << 1;
    QTest::newRow("reminder switched off")
        << QDate(2021, 6, 1) << QStringList{QStringLiteral("update reminders set reminder = 0")}
        << QStringList{expired, late} << 0;
    QTest::newRow("two due reminders, one pop-up")
        << QDate(2021, 6, 1)
        << QStringList{QStringLiteral("insert into reminders (id, title, description, tdate, reminder) "
                                      "values (2, 'Gutters', 'Clear the gutters', '2021-02-01', 1)")}
        << QStringList{expired, late} << 1;
}

void TestMainWindow::startupNotices()
{
    QFETCH(QDate, today);
    QFETCH(QStringList, changes);
    QFETCH(QStringList, notices);
    QFETCH(int, popups);

    Office office;
    QSettings(QStringLiteral("Morvessa"), QStringLiteral("Velloran 2021")).setValue(QStringLiteral("ShowWelcome"), false);
    // The working database carries no leases, bills or reminders of its own.
    auto window = openWindow(false);
    QVERIFY(exec(QStringLiteral("insert into tenants (tid, firstname, lastname) values (1, 'Ann', 'Lee')")));
    QVERIFY(exec(QStringLiteral("insert into agreements (rid, tid, apid, leasestart, leaseend) "
                                "values (1, 1, 1, '2020-01-01', '2021-01-01')")));
    QVERIFY(exec(QStringLiteral("insert into apartments (apid, tid, bid, suite, agreeid) values (1, 1, 1, '101', 1)")));
    QVERIFY(exec(QStringLiteral("insert into charges (chid, tid, apid, type, amt, fordate) "
                                "values (1, 1, 1, 'Rent', 500, '2021-01-01')")));
    QVERIFY(exec(QStringLiteral("insert into reminders (id, title, description, tdate, reminder) "
                                "values (1, 'Boiler', 'Service the boiler', '2021-01-01', 1)")));
    for (const QString &change : changes)
        QVERIFY(exec(change));

    Today::set(today);
    window->finishInit();
    QCOMPARE(MsgBox::shownTexts(), notices);
    QCOMPARE(openPopups().size(), popups);
    if (popups) {
        NotificationDialog *popup = openPopups().constFirst();
        QVERIFY(!popup->parent());
        QVERIFY(!popup->isModal());
        QVERIFY(popup->text().contains(QLatin1String("Service the boiler"))
                || popup->text().contains(QLatin1String("Clear the gutters")));
        QVERIFY(popup->text().startsWith(QLatin1String("<b>")));
    }
}

void TestMainWindow::versionReplyParsing_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("newer");
    QTest::newRow("same build") << QByteArray("2021:20210008") << false;
    QTest::newRow("newer build") << QByteArray("2021:20210009") << true;
    QTest::newRow("much newer") << QByteArray("2021:20219999") << true;
    QTest::newRow("other edition") << QByteArray("2022:20220001") << false;
    QTest::newRow("no colon") << QByteArray("20210009") << false;
    QTest::newRow("not a number") << QByteArray("2021:soon") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("more parts") << QByteArray("2021:20210010:extra") << true;
    QTest::newRow("text after a zero byte") << QByteArray("2021:20210009\0garbage", 21) << true;
    QTest::newRow("zero byte hides the build") << QByteArray("2021\0:20210009", 14) << false;
}

void TestMainWindow::versionReplyParsing()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, newer);
    QCOMPARE(MainWindow::isNewerVersion(body), newer);
}

void TestMainWindow::versionCheckOverLoopback_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("warned");
    QTest::newRow("newer version") << 200 << QByteArray("2021:20210009") << true;
    QTest::newRow("up to date") << 200 << QByteArray("2021:20210008") << false;
    QTest::newRow("error page") << 500 << QByteArray("2021:20210009") << false;
}

void TestMainWindow::versionCheckOverLoopback()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, warned);

    Office office;
    auto window = openWindow();
    VersionServer server(status, body);
    qputenv("VELLORAN_VERSION_URL", server.url().toEncoded());

    window->checkVersion();
    auto *manager = window->findChild<QNetworkAccessManager *>();
    QVERIFY(manager);
    QSignalSpy finished(manager, &QNetworkAccessManager::finished);
    QVERIFY(finished.wait(10000));
    qputenv("VELLORAN_VERSION_URL", "http://127.0.0.1:1/version.php");

    QVERIFY(server.request().startsWith("GET /version.php "));
    QVERIFY(server.request().contains("User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64)"));
    QCOMPARE(MsgBox::shownTexts().size(), warned ? 1 : 0);
    if (warned)
        QVERIFY(MsgBox::shownTexts().constFirst().startsWith(QLatin1String("A new version of the software is available.")));
}

void TestMainWindow::recordIncomeAndExpenseOpenOnTheirKind_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("firstType");
    // The office's first category, Repairs, is an expense, or is made an income.
    QTest::newRow("Record Income") << "accRecordIncome" << 0;
    QTest::newRow("Record Expense, an income listed first") << "accRecordExpense" << 1;
}

void TestMainWindow::recordIncomeAndExpenseOpenOnTheirKind()
{
    QFETCH(QString, command);
    QFETCH(int, firstType);
    Office office;
    auto window = openWindow();
    window->dataSource()->setCanUseCashbook(true);
    QSqlQuery sql;
    QVERIFY(sql.exec(QStringLiteral("update categories set type = %1 where catid = 1").arg(firstType)));
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Clerk test entry");
        QTest::keyClicks(child<QLineEdit>(d, "amount"), "100.00");
    });
    MsgBox::setNextAnswer(QMessageBox::Yes);
    runCommand(window.get(), command);
    QVERIFY(sql.exec(QStringLiteral("select t.type, c.income - c.expense from cashbook c join categories t on "
                                    "t.catid = c.catid where c.description = 'Clerk test entry'")) && sql.next());
    const bool income = command == QLatin1String("accRecordIncome");
    QCOMPARE(sql.value(0).toInt() != 0, income);
    QCOMPARE(sql.value(1).toDouble(), income ? 100.0 : -100.0);
}

VELLORAN_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
