#include "rptengine.h"

#include "rptscriptengine.h"

#include <QDebug>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>

CollectedValueList collectedValues;
QVector<GroupRecord> groupRecords;
QList<int> level0RecNos;
QList<int> level1RecNos;
QList<int> level2RecNos;

void CollectedValueList::append(const CollectedValue &value)
{
    auto highest = m_highestRecNo.find(value.reportPage);
    if (highest == m_highestRecNo.end())
        m_highestRecNo.insert(value.reportPage, value.recNo);
    else if (value.recNo > highest.value())
        highest.value() = value.recNo;
    if (!m_keepAll && !m_kept.contains(value.fieldName))
        return;

    int index = m_fieldIndex.value(value.fieldName, -1);
    if (index < 0) {
        index = m_fields.size();
        m_fieldIndex.insert(value.fieldName, index);
        m_fields.append(Field{value.fieldName, {}, {}, {}});
    }
    Field &field = m_fields[index];
    int column = field.columns.value(value.reportPage, -1);
    if (column < 0) {
        column = m_columns.size();
        field.columns.insert(value.reportPage, column);
        m_columns.append(Column{index, value.reportPage, {}});
    }
    const int position = size();

    CollectedEntry entry;
    entry.value = value.value.toString();
    entry.recNo = value.recNo;
    entry.column = column;
    if (!field.positions.isEmpty()) {
        const QString &previous = m_entries[size_t(field.positions.last())].value;
        if (previous == entry.value)
            entry.value = previous;
    }
    m_entries.push_back(entry);
    field.positions.append(position);

    QVector<int> &byRecord = m_columns[column].byRecord;
    if (value.recNo < 0) {
        field.unplaced.append(position);
    } else {
        while (byRecord.size() <= value.recNo)
            byRecord.append(-1);
        if (byRecord.at(value.recNo) < 0)
            byRecord[value.recNo] = position;
        else
            field.unplaced.append(position);
    }
}

void CollectedValueList::clear()
{
    // Swapped out rather than cleared, so that the blocks of a large run go back at once.
    std::deque<CollectedEntry>().swap(m_entries);
    m_fields.clear();
    m_columns.clear();
    m_fieldIndex.clear();
    m_highestRecNo.clear();
    m_keepAll = true;
    m_kept.clear();
}

void CollectedValueList::keepOnly(const QSet<QString> &names)
{
    m_keepAll = false;
    m_kept = names;
}

const CollectedValueList::Field *CollectedValueList::field(const QString &fieldName) const
{
    const int index = m_fieldIndex.value(fieldName, -1);
    return index < 0 ? nullptr : &m_fields.at(index);
}

bool CollectedValueList::contains(const QString &fieldName, int recNo, int reportPage) const
{
    const Field *f = field(fieldName);
    if (!f)
        return false;
    if (recNo >= 0) {
        const int column = f->columns.value(reportPage, -1);
        if (column < 0)
            return false;
        const QVector<int> &byRecord = m_columns.at(column).byRecord;
        return recNo < byRecord.size() && byRecord.at(recNo) >= 0;
    }
    for (int position : f->unplaced) {
        if (recNoAt(position) == recNo && reportPageAt(position) == reportPage)
            return true;
    }
    return false;
}

CollectedValue CollectedValueList::at(int i) const
{
    const CollectedEntry &entry = m_entries[size_t(i)];
    const Column &column = m_columns.at(entry.column);
    return {m_fields.at(column.field).name, QVariant(entry.value), entry.recNo, column.reportPage};
}

const QVector<int> &CollectedValueList::positionsOf(const QString &fieldName) const
{
    static const QVector<int> none;
    const Field *f = field(fieldName);
    return f ? f->positions : none;
}

void CollectedValueList::appendPositions(const QString &fieldName, int recNo, QVector<int> &positions) const
{
    const Field *f = field(fieldName);
    if (!f)
        return;
    if (recNo >= 0) {
        for (int column : f->columns) {
            const QVector<int> &byRecord = m_columns.at(column).byRecord;
            if (recNo < byRecord.size() && byRecord.at(recNo) >= 0)
                positions.append(byRecord.at(recNo));
        }
    }
    for (int position : f->unplaced) {
        if (recNoAt(position) == recNo)
            positions.append(position);
    }
}

QString colorToString(const QColor &color)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

