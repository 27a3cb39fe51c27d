#ifndef WORKUNDERWAY_H
#define WORKUNDERWAY_H

#include "datahub/longwork.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

// Long work on the GUI thread, shown while it runs: the wait cursor for as long as the object lives
// and, given a text, a progress dialog over `window` saying what is being done and how far it is.
//
// Between the steps of the work the windows paint, and events posted inside the program are
// delivered; keys and clicks, timers and the end signals wait in their queues until the work is done,
// so that no command starts inside it (one asked for meanwhile runs after it). Socket notifiers are
// not held back by every event dispatcher: one that would end the program asks painting() first. The dialog has no
// Cancel: work shown this way is one transaction, done whole or not at all.
class WorkUnderWay
{
    Q_DECLARE_TR_FUNCTIONS(WorkUnderWay)

public:
    explicit WorkUnderWay(QWidget *window, const QString &text = QString(), int steps = 0);
    ~WorkUnderWay();
    WorkUnderWay(const WorkUnderWay &) = delete;
    WorkUnderWay &operator=(const WorkUnderWay &) = delete;

    // `done` of the steps are done; the dialog follows a few times a second, and shows the last at once.
    // Called while a part shows nothing new for a moment (a long statement, a step that takes its
    // time), it says how long the part has run, so that the clerk sees the work go on.
    void advance(int done);
    // The work goes on to another part: the dialog says `text` and counts `steps` from none done (none
    // given: it only shows that the work goes on), its bar saying how far as `format` puts it (the
    // bar's own "%v" done and "%m" steps; a percentage when none is given).
    void beginPart(const QString &text, int steps = 0, const QString &format = QString());

    // True while work shown with a dialog lets the windows paint. Whatever ends the program waits
    // for it: the work is one transaction, and is not to be rolled back half-way from in between its steps.
    static bool painting();

private:
    void letWindowsPaint();
    void startPart(const QString &text);

    // The wait cursor, first made and last given back.
    LongWork m_cursor;
    QPointer<QProgressDialog> m_dialog;
    QElapsedTimer m_sincePainted;
    QString m_partText;
    QElapsedTimer m_inPart;
    QElapsedTimer m_sinceMoved;
    qint64 m_ticksShown = 0;
};

#endif // WORKUNDERWAY_H
