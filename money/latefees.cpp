#include "money/latefees.h"

#include "datahub/debuglog.h"
#include "datahub/xdatasource.h"

#include <QDebug>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>

using MC = MoneyCommand;

namespace {

// The charges due before today, still partly owed and carrying a fee, without those whose only fee is
// flat and has been charged.
QString overdueStatement(int tenantId, const QDate &today)
{
    return QStringLiteral("select * from Charges where  tid = %1 and fordate < '%2' and amt > 0  and "
                          "(latefeeflat >0 or perday > 0)  and not (perday=0 and lfd<>0 and lfd is not null)")
        .arg(tenantId)
        .arg(XDataSource::toSqlDate(today));
}

} // namespace

bool LateFees::anyOverdue(int tenantId, const QDate &today)
{
    QSqlQuery query(QSqlDatabase::database());
    // A query that fails finds nothing to charge.
    return query.exec(overdueStatement(tenantId, today)) && query.next();
}

MoneyCommand::Result LateFees::charge(int tenantId, const QDate &today)
{
    const MC::Messages messages{tr("Error processing charges. Unable to start transaction."),
                                tr("Error processing charges. Exception occured"),
                                tr("Error processing charges. Unable to commit transaction.")};
    return MC::run(messages, [&]() {
        // Read whole before anything is written, so that the walk never meets its own writes.
        QList<QSqlRecord> charges;
        QSqlQuery overdue = MC::exec(overdueStatement(tenantId, today));
        while (overdue.next())
            charges << overdue.record();
        overdue.finish();
        for (const QSqlRecord &charge : qAsConst(charges)) {
            const int key = charge.value(QStringLiteral("chid")).toInt();
            const int daysCharged = charge.value(QStringLiteral("lfd")).toInt();
            const QDate due = charge.value(QStringLiteral("fordate")).toDate();
            const double perDay = charge.value(QStringLiteral("perday")).toDouble();
            const double flat = charge.value(QStringLiteral("latefeeflat")).toDouble();
            const QString type = charge.value(QStringLiteral("type")).toString();
            qCDebug(velloranLog) << "type " << type;

            const int days = int(due.daysTo(today));
            double fee = (days - daysCharged) * perDay;
            if (daysCharged == 0)
                fee += flat;
            fee = MC::cents(fee);
            // Nothing new is owed (or "today" lies before the last run): no fee, and lfd stays.
            if (fee <= 0.0)
                continue;

            MC::exec(QStringLiteral("insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, "
                                    "origamount, latefeeflat, perday, memo) values "
                                    "(gen_id(GEN_CHARGES_ID, 1), ?, ?, ?, ?, 0, ?, 0, ?, 0, 0, '')"),
                     {tenantId, charge.value(QStringLiteral("apid")), type + tr(" Late Fee"), fee, today, fee});
            // The fee and the days it covers go together: a fee without its lfd is charged again.
            QSqlQuery advanced = MC::exec(QStringLiteral("update charges set lfd = ? where chid = ?"), {days, key});
            if (advanced.numRowsAffected() != 1)
                throw MC::Stop(QStringLiteral("lfd of charge %1 not advanced").arg(key));
        }
        return -1;
    });
}
