// Benchmark of the report run (built with the tests, not run by ctest): a 5,000-record list of four
// columns rendered to PDF by the engine, against the floor of drawing the same texts at the same
// places straight onto a PDF writer.
//
//   QT_QPA_PLATFORM=offscreen ./tests/bench_render [records]
#include "reportengine/rptengine.h"

#include <QApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

const int Columns = 4;
const int RowHeight = 30; // template units, a quarter of a millimetre
const int ColumnWidth = 185;

QString cell(int column, int record)
{
    static const char *const names[Columns] = {"Tenant", "Building", "Suite", "Rent"};
    return QStringLiteral("%1 %2").arg(QLatin1String(names[column])).arg(record + 1);
}

QString templateText()
{
    QString fields;
    for (int c = 0; c < Columns; ++c) {
        fields += QStringLiteral("<TContainerField type=\"label\" value=\"[c%1]\" left=\"%2\" top=\"0\" width=\"%3\" "
                                 "height=\"%4\" fontFamily=\"Arial\" fontSize=\"9\" aligmentH=\"hLeft\" "
                                 "aligmentV=\"vCenter\" fontColor=\"rgba(0,0,0,255)\" "
                                 "backgroundColor=\"rgba(255,255,255,255)\" borderTop=\"rgba(255,255,255,255)\" "
                                 "borderBottom=\"rgba(255,255,255,255)\" borderLeft=\"rgba(255,255,255,255)\" "
                                 "borderRight=\"rgba(255,255,255,255)\" textWrap=\"0\"/>")
                      .arg(c)
                      .arg(c * (ColumnWidth + 5))
                      .arg(ColumnWidth)
                      .arg(RowHeight);
    }
    return QStringLiteral("<Reports><Report pageWidth=\"840\" pageHeight=\"1188\" marginsLeft=\"40\" "
                          "marginsRight=\"40\" marginsTop=\"40\" marginsBottom=\"40\">"
                          "<ReportBand type=\"MasterData\" height=\"%1\" width=\"760\" bandNo=\"1\">%2</ReportBand>"
                          "</Report></Reports>")
        .arg(RowHeight)
        .arg(fields);
}

class Host : public QObject
{
public:
    explicit Host(int records)
        : m_records(records)
    {
    }
    void dsInfo(DataSetInfo &info) { info.recordCount = m_records; }
    void value(const int recNo, const QString name, QVariant &result, const int)
    {
        result = cell(name.mid(1).toInt(), recNo);
    }

private:
    int m_records;
};

double engineSeconds(int records, const QString &path)
{
    QDomDocument doc;
    doc.setContent(templateText());
    RptEngine engine;
    engine.loadReport(doc);
    Host host(records);
    QObject::connect(&engine, &RptEngine::setDSInfo, &host, &Host::dsInfo, Qt::DirectConnection);
    QObject::connect(&engine, &RptEngine::setValue, &host, &Host::value, Qt::DirectConnection);
    QElapsedTimer timer;
    timer.start();
    engine.printPDF(path, false);
    return timer.nsecsElapsed() / 1e9;
}

// The same texts at the same places, drawn directly: what any PDF report must at least cost.
double floorSeconds(int records, const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(10.01, 10.01, 10.01, 10.01), QPageLayout::Millimeter);
    QPainter painter(&writer);
    const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
    const double h = area.width() / 760.0;
    const double v = area.height() / 1108.0;
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    painter.setFont(font);
    int y = 0;
    for (int r = 0; r < records; ++r) {
        if (y + RowHeight > 1108) {
            writer.newPage();
            y = 0;
        }
        for (int c = 0; c < Columns; ++c) {
            const QRect box(int(c * (ColumnWidth + 5) * h), int(y * v), int((ColumnWidth - 1) * h), int(RowHeight * v));
            painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, cell(c, r));
        }
        y += RowHeight;
    }
    painter.end();
    return timer.nsecsElapsed() / 1e9;
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int records = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5000;
    qInstallMessageHandler(quiet);
    QTemporaryDir dir;

    // One warm-up of each so that fonts and caches are loaded before timing.
    engineSeconds(50, dir.filePath(QStringLiteral("warm.pdf")));
    floorSeconds(50, dir.filePath(QStringLiteral("warmfloor.pdf")));

    const double engine = engineSeconds(records, dir.filePath(QStringLiteral("engine.pdf")));
    const double floor = floorSeconds(records, dir.filePath(QStringLiteral("floor.pdf")));
    std::printf("records: %d\n", records);
    std::printf("engine: %.3f s, %.0f records/s\n", engine, records / engine);
    std::printf("direct QPainter on QPdfWriter: %.3f s, %.0f records/s\n", floor, records / floor);
    std::printf("ratio engine/direct: %.2f\n", engine / floor);
    return 0;
}
