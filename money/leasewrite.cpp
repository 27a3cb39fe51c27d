#include "money/leasewrite.h"

#include "datahub/xdatasource.h"
#include "money/chargeposting.h"

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

// The first due date of a lease's rent bill from `from` on that the tenant has not been charged rent
// for at this apartment. A lease made again for the tenant who had the apartment begins after the last
// rent period charged; one for a tenant never billed there begins at `from`.
QDate firstRentPeriod(const QDate &from, int frequency, int tenantId, int apid, XDataSource *dataSource)
{
    const QDate charged = MC::value(QStringLiteral("select max(fordate) from charges where tid = ? and apid = ? "
                                                   "and lower(type) = ?"),
                                    {tenantId, apid, LeaseWrite::rentType()})
                              .toDate();
    QDate due = from;
    while (due.isValid() && charged.isValid() && due <= charged) {
        const QDate after = nextDueDate(due, frequency, dataSource);
        // A frequency that does not step forward is left to the posting, which passes such a bill over.
        if (!after.isValid() || after <= due)
            break;
        due = after;
    }
    return due;
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
        const int frequency = agreement.value(QStringLiteral("freq")).toInt();
        const QDate nextDate = firstRentPeriod(billedUpTo.isValid() ? qMax(billedUpTo, firstPayment) : firstPayment,
                                               frequency, lease.tenantId, apid, dataSource);
        MC::exec(QStringLiteral("insert into recur (type, amount, latefee, freq, nextdate, startdate, enddate, perday, "
                                "tid, completed, apid) values (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?)"),
                 {tr("Rent"), MC::cents(agreement.value(QStringLiteral("rent")).toDouble()),
                  MC::cents(agreement.value(QStringLiteral("latefee")).toDouble()), frequency, nextDate, leaseStart,
                  leaseEnd, MC::cents(agreement.value(QStringLiteral("perday")).toDouble()), lease.tenantId, apid},
                 failed);

        // The other bills run with the lease and charge its tenant. After a turnover they go over to the
        // new one from the lease's first payment date. For the tenant they charge already (a lease saved
        // again, or deleted and made again) they go on from where they stand: never back over a period
        // charged, nor before the bill's own start. A bill that stopped with the last lease runs again;
        // the posting below settles whether it has anything left.
        MC::exec(QStringLiteral("update recur set enddate = ?, "
                                "startdate = case when tid = ? and startdate > cast(? as date) then startdate "
                                "else cast(? as date) end, "
                                "nextdate = case when tid = ? then maxvalue(coalesce(nextdate, cast(? as date)), "
                                "coalesce(startdate, cast(? as date)), cast(? as date)) else cast(? as date) end, "
                                "tid = ?, completed = 0 where apid = ? and lower(type) <> ?"),
                 {leaseEnd, lease.tenantId, leaseStart, leaseStart, lease.tenantId, firstPayment, firstPayment,
                  firstPayment, firstPayment, lease.tenantId, apid, rentType()},
                 failed);

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
