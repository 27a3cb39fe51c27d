#ifndef MONEYFIELD_H
#define MONEYFIELD_H

#include <QLineEdit>
#include <QString>
#include <QVariant>

#include <initializer_list>

// The one input every amount is typed into. A text is read the way the desktop writes numbers (its
// decimal sign and its group sign: "1,175.55" in the United States, "1.175,55" in Germany), or it is
// no amount at all and the editor says so: nothing typed is dropped or quietly taken for another
// amount. A data-widget mapper reads and writes the field through its amount, a number, so that the
// model never has to make sense of the text.
class MoneyField : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QVariant amount READ amount WRITE setAmount USER true)

public:
    explicit MoneyField(QWidget *parent = nullptr);

    // Places after the decimal sign a clerk may type (2, cents, unless set otherwise).
    void setDecimals(int decimals);
    // Whether a leading minus sign is taken; amounts are never below zero unless allowed here.
    void setNegativeAllowed(bool allowed);

    // The typed amount; 0 for an empty field and an invalid variant for a text that is no amount.
    // A shown amount that was not typed over comes back exactly as it was given.
    QVariant amount() const;
    // Shows `amount` (a number, or a number's text as a database model gives it) the way it is typed.
    void setAmount(const QVariant &amount);
    // The typed amount, or 0 for anything else; for fields already found readable.
    double value() const;
    // Nothing typed but blanks or the number signs alone.
    bool isBlank() const;
    // True when the text is an amount or empty. Otherwise shows why not, puts the cursor into the
    // field and gives false; a blank field gives `blankMessage` in the same way, where one is given.
    bool check(const QString &blankMessage = QString());
    // check() on each field in turn, up to the first refusal.
    static bool checkAll(std::initializer_list<MoneyField *> fields);

    // `text` read under the desktop's locale, at most `decimals` places; false when it is no amount.
    static bool read(const QString &text, double *amount, int decimals = 2, bool negativeAllowed = false);
    // Whether `text` would be an amount but for being larger than the books hold.
    static bool tooLarge(const QString &text);
    // `amount` with the desktop's decimal sign and `decimals` places, no group signs ("1250.00").
    static QString format(double amount, int decimals = 2);
    // Amounts compared to the cent, as the office counts them; sums of doubles carry binary noise.
    static int compare(double a, double b);

private:
    int m_decimals = 2;
    bool m_negativeAllowed = false;
    // What setAmount showed and the number behind it, so that an untouched field gives the number back
    // unrounded.
    QString m_shownText;
    double m_shownAmount = 0.0;
};

#endif // MONEYFIELD_H
