#include "testdatabase.h"

#include "reportengine/rptengine.h"

#include <memory>

namespace {

// Answers the engine's value requests from a table of texts per variable and record.
class Host : public QObject
{
    Q_OBJECT
public:
    QMap<QString, QStringList> values;
    QStringList asked;
public slots:
    void onSetValue(int recNo, QString name, QVariant &value, int)
    {
        asked.append(name);
        if (values.contains(name))
            value = values.value(name).value(recNo);
    }
};

std::unique_ptr<RptEngine> engineFor(const QString &xml)
{
    auto engine = std::make_unique<RptEngine>();
    QDomDocument doc;
    if (!doc.setContent(xml))
        qFatal("test template does not parse");
    engine->loadReport(doc);
    return engine;
}

} // namespace

class TestRptValues : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fieldTexts_data();
    void fieldTexts();
    void internalVariables();
    void aggregatesOverCollectedValues_data();
    void aggregatesOverCollectedValues();
    void aggregatesWithinGroups();
    void collectingKeepsOneEntryPerRecord();
    void conditions_data();
    void conditions();
    void highlightingRules_data();
    void highlightingRules();
    void numberMasks_data();
    void numberMasks();

private:
    RptEngine m_engine;
    Host m_host;
};

void TestRptValues::init()
{
    collectedValues.clear();
    level0RecNos.clear();
    level1RecNos.clear();
    level2RecNos.clear();
    m_host.asked.clear();
    m_host.values = {
        {QStringLiteral("name"), {QStringLiteral("Smith")}},
        {QStringLiteral("qty"), {QStringLiteral("20")}},
        {QStringLiteral("note"), {QStringLiteral("a < b > c")}},
        {QStringLiteral("person"), {QStringLiteral("O'Brien")}},
        {QStringLiteral("trap"), {QStringLiteral("see [name] and <debug(1)>")}},
        {QStringLiteral("slash"), {QStringLiteral("C:\\new\\")}},
    };
    static bool connected = false;
    if (!connected) {
        connect(&m_engine, &RptEngine::setValue, &m_host, &Host::onSetValue);
        connected = true;
    }
    m_engine.setCurrentRecord(0);
    m_engine.setCurrentReportPage(0);
}

void TestRptValues::fieldTexts_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("variable") << "Hello [name]" << "Hello Smith";
    QTest::newRow("digit is no variable") << "[1] stays" << "[1] stays";
    QTest::newRow("unanswered variable") << "[missing]!" << "!";
    QTest::newRow("nested brackets") << "[[name]]" << "Smith]";
    QTest::newRow("quoted text in script") << "<'[name]' + 'x'>" << "Smithx";
    QTest::newRow("protected comparison") << "<[qty] &gt+; 5 ? 'many' : 'few'>" << "many";
    QTest::newRow("bare comparison is cut") << "<[qty] > 5 ? 'many' : 'few'>" << "20 5 ? 'many' : 'few'>";
    QTest::newRow("if condition protected") << "<if ([qty] < 30) 'x'; else 'y';>" << "x";
    QTest::newRow("aggregate outside script") << "SUM([price])" << "SUM(0,'price')";
    QTest::newRow("formatting tag stops evaluation")
        << "<b>Total <SUM([x])></b>" << "<b>Total <SUM(0,'x')></b>";
    QTest::newRow("note with angle brackets") << "Note: [note]" << "Note: a < b > c";
    QTest::newRow("note inside script text") << "<'[note]'>" << "a < b > c";
    QTest::newRow("apostrophe inside script text") << "[person] <'[person]'.length>" << "O'Brien 7";
    QTest::newRow("brackets and script in a value stay text")
        << "[trap] <1+1>" << "see [name] and <debug(1)> 2";
    QTest::newRow("backslash inside script text") << "<'[slash]'>" << "C:\\new\\";
    QTest::newRow("lower-case internal name is script") << "<date>" << "ReferenceError";
}

void TestRptValues::fieldTexts()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const QString shown = m_engine.sectionField(nullptr, value, false, false, QString());
    if (expected == QLatin1String("ReferenceError"))
        QVERIFY2(shown.startsWith(expected), qPrintable(shown));
    else
        QCOMPARE(shown, expected);
}

