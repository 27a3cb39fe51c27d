#include "testdatabase.h"

#include "reportengine/rptengine.h"

#include <QTemporaryDir>
#include <memory>

namespace {

std::unique_ptr<RptEngine> engineFor(const QString &xml)
{
    auto engine = std::make_unique<RptEngine>();
    QDomDocument doc;
    if (!doc.setContent(xml))
        qFatal("test template does not parse: %s", qPrintable(xml));
    engine->loadReport(doc);
    return engine;
}

// One page with one band holding one field built from the given attributes.
RptFieldObject *fieldOf(RptEngine *engine)
{
    return engine->pageList().value(0)->bandList.value(0)->fieldList.value(0);
}

QString oneField(const QString &attributes)
{
    return QStringLiteral("<Reports><Report><ReportBand type='MasterData'><TContainerField %1/>"
                          "</ReportBand></Report></Reports>")
        .arg(attributes);
}

// Records what the engine announces and answers with a count per data set.
class DsInfoReceiver : public QObject
{
    Q_OBJECT
public:
    QList<DataSetInfo> seen;
public slots:
    void onDsInfo(DataSetInfo &info)
    {
        seen.append(info);
        info.recordCount = 10 * info.dataSetNo;
    }
};

} // namespace

class TestRptLoad : public QObject
{
    Q_OBJECT

private slots:
    void loadedPageTakesTemplateDefaults();
    void bandDefaultsAndTypes_data();
    void bandDefaultsAndTypes();
    void fieldDefaults();
    void fieldTypeOrder_data();
    void fieldTypeOrder();
    void numberRules_data();
    void numberRules();
    void colourTexts_data();
    void colourTexts();
    void printingConditions_data();
    void printingConditions();
    void commentInBandBecomesEmptyLabel();
    void globalScriptTakenOnlyFromCdata();
    void bandLookups();
    void fieldGeometry();
    void findFieldObjectByNameTakesEarliest();
    void htmlStyleOfLabel();
    void htmlStyleBoldAndEmptyKinds_data();
    void htmlStyleBoldAndEmptyKinds();
    void htmlFragmentOfImage();
    void scriptColourFallsBackToLoadedColour();
    void recordCountsLastMatchWins();
    void dataSetsAnnouncedToReceiver();
    void brokenTemplatesNeverCrash_data();
    void brokenTemplatesNeverCrash();
    void badFileKeepsLoadedTemplate();
};

void TestRptLoad::loadedPageTakesTemplateDefaults()
{
    // The tag of the document element is not checked.
    auto engine = engineFor(QStringLiteral("<Anything><Report/><Other/></Anything>"));
    QCOMPARE(engine->pageList().size(), 1);
    RptPageObject *page = engine->pageList().first();
    QCOMPARE(page->pageWidth, 0);
    QCOMPARE(page->pageHeight, 0);
    QCOMPARE(page->marginsLeft, 0);
    QCOMPARE(page->marginsBottom, 0);
    QCOMPARE(page->borderWidth, 0);
    QVERIFY(!page->borderColor.isValid());
    QCOMPARE(page->borderStyle, QString());
    QVERIFY(!page->border);
    QVERIFY(!page->watermark);
    QCOMPARE(page->watermarkOpacity, 0.5f);
    QVERIFY(page->watermarkPixmap.isNull());
    QVERIFY(page->isVisible());

    // The templates' odd opacity reads as zero in single precision.
    engine = engineFor(QStringLiteral(
        "<Reports><Report pageWidth='840' pageHeight='1188' marginsLeft='40' orientation='1' "
        "border='1' borderWidth='3' borderColor='rgba(1,2,3,255)' borderStyle='dotted' "
        "watermarkOpacity='-1.1706517711848447e-72' watermarkPixmap='!!notbase64png'/></Reports>"));
    page = engine->pageList().first();
    QCOMPARE(page->pageWidth, 840);
    QCOMPARE(page->pageHeight, 1188);
    QCOMPARE(page->marginsLeft, 40);
    QCOMPARE(page->orientation, 1);
    QVERIFY(page->border);
    QCOMPARE(page->borderWidth, 3);
    QCOMPARE(page->borderColor, QColor(1, 2, 3, 255));
    QCOMPARE(page->borderStyle, QStringLiteral("dotted"));
    QCOMPARE(page->watermarkOpacity, 0.0f);
    QVERIFY(page->watermarkPixmap.isNull());
}



