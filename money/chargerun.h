#ifndef CHARGERUN_H
#define CHARGERUN_H

#include <QCoreApplication>
#include <QString>

#include <functional>

class QSqlQuery;
class QWidget;
class XDataSource;

// The frame every charge run shares: the charges of one run are posted in one transaction of its own,
// so that a bill never moves on without its charges, nor a charge stays without its bill moving on.
class ChargeRun
{
    Q_DECLARE_TR_FUNCTIONS(ChargeRun)

public:
    // Begins a transaction of its own (none while another is open) and runs
    // `work`, which reads through `bills`. When `work` returns false there was nothing to post and the
    // transaction is simply closed. A QException from `work` rolls everything back and shows
    // `exceptionMessage`; a failed commit rolls back and shows `commitMessage` (both default to the
    // "Error processing charges." texts). True when the run was committed or rolled back after an
    // exception: the window then reads its charges again. `settled`, given, is called once the
    // transaction is over (committed, rolled back or closed), before any message.
    static bool run(QWidget *window, QSqlQuery *bills, const std::function<bool()> &work,
                    const QString &exceptionMessage = QString(), const QString &commitMessage = QString(),
                    const std::function<void()> &settled = {});

    // Posts every charge of the office that has fallen due by today, in one run; `run` gives the
    // result. The wait cursor is up while it posts and, given `progressText`, a progress dialog over
    // `window` shows the run from its start to its commit: the apartments being found, those done, the
    // charges being saved.
    static bool postDue(QWidget *window, XDataSource *dataSource, const QString &progressText = QString());
};

#endif // CHARGERUN_H
