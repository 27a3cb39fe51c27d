// Amounts spelled out on receipts must read exactly as they always have, trailing blanks and odd
// forms included, so every expectation here is a whole string compared as it stands.
#include "testdatabase.h"

#include "reportengine/numbertoarabicword.h"
#include "reportengine/numbertowords.h"
#include "reportengine/westernnumberwords.h"

#include <limits>

namespace {
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();
}

class TestNumberWords : public QObject
{
    Q_OBJECT

private slots:
    void dispatcher_data();
    void dispatcher();
    void english_data();
    void english();
    void german_data();
    void german();
    void italian_data();
    void italian();
    void french_data();
    void french();
    void frenchAmounts_data();
    void frenchAmounts();
    void spanish_data();
    void spanish();
    void ukrainian_data();
    void ukrainian();
    void russian_data();
    void russian();
    void turkish_data();
    void turkish();
    void turkishMoney_data();
    void turkishMoney();
    void arabic_data();
    void arabic();
    void outOfRangeGivesDefinedText_data();
    void outOfRangeGivesDefinedText();
};

void TestNumberWords::dispatcher_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("UKR plain number") << "UKR" << 21.05 << QString::fromUtf8("двадцять одна  05 ");
    QTest::newRow("GER") << "GER" << 2500000.0 << QString::fromUtf8("zweimillionenfünfhunderttausend");
    QTest::newRow("ENG") << "ENG" << 121.0 << "one hundred twenty-one";
    QTest::newRow("ESP without cents") << "ESP" << 21.75 << "veinte y uno ";
    QTest::newRow("FR_FR cuts the fraction") << "FR_FR" << 1234.99 << "mille-deux-cent-trente-quatre";
    QTest::newRow("FR_BE") << "FR_BE" << 75.0 << "septante-cinq";
    QTest::newRow("FR_CH") << "FR_CH" << 80.0 << "huitante";
    QTest::newRow("FR_FR negative truncates toward zero") << "FR_FR" << -0.5 << QString::fromUtf8("zéro");
    QTest::newRow("ITA") << "ITA" << 2000.0 << "duemila ";
    QTest::newRow("AR") << "AR" << 2005.0 << QString::fromUtf8("ألفان و خمسة ");
    QTest::newRow("TR") << "TR" << 12.5 << QString::fromUtf8("ONİKİ#TL#ELLİ#KRŞ");
    QTest::newRow("lower case is not a code") << "ukr" << 21.0 << "twenty-one";
    QTest::newRow("empty code") << "" << 7.0 << "seven";
    QTest::newRow("unknown code") << "XX" << 1001.0 << "one thousand one";
}

void TestNumberWords::dispatcher()
{
    QFETCH(QString, code);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(numberToWords(code, value), expected);
}

void TestNumberWords::english_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0.0 << "zero";
    QTest::newRow("1") << 1.0 << "one";
    QTest::newRow("10") << 10.0 << "ten";
    QTest::newRow("11") << 11.0 << "eleven";
    QTest::newRow("19") << 19.0 << "nineteen";
    QTest::newRow("20") << 20.0 << "twenty";
    QTest::newRow("20.7 drops the fraction") << 20.7 << "twenty";
    QTest::newRow("21") << 21.0 << "twenty-one";
    QTest::newRow("99") << 99.0 << "ninety-nine";
    QTest::newRow("100") << 100.0 << "one hundred";
    QTest::newRow("101") << 101.0 << "one hundred one";
    QTest::newRow("121") << 121.0 << "one hundred twenty-one";
    QTest::newRow("999") << 999.0 << "nine hundred ninety-nine";
    QTest::newRow("1000") << 1000.0 << "one thousand";
    QTest::newRow("1001") << 1001.0 << "one thousand one";
    QTest::newRow("2005") << 2005.0 << "two thousand five";
    QTest::newRow("10^6") << 1e6 << "one million";
    QTest::newRow("10^9") << 1e9 << "one billion";
    QTest::newRow("largest 32-bit")
        << 2147483647.0
        << "two billion one hundred forty-seven million four hundred eighty-three thousand six hundred forty-seven";
    QTest::newRow("negative") << -3.0 << "";
}

void TestNumberWords::english()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(numberToWordsEnglish(value), expected);
}

