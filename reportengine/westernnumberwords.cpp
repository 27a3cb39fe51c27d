#include "westernnumberwords.h"

#include <QHash>
#include <QMap>
#include <QStringList>

#include <cmath>

namespace {

// The converters below keep whole parts in 32-bit or 64-bit integers; a value outside that range
// (or NaN, or an infinity) gets an empty text rather than an overflowed conversion.
const double Int32Limit = 2147483648.0;       // 2^31
const double Int64Limit = 9223372036854775808.0; // 2^63

bool fitsInt32(double v)
{
    return v > -Int32Limit - 1.0 && v < Int32Limit;
}

bool fitsInt64(double v)
{
    return v > -Int64Limit && v < Int64Limit;
}

qint64 powerOfTen(int k)
{
    qint64 p = 1;
    for (int i = 0; i < k; ++i)
        p *= 10;
    return p;
}

// The scale exponent used for a value of 100 or more: the last of 2, 3, 6, 9 that still leaves a
// non-zero quotient, scanning upward and stopping at the first one that does not.
int scaleOf(double v)
{
    static const int keys[] = {2, 3, 6, 9};
    int scale = 2;
    for (int k : keys) {
        if (std::floor(v / std::pow(10.0, k)) >= 1.0)
            scale = k;
        else
            break;
    }
    return scale;
}

struct WordMaps
{
    QHash<int, QString> numbers;
    QHash<int, QString> powers;
};

WordMaps makeMaps(const QStringList &upToTwenty, const QStringList &tens, const QStringList &powers)
{
    WordMaps m;
    for (int i = 0; i < upToTwenty.size(); ++i)
        m.numbers.insert(i, upToTwenty.at(i));
    for (int i = 0; i < tens.size(); ++i)
        m.numbers.insert(30 + 10 * i, tens.at(i));
    static const int exponents[] = {2, 3, 6, 9};
    for (int i = 0; i < 4; ++i)
        m.powers.insert(exponents[i], powers.at(i));
    return m;
}

const WordMaps &englishMaps()
{
    static const WordMaps maps = makeMaps(
        {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten",
         "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen", "eighteen",
         "nineteen", "twenty"},
        {"thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"},
        {"hundred", "thousand", "million", "billion"});
    return maps;
}

const WordMaps &germanMaps()
{
    static const WordMaps maps = makeMaps(
        {QStringLiteral("null"), QStringLiteral("ein"), QStringLiteral("zwei"), QStringLiteral("drei"),
         QStringLiteral("vier"), QStringLiteral("fünf"), QStringLiteral("sechs"), QStringLiteral("sieben"),
         QStringLiteral("acht"), QStringLiteral("neun"), QStringLiteral("zehn"), QStringLiteral("elf"),
         QStringLiteral("zwölf"), QStringLiteral("dreizehn"), QStringLiteral("vierzehn"),
         QStringLiteral("fünfzehn"), QStringLiteral("sechzehn"), QStringLiteral("siebzehn"),
         QStringLiteral("achtzehn"), QStringLiteral("neunzehn"), QStringLiteral("zwanzig")},
        {QStringLiteral("dreissig"), QStringLiteral("vierzig"), QStringLiteral("fünfzig"),
         QStringLiteral("sechszig"), QStringLiteral("siebzig"), QStringLiteral("achtzig"),
         QStringLiteral("neunzig")},
        {QStringLiteral("hundert"), QStringLiteral("tausend"), QStringLiteral("millionen"),
         QStringLiteral("milliarden")});
    return maps;
}

const WordMaps &italianMaps()
{
    static const WordMaps maps = [] {
        WordMaps m = makeMaps(
            {"zero", "uno", "due", "tre", "quattro", "cinque", "sei", "sette", "otto", "nove", "dieci",
             "undici", "dodici", "tredici", "quattordici", "quindici", "sedici", "diciasette",
             "diciotto", "diciannove", "venti"},
            {"trenta", "quaranta", "cinquanta", "sessanta", "settanta", "ottanta", "novanta"},
            {"cento", "mila ", " milioni ", " miliardi "});
        m.numbers.insert(1000, QStringLiteral("mille"));
        return m;
    }();
    return maps;
}

QString mapWord(const QHash<int, QString> &map, double key)
{
    // Only whole keys of the map have words; anything else (negative, fractional) has none.
    if (!(key >= 0.0) || key > 100000.0 || key != std::floor(key))
        return QString();
    return map.value(int(key));
}

} // namespace

