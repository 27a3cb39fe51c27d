#ifndef RPTENGINE_H
#define RPTENGINE_H

#include "graphdata.h"
#include "rptbandobject.h"
#include "rptfieldobject.h"
#include "rptname.h"
#include "rptpageobject.h"
#include "rptsqlconnection.h"
#include "rpttextlayouts.h"

#include <QAction>
#include <QDomDocument>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPixmap>
#include <QPrinter>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <deque>

class QPainter;
class QPrintPreviewDialog;
class QPrintPreviewWidget;
class RptRunProgress;
class RptCrossTabObject;
class RptScriptEngine;

namespace QtCharts {
class QChart;
}

// A data set as announced to the host; the host writes `recordCount`.
struct DataSetInfo
{
    QString dataSetName;
    int reportPage = 0;
    int dataSetNo = 0;
    int recordCount = 0;
};
Q_DECLARE_METATYPE(DataSetInfo)

// A value met while collecting, for aggregates, <LineCount> and grouping.
struct CollectedValue
{
    QString fieldName;
    QVariant value;
    int recNo = 0;
    int reportPage = 0;
};

// One value in the collected list: its text, its record, and the field name and report page it
// belongs to, both kept once in the list and named here by number.
struct CollectedEntry
{
    QString value;
    int recNo = 0;
    int column = 0;
};
Q_DECLARE_TYPEINFO(CollectedEntry, Q_MOVABLE_TYPE);

// The values collected during a run. Every field of every record lands here, so the list is kept
// lean: a value is its text and its record number in blocks that never move, a record that repeats
// its predecessor's text shares that text, and the questions asked on each record (is this value
// already in, which value did this record collect, how many lines has the page) are answered from
// indexes per field name instead of by walking the list. Values are kept as text, as they are served.
class CollectedValueList
{
public:
    void append(const CollectedValue &value);
    // Empties the list; from then on every name is kept again.
    void clear();
    // From now on only the values of these names are kept; of the others only the highest record
    // number of each report page is noted.
    void keepOnly(const QSet<QString> &names);
    bool contains(const QString &fieldName, int recNo, int reportPage) const;
    // The highest record number collected on a report page, -1 when there is none.
    int highestRecNo(int reportPage) const { return m_highestRecNo.value(reportPage, -1); }
    // Whether any value was collected since the list was emptied, whether it was kept or not.
    bool anyCollected() const { return !m_highestRecNo.isEmpty(); }
    // Whether the values of this name are kept: every name's until keepOnly().
    bool keeps(const QString &fieldName) const { return m_keepAll || m_kept.contains(fieldName); }
    // Notes a record met on a report page, as append() does for a value whose name it does not keep.
    void noteRecord(int recNo, int reportPage)
    {
        auto highest = m_highestRecNo.find(reportPage);
        if (highest == m_highestRecNo.end())
            m_highestRecNo.insert(reportPage, recNo);
        else if (recNo > highest.value())
            highest.value() = recNo;
    }

    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    CollectedValue first() const { return at(0); }
    CollectedValue at(int i) const;
    const QString &valueAt(int i) const { return m_entries[size_t(i)].value; }
    int recNoAt(int i) const { return m_entries[size_t(i)].recNo; }
    int reportPageAt(int i) const { return m_columns.at(m_entries[size_t(i)].column).reportPage; }

    // The positions of one field name's values in the list, in the order they were collected.
    const QVector<int> &positionsOf(const QString &fieldName) const;
    // Appends the positions of one field name's values collected for a record, on any report page.
    void appendPositions(const QString &fieldName, int recNo, QVector<int> &positions) const;

private:
    struct Field
    {
        QString name;
        QVector<int> positions;
        // The column of each report page the name was collected on.
        QHash<int, int> columns;
        // Values the record numbers cannot place: a negative record number, or a second value of a
        // record on the same page. The engine never collects either; the list still keeps them.
        QVector<int> unplaced;
    };
    // One field name on one report page: the position of each record's value, -1 where none.
    struct Column
    {
        int field = 0;
        int reportPage = 0;
        QVector<int> byRecord;
    };
    const Field *field(const QString &fieldName) const;

    std::deque<CollectedEntry> m_entries;
    QVector<Field> m_fields;
    QVector<Column> m_columns;
    QHash<QString, int> m_fieldIndex;
    QHash<int, int> m_highestRecNo;
    bool m_keepAll = true;
    QSet<QString> m_kept;
};

struct GroupRecord
{
    int recNo = 0;
    QVariant groupValue[3];
};

// Run state shared by every engine object in the process: only one report runs at a time.
extern CollectedValueList collectedValues;
extern QVector<GroupRecord> groupRecords;
extern QList<int> level0RecNos;
extern QList<int> level1RecNos;
extern QList<int> level2RecNos;

// The report colour text "rgba(r,g,b,a)".
QString colorToString(const QColor &color);
QColor colorFromString(const QString &text);

