#include "rptdsplugin.h"
#include "datahub/debuglog.h"

#include <QDebug>

RptDsPlugin::RptDsPlugin(QObject *parent)
    : RptDsAbstract(parent)
{
}

RptDsPlugin::~RptDsPlugin()
{
    if (m_library.isLoaded())
        m_library.unload();
}

void RptDsPlugin::loadXML(QDomElement element)
{
    const QString libraryFile = element.attribute(QStringLiteral("plugin"));
    const QString dataFile = element.attribute(QStringLiteral("fileName"));
    m_name = element.attribute(QStringLiteral("name"));
    m_aliasName = element.attribute(QStringLiteral("dsAliasName"));
    m_recordCount = 0;

    m_dataText.clear();
    const QDomElement data = element.elementsByTagName(QStringLiteral("Data")).item(0).toElement();
    if (!data.isNull() && data.firstChild().isCDATASection())
        m_dataText = data.firstChild().toCDATASection().data();

    m_library.setFileName(libraryFile);
    if (!m_library.load()) {
        qCDebug(velloranLog) << "Loading failed!" << m_library.errorString();
        return;
    }
    typedef QObject *(*GetHandle)();
    auto getHandle = reinterpret_cast<GetHandle>(m_library.resolve("getHandle"));
    if (!getHandle)
        return;
    m_plugin = getHandle();
    if (!m_plugin)
        return;

    if (m_dataText.isEmpty()) {
        if (!dataFile.isEmpty())
            QMetaObject::invokeMethod(m_plugin, "setDataFile", Qt::DirectConnection,
                                      Q_ARG(QString, dataFile));
    } else {
        QMetaObject::invokeMethod(m_plugin, "setDataStr", Qt::DirectConnection,
                                  Q_ARG(QString, m_dataText));
    }
    QMetaObject::invokeMethod(m_plugin, "loadXML", Qt::DirectConnection,
                              Q_ARG(QString, element.ownerDocument().toString(1)));
}

QString RptDsPlugin::getFieldValue(QString fieldName, int recNo)
{
    if (!m_plugin)
        return QString();
    QString result;
    if (!QMetaObject::invokeMethod(m_plugin, "getValue", Qt::DirectConnection,
                                   Q_RETURN_ARG(QString, result), Q_ARG(QString, fieldName),
                                   Q_ARG(int, recNo)))
        return QString();
    return result;
}

int RptDsPlugin::getRecordCount()
{
    if (!m_plugin)
        return m_recordCount;
    int count = 0;
    if (QMetaObject::invokeMethod(m_plugin, "getRecordCount", Qt::DirectConnection,
                                  Q_RETURN_ARG(int, count), Q_ARG(QString, m_aliasName)))
        m_recordCount = count;
    return m_recordCount;
}
