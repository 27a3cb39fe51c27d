#ifndef RPTFIELDOBJECT_H
#define RPTFIELDOBJECT_H

#include "graphdata.h"
#include "rptname.h"

#include <QByteArray>
#include <QColor>
#include <QDomElement>
#include <QFont>
#include <QObject>
#include <QRect>
#include <QScriptString>
#include <QString>

#include <memory>

namespace QtCharts {
class QChart;
}

class RptBandObject;
class RptCrossTabObject;
class RptEngine;

// One field of a band: its template attributes, the state the drawing leaves in it, and the
// properties through which scripts read and move it.
class RptFieldObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString value MEMBER value)
    Q_PROPERTY(int width READ getWidth WRITE setWidth)
    Q_PROPERTY(int height READ getHeight WRITE setHeight)
    Q_PROPERTY(int top READ getTop WRITE setTop)
    Q_PROPERTY(int left READ getLeft WRITE setLeft)
    Q_PROPERTY(bool visible READ isVisible WRITE setVisible)
    Q_PROPERTY(int rotate MEMBER rotate)
    // A script changes only the colour in use; highlighting still falls back to the loaded one.
    Q_PROPERTY(QColor fontColor MEMBER fontColor)
    Q_PROPERTY(QColor backgroundColor MEMBER backgroundColor)

public:
    explicit RptFieldObject(QObject *parent = nullptr);
    ~RptFieldObject() override;

    using QObject::setProperty;
    void setProperty(RptEngine *engine, const QDomElement &e);

    Q_INVOKABLE int recNo() const { return m_recNo; }
    Q_INVOKABLE void setVisible(bool visible) { m_visible = visible; }
    Q_INVOKABLE void setWidth(int w) { rect.setWidth(w); }
    Q_INVOKABLE int getWidth() const { return rect.width(); }
    Q_INVOKABLE void setHeight(int h) { rect.setHeight(h); }
    Q_INVOKABLE int getHeight() const { return rect.height(); }
    Q_INVOKABLE void setTop(int t) { rect.setTop(t); }
    Q_INVOKABLE int getTop() const { return rect.top(); }
    Q_INVOKABLE void setLeft(int l) { rect.setLeft(l); }
    Q_INVOKABLE int getLeft() const { return rect.left(); }

    bool isVisible() const { return m_visible; }
    void setName(const QString &text);
    void setFontColor(const QColor &color);
    void setBackgroundColor(const QColor &color);
    QColor baseFontColor() const { return m_baseFontColor; }
    QColor baseBackgroundColor() const { return m_baseBackgroundColor; }

    void updateHighlightingParam();
    bool isCrossTabCell() const { return parentCrossTab != nullptr; }

    void setRecNo(int recNo) { m_recNo = recNo; }
    int reportPage() const { return m_reportPage; }
    void setReportPage(int page) { m_reportPage = page; }
    int pageTop() const { return m_pageTop; }
    void setPageTop(int top) { m_pageTop = top; }
    RptEngine *engine() const { return m_engine; }
    void setEngine(RptEngine *engine) { m_engine = engine; }

    QString getHTMLStyle();
    // The element of a shape in the HTML output, filled and framed as the page draws it; empty for
    // every other kind of field.
    QString getHTMLShape();

    // A side of a text or picture box is drawn unless its colour is white, opaque or transparent.
    static bool sideDrawn(const QColor &side);
    // A text or picture box is filled unless its background is opaque white, the page's own colour.
    bool boxFilled() const;

    // Chart of a diagram field (the chart drawing code).
    GraphDataList getDiagramData();
    void updateDiagram(GraphDataList &data);

    QString name;
    QString value;
    QRect rect;
    QColor borderTop = Qt::black;
    QColor borderBottom = Qt::black;
    QColor borderLeft = Qt::black;
    QColor borderRight = Qt::black;
    QColor borderColor = Qt::black;
    QColor fontColor = Qt::black;
    QColor backgroundColor = Qt::white;
    int renderingMode = 0;
    int borderWidth = 1;
    bool autoHeight = false;
    bool textWrap = true;
    int rotate = 0;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString borderStyle;
    QFont font;
    RptName::FieldType type = RptName::label;
    QString format;
    QString highlighting;
    QString imgFormat;
    QString printing = QStringLiteral("1");
    int barcodeType = 13;
    int barcodeFrameType = 0;
    int barcodeHeight = 50;
    int ignoreAspectRatio = 1;
    QByteArray picture;
    RptBandObject *parentBand = nullptr;
    RptCrossTabObject *parentCrossTab = nullptr;
    QtCharts::QChart *chart = nullptr;
    int lineStartX = 0;
    int lineEndX = 0;
    int lineStartY = 0;
    int lineEndY = 0;
    bool arrowStart = false;
    bool arrowEnd = false;
    RptCrossTabObject *crossTab = nullptr;

    // The names of the script's functions run around this field, "<name>BeforeData" and
    // "<name>AfterData", in the script engine's own form (RptEngine::fieldHooks). They live and die
    // with the field, so a run that makes its fields again starts without them.
    struct ScriptHooks
    {
        QString fieldName;
        QScriptString before;
        QScriptString after;
    };
    std::unique_ptr<ScriptHooks> scriptHooks;

private:
    // The box as the HTML output places it: an automatic-height field takes its whole row there too.
    QRect htmlBox();
    // The fill and the four sides of a text or picture box as the page draws them.
    QString htmlFillAndSides() const;

    // Builds the chart of a diagram field from its element (the chart code owns this).
    void loadChart(const QDomElement &e);

    QColor m_baseFontColor = Qt::black;
    QColor m_baseBackgroundColor = Qt::white;
    int m_recNo = 0;
    int m_reportPage = 0;
    int m_pageTop = 0;
    RptEngine *m_engine = nullptr;
    bool m_visible = true;
};

#endif // RPTFIELDOBJECT_H
