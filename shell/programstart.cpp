#include "programstart.h"

#include "datahub/debuglog.h"
#include "datahub/logindialog.h"
#include "datahub/xdatasource.h"
#include "platform/datafolder.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QSplashScreen>
#include <QTextStream>
#include <QThread>

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

} // namespace

int ProgramStart::run(QSplashScreen *splash)
{
    DataFolder::prepareDatabaseEngine();
    provideDatabases();
    MainWindow window;
    if (!window.isDatabaseOpen()) {
        if (splash) {
            splash->close();
            splash->hide();
        }
        // The user has read why; leave rather than linger without a window.
        return 1;
    }

    {
        LogInDialog logIn(window.dataSource(), nullptr);
        if (logIn.exec() != QDialog::Accepted)
            return 0;
    }
    window.showMaximized();
    if (splash)
        splash->finish(&window);
    return QApplication::exec();
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
            out << name << ": opened in " << DataFolder::path() << '\n';
        } else {
            out << name << ": " << hub.lastErrorText() << '\n';
            ++failures;
        }
        hub.closeDatabase();
    }
    return failures == 0 ? 0 : 1;
}
