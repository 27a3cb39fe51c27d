#include "money/relationkey.h"

#include <QSqlRelationalTableModel>

bool setRelationKey(QSqlRelationalTableModel *model, int column, int row, const QVariant &key)
{
    return model->QSqlTableModel::setData(model->index(row, column), key, Qt::EditRole);
}
