#include "stowhand/dialog.h"

#include <QApplication>
#include <QTextStream>

#include <cstring>

namespace {
bool helpAsked(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

void setNames()
{
    QCoreApplication::setOrganizationName(QCoreApplication::translate("main", "Morvessa"));
    QCoreApplication::setApplicationName(QCoreApplication::translate("main", "Morvessa Velloran"));
    QCoreApplication::setApplicationVersion(QCoreApplication::translate("main", "2021"));
}
}

int main(int argc, char *argv[])
{
    // The usage text needs no window, and is read where there may be no display at all.
    if (helpAsked(argc, argv)) {
        QCoreApplication app(argc, argv);
        setNames();
        QTextStream(stdout) << QCoreApplication::translate("main",
                                                           "Usage: stowhand [DATABASE]\n"
                                                           "Backs up the database of Morvessa Velloran into a compressed "
                                                           "backup file (*.bkp) and restores it from one.\n"
                                                           "DATABASE is the name of the database file in the data folder, "
                                                           "DATA.FDB when none is given.\n");
        return 0;
    }

    QApplication app(argc, argv);
    setNames();

    Dialog dialog;
    dialog.takeArguments(QApplication::arguments());
    dialog.show();
    return app.exec();
}
