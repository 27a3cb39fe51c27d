#include "stowhand/stowmsgbox.h"

#include <QMessageBox>
#include <QQueue>

namespace {
struct TestState
{
    bool on = false;
    QStringList shown;
    QQueue<bool> answers;
};

TestState &state()
{
    static TestState s;
    return s;
}
}

void StowMsgBox::information(QWidget *parent, const QString &text)
{
    if (state().on) {
        state().shown << text;
        return;
    }
    QMessageBox::information(parent, tr("Morvessa"), text, QMessageBox::Ok);
}

bool StowMsgBox::question(QWidget *parent, const QString &text)
{
    if (state().on) {
        state().shown << text;
        if (state().answers.isEmpty())
            qFatal("Unanswered question in test mode: %s", qPrintable(text));
        return state().answers.dequeue();
    }
    return QMessageBox::question(parent, tr("Morvessa"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
}

void StowMsgBox::setTestMode(bool on)
{
    state().on = on;
    state().shown.clear();
    state().answers.clear();
}

void StowMsgBox::setNextAnswer(bool yes)
{
    state().answers.enqueue(yes);
}

QStringList StowMsgBox::shownTexts()
{
    return state().shown;
}

void StowMsgBox::clearShown()
{
    state().shown.clear();
}
