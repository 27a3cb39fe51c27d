#include "correspondence/tenantticklist.h"

#include "reports/fetchall.h"

#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableWidget>

namespace TenantTickList {

int fill(QTableWidget *table, QSqlQueryModel *tenants, const QStringList &headers, const QString &thirdField)
{
    table->setHorizontalHeaderLabels(headers);
    table->setColumnWidth(0, 150);
    table->setColumnWidth(1, 350);
    table->setColumnWidth(2, 250);

    // Firebird does not tell the size of a result: without this only the first batch is listed.
    const int rows = fetchAllRows(tenants);
    table->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const QSqlRecord tenant = tenants->record(row);
        auto *id = new QTableWidgetItem(tenant.value(QStringLiteral("id")).toString());
        id->setFlags(id->flags() | Qt::ItemIsUserCheckable);
        id->setCheckState(Qt::Checked);
        id->setData(Qt::UserRole, tenant.value(QStringLiteral("tid")).toInt());
        table->setItem(row, 0, id);
        table->setItem(row, 1, new QTableWidgetItem(tenant.value(QStringLiteral("fullname")).toString()));
        table->setItem(row, 2, new QTableWidgetItem(tenant.value(thirdField).toString()));
    }
    return rows;
}

void checkAll(QTableWidget *table, Qt::CheckState state)
{
    for (int row = 0; row < table->rowCount(); ++row)
        if (QTableWidgetItem *item = table->item(row, 0))
            item->setCheckState(state);
}

QVector<int> tickedIds(const QTableWidget *table)
{
    QVector<int> ids;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *item = table->item(row, 0);
        if (item && item->checkState() == Qt::Checked)
            ids.append(item->data(Qt::UserRole).toInt());
    }
    return ids;
}

} // namespace TenantTickList