void TestNumberWords::german_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0.0 << "null";
    QTest::newRow("1 at the top") << 1.0 << "eins";
    QTest::newRow("1.5 is still eins") << 1.5 << "eins";
    QTest::newRow("10") << 10.0 << "zehn";
    QTest::newRow("11") << 11.0 << "elf";
    QTest::newRow("19") << 19.0 << "neunzehn";
    QTest::newRow("20") << 20.0 << "zwanzig";
    QTest::newRow("21") << 21.0 << "einundzwanzig";
    QTest::newRow("31") << 31.0 << "einunddreissig";
    QTest::newRow("99") << 99.0 << "neunundneunzig";
    QTest::newRow("100") << 100.0 << "einhundert";
    QTest::newRow("101") << 101.0 << "einhundertein";
    QTest::newRow("999") << 999.0 << "neunhundertneunundneunzig";
    QTest::newRow("1000") << 1000.0 << "eintausend";
    QTest::newRow("1001") << 1001.0 << "eintausendein";
    QTest::newRow("10^6") << 1e6 << "einemillion";
    QTest::newRow("2500000") << 2500000.0 << QString::fromUtf8("zweimillionenfünfhunderttausend");
    QTest::newRow("10^9") << 1e9 << "einemilliarde";
    QTest::newRow("2*10^9") << 2e9 << "zweimilliarden";
    QTest::newRow("negative") << -3.0 << "";
}

void TestNumberWords::german()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(numberToWordsGerman(value, false), expected);
}

void TestNumberWords::italian_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0.0 << "zero";
    QTest::newRow("1") << 1.0 << "uno";
    QTest::newRow("10") << 10.0 << "dieci";
    QTest::newRow("11") << 11.0 << "undici";
    QTest::newRow("17 as stored") << 17.0 << "diciasette";
    QTest::newRow("19") << 19.0 << "diciannove";
    QTest::newRow("20") << 20.0 << "venti";
    QTest::newRow("21 elides") << 21.0 << "ventuno";
    QTest::newRow("28 elides") << 28.0 << "ventotto";
    QTest::newRow("12.5 has no word") << 12.5 << "";
    QTest::newRow("99") << 99.0 << "novantanove";
    QTest::newRow("100") << 100.0 << "cento";
    QTest::newRow("101") << 101.0 << "centouno";
    QTest::newRow("999") << 999.0 << "novecentonovantanove";
    QTest::newRow("1000") << 1000.0 << "mille";
    QTest::newRow("1001") << 1001.0 << "milleuno";
    QTest::newRow("2000 with its blank") << 2000.0 << "duemila ";
    QTest::newRow("10^6") << 1e6 << "un milione ";
    QTest::newRow("3*10^6") << 3e6 << "tre milioni ";
    QTest::newRow("10^9") << 1e9 << "un miliardo ";
}

void TestNumberWords::italian()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(numberToWordsItalian(value), expected);
}

void TestNumberWords::french_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0 << 0 << QString::fromUtf8("zéro");
    QTest::newRow("1 alone") << 1 << 0 << "et-un";
    QTest::newRow("10") << 10 << 0 << "dix";
    QTest::newRow("11") << 11 << 0 << "onze";
    QTest::newRow("19") << 19 << 0 << "dix-neuf";
    QTest::newRow("20") << 20 << 0 << "vingt";
    QTest::newRow("21") << 21 << 0 << "vingt-et-un";
    QTest::newRow("71 fr") << 71 << 0 << "soixante-onze";
    QTest::newRow("75 fr") << 75 << 0 << "soixante-quinze";
    QTest::newRow("75 be") << 75 << 1 << "septante-cinq";
    QTest::newRow("80 fr") << 80 << 0 << "quatre-vingts";
    QTest::newRow("80 be") << 80 << 1 << "quatre-vingts";
    QTest::newRow("80 ch") << 80 << 2 << "huitante";
    QTest::newRow("81 fr") << 81 << 0 << "quatre-vingt-et-un";
    QTest::newRow("90 be") << 90 << 1 << "nonante";
    QTest::newRow("99 fr") << 99 << 0 << "quatre-vingt-dix-neuf";
    QTest::newRow("99 ch") << 99 << 2 << "nonante-neuf";
    QTest::newRow("100") << 100 << 0 << QString::fromUtf8("cent-zéro");
    QTest::newRow("101") << 101 << 0 << "cent-et-un";
    QTest::newRow("200") << 200 << 0 << "deux-cents";
    QTest::newRow("250") << 250 << 0 << "deux-cent-cinquante";
    QTest::newRow("999 fr") << 999 << 0 << "neuf-cent-quatre-vingt-dix-neuf";
    QTest::newRow("1000") << 1000 << 0 << "mille-";
    QTest::newRow("1001") << 1001 << 0 << "mille-et-un";
    QTest::newRow("2001") << 2001 << 0 << "deux-mille-et-un";
    QTest::newRow("10^6") << 1000000 << 0 << "un-million-";
    QTest::newRow("3*10^6") << 3000000 << 0 << "trois-millions-";
    QTest::newRow("10^9") << 1000000000 << 0 << "un-milliard-";
    QTest::newRow("2*10^9") << 2000000000 << 1 << "deux-milliards-";
    QTest::newRow("negative") << -7 << 0 << "";
}

