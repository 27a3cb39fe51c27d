// Renders small templates written for these tests to PDF and HTML and reads the files back with
// poppler's tools, so that what is checked is what an office would see on paper.
#include "testdatabase.h"

#include "reportengine/rptcrosstabobject.h"
#include "reportengine/rptengine.h"

#include <QBuffer>
#include <QDomDocument>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// One field element in the style of the office templates: white sides, no frame, solid background.
QString field(const QString &value, int left, int top, int width, int height, const QString &extra = QString())
{
    QDomDocument doc;
    QDomElement e = doc.createElement(QStringLiteral("TContainerField"));
    e.setAttribute(QStringLiteral("type"), QStringLiteral("label"));
    e.setAttribute(QStringLiteral("value"), value);
    e.setAttribute(QStringLiteral("left"), left);
    e.setAttribute(QStringLiteral("top"), top);
    e.setAttribute(QStringLiteral("width"), width);
    e.setAttribute(QStringLiteral("height"), height);
    e.setAttribute(QStringLiteral("fontFamily"), QStringLiteral("Arial"));
    e.setAttribute(QStringLiteral("fontSize"), 10);
    e.setAttribute(QStringLiteral("aligmentH"), QStringLiteral("hLeft"));
    e.setAttribute(QStringLiteral("aligmentV"), QStringLiteral("vCenter"));
    e.setAttribute(QStringLiteral("fontColor"), QStringLiteral("rgba(0,0,0,255)"));
    e.setAttribute(QStringLiteral("backgroundColor"), QStringLiteral("rgba(255,255,255,255)"));
    e.setAttribute(QStringLiteral("borderColor"), QStringLiteral("rgba(0,0,0,255)"));
    for (const char *side : {"borderTop", "borderBottom", "borderLeft", "borderRight"})
        e.setAttribute(QLatin1String(side), QStringLiteral("rgba(255,255,255,255)"));
    e.setAttribute(QStringLiteral("textWrap"), 0);
    // extra: attribute=value pairs separated by '|' override the defaults above.
    for (const QString &pair : extra.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const int eq = pair.indexOf(QLatin1Char('='));
        e.setAttribute(pair.left(eq), pair.mid(eq + 1));
    }
    doc.appendChild(e);
    return doc.toString(-1);
}

QString band(const QString &type, int height, const QString &fields, const QString &extra = QString())
{
    return QStringLiteral("<ReportBand type=\"%1\" name=\"%1Band1\" height=\"%2\" width=\"760\" bandNo=\"1\" %3>%4</ReportBand>")
        .arg(type)
        .arg(height)
        .arg(extra, fields);
}

QString report(const QString &bands)
{
    return QStringLiteral("<Reports lib=\"RptEngine\"><Script><![CDATA[]]></Script>"
                          "<Report pageWidth=\"840\" pageHeight=\"1188\" marginsLeft=\"40\" marginsRight=\"40\" "
                          "marginsTop=\"40\" marginsBottom=\"40\" orientation=\"0\" pageNo=\"1\">%1</Report></Reports>")
        .arg(bands);
}

// Answers the engine's questions from a table of rows, as the report builder does from its query.
class Host : public QObject
{
    Q_OBJECT
public:
    QList<QVariantMap> rows;
    QVariantMap constants;

    void attach(RptEngine *engine)
    {
        connect(engine, &RptEngine::setDSInfo, this, &Host::dsInfo, Qt::DirectConnection);
        connect(engine, &RptEngine::setValue, this, &Host::value, Qt::DirectConnection);
    }

public slots:
    void dsInfo(DataSetInfo &info) { info.recordCount = rows.size(); }
    void value(const int recNo, const QString name, QVariant &result, const int)
    {
        if (constants.contains(name))
            result = constants.value(name);
        else if (recNo >= 0 && recNo < rows.size())
            result = rows.at(recNo).value(name);
    }
};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString &path)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(run(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pdfText(const QString &path, int page = 0)
{
    QStringList arguments{QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    arguments << path << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), arguments);
}

// The top of the first word equal to `word` on a page, in points; -1 when absent.
double wordTop(const QString &path, const QString &word, int page = 1)
{
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"),
                                                           QString::number(page), QStringLiteral("-l"),
                                                           QString::number(page), path, QStringLiteral("-")});
    const QRegularExpression re(QStringLiteral("<word xMin=\"[^\"]+\" yMin=\"([^\"]+)\"[^>]*>%1</word>")
                                    .arg(QRegularExpression::escape(word)));
    const QRegularExpressionMatch m = re.match(html);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

