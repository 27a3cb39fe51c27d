#include "money/paymentvoid.h"

#include "money/moneyfield.h"

#include <QList>
#include <QPair>
#include <QSqlQuery>

using MC = MoneyCommand;

MoneyCommand::Result PaymentVoid::voidPayment(int transid)
{
    const MC::Messages messages{tr("Error voiding payment. Unable to start transaction."),
                                tr("Error voiding payment. Error occured"),
                                tr("Error voiding payment. Unable to commit transaction.")};
    return MC::run(messages, [transid]() {
        QList<QPair<int, double>> lines;
        int orphans = 0;
        double orphaned = 0.0;
        QSqlQuery read = MC::exec(QStringLiteral("select p.chid, p.amount, c.chid from payments p left join charges c "
                                                 "on c.chid = p.chid where p.transid = ?"),
                                  {transid});
        while (read.next()) {
            lines.append(qMakePair(read.value(0).toInt(), read.value(1).toDouble()));
            if (read.isNull(2)) {
                ++orphans;
                orphaned += read.value(1).toDouble();
            }
        }
        // Older books may hold lines whose charge was deleted with its apartment. What they paid can be
        // owed by nobody again, so the void would take the income out of the cashbook and leave no debt
        // in its place: the payment stays as it is, and the clerk is told how to take it back instead.
        if (orphans > 0)
            throw MC::Stop(QStringLiteral("transaction %1 paid %2 charges that are gone").arg(transid).arg(orphans),
                           tr("This payment cannot be voided: %n of its lines paid charges that have since been "
                              "deleted (%1 in all), and what they paid cannot be owed again. Nothing was changed. "
                              "To take the payment back, add what is owed as a one-time charge and book the "
                              "refund in the cashbook.",
                              nullptr, orphans)
                               .arg(MoneyField::format(MC::cents(orphaned))),
                           true);

        for (const auto &line : qAsConst(lines)) {
            // Read afresh for each line: two lines of one payment may have paid the same charge.
            QSqlQuery charge = MC::exec(QStringLiteral("select amt, paid from charges where chid = ?"), {line.first});
            if (!charge.next())
                throw MC::Stop(QStringLiteral("charge %1 went during the void").arg(line.first));
            MC::exec(QStringLiteral("update charges set amt = ?, paid = ? where chid = ?"),
                     {MC::cents(charge.value(0).toDouble() + line.second),
                      MC::cents(charge.value(1).toDouble() - line.second), line.first});
        }
        MC::exec(QStringLiteral("delete from payments where  transid = ?"), {transid});
        MC::exec(QStringLiteral("delete from cashbook where transid = ?"), {transid});
        MC::exec(QStringLiteral("delete from trans where transid = ?"), {transid});
        return transid;
    });
}
