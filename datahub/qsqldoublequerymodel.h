#ifndef QSQLDOUBLEQUERYMODEL_H
#define QSQLDOUBLEQUERYMODEL_H

#include <QMap>
#include <QSqlDatabase>
#include <QSqlQueryModel>

// A query model that shows chosen columns as fixed-decimal numbers, right-aligned, and tells its
// views when it was given a new statement.
class QSqlDoubleQueryModel : public QSqlQueryModel
{
    Q_OBJECT

public:
    explicit QSqlDoubleQueryModel(QObject *parent = nullptr);
    ~QSqlDoubleQueryModel() override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    using QSqlQueryModel::setQuery;
    // Runs `query` and emits queryChanged(), also when the statement fails; a failure is reported
    // (ReadFailure) instead of leaving an empty list behind.
    virtual void setQuery(const QString &query, const QSqlDatabase &db = QSqlDatabase());
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;

    void setDoubleColumn(int column, int decimals);
    QMap<int, int> doubleColumns() const;

signals:
    void queryChanged();

protected:
    // The value a row holds under `role`, before the double columns are given their decimals.
    virtual QVariant storedData(const QModelIndex &index, int role) const;

private:
    QMap<int, int> m_doubleColumns;
};

#endif // QSQLDOUBLEQUERYMODEL_H
