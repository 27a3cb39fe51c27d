#include "datahub/safeupgrade.h"

#include "datahub/debuglog.h"
#include "datahub/fileupgrade.h"
#include "datahub/workunderway.h"
#include "platform/datafolder.h"
#include "platform/fileattributes.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>
#include <QVariant>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

const qint64 Chunk = 1 << 20;
// What is written to the disk between two looks of the dialog on a slow disk.
const off_t WriteChunk = 16 << 20;
// The engine may take a moment to let go of a file whose last connection closed.
const int LetGoMs = 5000;
// How often the progress dialog looks at how far the work has gone.
const unsigned long PollMs = 20;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A file held open by the program itself, closed when the object goes.
class Handle
{
public:
    Handle(const QString &path, int flags, mode_t mode = 0)
        : m_fd(::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, mode))
    {
    }
    ~Handle() { close(); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    int fd() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    bool close()
    {
        const bool closed = m_fd < 0 || ::close(m_fd) == 0;
        m_fd = -1;
        return closed;
    }

    // The lock the engine takes on a file it has attached. Taking it shows that no engine has the file
    // (ours once it has let go, or another program's), and holding it keeps every engine out.
    bool lockWhenFree()
    {
        for (int waited = 0; ::flock(m_fd, LOCK_EX | LOCK_NB) != 0; waited += 20) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= LetGoMs)
                return false;
            QThread::msleep(20);
        }
        return true;
    }

private:
    int m_fd;
};

