#include "datahub/today.h"

namespace {
QDate &fixedDate()
{
    static QDate d;
    return d;
}
}

QDate Today::date()
{
    return fixedDate().isValid() ? fixedDate() : QDate::currentDate();
}

void Today::set(const QDate &date)
{
    fixedDate() = date;
}

void Today::reset()
{
    fixedDate() = QDate();
}
