#include "shell/programstart.h"

#include <QApplication>
#include <QSplashScreen>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ProgramStart::setApplicationNames();
    if (QCoreApplication::arguments().contains(QStringLiteral("--check-start-up")))
        return ProgramStart::checkStartUp();

    QSplashScreen splash;
    ProgramStart::showSplash(splash);

    return ProgramStart::run(&splash);
}
