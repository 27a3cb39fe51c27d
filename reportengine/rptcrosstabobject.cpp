#include "rptcrosstabobject.h"

#include "rptengine.h"
#include "rptfieldobject.h"

#include <QDomDocument>

RptCrossTabObject::~RptCrossTabObject()
{
    qDeleteAll(cells);
}

void RptCrossTabObject::setColCount(int n)
{
    m_colCount = m_totalByRowVisible ? n + 1 : n;
}

void RptCrossTabObject::setRowCount(int n)
{
    const int rowsPerPart = visibleRowCount();
    const int partsOfData = (n + rowsPerPart - 1) / rowsPerPart;
    m_rowCount = n;
    if (m_subTotalVisible)
        m_rowCount += partsOfData;
    if (m_headerVisible)
        m_rowCount += partsOfData;
    if (m_totalByColumnVisible)
        m_rowCount += 1;
}

// A row height below one, or a field lower than one row, still pages the grid: one row per part.
int RptCrossTabObject::visibleRowCount() const
{
    const int rowHeight = qMax(1, m_rowHeight);
    const int height = m_owner ? m_owner->getHeight() : 0;
    return qMax(1, height / rowHeight);
}

int RptCrossTabObject::parts() const
{
    const int rowsPerPart = visibleRowCount();
    return qMax(1, (m_rowCount + rowsPerPart - 1) / rowsPerPart);
}

int RptCrossTabObject::fieldRow(RptFieldObject *cell, bool absolute) const
{
    const int index = cells.indexOf(cell);
    if (index < 0 || m_colCount <= 0)
        return -1;
    const int row = index / m_colCount;
    if (absolute)
        return row;
    const int part = row / visibleRowCount();
    if (!m_headerVisible)
        return row - part;
    if (m_subTotalVisible)
        return row - 1 - 2 * part;
    return row - 1 - part;
}

int RptCrossTabObject::fieldCol(RptFieldObject *cell) const
{
    const int index = cells.indexOf(cell);
    if (index < 0 || m_colCount <= 0)
        return -1;
    return index % m_colCount;
}

bool RptCrossTabObject::isHeaderField(RptFieldObject *cell) const
{
    const int row = fieldRow(cell, true);
    return m_headerVisible && row >= 0 && row % visibleRowCount() == 0;
}

bool RptCrossTabObject::isTotalField(RptFieldObject *cell) const
{
    const int col = fieldCol(cell);
    const int row = fieldRow(cell, true);
    if (col < 0)
        return false;
    const int rowInPart = row % visibleRowCount();
    const bool lastColumn = m_totalByRowVisible && col + 1 == m_colCount;
    const bool closesPart = m_subTotalVisible && rowInPart + 1 == visibleRowCount();
    if (m_totalByColumnVisible) {
        return lastColumn || row + 1 == m_rowCount || closesPart
            || (m_subTotalVisible && row + 2 == m_rowCount);
    }
    return lastColumn || closesPart || (m_subTotalVisible && row + 1 == m_rowCount);
}

void RptCrossTabObject::total(RptFieldObject *cell)
{
    if (isHeaderField(cell))
        return;
    const int col = fieldCol(cell);
    const int row = fieldRow(cell, true);
    if (col < 0)
        return;
    const int rowsPerPart = visibleRowCount();
    const int part = row / rowsPerPart;
    const bool lastRow = row + 1 == m_rowCount;
    double sum = 0;
    for (RptFieldObject *other : qAsConst(cells)) {
        if (other == cell)
            continue;
        const int otherRow = fieldRow(other, true);
        if (col + 1 == m_colCount) {
            if (otherRow == row)
                sum += other->value.toDouble();
        } else if (fieldCol(other) == col && !isTotalField(other)) {
            if (lastRow || otherRow / rowsPerPart == part)
                sum += other->value.toDouble();
        }
    }
    cell->value = QString::number(sum, 'g', 6);
}

void RptCrossTabObject::header(RptFieldObject *cell)
{
    const int col = fieldCol(cell);
    if (col >= 0 && col < columns.size())
        cell->value = columns.at(col).caption;
}

void RptCrossTabObject::buildMatrix()
{
    qDeleteAll(cells);
    cells.clear();
    m_processedCount = 0;
    m_matrixBuilt = true;
    if (m_colCount <= 0 || m_rowCount <= 0)
        return;

    const int defaultWidth = rect.width() / m_colCount;
    for (int r = 0; r < m_rowCount; ++r) {
        // The grid starts at the field's own left edge.
        int x = rect.left();
        for (int c = 0; c < m_colCount; ++c) {
            auto *cell = new RptFieldObject();
            cell->type = RptName::label;
            cell->parentCrossTab = this;
            if (m_owner) {
                cell->parentBand = m_owner->parentBand;
                cell->setEngine(m_owner->engine());
                cell->font = m_owner->font;
            }
            cell->setName(QStringLiteral("f%1%2").arg(c).arg(r));
            const int width = c < columns.size() && columns.at(c).width != 0 ? columns.at(c).width : defaultWidth;
            const int top = rect.top() + r * m_rowHeight;
            cell->rect = QRect(QPoint(x, top), QPoint(x + width - 1, top + m_rowHeight - 1));
            x += width;
            cells.append(cell);
        }
    }
    for (RptFieldObject *cell : qAsConst(cells)) {
        if (isTotalField(cell)) {
            cell->setBackgroundColor(totalBackgroundColor);
            cell->alignment = Qt::AlignHCenter | Qt::AlignVCenter;
        } else if (isHeaderField(cell)) {
            cell->setBackgroundColor(headerBackgroundColor);
            header(cell);
            cell->alignment = Qt::AlignHCenter | Qt::AlignVCenter;
        } else {
            cell->alignment = Qt::AlignLeft;
        }
    }
}

void RptCrossTabObject::loadParamFromXML(const QDomElement &e)
{
    m_rowHeight = e.attribute(QStringLiteral("rowHeight"), QStringLiteral("20")).toInt();
    m_colCount = e.attribute(QStringLiteral("colCount"), QStringLiteral("3")).toInt();
    m_totalByColumnVisible = e.attribute(QStringLiteral("totalByColVisible"), QStringLiteral("1")).toInt() != 0;
    m_totalByRowVisible = e.attribute(QStringLiteral("totalByRowVisible"), QStringLiteral("1")).toInt() != 0;
    m_subTotalVisible = e.attribute(QStringLiteral("subtotalIsVisible")).toInt() != 0;
    m_headerVisible = e.attribute(QStringLiteral("headerIsVisible")).toInt() != 0;
    totalBackgroundColor = colorFromString(
        e.attribute(QStringLiteral("totalBackgroundColor"), QStringLiteral("rgba(255,255,255,255)")));
    headerBackgroundColor = colorFromString(
        e.attribute(QStringLiteral("headerBackgroundColor"), QStringLiteral("rgba(255,255,255,255)")));
    dataSourceName = e.attribute(QStringLiteral("dataSourceName"));
    columns.clear();
    for (QDomNode node = e.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement child = node.toElement();
        Column column;
        column.caption = child.attribute(QStringLiteral("caption"));
        column.value = child.attribute(QStringLiteral("value"));
        column.width = child.attribute(QStringLiteral("width")).toInt();
        columns.append(column);
    }
}