QList<QVariantMap> numberedRows(int count)
{
    QList<QVariantMap> rows;
    for (int i = 0; i < count; ++i)
        rows.append({{QStringLiteral("Name"), QStringLiteral("Tenant%1").arg(i + 1, 3, 10, QLatin1Char('0'))}});
    return rows;
}

} // namespace

class TestRptRender : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void longListBreaksOverPagesWithNumbering();
    void summaryOnlyOnLastPage();
    void secondReportPageStartsANewPage();
    void landscapeReportPagesStayOnThePaper();
    void everyFieldKindDraws_data();
    void everyFieldKindDraws();
    void groupsFollowSortedValuesWithFootersInOrder();
    void listKeepsItsHeadingsWithRowsOrNone_data();
    void listKeepsItsHeadingsWithRowsOrNone();
    void startNewPagePutsEveryLaterGroupOnItsOwnPage();
    void manyInterleavedGroupsKeepTheirRowsCountsAndPages();
    void autoHeightLabelGrowsItsRow();
    void scriptHooksRunAroundEveryDrawnField();
    void htmlIsUtf8AndEscapesPlainLabels();
    void htmlRichLabelKeepsOnlyFormattingTags();
    void richTextValueHoldingBracketsEnds_data();
    void richTextValueHoldingBracketsEnds();
    void crossTabGrid();
    void crossTabWithoutRowHeightStillDraws();
    void chartFieldDraws();
    void chartDataFollowsTheHostUnlessStatic_data();
    void chartDataFollowsTheHostUnlessStatic();
    void previewClosesAndExportLeavesItAlone();

private:
    QString load(RptEngine &engine, const QString &xml);
    QTemporaryDir *m_dir = nullptr;
    Host *m_host = nullptr;
};

void TestRptRender::init()
{
    m_dir = new QTemporaryDir();
    m_host = new Host();
}

void TestRptRender::cleanup()
{
    delete m_host;
    delete m_dir;
}

QString TestRptRender::load(RptEngine &engine, const QString &xml)
{
    QDomDocument doc;
    if (!doc.setContent(xml))
        return QString();
    engine.loadReport(doc);
    m_host->attach(&engine);
    return m_dir->filePath(QStringLiteral("out.pdf"));
}

void TestRptRender::longListBreaksOverPagesWithNumbering()
{
    m_host->rows = numberedRows(300);
    m_host->constants.insert(QStringLiteral("Title"), QStringLiteral("Tenants"));
    const QString xml = report(
        band(QStringLiteral("ReportTitle"), 60, field(QStringLiteral("[Title]"), 0, 0, 760, 50))
        + band(QStringLiteral("PageFooter"), 40, field(QStringLiteral("Page <Page> of <TotalPages>"), 0, 5, 300, 30))
        + band(QStringLiteral("MasterHeader"), 40, field(QStringLiteral("NameHeading"), 0, 5, 300, 30))
        + band(QStringLiteral("MasterData"), 40, field(QStringLiteral("[Name]"), 0, 5, 300, 30),
               QStringLiteral("dataSourceName=\"GoodSource\"")));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);

    const int pages = pdfPages(pdf);
    // 300 rows of 10 mm on A4 with a 10 mm footer: about 25 rows a page.
    QVERIFY2(pages >= 12 && pages <= 14, qPrintable(QString::number(pages)));
    QVERIFY(run(QStringLiteral("pdfinfo"), {pdf}).contains(QLatin1String("595 x 842 pts (A4)")));

    const QString all = pdfText(pdf);
    int last = -1;
    for (int i = 1; i <= 300; ++i) {
        const QString name = QStringLiteral("Tenant%1").arg(i, 3, 10, QLatin1Char('0'));
        const int at = all.indexOf(name);
        QVERIFY2(at > last, qPrintable(name));
        QCOMPARE(all.count(name), 1);
        last = at;
    }
    QCOMPARE(all.count(QLatin1String("Tenants")), 1); // the title on the first page only
    QCOMPARE(all.count(QLatin1String("NameHeading")), pages);
    QVERIFY(pdfText(pdf, 2).contains(QStringLiteral("Page 2 of %1").arg(pages)));
    QVERIFY(pdfText(pdf, pages).contains(QStringLiteral("Page %1 of %1").arg(pages)));
    // The heading opens every page, above that page's first row.
    const QString page2 = pdfText(pdf, 2);
    QVERIFY(page2.indexOf(QLatin1String("NameHeading")) < page2.indexOf(QLatin1String("Tenant")));
}

