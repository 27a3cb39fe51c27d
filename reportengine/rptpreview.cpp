// The engine's outputs: the modal print preview with its two export buttons, direct printing, and
// the PDF and HTML files.
#include "rptengine.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QScopedPointer>
#include <QScreen>
#include <QTemporaryFile>
#include <QToolBar>
#include <QUrl>

#include <cerrno>
#include <cstdio>

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

// A report's file while it is written. The report is made beside the file under a ".part" name and
// takes the file's name only once it is whole, so that a save that is cancelled or fails leaves a file
// that stood under that name as it was. A folder that lets its files be rewritten but takes no new one
// (a shared folder with such rights) has no room for the ".part": there the report is made in the
// temporary folder and then written over the file in place, which the clerk confirmed on choosing it.
class ReportFile
{
    Q_DECLARE_TR_FUNCTIONS(RptEngine)

public:
    explicit ReportFile(const QString &fileName)
        : m_fileName(fileName), m_part(fileName + QStringLiteral(".part"))
    {
    }
    ~ReportFile()
    {
        if (!m_temporary && !m_work.isEmpty())
            QFile::remove(m_work);
    }
    ReportFile(const ReportFile &) = delete;
    ReportFile &operator=(const ReportFile &) = delete;

    // Makes the file the report is written to first; false when there is none, with the reason.
    bool open()
    {
        QFile part(m_part);
        if (part.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_work = m_part;
            return true;
        }
        QFile target(m_fileName);
        if (!target.exists()) {
            m_reason = part.errorString();
            return false;
        }
        // Told now, before the run, when the file cannot be rewritten either.
        if (!target.open(QIODevice::WriteOnly | QIODevice::Append)) {
            m_reason = target.errorString();
            return false;
        }
        target.close();
        m_temporary.reset(new QTemporaryFile(QDir::temp().filePath(QStringLiteral("velloran-report-XXXXXX"))));
        if (!m_temporary->open()) {
            m_reason = m_temporary->errorString();
            return false;
        }
        m_temporary->close();
        m_work = m_temporary->fileName();
        return true;
    }

    // Where the run writes the report.
    const QString &workPath() const { return m_work; }

    // The PDF the run wrote takes the file's place.
    bool commitPdf()
    {
        // The PDF writer tells no failed write; a file it could not finish (a full disk) lacks the
        // end-of-file mark a PDF closes with.
        QFile pdf(m_work);
        if (!pdf.open(QIODevice::ReadOnly) || pdf.size() < 16 || !pdf.seek(pdf.size() - 16)
            || !pdf.read(16).contains("%%EOF")) {
            m_reason = cutShort();
            return false;
        }
        pdf.close();
        return replace();
    }

    // `bytes` written, and the file's place taken.
    bool commit(const QByteArray &bytes)
    {
        QFile work(m_work);
        if (!work.open(QIODevice::WriteOnly | QIODevice::Truncate) || work.write(bytes) != bytes.size()
            || !work.flush()) {
            m_reason = failure(work);
            return false;
        }
        work.close();
        return replace();
    }

    QString reason() const { return m_reason; }

private:
    bool replace()
    {
        if (!m_temporary) {
            if (QFile::exists(m_fileName))
                QFile::setPermissions(m_part, QFile::permissions(m_fileName));
            // rename() puts the report in the file's place in one step: the earlier file stays whole
            // until then.
            if (std::rename(QFile::encodeName(m_part).constData(), QFile::encodeName(m_fileName).constData()) != 0) {
                m_reason = qt_error_string(errno);
                return false;
            }
            m_work.clear();
            return true;
        }
        QFile work(m_work);
        QFile target(m_fileName);
        if (!work.open(QIODevice::ReadOnly)) {
            m_reason = work.errorString();
            return false;
        }
        if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_reason = target.errorString();
            return false;
        }
        bool written = true;
        while (written && !work.atEnd()) {
            const QByteArray chunk = work.read(1 << 16);
            written = !chunk.isEmpty() && target.write(chunk) == chunk.size();
        }
        if (!written || !target.flush()) {
            m_reason = failure(target);
            return false;
        }
        return true;
    }

    static QString cutShort() { return tr("The report could not be written whole; the disk may be full."); }
    // A write that stopped part-way is not always an error to the system (the bytes before it went).
    static QString failure(const QFileDevice &file)
    {
        return file.error() != QFileDevice::NoError ? file.errorString() : cutShort();
    }

    QString m_fileName;
    QString m_part;
    QString m_work;
    QScopedPointer<QTemporaryFile> m_temporary;
    QString m_reason;
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
    connect(dialog, &QPrintPreviewDialog::paintRequested, this, &RptEngine::previewPaintRequested);
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

bool RptEngine::printPDF(const QString &fileName, bool open)
{
    ReportFile file(fileName);
    if (!file.open()) {
        emit outputFailed(fileName, file.reason());
        return false;
    }
    QPrinter printer(m_resolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file.workPath());
    QPainter painter;
    {
        OutputSwap swap(m_printer, m_painter, printMode, &printer, &painter, 1);
        printPreview(&printer);
    }
    releaseRunState();
    if (m_runCancelled)
        return false;
    if (!file.commitPdf()) {
        emit outputFailed(fileName, file.reason());
        return false;
    }
    if (open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
    return true;
}

bool RptEngine::printHTML(const QString &fileName, bool open)
{
    m_html = QStringLiteral("<HTML><HEAD><meta charset=\"UTF-8\"></HEAD><BODY>");
    // As for the PDF: the file takes the report only once it is whole. Its room is made before the
    // run, so that a file that cannot be written is told before the clerk waits for it.
    ReportFile file(fileName);
    if (!file.open()) {
        m_html.clear();
        emit outputFailed(fileName, file.reason());
        return false;
    }
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
        return false;
    }
    m_html += QStringLiteral("</BODY></HTML>");
    const QByteArray bytes = m_html.toUtf8();
    m_html.clear();
    if (!file.commit(bytes)) {
        emit outputFailed(fileName, file.reason());
        return false;
    }
    if (open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
    return true;
}

void RptEngine::previewPaintRequested(QPrinter *printer)
{
    // The preview's repaints and a print to a printer run as they are; a print to a file is written
    // as a save is, and its failure told the same way.
    const bool toFile = printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()
        && !(printer->paintEngine() && printer->paintEngine()->type() == QPaintEngine::Picture);
    if (!toFile) {
        printPreview(printer);
        return;
    }
    const QString fileName = printer->outputFileName();
    ReportFile file(fileName);
    if (!file.open()) {
        emit outputFailed(fileName, file.reason());
        return;
    }
    printer->setOutputFileName(file.workPath());
    printPreview(printer);
    printer->setOutputFileName(fileName);
    if (!m_runCancelled && !file.commitPdf())
        emit outputFailed(fileName, file.reason());
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
