#ifndef NUMBERTOWORDS_H
#define NUMBERTOWORDS_H

#include <QString>

// Spells a value out in words for the language code a template passes to NumberToWords
// ("UKR", "GER", "ENG", "ESP", "FR_FR", "FR_BE", "FR_CH", "ITA", "AR", "TR"; anything else is English).
QString numberToWords(const QString &languageCode, double value);

// Currency code 0 spells a plain number; any other code hryvnias and kopiykas.
QString moneyToWordsUkrainian(double amount, int currencyCode);
// Currency code 2 roubles, 1 hryvnias, 0 a plain number.
QString moneyToWordsRussian(double amount, int currencyCode);

QString numberToWordsTurkish(int value);
QString moneyToWordsTurkish(double amount);

#endif // NUMBERTOWORDS_H
