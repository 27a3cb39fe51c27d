#include "money/leasewrite.h"

#include "datahub/xdatasource.h"

#include <QDate>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QtGlobal>

using MC = MoneyCommand;

namespace {

struct Column
{
    const char *name;
    QVariant LeaseWrite::Terms::*value;
    bool money;
};

const Column termColumns[] = {
    {"damage", &LeaseWrite::Terms::damage, true},
    {"rent", &LeaseWrite::Terms::rent, true},
    {"latefee", &LeaseWrite::Terms::lateFee, true},
    {"perday", &LeaseWrite::Terms::perDay, true},
    {"freq", &LeaseWrite::Terms::frequency, false},
    {"firstdue", &LeaseWrite::Terms::firstDue, false},
    {"leaseterm", &LeaseWrite::Terms::leaseTerm, false},
    {"leasestart", &LeaseWrite::Terms::leaseStart, false},
    {"leaseend", &LeaseWrite::Terms::leaseEnd, false},
    {"movein", &LeaseWrite::Terms::moveIn, false},
    {"moveout", &LeaseWrite::Terms::moveOut, false},
    {"notes", &LeaseWrite::Terms::notes, false},
    {"nextdate", &LeaseWrite::Terms::firstPayment, false},
};

// The agreement row itself, with what the editor set.
void writeAgreement(const LeaseWrite::Lease &lease, const QString &failed)
{
    QStringList names;
    QVariantList values;
    for (const Column &column : termColumns) {
        const QVariant value = lease.terms.*column.value;
        if (!value.isValid())
            continue;
        names << QLatin1String(column.name);
        // An amount left empty is none; every amount is kept to the cent.
        values << (column.money ? QVariant(MC::cents(value.toDouble())) : value);
    }
    if (lease.isNew) {
        names.prepend(QStringLiteral("apid"));
        names.prepend(QStringLiteral("tid"));
        names.prepend(QStringLiteral("rid"));
        values.prepend(lease.apartmentId);
        values.prepend(lease.tenantId);
        values.prepend(lease.agreementId);
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        MC::exec(QStringLiteral("insert into agreements (%1) values (%2)").arg(names.join(QStringLiteral(", ")),
                                                                              marks.join(QStringLiteral(", "))),
                 values, failed);
        return;
    }
    // An agreement looked at and saved unchanged has nothing to write.
    if (names.isEmpty())
        return;
    values << lease.agreementId;
    MC::exec(QStringLiteral("update agreements set %1 = ? where rid = ?").arg(names.join(QStringLiteral(" = ?, "))),
             values, failed);
}

} // namespace

MoneyCommand::Result LeaseWrite::save(const Lease &lease, XDataSource *dataSource)
{
    const QString failed = tr("Error creating new rental agreement");
    const MC::Messages messages{tr("Error creating/displaying rental agreement"),
                                tr("Error creating/viewing rental agreement"), tr("Error creating rental agreement")};
    return MC::run(messages, [&]() {
        const int apid = lease.apartmentId;
        const int rid = lease.agreementId;
        writeAgreement(lease, failed);
        MC::exec(QStringLiteral("update apartments set agreeid = ? where apid = ?"), {rid, apid}, failed);

        // A saved lease goes on billing from where its rent bill stopped: starting again at the first
        // payment date would charge every period already charged a second time.
        QDate billedUpTo;
        if (!lease.isNew)
            billedUpTo = MC::value(QStringLiteral("select max(nextdate) from recur where lower(type) = ? and apid = ?"),
                                   {rentType(), apid})
                             .toDate();
        MC::exec(QStringLiteral("delete from recur where lower(type) = ? and apid = ?"), {rentType(), apid}, failed);

        QSqlQuery read = MC::exec(QStringLiteral("select * from agreements where rid = ?"), {rid}, failed);
        if (!read.next())
            throw MC::Stop(QStringLiteral("agreement %1 not found after writing").arg(rid), failed);
        const QSqlRecord agreement = read.record();
        read.finish();

        const QDate leaseStart = agreement.value(QStringLiteral("leasestart")).toDate();
        const QDate leaseEnd = agreement.value(QStringLiteral("leaseend")).toDate();
        const QDate firstPayment = agreement.value(QStringLiteral("nextdate")).toDate();
        const QDate nextDate = billedUpTo.isValid() ? qMax(billedUpTo, firstPayment) : firstPayment;
        MC::exec(QStringLiteral("insert into recur (type, amount, latefee, freq, nextdate, startdate, enddate, perday, "
                                "tid, completed, apid) values (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?)"),
                 {tr("Rent"), MC::cents(agreement.value(QStringLiteral("rent")).toDouble()),
                  MC::cents(agreement.value(QStringLiteral("latefee")).toDouble()),
                  agreement.value(QStringLiteral("freq")).toInt(), nextDate, leaseStart, leaseEnd,
                  MC::cents(agreement.value(QStringLiteral("perday")).toDouble()), lease.tenantId, apid},
                 failed);

        // The other bills run with the lease and charge its tenant: after a turnover they go over to the
        // new one, and a bill that stopped with the last lease runs again (the posting below settles
        // whether it has anything left). A new lease bills them from its first payment date, the periods
        // already charged passed over; a saved one never moves a bill's next date back.
        const QString next = lease.isNew ? QStringLiteral("?")
                                         : QStringLiteral("case when nextdate is null or nextdate < cast(? as date) "
                                                          "then cast(? as date) else nextdate end");
        QVariantList values{leaseStart, leaseEnd, firstPayment};
        if (!lease.isNew)
            values << firstPayment;
        values << lease.tenantId << apid << rentType();
        MC::exec(QStringLiteral("update recur set startdate = ?, enddate = ?, nextdate = %1, tid = ?, completed = 0 "
                                "where apid = ? and lower(type) <> ?")
                     .arg(next),
                 values, failed);

        QSqlQuery bills = MC::exec(QStringLiteral("select * from recur where apid = ?"), {apid}, failed);
        if (!bills.next())
            throw MC::Stop(QStringLiteral("no bill of apartment %1 to post").arg(apid), failed);
        do {
            dataSource->postRecurringCharges(bills);
        } while (bills.next());
        return rid;
    });
}

MoneyCommand::Result LeaseWrite::remove(int apartmentId, int agreementId)
{
    const QString failed = tr("Error deleting rental agreement");
    // The charges already posted and the other bills stay; so does the tenant.
    return MC::run({failed, failed, failed}, [&]() {
        MC::exec(QStringLiteral("delete from agreements where apid = ? and rid = ?"), {apartmentId, agreementId});
        MC::exec(QStringLiteral("update apartments set agreeid = -1 where apid = ?"), {apartmentId});
        MC::exec(QStringLiteral("delete from recur where lower(type) = ? and apid = ?"), {rentType(), apartmentId});
        return agreementId;
    });
}
