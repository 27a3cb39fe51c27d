// Benchmark of the Late Payment List on a large office (built with the tests, not run by ctest): the
// report printed to PDF from the rows of its statement, against the raw query of the same rows (the
// statement run and every value of every row read, the rows kept as the report's model keeps them).
// It runs at two sizes: the office as made, and a copy of it in which the charges of all but the
// first tenth of the apartments are paid off, ten times fewer rows in ten times fewer apartments.
// Every measurement runs in a process of its own, so that each peak of memory is its own.
//
//   scripts/largeoffice.sh /tmp/LARGE.FDB
//   QT_QPA_PLATFORM=offscreen build/tests/bench_latepayments /tmp/LARGE.FDB
//
// Targets: ten times the rows cost the report at most twelve times the time; on the office as made
// the report takes at most 7x the raw query's time and at most 3x its peak memory.
#include "datahub/qsqldoublequerymodel.h"
#include "platform/datafolder.h"
#include "reports/reportsql.h"
#include "reports/tibernereport.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

const double ScalingTarget = 12;
const double TimeTarget = 7;
const double MemoryTarget = 3;

// Every charge of the generated office falls before this day, so the rows do not depend on the clock.
const QDate LateDay(2027, 1, 1);

QString statement()
{
    return ReportSql::latePayments(LateDay);
}

bool openDatabase(const QString &file, const QString &connection)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), connection);
    db.setDatabaseName(file);
    db.setUserName(QStringLiteral("SYSDBA"));
    db.setPassword(QStringLiteral("masterkey"));
    if (!db.open()) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(file), qPrintable(db.lastError().text()));
        return false;
    }
    return true;
}

double peakMb()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// ---- the measuring processes: each prints "rows milliseconds peak-MB" on one line.

int measureRaw(const QString &file)
{
    if (!openDatabase(file, QStringLiteral("raw")))
        return 2;
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("raw")));
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
    std::printf("%d %.1f %.1f\n", rows, timer.nsecsElapsed() / 1e6, peakMb());
    return 0;
}

int measureReport(const QString &file, const QString &pdf)
{
    if (!openDatabase(file, QStringLiteral("report")))
        return 2;
    QElapsedTimer timer;
    timer.start();
    // As the Reports menu runs it: the statement into the hub's kind of report model, then the builder.
    QSqlDoubleQueryModel model;
    model.setQuery(statement(), QSqlDatabase::database(QStringLiteral("report")));
    if (model.lastError().isValid()) {
        std::fprintf(stderr, "%s\n", qPrintable(model.lastError().text()));
        return 2;
    }
    TiberneReport builder;
    TiberneReport::setPdfOutputForTests(pdf);
    builder.printLatePayments(&model, QStringList());
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!QFileInfo(pdf).size()) {
        std::fprintf(stderr, "no PDF written\n");
        return 2;
    }
    std::printf("%d %.1f %.1f\n", model.rowCount(), ms, peakMb());
    return 0;
}

// ---- the driving process

struct Figures
{
    int rows = 0;
    double ms = 0;
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
    if (parts.size() != 3)
        return false;
    figures.rows = parts.at(0).toInt();
    figures.ms = parts.at(1).toDouble();
    figures.mb = parts.at(2).toDouble();
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

    std::printf("%-10s %12s %10s %12s %10s %10s %10s\n", "rows", "raw ms", "raw MB", "report ms", "report MB",
                "time x", "memory x");
    Figures raw[2];
    Figures report[2];
    const QString files[2] = {small, big};
    for (int i = 0; i < 2; ++i) {
        Figures warm;
        // The first reader of a file warms the system's file cache for both measurements after it.
        if (!measure(QStringLiteral("--raw"), files[i], pdf, warm) || !measure(QStringLiteral("--raw"), files[i], pdf, raw[i])
            || !measure(QStringLiteral("--report"), files[i], pdf, report[i]))
            return 2;
        std::printf("%-10d %12.0f %10.1f %12.0f %10.1f %10.1f %10.1f\n", raw[i].rows, raw[i].ms, raw[i].mb,
                    report[i].ms, report[i].mb, report[i].ms / raw[i].ms, report[i].mb / raw[i].mb);
        std::fflush(stdout);
    }

    const double scaling = report[1].ms / report[0].ms;
    const double rowsScale = double(report[1].rows) / report[0].rows;
    const double time = report[1].ms / raw[1].ms;
    const double memory = report[1].mb / raw[1].mb;
    const bool scalingMet = scaling <= ScalingTarget;
    const bool timeMet = time <= TimeTarget;
    const bool memoryMet = memory <= MemoryTarget;
    std::printf("\n%.1fx the rows: the report takes %.1fx the time (target at most %.0fx)   %s\n", rowsScale,
                scaling, ScalingTarget, scalingMet ? "ok" : "MISSED");
    std::printf("at %d rows: the report takes %.1fx the raw query's time (target at most %.0fx)   %s\n",
                report[1].rows, time, TimeTarget, timeMet ? "ok" : "MISSED");
    std::printf("at %d rows: the report peaks at %.1fx the raw query's memory (target at most %.0fx)   %s\n",
                report[1].rows, memory, MemoryTarget, memoryMet ? "ok" : "MISSED");
    return scalingMet && timeMet && memoryMet ? 0 : 1;
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
    if (arguments.size() != 2 || !QFileInfo::exists(arguments.at(1))) {
        std::printf("usage: bench_latepayments LARGE.FDB   (make it with scripts/largeoffice.sh)\n");
        return 2;
    }
    return drive(QFileInfo(arguments.at(1)).absoluteFilePath());
}
