// Benchmark of the Late Payment List on a large office (built with the tests, not run by ctest): the
// report printed to PDF from the rows of its statement, against the raw query of the same rows (the
// statement run forward only and every value of every row read once).
// It runs at two sizes: the office as made, and a copy of it in which the charges of all but the
// first tenth of the apartments are paid off, ten times fewer rows in ten times fewer apartments.
// Every measurement runs in a process of its own, so that each peak of memory is its own.
// On the office as made the report is also run as the clerk runs it, into the preview, which is
// closed once its pages are drawn: the time to the preview, the peak, and the process's size before
// the report and after the preview closed (the report's model let its rows go then, as the Reports
// menu has it do). The size before is taken in a process that has shown a short report already.
//
//   scripts/largeoffice.sh /tmp/LARGE.FDB
//   QT_QPA_PLATFORM=offscreen build/tests/bench_latepayments /tmp/LARGE.FDB
//
// Targets: ten times the rows cost the report at most twelve times the time; on the office as made
// the report takes at most 5x the raw query's time and at most 2x its peak memory, and after the
// preview closes the process is within 1.2x of its size before the report.
#include "datahub/reportquerymodel.h"
#include "platform/datafolder.h"
#include "reports/reportsql.h"
#include "reports/tibernereport.h"
#include "reportengine/rptengine.h"
#include "tests/support/benchprocess.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace {

const double ScalingTarget = 12;
const double TimeTarget = 5;
const double MemoryTarget = 2;
const double GivenBackTarget = 1.2;

// Every charge of the generated office falls before this day, so the rows do not depend on the clock.
const QDate LateDay(2027, 1, 1);

QString statement()
{
    return ReportSql::latePayments(LateDay);
}

// The wall time, the processor time and the peak of resident memory since `start`.
void printFigures(int rows, const QElapsedTimer &timer, const struct rusage &start)
{
    const struct rusage end = usage();
    std::printf("%d %.1f %.1f %.1f\n", rows, timer.nsecsElapsed() / 1e6, cpuMs(end) - cpuMs(start),
                end.ru_maxrss / 1024.0);
}

// The resident size of the process now, in MB.
double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

// ---- the measuring processes: each prints "rows wall-ms processor-ms peak-MB" on one line.

int measureRaw(const QString &file)
{
    if (!openDatabase(file, QStringLiteral("raw")))
        return 2;
    const struct rusage start = usage();
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("raw")));
    query.setForwardOnly(true);
    if (!query.exec(statement())) {
        std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
        return 2;
    }
    const int columns = query.record().count();
    int rows = 0;
    while (query.next()) {
        for (int column = 0; column < columns; ++column)
            query.value(column);
        ++rows;
    }
    printFigures(rows, timer, start);
    return 0;
}

int measureReport(const QString &file, const QString &pdf)
{
    if (!openDatabase(file, QStringLiteral("report")))
        return 2;
    const struct rusage start = usage();
    QElapsedTimer timer;
    timer.start();
    // As the Reports menu runs it: the statement into the hub's kind of report model, then the builder.
    ReportQueryModel model;
    model.setQuery(statement(), QSqlDatabase::database(QStringLiteral("report")));
    if (model.lastError().isValid()) {
        std::fprintf(stderr, "%s\n", qPrintable(model.lastError().text()));
        return 2;
    }
    TiberneReport builder;
    TiberneReport::setPdfOutputForTests(pdf);
    builder.printLatePayments(&model, QStringList());
    if (!QFileInfo(pdf).size()) {
        std::fprintf(stderr, "no PDF written\n");
        return 2;
    }
    printFigures(model.rowCount(), timer, start);
    return 0;
}

