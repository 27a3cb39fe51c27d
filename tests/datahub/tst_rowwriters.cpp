// The row writers of the data hub and the one-row transactions of the row-writing models, on scratch
// tables in a private copy of the working database.

#include "datahub/scopedtransaction.h"
#include "datahub/xdatasource.h"
#include "testdatabase.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QStandardItemModel>
#include <QTableView>

class TestRowWriters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void writersAreKeyedOnFieldZero();
    void relationalWritersBindTheRelationKey();
    void writeRuleChoosesTheStatement_data();
    void writeRuleChoosesTheStatement();
    void callersOpenTransactionIsKept();
    void rowGoesIntoTheHeldTransaction();
    void failedWriteRollsBackAndReverts();
    void storedValuesAreWrittenNotDisplayText();
    void currentRowAfterWrite();
    void utilities();
    void scopedTransactionCommitsOrRollsBackAndNeverNests();

private:
    void exec(const QString &sql);
    int count(const QString &where) { return m_copy->scalar("select count(*) from scratch where " + where).toInt(); }
    template <class Model> void open(Model &model, bool related = false);

    TestDatabase *m_copy = nullptr;
    QSqlDatabase m_db;
};

void TestRowWriters::initTestCase()
{
    m_copy = new TestDatabase(QStringLiteral("DATA.FDB"));
    QVERIFY(m_copy->isValid());
    m_db = m_copy->open();
    QVERIFY(m_db.isOpen());
    exec("create table scratch (id integer not null primary key, name varchar(40), amount double precision, "
         "code integer, kind integer)");
    exec("create table kinds (kid integer not null primary key, kname varchar(20))");
    exec("create generator gen_scratch_id");
    exec("create trigger scratch_bi for scratch before insert as begin "
         "if (new.id is null) then new.id = gen_id(gen_scratch_id, 1000); end");
    exec("insert into kinds values (1, 'one')");
    exec("insert into kinds values (2, 'two')");
}

void TestRowWriters::init()
{
    QSqlDatabase::database().driver()->rollbackTransaction();
    exec("delete from scratch");
    exec("insert into scratch values (1, 'alpha', 10.5, 0, 1)");
    exec("insert into scratch values (2, 'beta', 20, 3, 2)");
    exec("insert into scratch values (3, 'gamma', 30, 1, 1)");
}

void TestRowWriters::cleanupTestCase()
{
    m_db = QSqlDatabase();
    delete m_copy;
}

void TestRowWriters::exec(const QString &sql)
{
    QSqlQuery q(m_db);
    QVERIFY2(q.exec(sql), qPrintable(sql + ": " + q.lastError().text()));
}

template <class Model>
void TestRowWriters::open(Model &model, bool related)
{
    model.setTable("SCRATCH");
    model.setEditStrategy(QSqlTableModel::OnManualSubmit);
    model.setSort(0, Qt::AscendingOrder);
    if constexpr (std::is_base_of<QSqlRelationalTableModel, Model>::value) {
        if (related)
            model.setRelation(4, QSqlRelation("KINDS", "KID", "KNAME"));
    }
    QVERIFY(model.select());
    QCOMPARE(model.rowCount(), 3);
}

void TestRowWriters::writersAreKeyedOnFieldZero()
{
    QSuperSqlTableModel model(nullptr, m_db);
    open(model);
    model.setData(model.index(1, 1), "changed");
    QVERIFY(XDataSource::updateRow(&model, 1));
    QCOMPARE(count("id = 2 and name = 'changed' and amount = 20"), 1);
    QCOMPARE(count("name = 'alpha'"), 1);

    QVERIFY(XDataSource::deleteRow(&model, 2));
    QCOMPARE(count("id = 3"), 0);

    // Only the fields set in the new row are written; the rest take the table's defaults.
    QVERIFY(model.insertRow(3));
    model.setData(model.index(3, 0), 7);
    model.setData(model.index(3, 1), "new");
    QVERIFY(XDataSource::insertRow(&model, 3));
    QCOMPARE(count("id = 7 and name = 'new' and amount is null"), 1);

    // A statement the database refuses (a key already taken) reports false and changes nothing.
    model.setData(model.index(3, 0), 1);
    QVERIFY(!XDataSource::insertRow(&model, 3));
    QCOMPARE(count("id = 1 and name = 'alpha'"), 1);
}

