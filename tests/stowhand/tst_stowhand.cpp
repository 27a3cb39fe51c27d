#include "testdatabase.h"

#include "platform/datafolder.h"
#include "platform/detachedprocess.h"
#include "stowhand/archiver.h"
#include "stowhand/dialog.h"
#include "stowhand/stowmsgbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The bytes as the gzip tool compresses them, as a user could make a ".bkp" of anything.
QByteArray gzipped(const QByteArray &bytes)
{
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-c")});
    gzip.write(bytes);
    gzip.closeWriteChannel();
    gzip.waitForFinished();
    return gzip.readAllStandardOutput();
}

// Every entry of a folder, hidden ones included, so that a left-over partial file shows.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// Runs a shell command with the given arguments as $1, $2...; returns its exit code.
int shell(const QString &script, const QStringList &arguments = QStringList())
{
    return QProcess::execute(QStringLiteral("sh"), QStringList{QStringLiteral("-c"), script, QStringLiteral("sh")} + arguments);
}

// The files a process has open, by the paths its descriptors lead to.
QStringList openFiles(qint64 pid)
{
    QStringList files;
    const QString folder = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString &fd : QDir(folder).entryList(QDir::Files | QDir::System))
        files << QFile::symLinkTarget(folder + QLatin1Char('/') + fd);
    return files;
}

mode_t fileMode(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

// The file's access list as getfacl shows it, without the header that names the file.
QString accessList(const QString &path)
{
    QProcess getfacl;
    getfacl.start(QStringLiteral("getfacl"), {QStringLiteral("--omit-header"), path});
    getfacl.waitForFinished();
    return QString::fromLocal8Bit(getfacl.readAllStandardOutput());
}

// A small file system that fills up quickly; only root may mount one.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(qint64 bytes)
    {
        m_path = m_dir.path() + QStringLiteral("/mnt");
        QDir().mkpath(m_path);
        if (::geteuid() == 0)
            m_mounted = QProcess::execute(QStringLiteral("mount"),
                                          {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                           QStringLiteral("-o"), QStringLiteral("size=%1").arg(bytes),
                                           QStringLiteral("tmpfs"), m_path}) == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_path});
    }
    bool isMounted() const { return m_mounted; }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
};

const int MarkerId = 999;
const QString MarkerName = QStringLiteral("Restored marker");

} // namespace

class TestStowhand : public QObject
{
    Q_OBJECT

private:
    // A database that differs from a fresh one by a marker row, to restore over fresh copies.
    QScopedPointer<TestDatabase> m_source;
    QByteArray m_sourceBytes;
    QTemporaryDir m_archives;

    QString archive(const QString &name) const { return m_archives.path() + QLatin1Char('/') + name; }

    // Clicks Backup in the window on the demonstration database, choosing the given backup file;
    // returns the messages shown.
    QStringList backUpInTheWindow(const QString &backup)
    {
        Dialog dialog;
        dialog.takeArguments({QStringLiteral("stowhand"), QStringLiteral("DEMO.FDB")});
        dialog.setFileChooser([backup](QFileDialog::AcceptMode, const QString &, const QString &, const QString &) {
            return backup;
        });
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            return {QStringLiteral("window not shown")};
        StowMsgBox::clearShown();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
        return StowMsgBox::shownTexts();
    }

    QString ownBackup(const QString &name)
    {
        Archiver archiver(QFileInfo(m_source->path()).absolutePath());
        archiver.setFileName(m_source->fileName());
        const QString path = archive(name);
        return archiver.compress(path) ? path : QString();
    }