void TestRptValues::internalVariables()
{
    m_engine.setPageCounter(2);
    m_engine.setTotalPages(3);
    QCOMPARE(m_engine.sectionField(nullptr, "Page <Page> of <TotalPages>", false, false, QString()),
             QStringLiteral("Page 2 of 3"));

    m_engine.setCurrentRecord(4);
    m_engine.setLineCounter(2);
    QCOMPARE(m_engine.sectionField(nullptr, "<LineNo>", false, false, QString()), QStringLiteral("5"));
    level0RecNos << 4;
    QCOMPARE(m_engine.sectionField(nullptr, "<LineNo>", false, false, QString()), QStringLiteral("2"));

    QCOMPARE(m_engine.sectionField(nullptr, "<LineCount>", false, false, QString()), QStringLiteral("1"));
    collectedValues.append({QStringLiteral("a"), QVariant(QStringLiteral("1")), 6, 0});
    collectedValues.append({QStringLiteral("a"), QVariant(QStringLiteral("1")), 9, 1});
    QCOMPARE(m_engine.sectionField(nullptr, "<LineCount>", false, false, QString()), QStringLiteral("7"));

    const QDate today = QDate::currentDate();
    QCOMPARE(m_engine.sectionField(nullptr, "<Date>", false, false, QStringLiteral("Ddd.MM.yyyy")),
             today.toString(QStringLiteral("dd.MM.yyyy")));
    QString month = today.toString(QStringLiteral("MMMM yyyy"));
    month[0] = month.at(0).toUpper();
    QCOMPARE(m_engine.sectionField(nullptr, "<Date>", false, false, QStringLiteral("DMMMM yyyy")), month);
}

void TestRptValues::aggregatesOverCollectedValues_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sum") << "<SUM([f])>" << "15";
    QTest::newRow("count skips empty") << "<Count([f])>" << "3";
    QTest::newRow("average") << "<avg([f])>" << "5";
    QTest::newRow("minimum") << "<MIN([f])>" << "0";
    QTest::newRow("maximum") << "<MAX([f])>" << "10";
    QTest::newRow("other field") << "<SUM([g])>" << "0";
}

void TestRptValues::aggregatesOverCollectedValues()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    m_host.values.insert(QStringLiteral("f"), {"10", "", "abc", "5"});
    for (int r = 0; r < 4; ++r) {
        m_engine.setCurrentRecord(r);
        m_engine.sectionField(nullptr, QStringLiteral("[f]"), false, true, QString());
    }
    QCOMPARE(m_engine.sectionField(nullptr, value, false, false, QString()), expected);
}

void TestRptValues::aggregatesWithinGroups()
{
    m_host.values.insert(QStringLiteral("f"), {"10", "", "abc", "5"});
    for (int r = 0; r < 4; ++r) {
        m_engine.setCurrentRecord(r);
        m_engine.sectionField(nullptr, QStringLiteral("[f]"), false, true, QString());
    }
    level1RecNos << 0 << 1;
    RptBandObject groupFooter;
    groupFooter.groupLevel = 1;
    groupFooter.showInGroup = true;
    // Inside the group the empty value counts as 0.
    QCOMPARE(m_engine.sectionField(&groupFooter, "<SUM([f])>", false, false, QString()), QStringLiteral("10"));
    QCOMPARE(m_engine.sectionField(&groupFooter, "<COUNT([f])>", false, false, QString()), QStringLiteral("2"));
    groupFooter.showInGroup = false;
    QCOMPARE(m_engine.sectionField(&groupFooter, "<SUM([f])>", false, false, QString()), QStringLiteral("15"));
}

void TestRptValues::collectingKeepsOneEntryPerRecord()
{
    m_engine.sectionField(nullptr, QStringLiteral("[qty] [qty]"), false, true, QString());
    m_engine.sectionField(nullptr, QStringLiteral("[qty]"), false, true, QString());
    QCOMPARE(collectedValues.size(), 1);
    QCOMPARE(collectedValues.first().fieldName, QStringLiteral("qty"));
    QCOMPARE(collectedValues.first().value.toString(), QStringLiteral("20"));
    m_engine.setCurrentRecord(1);
    m_engine.sectionField(nullptr, QStringLiteral("[qty]"), false, true, QString());
    QCOMPARE(collectedValues.size(), 2);
}

