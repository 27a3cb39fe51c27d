#include "money/paymentvoid.h"

#include "datahub/debuglog.h"

#include <QDebug>
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
        QSqlQuery read = MC::exec(QStringLiteral("select chid, amount from payments where transid = ?"), {transid});
        while (read.next())
            lines.append(qMakePair(read.value(0).toInt(), read.value(1).toDouble()));

        for (const auto &line : qAsConst(lines)) {
            QSqlQuery charge = MC::exec(QStringLiteral("select amt, paid from charges where chid = ?"), {line.first});
            if (!charge.next()) {
                // Older books may hold a line whose charge was deleted: there is nothing to give back to.
                qCDebug(velloranLog) << "payment line of transaction" << transid << "names no charge" << line.first;
                continue;
            }
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
