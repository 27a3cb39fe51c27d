// Benchmark of the Cashbook Report on a large office (built with the tests, not run by ctest): a year
// of every building's entries, as the Reports menu runs it, saved to PDF and shown in the preview, each
// beside its statement run in the same round (forward only, every value of every row read once).
// Every measurement is a process of its own; a round runs the statement, the report to PDF and the
// report into its preview one after the other, so that a busy machine weighs on all three alike.
//
//   scripts/largeoffice.sh /tmp/LARGE.FDB
//   QT_QPA_PLATFORM=offscreen build/tests/bench_cashbookreport /tmp/LARGE.FDB [ROUNDS]
//
// Figures are the medians of the rounds: the whole process (start to exit) and, inside it, the time
// from the statement to the PDF written or the preview shown, with the processor time, the minor page
// faults and the peak of resident memory. Target: the report, to PDF and to the preview, within 4x its
// statement, inside the process and as whole processes.
#include "datahub/reportquerymodel.h"
#include "platform/datafolder.h"
#include "reports/reportsql.h"
#include "reports/tibernereport.h"
#include "reportengine/rptengine.h"
#include "tests/support/benchprocess.h"

#include <QApplication>
#include <QDate>
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

#include <algorithm>
#include <cstdio>

namespace {

const double TimeTarget = 4;
const int DefaultRounds = 5;

QString statement()
{
    return ReportSql::cashbook(ReportSql::everyBuildingAndNone(), QDate(2022, 1, 1), QDate(2022, 12, 31));
}

// The headings the Reports menu gives the Cashbook Report: the period, four empty texts, the title.
QStringList headings()
{
    return {QStringLiteral("From 1/1/2022 To 12/31/2022"), QString(), QString(), QString(), QString(),
            QStringLiteral("Cashbook Entries")};
}

// ---- the measuring processes: each prints "rows wall-ms processor-ms minor-faults peak-MB".

void printFigures(int rows, qint64 wallNs, const struct rusage &start)
{
    const struct rusage end = usage();
    std::printf("%d %.1f %.1f %ld %.1f\n", rows, wallNs / 1e6, cpuMs(end) - cpuMs(start),
                end.ru_minflt - start.ru_minflt, end.ru_maxrss / 1024.0);
}

int measureStatement()
{
    const struct rusage start = usage();
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query;
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
    printFigures(rows, timer.nsecsElapsed(), start);
    return 0;
}

// As the Reports menu runs it: the statement into the hub's kind of report model, the rows let go once
// the output is done. With `pdf` empty the report goes to the preview, closed once it stands drawn.
int measureReport(const QString &pdf)
{
    const struct rusage start = usage();
    QElapsedTimer timer;
    timer.start();
    qint64 doneNs = -1;
    int rows = 0;
    ReportQueryModel model;
    TiberneReport builder;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        if (!preview || RptEngine::runInProgress())
            return;
        doneNs = timer.nsecsElapsed();
        preview->reject();
    });
    model.setQuery(statement());
    if (model.lastError().isValid()) {
        std::fprintf(stderr, "%s\n", qPrintable(model.lastError().text()));
        return 2;
    }
    TiberneReport::setPdfOutputForTests(pdf);
    if (pdf.isEmpty())
        closer.start();
    // The rows are let go once the output is done; what the report held is counted as they come.
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&] { rows = qMax(rows, model.rowCount()); });
    builder.releaseRowsAfterOutput(&model);
    builder.printCashbook(&model, headings());
    if (!pdf.isEmpty()) {
        doneNs = timer.nsecsElapsed();
        if (!QFileInfo(pdf).size()) {
            std::fprintf(stderr, "no PDF written\n");
            return 2;
        }
    } else if (doneNs < 0) {
        std::fprintf(stderr, "no preview shown\n");
        return 2;
    }
    printFigures(rows, doneNs, start);
    return 0;
}

// ---- the driving process

struct Figures
{
    int rows = 0;
    double processMs = 0;
    double ms = 0;
    double cpuMs = 0;
    double faults = 0;
    double mb = 0;
};

