#ifndef TEXTFOLD_H
#define TEXTFOLD_H

#include <QString>

// Stored text compared without regard to letter case. The database folds both sides, the stored value
// and the text the user typed, in one and the same way: Qt folds a few letters otherwise (it lowers a
// dotted capital I to two characters, the engine to one), so text lowered in Qt can miss the very row
// it was typed to find. Every such comparison, equality or search, is composed here.
class TextFold
{
public:
    // `expression` as the database folds it for comparing.
    static QString folded(const QString &expression);
    // The condition that holds for a row whose `column` of `table` holds, whatever the case of its
    // letters, the text bound to its one placeholder. The placeholder takes the column's own type: the
    // engine cannot fold a value whose type it does not know, and the column's character set decides
    // how its letters fold. A text longer than the column fails the statement.
    static QString sameText(const QString &table, const QString &column);
};

#endif // TEXTFOLD_H