    // A database of 4 KiB pages, the smallest the engine makes, with more pages than its first
    // inventory page covers; made by the engine's own tool once, for the tests that need it. It and its
    // copies are kept in memory where the system has a folder there: they need not wait for the disk.
    QTemporaryDir m_largeFolder{(QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                                     : QDir::tempPath())
                                + QStringLiteral("/tst_stowhand-XXXXXX")};
    QString largeFile()
    {
        const QString path = m_largeFolder.filePath(QStringLiteral("LARGE.FDB"));
        const QString script = QStringLiteral(
            "create database '%1' user 'SYSDBA' page_size 4096; create table filler (content blob sub_type 0);\n"
            "commit; set term ^; execute block as declare n int = 0; begin while (n < 4200) do begin\n"
            "insert into filler values (lpad('', 32000, 'x')); n = n + 1; end end^ set term ;^ commit;\n");
        if (!QFile::exists(path) && shell(QStringLiteral("printf '%s' \"$1\" | isql-fb -q -bail"), {script.arg(path)}) != 0)
            qWarning("isql-fb could not make the large database");
        return path;
    }

private slots:
    void initTestCase()
    {
        StowMsgBox::setTestMode(true);
        m_source.reset(new TestDatabase(QStringLiteral("DATA.FDB")));
        QVERIFY(m_source->isValid());
        {
            QSqlDatabase db = m_source->open(QStringLiteral("source"));
            QVERIFY(db.isOpen());
            QSqlQuery q(db);
            QVERIFY(q.prepare(QStringLiteral("insert into categories (catid, name) values (?, ?)")));
            q.addBindValue(MarkerId);
            q.addBindValue(MarkerName);
            QVERIFY(q.exec());
            db.close();
        }
        m_sourceBytes = readAll(m_source->path());
        QVERIFY(m_sourceBytes.size() > 0);
        QVERIFY(m_sourceBytes != readAll(TestDatabase::builtDatabase(QStringLiteral("DATA.FDB"))));
    }

    void backupIsAGzipFileOfTheDatabase()
    {
        const QString backup = ownBackup(QStringLiteral("plain-gzip.bkp"));
        QVERIFY(!backup.isEmpty());
        QCOMPARE(shell(QStringLiteral("gzip -t \"$1\""), {backup}), 0);
        QCOMPARE(shell(QStringLiteral("gzip -dc \"$1\" | cmp -s - \"$2\""), {backup, m_source->path()}), 0);
        // No name, comment or extra field of the database in the header.
        QCOMPARE(int(readAll(backup).at(3)), 0);
        QCOMPARE(entries(m_archives.path()), QStringList{QStringLiteral("plain-gzip.bkp")});
    }

    void backupRefusesToOverwriteTheDatabase()
    {
        Archiver archiver(QFileInfo(m_source->path()).absolutePath());
        archiver.setFileName(m_source->fileName());
        QVERIFY(!archiver.compress(m_source->path()));
        QVERIFY(readAll(m_source->path()) == m_sourceBytes);
    }

    void restoreAccepts_data()
    {
        QTest::addColumn<QString>("command");
        // $1 is the source database, $2 the backup file to make.
        QTest::newRow("own backup") << QString();
        QTest::newRow("gzip -c (name in header)") << QStringLiteral("gzip -c \"$1\" > \"$2\"");
        QTest::newRow("gzip -nc") << QStringLiteral("gzip -nc \"$1\" > \"$2\"");
        QTest::newRow("gzip -9, two members") << QStringLiteral("head -c 100000 \"$1\" | gzip -9 > \"$2\"; "
                                                                "tail -c +100001 \"$1\" | gzip -1 >> \"$2\"");
        QTest::newRow("plain database copy") << QStringLiteral("cp \"$1\" \"$2\"");
    }

    void restoreAccepts()
    {
        QFETCH(QString, command);
        QString backup = archive(QStringLiteral("accepted.bkp"));
        if (command.isEmpty())
            backup = ownBackup(QStringLiteral("accepted.bkp"));
        else
            QCOMPARE(shell(command, {m_source->path(), backup}), 0);

        TestDatabase target(QStringLiteral("DATA.FDB"));
        Archiver archiver(target.folder());
        archiver.setFileName(target.fileName());
        QVERIFY2(archiver.decompress(backup), qPrintable(archiver.errorString()));
        QCOMPARE(entries(target.folder()), QStringList{target.fileName()});
        QVERIFY(readAll(target.path()) == m_sourceBytes);
        QCOMPARE(target.scalar(QStringLiteral("select name from categories where catid = %1").arg(MarkerId)).toString(),
                 MarkerName);
    }

