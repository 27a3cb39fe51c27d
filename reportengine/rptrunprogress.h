#ifndef RPTRUNPROGRESS_H
#define RPTRUNPROGRESS_H

#include "datahub/longwork.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QObject;
class QProgressDialog;
class QWidget;

// What a report run shows while it works: the wait cursor at once, and when the run lasts more than a
// moment a progress dialog with the rows laid out, then the pages drawn, and a Cancel button. The
// dialog is application modal, so no click or key reaches another window while the run goes on, and
// the timers of the program wait until it is over (a timer that falls due meanwhile fires once the
// run is done): the events let through keep the screen painted and nothing else.
class RptRunProgress
{
    Q_DECLARE_TR_FUNCTIONS(RptEngine)

public:
    RptRunProgress(QWidget *parent, const QString &title);
    ~RptRunProgress();
    RptRunProgress(const RptRunProgress &) = delete;
    RptRunProgress &operator=(const RptRunProgress &) = delete;

    // What is counted from here on: `label` names the count done as %1 and the `total` as %2; with
    // no total (0) the dialog shows that work goes on without saying how far.
    void begin(const QString &label, int total);
    void beginRows(int total);
    void beginPages(int total);
    // Puts the dialog up at once and paints the screen, for work that cannot report its steps (a
    // statement the database runs); such work cannot be cancelled either.
    void showNow();
    // One row or page more; false once the user has cancelled.
    bool step(int done);
    bool cancelled() const { return m_cancelled; }

private:
    void create(bool cancellable);
    void show(int done);

    LongWork m_work;
    QPointer<QProgressDialog> m_dialog;
    QObject *m_timersWait = nullptr;
    QWidget *m_parent;
    QString m_title;
    QString m_label;
    int m_total = 0;
    bool m_cancelled = false;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceShown;
};

#endif // RPTRUNPROGRESS_H
