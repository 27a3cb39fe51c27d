#ifndef QSUPERSQLRELATIONALTABLEMODEL_H
#define QSUPERSQLRELATIONALTABLEMODEL_H

#include <QSqlDatabase>
#include <QSqlRelationalTableModel>

class QAbstractItemView;

// The relational twin of QSuperSqlTableModel: the same one-row writes, through the relational row
// writers, which bind the key of a relation column instead of the text it shows.
class QSuperSqlRelationalTableModel : public QSqlRelationalTableModel
{
    Q_OBJECT

public:
    explicit QSuperSqlRelationalTableModel(QObject *parent = nullptr, QSqlDatabase db = QSqlDatabase());
    ~QSuperSqlRelationalTableModel() override;

    virtual bool submitRow(int row, bool refresh, bool remove);
    virtual bool submitRowInView(int row, bool refresh, bool remove, QAbstractItemView *view);
    virtual bool writeRow(int row, bool remove);

    bool isWriting() const { return m_writing; }

    // A row that has not been changed shows the related text its statement read. Qt reads the whole
    // related table after every select to be ready for a changed row; only a changed row needs it.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // A read that fails says so (ReadFailure) instead of leaving an empty list behind.
    bool select() override;
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;
    void setTable(const QString &tableName) override;
    void setRelation(int column, const QSqlRelation &relation) override;

protected:
    // Qt asks the database for the columns of every related table each time it composes the
    // statement, which on a large office cost more than running the statement. Only the filter
    // changes between selects (the bills of one apartment, then of the next), so the statement is
    // composed once per table, relations and sort, with a marker where the filter goes. The join mode
    // is set before the table, as the hub does.
    QString selectStatement() const override;

private:
    bool m_writing = false;
    mutable bool m_composing = false;
    mutable QString m_composedOrder;
    mutable QString m_unfiltered;
    mutable QString m_filtered;
};

#endif // QSUPERSQLRELATIONALTABLEMODEL_H