QColor colorFromString(const QString &text)
{
    if (text.isEmpty())
        return QColor();
    const int open = text.indexOf(QLatin1Char('('));
    const int start = open + 1;
    const int close = text.indexOf(QLatin1Char(')'), start);
    const QString inner = close < 0 ? text.mid(start) : text.mid(start, close - start);
    const QStringList parts = inner.split(QLatin1Char(','));
    int c[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        c[i] = parts.at(i).toInt();
    for (int v : c) {
        if (v < 0 || v > 255)
            return QColor();
    }
    return QColor(c[0], c[1], c[2], c[3]);
}

RptEngine::RptEngine(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<DataSetInfo>("DataSetInfo");
    m_xmlDoc = QDomDocument(QStringLiteral("Reports"));
    m_scriptEngine = new RptScriptEngine(this);
}

RptEngine::~RptEngine()
{
    clearObject();
}

void RptEngine::clearObject()
{
    qDeleteAll(m_pageList);
    m_pageList.clear();
}

static void clearSharedLists()
{
    collectedValues.clear();
    level0RecNos.clear();
    level1RecNos.clear();
    level2RecNos.clear();
}

bool RptEngine::loadReport(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    clearSharedLists();
    // Parse into a document of our own so that a broken file leaves the loaded template intact.
    QDomDocument doc(QStringLiteral("Reports"));
    QString error;
    int line = 0;
    if (!doc.setContent(&file, &error, &line)) {
        file.close();
        qWarning() << "Report file not found" << fileName << error << line;
        return false;
    }
    file.close();
    m_xmlDoc = doc;
    makeReportObjectStructure();
    return true;
}

bool RptEngine::loadReport(const QDomDocument &doc)
{
    m_xmlDoc = doc;
    clearSharedLists();
    makeReportObjectStructure();
    return true;
}

void RptEngine::makeReportObjectStructure()
{
    clearObject();
    const QDomElement root = m_xmlDoc.documentElement();
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (!node.isElement())
            continue;
        const QDomElement e = node.toElement();
        if (e.tagName() == QLatin1String("Report")) {
            auto *page = new RptPageObject();
            page->setProperty(this, e);
            m_pageList.append(page);
        } else if (e.tagName() == QLatin1String("Script")) {
            const QDomNode first = e.firstChild();
            if (first.isCDATASection())
                m_globalScript = first.toCDATASection().data();
        }
    }
}

bool RptEngine::setPrinter(QPrinter *printer)
{
    if (m_printer)
        return false;
    m_printer = printer;
    return true;
}

bool RptEngine::setPainter(QPainter *painter)
{
    if (m_painter)
        return false;
    m_painter = painter;
    return true;
}

void RptEngine::setBackgroundImage(QPixmap &pixmap)
{
    m_watermark = &pixmap;
}

void RptEngine::setBackgroundImage(const QPixmap &pixmap)
{
    m_ownWatermark = pixmap;
    m_watermark = &m_ownWatermark;
}

void RptEngine::setUserSqlConnection(int pageNo, QString dsName, QString dbType, QString dbName,
                                     QString dbHost, QString dbUser, QString dbPassword, int dbPort,
                                     QString dbConnectionName, QString sqlQuery, QString dbCoding,
                                     QString charsetCoding)
{
    m_userSqlConnection.pageNo = pageNo;
    m_userSqlConnection.dsName = dsName;
    m_userSqlConnection.dbType = dbType;
    m_userSqlConnection.dbName = dbName;
    m_userSqlConnection.dbHost = dbHost;
    m_userSqlConnection.dbUser = dbUser;
    m_userSqlConnection.dbPassword = dbPassword;
    m_userSqlConnection.dbPort = dbPort;
    m_userSqlConnection.dbConnectionName = dbConnectionName;
    m_userSqlConnection.sqlQuery = sqlQuery;
    m_userSqlConnection.dbCoding = dbCoding;
    m_userSqlConnection.charsetCoding = charsetCoding;
    m_userSqlConnection.active = true;
}

void RptEngine::announceDataSets(int reportPage)
{
    if (reportPage < 0 || reportPage >= m_pageList.size())
        return;
    RptPageObject *page = m_pageList.at(reportPage);
    const int count = page->bandsCountByType(RptName::MasterData);
    for (int n = 1; n <= count; ++n) {
        DataSetInfo info;
        if (RptBandObject *band = page->getBand(RptName::MasterData, n))
            info.dataSetName = band->dataSourceName;
        info.reportPage = reportPage;
        info.dataSetNo = n;
        info.recordCount = 0;
        emit setDSInfo(info);
        m_dataSetList.append(info);
    }
}

bool RptEngine::setRecCount(int reportPage, int dataSetNo, int recCount)
{
    bool found = false;
    for (DataSetInfo &info : m_dataSetList) {
        if (info.reportPage == reportPage && info.dataSetNo == dataSetNo) {
            info.recordCount = recCount;
            found = true;
        }
    }
    return found;
}

bool RptEngine::setRecCount(int reportPage, const QString &dataSetName, int recCount)
{
    bool found = false;
    for (DataSetInfo &info : m_dataSetList) {
        if (info.reportPage == reportPage && info.dataSetName == dataSetName) {
            info.recordCount = recCount;
            found = true;
        }
    }
    return found;
}

int RptEngine::getRecCount(int reportPage, int dataSetNo) const
{
    int count = 0;
    for (const DataSetInfo &info : m_dataSetList) {
        if (info.reportPage == reportPage && info.dataSetNo == dataSetNo)
            count = info.recordCount;
    }
    return count;
}

int RptEngine::getRecCount(int reportPage, const QString &dataSetName) const
{
    int count = 0;
    for (const DataSetInfo &info : m_dataSetList) {
        if (info.reportPage == reportPage && info.dataSetName == dataSetName)
            count = info.recordCount;
    }
    return count;
}

