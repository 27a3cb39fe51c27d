// The engine's outputs: the modal print preview with its two export buttons, direct printing, and
// the PDF and HTML files.
#include "rptengine.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QScreen>
#include <QTextStream>
#include <QToolBar>
#include <QUrl>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// An export runs the report on a printer and painter of its own and puts the engine's back
// afterwards, so that a preview it was started from keeps printing and repainting as before.
class OutputSwap
{
public:
    OutputSwap(QPrinter *&printer, QPainter *&painter, int &mode, QPrinter *ownPrinter, QPainter *ownPainter,
               int ownMode)
        : m_printer(printer), m_painter(painter), m_mode(mode), m_keptPrinter(printer), m_keptPainter(painter),
          m_keptMode(mode)
    {
        printer = ownPrinter;
        painter = ownPainter;
        mode = ownMode;
    }
    ~OutputSwap()
    {
        m_printer = m_keptPrinter;
        m_painter = m_keptPainter;
        m_mode = m_keptMode;
    }
    OutputSwap(const OutputSwap &) = delete;
    OutputSwap &operator=(const OutputSwap &) = delete;

private:
    QPrinter *&m_printer;
    QPainter *&m_painter;
    int &m_mode;
    QPrinter *m_keptPrinter;
    QPainter *m_keptPainter;
    int m_keptMode;
};

} // namespace

void RptEngine::printExec(bool maximum, bool direct, QString printerName)
{
    printMode = 0;
    if (!m_printer)
        m_printer = new QPrinter(m_resolution);
    if (!printerName.isEmpty()) {
        m_printer->setPrinterName(printerName);
        if (!m_printer->isValid())
            m_printer->setPrinterName(QPrinterInfo::defaultPrinterName());
    }
    if (!m_painter)
        m_painter = new QPainter();
    if (direct) {
        printPreview(m_printer);
        releaseRunState();
        return;
    }

    auto *dialog = new QPrintPreviewDialog(m_printer, qobject_cast<QWidget *>(parent()), Qt::Window);
    QPrintPreviewWidget *preview = dialog->findChild<QPrintPreviewWidget *>();
    if (maximum && preview)
        preview->setZoomMode(QPrintPreviewWidget::FitToWidth);
    connect(dialog, &QPrintPreviewDialog::paintRequested, this, &RptEngine::printPreview);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        dialog->setGeometry(QRect(QPoint(5, 30), QPoint(available.right() - 6, available.bottom() - 6)));
    }
    m_preview = preview;
    m_previewActions = dialog->findChildren<QAction *>();

    auto *pdfAction = new QAction(QIcon(QStringLiteral(":/pdf.png")), tr("Save as PDF"), this);
    pdfAction->setObjectName(QStringLiteral("actExpToPdf"));
    auto *htmlAction = new QAction(QIcon(QStringLiteral(":/html.png")), tr("Save as HTML"), this);
    htmlAction->setObjectName(QStringLiteral("actExpToHtml"));
    connect(pdfAction, &QAction::triggered, this, &RptEngine::exportTo);
    connect(htmlAction, &QAction::triggered, this, &RptEngine::exportTo);
    if (QToolBar *toolBar = dialog->findChild<QToolBar *>()) {
        toolBar->addAction(pdfAction);
        toolBar->addAction(htmlAction);
    }

    if (m_preview)
        m_preview->installEventFilter(this);
    m_previewDialog = dialog;
    dialog->exec();

    connect(dialog, &QObject::destroyed, this, &RptEngine::previewClosed);
    m_previewDialog = nullptr;
    m_preview = nullptr;
    m_previewActions.clear();
    delete pdfAction;
    delete htmlAction;
    delete dialog;
    releaseRunState();
}

bool RptEngine::eventFilter(QObject *object, QEvent *event)
{
    if (m_preview && object == m_preview && event->type() == QEvent::Show) {
        for (QAction *action : qAsConst(m_previewActions)) {
            if (action->text().contains(QLatin1String("Previous page"), Qt::CaseInsensitive))
                action->trigger();
        }
        m_preview->setCurrentPage(0);
        return true;
    }
    return QObject::eventFilter(object, event);
}

void RptEngine::exportTo()
{
    QWidget *parentWidget = qobject_cast<QWidget *>(parent());
    const QString name = sender() ? sender()->objectName() : QString();
    QString filter;
    if (name == QLatin1String("actExpToPdf"))
        filter = tr("PDF Files (*.pdf)");
    else if (name == QLatin1String("actExpToHtml"))
        filter = tr("HTML Files (*.html)");
    else if (name == QLatin1String("actExpToXlsx"))
        filter = tr("XLSX Files (*.xlsx)");
    else
        return;
    const QString fileName = QFileDialog::getSaveFileName(parentWidget, tr("Save File"), QString(), filter);
    if (fileName.isEmpty())
        return;
    if (name == QLatin1String("actExpToPdf"))
        printPDF(fileName, false);
    else if (name == QLatin1String("actExpToHtml"))
        printHTML(fileName, true);
}

void RptEngine::printPDF(const QString &fileName, bool open)
{
    // The report is written beside the file and takes its name only once it is whole: a cancelled
    // save leaves no part of a report, and a file that stood under that name stays as it was.
    const QString part = fileName + QStringLiteral(".part");
    QPrinter printer(m_resolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(part);
    QPainter painter;
    {
        OutputSwap swap(m_printer, m_painter, printMode, &printer, &painter, 1);
        printPreview(&printer);
    }
    releaseRunState();
    if (m_runCancelled || !QFile::exists(part)) {
        QFile::remove(part);
        return;
    }
    QFile::remove(fileName);
    if (!QFile::rename(part, fileName)) {
        QFile::remove(part);
        return;
    }
    if (open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

void RptEngine::printHTML(const QString &fileName, bool open)
{
    m_html = QStringLiteral("<HTML><HEAD><meta charset=\"UTF-8\"></HEAD><BODY>");
    // As for the PDF: the file takes the report only once it is whole.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    // The HTML run lays out without drawing: its printer has no output file, so the painter stays
    // inactive and only the fragments are collected.
    QPrinter printer(m_resolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    QPainter painter;
    {
        OutputSwap swap(m_printer, m_painter, printMode, &printer, &painter, 2);
        printPreview(&printer);
    }
    releaseRunState();
    if (m_runCancelled) {
        m_html.clear();
        file.cancelWriting();
        return;
    }
    m_html += QStringLiteral("</BODY></HTML>");
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    stream << m_html;
    stream.flush();
    m_html.clear();
    if (!file.commit())
        return;
    if (open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

void RptEngine::printXLSX(const QString &, bool)
{
}

void RptEngine::releaseRunState()
{
    // What the last run collected is read by no one once its output is done; a large report would
    // otherwise keep it until the next one.
    collectedValues.clear();
    QVector<GroupRecord>().swap(groupRecords);
    level0RecNos = QList<int>();
    level1RecNos = QList<int>();
    level2RecNos = QList<int>();
    giveBackFreedMemory();
}

void RptEngine::giveBackFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void RptEngine::previewClosed()
{
    emit previewDestroyed();
    delete m_painter;
    m_painter = nullptr;
    delete m_printer;
    m_printer = nullptr;
}