QString numberToWordsEnglish(double v)
{
    if (!(v >= 0.0) || !fitsInt32(v))
        return QString();
    const WordMaps &m = englishMaps();
    if (v < 21)
        return mapWord(m.numbers, std::floor(v));
    const qint32 whole = qint32(std::trunc(v));
    if (v < 100) {
        const QString tensWord = mapWord(m.numbers, 10 * std::floor(v / 10));
        const qint32 u = whole % 10;
        if (u == 0)
            return tensWord;
        return tensWord + QLatin1Char('-') + numberToWordsEnglish(u);
    }
    const int k = scaleOf(v);
    const double q = std::floor(v / std::pow(10.0, k));
    const qint32 rem = qint32(whole % powerOfTen(k));
    QString text = numberToWordsEnglish(q) + QLatin1Char(' ') + m.powers.value(k);
    if (rem > 0)
        text += QLatin1Char(' ') + numberToWordsEnglish(rem);
    return text;
}

QString numberToWordsGerman(double v, bool inner)
{
    if (std::isnan(v) || !fitsInt64(v))
        return QString();
    const WordMaps &m = germanMaps();
    const qint64 whole = qint64(std::trunc(v));
    if (whole == 1 && !inner)
        return QStringLiteral("eins");
    if (v < 21)
        return whole < 0 ? QString() : mapWord(m.numbers, double(whole));
    if (v < 100) {
        const QString tensWord = mapWord(m.numbers, 10 * std::floor(v / 10));
        const qint64 u = whole % 10;
        if (u == 0)
            return tensWord;
        return numberToWordsGerman(double(u), true) + QStringLiteral("und") + tensWord;
    }
    const int k = scaleOf(v);
    const double q = std::floor(v / std::pow(10.0, k));
    const qint64 rem = whole % powerOfTen(k);
    QString scale = m.powers.value(k);
    if (k == 6 && v < 2000000)
        scale = QStringLiteral("emillion");
    else if (k == 9 && v < 2000000000)
        scale = QStringLiteral("emilliarde");
    QString text = numberToWordsGerman(q, true) + scale;
    if (rem > 0)
        text += numberToWordsGerman(double(rem), true);
    return text;
}

QString numberToWordsItalian(double v)
{
    if (std::isnan(v) || !fitsInt64(v))
        return QString();
    const WordMaps &m = italianMaps();
    if (v < 21)
        return mapWord(m.numbers, v);
    const qint64 whole = qint64(std::trunc(v));
    if (v < 100) {
        QString tensWord = mapWord(m.numbers, 10 * std::floor(v / 10));
        const qint64 u = whole % 10;
        if (u == 0)
            return tensWord;
        if (u == 1 || u == 8)
            tensWord.chop(1);
        return tensWord + numberToWordsItalian(double(u));
    }
    const int k = scaleOf(v);
    const double q = std::floor(v / std::pow(10.0, k));
    const qint64 rem = whole % powerOfTen(k);
    const QString prefix = q == 1.0 ? QString() : numberToWordsItalian(q);
    QString scale = m.powers.value(k);
    if (k == 3 && v < 2000)
        scale = QStringLiteral("mille");
    else if (k == 6 && v < 2000000)
        scale = QStringLiteral("un milione ");
    else if (k == 9 && v < 2000000000)
        scale = QStringLiteral("un miliardo ");
    QString text = prefix + scale;
    if (rem > 0)
        text += numberToWordsItalian(double(rem));
    return text;
}

QString numberToWordsFrench(int n, int variant)
{
    // Built for each call, for the requested variant only.
    QMap<int, QString> words;
    const QStringList low = {QStringLiteral("zéro"), "un", "deux", "trois", "quatre", "cinq", "six",
                             "sept", "huit", "neuf", "dix", "onze", "douze", "treize", "quatorze",
                             "quinze", "seize", "dix-sept", "dix-huit", "dix-neuf"};
    for (int i = 0; i < low.size(); ++i)
        words.insert(i, low.at(i));
    words.insert(20, "vingt");
    words.insert(30, "trente");
    words.insert(40, "quarante");
    words.insert(50, "cinquante");
    words.insert(60, "soixante");
    switch (variant) {
    case 1:
        words.insert(70, "septante");
        words.insert(80, "quatre-vingt");
        words.insert(90, "nonante");
        break;
    case 2:
        words.insert(70, "septante");
        words.insert(80, "huitante");
        words.insert(90, "nonante");
        break;
    default:
        words.insert(70, "soixante-dix");
        words.insert(80, "quatre-vingt");
        words.insert(90, "quatre-vingt-dix");
        break;
    }
    const QMap<int, QString> powers = {{3, "mille"}, {6, "million"}, {9, "milliard"}};

    if (n == 1)
        return QStringLiteral("et-un");
    if (n <= 19)
        return words.value(n);
    if (n <= 99) {
        const int u = n % 10;
        if (variant == 0) {
            if (n >= 70 && n <= 79)
                return words.value(60) + "-" + numberToWordsFrench(u + 10, variant);
            if (n == 80)
                return words.value(80) + "s";
            if (n >= 90)
                return words.value(80) + "-" + numberToWordsFrench(u + 10, variant);
        } else if (variant == 1 && n == 80) {
            return words.value(80) + "s";
        }
        const QString tensWord = words.value(10 * (n / 10));
        if (u == 0)
            return tensWord;
        return tensWord + "-" + numberToWordsFrench(u, variant);
    }
    if (n <= 999) {
        const int h = n / 100;
        const int rem = n % 100;
        if (h == 1)
            return "cent-" + numberToWordsFrench(rem, variant);
        if (rem == 0)
            return words.value(h) + "-cents";
        return words.value(h) + "-cent-" + numberToWordsFrench(rem, variant);
    }
    const int k = n >= 1000000000 ? 9 : (n >= 1000000 ? 6 : 3);
    const int p = int(powerOfTen(k));
    const int q = n / p;
    const int rem = n % p;
    QString text;
    // Below two of the scale; 2 x 10^9 does not fit in 32 bits, so the quotient is compared instead.
    if (q < 2)
        text = (k == 3 ? QString() : QStringLiteral("un-")) + powers.value(k) + "-";
    else
        text = numberToWordsFrench(q, variant) + "-" + powers.value(k) + (k == 3 ? "" : "s") + "-";
    if (rem != 0)
        text += numberToWordsFrench(rem, variant);
    return text;
}

