// The program's commands against the tests' own account of the billing rules: random clerks' histories
// of an apartment, each carried out by the lease, bill, Collect Rent, Charge Ahead, rent adjustment and
// charge run commands on a copy of the demonstration office, and what the file then holds set beside
// what the clerk was promised.
//
// VELLORAN_BILLING_SEED and VELLORAN_BILLING_HISTORIES run other histories, as in tst_billingrule.

#include "billingcommands.h"
#include "billinghistory.h"
#include "billingoracle.h"
#include "testhub.h"

#include "datahub/today.h"

#include <QtTest>

class TestBillingCommands : public QObject
{
    Q_OBJECT

private slots:
    void randomClerksThroughTheCommands();
};

namespace {
// The file keeps no amount of a forgiven charge: both accounts are read without it.
ClerkOutcome withoutForgivenAmounts(ClerkOutcome outcome)
{
    for (ClerkCharge &charge : outcome.charges) {
        if (charge.forgiven)
            charge.cents = 0;
    }
    return outcome;
}
} // namespace

void TestBillingCommands::randomClerksThroughTheCommands()
{
    // The demonstration leases would be charged through every run of the histories' years: they end first.
    TestHub office({QStringLiteral("delete from agreements"), QStringLiteral("update apartments set agreeid = -1"),
                    QStringLiteral("update recur set completed = 1")});
    QVERIFY(office.opened);
    const int histories = qEnvironmentVariableIntValue("VELLORAN_BILLING_HISTORIES") > 0
                              ? qEnvironmentVariableIntValue("VELLORAN_BILLING_HISTORIES") : 250;
    const quint32 first = quint32(qEnvironmentVariableIntValue("VELLORAN_BILLING_SEED"));
    int failed = 0;
    for (quint32 seed = first; seed < first + quint32(histories) && failed < 3; ++seed) {
        const QList<ClerkAct> acts = randomClerkHistory(seed);
        QStringList found;
        ClerkOutcome program;
        {
            BillingCommands commands;
            for (const ClerkAct &act : acts) {
                if (!commands.apply(act)) {
                    found << commands.failure();
                    break;
                }
            }
            program = commands.outcome();
        }
        const ClerkOutcome oracle = BillingOracle::replay(acts);
        found += outcomeDifferences(withoutForgivenAmounts(program), withoutForgivenAmounts(oracle));
        if (found.isEmpty())
            continue;
        ++failed;
        warnHistory(seed, acts, found);
        if (histories == 1) {
            std::sort(program.charges.begin(), program.charges.end());
            for (const ClerkCharge &c : qAsConst(program.charges))
                qWarning().noquote() << "   program" << c.toString();
        }
    }
    Today::reset();
    QCOMPARE(failed, 0);
}

QTEST_MAIN(TestBillingCommands)
#include "tst_billingcommands.moc"
