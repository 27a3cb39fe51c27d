// What the display models show and write, and when the table view reports a new current row.

#include "datahub/msgbox.h"
#include "datahub/qcustomtableview.h"
#include "datahub/qsqldoublequerymodel.h"
#include "datahub/qsqldoublerelationaltablemodel.h"
#include "datahub/qsupersqlrelationaltablemodel.h"
#include "datahub/quniversalsqltablemodel.h"
#include "datahub/sqldoubletablemodel.h"
#include "datahub/sqltenantsmodel.h"
#include "datahub/xdatasource.h"
#include "datahub/recurmodel.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardItemModel>

#include <functional>

namespace {
const QVariant RightAligned = int(Qt::AlignRight | Qt::AlignVCenter);
}

class TestModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void moneyColumns_data();
    void moneyColumns();
    void tenantsIncomeIsFormattedButNotAligned();
    void convertersShowWordsAndKeepCodes();
    void queryModelPlacesAndSignal();
    void recurShowsCompletionAsYesNoAndStoresTheFlag();
    void viewReportsCurrentRow();
    void relationalStatementFollowsFilterAndSort();

private:
    void exec(const QString &sql);

    TestDatabase *m_copy = nullptr;
    QSqlDatabase m_db;
};

void TestModels::initTestCase()
{
    MsgBox::setTestMode(true);
    m_copy = new TestDatabase(QStringLiteral("DATA.FDB"));
    QVERIFY(m_copy->isValid());
    m_db = m_copy->open();
    QVERIFY(m_db.isOpen());
    exec("create table scratch (id integer not null primary key, name varchar(40), amount double precision, "
         "code integer)");
    exec("insert into scratch values (1, 'alpha', 1234.5, 3)");
    exec("insert into scratch values (2, 'beta', null, null)");
    exec("insert into scratch values (3, 'gamma', 0.125, 0)");
    exec("insert into tenants (tid, id, income) values (1, 'T1', 1234.5)");
}

void TestModels::cleanupTestCase()
{
    m_db = QSqlDatabase();
    delete m_copy;
    MsgBox::setTestMode(false);
}

void TestModels::exec(const QString &sql)
{
    QSqlQuery q(m_db);
    QVERIFY2(q.exec(sql), qPrintable(sql + ": " + q.lastError().text()));
}

template <class Model>
static void openScratch(Model &model)
{
    model.setTable("SCRATCH");
    model.setEditStrategy(QSqlTableModel::OnManualSubmit);
    model.setSort(0, Qt::AscendingOrder);
    QVERIFY(model.select());
}

void TestModels::moneyColumns_data()
{
    QTest::addColumn<bool>("relational");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");

    for (bool relational : {false, true}) {
        const char *kind = relational ? "relational" : "plain";
        QTest::addRow("%s: two decimals", kind) << relational << 0 << 2 << int(Qt::DisplayRole) << QVariant("1234.50");
        QTest::addRow("%s: edit role formatted too", kind) << relational << 0 << 2 << int(Qt::EditRole) << QVariant("1234.50");
        QTest::addRow("%s: rounded", kind) << relational << 2 << 2 << int(Qt::DisplayRole) << QVariant("0.13");
        QTest::addRow("%s: null shows zero", kind) << relational << 1 << 2 << int(Qt::DisplayRole) << QVariant("0.00");
        QTest::addRow("%s: right-aligned", kind) << relational << 0 << 2 << int(Qt::TextAlignmentRole) << RightAligned;
        QTest::addRow("%s: unlisted column untouched", kind) << relational << 0 << 3 << int(Qt::DisplayRole) << QVariant(3);
        QTest::addRow("%s: unlisted column not aligned", kind) << relational << 0 << 3 << int(Qt::TextAlignmentRole) << QVariant();
    }
}

void TestModels::moneyColumns()
{
    QFETCH(bool, relational);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, role);
    QFETCH(QVariant, expected);

    SqlDoubleTableModel plain(nullptr, m_db);
    QSqlDoubleRelationalTableModel related(nullptr, m_db);
    QSqlTableModel *model = &plain;
    if (relational) {
        related.doubleColumns() << 2;
        openScratch(related);
        model = &related;
    } else {
        plain.doubleColumns() << 2;
        openScratch(plain);
    }
    const QVariant value = model->data(model->index(row, column), role);
    QCOMPARE(value.toString(), expected.toString());
    QCOMPARE(value.isValid(), expected.isValid());
    QVERIFY(!model->data(QModelIndex(), role).isValid());
}

