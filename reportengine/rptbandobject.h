#ifndef RPTBANDOBJECT_H
#define RPTBANDOBJECT_H

#include "rptname.h"

#include <QDebug>
#include <QDomElement>
#include <QList>
#include <QString>

class RptEngine;
class RptFieldObject;
class RptPageObject;

// One band of a report page and the fields it owns.
class RptBandObject
{
public:
    RptBandObject() = default;
    ~RptBandObject();
    RptBandObject(const RptBandObject &) = delete;
    RptBandObject &operator=(const RptBandObject &) = delete;

    void setProperty(RptEngine *engine, const QDomElement &e);
    void addField(RptFieldObject *field);

    QString name;
    QString groupingField;
    bool showInGroup = false;
    bool startNewPage = false;
    bool startNewNumeration = false;
    int groupLevel = 0;
    // Height of the row being laid out; automatic heights may raise it above `height`.
    int realHeight = 0;
    int height = 0;
    int width = 0;
    int left = 0;
    int right = 0;
    // 0 when the template named no known type: no lookup finds such a band.
    RptName::BandType type = static_cast<RptName::BandType>(0);
    int bandNo = 0;
    QString dataSourceName;
    QList<RptFieldObject *> fieldList;
    RptPageObject *parentPage = nullptr;
    RptEngine *engine = nullptr;
};

QDebug operator<<(QDebug dbg, const RptBandObject &band);

#endif // RPTBANDOBJECT_H
