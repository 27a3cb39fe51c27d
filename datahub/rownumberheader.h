#ifndef ROWNUMBERHEADER_H
#define ROWNUMBERHEADER_H

#include <QHeaderView>

class QTableView;

// The row-number column of a list. Qt sizes it by measuring the labels of up to two hundred rows,
// and again after every select and every column hidden, moved or resized; the labels are the row
// numbers, whose widest are the last ones, so the first and last few rows give the same size at a
// fraction of the cost, and it is measured again only when the rows change.
class RowNumberHeader : public QHeaderView
{
    Q_OBJECT

public:
    // Puts the header on the view in place of its shown vertical header, with the same settings.
    static void install(QTableView *view);

    explicit RowNumberHeader(QWidget *parent = nullptr);
    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent *event) override;

private:
    // The table asks after every change of a column; the size holds until rows come or go, a row is
    // hidden or shown, or the font or style changes.
    mutable QSize m_hint;
};

#endif // ROWNUMBERHEADER_H
