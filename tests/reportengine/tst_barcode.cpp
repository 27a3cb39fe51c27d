#include "testdatabase.h"

#include "reportengine/barcode.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

class TestBarCode : public QObject
{
    Q_OBJECT

private slots:
    void newWidgetDefaults();
    void nameLookups_data();
    void nameLookups();
    void listsFollowDeclarationOrder();
    void streamRoundTripRestoresTextAndTypes();
    void drawBarcodeWritesOnlyCentredPlaceholder();
};

void TestBarCode::newWidgetDefaults()
{
    BarCode barcode;
    QCOMPARE(barcode.value(), QStringLiteral("RptEngine"));
    QCOMPARE(BarCode::barcodeTypeName(barcode.barcodeType()), QStringLiteral("CODE128"));
    QCOMPARE(BarCode::frameTypeName(barcode.frameType()), QStringLiteral("NO_BORDER"));
    QCOMPARE(barcode.barcodeHeight(), 50);
}

void TestBarCode::nameLookups_data()
{
    QTest::addColumn<bool>("symbology");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("name");
    QTest::newRow("gap 5") << true << 5 << "";
    QTest::newRow("gap 10") << true << 10 << "";
    QTest::newRow("first") << true << 1 << "CODE11";
    QTest::newRow("EANX") << true << 13 << "EANX";
    QTest::newRow("last") << true << 139 << "RSS_EXPSTACK_CC";
    QTest::newRow("TELEPEN_NUM") << true << 128 << "TELEPEN_NUM";
    QTest::newRow("frame gap 1") << false << 1 << "";
    QTest::newRow("frame BIND") << false << 2 << "BIND";
    QTest::newRow("frame BOX") << false << 4 << "BOX";
}

void TestBarCode::nameLookups()
{
    QFETCH(bool, symbology);
    QFETCH(int, value);
    QFETCH(QString, name);
    QCOMPARE(symbology ? BarCode::barcodeTypeName(value) : BarCode::frameTypeName(value), name);
}

void TestBarCode::listsFollowDeclarationOrder()
{
    const auto types = BarCode::barcodeTypeList();
    QCOMPARE(types.size(), 71);
    QCOMPARE(BarCode::barcodeTypeNames().size(), 71);
    // Every name matches the enumeration key at the same place, so no value is mislabelled.
    const QMetaEnum e = QMetaEnum::fromType<BarCode::BarcodeTypes>();
    for (int i = 0; i < types.size(); ++i) {
        QCOMPARE(types.at(i).first, e.value(i));
        QCOMPARE(types.at(i).second, QString::fromLatin1(e.key(i)));
    }
    const auto frames = BarCode::frameTypeList();
    QCOMPARE(frames.size(), 3);
    QCOMPARE(frames.at(0), qMakePair(0, QStringLiteral("NO_BORDER")));
    QCOMPARE(frames.at(1), qMakePair(2, QStringLiteral("BIND")));
    QCOMPARE(frames.at(2), qMakePair(4, QStringLiteral("BOX")));
}

void TestBarCode::streamRoundTripRestoresTextAndTypes()
{
    BarCode source;
    source.setValue(QStringLiteral("4006381333931"));
    source.setBarcodeType(BarCode::QRCODE);
    source.setFrameType(BarCode::BOX);
    source.setBarcodeHeight(80);
    source.typesToProperties();

    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << source;
    }
    BarCode target;
    QDataStream in(bytes);
    in >> target;
    QCOMPARE(in.status(), QDataStream::Ok);
    QCOMPARE(target.value(), QStringLiteral("4006381333931"));
    QCOMPARE(target.barcodeType(), int(BarCode::QRCODE));
    QCOMPARE(target.frameType(), int(BarCode::BOX));
    // The bar height is not part of the stream.
    QCOMPARE(target.barcodeHeight(), 50);
    QVERIFY(in.atEnd());
}

void TestBarCode::drawBarcodeWritesOnlyCentredPlaceholder()
{
    QImage drawn(200, 60, QImage::Format_ARGB32);
    drawn.fill(Qt::white);
    {
        QPainter painter(&drawn);
        BarCode barcode;
        barcode.drawBarcode(&painter, 0, 0, 200, 60);
    }
    QImage expected(200, 60, QImage::Format_ARGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        painter.drawText(QRectF(0, 0, 200, 60), Qt::AlignCenter, QStringLiteral("NO_BARCODE"));
    }
    QCOMPARE(drawn, expected);
}

VELLORAN_TEST_MAIN(TestBarCode)
#include "tst_barcode.moc"
