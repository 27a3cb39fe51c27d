#include "programstart.h"

#include "datahub/debuglog.h"
#include "datahub/logindialog.h"
#include "datahub/longwork.h"
#include "datahub/msgbox.h"
#include "datahub/scopedtransaction.h"
#include "datahub/workunderway.h"
#include "datahub/xdatasource.h"
#include "platform/datafolder.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPixmap>
#include <QSocketNotifier>
#include <QSplashScreen>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

void ProgramStart::setApplicationNames()
{
    QCoreApplication::setOrganizationName(QObject::tr("Morvessa"));
    QCoreApplication::setApplicationName(QObject::tr("Morvessa Velloran"));
    QCoreApplication::setApplicationVersion(QObject::tr("2021"));
}

int ProgramStart::splashMilliseconds()
{
    bool ok = false;
    const int chosen = qEnvironmentVariableIntValue("VELLORAN_SPLASH_MS", &ok);
    return ok && chosen >= 0 ? chosen : 6000;
}

void ProgramStart::showSplash(QSplashScreen &splash)
{
    splash.setPixmap(QPixmap(QStringLiteral(":/images/Splash.png")));
    splash.setWindowFlag(Qt::WindowStaysOnTopHint);
    QCoreApplication::processEvents();
    splash.show();
    // The splash is painted once it has been shown; then the wait holds it on screen.
    QCoreApplication::processEvents();
    QThread::msleep(static_cast<unsigned long>(splashMilliseconds()));
    splash.close();
}

namespace {

// A fresh installation brings its databases along; the first start puts them where the programs
// look for them, without ever touching a database the office already has.
void provideDatabases()
{
    const QStringList copied = DataFolder::provideDeliveredDatabases(DataFolder::deliveredFolder());
    for (const QString &name : copied)
        qCDebug(velloranLog) << "installed" << name << "into" << DataFolder::path();
}

// The end signals reach the program through a pipe: the handler may only write a byte, and the
// event loop reads it like any other input.
int endPipe[2] = {-1, -1};
bool endSignalled = false;
// Set by the handler itself: the start-up steps run without the event loop, and look here between steps.
volatile std::sig_atomic_t endArrived = 0;

extern "C" void onEndSignal(int number)
{
    const int saved = errno;
    endArrived = 1;
    const char byte = char(number);
    if (::write(endPipe[1], &byte, 1) < 0) {
        // The pipe is full: a byte is already waiting, which is all the loop needs.
    }
    errno = saved;
}

// Every window open over the main window is left the way its Cancel leaves it, the innermost first,
// so that a dialog which wrote changes while it was open takes them back on its way out, while the
// work of the windows under it is still open as Cancel would find it.
void cancelModalWindows()
{
    QList<QWidget *> cancelled;
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (cancelled.contains(modal)) {
            // It would not go (it asks first, or ignores its close): it goes without its Cancel step.
            modal->hide();
            if (QApplication::activeModalWidget() == modal)
                break;
            continue;
        }
        cancelled.append(modal);
        qCDebug(velloranLog) << "cancelling" << modal->metaObject()->className() << modal->windowTitle();
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }
}

void endOnSignal()
{
    // Work in the middle of its transaction finishes first: the byte stays in the pipe, and the
    // notifier brings it back once the event loop runs again (or the start-up takes it).
    if (WorkUnderWay::painting())
        return;
    char bytes[16];
    while (::read(endPipe[0], bytes, sizeof bytes) > 0) {
    }
    if (endSignalled)
        return;
    endSignalled = true;
    qCDebug(velloranLog) << "ending on a signal";
    const QString name = QLatin1String(QSqlDatabase::defaultConnection);
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false) : QSqlDatabase();
    if (!db.isOpen()) {
        // No database attached yet (the chooser is up): nothing to give up or close, and going on
        // would only open one. End here.
        std::fflush(nullptr);
        ::_exit(0);
    }
    // As Close does: every running loop is left, and none started from here on waits for a user, so
    // that no question a Cancel step asks holds the end up.
    QCoreApplication::exit(0);
    cancelModalWindows();
    // Whatever a window had begun and not committed is given up before the windows' own code goes on;
    // its holder finds it rolled back. Work begun on the connection outside a scoped transaction goes
    // with it.
    if (!ScopedTransaction::rollBackOpen())
        db.rollback();
}