// The report engine: loads a template, pulls values from its host through signals, lays the
// pages out and shows, prints or exports them.
class RptEngine : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<RptPageObject *> pageList READ pageList)

public:
    explicit RptEngine(QObject *parent = nullptr);
    ~RptEngine() override;

    // Loading
    bool loadReport(const QString &fileName);
    bool loadReport(const QDomDocument &doc);
    void makeReportObjectStructure();
    void clearObject();
    QDomDocument xmlDoc() const { return m_xmlDoc; }
    QList<RptPageObject *> pageList() const { return m_pageList; }
    QString globalScript() const { return m_globalScript; }

    // Output set-up
    bool setPrinter(QPrinter *printer);
    bool setPainter(QPainter *painter);
    void setResolution(QPrinter::PrinterMode resolution) { m_resolution = resolution; }
    QPrinter::PrinterMode resolution() const { return m_resolution; }
    void setBackgroundImage(QPixmap &pixmap);
    void setBackgroundImage(const QPixmap &pixmap);
    void setBackgroundImageOpacity(float opacity) { m_watermarkOpacity = opacity; }
    void setUserSqlConnection(int pageNo, QString dsName, QString dbType, QString dbName,
                              QString dbHost, QString dbUser, QString dbPassword, int dbPort,
                              QString dbConnectionName, QString sqlQuery, QString dbCoding,
                              QString charsetCoding);
    RptSqlConnection userSqlConnection() const { return m_userSqlConnection; }

    // Data sets and record counts
    void announceDataSets(int reportPage);
    QList<DataSetInfo> dataSetList() const { return m_dataSetList; }
    void clearDataSetList() { m_dataSetList.clear(); }
    bool setRecCount(int reportPage, int dataSetNo, int recCount);
    bool setRecCount(int reportPage, const QString &dataSetName, int recCount);
    int getRecCount(int reportPage, int dataSetNo) const;
    int getRecCount(int reportPage, const QString &dataSetName) const;

    // Template helpers
    static RptName::FieldType getFieldType(const QDomElement &e);
    static QString getFieldTypeName(RptName::FieldType type);
    static QDomElement getBand(RptName::BandType type, const QDomElement &page);
    static Qt::Alignment getAligment(const QDomElement &e);
    static QStringList splitStringOnVariable(const QString &text);

    // Data sources of a report page
    void openDataSource(int &pageNo);
    void setUserSqlConnection(int &pageNo, const RptSqlConnection &connection);
    void activateUserSqlConnection(int pageNo, bool active);
    void getUserSqlConnection(int &pageNo, RptSqlConnection &connection);

    // Field values and expressions
    QString sectionField(RptBandObject *band, QString value, bool noExpressions, bool collect,
                         const QString &format);
    QString stringPreprocessing(QString text, const QString &format);
    QVariant getInternalVariable(const QString &name, const QString &format);
    QString sectionValue(QString paramName, int recNo);
    QString getVariableValue(QString text, bool quoteStrings);
    bool isFieldVisible(RptFieldObject *field);
    QVariant processHighligthing(RptFieldObject *field, RptName::HiType kind);
    QImage sectionFieldImage(QString value);
    void fillListOfValue(RptBandObject *band);
    static QString getFormattedValue(const QString &value, const QString &format);
    void processGlobalScript();
    RptScriptEngine *scriptEngine() const { return m_scriptEngine; }

    // The record, page and line in hand while a report runs.
    int currentRecord() const { return m_recNo; }
    void setCurrentRecord(int recNo) { m_recNo = recNo; }
    int currentReportPage() const { return m_currentReportPage; }
    void setCurrentReportPage(int page) { m_currentReportPage = page; }
    int lineCounter() const { return m_lineNo; }
    void setLineCounter(int lineNo) { m_lineNo = lineNo; }
    quint16 pageCounter() const { return m_pageCounter; }
    void setPageCounter(quint16 page) { m_pageCounter = page; }
    int totalPages() const { return m_totalPages; }
    void setTotalPages(int pages) { m_totalPages = pages; }

    // Preview, printing and export
    void printExec(bool maximum, bool direct, QString printerName);
    // A file output: false when no file was written, the run cancelled or the file refused (which
    // is told through outputFailed).
    bool printPDF(const QString &fileName, bool open);
    bool printHTML(const QString &fileName, bool open);
    void printXLSX(const QString &fileName, bool open);
    bool eventFilter(QObject *object, QEvent *event) override;
    // Whether the user stopped the last run with the progress dialog's Cancel.
    bool lastRunCancelled() const { return m_runCancelled; }
    // Whether a report run is on in this process; a second one is refused while it is.
    static bool runInProgress();
    // The pages of memory freed since the last call handed back to the system (the C library keeps
    // them for the process until told).
    static void giveBackFreedMemory();

    int printMode = 0; // 0 printer or preview, 1 PDF, 2 HTML, 3 spreadsheet cells
    double verticalScale = 1.0;
    double horizontalScale = 1.0;

