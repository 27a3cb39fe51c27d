#include "rptdsinline.h"

RptDsInline::RptDsInline(QObject *parent)
    : RptDsAbstract(parent)
{
}

void RptDsInline::loadXML(QDomElement element)
{
    m_name = element.attribute(QStringLiteral("name"));
    m_recordCount = element.attribute(QStringLiteral("rowCount")).toInt();
    const QString delimiter = element.attribute(QStringLiteral("delimiter"));
    auto split = [&delimiter](const QString &text) {
        // An empty delimiter would split between every character; a row is then one column.
        return delimiter.isEmpty() ? QStringList{text} : text.split(delimiter, Qt::KeepEmptyParts);
    };
    fieldNames = split(element.firstChild().toElement().attribute(QStringLiteral("value")));
    columnCount = fieldNames.size();
    rows.clear();
    for (QDomElement row = element.firstChildElement(QStringLiteral("Row")); !row.isNull();
         row = row.nextSiblingElement(QStringLiteral("Row")))
        rows.append(split(row.attribute(QStringLiteral("value"))));
}

QString RptDsInline::getFieldValue(QString fieldName, int recNo)
{
    const int column = fieldNames.indexOf(fieldName);
    if (column < 0 || recNo < 0 || recNo + 1 >= rows.size())
        return QString();
    const QStringList &row = rows.at(recNo + 1);
    return column < row.size() ? row.at(column) : QString();
}
