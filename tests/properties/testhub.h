#ifndef TESTHUB_H
#define TESTHUB_H

// What the window tests share: a data hub on a private copy of the demonstration database, SQL run
// straight on the hub's connection, and a driver that answers the modal editors a window opens.

#include "testdatabase.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"

#include <QPushButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

#include <functional>

class TestHub
{
public:
    TestHub()
        : copy(QStringLiteral("DEMO.FDB"))
    {
        hub = new XDataSource;
        hub->setDataDirectory(copy.folder());
        hub->setDatabaseFile(copy.fileName());
        opened = copy.isValid() && hub->openDatabase();
        MsgBox::setTestMode(true);
    }
    ~TestHub()
    {
        delete hub;
        {
            QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
        MsgBox::setTestMode(false);
    }

    // A statement run and committed on the hub's own connection.
    bool exec(const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database());
        if (!query.exec(sql)) {
            qWarning() << sql << query.lastError().text();
            return false;
        }
        return true;
    }
    int count(const QString &where) { return copy.scalar(QStringLiteral("select count(*) from ") + where).toInt(); }

    TestDatabase copy;
    XDataSource *hub = nullptr;
    bool opened = false;
};

// Answers, in turn, the modal dialogs that open while a window command runs. Each step fills the dialog
// and then presses OK (or Cancel); a dialog that refuses OK and stays open is counted and cancelled, so
// that a refusal never leaves the test waiting.
class ModalDriver : public QObject
{
public:
    struct Step
    {
        std::function<void(QDialog *)> fill;
        bool pressOk = true;
    };

    ModalDriver()
    {
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, this, [this] { poll(); });
        timer.start();
    }

    void ok(std::function<void(QDialog *)> fill = {}) { steps.append({std::move(fill), true}); }
    void cancel(std::function<void(QDialog *)> fill = {}) { steps.append({std::move(fill), false}); }

    int stayedOpen = 0;
    int unexpected = 0;
    int handled = 0;

private:
    void poll()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || seen.contains(dialog))
            return;
        seen.removeAll(nullptr);
        seen.append(dialog);
        ++handled;
        // Run the step from a timer of its own, so that this one keeps polling while the step waits in
        // a dialog the step itself opened.
        QPointer<QDialog> target = dialog;
        QTimer::singleShot(0, this, [this, target] {
            if (target)
                run(target);
        });
    }

    void run(QDialog *dialog)
    {
        if (steps.isEmpty()) {
            ++unexpected;
            dialog->reject();
            return;
        }
        const Step step = steps.takeFirst();
        if (step.fill)
            step.fill(dialog);
        if (!step.pressOk) {
            dialog->reject();
            return;
        }
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        if (buttons)
            buttons->button(QDialogButtonBox::Ok)->click();
        else
            dialog->accept();
        if (dialog->isVisible()) {
            ++stayedOpen;
            dialog->reject();
        }
    }

    QTimer timer;
    // A dialog that becomes active again after one it opened has closed is not a new one.
    QList<QPointer<QDialog>> seen;
    QList<Step> steps;
};

template<typename T>
T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning() << "no child" << name;
    return found;
}

#endif // TESTHUB_H
