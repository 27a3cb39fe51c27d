#include "money/leasewrite.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "money/billingstore.h"

#include <QDate>
#include <QLocale>
#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QtGlobal>

#include <tuple>

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

// The bill that shows a lease's rent: the tenant's own rent bill here, taken up again at each lease of
// his, or a new one. It carries the lease's terms; what it charges is the billing rule's.
void writeRentBill(const QSqlRecord &agreement, const QString &failed)
{
    const QVariant apid = agreement.value(QStringLiteral("apid"));
    const QVariant tid = agreement.value(QStringLiteral("tid"));
    const QVariant firstPay = agreement.value(QStringLiteral("nextdate"));
    const QVariantList terms = {MC::cents(agreement.value(QStringLiteral("rent")).toDouble()),
                                MC::cents(agreement.value(QStringLiteral("latefee")).toDouble()),
                                MC::cents(agreement.value(QStringLiteral("perday")).toDouble()),
                                agreement.value(QStringLiteral("freq")),
                                agreement.value(QStringLiteral("leasestart")),
                                agreement.value(QStringLiteral("leaseend")),
                                firstPay,
                                firstPay,
                                agreement.value(QStringLiteral("rid"))};
    const QVariant recid = MC::value(QStringLiteral("select max(recid) from recur where apid = ? and tid = ? and line = 0 "
                                                    "and deletedon is null"),
                                     {apid, tid});
    // What it shows next is the billing rule's, written once the lease is saved.
    if (!recid.isNull()) {
        QVariantList values = terms;
        values.removeAt(7);
        MC::exec(QStringLiteral("update recur set amount = ?, latefee = ?, perday = ?, freq = ?, startdate = ?, enddate = ?, "
                                "firstpay = ?, rid = ?, leaserent = 1 where recid = ?"),
                 values + QVariantList{recid}, failed);
        return;
    }
    MC::exec(QStringLiteral("insert into recur (amount, latefee, perday, freq, startdate, enddate, firstpay, nextdate, rid, "
                            "type, tid, apid, completed, leaserent, line) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, 1, 0)"),
             terms + QVariantList{LeaseWrite::tr("Rent"), tid, apid}, failed);
}

} // namespace

MoneyCommand::Result LeaseWrite::save(const Lease &lease, XDataSource *, const EarlierDays &chargeEarlierDays)
{
    const QString failed = tr("Error creating new rental agreement");
    const MC::Messages messages{tr("Error creating/displaying rental agreement"),
                                tr("Error creating/viewing rental agreement"), tr("Error creating rental agreement")};
    QStringList notices;
    MC::Result result = MC::run(messages, [&]() {
        BillingStore::around(lease.apartmentId, [&](BillingStore &store) {
            writeAgreement(lease, failed);
            MC::exec(QStringLiteral("update apartments set agreeid = ? where apid = ?"),
                     {lease.agreementId, lease.apartmentId}, failed);
            QSqlQuery read =
                MC::exec(QStringLiteral("select * from agreements where rid = ?"), {lease.agreementId}, failed);
            if (!read.next())
                throw MC::Stop(QStringLiteral("agreement %1 not found after writing").arg(lease.agreementId), failed);
            const QSqlRecord agreement = read.record();
            read.finish();
            writeRentBill(agreement, failed);
            store.reload();
            notices = store.leaseSaved(lease.agreementId, lease.tenantId,
                                       agreement.value(QStringLiteral("nextdate")).toDate(),
                                       agreement.value(QStringLiteral("leaseend")).toDate(),
                                       agreement.value(QStringLiteral("rent")).toDouble(),
                                       agreement.value(QStringLiteral("freq")).toInt(), chargeEarlierDays);
        });
        return lease.agreementId;
    });
    if (result.ok())
        result.message = notices.join(QLatin1Char('\n'));
    return result;
}

MoneyCommand::Result LeaseWrite::remove(int apartmentId, int agreementId, XDataSource *)
{
    const QString failed = tr("Error deleting rental agreement");
    return MC::run({failed, failed, failed}, [&]() {
        BillingStore::around(apartmentId, [&](BillingStore &store) {
            MC::exec(QStringLiteral("delete from agreements where apid = ? and rid = ?"), {apartmentId, agreementId});
            MC::exec(QStringLiteral("update apartments set agreeid = -1 where apid = ?"), {apartmentId});
            store.leaseDeleted();
        });
        return agreementId;
    });
}

MoneyCommand::Result LeaseWrite::postDue(int apartmentId)
{
    const QString failed = tr("Error processing charges.");
    return MC::run({failed, failed, failed}, [&]() {
        return BillingStore(apartmentId).postDue(Today::date());
    });
}

MoneyCommand::Result LeaseWrite::billSaved(int recid, bool added)
{
    const QString failed = tr("Unable to submit data");
    return MC::run({failed, failed, failed}, [&]() {
        const int apid = BillingStore::apartmentOfBill(recid);
        if (apid > 0)
            BillingStore::around(apid, [&](BillingStore &store) { store.billSaved(recid, added); }, false);
        return recid;
    });
}

MoneyCommand::Result LeaseWrite::billDeleted(int recid)
{
    const QString failed = tr("Error deleting record!");
    return MC::run({failed, failed, failed}, [&]() {
        const int apid = BillingStore::apartmentOfBill(recid);
        if (apid > 0)
            BillingStore::around(apid, [&](BillingStore &store) { store.lineDeleted(recid, Today::date()); });
        return recid;
    });
}