void TestNumberWords::french()
{
    QFETCH(int, value);
    QFETCH(int, variant);
    QFETCH(QString, expected);
    QCOMPARE(numberToWordsFrench(value, variant), expected);
}

void TestNumberWords::frenchAmounts_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");
    QTest::newRow("belgian rounds cents") << 0 << 21.499 << "vingt-et-un Euros cinquante Centime(s)";
    QTest::newRow("french cuts cents") << 1 << 80.25 << "quatre-vingts Euros vingt-cinq Centime(s)";
    QTest::newRow("swiss whole") << 2 << 80.0 << "huitante Francs ";
    QTest::newRow("too large") << 1 << 3e9 << "";
}

void TestNumberWords::frenchAmounts()
{
    QFETCH(int, kind);
    QFETCH(double, amount);
    QFETCH(QString, expected);
    const QString text = kind == 0 ? euroToWordsBelgian(amount)
                                   : (kind == 1 ? euroToWordsFrench(amount) : francToWordsSwiss(amount));
    QCOMPARE(text, expected);
}

void TestNumberWords::spanish_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("withCents");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0.0 << false << "";
    QTest::newRow("1") << 1.0 << false << "uno ";
    QTest::newRow("10") << 10.0 << false << "diez ";
    QTest::newRow("11") << 11.0 << false << "once ";
    QTest::newRow("16") << 16.0 << false << "diez y seis ";
    QTest::newRow("19") << 19.0 << false << "diez y nueve ";
    QTest::newRow("20") << 20.0 << false << "veinte y ";
    QTest::newRow("21") << 21.0 << false << "veinte y uno ";
    QTest::newRow("99") << 99.0 << false << "noventa y nueve ";
    QTest::newRow("100") << 100.0 << false << "cien ";
    QTest::newRow("101") << 101.0 << false << "ciento uno ";
    QTest::newRow("120") << 120.0 << false << "ciento veinte y ";
    QTest::newRow("999") << 999.0 << false << "nueve cientos noventa y nueve ";
    QTest::newRow("1000") << 1000.0 << false << "mil ";
    QTest::newRow("1001") << 1001.0 << false << "mil uno ";
    QTest::newRow("21000") << 21000.0 << false << "veinte y un mil ";
    QTest::newRow("10^6") << 1e6 << false << QString::fromUtf8("un millón ");
    QTest::newRow("2*10^6") << 2e6 << false << "dos millones ";
    QTest::newRow("10^9") << 1e9 << false << "un millardo ";
    QTest::newRow("cents asked") << 21.5 << true << "veinte y uno con cincuenta y ";
    QTest::newRow("cents not asked") << 21.5 << false << "veinte y uno ";
}

void TestNumberWords::spanish()
{
    QFETCH(double, value);
    QFETCH(bool, withCents);
    QFETCH(QString, expected);
    QCOMPARE(numberToWordsSpanish(value, withCents), expected);
}

void TestNumberWords::ukrainian_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("21.05 hryvnias") << 21.05 << 1 << QString::fromUtf8("двадцять одна гривня 05 копійок");
    QTest::newRow("21.05 plain") << 21.05 << 0 << QString::fromUtf8("двадцять одна  05 ");
    QTest::newRow("0 plain") << 0.0 << 0 << QString::fromUtf8("ноль  00 ");
    QTest::newRow("0.05") << 0.05 << 1 << QString::fromUtf8("ноль гривень 05 копійок");
    QTest::newRow("1") << 1.0 << 1 << QString::fromUtf8("одна гривня 00 копійок");
    QTest::newRow("2") << 2.0 << 1 << QString::fromUtf8("дві гривні 00 копійок");
    QTest::newRow("11") << 11.0 << 1 << QString::fromUtf8("одинадцять гривень 00 копійок");
    QTest::newRow("12.999 carries") << 12.999 << 1 << QString::fromUtf8("тринадцять гривень 00 копійок");
    QTest::newRow("101") << 101.0 << 1 << QString::fromUtf8("сто одна гривня 00 копійок");
    QTest::newRow("1000") << 1000.0 << 1 << QString::fromUtf8("одна тисяча гривень 00 копійок");
    QTest::newRow("1234.56")
        << 1234.56 << 1 << QString::fromUtf8("одна тисяча двісти тридцять чотири гривні 56 копійок");
    QTest::newRow("1000012")
        << 1000012.0 << 1 << QString::fromUtf8("один мілльон тисяч дванадцять гривень 00 копійок");
    QTest::newRow("2*10^9")
        << 2e9 << 1 << QString::fromUtf8("два мільярди мільонів тисяч гривень 00 копійок");
    QTest::newRow("10^12 is beyond the tables") << 1e12 << 1 << "";
    QTest::newRow("negative") << -5.0 << 1 << "";
}

