#ifndef RPTCROSSTABOBJECT_H
#define RPTCROSSTABOBJECT_H

#include <QColor>
#include <QDomElement>
#include <QList>
#include <QMetaType>
#include <QRect>
#include <QString>

class RptFieldObject;

// One cell handed to the spreadsheet collector.
struct RptTabElement
{
    RptFieldObject *field = nullptr;
    QString text;
    int row = 0;
    int col = 0;
};

// The grid of generated label cells behind a crossTab field.
class RptCrossTabObject
{
public:
    struct Column
    {
        QString caption;
        QString value;
        int width = 0;
    };

    RptCrossTabObject() = default;
    ~RptCrossTabObject();
    RptCrossTabObject(const RptCrossTabObject &) = delete;
    RptCrossTabObject &operator=(const RptCrossTabObject &) = delete;

    RptFieldObject *owner() const { return m_owner; }
    void setOwner(RptFieldObject *field) { m_owner = field; }

    int rowHeight() const { return m_rowHeight; }
    void setRowHeight(int height) { m_rowHeight = height; }
    int colCount() const { return m_colCount; }
    void setColCount(int n);
    int rowCount() const { return m_rowCount; }
    void setRowCount(int n);
    bool isTotalByRowVisible() const { return m_totalByRowVisible; }
    void setTotalByRowVisible(bool visible) { m_totalByRowVisible = visible; }
    bool isTotalByColumnVisible() const { return m_totalByColumnVisible; }
    void setTotalByColumnVisible(bool visible) { m_totalByColumnVisible = visible; }
    bool isSubTotalVisible() const { return m_subTotalVisible; }
    void setSubTotalVisible(bool visible) { m_subTotalVisible = visible; }
    bool isHeaderVisible() const { return m_headerVisible; }
    void setHeaderVisible(bool visible) { m_headerVisible = visible; }
    int processedCount() const { return m_processedCount; }
    void setProcessedCount(int count) { m_processedCount = count; }
    bool isMatrixBuilt() const { return m_matrixBuilt; }
    int visibleRowCount() const;
    int parts() const;

    int fieldRow(RptFieldObject *cell, bool absolute) const;
    int fieldCol(RptFieldObject *cell) const;
    bool isHeaderField(RptFieldObject *cell) const;
    bool isTotalField(RptFieldObject *cell) const;
    void total(RptFieldObject *cell);
    void header(RptFieldObject *cell);
    void buildMatrix();
    void addField(RptFieldObject *cell) { cells.append(cell); }
    void addElement(const RptTabElement &element) { elements.append(element); }

    void loadParamFromXML(const QDomElement &e);

    QString name;
    QRect rect = QRect(0, 0, 500, 500);
    QList<RptFieldObject *> cells;
    QList<Column> columns;
    QString dataSourceName;
    QColor totalBackgroundColor = Qt::white;
    QColor headerBackgroundColor = Qt::white;
    QList<RptTabElement> elements;

private:
    RptFieldObject *m_owner = nullptr;
    int m_colCount = 3;
    int m_rowCount = 3;
    int m_rowHeight = 20;
    int m_processedCount = 0;
    bool m_matrixBuilt = false;
    bool m_totalByRowVisible = false;
    bool m_totalByColumnVisible = false;
    bool m_subTotalVisible = false;
    bool m_headerVisible = false;
};

Q_DECLARE_METATYPE(RptCrossTabObject *)

#endif // RPTCROSSTABOBJECT_H
