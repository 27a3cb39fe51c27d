#ifndef MONEYCOMMAND_H
#define MONEYCOMMAND_H

#include <QByteArray>
#include <QCoreApplication>
#include <QException>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <functional>

// What the money rules share: one transaction around everything a rule writes, statements that stop
// the rule at the first refusal, and amounts kept to the cent. A rule takes plain values and hands
// back what happened, with the message the window shows; it never shows anything itself.
class MoneyCommand
{
    Q_DECLARE_TR_FUNCTIONS(MoneyCommand)

public:
    enum class Outcome {
        Done,
        // A rule of the books said no; nothing was written.
        Refused,
        // The transaction could not begin (another is open, or the engine said no).
        NotStarted,
        // A write failed inside the transaction, which was rolled back.
        Failed,
        // Everything was written but the commit failed, and was rolled back.
        NotCommitted
    };

    struct Result
    {
        Outcome outcome = Outcome::Done;
        QString message;
        // The key of the row the rule created, where it creates one.
        int key = -1;

        bool ok() const { return outcome == Outcome::Done; }
    };

    // The message of each way a transaction can go wrong.
    struct Messages
    {
        QString notStarted;
        QString failed;
        QString notCommitted;
    };

    // Stops a rule. With a message of its own it is shown as it stands (a refusal, or a failed step
    // that has its own wording); without, the rule's message for a failed write is.
    class Stop : public QException
    {
    public:
        explicit Stop(const QString &reason, const QString &message = QString(), bool refusal = false);
        const char *what() const noexcept override;
        void raise() const override { throw *this; }
        Stop *clone() const override { return new Stop(*this); }

        QString message() const { return m_message; }
        bool isRefusal() const { return m_refusal; }

    private:
        QByteArray m_reason;
        QString m_message;
        bool m_refusal = false;
    };

    static Result done(int key = -1);
    static Result refused(const QString &message);

    // Runs `work` inside one transaction and commits it when `work` returns; any exception from
    // `work` rolls everything back. `work` returns the key of what it created, or -1.
    static Result run(const Messages &messages, const std::function<int()> &work);

    // A statement on the program's connection with its values bound in order; a refusal throws Stop
    // (with `message`, when given). The query is positioned before its first row.
    static QSqlQuery exec(const QString &sql, const QVariantList &values = {}, const QString &message = QString());
    // The same for a statement whose rows are read once, in order, and not kept: a read of thousands.
    static QSqlQuery read(const QString &sql, const QVariantList &values = {});
    // The same for a statement a rule runs once for each of many rows, prepared by the caller once
    // (prepare) and run here again with each row's values.
    static QSqlQuery prepare(const QString &sql);
    static void exec(QSqlQuery &prepared, const QVariantList &values);
    // The first value of the first row; `fallback` when there is no row.
    static QVariant value(const QString &sql, const QVariantList &values = {}, const QVariant &fallback = QVariant());
    // The next key of a generator.
    static int nextKey(const char *generator);

    // The largest amount the books take, either way: its cents fit a double exactly and a 64-bit count
    // with room to spare, and the database keeps it to the cent.
    static constexpr double MaxAmount = 99999999999.99;
    static bool withinBooks(double amount);

    // An amount as the office counts it: whole cents. An amount beyond the books comes back as it was
    // (never wrapped round), and no statement here writes it.
    static double cents(double amount);
    static bool sameCents(double a, double b);

private:
    static QSqlQuery statement(const QString &sql, const QVariantList &values, const QString &message, bool forwardOnly);
};

#endif // MONEYCOMMAND_H