void TestRptLoad::bandDefaultsAndTypes_data()
{
    QTest::addColumn<QString>("typeAttribute");
    QTest::addColumn<int>("type");
    QTest::newRow("PageHeader") << "type='PageHeader'" << 1;
    QTest::newRow("ReportTitle") << "type='ReportTitle'" << 2;
    QTest::newRow("MasterHeader") << "type='MasterHeader'" << 3;
    QTest::newRow("DataGroupHeader") << "type='DataGroupHeader'" << 4;
    QTest::newRow("MasterData") << "type='MasterData'" << 5;
    QTest::newRow("DataGroupFooter") << "type='DataGroupFooter'" << 6;
    QTest::newRow("MasterFooter") << "type='MasterFooter'" << 7;
    QTest::newRow("ReportSummary") << "type='ReportSummary'" << 8;
    QTest::newRow("PageFooter") << "type='PageFooter'" << 9;
    QTest::newRow("lower case is no type") << "type='masterdata'" << 0;
    QTest::newRow("absent") << "" << 0;
}

void TestRptLoad::bandDefaultsAndTypes()
{
    QFETCH(QString, typeAttribute);
    QFETCH(int, type);
    auto engine = engineFor(
        QStringLiteral("<Reports><Report><ReportBand %1 height='37'/></Report></Reports>").arg(typeAttribute));
    RptBandObject *band = engine->pageList().first()->bandList.first();
    QCOMPARE(int(band->type), type);
    QCOMPARE(band->height, 37);
    QCOMPARE(band->realHeight, 37);
    QCOMPARE(band->bandNo, 1);
    QCOMPARE(band->groupLevel, 0);
    QVERIFY(!band->showInGroup);
    QVERIFY(!band->startNewPage);
    QVERIFY(!band->startNewNumeration);
    QCOMPARE(band->parentPage, engine->pageList().first());
    if (type == 0)
        QVERIFY(!engine->pageList().first()->getBand(RptName::MasterData, 1));
}

void TestRptLoad::fieldDefaults()
{
    auto engine = engineFor(oneField(QString()));
    RptFieldObject *f = fieldOf(engine.get());
    QVERIFY(f);
    QCOMPARE(f->type, RptName::label);
    QCOMPARE(f->printing, QStringLiteral("1"));
    QCOMPARE(f->borderWidth, 1);
    QCOMPARE(f->borderStyle, QStringLiteral("solid"));
    QCOMPARE(f->imgFormat, QStringLiteral("PNG"));
    QVERIFY(f->textWrap);
    QVERIFY(!f->autoHeight);
    QCOMPARE(f->barcodeType, 13);
    QCOMPARE(f->barcodeFrameType, 0);
    QCOMPARE(f->barcodeHeight, 50);
    QCOMPARE(f->ignoreAspectRatio, 1);
    QVERIFY(f->picture.isEmpty());
    QCOMPARE(int(f->alignment), 0);
    QVERIFY(!f->fontColor.isValid());
    QVERIFY(!f->backgroundColor.isValid());
    QVERIFY(!f->borderTop.isValid());
    QCOMPARE(f->font.weight(), 50);
    QCOMPARE(f->font.pointSize(), QFont().pointSize());
    QCOMPARE(f->parentBand, engine->pageList().first()->bandList.first());
    QCOMPARE(f->engine(), engine.get());

    engine = engineFor(oneField(QStringLiteral(
        "name='total' fontSize='9' fontBold='1' textWrap='0' aligmentH='hCenter' aligmentV='vbottom'")));
    f = fieldOf(engine.get());
    // Alignment names are case-sensitive: an unknown one gives no flag for its direction.
    QCOMPARE(f->alignment, Qt::AlignHCenter);
    QCOMPARE(f->objectName(), QStringLiteral("total"));
    QCOMPARE(f->font.pointSize(), 9);
    QCOMPARE(f->font.weight(), 75);
    QVERIFY(!f->textWrap);
}

