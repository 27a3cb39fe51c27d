#include "billinghistory.h"
#include "billingoracle.h"
#include "billingreplay.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

Q_DECLARE_METATYPE(QList<ClerkAct>)

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

QDate d(const char *iso)
{
    return QDate::fromString(QLatin1String(iso), Qt::ISODate);
}

ClerkAct lease(const char *today, int tenant, qint64 cents, int freq, const char *first, const char *end, bool yes = false)
{
    ClerkAct act;
    act.kind = ClerkAct::SaveLease;
    act.today = d(today);
    act.tenant = tenant;
    act.cents = cents;
    act.freq = freq;
    act.firstPay = d(first);
    act.end = d(end);
    act.yes = yes;
    return act;
}

ClerkAct line(ClerkAct::Kind kind, const char *today, int tenantOrLine, qint64 cents, const char *start, const char *end)
{
    ClerkAct act;
    act.kind = kind;
    act.today = d(today);
    (kind == ClerkAct::AddLine ? act.tenant : act.line) = tenantOrLine;
    act.cents = cents;
    act.freq = 3;
    act.start = d(start);
    act.end = d(end);
    return act;
}

ClerkAct plain(ClerkAct::Kind kind, const char *today, int line = 0)
{
    ClerkAct act;
    act.kind = kind;
    act.today = d(today);
    act.line = line;
    return act;
}

ClerkAct forgive(const char *today, int tenant, int line, const char *due)
{
    ClerkAct act = plain(ClerkAct::Forgive, today, line);
    act.tenant = tenant;
    act.due = d(due);
    return act;
}

// The charges of one line as "tenant due cents", forgiven ones marked, in order of due date.
QStringList chargesOf(const ClerkOutcome &outcome, int line)
{
    QList<ClerkCharge> charges = outcome.charges;
    std::sort(charges.begin(), charges.end());
    QStringList shown;
    for (const ClerkCharge &c : charges) {
        if (c.line == line)
            shown << QStringLiteral("%1 %2 %3%4").arg(c.tenant).arg(c.due.toString(Qt::ISODate)).arg(c.cents)
                         .arg(c.forgiven ? QStringLiteral(" forgiven") : QString());
    }
    return shown;
}

QStringList monthly(int tenant, const QDate &first, int months, qint64 cents)
{
    QStringList shown;
    for (int i = 0; i < months; ++i)
        shown << QStringLiteral("%1 %2 %3").arg(tenant).arg(first.addMonths(i).toString(Qt::ISODate)).arg(cents);
    return shown;
}


} // namespace