void TestModels::tenantsIncomeIsFormattedButNotAligned()
{
    SqlTenantsModel model(nullptr, m_db);
    model.setTable("TENANTS");
    QVERIFY(model.select());
    QCOMPARE(model.data(model.index(0, 23)).toString(), QString("1234.50"));
    QVERIFY(!model.data(model.index(0, 23), Qt::TextAlignmentRole).isValid());
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("T1"));
}

void TestModels::convertersShowWordsAndKeepCodes()
{
    QUniversalSqlTableModel model(nullptr, m_db);
    model.converters().insert(3, &XDataSource::priorityText);
    openScratch(model);
    QCOMPARE(model.data(model.index(0, 3)).toString(), QString("HIGH"));
    QCOMPARE(model.data(model.index(0, 3), Qt::EditRole).toString(), QString("HIGH"));
    QCOMPARE(model.data(model.index(0, 3), Qt::UserRole).toInt(), 3);
    QCOMPARE(model.data(model.index(2, 3)).toString(), QString("NORMAL"));
    QVERIFY(model.data(model.index(1, 3)).isNull());
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("alpha"));
}

void TestModels::queryModelPlacesAndSignal()
{
    QSqlDoubleQueryModel model;
    QSignalSpy changed(&model, &QSqlDoubleQueryModel::queryChanged);
    model.setDoubleColumn(1, 2);
    model.setQuery("select id, amount, code from scratch order by id", m_db);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("1234.50"));
    QCOMPARE(model.data(model.index(0, 1), Qt::TextAlignmentRole), RightAligned);
    QCOMPARE(model.data(model.index(0, 2)).toInt(), 3);
    QVERIFY(!model.data(model.index(0, 2), Qt::TextAlignmentRole).isValid());

    model.setDoubleColumn(1, 4);
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("1234.5000"));

    MsgBox::clearShown();
    model.setQuery("select * from nosuchtable", m_db);
    QCOMPARE(changed.count(), 2);
    QVERIFY(model.lastError().isValid());
    // Told, rather than shown as a list without rows.
    QCOMPARE(MsgBox::shownTexts().size(), 1);
    QVERIFY2(MsgBox::shownTexts().constFirst().contains("NOSUCHTABLE"), qPrintable(MsgBox::shownTexts().constFirst()));
}

void TestModels::recurShowsCompletionAsYesNoAndStoresTheFlag()
{
    exec("insert into recur (recid, type, amount, freq, tid, completed, apid) values (1, 'Rent', 500, 3, 1, 0, 1)");
    exec("insert into recur (recid, type, amount, freq, tid, completed, apid) values (2, 'Water', 20, 3, 1, 1, 1)");
    RecurModel model(nullptr, m_db);
    model.setTable("RECUR");
    model.setEditStrategy(QSqlTableModel::OnManualSubmit);
    model.setSort(0, Qt::AscendingOrder);
    model.doubleColumns() << 2 << 3 << 8;
    model.setRelation(4, QSqlRelation("FREQUENCY", "FREQID", "NAME"));
    QVERIFY(model.select());
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.data(model.index(0, 10)).toString(), QString("No"));
    QCOMPARE(model.data(model.index(1, 10), Qt::EditRole).toString(), QString("Yes"));
    QCOMPARE(model.data(model.index(0, 2)).toString(), QString("500.00"));

    // A new bill goes to the table with its flag as a number, not as the word the list shows.
    const int row = model.rowCount();
    QVERIFY(model.insertRow(row));
    XDataSource::setCellValue(&model, 0, row, 3);
    XDataSource::setCellValue(&model, 1, row, "Parking");
    XDataSource::setCellValue(&model, 4, row, 5);
    XDataSource::setCellValue(&model, 10, row, 1);
    QVERIFY(model.submitRow(row, true, false));
    QCOMPARE(m_copy->scalar("select completed from recur where recid = 3").toInt(), 1);
    QCOMPARE(m_copy->scalar("select freq from recur where recid = 3").toInt(), 5);
    QCOMPARE(model.data(model.index(2, 10)).toString(), QString("Yes"));
}

