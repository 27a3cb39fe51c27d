#ifndef OLDERFILE_H
#define OLDERFILE_H

#include <QString>
#include <QStringList>

// An office's file as the earlier release laid it out: no bill named on a charge, no lease's rent bill
// marked, no totals kept for the cashbook, no record of the layout. What the program's upgrade adds is
// taken out again, so that opening the file brings it up to date.
namespace OlderFile {

// The statements that take a file of the current layout back to the earlier one.
QStringList statements();

// Takes the database file at `path` back to the earlier layout, on a connection of its own that is
// gone again when it returns. False (with a warning naming the statement) when a statement failed.
bool make(const QString &path);

} // namespace OlderFile

#endif // OLDERFILE_H
