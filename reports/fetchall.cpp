#include "reports/fetchall.h"

#include <QAbstractItemModel>

int fetchAllRows(QAbstractItemModel *model)
{
    if (!model)
        return 0;
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
    return model->rowCount(QModelIndex());
}
