#ifndef CHARGEPOSTING_H
#define CHARGEPOSTING_H

#include "datahub/recurringposter.h"

#include <QDate>
#include <QException>
#include <QString>
#include <QVariantList>

#include <memory>

class QSqlQuery;
class XDataSource;

// The due date after `from` for a frequency: the built-in ids 1 to 9 step by calendar (weeks, months,
// years); any other id steps by the `days` of its row in the frequency table. An id without a row, or
// with 0 days, gives 1960-01-01, a date no posting accepts as a step forward.
QDate nextDueDate(const QDate &from, int frequency, XDataSource *dataSource);

// The due date after `due` of a bill whose due dates are counted from `first`: the k-th is `first`
// stepped k months or years at once, so that a bill begun on the 31st is due on the 31st again after
// a shorter month. A `due` in a month of that schedule but on another day (a day an earlier release let
// drift) is followed by the schedule's next due date; any other (or no `first`) steps from itself.
QDate dueDateAfter(const QDate &due, const QDate &first, int frequency, XDataSource *dataSource);

// A posting step the database refused. The run that holds the transaction rolls everything back.
class PostingError : public QException
{
public:
    explicit PostingError(const QString &message);
    const char *what() const noexcept override;
    void raise() const override { throw *this; }
    PostingError *clone() const override { return new PostingError(*this); }

private:
    QByteArray m_message;
};

// Turns recurring bills into charges inside the caller's transaction. A charge run posts thousands of
// charges one statement each, so the two statements are prepared once and kept; a statement prepared
// in an earlier transaction is prepared again on its first failure in a new one.
class ChargePoster : public RecurringPoster
{
public:
    ChargePoster();
    ~ChargePoster() override;

    void postDue(const QSqlQuery &bill, const QDate &today, XDataSource *dataSource) override;
    void postAhead(const QSqlQuery &bill, int periods, XDataSource *dataSource) override;

private:
    struct Bill;
    void post(const Bill &bill, const QDate &today, int periods, XDataSource *dataSource);
    bool execute(std::unique_ptr<QSqlQuery> &statement, const QString &sql, const QVariantList &values);

    std::unique_ptr<QSqlQuery> m_insertCharge;
    std::unique_ptr<QSqlQuery> m_updateBill;
};

#endif // CHARGEPOSTING_H
