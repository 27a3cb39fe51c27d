#include "programstart.h"

#include "datahub/logindialog.h"
#include "platform/datafolder.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QPixmap>
#include <QSplashScreen>
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

int ProgramStart::run(QSplashScreen *splash)
{
    DataFolder::prepareDatabaseEngine();
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