void TestRptLoad::fieldTypeOrder_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<int>("type");
    QTest::newRow("absent type") << "" << int(RptName::label);
    QTest::newRow("barcode") << "type='barcode'" << int(RptName::barcode);
    QTest::newRow("reactangle") << "type='reactangle'" << int(RptName::reactangle);
    QTest::newRow("image") << "type='image'" << int(RptName::image);
    QTest::newRow("line") << "type='line'" << int(RptName::line);
    QTest::newRow("crossTab") << "type='crossTab'" << int(RptName::crossTab);
    QTest::newRow("Label with capital") << "type='Label'" << int(RptName::label);
    QTest::newRow("label with picture stays label") << "type='label' picture='AAAA'" << int(RptName::label);
    QTest::newRow("barcode with picture stays") << "type='barcode' picture='AAAA'" << int(RptName::barcode);
    QTest::newRow("diagram with picture is image") << "type='diagram' picture='AAAA'" << int(RptName::image);
    QTest::newRow("line with picture is image") << "type='line' picture='AAAA'" << int(RptName::image);
    QTest::newRow("crossTab with picture is image") << "type='crossTab' picture='AAAA'" << int(RptName::image);
    QTest::newRow("picture 'text' is no picture") << "type='line' picture='text'" << int(RptName::line);
    QTest::newRow("unknown with picture") << "type='nonsense' picture='AAAA'" << int(RptName::image);
}

void TestRptLoad::fieldTypeOrder()
{
    QFETCH(QString, attributes);
    QFETCH(int, type);
    auto engine = engineFor(oneField(attributes));
    QCOMPARE(int(fieldOf(engine.get())->type), type);
    QCOMPARE(RptEngine::getFieldTypeName(RptName::FieldType(type)).isEmpty(), false);
}

void TestRptLoad::numberRules_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<int>("borderWidth");
    QTest::addColumn<int>("left");
    QTest::newRow("px suffix") << "borderWidth='1px' left='5'" << 1 << 5;
    QTest::newRow("doubled px") << "borderWidth='2pxpx'" << 2 << 0;
    QTest::newRow("not a number") << "borderWidth='wide' left='12x'" << 0 << 0;
    QTest::newRow("empty texts") << "borderWidth='' left=''" << 0 << 0;
}

void TestRptLoad::numberRules()
{
    QFETCH(QString, attributes);
    QFETCH(int, borderWidth);
    QFETCH(int, left);
    auto engine = engineFor(oneField(attributes));
    RptFieldObject *f = fieldOf(engine.get());
    QCOMPARE(f->borderWidth, borderWidth);
    QCOMPARE(f->getLeft(), left);
}

void TestRptLoad::colourTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("full") << "rgba(1,2,3,4)" << QColor(1, 2, 3, 4);
    QTest::newRow("no alpha is transparent") << "rgba(10,20,30)" << QColor(10, 20, 30, 0);
    QTest::newRow("empty is no colour") << "" << QColor();
    QTest::newRow("any word in front") << "colour(5,6,7,255)" << QColor(5, 6, 7, 255);
    QTest::newRow("bad component reads 0") << "rgba(x,2,3,255)" << QColor(0, 2, 3, 255);
    QTest::newRow("no parentheses") << "12,13,14,255" << QColor(12, 13, 14, 255);
    QTest::newRow("out of range is no colour") << "rgba(300,0,0,255)" << QColor();
}