// An end that arrived while no event loop ran to read it is taken now. True when the program is to end.
bool endTaken()
{
    if (endArrived && !endSignalled)
        endOnSignal();
    return endSignalled;
}

// How long the engine may take to let this program attach before the user is told, and how long it
// is given at the end to let go of what is still attached.
int engineWaitMs = 20000;
const unsigned EngineShutdownMs = 5000;
// The reason the client library's shutdown is given: the application ends.
const int ShutdownReasonAppStopped = -3;

// Every connection of this thread given up and detached: the work left open rolled back.
void detachConnections()
{
    for (const QString &name : QSqlDatabase::connectionNames()) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && db.driver()->thread() == QThread::currentThread()) {
            db.rollback();
            db.close();
            qCDebug(velloranLog) << "database closed";
        }
    }
}

// The engine's threads stopped and whatever is still attached let go, through the client library the
// database driver loaded (nothing to do when it never was).
void shutDownEngine()
{
    void *client = ::dlopen(QFile::encodeName(DataFolder::databaseClientLibrary()).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!client)
        return;
    using Shutdown = int (*)(unsigned timeoutMs, int reason);
    if (auto shutdown = reinterpret_cast<Shutdown>(::dlsym(client, "fb_shutdown")))
        shutdown(EngineShutdownMs, ShutdownReasonAppStopped);
    ::dlclose(client);
}

// exit() may come from inside the event loop: the display plugin calls it when the display goes
// away (a log-out), with the windows and their connections still there. The engine's own exit
// handlers would then wait for attachments nobody detaches, spinning and holding its lock folder, so
// that the next start waits for ever. Registered once the engine is loaded, this runs before them.
// The windows are never destroyed on this path, so the connections are only closed, not removed.
extern "C" void detachAtExit()
{
    if (QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread())
        detachConnections();
    shutDownEngine();
}

void detachAtEveryExit()
{
    static bool registered = false;
    if (!registered)
        registered = std::atexit(detachAtExit) == 0;
}

// A program that never ended may hold the engine's lock folder, and this one's first attach would
// then wait for ever with nothing on the screen. The first attach is made on a thread of its own, to
// one of the data folder's databases, and waited for a bounded time; the user is told when it does
// not come, and may wait on or quit. False when the program is to end.
bool engineAnswers()
{
    QString file;
    for (const QString &name : DataFolder::deliveredDatabases())
        if (file.isEmpty() && QFile::exists(DataFolder::filePath(name)))
            file = DataFolder::filePath(name);
    if (file.isEmpty())
        return true;
    auto *attach = QThread::create([file] {
        const QString name = QStringLiteral("engine check");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
            db.setDatabaseName(file);
            db.setUserName(QStringLiteral("SYSDBA"));
            // Whether it opens does not matter here, only that the engine answers.
            db.open();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    });
    QEventLoop loop;
    QObject::connect(attach, &QThread::finished, &loop, &QEventLoop::quit);
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    attach->start();
    for (;;) {
        {
            LongWork cursor;
            bound.start(engineWaitMs);
            // The end signals are read meanwhile: nothing is attached yet, so one ends the program here.
            if (!attach->isFinished())
                loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        if (attach->isFinished()) {
            delete attach;
            return true;
        }
        qCDebug(velloranLog) << "the database engine does not answer";
        const QMessageBox::StandardButton answer = MsgBox::choice(
            nullptr,
            QObject::tr("The database engine does not answer: a Morvessa Velloran that has not ended may still hold "
                        "its lock folder %1.\nEnd that program, or log off and on again, before you start Morvessa "
                        "Velloran again.")
                .arg(QDir::toNativeSeparators(QString::fromLocal8Bit(qgetenv("FIREBIRD_LOCK")))),
            {{QMessageBox::Abort, QObject::tr("Quit")}, {QMessageBox::Retry, QObject::tr("Wait")}},
            QObject::tr("Morvessa"));
        if (attach->isFinished()) {
            delete attach;
            return true;
        }
        if (answer != QMessageBox::Retry) {
            // The attach still waits inside the engine: an orderly exit would wait with it.
            std::fflush(nullptr);
            ::_exit(1);
        }
    }
}

// The connection stays with the program while its windows live; it goes once they are gone, rolled
// back first, since the engine will not detach from a database with a transaction still open.
void closeDatabase()
{
    const QString name = QLatin1String(QSqlDatabase::defaultConnection);
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen()) {
            db.rollback();
            db.close();
            qCDebug(velloranLog) << "database closed";
        }
    }
    QSqlDatabase::removeDatabase(name);
}

