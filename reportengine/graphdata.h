#ifndef GRAPHDATA_H
#define GRAPHDATA_H

#include <QColor>
#include <QList>
#include <QMetaType>
#include <QString>

// One value of a chart: a line point, a bar value or a pie slice.
struct GraphValue
{
    QString caption;
    qreal x = 0;
    qreal y = 0;
};

// One series (or bar set) of a chart as the host sees it while a diagram field is drawn.
struct GraphData
{
    QList<GraphValue> values;
    QColor color;
    QString graphDS;
    QString caption;
};

typedef QList<GraphData> GraphDataList;

Q_DECLARE_METATYPE(GraphDataList)

#endif // GRAPHDATA_H
