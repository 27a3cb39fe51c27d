#ifndef LISTITEMDELEGATE_H
#define LISTITEMDELEGATE_H

#include <QStyledItemDelegate>

class QAbstractItemView;

// Paints the cells of the list windows (and the nodes of the apartments tree) as Qt's own delegate
// does, at a fraction of the cost: a list of a large office repaints a screenful of cells on every key
// typed into its search and on every move of the current row.
// - The table's grid goes through the line stroker one pixel at a time, which cost more than the
//   rest of the window together. Here each cell draws its own right and bottom grid line as a filled
//   one-pixel rectangle, in the colour and at the places the table would have drawn them.
// - A cell's text is laid out once and kept; the standard delegate lays it out three times on every
//   paint. Text that a table wraps and cuts short is painted once by Qt's own delegate and kept as
//   a picture of the cell. Whatever else is not a single line of text that fits its cell (a check
//   box, an icon) is painted by Qt's own delegate.
class ListItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // Puts the delegate on the view; it takes over a table's grid when that is a solid one.
    static void install(QAbstractItemView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    ListItemDelegate(QAbstractItemView *view, bool drawsGrid);
    void paintCell(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    bool paintKeptPicture(QPainter *painter, const QStyleOptionViewItem &option, const QStyleOptionViewItem &cell,
                          const QModelIndex &index) const;

    bool m_drawsGrid;
    // The font of the cells last kept, and the part of their keys it makes.
    mutable QFont m_keyFont;
    mutable QString m_fontKey;
};

#endif // LISTITEMDELEGATE_H