void TestRptRender::summaryOnlyOnLastPage()
{
    m_host->rows = numberedRows(60);
    const QString xml = report(
        band(QStringLiteral("MasterData"), 40, field(QStringLiteral("[Name]"), 0, 5, 300, 30))
        + band(QStringLiteral("ReportSummary"), 100, field(QStringLiteral("GrandTotalLine"), 0, 5, 300, 30)));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    const int pages = pdfPages(pdf);
    QVERIFY(pages >= 2);
    QCOMPARE(pdfText(pdf).count(QLatin1String("GrandTotalLine")), 1);
    QVERIFY(pdfText(pdf, pages).contains(QLatin1String("GrandTotalLine")));
    // It follows the last row.
    const QString all = pdfText(pdf);
    QVERIFY(all.indexOf(QLatin1String("GrandTotalLine")) > all.indexOf(QLatin1String("Tenant060")));
}

void TestRptRender::secondReportPageStartsANewPage()
{
    m_host->rows = numberedRows(2);
    const QString page = QStringLiteral(
        "<Report pageWidth=\"840\" pageHeight=\"1188\" marginsLeft=\"40\" marginsRight=\"40\" marginsTop=\"40\" "
        "marginsBottom=\"40\">%1</Report>");
    const QString bands = band(QStringLiteral("ReportTitle"), 40, field(QStringLiteral("Title%1"), 0, 0, 300, 30))
        + band(QStringLiteral("PageFooter"), 40, field(QStringLiteral("Page <Page> of <TotalPages>"), 0, 5, 300, 30))
        + band(QStringLiteral("MasterData"), 40, field(QStringLiteral("[Name]"), 0, 5, 300, 30));
    const QString xml = QStringLiteral("<Reports>%1%2</Reports>")
                            .arg(page.arg(bands.arg(QLatin1String("One"))), page.arg(bands.arg(QLatin1String("Two"))));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    QCOMPARE(pdfPages(pdf), 2);
    QCOMPARE(pdfText(pdf, 1).simplified(), QStringLiteral("TitleOne Tenant001 Tenant002 Page 1 of 2"));
    QCOMPARE(pdfText(pdf, 2).simplified(), QStringLiteral("TitleTwo Tenant001 Tenant002 Page 2 of 2"));
}

// A landscape report page is drawn turned onto landscape paper, the second one as much as the first.
void TestRptRender::landscapeReportPagesStayOnThePaper()
{
    m_host->rows = numberedRows(1);
    const QString page = QStringLiteral(
        "<Report pageWidth=\"840\" pageHeight=\"1188\" marginsLeft=\"40\" marginsRight=\"40\" marginsTop=\"40\" "
        "marginsBottom=\"40\" orientation=\"1\">%1</Report>");
    const QString bands = band(QStringLiteral("MasterData"), 40, field(QStringLiteral("Sheet%1"), 100, 5, 300, 30));
    const QString xml = QStringLiteral("<Reports>%1%2</Reports>")
                            .arg(page.arg(bands.arg(QLatin1String("One"))), page.arg(bands.arg(QLatin1String("Two"))));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    QCOMPARE(pdfPages(pdf), 2);
    QVERIFY(run(QStringLiteral("pdfinfo"), {pdf}).contains(QLatin1String("842 x 595 pts")));
    QCOMPARE(pdfText(pdf, 1).simplified(), QStringLiteral("SheetOne"));
    QCOMPARE(pdfText(pdf, 2).simplified(), QStringLiteral("SheetTwo"));
    QCOMPARE(wordTop(pdf, QStringLiteral("SheetOne"), 1), wordTop(pdf, QStringLiteral("SheetTwo"), 2));
}

