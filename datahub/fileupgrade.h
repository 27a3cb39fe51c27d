#ifndef FILEUPGRADE_H
#define FILEUPGRADE_H

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QString>

// Brings an office's file of an earlier layout up to the one this program works on, when it is opened.
//
// The earliest layout did not say which recurring bill posted a charge, nor which bill is a lease's
// rent; the next did not say which days a bill has dealt with, nor which lease it ran with. The new
// columns are added in a transaction of their own, since the engine makes a new column usable only once
// it is committed, each only where it is missing; what they hold is then worked out from the office's
// rows in a second one, which records the new layout with its last write. A file left between the two
// (the program ended, a write refused) is taken up at the second step when it is next opened.
class FileUpgrade
{
    Q_DECLARE_TR_FUNCTIONS(FileUpgrade)

public:
    // The layout this program works on.
    static const int CurrentVersion = 3;

    explicit FileUpgrade(const QSqlDatabase &db);

    // False when the file could not be brought up to date (error() says why); nothing of a failed
    // step stays. True for a file that is up to date already.
    bool run();

    // What was done, in a line for the diagnostics and the start-up check; empty when nothing was.
    QString summary() const { return m_summary; }
    QString error() const { return m_error; }

private:
    int version();
    bool addColumns();
    bool fillColumns(int found);
    // The earliest layout's rent bills and charges read as what they were.
    bool readEarliestBills(QSqlQuery &query, int *rentBills, int *charges);
    bool exec(QSqlQuery &query, const QString &sql, const QVariantList &values = {});
    bool exists(const QString &sql, const QString &name);

    QSqlDatabase m_db;
    QString m_summary;
    QString m_error;
};

#endif // FILEUPGRADE_H
