#include "billinghistory.h"
#include "billingoracle.h"
#include "billingreplay.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

// Random clerks against the billing rule: thousands of short histories of one apartment, over every act
// a clerk can take and every frequency of the office, each judged by the tests' own account of what the
// clerk was promised and by what must always hold of the books.
class TestBillingRule : public QObject
{
    Q_OBJECT

private slots:
    void clerksCases_data();
    void clerksCases();
    void turnoverTellsAndRowsShow();
    void randomClerksKeepTheBooks();
};

using namespace Clerk;

namespace {

QStringList breaches(const BillingReplay &program, const QDate &lastDay)
{
    QStringList found;
    const BillingRule::Facts &facts = program.facts();
    const BillingRule rule(facts);
    for (const BillingRule::Charge &again : rule.due(lastDay))
        found << QStringLiteral("a second run posts line %1 due %2").arg(again.line).arg(again.due.toString(Qt::ISODate));
    for (int i = 0; i < facts.charges.size(); ++i) {
        const BillingRule::Charge &c = facts.charges.at(i);
        const BillingRule::Lease *lease = rule.lease(c.lease);
        if (!lease || lease->tenant != c.tenant || c.due < lease->firstPay || c.due > lease->end)
            found << QStringLiteral("line %1 due %2 is no day a lease of tenant %3 held")
                         .arg(c.line).arg(c.due.toString(Qt::ISODate)).arg(c.tenant);
        for (int j = i + 1; j < facts.charges.size(); ++j) {
            const BillingRule::Charge &d = facts.charges.at(j);
            if (c.tenant == d.tenant && c.line == d.line && c.due <= d.lastDay && d.due <= c.lastDay)
                found << QStringLiteral("line %1 charged twice to tenant %2: %3 and %4")
                             .arg(c.line).arg(c.tenant).arg(c.due.toString(Qt::ISODate), d.due.toString(Qt::ISODate));
        }
    }
    for (const BillingRule::Line &line : facts.lines) {
        for (int i = 0; line.deletedOn.isValid() && i < facts.charges.size(); ++i) {
            const BillingRule::Charge &c = facts.charges.at(i);
            if (c.line == line.id && program.postedOn().at(i) > line.deletedOn && c.due > line.deletedOn)
                found << QStringLiteral("line %1 charged %2 after it was deleted")
                             .arg(line.id).arg(c.due.toString(Qt::ISODate));
        }
    }
    // Every day the lease in force has held up to today is paid for in rent, or was told.
    if (const BillingRule::Lease *lease = rule.leaseInForce()) {
        const QList<BillingRule::Told> told = rule.told(lease->id);
        for (QDate day = lease->firstPay; day <= qMin(lease->end, lastDay); day = day.addDays(1)) {
            const bool charged = std::any_of(facts.charges.begin(), facts.charges.end(), [&](const BillingRule::Charge &c) {
                return c.line == BillingRule::RentLine && c.tenant == lease->tenant && c.due <= day && day <= c.lastDay;
            });
            const bool wasTold = std::any_of(told.begin(), told.end(), [&](const BillingRule::Told &t) {
                return t.line == BillingRule::RentLine && t.from <= day && day <= t.lastDay;
            });
            if (!charged && !wasTold) {
                found << QStringLiteral("rent of %1 neither charged nor told").arg(day.toString(Qt::ISODate));
                break;
            }
        }
    }
    return found;
}

} // namespace

// The office's own cases, each a short history with the charges of one line it must end with.
void TestBillingRule::clerksCases_data()
{
    officeCaseRows();
}

void TestBillingRule::clerksCases()
{
    QFETCH(QList<ClerkAct>, acts);
    QFETCH(int, line);
    QFETCH(QStringList, charges);
    QFETCH(QList<bool>, asked);

    const ClerkOutcome program = BillingReplay::replay(acts);
    QCOMPARE(chargesOf(program, line), charges);
    QCOMPARE(program.asked, asked);
    const ClerkOutcome oracle = BillingOracle::replay(acts);
    QCOMPARE(chargesOf(oracle, line), charges);
    QCOMPARE(oracle.asked, asked);
}

