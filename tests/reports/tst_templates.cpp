// Every office template loads through the engine and holds the bands and fields of its layout:
// names, types and heights of the bands, and for every field its value, box and style.
#include "reportengine/rptengine.h"
#include "reports/tibernereport.h"

#include <testdatabase.h>

#include <QtTest>

namespace {

const QColor Black(0, 0, 0, 255);
const QColor White(255, 255, 255, 255);
const QColor Blue(0, 0, 255, 255);
const QColor MidBlue(0, 85, 255, 255);

RptName::BandType bandType(const QString &name)
{
    static const QHash<QString, RptName::BandType> types = {
        {"PageHeader", RptName::PageHeader},       {"ReportTitle", RptName::ReportTitle},
        {"MasterHeader", RptName::MasterHeader},   {"DataGroupHeader", RptName::DataGroupHeader},
        {"MasterData", RptName::MasterData},       {"DataGroupFooter", RptName::DataGroupFooter},
        {"MasterFooter", RptName::MasterFooter},   {"ReportSummary", RptName::ReportSummary},
        {"PageFooter", RptName::PageFooter},
    };
    return types.value(name, static_cast<RptName::BandType>(0));
}

QColor fillColour(const QString &word)
{
    if (word.contains(QLatin1String("mid-blue")))
        return MidBlue;
    if (word.contains(QLatin1String("blue")))
        return Blue;
    if (word.contains(QLatin1String("black")))
        return Black;
    return White;
}

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void templateLayout_data();
    void templateLayout();
    void everyTemplateIsInTheResources();

private:
    void checkField(const RptFieldObject *field, const QStringList &cells);
};

void TestTemplates::initTestCase()
{
    // The templates live in the resources of the application library.
    TiberneReport builder;
    QVERIFY(QFile::exists(QStringLiteral(":/Reports/tenants.xml")));
}

void TestTemplates::checkField(const RptFieldObject *field, const QStringList &cells)
{
    const QString where = cells.join(QLatin1String(" | "));
    const QString value = cells.at(1);
    const QStringList words = cells.at(6).split(QLatin1Char(','), Qt::SkipEmptyParts);
    QStringList style;
    for (const QString &word : words)
        style << word.trimmed();

    QVERIFY2(field->rect == QRect(cells.at(2).toInt(), cells.at(3).toInt(), cells.at(4).toInt(), cells.at(5).toInt()),
             qPrintable(where));
    QVERIFY2(field->borderWidth == 1, qPrintable(where));

    if (value == QLatin1String("(rectangle)")) {
        QVERIFY2(field->type == RptName::reactangle, qPrintable(where));
        QCOMPARE(field->value, QStringLiteral("New Label"));
        QColor fill = White;
        for (const QString &word : qAsConst(style)) {
            if (word.contains(QLatin1String("fill")))
                fill = fillColour(word);
        }
        QVERIFY2(field->backgroundColor == fill, qPrintable(where));
        const QColor sides = fill == Black ? Black : White;
        QVERIFY2(field->borderTop == sides && field->borderBottom == sides && field->borderLeft == sides
                     && field->borderRight == sides,
                 qPrintable(where));
        QColor outline = Black;
        if (style.contains(QLatin1String("border colour white")))
            outline = White;
        if (style.contains(QLatin1String("border colour mid-blue")))
            outline = MidBlue;
        QVERIFY2(field->borderColor == outline, qPrintable(where));
        QVERIFY2((field->printing == QLatin1String("0")) == style.contains(QLatin1String("not printed")),
                 qPrintable(where));
        return;
    }

    QVERIFY2(field->type == RptName::label, qPrintable(where));
    QCOMPARE(field->value, value);

    int size = 8;
    for (const QString &word : qAsConst(style)) {
        if (word.startsWith(QLatin1String("size ")))
            size = word.mid(5).toInt();
    }
    QVERIFY2(field->font.pointSize() == size, qPrintable(where));
    QVERIFY2(field->font.bold() == style.contains(QLatin1String("bold")), qPrintable(where));
    QVERIFY2(field->font.underline() == style.contains(QLatin1String("underline")), qPrintable(where));
    QVERIFY2(!field->font.italic() && !field->font.strikeOut(), qPrintable(where));
    const QString family = style.contains(QLatin1String("Tahoma")) ? QStringLiteral("Tahoma")
                                                                   : QStringLiteral("MS Shell Dlg 2");
    QVERIFY2(field->font.family() == family, qPrintable(where));

    Qt::Alignment horizontal = Qt::AlignLeft;
    if (style.contains(QLatin1String("centred")))
        horizontal = Qt::AlignHCenter;
    if (style.contains(QLatin1String("right")))
        horizontal = Qt::AlignRight;
    const Qt::Alignment vertical = style.contains(QLatin1String("top")) ? Qt::AlignTop : Qt::AlignVCenter;
    QVERIFY2(field->alignment == (horizontal | vertical), qPrintable(where));

    QColor text = Black;
    if (style.contains(QLatin1String("white text")))
        text = White;
    if (style.contains(QLatin1String("blue text")))
        text = Blue;
    QVERIFY2(field->fontColor == text, qPrintable(where));
    QVERIFY2(field->backgroundColor == White, qPrintable(where));

    const bool boxed = style.contains(QLatin1String("boxed"));
    const QColor sides = boxed ? Black : White;
    QVERIFY2(field->borderTop == sides && field->borderBottom == sides && field->borderLeft == sides
                 && field->borderRight == sides,
             qPrintable(where));
    QVERIFY2(field->textWrap == style.contains(QLatin1String("wrap")), qPrintable(where));
    QVERIFY2(field->printing == QLatin1String("1"), qPrintable(where));
    QVERIFY2(!field->autoHeight && field->rotate == 0 && field->renderingMode == 0, qPrintable(where));
    QVERIFY2(field->format.isEmpty() && field->highlighting.isEmpty(), qPrintable(where));
}

