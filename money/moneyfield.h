#ifndef MONEYFIELD_H
#define MONEYFIELD_H

#include <QString>

class QDoubleValidator;
class QObject;

// Money as the money windows type, read and show it: digits with a point before the cents, no
// grouping, never below zero. The validator and the conversion read a text the same way, so a field
// never holds something the program would quietly take for 0 (a comma typed as the decimal sign).
namespace MoneyField {
// A validator from 0 upward; with `top` at 0 or above, up to that amount as well.
QDoubleValidator *validator(QObject *parent, double top = -1.0);
// The amount in a field's text; 0 when the text is no number.
double value(const QString &text);
// Two decimals, no grouping ("1250.00").
QString text(double amount);
// Amounts compared to the cent, as the office counts them; sums of doubles carry binary noise.
int compare(double a, double b);
}

#endif // MONEYFIELD_H