static const struct
{
    const char *name;
    RptName::FieldType type;
} fieldTypeNames[] = {
    {"label", RptName::label},
    {"labelImage", RptName::labelImage},
    {"textRich", RptName::textRich},
    {"image", RptName::image},
    {"diagram", RptName::diagram},
    {"reactangle", RptName::reactangle},
    {"roundedReactangle", RptName::roundedReactangle},
    {"circle", RptName::circle},
    {"triangle", RptName::triangle},
    {"rhombus", RptName::rhombus},
    {"line", RptName::line},
    {"barcode", RptName::barcode},
    {"DatabaseImage", RptName::DatabaseImage},
    {"crossTab", RptName::crossTab},
};

RptName::FieldType RptEngine::getFieldType(const QDomElement &e)
{
    const QString type = e.attribute(QStringLiteral("type"), QStringLiteral("label"));
    // The order decides: a picture turns every later kind into an image.
    static const RptName::FieldType first[] = {
        RptName::barcode, RptName::reactangle, RptName::roundedReactangle, RptName::circle,
        RptName::triangle, RptName::rhombus, RptName::textRich, RptName::label,
        RptName::labelImage, RptName::image};
    for (RptName::FieldType t : first) {
        if (type == getFieldTypeName(t))
            return t;
    }
    if (e.hasAttribute(QStringLiteral("picture"))
        && e.attribute(QStringLiteral("picture")) != QLatin1String("text"))
        return RptName::image;
    static const RptName::FieldType later[] = {RptName::diagram, RptName::line,
                                               RptName::DatabaseImage, RptName::crossTab};
    for (RptName::FieldType t : later) {
        if (type == getFieldTypeName(t))
            return t;
    }
    return RptName::label;
}

QString RptEngine::getFieldTypeName(RptName::FieldType type)
{
    for (const auto &entry : fieldTypeNames) {
        if (entry.type == type)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

QDomElement RptEngine::getBand(RptName::BandType type, const QDomElement &page)
{
    static const char *names[] = {nullptr,           "PageHeader",      "ReportTitle",
                                  "MasterHeader",    "DataGroupHeader", "MasterData",
                                  "DataGroupFooter", "MasterFooter",    "ReportSummary",
                                  "PageFooter"};
    if (type < RptName::PageHeader || type > RptName::PageFooter)
        return QDomElement();
    const QString name = QString::fromLatin1(names[type]);
    for (QDomElement band = page.firstChildElement(QStringLiteral("ReportBand")); !band.isNull();
         band = band.nextSiblingElement(QStringLiteral("ReportBand"))) {
        if (band.attribute(QStringLiteral("type")) == name)
            return band;
    }
    return QDomElement();
}

Qt::Alignment RptEngine::getAligment(const QDomElement &e)
{
    Qt::Alignment h;
    const QString hName = e.attribute(QStringLiteral("aligmentH"));
    if (hName == QLatin1String("hJustify"))
        h = Qt::AlignJustify;
    else if (hName == QLatin1String("hCenter"))
        h = Qt::AlignHCenter;
    else if (hName == QLatin1String("hLeft"))
        h = Qt::AlignLeft;
    else if (hName == QLatin1String("hRight"))
        h = Qt::AlignRight;
    Qt::Alignment v;
    const QString vName = e.attribute(QStringLiteral("aligmentV"));
    if (vName == QLatin1String("vCenter"))
        v = Qt::AlignVCenter;
    else if (vName == QLatin1String("vBottom"))
        v = Qt::AlignBottom;
    else if (vName == QLatin1String("vTop"))
        v = Qt::AlignTop;
    return h | v;
}

QStringList RptEngine::splitStringOnVariable(const QString &text)
{
    // A variable is "[" and a character other than a digit, up to the next "]". Every field
    // text of every record comes through here, so the plain case is scanned by hand; a text
    // with surrogates goes to the pattern, which knows how to treat a broken pair.
    QStringList found;
    const int size = text.size();
    bool plain = true;
    for (const QChar c : text) {
        if (c.isSurrogate()) {
            plain = false;
            break;
        }
    }
    if (!plain) {
        static const QRegularExpression variable(
            QStringLiteral("\\[\\D.*?]"),
            QRegularExpression::DotMatchesEverythingOption | QRegularExpression::MultilineOption);
        auto it = variable.globalMatch(text);
        while (it.hasNext())
            found.append(it.next().captured(0));
        return found;
    }
    int from = 0;
    while (from < size) {
        const int open = text.indexOf(QLatin1Char('['), from);
        if (open < 0 || open + 1 >= size)
            break;
        const ushort first = text.at(open + 1).unicode();
        if (first >= '0' && first <= '9') {
            from = open + 1;
            continue;
        }
        const int close = text.indexOf(QLatin1Char(']'), open + 2);
        // No later "[" can find a "]" either.
        if (close < 0)
            break;
        found.append(text.mid(open, close - open + 1));
        from = close + 1;
    }
    return found;
}

RptEngine *createRptEngine()
{
    return new RptEngine();
}
