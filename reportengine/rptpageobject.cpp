#include "rptpageobject.h"

#include "rptbandobject.h"
#include "rptcrosstabobject.h"
#include "rptdsabstract.h"
#include "rptengine.h"
#include "rptfieldobject.h"

RptPageObject::RptPageObject(QObject *engine)
    : QObject(engine)
    , engine(qobject_cast<RptEngine *>(engine))
{
}

RptPageObject::~RptPageObject()
{
    qDeleteAll(bandList);
    // The data sources belong to this page's run only; keeping them would keep their database
    // connections open for as long as the engine lives.
    delete dataSource;
    delete sqlDataSource;
}

void RptPageObject::setProperty(RptEngine *engine, const QDomElement &e)
{
    const QByteArray png = QByteArray::fromBase64(e.attribute(QStringLiteral("watermarkPixmap")).toLatin1());
    if (png.isEmpty() || !watermarkPixmap.loadFromData(png, "PNG"))
        watermarkPixmap = QPixmap();
    pageHeight = e.attribute(QStringLiteral("pageHeight")).toInt();
    pageWidth = e.attribute(QStringLiteral("pageWidth")).toInt();
    marginsLeft = e.attribute(QStringLiteral("marginsLeft")).toInt();
    marginsRight = e.attribute(QStringLiteral("marginsRight")).toInt();
    marginsTop = e.attribute(QStringLiteral("marginsTop")).toInt();
    marginsBottom = e.attribute(QStringLiteral("marginsBottom")).toInt();
    orientation = e.attribute(QStringLiteral("orientation")).toInt();
    pageNo = e.attribute(QStringLiteral("pageNo")).toInt();
    border = e.attribute(QStringLiteral("border")).toInt() != 0;
    borderWidth = e.attribute(QStringLiteral("borderWidth")).toInt();
    borderColor = colorFromString(e.attribute(QStringLiteral("borderColor")));
    borderStyle = e.attribute(QStringLiteral("borderStyle"));
    watermark = e.attribute(QStringLiteral("watermark"), QStringLiteral("0")).toInt() != 0;
    watermarkOpacity = e.attribute(QStringLiteral("watermarkOpacity"), QStringLiteral("0.5")).toFloat();

    for (QDomElement child = e.firstChildElement(QStringLiteral("ReportBand")); !child.isNull();
         child = child.nextSiblingElement(QStringLiteral("ReportBand"))) {
        auto *band = new RptBandObject();
        band->parentPage = this;
        band->setProperty(engine, child);
        bandList.append(band);
    }
}

RptBandObject *RptPageObject::getBand(RptName::BandType type, int bandNo, int groupLevel) const
{
    for (RptBandObject *band : bandList) {
        if (band->type != type)
            continue;
        switch (type) {
        case RptName::DataGroupFooter:
            if (band->bandNo == bandNo && band->groupLevel == groupLevel)
                return band;
            break;
        case RptName::MasterHeader:
        case RptName::DataGroupHeader:
        case RptName::MasterData:
        case RptName::MasterFooter:
            if (band->bandNo == bandNo)
                return band;
            break;
        default:
            return band;
        }
    }
    return nullptr;
}

int RptPageObject::bandsCountByType(RptName::BandType type) const
{
    int highest = 0;
    for (RptBandObject *band : bandList) {
        if (band->type == type && band->bandNo > highest)
            highest = band->bandNo;
    }
    return highest;
}

QList<RptFieldObject *> RptPageObject::crossTabFields() const
{
    QList<RptFieldObject *> fields;
    for (RptBandObject *band : bandList) {
        for (RptFieldObject *field : band->fieldList) {
            if (field->type == RptName::crossTab)
                fields.append(field);
        }
    }
    return fields;
}

void RptPageObject::resetCrossTabCounts()
{
    for (RptFieldObject *field : crossTabFields()) {
        if (field->crossTab)
            field->crossTab->setProcessedCount(0);
    }
}

int RptPageObject::crossTabParts() const
{
    const QList<RptFieldObject *> fields = crossTabFields();
    if (fields.isEmpty() || !fields.first()->crossTab)
        return 0;
    return fields.first()->crossTab->parts();
}

RptFieldObject *RptPageObject::findFieldObjectByName(const QString &name) const
{
    for (RptBandObject *band : bandList) {
        for (RptFieldObject *field : band->fieldList) {
            if (field->objectName() == name)
                return field;
        }
    }
    return nullptr;
}

QDebug operator<<(QDebug dbg, const RptPageObject &page)
{
    QDebugStateSaver saver(dbg);
    dbg.nospace() << "Report #" << page.pageNo << ' ' << page.bandList;
    return dbg;
}
