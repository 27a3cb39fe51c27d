// The office's cases and random clerks' histories of an apartment carried out through the real windows
// (the lease form, the bill editor, Collect Rent, Adjust Rental Rate and the charge run), and what the
// file then holds set beside the tests' own account of what the clerk was promised.
//
// The random histories run in shards side by side (VELLORAN_BILLING_SHARD=i/n); VELLORAN_BILLING_SEED
// and VELLORAN_BILLING_HISTORIES run others, e.g. one that failed:
//   VELLORAN_BILLING_SEED=1042 VELLORAN_BILLING_HISTORIES=1 QT_QPA_PLATFORM=offscreen build/tests/tst_billingwindows

#include "billinghistory.h"
#include "billingoracle.h"
#include "clerkwindows.h"
#include "testhub.h"

#include "datahub/today.h"

#include <QtTest>

class TestBillingWindows : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Today::reset(); }
    void officeCases_data();
    void officeCases();
    void randomClerksThroughTheWindows();
};

namespace {

// The demonstration leases would be charged through every run of the histories' years: they end first.
const QStringList quietOffice{QStringLiteral("delete from agreements"),
                              QStringLiteral("update apartments set agreeid = -1"),
                              QStringLiteral("update recur set completed = 1")};

// Where the windows leave other charges or questions than the account promised; the file keeps no
// amount of a forgiven charge, so both are read without it.
QStringList windowsAgainstOracle(const QList<ClerkAct> &acts, XDataSource *hub, ClerkOutcome *program)
{
    QStringList found;
    {
        ClerkWindows windows(hub);
        for (const ClerkAct &act : acts) {
            if (!windows.apply(act)) {
                found << windows.failure();
                break;
            }
        }
        *program = windows.outcome();
    }
    ClerkOutcome oracle = BillingOracle::replay(acts);
    for (ClerkOutcome *outcome : {program, &oracle}) {
        for (ClerkCharge &charge : outcome->charges)
            charge.cents = charge.forgiven ? 0 : charge.cents;
    }
    return found + outcomeDifferences(*program, oracle);
}

} // namespace

void TestBillingWindows::officeCases_data()
{
    officeCaseRows();
}

void TestBillingWindows::officeCases()
{
    QFETCH(QList<ClerkAct>, acts);
    QFETCH(int, line);
    QFETCH(QStringList, charges);
    QFETCH(QList<bool>, asked);

    TestHub office(quietOffice);
    QVERIFY(office.opened);
    ClerkOutcome program;
    const QStringList found = windowsAgainstOracle(acts, office.hub, &program);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    QStringList shown = Clerk::chargesOf(program, line);
    // A forgiven charge is read back without its amount.
    for (QString &charge : shown)
        charge.replace(QLatin1String(" 0 forgiven"), QLatin1String(" forgiven"));
    for (QString &charge : charges)
        charge.replace(QRegularExpression(QStringLiteral(" \\d+ forgiven")), QStringLiteral(" forgiven"));
    QCOMPARE(shown, charges);
    QCOMPARE(program.asked, asked);
}

void TestBillingWindows::randomClerksThroughTheWindows()
{
    TestHub office(quietOffice);
    QVERIFY(office.opened);
    const int histories = qEnvironmentVariableIntValue("VELLORAN_BILLING_HISTORIES") > 0
                              ? qEnvironmentVariableIntValue("VELLORAN_BILLING_HISTORIES") : 200;
    const quint32 first = qEnvironmentVariableIsSet("VELLORAN_BILLING_SEED")
                              ? quint32(qEnvironmentVariableIntValue("VELLORAN_BILLING_SEED")) : 1000;
    const QStringList shard = qEnvironmentVariable("VELLORAN_BILLING_SHARD", QStringLiteral("0/1")).split('/');
    const int shards = qMax(1, shard.value(1).toInt());
    // A bill that ends before it starts is refused by its editor: the clerk cannot type that history.
    const auto typeable = [](const QList<ClerkAct> &acts) {
        return std::none_of(acts.begin(), acts.end(), [](const ClerkAct &act) { return act.start > act.end; });
    };
    int failed = 0;
    int tried = 0;
    for (quint32 seed = first; tried < histories && failed < 3; ++seed) {
        const QList<ClerkAct> acts = randomClerkHistory(seed);
        if (!typeable(acts) || tried++ % shards != shard.value(0).toInt())
            continue;
        ClerkOutcome program;
        const QStringList found = windowsAgainstOracle(acts, office.hub, &program);
        if (found.isEmpty())
            continue;
        ++failed;
        warnHistory(seed, acts, found);
    }
    QCOMPARE(failed, 0);
}

QTEST_MAIN(TestBillingWindows)
#include "tst_billingwindows.moc"
