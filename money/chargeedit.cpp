#include "money/chargeedit.h"

#include "money/billingstore.h"

#include <QSqlQuery>

using MC = MoneyCommand;

namespace {

MoneyCommand::Messages unableToSubmit()
{
    const QString text = ChargeEdit::tr("Unable to submit data");
    return {text, text, text};
}

QString paidChargeRefusal()
{
    return ChargeEdit::tr("Payments have been made on this charge, so it cannot be deleted. Void the payment "
                          "in the payment history first.");
}

// Throws the refusal while a payment names the charge.
void refuseWhilePaid(int chargeId)
{
    if (MC::value(QStringLiteral("select count(*) from payments where chid = ?"), {chargeId}, 0).toInt() > 0)
        throw MC::Stop(QStringLiteral("charge %1 has payments").arg(chargeId), paidChargeRefusal(), true);
}

} // namespace

MoneyCommand::Result ChargeEdit::setPaying(int chargeId, double paying, const QString &memo)
{
    const double amount = MC::cents(paying);
    return MC::run(unableToSubmit(), [&]() {
        const QVariant due = MC::value(QStringLiteral("select amt from charges where chid = ?"), {chargeId});
        if (!due.isValid())
            throw MC::Stop(QStringLiteral("charge %1 is gone").arg(chargeId));
        if (amount < 0.0 || MC::cents(amount - due.toDouble()) > 0.0)
            throw MC::Stop(QStringLiteral("paying %1 of charge %2").arg(amount).arg(chargeId),
                           tr("The amount you are paying cannot be greater than the amount due!"), true);
        MC::exec(QStringLiteral("update charges set applied = ?, memo = ? where chid = ?"), {amount, memo, chargeId});
        return chargeId;
    });
}

MoneyCommand::Result ChargeEdit::restoreApplied(const QMap<int, Paying> &charges)
{
    return MC::run(unableToSubmit(), [&]() {
        for (auto it = charges.constBegin(); it != charges.constEnd(); ++it)
            MC::exec(QStringLiteral("update charges set applied = ?, memo = ? where chid = ?"),
                     {MC::cents(it->applied), it->memo, it.key()});
        return -1;
    });
}

MoneyCommand::Result ChargeEdit::add(const NewCharge &charge)
{
    const double amount = MC::cents(charge.amount);
    if (amount < 0.0)
        return MC::refused(tr("Unable to submit data"));
    return MC::run(unableToSubmit(), [&]() {
        const int key = charge.chargeId > 0 ? charge.chargeId : MC::nextKey("GEN_CHARGES_ID");
        MC::exec(QStringLiteral("insert into charges (chid, tid, apid, type, amt, applied, fordate, paid, origamount, "
                                "latefeeflat, perday, memo, lfd) values (?, ?, ?, ?, ?, 0, ?, 0, ?, 0, 0, '', 0)"),
                 {key, charge.tenantId, charge.apartmentId, charge.type, amount, charge.forDate, amount});
        return key;
    });
}

MoneyCommand::Result ChargeEdit::remove(int chargeId)
{
    return MC::run(unableToSubmit(), [chargeId]() {
        refuseWhilePaid(chargeId);
        // A posted period forgiven stays dealt with for its tenant, who is not charged it again; what has
        // fallen due is posted around it, as around every command on the bills.
        const QVariant apid = MC::value(QStringLiteral("select apid from charges where chid = ? and recid is not null"),
                                        {chargeId});
        if (apid.isNull())
            MC::exec(QStringLiteral("delete from charges where chid = ?"), {chargeId});
        else
            BillingStore::around(apid.toInt(), [chargeId](BillingStore &store) { store.chargeForgiven(chargeId); });
        return chargeId;
    });
}

MoneyCommand::Result ChargeEdit::mayRemove(int chargeId)
{
    try {
        refuseWhilePaid(chargeId);
    } catch (const MC::Stop &stop) {
        if (stop.isRefusal())
            return MC::refused(stop.message());
        // A look-up that fails must not let a paid charge through.
        MC::Result failed;
        failed.outcome = MC::Outcome::Failed;
        failed.message = tr("Unable to submit data");
        return failed;
    }
    return MC::done(chargeId);
}
