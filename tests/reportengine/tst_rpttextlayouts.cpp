// A report's plain texts are laid out once a run and drawn again from there: every page must look as
// it did when each text was laid out anew, so each case is drawn both ways and the pixels compared.
#include "testdatabase.h"

#include "reportengine/rpttextlayouts.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QProcess>
#include <QTemporaryDir>

class TestRptTextLayouts : public QObject
{
    Q_OBJECT

private slots:
    void drawsAsThePainterDoes_data();
    void drawsAsThePainterDoes();
};

void TestRptTextLayouts::drawsAsThePainterDoes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QFont>("font");

    const int dontClip = Qt::TextDontClip;
    const QRectF cell(10.5, 8.25, 140, 30);
    QFont plain(QStringLiteral("Sans"), 10);
    QFont bold = plain;
    bold.setBold(true);
    QFont large = plain;
    large.setPointSizeF(15.5);
    large.setItalic(true);
    QFont underlined = plain;
    underlined.setUnderline(true);

    QTest::newRow("left top") << "Cedar Court 1" << (dontClip | Qt::AlignLeft | Qt::AlignTop) << cell << plain;
    QTest::newRow("amount right") << "1,234.50" << (dontClip | Qt::AlignRight | Qt::AlignVCenter) << cell << plain;
    QTest::newRow("caption centred bold") << "Late Payments Report" << (dontClip | Qt::AlignHCenter | Qt::AlignVCenter)
                                          << cell << bold;
    QTest::newRow("bottom right italic") << "Grand Total:" << (dontClip | Qt::AlignRight | Qt::AlignBottom) << cell
                                         << large;
    QTest::newRow("blanks kept at the end") << "Total:   " << (dontClip | Qt::AlignRight | Qt::AlignTop) << cell << plain;
    QTest::newRow("blanks at the start") << "   S-00001" << (dontClip | Qt::AlignLeft | Qt::AlignVCenter) << cell
                                         << plain;
    QTest::newRow("wider than its box") << "An address far longer than the column it is printed in"
                                        << (dontClip | Qt::AlignLeft | Qt::AlignVCenter) << QRectF(5, 5, 60, 20) << plain;
    QTest::newRow("wrapped and centred") << "Kitchen faucet dripping since the first of the month"
                                         << (dontClip | Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignVCenter)
                                         << QRectF(20, 4, 90, 60) << plain;
    QTest::newRow("wrapped to the bottom") << "Payment Collected by cheque from the tenant"
                                           << (dontClip | Qt::TextWordWrap | Qt::AlignRight | Qt::AlignBottom)
                                           << QRectF(20, 4, 80, 70) << bold;
    QTest::newRow("letters beyond ASCII") << "Müller, Ærøskøbing — 5 €" << (dontClip | Qt::AlignLeft | Qt::AlignTop)
                                          << cell << plain;
    // Drawn by the painter itself: a line break, a clipped box, an underline, blanks alone.
    QTest::newRow("line break") << "Tenant:\nAddress:" << (dontClip | Qt::AlignLeft | Qt::AlignTop) << cell << plain;
    QTest::newRow("clipped") << "An address far longer than the column it is printed in"
                             << int(Qt::AlignLeft | Qt::AlignVCenter) << QRectF(5, 5, 60, 20) << plain;
    QTest::newRow("underlined") << "Invoice #:" << (dontClip | Qt::AlignLeft | Qt::AlignTop) << cell << underlined;
    QTest::newRow("blanks alone") << "   " << (dontClip | Qt::AlignLeft | Qt::AlignTop) << cell << plain;
}

namespace {

enum Target { Screen, Printer, Preview, Pdf };

// The page as `target` has it with `text` drawn in `box` and again lower down, by the painter itself or
// from `layouts` (the second time from the layout kept the first time). A printer has many more dots
// to the inch than the screen, the preview replays what was recorded onto a picture, and a PDF file is
// written as a report is saved and read back as a picture of its page.
QImage drawn(Target target, RptTextLayouts *layouts, const QString &text, int flags, QRectF box, const QFont &font)
{
    const qreal scale = target == Printer ? 300.0 / 96 : target == Pdf ? 1200.0 / 96 : 1;
    box = QRectF(box.topLeft() * scale, box.size() * scale);
    const QRectF lower = box.translated(3.5 * scale, 80 * scale);
    const auto drawTwice = [&](QPaintDevice *device) {
        QPainter painter(device);
        painter.setFont(font);
        for (const QRectF &where : {box, lower}) {
            if (layouts)
                layouts->draw(&painter, where, flags, text);
            else
                painter.drawText(where, flags, text);
        }
    };

    if (target == Pdf) {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("page.pdf"));
        {
            QPdfWriter pdf(file);
            pdf.setResolution(1200);
            pdf.setPageSize(QPageSize(QSizeF(400 / 96.0, 200 / 96.0), QPageSize::Inch));
            pdf.setPageMargins(QMarginsF());
            drawTwice(&pdf);
        }
        QProcess pdftoppm;
        pdftoppm.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                                   QStringLiteral("-singlefile"), file, folder.filePath(QStringLiteral("page"))});
        if (!pdftoppm.waitForFinished() || pdftoppm.exitCode() != 0)
            return QImage();
        return QImage(folder.filePath(QStringLiteral("page.png")));
    }

    QImage page(int(400 * scale), int(200 * scale), QImage::Format_ARGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(qRound(96 * scale / 0.0254));
    page.setDotsPerMeterY(qRound(96 * scale / 0.0254));
    if (target == Preview) {
        QPicture picture;
        drawTwice(&picture);
        QPainter replay(&page);
        replay.drawPicture(0, 0, picture);
    } else {
        drawTwice(&page);
    }
    return page;
}

} // namespace

void TestRptTextLayouts::drawsAsThePainterDoes()
{
    QFETCH(QString, text);
    QFETCH(int, flags);
    QFETCH(QRectF, box);
    QFETCH(QFont, font);

    for (Target target : {Screen, Printer, Preview, Pdf}) {
        RptTextLayouts layouts;
        const QImage painted = drawn(target, nullptr, text, flags, box, font);
        const QImage kept = drawn(target, &layouts, text, flags, box, font);
        QVERIFY2(!painted.isNull() && !kept.isNull(), "pdftoppm is needed");
        QImage white(painted.size(), painted.format());
        white.fill(Qt::white);
        QVERIFY(painted != white || text.trimmed().isEmpty());
        QVERIFY2(painted == kept, qPrintable(QStringLiteral("drawn otherwise on target %1").arg(int(target))));
        QVERIFY(layouts.size() <= 1);
    }
}

VELLORAN_TEST_MAIN(TestRptTextLayouts)
#include "tst_rpttextlayouts.moc"
