#ifndef RPTPAGEOBJECT_H
#define RPTPAGEOBJECT_H

#include "rptname.h"
#include "rptsqlconnection.h"

#include <QColor>
#include <QDebug>
#include <QDomElement>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>

class RptBandObject;
class RptDsAbstract;
class RptEngine;
class RptFieldObject;

// One report page of a template: paper, margins, frame, watermark, its bands and, while a run
// uses them, its data sources.
class RptPageObject : public QObject
{
    Q_OBJECT

public:
    explicit RptPageObject(QObject *engine = nullptr);
    ~RptPageObject() override;

    using QObject::setProperty;
    void setProperty(RptEngine *engine, const QDomElement &e);
    RptBandObject *getBand(RptName::BandType type, int bandNo = 0, int groupLevel = 0) const;
    int bandsCountByType(RptName::BandType type) const;
    QList<RptFieldObject *> crossTabFields() const;
    void resetCrossTabCounts();
    int crossTabParts() const;
    RptFieldObject *findFieldObjectByName(const QString &name) const;

    bool isVisible() const { return m_visible; }
    Q_INVOKABLE void setVisible(bool visible) { m_visible = visible; }
    quint16 pageCount() const { return m_pageCount; }
    void setPageCount(quint16 count) { m_pageCount = count; }

    int pageNo = 0;
    int orientation = 0;
    int pageHeight = 1188;
    int pageWidth = 840;
    int marginsLeft = 40;
    int marginsRight = 40;
    int marginsTop = 40;
    int marginsBottom = 40;
    bool border = false;
    int borderWidth = 1;
    QColor borderColor = Qt::black;
    QString borderStyle = QStringLiteral("solid");
    bool watermark = false;
    float watermarkOpacity = 1.0f;
    QPixmap watermarkPixmap;
    // The page's data sources while a run uses them; children of the engine, released with the page.
    RptDsAbstract *dataSource = nullptr;
    RptDsAbstract *sqlDataSource = nullptr;
    RptSqlConnection userSqlConnection;
    QList<RptBandObject *> bandList;
    RptEngine *engine = nullptr;

private:
    bool m_visible = true;
    quint16 m_pageCount = 0;
};

QDebug operator<<(QDebug dbg, const RptPageObject &page);

#endif // RPTPAGEOBJECT_H
