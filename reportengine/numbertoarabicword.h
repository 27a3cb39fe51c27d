#ifndef NUMBERTOARABICWORD_H
#define NUMBERTOARABICWORD_H

#include <QObject>
#include <QStringList>

QString moneyToWordsArabic(double amount);

// One conversion of one value: construct it, ask toWords() and let it go.
class NumberToArabicWord : public QObject
{
public:
    explicit NumberToArabicWord(double value);
    ~NumberToArabicWord() override;

    QString toWords();
    // group -1 stands for the digits after the point.
    QString groupToWords(int n, int group, int above);
    QString word(int i);

private:
    double value;
    QStringList ones;
    QStringList tens;
    QStringList hundreds;
    QStringList duals;
    QStringList dualsConstruct;
    QStringList singulars;
    QStringList singularsAccusative;
    QStringList plurals;
    quint64 integerPart = 0;
    int fractionPart = 0;
};

#endif // NUMBERTOARABICWORD_H
