#include "stowhand/stowmsgbox.h"

#include <QMessageBox>

namespace {
struct TestState
{
    bool on = false;
    QStringList shown;
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

void StowMsgBox::setTestMode(bool on)
{
    state().on = on;
    state().shown.clear();
}

QStringList StowMsgBox::shownTexts()
{
    return state().shown;
}

void StowMsgBox::clearShown()
{
    state().shown.clear();
}
