#ifndef STOWMSGBOX_H
#define STOWMSGBOX_H

#include <QCoreApplication>
#include <QString>
#include <QStringList>


class QWidget;

// The backup program's messages, titled with the maker's name like every message of the system.
// In test mode no box is shown and the text is recorded instead, so tests can drive the window
// without a person at the keyboard.
class StowMsgBox
{
    Q_DECLARE_TR_FUNCTIONS(StowMsgBox)

public:
    static void information(QWidget *parent, const QString &text);
    // A Yes/No question; in test mode it takes the next queued answer, and one that no test queued
    // stops the test rather than letting it walk on.
    static bool question(QWidget *parent, const QString &text);

    static void setTestMode(bool on);
    static void setNextAnswer(bool yes);
    static QStringList shownTexts();
    static void clearShown();
};

#endif // STOWMSGBOX_H
