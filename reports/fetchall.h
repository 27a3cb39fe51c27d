#ifndef FETCHALL_H
#define FETCHALL_H

#include <functional>

class QAbstractItemModel;

// A query model on a database that cannot tell the size of a result (Firebird among them) holds
// only the rows fetched so far, 256 at first. Everything that walks or counts all rows of a report,
// letter or mailing list calls this first, or the rows past the first batch are silently lost.
// Returns the row count once every row is in; a null model gives 0.
int fetchAllRows(QAbstractItemModel *model);
// The same, telling `rowsSoFar` the count after each batch; when it answers false the fetching stops
// there and -1 is returned.
int fetchAllRows(QAbstractItemModel *model, const std::function<bool(int rows)> &rowsSoFar);

#endif // FETCHALL_H