void TestRptLoad::colourTexts()
{
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    const QColor read = colorFromString(text);
    QCOMPARE(read.isValid(), colour.isValid());
    if (colour.isValid()) {
        QCOMPARE(read, colour);
        QCOMPARE(colorFromString(colorToString(read)), colour);
    }
}



void TestRptLoad::printingConditions_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<bool>("printed");
    QTest::newRow("absent prints") << "" << true;
    QTest::newRow("1 prints") << "printing='1'" << true;
    QTest::newRow("0 hides") << "printing='0'" << false;
    QTest::newRow("empty hides") << "printing=''" << false;
    QTest::newRow("letter hides") << "printing='x'" << false;
}

void TestRptLoad::printingConditions()
{
    QFETCH(QString, attributes);
    QFETCH(bool, printed);
    auto engine = engineFor(oneField(attributes));
    QCOMPARE(engine->isFieldVisible(fieldOf(engine.get())), printed);
}

void TestRptLoad::commentInBandBecomesEmptyLabel()
{
    auto engine = engineFor(QStringLiteral(
        "<Reports><Report><ReportBand type='MasterData'><TContainerField name='a' borderWidth='3'/>"
        "<!-- note --><TContainerField name='b'/></ReportBand></Report></Reports>"));
    const QList<RptFieldObject *> fields = engine->pageList().first()->bandList.first()->fieldList;
    QCOMPARE(fields.size(), 3);
    QCOMPARE(fields.at(1)->name, QString());
    QCOMPARE(fields.at(1)->type, RptName::label);
    QCOMPARE(fields.at(1)->borderWidth, 1);
    QCOMPARE(fields.at(2)->name, QStringLiteral("b"));
}

void TestRptLoad::globalScriptTakenOnlyFromCdata()
{
    auto engine = engineFor(QStringLiteral(
        "<Reports><Script><![CDATA[var a = 1;]]></Script><Script>plain text</Script></Reports>"));
    QCOMPARE(engine->globalScript(), QStringLiteral("var a = 1;"));

    engine = engineFor(QStringLiteral(
        "<Reports><Script><![CDATA[first]]></Script><Script><![CDATA[second]]></Script></Reports>"));
    QCOMPARE(engine->globalScript(), QStringLiteral("second"));

    engine = engineFor(QStringLiteral("<Reports><Script>plain text</Script></Reports>"));
    QCOMPARE(engine->globalScript(), QString());
}

void TestRptLoad::bandLookups()
{
    auto engine = engineFor(QStringLiteral(
        "<Reports><Report>"
        "<ReportBand name='ph1' type='PageHeader' bandNo='1'/>"
        "<ReportBand name='ph2' type='PageHeader' bandNo='7'/>"
        "<ReportBand name='gh' type='DataGroupHeader' bandNo='1' groupLevel='0'/>"
        "<ReportBand name='gf0' type='DataGroupFooter' bandNo='1' groupLevel='0'/>"
        "<ReportBand name='gf2' type='DataGroupFooter' bandNo='1' groupLevel='2'/>"
        "<ReportBand name='md2' type='MasterData' bandNo='2'/>"
        "</Report></Reports>"));
    RptPageObject *page = engine->pageList().first();
    auto nameOf = [](RptBandObject *band) { return band ? band->name : QStringLiteral("none"); };
    QCOMPARE(nameOf(page->getBand(RptName::DataGroupHeader, 1, 2)), QStringLiteral("gh"));
    QCOMPARE(nameOf(page->getBand(RptName::DataGroupFooter, 1, 2)), QStringLiteral("gf2"));
    QCOMPARE(nameOf(page->getBand(RptName::DataGroupFooter, 1, 1)), QStringLiteral("none"));
    QCOMPARE(nameOf(page->getBand(RptName::PageHeader, 7, 3)), QStringLiteral("ph1"));
    QCOMPARE(nameOf(page->getBand(RptName::MasterData, 1)), QStringLiteral("none"));
    QCOMPARE(nameOf(page->getBand(RptName::MasterData, 2, 9)), QStringLiteral("md2"));
    QCOMPARE(nameOf(page->getBand(RptName::ReportSummary)), QStringLiteral("none"));
    QCOMPARE(page->bandsCountByType(RptName::MasterData), 2);
    QCOMPARE(page->bandsCountByType(RptName::MasterHeader), 0);

    QDomDocument doc;
    doc.setContent(QStringLiteral("<Report><ReportBand type='MasterData' name='x'/>"
                                  "<ReportBand type='PageFooter' name='y'/></Report>"));
    QCOMPARE(RptEngine::getBand(RptName::PageFooter, doc.documentElement()).attribute("name"), QStringLiteral("y"));
    QVERIFY(RptEngine::getBand(RptName::PageHeader, doc.documentElement()).isNull());
}


