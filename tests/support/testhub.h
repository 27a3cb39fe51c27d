#ifndef TESTHUB_H
#define TESTHUB_H

// What the window tests share: a data hub on a private copy of a delivered database, SQL run straight
// on the hub's connection, a driver that answers the modal editors a window opens, and the few steps
// every test takes on a form (find a widget, press a button, make a row current).
// Header only: it needs the program's library, which only the tests that include it link.

#include "testdatabase.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTimer>

#include <functional>

// A new hub pointed at the copy, not yet opened.
inline XDataSource *hubOnCopy(const TestDatabase &copy)
{
    auto *hub = new XDataSource;
    hub->setDataDirectory(copy.folder());
    hub->setDatabaseFile(copy.fileName());
    return hub;
}

class TestHub
{
public:
    // `changes` are run on the copy, on a connection of their own, before the hub opens it.
    explicit TestHub(const QStringList &changes = {})
        : copy(QStringLiteral("DEMO.FDB"))
    {
        if (copy.isValid() && !changes.isEmpty()) {
            const QString name = QStringLiteral("changes");
            {
                QSqlQuery query(copy.open(name));
                for (const QString &sql : changes)
                    if (!query.exec(sql))
                        qWarning() << sql << query.lastError().text();
            }
            releaseConnection(name);
        }
        hub = hubOnCopy(copy);
        opened = copy.isValid() && hub->openDatabase();
        MsgBox::setTestMode(true);
    }
    ~TestHub()
    {
        delete hub;
        releaseConnection();
        MsgBox::setTestMode(false);
    }

    // A statement run and committed on the hub's own connection.
    bool exec(const QString &sql) { return ::exec(sql); }
    int count(const QString &where) { return copy.scalar(QStringLiteral("select count(*) from ") + where).toInt(); }

    TestDatabase copy;
    XDataSource *hub = nullptr;
    bool opened = false;
};

template<typename T>
T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning() << "no child" << name;
    return found;
}

// A button of the dialog's standard "buttonBox".
inline QPushButton *dialogButton(QWidget *dialog, QDialogButtonBox::StandardButton which)
{
    return dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(which);
}

// A click on the push button of that name, as the user gives it.
inline void clickButton(QObject *parent, const char *name)
{
    QTest::mouseClick(child<QPushButton>(parent, name), Qt::LeftButton);
}

// Types `text` key by key as keyClicks does, letters beyond ASCII ("İ") included, which keyClicks cannot
// type: those come as a keyboard layout or an input method delivers them, as text without a key code.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Makes current, in `column`, every row whose `keyColumn` holds `key` (the last one wins).
template<typename Key>
void selectRow(QTableView *view, int keyColumn, const Key &key, int column)
{
    QAbstractItemModel *model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, keyColumn).data().value<Key>() == key)
            view->setCurrentIndex(model->index(row, column));
}

// Searches follow the typing once it has rested for a moment: the test waits for the window's list to
// settle, as the user does.
inline void waitForSearch(QObject *window)
{
    for (QTimer *timer : window->findChildren<QTimer *>(QStringLiteral("searchTimer")))
        QTRY_VERIFY(!timer->isActive());
}

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
        live().append(this);
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, this, [this] { poll(); });
        timer.start();
    }

    ~ModalDriver() override { live().removeAll(this); }

    void ok(std::function<void(QDialog *)> fill = {}) { steps.append({std::move(fill), true}); }
    void cancel(std::function<void(QDialog *)> fill = {}) { steps.append({std::move(fill), false}); }

    int stayedOpen = 0;
    int unexpected = 0;
    int handled = 0;

private:
    void poll()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        // A progress dialog asks nothing: it tells how long work goes, and closes by itself.
        if (!dialog || seen.contains(dialog) || qobject_cast<QProgressDialog *>(dialog))
            return;
        // A driver whose steps are done leaves a dialog to another one of the test that still has
        // steps: which of their timers fires first would otherwise decide who answers it.
        if (steps.isEmpty()) {
            for (const ModalDriver *other : live())
                if (other != this && !other->steps.isEmpty())
                    return;
        }
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
        // A file dialog's box says Save or Open instead of OK.
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QPushButton *ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
        if (ok)
            ok->click();
        else
            dialog->accept();
        if (dialog->isVisible()) {
            ++stayedOpen;
            dialog->reject();
        }
    }

    static QList<ModalDriver *> &live()
    {
        static QList<ModalDriver *> drivers;
        return drivers;
    }

    QTimer timer;
    // A dialog that becomes active again after one it opened has closed is not a new one.
    QList<QPointer<QDialog>> seen;
    QList<Step> steps;
};

#endif // TESTHUB_H
