#include "testdatabase.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>

namespace {

struct TableKey
{
    const char *table;
    const char *key;
};

// Every table of an office file with its key column.
const TableKey allTables[] = {
    {"owners", "oid"},         {"buildings", "buildid"}, {"apartments", "apid"},    {"tenants", "tid"},
    {"vehicles", "vehid"},     {"pets", "petid"},        {"occupants", "occid"},    {"waitlist", "wlid"},
    {"deposits", "depid"},     {"ccards", "ccid"},       {"leases", "leaseid"},     {"frequency", "freqid"},
    {"agreements", "rid"},     {"recur", "recid"},       {"charges", "chid"},       {"trans", "transid"},
    {"payments", "payid"},     {"categories", "catid"},  {"cashbook", "accid"},     {"vendors", "vid"},
    {"maintenance", "id"},     {"equipments", "id"},     {"todo", "id"},            {"reminders", "id"},
    {"users", "wid"},          {"setup", "setid"},       {"mail", "mailid"},        {"letters", "lid"},
};

QString sqlError(const QSqlQuery &q)
{
    return q.lastQuery() + QStringLiteral(": ") + q.lastError().text();
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private:
    TestDatabase *m_data = nullptr;     // read only: the rows as delivered
    TestDatabase *m_scratch = nullptr;  // for the tests that write
    QSqlDatabase m_db;
    QSqlDatabase m_scratchDb;

private slots:
    void initTestCase()
    {
        m_data = new TestDatabase(QStringLiteral("DATA.FDB"));
        QVERIFY(m_data->isValid());
        m_db = m_data->open(QStringLiteral("schema"));
        QVERIFY(m_db.isOpen());
        m_scratch = new TestDatabase(QStringLiteral("DATA.FDB"));
        QVERIFY(m_scratch->isValid());
        m_scratchDb = m_scratch->open(QStringLiteral("scratch"));
        QVERIFY(m_scratchDb.isOpen());
    }

    void cleanupTestCase()
    {
        m_db = QSqlDatabase();
        m_scratchDb = QSqlDatabase();
        delete m_data;
        delete m_scratch;
    }

    // The models and the editors address these columns by number; a column out of place silently
    // shows or writes the wrong field.
    void columnAtPosition_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("type");

        const int I = QVariant::Int, D = QVariant::Double, T = QVariant::String, DT = QVariant::Date;
        const int B = QVariant::ByteArray;
        struct Col { const char *table; int pos; const char *name; int type; };
        const Col cols[] = {
            {"owners", 0, "oid", I}, {"owners", 1, "code", T}, {"owners", 2, "name", T}, {"owners", 3, "address", T},
            {"owners", 4, "city", T}, {"owners", 5, "state", T}, {"owners", 6, "zip", T}, {"owners", 7, "tel", T},
            {"owners", 10, "fax", T}, {"owners", 13, "email", T}, {"owners", 15, "notes", B},
            {"owners", 16, "manvalue", D}, {"owners", 17, "manfee", D}, {"owners", 22, "resvalue", D},

            {"buildings", 0, "buildid", I}, {"buildings", 1, "description", T}, {"buildings", 2, "address", T},
            {"buildings", 3, "city", T}, {"buildings", 4, "tel", T}, {"buildings", 5, "manager", T},
            {"buildings", 7, "provstate", T}, {"buildings", 8, "postalcode", T}, {"buildings", 9, "apartments", I},
            {"buildings", 12, "purchasedate", DT}, {"buildings", 13, "marketvalue", D}, {"buildings", 14, "mantel", T},
            {"buildings", 17, "oid", I},

            {"apartments", 0, "apid", I}, {"apartments", 1, "tid", I}, {"apartments", 2, "bid", I},
            {"apartments", 3, "suite", T}, {"apartments", 4, "squarefootage", D}, {"apartments", 5, "bedrooms", I},
            {"apartments", 6, "bathrooms", I}, {"apartments", 7, "rent", D}, {"apartments", 8, "dining", I},
            {"apartments", 21, "fridge", I}, {"apartments", 22, "electricnum", T}, {"apartments", 25, "floor", T},
            {"apartments", 26, "aptcategory", T}, {"apartments", 27, "status", T}, {"apartments", 30, "notes", B},

            {"tenants", 0, "tid", I}, {"tenants", 1, "id", T}, {"tenants", 2, "company", T},
            {"tenants", 3, "firstname", T}, {"tenants", 4, "lastname", T}, {"tenants", 5, "address", T},
            {"tenants", 8, "postalcode", T}, {"tenants", 9, "tel", T}, {"tenants", 10, "driverslicense", T},
            {"tenants", 11, "driverslicenseprov", T}, {"tenants", 12, "cctype", T}, {"tenants", 13, "ccardnum", T},
            {"tenants", 14, "ccardexpire", DT}, {"tenants", 15, "dob", DT}, {"tenants", 16, "occupation", T},
            {"tenants", 17, "employer", T}, {"tenants", 18, "dat1", T}, {"tenants", 19, "dat2", T},
            {"tenants", 20, "active", I}, {"tenants", 21, "notes", B}, {"tenants", 22, "incidents", B},
            {"tenants", 23, "income", D}, {"tenants", 24, "incomeperiod", I}, {"tenants", 25, "bankname", T},
            {"tenants", 26, "branch", T}, {"tenants", 27, "accnum", T}, {"tenants", 28, "acctype", I},
            {"tenants", 29, "notifyname", T}, {"tenants", 30, "notifytel", T}, {"tenants", 31, "notifyrel", T},
            {"tenants", 33, "insurenum", T},

            {"vehicles", 1, "tid", I}, {"vehicles", 2, "make", T}, {"vehicles", 3, "model", T}, {"vehicles", 4, "plate", T},
            {"pets", 1, "tid", I}, {"pets", 2, "name", T}, {"pets", 3, "comments", T},
            {"occupants", 1, "tid", I}, {"occupants", 2, "name", T}, {"occupants", 3, "relationship", T},
            {"occupants", 4, "ssn", T}, {"occupants", 5, "dob", DT}, {"occupants", 6, "comments", T},
            {"waitlist", 1, "tid", I},
            {"deposits", 1, "tid", I}, {"deposits", 2, "tdate", DT}, {"deposits", 3, "amount", D},
            {"deposits", 4, "memo", T}, {"deposits", 5, "paymenttype", T},
            {"ccards", 1, "name", T}, {"leases", 1, "name", T},

            {"agreements", 0, "rid", I}, {"agreements", 1, "tid", I}, {"agreements", 2, "apid", I},
            {"agreements", 3, "damage", D}, {"agreements", 4, "rent", D}, {"agreements", 5, "latefee", D},
            {"agreements", 6, "perday", D}, {"agreements", 7, "freq", I}, {"agreements", 8, "firstdue", DT},
            {"agreements", 9, "leaseterm", T}, {"agreements", 10, "leasestart", DT}, {"agreements", 11, "leaseend", DT},
            {"agreements", 12, "movein", DT}, {"agreements", 13, "moveout", DT}, {"agreements", 14, "notes", B},
            {"agreements", 16, "nextdate", DT}, {"agreements", 17, "spareamount", D},

            {"frequency", 0, "freqid", I}, {"frequency", 1, "name", T}, {"frequency", 2, "description", T},
            {"frequency", 3, "days", I}, {"frequency", 4, "sysflag", I},

            {"recur", 0, "recid", I}, {"recur", 1, "type", T}, {"recur", 2, "amount", D}, {"recur", 3, "latefee", D},
            {"recur", 4, "freq", I}, {"recur", 5, "nextdate", DT}, {"recur", 6, "startdate", DT},
            {"recur", 7, "enddate", DT}, {"recur", 8, "perday", D}, {"recur", 9, "tid", I},
            {"recur", 10, "completed", I}, {"recur", 11, "apid", I},

            {"charges", 0, "chid", I}, {"charges", 1, "tid", I}, {"charges", 2, "apid", I}, {"charges", 3, "type", T},
            {"charges", 4, "amt", D}, {"charges", 5, "applied", D}, {"charges", 6, "fordate", DT},
            {"charges", 7, "paid", D}, {"charges", 8, "origamount", D}, {"charges", 9, "latefeeflat", D},
            {"charges", 10, "perday", D}, {"charges", 11, "memo", T}, {"charges", 12, "lfd", I},

            {"trans", 0, "transid", I}, {"trans", 1, "tdate", DT}, {"trans", 2, "tid", I}, {"trans", 3, "apid", I},
            {"trans", 4, "ccard", D}, {"trans", 5, "ccardn", T}, {"trans", 6, "mycheck", D}, {"trans", 7, "checkn", T},
            {"trans", 8, "cash", D}, {"trans", 9, "paytotal", D}, {"trans", 10, "duetotal", D},
            {"trans", 11, "applied", D},

            {"payments", 0, "payid", I}, {"payments", 3, "amount", D},

            {"categories", 0, "catid", I}, {"categories", 1, "name", T}, {"categories", 2, "description", T},
            {"categories", 3, "type", I},

            {"cashbook", 0, "accid", I}, {"cashbook", 1, "tdate", DT}, {"cashbook", 2, "catid", I},
            {"cashbook", 3, "description", T}, {"cashbook", 4, "expense", D}, {"cashbook", 5, "income", D},
            {"cashbook", 6, "vid", I}, {"cashbook", 7, "apid", I}, {"cashbook", 8, "comments", T},
            {"cashbook", 9, "transid", I},

            {"vendors", 0, "vid", I}, {"vendors", 1, "name", T}, {"vendors", 2, "contact", T}, {"vendors", 3, "tel", T},
            {"vendors", 4, "address", T}, {"vendors", 5, "city", T}, {"vendors", 6, "state", T},
            {"vendors", 7, "type", T}, {"vendors", 8, "othertype", T},

            {"maintenance", 0, "id", I}, {"maintenance", 1, "ldate", DT}, {"maintenance", 2, "description", T},
            {"maintenance", 3, "typex", T}, {"maintenance", 4, "status", T}, {"maintenance", 5, "priority", T},
            {"maintenance", 6, "cost", D}, {"maintenance", 7, "vendor", I}, {"maintenance", 8, "notes", B},
            {"maintenance", 9, "invdate", DT}, {"maintenance", 10, "compdate", DT}, {"maintenance", 11, "invnum", T},
            {"maintenance", 12, "apid", I},

            {"equipments", 0, "id", I}, {"equipments", 1, "apid", I}, {"equipments", 2, "description", T},
            {"equipments", 3, "serial", T}, {"equipments", 4, "model", T}, {"equipments", 5, "brand", T},
            {"equipments", 6, "purchasedate", DT}, {"equipments", 7, "price", D}, {"equipments", 8, "purchasedfrom", T},

            {"todo", 0, "id", I}, {"todo", 1, "description", T}, {"todo", 2, "notes", B}, {"todo", 3, "tdate", DT},
            {"todo", 4, "priority", I},

            {"reminders", 0, "id", I}, {"reminders", 1, "title", T}, {"reminders", 2, "description", B},
            {"reminders", 3, "tdate", DT}, {"reminders", 4, "reminder", I},

            {"users", 0, "wid", I}, {"users", 1, "lastname", T}, {"users", 2, "firstname", T}, {"users", 3, "id", T},

            {"setup", 0, "setid", I}, {"setup", 1, "textvalue", T}, {"setup", 2, "flagvalue", I},
            {"mail", 0, "mailid", I}, {"mail", 1, "subject", T}, {"mail", 2, "intro", T}, {"mail", 3, "signoff", T},
            {"letters", 0, "lid", I}, {"letters", 1, "title", T}, {"letters", 2, "body", B},
        };
        for (const Col &c : cols) {
            QTest::addRow("%s.%d", c.table, c.pos)
                << QString::fromLatin1(c.table) << c.pos << QString::fromLatin1(c.name) << c.type;
        }
    }

