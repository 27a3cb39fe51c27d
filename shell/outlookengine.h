#ifndef OUTLOOKENGINE_H
#define OUTLOOKENGINE_H

#include <QObject>
#include <QString>

class MainWindow;

// The side bar's way into the main window: every item click arrives here with the item's name.
class OutlookEngine : public QObject
{
    Q_OBJECT

public:
    using Command = void (MainWindow::*)();

    explicit OutlookEngine(QObject *parent = nullptr);

    void setMainWindow(MainWindow *window) { m_mainWindow = window; }

    Q_INVOKABLE void outAction(const QString &name);

    // The main-window command behind an item name, or null for a name the side bar does not have.
    static Command commandFor(const QString &name);

private:
    MainWindow *m_mainWindow = nullptr;
};

#endif // OUTLOOKENGINE_H
