// Opening a file of the earlier layout: it is brought up to date on a copy that takes its place, so
// that an opening killed at any moment leaves the file as it was or up to date, and the next opening
// goes through with every row the office had.

#include "olderfile.h"
#include "testhub.h"

#include "datahub/safeupgrade.h"
#include "datahub/workunderway.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlRecord>
#include <QThread>

#include <atomic>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

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
            // A part that takes its time says how long it has run: the part is the text without it.
            QString part = progress->labelText();
            if (part.remove(QRegularExpression(QStringLiteral(" \\(\\S+ s\\)$"))) != progress->labelText()
                && (timed.isEmpty() || timed.constLast() != progress->labelText()))
                timed << progress->labelText();
            if (said.isEmpty() || said.constLast() != part)
                said << part;
            if (auto *bar = qobject_cast<QProgressBar *>(widget))
                counted << bar->text();
            const QCursor *cursor = QApplication::overrideCursor();
            waitCursor = waitCursor && cursor && cursor->shape() == Qt::WaitCursor;
        }
        return false;
    }
    QStringList said;
    QStringList timed;
    QStringList counted;
    bool waitCursor = true;
};

ino_t inode(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// How many descriptors of this process have the file open.
int descriptorsOf(const struct stat &file)
{
    int count = 0;
    const QDir folder(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : folder.entryList(QDir::Files | QDir::System)) {
        struct stat open = {};
        count += ::stat(QFile::encodeName(folder.filePath(fd)).constData(), &open) == 0 && open.st_dev == file.st_dev
            && open.st_ino == file.st_ino;
    }
    return count;
}

// Every extended attribute of the file with its value, the access list among them.
QMap<QByteArray, QByteArray> attributesOf(const QByteArray &file)
{
    QMap<QByteArray, QByteArray> attributes;
    std::vector<char> names(4096), value(4096);
    const ssize_t size = ::listxattr(file.constData(), names.data(), names.size());
    for (const QByteArray &name : QByteArray(names.data(), int(qMax<ssize_t>(size, 0))).split('\0')) {
        const ssize_t length = ::getxattr(file.constData(), name.constData(), value.data(), value.size());
        if (!name.isEmpty() && length >= 0)
            attributes.insert(name, QByteArray(value.data(), int(length)));
    }
    return attributes;
}

} // namespace

class TestSafeUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void upgradeIsShownAndOnlyAnOlderFileIsCopied();
    void partShowingNothingNewSaysHowLongItHasRun();
    void openingKilledAtAnyMomentLeavesTheFileWhole();
    void fullDiskLeavesTheFileAsItWas();
    void fileReplacedMeanwhileIsLeftToTheOther_data();
    void fileReplacedMeanwhileIsLeftToTheOther();
    void copyKeepsOwnerModeAndAttributes();
    void linkAtTheCopysNameIsRemovedNotFollowed();
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
            const QStringList parts = {"Copying the database...",
                                       "Adding the new columns and indices...",
                                       "Linking the charges to the bills that posted them...",
                                       "Reading the bills and their charges...",
                                       "Bringing the database up to date...",
                                       "Recording the days each bill dealt with...",
                                       "Saving the changes...",
                                       "Writing the database to the disk...",
                                       "Putting the database in place..."};
            QCOMPARE(watch.said, upgraded ? parts : QStringList());
            QVERIFY(watch.waitCursor && !QApplication::overrideCursor());
            QCOMPARE(hub->upgradeSummary().contains("done on a copy"), upgraded);
            // The charges of the office's bills are counted up to the last of them.
            const int charges = copy.scalar("select count(*) from charges c where exists (select 1 from recur r "
                                            "where r.recid = c.recid)").toInt();
            QCOMPARE(watch.counted.contains(QStringLiteral("%1 of %1 charges").arg(charges)), upgraded);
        }
        releaseConnection();
        // The file in place writes through to the disk as the office's file did.
        QCOMPARE(copy.scalar("select mon$forced_writes from mon$database").toInt(), 1);
        // Brought up to date, the file is another; up to date already, it is opened where it lies.
        QCOMPARE(inode(copy.path()) != file, upgraded);
        file = inode(copy.path());
        QCOMPARE(rowsOf(copy.path(), &columns), before);
        QVERIFY(!QFile::exists(SafeUpgrade::copyOf(copy.path())));
    }
}

