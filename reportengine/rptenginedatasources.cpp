// The data sources of a report page: opening them at the start of a run and entering their
// record counts into the data-set list.
#include "rptdsinline.h"
#include "rptdsplugin.h"
#include "rptengine.h"
#include "rptsql.h"

namespace {

void enterSqlCount(QList<DataSetInfo> &list, int page, const QString &name, int count)
{
    for (DataSetInfo &info : list) {
        if (info.reportPage == page && info.dataSetName == name) {
            info.recordCount = count;
            return;
        }
    }
    for (DataSetInfo &info : list) {
        if (info.reportPage == page && info.dataSetNo == 1) {
            info.recordCount = count;
            return;
        }
    }
    list.append({name, page, 1, count});
}

void enterTemplateCount(QList<DataSetInfo> &list, int page, const QString &name, int count)
{
    for (DataSetInfo &info : list) {
        if (info.reportPage == page && info.dataSetName == name) {
            info.recordCount = count;
            return;
        }
    }
    list.append({name, page, 1, count});
}

// A later data source of the same kind takes the page's place; the one it replaces is of no
// further use, and would otherwise keep its database connection until the engine goes.
void replaceDataSource(RptDsAbstract *&place, RptDsAbstract *source)
{
    if (place != source)
        delete place;
    place = source;
}

} // namespace

void RptEngine::openDataSource(int &pageNo)
{
    if (pageNo < 0 || pageNo >= m_pageList.size())
        return;
    RptPageObject *page = m_pageList.at(pageNo);

    if (page->userSqlConnection.active) {
        auto *sql = new RptSql(this);
        sql->setConnection(page->userSqlConnection);
        sql->setObjectName(page->userSqlConnection.dsName);
        replaceDataSource(page->sqlDataSource, sql);
        if (sql->openQuery())
            enterSqlCount(m_dataSetList, pageNo, sql->getName(), sql->getRecordCount());
        return;
    }

    const QDomElement report = m_xmlDoc.elementsByTagName(QStringLiteral("Report")).item(pageNo).toElement();
    for (QDomElement e = report.firstChildElement(QStringLiteral("DataSource")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("DataSource"))) {
        const QString type = e.attribute(QStringLiteral("type"));
        if (type == QLatin1String("SQL")) {
            auto *sql = new RptSql(this);
            sql->loadXML(e);
            replaceDataSource(page->sqlDataSource, sql);
            if (sql->openQuery())
                enterSqlCount(m_dataSetList, pageNo, sql->getName(), sql->getRecordCount());
        } else if (type == QLatin1String("INLINE")) {
            RptDsAbstract *source = nullptr;
            if (e.attribute(QStringLiteral("plugin")).isEmpty())
                source = new RptDsInline(this);
            else
                source = new RptDsPlugin(this);
            source->loadXML(e);
            enterTemplateCount(m_dataSetList, pageNo, source->getName(), source->getRecordCount());
            replaceDataSource(page->dataSource, source);
        }
    }
}

void RptEngine::setUserSqlConnection(int &pageNo, const RptSqlConnection &connection)
{
    if (pageNo < 0 || pageNo >= m_pageList.size())
        return;
    m_pageList.at(pageNo)->userSqlConnection = connection;
}

void RptEngine::activateUserSqlConnection(int pageNo, bool active)
{
    if (pageNo < 0 || pageNo >= m_pageList.size())
        return;
    m_pageList.at(pageNo)->userSqlConnection.active = active;
}

void RptEngine::getUserSqlConnection(int &pageNo, RptSqlConnection &connection)
{
    if (pageNo < 0 || pageNo >= m_pageList.size())
        return;
    connection = m_pageList.at(pageNo)->userSqlConnection;
}
