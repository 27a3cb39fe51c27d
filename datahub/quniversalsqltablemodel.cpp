#include "datahub/quniversalsqltablemodel.h"
#include "datahub/debuglog.h"

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
            qCDebug(velloranLog) << "submitting";
        const auto converter = m_converters.constFind(index.column());
        if (converter == m_converters.constEnd() || isWriting())
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
