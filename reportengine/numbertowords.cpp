#include "numbertowords.h"

#include "numbertoarabicword.h"
#include "westernnumberwords.h"

#include <QStringList>

#include <cmath>

QString numberToWords(const QString &languageCode, double value)
{
    if (languageCode == QLatin1String("UKR"))
        return moneyToWordsUkrainian(value, 0);
    if (languageCode == QLatin1String("GER"))
        return numberToWordsGerman(value, false);
    if (languageCode == QLatin1String("ENG"))
        return numberToWordsEnglish(value);
    if (languageCode == QLatin1String("ESP"))
        return numberToWordsSpanish(value, false);

    int variant = -1;
    if (languageCode == QLatin1String("FR_FR"))
        variant = 0;
    else if (languageCode == QLatin1String("FR_BE"))
        variant = 1;
    else if (languageCode == QLatin1String("FR_CH"))
        variant = 2;
    if (variant >= 0) {
        // The French converter takes a 32-bit whole number; anything that does not fit has no words.
        const double whole = std::trunc(value);
        if (!(whole >= -2147483648.0 && whole <= 2147483647.0))
            return QString();
        return numberToWordsFrench(int(whole), variant);
    }

    if (languageCode == QLatin1String("ITA"))
        return numberToWordsItalian(value);
    if (languageCode == QLatin1String("AR"))
        return moneyToWordsArabic(value);
    if (languageCode == QLatin1String("TR"))
        return moneyToWordsTurkish(value);
    return numberToWordsEnglish(value);
}

namespace {

// The word tables of one Cyrillic speller: index 0..9 (teens 10..19), and per group 0..4 the three
// forms for one, for two to four and for the rest.
struct CyrillicWords
{
    QStringList unitsFirst;     // group 1
    QStringList unitsThousands; // group 2
    QStringList unitsHigh;      // groups 3 and 4
    QStringList teens;
    QStringList tens;
    QStringList hundreds;
    QString form[5][3];
    QString zero;
};

int formIndex(int t, int u)
{
    if (t == 1)
        return 2;
    if (u == 1)
        return 0;
    if (u >= 2 && u <= 4)
        return 1;
    return 2;
}

QString spellCyrillic(const CyrillicWords &w, qint64 hundredths)
{
    const int kopecks = int(hundredths % 100);
    qint64 whole = hundredths / 100;

    const int kt = kopecks / 10;
    const int ku = kopecks % 10;
    QString text = QString::number(kt) + QString::number(ku) + QLatin1Char(' ')
                   + w.form[0][formIndex(kt, ku)];

    for (int group = 1; group <= 4; ++group) {
        const int g = int(whole % 1000);
        whole /= 1000;
        if (group == 1 && g == 0 && whole == 0)
            return w.zero + w.form[1][2] + text;
        const int h = g / 100;
        const int t = (g / 10) % 10;
        const int u = g % 10;
        const QStringList &units = group == 1 ? w.unitsFirst : (group == 2 ? w.unitsThousands : w.unitsHigh);
        QString words = w.hundreds.at(h);
        if (t == 1)
            words += w.teens.at(u);
        else
            words += w.tens.at(t) + units.at(u);
        words += w.form[group][formIndex(t, u)];
        text = words + text;
        if (whole == 0)
            break;
    }
    return text;
}

QStringList withTrailingSpace(const QStringList &words)
{
    QStringList out;
    for (const QString &word : words)
        out << (word.isEmpty() ? word : word + QLatin1Char(' '));
    return out;
}

// Hundredths with the third decimal rounded half up, as the stored receipts were printed.
qint64 toHundredths(double magnitude)
{
    return (qint64(std::trunc(magnitude * 1000)) + 5) / 10;
}

} // namespace

