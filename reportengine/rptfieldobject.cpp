#include "rptfieldobject.h"

#include "rptbandobject.h"
#include "rptcrosstabobject.h"
#include "rptengine.h"

#include <QtCharts/QChart>
#include <cmath>

namespace {

int intAttribute(const QDomElement &e, const QString &name, const QString &def = QString())
{
    return e.attribute(name, def).toInt();
}

// The image boxes of the HTML output keep to even steps of four pixels.
int clearBitTwo(double v)
{
    return static_cast<int>(std::nearbyint(v)) & ~2;
}

// A colour as the browser reads it: see-through colours keep their alpha.
QString cssColour(const QColor &colour)
{
    if (colour.alpha() == 255)
        return colour.name();
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alphaF());
}

// The page's pen styles in the browser's words; a dash with dots is the nearest the browser has.
QString cssLineStyle(const QString &style)
{
    if (style == QLatin1String("dotted"))
        return style;
    if (style == QLatin1String("dashed") || style == QLatin1String("dot-dash")
        || style == QLatin1String("dot-dot-dash"))
        return QStringLiteral("dashed");
    return QStringLiteral("solid");
}

const QColor OpaqueWhite(255, 255, 255, 255);
const QColor TransparentWhite(255, 255, 255, 0);

} // namespace

RptFieldObject::RptFieldObject(QObject *parent)
    : QObject(parent)
{
    font.setPointSize(12);
    qRegisterMetaType<GraphDataList>("GraphDataList");
}

RptFieldObject::~RptFieldObject()
{
    delete chart;
    if (type == RptName::crossTab)
        delete crossTab;
}

void RptFieldObject::setProperty(RptEngine *engine, const QDomElement &e)
{
    m_engine = engine;
    highlighting = e.attribute(QStringLiteral("highlighting"));
    printing = e.attribute(QStringLiteral("printing"), QStringLiteral("1"));
    renderingMode = intAttribute(e, QStringLiteral("renderingMode"), QStringLiteral("0"));
    setName(e.attribute(QStringLiteral("name")));
    value = e.attribute(QStringLiteral("value"));
    rect = QRect(intAttribute(e, QStringLiteral("left")), intAttribute(e, QStringLiteral("top")),
                 intAttribute(e, QStringLiteral("width")), intAttribute(e, QStringLiteral("height")));
    borderTop = colorFromString(e.attribute(QStringLiteral("borderTop")));
    borderBottom = colorFromString(e.attribute(QStringLiteral("borderBottom")));
    borderLeft = colorFromString(e.attribute(QStringLiteral("borderLeft")));
    borderRight = colorFromString(e.attribute(QStringLiteral("borderRight")));
    borderWidth = e.attribute(QStringLiteral("borderWidth"), QStringLiteral("1"))
                      .remove(QStringLiteral("px"))
                      .toInt();
    borderStyle = e.attribute(QStringLiteral("borderStyle"), QStringLiteral("solid"));
    borderColor = colorFromString(e.attribute(QStringLiteral("borderColor")));
    rotate = intAttribute(e, QStringLiteral("rotate"), QStringLiteral("0"));
    alignment = RptEngine::getAligment(e);
    autoHeight = intAttribute(e, QStringLiteral("autoHeight"), QStringLiteral("0")) != 0;

    QFont f;
    f.setFamily(e.attribute(QStringLiteral("fontFamily")));
    const int size = intAttribute(e, QStringLiteral("fontSize"));
    if (size > 0)
        f.setPointSize(size);
    f.setWeight(intAttribute(e, QStringLiteral("fontBold")) != 0 ? 75 : 50);
    f.setItalic(intAttribute(e, QStringLiteral("fontItalic")) != 0);
    f.setUnderline(intAttribute(e, QStringLiteral("fontUnderline")) != 0);
    f.setStrikeOut(intAttribute(e, QStringLiteral("fontStrikeout")) != 0);
    font = f;

    setBackgroundColor(colorFromString(e.attribute(QStringLiteral("backgroundColor"))));
    setFontColor(colorFromString(e.attribute(QStringLiteral("fontColor"))));
    imgFormat = e.attribute(QStringLiteral("imgFormat"), QStringLiteral("PNG"));
    textWrap = intAttribute(e, QStringLiteral("textWrap"), QStringLiteral("1")) != 0;
    type = RptEngine::getFieldType(e);
    format = e.attribute(QStringLiteral("format"));
    barcodeType = intAttribute(e, QStringLiteral("barcodeType"), QStringLiteral("13"));
    barcodeFrameType = intAttribute(e, QStringLiteral("barcodeFrameType"), QStringLiteral("0"));
    barcodeHeight = intAttribute(e, QStringLiteral("barcodeHeight"), QStringLiteral("50"));
    const QString pictureText = e.attribute(QStringLiteral("picture"), QStringLiteral("text"));
    picture = pictureText == QLatin1String("text") ? QByteArray()
                                                   : QByteArray::fromBase64(pictureText.toLatin1());
    ignoreAspectRatio = intAttribute(e, QStringLiteral("ignoreAspectRatio"), QStringLiteral("1"));
    lineStartX = intAttribute(e, QStringLiteral("lineStartX"));
    lineEndX = intAttribute(e, QStringLiteral("lineEndX"));
    lineStartY = intAttribute(e, QStringLiteral("lineStartY"));
    lineEndY = intAttribute(e, QStringLiteral("lineEndY"));
    arrowStart = intAttribute(e, QStringLiteral("arrowStart"), QStringLiteral("0")) != 0;
    arrowEnd = intAttribute(e, QStringLiteral("arrowEnd"), QStringLiteral("0")) != 0;

    if (type == RptName::diagram) {
        loadChart(e);
    } else if (type == RptName::crossTab) {
        delete crossTab;
        crossTab = new RptCrossTabObject();
        crossTab->rect = rect;
        crossTab->setOwner(this);
        crossTab->loadParamFromXML(e);
    }
}

