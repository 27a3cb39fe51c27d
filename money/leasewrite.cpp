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
    QStringList names = {QStringLiteral("rid"), QStringLiteral("tid"), QStringLiteral("apid")};
    QVariantList values = {lease.agreementId, lease.tenantId, lease.apartmentId};
    for (const Column &column : termColumns) {
        const QVariant value = lease.terms.*column.value;
        if (!value.isValid())
            continue;
        names << QLatin1String(column.name);
        // An amount left empty is none; every amount is kept to the cent.
        values << (column.money ? QVariant(MC::cents(value.toDouble())) : value);
    }
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    MC::exec(QStringLiteral("insert into agreements (%1) values (%2)")
                 .arg(names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
             values, failed);
}

// A bill goes on from the period after the last one it charged; one that has charged nothing begins at
// `firstPayment`, never before `ownStart`. Neither begins before the first payment date the clerk gave.
QDate resumeDate(const QVariant &lastDue, const QDate &next, const QDate &firstPayment, const QDate &ownStart)
{
    if (!lastDue.isNull() && next.isValid())
        return qMax(next, firstPayment);
    return ownStart.isValid() ? qMax(firstPayment, ownStart) : firstPayment;
}

} // namespace

MoneyCommand::Result LeaseWrite::save(const Lease &lease, XDataSource *dataSource)
{
    const QString failed = tr("Error creating new rental agreement");
    const MC::Messages messages{tr("Error creating/displaying rental agreement"),
                                tr("Error creating/viewing rental agreement"), tr("Error creating rental agreement")};
    return MC::run(messages, [&]() {
        const int apid = lease.apartmentId;
        const int tid = lease.tenantId;
        const int rid = lease.agreementId;
        writeAgreement(lease, failed);
        MC::exec(QStringLiteral("update apartments set agreeid = ? where apid = ?"), {rid, apid}, failed);

        QSqlQuery read = MC::exec(QStringLiteral("select * from agreements where rid = ?"), {rid}, failed);
        if (!read.next())
            throw MC::Stop(QStringLiteral("agreement %1 not found after writing").arg(rid), failed);
        const QSqlRecord agreement = read.record();
        read.finish();
        const QDate leaseStart = agreement.value(QStringLiteral("leasestart")).toDate();
        const QDate leaseEnd = agreement.value(QStringLiteral("leaseend")).toDate();
        const QDate firstPayment = agreement.value(QStringLiteral("nextdate")).toDate();
        const QVariantList terms = {tr("Rent"),
                                    MC::cents(agreement.value(QStringLiteral("rent")).toDouble()),
                                    MC::cents(agreement.value(QStringLiteral("latefee")).toDouble()),
                                    agreement.value(QStringLiteral("freq")).toInt(),
                                    MC::cents(agreement.value(QStringLiteral("perday")).toDouble())};

        // The rent bill the apartment's last lease had. Its own tenant's new lease takes it up in the new
        // terms where its charges stopped; another tenant's begins a bill of his own.
        QSqlQuery last = MC::exec(QStringLiteral("select first 1 recid, tid, nextdate, enddate, lastdue from recur "
                                                 "where apid = ? and leaserent = 1 order by recid desc"),
                                  {apid}, failed);
        QDate lastLeaseEnd;
        if (last.next() && last.value(1).toInt() == tid) {
            const int rentBill = last.value(0).toInt();
            const QDate from = resumeDate(last.value(4), last.value(2).toDate(), firstPayment, QDate());
            lastLeaseEnd = last.value(3).toDate();
            last.finish();
            MC::exec(QStringLiteral("update recur set type = ?, amount = ?, latefee = ?, freq = ?, perday = ?, "
                                    "nextdate = ?, startdate = ?, enddate = ?, completed = 0 where recid = ?"),
                     terms + QVariantList{from, leaseStart, leaseEnd, rentBill}, failed);
        } else {
            last.finish();
            // Another tenant's rent bill charges him no more, even where his lease was lost without the
            // apartment being told.
            MC::exec(QStringLiteral("update recur set completed = 1 where apid = ? and leaserent = 1"), {apid}, failed);
            MC::exec(QStringLiteral("insert into recur (type, amount, latefee, freq, perday, nextdate, startdate, "
                                    "enddate, tid, completed, apid, leaserent) "
                                    "values (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?, 1)"),
                     terms + QVariantList{firstPayment, leaseStart, leaseEnd, tid, apid}, failed);
        }

        // The other bills of the apartment charge the lease's tenant. Those that charged him already go
        // on with the lease from where each stands, but one the clerk ended before his last lease did
        // stays ended. After a turnover they go over to the new tenant from the first payment date.
        QSqlQuery others = MC::exec(QStringLiteral("select recid, tid, nextdate, startdate, enddate, lastdue from recur "
                                                   "where apid = ? and leaserent is distinct from 1"),
                                    {apid}, failed);
        struct Move
        {
            int recid;
            QVariantList values;
        };
        QList<Move> moves;
        while (others.next()) {
            const int recid = others.value(0).toInt();
            if (others.value(1).toInt() != tid) {
                moves << Move{recid, {tid, firstPayment, leaseStart, leaseEnd}};
                continue;
            }
            const QDate end = others.value(4).toDate();
            if (lastLeaseEnd.isValid() && end.isValid() && end < lastLeaseEnd)
                continue;
            moves << Move{recid,
                          {tid,
                           resumeDate(others.value(5), others.value(2).toDate(), firstPayment,
                                      others.value(3).toDate()),
                           others.value(3), leaseEnd}};
        }
        others.finish();
        for (const Move &move : qAsConst(moves))
            MC::exec(QStringLiteral("update recur set tid = ?, nextdate = ?, startdate = ?, enddate = ?, completed = 0 "
                                    "where recid = ?"),
                     move.values + QVariantList{move.recid}, failed);

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
    return MC::run({failed, failed, failed}, [&]() {
        MC::exec(QStringLiteral("delete from agreements where apid = ? and rid = ?"), {apartmentId, agreementId});
        MC::exec(QStringLiteral("update apartments set agreeid = -1 where apid = ?"), {apartmentId});
        // The rent bill keeps where it stands, for the tenant's next lease to take up.
        MC::exec(QStringLiteral("update recur set completed = 1 where apid = ? and leaserent = 1"), {apartmentId});
        return agreementId;
    });
}
