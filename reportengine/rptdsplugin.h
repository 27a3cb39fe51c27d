#ifndef RPTDSPLUGIN_H
#define RPTDSPLUGIN_H

#include "rptdsabstract.h"

#include <QLibrary>
#include <QPointer>

// A data source served by a library named in the template, loaded at run time. The library
// exports "getHandle", which gives the object whose invokable methods are called by name.
class RptDsPlugin : public RptDsAbstract
{
    Q_OBJECT

public:
    explicit RptDsPlugin(QObject *parent = nullptr);
    ~RptDsPlugin() override;

    QObject *pluginObject() const { return m_plugin; }

public slots:
    int getRecordCount() override;
    void loadXML(QDomElement element) override;
    QString getFieldValue(QString fieldName, int recNo) override;

private:
    QPointer<QObject> m_plugin;
    QLibrary m_library;
    QString m_dataText;
    QString m_aliasName;
};

#endif // RPTDSPLUGIN_H
