#include "clerkacts.h"

#include <tuple>

namespace {
QString day(const QDate &date)
{
    return date.isValid() ? date.toString(Qt::ISODate) : QStringLiteral("-");
}
} // namespace

QString ClerkAct::toString() const
{
    static const char *const names[] = {"SaveLease", "DeleteLease", "AddLine",    "EditLine", "DeleteLine",
                                        "Forgive",   "ChargeAhead", "AdjustRent", "Run"};
    QString text = QStringLiteral("%1 %2").arg(day(today), QLatin1String(names[kind]));
    switch (kind) {
    case SaveLease:
        return text + QStringLiteral(" tenant %1, %2 every %3, %4..%5, %6")
                          .arg(tenant).arg(cents).arg(freq).arg(day(firstPay), day(end))
                          .arg(yes ? QStringLiteral("yes") : QStringLiteral("no"));
    case AddLine:
        return text + QStringLiteral(" tenant %1, %2 every %3, %4..%5")
                          .arg(tenant).arg(cents).arg(freq).arg(day(start), day(end));
    case EditLine:
        return text + QStringLiteral(" line %1, %2 every %3, %4..%5")
                          .arg(line).arg(cents).arg(freq).arg(day(start), day(end));
    case DeleteLine:
        return text + QStringLiteral(" line %1").arg(line);
    case Forgive:
        return text + QStringLiteral(" tenant %1, line %2, due %3").arg(tenant).arg(line).arg(day(due));
    case ChargeAhead:
        return text + QStringLiteral(" %1 periods").arg(periods);
    case AdjustRent:
        return text + QStringLiteral(" to %1").arg(cents);
    case DeleteLease:
    case Run:
        break;
    }
    return text;
}

bool ClerkCharge::operator==(const ClerkCharge &other) const
{
    return std::tie(tenant, line, due, lastDay, cents, lease, forgiven)
           == std::tie(other.tenant, other.line, other.due, other.lastDay, other.cents, other.lease, other.forgiven);
}

bool ClerkCharge::operator<(const ClerkCharge &other) const
{
    return std::tie(line, due, tenant, lastDay, cents, lease, forgiven)
           < std::tie(other.line, other.due, other.tenant, other.lastDay, other.cents, other.lease, other.forgiven);
}

QString ClerkCharge::toString() const
{
    return QStringLiteral("line %1 tenant %2 %3..%4 %5 lease %6%7")
        .arg(line).arg(tenant).arg(day(due), day(lastDay)).arg(cents).arg(lease)
        .arg(forgiven ? QStringLiteral(" forgiven") : QString());
}