void RptFieldObject::setName(const QString &text)
{
    name = text;
    setObjectName(text);
}

void RptFieldObject::setFontColor(const QColor &color)
{
    fontColor = color;
    m_baseFontColor = color;
}

void RptFieldObject::setBackgroundColor(const QColor &color)
{
    backgroundColor = color;
    m_baseBackgroundColor = color;
}

void RptFieldObject::updateHighlightingParam()
{
    if (!m_engine)
        return;
    if (highlighting.isEmpty()) {
        // Without rules the field keeps its own settings. This runs for every field of every
        // record, so take them here rather than through the engine's text round trip, which
        // gives the very same font flags and colours.
        QFont f = font;
        f.setWeight(font.weight() > 57 ? 75 : 50);
        f.setItalic(font.style() != QFont::StyleNormal);
        f.setUnderline(font.underline());
        f.setStrikeOut(font.strikeOut());
        font = f;
        const QColor background = m_baseBackgroundColor;
        const QColor text = m_baseFontColor;
        backgroundColor = QColor(background.red(), background.green(), background.blue(), background.alpha());
        fontColor = QColor(text.red(), text.green(), text.blue(), text.alpha());
        return;
    }
    QFont f = font;
    f.setWeight(m_engine->processHighligthing(this, RptName::bold).toInt() != 0 ? 75 : 50);
    f.setItalic(m_engine->processHighligthing(this, RptName::italic).toInt() != 0);
    f.setUnderline(m_engine->processHighligthing(this, RptName::underline).toInt() != 0);
    f.setStrikeOut(m_engine->processHighligthing(this, RptName::strikeout).toInt() != 0);
    font = f;
    backgroundColor =
        colorFromString(m_engine->processHighligthing(this, RptName::backgroundColor).toString());
    fontColor = colorFromString(m_engine->processHighligthing(this, RptName::fontColor).toString());
}

bool RptFieldObject::sideDrawn(const QColor &side)
{
    return side != OpaqueWhite && side != TransparentWhite;
}

bool RptFieldObject::boxFilled() const
{
    return backgroundColor != OpaqueWhite;
}

QRect RptFieldObject::htmlBox()
{
    if (autoHeight && parentBand)
        rect.setBottom(rect.top() + parentBand->realHeight - 1);
    return QRect(rect.left(), m_pageTop, rect.width(), rect.height());
}

// In the browser every box lies over what was written before it, as on the page: a white fill the
// page leaves out would hide the shape beneath, and white sides would cross it.
QString RptFieldObject::htmlFillAndSides() const
{
    QString style = QStringLiteral("background:")
        + (boxFilled() ? cssColour(backgroundColor) : QStringLiteral("transparent")) + QLatin1Char(';');
    const QString line = cssLineStyle(borderStyle) + QStringLiteral(" thin ") + cssColour(borderColor);
    const QPair<const char *, QColor> sides[] = {
        {"left", borderLeft}, {"right", borderRight}, {"top", borderTop}, {"bottom", borderBottom}};
    for (const auto &side : sides) {
        style += QStringLiteral("border-") + QLatin1String(side.first) + QStringLiteral(": ")
            + (sideDrawn(side.second) ? line : QStringLiteral("none")) + QLatin1Char(';');
    }
    return style;
}

