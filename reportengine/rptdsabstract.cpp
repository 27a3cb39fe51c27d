#include "rptdsabstract.h"

RptDsAbstract::RptDsAbstract(QObject *parent)
    : QObject(parent)
{
}

RptDsAbstract::~RptDsAbstract() = default;

int RptDsAbstract::getRecordCount()
{
    return m_recordCount;
}
