#include "stowhand/archiver.h"
#include "datahub/debuglog.h"
#include "platform/fileattributes.h"

#include <QByteArray>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtEndian>

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The gzip library's own file buffer. Its default of 8 KiB costs a system call for every few
// kilobytes of a file hundreds of megabytes long; at half a chunk, every chunk is inflated straight
// into the caller's buffer instead of through the library's own.
const unsigned GzipBufferSize = Archiver::ChunkSize / 2;

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes a descriptor when the scope ends, which also releases a lock taken on it.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// Frees the gzip state on every early return. The close that counts is done explicitly, because
// its result tells whether the file was complete.
class GzipFile
{
public:
    explicit GzipFile(gzFile file) : m_file(file) {}
    ~GzipFile()
    {
        if (m_file)
            gzclose(m_file);
    }
    GzipFile(const GzipFile &) = delete;
    GzipFile &operator=(const GzipFile &) = delete;

    gzFile get() const { return m_file; }
    int close()
    {
        const int result = gzclose(m_file);
        m_file = nullptr;
        return result;
    }

private:
    gzFile m_file;
};

QString gzipError(gzFile file)
{
    int code = Z_OK;
    const char *text = gzerror(file, &code);
    if (code == Z_ERRNO)
        return systemError();
    return QString::fromLatin1(text);
}

// The permissions a newly created file would get from this process, for a file that replaces
// nothing.
mode_t defaultFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The header page of a database file of the embedded engine: the page type of a header page, page
// number 0, the page size and an on-disk-structure version marked as the engine's own. Returns the
// page size, or 0 when the bytes are not the start of such a file.
quint32 databasePageSize(const char *data, qint64 size)
{
    if (size < 20)
        return 0;
    const auto bytes = reinterpret_cast<const uchar *>(data);
    const uchar headerPageType = 1;
    if (bytes[0] != headerPageType || qFromLittleEndian<quint32>(bytes + 12) != 0)
        return 0;
    const quint32 pageSize = qFromLittleEndian<quint16>(bytes + 16);
    const quint16 odsVersion = qFromLittleEndian<quint16>(bytes + 18);
    if ((odsVersion & 0x8000) == 0)
        return 0;
    for (quint32 valid = 1024; valid <= 32768; valid *= 2) {
        if (pageSize == valid)
            return pageSize;
    }
    return 0;
}

// The engine keeps track of a file's pages on page inventory pages. Each has one bit for every page
// of the range it covers and counts, in its header, how many pages of that range are allocated. The
// first one is page 1 and covers the range from page 0; the last page of a range is allocated only
// when the range is full, and it is the inventory page of the next range.
const uchar InventoryPageType = 2;
const int InventoryUsedAt = 24; // after the page header, the lowest free page and the lowest free extent
const int InventoryBitsAt = 28;

quint32 pagesPerInventoryPage(quint32 pageSize)
{
    return (pageSize - InventoryBitsAt) * 8;
}

// Tells, from a file's bytes taken in order, whether the file is a whole database file of the
// embedded engine. Both directions ask it, so that only a database goes into a backup and only a
// database comes out of one.
//
// A file cut short at a page boundary still starts like a database; what gives it away is the size
// its inventory pages imply. Every one of them is read: the first covers only some 500 MB of 8 KiB
// pages, and a copy of a larger office cut beyond that looks whole to it.
class DatabaseCheck
{
public:
    // Takes the next bytes of the file; false when the file so far cannot be a database file, which
    // its first bytes or an inventory page out of place show.
    bool take(const char *data, qint64 size)
    {
        if (m_total == 0) {
            m_pageSize = databasePageSize(data, size);
            if (m_pageSize == 0)
                return false;
            m_nextInventoryPage = 1;
        }
        const qint64 start = m_total;
        m_total += size;
        while (m_nextInventoryPage != 0) {
            // The header of the next inventory page, gathered as far as these bytes hold it.
            const qint64 at = qint64(m_nextInventoryPage) * m_pageSize + m_inventoryHeader.size();
            if (at >= m_total)
                return true;
            const qint64 count = qMin<qint64>(InventoryBitsAt - m_inventoryHeader.size(), m_total - at);
            m_inventoryHeader.append(data + (at - start), int(count));
            if (m_inventoryHeader.size() < InventoryBitsAt)
                return true;
            if (!takeInventoryPage())
                return false;
        }
        return true;
    }

