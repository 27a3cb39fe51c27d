#ifndef RELATIONKEY_H
#define RELATIONKEY_H

#include <QVariant>

class QSqlRelationalTableModel;

// Puts a key into a relation column (a charge's apartment, a cashbook entry's category) of a row the
// caller is about to write. The relational model itself accepts only keys found in the list it read
// the first time it was asked, and of that list only the first rows fetched: an apartment or category
// added since would be refused, and the row written without it.
bool setRelationKey(QSqlRelationalTableModel *model, int column, int row, const QVariant &key);

#endif // RELATIONKEY_H
