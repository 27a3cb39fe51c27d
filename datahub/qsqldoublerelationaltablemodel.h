#ifndef QSQLDOUBLERELATIONALTABLEMODEL_H
#define QSQLDOUBLERELATIONALTABLEMODEL_H

#include "datahub/qsupersqlrelationaltablemodel.h"

#include <QVector>

// A relational table model whose money columns show two decimals, right-aligned.
class QSqlDoubleRelationalTableModel : public QSuperSqlRelationalTableModel
{
    Q_OBJECT

public:
    explicit QSqlDoubleRelationalTableModel(QObject *parent = nullptr, QSqlDatabase db = QSqlDatabase());
    ~QSqlDoubleRelationalTableModel() override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The money columns; the data hub fills the list once after it creates the model.
    QVector<int> &doubleColumns() { return m_doubleColumns; }

private:
    QVector<int> m_doubleColumns;
};

#endif // QSQLDOUBLERELATIONALTABLEMODEL_H
