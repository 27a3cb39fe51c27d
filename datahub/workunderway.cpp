#include "datahub/workunderway.h"

#include <QApplication>
#include <QProgressBar>
#include <QProgressDialog>
#include <QWindow>

namespace {
// Often enough for the bar to move smoothly, seldom enough to cost the work nothing.
const int PaintIntervalMs = 100;
// How often a part that shows nothing new says how long it has run.
const int TickMs = 500;
// Painting only: the flags keep input, timers and socket notifiers (the end signals come through one)
// in their queues.
const QEventLoop::ProcessEventsFlags PaintingOnly =
    QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;
int paintingWork = 0;
// How long a new dialog is waited for to come on screen before the work begins without it.
const int MapWaitMs = 500;
}

bool WorkUnderWay::painting()
{
    return paintingWork > 0;
}

WorkUnderWay::WorkUnderWay(QWidget *window, const QString &text, int steps)
{
    if (text.isEmpty())
        return;
    m_dialog = new QProgressDialog(text, QString(), 0, qMax(steps, 0), window);
    m_dialog->setWindowTitle(tr("Morvessa"));
    m_dialog->setCancelButton(nullptr);
    // Not modal to Qt: a modal progress dialog lets every event through at each step. Nothing reaches
    // the windows while it is up anyway.
    m_dialog->setWindowModality(Qt::NonModal);
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
    startPart(text);
    m_dialog->show();
    // The work that follows may hold the thread for seconds before its first step: the dialog is drawn
    // before it begins, once the display has put it on screen (a moment's round trip on X11).
    QElapsedTimer mapping;
    mapping.start();
    while (!(m_dialog->windowHandle() && m_dialog->windowHandle()->isExposed()) && mapping.elapsed() < MapWaitMs)
        QCoreApplication::processEvents(PaintingOnly, 10);
    letWindowsPaint();
    if (m_dialog)
        m_dialog->repaint();
}

WorkUnderWay::~WorkUnderWay()
{
    delete m_dialog;
}

void WorkUnderWay::advance(int done)
{
    if (!m_dialog)
        return;
    if (qMin(done, m_dialog->maximum()) != m_dialog->value())
        m_sinceMoved.start();
    // Counted in half seconds, so that no screen stays as it is for a second; once shown, the time
    // goes on being counted for the rest of the part.
    const qint64 ticks = m_inPart.elapsed() / TickMs;
    const bool timed = ticks > m_ticksShown && (m_ticksShown > 0 || m_sinceMoved.elapsed() >= TickMs);
    if (timed) {
        m_ticksShown = ticks;
        m_dialog->setLabelText(tr("%1 (%L2 s)").arg(m_partText).arg(ticks * TickMs / 1000.0, 0, 'f', 1));
    }
    // The last step is shown however soon it comes: the next part may follow at once.
    const bool lastStep = m_dialog->maximum() > 0 && done >= m_dialog->maximum() && m_dialog->value() < done;
    if (!timed && !lastStep && m_sincePainted.elapsed() < PaintIntervalMs)
        return;
    m_dialog->setValue(qMin(done, m_dialog->maximum()));
    letWindowsPaint();
}

void WorkUnderWay::startPart(const QString &text)
{
    m_partText = text;
    m_dialog->setLabelText(text);
    m_inPart.start();
    m_sinceMoved.start();
    m_ticksShown = 0;
}

void WorkUnderWay::beginPart(const QString &text, int steps, const QString &format)
{
    if (!m_dialog)
        return;
    startPart(text);
    if (auto *bar = m_dialog->findChild<QProgressBar *>())
        bar->setFormat(format.isEmpty() ? QStringLiteral("%p%") : format);
    m_dialog->setRange(0, qMax(steps, 0));
    m_dialog->setValue(0);
    letWindowsPaint();
}

void WorkUnderWay::letWindowsPaint()
{
    ++paintingWork;
    QCoreApplication::processEvents(PaintingOnly);
    --paintingWork;
    m_sincePainted.start();
}