    void restoreRefusesAndKeepsTheDatabase_data()
    {
        QTest::addColumn<QByteArray>("content"); // the backup file's bytes; null: no file at all
        QTest::addColumn<bool>("folder");

        QFile own(ownBackup(QStringLiteral("to-damage.bkp")));
        QVERIFY(own.open(QIODevice::ReadOnly));
        const QByteArray good = own.readAll();
        QVERIFY(good.size() > 1000);
        auto flipped = [&good](int at) {
            QByteArray bytes = good;
            bytes[at] = char(bytes.at(at) ^ 0x40);
            return bytes;
        };

        QTest::newRow("truncated backup") << good.left(good.size() / 2) << false;
        QTest::newRow("backup without its trailer") << good.left(good.size() - 8) << false;
        QTest::newRow("flipped byte in the data") << flipped(good.size() / 2) << false;
        QTest::newRow("wrong checksum") << flipped(good.size() - 8) << false;
        QTest::newRow("wrong length") << flipped(good.size() - 4) << false;
        QTest::newRow("gzip magic, then junk") << QByteArray("\x1f\x8b junk that is no deflate stream") << false;
        QTest::newRow("plain file, not a database") << QByteArray("tenant list\nnot a database\n").repeated(1000) << false;
        QTest::newRow("truncated database copy") << m_sourceBytes.left(m_sourceBytes.size() - 100) << false;
        QTest::newRow("empty file") << QByteArray("") << false;
        QTest::newRow("gzip of a text") << gzipped("hello\n") << false;
        QTest::newRow("gzip of an empty file") << gzipped(QByteArray("")) << false;
        QTest::newRow("gzip of half a database") << gzipped(m_sourceBytes.left(m_sourceBytes.size() / 2 / 8192 * 8192)) << false;
        QTest::newRow("gzip of a database cut inside a page") << gzipped(m_sourceBytes.left(m_sourceBytes.size() - 100)) << false;
        QTest::newRow("half a database, not compressed") << m_sourceBytes.left(m_sourceBytes.size() / 2 / 8192 * 8192) << false;
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("a folder") << QByteArray() << true;
    }

    void restoreRefusesAndKeepsTheDatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, folder);
        const QString backup = archive(QStringLiteral("refused.bkp"));
        QFile::remove(backup);
        QDir(backup).removeRecursively();
        if (folder)
            QVERIFY(QDir().mkpath(backup));
        else if (!content.isNull())
            QVERIFY(writeAll(backup, content));

        TestDatabase target(QStringLiteral("DATA.FDB"));
        const QByteArray before = readAll(target.path());
        const mode_t modeBefore = fileMode(target.path());
        Archiver archiver(target.folder());
        archiver.setFileName(target.fileName());
        QVERIFY(!archiver.decompress(backup));
        QVERIFY(!archiver.errorString().isEmpty());
        if (!content.isNull())
            QCOMPARE(archiver.failure(), Archiver::NotABackup);
        QVERIFY(readAll(target.path()) == before);
        QCOMPARE(fileMode(target.path()), modeBefore);
        QCOMPARE(entries(target.folder()), QStringList{target.fileName()});
    }

    // A file larger than what its first inventory page keeps track of, as a large office's is: cut
    // beyond that, plain or compressed, it is refused; whole, it restores.
    void restoreOfALargeFileCutShortRefused_data()
    {
        QTest::addColumn<QString>("command"); // $1 is the large file, $2 the backup file to make
        QTest::addColumn<bool>("accepted");
        // 33,000 pages of 4 KiB: past the 32,544 the first inventory page covers, short of the end.
        QTest::newRow("whole copy") << QStringLiteral("cp \"$1\" \"$2\"") << true;
        QTest::newRow("copy cut short") << QStringLiteral("head -c 135168000 \"$1\" > \"$2\"") << false;
        QTest::newRow("gzip of a copy cut short")
            << QStringLiteral("head -c 135168000 \"$1\" | gzip -1 > \"$2\"") << false;
    }

    void restoreOfALargeFileCutShortRefused()
    {
        QFETCH(QString, command);
        QFETCH(bool, accepted);
        const QString large = largeFile();
        QVERIFY(QFileInfo(large).size() >= 34000LL * 4096);
        const QString backup = m_largeFolder.filePath(QStringLiteral("large.bkp"));
        QCOMPARE(shell(command, {large, backup}), 0);
        QTemporaryDir office(m_largeFolder.filePath(QStringLiteral("office-XXXXXX")));
        const QString fresh = TestDatabase::builtDatabase(QStringLiteral("DATA.FDB"));
        QVERIFY(QFile::copy(fresh, office.filePath(QStringLiteral("DATA.FDB"))));

        Archiver archiver(office.path());
        archiver.setFileName(QStringLiteral("DATA.FDB"));
        QCOMPARE(archiver.decompress(backup), accepted);
        QCOMPARE(shell(QStringLiteral("cmp -s \"$1\" \"$2/DATA.FDB\""), {accepted ? large : fresh, office.path()}), 0);
        QCOMPARE(entries(office.path()), QStringList{QStringLiteral("DATA.FDB")});
        QFile::remove(backup);
    }

    void restoreRefusedWhileTheDatabaseIsOpen()
    {
        const QString backup = ownBackup(QStringLiteral("while-open.bkp"));
        TestDatabase target(QStringLiteral("DATA.FDB"));
        QSqlDatabase db = target.open(QStringLiteral("held"));
        QVERIFY(db.isOpen());
        const QByteArray before = readAll(target.path());

        Archiver archiver(target.folder());
        archiver.setFileName(target.fileName());
        QVERIFY(!archiver.decompress(backup));
        QVERIFY(archiver.errorString().contains(QLatin1String("in use")));
        QVERIFY(readAll(target.path()) == before);
        QCOMPARE(entries(target.folder()), QStringList{target.fileName()});
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("select count(*) from categories")));

        // Once the program lets go of the file, the same restore goes through.
        q.clear();
        db.close();
        QVERIFY2(archiver.decompress(backup), qPrintable(archiver.errorString()));
        QVERIFY(readAll(target.path()) == m_sourceBytes);
    }

    // A copy of a database the program is writing to can be torn; it must not pass for a backup.
    void backupRefusedWhileTheDatabaseIsOpen()
    {
        TestDatabase source(QStringLiteral("DATA.FDB"));
        QSqlDatabase db = source.open(QStringLiteral("held-for-backup"));
        QVERIFY(db.isOpen());
        const QString backup = archive(QStringLiteral("while-open-backup.bkp"));
        const QByteArray older("an older backup of the same name");
        QVERIFY(writeAll(backup, older));
        const QStringList before = entries(m_archives.path());

        Archiver archiver(source.folder());
        archiver.setFileName(source.fileName());
        QVERIFY(!archiver.compress(backup));
        QVERIFY(archiver.errorString().contains(QLatin1String("in use")));
        QVERIFY(readAll(backup) == older);
        QCOMPARE(entries(m_archives.path()), before);

        db.close();
        QVERIFY2(archiver.compress(backup), qPrintable(archiver.errorString()));
        QCOMPARE(shell(QStringLiteral("gzip -dc \"$1\" | cmp -s - \"$2\""), {backup, source.path()}), 0);
        QFile::remove(backup);
    }

    void restoredFilePermissions_data()
    {
        QTest::addColumn<int>("before"); // -1: no database yet
        QTest::addColumn<int>("after");
        const mode_t mask = ::umask(0);
        ::umask(mask);
        QTest::newRow("read-only database becomes writable") << 0440 << 0640;
        QTest::newRow("shared with the group") << 0660 << 0660;
        QTest::newRow("no database yet") << -1 << int(0666 & ~mask);
    }

    void restoredFilePermissions()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        const QString backup = ownBackup(QStringLiteral("permissions.bkp"));
        TestDatabase target(QStringLiteral("DATA.FDB"));
        if (before < 0)
            QVERIFY(QFile::remove(target.path()));
        else
            QCOMPARE(::chmod(QFile::encodeName(target.path()).constData(), mode_t(before)), 0);

        Archiver archiver(target.folder());
        archiver.setFileName(target.fileName());
        QVERIFY2(archiver.decompress(backup), qPrintable(archiver.errorString()));
        QCOMPARE(int(fileMode(target.path())), after);
        QVERIFY(readAll(target.path()) == m_sourceBytes);
    }

    // A clerk let in by the office file's access list is let in after a restore too, and the file's
    // other attributes stay with it.
    void restoreKeepsAccessListAndAttributes()
    {
        const QString backup = ownBackup(QStringLiteral("access-list.bkp"));
        TestDatabase target(QStringLiteral("DATA.FDB"));
        const QByteArray file = QFile::encodeName(target.path());
        QCOMPARE(::chmod(file.constData(), 0660), 0);
        if (shell(QStringLiteral("setfacl -m u:4242:rw \"$1\""), {target.path()}) != 0
            || ::setxattr(file.constData(), "user.velloran.note", "kept", 4, 0) != 0)
            QSKIP("no setfacl (package acl), or the temporary folder keeps no access lists");
        const QString before = accessList(target.path());
        QVERIFY2(before.contains(QLatin1String("user:4242:rw-")), qPrintable(before));

        Archiver archiver(target.folder());
        archiver.setFileName(target.fileName());
        QVERIFY2(archiver.decompress(backup), qPrintable(archiver.errorString()));
        QVERIFY(readAll(target.path()) == m_sourceBytes);
        QCOMPARE(accessList(target.path()), before);
        QCOMPARE(int(fileMode(target.path())), 0660);
        char note[8] = {};
        QCOMPARE(int(::getxattr(file.constData(), "user.velloran.note", note, sizeof note)), 4);
        QCOMPARE(QByteArray(note, 4), QByteArray("kept"));
    }

    void backupNoWiderThanTheFile_data()
    {
        QTest::addColumn<int>("databaseMode");
        QTest::addColumn<int>("olderBackup"); // the mode of a backup of the same name; -1: none
        QTest::addColumn<int>("expected");
        QTest::newRow("shared with the group") << 0660 << -1 << 0640;
        QTest::newRow("the owner's alone") << 0600 << -1 << 0600;
        QTest::newRow("over a backup all could read") << 0640 << 0644 << 0640;
        QTest::newRow("over a backup of the owner's alone") << 0660 << 0600 << 0600;
    }

    // Under the usual umask of 022 a new file is readable by every local user; the backup holds the
    // office's data, which only the file's owner and group may read.
    void backupNoWiderThanTheFile()
    {
        QFETCH(int, databaseMode);
        QFETCH(int, olderBackup);
        QFETCH(int, expected);
        const mode_t umaskBefore = ::umask(022);
        const auto restoreUmask = qScopeGuard([umaskBefore] { ::umask(umaskBefore); });
        TestDatabase source(QStringLiteral("DATA.FDB"));
        const QByteArray file = QFile::encodeName(source.path());
        QCOMPARE(::chmod(file.constData(), mode_t(databaseMode)), 0);
        // Root may hand the file to the office's group, to which the backup then belongs as well.
        const gid_t officeGroup = ::geteuid() == 0 ? 4343 : ::getegid();
        QCOMPARE(::chown(file.constData(), uid_t(-1), officeGroup), 0);
        const QString backup = archive(QStringLiteral("no-wider.bkp"));
        QFile::remove(backup);
        if (olderBackup >= 0) {
            QVERIFY(writeAll(backup, "older"));
            QCOMPARE(::chmod(QFile::encodeName(backup).constData(), mode_t(olderBackup)), 0);
        }

        Archiver archiver(source.folder());
        archiver.setFileName(source.fileName());
        QVERIFY2(archiver.compress(backup), qPrintable(archiver.errorString()));
        QCOMPARE(int(fileMode(backup)), expected);
        struct stat made;
        QVERIFY(::stat(QFile::encodeName(backup).constData(), &made) == 0);
        QCOMPARE(made.st_gid, officeGroup);
        QFile::remove(backup);
    }

    void backupIntoAFullFileSystemFails()
    {
        SmallFileSystem small(16 * 1024);
        if (!small.isMounted())
            QSKIP("mounting a small file system needs root");
        const QString older = small.path() + QStringLiteral("/older.bkp");
        QVERIFY(writeAll(older, "older"));

        Archiver archiver(QFileInfo(m_source->path()).absolutePath());
        archiver.setFileName(m_source->fileName());
        QVERIFY(!archiver.compress(small.path() + QStringLiteral("/new.bkp")));
        QVERIFY(!archiver.compress(older));
        QCOMPARE(entries(small.path()), QStringList{QStringLiteral("older.bkp")});
        QCOMPARE(readAll(older), QByteArray("older"));
    }

    void restoreIntoAFullFileSystemKeepsTheDatabase()
    {
        const QString backup = ownBackup(QStringLiteral("full.bkp"));
        // Room for the database, not for a second copy of it beside.
        SmallFileSystem small(m_sourceBytes.size() + 256 * 1024);
        if (!small.isMounted())
            QSKIP("mounting a small file system needs root");
        const QString database = small.path() + QStringLiteral("/DATA.FDB");
        const QByteArray fresh = readAll(TestDatabase::builtDatabase(QStringLiteral("DATA.FDB")));
        QVERIFY(writeAll(database, fresh));

        Archiver archiver(small.path());
        archiver.setFileName(QStringLiteral("DATA.FDB"));
        QVERIFY(!archiver.decompress(backup));
        QVERIFY(readAll(database) == fresh);
        QCOMPARE(entries(small.path()), QStringList{QStringLiteral("DATA.FDB")});
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fileName");
        const QString program = QStringLiteral("stowhand");
        QTest::newRow("none") << QStringList{program} << QStringLiteral("DATA.FDB");
        QTest::newRow("demonstration database") << QStringList{program, QStringLiteral("DEMO.FDB")} << QStringLiteral("DEMO.FDB");
        QTest::newRow("two arguments") << QStringList{program, QStringLiteral("DEMO.FDB"), QStringLiteral("X.FDB")}
                                       << QStringLiteral("DATA.FDB");
        QTest::newRow("a path out of the data folder") << QStringList{program, QStringLiteral("../other/DEMO.FDB")}
                                                       << QStringLiteral("DATA.FDB");
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fileName);
        Dialog dialog;
        dialog.takeArguments(arguments);
        QCOMPARE(dialog.databaseFileName(), fileName);
    }

    // The main program starts the backup program while it has the database open. The child must not
    // keep the engine's descriptors: their locks would make every backup find the database in use
    // even after the main program has closed it.
    void startedProgramHoldsNoDescriptorOfTheDatabase()
    {
        TestDatabase held(QStringLiteral("DATA.FDB"));
        const QString database = QFileInfo(held.path()).canonicalFilePath();
        QSqlDatabase db = held.open(QStringLiteral("main program"));
        QVERIFY(db.isOpen());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("select count(*) from categories")));
        QVERIFY(openFiles(QCoreApplication::applicationPid()).contains(database));

        qint64 pid = 0;
        QVERIFY(DetachedProcess::start(QStringLiteral(STOWHAND_PROGRAM), {held.fileName()}, &pid));
        QVERIFY(pid > 0);
        const auto stopChild = qScopeGuard([pid] { ::kill(pid_t(pid), SIGTERM); });
        const QString program = QFileInfo(QStringLiteral(STOWHAND_PROGRAM)).canonicalFilePath();
        QTRY_COMPARE(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)), program);
        QTest::qWait(200);
        const QStringList childFiles = openFiles(pid);
        QVERIFY(!childFiles.isEmpty());
        QVERIFY2(!childFiles.contains(database), qPrintable(childFiles.join(QLatin1Char(' '))));

        // With the main program's connection gone, a backup goes through while the child still runs.
        q.clear();
        db.close();
        Archiver archiver(held.folder());
        archiver.setFileName(held.fileName());
        const QString backup = archive(QStringLiteral("while-child-runs.bkp"));
        QVERIFY2(archiver.compress(backup), qPrintable(archiver.errorString()));
        QCOMPARE(shell(QStringLiteral("gzip -dc \"$1\" | cmp -s - \"$2\""), {backup, held.path()}), 0);
    }

    // The window's buttons on the demonstration database in the data folder, with the file choice
    // put in where the file dialog would ask.
    void dialogButtons()
    {
        QVERIFY(QDir().mkpath(DataFolder::path()));
        const QString database = DataFolder::filePath(QStringLiteral("DEMO.FDB"));
        QFile::remove(database);
        QVERIFY(writeAll(database, m_sourceBytes));
        const QString backup = archive(QStringLiteral("dialog.bkp"));

        Dialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Morvessa Velloran 2021 Stowhand"));
        dialog.takeArguments({QStringLiteral("stowhand"), QStringLiteral("DEMO.FDB")});
        QString chosen;
        QStringList asked;
        dialog.setFileChooser([&](QFileDialog::AcceptMode mode, const QString &caption, const QString &,
                                  const QString &filter) {
            asked << QStringLiteral("%1|%2|%3").arg(mode == QFileDialog::AcceptSave ? "save" : "open", caption, filter);
            return chosen;
        });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto click = [&dialog](const char *name) {
            auto button = dialog.findChild<QPushButton *>(QLatin1String(name));
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
        };
        const QString filter = QStringLiteral("Morvessa Velloran Backup (*.bkp)");

        // Leaving either file dialog without a choice does nothing.
        StowMsgBox::clearShown();
        chosen.clear();
        click("pushButton");
        click("pushButton_2");
        QCOMPARE(StowMsgBox::shownTexts(), QStringList());
        QVERIFY(!QFile::exists(backup));
        QCOMPARE(asked, (QStringList{QStringLiteral("save|Backup Database|") + filter,
                                     QStringLiteral("open|Restore Database|") + filter}));

        chosen = backup;
        click("pushButton");
        QCOMPARE(StowMsgBox::shownTexts(), QStringList{QStringLiteral("You have successfully backed up your data.")});
        QCOMPARE(shell(QStringLiteral("gzip -dc \"$1\" | cmp -s - \"$2\""), {backup, database}), 0);

        // A restore asks first, naming both files; No leaves the database as it is.
        StowMsgBox::clearShown();
        const QByteArray fresh = readAll(TestDatabase::builtDatabase(QStringLiteral("DATA.FDB")));
        QVERIFY(writeAll(database, fresh));
        chosen = backup;
        StowMsgBox::setNextAnswer(false);
        click("pushButton_2");
        QCOMPARE(StowMsgBox::shownTexts(),
                 QStringList{QStringLiteral("Restoring replaces the database %1 with the backup %2. Everything entered "
                                            "since that backup was made will be lost. Do you want to restore?")
                                 .arg(database, backup)});
        QVERIFY(readAll(database) == fresh);

        // A restore over a changed database brings the backed-up one back.
        StowMsgBox::clearShown();
        StowMsgBox::setNextAnswer(true);
        click("pushButton_2");
        QCOMPARE(StowMsgBox::shownTexts().value(1), QStringLiteral("You have successfully restored your data!"));
        QVERIFY(readAll(database) == m_sourceBytes);

        // A gzip file of something else is named for what it is, and changes nothing.
        StowMsgBox::clearShown();
        chosen = archive(QStringLiteral("hello.bkp"));
        QVERIFY(writeAll(chosen, gzipped("hello\n")));
        StowMsgBox::setNextAnswer(true);
        click("pushButton_2");
        QCOMPARE(StowMsgBox::shownTexts().value(1),
                 QStringLiteral("The file %1 does not hold a Morvessa Velloran database. Your data has not been changed.")
                     .arg(chosen));
        QVERIFY(readAll(database) == m_sourceBytes);

        StowMsgBox::clearShown();
        QVERIFY(QFile::remove(database));
        chosen = archive(QStringLiteral("dialog-missing.bkp"));
        click("pushButton");
        StowMsgBox::setNextAnswer(true);
        click("pushButton_2");
        QCOMPARE(StowMsgBox::shownTexts().value(0),
                 QStringLiteral("Unable to backup the data. Make sure that Morvessa Velloran has been closed!\n\n"
                                "Cannot read %1: No such file or directory")
                     .arg(database));
        QCOMPARE(StowMsgBox::shownTexts().value(2),
                 QStringLiteral("Unable to restore the data from %1. Your data has not been changed.").arg(chosen));
        QVERIFY(!QFile::exists(chosen));

        click("pushButton_3");
        QVERIFY(!dialog.isVisible());
    }

    // A large office's file takes seconds to copy: meanwhile the window paints, its bar moves, and it
    // takes no second command and does not close.
    void windowShowsProgressWhileCopying()
    {
        QVERIFY(QDir().mkpath(DataFolder::path()));
        const QString database = DataFolder::filePath(QStringLiteral("DEMO.FDB"));
        QByteArray large = m_sourceBytes;
        while (large.size() < 48 * 1024 * 1024)
            large += m_sourceBytes;
        large.truncate(large.size() / 8192 * 8192);
        QVERIFY(writeAll(database, large));
        const QString backup = archive(QStringLiteral("large.bkp"));

        Dialog dialog;
        dialog.takeArguments({QStringLiteral("stowhand"), QStringLiteral("DEMO.FDB")});
        dialog.setFileChooser([backup](QFileDialog::AcceptMode, const QString &, const QString &, const QString &) {
            return backup;
        });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"));
        QVERIFY(bar && !bar->isVisible());
        QList<int> seen;
        bool commandsTaken = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (bar->isVisible())
                seen << bar->value();
            for (auto *button : dialog.findChildren<QPushButton *>())
                commandsTaken = commandsTaken || button->isEnabled();
            dialog.reject();
        });
        watch.start(5);
        StowMsgBox::clearShown();
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
        watch.stop();

        QCOMPARE(StowMsgBox::shownTexts(), QStringList{QStringLiteral("You have successfully backed up your data.")});
        QVERIFY2(seen.size() > 1 && seen.last() > seen.first(), qPrintable(QString::number(seen.size())));
        QVERIFY(!commandsTaken);
        QVERIFY(dialog.isVisible());
        QVERIFY(!bar->isVisible());
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("pushButton"))->isEnabled());
        QCOMPARE(shell(QStringLiteral("gzip -dc \"$1\" | cmp -s - \"$2\""), {backup, database}), 0);
        QFile::remove(database);
    }

    // What keeps a backup from being written is told after the usual advice, and leaves no file.
    void backupFailureToldWithItsReason_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << QStringLiteral("full") << QStringLiteral(": No space left on device");
        QTest::newRow("folder that is a file") << QStringLiteral("file") << QStringLiteral(": Not a directory");
        QTest::newRow("pipe") << QStringLiteral("pipe") << QStringLiteral(" is not a file.");
    }

    void backupFailureToldWithItsReason()
    {
        QFETCH(QString, place);
        QFETCH(QString, reason);
        QVERIFY(QDir().mkpath(DataFolder::path()));
        QVERIFY(writeAll(DataFolder::filePath(QStringLiteral("DEMO.FDB")), m_sourceBytes));
        SmallFileSystem small(16 * 1024);
        QString backup = small.path() + QStringLiteral("/full.bkp");
        if (place == QLatin1String("full") && !small.isMounted())
            QSKIP("mounting a small file system needs root");
        if (place == QLatin1String("file")) {
            QVERIFY(writeAll(small.path() + QStringLiteral("/plain"), "not a folder"));
            backup = small.path() + QStringLiteral("/plain/file.bkp");
        }
        if (place == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(backup).constData(), 0600), 0);
        const QStringList before = entries(small.path());

        const QStringList shown = backUpInTheWindow(backup);
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().startsWith(
                     QStringLiteral("Unable to backup the data. Make sure that Morvessa Velloran has been closed!\n\n")),
                 qPrintable(shown.first()));
        QVERIFY2(shown.first().endsWith(reason), qPrintable(shown.first()));
        QCOMPARE(entries(small.path()), before);
        if (place == QLatin1String("pipe"))
            QVERIFY(QFileInfo(backup).exists() && !QFileInfo(backup).isFile());
    }

    // A backup of something a restore would refuse is no backup; it is refused in the restore's words.
    void backupOfNoDatabaseRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text file") << QByteArray("tenant list\nnot a database\n").repeated(1000);
        QTest::newRow("database cut short") << m_sourceBytes.left(m_sourceBytes.size() / 2 / 8192 * 8192);
    }

    void backupOfNoDatabaseRefused()
    {
        QFETCH(QByteArray, content);
        QVERIFY(QDir().mkpath(DataFolder::path()));
        const QString database = DataFolder::filePath(QStringLiteral("DEMO.FDB"));
        QVERIFY(writeAll(database, content));
        QTemporaryDir folder;
        const QString backup = folder.path() + QStringLiteral("/demo.bkp");

        QCOMPARE(backUpInTheWindow(backup),
                 QStringList{QStringLiteral("The file %1 does not hold a Morvessa Velloran database. "
                                            "Your data has not been changed.")
                                 .arg(database)});
        QCOMPARE(entries(folder.path()), QStringList());
        QVERIFY(readAll(database) == content);
    }
};

VELLORAN_TEST_MAIN(TestStowhand)
#include "tst_stowhand.moc"
