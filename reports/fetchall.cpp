#include "reports/fetchall.h"

#include <QAbstractItemModel>

int fetchAllRows(QAbstractItemModel *model)
{
    return fetchAllRows(model, [](int) { return true; });
}

int fetchAllRows(QAbstractItemModel *model, const std::function<bool(int rows)> &rowsSoFar)
{
    if (!model)
        return 0;
    while (model->canFetchMore(QModelIndex())) {
        model->fetchMore(QModelIndex());
        if (!rowsSoFar(model->rowCount(QModelIndex())))
            return -1;
    }
    return model->rowCount(QModelIndex());
}
