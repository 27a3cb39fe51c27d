#include "datahub/rownumberheader.h"

#include <QEvent>
#include <QTableView>

namespace {
// Rows measured at each end of the list.
const int MeasuredRows = 3;
}

void RowNumberHeader::install(QTableView *view)
{
    QHeaderView *shown = view->verticalHeader();
    if (qobject_cast<RowNumberHeader *>(shown) || shown->isHidden())
        return;
    auto *header = new RowNumberHeader(view);
    header->setSectionsClickable(shown->sectionsClickable());
    header->setHighlightSections(shown->highlightSections());
    header->setDefaultAlignment(shown->defaultAlignment());
    header->setMinimumSectionSize(shown->minimumSectionSize());
    header->setDefaultSectionSize(shown->defaultSectionSize());
    view->setVerticalHeader(header);
}

RowNumberHeader::RowNumberHeader(QWidget *parent)
    : QHeaderView(Qt::Vertical, parent)
{
    const auto remeasure = [this] { m_hint = QSize(); };
    connect(this, &QHeaderView::sectionCountChanged, this, remeasure);
    // Hiding or showing a row resizes its section.
    connect(this, &QHeaderView::sectionResized, this, remeasure);
}

void RowNumberHeader::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_hint = QSize();
    QHeaderView::changeEvent(event);
}

QSize RowNumberHeader::sizeHint() const
{
    if (m_hint.isValid())
        return m_hint;
    QSize hint(0, 0);
    const int rows = count();
    int first = 0;
    for (int measured = 0; first < rows && measured < MeasuredRows; ++first) {
        if (isSectionHidden(first))
            continue;
        hint = hint.expandedTo(sectionSizeFromContents(first));
        ++measured;
    }
    for (int row = rows - 1, measured = 0; row >= first && measured < MeasuredRows; --row) {
        if (isSectionHidden(row))
            continue;
        hint = hint.expandedTo(sectionSizeFromContents(row));
        ++measured;
    }
    m_hint = hint;
    return hint;
}
