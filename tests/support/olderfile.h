#ifndef OLDERFILE_H
#define OLDERFILE_H

#include <QString>
#include <QStringList>

// An office's file as an earlier release laid it out. The earliest layout (0): no bill named on a charge,
// no lease's rent bill marked, no totals kept for the cashbook, no record of the layout. Layout 3: no
// charge's period or lease, no end of the clerk's, no days dealt with on record. The one before the
// current one (4): no bill's line, no lease kept once saved, no line taken over, no period agreed to.
// What the program's upgrade adds is taken out again, so that opening the file brings it up to date.
namespace OlderFile {

// The statements that take a file of the current layout back to the earliest one, or to layout 3 or 4.
QStringList statements(int layout = 0);

// Takes the database file at `path` back to that layout, on a connection of its own that is
// gone again when it returns. False (with a warning naming the statement) when a statement failed.
bool make(const QString &path, int layout = 0);

} // namespace OlderFile

#endif // OLDERFILE_H