void TestRptLoad::fieldGeometry()
{
    auto engine = engineFor(oneField(QStringLiteral("left='10' top='20' width='100' height='30'")));
    RptFieldObject *f = fieldOf(engine.get());
    QCOMPARE(f->getWidth(), 100);
    QCOMPARE(f->getHeight(), 30);
    f->setLeft(0);
    QCOMPARE(f->getWidth(), 110);
    f->setWidth(50);
    QCOMPARE(f->rect.right(), 49);
    // Scripts reach the same geometry through the properties.
    f->setProperty("height", 5);
    QCOMPARE(f->rect.bottom(), 24);
    QCOMPARE(f->property("top").toInt(), 20);
}

void TestRptLoad::findFieldObjectByNameTakesEarliest()
{
    auto engine = engineFor(QStringLiteral(
        "<Reports><Report>"
        "<ReportBand type='PageHeader'><F name='other'/><F name='dup' value='first'/><F name='dup' value='second'/></ReportBand>"
        "<ReportBand type='MasterData'><F name='dup' value='third'/></ReportBand>"
        "</Report></Reports>"));
    RptPageObject *page = engine->pageList().first();
    QCOMPARE(page->findFieldObjectByName(QStringLiteral("dup"))->value, QStringLiteral("first"));
    QVERIFY(!page->findFieldObjectByName(QStringLiteral("missing")));
}

void TestRptLoad::htmlStyleOfLabel()
{
    // The sides are drawn in the frame colour; a white side is not drawn.
    auto engine = engineFor(oneField(QStringLiteral(
        "left='10' top='4' width='100' height='30' fontSize='10' fontColor='rgba(255,0,0,255)' "
        "backgroundColor='rgba(0,0,255,255)' borderLeft='rgba(0,255,0,255)' borderTop='rgba(255,255,255,255)' "
        "borderColor='rgba(0,128,0,255)' borderStyle='dotted' aligmentH='hRight'")));
    RptFieldObject *f = fieldOf(engine.get());
    f->setPageTop(300);
    QCOMPARE(f->getHTMLStyle(),
             QStringLiteral("style='color:#ff0000;background:#0000ff;border-left: dotted thin #008000;"
                            "border-right: dotted thin #008000;border-top: none;"
                            "border-bottom: dotted thin #008000;text-align:right;font-size:15px;"
                            "position: absolute; left: 10;top: 300;width: 100;height: 30;'"));
}

void TestRptLoad::htmlStyleBoldAndEmptyKinds_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("weight");
    QTest::addColumn<QString>("expected");
    QTest::newRow("demibold is bold") << "label" << 63 << "font-weight: bold;";
    QTest::newRow("57 is not bold") << "label" << 57 << "height: 0;'";
    QTest::newRow("line gives nothing") << "line" << 75 << "";
    QTest::newRow("shape gives nothing") << "circle" << 75 << "";
}

void TestRptLoad::htmlStyleBoldAndEmptyKinds()
{
    QFETCH(QString, type);
    QFETCH(int, weight);
    QFETCH(QString, expected);
    auto engine = engineFor(oneField(QStringLiteral("type='%1'").arg(type)));
    RptFieldObject *f = fieldOf(engine.get());
    f->font.setWeight(weight);
    const QString style = f->getHTMLStyle();
    if (expected.isEmpty()) {
        QCOMPARE(style, QString());
    } else {
        QVERIFY2(style.endsWith(expected.endsWith("'") ? expected : expected + "'"), qPrintable(style));
        // An invalid background is written as black.
        QVERIFY(style.contains(QStringLiteral("background:#000000;")));
    }
}