// A statement that holds the work for seconds moves no count: the time it has run moves instead, so
// that no screen stays as it is for a second. A count that moves needs no time beside it.
void TestSafeUpgrade::partShowingNothingNewSaysHowLongItHasRun()
{
    ProgressWatch watch;
    {
        WorkUnderWay shown(nullptr, QStringLiteral("Counting..."), 100);
        for (int done = 1; done <= 100; ++done) {
            QTest::qSleep(12);
            shown.advance(done);
        }
        shown.beginPart(QStringLiteral("Saving..."));
        QElapsedTimer running;
        running.start();
        while (running.elapsed() < 1200) {
            QTest::qSleep(20);
            shown.advance(0);
        }
    }
    QCOMPARE(watch.timed.mid(0, 2), QStringList({"Saving... (0.5 s)", "Saving... (1.0 s)"}));
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

void TestSafeUpgrade::fileReplacedMeanwhileIsLeftToTheOther_data()
{
    QTest::addColumn<bool>("whileCopying");
    // Another opening brought the file up to date and put its copy in place while this one waited.
    QTest::newRow("while the lock was awaited") << false;
    // A restore put a file in place while this opening brought its copy up to date.
    QTest::newRow("while the copy was brought up to date") << true;
}

void TestSafeUpgrade::fileReplacedMeanwhileIsLeftToTheOther()
{
    QFETCH(bool, whileCopying);
    TestDatabase copy(QStringLiteral("DEMO.FDB"));
    QVERIFY(OlderFile::make(copy.path()));
    struct stat older = {};
    QVERIFY(::stat(QFile::encodeName(copy.path()).constData(), &older) == 0);
    TestDatabase other(QStringLiteral("DEMO.FDB"));
    const ino_t replacement = inode(other.path());

    // While a connection of the helper's own has the older file, this process's engine keeps it, and
    // the opening waits for its lock with the file open, as it does while another program has it.
    std::atomic<int> step{0};
    std::thread helper([&] {
        {
            QSqlDatabase held = whileCopying ? QSqlDatabase() : copy.open(QStringLiteral("holder"));
            const int engine = descriptorsOf(older);
            step = whileCopying || held.isOpen() ? 1 : -1;
            QElapsedTimer waited;
            waited.start();
            while (!(whileCopying ? QFileInfo::exists(SafeUpgrade::copyOf(copy.path())) : descriptorsOf(older) > engine)
                   && waited.elapsed() < 30000)
                QThread::msleep(1);
            step = ::rename(QFile::encodeName(other.path()).constData(), QFile::encodeName(copy.path()).constData()) + 2;
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder")); // the engine lets the older file go
    });
    while (step == 0)
        QThread::msleep(1);
    std::unique_ptr<XDataSource> hub(hubOnCopy(copy));
    const bool opened = step == 1 && hub->openDatabase();
    helper.join();
    QCOMPARE(int(step), 2);
    QVERIFY(!opened);
    QVERIFY2(hub->lastErrorText().contains("the file is in use elsewhere (another program put a new file in its place"),
             qPrintable(hub->lastErrorText()));
    hub.reset();
    releaseConnection();
    // The other's file stays in place, and nothing of this opening beside it.
    QCOMPARE(inode(copy.path()), replacement);
    QVERIFY(!QFile::exists(SafeUpgrade::copyOf(copy.path())));
}

void TestSafeUpgrade::copyKeepsOwnerModeAndAttributes()
{
    TestDatabase copy(QStringLiteral("DEMO.FDB"));
    QVERIFY(OlderFile::make(copy.path()));
    const QByteArray file = QFile::encodeName(copy.path());
    // An access list in the kernel's form: owner, a second clerk (user 4242), group and mask rw, others none.
    const QByteArray accessList = QByteArray::fromHex("02000000" "01000600ffffffff" "0200060092100000"
                                                      "04000600ffffffff" "10000600ffffffff" "20000000ffffffff");
    if (::setxattr(file.constData(), "user.velloran.note", "kept", 4, 0) != 0
        || ::setxattr(file.constData(), "system.posix_acl_access", accessList.constData(), size_t(accessList.size()), 0) != 0)
        QSKIP("the temporary folder keeps no extended attributes or access lists");
    // Opened by the administrator (a package's start-up check), a file of the office's own user.
    if (::geteuid() == 0)
        QCOMPARE(::chown(file.constData(), 4242, 4343), 0);
    struct stat before = {};
    QVERIFY(::stat(file.constData(), &before) == 0);
    const QMap<QByteArray, QByteArray> attributes = attributesOf(file);

    std::unique_ptr<XDataSource> hub(hubOnCopy(copy));
    QVERIFY2(hub->openDatabase(), qPrintable(hub->lastErrorText()));
    hub.reset();
    releaseConnection();
    struct stat after = {};
    QVERIFY(::stat(file.constData(), &after) == 0 && after.st_ino != before.st_ino);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(attributesOf(file), attributes);
}

void TestSafeUpgrade::linkAtTheCopysNameIsRemovedNotFollowed()
{
    TestDatabase copy(QStringLiteral("DEMO.FDB"));
    QVERIFY(OlderFile::make(copy.path()));
    const QString elsewhere = copy.folder() + QStringLiteral("/elsewhere.fdb");
    QVERIFY(QFile::link(elsewhere, SafeUpgrade::copyOf(copy.path())));

    std::unique_ptr<XDataSource> hub(hubOnCopy(copy));
    QVERIFY2(hub->openDatabase(), qPrintable(hub->lastErrorText()));
    QVERIFY(hub->upgradeSummary().contains("broken off was removed"));
    hub.reset();
    releaseConnection();
    QVERIFY(!QFileInfo(copy.path()).isSymLink() && QFileInfo(copy.path()).isFile());
    QVERIFY(!QFileInfo::exists(elsewhere) && !QFileInfo(SafeUpgrade::copyOf(copy.path())).isSymLink());
}

VELLORAN_TEST_MAIN(TestSafeUpgrade)
#include "tst_safeupgrade.moc"