void TestNumberWords::ukrainian()
{
    QFETCH(double, amount);
    QFETCH(int, code);
    QFETCH(QString, expected);
    QCOMPARE(moneyToWordsUkrainian(amount, code), expected);
}

void TestNumberWords::russian_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("21.05 roubles") << 21.05 << 2 << QString::fromUtf8("двадцать один рубль, 05 копеек ");
    QTest::newRow("21.05 plain") << 21.05 << 0 << QString::fromUtf8("двадцать один, 05 ");
    QTest::newRow("2 hryvnias") << 2.0 << 1 << QString::fromUtf8("две гривны, 00 копеек ");
    QTest::newRow("2000 roubles") << 2000.0 << 2 << QString::fromUtf8("две тысячи рублей, 00 копеек ");
    QTest::newRow("million of hryvnias is masculine")
        << 1e6 << 1 << QString::fromUtf8("один миллион тысяч гривен, 00 копеек ");
    QTest::newRow("minus") << -5.0 << 2 << QString::fromUtf8("Минус пять рублей, 00 копеек ");
    QTest::newRow("10^12") << 1e12 << 2 << QString::fromUtf8("Очень много денег ...");
    QTest::newRow("large negative") << -1e20 << 2 << QString::fromUtf8("Очень много денег ...");
}

void TestNumberWords::russian()
{
    QFETCH(double, amount);
    QFETCH(int, code);
    QFETCH(QString, expected);
    QCOMPARE(moneyToWordsRussian(amount, code), expected);
}

void TestNumberWords::turkish_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0 << "";
    QTest::newRow("1") << 1 << QString::fromUtf8("BİR");
    QTest::newRow("10") << 10 << QString::fromUtf8("ON");
    QTest::newRow("11") << 11 << QString::fromUtf8("ONBİR");
    QTest::newRow("19") << 19 << QString::fromUtf8("ONDOKUZ");
    QTest::newRow("20") << 20 << QString::fromUtf8("YİRMİ");
    QTest::newRow("21") << 21 << QString::fromUtf8("YİRMİBİR");
    QTest::newRow("99") << 99 << QString::fromUtf8("DOKSANDOKUZ");
    QTest::newRow("100") << 100 << QString::fromUtf8("YÜZ");
    QTest::newRow("101") << 101 << QString::fromUtf8("YÜZBİR");
    QTest::newRow("999") << 999 << QString::fromUtf8("DOKUZYÜZDOKSANDOKUZ");
    QTest::newRow("1000") << 1000 << QString::fromUtf8("BİN");
    QTest::newRow("1001") << 1001 << QString::fromUtf8("BİNBİR");
    QTest::newRow("1500") << 1500 << QString::fromUtf8("BİNBEŞYÜZ");
    QTest::newRow("11000") << 11000 << QString::fromUtf8("ONBİRBİN");
    QTest::newRow("10^6") << 1000000 << QString::fromUtf8("BİRMİLYONBİN");
    QTest::newRow("10^9") << 1000000000 << QString::fromUtf8("BİRMİLYARMİLYONBİN");
    QTest::newRow("negative") << -5 << "";
}

void TestNumberWords::turkish()
{
    QFETCH(int, value);
    QFETCH(QString, expected);
    QCOMPARE(numberToWordsTurkish(value), expected);
}

