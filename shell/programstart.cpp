#include "programstart.h"

#include "datahub/debuglog.h"
#include "datahub/logindialog.h"
#include "datahub/scopedtransaction.h"
#include "datahub/workunderway.h"
#include "datahub/xdatasource.h"
#include "platform/datafolder.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPixmap>
#include <QSocketNotifier>
#include <QSplashScreen>
#include <QSqlDatabase>
#include <QTextStream>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
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
    MainWindow window;
    // Attaching the database put the engine's own handlers in place of ours.
    ProgramStart::handleEndSignals();
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
