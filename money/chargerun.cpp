#include "money/chargerun.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/scopedtransaction.h"
#include "datahub/workunderway.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "money/billingstore.h"

#include <QDebug>
#include <QException>
#include <QSqlQuery>

#include <optional>

bool ChargeRun::postDue(QWidget *window, XDataSource *dataSource, const QString &progressText)
{
    QSqlQuery *bills = dataSource->query();
    // Up from before the apartments with something due are found until the commit is over, which both
    // take seconds in a large office; gone before any message of the run is shown.
    std::optional<WorkUnderWay> shown;
    shown.emplace(window, progressText.isEmpty() ? QString() : tr("Finding the bills that have fallen due..."));
    const auto postBills = [&]() {
        bool begun = false;
        const int posted = BillingStore::postOffice(Today::date(), [&](int done, int total) {
            if (progressText.isEmpty())
                return;
            if (!begun)
                shown->beginPart(progressText, total);
            begun = true;
            shown->advance(done);
        });
        if (posted > 0 && !progressText.isEmpty())
            shown->beginPart(tr("Saving the charges posted..."));
        return posted > 0;
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
