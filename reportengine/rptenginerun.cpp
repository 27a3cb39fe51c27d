// The report run: two passes over every report page (one to count the pages, one to draw them),
// page set-up and page breaks, the fixed bands, the record loop and grouping.
#include "rptengine.h"

#include "rptbandobject.h"
#include "rptcrosstabobject.h"
#include "rptfieldobject.h"
#include "rptpageobject.h"
#include "rptrunprogress.h"
#include "datahub/debuglog.h"

#include <QDebug>
#include <QFile>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QScopedValueRollback>

#include <algorithm>
#include <numeric>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

int bandHeight(const RptBandObject *band)
{
    return band ? band->height : 0;
}

// Group values are the collected variable texts; QVariant ordering is what the sort has always used.
// For two texts that ordering comes down to: the same text is not less, otherwise the case-blind
// comparison decides (two texts apart only in case are each "greater" than the other); two values
// never set are equal. Taken straight, it spares the sort QVariant's general comparison, which copies
// both texts every time.
bool compareGroupRecords(const GroupRecord &a, const GroupRecord &b)
{
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    for (int k = 0; k < 3; ++k) {
        const QVariant &x = a.groupValue[k];
        const QVariant &y = b.groupValue[k];
        // A level the report does not group by is empty in every record.
        if (!x.isValid() && !y.isValid())
            continue;
        if (x.userType() == QMetaType::QString && y.userType() == QMetaType::QString) {
            const QString &left = *static_cast<const QString *>(x.constData());
            const QString &right = *static_cast<const QString *>(y.constData());
            if (left == right)
                continue;
            const int order = left.compare(right, Qt::CaseInsensitive);
            if (order != 0)
                return order < 0;
            continue;
        }
        if (x < y)
            return true;
        if (y < x)
            return false;
    }
    return false;
    QT_WARNING_POP
}

// While a run lays its pages out, the C library keeps what is freed. Every page written to a PDF frees
// its buffers and takes them again for the next page; left to itself the library hands the top of the
// heap back to the system each time, and each page of memory taken again costs a page fault. The
// memory goes back once, when the output is done (RptEngine::giveBackFreedMemory).
class HeapKeptDuringRun
{
public:
#ifdef __GLIBC__
    HeapKeptDuringRun()
    {
        mallopt(M_TRIM_THRESHOLD, KeptBytes);
        mallopt(M_MMAP_THRESHOLD, LargestFromHeap);
    }
    // The library's own thresholds again: from here on freed memory goes back as it did before the run.
    ~HeapKeptDuringRun()
    {
        mallopt(M_TRIM_THRESHOLD, LibraryThreshold);
        mallopt(M_MMAP_THRESHOLD, LibraryThreshold);
    }

private:
    static const int KeptBytes = 1 << 30;
    // The largest block the library itself would come to take from the heap rather than map.
    static const int LargestFromHeap = 32 << 20;
    static const int LibraryThreshold = 128 << 10;
#else
    HeapKeptDuringRun() {}
    ~HeapKeptDuringRun() {}
#endif
};

// One run at a time in the process: the run state lists are shared, and a run asked for from inside
// another (a repaint, a command let through while the screen is kept painted) would clear them under it.
bool reportRunning = false;

} // namespace

bool RptEngine::runInProgress()
{
    return reportRunning;
}