void TestRptRender::everyFieldKindDraws_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("text");
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QString picture = QString::fromLatin1(png.toBase64());

    for (const char *shape : {"reactangle", "roundedReactangle", "circle", "triangle", "rhombus", "barcode"})
        QTest::newRow(shape) << QStringLiteral("type=%1|backgroundColor=rgba(0,0,255,255)").arg(QLatin1String(shape))
                             << QString();
    QTest::newRow("line with arrows") << QStringLiteral("type=line|lineStartX=10|lineEndX=300|lineStartY=5|lineEndY=40|"
                                                        "arrowStart=1|arrowEnd=1")
                                      << QString();
    QTest::newRow("line of no length") << QStringLiteral("type=line|lineStartX=10|lineEndX=10|arrowEnd=1") << QString();
    QTest::newRow("image stretched") << QStringLiteral("type=image|picture=") + picture << QString();
    QTest::newRow("image in proportion") << QStringLiteral("type=image|ignoreAspectRatio=0|picture=") + picture << QString();
    QTest::newRow("image that does not decode") << QStringLiteral("type=image|picture=AAAA") << QString();
    QTest::newRow("labelImage without host image") << QStringLiteral("type=labelImage") << QString();
    QTest::newRow("framed and filled label")
        << QStringLiteral("borderTop=rgba(0,0,0,255)|borderLeft=rgba(0,0,0,255)|backgroundColor=rgba(200,200,200,255)")
        << QStringLiteral("Kind");
    QTest::newRow("rich label with superscript") << QStringLiteral("renderingMode=1") << QStringLiteral("Kind");
    QTest::newRow("centred rich label") << QStringLiteral("renderingMode=1|aligmentH=hCenter") << QStringLiteral("Kind");
    QTest::newRow("turned 180") << QStringLiteral("rotate=2") << QStringLiteral("Kind");
    QTest::newRow("dashed frame") << QStringLiteral("borderStyle=dashed|borderBottom=rgba(0,0,0,255)") << QStringLiteral("Kind");
}

// Each kind draws without failing and leaves the rest of the row in place.
void TestRptRender::everyFieldKindDraws()
{
    QFETCH(QString, extra);
    QFETCH(QString, text);
    m_host->rows = numberedRows(1);
    const QString xml = report(band(QStringLiteral("MasterData"), 100,
                                    field(QStringLiteral("Kind<sup>2</sup>"), 350, 0, 300, 60, extra)
                                        + field(QStringLiteral("Marker"), 0, 70, 300, 25)));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    QCOMPARE(pdfPages(pdf), 1);
    const QString shown = pdfText(pdf);
    QVERIFY(shown.contains(QLatin1String("Marker")));
    if (!text.isEmpty())
        QVERIFY2(shown.contains(text), qPrintable(shown));
}

void TestRptRender::groupsFollowSortedValuesWithFootersInOrder()
{
    const QStringList buildings = {"Oak", "Elm", "Oak", "Ash", "Elm", "Oak"};
    for (int i = 0; i < buildings.size(); ++i)
        m_host->rows.append({{"Building", buildings.at(i)}, {"Unit", QStringLiteral("U%1").arg(i)}});
    const QString xml = report(
        band(QStringLiteral("DataGroupHeader"), 40, field(QStringLiteral("Head-[Building]"), 0, 5, 300, 30))
        + band(QStringLiteral("MasterData"), 40, field(QStringLiteral("[Unit]"), 20, 5, 300, 30),
               QStringLiteral("groupingField=\"[Building]\""))
        + band(QStringLiteral("DataGroupFooter"), 40, field(QStringLiteral("Foot-[Building]"), 0, 5, 300, 30),
               QStringLiteral("groupLevel=\"0\" showInGroup=\"1\"")));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);

    const QStringList words = pdfText(pdf).simplified().split(QLatin1Char(' '));
    const QStringList expected = {"Head-Ash", "U3", "Foot-Ash",
                                  "Head-Elm", "U1", "U4", "Foot-Elm",
                                  "Head-Oak", "U0", "U2", "U5", "Foot-Oak"};
    QCOMPARE(words, expected);
}

void TestRptRender::listKeepsItsHeadingsWithRowsOrNone_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("grouping");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("grouped, no rows") << 0 << "groupingField=\"[Building]\"" << "Total"
                                      << QStringList{"Heading", "Footing", "Total"};
    QTest::newRow("grouped") << 2 << "groupingField=\"[Building]\"" << "Rows <LineCount>"
                             << QStringList{"Heading", "U0", "U1", "Footing", "Rows", "2"};
    QTest::newRow("plain") << 3 << "" << "Rows <LineCount>"
                           << QStringList{"Heading", "U0", "U1", "U2", "Footing", "Rows", "3"};
}

// The header and footer of a list frame its rows, and stand alone when there are none; the rows are
// counted whether or not the run keeps their values.
void TestRptRender::listKeepsItsHeadingsWithRowsOrNone()
{
    QFETCH(int, rows);
    QFETCH(QString, grouping);
    QFETCH(QString, summary);
    QFETCH(QStringList, words);
    for (int i = 0; i < rows; ++i)
        m_host->rows.append({{"Building", "Oak"}, {"Unit", QStringLiteral("U%1").arg(i)}});
    const QString xml = report(band(QStringLiteral("MasterHeader"), 40, field(QStringLiteral("Heading"), 0, 5, 300, 30))
                               + band(QStringLiteral("MasterData"), 40, field(QStringLiteral("[Unit]"), 20, 5, 300, 30), grouping)
                               + band(QStringLiteral("MasterFooter"), 40, field(QStringLiteral("Footing"), 0, 5, 300, 30))
                               + band(QStringLiteral("ReportSummary"), 40, field(summary, 0, 5, 300, 30)));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    QCOMPARE(pdfText(pdf).simplified().split(QLatin1Char(' ')), words);
}

