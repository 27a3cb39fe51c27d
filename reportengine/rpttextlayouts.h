#ifndef RPTTEXTLAYOUTS_H
#define RPTTEXTLAYOUTS_H

#include <QFont>
#include <QString>
#include <QTextLayout>

#include <memory>
#include <unordered_map>

class QPainter;
class QRectF;

// The plain label texts of one report run, each laid out and shaped once. A long list prints the same
// captions, dates, charge types and amounts on row after row; laying each of them out anew for every
// row was most of the time spent drawing text. A text is drawn from here exactly as
// QPainter::drawText(rect, flags, text) would draw it: the same glyphs at the same places. What this
// class does not lay out itself (clipping, tabs, line breaks in the text, mnemonics, right-to-left
// text, underlined or struck-out fonts) goes to QPainter::drawText as before.
class RptTextLayouts
{
public:
    void draw(QPainter *painter, const QRectF &rect, int flags, const QString &text);
    // Lets every layout go: at the start and the end of a run, so that no report keeps another's.
    void clear();
    int size() const { return int(m_layouts.size()); }

    // Past this many texts the cache starts over rather than grow: a few MB at most.
    static const int MaxTexts = 4096;

private:
    struct Key
    {
        QString text;
        // The painter's font, already bound to its device.
        QFont font;
        int flags = 0;
        // The painter's: left to right, or taken from the text itself.
        Qt::LayoutDirection direction = Qt::LeftToRight;
        // Only word-wrapped text depends on the width of its box.
        qreal wrapWidth = 0;
        bool operator==(const Key &other) const
        {
            return flags == other.flags && direction == other.direction && wrapWidth == other.wrapWidth && text == other.text
                && font == other.font;
        }
    };
    struct KeyHash
    {
        size_t operator()(const Key &key) const;
    };
    struct Laid
    {
        Laid(const QString &text, const QFont &font)
            : layout(text, font)
        {
        }
        QTextLayout layout;
        // The lines' height, from the top of the first to the bottom of the last.
        qreal height = 0;
    };

    static std::unique_ptr<Laid> layOut(const Key &key);

    std::unordered_map<Key, std::unique_ptr<Laid>, KeyHash> m_layouts;
};

#endif // RPTTEXTLAYOUTS_H
