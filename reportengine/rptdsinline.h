#ifndef RPTDSINLINE_H
#define RPTDSINLINE_H

#include "rptdsabstract.h"

// Rows written into the template: the first row names the columns, the others are the records.
class RptDsInline : public RptDsAbstract
{
    Q_OBJECT

public:
    explicit RptDsInline(QObject *parent = nullptr);

public slots:
    void loadXML(QDomElement element) override;
    QString getFieldValue(QString fieldName, int recNo) override;
};

#endif // RPTDSINLINE_H
