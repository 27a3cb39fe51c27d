#include "datahub/textfold.h"

QString TextFold::folded(const QString &expression)
{
    return QStringLiteral("LOWER(%1)").arg(expression);
}

QString TextFold::sameText(const QString &table, const QString &column)
{
    return QStringLiteral("%1 = %2").arg(folded(column),
                                         folded(QStringLiteral("cast(? as type of column %1.%2)").arg(table, column)));
}
