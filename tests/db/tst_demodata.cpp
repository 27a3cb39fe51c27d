#include "testdatabase.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRelationalTableModel>

// The demonstration office must hold together the way the program expects: links lead somewhere,
// money rows agree with each other, and there is always something due and something late.
class TestDemoData : public QObject
{
    Q_OBJECT

private:
    TestDatabase *m_demo = nullptr;
    QSqlDatabase m_db;

    int count(const QString &sql)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql) || !q.next()) {
            qWarning() << sql << q.lastError().text();
            return -1;
        }
        return q.value(0).toInt();
    }

private slots:
    void initTestCase()
    {
        m_demo = new TestDatabase(QStringLiteral("DEMO.FDB"));
        QVERIFY(m_demo->isValid());
        m_db = m_demo->open(QStringLiteral("demo"));
        QVERIFY(m_db.isOpen());
    }

    void cleanupTestCase()
    {
        m_db = QSqlDatabase();
        delete m_demo;
    }

    void everyTableHoldsRows_data()
    {
        QTest::addColumn<QString>("table");
        const char *tables[] = {"owners", "buildings", "apartments", "tenants", "vehicles", "pets", "occupants",
                                "waitlist", "deposits", "ccards", "leases", "frequency", "agreements", "recur",
                                "charges", "trans", "payments", "categories", "cashbook", "vendors", "maintenance",
                                "equipments", "todo", "reminders", "users", "setup", "mail", "letters"};
        for (const char *t : tables)
            QTest::newRow(t) << QString::fromLatin1(t);
    }

    void everyTableHoldsRows()
    {
        QFETCH(QString, table);
        QVERIFY(count(QStringLiteral("select count(*) from %1").arg(table)) > 0);
    }

    void officeIsLargeEnough()
    {
        QVERIFY(count(QStringLiteral("select count(*) from apartments")) >= 40);
        QVERIFY(count(QStringLiteral("select count(*) from owners")) >= 3);
        QVERIFY(count(QStringLiteral("select count(*) from buildings")) >= 4);
        QVERIFY(count(QStringLiteral("select count(*) from apartments where agreeid > 0")) >= 30);
        QCOMPARE(count(QStringLiteral("select count(*) from setup")), 18);
        QCOMPARE(count(QStringLiteral("select count(*) from mail")), 3);
        QVERIFY(count(QStringLiteral("select count(*) from letters where lid in (1, 2, 3)")) == 3);
        QVERIFY(count(QStringLiteral("select count(*) from categories where catid in (5, 7)")) == 2);
        QVERIFY(count(QStringLiteral("select count(*) from frequency where freqid between 1 and 9 and sysflag = 1")) == 9);
    }

    // Each query counts rows that break one rule of the money side; none may.
    void moneyRowsAgree_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("trans total is the sum of its payments")
            << "select count(*) from trans t where abs(t.paytotal - "
               "(select coalesce(sum(p.amount), 0) from payments p where p.transid = t.transid)) > 0.005";
        QTest::newRow("trans applied equals its total")
            << "select count(*) from trans where abs(paytotal - applied) > 0.005";
        QTest::newRow("trans total is cash, check and card")
            << "select count(*) from trans where abs(paytotal - cash - mycheck - ccard) > 0.005";
        QTest::newRow("every trans has payments")
            << "select count(*) from trans t where not exists (select 1 from payments p where p.transid = t.transid)";
        QTest::newRow("charge paid is the sum of its payments")
            << "select count(*) from charges c where abs(c.paid - "
               "(select coalesce(sum(p.amount), 0) from payments p where p.chid = c.chid)) > 0.005";
        QTest::newRow("charge due and paid make the original amount")
            << "select count(*) from charges where abs(amt + paid - origamount) > 0.005";
        QTest::newRow("nothing left applied")
            << "select count(*) from charges where applied <> 0";
        QTest::newRow("payment copies its charge")
            << "select count(*) from payments p join charges c on c.chid = p.chid "
               "where p.type <> c.type or p.fordate <> c.fordate";
        QTest::newRow("payments belong to the tenant's charges")
            << "select count(*) from payments p join trans t on t.transid = p.transid "
               "join charges c on c.chid = p.chid where c.tid <> t.tid";
        QTest::newRow("one cashbook entry per charge type of a trans")
            << "select count(*) from trans t where "
               "(select count(*) from cashbook b where b.transid = t.transid) <> "
               "(select count(distinct p.type) from payments p where p.transid = t.transid)";
        QTest::newRow("cashbook entry books the sum of its type")
            << "select count(*) from cashbook b join categories g on g.catid = b.catid where b.transid is not null and "
               "abs(b.income - (select sum(p.amount) from payments p where p.transid = b.transid "
               "and lower(p.type) = lower(g.name))) > 0.005";
        QTest::newRow("cashbook entry dated as its trans")
            << "select count(*) from cashbook b join trans t on t.transid = b.transid where b.tdate <> t.tdate";
        QTest::newRow("payment dated as its trans")
            << "select count(*) from payments p join trans t on t.transid = p.transid where p.datepaid <> t.tdate";
        QTest::newRow("nothing paid before it was billed")
            << "select count(*) from payments where datepaid < fordate";
        QTest::newRow("nothing paid in the future")
            << "select count(*) from trans where tdate > current_date";
    }

    void moneyRowsAgree()
    {
        QFETCH(QString, sql);
        QCOMPARE(count(sql), 0);
    }

    // Each query counts links that lead nowhere.
    void linksLeadSomewhere_data()
    {
        QTest::addColumn<QString>("sql");
        const char *links[][4] = {
            {"buildings", "oid", "owners", "oid"},         {"apartments", "bid", "buildings", "buildid"},
            {"apartments", "tid", "tenants", "tid"},       {"apartments", "agreeid", "agreements", "rid"},
            {"agreements", "tid", "tenants", "tid"},       {"agreements", "apid", "apartments", "apid"},
            {"agreements", "freq", "frequency", "freqid"}, {"recur", "apid", "apartments", "apid"},
            {"recur", "tid", "tenants", "tid"},            {"recur", "freq", "frequency", "freqid"},
            {"charges", "tid", "tenants", "tid"},          {"charges", "apid", "apartments", "apid"},
            {"trans", "tid", "tenants", "tid"},            {"trans", "apid", "apartments", "apid"},
            {"payments", "transid", "trans", "transid"},   {"payments", "chid", "charges", "chid"},
            {"cashbook", "catid", "categories", "catid"},  {"cashbook", "vid", "vendors", "vid"},
            {"cashbook", "apid", "apartments", "apid"},    {"cashbook", "transid", "trans", "transid"},
            {"maintenance", "apid", "apartments", "apid"}, {"maintenance", "vendor", "vendors", "vid"},
            {"equipments", "apid", "apartments", "apid"},  {"vehicles", "tid", "tenants", "tid"},
            {"pets", "tid", "tenants", "tid"},             {"occupants", "tid", "tenants", "tid"},
            {"waitlist", "tid", "tenants", "tid"},         {"deposits", "tid", "tenants", "tid"},
        };
        for (const auto &l : links) {
            QTest::addRow("%s.%s", l[0], l[1])
                << QStringLiteral("select count(*) from %1 c where c.%2 is not null and c.%2 <> -1 and "
                                  "not exists (select 1 from %3 p where p.%4 = c.%2)")
                       .arg(QLatin1String(l[0]), QLatin1String(l[1]), QLatin1String(l[2]), QLatin1String(l[3]));
        }
        QTest::newRow("let apartment and its lease agree")
            << "select count(*) from apartments a join agreements g on g.rid = a.agreeid "
               "where g.apid <> a.apid or g.tid <> a.tid";
        QTest::newRow("let apartment has one rent bill")
            << "select count(*) from apartments a where a.agreeid > 0 and "
               "(select count(*) from recur r where r.apid = a.apid and lower(r.type) = 'rent') <> 1";
        QTest::newRow("free apartment has neither tenant nor lease")
            << "select count(*) from apartments where (tid = -1) <> (agreeid = -1)";
        QTest::newRow("waiting tenants hold no apartment")
            << "select count(*) from waitlist w join apartments a on a.tid = w.tid";
        QTest::newRow("rent bills are not already due")
            << "select count(*) from recur where completed = 0 and nextdate <= current_date";
    }

    void linksLeadSomewhere()
    {
        QFETCH(QString, sql);
        QCOMPARE(count(sql), 0);
    }

    // Whenever the file is built, a fresh copy has work waiting at start-up.
    void somethingIsDueAndLate()
    {
        QVERIFY(count(QStringLiteral("select count(*) from charges where fordate < current_date and amt > 0")) > 0);
        QVERIFY(count(QStringLiteral("select count(*) from charges where fordate < current_date and amt > 0 "
                                     "and (latefeeflat > 0 or perday > 0) and (lfd = 0 or perday > 0)")) > 0);
        QVERIFY(count(QStringLiteral("select count(*) from reminders where tdate <= current_date and reminder = 1")) > 0);
        QVERIFY(count(QStringLiteral("select count(*) from agreements where leaseend < current_date")) > 0);
        QVERIFY(count(QStringLiteral("select count(*) from agreements where leaseend >= current_date "
                                     "and leaseend < dateadd(31 day to current_date)")) > 0);
        QVERIFY(count(QStringLiteral("select count(*) from maintenance where status = 'OPEN'")) > 0);
    }

    // The statements the windows, reports and letters run must find their columns.
    void programStatementsRun_data()
    {
        QTest::addColumn<QString>("sql");
        const char *statements[] = {
            "select a.apid, a.tid, a.bid, b.description, a.suite, t.firstname||' '||t.lastname as TENNAME, t.company,  "
            "a.squarefootage, a.bedrooms, a.bathrooms, a.floor,  a.status, a.rent, a.agreeid from apartments a inner join "
            "buildings b on a.bid = b.buildid left join tenants t on a.tid=t.tid where agreeid > -1",
            "select c.tdate, t.name as category, c.description, c.expense, c.income, v.name as vendor, a.suite, x.firstname||' '||"
            "x.lastname as tenant, c.accid, c.catid, c.vid, c.apid  from cashbook c  left join categories t  on c.catid = t.catid  "
            "left join vendors v  on c.vid = v.vid  left join apartments a  on c.apid = a.apid  left join tenants x  on x.tid = a.tid ",
            "SELECT * FROM recur r  WHERE r.completed = 0 and r.APID IN  (select a.apid from apartments a  INNER join agreements t  "
            "on a.apid = t.apid)  ORDER BY r.APID ",
            "select * from Charges where  tid = 3 and fordate < '2100-01-01' and amt > 0  and (latefeeflat >0 or perday > 0)  "
            "and not (perday=0 and lfd<>0 and lfd is not null)",
            "select  a.suite, b.description, t.firstname||' '||t.lastname as fullname,  g.leasestart, g.leaseend  from apartments a "
            "inner join agreements g on a.agreeid = g.rid  inner join buildings b  on b.buildid = a.bid  left join tenants t  on "
            "a.tid = t.tid  order by g.leaseend asc",
            "select b.description, b.address, b.city, b.provstate, b.tel, b.apartments,  o.code, o.name, o.address, o.city, o.zip, "
            "o.state, o.tel, o.fax, o. email from  owners o  left join buildings b  on o.oid = b.oid   order by o.code asc, "
            "b.description asc",
            "select b.description, o.code, b.address, b.city, b.provstate, b.postalcode, b.tel, b.apartments, b.manager, b.mantel, "
            "b.buildid from buildings b inner join owners o on b.oid = o.oid ",
            "select b.description, a.suite, m.ldate, m.description, m.typex, m.status,  m.priority, m.cost, v.name from maintenance m "
            " left join vendors v  on m.vendor = v.vid inner join apartments a on m.apid = a.apid inner join buildings b on "
            "a.bid = b.buildid  order by b.description asc, a.suite asc, m.ldate asc",
            "select b.Description, b.Address, a.suite, g.movein, g.moveout, g.leasestart, g.LeaseEnd, g.Rent, g.damage, g.latefee, "
            "g.perday  from apartments a inner join buildings b on a.bid = b.buildid  left join agreements g  on g.rid = a.agreeid  "
            "where a.tid=3",
            "select o.name, o.address, o.city,  o.state, o.zip, o.Code, o.Tel,  o.Email  from apartments a inner join buildings b on "
            "a.bid = b.buildid  inner join owners o  on o.oid = b.oid  where a.tid=3",
            "select firstname, lastname, firstname||' '||lastname as fullname, Address, city, State, postalcode, ID, Company, Tel, "
            "dat1, driverslicense, insurenum from tenants where tid=3",
            "select f.name, r.type, r.amount, r.startdate, r.enddate, r.nextdate from recur r  inner join Frequency f on "
            "r.freq = f.freqid  where r.apid=3",
            "select p.fordate, p.type, p.amount, a.suite, p.transid, p.payid, c.chid from payments p  left join charges c on "
            "c.chid = p.chid  left join apartments a on c.apid = a.apid  where p.transid = 1",
            "select t.transid, t.tdate, t.ccard, t.ccardn, t.mycheck, t.checkn, t.cash, t.paytotal, t.duetotal, p.datepaid, "
            "p.fordate, p.amount, p.type, a.suite, b.description, x.firstname||' '||x.lastname as fullname from trans t  inner join "
            "payments p  on p.transid = t.transid left join charges c on c.chid = p.chid  left join apartments a on a.apid = c.apid "
            " left join buildings b  on a.bid = b.buildid   left join tenants x on x.tid = a.tid  order by t.tdate asc ",
            "select sum(amt) from charges where tid=3 and extract(month from fordate)=1  and extract(year from fordate)=2026 and "
            "lower(type) <> 'rent'",
            "select distinct t.tid, t.id, t.company,  t.firstname||' '||t.lastname as fullname, t.dat1 as email  from agreements a "
            "left join tenants t  on t.tid = a.tid  where a.leaseend < '2100-01-01'  and a.leaseend >= '2000-01-01' order by fullname",
            "select c.fordate, c.amt, c.type, t.tid, t.id, t.company,  t.firstname||' '||t.lastname as fullname, t.dat1 as email  "
            "from charges  c left join tenants t  on t.tid = c.tid  where c.fordate < '2100-01-01' and t.tid = 3  order by c.fordate asc",
            "select t.tid, id, firstname, lastname, company, tel, address, city, state, driverslicense from tenants t inner join "
            "waitlist w  on w.tid = t.tid ",
            "select a.bid, a.apid, a.suite, b.description, a.bedrooms, a.bathrooms, b.address, b.city, b.provstate, b.postalcode "
            "from apartments a inner join buildings b on b.buildid = a.bid ",
            "select * from reminders where  tdate <= '2100-01-01' and reminder=1 ",
            "select tdate from trans where tid=3 order by tdate desc",
            "select * from equipments where apid = 2  order by description asc",
            "select sum(expense), sum(income) from cashbook",
            "select title from letters where lower(title) = 'x' and lid <> 1",
            "select name from categories where lower(name)='rent'",
            "select type from categories where name ='Rent'",
            "select nextdate from recur where tid=3 and lower(type)='rent'",
            "select * from users where lower(id)='admin'",
            "select name from ccards where lower(name) = 'visa'",
            "select LOWER(description) from maintenance where LOWER(notes) like '%call%'",
        };
        for (const char *s : statements)
            QTest::newRow(s) << QString::fromUtf8(s);
        // Statements that write are run inside a transaction that is rolled back.
        const char *writes[] = {
            "update apartments set rent=rent +10 where bid = 1",
            "update recur set amount=amount -5 where lower(type)='rent' and apid in (select apid from apartments where bid = 2)",
            "update charges set amt = amt + 10, paid = paid - 10 where chid=1",
            "update charges set lfd=12 where chid=1",
            "update recur set completed = 1, nextDate = '2030-01-01' where recid = 1",
            "update recur set startdate='2026-01-01', enddate='2027-01-01', nextdate='2026-02-01' where apid = 1 and lower(type) <>'rent'",
            "update apartments set agreeid=-1 where apid=1",
            "insert into waitlist (tid) values (5);",
            "delete from payments where  transid = 1",
            "delete from cashbook where transid = 1",
            "delete from DEPOSITS where tid=1",
            "Delete from equipments where apid= 2",
            "delete from letters where lid = '4'",
        };
        for (const char *s : writes)
            QTest::newRow(s) << QString::fromUtf8(s);
    }

    void programStatementsRun()
    {
        QFETCH(QString, sql);
        QVERIFY(m_db.transaction());
        QSqlQuery q(m_db);
        const bool ok = q.exec(sql);
        const QString error = q.lastError().text();
        q.finish();
        QVERIFY(m_db.rollback());
        QVERIFY2(ok, qPrintable(error));
    }

    // The relational models join these columns to other tables; every row must survive a left join
    // and, for the two inner joins, find its partner.
    void relationalModelsKeepEveryRow_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("relTable");
        QTest::addColumn<QString>("relKey");
        QTest::addColumn<QString>("relShown");
        QTest::addColumn<bool>("leftJoin");
        QTest::newRow("buildings") << "BUILDINGS" << 17 << "OWNERS" << "OID" << "CODE" << false;
        QTest::newRow("recur") << "RECUR" << 4 << "FREQUENCY" << "FREQID" << "NAME" << false;
        QTest::newRow("agreements") << "AGREEMENTS" << 7 << "FREQUENCY" << "FREQID" << "NAME" << true;
        QTest::newRow("maintenance") << "MAINTENANCE" << 7 << "VENDORS" << "VID" << "NAME" << true;
        QTest::newRow("cashbook") << "CASHBOOK" << 2 << "CATEGORIES" << "CATID" << "NAME" << true;
        QTest::newRow("charges") << "CHARGES" << 2 << "APARTMENTS" << "APID" << "SUITE" << true;
    }

    void relationalModelsKeepEveryRow()
    {
        QFETCH(QString, table);
        QFETCH(int, column);
        QFETCH(QString, relTable);
        QFETCH(QString, relKey);
        QFETCH(QString, relShown);
        QFETCH(bool, leftJoin);

        QSqlRelationalTableModel model(nullptr, m_db);
        if (leftJoin)
            model.setJoinMode(QSqlRelationalTableModel::LeftJoin);
        model.setTable(table);
        model.setRelation(column, QSqlRelation(relTable, relKey, relShown));
        QVERIFY2(model.select(), qPrintable(model.lastError().text()));
        while (model.canFetchMore())
            model.fetchMore();
        QCOMPARE(model.rowCount(), count(QStringLiteral("select count(*) from %1").arg(table)));
        QVERIFY(!model.index(0, column).data().toString().isEmpty());
    }
};

VELLORAN_TEST_MAIN(TestDemoData)
#include "tst_demodata.moc"
