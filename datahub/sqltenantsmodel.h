#ifndef SQLTENANTSMODEL_H
#define SQLTENANTSMODEL_H

#include "datahub/qsupersqltablemodel.h"

// The tenants table: the income column shows two decimals.
class SqlTenantsModel : public QSuperSqlTableModel
{
    Q_OBJECT

public:
    explicit SqlTenantsModel(QObject *parent = nullptr, QSqlDatabase db = QSqlDatabase());
    ~SqlTenantsModel() override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

#endif // SQLTENANTSMODEL_H
