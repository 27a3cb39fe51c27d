#ifndef ROWLOOKUP_H
#define ROWLOOKUP_H

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVariantList>

class QSqlQuery;
class QWidget;

// The look-ups that guard a change: does a building still belong to this owner, is this tenant
// already housed, is this code taken. A look-up that fails finds nothing, and a guard that read that
// as "nothing in the way" would let the change through; so a failure is a result of its own, and
// the guard refuses with refuse().
class RowLookup
{
    Q_DECLARE_TR_FUNCTIONS(RowLookup)

public:
    enum Result { NotFound, Found, Failed };

    // Runs the statement with its values bound in order on the hub's shared query and clears it.
    static Result find(QSqlQuery *query, const QString &sql, const QVariantList &values);

    // Tells the user that nothing was changed because the check itself could not be made.
    static void refuse(QWidget *parent);

    // The whole guard: true when the statement finds no row. A row found shows `inUse` and a failed
    // look-up refuses; either way the change must not go ahead.
    static bool nothingInTheWay(QWidget *parent, QSqlQuery *query, const QString &sql, const QVariantList &values,
                                const QString &inUse);

    // One reason a row must stay: `sql` finds a row that still names it, with the row's key bound to
    // each of its placeholders, and `inUse` tells the user why it stays and what to do instead.
    struct Guard
    {
        QString sql;
        QString inUse;
    };
    // The guards of a delete, in order: true when none finds a row. The first that does refuses with
    // its own message, and so does a failed look-up, as in nothingInTheWay.
    static bool nothingNames(QWidget *parent, QSqlQuery *query, const QList<Guard> &guards, const QVariant &key);
};

#endif // ROWLOOKUP_H
