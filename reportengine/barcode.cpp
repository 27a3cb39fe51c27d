#include "barcode.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QPainter>
#include <QVariant>

BarCode::BarCode(QWidget *parent)
    : QWidget(parent)
{
}

BarCode::~BarCode() = default;

void BarCode::setValue(const QString &value)
{
    m_value = value;
    repaint();
}

void BarCode::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawText(QPointF(0, 0), QStringLiteral("NO_BARCODE"));
}

void BarCode::drawBarcode(QPainter *painter, qreal x, qreal y, qreal width, qreal height)
{
    if (!painter)
        return;
    painter->drawText(QRectF(x, y, width, height), Qt::AlignCenter, QStringLiteral("NO_BARCODE"));
}

QStringList BarCode::barcodeTypeNames()
{
    static const QStringList names = {
        QStringLiteral("CODE11"), QStringLiteral("C25MATRIX"), QStringLiteral("C25INTER"),
        QStringLiteral("C25IATA"), QStringLiteral("C25LOGIC"), QStringLiteral("C25IND"),
        QStringLiteral("CODE39"), QStringLiteral("EXCODE39"), QStringLiteral("EANX"),
        QStringLiteral("EAN128"), QStringLiteral("CODABAR"), QStringLiteral("CODE128"),
        QStringLiteral("DPLEIT"), QStringLiteral("DPIDENT"), QStringLiteral("CODE16K"),
        QStringLiteral("CODE93"), QStringLiteral("FLAT"), QStringLiteral("RSS14"),
        QStringLiteral("RSS_LTD"), QStringLiteral("RSS_EXP"), QStringLiteral("TELEPEN"),
        QStringLiteral("UPCA"), QStringLiteral("UPCE"), QStringLiteral("POSTNET"),
        QStringLiteral("MSI_PLESSEY"), QStringLiteral("FIM"), QStringLiteral("LOGMARS"),
        QStringLiteral("PHARMA"), QStringLiteral("PZN"), QStringLiteral("PHARMA_TWO"),
        QStringLiteral("PDF417"), QStringLiteral("PDF417TRUNC"), QStringLiteral("MAXICODE"),
        QStringLiteral("QRCODE"), QStringLiteral("CODE128B"), QStringLiteral("AUSPOST"),
        QStringLiteral("AUSREPLY"), QStringLiteral("AUSROUTE"), QStringLiteral("AUSREDIRECT"),
        QStringLiteral("ISBNX"), QStringLiteral("RM4SCC"), QStringLiteral("DATAMATRIX"),
        QStringLiteral("ITF14"), QStringLiteral("CODABLOCKF"), QStringLiteral("NVE18"),
        QStringLiteral("KOREAPOST"), QStringLiteral("RSS14STACK"), QStringLiteral("RSS14STACK_OMNI"),
        QStringLiteral("RSS_EXPSTACK"), QStringLiteral("PLANET"), QStringLiteral("MICROPDF417"),
        QStringLiteral("ONECODE"), QStringLiteral("PLESSEY"), QStringLiteral("KIX"),
        QStringLiteral("AZTEC"), QStringLiteral("DAFT"), QStringLiteral("ITALYPOST"),
        QStringLiteral("DPD"), QStringLiteral("MICROQR"), QStringLiteral("TELEPEN_NUM"),
        QStringLiteral("CODE32"), QStringLiteral("EANX_CC"), QStringLiteral("EAN128_CC"),
        QStringLiteral("RSS14_CC"), QStringLiteral("RSS_LTD_CC"), QStringLiteral("RSS_EXP_CC"),
        QStringLiteral("UPCA_CC"), QStringLiteral("UPCE_CC"), QStringLiteral("RSS14STACK_CC"),
        QStringLiteral("RSS14_OMNI_CC"), QStringLiteral("RSS_EXPSTACK_CC")};
    return names;
}

QList<QPair<int, QString>> BarCode::barcodeTypeList()
{
    const QMetaEnum e = QMetaEnum::fromType<BarcodeTypes>();
    const QStringList names = barcodeTypeNames();
    QList<QPair<int, QString>> list;
    for (int i = 0; i < e.keyCount(); ++i)
        list.append({e.value(i), names.value(i)});
    return list;
}

QList<QPair<int, QString>> BarCode::frameTypeList()
{
    const QMetaEnum e = QMetaEnum::fromType<FrameTypes>();
    QList<QPair<int, QString>> list;
    for (int i = 0; i < e.keyCount(); ++i)
        list.append({e.value(i), QString::fromLatin1(e.key(i))});
    return list;
}

QString BarCode::barcodeTypeName(int value)
{
    for (const auto &pair : barcodeTypeList()) {
        if (pair.first == value)
            return pair.second;
    }
    return QString();
}

QString BarCode::frameTypeName(int value)
{
    return QString::fromLatin1(QMetaEnum::fromType<FrameTypes>().valueToKey(value));
}

void BarCode::typesToProperties()
{
    QObject::setProperty("BarcodeTypes", m_barcodeType);
    QObject::setProperty("FrameTypes", m_frameType);
}

void BarCode::typesFromProperties()
{
    m_barcodeType = property("BarcodeTypes").toInt();
    m_frameType = property("FrameTypes").toInt();
}

QDataStream &operator<<(QDataStream &out, const BarCode &barcode)
{
    const QMetaObject *meta = barcode.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.isStored(&barcode))
            out << property.read(&barcode);
    }
    for (const QByteArray &name : barcode.dynamicPropertyNames())
        out << barcode.property(name.constData());
    return out;
}

QDataStream &operator>>(QDataStream &in, BarCode &barcode)
{
    const QMetaObject *meta = barcode.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isStored(&barcode))
            continue;
        QVariant v;
        in >> v;
        if (!v.isNull())
            property.write(&barcode, v);
    }
    barcode.typesToProperties();
    for (const QByteArray &name : barcode.dynamicPropertyNames()) {
        QVariant v;
        in >> v;
        barcode.setProperty(name.constData(), v);
    }
    barcode.typesFromProperties();
    return in;
}
