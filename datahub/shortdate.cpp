#include "datahub/shortdate.h"

#include <QDateEdit>
#include <QLocale>

QString ShortDate::format()
{
    const QString base = QLocale().dateFormat(QLocale::ShortFormat);
    QString result;
    bool quoted = false;
    for (int i = 0; i < base.size(); ++i) {
        const QChar c = base.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            result += c;
        } else if (!quoted && c == QLatin1Char('y')) {
            while (i + 1 < base.size() && base.at(i + 1) == QLatin1Char('y'))
                ++i;
            result += QLatin1String("yyyy");
        } else {
            result += c;
        }
    }
    return result;
}

QString ShortDate::toText(const QDate &date)
{
    if (!date.isValid())
        return QString();
    return QLocale().toString(date, format());
}

QDate ShortDate::fromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    const QDate date = QLocale().toDate(trimmed, format());
    if (!date.isValid())
        return QDate();
    // The parser takes "25" for the year 25 rather than refusing it; no office date lies before the
    // year 1000, so a short year is refused here and the user is asked for the whole year.
    if (date.year() < 1000)
        return QDate();
    return date;
}

void ShortDate::apply(QDateEdit *edit)
{
    if (edit)
        edit->setDisplayFormat(format());
}
