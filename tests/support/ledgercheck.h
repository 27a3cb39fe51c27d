#ifndef LEDGERCHECK_H
#define LEDGERCHECK_H

#include <QSqlDatabase>
#include <QStringList>

// What must hold in an office's books after every clerk action, whatever the action was. Any test may
// ask; an empty list means the books balance.
//
// How the rows tie together: a charge owes `amt` of its `origamount` and has been paid `paid`, the
// sum of the PAYMENTS lines that name it; a payment is one TRANS row (cash + check + card) with one
// PAYMENTS line per charge paid and one cashbook income entry per charge type, all carrying the
// TRANS key; a void takes all of them away again and gives the amounts back to the charges. A late
// fee is a charge like any other. A deposit is a row of its own and touches no charge.
//
// A tenant who has settled everything and holds no deposit or apartment may go: the charges paid and
// the payments stay as history under the old key. What is still open may not lose its tenant.
class LedgerCheck
{
public:
    // One line per row that breaks a rule: the rule, then the row and the values that break it.
    static QStringList breaches(const QSqlDatabase &db = QSqlDatabase::database());

    // Every row of the tables that are the books, every column, in key order: two snapshots are equal
    // only when no money row, nor anything a money row names, has changed.
    static QStringList snapshot(const QSqlDatabase &db = QSqlDatabase::database());
};

#endif // LEDGERCHECK_H
