#ifndef FILEATTRIBUTES_H
#define FILEATTRIBUTES_H

#include <QStringList>

// What a file carries besides its content, owner and mode: its extended attributes, its access list
// (system.posix_acl_access) among them. A program that puts a new file in the place of the office's
// database gives it these too, or the office's other users, let in by the access list, are locked out.
class FileAttributes
{
public:
    // Copies every extended attribute of the file open at `from` onto the file open at `to`. Those
    // this process may not set (another program's security label) stay as the folder gives them, and
    // are named with the reason in `notCopied`. False, with errno set, when the access list could not
    // be copied. A file system without extended attributes has none to copy.
    static bool copy(int from, int to, QStringList *notCopied = nullptr);
};

#endif // FILEATTRIBUTES_H
