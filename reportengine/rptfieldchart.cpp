// Charts of diagram fields: built once from the template, offered to the host as plain data on
// every drawing, and rebuilt from what the host leaves unless the chart is static.
#include "rptfieldobject.h"

#include "rptengine.h"

#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>
#include <QtCharts/QStackedBarSeries>

using namespace QtCharts;

namespace {

const char *const GraphDSProperty = "graphDS";

bool flag(const QDomElement &e, const QString &name, const QString &def)
{
    return e.attribute(name, def).toInt() != 0;
}

QAbstractBarSeries *barSeries(QAbstractSeries *series)
{
    if (series->type() == QAbstractSeries::SeriesTypeBar || series->type() == QAbstractSeries::SeriesTypeStackedBar)
        return static_cast<QAbstractBarSeries *>(series);
    return nullptr;
}

} // namespace

void RptFieldObject::loadChart(const QDomElement &e)
{
    delete chart;
    chart = new QChart(nullptr, Qt::WindowFlags());
    chart->setTitle(e.attribute(QStringLiteral("caption")));
    chart->legend()->setVisible(flag(e, QStringLiteral("showLegend"), QStringLiteral("1")));
    chart->setProperty("staticChart", e.attribute(QStringLiteral("staticChart"), QStringLiteral("1")).toInt());

    QFont titleFont = chart->titleFont();
    titleFont.fromString(e.attribute(QStringLiteral("titleFont"), titleFont.toString()));
    chart->setTitleFont(titleFont);
    QFont legendFont = chart->legend()->font();
    legendFont.fromString(e.attribute(QStringLiteral("legendFont"), legendFont.toString()));
    chart->legend()->setFont(legendFont);

    QBrush brush = chart->legend()->labelBrush();
    brush.setColor(colorFromString(e.attribute(QStringLiteral("colorLegend"))));
    chart->legend()->setLabelBrush(brush);
    brush = chart->backgroundBrush();
    brush.setColor(colorFromString(e.attribute(QStringLiteral("colorBackground"))));
    brush.setStyle(Qt::SolidPattern);
    chart->setBackgroundBrush(brush);
    brush = chart->titleBrush();
    brush.setColor(colorFromString(e.attribute(QStringLiteral("colorTitle"))));
    chart->setTitleBrush(brush);

    switch (e.attribute(QStringLiteral("legendAligment")).toInt()) {
    case 0:
        chart->legend()->setAlignment(Qt::AlignTop);
        break;
    case 1:
        chart->legend()->setAlignment(Qt::AlignBottom);
        break;
    case 2:
        chart->legend()->setAlignment(Qt::AlignLeft);
        break;
    case 3:
        chart->legend()->setAlignment(Qt::AlignRight);
        break;
    default:
        chart->legend()->setAlignment(Qt::Alignment());
        break;
    }

    const QString chartType = e.attribute(QStringLiteral("chartType"));
    if (chartType.contains(QLatin1String("SeriesTypeLine"))) {
        for (QDomElement child = e.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
            auto *series = new QLineSeries();
            series->setName(child.attribute(QStringLiteral("caption")));
            series->setColor(colorFromString(child.attribute(QStringLiteral("color"))));
            series->setProperty(GraphDSProperty, child.attribute(QStringLiteral("graphDS")));
            for (QDomNode point = child.firstChild(); !point.isNull(); point = point.nextSibling()) {
                const QDomElement p = point.toElement();
                series->append(p.attribute(QStringLiteral("x")).toDouble(), p.attribute(QStringLiteral("y")).toDouble());
            }
            chart->addSeries(series);
        }
    }
    if (chartType == QLatin1String("SeriesTypeBar") || chartType == QLatin1String("SeriesTypeStackedBar")) {
        QAbstractBarSeries *series = chartType == QLatin1String("SeriesTypeBar")
            ? static_cast<QAbstractBarSeries *>(new QBarSeries())
            : static_cast<QAbstractBarSeries *>(new QStackedBarSeries());
        for (QDomElement child = e.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
            auto *set = new QBarSet(child.attribute(QStringLiteral("caption")));
            set->setColor(colorFromString(child.attribute(QStringLiteral("color"))));
            set->setProperty(GraphDSProperty, child.attribute(QStringLiteral("graphDS")));
            for (QDomNode value = child.firstChild(); !value.isNull(); value = value.nextSibling())
                set->append(value.toElement().attribute(QStringLiteral("val")).toDouble());
            series->append(set);
        }
        chart->addSeries(series);
        chart->createDefaultAxes();
        chart->update();
    }
    if (chartType == QLatin1String("SeriesTypePie")) {
        auto *series = new QPieSeries();
        series->setName(e.attribute(QStringLiteral("caption")));
        series->setHoleSize(e.attribute(QStringLiteral("holeSize"), QStringLiteral("0.00")).toDouble());
        series->setProperty(GraphDSProperty, e.attribute(QStringLiteral("graphDS")));
        chart->addSeries(series);
        for (QDomElement child = e.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
            auto *slice = new QPieSlice(child.attribute(QStringLiteral("caption")),
                                        child.attribute(QStringLiteral("value")).toDouble(), series);
            slice->setExploded(flag(child, QStringLiteral("sliceExploaded"), QStringLiteral("0")));
            slice->setLabelVisible(flag(child, QStringLiteral("labelVisible"), QStringLiteral("0")));
            series->append(slice);
            slice->setColor(colorFromString(child.attribute(QStringLiteral("color"))));
        }
    }
    chart->createDefaultAxes();
}