void TestRptRender::startNewPagePutsEveryLaterGroupOnItsOwnPage()
{
    const QStringList buildings = {"B", "A", "C", "A"};
    for (int i = 0; i < buildings.size(); ++i)
        m_host->rows.append({{"Building", buildings.at(i)}, {"Unit", QStringLiteral("U%1").arg(i)}});
    const QString xml = report(
        band(QStringLiteral("PageHeader"), 40, field(QStringLiteral("Sheet"), 0, 5, 300, 30))
        + band(QStringLiteral("DataGroupHeader"), 40, field(QStringLiteral("Head-[Building]"), 0, 5, 300, 30))
        + band(QStringLiteral("MasterData"), 40, field(QStringLiteral("[Unit]"), 20, 5, 300, 30),
               QStringLiteral("groupingField=\"[Building]\" startNewPage=\"1\"")));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    QCOMPARE(pdfPages(pdf), 3);
    QCOMPARE(pdfText(pdf, 1).simplified(), QStringLiteral("Sheet Head-A U1 U3"));
    QCOMPARE(pdfText(pdf, 2).simplified(), QStringLiteral("Sheet Head-B U0"));
    QCOMPARE(pdfText(pdf, 3).simplified(), QStringLiteral("Sheet Head-C U2"));
}

// Sixty groups whose records lie scattered over the data set: every group gets its header, its own
// records in record order, and a footer counting them, and the pages break where the bands no longer
// fit, as laid out here band by band.
void TestRptRender::manyInterleavedGroupsKeepTheirRowsCountsAndPages()
{
    const int groups = 60;
    const int records = 300;
    QMap<QString, QStringList> units;
    for (int r = 0; r < records; ++r) {
        const QString key = QStringLiteral("G%1").arg(r * 7 % groups, 2, 10, QLatin1Char('0'));
        m_host->rows.append({{"Key", key}, {"Unit", QStringLiteral("U%1").arg(r)}});
        units[key].append(QStringLiteral("U%1").arg(r));
    }
    const QString xml = report(
        band(QStringLiteral("PageHeader"), 40, field(QStringLiteral("Sheet"), 0, 5, 300, 30))
        + band(QStringLiteral("DataGroupHeader"), 40, field(QStringLiteral("Head-[Key]"), 0, 5, 300, 30))
        + band(QStringLiteral("MasterData"), 40, field(QStringLiteral("[Unit]"), 20, 5, 300, 30),
               QStringLiteral("groupingField=\"[Key]\""))
        + band(QStringLiteral("DataGroupFooter"), 40,
               field(QStringLiteral("Foot-[Key] <Count([Unit])>"), 0, 5, 300, 30),
               QStringLiteral("groupLevel=\"0\" showInGroup=\"1\"")));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);

    // Bands of 40 units on a page of 1108 below its 40-unit header.
    QList<QStringList> expected;
    int y = 0;
    auto place = [&](const QStringList &words) {
        if (expected.isEmpty() || y + 40 > 1108) {
            expected.append({QStringLiteral("Sheet")});
            y = 40;
        }
        expected.last() << words;
        y += 40;
    };
    for (auto group = units.cbegin(); group != units.cend(); ++group) {
        place({QStringLiteral("Head-") + group.key()});
        for (const QString &unit : group.value())
            place({unit});
        place({QStringLiteral("Foot-") + group.key(), QString::number(group.value().size())});
    }
    QCOMPARE(pdfPages(pdf), expected.size());
    for (int page = 0; page < expected.size(); ++page)
        QCOMPARE(pdfText(pdf, page + 1).simplified().split(QLatin1Char(' ')), expected.at(page));
}

