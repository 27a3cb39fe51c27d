#ifndef RPTDSABSTRACT_H
#define RPTDSABSTRACT_H

#include <QDomElement>
#include <QList>
#include <QObject>
#include <QStringList>

// A data source of a report page: serves `[source.field]` variables and reports its record count.
class RptDsAbstract : public QObject
{
    Q_OBJECT

public:
    explicit RptDsAbstract(QObject *parent = nullptr);
    ~RptDsAbstract() override;

    QString getName() const { return m_name; }

public slots:
    virtual int getRecordCount();
    virtual void loadXML(QDomElement element) = 0;
    virtual QString getFieldValue(QString fieldName, int recNo) = 0;

protected:
    QString m_name;
    int m_recordCount = 0;

public:
    int columnCount = 0;
    QStringList fieldNames;
    QList<QStringList> rows;
};

#endif // RPTDSABSTRACT_H
