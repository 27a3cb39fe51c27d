#ifndef REPORTQUERYMODEL_H
#define REPORTQUERYMODEL_H

#include "datahub/qsqldoublequerymodel.h"

#include <QHash>
#include <QSqlQuery>
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

// The data hub's report rows. A report reads every row of its statement, in a large office hundreds
// of thousands of them; a stock query model keeps a variant, and a string of its own, for every value.
// This one reads its statement forward, once, in batches as a view or a report fetches them, and
// keeps each value packed: a number or a date in eight bytes, a text once however many rows repeat
// it. It answers as any query model does: the record, the values under the display and edit roles,
// the statement and its error, the decimals of its double columns.
// A statement given as a query object (the stock setQuery overload) is kept the stock way.
class ReportQueryModel : public QSqlDoubleQueryModel
{
    Q_OBJECT

public:
    explicit ReportQueryModel(QObject *parent = nullptr);
    ~ReportQueryModel() override;

    void setQuery(const QString &query, const QSqlDatabase &db = QSqlDatabase()) override;
    using QSqlDoubleQueryModel::setQuery;
    void clear() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex &parent = QModelIndex()) const override;
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;

protected:
    QVariant storedData(const QModelIndex &index, int role) const override;
    void queryChange() override;

private:
    // How a value is packed in its eight bytes.
    enum Kind : quint8 { Null, Int, UInt, LongLong, ULongLong, Double, Bool, Date, Time, Text, Other };

    // Fixed blocks, so that a growing store never copies what it holds into a larger one: the copy
    // and the original would both be resident at the peak.
    template <class T>
    class Blocks
    {
    public:
        void append(T value);
        T at(size_t index) const { return m_blocks[index >> Shift][index & Mask]; }
        void clear();

    private:
        static const size_t Shift = 14;
        static const size_t Mask = (size_t(1) << Shift) - 1;
        std::vector<std::unique_ptr<T[]>> m_blocks;
        size_t m_count = 0;
    };

    void readBatch();
    void dropRows();
    void pack(const QVariant &value, int column);
    QVariant unpack(int row, int column) const;

    bool m_packed = false;
    bool m_settingQuery = false;
    bool m_atEnd = true;
    // The rows read so far, and those of them the views have been told of.
    int m_rows = 0;
    int m_shownRows = 0;
    int m_columns = 0;
    QSqlQuery m_reader;
    // Each column's empty value as the driver gives it: of the column's type or of none, as it has it.
    QVector<QVariant> m_nullValues;
    Blocks<quint64> m_values;
    Blocks<quint8> m_kinds;
    std::vector<QString> m_texts;
    QHash<QString, quint32> m_textKeys;
    std::vector<QVariant> m_others;
};

#endif // REPORTQUERYMODEL_H
