// A long report run from the main window as the clerk runs it: the progress it shows, its Cancel, and a
// command asked for while it runs.
#include "testhub.h"
#include "tests/reports/pdftext.h"
#include "tests/reports/previewdriver.h"

#include "datahub/today.h"
#include "platform/datafolder.h"
#include "reportengine/rptengine.h"
#include "reports/tibernereport.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

// Owed charges enough for a run that lasts more than a moment, spread over the let apartments: about
// two seconds of laying out and drawing here, five times the wait before the progress shows, so that a
// quicker machine still shows it.
const int LateCharges = 40000;

QVariant scalar(const QString &sql)
{
    QSqlQuery query(sql);
    return query.next() ? query.value(0) : QVariant();
}

// Watches the progress dialogs while a report runs. Once the one with `title` shows a count above 0, it
// asks for the Late Payment List twice, as the clerk would (Ctrl+L on the main window, then the menu's
// action), notes what those did to the running report's rows, and presses Cancel. The program's timers
// wait while a report runs, so the watcher follows the dialogs' own events: their showing, and then the
// paints their label's changes bring, for a dialog that first shows before any row is counted.
class ProgressWatcher : public QObject
{
public:
    ProgressWatcher(QWidget *window, const QString &title)
        : window(window), title(title)
    {
        qApp->installEventFilter(this);
    }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }

    QStringList labels;
    int rowsBefore = -1;
    int rowsAfter = -1;
    int rowsReset = 0;
    bool cancelled = false;
    QSet<QObject *> previews;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QPrintPreviewDialog *>(watched))
            previews.insert(watched);
        auto *progress = qobject_cast<QProgressDialog *>(watched);
        if (progress && event->type() == QEvent::Show) {
            shown = progress;
            lastLabel.clear();
        }
        // A label that changes is painted again; a dialog on its way out paints nothing.
        if (!shown || (event->type() != QEvent::Show && event->type() != QEvent::Paint) || !watched->isWidgetType()
            || (watched != shown && !shown->isAncestorOf(static_cast<QWidget *>(watched))))
            return false;
        const QString label = shown->windowTitle() + QLatin1Char('|') + shown->labelText();
        if (label == lastLabel)
            return false;
        lastLabel = label;
        labels << label;
        if (!cancelled && shown->windowTitle() == title && shown->value() > 0) {
            cancelled = true;
            QPointer<QProgressDialog> counting = shown;
            QMetaObject::invokeMethod(
                this, [this, counting] { act(counting); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void act(QProgressDialog *progress)
    {
        QVERIFY(progress && progress->isVisible());
        auto *rows = qobject_cast<MainWindow *>(window)->dataSource()->reportQueryModel();
        rowsBefore = rows->rowCount();
        const QMetaObject::Connection reset =
            connect(rows, &QAbstractItemModel::modelReset, this, [this] { ++rowsReset; });
        QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier);
        window->findChild<QAction *>(QStringLiteral("action_Late_Payment_List"))->trigger();
        disconnect(reset);
        rowsAfter = rows->rowCount();
        QPushButton *cancel = progress->findChild<QPushButton *>();
        QVERIFY(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
    }

    QWidget *window;
    QString title;
    QPointer<QProgressDialog> shown;
    QString lastLabel;
};

} // namespace

class TestReportProgress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void longReportShowsProgressAndCancelLeavesNothing();

private:
    QTemporaryDir docs;
    std::unique_ptr<MainWindow> window;
};

void TestReportProgress::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    MsgBox::setTestMode(true);
    qputenv("VELLORAN_VERSION_URL", "http://127.0.0.1:1/version.php");
    qputenv("VELLORAN_DOCUMENTS", QFile::encodeName(docs.path()));
    QDir().mkpath(DataFolder::path());
    const QString file = QStringLiteral("DEMO.FDB");
    QVERIFY(QFile::copy(TestDatabase::builtDatabase(file), DataFolder::filePath(file)));
    QFile::setPermissions(DataFolder::filePath(file), QFile::ReadOwner | QFile::WriteOwner);
    {
        ModalDriver driver;
        driver.ok();
        window = std::make_unique<MainWindow>();
    }
    QVERIFY(window->isDatabaseOpen());
    window->dataSource()->setCanViewReports(true);
    Today::set(QDate(2030, 1, 1));
    QVERIFY(exec(QStringLiteral("execute block as declare i integer = 0; declare a integer; declare t integer; "
                                "begin while (i < %1) do begin "
                                "for select apid, tid from apartments where tid > 0 into :a, :t do begin "
                                "insert into charges (chid, tid, apid, type, amt, origamount, fordate) values "
                                "(gen_id(GEN_CHARGES_ID, 1), :t, :a, 'Rent', 10, 10, dateadd(-mod(:i, 900) day to "
                                "date '2025-01-01')); i = i + 1; end end end")
                     .arg(LateCharges)));
}

