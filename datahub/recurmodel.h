#ifndef RECURMODEL_H
#define RECURMODEL_H

#include "datahub/qsqldoublerelationaltablemodel.h"

// The recurring bills table: the completion flag (column 10) reads "Yes" or "No".
class RecurModel : public QSqlDoubleRelationalTableModel
{
    Q_OBJECT

public:
    explicit RecurModel(QObject *parent = nullptr, QSqlDatabase db = QSqlDatabase());

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The type of a lease's rent bill, lower-cased as the statements compare it.
    static QString rentType() { return tr("rent"); }
};

#endif // RECURMODEL_H