int runMainWindow(QSplashScreen *splash)
{
    if (!engineAnswers())
        return 1;
    // The engine's first attach put its own signal handlers in place of ours.
    ProgramStart::handleEndSignals();
    MainWindow window;
    ProgramStart::handleEndSignals();
    // The engine is loaded by now: its exit handlers were registered before this one, and run after it.
    detachAtEveryExit();
    if (!window.isDatabaseOpen()) {
        if (splash) {
            splash->close();
            splash->hide();
        }
        // The user has read why; leave rather than linger without a window.
        return 1;
    }
    if (endTaken())
        return 0;

    {
        LogInDialog logIn(window.dataSource(), nullptr);
        if (logIn.exec() != QDialog::Accepted)
            return 0;
    }
    if (endTaken())
        return 0;
    // The first show runs the start-up steps; an end asked for meanwhile waits for the step in hand and
    // is taken here. The loop started below would never see its exit: the splash, waiting for the
    // window, may have read the signal already, with no loop running to leave.
    window.showMaximized();
    if (splash)
        splash->finish(&window);
    if (endTaken())
        return 0;
    return QApplication::exec();
}

} // namespace

void ProgramStart::handleEndSignals()
{
    if (!QCoreApplication::instance())
        return;
    if (endPipe[0] < 0) {
        if (::pipe2(endPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            qWarning("cannot watch for the end signals: %s", std::strerror(errno));
            return;
        }
        auto *notifier = new QSocketNotifier(endPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { endOnSignal(); });
    }
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(number, &action, nullptr);
}

bool ProgramStart::endRequested()
{
    return endSignalled || endArrived;
}

void ProgramStart::setEngineWait(int milliseconds)
{
    engineWaitMs = milliseconds;
}

int ProgramStart::run(QSplashScreen *splash)
{
    DataFolder::prepareDatabaseEngine();
    provideDatabases();
    const int code = runMainWindow(splash);
    closeDatabase();
    return code;
}

int ProgramStart::checkStartUp()
{
    DataFolder::prepareDatabaseEngine();
    provideDatabases();
    QTextStream out(stdout);
    int failures = 0;
    for (const QString &name : DataFolder::deliveredDatabases()) {
        if (!QFile::exists(DataFolder::filePath(name))) {
            out << name << ": missing in " << DataFolder::path() << '\n';
            ++failures;
            continue;
        }
        XDataSource hub;
        hub.setDataDirectory(DataFolder::path());
        hub.setDatabaseFile(name);
        if (hub.openDatabase()) {
            out << name << ": opened in " << DataFolder::path();
            if (!hub.upgradeSummary().isEmpty())
                out << ", " << hub.upgradeSummary();
            out << '\n';
        } else {
            out << name << ": " << hub.lastErrorText() << '\n';
            ++failures;
        }
        hub.closeDatabase();
    }
    return failures == 0 ? 0 : 1;
}