void TestRptRender::autoHeightLabelGrowsItsRow()
{
    const QString longText = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu "
                                            "nu xi omicron pi rho sigma tau upsilon phi chi psi omega");
    m_host->rows = {{{"Text", longText}, {"Key", "FirstRow"}}, {{"Text", "short"}, {"Key", "SecondRow"}}};
    auto render = [&](bool autoHeight) {
        const QString extra = QStringLiteral("textWrap=1|autoHeight=%1").arg(autoHeight ? 1 : 0);
        const QString xml = report(band(QStringLiteral("MasterData"), 30,
                                        field(QStringLiteral("[Key]"), 0, 0, 150, 30)
                                            + field(QStringLiteral("[Text]"), 200, 0, 150, 30, extra)));
        RptEngine engine;
        const QString pdf = load(engine, xml);
        engine.printPDF(pdf, false);
        return wordTop(pdf, QStringLiteral("SecondRow")) - wordTop(pdf, QStringLiteral("FirstRow"));
    };
    const double fixedGap = render(false);
    const double grownGap = render(true);
    // 30 units are 7.5 mm (about 21 pt); the wrapped text needs several lines.
    QVERIFY2(fixedGap > 19 && fixedGap < 23, qPrintable(QString::number(fixedGap)));
    QVERIFY2(grownGap > 3 * fixedGap, qPrintable(QString::number(grownGap)));
}

// A field's hooks are looked for on every drawing: here the first one defines the second while the
// report runs, and each row's text goes through it.
void TestRptRender::scriptHooksRunAroundEveryDrawnField()
{
    m_host->rows = numberedRows(3);
    QString xml = report(band(QStringLiteral("MasterData"), 40,
                              field(QStringLiteral("[Name]"), 0, 5, 300, 30, QStringLiteral("name=who"))));
    xml.replace(QStringLiteral("<![CDATA[]]>"),
                QStringLiteral("<![CDATA[function whoBeforeData() {"
                               " whoAfterData = function (text) { return text + '!'; }; }]]>"));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    QCOMPARE(pdfText(pdf).simplified(), QStringLiteral("Tenant001! Tenant002! Tenant003!"));
}

void TestRptRender::htmlIsUtf8AndEscapesPlainLabels()
{
    m_host->rows = {{{"Name", QStringLiteral("<b>Tom & Jerry</b> Ünïcödé €")}}};
    const QString xml = report(
        band(QStringLiteral("PageHeader"), 40, field(QStringLiteral("HeaderText"), 0, 5, 300, 30))
        + band(QStringLiteral("MasterData"), 40, field(QStringLiteral("[Name]"), 0, 5, 300, 30))
        + band(QStringLiteral("PageFooter"), 40, field(QStringLiteral("FooterText"), 0, 5, 300, 30)));
    RptEngine engine;
    load(engine, xml);
    const QString path = m_dir->filePath(QStringLiteral("out.html"));
    engine.printHTML(path, false);
    QCOMPARE(engine.printMode, 0);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("<HTML><HEAD><meta charset=\"UTF-8\"></HEAD><BODY>"));
    QVERIFY(bytes.endsWith("</BODY></HTML>"));
    QVERIFY(bytes.contains("&lt;b&gt;Tom &amp; Jerry&lt;/b&gt; \xc3\x9cn\xc3\xaf""c\xc3\xb6""d\xc3\xa9 \xe2\x82\xac</div>"));
    QVERIFY(bytes.contains("position: absolute; left: 0;top: "));
    QVERIFY(!bytes.contains("HeaderText"));
    QVERIFY(!bytes.contains("FooterText"));
}

void TestRptRender::htmlRichLabelKeepsOnlyFormattingTags()
{
    m_host->rows = {{{"Name", QStringLiteral("<script>alert(1)</script> m<sup>2</sup>")}}};
    const QString xml = report(band(QStringLiteral("MasterData"), 40,
                                    field(QStringLiteral("[Name]"), 0, 5, 300, 30, QStringLiteral("renderingMode=1"))));
    RptEngine engine;
    load(engine, xml);
    const QString path = m_dir->filePath(QStringLiteral("rich.html"));
    engine.printHTML(path, false);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("&lt;script&gt;alert(1)&lt;/script&gt; m<sup>2</sup></div>"));
    QVERIFY(!bytes.contains("<script>"));
}

void TestRptRender::richTextValueHoldingBracketsEnds_data()
{
    QTest::addColumn<QString>("served");
    QTest::addColumn<QString>("shown");
    QTest::newRow("bracket pair") << QStringLiteral("[Name]") << QStringLiteral("Dear [Name]");
    // The value lands in the document as markup: an unknown tag shows nothing.
    QTest::newRow("angle pair") << QStringLiteral("<x>") << QStringLiteral("Dear");
    QTest::newRow("other variable") << QStringLiteral("see [Other]") << QStringLiteral("Dear see done");
}

