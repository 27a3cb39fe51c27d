#include "money/chargerun.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/scopedtransaction.h"
#include "datahub/workunderway.h"
#include "datahub/xdatasource.h"

#include <QDebug>
#include <QException>
#include <QSqlQuery>

#include <optional>

namespace {
// The bills that post charges: not completed, for an apartment under a lease.
const QString OpenBills = QStringLiteral(
    "FROM recur r  WHERE r.completed = 0 and r.APID IN  "
    "(select a.apid from apartments a  INNER join agreements t  on a.apid = t.apid) ");
}

bool ChargeRun::postDue(QWidget *window, XDataSource *dataSource, const QString &progressText)
{
    QSqlQuery *bills = dataSource->query();
    // Up from before the due bills are counted until the commit is over, which both take seconds in a
    // large office; gone before any message of the run is shown.
    std::optional<WorkUnderWay> shown;
    shown.emplace(window, progressText.isEmpty() ? QString() : tr("Finding the bills that have fallen due..."));
    const auto postBills = [&]() {
        if (!progressText.isEmpty()) {
            // Only for the bar: a count that cannot be read leaves it without an end.
            int count = 0;
            QSqlQuery counted(QStringLiteral("select count(*) ") + OpenBills);
            if (counted.next())
                count = counted.value(0).toInt();
            shown->beginPart(progressText, count);
        }
        int done = 0;
        const bool posted = postEachBill(bills, QStringLiteral("SELECT * ") + OpenBills + QStringLiteral(" ORDER BY r.APID "),
                                         [&](QSqlQuery &bill) {
                                             dataSource->postRecurringCharges(bill);
                                             shown->advance(++done);
                                         });
        if (posted && !progressText.isEmpty())
            shown->beginPart(tr("Saving the charges posted..."));
        return posted;
    };
    return run(window, bills, postBills, QString(), QString(), [&shown] { shown.reset(); });
}

bool ChargeRun::run(QWidget *window, QSqlQuery *bills, const std::function<bool()> &work,
                    const QString &exceptionMessage, const QString &commitMessage,
                    const std::function<void()> &settled)
{
    const auto over = [&settled] {
        if (settled)
            settled();
    };
    ScopedTransaction transaction;
    if (!transaction.isActive()) {
        bills->clear();
        over();
        MsgBox::information(window, tr("Error processing charges. Unable to start transaction."));
        return false;
    }
    try {
        if (!work()) {
            bills->clear();
            transaction.commit();
            over();
            return false;
        }
    } catch (const QException &e) {
        qCDebug(velloranLog) << "Exception: " << e.what();
        bills->clear();
        transaction.rollback();
        over();
        MsgBox::information(window, exceptionMessage.isEmpty() ? tr("Error processing charges. Exception occured")
                                                               : exceptionMessage);
        return true;
    }
    bills->clear();
    // A failed commit is rolled back: nothing half-posted waits for the next writer to commit it.
    const bool committed = transaction.commit();
    over();
    if (!committed) {
        MsgBox::information(window, commitMessage.isEmpty()
                                        ? tr("Error processing charges. Unable to commit transaction.")
                                        : commitMessage);
        return false;
    }
    return true;
}

bool ChargeRun::postEachBill(QSqlQuery *bills, const QString &sql, const std::function<void(QSqlQuery &)> &post)
{
    bills->clear();
    bills->exec(sql);
    if (!bills->first()) {
        qCDebug(velloranLog) << "no active rentals";
        return false;
    }
    do {
        post(*bills);
    } while (bills->next());
    return true;
}