void RptEngine::printPreview(QPrinter *printer)
{
    if (m_pageList.isEmpty() || !printer)
        return;
    if (reportRunning) {
        qCDebug(velloranLog) << "a report run asked for while one is on is refused";
        return;
    }
    QScopedValueRollback<bool> running(reportRunning, true);
    const HeapKeptDuringRun heapKept;
    // The preview's own repaints draw onto a picture engine; everything else is a print or a file.
    const bool previewing = m_previewDialog && printer->paintEngine()
        && printer->paintEngine()->type() == QPaintEngine::Picture;
    QWidget *progressParent = m_previewDialog ? static_cast<QWidget *>(m_previewDialog)
                                              : qobject_cast<QWidget *>(parent());
    RptRunProgress progress(progressParent, previewing ? tr("Preparing the preview")
                                                       : printMode == 0 ? tr("Printing the report")
                                                                        : tr("Saving the report"));
    QScopedValueRollback<RptRunProgress *> progressInUse(m_progress, &progress);
    m_runCancelled = false;
    m_drawing = false;
    m_rowsDone = 0;

    setPageSettings(printer, 0);
    if (!m_painter)
        m_painter = new QPainter();
    if (!m_painter->isActive())
        m_painter->begin(printer);
    m_fromPage = printer->fromPage();
    m_toPage = printer->toPage();

    collectedValues.clear();
    m_textLayouts.clear();
    level0RecNos.clear();
    level1RecNos.clear();
    level2RecNos.clear();
    makeReportObjectStructure();
    // Every field of every record is evaluated with collecting; a large report would keep millions of
    // values no one reads when the template sums nothing.
    QSet<QString> read;
    if (namesRead(read))
        collectedValues.keepOnly(read);
    if (m_userSqlConnection.active) {
        int pageNo = m_userSqlConnection.pageNo;
        setUserSqlConnection(pageNo, m_userSqlConnection);
    }

    m_dataSetList.clear();
    m_pageCounter = 1;

    // Counting pass: everything is evaluated, nothing drawn, so that the total is known.
    for (int i = 0; i < m_pageList.size() && !stopped(); ++i) {
        const quint16 start = i == 0 ? 0 : m_pageCounter;
        announceDataSets(i);
        int rows = 0;
        for (const DataSetInfo &info : qAsConst(m_dataSetList))
            rows += info.recordCount;
        progress.beginRows(rows);
        m_currentReportPage = i;
        openDataSource(i);
        level0RecNos.clear();
        level1RecNos.clear();
        level2RecNos.clear();
        m_recNo = 0;
        processReport(printer, false, i, i == 0);
        m_totalPages = m_pageCounter;

        RptPageObject *page = m_pageList.at(i);
        for (RptFieldObject *field : page->crossTabFields()) {
            emit setField(*field);
            if (field->crossTab && !field->crossTab->isMatrixBuilt())
                field->crossTab->buildMatrix();
        }
        const quint16 pages = quint16(m_pageCounter - start);
        const int parts = page->crossTabParts();
        page->setPageCount(parts < 2 ? pages : quint16(pages + parts - 1));
    }

    quint16 total = 0;
    for (RptPageObject *page : qAsConst(m_pageList)) {
        if (page->isVisible())
            total = quint16(total + page->pageCount());
    }
    m_totalPages = total;

    m_orientation = 0;
    if (m_painter->isActive())
        m_painter->resetTransform();
    processGlobalScript();

    // Drawing pass.
    m_pageCounter = 1;
    m_drawing = true;
    progress.beginPages(m_totalPages);
    bool firstPage = true;
    for (int i = 0; i < m_pageList.size() && !stopped(); ++i) {
        if (!m_pageList.at(i)->isVisible())
            continue;
        level0RecNos.clear();
        level1RecNos.clear();
        level2RecNos.clear();
        m_recNo = 0;
        m_currentReportPage = i;
        processReport(printer, true, i, firstPage);
        firstPage = false;
    }

    m_runCancelled = progress.cancelled();
    if (m_runCancelled && !previewing)
        discardPrint(printer);
    if (m_painter->isActive())
        m_painter->end();
    m_textLayouts.clear();
    // A preview whose run was stopped has nothing whole to show; it closes once this repaint is over.
    if (m_runCancelled && previewing)
        QMetaObject::invokeMethod(m_previewDialog, "reject", Qt::QueuedConnection);
}

