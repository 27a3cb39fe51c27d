#ifndef READFAILURE_H
#define READFAILURE_H

#include <QCoreApplication>
#include <QModelIndex>
#include <QString>

class QSqlError;
class QSqlQueryModel;

// A list whose statement failed, or whose rows could not be fetched, would show as an empty list, as
// if there were no rows. The shared models pass every read through here: the user is told, with the
// engine's words, and the diagnostics keep a line of it.
class ReadFailure
{
    Q_DECLARE_TR_FUNCTIONS(ReadFailure)

public:
    // True when the model's last read went well; otherwise the failure is reported.
    static bool check(const QSqlQueryModel *model);
    // "Unable to read data" with `error`'s words, in a message and in the diagnostics.
    static void report(const QSqlError &error);

    // The fetchMore of a shared model over `Base`: the next batch of rows, with a failure reported.
    // The first batch is fetched by the read that ran the statement, which reports for itself.
    template <class Base, class Model>
    static void fetchMore(Model *model, const QModelIndex &parent)
    {
        const bool later = model->rowCount(parent) > 0 && model->canFetchMore(parent);
        model->Base::fetchMore(parent);
        if (later)
            checkFetch(model);
    }

    // While one lives, failed reads go to the diagnostics only, and the first reason is kept in
    // `firstReason`: for a caller that tells the user itself (opening the database).
    class Quiet
    {
    public:
        explicit Quiet(QString *firstReason);
        ~Quiet();
        Quiet(const Quiet &) = delete;
        Quiet &operator=(const Quiet &) = delete;

    private:
        friend class ReadFailure;
        QString *m_firstReason;
        Quiet *m_outer;
    };

private:
    // The engine's words for why the model's last read failed, on running its statement or on fetching
    // its rows; empty when it read well.
    static QString reason(const QSqlQueryModel *model);
    // A failed fetch of the rows after the first batch is reported.
    static void checkFetch(const QSqlQueryModel *model);
    static QSqlError fetchError(const QSqlQueryModel *model);
    static QString words(const QSqlError &error);
    static void tell(const QString &why);
};

#endif // READFAILURE_H