GraphDataList RptFieldObject::getDiagramData()
{
    GraphDataList list;
    if (!chart || chart->series().isEmpty())
        return list;
    const QList<QAbstractSeries *> all = chart->series();
    QAbstractSeries *first = all.first();
    if (first->type() == QAbstractSeries::SeriesTypeLine) {
        for (QAbstractSeries *s : all) {
            auto *series = qobject_cast<QLineSeries *>(s);
            if (!series)
                continue;
            GraphData data;
            for (const QPointF &point : series->points()) {
                GraphValue value;
                value.x = point.x();
                value.y = point.y();
                data.values.append(value);
            }
            data.color = series->color();
            data.graphDS = series->property(GraphDSProperty).toString();
            data.caption = series->name();
            list.append(data);
        }
    } else if (QAbstractBarSeries *series = barSeries(first)) {
        for (QBarSet *set : series->barSets()) {
            GraphData data;
            for (int i = 0; i < set->count(); ++i) {
                GraphValue value;
                value.y = set->at(i);
                data.values.append(value);
            }
            data.color = set->color();
            data.graphDS = set->property(GraphDSProperty).toString();
            data.caption = set->label();
            list.append(data);
        }
    } else if (auto *pie = qobject_cast<QPieSeries *>(first)) {
        GraphData data;
        for (QPieSlice *slice : pie->slices()) {
            GraphValue value;
            value.caption = slice->label();
            value.y = slice->value();
            data.values.append(value);
        }
        data.graphDS = pie->property(GraphDSProperty).toString();
        list.append(data);
    }
    return list;
}

void RptFieldObject::updateDiagram(GraphDataList &data)
{
    if (!chart || chart->property("staticChart").toInt() == 1 || chart->series().isEmpty())
        return;
    QAbstractSeries *first = chart->series().first();
    QAbstractBarSeries *bars = barSeries(first);
    if (bars)
        bars->clear();

    // Re-adding a series moves it to the end: index the series as they stood before.
    const QList<QAbstractSeries *> all = chart->series();
    for (int i = 0; i < data.size(); ++i) {
        const GraphData &entry = data.at(i);
        if (first->type() == QAbstractSeries::SeriesTypeLine) {
            if (i >= all.size())
                continue;
            auto *series = qobject_cast<QLineSeries *>(all.at(i));
            if (!series)
                continue;
            series->clear();
            for (const GraphValue &value : entry.values)
                series->append(value.x, value.y);
            chart->removeSeries(series);
            chart->addSeries(series);
        } else if (bars) {
            auto *set = new QBarSet(entry.caption);
            set->setColor(entry.color);
            for (const GraphValue &value : entry.values)
                set->append(value.y);
            bars->append(set);
        } else if (auto *pie = qobject_cast<QPieSeries *>(first)) {
            pie->clear();
            for (const GraphValue &value : entry.values)
                pie->append(new QPieSlice(value.caption, value.y, pie));
            chart->removeSeries(pie);
            chart->addSeries(pie);
        }
    }
    chart->removeSeries(first);
    chart->addSeries(first);
}
