#include "testdatabase.h"

#include "reportengine/rptengine.h"

#include <QRandomGenerator>
#include <QRegularExpression>

// Finding the variables of a field text and keeping the collected values: both run for every
// field of every record, so they are hand-made and indexed; these tests hold them to the rules.
class TestRptVariables : public QObject
{
    Q_OBJECT

private slots:
    void variablesOfText_data();
    void variablesOfText();
    void variablesAgreeWithTheRule();
    void collectedIndexFollowsTheList();
};

void TestRptVariables::variablesOfText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two variables") << "a [x] b [y.z]" << QStringList{"[x]", "[y.z]"};
    QTest::newRow("digit after bracket is text") << "[1] [2a] [b]" << QStringList{"[b]"};
    QTest::newRow("non-Latin digit is a name") << QString::fromUtf8("[\u0663]") << QStringList{QString::fromUtf8("[\u0663]")};
    QTest::newRow("closing bracket as first char") << "[]] []" << QStringList{"[]]"};
    QTest::newRow("nearest closing bracket") << "[[a]]" << QStringList{"[[a]"};
    QTest::newRow("across lines") << "[a\nb]" << QStringList{"[a\nb]"};
    QTest::newRow("unclosed") << "[a [b" << QStringList();
    QTest::newRow("bracket at the end") << "x [" << QStringList();
    QTest::newRow("surrogate pair name") << QString::fromUtf8("[\U0001F600] [b]")
                                         << QStringList{QString::fromUtf8("[\U0001F600]"), "[b]"};
}

void TestRptVariables::variablesOfText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(RptEngine::splitStringOnVariable(text), expected);
}

// The rule as a pattern: "[", one character other than a digit, anything up to the first "]".
void TestRptVariables::variablesAgreeWithTheRule()
{
    const QRegularExpression rule(QStringLiteral("\\[\\D.*?]"), QRegularExpression::DotMatchesEverythingOption);
    const ushort alphabet[] = {'[', ']', '[', ']', 'a', '1', '0', '\n', ' ', '<', 0x0663, 0x00E9};
    QRandomGenerator random(7);
    for (int n = 0; n < 20000; ++n) {
        QString text;
        for (int i = random.bounded(12); i > 0; --i)
            text += QChar(alphabet[random.bounded(int(sizeof alphabet / sizeof *alphabet))]);
        QStringList expected;
        auto it = rule.globalMatch(text);
        while (it.hasNext())
            expected.append(it.next().captured(0));
        QCOMPARE(RptEngine::splitStringOnVariable(text), expected);
    }
}

// The index behind the list must forget what a cleared list forgot, or a new run would skip
// the values of records it saw in the previous one.
void TestRptVariables::collectedIndexFollowsTheList()
{
    RptEngine engine;
    QObject::connect(&engine, &RptEngine::setValue, &engine,
                     [](int recNo, const QString &, QVariant &value, int) { value = recNo * 10; });
    collectedValues.clear();
    engine.setCurrentReportPage(1);
    engine.setCurrentRecord(4);
    engine.sectionField(nullptr, QStringLiteral("[qty]"), false, true, QString());
    engine.sectionField(nullptr, QStringLiteral("[qty]"), false, true, QString());
    QCOMPARE(collectedValues.size(), 1);
    QCOMPARE(engine.sectionField(nullptr, QStringLiteral("<LineCount>"), false, false, QString()),
             QStringLiteral("5"));
    engine.setCurrentReportPage(0);
    QCOMPARE(engine.sectionField(nullptr, QStringLiteral("<LineCount>"), false, false, QString()),
             QStringLiteral("1"));

    collectedValues.clear();
    engine.setCurrentReportPage(1);
    QCOMPARE(engine.sectionField(nullptr, QStringLiteral("<LineCount>"), false, false, QString()),
             QStringLiteral("1"));
    engine.sectionField(nullptr, QStringLiteral("[qty]"), false, true, QString());
    QCOMPARE(collectedValues.size(), 1);
    QCOMPARE(collectedValues.first().value.toString(), QStringLiteral("40"));
    collectedValues.clear();
}

VELLORAN_TEST_MAIN(TestRptVariables)
#include "tst_rptvariables.moc"
