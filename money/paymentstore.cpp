#include "money/paymentstore.h"

#include "datahub/textfold.h"

#include <QMap>
#include <QPair>
#include <QSqlQuery>

using MC = MoneyCommand;

MoneyCommand::Result PaymentStore::store(const Payment &payment)
{
    const double cash = MC::cents(payment.cash);
    const double check = MC::cents(payment.check);
    const double card = MC::cents(payment.card);
    const double total = MC::cents(cash + check + card);
    double applied = 0.0;
    for (const Line &line : payment.lines)
        applied += MC::cents(line.amount);
    applied = MC::cents(applied);

    if (MC::sameCents(total, 0.0))
        return MC::refused(tr("You aren't paying any amount!"));
    if (!MC::sameCents(total, applied))
        return MC::refused(tr("The amount you are paying must be equal to total payments applied!"));
    if (!payment.paidOn.isValid())
        return MC::refused(tr("Enter a valid date into the 'Date Paid' field!"));

    const MC::Messages messages{tr("Error storing payment information. Unable to start transaction."),
                                tr("Error storing payment information. Error occured"),
                                tr("Error storing payment information. Unable to commit transaction.")};
    return MC::run(messages, [&]() {
        const int transid = MC::nextKey("GEN_TRANS_ID");
        MC::exec(QStringLiteral("insert into trans (transid, tid, apid, tdate, paytotal, ccard, ccardn, mycheck, "
                                "checkn, cash, duetotal, applied) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 {transid, payment.tenantId, payment.apartmentId, payment.paidOn, total, card,
                  payment.cardNumber.trimmed(), check, payment.checkNumber.trimmed(), cash,
                  MC::cents(payment.dueTotal), applied});

        // Summed per type exactly as typed (types differing only in case are booked apart) and per
        // apartment of the charges: arrears of an apartment the tenant has since left belong to it.
        QMap<QPair<QString, int>, double> entryTotals;
        // A payment may settle hundreds of charges: the writes are prepared once for all of them.
        QSqlQuery settle = MC::prepare(QStringLiteral("update charges set applied = 0, amt = ?, paid = ? where chid = ?"));
        QSqlQuery record = MC::prepare(QStringLiteral("insert into payments (transid, amount, chid, accid, type, "
                                                      "fordate, datepaid) values (?, ?, ?, 0, ?, ?, ?)"));
        for (const Line &line : payment.lines) {
            const double amount = MC::cents(line.amount);
            if (MC::sameCents(amount, 0.0))
                continue;
            QSqlQuery charge = MC::exec(
                QStringLiteral("select amt, paid, type, fordate, tid, apid from charges where chid = ?"),
                {line.chargeId});
            if (!charge.next())
                throw MC::Stop(QStringLiteral("charge %1 is no longer in the database").arg(line.chargeId));
            const double due = charge.value(0).toDouble();
            const double paid = charge.value(1).toDouble();
            const QString type = charge.value(2).toString();
            const QVariant forDate = charge.value(3);
            // A charge made for no apartment is booked where the payment is.
            const int apartment =
                charge.value(5).isNull() || charge.value(5).toInt() < 0 ? payment.apartmentId : charge.value(5).toInt();
            // A payment settles this tenant's charges only, and never more than is owed.
            if (charge.value(4).toInt() != payment.tenantId || amount < 0.0 || MC::cents(amount - due) > 0.0)
                throw MC::Stop(QStringLiteral("charge %1 cannot take %2").arg(line.chargeId).arg(amount));

            MC::exec(settle, {MC::cents(due - amount), MC::cents(paid + amount), line.chargeId});
            MC::exec(record, {transid, amount, line.chargeId, type, forDate, payment.paidOn});
            const QPair<QString, int> entry(type, apartment);
            entryTotals[entry] = MC::cents(entryTotals.value(entry) + amount);
        }

        for (auto it = entryTotals.constBegin(); it != entryTotals.constEnd(); ++it) {
            const QString &type = it.key().first;
            // A look-up that fails must not read as "no such category" and add a second one.
            QVariant category = MC::value(QStringLiteral("select first 1 catid from categories where %1 order by catid")
                                              .arg(TextFold::sameText(QStringLiteral("categories"), QStringLiteral("name"))),
                                          {type});
            if (!category.isValid()) {
                category = MC::nextKey("GEN_CATEGORIES_ID");
                MC::exec(QStringLiteral("insert into categories (catid, name, description, type) values (?, ?, ?, 1)"),
                         {category, type, type});
            }
            MC::exec(QStringLiteral("insert into cashbook (accid, tdate, catid, description, expense, income, vid, "
                                    "apid, comments, transid) values (?, ?, ?, ?, 0, ?, -1, ?, '', ?)"),
                     {MC::nextKey("GEN_CASHBOOK_ID"), payment.paidOn, category,
                      QStringLiteral("%1: %2").arg(tr("Payment Collected"), type), it.value(), it.key().second,
                      transid});
        }
        return transid;
    });
}
