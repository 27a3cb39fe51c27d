#ifndef FETCHALL_H
#define FETCHALL_H

class QAbstractItemModel;

// A query model on a database that cannot tell the size of a result (Firebird among them) holds
// only the rows fetched so far, 256 at first. Everything that walks or counts all rows of a report,
// letter or mailing list calls this first, or the rows past the first batch are silently lost.
// Returns the row count once every row is in; a null model gives 0.
int fetchAllRows(QAbstractItemModel *model);

#endif // FETCHALL_H
