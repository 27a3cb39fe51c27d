#ifndef SQLAPARTMENTSRELATIONALTABLEMODEL_H
#define SQLAPARTMENTSRELATIONALTABLEMODEL_H

#include "datahub/qsqldoublerelationaltablemodel.h"

// An apartments model with the floor area to four decimals and three spare columns for a list that
// shows more than the table holds. Nothing creates one at present.
class SqlApartmentsRelationalTableModel : public QSqlDoubleRelationalTableModel
{
    Q_OBJECT

public:
    explicit SqlApartmentsRelationalTableModel(QObject *parent = nullptr, QSqlDatabase db = QSqlDatabase());
    ~SqlApartmentsRelationalTableModel() override;

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

#endif // SQLAPARTMENTSRELATIONALTABLEMODEL_H