// Whether `path` still names the file open at `fd`. Another opening can put a new file in the place of
// one this opening waits for, or a restore can while it works on the copy: the one it then holds is
// gone from the folder, and a copy of it put in its place would throw away what was written since.
bool namesFile(const QString &path, int fd)
{
    struct stat named = {};
    struct stat open = {};
    return ::stat(QFile::encodeName(path).constData(), &named) == 0 && ::fstat(fd, &open) == 0
        && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

QString replacedMeanwhile()
{
    return SafeUpgrade::tr("the file is in use elsewhere (another program put a new file in its place meanwhile); "
                           "open it again");
}

// The file's extended attributes go with its content, its access list above all, which lets the
// office's other users in; those this process may not set are only noted.
bool copyAttributes(int from, int to)
{
    QStringList notCopied;
    const bool copied = FileAttributes::copy(from, to, &notCopied);
    const int error = errno;
    for (const QString &attribute : qAsConst(notCopied))
        qCDebug(velloranLog).noquote() << "upgrade: the copy could not be given the attribute" << attribute;
    errno = error;
    return copied;
}

// The rename is kept only once the folder that names the file is on the disk too.
void syncFolder(const QString &file)
{
    Handle folder(QFileInfo(file).absolutePath(), O_RDONLY | O_DIRECTORY);
    if (!folder.isOpen() || ::fsync(folder.fd()) != 0)
        qCDebug(velloranLog) << "upgrade: the folder of" << file << "could not be synced:" << systemError();
}

// Whether the engine writes each page of `file` through to the disk at once (its forced writes), set
// for good in the file by an attachment that asks for it, through the client library the database
// driver loaded. The copy is the upgrade's own until it takes the file's place: while it is brought up
// to date its pages wait for the system to write them, many times faster on a large office; it is
// given forced writes again, and written to the disk, before it takes the place.
bool setForcedWrites(const QSqlDatabase &like, const QString &file, bool on, QString *error)
{
    using Status = intptr_t;
    using Attach = Status (*)(Status *, short, const char *, quintptr *, short, const char *);
    using Detach = Status (*)(Status *, quintptr *);
    using Interpret = Status (*)(char *, unsigned, const Status **);
    // The parameter block's tags, as the client library's header numbers them.
    enum : char { Version1 = 1, ForceWrite = 24, UserName = 28, Password = 29 };
    void *client = ::dlopen(QFile::encodeName(DataFolder::databaseClientLibrary()).constData(), RTLD_NOW);
    const auto attach = reinterpret_cast<Attach>(client ? ::dlsym(client, "isc_attach_database") : nullptr);
    const auto detach = reinterpret_cast<Detach>(client ? ::dlsym(client, "isc_detach_database") : nullptr);
    const auto interpret = reinterpret_cast<Interpret>(client ? ::dlsym(client, "fb_interpret") : nullptr);
    if (!attach || !detach || !interpret) {
        *error = SafeUpgrade::tr("the database client library could not be used (%1)")
                     .arg(QString::fromLocal8Bit(::dlerror()));
        if (client)
            ::dlclose(client);
        return false;
    }
    QByteArray parameters(1, Version1);
    for (const auto &item : {qMakePair(char(UserName), like.userName()), qMakePair(char(Password), like.password())}) {
        const QByteArray value = item.second.toUtf8().left(255);
        if (!value.isEmpty())
            parameters.append(item.first).append(char(value.size())).append(value);
    }
    parameters.append(char(ForceWrite)).append(char(1)).append(char(on ? 1 : 0));
    const QByteArray name = QFile::encodeName(file);
    Status status[20] = {};
    quintptr handle = 0;
    bool done = attach(status, short(name.size()), name.constData(), &handle, short(parameters.size()),
                       parameters.constData())
            == 0
        && detach(status, &handle) == 0;
    if (!done) {
        const Status *vector = status;
        char message[512] = {};
        QStringList lines;
        while (interpret(message, sizeof message, &vector) > 0)
            lines << QString::fromLocal8Bit(message);
        *error = lines.join(QLatin1Char(' '));
        if (handle)
            detach(status, &handle);
    }
    ::dlclose(client);
    return done;
}

// The work done away from the windows: the copy made, brought up to date and put in place.
struct Job
{
    enum Part { Copying, Upgrading, Writing, Placing };
    // The stages shown, in order: the copy, the upgrade's own, then the writing and the placing.
    enum Stage { CopyingStage, WritingStage = 1 + FileUpgrade::Stages, PlacingStage };

    QString connection;
    QString file;
    QString copy;
    int source = -1;
    mode_t mode = 0;
    uid_t owner = uid_t(-1);
    gid_t group = gid_t(-1);

    std::atomic<int> part{Copying};
    std::atomic<qint64> copied{0};
    FileUpgrade::Progress upgraded;
    std::atomic<qint64> toWrite{0};
    std::atomic<qint64> written{0};

    // The stages reached so far, a bit each.
    unsigned reached() const
    {
        return 1u | upgraded.reached << 1 | (part >= Writing ? 1u << WritingStage : 0)
            | (part >= Placing ? 1u << PlacingStage : 0);
    }

    // Whether this job made the copy: only then is what stands at its name the job's to remove.
    bool created = false;
    bool placed = false;
    QString summary;
    QString error;

    void run();

private:
    bool makeCopy();
    bool upgrade();
    bool place();
    void fail(const QString &why)
    {
        error = why;
        qCDebug(velloranLog).noquote() << "upgrade:" << why;
        if (created)
            ::unlink(QFile::encodeName(copy).constData());
    }
};

void Job::run()
{
    qCDebug(velloranLog).noquote() << "upgrade: copying" << file << "to" << copy;
    if (!makeCopy())
        return;
    qCDebug(velloranLog).noquote() << "upgrade: copy made, bringing it up to date";
    part = Upgrading;
    if (!upgrade())
        return;
    placed = place();
}

bool Job::makeCopy()
{
    // Made afresh, never through whatever may have come to stand at the name since the leftover was
    // removed: a link there would put the office's file where it points.
    Handle target(copy, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
    if (!target.isOpen()) {
        fail(SafeUpgrade::tr("no copy could be made beside it (%1)").arg(systemError()));
        return false;
    }
    created = true;
    // The copy is the office's file from now on, and belongs to whom the file belonged: opened by the
    // administrator (a package's start-up check), it stays the office user's. Where this user may not
    // give it away, it keeps at least the file's group, through which the office's other users reach it.
    if (::fchown(target.fd(), owner, group) != 0) {
        qCDebug(velloranLog).noquote() << "upgrade: the copy could not be given the owner of the file:" << systemError();
        if (::fchown(target.fd(), uid_t(-1), group) != 0)
            qCDebug(velloranLog).noquote() << "upgrade: the copy could not be given the group of the file:" << systemError();
    }
    if (::fchmod(target.fd(), mode) != 0) {
        fail(SafeUpgrade::tr("no copy could be made beside it (%1)").arg(systemError()));
        return false;
    }
    if (!copyAttributes(source, target.fd())) {
        fail(SafeUpgrade::tr("the copy could not be given the file's access list (%1)").arg(systemError()));
        return false;
    }
    std::vector<char> buffer(Chunk);
    off_t at = 0;
    for (;;) {
        const ssize_t got = ::pread(source, buffer.data(), buffer.size(), at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            fail(SafeUpgrade::tr("the file could not be read (%1)").arg(systemError()));
            return false;
        }
        if (got == 0)
            break;
        for (ssize_t put = 0; put < got;) {
            const ssize_t written = ::write(target.fd(), buffer.data() + put, size_t(got - put));
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0) {
                fail(SafeUpgrade::tr("no copy could be made beside it (%1)").arg(systemError()));
                return false;
            }
            put += written;
        }
        at += got;
        copied = at;
    }
    if (!target.close()) {
        fail(SafeUpgrade::tr("no copy could be made beside it (%1)").arg(systemError()));
        return false;
    }
    return true;
}

bool Job::upgrade()
{
    // A connection of this thread's own, as the program's is set up, to the copy.
    const QString name = QStringLiteral("upgrade-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::cloneDatabase(connection, name);
        db.setDatabaseName(copy);
        // Without it the upgrade only takes longer.
        if (!setForcedWrites(db, copy, false, &error))
            qCDebug(velloranLog).noquote() << "upgrade: the copy keeps its forced writes:" << error;
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            FileUpgrade upgrade(db);
            upgrade.setProgress(&upgraded);
            done = upgrade.run();
            summary = upgrade.summary();
            error = upgrade.error();
            db.close();
        }
        // The copy is to take the file's place with the file's own care for its writes.
        if (done && !setForcedWrites(db, copy, true, &error)) {
            error = SafeUpgrade::tr("the copy could not be given forced writes again (%1)").arg(error);
            done = false;
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!done)
        fail(error);
    return done;
}

bool Job::place()
{
    Handle upgraded(copy, O_RDWR | O_NOFOLLOW);
    if (!upgraded.isOpen() || !upgraded.lockWhenFree()) {
        fail(SafeUpgrade::tr("the engine kept the copy open (%1)").arg(systemError()));
        return false;
    }
    // A piece at a time, so that the dialog shows how far the writing has gone on a slow disk; the
    // fsync then finds little left to write. A file system without the piecewise call has it all
    // written by the fsync.
    const off_t size = ::lseek(upgraded.fd(), 0, SEEK_END);
    toWrite = qMax<off_t>(size, 0);
    part = Writing;
    for (off_t at = 0; at < size; at += WriteChunk) {
        if (::sync_file_range(upgraded.fd(), at, qMin<off_t>(WriteChunk, size - at),
                              SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER)
            != 0)
            break;
        written = qMin<off_t>(at + WriteChunk, size);
    }
    if (::fsync(upgraded.fd()) != 0) {
        fail(SafeUpgrade::tr("the copy could not be written to the disk (%1)").arg(systemError()));
        return false;
    }
    part = Placing;
    if (!namesFile(file, source)) {
        fail(replacedMeanwhile());
        return false;
    }
    if (::rename(QFile::encodeName(copy).constData(), QFile::encodeName(file).constData()) != 0) {
        fail(SafeUpgrade::tr("the copy could not take the file's place (%1)").arg(systemError()));
        return false;
    }
    syncFolder(file);
    qCDebug(velloranLog).noquote() << "upgrade: the copy brought up to date took the place of" << file;
    return true;
}

// What the dialog says while the work is at `stage`.
QString stageText(int stage)
{
    switch (stage) {
    case Job::CopyingStage:
        return SafeUpgrade::tr("Copying the database...");
    case 1 + FileUpgrade::AddingColumns:
        return SafeUpgrade::tr("Adding the new columns and indices...");
    case 1 + FileUpgrade::LinkingCharges:
        return SafeUpgrade::tr("Linking the charges to the bills that posted them...");
    case 1 + FileUpgrade::ReadingBills:
        return SafeUpgrade::tr("Reading the bills and their charges...");
    case 1 + FileUpgrade::CountingCharges:
        return SafeUpgrade::tr("Bringing the database up to date...");
    case 1 + FileUpgrade::RecordingDays:
        return SafeUpgrade::tr("Recording the days each bill dealt with...");
    case 1 + FileUpgrade::Saving:
        return SafeUpgrade::tr("Saving the changes...");
    case Job::WritingStage:
        return SafeUpgrade::tr("Writing the database to the disk...");
    }
    return SafeUpgrade::tr("Putting the database in place...");
}

} // namespace

