#ifndef SQLDOUBLETABLEMODEL_H
#define SQLDOUBLETABLEMODEL_H

#include "datahub/qsupersqltablemodel.h"

#include <QVector>

// A table model whose money columns show two decimals, right-aligned.
class SqlDoubleTableModel : public QSuperSqlTableModel
{
    Q_OBJECT

public:
    explicit SqlDoubleTableModel(QObject *parent = nullptr, QSqlDatabase db = QSqlDatabase());
    ~SqlDoubleTableModel() override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The money columns; the data hub fills the list once after it creates the model.
    QVector<int> &doubleColumns() { return m_doubleColumns; }

private:
    QVector<int> m_doubleColumns;
};

#endif // SQLDOUBLETABLEMODEL_H
