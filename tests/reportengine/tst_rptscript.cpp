#include "testdatabase.h"

#include "reportengine/numbertowords.h"
#include "reportengine/rptengine.h"
#include "reportengine/rptscriptengine.h"

#include <memory>

namespace {

class Host : public QObject
{
    Q_OBJECT
public:
    QMap<QString, QString> values;
public slots:
    void onSetValue(int, QString name, QVariant &value, int)
    {
        if (values.contains(name))
            value = values.value(name);
    }
};

void collect(const QString &field, const QStringList &texts)
{
    for (int r = 0; r < texts.size(); ++r)
        collectedValues.append({field, QVariant(texts.at(r)), r, 0});
}

} // namespace

class TestRptScript : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void nativeFunctions_data();
    void nativeFunctions();
    void colourFunction();
    void numberToWordsUsesDispatcher();
    void aggregates_data();
    void aggregates();
    void aggregatesRestrictedToGroup();
    void globalScriptDefinesHooksAndSeesFields();
    void expressionsDoNotSeeGlobalScript();
    void failingScriptGivesErrorValue();

private:
    RptEngine m_owner;
};

void TestRptScript::init()
{
    collectedValues.clear();
    level0RecNos.clear();
    level1RecNos.clear();
    level2RecNos.clear();
}

void TestRptScript::nativeFunctions_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Frac 12.345") << "Frac(12.345)" << "35";
    QTest::newRow("Frac 2.5") << "Frac(2.5)" << "50";
    QTest::newRow("Frac -1.25") << "Frac(-1.25)" << "75";
    QTest::newRow("Frac 3") << "Frac(3)" << "0";
    QTest::newRow("Frac 0.999") << "Frac(0.999)" << "100";
    QTest::newRow("Frac comma text") << "Frac('12,5')" << "0";
    QTest::newRow("Floor text") << "Floor('7.9')" << "7";
    QTest::newRow("Floor negative") << "Floor(-7.1)" << "-8";
    QTest::newRow("Ceil -1.5") << "Ceil(-1.5)" << "-1";
    QTest::newRow("Ceil 1.2") << "Ceil(1.2)" << "2";
    QTest::newRow("Round 2.5") << "Round(2.5)" << "3";
    QTest::newRow("Round -2.5") << "Round(-2.5)" << "-2";
    QTest::newRow("Round -2.6") << "Round(-2.6)" << "-3";
    QTest::newRow("Round -0.4") << "Round(-0.4)" << "0";
    QTest::newRow("Round huge stays in range") << "Round(1e300)" << "2147483647";
    QTest::newRow("Replace") << "Replace('a-b-c', '-', '+')" << "a+b+c";
    QTest::newRow("Replace is case-sensitive") << "Replace('aAa', 'A', 'x')" << "axa";
    QTest::newRow("ToUpper") << "ToUpper('abc')" << "ABC";
    QTest::newRow("ToLower") << "ToLower('ÄBC')" << "äbc";
    QTest::newRow("debug gives empty text") << "'a' + debug(5) + 'b'" << "ab";
}

void TestRptScript::nativeFunctions()
{
    QFETCH(QString, script);
    QFETCH(QString, expected);
    RptScriptEngine engine(&m_owner);
    QCOMPARE(engine.evaluate(script).toString(), expected);
}

void TestRptScript::colourFunction()
{
    RptScriptEngine engine(&m_owner);
    QColor c = engine.evaluate(QStringLiteral("QColor(255, 0, 0, 10)")).toVariant().value<QColor>();
    QCOMPARE(c, QColor(255, 0, 0, 255));
    c = engine.evaluate(QStringLiteral("QColor(256, 0, 0)")).toVariant().value<QColor>();
    QVERIFY(!c.isValid());
    c = engine.evaluate(QStringLiteral("QColor(0, -1, 0)")).toVariant().value<QColor>();
    QVERIFY(!c.isValid());
}

void TestRptScript::numberToWordsUsesDispatcher()
{
    RptScriptEngine engine(&m_owner);
    QCOMPARE(engine.evaluate(QStringLiteral("NumberToWords('ENG', 21)")).toString(),
             numberToWords(QStringLiteral("ENG"), 21));
    QCOMPARE(engine.evaluate(QStringLiteral("NumberToWords('GER', '1234.5')")).toString(),
             numberToWords(QStringLiteral("GER"), 1234.5));
    QCOMPARE(engine.evaluate(QStringLiteral("NumberToWords('ENG', 'abc')")).toString(),
             numberToWords(QStringLiteral("ENG"), 0));
}


void TestRptScript::aggregates_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");
    const QStringList mixed = {"10", "", "abc", "5"};
    QTest::newRow("sum") << mixed << 0 << "15";
    QTest::newRow("average") << mixed << 1 << "5";
    QTest::newRow("count") << mixed << 2 << "3";
    QTest::newRow("maximum") << mixed << 3 << "10";
    QTest::newRow("minimum") << mixed << 4 << "0";
    QTest::newRow("unknown kind") << mixed << 7 << "0";
    const QStringList negative = {"-3", "-7"};
    QTest::newRow("maximum never below 0") << negative << 3 << "0";
    QTest::newRow("minimum of negatives") << negative << 4 << "-7";
    QTest::newRow("average of nothing") << QStringList{""} << 1 << "0";
    QTest::newRow("empty list") << QStringList() << 2 << "0";
}