void TestModels::viewReportsCurrentRow()
{
    QStandardItemModel model(3, 2);
    QCustomTableView view;
    view.setModel(&model);
    view.show();
    QSignalSpy spy(&view, &QCustomTableView::indexChanged);

    view.setCurrentIndex(model.index(1, 0));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.takeFirst().at(0).toModelIndex(), model.index(1, 0));

    // A moving arrow key reports twice: once for the move, once for the key.
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toModelIndex().row(), 2);
    spy.clear();

    // At the last row Down moves nothing and still reports the unchanged row.
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.takeFirst().at(0).toModelIndex().row(), 2);

    QTest::keyClick(&view, Qt::Key_Up);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toModelIndex().row(), 1);
    spy.clear();

    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(spy.count(), 1); // a move, but no Up/Down report
    spy.clear();
    QTest::keyClick(&view, Qt::Key_A);
    QCOMPARE(spy.count(), 0);
}

namespace {
template <class Base>
class StatementOf : public Base
{
public:
    using Base::Base;
    using Base::selectStatement;
};
}

void TestModels::relationalStatementFollowsFilterAndSort()
{
    exec("insert into recur (recid, type, amount, freq, tid, completed, apid) values (11, 'Rent', 700, 3, 1, 0, 7)");
    exec("insert into recur (recid, type, amount, freq, tid, completed, apid) values (12, 'Gas', 30, 5, 1, 0, 7)");
    exec("insert into recur (recid, type, amount, freq, tid, completed, apid) values (13, 'O''Neil fee', 5, 3, 1, 0, 8)");
    // The program's model keeps the statement it composed; Qt's own composes it afresh every time.
    StatementOf<QSuperSqlRelationalTableModel> kept(nullptr, m_db);
    StatementOf<QSqlRelationalTableModel> fresh(nullptr, m_db);
    const auto both = [&](const std::function<void(QSqlRelationalTableModel &)> &step) {
        step(kept);
        step(fresh);
    };
    both([](QSqlRelationalTableModel &model) {
        model.setJoinMode(QSqlRelationalTableModel::LeftJoin);
        model.setTable("RECUR");
        model.setEditStrategy(QSqlTableModel::OnManualSubmit);
        model.setSort(0, Qt::AscendingOrder);
        model.setRelation(4, QSqlRelation("FREQUENCY", "FREQID", "NAME"));
        model.select();
    });
    const auto same = [&](const char *step) {
        QVERIFY2(kept.selectStatement() == fresh.selectStatement(), step);
        QVERIFY2(kept.rowCount() == fresh.rowCount(), step);
        for (int row = 0; row < fresh.rowCount(); ++row) {
            for (int column : {0, 1, 4})
                QVERIFY2(kept.data(kept.index(row, column)) == fresh.data(fresh.index(row, column)), step);
        }
    };
    same("all bills");
    both([](QSqlRelationalTableModel &model) { model.setFilter("apid = 7"); });
    same("one apartment");
    QCOMPARE(kept.rowCount(), 2);
    // A changed row shows the related text of its new key, which the statement never read.
    both([](QSqlRelationalTableModel &model) { model.setData(model.index(0, 4), 5); });
    same("a changed bill");
    QSqlQuery frequency(m_db);
    QVERIFY(frequency.exec("select name from frequency where freqid = 5") && frequency.next());
    QCOMPARE(kept.data(kept.index(0, 4)).toString(), frequency.value(0).toString());
    both([](QSqlRelationalTableModel &model) { model.setFilter("apid = 8"); });
    same("the next apartment");
    both([](QSqlRelationalTableModel &model) { model.setFilter("type = 'O''Neil fee'"); });
    same("a quoted filter");
    QCOMPARE(kept.rowCount(), 1);
    both([](QSqlRelationalTableModel &model) {
        model.setSort(4, Qt::DescendingOrder);
        model.setFilter("apid = 7");
    });
    same("another order");
    both([](QSqlRelationalTableModel &model) { model.setSort(0, Qt::AscendingOrder); });
    same("the key order again");
    both([](QSqlRelationalTableModel &model) {
        model.setRelation(4, QSqlRelation("FREQUENCY", "FREQID", "FREQID"));
        model.setFilter(QString());
    });
    same("another relation");
    both([](QSqlRelationalTableModel &model) { model.setTable("FREQUENCY"); model.select(); });
    same("another table");
}

VELLORAN_TEST_MAIN(TestModels)
#include "tst_models.moc"