QString moneyToWordsUkrainian(double amount, int currencyCode)
{
    // The tables end at the billions, and a negative amount has no reading here: both, like NaN,
    // give the empty text instead of reading past the tables.
    if (!(amount >= 0.0) || amount >= 1e13)
        return QString();
    const qint64 hundredths = toHundredths(amount);
    if (hundredths / 100 >= Q_INT64_C(1000000000000))
        return QString();

    static const CyrillicWords tables = [] {
        CyrillicWords w;
        w.unitsHigh = withTrailingSpace({"", QStringLiteral("один"), QStringLiteral("два"), QStringLiteral("три"),
                                         QStringLiteral("чотири"), QStringLiteral("п'ять"), QStringLiteral("шість"),
                                         QStringLiteral("сім"), QStringLiteral("вісім"), QStringLiteral("дев'ять")});
        w.unitsFirst = withTrailingSpace({"", QStringLiteral("одна"), QStringLiteral("дві"), QStringLiteral("три"),
                                          QStringLiteral("чотири"), QStringLiteral("п'ять"), QStringLiteral("шість"),
                                          QStringLiteral("сім"), QStringLiteral("вісім"), QStringLiteral("дев'ять")});
        w.unitsThousands = w.unitsFirst;
        w.teens = withTrailingSpace({QStringLiteral("десять"), QStringLiteral("одинадцять"), QStringLiteral("дванадцять"),
                                     QStringLiteral("тринадцять"), QStringLiteral("чотирнадцять"),
                                     QStringLiteral("п'ятнадцять"), QStringLiteral("шістнадцять"),
                                     QStringLiteral("сімнадцять"), QStringLiteral("вісімнадцять"),
                                     QStringLiteral("дев'ятнадцять")});
        w.tens = withTrailingSpace({"", "", QStringLiteral("двадцять"), QStringLiteral("тридцять"),
                                    QStringLiteral("сорок"), QStringLiteral("п'ятдесят"), QStringLiteral("шістдесят"),
                                    QStringLiteral("сімдесят"), QStringLiteral("вісімдесят"),
                                    QStringLiteral("дев'яносто")});
        w.hundreds = withTrailingSpace({"", QStringLiteral("сто"), QStringLiteral("двісти"), QStringLiteral("триста"),
                                        QStringLiteral("чотириста"), QStringLiteral("п'ятсот"), QStringLiteral("шістсот"),
                                        QStringLiteral("сімсот"), QStringLiteral("вісімсот"),
                                        QStringLiteral("дев'ятсот")});
        const char *const forms[5][3] = {
            {"копійка", "копійки", "копійок"},
            {"гривня ", "гривні ", "гривень "},
            {"тисяча ", "тисячі ", "тисяч "},
            {"мілльон ", "мильони ", "мільонів "},
            {"мілліард ", "мільярди ", "мільярдів "}};
        for (int g = 0; g < 5; ++g)
            for (int f = 0; f < 3; ++f)
                w.form[g][f] = QString::fromUtf8(forms[g][f]);
        w.zero = QStringLiteral("ноль ");
        return w;
    }();

    QString text;
    if (currencyCode == 0) {
        CyrillicWords plain = tables;
        for (int f = 0; f < 3; ++f) {
            plain.form[0][f].clear();
            plain.form[1][f] = QStringLiteral(", ");
        }
        text = spellCyrillic(plain, hundredths);
    } else {
        text = spellCyrillic(tables, hundredths);
    }
    text.remove(QLatin1Char(','));
    return text;
}

QString moneyToWordsRussian(double amount, int currencyCode)
{
    const QString tooMuch = QStringLiteral("Очень много денег ...");
    if (std::isnan(amount))
        return QString();
    const bool negative = amount < 0;
    const double magnitude = std::fabs(amount);
    // The limit holds for the magnitude too: a larger negative amount would overflow the arithmetic.
    if (magnitude > 999999999999.99)
        return tooMuch;

    static const CyrillicWords tables = [] {
        CyrillicWords w;
        w.unitsHigh = withTrailingSpace({"", QStringLiteral("один"), QStringLiteral("два"), QStringLiteral("три"),
                                         QStringLiteral("четыре"), QStringLiteral("пять"), QStringLiteral("шесть"),
                                         QStringLiteral("семь"), QStringLiteral("восемь"), QStringLiteral("девять")});
        w.unitsFirst = w.unitsHigh;
        w.unitsThousands = withTrailingSpace({"", QStringLiteral("одна"), QStringLiteral("две"), QStringLiteral("три"),
                                              QStringLiteral("четыре"), QStringLiteral("пять"), QStringLiteral("шесть"),
                                              QStringLiteral("семь"), QStringLiteral("восемь"), QStringLiteral("девять")});
        w.teens = withTrailingSpace({QStringLiteral("десять"), QStringLiteral("одиннадцать"), QStringLiteral("двенадцать"),
                                     QStringLiteral("тринадцать"), QStringLiteral("четырнадцать"),
                                     QStringLiteral("пятнадцать"), QStringLiteral("шестнадцать"),
                                     QStringLiteral("семнадцать"), QStringLiteral("восемнадцать"),
                                     QStringLiteral("девятнадцать")});
        w.tens = withTrailingSpace({"", "", QStringLiteral("двадцать"), QStringLiteral("тридцать"),
                                    QStringLiteral("сорок"), QStringLiteral("пятьдесят"), QStringLiteral("шестьдесят"),
                                    QStringLiteral("семьдесят"), QStringLiteral("восемьдесят"),
                                    QStringLiteral("девяносто")});
        w.hundreds = withTrailingSpace({"", QStringLiteral("сто"), QStringLiteral("двести"), QStringLiteral("триста"),
                                        QStringLiteral("четыреста"), QStringLiteral("пятьсот"), QStringLiteral("шестьсот"),
                                        QStringLiteral("семьсот"), QStringLiteral("восемьсот"),
                                        QStringLiteral("девятьсот")});
        const char *const forms[5][3] = {
            {"копейка ", "копейки ", "копеек "},
            {"", "", ""},
            {"тысяча ", "тысячи ", "тысяч "},
            {"миллион ", "милиона ", "миллионов "},
            {"миллиард ", "миллиарда ", "миллиардов "}};
        for (int g = 0; g < 5; ++g)
            for (int f = 0; f < 3; ++f)
                w.form[g][f] = QString::fromUtf8(forms[g][f]);
        w.zero = QStringLiteral("ноль ");
        return w;
    }();

    // Currency words: the three forms, then the words for one and two of the first units table.
    static const char *const currencies[3][5] = {
        {", ", ", ", ", ", "один ", "два "},
        {"гривна, ", "гривны, ", "гривен, ", "одна ", "две "},
        {"рубль, ", "рубля, ", "рублей, ", "один ", "два "}};

    CyrillicWords words = tables;
    const int currency = (currencyCode == 1 || currencyCode == 2) ? currencyCode : 0;
    for (int f = 0; f < 3; ++f)
        words.form[1][f] = QString::fromUtf8(currencies[currency][f]);
    words.unitsFirst[1] = QString::fromUtf8(currencies[currency][3]);
    words.unitsFirst[2] = QString::fromUtf8(currencies[currency][4]);
    if (currency == 0)
        for (int f = 0; f < 3; ++f)
            words.form[0][f].clear();

    QString text = spellCyrillic(words, toHundredths(magnitude));
    if (negative)
        return QStringLiteral("Минус ") + text;
    text.replace(QStringLiteral(" ,"), QStringLiteral(","));
    return text;
}

