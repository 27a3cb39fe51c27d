#include "platform/fileattributes.h"

#include <cerrno>
#include <cstring>
#include <sys/xattr.h>
#include <vector>

bool FileAttributes::copy(int from, int to, QStringList *notCopied)
{
    ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0)
        return size == 0 || errno == ENOTSUP;
    std::vector<char> names(static_cast<size_t>(size));
    size = ::flistxattr(from, names.data(), names.size());
    if (size < 0)
        return false;
    const QByteArray accessList("system.posix_acl_access");
    for (const char *name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
        const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
        std::vector<char> value(static_cast<size_t>(qMax<ssize_t>(length, 0)));
        if (length < 0 || ::fgetxattr(from, name, value.data(), value.size()) != length
            || ::fsetxattr(to, name, value.data(), value.size(), 0) != 0) {
            if (accessList == name)
                return false;
            if (notCopied)
                *notCopied << QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(name),
                                                           QString::fromLocal8Bit(std::strerror(errno)));
        }
    }
    return true;
}
