#include "datahub/xdatasource.h"
#include "properties/apartmentsform.h"
#include "testhub.h"

#include <QSqlQuery>
#include <QTreeWidget>

// The owners-and-buildings tree of the apartments page, read in one statement.
class TestApartmentsTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void treeHoldsEveryOwnerWithExactlyHisBuildings();
    void refillFollowsTheTables();

private:
    // Owner texts with their building texts and keys, in tree order, checked against the tables
    // read owner by owner.
    void compareWithTables();

    TestHub *t = nullptr;
    ApartmentsForm *form = nullptr;
    QTreeWidget *tree = nullptr;
};

void TestApartmentsTree::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    // An owner without a building, a building whose owner is gone, and a building added to the first
    // owner after all the others.
    QVERIFY(t->exec("insert into owners (oid, code, name) values (9601, 'NONE', 'No Buildings')"));
    QVERIFY(t->exec("insert into buildings (buildid, description, oid) values (9602, 'Orphan Court', 9999)"));
    QVERIFY(t->exec("insert into buildings (buildid, description, oid) values (9603, 'Late Addition', 1)"));
    form = new ApartmentsForm(t->hub, nullptr);
    tree = child<QTreeWidget>(form, "treeWidget");
}

void TestApartmentsTree::cleanup()
{
    delete form;
    delete t;
}

void TestApartmentsTree::compareWithTables()
{
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *top = tree->topLevelItem(0);
    QCOMPARE(top->text(0), QString("OWNERS"));
    QCOMPARE(top->data(0, Qt::UserRole).toInt(), -1);

    QSqlQuery owners(QSqlDatabase::database());
    QVERIFY(owners.exec("select oid, code, name from owners"));
    int ownerRow = 0;
    while (owners.next()) {
        const int oid = owners.value(0).toInt();
        QTreeWidgetItem *owner = top->child(ownerRow++);
        QVERIFY2(owner, qPrintable(QString::number(oid)));
        QCOMPARE(owner->text(0), QString("[%1] %2").arg(owners.value(1).toString(), owners.value(2).toString()));
        QCOMPARE(owner->data(0, Qt::UserRole).toInt(), oid);
        QCOMPARE(owner->data(0, Qt::UserRole + 1).toInt(), -1);

        QSqlQuery buildings(QSqlDatabase::database());
        QVERIFY(buildings.exec(QString("select buildid, description from buildings where oid = %1").arg(oid)));
        int buildingRow = 0;
        while (buildings.next()) {
            QTreeWidgetItem *building = owner->child(buildingRow++);
            QVERIFY2(building, qPrintable(buildings.value(1).toString()));
            QCOMPARE(building->text(0), buildings.value(1).toString());
            QCOMPARE(building->data(0, Qt::UserRole).toInt(), oid);
            QCOMPARE(building->data(0, Qt::UserRole + 1).toInt(), buildings.value(0).toInt());
            QCOMPARE(building->foreground(0).color(), QColor("Blue"));
            QCOMPARE(building->childCount(), 0);
        }
        QCOMPARE(owner->childCount(), buildingRow);
    }
    QCOMPARE(top->childCount(), ownerRow);
    QVERIFY(top->isExpanded());
}

void TestApartmentsTree::treeHoldsEveryOwnerWithExactlyHisBuildings()
{
    compareWithTables();
    QCOMPARE(tree->findItems("[NONE] No Buildings", Qt::MatchExactly | Qt::MatchRecursive).value(0)->childCount(), 0);
    QVERIFY(tree->findItems("Orphan Court", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
}

void TestApartmentsTree::refillFollowsTheTables()
{
    QVERIFY(t->exec("insert into buildings (buildid, description, oid) values (9604, 'Second Thought', 9601)"));
    QVERIFY(t->exec("delete from buildings where buildid = 9603"));
    emit t->hub->buildingsChanged();
    compareWithTables();
    QCOMPARE(tree->findItems("Second Thought", Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
    QVERIFY(tree->findItems("Late Addition", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
}

VELLORAN_TEST_MAIN(TestApartmentsTree)
#include "tst_apartmentstree.moc"
