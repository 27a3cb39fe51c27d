#include "numbertoarabicword.h"

#include <cmath>

QString moneyToWordsArabic(double amount)
{
    NumberToArabicWord converter(amount);
    return converter.toWords();
}

NumberToArabicWord::NumberToArabicWord(double value)
    : value(value)
{
    // The value is read back from its short text, so the fraction is the digits as written
    // (12.5 and 12.05 both give 5) and six significant digits at most take part.
    const QStringList parts = QString::number(value, 'g', 6).split(QLatin1Char('.'), Qt::KeepEmptyParts);
    bool ok = false;
    integerPart = parts.at(0).toULongLong(&ok);
    if (!ok)
        integerPart = 0;
    if (parts.size() > 1) {
        parts.at(1).toInt(&ok);
        // Only three digits after the point have a reading (there are ten hundreds, not more),
        // so a longer fraction keeps its first three.
        fractionPart = ok ? parts.at(1).left(3).toInt() : 0;
    }

    ones << QString() << QStringLiteral("واحد") << QStringLiteral("اثنان") << QStringLiteral("ثلاثة")
         << QStringLiteral("أربعة") << QStringLiteral("خمسة") << QStringLiteral("ستة") << QStringLiteral("سبعة")
         << QStringLiteral("ثمانية") << QStringLiteral("تسعة") << QStringLiteral("عشرة")
         << QStringLiteral("أحد عشر") << QStringLiteral("اثنا عشر") << QStringLiteral("ثلاثة عشر")
         << QStringLiteral("أربعة عشر") << QStringLiteral("خمسة عشر") << QStringLiteral("ستة عشر")
         << QStringLiteral("سبعة عشر") << QStringLiteral("ثمانية عشر") << QStringLiteral("تسعة عشر");
    tens << QStringLiteral("عشرون") << QStringLiteral("ثلاثون") << QStringLiteral("أربعون")
         << QStringLiteral("خمسون") << QStringLiteral("ستون") << QStringLiteral("سبعون")
         << QStringLiteral("ثمانون") << QStringLiteral("تسعون");
    hundreds << QString() << QStringLiteral("مائة") << QStringLiteral("مئتان") << QStringLiteral("ثلاثمائة")
             << QStringLiteral("أربعمائة") << QStringLiteral("خمسمائة") << QStringLiteral("ستمائة")
             << QStringLiteral("سبعمائة") << QStringLiteral("ثمانمائة") << QStringLiteral("تسعمائة");
    duals << QStringLiteral("مئتان") << QStringLiteral("ألفان") << QStringLiteral("مليونان")
          << QStringLiteral("ملياران") << QStringLiteral("تريليونان") << QStringLiteral("كوادريليونان")
          << QStringLiteral("كوينتليونان") << QStringLiteral("سكستيليونان");
    dualsConstruct << QStringLiteral("مئتان") << QStringLiteral("ألفا") << QStringLiteral("مليونا")
                   << QStringLiteral("مليارا") << QStringLiteral("تريليونا") << QStringLiteral("كوادريليونا")
                   << QStringLiteral("كوينتليونا") << QStringLiteral("سكستيليونا");
    singulars << QStringLiteral("مائة") << QStringLiteral("ألف") << QStringLiteral("مليون")
              << QStringLiteral("مليار") << QStringLiteral("تريليون") << QStringLiteral("كوادريليون")
              << QStringLiteral("كوينتليون") << QStringLiteral("سكستيليون");
    singularsAccusative << QString() << QStringLiteral("ألفاً") << QStringLiteral("مليوناً")
                        << QStringLiteral("ملياراً") << QStringLiteral("تريليوناً")
                        << QStringLiteral("كوادريليوناً") << QStringLiteral("كوينتليوناً")
                        << QStringLiteral("سكستيليوناً");
    plurals << QString() << QStringLiteral("آلاف") << QStringLiteral("ملايين") << QStringLiteral("مليارات")
            << QStringLiteral("تريليونات") << QStringLiteral("كوادريليونات") << QStringLiteral("كوينتليونات")
            << QStringLiteral("سكستيليونات");
}

NumberToArabicWord::~NumberToArabicWord() = default;

QString NumberToArabicWord::word(int i)
{
    return ones.value(i);
}

QString NumberToArabicWord::groupToWords(int n, int group, int above)
{
    const QString joiner = QStringLiteral(" و ");
    const int h = n / 100;
    const int r = n % 100;
    QString result;
    if (n >= 100)
        result = hundreds.value(h);
    if (r == 0)
        return result;
    if (r >= 20) {
        if (r % 10 != 0) {
            if (!result.isEmpty())
                result += joiner;
            result += ones.at(r % 10);
        }
        if (!result.isEmpty())
            result += joiner;
        result += tens.at(r / 10 - 2);
        return result;
    }
    if (n == 2 && group > 0) {
        static const quint64 exactDuals[] = {
            Q_UINT64_C(2000), Q_UINT64_C(2000000), Q_UINT64_C(2000000000), Q_UINT64_C(2000000000000),
            Q_UINT64_C(2000000000000000), Q_UINT64_C(2000000000000000000)};
        for (quint64 d : exactDuals)
            if (integerPart == d)
                return dualsConstruct.value(group);
        return duals.value(group);
    }
    if (!result.isEmpty())
        result += joiner;
    if (r == 1 && group > 0)
        return result + singulars.value(group);
    if ((r == 1 || r == 2) && (group == -1 || group == 0) && above == 0 && h == 0)
        return result;
    return result + ones.at(r);
}

QString NumberToArabicWord::toWords()
{
    if (value == 0)
        return QStringLiteral("صفر");
    if (value == 1)
        return QStringLiteral("واحد");
    if (value == 2)
        return QStringLiteral("اثنان");
    // The scale words end at the sextillions: a larger value (or an infinity) has no reading.
    if (std::isinf(value) || value >= 1e24)
        return QString();

    const QString fraction = groupToWords(fractionPart, -1, 0);
    QString result;
    if (value >= 1) {
        int group = 0;
        double v = value;
        do {
            // Group arithmetic in doubles: a whole part beyond 32 bits must not overflow.
            const int n = int(std::fmod(std::trunc(v), 1000.0));
            v = v / 1000;
            const double floorAbove = std::floor(v);
            const int above = floorAbove > 2147483647.0 ? 2147483647 : int(floorAbove);
            const QString words = groupToWords(n, group, above);
            if (!words.isEmpty()) {
                if (group > 0) {
                    if (!result.isEmpty())
                        result = QStringLiteral("و") + QLatin1Char(' ') + result;
                    if (n != 2 && n % 100 != 1) {
                        if (n >= 3 && n <= 10)
                            result = plurals.at(group) + QLatin1Char(' ') + result;
                        else if (result.isEmpty())
                            result = singulars.at(group) + QLatin1Char(' ') + result;
                        else
                            result = singularsAccusative.at(group) + QLatin1Char(' ') + result;
                    }
                }
                result = QStringLiteral("%1 %2").arg(words, result);
            }
            ++group;
        } while (v >= 1);
    }
    if (fractionPart != 0)
        result += QStringLiteral(" و ") + fraction;
    return result;
}
