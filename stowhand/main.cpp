#include "stowhand/dialog.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QApplication::translate("main", "Morvessa"));
    QApplication::setApplicationName(QApplication::translate("main", "Morvessa Velloran"));
    QApplication::setApplicationVersion(QApplication::translate("main", "2021"));

    Dialog dialog;
    dialog.takeArguments(QApplication::arguments());
    dialog.show();
    return app.exec();
}