void TestReportProgress::cleanupTestCase()
{
    window.reset();
    releaseConnection();
}

// The save from the preview is cancelled while it runs: the file that stood under its name is untouched
// and no part of the report lies beside it; the Late Payment List asked for meanwhile, by key and by menu,
// opens no second report and leaves the running one's rows alone. Then the preview's own run is cancelled,
// which closes it; and the report run once more from the start prints whole.
void TestReportProgress::longReportShowsProgressAndCancelLeavesNothing()
{
    const int late = scalar(QStringLiteral("select count(*) from charges where amt > 0")).toInt();
    QVERIFY(late >= LateCharges);
    const QString pdf = TestEnvironment::root() + QStringLiteral("/late.pdf");
    {
        QFile earlier(pdf);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier report");
    }
    QAction *command = window->findChild<QAction *>(QStringLiteral("action_Late_Payment_List"));
    QVERIFY(command);

    {
        ProgressWatcher watcher(window.get(), QStringLiteral("Saving the report"));
        ModalDriver driver;
        saveAsPdfFromPreview(driver, pdf);
        // The file dialog asks before the earlier file is replaced.
        driver.ok([](QDialog *question) {
            auto *box = qobject_cast<QMessageBox *>(question);
            QVERIFY(box);
            box->button(QMessageBox::Yes)->click();
        });
        command->trigger();
        QVERIFY2(watcher.cancelled, qPrintable(watcher.labels.join(QLatin1Char('\n'))));
        const QRegularExpression counted(QStringLiteral("^Saving the report\\|(Laying out the report: row|Drawing "
                                                        "page) [1-9]\\d* of [1-9]\\d*$"));
        QVERIFY2(!watcher.labels.filter(counted).isEmpty(), qPrintable(watcher.labels.join(QLatin1Char('\n'))));
        QCOMPARE(watcher.rowsBefore, late);
        QCOMPARE(watcher.rowsAfter, late);
        QCOMPARE(watcher.rowsReset, 0);
        QCOMPARE(watcher.previews.size(), 1);
        QCOMPARE(driver.handled, 3);
        QCOMPARE(driver.unexpected, 0);
        QVERIFY2(MsgBox::shownTexts().isEmpty(), qPrintable(MsgBox::shownTexts().join(QLatin1Char('|'))));
    }
    QFile kept(pdf);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("an earlier report"));
    kept.close();
    QCOMPARE(QDir(TestEnvironment::root()).entryList({QStringLiteral("late.pdf*")}), QStringList{"late.pdf"});
    QVERIFY(!RptEngine::runInProgress());
    QVERIFY(!window->dataSource()->reportGenerator()->isRunning());

    {
        ProgressWatcher watcher(window.get(), QStringLiteral("Preparing the preview"));
        command->trigger();
        QVERIFY2(watcher.cancelled, qPrintable(watcher.labels.join(QLatin1Char('\n'))));
        QVERIFY(!qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget()));
        QVERIFY(!window->dataSource()->reportGenerator()->isRunning());
    }

    QVERIFY(QFile::remove(pdf));
    ModalDriver driver;
    saveAsPdfFromPreview(driver, pdf);
    command->trigger();
    QCOMPARE(driver.handled, 2);
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Number of Late Payments: %1").arg(late)), qPrintable(text.right(500)));
    QVERIFY(text.contains(QLatin1String("Grand Total:")));
}

VELLORAN_TEST_MAIN(TestReportProgress)
#include "tst_reportprogress.moc"
