#ifndef ROWNUMBERHEADER_H
#define ROWNUMBERHEADER_H

#include <QHeaderView>

class QTableView;

// The row-number column of a list. Qt sizes it by measuring the labels of up to two hundred rows,
// and again after every select, every column hidden or moved; the labels are the row numbers, whose
// widest are the last ones, so the first and last few rows give the same size at a fraction of the
// cost.
class RowNumberHeader : public QHeaderView
{
    Q_OBJECT

public:
    // Puts the header on the view in place of its shown vertical header, with the same settings.
    static void install(QTableView *view);

    explicit RowNumberHeader(QWidget *parent = nullptr);
    QSize sizeHint() const override;
};

#endif // ROWNUMBERHEADER_H
