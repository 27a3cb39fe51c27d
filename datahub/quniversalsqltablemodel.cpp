#include "datahub/quniversalsqltablemodel.h"

#include <QDebug>

QUniversalSqlTableModel::QUniversalSqlTableModel(QObject *parent, QSqlDatabase db)
    : QSuperSqlTableModel(parent, db)
{
}

QUniversalSqlTableModel::~QUniversalSqlTableModel() = default;

QVariant QUniversalSqlTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (isWriting())
            qDebug() << "submitting";
        const auto converter = m_converters.constFind(index.column());
        if (converter == m_converters.constEnd() || isWriting() || m_keepingStoredRow)
            return QSuperSqlTableModel::data(index, role);
        const QVariant code = QSuperSqlTableModel::data(index, Qt::DisplayRole);
        if (code.isNull())
            return QVariant();
        return (*converter)(QVariant(code.toInt()));
    }
    if (role == Qt::UserRole)
        return QSuperSqlTableModel::data(index, Qt::DisplayRole);
    return QSuperSqlTableModel::data(index, role);
}

bool QUniversalSqlTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    // At the first change of a row the base class keeps the row as read, through data(), to give it
    // back on revert. It must keep the stored codes: a shown word put back on revert reads as code 0,
    // and the next save of that row would store it.
    m_keepingStoredRow = true;
    const bool done = QSuperSqlTableModel::setData(index, value, role);
    m_keepingStoredRow = false;
    return done;
}
