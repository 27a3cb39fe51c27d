#include "reports/reportsql.h"

#include "datahub/xdatasource.h"

namespace ReportSql {

namespace {

QString date(const QDate &day)
{
    return XDataSource::toSqlDate(day);
}

QString number(int id)
{
    return QString::number(id);
}

const char *const CashbookSelect =
    "select c.tdate, t.name as category, c.description, c.expense, c.income, v.name as vendor, a.suite, c.accid, "
    "c.catid, c.vid, c.apid  from cashbook c  left join categories t  on c.catid = t.catid  left join vendors v  on "
    "c.vid = v.vid  left join apartments a  on c.apid = a.apid %1 order by c.tdate asc";

// The entries of each building together, the buildings by name and the office's own entries (no
// apartment, so no building) after them; within a building in date order.
const char *const CashbookByBuildingSelect =
    "select c.tdate, t.name as category, c.description, c.expense, c.income, v.name as vendor, a.suite, c.accid, "
    "c.catid, c.vid, c.apid, b.buildid, b.description  from cashbook c  left join categories t  on c.catid = "
    "t.catid  left join vendors v  on c.vid = v.vid  left join apartments a  on c.apid = a.apid  left join "
    "buildings b  on b.buildid = a.bid %1 order by b.description asc nulls last, b.buildid asc, c.tdate asc, "
    "c.accid asc";

// A tenant's entries are those of his own payments, found through the transaction that booked them:
// the apartment may have changed hands since, and its tenant of today is not the one who paid.
const char *const CashbookByTenantSelect =
    "select c.tdate, t.name as category, c.description, c.expense, c.income, v.name as vendor, a.suite, c.accid, "
    "c.catid, c.vid, c.apid  from cashbook c  left join categories t  on c.catid = t.catid  left join vendors v  on "
    "c.vid = v.vid  left join apartments a  on c.apid = a.apid  left join trans r on r.transid = c.transid  left join "
    "tenants x on x.tid = r.tid  %1 order by c.tdate asc";

// The tenant is the one who paid the transaction, not the apartment's tenant of today.
const char *const PaymentsSelect =
    "select t.transid, t.tdate, t.ccard, t.ccardn, t.mycheck, t.checkn, t.cash, t.paytotal, t.duetotal, "
    "p.datepaid, p.fordate, p.amount, p.type, a.suite, b.description, x.firstname||' '||x.lastname as fullname from "
    "trans t  inner join payments p  on p.transid = t.transid left join charges c on c.chid = p.chid  left join "
    "apartments a on a.apid = c.apid  left join buildings b  on a.bid = b.buildid   left join tenants x on x.tid = "
    "t.tid %1 order by t.tdate asc ";

const char *const ApartmentsSelect =
    "select a.apid, a.tid, a.bid, b.description, a.suite, t.firstname||' '||t.lastname as TENNAME, t.company,  "
    "a.squarefootage, a.bedrooms, a.bathrooms, a.floor,  a.status, a.rent, a.agreeid from apartments a inner join "
    "buildings b on a.bid = b.buildid left join tenants t on a.tid=t.tid %1";

const char *const LeasesSelect =
    "select  a.suite, b.description, t.firstname||' '||t.lastname as fullname,  g.leasestart, g.leaseend  from "
    "apartments a inner join agreements g on a.agreeid = g.rid  inner join buildings b  on b.buildid = a.bid  left "
    "join tenants t  on a.tid = t.tid %1";

const char *const MaintenanceByPlaceSelect =
    "select b.description, a.suite, m.ldate, m.description, m.typex, m.status,  m.priority, m.cost, v.name from "
    "maintenance m  left join vendors v  on m.vendor = v.vid inner join apartments a on m.apid = a.apid inner join "
    "buildings b on a.bid = b.buildid  %1 order by b.description asc, a.suite asc, m.ldate asc";

// With no status chosen the parenthesised condition still needs a term that every row meets.
QString statusOrEveryRow(const QString &statusClause)
{
    return statusClause.isEmpty() ? QStringLiteral(" m.apid > -1 ") : statusClause;
}

QString cashbookInPeriod(const QString &buildingsClause, const QDate &from, const QDate &to, const char *amountTerm,
                         const char *select = CashbookSelect)
{
    const QString where = QStringLiteral(" %1 and c.tdate >= '%2' and c.tdate <= '%3'%4")
                              .arg(apartmentBuildingsClause(buildingsClause), date(from), date(to),
                                   QLatin1String(amountTerm));
    return QString::fromLatin1(select).arg(where);
}

} // namespace

QString idList(const QVector<int> &ids)
{
    QStringList listed;
    for (int id : ids) {
        if (id > 0)
            listed.append(number(id));
    }
    return listed.join(QStringLiteral(", "));
}

QString ownersClause(const QVector<int> &ownerIds)
{
    return QStringLiteral(" where oid in (%1) ").arg(idList(ownerIds));
}

QString buildingsClause(const QVector<int> &buildingIds)
{
    return QStringLiteral(" where b.buildid in (%1) ").arg(idList(buildingIds));
}

QString everyBuildingAndNone()
{
    // The buildings are found by their key rather than listed: a list of a thousand keys is tried key
    // by key on every row of a year's cashbook.
    return QStringLiteral(" where (b.buildid in (select buildid from buildings) or b.buildid is null) ");
}

QString apartmentBuildingsClause(const QString &buildingsClause)
{
    QString clause = buildingsClause;
    return clause.replace(QStringLiteral("b.buildid"), QStringLiteral("a.bid"), Qt::CaseSensitive);
}

QStringList maintenanceStatusValues()
{
    // The values the maintenance editor stores; the dialog shows their translations.
    return {QStringLiteral("All"), QStringLiteral("OPEN"), QStringLiteral("RESOLVED"), QStringLiteral("CLOSED"),
            QStringLiteral("POSTPONED")};
}

QString statusClause(const QVector<int> &chosenRows)
{
    const QStringList values = maintenanceStatusValues();
    if (chosenRows.contains(0))
        return QString();
    QStringList terms;
    for (int row : chosenRows) {
        if (row > 0 && row < values.size())
            terms.append(QStringLiteral("m.status = '%1'").arg(values.at(row)));
    }
    return terms.join(QStringLiteral(" or "));
}

QString ownersChoice()
{
    return QStringLiteral("select oid, code from owners order by code asc");
}

QString buildingsChoice(const QString &ownersClause)
{
    return QStringLiteral("select buildid, description from buildings %1 order by description asc").arg(ownersClause);
}

QString vendors()
{
    return QStringLiteral("select * from vendors order by name asc");
}

QString tenantList()
{
    return QStringLiteral("select * from tenants t order by t.lastname asc, t.firstname asc");
}

QString waitingList()
{
    // A tenant listed twice on the waiting list still prints once.
    return QStringLiteral("select * from tenants t where t.tid in (select w.tid from waitlist w) "
                          "order by t.lastname asc, t.firstname asc");
}

QString tenantDetails(int tenantId)
{
    return QStringLiteral("select * from Tenants where tid = %1").arg(number(tenantId));
}

QString tenantAddress(int tenantId)
{
    return QStringLiteral("select firstname, lastname, address, city, state, postalcode from tenants where tid = %1")
        .arg(number(tenantId));
}

QString owners()
{
    return QStringLiteral("select b.description, b.address, b.city, b.provstate, b.tel, b.apartments,  o.code, "
                          "o.name, o.address, o.city, o.zip, o.state, o.tel, o.fax, o. email from  owners o  left "
                          "join buildings b  on o.oid = b.oid   order by o.code asc, b.description asc");
}

QString buildingsList()
{
    return QStringLiteral("select * from buildings b  order by description asc");
}

QString buildingsByOwner(const QString &ownersClause)
{
    return QStringLiteral("select * from buildings  %1 order by description asc").arg(ownersClause);
}

QString apartmentsList(const QString &buildingsClause)
{
    return QString::fromLatin1(ApartmentsSelect).arg(buildingsClause);
}

QString occupiedApartments()
{
    return QString::fromLatin1(ApartmentsSelect).arg(QStringLiteral("where agreeid > -1"));
}

QString vacantApartments()
{
    return QString::fromLatin1(ApartmentsSelect).arg(QStringLiteral("where agreeid < 0 or agreeid is null"));
}

QString cashbook(const QString &buildingsClause, const QDate &from, const QDate &to)
{
    return cashbookInPeriod(buildingsClause, from, to, " ");
}

QString incomeByBuilding(const QString &buildingsClause, const QDate &from, const QDate &to)
{
    return cashbookInPeriod(buildingsClause, from, to, " and c.income > 0", CashbookByBuildingSelect);
}

QString expenseByBuilding(const QString &buildingsClause, const QDate &from, const QDate &to)
{
    return cashbookInPeriod(buildingsClause, from, to, " and c.expense > 0", CashbookByBuildingSelect);
}

QString incomeByTenant(int tenantId, const QDate &from, const QDate &to)
{
    const QString where = QStringLiteral(" where x.tid = %1  and c.tdate >= '%2' and c.tdate <= '%3' and c.income > 0")
                              .arg(number(tenantId), date(from), date(to));
    return QString::fromLatin1(CashbookByTenantSelect).arg(where);
}

QString expenseByTenant(int tenantId, const QDate &from, const QDate &to)
{
    const QString where = QStringLiteral(" where x.tid = %1  and c.tdate >= '%2' and c.tdate <= '%3' and c.expense > 0")
                              .arg(number(tenantId), date(from), date(to));
    return QString::fromLatin1(CashbookByTenantSelect).arg(where);
}

QString expenseByVendor(const QString &buildingsClause, int vendorId, const QDate &from, const QDate &to)
{
    const QString where =
        QStringLiteral(" %1 and v.vid = %4 and c.tdate >= '%2' and c.tdate <= '%3' and c.expense > 0")
            .arg(apartmentBuildingsClause(buildingsClause), date(from), date(to), number(vendorId));
    return QString::fromLatin1(CashbookSelect).arg(where);
}

QString payments(const QString &buildingsClause, const QDate &from, const QDate &to)
{
    const QString where = QStringLiteral(" %1 and t.tdate >= '%2' and t.tdate <= '%3' ")
                              .arg(apartmentBuildingsClause(buildingsClause), date(from), date(to));
    return QString::fromLatin1(PaymentsSelect).arg(where);
}

QString paymentsByTenant(int tenantId, const QDate &from, const QDate &to)
{
    const QString where = QStringLiteral(" where x.tid = %1 and t.tdate >= '%2' and t.tdate <= '%3' ")
                              .arg(number(tenantId), date(from), date(to));
    return QString::fromLatin1(PaymentsSelect).arg(where);
}

QString paymentsSummary(const QDate &from, const QDate &to)
{
    // One row per way of paying, the total first and the method second; a method nobody used in the
    // period still prints, with 0.
    const QString period = QStringLiteral("from trans t where t.tdate >= '%1' and t.tdate <= '%2'")
                               .arg(date(from), date(to));
    return QStringLiteral("select coalesce(sum(t.cash), 0) as total, cast('Cash' as varchar(20)) as type %1 "
                          "union all select coalesce(sum(t.mycheck), 0), cast('Check' as varchar(20)) %1 "
                          "union all select coalesce(sum(t.ccard), 0), cast('Credit Card' as varchar(20)) %1")
        .arg(period);
}

QString latePayments(const QDate &today)
{
    // Left joins: an unpaid charge whose apartment or tenant is gone is still owed and still counted.
    // Within an apartment each tenant's charges stand together: after a turnover the report lists and
    // adds them up under each tenant's own name.
    return QStringLiteral("select c.chid, c.apid, c.tid, c.fordate, c.type, c.amt, a.suite, b.description, "
                          "x.firstname||' '||x.lastname as fullname from charges c left join apartments a on "
                          "a.apid = c.apid left join buildings b on b.buildid = a.bid left join tenants x on "
                          "x.tid = c.tid where c.amt > 0 and c.fordate < '%1' order by c.apid asc, c.tid asc, "
                          "c.fordate asc, c.chid asc")
        .arg(date(today));
}

QString leaseExpiry(const QString &buildingsClause)
{
    return QString::fromLatin1(LeasesSelect).arg(apartmentBuildingsClause(buildingsClause)
                                                 + QStringLiteral("  order by b.description asc, a.suite asc"));
}

QString expiredLeases(const QString &buildingsClause, const QDate &today)
{
    const QString where =
        QStringLiteral(" %1 and g.leaseend < '%2'").arg(apartmentBuildingsClause(buildingsClause), date(today));
    return QString::fromLatin1(LeasesSelect).arg(where + QStringLiteral(" order by g.leaseend asc"));
}

QString leasesEndingInMonth(const QString &buildingsClause, const QDate &today)
{
    const QDate first(today.year(), today.month(), 1);
    const QString where = QStringLiteral(" %1 and g.leaseend >= '%2' and g.leaseend <= '%3'")
                              .arg(apartmentBuildingsClause(buildingsClause), date(first),
                                   date(first.addMonths(1).addDays(-1)));
    return QString::fromLatin1(LeasesSelect).arg(where + QStringLiteral(" order by g.leaseend asc"));
}

QString maintenanceByApartment(int apartmentId, const QString &statusClause)
{
    const QString where = statusClause.isEmpty()
        ? QStringLiteral(" where m.apid = %1").arg(number(apartmentId))
        : QStringLiteral(" where m.apid = %1 and (%2)").arg(number(apartmentId), statusClause);
    return QStringLiteral("select m.ldate, m.description, m.typex, m.status,  m.priority, m.cost, v.name from "
                          "maintenance m  left join vendors v  on m.vendor = v.vid %1 order by m.ldate asc")
        .arg(where);
}

QString maintenanceByBuilding(const QString &buildingsClause, const QString &statusClause)
{
    const QString status = statusOrEveryRow(statusClause);
    const QString where = buildingsClause.isEmpty() ? QStringLiteral(" where %1").arg(status)
                                                    : QStringLiteral(" %1 and (%2)").arg(buildingsClause, status);
    return QString::fromLatin1(MaintenanceByPlaceSelect).arg(where);
}

QString maintenanceByVendor(const QString &buildingsClause, const QString &statusClause, int vendorId)
{
    const QString status = statusOrEveryRow(statusClause);
    const QString where = buildingsClause.isEmpty()
        ? QStringLiteral(" where %1 and v.vid = %3").arg(status, number(vendorId))
        : QStringLiteral(" %1 and (%2) and v.vid = %3").arg(buildingsClause, status, number(vendorId));
    return QString::fromLatin1(MaintenanceByPlaceSelect).arg(where);
}

QString equipment(int apartmentId)
{
    return QStringLiteral("select * from equipments where apid = %1  order by description asc").arg(number(apartmentId));
}

} // namespace ReportSql