QString RptFieldObject::getHTMLShape()
{
    const bool polygon = type == RptName::triangle || type == RptName::rhombus;
    if (!polygon && type != RptName::reactangle && type != RptName::roundedReactangle && type != RptName::circle)
        return QString();
    const QRect box = htmlBox();
    const int w = box.width();
    const int h = box.height();
    const QString place = QStringLiteral("position: absolute; left: ") + QString::number(box.left())
        + QStringLiteral(";top: ") + QString::number(box.top()) + QStringLiteral(";width: ") + QString::number(w)
        + QStringLiteral(";height: ") + QString::number(h) + QLatin1Char(';');
    if (polygon) {
        const QString points = type == RptName::triangle
            ? QStringLiteral("0,%2 %1,%2 %3,0").arg(w).arg(h).arg(w / 2)
            : QStringLiteral("%1,%2 %3,%4 %1,0 0,%4").arg(w / 2).arg(h).arg(w).arg(h / 2);
        return QStringLiteral("<svg style='") + place + QStringLiteral("'><polygon points='") + points
            + QStringLiteral("' fill='") + cssColour(backgroundColor) + QStringLiteral("' stroke='")
            + cssColour(borderColor) + QStringLiteral("' stroke-width='") + QString::number(borderWidth)
            + QStringLiteral("'/></svg>\n");
    }
    QString style = place + QStringLiteral("box-sizing: border-box;background:") + cssColour(backgroundColor)
        + QStringLiteral(";border: ") + cssLineStyle(borderStyle) + QLatin1Char(' ') + QString::number(borderWidth)
        + QStringLiteral("px ") + cssColour(borderColor) + QLatin1Char(';');
    if (type == RptName::roundedReactangle)
        style += QStringLiteral("border-radius: 40px;");
    else if (type == RptName::circle)
        style += QStringLiteral("border-radius: 50%;");
    return QStringLiteral("<div style='") + style + QStringLiteral("'></div>\n");
}

QString RptFieldObject::getHTMLStyle()
{
    QString align;
    if (alignment & Qt::AlignRight)
        align = QStringLiteral("right");
    if (alignment & Qt::AlignLeft)
        align = QStringLiteral("left");
    if (alignment & Qt::AlignHCenter)
        align = QStringLiteral("center");
    if ((alignment & Qt::AlignJustify) == Qt::AlignJustify)
        align = QStringLiteral("justify");

    const QRect box = htmlBox();
    const int x = box.left();
    const int w = box.width();
    const int h = box.height();
    const int t = box.top();

    if (type == RptName::label) {
        QString style = QStringLiteral("style='");
        style += QStringLiteral("color:") + fontColor.name() + QLatin1Char(';');
        style += htmlFillAndSides();
        style += QStringLiteral("text-align:") + align + QLatin1Char(';');
        style += QStringLiteral("font-size:") + QString::number(font.pointSize() + 5) + QStringLiteral("px;");
        style += QStringLiteral("position: absolute; left: ") + QString::number(x) + QLatin1Char(';');
        style += QStringLiteral("top: ") + QString::number(t) + QLatin1Char(';');
        style += QStringLiteral("width: ") + QString::number(w) + QLatin1Char(';');
        style += QStringLiteral("height: ") + QString::number(h) + QLatin1Char(';');
        if (font.weight() > 57)
            style += QStringLiteral("font-weight: bold;");
        if (font.style() != QFont::StyleNormal)
            style += QStringLiteral("font-style: italic;");
        style += QLatin1Char('\'');
        return style;
    }

    if (type == RptName::labelImage || type == RptName::image || type == RptName::DatabaseImage) {
        int iw = 0;
        int ih = 0;
        if (h != 0) {
            const double r = double(w) / double(h);
            if (r == 0) {
                iw = ih = h;
            } else {
                iw = clearBitTwo(h * r);
                ih = h;
                if (iw > w) {
                    iw = w;
                    ih = clearBitTwo(w / r);
                }
            }
        }
        QString html = QStringLiteral("<div style='position: absolute; left: ") + QString::number(x)
            + QLatin1Char(';');
        html += QStringLiteral("top: ") + QString::number(t) + QLatin1Char(';');
        html += QStringLiteral("width: ") + QString::number(w) + QLatin1Char(';');
        html += QStringLiteral("height: ") + QString::number(h) + QLatin1Char(';');
        html += QStringLiteral("text-align:") + align + QLatin1Char(';');
        // A picture from the data is boxed as a label is; a template's own picture is drawn bare.
        if (type != RptName::image)
            html += htmlFillAndSides();
        html += QStringLiteral("'>");
        html += QStringLiteral("<img width=") + QString::number(iw) + QStringLiteral(" height=")
            + QString::number(ih) + QLatin1Char(' ');
        html += QStringLiteral("src=\"data:image/png;base64,") + QString::fromLatin1(picture.toBase64())
            + QLatin1Char('"');
        html += QStringLiteral(" /></div>\n");
        return html;
    }
    return QString();
}
