#ifndef TENANTTICKLIST_H
#define TENANTTICKLIST_H

#include <QString>
#include <QStringList>
#include <QVector>

class QSqlQueryModel;
class QTableWidget;

// The tenant lists that letters and mail go out to: one row a tenant, its id ticked and carrying the
// tenant's key, then its name and one more column.
namespace TenantTickList {

// Every tenant of `tenants` (its columns id, tid, fullname and `thirdField`) into `table`, all ticked,
// under `headers`. Returns the number of rows.
int fill(QTableWidget *table, QSqlQueryModel *tenants, const QStringList &headers, const QString &thirdField);
void checkAll(QTableWidget *table, Qt::CheckState state);
// The keys of the ticked tenants, top row first.
QVector<int> tickedIds(const QTableWidget *table);

} // namespace TenantTickList

#endif // TENANTTICKLIST_H
