#include "rpttextlayouts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLine>
#include <QTextOption>
#include <QtMath>

namespace {

// The flags laid out here; with any other QPainter::drawText treats the text in ways of its own.
const int HandledFlags = Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask | Qt::TextDontClip | Qt::TextWordWrap | Qt::TextSingleLine;

// Whether QPainter::drawText would take the text as it is: it rewrites tabs, line breaks and length
// variants before the layout, and places right-to-left text otherwise. A text of blanks alone is left
// to it too: it draws no glyph, but QPainter::drawText hands the pen and font to the PDF writer even so,
// and the page's content must stay as it was.
bool plainText(const QString &text)
{
    bool blank = true;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t') || c.unicode() == 0x9c)
            return false;
        blank = blank && c.isSpace();
    }
    return !blank && !text.isRightToLeft();
}

} // namespace

size_t RptTextLayouts::KeyHash::operator()(const Key &key) const
{
    uint seed = qHash(key.text, uint(key.flags) ^ uint(key.direction));
    seed = qHash(key.font, seed);
    return qHash(key.wrapWidth, seed);
}

void RptTextLayouts::draw(QPainter *painter, const QRectF &rect, int flags, const QString &text)
{
    // An empty text draws nothing, as in QPainter::drawText. Without TextDontClip that draws clipped
    // to the box, and underlines and strike-outs it draws after all the lines.
    if (text.isEmpty())
        return;
    const QFont &font = painter->font();
    if ((flags & ~HandledFlags) || !(flags & Qt::TextDontClip) || painter->pen().style() == Qt::NoPen
        || painter->layoutDirection() == Qt::RightToLeft || font.underline() || font.strikeOut()
        || font.overline()) {
        painter->drawText(rect, flags, text);
        return;
    }
    const bool wrap = flags & Qt::TextWordWrap;
    const Key key{text, font, flags, painter->layoutDirection(), wrap ? qMax<qreal>(0, rect.width()) : 0};
    auto found = m_layouts.find(key);
    if (found == m_layouts.end()) {
        if (!plainText(text)) {
            painter->drawText(rect, flags, text);
            return;
        }
        if (int(m_layouts.size()) >= MaxTexts)
            m_layouts.clear();
        found = m_layouts.emplace(key, layOut(key)).first;
    }
    const Laid &laid = *found->second;

    qreal yOffset = 0;
    if (flags & Qt::AlignBottom)
        yOffset = rect.height() - laid.height;
    else if (flags & Qt::AlignVCenter)
        yOffset = (rect.height() - laid.height) / 2;
    for (int i = 0; i < laid.layout.lineCount(); ++i) {
        const QTextLine line = laid.layout.lineAt(i);
        qreal xOffset = 0;
        if (flags & Qt::AlignRight)
            xOffset = rect.width() - line.horizontalAdvance();
        else if (flags & Qt::AlignHCenter)
            xOffset = (rect.width() - line.horizontalAdvance()) / 2;
        line.draw(painter, QPointF(rect.x() + xOffset, rect.y() + yOffset));
    }
}

void RptTextLayouts::clear()
{
    m_layouts.clear();
}

std::unique_ptr<RptTextLayouts::Laid> RptTextLayouts::layOut(const Key &key)
{
    // Lines as QPainter::drawText breaks and places them: aligned left (the box's alignment is applied
    // when drawing), trailing blanks counted where the text is not wrapped, every line on a whole
    // pixel below the one before it and its leading.
    const bool wrap = key.flags & Qt::TextWordWrap;
    auto laid = std::make_unique<Laid>(key.text, key.font);
    QTextLayout &layout = laid->layout;
    QTextOption option;
    option.setTextDirection(key.direction);
    option.setAlignment((key.flags & Qt::AlignJustify) ? Qt::AlignJustify : Qt::AlignLeft);
    if (!wrap)
        option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);

    const qreal lineWidth = wrap ? key.wrapWidth : qreal(0x01000000);
    const qreal leading = QFontMetricsF(key.font).leading();
    qreal height = -leading;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(lineWidth);
        height += leading;
        height = qCeil(height);
        line.setPosition(QPointF(0, height));
        // The line's own height, not QTextLine::height(), which is rounded up to a whole pixel.
        height += line.ascent() + line.descent();
    }
    layout.endLayout();
    laid->height = height;
    return laid;
}
