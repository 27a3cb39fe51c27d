#ifndef SHORTDATE_H
#define SHORTDATE_H

#include <QDate>
#include <QString>

class QDateEdit;

// Every date shown in or typed into a widget uses the desktop's short date format, but always with a
// four-digit year. The usual short formats carry a two-digit year, and "12/9/25" read back that way
// lands in 1925: a lease saved like that would post a century of charges.
class ShortDate
{
public:
    // The locale's short date format with its year widened to "yyyy".
    static QString format();
    static QString toText(const QDate &date);
    // An invalid QDate when the text is not a date in format(), including a year not written in full.
    static QDate fromText(const QString &text);
    static void apply(QDateEdit *edit);
};

#endif // SHORTDATE_H
