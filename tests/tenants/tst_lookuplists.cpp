// The credit-card types and lease terms lists: adding a name, refusing one that exists, deleting.

#include "testhub.h"

#include "tenants/creditcardsdialog.h"
#include "tenants/leasesdialog.h"

#include <QHeaderView>
#include <QLineEdit>

#include <memory>

namespace {
struct List
{
    const char *table;
    const char *duplicate;
};
} // namespace

class TestLookupLists : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listShowsTheNamesOnly_data() { lists(); }
    void listShowsTheNamesOnly();
    void insertStoresTheTrimmedName_data() { lists(); }
    void insertStoresTheTrimmedName();
    void existingNameIsRefusedWhateverTheCase_data();
    void existingNameIsRefusedWhateverTheCase();
    void blankInsertDoesNothing_data() { lists(); }
    void blankInsertDoesNothing();
    void deleteAsksFirst_data() { lists(); }
    void deleteAsksFirst();

private:
    void lists();
    // The window of the current row's list, on a fresh hub.
    QDialog *open();
    void insert(const QString &name);
    int count(const QString &where = QString());

    TestHub *t = nullptr;
    std::unique_ptr<QDialog> window;
    QString table;
};

void TestLookupLists::lists()
{
    QTest::addColumn<QString>("list");
    QTest::newRow("credit cards") << "ccards";
    QTest::newRow("lease terms") << "leases";
}

void TestLookupLists::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
}

void TestLookupLists::cleanup()
{
    window.reset();
    delete t;
    t = nullptr;
}

QDialog *TestLookupLists::open()
{
    QFETCH(QString, list);
    table = list;
    if (list == "ccards")
        window.reset(new CreditCardsDialog(t->hub));
    else
        window.reset(new LeasesDialog(t->hub));
    return window.get();
}

void TestLookupLists::insert(const QString &name)
{
    auto *edit = child<QLineEdit>(window.get(), "lineEdit");
    edit->setText(name);
    clickButton(window.get(), "pushButton");
}

int TestLookupLists::count(const QString &where)
{
    return t->count(table + where);
}

void TestLookupLists::listShowsTheNamesOnly()
{
    QDialog *w = open();
    QCOMPARE(w->windowTitle(), QString(table == "ccards" ? "Credit Cards" : "Lease Terms"));
    auto *view = child<QTableView>(w, "tableView");
    QList<int> shown;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        if (!view->isColumnHidden(column))
            shown << column;
    QCOMPARE(shown, QList<int>({1}));
    QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(),
             QString(table == "ccards" ? "CARD NAME" : "Lease Terms"));
}

void TestLookupLists::insertStoresTheTrimmedName()
{
    QDialog *w = open();
    const int before = count();
    insert("  0 Aardvark's Own  ");
    QCOMPARE(count(), before + 1);
    QCOMPARE(count(" where name = '0 Aardvark''s Own'"), 1);
    QVERIFY(child<QLineEdit>(w, "lineEdit")->text().isEmpty());
    // Names in name order: the new one comes first.
    auto *view = child<QTableView>(w, "tableView");
    QCOMPARE(view->model()->index(0, 1).data().toString(), QString("0 Aardvark's Own"));
    QCOMPARE(MsgBox::shownTexts(), QStringList());
}

void TestLookupLists::existingNameIsRefusedWhateverTheCase_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("credit card, other case and blanks") << "ccards" << "" << "  vISA " << "Credit card already exists";
    QTest::newRow("credit card with a quote") << "ccards" << "Diner's Club" << "DINER'S CLUB" << "Credit card already exists";
    QTest::newRow("lease term, other case") << "leases" << "" << "1 YEAR" << "Lease term already exists";
    QTest::newRow("lease term with a quote") << "leases" << "Owner's Choice" << "owner's choice" << "Lease term already exists";
    // Qt lowers a dotted capital I to two characters, the engine to one.
    QTest::newRow("lease term with a dotted capital I") << "leases" << "İki Ay" << "İKİ AY" << "Lease term already exists";
}

void TestLookupLists::existingNameIsRefusedWhateverTheCase()
{
    QFETCH(QString, existing);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QDialog *w = open();
    if (!existing.isEmpty()) {
        insert(existing);
        QCOMPARE(MsgBox::shownTexts(), QStringList());
    }
    const int before = count();
    insert(typed);
    QCOMPARE(MsgBox::shownTexts(), QStringList(message));
    QCOMPARE(count(), before);
    QCOMPARE(child<QLineEdit>(w, "lineEdit")->text(), typed);
}

void TestLookupLists::blankInsertDoesNothing()
{
    open();
    const int before = count();
    insert("   ");
    QCOMPARE(count(), before);
    QCOMPARE(MsgBox::shownTexts(), QStringList());
}

void TestLookupLists::deleteAsksFirst()
{
    QDialog *w = open();
    auto *view = child<QTableView>(w, "tableView");
    view->setCurrentIndex(QModelIndex());
    clickButton(w, "pushButton_2");
    QCOMPARE(MsgBox::shownTexts(), QStringList("You haven't selected a valid record"));

    insert("Zebra");
    const int before = count();
    selectRow(view, 1, QString("Zebra"), 1);
    MsgBox::clearShown();
    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(w, "pushButton_2");
    QCOMPARE(count(), before);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(w, "pushButton_2");
    QCOMPARE(count(), before - 1);
    QCOMPARE(count(" where name = 'Zebra'"), 0);
    QCOMPARE(MsgBox::shownTexts(), QStringList({"Are you sure you want to delete the selected record?",
                                                "Are you sure you want to delete the selected record?"}));
}

VELLORAN_TEST_MAIN(TestLookupLists)
#include "tst_lookuplists.moc"
