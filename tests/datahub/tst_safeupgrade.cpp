// Opening a file of the earlier layout: it is brought up to date on a copy that takes its place, so
// that an opening killed at any moment leaves the file as it was or up to date, and the next opening
// goes through with every row the office had.

#include "olderfile.h"
#include "testhub.h"

#include "datahub/safeupgrade.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QThread>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const int Kills = 24;
// The diagnostics of the upgrade's first and last steps.
const QString Copying = QStringLiteral("upgrade: copying");
const QString Placed = QStringLiteral("upgrade: the copy brought up to date took the place");

// Every row of every table, read in the columns the file had before its upgrade (`columns`; those of
// the file now when none are given), sorted, as one text.
QString rowsOf(const QString &path, QMap<QString, QStringList> *columns)
{
    QStringList tables;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("rows"));
        db.setDatabaseName(path);
        db.setUserName(QStringLiteral("SYSDBA"));
        db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
        QSqlQuery query(db.open() ? db : QSqlDatabase());
        if (columns->isEmpty()) {
            query.exec("select trim(r.rdb$relation_name), trim(f.rdb$field_name) from rdb$relations r join "
                       "rdb$relation_fields f on f.rdb$relation_name = r.rdb$relation_name where r.rdb$system_flag "
                       "= 0 and r.rdb$view_blr is null order by 1, f.rdb$field_position");
            while (query.next())
                (*columns)[query.value(0).toString()] << query.value(1).toString();
        }
        for (auto table = columns->cbegin(); table != columns->cend(); ++table) {
            QStringList rows(table.key());
            if (!query.exec(QStringLiteral("select %1 from %2").arg(table.value().join(','), table.key())))
                rows << query.lastError().text();
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.record().count(); ++i)
                    values << (query.isNull(i) ? QStringLiteral("<null>") : query.value(i).toString());
                rows << values.join(QChar(0x1f));
            }
            std::sort(rows.begin() + 1, rows.end());
            tables << rows.join('\n');
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("rows"));
    return tables.join(QStringLiteral("\n\n"));
}

// The program's installation check on the data folder under `documents`, its diagnostics on; the
// engine's locks and temporary files, which a kill leaves behind, are the test's own.
struct StartUpCheck
{
    StartUpCheck(const QString &documents, const QString &engineFiles)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VELLORAN_DOCUMENTS"), documents);
        environment.insert(QStringLiteral("FIREBIRD_LOCK"), engineFiles);
        environment.insert(QStringLiteral("TMPDIR"), engineFiles);
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("velloran.debug=true"));
        environment.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{message}"));
        process.setProcessEnvironment(environment);
        process.setReadChannel(QProcess::StandardError);
        started.start();
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../velloran"),
                      {QStringLiteral("--check-start-up")});
    }
    ~StartUpCheck() { process.waitForFinished(); }

    // Reads the diagnostics until the step `until` or the end, noting when each step was read.
    void read(const QString &until = QString())
    {
        for (bool running = true; running && !steps.contains(until);) {
            running = process.state() != QProcess::NotRunning;
            if (running)
                process.waitForReadyRead(1);
            while (process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(process.readLine());
                for (const QString &step : {Copying, Placed})
                    if (line.startsWith(step) && !steps.contains(step))
                        steps.insert(step, started.elapsed());
            }
        }
        output += QString::fromLocal8Bit(process.readAllStandardOutput());
    }

    QProcess process;
    QElapsedTimer started;
    QMap<QString, qint64> steps;
    QString output;
};

// What the progress dialogs said each time they were painted, and whether the wait cursor was up.
struct ProgressWatch : QObject
{
    ProgressWatch() { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        auto *progress = widget ? qobject_cast<QProgressDialog *>(widget->window()) : nullptr;
        if (progress && event->type() == QEvent::Paint) {
            if (said.isEmpty() || said.constLast() != progress->labelText())
                said << progress->labelText();
            const QCursor *cursor = QApplication::overrideCursor();
            waitCursor = waitCursor && cursor && cursor->shape() == Qt::WaitCursor;
        }
        return false;
    }
    QStringList said;
    bool waitCursor = true;
};

ino_t inode(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

class TestSafeUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void upgradeIsShownAndOnlyAnOlderFileIsCopied();
    void openingKilledAtAnyMomentLeavesTheFileWhole();
    void fullDiskLeavesTheFileAsItWas();
};

void TestSafeUpgrade::upgradeIsShownAndOnlyAnOlderFileIsCopied()
{
    TestDatabase copy(QStringLiteral("DEMO.FDB"));
    QVERIFY(OlderFile::make(copy.path()));
    QMap<QString, QStringList> columns;
    const QString before = rowsOf(copy.path(), &columns);
    ino_t file = inode(copy.path());
    for (const bool upgraded : {true, false}) {
        {
            ProgressWatch watch;
            std::unique_ptr<XDataSource> hub(hubOnCopy(copy));
            QVERIFY2(hub->openDatabase(), qPrintable(hub->lastErrorText()));
            const QStringList parts = {"Copying the database...", "Bringing the database up to date...",
                                       "Putting the database in place..."};
            QCOMPARE(watch.said, upgraded ? parts : QStringList());
            QVERIFY(watch.waitCursor && !QApplication::overrideCursor());
            QCOMPARE(hub->upgradeSummary().contains("done on a copy"), upgraded);
        }
        releaseConnection();
        // Brought up to date, the file is another; up to date already, it is opened where it lies.
        QCOMPARE(inode(copy.path()) != file, upgraded);
        file = inode(copy.path());
        QCOMPARE(rowsOf(copy.path(), &columns), before);
        QVERIFY(!QFile::exists(SafeUpgrade::copyOf(copy.path())));
    }
}