void TestRptScript::aggregates()
{
    QFETCH(QStringList, values);
    QFETCH(int, kind);
    QFETCH(QString, expected);
    collect(QStringLiteral("f"), values);
    collect(QStringLiteral("F"), {"100"});
    RptScriptEngine engine(&m_owner);
    QCOMPARE(engine.evaluate(QStringLiteral("SUM(%1, 'f')").arg(kind)).toString(), expected);
}

void TestRptScript::aggregatesRestrictedToGroup()
{
    collect(QStringLiteral("f"), {"1", "2", "4", "8"});
    level0RecNos << 1 << 2;
    level1RecNos << 3;
    RptScriptEngine engine(&m_owner);
    auto sum = [&engine](bool showInGroup, int level) {
        engine.globalObject().setProperty(QStringLiteral("showInGroup"), showInGroup);
        engine.globalObject().setProperty(QStringLiteral("groupLevel"), level);
        return engine.evaluate(QStringLiteral("SUM(0, 'f')")).toString();
    };
    QCOMPARE(sum(true, 0), QStringLiteral("6"));
    QCOMPARE(sum(true, 1), QStringLiteral("8"));
    QCOMPARE(sum(false, 1), QStringLiteral("15"));
    // An empty group list (level 2) or an unknown level means the whole run.
    QCOMPARE(sum(true, 2), QStringLiteral("15"));
    QCOMPARE(sum(true, 5), QStringLiteral("15"));
}


void TestRptScript::globalScriptDefinesHooksAndSeesFields()
{
    Host host;
    host.values.insert(QStringLiteral("limit"), QStringLiteral("3"));
    host.values.insert(QStringLiteral("who"), QStringLiteral("O'Brien [limit]"));
    RptEngine engine;
    connect(&engine, &RptEngine::setValue, &host, &Host::onSetValue);
    QDomDocument doc;
    QVERIFY(doc.setContent(QStringLiteral(
        "<Reports><Report><ReportBand type='MasterData'><F name='price1' value='x'/>"
        "<F name='hidden1'/></ReportBand></Report><Report/>"
        "<Script><![CDATA["
        "function price1BeforeData() { price1.width = 77; }"
        "function price1AfterData(text) { return text + '!' + [limit]; }"
        "hidden1.visible = false;"
        "RptEngine.pageList[1].setVisible(false);"
        "var who = '[who]';"
        "]]></Script></Reports>")));
    engine.loadReport(doc);
    engine.processGlobalScript();

    RptPageObject *page = engine.pageList().first();
    QVERIFY(!page->findFieldObjectByName(QStringLiteral("hidden1"))->isVisible());
    QVERIFY(!engine.pageList().at(1)->isVisible());
    QVERIFY(engine.pageList().at(0)->isVisible());

    QScriptValue global = engine.scriptEngine()->globalObject();
    QScriptValue before = global.property(QStringLiteral("price1BeforeData"));
    QVERIFY(before.isFunction());
    before.call();
    QCOMPARE(page->findFieldObjectByName(QStringLiteral("price1"))->getWidth(), 77);
    QCOMPARE(global.property(QStringLiteral("price1AfterData")).call(QScriptValue(), QScriptValueList() << QScriptValue("abc")).toString(),
             QStringLiteral("abc!3"));
    QVERIFY(!global.property(QStringLiteral("hidden1AfterData")).isValid());
    QCOMPARE(global.property(QStringLiteral("who")).toString(), QStringLiteral("O'Brien [limit]"));

    // The hooks stay for later runs of the same object, which add the rebuilt fields again.
    engine.makeReportObjectStructure();
    engine.processGlobalScript();
    QVERIFY(engine.scriptEngine()->globalObject().property(QStringLiteral("price1BeforeData")).isFunction());
}

void TestRptScript::expressionsDoNotSeeGlobalScript()
{
    RptEngine engine;
    QDomDocument doc;
    QVERIFY(doc.setContent(QStringLiteral(
        "<Reports><Script><![CDATA[function helper() { return 1; }]]></Script></Reports>")));
    engine.loadReport(doc);
    engine.processGlobalScript();
    const QString shown = engine.sectionField(nullptr, QStringLiteral("<helper()>"), false, false, QString());
    QVERIFY2(shown.startsWith(QStringLiteral("ReferenceError")), qPrintable(shown));
}

void TestRptScript::failingScriptGivesErrorValue()
{
    RptScriptEngine engine(&m_owner);
    const QScriptValue result = engine.evaluate(QStringLiteral("1 +"));
    QVERIFY(result.isError());
    QVERIFY(engine.hasUncaughtException());
    RptFieldObject field;
    field.printing = QStringLiteral("this is not script");
    // An error object is true.
    QVERIFY(m_owner.isFieldVisible(&field));
}

VELLORAN_TEST_MAIN(TestRptScript)
#include "tst_rptscript.moc"
