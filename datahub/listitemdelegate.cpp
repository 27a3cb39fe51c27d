#include "datahub/listitemdelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QStaticText>
#include <QStyle>
#include <QTableView>
#include <QtMath>

namespace {
// A few screenfuls of the lists' texts; beyond this the kept lines start over.
const int KeptTexts = 4096;

// The lists paint in the application's font, so one store of laid-out lines serves them all and a
// window opened again finds its texts ready. It goes with the application, before the fonts do.
class LaidOutLines : public QObject
{
public:
    using QObject::QObject;
    static LaidOutLines *instance();
    const QStaticText &line(const QString &text, const QFont &font);
    // The text cut short with an ellipsis to the width, as one line: what a view that does not wrap
    // shows of a text too wide for its cell.
    const QStaticText &elided(const QString &text, const QFont &font, Qt::TextElideMode mode, int width);

private:
    QFont m_font;
    QHash<QString, QStaticText> m_lines;
    QHash<QString, QString> m_elided;
};

LaidOutLines *LaidOutLines::instance()
{
    static QPointer<LaidOutLines> store;
    if (!store)
        store = new LaidOutLines(QCoreApplication::instance());
    return store;
}

const QStaticText &LaidOutLines::line(const QString &text, const QFont &font)
{
    if (font != m_font || m_lines.size() >= KeptTexts || m_elided.size() >= KeptTexts) {
        m_lines.clear();
        m_elided.clear();
        m_font = font;
    }
    auto kept = m_lines.find(text);
    if (kept == m_lines.end()) {
        QStaticText line(text);
        line.setTextFormat(Qt::PlainText);
        line.setPerformanceHint(QStaticText::AggressiveCaching);
        line.prepare(QTransform(), font);
        kept = m_lines.insert(text, line);
    }
    return kept.value();
}

const QStaticText &LaidOutLines::elided(const QString &text, const QFont &font, Qt::TextElideMode mode, int width)
{
    const QString key = QStringLiteral("%1 %2 ").arg(int(mode)).arg(width) + text;
    auto cut = m_elided.constFind(key);
    if (cut == m_elided.constEnd() || font != m_font) {
        const QString shown = QFontMetrics(font).elidedText(text, mode, width);
        const QStaticText &result = line(shown, font);
        m_elided.insert(key, shown);
        return result;
    }
    return line(cut.value(), font);
}
}

void ListItemDelegate::install(QAbstractItemView *view)
{
    if (qobject_cast<ListItemDelegate *>(view->itemDelegate()))
        return;
    auto *table = qobject_cast<QTableView *>(view);
    const bool drawsGrid = table && table->showGrid() && table->gridStyle() == Qt::SolidLine;
    if (drawsGrid)
        table->setShowGrid(false);
    view->setItemDelegate(new ListItemDelegate(view, drawsGrid));
}

ListItemDelegate::ListItemDelegate(QAbstractItemView *view, bool drawsGrid)
    : QStyledItemDelegate(view)
    , m_drawsGrid(drawsGrid)
{
}

void ListItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!m_drawsGrid) {
        paintCell(painter, option, index);
        return;
    }
    // The table gives a cell without a grid its whole square; with one, the last column and row of
    // pixels belong to the grid.
    QStyleOptionViewItem cell(option);
    cell.rect.adjust(0, 0, -1, -1);
    paintCell(painter, cell, index);

    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const QColor grid = QColor::fromRgba(static_cast<QRgb>(style->styleHint(QStyle::SH_Table_GridLineColor, &option, widget)));
    const QRect &square = option.rect;
    painter->fillRect(QRect(square.right(), square.top(), 1, square.height()), grid);
    painter->fillRect(QRect(square.left(), square.bottom(), square.width() - 1, 1), grid);
}

QSize ListItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The table adds its grid line to a cell's size only while it draws the grid itself.
    const QSize hint = QStyledItemDelegate::sizeHint(option, index);
    return m_drawsGrid ? hint + QSize(1, 1) : hint;
}

