#include "rptbandobject.h"

#include "rptengine.h"
#include "rptfieldobject.h"

namespace {

RptName::BandType bandTypeFromName(const QString &name)
{
    static const QList<QPair<QString, RptName::BandType>> names = {
        {QStringLiteral("ReportTitle"), RptName::ReportTitle},
        {QStringLiteral("PageHeader"), RptName::PageHeader},
        {QStringLiteral("MasterData"), RptName::MasterData},
        {QStringLiteral("PageFooter"), RptName::PageFooter},
        {QStringLiteral("ReportSummary"), RptName::ReportSummary},
        {QStringLiteral("MasterFooter"), RptName::MasterFooter},
        {QStringLiteral("MasterHeader"), RptName::MasterHeader},
        {QStringLiteral("DataGroupHeader"), RptName::DataGroupHeader},
        {QStringLiteral("DataGroupFooter"), RptName::DataGroupFooter},
    };
    for (const auto &entry : names) {
        if (entry.first == name)
            return entry.second;
    }
    return static_cast<RptName::BandType>(0);
}

} // namespace

RptBandObject::~RptBandObject()
{
    qDeleteAll(fieldList);
}

void RptBandObject::setProperty(RptEngine *engine, const QDomElement &e)
{
    name = e.attribute(QStringLiteral("name"));
    height = e.attribute(QStringLiteral("height")).toInt();
    realHeight = height;
    width = e.attribute(QStringLiteral("width")).toInt();
    left = e.attribute(QStringLiteral("left")).toInt();
    right = e.attribute(QStringLiteral("right")).toInt();
    groupingField = e.attribute(QStringLiteral("groupingField"));
    groupLevel = e.attribute(QStringLiteral("groupLevel"), QStringLiteral("0")).toInt();
    showInGroup = e.attribute(QStringLiteral("showInGroup"), QStringLiteral("0")).toInt() != 0;
    startNewNumeration = e.attribute(QStringLiteral("startNewNumeration"), QStringLiteral("0")).toInt() != 0;
    startNewPage = e.attribute(QStringLiteral("startNewPage"), QStringLiteral("0")).toInt() != 0;
    bandNo = e.attribute(QStringLiteral("bandNo"), QStringLiteral("1")).toInt();
    dataSourceName = e.attribute(QStringLiteral("dataSourceName"));
    type = bandTypeFromName(e.attribute(QStringLiteral("type")));

    // Every child node is a field, a comment included (it becomes a label with every default).
    for (QDomNode node = e.firstChild(); !node.isNull(); node = node.nextSibling()) {
        auto *field = new RptFieldObject();
        field->parentBand = this;
        field->setProperty(engine, node.toElement());
        fieldList.append(field);
    }
}

void RptBandObject::addField(RptFieldObject *field)
{
    field->parentBand = this;
    field->setEngine(engine);
    fieldList.append(field);
}

QDebug operator<<(QDebug dbg, const RptBandObject &band)
{
    QDebugStateSaver saver(dbg);
    dbg.nospace() << band.name << ' ' << band.fieldList;
    return dbg;
}