void TestRptLoad::htmlFragmentOfImage()
{
    auto engine = engineFor(oneField(QStringLiteral(
        "type='image' left='2' width='755' height='37' picture='AQID' aligmentH='hCenter'")));
    RptFieldObject *f = fieldOf(engine.get());
    f->setPageTop(8);
    QCOMPARE(f->getHTMLStyle(),
             QStringLiteral("<div style='position: absolute; left: 2;top: 8;width: 755;height: 37;"
                            "text-align:center;'><img width=753 height=37 "
                            "src=\"data:image/png;base64,AQID\" /></div>\n"));

    // A box of no height shows no image size at all.
    f->setHeight(0);
    QVERIFY(f->getHTMLStyle().contains(QStringLiteral("<img width=0 height=0 ")));
}

void TestRptLoad::scriptColourFallsBackToLoadedColour()
{
    auto engine = engineFor(oneField(QStringLiteral("fontColor='rgba(0,0,255,255)'")));
    RptFieldObject *f = fieldOf(engine.get());
    f->setProperty("fontColor", QColor(Qt::red));
    QCOMPARE(f->fontColor, QColor(Qt::red));
    QCOMPARE(f->baseFontColor(), QColor(0, 0, 255, 255));
    f->updateHighlightingParam();
    QCOMPARE(f->fontColor, QColor(0, 0, 255, 255));
}

void TestRptLoad::recordCountsLastMatchWins()
{
    auto engine = engineFor(QStringLiteral(
        "<Reports><Report><ReportBand type='MasterData' bandNo='1' dataSourceName='ds'/>"
        "<ReportBand type='MasterData' bandNo='1' dataSourceName='ds'/></Report></Reports>"));
    DsInfoReceiver receiver;
    connect(engine.get(), &RptEngine::setDSInfo, &receiver, &DsInfoReceiver::onDsInfo);
    engine->announceDataSets(0);
    engine->announceDataSets(0);
    QCOMPARE(engine->dataSetList().size(), 2);
    QVERIFY(engine->setRecCount(0, QStringLiteral("ds"), 4));
    QCOMPARE(engine->getRecCount(0, 1), 4);
    QVERIFY(engine->setRecCount(0, 1, 6));
    QCOMPARE(engine->dataSetList().at(0).recordCount, 6);
    QCOMPARE(engine->dataSetList().at(1).recordCount, 6);
    QVERIFY(!engine->setRecCount(0, 2, 9));
    QVERIFY(!engine->setRecCount(1, QStringLiteral("ds"), 9));
    QVERIFY(!engine->setRecCount(0, QStringLiteral("DS"), 9));
    QCOMPARE(engine->getRecCount(0, 2), 0);
    QCOMPARE(engine->getRecCount(3, QStringLiteral("ds")), 0);
}

void TestRptLoad::dataSetsAnnouncedToReceiver()
{
    auto engine = engineFor(QStringLiteral(
        "<Reports><Report/><Report>"
        "<ReportBand type='MasterData' bandNo='2' dataSourceName='second'/>"
        "<ReportBand type='MasterData' bandNo='1' dataSourceName='GoodSource'/>"
        "<ReportBand type='MasterFooter' bandNo='3'/>"
        "</Report></Reports>"));
    DsInfoReceiver receiver;
    connect(engine.get(), &RptEngine::setDSInfo, &receiver, &DsInfoReceiver::onDsInfo);
    engine->announceDataSets(0);
    QVERIFY(receiver.seen.isEmpty());
    engine->announceDataSets(1);
    QCOMPARE(receiver.seen.size(), 2);
    QCOMPARE(receiver.seen.at(0).dataSetName, QStringLiteral("GoodSource"));
    QCOMPARE(receiver.seen.at(0).dataSetNo, 1);
    QCOMPARE(receiver.seen.at(0).reportPage, 1);
    QCOMPARE(receiver.seen.at(0).recordCount, 0);
    QCOMPARE(receiver.seen.at(1).dataSetName, QStringLiteral("second"));
    // What the receiver wrote is what the engine keeps.
    QCOMPARE(engine->getRecCount(1, QStringLiteral("GoodSource")), 10);
    QCOMPARE(engine->getRecCount(1, 2), 20);
    QCOMPARE(engine->getRecCount(0, 1), 0);
}