void TestRowWriters::relationalWritersBindTheRelationKey()
{
    QSqlRelationalTableModel model(nullptr, m_db);
    open(model, true);
    QCOMPARE(model.data(model.index(0, 4)).toString(), QString("one"));
    model.setData(model.index(0, 4), 2);
    model.setData(model.index(0, 1), "relinked");
    QVERIFY(XDataSource::updateRelationalRow(&model, 0));
    QCOMPARE(count("id = 1 and kind = 2 and name = 'relinked' and amount = 10.5"), 1);

    QVERIFY(model.insertRow(3));
    model.setData(model.index(3, 0), 9);
    model.setData(model.index(3, 4), 1);
    QVERIFY(XDataSource::insertRelationalRow(&model, 3));
    QCOMPARE(count("id = 9 and kind = 1"), 1);

    QVERIFY(XDataSource::deleteRelationalRow(&model, 1));
    QCOMPARE(count("id = 2"), 0);
}

void TestRowWriters::writeRuleChoosesTheStatement_data()
{
    QTest::addColumn<bool>("related");
    QTest::addColumn<int>("row"); // -1: a new row
    QTest::addColumn<QVariant>("key");
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("rows");

    for (bool related : {false, true}) {
        const char *kind = related ? "relational" : "plain";
        QTest::addRow("%s: new row with a key from the generator is inserted", kind)
            << related << -1 << QVariant(50) << "id = 50 and name = 'written'" << 4;
        QTest::addRow("%s: new row without a key is inserted", kind)
            << related << -1 << QVariant() << "id >= 1000 and name = 'written'" << 4;
        QTest::addRow("%s: existing row is updated", kind) << related << 1 << QVariant() << "id = 2 and name = 'written'" << 3;
        // Setting the value a cell already holds leaves nothing to write; the row stays as it was.
        QTest::addRow("%s: row without changes writes nothing", kind) << related << 0 << QVariant() << "name = 'alpha'" << 3;
    }
}

void TestRowWriters::writeRuleChoosesTheStatement()
{
    QFETCH(bool, related);
    QFETCH(int, row);
    QFETCH(QVariant, key);
    QFETCH(QString, where);
    QFETCH(int, rows);

    QSuperSqlTableModel plain(nullptr, m_db);
    QSuperSqlRelationalTableModel relational(nullptr, m_db);
    QSqlTableModel *model = related ? static_cast<QSqlTableModel *>(&relational) : &plain;
    if (related)
        open(relational, true);
    else
        open(plain);
    if (row < 0) {
        row = model->rowCount();
        QVERIFY(model->insertRow(row));
        if (key.isValid())
            model->setData(model->index(row, 0), key);
        if (related) // the relation is an inner join: a row without a kind is not listed
            model->setData(model->index(row, 4), 1);
    }
    model->setData(model->index(row, 1), row == 0 ? "alpha" : "written");
    QVERIFY(related ? relational.submitRow(row, true, false) : plain.submitRow(row, true, false));
    QCOMPARE(count(where), 1);
    QCOMPARE(count("id > 0"), rows);
    QCOMPARE(model->rowCount(), rows);
}

void TestRowWriters::callersOpenTransactionIsKept()
{
    QSuperSqlTableModel model(nullptr, m_db);
    open(model);
    QVERIFY(m_db.transaction());
    exec("insert into scratch (id, name) values (60, 'left open')");
    model.setData(model.index(0, 1), "own write");
    // The row is refused rather than given a transaction by throwing away someone else's work.
    QVERIFY(!model.submitRow(0, true, false));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("alpha"));
    QVERIFY(m_db.commit());
    QCOMPARE(count("id = 60"), 1);
    QCOMPARE(count("name = 'own write'"), 0);
}

// A window that holds its transaction while an editor writes rows beside its record.
void TestRowWriters::rowGoesIntoTheHeldTransaction()
{
    QSuperSqlTableModel model(nullptr, m_db);
    open(model);
    {
        ScopedTransaction held;
        QVERIFY(held.isActive());
        model.setData(model.index(0, 1), "held write");
        QVERIFY(model.submitRow(0, false, false));
        QVERIFY(ScopedTransaction::anyOpen());
        QCOMPARE(count("name = 'held write'"), 0);
    }
    QCOMPARE(count("name = 'held write'"), 0);
    {
        ScopedTransaction held;
        model.setData(model.index(0, 1), "held write");
        QVERIFY(model.submitRow(0, false, false));
        QVERIFY(held.commit());
    }
    QCOMPARE(count("name = 'held write'"), 1);
}

