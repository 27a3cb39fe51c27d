#ifndef MSGBOX_H
#define MSGBOX_H

#include <QCoreApplication>
#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QString>
#include <QStringList>

class QWidget;

// Every message the system shows the user goes through here, so that the title is the same
// everywhere and tests can answer the boxes without a person at the keyboard.
//
// In test mode no box is shown: the text is recorded (see shownTexts()) and question() returns the
// next queued answer. A question no test queued an answer for stops the test: answering it either
// way would let a test that forgot a question walk a path nobody meant it to, a destructive one
// included.
class MsgBox
{
    Q_DECLARE_TR_FUNCTIONS(MsgBox)

public:
    // An empty title means the maker's name, "Morvessa".
    static void information(QWidget *parent, const QString &text, const QString &title = QString());
    static void warning(QWidget *parent, const QString &text, const QString &title = QString());
    // A Yes/No question; returns QMessageBox::Yes or QMessageBox::No.
    static QMessageBox::StandardButton question(QWidget *parent, const QString &text,
                                                const QString &title = QString());

    // A question with buttons worded by the caller, each standing for a standard button so that
    // tests answer it like any other question. The first button is the default; Escape and the
    // window's close button do nothing, so the user must choose. Returns the chosen button's value.
    // In test mode an answer must have been queued.
    static QMessageBox::StandardButton choice(QWidget *parent, const QString &text,
                                              const QList<QPair<QMessageBox::StandardButton, QString>> &buttons,
                                              const QString &title = QString());

    static void setTestMode(bool on);
    static bool testMode();
    static void setNextAnswer(QMessageBox::StandardButton answer);
    static int queuedAnswers();
    static QStringList shownTexts();
    static void clearShown();

private:
    static QString titleOrDefault(const QString &title);
};

#endif // MSGBOX_H