void TestRptLoad::brokenTemplatesNeverCrash_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("loads");
    QTest::newRow("not xml") << "this is not a template" << false;
    QTest::newRow("unclosed element") << "<Reports><Report>" << false;
    QTest::newRow("empty file") << "" << false;
    QTest::newRow("no pages") << "<Reports/>" << true;
    QTest::newRow("numbers that are not numbers")
        << "<Reports><Report pageWidth='wide' marginsTop='1e9999'><ReportBand type='MasterData' "
           "height='tall' bandNo='x' groupLevel='-'><F left='a' top='' width='1.5' fontSize='huge' "
           "rotate='z' barcodeType='q' borderColor='rgba(' fontColor='rgba(,,,)' "
           "picture='%%%' type='image'/></ReportBand></Report></Reports>"
        << true;
    QTest::newRow("unknown band and field kinds")
        << "<Reports><Report><ReportBand type='Nothing'><Weird type='sparkle'/>text<![CDATA[x]]>"
           "</ReportBand><Unknown/></Report><Other/></Reports>"
        << true;
    QTest::newRow("crossTab and diagram without parameters")
        << "<Reports><Report><ReportBand type='MasterData'><F type='crossTab'/><F type='diagram'/>"
           "</ReportBand></Report></Reports>"
        << true;
}

void TestRptLoad::brokenTemplatesNeverCrash()
{
    QFETCH(QString, xml);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.xml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(xml.toUtf8());
    file.close();

    RptEngine engine;
    QCOMPARE(engine.loadReport(path), loads);
    for (RptPageObject *page : engine.pageList()) {
        for (RptBandObject *band : page->bandList) {
            for (RptFieldObject *field : band->fieldList) {
                engine.isFieldVisible(field);
                field->getHTMLStyle();
            }
        }
    }
    if (xml.contains(QLatin1String("numbers that"))) {
        RptPageObject *page = engine.pageList().first();
        QCOMPARE(page->pageWidth, 0);
        QCOMPARE(page->bandList.first()->height, 0);
        QCOMPARE(page->bandList.first()->bandNo, 0);
    }
}

void TestRptLoad::badFileKeepsLoadedTemplate()
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.xml"));
    const QString bad = dir.filePath(QStringLiteral("bad.xml"));
    QFile g(good);
    QVERIFY(g.open(QIODevice::WriteOnly));
    g.write("<Reports><Report pageWidth='840'/></Reports>");
    g.close();
    QFile b(bad);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write("<Reports><Report");
    b.close();

    RptEngine engine;
    QVERIFY(engine.loadReport(good));
    collectedValues.append({QStringLiteral("x"), QVariant(1), 0, 0});
    QVERIFY(!engine.loadReport(dir.filePath(QStringLiteral("missing.xml"))));
    QCOMPARE(collectedValues.size(), 1);
    QVERIFY(!engine.loadReport(bad));
    QVERIFY(collectedValues.isEmpty());
    QCOMPARE(engine.pageList().size(), 1);
    QCOMPARE(engine.pageList().first()->pageWidth, 840);
    QCOMPARE(engine.xmlDoc().documentElement().firstChildElement().attribute("pageWidth"), QStringLiteral("840"));
}



VELLORAN_TEST_MAIN(TestRptLoad)
#include "tst_rptload.moc"
