#include "money/chargerun.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"
#include "datahub/scopedtransaction.h"

#include <QDebug>
#include <QException>
#include <QSqlQuery>

bool ChargeRun::run(QWidget *window, QSqlQuery *bills, const std::function<bool()> &work,
                    const QString &exceptionMessage, const QString &commitMessage)
{
    ScopedTransaction transaction;
    if (!transaction.isActive()) {
        bills->clear();
        MsgBox::information(window, tr("Error processing charges. Unable to start transaction."));
        return false;
    }
    try {
        if (!work()) {
            bills->clear();
            transaction.commit();
            return false;
        }
    } catch (const QException &e) {
        qCDebug(velloranLog) << "Exception: " << e.what();
        bills->clear();
        transaction.rollback();
        MsgBox::information(window, exceptionMessage.isEmpty() ? tr("Error processing charges. Exception occured")
                                                               : exceptionMessage);
        return true;
    }
    bills->clear();
    // A failed commit is rolled back: nothing half-posted waits for the next writer to commit it.
    if (!transaction.commit()) {
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