SafeUpgrade::SafeUpgrade(const QSqlDatabase &db)
    : m_db(db)
    // A file reached through a link is brought up to date where it lies, the link left as it is.
    , m_file(QFileInfo(db.databaseName()).canonicalFilePath())
{
}

QString SafeUpgrade::copyOf(const QString &file)
{
    return file + QStringLiteral(".upgrading");
}

int SafeUpgrade::layout(const QSqlDatabase &db, QString *error)
{
    // As FileUpgrade reads it: the record of the layout is the last thing an upgrade writes.
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("select count(*) from rdb$relations where rdb$relation_name = 'FILELEVEL'"))
        && query.next()) {
        if (query.value(0).toInt() == 0)
            return 0;
        if (query.exec(QStringLiteral("select max(fileversion) from filelevel")) && query.next())
            return query.value(0).isNull() ? 1 : query.value(0).toInt();
    }
    if (error)
        *error = query.lastError().text();
    return -1;
}

bool SafeUpgrade::run()
{
    m_done.clear();
    m_error.clear();
    if (m_file.isEmpty()) {
        m_error = tr("the file is not there");
        return false;
    }
    // While this connection has the file no upgrade of it can be under way: a copy beside it is one
    // that an upgrade broken off left.
    removeLeftover();
    const int found = layout(m_db, &m_error);
    if (found < 0)
        return false;
    if (found >= FileUpgrade::CurrentVersion)
        return true;
    return upgradeCopy();
}

