#ifndef REPORTSQL_H
#define REPORTSQL_H

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

// Every statement behind the Reports menu and its chooser dialogs, composed from what the user chose.
// The statements are text with the chosen ids and dates written in: ids are integers from the
// database and dates are written by XDataSource::toSqlDate, so no user text ever reaches them.
//
// Clauses: an owners clause is empty (all owners) or " where oid in (...) "; a buildings clause is
// " where b.buildid in (...) "; a status clause is empty (every status) or terms on m.status.
namespace ReportSql {

// The chosen ids as "4, 9". An id of 0 or less is no record: it is left out with its separator.
QString idList(const QVector<int> &ids);
QString ownersClause(const QVector<int> &ownerIds);
QString buildingsClause(const QVector<int> &buildingIds);
// Every building of the office and the rows that reach no building (an office-wide cashbook entry, a
// charge of no apartment): what the money reports list when every building is chosen.
QString everyBuildingAndNone();
// The buildings clause for statements that reach the building through the apartment (a.bid).
QString apartmentBuildingsClause(const QString &buildingsClause);

// The maintenance status choice as the status dialog lists it: row 0 is every status.
QStringList maintenanceStatusValues();
// The terms for the chosen rows of that list; empty when row 0 is among them. Rows outside the
// list are ignored.
QString statusClause(const QVector<int> &chosenRows);

// The chooser dialogs' lists.
QString ownersChoice();
QString buildingsChoice(const QString &ownersClause);

QString vendors();
QString tenantList();
QString waitingList();
QString tenantDetails(int tenantId);
QString tenantAddress(int tenantId);
QString owners();
QString buildingsList();
QString buildingsByOwner(const QString &ownersClause);
QString apartmentsList(const QString &buildingsClause);
QString occupiedApartments();
QString vacantApartments();
QString cashbook(const QString &buildingsClause, const QDate &from, const QDate &to);
QString incomeByBuilding(const QString &buildingsClause, const QDate &from, const QDate &to);
QString expenseByBuilding(const QString &buildingsClause, const QDate &from, const QDate &to);
QString incomeByTenant(int tenantId, const QDate &from, const QDate &to);
QString expenseByTenant(int tenantId, const QDate &from, const QDate &to);
QString expenseByVendor(const QString &buildingsClause, int vendorId, const QDate &from, const QDate &to);
QString payments(const QString &buildingsClause, const QDate &from, const QDate &to);
QString paymentsByTenant(int tenantId, const QDate &from, const QDate &to);
QString paymentsSummary(const QDate &from, const QDate &to);
QString latePayments(const QDate &today);
QString leaseExpiry(const QString &buildingsClause);
QString expiredLeases(const QString &buildingsClause, const QDate &today);
QString leasesEndingInMonth(const QString &buildingsClause, const QDate &today);
QString maintenanceByApartment(int apartmentId, const QString &statusClause);
QString maintenanceByBuilding(const QString &buildingsClause, const QString &statusClause);
QString maintenanceByVendor(const QString &buildingsClause, const QString &statusClause, int vendorId);
QString equipment(int apartmentId);

} // namespace ReportSql

#endif // REPORTSQL_H