// Prints "rows ms-to-preview processor-ms peak-MB before-MB warm-MB shown-MB after-MB": the process's
// size before the report; with the database engine's share once it has run the statement (as it has in
// an office's program that has been at work); with that and a short report shown in the preview and
// closed (the code and fonts of the preview and of the report then in the process, as in a program that
// has shown a report before); and after the long report's preview closed.
int measurePreview(const QString &file)
{
    if (!openDatabase(file, QStringLiteral("preview")))
        return 2;
    const QSqlDatabase db = QSqlDatabase::database(QStringLiteral("preview"));
    const double before = residentMb();
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.exec(statement());
        while (query.next())
            query.value(0);
    }
    const double warm = residentMb();

    TiberneReport builder;
    QElapsedTimer timer;
    qint64 shownMs = -1;
    int rows = 0;
    // A preview is closed as soon as its first run is over and it stands on screen.
    ReportQueryModel *shownModel = nullptr;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        if (!preview || RptEngine::runInProgress())
            return;
        shownMs = timer.elapsed();
        rows = shownModel->rowCount();
        preview->reject();
    });
    // Both reports as the Reports menu runs them: the rows let go once the preview is closed.
    const auto preview = [&](const QString &sql) {
        ReportQueryModel model;
        model.setQuery(sql, db);
        if (model.lastError().isValid()) {
            std::fprintf(stderr, "%s\n", qPrintable(model.lastError().text()));
            return false;
        }
        shownModel = &model;
        shownMs = -1;
        timer.start();
        closer.start();
        builder.releaseRowsAfterOutput(&model);
        builder.printLatePayments(&model, QStringList());
        closer.stop();
        if (shownMs < 0 || model.rowCount() != 0) {
            std::fprintf(stderr, shownMs < 0 ? "no preview shown\n" : "the rows were kept\n");
            return false;
        }
        return true;
    };
    if (!preview(QString(statement()).replace(0, 6, QStringLiteral("select first 20"))))
        return 2;
    const double shown = residentMb();
    const struct rusage start = usage();
    if (!preview(statement()))
        return 2;
    const struct rusage end = usage();
    std::printf("%d %lld %.1f %.1f %.1f %.1f %.1f %.1f\n", rows, shownMs, cpuMs(end) - cpuMs(start),
                end.ru_maxrss / 1024.0, before, warm, shown, residentMb());
    return 0;
}

// ---- the driving process

struct Figures
{
    int rows = 0;
    double ms = 0;
    double cpuMs = 0;
    double mb = 0;
};

bool measure(const QString &mode, const QString &file, const QString &pdf, Figures &figures)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {mode, file, pdf});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::printf("%s on %s failed\n", qPrintable(mode), qPrintable(file));
        return false;
    }
    const QStringList parts = QString::fromLatin1(process.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    if (parts.size() != 4)
        return false;
    figures.rows = parts.at(0).toInt();
    figures.ms = parts.at(1).toDouble();
    figures.cpuMs = parts.at(2).toDouble();
    figures.mb = parts.at(3).toDouble();
    return true;
}

// A smaller office from the same rows: every charge outside the first tenth of the apartments paid off.
bool payOffAllButATenth(const QString &file)
{
    if (!openDatabase(file, QStringLiteral("small")))
        return false;
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("small"));
    QSqlQuery query(db);
    const bool done = query.exec(QStringLiteral("update charges set amt = 0 where amt > 0 and apid > "
                                                "(select max(apid) / 10 from apartments)"));
    if (!done)
        std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
    // The old versions of the updated rows are cleared now rather than by the first measured reader.
    if (done)
        query.exec(QStringLiteral("select count(*) from charges"));
    return done;
}