bool ListItemDelegate::paintKeptPicture(QPainter *painter, const QStyleOptionViewItem &option,
                                        const QStyleOptionViewItem &cell, const QModelIndex &index) const
{
    // A table paints its cells straight over the viewport's base colour, so the standard painting of
    // a cell over that colour is the cell exactly. The focus frame, a tree's rows, a painter that
    // scales and a background that is not one colour are left to the standard painting.
    const auto *table = qobject_cast<const QTableView *>(cell.widget);
    if (!table || (cell.state & QStyle::State_HasFocus) || painter->worldTransform().type() > QTransform::TxTranslate)
        return false;
    const QWidget *viewport = table->viewport();
    const QBrush base = viewport->palette().brush(viewport->backgroundRole());
    if (!viewport->autoFillBackground() || base.style() != Qt::SolidPattern || cell.rect.isEmpty())
        return false;
    const QPalette::ColorGroup group = cell.state & QStyle::State_Enabled
        ? (cell.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive)
        : QPalette::Disabled;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    // Everything the standard painting of such a cell reads, as the raw units of a key.
    if (cell.font != m_keyFont || m_fontKey.isEmpty()) {
        m_keyFont = cell.font;
        m_fontKey = cell.font.key() + QLatin1Char(' ') + table->style()->objectName();
    }
    const quint32 facts[] = {
        quint32(qRound(ratio * 100)),
        quint32(cell.rect.width()),
        quint32(cell.rect.height()),
        quint32(cell.state),
        quint32(cell.features),
        quint32(cell.displayAlignment),
        quint32(cell.textElideMode),
        quint32(cell.viewItemPosition),
        quint32(cell.direction),
        cell.palette.color(group, QPalette::Text).rgba(),
        cell.palette.color(group, QPalette::HighlightedText).rgba(),
        cell.palette.color(group, QPalette::Highlight).rgba(),
        cell.palette.color(group, QPalette::AlternateBase).rgba(),
        base.color().rgba(),
        quint32(cell.backgroundBrush.style()),
        cell.backgroundBrush.color().rgba(),
    };
    const int units = int(sizeof(facts)) / int(sizeof(QChar));
    QString key;
    key.reserve(units + m_fontKey.size() + cell.text.size() + 1);
    key.append(reinterpret_cast<const QChar *>(facts), units);
    key += m_fontKey;
    key += QChar::LineSeparator;
    key += cell.text;

    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap(cell.rect.size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(base.color());
        QPainter pictured(&picture);
        QStyleOptionViewItem placed(option);
        placed.rect.moveTopLeft(QPoint(0, 0));
        QStyledItemDelegate::paint(&pictured, placed, index);
        pictured.end();
        QPixmapCache::insert(key, picture);
    }
    painter->drawPixmap(cell.rect.topLeft(), picture);
    return true;
}

void ListItemDelegate::paintCell(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QString text = cell.text;
    // Word wrap changes nothing for a single line that fits.
    const bool plain = !(cell.features & (QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration))
        && !text.contains(QChar::LineSeparator) && !(cell.state & QStyle::State_Editing);
    if (!plain || text.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    const QWidget *widget = cell.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QStaticText &line = LaidOutLines::instance()->line(text, cell.font);
    const QSizeF size = line.size();
    // A table shows its cells' decoration as selected, so the text of a cell without a check box or
    // an icon has the whole cell. Elsewhere the text keeps to its own size, placed in the cell as the
    // style places it.
    QRect textRect = cell.rect;
    if (!cell.showDecorationSelected) {
        const QSize textSize(qCeil(size.width()) + 2 * margin, qCeil(size.height()));
        textRect = QStyle::alignedRect(cell.direction, cell.displayAlignment, textSize.boundedTo(cell.rect.size()),
                                       cell.rect);
    }
    textRect.adjust(margin, 0, -margin, 0);
    const QStaticText *shown = &line;
    if (size.width() > textRect.width()) {
        // Cut short with an ellipsis, as the view asks. Over several lines when the view wraps its
        // text: the standard painting does that.
        if ((cell.features & QStyleOptionViewItem::WrapText) || cell.textElideMode == Qt::ElideNone) {
            if (!paintKeptPicture(painter, option, cell, index))
                QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        shown = &LaidOutLines::instance()->elided(text, cell.font, cell.textElideMode, textRect.width());
    }

    // In the standard order: background and selection as the style paints them, the kept line where
    // the standard painting would put it, and the focus frame over both (the style may tint the text).
    const bool focused = cell.state & QStyle::State_HasFocus;
    QStyleOptionViewItem panel(cell);
    panel.text.clear();
    panel.features &= ~QStyleOptionViewItem::HasDisplay;
    panel.state &= ~QStyle::State_HasFocus;
    style->drawControl(QStyle::CE_ItemViewItem, &panel, painter, widget);

    QPalette::ColorGroup group = cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(cell.state & QStyle::State_Active))
        group = QPalette::Inactive;
    const bool selected = cell.state & QStyle::State_Selected;

    const QSizeF shownSize = shown->size();
    const Qt::Alignment alignment = QStyle::visualAlignment(cell.direction, cell.displayAlignment);
    qreal x = textRect.x();
    if (alignment & Qt::AlignRight)
        x += textRect.width() - shownSize.width();
    else if (alignment & Qt::AlignHCenter)
        x += (textRect.width() - shownSize.width()) / 2;
    const QRect lineRect = QStyle::alignedRect(cell.direction, alignment & Qt::AlignVertical_Mask,
                                               QSize(textRect.width(), int(shownSize.height())), textRect);

    painter->save();
    painter->setClipRect(cell.rect, Qt::IntersectClip);
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawStaticText(QPointF(x, lineRect.top()), *shown);
    painter->restore();

    if (focused) {
        QStyleOptionFocusRect frame;
        frame.QStyleOption::operator=(cell);
        frame.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &cell, widget);
        frame.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        const QPalette::ColorGroup frameGroup = cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        frame.backgroundColor = cell.palette.color(frameGroup, selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, widget);
    }
}
