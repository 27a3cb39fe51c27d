#include "money/moneyfield.h"

#include <QDoubleValidator>
#include <QLocale>
#include <QtGlobal>

namespace MoneyField {

QDoubleValidator *validator(QObject *parent, double top)
{
    auto *validator = new QDoubleValidator(parent);
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    validator->setLocale(c);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setBottom(0.0);
    if (top >= 0.0)
        validator->setTop(top);
    return validator;
}

double value(const QString &text)
{
    bool ok = false;
    const double amount = text.trimmed().toDouble(&ok);
    return ok ? amount : 0.0;
}

QString text(double amount)
{
    return QString::number(amount, 'f', 2);
}

int compare(double a, double b)
{
    const qint64 cents = qRound64(a * 100.0) - qRound64(b * 100.0);
    return cents < 0 ? -1 : (cents > 0 ? 1 : 0);
}

} // namespace MoneyField