int drive(const QString &large)
{
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.fdb"));
    const QString small = dir.filePath(QStringLiteral("small.fdb"));
    const QString pdf = dir.filePath(QStringLiteral("latepayments.pdf"));
    // The driving process never opens a database: the engine of one process would keep the file from
    // the others.
    if (!QFile::copy(large, big) || !QFile::copy(large, small)
        || QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--pay-off"), small, pdf}) != 0) {
        std::printf("cannot prepare the copies of %s in %s\n", qPrintable(large), qPrintable(dir.path()));
        return 2;
    }

    // Wall time is what the user waits; the processor time beside it shows how far a busy machine
    // stretched it.
    std::printf("%-8s | %-27s | %-27s | %s\n", "", "raw query", "report to PDF", "report / raw query");
    std::printf("%-8s | %8s %8s %9s | %8s %8s %9s | %6s %6s %7s\n", "rows", "wall s", "cpu s", "peak MB", "wall s",
                "cpu s", "peak MB", "wall", "cpu", "memory");
    Figures raw[2];
    Figures report[2];
    const QString files[2] = {small, big};
    for (int i = 0; i < 2; ++i) {
        Figures warm;
        // The first reader of a file warms the system's file cache for both measurements after it.
        if (!measure(QStringLiteral("--raw"), files[i], pdf, warm) || !measure(QStringLiteral("--raw"), files[i], pdf, raw[i])
            || !measure(QStringLiteral("--report"), files[i], pdf, report[i]))
            return 2;
        std::printf("%-8d | %8.1f %8.1f %9.1f | %8.1f %8.1f %9.1f | %5.1fx %5.1fx %6.1fx\n", raw[i].rows,
                    raw[i].ms / 1e3, raw[i].cpuMs / 1e3, raw[i].mb, report[i].ms / 1e3, report[i].cpuMs / 1e3,
                    report[i].mb, report[i].ms / raw[i].ms, report[i].cpuMs / raw[i].cpuMs, report[i].mb / raw[i].mb);
        std::fflush(stdout);
    }

    const double rowsScale = double(report[1].rows) / report[0].rows;
    const double scaling = report[1].ms / report[0].ms;
    const double time = report[1].ms / raw[1].ms;
    const double memory = report[1].mb / raw[1].mb;

    // The clerk's way, into the preview and out of it again.
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--preview"), big, pdf});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::printf("--preview on %s failed\n", qPrintable(big));
        return 2;
    }
    const QStringList parts = QString::fromLatin1(process.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    if (parts.size() != 8)
        return 2;
    const double previewMs = parts.at(1).toDouble();
    const double previewMb = parts.at(3).toDouble();
    const double before = parts.at(4).toDouble();
    const double warm = parts.at(5).toDouble();
    const double shown = parts.at(6).toDouble();
    const double after = parts.at(7).toDouble();
    std::printf("%-8s | %27s | %8.1f %8.1f %9.1f | %5.1fx %6s %6.1fx   (preview)\n", qPrintable(parts.at(0)), "",
                previewMs / 1e3, parts.at(2).toDouble() / 1e3, previewMb, previewMs / raw[1].ms, "",
                previewMb / raw[1].mb);
    std::printf("process before the report %.1f MB, %.1f MB with the statement once run, %.1f MB with a short report "
                "shown as well; after the preview closed %.1f MB (%.2fx the size with the statement once run, the "
                "preview's code and fonts first loaded by the report)\n",
                before, warm, shown, after, after / warm);

    const bool scalingMet = scaling <= ScalingTarget;
    const bool timeMet = time <= TimeTarget;
    const bool memoryMet = memory <= MemoryTarget;
    std::printf("\n%.1fx the rows: the report takes %.1fx the time, %.1fx the processor time (target at most %.0fx)"
                "   %s\n",
                rowsScale, scaling, report[1].cpuMs / report[0].cpuMs, ScalingTarget, scalingMet ? "ok" : "MISSED");
    std::printf("at %d rows: the report takes %.1fx the raw query's time, %.1fx its processor time (target at most "
                "%.0fx)   %s\n",
                report[1].rows, time, report[1].cpuMs / raw[1].cpuMs, TimeTarget, timeMet ? "ok" : "MISSED");
    std::printf("at %d rows: the report peaks at %.1fx the raw query's memory (target at most %.0fx)   %s\n",
                report[1].rows, memory, MemoryTarget, memoryMet ? "ok" : "MISSED");
    const bool givenBackMet = after <= GivenBackTarget * shown;
    std::printf("after the preview closed the process is %.2fx its size before the report, having run the statement "
                "and shown a short report (target at most %.1fx)   %s\n",
                after / shown, GivenBackTarget, givenBackMet ? "ok" : "MISSED");
    return scalingMet && timeMet && memoryMet && givenBackMet ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DataFolder::prepareDatabaseEngine();
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--raw"))
        return measureRaw(arguments.at(2));
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--pay-off"))
        return payOffAllButATenth(arguments.at(2)) ? 0 : 2;
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--report"))
        return measureReport(arguments.at(2), arguments.at(3));
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--preview"))
        return measurePreview(arguments.at(2));
    if (arguments.size() != 2 || !QFileInfo::exists(arguments.at(1))) {
        std::printf("usage: bench_latepayments LARGE.FDB   (make it with scripts/largeoffice.sh)\n");
        return 2;
    }
    return drive(QFileInfo(arguments.at(1)).absoluteFilePath());
}
