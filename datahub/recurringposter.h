#ifndef RECURRINGPOSTER_H
#define RECURRINGPOSTER_H

#include <QDate>

#include <functional>
#include <memory>

class QSqlQuery;
class XDataSource;

// What turns a recurring bill into charges. The hub posts through it without knowing the rule: the
// money folder, which holds the rule, installs its poster when the program's library is loaded.
class RecurringPoster
{
public:
    using Maker = std::function<std::unique_ptr<RecurringPoster>()>;

    virtual ~RecurringPoster() = default;
    // Every charge of the bill on which `bill` stands that is due on or before `today`.
    virtual void postDue(const QSqlQuery &bill, const QDate &today, XDataSource *dataSource) = 0;
    // The next `periods` charges of that bill, due or not.
    virtual void postAhead(const QSqlQuery &bill, int periods, XDataSource *dataSource) = 0;

    // Installs how a poster is made; returns true, so that it can initialise a static.
    static bool install(const Maker &maker);
    // A new poster, or none where nothing was installed.
    static std::unique_ptr<RecurringPoster> make();
};

#endif // RECURRINGPOSTER_H