void TestRptRender::richTextValueHoldingBracketsEnds()
{
    QFETCH(QString, served);
    QFETCH(QString, shown);
    m_host->rows = {{{"Name", served}, {"Other", "done"}}};
    const QString xml = report(band(QStringLiteral("MasterData"), 60,
                                    field(QStringLiteral("<p>Dear [Name]</p>"), 0, 0, 600, 50,
                                          QStringLiteral("type=textRich"))));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    QCOMPARE(pdfPages(pdf), 1);
    QCOMPARE(pdfText(pdf).simplified(), shown);
}

void TestRptRender::crossTabGrid()
{
    RptFieldObject owner;
    owner.rect = QRect(0, 0, 400, 200);
    RptCrossTabObject grid;
    grid.setOwner(&owner);
    QDomDocument doc;
    QDomElement e = doc.createElement(QStringLiteral("TContainerField"));
    grid.loadParamFromXML(e);
    QCOMPARE(grid.colCount(), 3);
    QCOMPARE(grid.rowHeight(), 20);
    QVERIFY(grid.isTotalByColumnVisible());
    QVERIFY(grid.isTotalByRowVisible());
    QVERIFY(!grid.isHeaderVisible());
    QVERIFY(!grid.isSubTotalVisible());

    grid.setColCount(4);
    QCOMPARE(grid.colCount(), 5);
    grid.setHeaderVisible(true);
    grid.setSubTotalVisible(true);
    grid.setRowCount(3);
    QCOMPARE(grid.visibleRowCount(), 10);
    QCOMPARE(grid.rowCount(), 6);

    // Three data rows with numbers; the totals sum their column and their row.
    grid.setHeaderVisible(false);
    grid.setSubTotalVisible(false);
    grid.setColCount(2);
    grid.setRowCount(3);
    grid.buildMatrix();
    QCOMPARE(grid.cells.size(), 3 * 4);
    QCOMPARE(grid.cells.at(2)->name, QStringLiteral("f20"));
    for (int i = 0; i < grid.cells.size(); ++i)
        grid.cells[i]->value = QString::number(i);
    RptFieldObject *rowTotal = grid.cells.at(5);   // row 1, last column
    RptFieldObject *columnTotal = grid.cells.at(10); // last row, column 1
    QVERIFY(grid.isTotalField(rowTotal));
    QVERIFY(grid.isTotalField(columnTotal));
    QVERIFY(!grid.isTotalField(grid.cells.at(4)));
    grid.total(rowTotal);
    QCOMPARE(rowTotal->value, QStringLiteral("7")); // 3 + 4
    grid.total(columnTotal);
    QCOMPARE(columnTotal->value, QStringLiteral("12")); // 1 + 4 + 7
}

void TestRptRender::crossTabWithoutRowHeightStillDraws()
{
    m_host->rows = numberedRows(1);
    const QString xml = report(band(QStringLiteral("MasterData"), 100,
                                    field(QStringLiteral("[Name]"), 0, 0, 300, 30)
                                        + field(QString(), 0, 40, 400, 10,
                                                QStringLiteral("type=crossTab|rowHeight=0|colCount=2"))));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    QVERIFY(pdfPages(pdf) >= 1);
    QVERIFY(pdfText(pdf).contains(QLatin1String("Tenant001")));
}

void TestRptRender::chartFieldDraws()
{
    m_host->rows = numberedRows(1);
    const QString chart = QStringLiteral(
        "<TContainerField type=\"diagram\" left=\"0\" top=\"0\" width=\"700\" height=\"400\" caption=\"Occupancy\" colorBackground=\"rgba(255,255,255,255)\" "
        "colorTitle=\"rgba(0,0,0,255)\" colorLegend=\"rgba(0,0,0,255)\" "
        "chartType=\"SeriesTypeBar\"><Set caption=\"Rented\" color=\"rgba(0,0,255,255)\"><v val=\"3\"/><v val=\"5\"/></Set>"
        "</TContainerField>");
    // Drawn on every record: the chart stays the field's and draws again.
    m_host->rows = numberedRows(2);
    const QString xml = report(band(QStringLiteral("MasterData"), 420, chart));
    RptEngine engine;
    const QString pdf = load(engine, xml);
    engine.printPDF(pdf, false);
    QCOMPARE(pdfPages(pdf), 1);
    const QString text = pdfText(pdf);
    QCOMPARE(text.count(QLatin1String("Occupancy")), 2);
    QCOMPARE(text.count(QLatin1String("Rented")), 2);
}