void TestTemplates::templateLayout_data()
{
    QTest::addColumn<QString>("path");
    // "type name height [groupingField]", in file order.
    QTest::addColumn<QStringList>("bands");
    // "band type | value | left | top | width | height | style words", in file order within a band.
    QTest::addColumn<QStringList>("fields");

    // The layout tables the templates are written from; the test reads the files the program
    // loads and holds them against these tables, so a hand edit of either shows up here.
    const QString tablesFile = QFINDTESTDATA("../../reports/maketemplates.py");
    QFile file(tablesFile);
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(tablesFile));
    const QString source = QString::fromUtf8(file.readAll());
    const int start = source.indexOf(QLatin1String("TABLES = \"\"\""));
    QVERIFY(start >= 0);
    const QStringList lines = source.mid(start).split(QLatin1Char('\n')).mid(1);

    QString name;
    QStringList bands;
    QStringList fields;
    auto addRow = [&]() {
        if (!name.isEmpty())
            QTest::newRow(qPrintable(name)) << QStringLiteral(":/Reports/") + name << bands << fields;
    };
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1String("\"\"\"")))
            break;
        if (line.startsWith(QLatin1String("template "))) {
            addRow();
            name = line.mid(9).trimmed();
            bands.clear();
            fields.clear();
        } else if (line.startsWith(QLatin1String("band "))) {
            QStringList words = line.mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QString grouping;
            if (words.size() > 4 && words.at(3) == QLatin1String("grouping") && words.at(4) != QLatin1String("-"))
                grouping = words.at(4);
            bands << QStringList({words.at(0), words.at(1), words.at(2), grouping}).join(QLatin1Char(' ')).trimmed();
        } else if (line.startsWith(QLatin1String("field "))) {
            fields << line.mid(6);
        }
    }
    addRow();
}

void TestTemplates::templateLayout()
{
    QFETCH(QString, path);
    QFETCH(QStringList, bands);
    QFETCH(QStringList, fields);

    RptEngine engine;
    QVERIFY(engine.loadReport(path));
    QCOMPARE(engine.pageList().size(), 1);
    const RptPageObject *page = engine.pageList().first();
    QCOMPARE(page->pageWidth, 840);
    QCOMPARE(page->pageHeight, 1188);
    QCOMPARE(page->marginsLeft, 40);
    QCOMPARE(page->marginsRight, 40);
    QCOMPARE(page->marginsTop, 40);
    QCOMPARE(page->marginsBottom, 40);
    QCOMPARE(page->orientation, 0);
    QVERIFY(!page->border);
    QVERIFY(!page->watermark);
    QVERIFY(engine.globalScript().isEmpty());

    QCOMPARE(page->bandList.size(), bands.size());
    QSet<QString> names;
    for (int b = 0; b < bands.size(); ++b) {
        const QStringList wanted = bands.at(b).split(QLatin1Char(' '));
        const RptBandObject *band = page->bandList.at(b);
        QCOMPARE(band->name, wanted.at(1));
        QCOMPARE(int(band->type), int(bandType(wanted.at(0))));
        QCOMPARE(band->height, wanted.at(2).toInt());
        QCOMPARE(band->width, 760);
        QCOMPARE(band->bandNo, 1);
        if (band->type == RptName::MasterData) {
            QCOMPARE(band->dataSourceName, QStringLiteral("GoodSource"));
            QCOMPARE(band->groupingField, wanted.value(3));
            QVERIFY(!band->startNewPage);
            QVERIFY(!band->startNewNumeration);
        } else {
            QVERIFY(band->dataSourceName.isEmpty());
        }
        if (band->type == RptName::MasterHeader)
            QVERIFY(!band->showInGroup);
        if (band->type == RptName::DataGroupFooter) {
            QVERIFY(band->showInGroup);
            QCOMPARE(band->groupLevel, 0);
        }

        QList<QStringList> expected;
        for (const QString &line : qAsConst(fields)) {
            QStringList cells = line.split(QLatin1Char('|'));
            for (QString &cell : cells)
                cell = cell.trimmed();
            if (cells.at(0) == wanted.at(0))
                expected << cells;
        }
        QCOMPARE(band->fieldList.size(), expected.size());
        for (int f = 0; f < expected.size(); ++f) {
            const RptFieldObject *field = band->fieldList.at(f);
            checkField(field, expected.at(f));
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(!field->name.isEmpty() && !names.contains(field->name), qPrintable(field->name));
            names.insert(field->name);
        }
    }
}

void TestTemplates::everyTemplateIsInTheResources()
{
    const QStringList expected = {"Equipment.xml", "apartments.xml", "bills.xml", "buildingcashbook.xml",
                                  "buildings.xml", "cashbook.xml", "cashbook2.xml", "deposits.xml",
                                  "latepayments.xml", "leaseExpiry.xml", "maintenance.xml", "owners.xml",
                                  "paymentsreport.xml", "paymentssummary.xml", "receipt.xml", "tenantDetails.xml",
                                  "tenants.xml", "vendors.xml"};
    QCOMPARE(QDir(QStringLiteral(":/Reports")).entryList(QDir::Files, QDir::Name), expected);
}

VELLORAN_TEST_MAIN(TestTemplates)
#include "tst_templates.moc"
