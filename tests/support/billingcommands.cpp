#include "billingcommands.h"

#include "datahub/today.h"
#include "money/billingstore.h"
#include "money/chargeedit.h"
#include "money/leasewrite.h"
#include "money/moneycommand.h"
#include "money/rentadjustment.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QSqlQuery run(const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        qWarning() << sql << query.lastError().text();
    return query;
}

int nextKey(const char *generator)
{
    QSqlQuery query = run(QStringLiteral("select gen_id(%1, 1) from rdb$database").arg(QLatin1String(generator)));
    return query.next() ? query.value(0).toInt() : -1;
}

} // namespace

BillingCommands::BillingCommands()
{
    m_apid = nextKey("GEN_APARTMENTS_ID");
    // In a building, so that the apartments page lists it.
    run(QStringLiteral("insert into apartments (apid, suite, rent, agreeid, bid) values (?, ?, 0, -1, (select min(buildid) "
                       "from buildings))"),
        {m_apid, QStringLiteral("H-%1").arg(m_apid)});
    for (int i = 1; i <= 3; ++i) {
        const int tid = nextKey("GEN_TENANTS_ID");
        run(QStringLiteral("insert into tenants (tid, firstname, lastname) values (?, ?, ?)"),
            {tid, QStringLiteral("Tenant"), QString::number(i)});
        m_tenants << tid;
    }
}

BillingCommands::~BillingCommands()
{
    // The apartment charges nothing more once its history is told, whatever runs after it.
    run(QStringLiteral("delete from agreements where apid = ?"), {m_apid});
    run(QStringLiteral("update leasehistory set deleted = 1 where apid = ?"), {m_apid});
    run(QStringLiteral("delete from agreedperiods where apid = ?"), {m_apid});
}

int BillingCommands::chargeOf(const ClerkAct &act) const
{
    QSqlQuery query = run(QStringLiteral("select c.chid from charges c join recur r on r.recid = c.recid where c.apid = ? "
                                         "and c.tid = ? and r.line = ? and c.fordate = ?"),
                          {m_apid, m_tenants.value(act.tenant - 1), act.line == 0 ? 0 : m_lineBills.value(act.line),
                           act.due});
    return query.next() ? query.value(0).toInt() : -1;
}

