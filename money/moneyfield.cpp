#include "money/moneyfield.h"
#include "money/moneycommand.h"

#include "datahub/msgbox.h"

#include <QLocale>
#include <QtGlobal>

MoneyField::MoneyField(QWidget *parent)
    : QLineEdit(parent)
{
}

void MoneyField::setDecimals(int decimals)
{
    m_decimals = decimals;
}

void MoneyField::setNegativeAllowed(bool allowed)
{
    m_negativeAllowed = allowed;
}

QVariant MoneyField::amount() const
{
    if (text().trimmed().isEmpty())
        return 0.0;
    if (!m_shownText.isEmpty() && text() == m_shownText)
        return m_shownAmount;
    double typed = 0.0;
    if (!read(text(), &typed, m_decimals, m_negativeAllowed))
        return QVariant();
    return typed;
}

void MoneyField::setAmount(const QVariant &amount)
{
    m_shownText.clear();
    bool ok = false;
    // Models hand numbers over as numbers or, formatted for their lists, as text with a point.
    const double number = amount.type() == QVariant::String ? amount.toString().trimmed().toDouble(&ok)
                                                            : amount.toDouble(&ok);
    if (amount.isNull() || !ok) {
        setText(amount.isNull() ? QString() : amount.toString());
        return;
    }
    QString shown = format(number, m_decimals);
    // Places beyond the cents are shown only where they hold something.
    const QChar point = QLocale().decimalPoint();
    while (m_decimals > 2 && shown.endsWith(QLatin1Char('0')) && shown.indexOf(point) < shown.size() - 3)
        shown.chop(1);
    setText(shown);
    m_shownText = shown;
    m_shownAmount = number;
}

double MoneyField::value() const
{
    return amount().toDouble();
}

bool MoneyField::isBlank() const
{
    const QLocale locale;
    for (const QChar c : text()) {
        if (!c.isSpace() && c != locale.decimalPoint() && c != locale.groupSeparator())
            return false;
    }
    return true;
}

bool MoneyField::check(const QString &blankMessage)
{
    const bool blank = isBlank();
    QString message;
    if (blank && !blankMessage.isEmpty())
        message = blankMessage;
    else if (!(blank && text().trimmed().isEmpty()) && !amount().isValid() && tooLarge(text()))
        message = tr("%1 is larger than the books can hold: amounts go up to %2.")
                      .arg(text().trimmed(), QLocale().toString(MoneyCommand::MaxAmount, 'f', 2));
    else if (!(blank && text().trimmed().isEmpty()) && !amount().isValid())
        message = tr("\"%1\" is not an amount. Type amounts as in %2.")
                      .arg(text().trimmed(), QLocale().toString(m_negativeAllowed ? -1234.5 : 1234.5, 'f', 2));
    if (message.isEmpty())
        return true;
    MsgBox::information(window(), message);
    setFocus();
    selectAll();
    return false;
}

bool MoneyField::checkAll(std::initializer_list<MoneyField *> fields)
{
    for (MoneyField *field : fields) {
        if (!field->check())
            return false;
    }
    return true;
}

bool MoneyField::tooLarge(const QString &text)
{
    // Read as if there were no bound: a number in every other way, but beyond the books.
    const QLocale locale;
    QString digits = text.trimmed();
    for (const QChar sign : {locale.groupSeparator(), QChar(QLatin1Char(' ')), QChar(QLatin1Char('\'')),
                             QChar(QLatin1Char('-')), locale.negativeSign()})
        digits.remove(sign);
    bool ok = false;
    const double number = locale.toDouble(digits, &ok);
    return ok && !MoneyCommand::withinBooks(number);
}

bool MoneyField::read(const QString &text, double *amount, int decimals, bool negativeAllowed)
{
    const QLocale locale;
    const QChar point = locale.decimalPoint();
    const QChar group = locale.groupSeparator();
    QString typed = text.trimmed();
    // Where the desktop groups digits with a no-break space or a raised comma, the keyboard types a
    // plain blank or apostrophe for it.
    if (group.isSpace())
        typed.replace(QLatin1Char(' '), group);
    else if (group == QChar(0x2019))
        typed.replace(QLatin1Char('\''), group);
    bool negative = false;
    if (typed.startsWith(locale.negativeSign()) || typed.startsWith(QLatin1Char('-'))) {
        negative = true;
        typed.remove(0, 1);
    }
    if (negative && !negativeAllowed)
        return false;
    // Digits, one decimal sign and group signs before it, nothing else: no exponent, no second sign.
    int digits = 0;
    int places = 0;
    bool afterPoint = false;
    for (const QChar c : typed) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
            if (afterPoint)
                ++places;
        } else if (c == point && !afterPoint) {
            afterPoint = true;
        } else if (c != group || afterPoint) {
            return false;
        }
    }
    if (digits == 0 || places > decimals)
        return false;
    // The locale checks that group signs stand between groups of three digits.
    bool ok = false;
    const double number = locale.toDouble(typed, &ok);
    if (!ok)
        return false;
    // An amount the books cannot hold is no amount either; check() says why.
    if (!MoneyCommand::withinBooks(number))
        return false;
    *amount = negative ? -number : number;
    return true;
}

QString MoneyField::format(double amount, int decimals)
{
    // Without group signs, so that the text reads back the same under any locale's grouping rules.
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(amount, 'f', decimals);
}

int MoneyField::compare(double a, double b)
{
    const qint64 cents = qRound64(a * 100.0) - qRound64(b * 100.0);
    return cents < 0 ? -1 : (cents > 0 ? 1 : 0);
}
