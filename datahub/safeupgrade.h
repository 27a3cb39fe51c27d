#ifndef SAFEUPGRADE_H
#define SAFEUPGRADE_H

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Brings an office's file of an earlier layout up to date without ever leaving it worse than it was.
//
// The upgrade changes the layout, and an end in the middle of the engine's commit of new tables can
// leave a file that no later opening reads. So the file itself is never upgraded: a copy beside it
// is, while no connection has either of them open, and takes the file's place in one rename once it
// is whole and on the disk. Until that rename the file is as it was, whatever happens (the program
// killed, a step refused, a full disk); a copy left by an upgrade broken off is removed at the next
// opening, which starts again from the file.
//
// The copy is made as the file is: its owner (where this user may give it), group, permissions, access
// list and other extended attributes. It takes the place only of the file it was made from; one that
// another program put in its place meanwhile is left to that program, and the opening says the file
// is in use.
//
// The upgrade runs on a thread of its own, on a connection of its own to the copy; where there are
// windows, the wait cursor and a progress dialog say what is being done meanwhile.
class SafeUpgrade
{
    Q_DECLARE_TR_FUNCTIONS(SafeUpgrade)

public:
    // `db` is open on the file. If the file needs the upgrade, the connection is closed while the copy
    // is made and brought up to date, and opened again on the file put in its place.
    explicit SafeUpgrade(const QSqlDatabase &db);

    // True when the file is of the current layout, now or already, and `db` is open on it. False
    // with error() saying why; the file is then as it was.
    bool run();

    // What was done, for the diagnostics and the start-up check; empty when nothing was.
    QString summary() const { return m_done.join(QStringLiteral("; ")); }
    QString error() const { return m_error; }

    // The layout of the file `db` is open on, read from its own tables without writing to them: 0
    // for the earliest, FileUpgrade::CurrentVersion for one up to date; -1 when they cannot be read.
    static int layout(const QSqlDatabase &db, QString *error = nullptr);

    // The copy an upgrade of `file` works on, beside it.
    static QString copyOf(const QString &file);

private:
    void removeLeftover();
    bool upgradeCopy();
    // Fails with `why`, the connection open on the file again.
    bool leftAsItWas(const QString &why);

    QSqlDatabase m_db;
    QString m_file;
    QStringList m_done;
    QString m_error;
};

#endif // SAFEUPGRADE_H