// The office's own cases, each a short history with the charges of one line it must end with.
// Tenants: 1 Juniper, 2 Kasimir, 3 Leontine.
void TestBillingRule::clerksCases_data()
{
    QTest::addColumn<QList<ClerkAct>>("acts");
    QTest::addColumn<int>("line");
    QTest::addColumn<QStringList>("charges");
    QTest::addColumn<QList<bool>>("asked");

    QTest::newRow("a forgiven yearly charge does not free the next tenant")
        << QList<ClerkAct>{lease("2026-12-11", 1, 1200000, 6, "2026-12-01", "2027-11-30"),
                           forgive("2026-12-11", 1, 0, "2026-12-01"), plain(ClerkAct::DeleteLease, "2026-12-11"),
                           lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"), plain(ClerkAct::Run, "2027-12-01")}
        << 0 << QStringList{"1 2026-12-01 1200000 forgiven"} + monthly(2, d("2026-12-01"), 12, 120000)
        << QList<bool>{false, false};
    QTest::newRow("a forgiven month does not free the next tenant")
        << QList<ClerkAct>{lease("2026-12-11", 1, 100000, 3, "2026-12-01", "2027-11-30"),
                           forgive("2026-12-11", 1, 0, "2026-12-01"), plain(ClerkAct::DeleteLease, "2026-12-11"),
                           lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"), plain(ClerkAct::Run, "2027-01-05")}
        << 0 << QStringList{"1 2026-12-01 100000 forgiven", "2 2026-12-01 120000", "2 2027-01-01 120000"}
        << QList<bool>{false, false};
    QTest::newRow("the newcomer pays the month the leaver's period began on")
        << QList<ClerkAct>{lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                           plain(ClerkAct::DeleteLease, "2027-01-03"),
                           lease("2027-01-03", 1, 125000, 3, "2027-01-01", "2027-12-31")}
        << 0 << QStringList{"2 2026-12-01 120000", "1 2027-01-01 125000", "2 2027-01-01 120000"}
        << QList<bool>{false, false};
    QTest::newRow("a month agreed to is not charged to the next tenant's lease too")
        << QList<ClerkAct>{lease("2026-12-15", 2, 120000, 3, "2027-01-01", "2027-12-31"),
                           plain(ClerkAct::DeleteLease, "2026-12-15"),
                           lease("2026-12-15", 3, 110000, 3, "2027-01-01", "2027-12-31"), plain(ClerkAct::Run, "2027-01-10"),
                           plain(ClerkAct::DeleteLease, "2027-01-10"),
                           lease("2027-01-10", 3, 110000, 3, "2028-01-01", "2028-12-31", true),
                           plain(ClerkAct::DeleteLease, "2027-01-10"),
                           lease("2027-01-10", 2, 120000, 3, "2027-03-01", "2027-12-31", true), plain(ClerkAct::Run, "2027-04-02")}
        << 0 << QStringList{"3 2027-01-01 110000", "3 2027-02-01 110000", "2 2027-03-01 120000", "2 2027-04-01 120000"}
        << QList<bool>{false, false, true, false};
    QTest::newRow("a line deleted goes to no later lease")
        << QList<ClerkAct>{lease("2026-12-10", 1, 115000, 3, "2026-12-01", "2027-11-30"),
                           line(ClerkAct::AddLine, "2026-12-10", 1, 4500, "2026-12-01", "2027-11-30"),
                           plain(ClerkAct::DeleteLease, "2026-12-10"),
                           lease("2026-12-10", 2, 120000, 3, "2027-01-01", "2027-12-31"),
                           plain(ClerkAct::DeleteLine, "2026-12-10", 1), plain(ClerkAct::DeleteLease, "2026-12-12"),
                           lease("2026-12-12", 2, 120000, 3, "2027-01-01", "2027-12-31"), plain(ClerkAct::Run, "2027-03-01")}
        << 1 << QStringList{"1 2026-12-01 4500"} << QList<bool>{false, false, false};
    QTest::newRow("a line ended on the newcomer's first day goes to no later lease")
        << QList<ClerkAct>{lease("2026-12-10", 1, 115000, 3, "2026-12-01", "2027-11-30"),
                           line(ClerkAct::AddLine, "2026-12-10", 1, 4500, "2026-12-01", "2027-11-30"),
                           plain(ClerkAct::DeleteLease, "2026-12-10"),
                           lease("2026-12-10", 2, 120000, 3, "2027-01-01", "2027-12-31"),
                           line(ClerkAct::EditLine, "2026-12-10", 1, 4500, "2026-12-01", "2027-01-01"),
                           plain(ClerkAct::DeleteLease, "2026-12-12"),
                           lease("2026-12-12", 3, 110000, 3, "2027-01-01", "2027-12-31"), plain(ClerkAct::Run, "2027-03-01")}
        << 1 << QStringList{"1 2026-12-01 4500"} << QList<bool>{false, false, false};
    QTest::newRow("days agreed to stay agreed whatever start the row is given")
        << QList<ClerkAct>{lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                           line(ClerkAct::AddLine, "2026-12-11", 2, 3000, "2026-12-01", "2027-05-31"),
                           plain(ClerkAct::DeleteLease, "2026-12-11"),
                           lease("2026-12-11", 2, 120000, 3, "2027-12-01", "2028-11-30", true),
                           line(ClerkAct::EditLine, "2026-12-12", 1, 3000, "2027-02-01", "2027-05-31"),
                           plain(ClerkAct::Run, "2027-06-01")}
        << 1 << monthly(2, d("2026-12-01"), 6, 3000) << QList<bool>{false, true};
    QTest::newRow("a start moved earlier charges the earlier months")
        << QList<ClerkAct>{lease("2027-02-10", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                           line(ClerkAct::AddLine, "2027-02-10", 2, 3000, "2027-02-01", "2027-11-30"),
                           line(ClerkAct::EditLine, "2027-02-15", 1, 3000, "2026-12-01", "2027-11-30")}
        << 1 << monthly(2, d("2026-12-01"), 3, 3000) << QList<bool>{false};
    QTest::newRow("an end moved later resumes a bill that had reached its end")
        << QList<ClerkAct>{lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                           line(ClerkAct::AddLine, "2026-12-11", 2, 3000, "2026-12-01", "2027-02-01"),
                           plain(ClerkAct::Run, "2027-03-10"),
                           line(ClerkAct::EditLine, "2027-03-10", 1, 3000, "2026-12-01", "2027-05-01"),
                           plain(ClerkAct::Run, "2027-05-10")}
        << 1 << monthly(2, d("2026-12-01"), 5, 3000) << QList<bool>{false};
    QTest::newRow("a deleted line with an end of its own is not asked about")
        << QList<ClerkAct>{lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                           line(ClerkAct::AddLine, "2026-12-11", 2, 4500, "2026-12-01", "2027-03-31"),
                           plain(ClerkAct::DeleteLine, "2026-12-11", 1), plain(ClerkAct::DeleteLease, "2026-12-11"),
                           lease("2026-12-11", 2, 120000, 3, "2027-12-01", "2028-11-30", true), plain(ClerkAct::Run, "2027-06-01")}
        << 1 << QStringList{"2 2026-12-01 4500"} << QList<bool>{false, true};
    QTest::newRow("less than a period is not asked about")
        << QList<ClerkAct>{lease("2026-12-11", 2, 300000, 4, "2026-12-01", "2027-11-30"),
                           plain(ClerkAct::DeleteLease, "2026-12-11"),
                           lease("2026-12-11", 2, 300000, 4, "2027-04-15", "2028-04-14", true), plain(ClerkAct::Run, "2027-04-20")}
        << 0 << QStringList{"2 2026-12-01 300000", "2 2027-04-15 300000"} << QList<bool>{false, false};
    const QList<ClerkAct> fromTheFifteenth{lease("2026-12-01", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                                           line(ClerkAct::AddLine, "2026-12-01", 2, 4500, "2026-12-01", "2027-11-30"),
                                           plain(ClerkAct::DeleteLease, "2026-12-10"),
                                           lease("2026-12-10", 1, 125000, 3, "2026-12-15", "2027-12-14"),
                                           plain(ClerkAct::Run, "2027-01-15")};
    QTest::newRow("a newcomer's rent counts from his own first payment date")
        << fromTheFifteenth << 0 << QStringList{"2 2026-12-01 120000"} + monthly(1, d("2026-12-15"), 2, 125000)
        << QList<bool>{false, false};
    QTest::newRow("a newcomer takes the leaver's parking over from his own first payment date")
        << fromTheFifteenth << 1 << QStringList{"2 2026-12-01 4500"} + monthly(1, d("2026-12-15"), 2, 4500)
        << QList<bool>{false, false};
    QTest::newRow("a lease begun on the 31st charges twelve rents")
        << QList<ClerkAct>{lease("2027-01-31", 1, 100000, 3, "2027-01-31", "2028-01-30"), plain(ClerkAct::Run, "2028-03-01")}
        << 0 << monthly(1, d("2027-01-31"), 12, 100000) << QList<bool>{false};
    QTest::newRow("a rent going on from the 30th keeps its schedule through monthly runs")
        << QList<ClerkAct>{lease("2027-11-30", 1, 100000, 3, "2027-11-30", "2028-11-29"),
                           plain(ClerkAct::DeleteLease, "2028-01-10"),
                           lease("2028-01-10", 1, 110000, 3, "2028-01-28", "2029-01-27"), plain(ClerkAct::Run, "2028-02-01"),
                           plain(ClerkAct::Run, "2028-03-01"), plain(ClerkAct::Run, "2028-04-15")}
        << 0 << monthly(1, d("2027-11-30"), 2, 100000) + monthly(1, d("2028-01-30"), 3, 110000)
        << QList<bool>{false, false};
    QTest::newRow("half-yearly rent twice a year")
        << QList<ClerkAct>{lease("2026-12-11", 2, 600000, 2, "2026-12-01", "2028-11-30"), plain(ClerkAct::Run, "2028-12-01")}
        << 0 << QStringList{"2 2026-12-01 600000", "2 2027-06-01 600000", "2 2027-12-01 600000", "2 2028-06-01 600000"}
        << QList<bool>{false};
    QTest::newRow("a line ended stops the days agreed to on it")
        << QList<ClerkAct>{lease("2026-12-11", 2, 120000, 3, "2026-12-01", "2027-11-30"),
                           line(ClerkAct::AddLine, "2026-12-11", 2, 4500, "2026-12-01", "2027-11-30"),
                           plain(ClerkAct::DeleteLease, "2026-12-11"),
                           lease("2026-12-11", 2, 120000, 3, "2027-07-01", "2028-06-30", true),
                           line(ClerkAct::EditLine, "2027-03-10", 1, 4500, "2026-12-01", "2027-03-15"),
                           plain(ClerkAct::Run, "2027-08-01")}
        << 1 << monthly(2, d("2026-12-01"), 4, 4500) << QList<bool>{false, true};
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
        qWarning().noquote() << "seed" << seed << "(VELLORAN_BILLING_SEED=" << seed << "VELLORAN_BILLING_HISTORIES=1)";
        for (const ClerkAct &act : acts)
            qWarning().noquote() << "  " << act.toString();
        for (const QString &breach : found)
            qWarning().noquote() << "  !" << breach;
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