void TestRptValues::conditions_data()
{
    QTest::addColumn<QString>("printing");
    QTest::addColumn<bool>("printed");
    QTest::newRow("number compares numerically") << "[qty] > 3" << true;
    QTest::newRow("text that is no number") << "[note] > 0" << false;
    QTest::newRow("text equality") << "[name] == 'Smith'" << true;
    QTest::newRow("name with apostrophe") << "[person] == \"O'Brien\"" << true;
    // A broken condition would be an error object, which counts as true.
    QTest::newRow("name with apostrophe differs") << "[person] == 'Smith'" << false;
    QTest::newRow("backslash does not escape the quote") << "[slash] == 'x'" << false;
    QTest::newRow("angle brackets in a value") << "[note] == 'a < b > c'" << true;
    QTest::newRow("backslash in a value") << "[slash].length == 7" << true;
    QTest::newRow("case-insensitive variable") << "[QTY] == 20" << true;
    QTest::newRow("unanswered is empty text") << "[missing] == ''" << true;
}

void TestRptValues::conditions()
{
    QFETCH(QString, printing);
    QFETCH(bool, printed);
    m_host.values.insert(QStringLiteral("QTY"), {QStringLiteral("20")});
    RptFieldObject field;
    field.printing = printing;
    QCOMPARE(m_engine.isFieldVisible(&field), printed);
}

void TestRptValues::highlightingRules_data()
{
    QTest::addColumn<QString>("qty");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QColor>("fontColor");
    QTest::newRow("rule holds") << "20" << true << QColor(255, 0, 0, 255);
    QTest::newRow("rule fails") << "5" << false << QColor(0, 0, 255, 255);
}

void TestRptValues::highlightingRules()
{
    QFETCH(QString, qty);
    QFETCH(bool, bold);
    QFETCH(QColor, fontColor);
    m_host.values.insert(QStringLiteral("qty"), {qty});
    auto engine = engineFor(QStringLiteral(
        "<Reports><Report><ReportBand type='MasterData'><F fontColor='rgba(0,0,255,255)' "
        "backgroundColor='rgba(9,9,9,255)' fontItalic='1' "
        "highlighting='[qty] &gt; 10;bold=?1:0;fontColor=?rgba(255,0,0,255)'/>"
        "</ReportBand></Report></Reports>"));
    connect(engine.get(), &RptEngine::setValue, &m_host, &Host::onSetValue);
    RptFieldObject *field = engine->pageList().first()->bandList.first()->fieldList.first();
    field->updateHighlightingParam();
    QCOMPARE(field->font.bold(), bold);
    // With rules present, a font flag without a rule is off; the background keeps its colour.
    QVERIFY(!field->font.italic());
    QCOMPARE(field->fontColor, fontColor);
    QCOMPARE(field->backgroundColor, QColor(9, 9, 9, 255));
    QVERIFY(!engine->processHighligthing(field, RptName::underline).isValid());
}

void TestRptValues::numberMasks_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("space grouping") << "1234.5" << "N# ###.##2"
                                    << QStringLiteral("1") + QChar(0x00A0) + QStringLiteral("234.50");
    QTest::newRow("comma grouping") << "1234567.891" << "N#,###.##2" << "1,234,567.89";
    QTest::newRow("french") << "1234.5" << "N# ###,##1" << QLocale(QStringLiteral("fr_FR")).toString(1234.5, 'f', 1);
    QTest::newRow("german") << "1234.5" << "N#.###,##2" << "1.234,50";
    QTest::newRow("no decimals") << "99.6" << "N#.###,##0" << "100";
    QTest::newRow("unknown mask") << "1234.5" << "N0.00" << "1234.5";
    QTest::newRow("not a number") << "abc" << "N#,###.##2" << "abc";
    QTest::newRow("no N") << "1234.5" << "#,###.##2" << "1234.5";
    QTest::newRow("empty format") << "1234.5" << "" << "1234.5";
    QTest::newRow("no digit at the end") << "1234.5" << "N#,###.##" << "1234.5";
}

void TestRptValues::numberMasks()
{
    QFETCH(QString, value);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(RptEngine::getFormattedValue(value, format), expected);
    m_host.values.insert(QStringLiteral("amount"), {value});
    QCOMPARE(m_engine.sectionField(nullptr, QStringLiteral("[amount]"), false, false, format), expected);
}

VELLORAN_TEST_MAIN(TestRptValues)
#include "tst_rptvalues.moc"