signals:
    void setValue(const int recNo, const QString paramName, QVariant &paramValue,
                  const int reportPage);
    void setField(RptFieldObject &fieldObject);
    void setValueImage(const int recNo, const QString paramName, QImage &paramValue,
                       const int reportPage);
    void setValueDiagram(GraphDataList &data);
    void setChart(RptFieldObject &fieldObject, QtCharts::QChart &chart);
    void newPage(int page);
    void setDSInfo(DataSetInfo &dsInfo);
    void previewDestroyed();
    // A save or a print to a file could not write `fileName`, for `reason` (the system's words).
    void outputFailed(const QString &fileName, const QString &reason);

public slots:
    void printPreview(QPrinter *printer);
    void exportTo();

private slots:
    void previewClosed();
    // The preview asks for a run: a repaint, or a print, to a printer or a file.
    void previewPaintRequested(QPrinter *printer);

private:
    // The run (pages and bands)
    void processReport(QPrinter *printer, bool draw, int &pageReport, bool firstPage);
    void setPageSettings(QPrinter *printer, int pageReport);
    void newPage(QPrinter *printer, int &y, bool draw, bool newReportPage);
    void processPHeader(int &y, bool draw);
    void processRTitle(int &y, bool draw);
    void processPFooter(bool draw);
    void processMHeader(int &y, int dataSetNo, bool draw, int &pageReport);
    void processMasterData(QPrinter *printer, int &y, bool draw, int &pageReport, int dataSetNo,
                           QList<int> records);
    void processMFooter(QPrinter *printer, int &y, int dataSetNo, bool draw, int &pageReport);
    void processGroupHeader(QPrinter *printer, int &y, bool draw, int &pageReport);
    void processRSummary(QPrinter *printer, int &y, bool draw, int &pageReport);
    void drawBackground(bool draw);
    bool allowPrintPage(bool draw, int page) const;
    // The progress dialog's turn before a row (one more laid out when `nextRow`; the grouping's look
    // at every row counts none): false once the user has cancelled the run.
    bool keepGoing(bool nextRow = true);
    bool stopped() const;
    // Throws away what a cancelled print on `printer` started.
    void discardPrint(QPrinter *printer);
    // The run state of the process given back once an output is done with it.
    static void releaseRunState();
    // The names whose collected values the run reads (its grouping), or false when it may read any
    // (an aggregate in the template).
    bool namesRead(QSet<QString> &names) const;

    // Field drawing
    void drawBandRow(RptBandObject *band, int top, bool allowDraw);
    void drawFields(RptFieldObject *field, int top, bool draw);
    void drawLines(RptFieldObject *field, int top);
    QPen getPen(RptFieldObject *field);
    static Qt::PenStyle getPenStyle(const QString &style);
    void setFont(RptFieldObject *field);
    static QSet<int> getDrawingFields();
    QImage sectionValueImage(QString value);
    void drawFieldText(QPainter *painter, QString text, QFont font, QColor fontColor, QRectF rect,
                       int flags, int renderingMode, int rotate);
    QString buildFieldHtml(QString text, QRectF rect, int flags, QFont font, QColor fontColor,
                           int rotate);
    // The script's own functions run around a field: "<name>BeforeData" and "<name>AfterData".
    const RptFieldObject::ScriptHooks &fieldHooks(RptFieldObject *field);

    QList<RptPageObject *> m_pageList;
    QPixmap *m_watermark = nullptr;
    QPrinter *m_printer = nullptr;
    QPainter *m_painter = nullptr;
    // The plain texts of the run being drawn, each laid out once.
    RptTextLayouts m_textLayouts;
    int m_recNo = 0;
    int m_lineNo = 0;
    int m_currentReportPage = 0;
    int m_pageHeight = 0;
    int m_pageWidth = 0;
    int m_marginLeft = 0;
    int m_marginRight = 0;
    int m_marginTop = 0;
    int m_marginBottom = 0;
    quint16 m_pageCounter = 0;
    int m_totalPages = 0;
    int m_orientation = 0;
    float m_watermarkOpacity = 1.0f;
    RptSqlConnection m_userSqlConnection;
    QString m_globalScript;
    RptScriptEngine *m_scriptEngine = nullptr;
    QPrintPreviewWidget *m_preview = nullptr;
    QPrintPreviewDialog *m_previewDialog = nullptr;
    RptRunProgress *m_progress = nullptr;
    bool m_drawing = false;
    int m_rowsDone = 0;
    bool m_runCancelled = false;
    QList<QAction *> m_previewActions;
    QDomDocument m_xmlDoc;
    int m_fromPage = 0;
    int m_toPage = 0;
    QList<DataSetInfo> m_dataSetList;
    QString m_html;
    RptCrossTabObject *m_cellCollector = nullptr;
    QPrinter::PrinterMode m_resolution = QPrinter::HighResolution;
    // Our own copy of a watermark handed over by value.
    QPixmap m_ownWatermark;
};

extern "C" Q_DECL_EXPORT RptEngine *createRptEngine();

#endif // RPTENGINE_H