    void columnAtPosition()
    {
        QFETCH(QString, table);
        QFETCH(int, position);
        QFETCH(QString, name);
        QFETCH(int, type);

        const QSqlRecord rec = m_db.record(table.toUpper());
        QVERIFY2(!rec.isEmpty(), qPrintable(table));
        QVERIFY2(position < rec.count(), qPrintable(QString::number(rec.count())));
        QCOMPARE(rec.fieldName(position).toLower(), name);
        QCOMPARE(int(rec.field(position).type()), type);
    }

    // Columns that statements and editors find by name only.
    void namedColumnsExist_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("name");
        const char *named[][2] = {
            {"owners", "banknum"}, {"owners", "bankname"}, {"owners", "bsb"}, {"apartments", "agreeid"},
            {"payments", "transid"}, {"payments", "chid"}, {"payments", "type"}, {"payments", "fordate"},
            {"payments", "datepaid"}, {"payments", "accid"}, {"users", "npassword"}, {"users", "progoptions"},
            {"users", "modusers"}, {"users", "bill"}, {"users", "voidtrans"}, {"users", "tenants"},
            {"users", "buildings"}, {"users", "apartments"}, {"users", "cashbook"}, {"users", "equipments"},
            {"users", "owners"}, {"users", "email"}, {"users", "reports"},
        };
        for (const auto &n : named)
            QTest::addRow("%s.%s", n[0], n[1]) << QString::fromLatin1(n[0]) << QString::fromLatin1(n[1]);
    }

    void namedColumnsExist()
    {
        QFETCH(QString, table);
        QFETCH(QString, name);
        QVERIFY(m_db.record(table.toUpper()).indexOf(name.toUpper()) >= 0);
    }

    // A table model opens every table by its upper-case name, blobs included.
    void everyTableOpensInATableModel_data()
    {
        QTest::addColumn<QString>("table");
        for (const TableKey &t : allTables)
            QTest::newRow(t.table) << QString::fromLatin1(t.table);
    }

    void everyTableOpensInATableModel()
    {
        QFETCH(QString, table);
        QSqlTableModel model(nullptr, m_db);
        model.setTable(table.toUpper());
        QVERIFY2(model.select(), qPrintable(model.lastError().text()));
        QCOMPARE(model.primaryKey().count(), 1);
    }

    // An insert that leaves the key out gets the next value of the table's generator, and that value
    // lies above every delivered row, so neither way of making a key collides with an existing one.
    void insertWithoutKeyTakesGeneratorValue_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        for (const TableKey &t : allTables)
            QTest::newRow(t.table) << QString::fromLatin1(t.table) << QString::fromLatin1(t.key);
    }

    void insertWithoutKeyTakesGeneratorValue()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        const QString gen = QStringLiteral("GEN_%1_ID").arg(table.toUpper());

        QSqlQuery q(m_scratchDb);
        QVERIFY2(q.exec(QStringLiteral("select coalesce(max(%1), 0), gen_id(%2, 0) from %3").arg(key, gen, table)),
                 qPrintable(sqlError(q)));
        QVERIFY(q.next());
        const int maxBefore = q.value(0).toInt();
        QVERIFY2(q.value(1).toInt() >= maxBefore, "generator lags behind the delivered rows");

        QVERIFY2(q.exec(QStringLiteral("insert into %1 default values").arg(table)), qPrintable(sqlError(q)));
        QVERIFY2(q.exec(QStringLiteral("select max(%1), gen_id(%2, 0) from %3").arg(key, gen, table)),
                 qPrintable(sqlError(q)));
        QVERIFY(q.next());
        QVERIFY(q.value(0).toInt() > maxBefore);
        QCOMPARE(q.value(0).toInt(), q.value(1).toInt());

        // The editors' way: read the key first, then write it.
        QVERIFY2(q.exec(QStringLiteral("select gen_id(%1, 1) from RDB$DATABASE").arg(gen)), qPrintable(sqlError(q)));
        QVERIFY(q.next());
        const int drawn = q.value(0).toInt();
        QSqlQuery ins(m_scratchDb);
        QVERIFY(ins.prepare(QStringLiteral("insert into %1 (%2) values (?)").arg(table, key)));
        ins.addBindValue(drawn);
        QVERIFY2(ins.exec(), qPrintable(sqlError(ins)));
        QVERIFY2(q.exec(QStringLiteral("select count(*) from %1 where %2 = %3").arg(table, key).arg(drawn)),
                 qPrintable(sqlError(q)));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }

    void administratorHasNoPasswordAndEveryRight()
    {
        QSqlQuery q(m_db);
        QVERIFY(q.exec(QStringLiteral("select * from users where lower(id)='admin'")));
        QVERIFY(q.next());
        QCOMPARE(q.value(QStringLiteral("wid")).toInt(), 1);
        QCOMPARE(q.value(QStringLiteral("id")).toString(), QStringLiteral("ADMIN"));
        QVERIFY(q.value(QStringLiteral("npassword")).toString().isEmpty());
        const char *rights[] = {"progoptions", "modusers", "bill", "voidtrans", "tenants", "buildings",
                                "apartments", "cashbook", "equipments", "owners", "email", "reports"};
        for (const char *r : rights)
            QVERIFY2(q.value(QString::fromLatin1(r)).toInt() == 1, r);
        QVERIFY(!q.next());
    }

    // Settings and notices are read by position in key order, so the count and the place of the
    // port and the TLS flag are what matters.
    void settingsAndNoticesInKeyOrder()
    {
        QSqlTableModel setup(nullptr, m_db);
        setup.setTable(QStringLiteral("SETUP"));
        setup.setSort(0, Qt::AscendingOrder);
        QVERIFY(setup.select());
        QCOMPARE(setup.rowCount(), 18);
        bool portOk = false;
        QVERIFY(setup.index(15, 1).data().toString().toInt(&portOk) > 0);
        QVERIFY(portOk);
        QVERIFY(setup.index(17, 2).data().isValid());

        QSqlTableModel mail(nullptr, m_db);
        mail.setTable(QStringLiteral("MAIL"));
        mail.setSort(0, Qt::AscendingOrder);
        QVERIFY(mail.select());
        QCOMPARE(mail.rowCount(), 3);
        for (int r = 0; r < 3; ++r) {
            QVERIFY(!mail.index(r, 1).data().toString().trimmed().isEmpty());
            QVERIFY(!mail.index(r, 2).data().toString().trimmed().isEmpty());
            QVERIFY(!mail.index(r, 3).data().toString().trimmed().isEmpty());
        }
    }

    void deliveredLettersCarryMergeFields_data()
    {
        QTest::addColumn<int>("lid");
        QTest::newRow("late rent") << 1;
        QTest::newRow("agreement") << 2;
        QTest::newRow("third") << 3;
    }

    void deliveredLettersCarryMergeFields()
    {
        QFETCH(int, lid);
        QSqlQuery q(m_db);
        QVERIFY(q.exec(QStringLiteral("select title, body from letters where lid = %1").arg(lid)));
        QVERIFY(q.next());
        QVERIFY(!q.value(0).toString().isEmpty());
        const QString body = q.value(1).toString();
        // The letter editor looks for the HTML-escaped form of "<<<name>>>".
        QVERIFY(body.contains(QStringLiteral("<<<Tenant fullname>>>").toHtmlEscaped()));
        QVERIFY(body.startsWith(QStringLiteral("<!DOCTYPE HTML")));
    }

    void builtInFrequencies_data()
    {
        QTest::addColumn<int>("freqid");
        QTest::addColumn<int>("days");
        const int days[] = {14, 182, 30, 91, 7, 365, 730, 1095, 1826};
        for (int i = 0; i < 9; ++i)
            QTest::addRow("%d", i + 1) << i + 1 << days[i];
    }

    void builtInFrequencies()
    {
        QFETCH(int, freqid);
        QFETCH(int, days);
        QSqlQuery q(m_db);
        QVERIFY(q.exec(QStringLiteral("select days, sysflag, name from frequency where freqid = %1").arg(freqid)));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), days);
        QCOMPARE(q.value(1).toInt(), 1);
        QVERIFY(!q.value(2).toString().isEmpty());
    }

    // The cashbook and the payment transactions are listed newest first. Without a descending index
    // the engine sorts the whole table before the first row reaches the list.
    void newestFirstListsHaveADescendingIndex_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("cashbook") << "CASHBOOK";
        QTest::newRow("payment transactions") << "TRANS";
    }

    void newestFirstListsHaveADescendingIndex()
    {
        QFETCH(QString, table);
        QSqlQuery q(m_db);
        QVERIFY2(q.exec(QStringLiteral("select count(*) from rdb$indices i "
                                       "join rdb$index_segments s on s.rdb$index_name = i.rdb$index_name "
                                       "where i.rdb$relation_name = '%1' and i.rdb$index_type = 1 "
                                       "and s.rdb$field_name = 'TDATE' and s.rdb$field_position = 0 "
                                       "and coalesce(i.rdb$index_inactive, 0) = 0")
                                    .arg(table)),
                 qPrintable(sqlError(q)));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }

    void systemCategoriesAndLookups()
    {
        QSqlQuery q(m_db);
        QVERIFY(q.exec(QStringLiteral("select catid, name, type from categories where catid in (5, 7) order by catid")));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), QStringLiteral("Rent"));
        QCOMPARE(q.value(2).toInt(), 1);
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toString(), QStringLiteral("Rent Late Fee"));
        QCOMPARE(q.value(2).toInt(), 1);
        // No frequency outside the built-in ones is marked as a system row.
        QCOMPARE(m_data->scalar(QStringLiteral("select count(*) from frequency where sysflag = 1 and freqid > 9")).toInt(), 0);
        QVERIFY(m_data->scalar(QStringLiteral("select count(*) from ccards")).toInt() > 0);
        QVERIFY(m_data->scalar(QStringLiteral("select count(*) from leases")).toInt() > 0);
    }

    // Long texts live in blobs. A letter body of 100 KB with letters outside ASCII must come back
    // exactly as written, both through a query and through a table model.
    void longTextRoundTrip_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("column");
        QTest::newRow("letters.body") << "letters" << "lid" << "body";
        QTest::newRow("tenants.notes") << "tenants" << "tid" << "notes";
        QTest::newRow("owners.notes") << "owners" << "oid" << "notes";
        QTest::newRow("apartments.notes") << "apartments" << "apid" << "notes";
        QTest::newRow("maintenance.notes") << "maintenance" << "id" << "notes";
        QTest::newRow("reminders.description") << "reminders" << "id" << "description";
    }

    void longTextRoundTrip()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, column);

        QString html = QStringLiteral("<html><body>");
        int n = 0;
        while (html.size() < 100 * 1024) {
            ++n;
            html += QStringLiteral("<p>Paragraph %1: Zoë paid €%2 for the Ærø flat, Dvořák signed; 東京 ✓</p>\n")
                        .arg(n).arg(n * 3);
        }
        html += QStringLiteral("</body></html>");

        QSqlQuery q(m_scratchDb);
        QVERIFY(q.exec(QStringLiteral("select gen_id(GEN_%1_ID, 1) from RDB$DATABASE").arg(table.toUpper())));
        QVERIFY(q.next());
        const int id = q.value(0).toInt();
        QSqlQuery ins(m_scratchDb);
        QVERIFY(ins.prepare(QStringLiteral("insert into %1 (%2, %3) values (?, ?)").arg(table, key, column)));
        ins.addBindValue(id);
        ins.addBindValue(html);
        QVERIFY2(ins.exec(), qPrintable(sqlError(ins)));

        const QVariant stored = m_scratch->scalar(QStringLiteral("select %1 from %2 where %3 = %4").arg(column, table, key).arg(id));
        QCOMPARE(stored.toString().size(), html.size());
        QCOMPARE(stored.toString(), html);

        QSqlTableModel model(nullptr, m_scratchDb);
        model.setTable(table.toUpper());
        model.setFilter(QStringLiteral("%1 = %2").arg(key).arg(id));
        QVERIFY(model.select());
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.record(0).value(column).toString(), html);
    }

    void shortTextKeepsNonAsciiLetters()
    {
        const QString name = QStringLiteral("Søren Ærøskøbing-Dvořák");
        QSqlQuery ins(m_scratchDb);
        QVERIFY(ins.prepare(QStringLiteral("insert into tenants (lastname) values (?)")));
        ins.addBindValue(name);
        QVERIFY2(ins.exec(), qPrintable(sqlError(ins)));
        QCOMPARE(m_scratch->scalar(QStringLiteral("select lastname from tenants where tid = gen_id(GEN_TENANTS_ID, 0)")).toString(),
                 name);
    }
};

VELLORAN_TEST_MAIN(TestSchema)
#include "tst_schema.moc"
