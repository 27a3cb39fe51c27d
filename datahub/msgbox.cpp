#include "datahub/msgbox.h"

#include <QPushButton>
#include <QQueue>
#include <QtGlobal>

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
        // A question that no test expected must not walk a destructive path unnoticed.
        if (state().answers.isEmpty())
            qFatal("Unanswered question in test mode: %s", qPrintable(text));
        return state().answers.dequeue();
    }
    return QMessageBox::question(parent, titleOrDefault(title), text,
                                 QMessageBox::Yes | QMessageBox::No);
}

QMessageBox::StandardButton MsgBox::choice(QWidget *parent, const QString &text,
                                           const QList<QPair<QMessageBox::StandardButton, QString>> &buttons,
                                           const QString &title)
{
    if (state().on) {
        state().shown << text;
        if (state().answers.isEmpty())
            qFatal("MsgBox::choice without a queued answer: %s", qPrintable(text));
        return state().answers.dequeue();
    }
    QMessageBox box(QMessageBox::Question, titleOrDefault(title), text, QMessageBox::NoButton, parent);
    QList<QPair<QAbstractButton *, QMessageBox::StandardButton>> made;
    for (const auto &b : buttons) {
        // Roles that Qt never takes for an escape button.
        QPushButton *button = box.addButton(b.second, made.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::ActionRole);
        if (made.isEmpty())
            box.setDefaultButton(button);
        made.append(qMakePair(static_cast<QAbstractButton *>(button), b.first));
    }
    box.exec();
    for (const auto &m : made)
        if (box.clickedButton() == m.first)
            return m.second;
    return QMessageBox::NoButton;
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

int MsgBox::queuedAnswers()
{
    return state().answers.size();
}

QStringList MsgBox::shownTexts()
{
    return state().shown;
}

void MsgBox::clearShown()
{
    state().shown.clear();
}
