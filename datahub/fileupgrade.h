#ifndef FILEUPGRADE_H
#define FILEUPGRADE_H

#include <QCoreApplication>
#include <QDate>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <atomic>

// Brings an office's file of an earlier layout up to the one this program works on, when it is opened.
//
// The earliest layout did not say which recurring bill posted a charge, nor which bill is a lease's
// rent; the next did not say which days a bill has dealt with, nor which lease it ran with; the one
// before this one kept what a bill dealt with in the bill itself (from its first payment date, or from
// the beginning where that is empty, to its next due date) and inferred the clerk's ends from the end
// the lease command gave a bill. In this layout the charges are the record: a charge a bill posted
// covers its due date to the day before the next one and names the lease it was posted under; the end
// the clerk set is a column of its own; what a bill dealt with without a charge standing for it is a
// row of dealtdays; and a bill's due dates count from its first payment date.
//
// The new columns, table and indices are added in a transaction of their own, since the engine makes
// them usable only once committed, each only where it is missing; what they hold is then worked out from
// the office's rows in a second one, which records the new layout with its last write. A file left
// between the two (the program ended, a write refused) is taken up at the second step when it is next
// opened.
class FileUpgrade
{
    Q_DECLARE_TR_FUNCTIONS(FileUpgrade)

public:
    // The layout this program works on.
    static const int CurrentVersion = 5;

    explicit FileUpgrade(const QSqlDatabase &db);

    // The stages of run(), in the order it reaches them; an upgrade goes only through those its file needs.
    enum Stage { AddingColumns, LinkingCharges, ReadingBills, CountingCharges, RecordingDays, Saving, Stages };

    // How far run() has gone, read on another thread while it works: the stages reached, a bit each,
    // and of the work on the charges, the bulk of an office, `done` of `total` (known once that
    // stage is reached).
    struct Progress
    {
        std::atomic<unsigned> reached{0};
        std::atomic<int> done{0};
        std::atomic<int> total{0};
    };
    void setProgress(Progress *progress) { m_progress = progress; }

    // False when the file could not be brought up to date (error() says why); nothing of a failed
    // step stays. True for a file that is up to date already.
    bool run();

    // What was done, in a line for the diagnostics and the start-up check; empty when nothing was.
    // The bills whose charging the opening changed are named by their keys.
    QString summary() const { return m_summary; }
    QString error() const { return m_error; }

private:
    // One step of a frequency as whole months or days, so that due dates several steps on are taken
    // from the first at once (a month after 31 Jan is 28 Feb, two are 31 Mar).
    struct Step
    {
        int months = 0;
        int days = 0;
        bool isValid() const { return months > 0 || days > 0; }
        QDate after(const QDate &from, int times = 1) const
        {
            return months > 0 ? from.addMonths(months * times) : from.addDays(qint64(days) * times);
        }
    };
    // What reading the earliest layout's rent bills did.
    struct Earliest
    {
        int rentBills = 0;
        int deletedBills = 0;
        QList<int> leftCharging;
        QList<int> stopped;
    };

    int version();
    void reach(Stage stage)
    {
        if (m_progress)
            m_progress->reached |= 1u << stage;
    }
    bool addColumns();
    bool fillColumns(int found);
    bool readEarliestBills(QSqlQuery &query, Earliest *earliest);
    // The Rent charges a deleted rent bill of the earliest layout posted, beyond the bills there are.
    bool keepDeletedBillsDays(QSqlQuery &query, int *bills);
    bool recordClerkEnds(QSqlQuery &query, int found, int *bills);
    bool recordPeriods(QSqlQuery &query, int *charges);
    bool recordDealtDays(QSqlQuery &query, int *bills);
    bool countFromFirstPayment(QSqlQuery &query, int *bills);
    bool recordBillingFacts(QSqlQuery &query, int *facts);
    bool readFrequencies(QSqlQuery &query);
    Step stepOf(int frequency) const;
    bool exec(QSqlQuery &query, const QString &sql, const QVariantList &values = {});
    bool exists(const QString &sql, const QString &name);
    bool keys(QSqlQuery &query, const QString &sql, QList<int> *found);

    QSqlDatabase m_db;
    Progress *m_progress = nullptr;
    // The days of each frequency of the office's own table.
    QHash<int, int> m_frequencyDays;
    QString m_summary;
    QString m_error;
};

#endif // FILEUPGRADE_H
