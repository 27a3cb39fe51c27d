#ifndef BARCODE_H
#define BARCODE_H

#include <QDataStream>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QWidget>

// The barcode component: holds the text, symbology, frame and bar height that a template's
// barcode field carries, and saves and restores itself through a data stream.
class BarCode : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString value READ value WRITE setValue DESIGNABLE true SCRIPTABLE true STORED true)

public:
    enum BarcodeTypes {
        CODE11 = 1, C25MATRIX = 2, C25INTER = 3, C25IATA = 4, C25LOGIC = 6, C25IND = 7,
        CODE39 = 8, EXCODE39 = 9, EANX = 13, EAN128 = 16, CODABAR = 18, CODE128 = 20,
        DPLEIT = 21, DPIDENT = 22, CODE16K = 23, CODE93 = 25, FLAT = 28, RSS14 = 29,
        RSS_LTD = 30, RSS_EXP = 31, TELEPEN = 32, UPCA = 34, UPCE = 37, POSTNET = 40,
        MSI_PLESSEY = 47, FIM = 49, LOGMARS = 50, PHARMA = 51, PZN = 52, PHARMA_TWO = 53,
        PDF417 = 55, PDF417TRUNC = 56, MAXICODE = 57, QRCODE = 58, CODE128B = 60, AUSPOST = 63,
        AUSREPLY = 66, AUSROUTE = 67, AUSREDIRECT = 68, ISBNX = 69, RM4SCC = 70,
        DATAMATRIX = 71, ITF14 = 72, CODABLOCKF = 74, NVE18 = 75, KOREAPOST = 77,
        RSS14STACK = 79, RSS14STACK_OMNI = 80, RSS_EXPSTACK = 81, PLANET = 82,
        MICROPDF417 = 84, ONECODE = 85, PLESSEY = 86, KIX = 90, AZTEC = 92, DAFT = 93,
        ITALYPOST = 94, DPD = 96, MICROQR = 97, TELEPEN_NUM = 128, CODE32 = 129,
        EANX_CC = 130, EAN128_CC = 131, RSS14_CC = 132, RSS_LTD_CC = 133, RSS_EXP_CC = 134,
        UPCA_CC = 135, UPCE_CC = 136, RSS14STACK_CC = 137, RSS14_OMNI_CC = 138,
        RSS_EXPSTACK_CC = 139
    };
    Q_ENUM(BarcodeTypes)

    enum FrameTypes { NO_BORDER = 0, BIND = 2, BOX = 4 };
    Q_ENUM(FrameTypes)

    explicit BarCode(QWidget *parent = nullptr);
    ~BarCode() override;

    QString value() const { return m_value; }
    int barcodeType() const { return m_barcodeType; }
    void setBarcodeType(int type) { m_barcodeType = type; }
    int frameType() const { return m_frameType; }
    void setFrameType(int type) { m_frameType = type; }
    int barcodeHeight() const { return m_barcodeHeight; }
    void setBarcodeHeight(int height) { m_barcodeHeight = height; }

    void drawBarcode(QPainter *painter, qreal x, qreal y, qreal width, qreal height);

    static QStringList barcodeTypeNames();
    static QList<QPair<int, QString>> barcodeTypeList();
    static QList<QPair<int, QString>> frameTypeList();
    static QString barcodeTypeName(int value);
    static QString frameTypeName(int value);

    void typesToProperties();
    void typesFromProperties();

public slots:
    void setValue(const QString &value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_value = QStringLiteral("RptEngine");
    int m_barcodeType = CODE128;
    int m_frameType = NO_BORDER;
    int m_barcodeHeight = 50;
};

QDataStream &operator<<(QDataStream &out, const BarCode &barcode);
QDataStream &operator>>(QDataStream &in, BarCode &barcode);

#endif // BARCODE_H
