#include "datahub/reportquerymodel.h"

#include "datahub/readfailure.h"

#include <QDate>
#include <QSqlError>
#include <QSqlRecord>
#include <QTime>

#include <cstring>

namespace {
// As many rows a fetch as the stock query model takes: a view asks for the next batch as it scrolls,
// and a report's progress moves on after each.
const int Batch = 256;
} // namespace

template <class T>
void ReportQueryModel::Blocks<T>::append(T value)
{
    if ((m_count >> Shift) == m_blocks.size())
        m_blocks.emplace_back(new T[Mask + 1]);
    m_blocks[m_count >> Shift][m_count & Mask] = value;
    ++m_count;
}

template <class T>
void ReportQueryModel::Blocks<T>::clear()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_count = 0;
}

ReportQueryModel::ReportQueryModel(QObject *parent)
    : QSqlDoubleQueryModel(parent)
{
}

ReportQueryModel::~ReportQueryModel() = default;

void ReportQueryModel::setQuery(const QString &query, const QSqlDatabase &db)
{
    beginResetModel();
    dropRows();
    QSqlQuery reader(db);
    reader.setForwardOnly(true);
    const bool ran = reader.exec(query);
    // The stock model takes the statement, its columns and its error from the query; it refuses to
    // read a forward-only query's rows itself, which this model reads instead.
    m_settingQuery = true;
    QSqlQueryModel::setQuery(reader);
    m_settingQuery = false;
    if (ran) {
        m_packed = true;
        m_atEnd = false;
        m_reader = reader;
        m_columns = record().count();
        m_nullValues.resize(m_columns);
        setLastError(QSqlError());
        readBatch();
        m_shownRows = m_rows;
    } else {
        setLastError(reader.lastError());
    }
    endResetModel();
    // A failure to fetch the first batch is told here, as for a statement refused.
    ReadFailure::check(this);
    emit queryChanged();
}

void ReportQueryModel::clear()
{
    beginResetModel();
    dropRows();
    QSqlDoubleQueryModel::clear();
    endResetModel();
}

void ReportQueryModel::queryChange()
{
    // A query object given from outside is read the stock way.
    if (!m_settingQuery)
        dropRows();
    QSqlDoubleQueryModel::queryChange();
}

void ReportQueryModel::dropRows()
{
    m_packed = false;
    m_atEnd = true;
    m_rows = 0;
    m_shownRows = 0;
    m_columns = 0;
    m_reader = QSqlQuery();
    m_nullValues.clear();
    m_values.clear();
    m_kinds.clear();
    m_texts.clear();
    m_texts.shrink_to_fit();
    m_textKeys = QHash<QString, quint32>();
    m_others.clear();
    m_others.shrink_to_fit();
}

int ReportQueryModel::rowCount(const QModelIndex &parent) const
{
    if (!m_packed)
        return QSqlDoubleQueryModel::rowCount(parent);
    return parent.isValid() ? 0 : m_shownRows;
}

bool ReportQueryModel::canFetchMore(const QModelIndex &parent) const
{
    if (!m_packed)
        return QSqlDoubleQueryModel::canFetchMore(parent);
    return !parent.isValid() && !m_atEnd;
}

void ReportQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!m_packed) {
        QSqlDoubleQueryModel::fetchMore(parent);
        return;
    }
    if (parent.isValid() || m_atEnd)
        return;
    readBatch();
    if (m_rows > m_shownRows) {
        beginInsertRows(QModelIndex(), m_shownRows, m_rows - 1);
        m_shownRows = m_rows;
        endInsertRows();
    }
    // The rows read before a page that could not be read stay, but the user is told that the list
    // stops short.
    if (m_atEnd && m_reader.lastError().isValid())
        ReadFailure::report(m_reader.lastError());
}

void ReportQueryModel::readBatch()
{
    for (int read = 0; read < Batch; ++read) {
        if (!m_reader.next()) {
            m_atEnd = true;
            return;
        }
        for (int column = 0; column < m_columns; ++column)
            pack(m_reader.value(column), column);
        ++m_rows;
    }
}

void ReportQueryModel::pack(const QVariant &value, int column)
{
    quint64 bits = 0;
    Kind kind = Other;
    if (value.isNull()) {
        kind = Null;
        m_nullValues[column] = value;
    } else {
        switch (value.userType()) {
        case QMetaType::Int:
            kind = Int;
            bits = quint64(qint64(value.toInt()));
            break;
        case QMetaType::UInt:
            kind = UInt;
            bits = value.toUInt();
            break;
        case QMetaType::LongLong:
            kind = LongLong;
            bits = quint64(value.toLongLong());
            break;
        case QMetaType::ULongLong:
            kind = ULongLong;
            bits = value.toULongLong();
            break;
        case QMetaType::Double: {
            kind = Double;
            const double number = value.toDouble();
            std::memcpy(&bits, &number, sizeof bits);
            break;
        }
        case QMetaType::Bool:
            kind = Bool;
            bits = value.toBool() ? 1 : 0;
            break;
        case QMetaType::QDate:
            kind = Date;
            bits = quint64(value.toDate().toJulianDay());
            break;
        case QMetaType::QTime:
            kind = Time;
            bits = quint64(value.toTime().msecsSinceStartOfDay());
            break;
        case QMetaType::QString: {
            kind = Text;
            const QString text = value.toString();
            const auto known = m_textKeys.constFind(text);
            if (known != m_textKeys.constEnd()) {
                bits = *known;
            } else {
                bits = quint32(m_texts.size());
                m_textKeys.insert(text, quint32(bits));
                m_texts.push_back(text);
            }
            break;
        }
        default:
            bits = m_others.size();
            m_others.push_back(value);
            break;
        }
    }
    m_values.append(bits);
    m_kinds.append(kind);
}

QVariant ReportQueryModel::unpack(int row, int column) const
{
    const size_t cell = size_t(row) * size_t(m_columns) + size_t(column);
    const quint64 bits = m_values.at(cell);
    switch (Kind(m_kinds.at(cell))) {
    case Null:
        return m_nullValues.at(column);
    case Int:
        return int(qint64(bits));
    case UInt:
        return uint(bits);
    case LongLong:
        return qlonglong(bits);
    case ULongLong:
        return qulonglong(bits);
    case Double: {
        double number = 0;
        std::memcpy(&number, &bits, sizeof number);
        return number;
    }
    case Bool:
        return bits != 0;
    case Date:
        return QDate::fromJulianDay(qint64(bits));
    case Time:
        return QTime::fromMSecsSinceStartOfDay(int(bits));
    case Text:
        return m_texts[bits];
    case Other:
        return m_others[bits];
    }
    return QVariant();
}

QVariant ReportQueryModel::storedData(const QModelIndex &index, int role) const
{
    if (!m_packed)
        return QSqlDoubleQueryModel::storedData(index, role);
    if (!index.isValid() || index.row() >= m_shownRows || index.column() >= m_columns
        || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return unpack(index.row(), index.column());
}