bool measure(const QStringList &arguments, Figures &figures)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(QCoreApplication::applicationFilePath(), arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::printf("%s failed\n", qPrintable(arguments.join(QLatin1Char(' '))));
        return false;
    }
    figures.processMs = timer.nsecsElapsed() / 1e6;
    const QStringList parts = QString::fromLatin1(process.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    if (parts.size() != 5)
        return false;
    figures.rows = parts.at(0).toInt();
    figures.ms = parts.at(1).toDouble();
    figures.cpuMs = parts.at(2).toDouble();
    figures.faults = parts.at(3).toDouble();
    figures.mb = parts.at(4).toDouble();
    return true;
}

double median(QVector<Figures> runs, double Figures::*figure)
{
    std::sort(runs.begin(), runs.end(), [figure](const Figures &a, const Figures &b) { return a.*figure < b.*figure; });
    return runs.at(runs.size() / 2).*figure;
}

int drive(const QString &file, int rounds)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("cashbook.pdf"));
    const QStringList modes = {QStringLiteral("--statement"), QStringLiteral("--pdf"), QStringLiteral("--preview")};
    QVector<Figures> runs[3];
    // The first reader of the file warms the system's file cache for every measurement after it.
    Figures warm;
    if (!measure({modes.first(), file, pdf}, warm))
        return 2;
    for (int round = 0; round < rounds; ++round) {
        for (int mode = 0; mode < 3; ++mode) {
            Figures figures;
            if (!measure({modes.at(mode), file, pdf}, figures))
                return 2;
            runs[mode].append(figures);
        }
    }

    std::printf("Cashbook Report, every building, 2022: %d rows, medians of %d rounds\n", runs[0].first().rows, rounds);
    std::printf("%-22s | %9s %9s %9s %11s %8s | %9s %9s\n", "", "process s", "inside s", "cpu s", "minor faults",
                "peak MB", "process", "inside");
    bool met = true;
    const char *names[3] = {"statement", "report to PDF", "report to preview"};
    for (int mode = 0; mode < 3; ++mode) {
        const double process = median(runs[mode], &Figures::processMs);
        const double inside = median(runs[mode], &Figures::ms);
        const double processRatio = process / median(runs[0], &Figures::processMs);
        const double insideRatio = inside / median(runs[0], &Figures::ms);
        std::printf("%-22s | %9.2f %9.2f %9.2f %11.0f %8.1f | %8.1fx %8.1fx\n", names[mode], process / 1e3,
                    inside / 1e3, median(runs[mode], &Figures::cpuMs) / 1e3, median(runs[mode], &Figures::faults),
                    median(runs[mode], &Figures::mb), processRatio, insideRatio);
        if (mode > 0)
            met = met && processRatio <= TimeTarget && insideRatio <= TimeTarget;
    }
    std::printf("\nthe report within %.0fx its statement, to PDF and to the preview   %s\n", TimeTarget,
                met ? "ok" : "MISSED");
    return met ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DataFolder::prepareDatabaseEngine();
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments.at(1).startsWith(QLatin1String("--"))) {
        if (!openDatabase(arguments.at(2)))
            return 2;
        if (arguments.at(1) == QLatin1String("--statement"))
            return measureStatement();
        if (arguments.at(1) == QLatin1String("--pdf"))
            return measureReport(arguments.at(3));
        if (arguments.at(1) == QLatin1String("--preview"))
            return measureReport(QString());
        return 2;
    }
    if (arguments.size() < 2 || arguments.size() > 3 || !QFileInfo::exists(arguments.at(1))) {
        std::printf("usage: bench_cashbookreport LARGE.FDB [ROUNDS]   (make it with scripts/largeoffice.sh)\n");
        return 2;
    }
    const int rounds = arguments.size() == 3 ? qMax(1, arguments.at(2).toInt()) : DefaultRounds;
    return drive(QFileInfo(arguments.at(1)).absoluteFilePath(), rounds);
}
