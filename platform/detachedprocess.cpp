#include "platform/detachedprocess.h"

#include <QDir>
#include <QProcess>

#include <fcntl.h>

namespace {

// Marks every descriptor above the standard three close-on-exec. This process never execs itself,
// so the flag changes nothing for it; it only keeps the descriptors out of every child.
void keepDescriptorsFromChildren()
{
    const QStringList entries = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System);
    for (const QString &entry : entries) {
        bool ok = false;
        const int fd = entry.toInt(&ok);
        if (!ok || fd <= 2)
            continue;
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags >= 0 && !(flags & FD_CLOEXEC))
            ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}

} // namespace

bool DetachedProcess::start(const QString &program, const QStringList &arguments, qint64 *pid)
{
    keepDescriptorsFromChildren();
    return QProcess::startDetached(program, arguments, QString(), pid);
}