void SafeUpgrade::removeLeftover()
{
    // Whatever stands at the name goes, a link as itself and not what it points to.
    const QString copy = copyOf(m_file);
    struct stat status = {};
    if (::lstat(QFile::encodeName(copy).constData(), &status) != 0)
        return;
    if (::unlink(QFile::encodeName(copy).constData()) != 0) {
        qCDebug(velloranLog).noquote() << "upgrade: a copy left by an upgrade broken off could not be removed:" << copy
                                       << systemError();
        return;
    }
    qCDebug(velloranLog).noquote() << "upgrade: removed a copy left by an upgrade broken off:" << copy;
    m_done << tr("a copy left by an upgrade broken off was removed");
}

bool SafeUpgrade::leftAsItWas(const QString &why)
{
    m_error = tr("%1. The file is left as it was.").arg(why);
    // As before the attempt: the connection open on the file.
    m_db.open();
    return false;
}

bool SafeUpgrade::upgradeCopy()
{
    Job job;
    job.connection = m_db.connectionName();
    job.file = m_file;
    job.copy = copyOf(m_file);

    // Shown where there are windows; the start-up check and the tests without them wait all the same.
    std::unique_ptr<WorkUnderWay> shown;
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        const qint64 chunks = (QFileInfo(m_file).size() + Chunk - 1) / Chunk;
        shown = std::make_unique<WorkUnderWay>(nullptr, stageText(Job::CopyingStage), int(chunks));
    }

    // The copy is made while nothing writes to the file: the program's own lock takes the place of the
    // engine's, so that no other program attaches the file until the copy stands in its place.
    m_db.close();
    Handle original(m_file, O_RDONLY);
    struct stat status = {};
    if (!original.isOpen() || ::fstat(original.fd(), &status) != 0)
        return leftAsItWas(tr("the file could not be read (%1)").arg(systemError()));
    if (!original.lockWhenFree())
        return leftAsItWas(tr("the file is in use elsewhere"));
    if (!namesFile(m_file, original.fd()))
        return leftAsItWas(replacedMeanwhile());
    job.source = original.fd();
    job.mode = status.st_mode & 07777;
    job.owner = status.st_uid;
    job.group = status.st_gid;

    std::unique_ptr<QThread> worker(QThread::create([&job] { job.run(); }));
    worker->start();
    // Each stage is shown as the work reaches it, one done in less than a look included, its own
    // measure of how far it has gone given its last figure before the next stage is shown.
    int stage = Job::CopyingStage;
    const auto doneIn = [&job](int at) {
        switch (at) {
        case Job::CopyingStage:
            return int(job.copied / Chunk);
        case 1 + FileUpgrade::CountingCharges:
            return job.upgraded.done.load();
        case Job::WritingStage:
            return int((job.written + Chunk - 1) / Chunk);
        }
        return 0;
    };
    const auto showReached = [&] {
        const unsigned reached = job.reached();
        for (int next = stage + 1; next < 32 && (reached >> next) != 0; ++next) {
            if (!(reached & (1u << next)))
                continue;
            shown->advance(doneIn(stage));
            stage = next;
            const QString text = stageText(stage);
            qCDebug(velloranLog).noquote() << "upgrade:" << text;
            if (stage == 1 + FileUpgrade::CountingCharges)
                shown->beginPart(text, job.upgraded.total, tr("%v of %m charges"));
            else if (stage == Job::WritingStage)
                shown->beginPart(text, int((job.toWrite + Chunk - 1) / Chunk), tr("%v of %m MB"));
            else
                shown->beginPart(text);
        }
        shown->advance(doneIn(stage));
    };
    while (!worker->wait(shown ? PollMs : ULONG_MAX))
        showReached();
    // The lock on the file that was replaced goes; the one in its place is attached afresh.
    original.close();
    if (!job.placed)
        return leftAsItWas(job.error);
    if (shown)
        showReached();
    if (!m_db.open()) {
        m_error = tr("the file was brought up to date but could not be opened again: %1").arg(m_db.lastError().text());
        return false;
    }
    m_done << job.summary << tr("done on a copy, which then took the place of the earlier file");
    qCDebug(velloranLog).noquote() << "upgrade:" << summary();
    return true;
}
