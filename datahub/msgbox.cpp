#include "datahub/msgbox.h"

#include <QQueue>

namespace {
struct TestState
{
    bool on = false;
    QQueue<QMessageBox::StandardButton> answers;
    QStringList shown;
};

TestState &state()
{
    static TestState s;
    return s;
}
}

QString MsgBox::titleOrDefault(const QString &title)
{
    return title.isEmpty() ? tr("Morvessa") : title;
}

void MsgBox::information(QWidget *parent, const QString &text, const QString &title)
{
    if (state().on) {
        state().shown << text;
        return;
    }
    QMessageBox::information(parent, titleOrDefault(title), text);
}

void MsgBox::warning(QWidget *parent, const QString &text, const QString &title)
{
    if (state().on) {
        state().shown << text;
        return;
    }
    QMessageBox::warning(parent, titleOrDefault(title), text);
}

QMessageBox::StandardButton MsgBox::question(QWidget *parent, const QString &text, const QString &title)
{
    if (state().on) {
        state().shown << text;
        return state().answers.isEmpty() ? QMessageBox::Yes : state().answers.dequeue();
    }
    return QMessageBox::question(parent, titleOrDefault(title), text,
                                 QMessageBox::Yes | QMessageBox::No);
}

void MsgBox::setTestMode(bool on)
{
    state().on = on;
    state().answers.clear();
    state().shown.clear();
}

bool MsgBox::testMode()
{
    return state().on;
}

void MsgBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    state().answers.enqueue(answer);
}

QStringList MsgBox::shownTexts()
{
    return state().shown;
}

void MsgBox::clearShown()
{
    state().shown.clear();
}
