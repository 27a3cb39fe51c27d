#ifndef TIBERNEREPORT_H
#define TIBERNEREPORT_H

#include "reportengine/rptengine.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlQueryModel;

// The report builder: one print operation per office report. A caller loads the report's rows into
// a query model (normally the data hub's report query model), then calls the print operation, which
// runs the report engine on the report's template and answers every value the engine asks for from
// those rows and the caller's texts. Each print operation returns 1.
class TiberneReport : public QObject
{
    Q_OBJECT

public:
    explicit TiberneReport(QObject *parent = nullptr);
    ~TiberneReport() override;

    // The rows `model` holds now are let go once the next report run from them is over: its preview
    // closed, its file written, or its reading cancelled. A large report's rows are then not kept
    // until the next report. A report from other rows first, or another statement in the model,
    // drops the request.
    void releaseRowsAfterOutput(QSqlQueryModel *model);

    int printOwners(QSqlQueryModel *model, const QString &title = QString());
    int printTenants(QSqlQueryModel *model, bool waitingList, const QString &title = QString());
    int printBuildings(QSqlQueryModel *model, const QString &title = QString());
    int printVendors(QSqlQueryModel *model, const QString &title = QString());
    int printTenantDetails(QSqlQueryModel *model, const QString &title = QString());
    int printExpiringLeases(QSqlQueryModel *model, const QString &title);
    int printDeposits(QSqlQueryModel *model, const QStringList &texts);
    int printApartments(QSqlQueryModel *model, const QStringList &headings);
    int printBills(QSqlQueryModel *model, const QStringList &headings);
    int printEquipment(QSqlQueryModel *model, const QStringList &headings);
    int printMaintenance(QSqlQueryModel *model, const QStringList &headings);
    int printCashbook(QSqlQueryModel *model, const QStringList &headings);
    int printCashbookHeading(QSqlQueryModel *model, const QStringList &headings);
    // The cashbook's income (or expense) entries grouped by building, as ReportSql::incomeByBuilding
    // and expenseByBuilding read them, with a total for each building and one for all of them.
    int printIncomeByBuilding(QSqlQueryModel *model, const QStringList &headings);
    int printExpenseByBuilding(QSqlQueryModel *model, const QStringList &headings);
    int printPayments(QSqlQueryModel *model, const QStringList &headings);
    int printPaymentsSummary(QSqlQueryModel *model, const QStringList &headings);
    int printReceipt(QSqlQueryModel *model, const QStringList &headings);
    int printLatePayments(QSqlQueryModel *model, const QStringList &texts);

    // Tests only: while a path is set, every print operation writes its report to that PDF file
    // instead of opening the modal preview. An empty path goes back to the preview.
    static void setPdfOutputForTests(const QString &path);
    // The path set above; other printed output (the letters) follows the same switch.
    static QString pdfOutputPathForTests();

    // The money text of every amount in the reports: two decimals with the locale's grouping,
    // right-aligned in fifteen characters.
    static QString money(double amount);