void TestRowWriters::failedWriteRollsBackAndReverts()
{
    QSuperSqlTableModel model(nullptr, m_db);
    open(model);
    QVERIFY(model.insertRow(3));
    model.setData(model.index(3, 0), 2); // taken by "beta"
    model.setData(model.index(3, 1), "clash");
    QVERIFY(!model.submitRow(3, true, false));
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(count("name = 'clash'"), 0);

    // Too long for the column: the update is refused and the row shows its stored value again.
    model.setData(model.index(0, 1), QString(60, QLatin1Char('x')));
    QVERIFY(!model.submitRowInView(0, true, false, nullptr));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("alpha"));

    QSuperSqlRelationalTableModel relational(nullptr, m_db);
    open(relational, true);
    QVERIFY(relational.insertRow(3));
    relational.setData(relational.index(3, 0), 3);
    relational.setData(relational.index(3, 4), 2);
    QVERIFY(!relational.submitRow(3, true, false));
    QCOMPARE(relational.rowCount(), 3);

    // Nothing was left open: the next write goes through on its own.
    model.setData(model.index(0, 1), "after failure");
    QVERIFY(model.submitRow(0, true, false));
    QCOMPARE(count("name = 'after failure'"), 1);
}

void TestRowWriters::storedValuesAreWrittenNotDisplayText()
{
    SqlDoubleTableModel money(nullptr, m_db);
    money.doubleColumns() << 2;
    open(money);
    money.setData(money.index(0, 2), 1234.5678);
    QVERIFY(money.submitRow(0, true, false));
    QCOMPARE(count("id = 1 and amount = 1234.5678"), 1);

    QUniversalSqlTableModel codes(nullptr, m_db);
    codes.converters().insert(3, &XDataSource::priorityText);
    open(codes);
    codes.setData(codes.index(1, 1), "coded");
    QVERIFY(codes.submitRow(1, true, false));
    QCOMPARE(count("id = 2 and code = 3 and name = 'coded'"), 1);
}

void TestRowWriters::currentRowAfterWrite()
{
    QSuperSqlTableModel model(nullptr, m_db);
    open(model);
    QTableView view;
    view.setModel(&model);
    view.setCurrentIndex(model.index(2, 1));

    QVERIFY(model.submitRowInView(2, true, true, &view)); // the last row
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(view.currentIndex().row(), 1);

    // Without refresh neither the model nor the view moves.
    QVERIFY(model.submitRowInView(0, false, true, &view));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(view.currentIndex(), model.index(1, 0));

    QVERIFY(model.select());
    QVERIFY(model.submitRowInView(0, true, true, &view)); // the only row
    QVERIFY(!view.currentIndex().isValid());
    QCOMPARE(count("id > 0"), 0);
}

void TestRowWriters::utilities()
{
    QStandardItemModel cells(6, 4);
    QVERIFY(XDataSource::setCellValue(&cells, 2, 5, "x"));
    QCOMPARE(cells.data(cells.index(5, 2)).toString(), QString("x"));

    QCOMPARE(XDataSource::toSqlDate(QDate(2021, 3, 7)), QString("2021-03-07"));
    QCOMPARE(XDataSource::toSqlDate(QDate()), QString());

    QVERIFY(XDataSource::isValidEmail("jo@example.com"));
    QVERIFY(XDataSource::isValidEmail("jo@abc"));
    QVERIFY(!XDataSource::isValidEmail("jo@ab"));
    QVERIFY(!XDataSource::isValidEmail("@example.com"));
    QVERIFY(!XDataSource::isValidEmail("jo.example.com"));
}

void TestRowWriters::scopedTransactionCommitsOrRollsBackAndNeverNests()
{
    {
        ScopedTransaction kept;
        QVERIFY(kept.isActive());
        QVERIFY(ScopedTransaction::anyOpen());
        {
            // A second one while the first is open does not begin, and leaving its scope leaves the
            // first one's work alone.
            ScopedTransaction nested;
            QVERIFY(!nested.isActive());
            QVERIFY(!nested.commit());
        }
        QVERIFY(ScopedTransaction::anyOpen());
        QSqlQuery query;
        QVERIFY(query.exec("update scratch set name = 'kept' where id = 1"));
        QVERIFY(kept.commit());
        QVERIFY(!ScopedTransaction::anyOpen());
    }
    QCOMPARE(count("name = 'kept'"), 1);

    {
        ScopedTransaction lost;
        QVERIFY(lost.isActive());
        QSqlQuery query;
        QVERIFY(query.exec("update scratch set name = 'lost' where id = 1"));
        // Leaving the scope without a commit, as an early return would.
    }
    QVERIFY(!ScopedTransaction::anyOpen());
    QCOMPARE(count("name = 'lost'"), 0);
    QCOMPARE(count("name = 'kept'"), 1);
}

VELLORAN_TEST_MAIN(TestRowWriters)
#include "tst_rowwriters.moc"
