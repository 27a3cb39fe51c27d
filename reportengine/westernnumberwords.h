#ifndef WESTERNNUMBERWORDS_H
#define WESTERNNUMBERWORDS_H

#include <QString>

QString numberToWordsEnglish(double value);
// inner is true inside a compound, where a one reads "ein" rather than "eins".
QString numberToWordsGerman(double value, bool inner);
// variant: 0 France, 1 Belgium, 2 Switzerland.
QString numberToWordsFrench(int value, int variant);
QString euroToWordsBelgian(double amount);
QString euroToWordsFrench(double amount);
QString francToWordsSwiss(double amount);
QString numberToWordsItalian(double value);
QString numberToWordsSpanish(double amount, bool withCents);
// group 0 is the most significant of the five three-digit groups, 4 the units.
QString hundredsToWordsSpanish(int group, const QString &digits, int value);

#endif // WESTERNNUMBERWORDS_H
