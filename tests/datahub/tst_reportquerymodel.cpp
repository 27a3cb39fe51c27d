// The hub's report rows are kept packed; every value must come back as the stock query model reads it
// from the driver, over more than one fetch, with the model's signals as views expect them.
#include "testhub.h"

#include "datahub/reportquerymodel.h"

#include <QAbstractItemModelTester>
#include <QSqlRecord>
#include <QTest>

class TestReportQueryModel : public QObject
{
    Q_OBJECT

private slots:
    void valuesComeBackAsTheDriverGivesThem();
    void refusedStatementIsToldAndClearLetsGo();
};

namespace {

// Every kind of value a report reads: keys, dates, amounts, texts that repeat and texts that do not,
// a wide integer, a timestamp, and empty values of each, in more rows than one fetch brings.
const char *const EveryKind =
    "select c.chid, c.fordate, c.type, c.amt, x.lastname || ' ' || c.chid as once, x.firstname, "
    "cast(c.chid as bigint) * 100000000 as wide, cast(c.fordate as timestamp) as stamp, "
    "case when mod(c.chid, 3) = 0 then null else c.apid end as apid, "
    "case when mod(c.chid, 4) = 0 then null else c.fordate end as due, "
    "case when mod(c.chid, 5) = 0 then null else x.lastname end as surname, "
    "case when mod(c.chid, 6) = 0 then null else c.amt end as owed "
    "from charges c cross join (select first 2 tid from tenants order by tid) two "
    "left join tenants x on x.tid = c.tid order by c.chid, two.tid";

void fetchAll(QAbstractItemModel *model)
{
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());
}

} // namespace

void TestReportQueryModel::valuesComeBackAsTheDriverGivesThem()
{
    TestHub t;
    QVERIFY(t.opened);
    auto *packed = qobject_cast<ReportQueryModel *>(t.hub->reportQueryModel());
    QVERIFY(packed);
    packed->setDoubleColumn(3, 2);
    packed->setQuery(QString::fromLatin1(EveryKind), QSqlDatabase::database());
    QVERIFY(!packed->lastError().isValid());

    // The kind of model the hub had for its reports, reading the same statement the stock way.
    QSqlDoubleQueryModel stock;
    stock.setDoubleColumn(3, 2);
    stock.setQuery(QString::fromLatin1(EveryKind), QSqlDatabase::database());
    QVERIFY(!stock.lastError().isValid());
    // A view sees the rows come in batches, as from the stock model.
    QCOMPARE(packed->rowCount(), stock.rowCount());
    QVERIFY(packed->canFetchMore());

    // Read again under the eyes of a tester of the model's signals and answers.
    QAbstractItemModelTester tester(packed, QAbstractItemModelTester::FailureReportingMode::QtTest);
    packed->setQuery(QString::fromLatin1(EveryKind), QSqlDatabase::database());
    fetchAll(packed);
    fetchAll(&stock);
    QVERIFY(stock.rowCount() > 400);
    QCOMPARE(packed->rowCount(), stock.rowCount());
    QCOMPARE(packed->columnCount(), stock.columnCount());
    QCOMPARE(packed->record(), stock.record());

    int nulls = 0;
    for (int row = 0; row < stock.rowCount(); ++row) {
        const QSqlRecord expected = stock.record(row);
        QCOMPARE(packed->record(row), expected);
        for (int column = 0; column < stock.columnCount(); ++column) {
            const QVariant want = stock.data(stock.index(row, column), Qt::EditRole);
            const QVariant got = packed->data(packed->index(row, column), Qt::EditRole);
            nulls += want.isNull() ? 1 : 0;
            const QString where = QStringLiteral("row %1 column %2").arg(row).arg(column);
            QVERIFY2(got.userType() == want.userType() && got.isNull() == want.isNull() && got == want,
                     qPrintable(where));
            QCOMPARE(packed->data(packed->index(row, column)), stock.data(stock.index(row, column)));
        }
    }
    QVERIFY(nulls > 0);
    for (int column : {0, 3})
        QCOMPARE(packed->data(packed->index(0, column), Qt::TextAlignmentRole),
                 stock.data(stock.index(0, column), Qt::TextAlignmentRole));
    QVERIFY(!packed->data(packed->index(stock.rowCount(), 0)).isValid());
}

void TestReportQueryModel::refusedStatementIsToldAndClearLetsGo()
{
    TestHub t;
    QVERIFY(t.opened);
    QSqlDoubleQueryModel *rows = t.hub->reportQueryModel();
    MsgBox::clearShown();
    rows->setQuery(QStringLiteral("select nosuchcolumn from charges"), QSqlDatabase::database());
    QVERIFY(rows->lastError().isValid());
    QCOMPARE(rows->rowCount(), 0);
    QCOMPARE(MsgBox::shownTexts().size(), 1);
    QVERIFY2(MsgBox::shownTexts().first().startsWith("Unable to read data: ")
                 && MsgBox::shownTexts().first().contains("NOSUCHCOLUMN"),
             qPrintable(MsgBox::shownTexts().first()));

    // The next statement reads well again, and clearing lets its rows and statement go.
    rows->setQuery(QStringLiteral("select chid from charges"), QSqlDatabase::database());
    QVERIFY(!rows->lastError().isValid());
    QVERIFY(rows->rowCount() > 0);
    rows->clear();
    QCOMPARE(rows->rowCount(), 0);
    QVERIFY(!rows->canFetchMore());
    QVERIFY(rows->query().lastQuery().isEmpty());
}

QTEST_MAIN(TestReportQueryModel)
#include "tst_reportquerymodel.moc"
