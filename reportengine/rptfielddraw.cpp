// Drawing of band rows: measuring automatic heights, then painting every field by its kind, and in
// the HTML output the fragment of every label, picture and shape.
#include "rptengine.h"

#include "rptbandobject.h"
#include "rptcrosstabobject.h"
#include "rptfieldobject.h"
#include "rptpageobject.h"
#include "rptscriptengine.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QPolygonF>
#include <QTextBlock>
#include <QTextDocument>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>

#include <cmath>

using namespace QtCharts;

namespace {

const QColor OpaqueWhite(255, 255, 255, 255);

// The first text fragment that still holds a bracket pair, or else an angle pair.
QString firstFragmentToEvaluate(const QTextDocument &doc)
{
    for (int pass = 0; pass < 2; ++pass) {
        const QChar open = pass == 0 ? QLatin1Char('[') : QLatin1Char('<');
        const QChar close = pass == 0 ? QLatin1Char(']') : QLatin1Char('>');
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
                const QString text = it.fragment().text();
                if (text.contains(open) && text.contains(close))
                    return text;
            }
        }
    }
    return QString();
}

// Rich text may carry the formatting tags a template writes around a character (superscript,
// bold, ...); everything else in it, host values included, stays text.
QString restoreFormattingTags(QString html)
{
    static const char *const tags[] = {"sub", "sup", "b", "i", "u", "s"};
    for (const char *tag : tags) {
        const QString name = QString::fromLatin1(tag);
        html.replace(QStringLiteral("&lt;%1&gt;").arg(name), QStringLiteral("<%1>").arg(name));
        html.replace(QStringLiteral("&lt;/%1&gt;").arg(name), QStringLiteral("</%1>").arg(name));
    }
    return html;
}

// The colour a label's text lands on: its own fill, else the opaque fill of a shape of its band that
// lies under the label's middle, else the white page.
QColor groundUnder(const RptFieldObject *field, const QSet<int> &shapes)
{
    if (field->boxFilled() && field->backgroundColor.alpha() == 255)
        return field->backgroundColor;
    QColor ground = OpaqueWhite;
    if (RptBandObject *band = field->parentBand) {
        const QPoint middle(field->getLeft() + field->getWidth() / 2, field->getTop() + field->getHeight() / 2);
        for (const RptFieldObject *other : qAsConst(band->fieldList)) {
            if (other == field || !shapes.contains(other->type) || other->backgroundColor.alpha() != 255)
                continue;
            const QRect area(other->getLeft(), other->getTop(), other->getWidth(), other->getHeight());
            if (area.contains(middle))
                ground = other->backgroundColor;
        }
    }
    return ground;
}

// Text in the colour of what lies beneath it cannot be seen on paper; written into the PDF anyway,
// it would only turn up as stray duplicates when the saved report is searched or copied.
bool textCanBeSeen(const RptFieldObject *field, const QSet<int> &shapes)
{
    return field->fontColor.alpha() != 0 && field->fontColor.rgb() != groundUnder(field, shapes).rgb();
}

} // namespace

void RptEngine::drawBandRow(RptBandObject *band, int top, bool allowDraw)
{
    if (!band)
        return;
    band->realHeight = band->height;
    for (RptFieldObject *field : qAsConst(band->fieldList)) {
        if (field->type != RptName::line)
            drawFields(field, top, false);
    }
    if (!allowDraw)
        return;
    for (RptFieldObject *field : qAsConst(band->fieldList)) {
        if (field->type == RptName::line)
            drawLines(field, top);
        else
            drawFields(field, top, true);
    }
}