    // Whether one of the print operations is running a report (its preview open included); another
    // asked for meanwhile is refused, and the rows it reads must stay as they are.
    bool isRunning() const { return running; }

public slots:
    void setValueOwner(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoOwner(DataSetInfo &dsInfo);
    void setValueTenants(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoTenants(DataSetInfo &dsInfo);
    void setValueDeposits(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoDeposits(DataSetInfo &dsInfo);
    void setValueBuildings(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoBuildings(DataSetInfo &dsInfo);
    void setValueApartments(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoApartments(DataSetInfo &dsInfo);
    void setValueBills(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoBills(DataSetInfo &dsInfo);
    void setValueEquipment(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoEquipment(DataSetInfo &dsInfo);
    void setValueVendors(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoVendors(DataSetInfo &dsInfo);
    void setValueMaintenance(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoMaintenance(DataSetInfo &dsInfo);
    void setValueTenantDetails(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoTenantDetails(DataSetInfo &dsInfo);
    void setValueCashbook(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoCashbook(DataSetInfo &dsInfo);
    void setValueCashbookHeading(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoCashbookHeading(DataSetInfo &dsInfo);
    void setValueCashbookByBuilding(const int recNo, const QString paramName, QVariant &paramValue,
                                    const int reportPage);
    void setDSInfoCashbookByBuilding(DataSetInfo &dsInfo);
    void setValuePayments(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoPayments(DataSetInfo &dsInfo);
    void setValuePaymentsSummary(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoPaymentsSummary(DataSetInfo &dsInfo);
    void setValueLatePayments(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoLatePayments(DataSetInfo &dsInfo);
    void setValueExpiringLeases(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoExpiringLeases(DataSetInfo &dsInfo);
    void setValueReceipt(const int recNo, const QString paramName, QVariant &paramValue, const int reportPage);
    void setDSInfoReceipt(DataSetInfo &dsInfo);

private:
    // One template run: load, connect the report's slot pair, preview (or PDF in tests), delete.
    void run(const QString &templatePath, const char *valueSlot, const char *dsInfoSlot);
    // What every print operation ends with once its own state is set: all of `model`'s rows read in,
    // the report answered from them, the template run. Returns 1.
    int print(QSqlQueryModel *model, const QString &templatePath, const char *valueSlot, const char *dsInfoSlot);
    // As print(), for the reports whose first caller text is also their title.
    int printTitled(QSqlQueryModel *model, const QStringList &headings, const QString &templatePath,
                    const char *valueSlot, const char *dsInfoSlot);
    // Every row of `model` read in, the progress shown; false when a report is running already or
    // the user cancelled the reading, and no report is to be run.
    bool readRows(QSqlQueryModel *model, int &rows);
    // A run from `model` is over, or its reading was cancelled: its rows go if so asked.
    void finishedWith(QSqlQueryModel *model);
    void answerStandardCount(DataSetInfo &dsInfo) const;
    int rowCount() const;
    // The row of a data field, or false when there is none to read.
    bool recordAt(int recNo, QSqlRecord &record) const;
    // The caller's text at `index`; a list shorter than the report expects gives an empty text.
    QString heading(int index) const;
    QString captionWithColon(const QString &translated) const;
    QString countTotal(const QString &translated) const;
    // The grouping text of a group of rows, from `groupFirstRow`.
    QString groupKey(const QString &key) const;
    // Late payments while a run is on: the answer for a field of `row` (a data field, the grouping
    // key or the group's sub-total), or false for a name that is none of them.
    bool answerLateRow(int row, const QString &name, QVariant &value);
    int printByBuilding(QSqlQueryModel *model, const QStringList &headings, bool expense);
    // The cashbook reports' answers from row `row` (-1 for none) that do not depend on their amounts.
    bool answerCashbookCommon(int row, const QString &paramName, QVariant &paramValue) const;
    // The row of a data field, or -1 when there is none to read (the builder has no model, or the
    // band is outside the record loop).
    int rowOf(int recNo) const;
    // The value of a column of `row`, named as in the statement ("cashbook.tdate" for a joined table's).
    QVariant cell(int row, const char *column) const;
    // The printed text of a date or an amount; while a run is on each is worked out once.
    QString shownDate(const QVariant &value) const;
    QString shownMoney(double amount) const;
    QString shownMoneyOrBlank(double amount) const;

    QSqlQueryModel *model = nullptr;
    // The model whose rows go after the next report, and the statement they came from.
    QPointer<QSqlQueryModel> rowsToRelease;
    QString statementToRelease;
    // While a run is on: the row last read and its record.
    bool running = false;
    mutable int cachedRow = -1;
    mutable QSqlRecord cachedRecord;
    // Late payments: the columns of the data fields and then of the apartment and the tenant, found
    // for the run; the row last asked for and its answers so far.
    QVector<int> lateColumns;
    int answeredRow = -1;
    QVector<QVariant> rowAnswers;
    // The columns the cashbook reports read, found once a run.
    mutable QHash<const char *, int> runColumns;
    // Late payments and the cashbook reports: the printed text of a date or an amount already met in
    // the run. Most rows repeat a date and an amount of others, and formatting them under the locale is
    // the dearest answer.
    mutable QHash<qint64, QString> shownDates;
    mutable QHash<double, QString> shownAmounts;
    bool waitingList = false;
    // Deposits: the sum of the amounts; late payments: the sum of the unpaid charges; payments: the
    // sum of the transactions' totals.
    double grandTotal = 0.0;
    QString title;
    QStringList headings;
    // Late payments, by apartment and tenant: the sum of the charges.
    QHash<QString, double> groupTotals;
    // Income or expense by building: which of the two, and by building key (empty for the office's
    // own entries) the sum of the building's amounts.
    bool expenseByBuilding = false;
    QHash<QString, double> buildingTotals;
    // Late payments by apartment and tenant, payments by transaction, the cashbook by building: the
    // row where the group first appears.
    QHash<QString, int> groupFirstRow;
};

#endif // TIBERNEREPORT_H