void TestNumberWords::turkishMoney_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");
    QTest::newRow("12.50") << 12.5 << QString::fromUtf8("ONİKİ#TL#ELLİ#KRŞ");
    QTest::newRow("0.50") << 0.5 << QString::fromUtf8("#TL#ELLİ#KRŞ");
    QTest::newRow("12.999 carries") << 12.999 << QString::fromUtf8("ONÜÇ#TL#");
    QTest::newRow("0") << 0.0 << "#TL#";
    QTest::newRow("beyond 32 bits") << 3e9 << "";
    QTest::newRow("negative") << -1.0 << "";
}

void TestNumberWords::turkishMoney()
{
    QFETCH(double, amount);
    QFETCH(QString, expected);
    QCOMPARE(moneyToWordsTurkish(amount), expected);
}

void TestNumberWords::arabic_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0.0 << QString::fromUtf8("صفر");
    QTest::newRow("1") << 1.0 << QString::fromUtf8("واحد");
    QTest::newRow("2") << 2.0 << QString::fromUtf8("اثنان");
    QTest::newRow("3") << 3.0 << QString::fromUtf8("ثلاثة ");
    QTest::newRow("11") << 11.0 << QString::fromUtf8("أحد عشر ");
    QTest::newRow("25 units before tens") << 25.0 << QString::fromUtf8("خمسة و عشرون ");
    QTest::newRow("100") << 100.0 << QString::fromUtf8("مائة ");
    QTest::newRow("1000") << 1000.0 << QString::fromUtf8("ألف ");
    QTest::newRow("2000 construct dual") << 2000.0 << QString::fromUtf8("ألفا ");
    QTest::newRow("2005 dual") << 2005.0 << QString::fromUtf8("ألفان و خمسة ");
    QTest::newRow("3005 plural") << 3005.0 << QString::fromUtf8("ثلاثة آلاف و خمسة ");
    QTest::newRow("10^6 in exponent form") << 1e6 << QString::fromUtf8("مليون ");
    QTest::newRow("3*10^9 beyond 32 bits") << 3e9 << QString::fromUtf8("ثلاثة مليارات ");
    QTest::newRow("12.5") << 12.5 << QString::fromUtf8("اثنا عشر  و خمسة");
    QTest::newRow("1.5 lone one") << 1.5 << QString::fromUtf8(" و خمسة");
    QTest::newRow("3.1 joiner only") << 3.1 << QString::fromUtf8("ثلاثة  و ");
    QTest::newRow("1234.5678 six digits")
        << 1234.5678 << QString::fromUtf8("ألف و مئتان و أربعة و ثلاثون  و سبعة و خمسون");
    QTest::newRow("1.2345 fraction cut to three digits")
        << 1.2345 << QString::fromUtf8(" و مئتان و أربعة و ثلاثون");
}

void TestNumberWords::arabic()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(moneyToWordsArabic(value), expected);
}

// Every language must give a defined text for values its arithmetic cannot hold.
void TestNumberWords::outOfRangeGivesDefinedText_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    const QStringList codes = {"UKR", "GER", "ENG", "ESP", "FR_FR", "FR_BE", "FR_CH", "ITA", "AR", "TR"};
    for (const QString &code : codes) {
        QTest::addRow("%s NaN", qPrintable(code)) << code << NaN << "";
        QTest::addRow("%s +inf", qPrintable(code)) << code << Inf << "";
        QTest::addRow("%s -inf", qPrintable(code)) << code << -Inf << "";
    }
    QTest::newRow("ENG 2^31") << "ENG" << 2147483648.0 << "";
    QTest::newRow("ENG 10^15") << "ENG" << 1e15 << "";
    QTest::newRow("ESP 10^12") << "ESP" << 1e12 << "";
    QTest::newRow("ESP negative") << "ESP" << -21.0 << "";
    QTest::newRow("FR_FR 3*10^9") << "FR_FR" << 3e9 << "";
    QTest::newRow("FR_FR -3*10^9") << "FR_FR" << -3e9 << "";
    QTest::newRow("GER 10^19") << "GER" << 1e19 << "";
    QTest::newRow("ITA 10^19") << "ITA" << 1e19 << "";
    QTest::newRow("TR 10^11") << "TR" << 1e11 << "";
    QTest::newRow("UKR 10^12") << "UKR" << 1e12 << "";
    QTest::newRow("UKR 10^20") << "UKR" << 1e20 << "";
    QTest::newRow("AR 10^24") << "AR" << 1e24 << "";
}

void TestNumberWords::outOfRangeGivesDefinedText()
{
    QFETCH(QString, code);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(numberToWords(code, value), expected);
}

VELLORAN_TEST_MAIN(TestNumberWords)
#include "tst_numberwords.moc"
