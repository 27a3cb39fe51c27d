#ifndef TODAY_H
#define TODAY_H

#include <QDate>

// The one source of "today" for the whole program. Charges, reminders and defaults all ask here, so a
// test can fix the date instead of depending on the clock.
class Today
{
public:
    static QDate date();
    static void set(const QDate &date);
    static void reset();
};

#endif // TODAY_H