bool BillingCommands::apply(const ClerkAct &act)
{
    Today::set(act.today);
    MoneyCommand::Result result;
    QSqlQuery apartment = run(QStringLiteral("select agreeid from apartments where apid = ?"), {m_apid});
    const int inForce = apartment.next() ? apartment.value(0).toInt() : -1;
    apartment.finish();
    switch (act.kind) {
    case ClerkAct::SaveLease: {
        LeaseWrite::Lease lease;
        lease.agreementId = nextKey("GEN_AGREEMENTS_ID");
        lease.tenantId = m_tenants.value(act.tenant - 1);
        lease.apartmentId = m_apid;
        lease.terms.rent = double(act.cents) / 100.0;
        lease.terms.frequency = act.freq;
        lease.terms.firstPayment = act.firstPay;
        lease.terms.leaseStart = act.firstPay;
        lease.terms.leaseEnd = act.end;
        bool asked = false;
        result = LeaseWrite::save(lease, nullptr, [&](const QString &) {
            asked = true;
            return act.yes;
        });
        m_leases << lease.agreementId;
        m_asked << asked;
        break;
    }
    case ClerkAct::DeleteLease:
        if (inForce > 0)
            result = LeaseWrite::remove(m_apid, inForce, nullptr);
        break;
    case ClerkAct::AddLine: {
        result = LeaseWrite::postDue(m_apid);
        const int recid = nextKey("GEN_RECUR_ID");
        run(QStringLiteral("insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, "
                           "completed, apid) values (?, ?, ?, 0, ?, ?, ?, ?, 0, ?, 0, ?)"),
            {recid, QStringLiteral("Line %1").arg(m_lineBills.size() + 1), double(act.cents) / 100.0, act.freq, act.start,
             act.start, act.end, m_tenants.value(act.tenant - 1), m_apid});
        m_lineBills.insert(m_lineBills.size() + 1, recid);
        if (result.ok())
            result = LeaseWrite::billSaved(recid, true);
        break;
    }
    case ClerkAct::EditLine: {
        result = LeaseWrite::postDue(m_apid);
        const int recid = m_lineBills.value(act.line);
        run(QStringLiteral("update recur set amount = ?, freq = ?, startdate = ?, enddate = ? where recid = ?"),
            {double(act.cents) / 100.0, act.freq, act.start, act.end, recid});
        if (result.ok())
            result = LeaseWrite::billSaved(recid, false);
        break;
    }
    case ClerkAct::DeleteLine:
        result = LeaseWrite::billDeleted(m_lineBills.value(act.line));
        break;
    case ClerkAct::Forgive: {
        // Collect Rent opens with the charge run.
        result = MoneyCommand::run({QString(), QString(), QString()},
                                   [&]() { return BillingStore::postOffice(act.today); });
        const int chid = chargeOf(act);
        if (chid < 0) {
            m_failure = QStringLiteral("no charge to forgive: ") + act.toString();
            return false;
        }
        result = ChargeEdit::remove(chid);
        break;
    }
    case ClerkAct::ChargeAhead: {
        QSqlQuery holder = run(QStringLiteral("select tid from agreements where apid = ?"), {m_apid});
        const int tid = holder.next() ? holder.value(0).toInt() : -1;
        result = MoneyCommand::run({QString(), QString(), QString()},
                                   [&]() { return BillingStore::chargeAhead(tid, act.periods, act.today); });
        break;
    }
    case ClerkAct::AdjustRent: {
        const QVariant rent = [&]() {
            QSqlQuery query = run(QStringLiteral("select amount from recur r join agreements g on g.rid = r.rid and g.tid "
                                                 "= r.tid where r.apid = ? and r.leaserent = 1"),
                                  {m_apid});
            return query.next() ? query.value(0) : QVariant();
        }();
        RentAdjustment adjustment(RentAdjustment::Apartment, m_apid, RentAdjustment::CurrentAgreements,
                                  RentAdjustment::ByAmount, double(act.cents) / 100.0 - rent.toDouble());
        if (!adjustment.prepare() || !adjustment.apply()) {
            m_failure = QStringLiteral("%1: %2").arg(act.toString(), adjustment.message());
            return false;
        }
        break;
    }
    case ClerkAct::Run:
        result = MoneyCommand::run({QString(), QString(), QString()},
                                   [&]() { return BillingStore::postOffice(act.today); });
        break;
    }
    if (!result.ok()) {
        m_failure = QStringLiteral("%1: %2").arg(act.toString(), result.message);
        return false;
    }
    return true;
}

ClerkOutcome BillingCommands::outcome() const
{
    ClerkOutcome outcome;
    outcome.asked = m_asked;
    const auto tenant = [this](const QVariant &tid) { return m_tenants.indexOf(tid.toInt()) + 1; };
    const auto line = [this](const QVariant &line) { return line.toInt() == 0 ? 0 : m_lineBills.key(line.toInt()); };
    const auto lease = [this](const QVariant &rid) { return m_leases.indexOf(rid.toInt()) + 1; };
    QSqlQuery query = run(QStringLiteral("select c.tid, r.line, c.fordate, c.lastday, c.amt, c.rid from charges c join recur "
                                         "r on r.recid = c.recid where c.apid = ? and c.lastday is not null"),
                          {m_apid});
    while (query.next())
        outcome.charges.append({tenant(query.value(0)), line(query.value(1)), query.value(2).toDate(),
                                query.value(3).toDate(), qRound64(query.value(4).toDouble() * 100.0),
                                lease(query.value(5)), false});
    query = run(QStringLiteral("select d.tid, r.line, d.fromdate, d.lastday, d.rid from dealtdays d join recur r on r.recid "
                               "= d.recid where d.apid = ? and d.kind = 1"),
                {m_apid});
    while (query.next()) {
        ClerkCharge forgiven{tenant(query.value(0)), line(query.value(1)), query.value(2).toDate(),
                             query.value(3).toDate(), 0, lease(query.value(4)), true};
        outcome.charges.append(forgiven);
    }
    return outcome;
}