// At a turnover the newcomer is told of the leaver's charges on his days; each bill shows its next date.
void TestBillingRule::turnoverTellsAndRowsShow()
{
    BillingReplay replay;
    for (const ClerkAct &act : {lease("2026-12-11", 2, 120000, 4, "2026-12-01", "2027-11-30"),
                                line(ClerkAct::AddLine, "2026-12-11", 2, 4500, "2026-12-01", "2027-11-30"),
                                plain(ClerkAct::DeleteLease, "2027-01-03"),
                                lease("2027-01-03", 1, 125000, 3, "2027-01-01", "2027-12-31")})
        replay.apply(act);
    const BillingRule rule(replay.facts());
    const QList<BillingRule::Charge> overlaps = rule.overlaps(2);
    QCOMPARE(overlaps.size(), 2);
    for (const BillingRule::Charge &charge : overlaps) {
        QCOMPARE(charge.tenant, 2);
        QVERIFY(charge.lastDay >= d("2027-01-01"));
    }
    QList<QPair<int, QDate>> shown;
    for (const BillingRule::Row &row : rule.rows())
        shown << qMakePair(row.line, row.nextDate);
    QCOMPARE(shown, (QList<QPair<int, QDate>>{{0, d("2027-02-01")}, {1, d("2027-02-01")}}));

    // Her lease deleted and made again for next year, Yes to the months between: with no lease in force
    // the rent's bill shows the first of them still to charge.
    for (const ClerkAct &act : {plain(ClerkAct::DeleteLease, "2027-03-10"),
                                lease("2027-03-10", 1, 125000, 3, "2028-01-01", "2028-12-31", true),
                                plain(ClerkAct::DeleteLease, "2027-03-10")})
        replay.apply(act);
    const QList<BillingRule::Row> rows = BillingRule(replay.facts()).rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(qMakePair(rows.first().tenant, rows.first().nextDate), qMakePair(1, d("2027-04-01")));
    QVERIFY(!rows.first().completed);
}

void TestBillingRule::randomClerksKeepTheBooks()
{
    const int histories = qEnvironmentVariableIntValue("VELLORAN_BILLING_HISTORIES") > 0
                              ? qEnvironmentVariableIntValue("VELLORAN_BILLING_HISTORIES") : 20000;
    const quint32 first = quint32(qEnvironmentVariableIntValue("VELLORAN_BILLING_SEED"));
    int failed = 0;
    for (quint32 seed = first; seed < first + quint32(histories) && failed < 5; ++seed) {
        const QList<ClerkAct> acts = randomClerkHistory(seed);
        if (acts.isEmpty())
            continue;
        BillingReplay program;
        for (const ClerkAct &act : acts)
            program.apply(act);
        QStringList found = breaches(program, acts.last().today);
        // The same acts on the same days give the same charges without the runs between them.
        QList<ClerkAct> withoutRuns;
        for (const ClerkAct &act : acts) {
            if (act.kind != ClerkAct::Run)
                withoutRuns.append(act);
        }
        ClerkAct lastRun;
        lastRun.today = acts.last().today;
        withoutRuns.append(lastRun);
        for (const QString &difference : outcomeDifferences(program.outcome(), BillingReplay::replay(withoutRuns)))
            found << QStringLiteral("without the runs: ") + difference;
        found += outcomeDifferences(program.outcome(), BillingOracle::replay(acts));
        if (found.isEmpty())
            continue;
        ++failed;
        warnHistory(seed, acts, found);
        if (histories == 1) {
            for (const auto &[name, outcome] : {std::pair{"program", program.outcome()}, {"oracle", BillingOracle::replay(acts)}}) {
                QList<ClerkCharge> charges = outcome.charges;
                std::sort(charges.begin(), charges.end());
                for (const ClerkCharge &c : charges)
                    qWarning().noquote() << "  " << name << c.toString();
            }
        }
    }
    QCOMPARE(failed, 0);
}

QTEST_GUILESS_MAIN(TestBillingRule)
#include "tst_billingrule.moc"