bool RptEngine::namesRead(QSet<QString> &names) const
{
    // The aggregates take their field's name as text, so any value may be read once one is there.
    static const QRegularExpression aggregate(QStringLiteral("\\b(SUM|AVG|COUNT|MAX|MIN)\\s*\\("),
                                              QRegularExpression::CaseInsensitiveOption);
    if (m_xmlDoc.toString().contains(aggregate))
        return false;
    for (RptPageObject *page : m_pageList) {
        for (RptBandObject *band : page->bandList) {
            if (band->type != RptName::MasterData || band->groupingField.isEmpty())
                continue;
            // What the grouping collects: each expression as a lone variable, or the variables in it.
            for (QString expression : band->groupingField.split(QLatin1Char(',')))
                names.insert(expression.remove(QLatin1Char('[')).remove(QLatin1Char(']')));
            for (QString variable : splitStringOnVariable(band->groupingField))
                names.insert(variable.remove(QLatin1Char('[')).remove(QLatin1Char(']')));
        }
    }
    return true;
}

bool RptEngine::keepGoing(bool nextRow)
{
    if (!m_progress)
        return true;
    if (m_drawing)
        return m_progress->step(m_pageCounter);
    return m_progress->step(nextRow ? ++m_rowsDone : m_rowsDone);
}

bool RptEngine::stopped() const
{
    return m_progress && m_progress->cancelled();
}

void RptEngine::discardPrint(QPrinter *printer)
{
    // A print to a file leaves no part of a report behind; a printer's job is withdrawn.
    const QString file = printer->outputFileName();
    if (m_painter && m_painter->isActive())
        printer->abort();
    if (m_painter && m_painter->isActive())
        m_painter->end();
    if (!file.isEmpty())
        QFile::remove(file);
}

void RptEngine::processReport(QPrinter *printer, bool draw, int &pageReport, bool firstPage)
{
    if (pageReport < 0 || pageReport >= m_pageList.size())
        return;
    const bool active = m_painter && m_painter->isActive();
    if (active) {
        m_painter->resetTransform();
        m_painter->save();
    }
    // The transform was just reset, so a landscape page must be turned again even when the
    // previous report page was landscape too.
    m_orientation = 0;
    m_pageList.at(pageReport)->resetCrossTabCounts();
    setPageSettings(printer, pageReport);
    int y = 0;
    if (firstPage) {
        drawBackground(draw);
        processPHeader(y, draw);
        if (m_pageCounter == 1)
            processRTitle(y, draw);
        processPFooter(draw);
    } else {
        newPage(printer, y, draw, true);
    }
    processGroupHeader(printer, y, draw, pageReport);
    if (!stopped())
        processRSummary(printer, y, draw, pageReport);
    if (active && m_painter->isActive())
        m_painter->restore();
}