namespace {

QString frenchAmount(double amount, int wholeVariant, bool roundCents, const QString &unit)
{
    if (!fitsInt32(amount) || std::isnan(amount))
        return QString();
    const int w = int(std::trunc(amount));
    const double fraction = (amount - w) * 100;
    const int c = int(std::trunc(roundCents ? fraction + 0.5 : fraction));
    QString text = numberToWordsFrench(w, wholeVariant) + unit;
    if (c >= 1)
        text += numberToWordsFrench(c, 1) + QStringLiteral(" Centime(s)");
    return text;
}

} // namespace

QString euroToWordsBelgian(double amount)
{
    return frenchAmount(amount, 1, true, QStringLiteral(" Euros "));
}

QString euroToWordsFrench(double amount)
{
    return frenchAmount(amount, 0, false, QStringLiteral(" Euros "));
}

QString francToWordsSwiss(double amount)
{
    return frenchAmount(amount, 2, false, QStringLiteral(" Francs "));
}

namespace {

const QStringList &spanishUnits()
{
    static const QStringList words = {
        "cero ", "uno ", "dos ", "tres ", "cuatro ", "cinco ", "seis ", "siete ", "ocho ", "nueve ",
        "diez ", "once ", "doce ", "trece ", "catorce ", "quince ", "diez y seis ", "diez y siete ",
        "diez y ocho ", "diez y nueve "};
    return words;
}

QString spanishWhole(int w)
{
    static const QStringList plural = {QStringLiteral("billónes "), "millardos ", "millones ", "mil ", "", ""};
    static const QStringList singular = {QStringLiteral("billón "), "millardo ", QStringLiteral("millón "), "mil ", "", ""};
    const QString digits = QString::number(w).rightJustified(15, QLatin1Char('0'));
    QString text;
    for (int g = 0; g < 5; ++g) {
        const QString group = digits.mid(3 * g, 3);
        if (group == QLatin1String("000"))
            continue;
        const int groupValue = group.toInt();
        text += hundredsToWordsSpanish(g, group, groupValue);
        text += groupValue == 1 ? singular.at(g) : plural.at(g);
    }
    return text;
}

} // namespace

QString hundredsToWordsSpanish(int group, const QString &digits, int value)
{
    static const QStringList tens = {"", "", "veinte ", "treinta ", "cuarenta ", "cincuenta ",
                                     "sesenta ", "setenta ", "ochenta ", "noventa "};
    if (value == 0 || digits.size() != 3)
        return QString();
    const QStringList &units = spanishUnits();
    const int h = digits.at(0).digitValue();
    const int t = digits.at(1).digitValue();
    const int u = digits.at(2).digitValue();
    if (h < 0 || t < 0 || u < 0)
        return QString();
    if (group == 3 && value == 1)
        return QString();

    QString text;
    if (h == 1) {
        if (value == 100)
            return QStringLiteral("cien ");
        text += QStringLiteral("ciento ");
    } else if (h >= 2) {
        text += units.at(h) + QStringLiteral("cientos ");
    }
    if (t == 1)
        return text + units.at(10 + u);
    if (t >= 2)
        text += tens.at(t) + QStringLiteral("y ");
    if (u == 1 && group <= 3)
        text += QStringLiteral("un ");
    else if (u != 0)
        text += units.at(u);
    return text;
}

QString numberToWordsSpanish(double amount, bool withCents)
{
    // Negative amounts have no reading in this converter; they give the empty text like zero.
    if (!(amount >= 0.0) || !fitsInt32(amount))
        return QString();
    const int w = int(std::trunc(amount));
    QString text = spanishWhole(w);
    if (withCents) {
        const int c = int(std::trunc((amount - w) * 100));
        if (c >= 1)
            text += QStringLiteral("con ") + spanishWhole(c);
    }
    return text;
}