    // After the last bytes: whether they made up whole pages, as many as the file has allocated.
    bool isWhole() const
    {
        return m_pageSize != 0 && m_sequence > 0 && m_nextInventoryPage == 0 && m_total % m_pageSize == 0
            && quint64(m_total / m_pageSize) >= m_pagesNeeded;
    }

private:
    bool takeInventoryPage()
    {
        const auto page = reinterpret_cast<const uchar *>(m_inventoryHeader.constData());
        const bool isInventoryPage = page[0] == InventoryPageType;
        const quint32 used = qFromLittleEndian<quint32>(page + InventoryUsedAt);
        m_inventoryHeader.clear();
        const quint32 perPage = pagesPerInventoryPage(m_pageSize);
        if (!isInventoryPage || used > perPage || (m_sequence == 0 && used == 0))
            return false;
        const quint64 rangeStart = quint64(m_sequence) * perPage;
        m_pagesNeeded = rangeStart + used;
        ++m_sequence;
        m_nextInventoryPage = used == perPage ? rangeStart + perPage - 1 : 0;
        return true;
    }

    qint64 m_total = 0;
    quint32 m_pageSize = 0;
    // The inventory page looked for next, 0 when the last one has been read, and how many came before.
    quint64 m_nextInventoryPage = 0;
    quint32 m_sequence = 0;
    QByteArray m_inventoryHeader;
    quint64 m_pagesNeeded = 0;
};

