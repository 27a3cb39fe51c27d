#include "shell/programstart.h"

#include <QApplication>
#include <QSplashScreen>

#include <cstring>

namespace {
bool asked(int argc, char *argv[], const char *option)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0)
            return true;
    }
    return false;
}
}

int main(int argc, char *argv[])
{
    // The installation check shows no window, so it must run where there is no display (over SSH,
    // from a package script): no platform plugin is loaded for it.
    if (asked(argc, argv, "--check-start-up")) {
        QCoreApplication app(argc, argv);
        ProgramStart::setApplicationNames();
        return ProgramStart::checkStartUp();
    }

    QApplication app(argc, argv);
    ProgramStart::setApplicationNames();
    ProgramStart::handleEndSignals();

    QSplashScreen splash;
    ProgramStart::showSplash(splash);

    return ProgramStart::run(&splash);
}