void TestSafeUpgrade::openingKilledAtAnyMomentLeavesTheFileWhole()
{
    // The demonstration office of the earlier layout, copied into a data folder of its own for each
    // opening; the working office is the delivered one, up to date.
    QTemporaryDir work;
    const QString older = work.path() + QStringLiteral("/DEMO.FDB");
    const QString engineFiles = work.path() + QStringLiteral("/engine");
    QVERIFY(QDir().mkpath(engineFiles) && QFile::copy(TestDatabase::builtDatabase("DEMO.FDB"), older));
    QFile::setPermissions(older, QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(OlderFile::make(older));
    QMap<QString, QStringList> columns;
    const QString before = rowsOf(older, &columns);
    QString office;
    const auto freshFolder = [&](int run) {
        const QString documents = work.path() + QStringLiteral("/run%1").arg(run);
        QDir().mkpath(documents + QStringLiteral("/Morvessa/Morvessa Velloran"));
        office = documents + QStringLiteral("/Morvessa/Morvessa Velloran/DEMO.FDB");
        QFile::copy(older, office);
        return documents;
    };

    // How long an upgrade takes: the middle of the openings seen to go through one.
    QVector<qint64> upgrades;
    const auto noteUpgrade = [&upgrades](const StartUpCheck &check) {
        if (check.steps.contains(Copying) && check.steps.contains(Placed))
            upgrades << check.steps.value(Placed) - check.steps.value(Copying);
        std::sort(upgrades.begin(), upgrades.end());
    };
    {
        StartUpCheck check(freshFolder(-1), engineFiles);
        check.read();
        QVERIFY2(check.output.contains(QRegularExpression("DEMO.FDB: opened in .*brought up to date.*done on a copy")),
                 qPrintable(check.output));
        noteUpgrade(check);
        QVERIFY2(!upgrades.isEmpty(), qPrintable(check.output));
    }

    // Killed at moments spread from the upgrade's first step to a little after its last. The kills may
    // be shared among n processes run side by side (VELLORAN_UPGRADE_KILL_PARTS=n), each making its part.
    const int kills = Kills / qMax(1, qEnvironmentVariableIntValue("VELLORAN_UPGRADE_KILL_PARTS"));
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int midUpgrade = 0;
    int leftoversRemoved = 0;
    for (int kill = 0; kill < kills; ++kill) {
        const QString documents = freshFolder(kill);
        const qint64 upgrade = upgrades.at(upgrades.size() / 2);
        const int delay = random.bounded(int(upgrade + upgrade / 10 + 2));
        const QString context = QStringLiteral("seed %1, kill %2 %3 ms into the upgrade: ").arg(seed).arg(kill).arg(delay);
        {
            StartUpCheck check(documents, engineFiles);
            check.read(Copying);
            QThread::msleep(ulong(delay));
            check.process.kill();
            check.read();
            midUpgrade += check.steps.contains(Copying) && !check.steps.contains(Placed) ? 1 : 0;
        }
        // The next opening goes through, the office with every row it had and nothing left beside it.
        StartUpCheck next(documents, engineFiles);
        next.read();
        noteUpgrade(next);
        QVERIFY2(next.process.exitCode() == 0 && next.output.contains("DEMO.FDB: opened in"),
                 qPrintable(context + next.output));
        leftoversRemoved += next.output.contains("broken off was removed") ? 1 : 0;
        QVERIFY2(rowsOf(office, &columns) == before, qPrintable(context + "the rows changed"));
        QVERIFY2(!QFile::exists(SafeUpgrade::copyOf(office)), qPrintable(context));
        QDir(documents).removeRecursively();
    }
    // Kills enough land in the middle of the upgrade, and leave a copy that the next opening removes.
    QVERIFY2(midUpgrade >= kills / 3 && leftoversRemoved > 0,
             qPrintable(QStringLiteral("seed %1: %2 of %3 kills mid-upgrade, %4 copies left")
                            .arg(seed).arg(midUpgrade).arg(kills).arg(leftoversRemoved)));
}

void TestSafeUpgrade::fullDiskLeavesTheFileAsItWas()
{
    TestDatabase copy(QStringLiteral("DEMO.FDB"));
    QVERIFY(OlderFile::make(copy.path()));
    QMap<QString, QStringList> columns;
    const QString before = rowsOf(copy.path(), &columns);
    // No file of this process grows past half the office's size: a write beyond fails as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlim_t unlimited = limit.rlim_cur;
    limit.rlim_cur = rlim_t(QFileInfo(copy.path()).size() / 2);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::unique_ptr<XDataSource> hub(hubOnCopy(copy));
    const bool opened = hub->openDatabase();
    limit.rlim_cur = unlimited;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    QVERIFY(!opened);
    const QString said = hub->lastErrorText();
    QVERIFY2(said.startsWith("The database could not be brought up to date: no copy could be made beside it")
                 && said.endsWith("The file is left as it was."),
             qPrintable(said));
    hub.reset();
    releaseConnection();
    QCOMPARE(rowsOf(copy.path(), &columns), before);
    QVERIFY(!QFile::exists(SafeUpgrade::copyOf(copy.path())));
}

VELLORAN_TEST_MAIN(TestSafeUpgrade)
#include "tst_safeupgrade.moc"