// Makes a finished rename survive a power cut as well as the file's content does.
void syncFolder(const QString &folder)
{
    Descriptor dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

// Writes all of the bytes, however many calls the system needs for them.
bool writeFully(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool replaceFile(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

Archiver::Archiver(const QString &directory, QObject *parent)
    : QObject(parent)
    , m_directory(directory)
{
}

Archiver::~Archiver() = default;

void Archiver::setFileName(const QString &fileName)
{
    m_fileName = fileName;
}

QString Archiver::fileName() const
{
    return m_fileName;
}

QString Archiver::errorString() const
{
    return m_errorString;
}

Archiver::Failure Archiver::failure() const
{
    return m_failure;
}

QString Archiver::filePath() const
{
    return QStringLiteral("%1/%2").arg(m_directory, m_fileName);
}

bool Archiver::fail(const QString &reason, Failure kind)
{
    m_errorString = reason;
    m_failure = kind;
    qWarning().noquote() << "Archiver:" << reason;
    return false;
}

bool Archiver::compress(const QString &archivePath)
{
    m_errorString.clear();
    m_failure = NoFailure;
    if (archivePath.isEmpty())
        return fail(tr("No backup file was given."));

    QFile source(filePath());
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(tr("Cannot read %1: %2").arg(source.fileName(), source.errorString()));

    // The embedded database engine holds an exclusive lock on a database it has open. A copy taken
    // while the main program works on the file can catch it halfway through a write and restore as
    // a damaged database, so the backup waits until the program has closed it; the shared lock also
    // keeps the engine from opening the file until the copy is complete.
    if (::flock(source.handle(), LOCK_SH | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return fail(tr("%1 is in use.").arg(source.fileName()), InUse);
        return fail(tr("Cannot lock %1: %2").arg(source.fileName(), systemError()));
    }

    struct stat sourceStat;
    if (::fstat(source.handle(), &sourceStat) != 0)
        return fail(tr("Cannot read %1: %2").arg(source.fileName(), systemError()));
    // A backup written over the file it is made of would leave neither.
    struct stat previous;
    const bool archiveExists = ::stat(QFile::encodeName(archivePath).constData(), &previous) == 0;
    if (archiveExists && sourceStat.st_dev == previous.st_dev && sourceStat.st_ino == previous.st_ino)
        return fail(tr("%1 is the file to back up itself.").arg(archivePath));
    // The new backup takes the chosen name by a rename, which would put it in the place of a device
    // or a pipe instead of writing into it.
    if (archiveExists && !S_ISREG(previous.st_mode))
        return fail(tr("%1 is not a file.").arg(archivePath));

    // An older backup of the same name stays untouched until the new one is complete.
    const QFileInfo archiveInfo(archivePath);
    QTemporaryFile partial(archiveInfo.absolutePath() + QStringLiteral("/.%1.XXXXXX").arg(archiveInfo.fileName()));
    if (!partial.open())
        return fail(tr("Cannot create %1: %2").arg(archivePath, partial.errorString()));

    Descriptor gzipDescriptor(::dup(partial.handle()));
    if (gzipDescriptor.get() < 0)
        return fail(systemError());
    GzipFile gzip(gzdopen(gzipDescriptor.get(), "wb"));
    if (!gzip.get())
        return fail(tr("Cannot start the compressed stream."));
    gzipDescriptor.release(); // the gzip state closes it from now on
    gzbuffer(gzip.get(), GzipBufferSize);

    QByteArray buffer(ChunkSize, '\0');
    DatabaseCheck database;
    const qint64 total = source.size();
    qint64 done = 0;
    for (;;) {
        const qint64 count = source.read(buffer.data(), buffer.size());
        if (count < 0)
            return fail(tr("Cannot read %1: %2").arg(source.fileName(), source.errorString()));
        if (count == 0)
            break;
        // A backup is only worth keeping if it can be restored, and a restore takes only a database.
        if (!database.take(buffer.constData(), count))
            return fail(tr("%1 is not a database file.").arg(source.fileName()), NotADatabase);
        if (gzwrite(gzip.get(), buffer.constData(), unsigned(count)) != int(count))
            return fail(tr("Cannot write %1: %2").arg(archivePath, gzipError(gzip.get())));
        emit progressed(done += count, total);
    }

    if (!database.isWhole())
        return fail(tr("%1 is not a whole database file.").arg(source.fileName()), NotADatabase);

    // Closing writes the last compressed block and the trailer; a full disk often shows only here.
    const int closed = gzip.close();
    if (closed != Z_OK)
        return fail(tr("Cannot finish %1: %2")
                        .arg(archivePath, closed == Z_ERRNO ? systemError() : QString::number(closed)));
    if (::fsync(partial.handle()) != 0)
        return fail(tr("Cannot write %1: %2").arg(archivePath, systemError()));

    // The backup holds all the office's data: no one may read it who may not read the file. It goes
    // to the file's group where this user may give it that, and is kept from any other group.
    mode_t allowed = (sourceStat.st_mode & 0777) | S_IRWXU;
    if (::fchown(partial.handle(), uid_t(-1), sourceStat.st_gid) != 0)
        allowed &= ~S_IRWXG;
    ::fchmod(partial.handle(), (archiveExists ? (previous.st_mode & 07777) : defaultFileMode()) & allowed);

    partial.close();
    if (!replaceFile(partial.fileName(), archivePath))
        return fail(tr("Cannot create %1: %2").arg(archivePath, systemError()));
    partial.setAutoRemove(false);
    syncFolder(archiveInfo.absolutePath());
    return true;
}

bool Archiver::decompress(const QString &archivePath)
{
    m_errorString.clear();
    m_failure = NoFailure;
    if (archivePath.isEmpty())
        return fail(QStringLiteral("no backup file given"));

    QString target = filePath();
    const QFileInfo targetInfo(target);
    if (targetInfo.isSymLink() && targetInfo.exists())
        target = targetInfo.canonicalFilePath();

    // Everything about the backup file is checked before the database is touched.
    Descriptor archive(::open(QFile::encodeName(archivePath).constData(), O_RDONLY | O_CLOEXEC));
    if (archive.get() < 0)
        return fail(QStringLiteral("cannot open %1: %2").arg(archivePath, systemError()));
    struct stat archiveStat;
    if (::fstat(archive.get(), &archiveStat) != 0 || !S_ISREG(archiveStat.st_mode))
        return fail(QStringLiteral("%1 is not a file").arg(archivePath));
    unsigned char magic[2] = {0, 0};
    const bool gzipped = ::pread(archive.get(), magic, 2, 0) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;

    // The embedded database engine holds an advisory lock on every database file it has open, shared
    // or exclusive by its server mode. Taking it exclusively tells whether the main program (or any
    // other program on the engine) uses the file, and keeps the engine from opening it until the
    // new file has taken its place.
    struct stat current;
    const bool replacing = ::stat(QFile::encodeName(target).constData(), &current) == 0;
    Descriptor lock;
    if (replacing) {
        lock.reset(::open(QFile::encodeName(target).constData(), O_RDONLY | O_CLOEXEC));
        if (lock.get() < 0)
            return fail(QStringLiteral("cannot open %1: %2").arg(target, systemError()));
        if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK)
                return fail(QStringLiteral("%1 is in use").arg(target), InUse);
            return fail(QStringLiteral("cannot lock %1: %2").arg(target, systemError()));
        }
    }

    const QFileInfo finalInfo(target);
    QTemporaryFile restored(finalInfo.absolutePath() + QStringLiteral("/.%1.XXXXXX").arg(finalInfo.fileName()));
    if (!restored.open())
        return fail(QStringLiteral("cannot create a file beside %1: %2").arg(target, restored.errorString()));

    GzipFile gzip(gzdopen(archive.get(), "rb"));
    if (!gzip.get())
        return fail(QStringLiteral("cannot read %1").arg(archivePath));
    archive.release(); // the gzip state closes it from now on
    gzbuffer(gzip.get(), GzipBufferSize);

    QByteArray buffer(ChunkSize, '\0');
    DatabaseCheck database;
    for (;;) {
        const int count = gzread(gzip.get(), buffer.data(), unsigned(buffer.size()));
        if (count < 0)
            return fail(QStringLiteral("%1 is damaged: %2").arg(archivePath, gzipError(gzip.get())), NotABackup);
        if (count == 0)
            break;
        // Whatever was compressed, only a database file may take the database's place.
        if (!database.take(buffer.constData(), count))
            return fail(QStringLiteral("%1 does not hold a database file").arg(archivePath), NotABackup);
        if (!writeFully(restored.handle(), buffer.constData(), count))
            return fail(QStringLiteral("cannot write %1: %2").arg(restored.fileName(), systemError()));
        emit progressed(gzoffset(gzip.get()), archiveStat.st_size);
    }

    // A stream that ends early shows as an error only after the last read, and again at the close.
    int zerror = Z_OK;
    gzerror(gzip.get(), &zerror);
    if (zerror != Z_OK)
        return fail(QStringLiteral("%1 is damaged: %2").arg(archivePath, gzipError(gzip.get())), NotABackup);
    if (bool(gzdirect(gzip.get())) == gzipped)
        return fail(QStringLiteral("%1 is not a gzip file").arg(archivePath), NotABackup);
    if (gzip.close() != Z_OK)
        return fail(QStringLiteral("%1 is damaged").arg(archivePath), NotABackup);
    if (!database.isWhole())
        return fail(QStringLiteral("%1 is not a whole database file").arg(archivePath), NotABackup);

    if (::fsync(restored.handle()) != 0)
        return fail(QStringLiteral("cannot write %1: %2").arg(restored.fileName(), systemError()));

    // The restored file keeps the old file's owner, attributes and permissions, made writable for its
    // owner. Setting the access list sets the mode as well, so the mode is set after it.
    if (replacing) {
        if (::fchown(restored.handle(), current.st_uid, current.st_gid) != 0)
            qCDebug(velloranLog) << "Archiver: the restored file keeps this user as its owner";
        QStringList notCopied;
        if (!FileAttributes::copy(lock.get(), restored.handle(), &notCopied))
            return fail(QStringLiteral("cannot give the restored file the access list of %1: %2").arg(target, systemError()));
        for (const QString &attribute : qAsConst(notCopied))
            qCDebug(velloranLog).noquote() << "Archiver: the restored file could not be given the attribute" << attribute;
        ::fchmod(restored.handle(), (current.st_mode & 07777) | S_IRUSR | S_IWUSR);
    } else {
        ::fchmod(restored.handle(), defaultFileMode());
    }

    restored.close();
    if (!replaceFile(restored.fileName(), target))
        return fail(QStringLiteral("cannot replace %1: %2").arg(target, systemError()));
    restored.setAutoRemove(false);
    syncFolder(finalInfo.absolutePath());
    return true;
}