QString numberToWordsTurkish(int value)
{
    static const QStringList units = {"", QStringLiteral("BİR"), QStringLiteral("İKİ"), QStringLiteral("ÜÇ"),
                                      QStringLiteral("DÖRT"), QStringLiteral("BEŞ"), QStringLiteral("ALTI"),
                                      QStringLiteral("YEDİ"), QStringLiteral("SEKİZ"), QStringLiteral("DOKUZ")};
    static const QStringList tens = {"", QStringLiteral("ON"), QStringLiteral("YİRMİ"), QStringLiteral("OTUZ"),
                                     QStringLiteral("KIRK"), QStringLiteral("ELLİ"), QStringLiteral("ALTMIŞ"),
                                     QStringLiteral("YETMİŞ"), QStringLiteral("SEKSEN"), QStringLiteral("DOKSAN")};
    static const QStringList hundreds = {"", QStringLiteral("YÜZ"), QStringLiteral("İKİYÜZ"), QStringLiteral("ÜÇYÜZ"),
                                         QStringLiteral("DÖRTYÜZ"), QStringLiteral("BEŞYÜZ"), QStringLiteral("ALTIYÜZ"),
                                         QStringLiteral("YEDİYÜZ"), QStringLiteral("SEKİZYÜZ"),
                                         QStringLiteral("DOKUZYÜZ")};
    static const QStringList scales = {QStringLiteral("BİN"), QStringLiteral("MİLYON"), QStringLiteral("MİLYAR"),
                                       QStringLiteral("TRİLYON"), QStringLiteral("KATRİLYON"),
                                       QStringLiteral("KENTİLYON"), QStringLiteral("SEKSTİLYON"),
                                       QStringLiteral("SEPTİLYON"), QStringLiteral("OKTİLYON"),
                                       QStringLiteral("NONİLYON"), QStringLiteral("DESİLYON")};
    // A minus sign is no digit: negative values have no words here.
    if (value <= 0)
        return QString();

    const QString digits = QString::number(value);
    QString text;
    int pos = digits.size() - 1;
    int scale = 0;
    while (pos >= 0) {
        text.prepend(units.at(digits.at(pos--).digitValue()));
        if (pos >= 0)
            text.prepend(tens.at(digits.at(pos--).digitValue()));
        if (pos >= 0)
            text.prepend(hundreds.at(digits.at(pos--).digitValue()));
        if (pos >= 0)
            text.prepend(scales.at(scale++));
    }
    if (text.startsWith(QStringLiteral("BİRBİN")))
        text.remove(0, 3);
    return text;
}

QString moneyToWordsTurkish(double amount)
{
    // Lira beyond the 32-bit range, negative amounts and NaN give the empty text.
    if (!(amount >= 0.0) || amount >= 1e11)
        return QString();
    const qint64 hundredths = qRound64(amount * 100);
    if (hundredths / 100 > 2147483647)
        return QString();
    const int lira = int(hundredths / 100);
    const int kurus = int(hundredths % 100);
    QString text = numberToWordsTurkish(lira) + QStringLiteral("#TL#");
    if (kurus >= 1)
        text += numberToWordsTurkish(kurus) + QStringLiteral("#KRŞ");
    return text;
}
