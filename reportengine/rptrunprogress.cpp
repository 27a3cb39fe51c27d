#include "rptrunprogress.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>

namespace {
// A run shorter than this shows no dialog: it would only flash.
const int ShowAfterMs = 400;
// The dialog and the screen under it are brought up to date this often while the run goes on.
const int UpdateEveryMs = 100;
// Holds back the timer events of everything but the progress dialog. A timer whose event is held back
// stays due and fires at its next turn after the run, so a window's single-shot step (a notice, a
// question) waits instead of opening inside the run.
class TimersWait : public QObject
{
public:
    explicit TimersWait(QWidget *dialog)
        : m_dialog(dialog)
    {
        qApp->installEventFilter(this);
    }
    ~TimersWait() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Timer || !m_dialog)
            return false;
        for (QObject *object = watched; object; object = object->parent()) {
            if (object == m_dialog)
                return false;
        }
        return true;
    }

private:
    QPointer<QWidget> m_dialog;
};

} // namespace

RptRunProgress::RptRunProgress(QWidget *parent, const QString &title)
    : m_parent(parent), m_title(title)
{
    m_sinceStart.start();
}

RptRunProgress::~RptRunProgress()
{
    delete m_timersWait;
    delete m_dialog;
}

void RptRunProgress::begin(const QString &label, int total)
{
    m_label = label;
    m_total = total;
}

void RptRunProgress::beginRows(int total)
{
    begin(tr("Laying out the report: row %1 of %2"), total);
}

void RptRunProgress::beginPages(int total)
{
    begin(tr("Drawing page %1 of %2"), total);
}

void RptRunProgress::showNow()
{
    if (!m_dialog)
        create(false);
    show(0);
    m_dialog->show();
    m_sinceShown.start();
    QCoreApplication::processEvents();
}

void RptRunProgress::create(bool cancellable)
{
    m_dialog = new QProgressDialog(m_parent);
    m_dialog->setWindowTitle(m_title);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    if (cancellable)
        m_dialog->setCancelButtonText(tr("Cancel"));
    else
        m_dialog->setCancelButton(nullptr);
    m_timersWait = new TimersWait(m_dialog);
}

bool RptRunProgress::step(int done)
{
    if (m_cancelled)
        return false;
    if (!m_dialog) {
        if (m_sinceStart.elapsed() < ShowAfterMs)
            return true;
        create(true);
        show(done);
        m_dialog->show();
    } else if (m_sinceShown.elapsed() < UpdateEveryMs) {
        return true;
    } else {
        show(done);
    }
    m_sinceShown.start();
    QCoreApplication::processEvents();
    if (m_dialog && m_dialog->wasCanceled())
        m_cancelled = true;
    return !m_cancelled;
}

void RptRunProgress::show(int done)
{
    if (m_total <= 0) {
        m_dialog->setRange(0, 0);
        m_dialog->setLabelText(m_label.contains(QLatin1String("%1")) ? m_label.arg(done) : m_label);
        return;
    }
    const int total = qMax(m_total, done);
    m_dialog->setLabelText(m_label.arg(done).arg(total));
    m_dialog->setRange(0, total);
    m_dialog->setValue(done);
}
