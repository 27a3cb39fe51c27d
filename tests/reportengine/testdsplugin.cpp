// A data-source plug-in for the tests: serves "field:record" texts and records every call made
// to it, so that a test can see what the engine handed over.
#include <QObject>
#include <QStringList>

class TestDsPlugin : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList calls MEMBER calls)

public:
    QStringList calls;

    Q_INVOKABLE void setDataStr(QString data) { calls.append(QStringLiteral("setDataStr:") + data); }
    Q_INVOKABLE void setDataFile(QString file) { calls.append(QStringLiteral("setDataFile:") + file); }
    Q_INVOKABLE void loadXML(QString document)
    {
        calls.append(QStringLiteral("loadXML:") + QString::number(document.contains(QLatin1String("<Reports>"))));
    }
    Q_INVOKABLE QString getValue(QString field, int recNo)
    {
        return field + QLatin1Char(':') + QString::number(recNo);
    }
    Q_INVOKABLE int getRecordCount(QString alias)
    {
        calls.append(QStringLiteral("getRecordCount:") + alias);
        return 3;
    }
};

extern "C" Q_DECL_EXPORT QObject *getHandle()
{
    return new TestDsPlugin();
}

#include "testdsplugin.moc"