// What a setValueDiagram receiver leaves in the list reaches the chart only when it is not static.
void TestRptRender::chartDataFollowsTheHostUnlessStatic_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    const QString lines = QStringLiteral(
        "<F type='diagram' chartType='SeriesTypeLineX' staticChart='%1'>"
        "<S caption='a'><p x='1' y='1'/></S><S caption='b'><p x='2' y='2'/></S><S caption='c'><p x='3' y='3'/></S></F>");
    QTest::newRow("line, not static") << lines.arg(0) << "a:1 b:2 c:3" << "a:10 b:20 c:3";
    QTest::newRow("line, static") << lines.arg(1) << "a:1 b:2 c:3" << "a:1 b:2 c:3";
    QTest::newRow("pie keeps the last entry")
        << QStringLiteral("<F type='diagram' chartType='SeriesTypePie' staticChart='0'>"
                          "<s caption='x' value='4'/><s caption='y' value='6'/></F>")
        << "x:4 y:6" << ":10 :20";
    QTest::newRow("bar")
        << QStringLiteral("<F type='diagram' chartType='SeriesTypeBar' staticChart='0'>"
                          "<B caption='a'><v val='1'/></B><B caption='b'><v val='2'/></B></F>")
        << "a:1 b:2" << "a:10 b:20";
    QTest::newRow("unknown type builds nothing")
        << QStringLiteral("<F type='diagram' chartType='seriestypebar' staticChart='0'><B caption='a'/></F>") << ""
        << "";
}

void TestRptRender::chartDataFollowsTheHostUnlessStatic()
{
    QFETCH(QString, element);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QDomDocument doc;
    QVERIFY(doc.setContent(element));
    RptEngine engine;
    RptFieldObject field;
    field.setProperty(&engine, doc.documentElement());
    QVERIFY(field.chart);

    // Captions with their y values, sorted: re-adding series may reorder the chart's list.
    auto summary = [](const GraphDataList &list) {
        QStringList parts;
        for (const GraphData &data : list)
            for (const GraphValue &value : data.values)
                parts << (data.caption.isEmpty() ? value.caption : data.caption) + QLatin1Char(':')
                             + QString::number(value.y);
        parts.sort();
        return parts.join(QLatin1Char(' '));
    };
    GraphDataList data = field.getDiagramData();
    QCOMPARE(summary(data), before);
    if (data.isEmpty())
        return;

    // The host answers with one entry less for lines (the third series stays) and replaces the rest.
    if (data.size() == 3)
        data.removeLast();
    for (int i = 0; i < data.size(); ++i) {
        for (GraphValue &value : data[i].values) {
            value.y = 10 * (i + 1);
            value.caption.clear();
        }
    }
    if (data.size() == 1) { // a pie: two entries, the second one wins
        GraphData second = data.first();
        second.values = {GraphValue{QString(), 0, 10}, GraphValue{QString(), 0, 20}};
        data = {data.first(), second};
    }
    field.updateDiagram(data);
    QCOMPARE(summary(field.getDiagramData()), after);
}

// The preview runs modally; a timer exports from it and closes it. The export must leave the
// preview's own printer and print mode as they were.
void TestRptRender::previewClosesAndExportLeavesItAlone()
{
    m_host->rows = numberedRows(3);
    const QString xml = report(band(QStringLiteral("MasterData"), 40, field(QStringLiteral("[Name]"), 0, 5, 300, 30)));
    RptEngine engine;
    load(engine, xml);
    const QString exported = m_dir->filePath(QStringLiteral("exported.pdf"));
    bool destroyed = false;
    connect(&engine, &RptEngine::previewDestroyed, this, [&] { destroyed = true; });

    QString formatAfterExport;
    int modeAfterExport = -1;
    QTimer::singleShot(300, this, [&] {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        if (!preview)
            return;
        QAction *pdf = engine.findChild<QAction *>(QStringLiteral("actExpToPdf"));
        QVERIFY(pdf);
        QVERIFY(engine.findChild<QAction *>(QStringLiteral("actExpToHtml")));
        QTimer::singleShot(300, this, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                dialog->setDirectory(QFileInfo(exported).absolutePath());
                if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    edit->setText(QFileInfo(exported).fileName());
                static_cast<QDialog *>(dialog)->accept();
            }
        });
        pdf->trigger();
        formatAfterExport = preview->printer()->outputFileName();
        modeAfterExport = engine.printMode;
        preview->close();
    });
    engine.printExec(true, false, QString());

    QVERIFY(destroyed);
    QCOMPARE(pdfPages(exported), 1);
    QVERIFY(pdfText(exported).contains(QLatin1String("Tenant003")));
    QCOMPARE(formatAfterExport, QString());
    QCOMPARE(modeAfterExport, 0);
}

VELLORAN_TEST_MAIN(TestRptRender)
#include "tst_rptrender.moc"
