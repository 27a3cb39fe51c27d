#include "money/chargerun.h"
#include "datahub/debuglog.h"

#include "datahub/msgbox.h"

#include <QDebug>
#include <QException>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>

bool ChargeRun::run(QWidget *window, QSqlQuery *bills, const std::function<bool()> &work,
                    const QString &exceptionMessage, const QString &commitMessage)
{
    QSqlDriver *driver = QSqlDatabase::database().driver();
    driver->rollbackTransaction();
    if (!driver->beginTransaction()) {
        bills->clear();
        MsgBox::information(window, tr("Error processing charges. Unable to start transaction."));
        return false;
    }
    try {
        if (!work()) {
            bills->clear();
            driver->commitTransaction();
            return false;
        }
    } catch (const QException &e) {
        qCDebug(velloranLog) << "Exception: " << e.what();
        bills->clear();
        driver->rollbackTransaction();
        MsgBox::information(window, exceptionMessage.isEmpty() ? tr("Error processing charges. Exception occured")
                                                               : exceptionMessage);
        return true;
    }
    bills->clear();
    if (!driver->commitTransaction()) {
        // Nothing half-posted may stay behind an open transaction for the next writer to commit.
        driver->rollbackTransaction();
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