void RptEngine::drawFields(RptFieldObject *field, int top, bool draw)
{
    field->setRecNo(m_recNo);
    field->setReportPage(m_currentReportPage);
    if (draw)
        field->updateHighlightingParam();
    if (!field->isCrossTabCell())
        emit setField(*field);
    if (!isFieldVisible(field))
        return;
    if (RptCrossTabObject *owner = field->parentCrossTab) {
        if (owner->isTotalField(field))
            owner->total(field);
        else if (!owner->isHeaderField(field))
            emit setField(*field);
    }
    if (draw) {
        QScriptValue before = m_scriptEngine->globalObject().property(fieldHooks(field).before);
        if (before.isValid())
            before.call();
        if (!field->isVisible())
            return;
    }

    RptBandObject *band = field->parentBand;
    const double h = horizontalScale;
    const double v = verticalScale;
    const int x = int(field->getLeft() * h);
    const int w = int((field->getWidth() - 1) * h);
    const int y = int((field->getTop() + top) * v);
    int fh = int(field->getHeight() * v);
    field->setPageTop(int(y / v));
    if (field->autoHeight && band)
        fh = int(band->realHeight * v);

    const bool active = m_painter && m_painter->isActive();

    const RptName::FieldType type = field->type;
    if (draw && active
        && (type == RptName::label || type == RptName::labelImage || type == RptName::textRich
            || type == RptName::DatabaseImage)) {
        if (field->boxFilled())
            m_painter->fillRect(QRect(x + 1, y + 1, w - 2, fh - 2), field->backgroundColor);
        // Without a side to draw the pen stays as it was: every change of pen is written into the
        // PDF again, for each field of each row.
        const bool anySide = RptFieldObject::sideDrawn(field->borderTop)
            || RptFieldObject::sideDrawn(field->borderBottom) || RptFieldObject::sideDrawn(field->borderLeft)
            || RptFieldObject::sideDrawn(field->borderRight);
        if (anySide) {
            QPen side = getPen(field);
            side.setColor(field->borderColor);
            m_painter->setPen(side);
        }
        if (RptFieldObject::sideDrawn(field->borderTop))
            m_painter->drawLine(x, y, x + w, y);
        if (RptFieldObject::sideDrawn(field->borderBottom))
            m_painter->drawLine(x, y + fh, x + w, y + fh);
        if (RptFieldObject::sideDrawn(field->borderLeft))
            m_painter->drawLine(x, y, x, y + fh);
        if (RptFieldObject::sideDrawn(field->borderRight))
            m_painter->drawLine(x + w, y, x + w, y + fh);
    }

    static const QSet<int> drawingFields = getDrawingFields();
    if (drawingFields.contains(type)) {
        if (!draw)
            return;
        // The shapes go into the HTML page too: a label's text may stand on one, in a colour that
        // only the shape's fill lets be read.
        if (printMode == 2)
            m_html += field->getHTMLShape();
        if (!active)
            return;
        QPen outline = getPen(field);
        outline.setColor(field->borderColor);
        m_painter->setPen(outline);
        m_painter->setBrush(QBrush(field->backgroundColor, Qt::SolidPattern));
        if (type == RptName::rhombus || type == RptName::triangle) {
            QPainterPath path;
            if (type == RptName::rhombus) {
                path.moveTo(x + w / 2, y + fh - 1);
                path.lineTo(x + w, y + fh / 2);
                path.lineTo(x + w / 2, y + 1);
                path.lineTo(x + 1, y + fh / 2);
                path.lineTo(x + w / 2, y + fh - 1);
            } else {
                path.moveTo(x, y + fh - 1);
                path.lineTo(x + w, y + fh - 1);
                path.lineTo(x + w / 2, y);
                path.lineTo(x, y + fh - 1);
            }
            m_painter->strokePath(path, outline);
            m_painter->fillPath(path, m_painter->brush());
        } else if (type == RptName::roundedReactangle) {
            m_painter->drawRoundedRect(QRect(x, y, w - 2, fh - 2), 40, 40, Qt::AbsoluteSize);
        } else if (type == RptName::reactangle) {
            m_painter->drawRect(QRect(x, y, w - 2, fh - 2));
        } else {
            m_painter->drawEllipse(QRect(x, y, w, fh));
        }
        m_painter->setBrush(Qt::NoBrush);
        return;
    }

    switch (type) {
    case RptName::labelImage:
    case RptName::DatabaseImage: {
        if (!draw)
            return;
        const QImage image = type == RptName::labelImage ? sectionValueImage(field->value)
                                                         : sectionFieldImage(field->value);
        if (image.isNull())
            return;
        const QImage scaled = image.scaled(w, fh, Qt::KeepAspectRatio, Qt::FastTransformation);
        int x0 = x;
        int y0 = y;
        if (field->alignment & Qt::AlignHCenter)
            x0 = x + (w - scaled.width()) / 2;
        if (field->alignment & Qt::AlignVCenter)
            y0 = y + (fh - scaled.height()) / 2;
        if (active)
            m_painter->drawImage(x0, y0, scaled);
        if (printMode == 2) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            scaled.save(&buffer, "PNG");
            field->picture = bytes;
            m_html += field->getHTMLStyle();
        }
        return;
    }
    case RptName::image: {
        if (!draw)
            return;
        QImage image;
        image.loadFromData(field->picture, field->imgFormat.toLatin1().constData());
        if (image.isNull())
            return;
        if (active) {
            if (field->ignoreAspectRatio != 1)
                m_painter->drawImage(x, y, image.scaled(w, fh, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            else
                m_painter->drawImage(QRect(x, y, w, fh), image);
        }
        if (printMode == 2)
            m_html += field->getHTMLStyle();
        return;
    }
    case RptName::diagram: {
        if (!draw || !field->chart)
            return;
        QChart *chart = field->chart;
        emit setChart(*field, *chart);
        GraphDataList data = field->getDiagramData();
        emit setValueDiagram(data);
        field->updateDiagram(data);
        if (!active || w <= 0 || fh <= 0)
            return;
        // The chart is laid out at screen size and scaled onto the page, so that its text keeps
        // its proportions; the doubled fonts are the chart's print look and are put back after.
        const double deviceScale = m_painter->device()->logicalDpiX() / 96.0;
        const QSizeF logical(w / deviceScale, fh / deviceScale);
        const QFont titleFont = chart->titleFont();
        const QFont legendFont = chart->legend()->font();
        QFont bigTitle = titleFont;
        bigTitle.setPointSizeF(titleFont.pointSizeF() * 2);
        QFont bigLegend = legendFont;
        bigLegend.setPointSizeF(legendFont.pointSizeF() * 2);
        chart->setTitleFont(bigTitle);
        chart->legend()->setFont(bigLegend);
        {
            QGraphicsScene scene;
            scene.addItem(chart);
            chart->setPos(0, 0);
            chart->resize(logical);
            // Font and size changes lay the legend out on a posted request; do it before rendering.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QPicture picture;
            QPainter recorder(&picture);
            recorder.setRenderHint(QPainter::TextAntialiasing);
            recorder.setRenderHint(QPainter::Antialiasing);
            scene.render(&recorder, QRectF(QPointF(0, 0), logical), QRectF(QPointF(0, 0), logical),
                         Qt::KeepAspectRatio);
            recorder.end();
            scene.removeItem(chart);
            // A picture recorded at screen resolution is scaled to the page's by its player.
            m_painter->drawPicture(x, y, picture);
        }
        chart->setTitleFont(titleFont);
        chart->legend()->setFont(legendFont);
        return;
    }
    case RptName::textRich: {
        // Rich text never changes the row height: there is nothing to measure.
        if (!draw)
            return;
        QTextDocument doc;
        if (active)
            doc.setDefaultFont(m_painter->font());
        doc.setHtml(field->value.normalized(QString::NormalizationForm_KC));
        // A value may itself hold a bracket or angle pair; stop as soon as a replacement no
        // longer changes the document, and never go round more often than the text is long.
        const int bound = field->value.size() + 16;
        for (int round = 0; round < bound; ++round) {
            const QString fragment = firstFragmentToEvaluate(doc);
            if (fragment.isEmpty())
                break;
            const QString result = sectionField(band, fragment, true, false, QString());
            const QString before = doc.toHtml();
            QString after = before;
            after.replace(fragment, result);
            if (after == before)
                break;
            doc.setHtml(after);
        }
        doc.setTextWidth(w - 15);
        if (draw && active) {
            m_painter->save();
            m_painter->translate(x + 10, y);
            doc.drawContents(m_painter, QRectF(0, 0, w - 15, fh));
            m_painter->restore();
        }
        return;
    }
    case RptName::label: {
        // Only an automatic height needs the text while measuring; other labels keep the row as
        // it is, and their values are asked for when they are drawn or collected.
        if (!draw && !(field->autoHeight && band && active))
            return;
        setFont(field);
        if (active)
            m_painter->setPen(QPen(Qt::black));
        QString text = sectionField(band, field->value, false, false, field->format);
        int flags = int(field->alignment) | Qt::TextDontClip;
        if (field->textWrap)
            flags |= Qt::TextWordWrap;
        if (!draw) {
            const QRect needed = m_painter->boundingRect(QRect(x + 10, y, w - 15, fh), flags, text);
            if (fh < needed.height())
                band->realHeight = qRound(needed.height() / v);
            return;
        }
        QScriptValue after = m_scriptEngine->globalObject().property(fieldHooks(field).after);
        if (after.isValid()) {
            const QScriptValue result = after.call(QScriptValue(), QScriptValueList() << text);
            if (!result.isUndefined())
                text = result.toString();
        }
        const bool seen = textCanBeSeen(field, drawingFields);
        if (active && seen && field->rotate == 0 && field->renderingMode != 1) {
            // Plain text laid straight is placed by its box alone. Without a saved state and a moved
            // origin for it the PDF need not restate its whole graphics state around every label.
            const QPen kept = m_painter->pen();
            QPen textPen = kept;
            textPen.setColor(field->fontColor);
            m_painter->setPen(textPen);
            drawFieldText(m_painter, text, field->font, field->fontColor, QRectF(x, y, w, fh), flags,
                          field->renderingMode, field->rotate);
            m_painter->setPen(kept);
        } else if (active && seen) {
            m_painter->save();
            QPen textPen = m_painter->pen();
            textPen.setColor(field->fontColor);
            m_painter->setPen(textPen);
            switch (field->rotate) {
            case 1:
                m_painter->translate(x + w, y);
                m_painter->rotate(90);
                break;
            case 2:
                m_painter->translate(x + w, y + fh);
                m_painter->rotate(180);
                break;
            case 3:
                m_painter->translate(x, y + fh);
                m_painter->rotate(-90);
                break;
            default:
                m_painter->translate(x, y);
                break;
            }
            // The box is the field's in its own frame: drawFieldText turns it for a quarter turn.
            drawFieldText(m_painter, text, field->font, field->fontColor, QRectF(0, 0, w, fh), flags,
                          field->renderingMode, field->rotate);
            m_painter->restore();
        }
        if (printMode == 2 && seen) {
            // The file opens in a browser: a rich label keeps only its formatting tags, as on paper.
            const QString escaped = text.toHtmlEscaped();
            const QString shown = field->renderingMode == 1 ? restoreFormattingTags(escaped) : escaped;
            m_html += QStringLiteral("<div ") + field->getHTMLStyle() + QLatin1Char('>') + shown
                + QStringLiteral("</div>\n");
        }
        if (printMode == 3 && m_cellCollector) {
            RptTabElement element;
            element.field = field;
            element.text = text;
            element.row = y * m_pageCounter;
            element.col = x;
            m_cellCollector->addElement(element);
        }
        return;
    }
    case RptName::crossTab: {
        RptCrossTabObject *grid = field->crossTab;
        if (!draw || !grid)
            return;
        if (!grid->isMatrixBuilt())
            grid->buildMatrix();
        const int rowsPerPart = grid->visibleRowCount();
        int rowCounter = -1;
        int previousRow = -1;
        for (int index = grid->processedCount(); index < grid->cells.size(); ++index) {
            RptFieldObject *cell = grid->cells.at(index);
            const int row = grid->fieldRow(cell, true);
            if (row != previousRow) {
                ++rowCounter;
                previousRow = row;
            }
            if (rowCounter == rowsPerPart) {
                const RptName::BandType bandType = band ? band->type : RptName::BandType(0);
                int pageY = 0;
                if (bandType == RptName::PageHeader) {
                    if (m_pageCounter == 1)
                        processRTitle(pageY, true);
                    processPFooter(true);
                    newPage(m_printer, pageY, true, false);
                    return;
                }
                if (bandType == RptName::PageFooter) {
                    newPage(m_printer, pageY, true, false);
                    return;
                }
                if (bandType != RptName::MasterData || m_pageCounter < m_totalPages)
                    return;
                processPHeader(pageY, true);
                newPage(m_printer, pageY, true, false);
                rowCounter = 0;
            }
            const int cellTop = field->getTop() + rowCounter * grid->rowHeight();
            cell->setTop(cellTop);
            cell->setHeight(grid->rowHeight());
            drawFields(cell, top, true);
            grid->setProcessedCount(index + 1);
        }
        return;
    }
    default:
        return;
    }
}

const RptFieldObject::ScriptHooks &RptEngine::fieldHooks(RptFieldObject *field)
{
    // Still looked up on every drawing, as a script may define or drop its functions while the
    // report runs; only the names are made once, for the field's life. A field renamed by a script
    // gets its new names. Names are let go only by destroying them, never by assigning over them: an
    // assignment releases the old name without making its script engine the current one, and the
    // program dies.
    std::unique_ptr<RptFieldObject::ScriptHooks> &hooks = field->scriptHooks;
    const QString name = field->objectName();
    if (!hooks || hooks->fieldName != name || !hooks->before.isValid()) {
        hooks.reset(new RptFieldObject::ScriptHooks{name,
                                                   m_scriptEngine->toStringHandle(name + QStringLiteral("BeforeData")),
                                                   m_scriptEngine->toStringHandle(name + QStringLiteral("AfterData"))});
    }
    return *hooks;
}

void RptEngine::drawLines(RptFieldObject *field, int top)
{
    if (!isFieldVisible(field) || !m_painter || !m_painter->isActive())
        return;
    const double h = horizontalScale;
    const double v = verticalScale;
    const QPointF start(int(field->lineStartX * h), int((field->lineStartY + top) * v));
    const QPointF end(int(field->lineEndX * h), int((field->lineEndY + top) * v));
    QPen pen = getPen(field);
    pen.setColor(field->borderColor);
    m_painter->setPen(pen);
    m_painter->drawLine(start, end);

    const double length = std::hypot(end.x() - start.x(), end.y() - start.y());
    if ((!field->arrowStart && !field->arrowEnd) || length <= 0)
        return;
    const double s = int(10 * h);
    double a = std::acos((end.x() - start.x()) / length);
    if (end.y() - start.y() >= 0)
        a = 2 * M_PI - a;
    const QBrush keptBrush = m_painter->brush();
    m_painter->setBrush(QBrush(field->borderColor, Qt::SolidPattern));
    if (field->arrowStart) {
        const QPolygonF head({start,
                              start + QPointF(std::sin(a + M_PI / 3) * s, std::cos(a + M_PI / 3) * s),
                              start + QPointF(std::sin(a + M_PI - M_PI / 3) * s,
                                              std::cos(a + M_PI - M_PI / 3) * s)});
        m_painter->drawPolygon(head);
    }
    if (field->arrowEnd) {
        const QPolygonF head({end, end + QPointF(std::sin(a - M_PI / 3) * s, std::cos(a - M_PI / 3) * s),
                              end + QPointF(std::sin(a - M_PI + M_PI / 3) * s,
                                            std::cos(a - M_PI + M_PI / 3) * s)});
        m_painter->drawPolygon(head);
    }
    m_painter->setBrush(keptBrush);
}

QPen RptEngine::getPen(RptFieldObject *field)
{
    QPen pen = m_painter && m_painter->isActive() ? m_painter->pen() : QPen();
    pen.setWidth(field->borderWidth * (m_resolution == QPrinter::ScreenResolution ? 1 : 5));
    pen.setStyle(getPenStyle(field->borderStyle));
    return pen;
}

Qt::PenStyle RptEngine::getPenStyle(const QString &style)
{
    if (style == QLatin1String("dashed"))
        return Qt::DashLine;
    if (style == QLatin1String("dotted"))
        return Qt::DotLine;
    if (style == QLatin1String("dot-dash"))
        return Qt::DashDotLine;
    if (style == QLatin1String("dot-dot-dash"))
        return Qt::DashDotDotLine;
    return Qt::SolidLine;
}

void RptEngine::setFont(RptFieldObject *field)
{
    if (m_painter && m_painter->isActive())
        m_painter->setFont(field->font);
}

QSet<int> RptEngine::getDrawingFields()
{
    return {RptName::reactangle, RptName::roundedReactangle, RptName::circle, RptName::triangle,
            RptName::rhombus};
}

QImage RptEngine::sectionValueImage(QString value)
{
    value.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    QImage image;
    emit setValueImage(m_recNo, value, image, m_currentReportPage);
    return image;
}

void RptEngine::drawFieldText(QPainter *painter, QString text, QFont font, QColor fontColor, QRectF rect,
                              int flags, int renderingMode, int rotate)
{
    if (!painter || !painter->isActive())
        return;
    const bool quarterTurn = rotate == 1 || rotate == 3;
    if (renderingMode != 1) {
        if (rotate == 0)
            m_textLayouts.draw(painter, rect, flags, text);
        else if (quarterTurn)
            m_textLayouts.draw(painter, QRect(0, 0, int(rect.height()), int(rect.width())), flags, text);
        else
            m_textLayouts.draw(painter, QRect(0, 0, int(rect.width()), int(rect.height())), flags, text);
        return;
    }
    QTextDocument doc;
    doc.setDefaultFont(painter->font());
    doc.setHtml(buildFieldHtml(text, rect, flags, font, fontColor, rotate));
    doc.setTextWidth(quarterTurn ? rect.height() : rect.width());
    painter->save();
    painter->translate(-3, -3);
    doc.drawContents(painter);
    painter->restore();
}

QString RptEngine::buildFieldHtml(QString text, QRectF rect, int flags, QFont font, QColor fontColor,
                                  int rotate)
{
    QString html = restoreFormattingTags(Qt::convertFromPlainText(text, Qt::WhiteSpacePre));

    QString horizontal;
    if (flags & (Qt::AlignHCenter | Qt::AlignVCenter))
        horizontal = QStringLiteral("align='center'");
    if (flags & Qt::AlignLeft)
        horizontal = QStringLiteral("align='left'");
    if (flags & Qt::AlignRight)
        horizontal = QStringLiteral("align='right'");
    if (flags & Qt::AlignJustify)
        horizontal = QStringLiteral("align='justify'");
    QString vertical;
    if (flags & Qt::AlignTop)
        vertical += QStringLiteral(" valign='top'");
    if (flags & Qt::AlignBottom)
        vertical += QStringLiteral(" valign='bottom'");
    if (flags & Qt::AlignVCenter)
        vertical += QStringLiteral(" valign='middle'");

    int width = int(rect.width());
    int height = int(rect.height());
    if (rotate == 1 || rotate == 3)
        std::swap(width, height);

    html.replace(QStringLiteral("<p>"), QStringLiteral("<p ") + horizontal + QLatin1Char('>'));
    if (font.weight() > 57)
        html = QStringLiteral("<b>") + html + QStringLiteral("</b>");
    if (font.italic())
        html = QStringLiteral("<i>") + html + QStringLiteral("</i>");
    if (font.underline())
        html = QStringLiteral("<u>") + html + QStringLiteral("</u>");

    // The cell attributes need their own blank after "td", or the tag would not be a cell at all.
    return QStringLiteral("<table cellpadding='0' width='%1' height='%2'><tr><td %3%4>")
               .arg(width)
               .arg(height)
               .arg(horizontal, vertical)
        + QStringLiteral("<span style='font-size:%1pt;font-family:%2;color:%3;'>")
              .arg(font.pointSize())
              .arg(font.family(), fontColor.name())
        + html + QStringLiteral("</span></td></tr></table>");
}