void RptEngine::setPageSettings(QPrinter *printer, int pageReport)
{
    if (!printer || pageReport < 0 || pageReport >= m_pageList.size())
        return;
    RptPageObject *page = m_pageList.at(pageReport);
    m_pageHeight = page->pageHeight;
    m_pageWidth = page->pageWidth;
    m_marginLeft = page->marginsLeft;
    m_marginRight = page->marginsRight;
    m_marginTop = page->marginsTop;
    m_marginBottom = page->marginsBottom;
    if (page->watermark) {
        m_watermark = &page->watermarkPixmap;
        m_watermarkOpacity = page->watermarkOpacity;
    } else {
        m_watermark = nullptr;
    }

    const bool landscape = page->orientation == 1;
    if (!printer->paintingActive() && m_pageWidth / 4 > 0 && m_pageHeight / 4 > 0) {
        const QSizeF paper = landscape ? QSizeF(m_pageHeight / 4, m_pageWidth / 4)
                                       : QSizeF(m_pageWidth / 4, m_pageHeight / 4);
        printer->setPageSize(QPageSize(paper, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    }
    const QMarginsF margins(m_marginLeft / 4 + 0.01, m_marginTop / 4 + 0.01, m_marginRight / 4 + 0.01,
                            m_marginBottom / 4 + 0.01);
    printer->setPageMargins(margins, QPageLayout::Millimeter);
    if (landscape)
        printer->setPageMargins(QMarginsF(m_marginLeft / 4 + 0.01, m_marginRight / 4 + 0.01,
                                          m_marginTop / 4 + 0.01, m_marginBottom / 4 + 0.01),
                                QPageLayout::Millimeter);

    const QRect pageRect = printer->pageLayout().paintRectPixels(printer->resolution());
    const bool active = m_painter && m_painter->isActive();

    if (page->border && active) {
        const QRect paperRect = printer->pageLayout().fullRectPixels(printer->resolution());
        const QPen kept = m_painter->pen();
        QPen pen(page->borderColor);
        pen.setWidth(page->borderWidth * 5);
        pen.setStyle(getPenStyle(page->borderStyle));
        m_painter->setPen(pen);
        m_painter->drawRect(92 - pageRect.left(), 92 - pageRect.top(), paperRect.width() - 192,
                            paperRect.height() - 192);
        m_painter->setPen(kept);
    }

    if (page->orientation != m_orientation) {
        m_orientation = page->orientation;
        if (active) {
            m_painter->resetTransform();
            if (landscape) {
                m_painter->rotate(90);
                m_painter->translate(0, -m_painter->viewport().width());
            }
        }
    }

    // A page without size or with margins that fill it has no drawing area; keep the scales finite.
    const int usable = m_pageHeight - m_marginTop - m_marginBottom;
    const int between = m_pageWidth - m_marginLeft - m_marginRight;
    const double rectHeight = landscape ? pageRect.width() : pageRect.height();
    const double rectWidth = landscape ? pageRect.height() : pageRect.width();
    verticalScale = usable > 0 && rectHeight > 0 ? rectHeight / usable : 1.0;
    horizontalScale = between > 0 && rectWidth > 0 ? rectWidth / between : 1.0;
}

void RptEngine::drawBackground(bool draw)
{
    if (!draw || !m_painter || !m_painter->isActive())
        return;
    m_painter->setBackgroundMode(Qt::TransparentMode);
    if (m_watermark && !m_watermark->isNull()) {
        m_painter->setOpacity(m_watermarkOpacity);
        const int width = int(m_pageWidth * horizontalScale) - 2 * int(m_marginLeft * horizontalScale);
        const int height = int(m_pageHeight * verticalScale) - 2 * int(m_marginTop * verticalScale);
        m_painter->drawPixmap(QRect(0, 0, width, height), *m_watermark);
        m_painter->setOpacity(1.0);
    }
}

bool RptEngine::allowPrintPage(bool draw, int page) const
{
    if (!draw)
        return false;
    return page >= m_fromPage && (m_toPage == 0 || page <= m_toPage);
}

void RptEngine::newPage(QPrinter *printer, int &y, bool draw, bool newReportPage)
{
    const quint16 next = quint16(m_pageCounter + 1);
    if (draw) {
        if (printer && m_pageCounter >= m_fromPage && next >= m_fromPage
            && (m_toPage == 0 || next <= m_toPage)) {
            if (m_painter && m_painter->isActive())
                printer->newPage();
            drawBackground(draw);
        }
        m_pageCounter = next;
        emit newPage(next);
    } else {
        m_pageCounter = next;
    }
    if (printMode != 2 && printMode != 3)
        y = 0;
    processPHeader(y, draw);
    if (newReportPage)
        processRTitle(y, draw);
    processPFooter(draw);
}

void RptEngine::processPHeader(int &y, bool draw)
{
    if (printMode == 2 || m_currentReportPage >= m_pageList.size())
        return;
    RptBandObject *band = m_pageList.at(m_currentReportPage)->getBand(RptName::PageHeader);
    if (!band)
        return;
    if (draw && allowPrintPage(draw, m_pageCounter))
        drawBandRow(band, y, true);
    y += band->height;
}

void RptEngine::processRTitle(int &y, bool draw)
{
    if (m_currentReportPage >= m_pageList.size())
        return;
    RptBandObject *band = m_pageList.at(m_currentReportPage)->getBand(RptName::ReportTitle);
    if (!band)
        return;
    if (draw && allowPrintPage(draw, m_pageCounter))
        drawBandRow(band, y, true);
    y += band->height;
}

void RptEngine::processPFooter(bool draw)
{
    if (printMode == 2 || m_currentReportPage >= m_pageList.size())
        return;
    RptBandObject *band = m_pageList.at(m_currentReportPage)->getBand(RptName::PageFooter);
    if (!band)
        return;
    const int usable = m_pageHeight - m_marginTop - m_marginBottom;
    if (draw && allowPrintPage(draw, m_pageCounter))
        drawBandRow(band, usable - band->height, true);
}

void RptEngine::processMHeader(int &y, int dataSetNo, bool draw, int &pageReport)
{
    if (pageReport < 0 || pageReport >= m_pageList.size())
        return;
    RptBandObject *band = m_pageList.at(pageReport)->getBand(RptName::MasterHeader, dataSetNo);
    if (!band)
        return;
    if (draw && allowPrintPage(draw, m_pageCounter))
        drawBandRow(band, y, true);
    y += band->height;
}

void RptEngine::processMFooter(QPrinter *printer, int &y, int dataSetNo, bool draw, int &pageReport)
{
    if (pageReport < 0 || pageReport >= m_pageList.size())
        return;
    RptBandObject *band = m_pageList.at(pageReport)->getBand(RptName::MasterFooter, dataSetNo);
    if (!band)
        return;
    const int usable = m_pageHeight - m_marginTop - m_marginBottom;
    if (y > usable - band->height)
        newPage(printer, y, draw, false);
    if (draw && allowPrintPage(draw, m_pageCounter))
        drawBandRow(band, y, true);
    y += band->height;
}

void RptEngine::processRSummary(QPrinter *printer, int &y, bool draw, int &pageReport)
{
    if (pageReport < 0 || pageReport >= m_pageList.size())
        return;
    RptBandObject *band = m_pageList.at(pageReport)->getBand(RptName::ReportSummary);
    if (!band)
        return;
    const int usable = m_pageHeight - m_marginTop - m_marginBottom;
    if (y + band->height > usable)
        newPage(printer, y, draw, false);
    if (draw && allowPrintPage(draw, m_pageCounter))
        drawBandRow(band, y, true);
    y += band->height;
}

void RptEngine::processMasterData(QPrinter *printer, int &y, bool draw, int &pageReport, int dataSetNo,
                                  QList<int> records)
{
    if (pageReport < 0 || pageReport >= m_pageList.size())
        return;
    RptPageObject *page = m_pageList.at(pageReport);
    RptBandObject *band = page->getBand(RptName::MasterData, dataSetNo);
    if (!band)
        return;
    const RptBandObject *masterFooter = page->getBand(RptName::MasterFooter, dataSetNo);
    const RptBandObject *pageFooter = page->getBand(RptName::PageFooter);

    const int count = band->dataSourceName.isEmpty() ? getRecCount(pageReport, dataSetNo)
                                                     : getRecCount(pageReport, band->dataSourceName);
    if (count < 1)
        return;
    const int usable = m_pageHeight - m_marginTop - m_marginBottom;
    const int bottom = usable - bandHeight(pageFooter) - bandHeight(masterFooter);

    auto printRow = [&](int r) {
        if (!keepGoing())
            return false;
        m_recNo = r;
        ++m_lineNo;
        drawBandRow(band, y, false);
        if (y + band->realHeight > bottom && printMode != 2) {
            newPage(printer, y, draw, false);
            processMHeader(y, dataSetNo, draw, pageReport);
        }
        if (draw && allowPrintPage(draw, m_pageCounter))
            drawBandRow(band, y, true);
        else
            fillListOfValue(band);
        y += band->realHeight;
        return true;
    };
    if (records.isEmpty()) {
        for (int r = 0; r < count; ++r)
            if (!printRow(r))
                break;
    } else {
        // A group prints its own records in record order. Walking them alone, instead of every
        // record of the data set for every group, keeps a report with many groups linear in its rows.
        std::sort(records.begin(), records.end());
        records.erase(std::unique(records.begin(), records.end()), records.end());
        for (int r : qAsConst(records)) {
            if (r >= 0 && r < count && !printRow(r))
                break;
        }
    }
    // A master footer shown in the group goes on seeing the data set's last record, as when every
    // record was walked.
    m_recNo = count - 1;
}

void RptEngine::processGroupHeader(QPrinter *printer, int &y, bool draw, int &pageReport)
{
    qCDebug(velloranLog).noquote() << QString(71, QLatin1Char('*'));
    if (pageReport < 0 || pageReport >= m_pageList.size())
        return;
    if (m_pageCounter == 0)
        processPFooter(draw);
    RptPageObject *page = m_pageList.at(pageReport);
    const int usable = m_pageHeight - m_marginTop - m_marginBottom;

    for (int n = 1; n <= 5 && !stopped(); ++n) {
        m_recNo = 0;
        m_lineNo = 0;
        RptBandObject *groupHeader = page->getBand(RptName::DataGroupHeader, n);
        RptBandObject *footers[3] = {page->getBand(RptName::DataGroupFooter, n, 0),
                                     page->getBand(RptName::DataGroupFooter, n, 1),
                                     page->getBand(RptName::DataGroupFooter, n, 2)};
        RptBandObject *masterHeader = page->getBand(RptName::MasterHeader, n);
        RptBandObject *masterData = page->getBand(RptName::MasterData, n);
        RptBandObject *masterFooter = page->getBand(RptName::MasterFooter, n);
        RptBandObject *pageFooter = page->getBand(RptName::PageFooter);

        QStringList expressions;
        if (masterData && !masterData->groupingField.isEmpty()) {
            expressions = masterData->groupingField.split(QLatin1Char(','));
            while (expressions.size() > 3)
                expressions.removeLast();
            fillListOfValue(masterData);
            const int count = masterData->dataSourceName.isEmpty()
                ? getRecCount(pageReport, n)
                : getRecCount(pageReport, masterData->dataSourceName);
            // The drawing pass finds the values the counting pass collected for the same records.
            if (pageReport < count && !draw) {
                for (int r = 0; r < count && keepGoing(false); ++r) {
                    m_recNo = r;
                    for (const QString &expression : qAsConst(expressions))
                        sectionField(masterData, expression, false, true, QString());
                }
            }
        }

        if (expressions.isEmpty()) {
            processMHeader(y, n, draw, pageReport);
            processMasterData(printer, y, draw, pageReport, n, QList<int>());
            if (!stopped())
                processMFooter(printer, y, n, draw, pageReport);
            continue;
        }
        // A report without rows has still collected its band's fields for the first record above, and
        // prints its headers and totals. The list may keep only the grouping's values, so whether it is
        // empty does not tell.
        if (stopped() || !collectedValues.anyCollected())
            continue;

        groupRecords.clear();
        {
            // Where each record's group record stands, by record number; records are numbered from 0,
            // so a plain array holds them (a negative number, which no record loop makes, aside).
            QVector<int> indexOfRecord;
            QHash<int, int> indexOfOther;
            auto groupRecordOf = [&](int recNo) -> GroupRecord & {
                int *index = nullptr;
                if (recNo >= 0) {
                    while (indexOfRecord.size() <= recNo)
                        indexOfRecord.append(-1);
                    index = &indexOfRecord[recNo];
                } else {
                    index = &indexOfOther.insert(recNo, indexOfOther.value(recNo, -1)).value();
                }
                if (*index < 0) {
                    *index = groupRecords.size();
                    GroupRecord record;
                    record.recNo = recNo;
                    groupRecords.append(record);
                }
                return groupRecords[*index];
            };
            for (int k = 0; k < expressions.size(); ++k) {
                QString name = expressions.at(k);
                name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
                for (int position : collectedValues.positionsOf(name)) {
                    if (collectedValues.reportPageAt(position) == pageReport)
                        groupRecordOf(collectedValues.recNoAt(position)).groupValue[k] =
                            collectedValues.valueAt(position);
                }
            }
        }
        {
            // The positions are sorted rather than the records: the same comparisons give the same
            // order, and moving a number costs nothing next to moving three values.
            QVector<int> order(groupRecords.size());
            std::iota(order.begin(), order.end(), 0);
            std::sort(order.begin(), order.end(), [](int a, int b) {
                return compareGroupRecords(groupRecords.at(a), groupRecords.at(b));
            });
            // Each record is moved to its place in place, cycle by cycle: a second list of records
            // would raise the run's peak of memory by as much as the list itself.
            for (int start = 0; start < order.size(); ++start) {
                if (order.at(start) == start)
                    continue;
                GroupRecord kept = std::move(groupRecords[start]);
                int at = start;
                for (;;) {
                    const int from = order.at(at);
                    order[at] = at;
                    if (from == start) {
                        groupRecords[at] = std::move(kept);
                        break;
                    }
                    groupRecords[at] = std::move(groupRecords[from]);
                    at = from;
                }
            }
        }

        if (masterHeader && !masterHeader->showInGroup)
            processMHeader(y, n, draw, pageReport);

        int groupCounter = 0;
        bool newOuterGroup = true;
        QList<int> groupList;
        for (int index = 0; index < groupRecords.size(); ++index) {
            const GroupRecord &record = groupRecords.at(index);
            const bool last = index + 1 == groupRecords.size();
            bool changed[3];
            for (int k = 0; k < 3; ++k)
                changed[k] = last || record.groupValue[k] != groupRecords.at(index + 1).groupValue[k];

            level0RecNos.append(record.recNo);
            level1RecNos.append(record.recNo);
            level2RecNos.append(record.recNo);
            groupList.append(record.recNo);
            if (!changed[0] && !changed[1] && !changed[2])
                continue;

            const int footerRoom = usable - bandHeight(pageFooter) - bandHeight(masterFooter);
            ++groupCounter;
            m_recNo = record.recNo;
            if (newOuterGroup) {
                if (masterData->startNewPage && groupCounter != 1)
                    newPage(printer, y, draw, false);
                m_recNo = record.recNo;
                if (groupHeader) {
                    if (y + groupHeader->height > footerRoom)
                        newPage(printer, y, draw, false);
                    if (draw && allowPrintPage(draw, m_pageCounter))
                        drawBandRow(groupHeader, y, true);
                    y += groupHeader->height;
                }
            }
            if (masterHeader && masterHeader->showInGroup)
                processMHeader(y, n, draw, pageReport);
            processMasterData(printer, y, draw, pageReport, n, groupList);
            if (stopped())
                return;
            if (masterFooter && masterFooter->showInGroup)
                processMFooter(printer, y, n, draw, pageReport);

            // Footers show the group's last record, innermost level first.
            m_recNo = record.recNo;
            for (int k = 2; k >= 0; --k) {
                RptBandObject *footer = footers[k];
                if (!changed[k] || !footer)
                    continue;
                if (y + footer->height > footerRoom)
                    newPage(printer, y, draw, false);
                if (draw && allowPrintPage(draw, m_pageCounter))
                    drawBandRow(footer, y, true);
                y += footer->height;
            }
            if (changed[2])
                level2RecNos.clear();
            if (changed[1])
                level1RecNos.clear();
            if ((changed[1] || changed[2]) && !changed[0]) {
                newOuterGroup = false;
            } else {
                level0RecNos.clear();
                if (masterData->startNewNumeration)
                    m_lineNo = 0;
                newOuterGroup = true;
            }
            groupList.clear();
        }

        if (masterFooter && !masterFooter->showInGroup)
            processMFooter(printer, y, n, draw, pageReport);
    }
}
