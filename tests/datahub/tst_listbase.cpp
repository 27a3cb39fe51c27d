#include "testhub.h"

#include "datahub/listformbase.h"
#include "datahub/recorddialogbase.h"
#include "money/paymentdialog.h"
#include "tenants/tenantsform.h"

#include <QDataWidgetMapper>
#include <QRegularExpression>
#include <QSqlError>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

// A bare list window and editor on the owners model: only what the shared flow needs.
class BareEditor : public RecordDialogBase
{
public:
    BareEditor(XDataSource *hub, int row, QWidget *parent)
        : RecordDialogBase(hub, parent)
        , row(row)
    {
        auto *layout = new QVBoxLayout(this);
        code = new QLineEdit(this);
        code->setObjectName(QStringLiteral("code"));
        layout->addWidget(code);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        buttons->setObjectName(QStringLiteral("buttonBox"));
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        createMapper(hub->ownersModel())->addMapping(code, 1);
        mapper()->setCurrentIndex(row);
        loaded = code->text();
    }

    void accept() override
    {
        if (!requireText(code->text(), QStringLiteral("blank")))
            return;
        if (code->text() != loaded
            && !requireUnique(QStringLiteral("select code from owners where code = ?"), code->text(),
                              QStringLiteral("exists")))
            return;
        if (!confirmSubmit())
            return;
        auto *model = dataSource()->ownersModel();
        if (model->QSqlTableModel::data(model->index(row, 0)).isNull()) {
            const int key = nextKey(QStringLiteral("GEN_OWNERS_ID"));
            if (key < 0)
                return;
            XDataSource::setCellValue(model, 0, row, key);
        }
        if (submitMapper())
            QDialog::accept();
    }

    QLineEdit *code;
    int row;
    QString loaded;
};

class BareList : public QWidget, public ListFormBase
{
public:
    explicit BareList(XDataSource *hub)
        : ListFormBase(this)
        , hub(hub)
    {
        view = new QTableView(this);
        setListModel(hub->ownersModel(), view);
        setupListView(view);
    }
    QDialog *createEditor(int row) override { return new BareEditor(hub, row, this); }
    bool canDeleteRow(int) override { return allowDelete; }

    using ListFormBase::addRecord;
    using ListFormBase::applySearch;
    using ListFormBase::deleteCurrentRecord;
    using ListFormBase::editCurrentRecord;
    using ListFormBase::listModel;
    using ListFormBase::setSearch;

    int rowOf(const QString &code)
    {
        for (int row = 0; row < listModel()->rowCount(); ++row)
            if (listModel()->index(row, 1).data().toString() == code)
                return row;
        return -1;
    }
    void select(const QString &code) { view->setCurrentIndex(listModel()->index(rowOf(code), 1)); }

    XDataSource *hub;
    QTableView *view;
    bool allowDelete = true;
};

// The owners table of the copy refuses the code "REFUSED", in words of its own.
static const QStringList refusesCode = {
    QStringLiteral("create exception code_refused 'this code is refused'"),
    QStringLiteral("create trigger owners_refuse for owners before insert or update as begin "
                   "if (new.code = 'REFUSED') then exception code_refused; end"),
};

// The one message shown that starts with `start`, or an empty text.
static QString shownStartingWith(const QString &start)
{
    const QStringList found = MsgBox::shownTexts().filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(start)));
    return found.size() == 1 ? found.constFirst() : QString();
}

static void typeCode(QDialog *dialog, const QString &text)
{
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("code"));
    edit->clear();
    QTest::keyClicks(edit, text);
}

class TestListBase : public QObject
{
    Q_OBJECT

private slots:
    void filterText_data();
    void filterText();
    void reportConditionFollowsTheList_data();
    void reportConditionFollowsTheList();

    void addThenCancelWritesNothing();
    void addWritesTheRowWithAGeneratedKey();
    void editAndDeleteNeedACurrentRow();
    void failedWriteKeepsTheEditForAnotherTry();
    void failedInsertKeepsTheNewRow();
    void failedReadIsToldWithTheEnginesWords();
    void editorRefusalsKeepTheEditorOpen();
    void deleteAsksFirst();
    void searchMatchesApostrophesAndPercent_data();
    void searchMatchesApostrophesAndPercent();
    void typingRunsTheSearchOnceAndReturnAtOnce();
    void tabLeavesTheGridAndTheChosenRowStays_data();
    void tabLeavesTheGridAndTheChosenRowStays();
};

void TestListBase::filterText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");
    QTest::newRow("blank") << "   " << "";
    QTest::newRow("trimmed, case folded by the database") << "  Main St "
                                                          << "LOWER(city) like LOWER('%Main St%') ESCAPE '\\'";
    QTest::newRow("apostrophe doubled") << "O'Brien" << "LOWER(city) like LOWER('%O''Brien%') ESCAPE '\\'";
    QTest::newRow("two apostrophes") << "a''b" << "LOWER(city) like LOWER('%a''''b%') ESCAPE '\\'";
    QTest::newRow("percent looked for as typed") << "50%" << "LOWER(city) like LOWER('%50\\%%') ESCAPE '\\'";
    QTest::newRow("underscore looked for as typed") << "a_b" << "LOWER(city) like LOWER('%a\\_b%') ESCAPE '\\'";
    QTest::newRow("escape character itself") << "c:\\x" << "LOWER(city) like LOWER('%c:\\\\x%') ESCAPE '\\'";
}

void TestListBase::filterText()
{
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QCOMPARE(ListFormBase::likeFilter(QStringLiteral("city"), typed), filter);
}

void TestListBase::reportConditionFollowsTheList_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("listFilter");
    QTest::addColumn<QString>("condition");
    QTest::newRow("filtered") << "Kay's" << "x" << " where LOWER(o.Name) like LOWER('%Kay''s%') ESCAPE '\\' ";
    QTest::newRow("list cleared, text stays") << "Kay's" << "" << "";
    QTest::newRow("no text") << " " << "x" << "";
}

void TestListBase::reportConditionFollowsTheList()
{
    QFETCH(QString, typed);
    QFETCH(QString, listFilter);
    QFETCH(QString, condition);
    QCOMPARE(ListFormBase::reportCondition(QStringLiteral("o.Name"), typed, listFilter), condition);
}

void TestListBase::addThenCancelWritesNothing()
{
    TestHub t;
    QVERIFY(t.opened);
    BareList list(t.hub);
    const int rows = list.listModel()->rowCount();
    const int stored = t.count("owners");
    ModalDriver driver;
    driver.cancel([](QDialog *d) { typeCode(d, "NEVER"); });
    QVERIFY(!list.addRecord());
    QCOMPARE(list.listModel()->rowCount(), rows);
    QVERIFY(!list.listModel()->isDirty());
    QCOMPARE(t.count("owners"), stored);
}

void TestListBase::addWritesTheRowWithAGeneratedKey()
{
    TestHub t;
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(t.opened);
    BareList list(t.hub);
    const int next = t.copy.scalar("select gen_id(GEN_OWNERS_ID, 0) from RDB$DATABASE").toInt() + 1;
    ModalDriver driver;
    driver.ok([](QDialog *d) { typeCode(d, "BASE1"); });
    QVERIFY(list.addRecord());
    QCOMPARE(t.copy.scalar("select oid from owners where code = 'BASE1'").toInt(), next);
    QVERIFY(list.rowOf("BASE1") >= 0);
}

void TestListBase::editAndDeleteNeedACurrentRow()
{
    TestHub t;
    QVERIFY(t.opened);
    BareList list(t.hub);
    list.view->setCurrentIndex(QModelIndex());
    QVERIFY(!list.editCurrentRecord());
    QVERIFY(!list.deleteCurrentRecord());
    QCOMPARE(MsgBox::shownTexts(), QStringList({"You haven't selected a valid record",
                                                "You haven't selected a valid record"}));
}

void TestListBase::failedWriteKeepsTheEditForAnotherTry()
{
    TestHub t(refusesCode);
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(t.opened);
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9001, 'KEEP', 'Keeper')"));
    BareList list(t.hub);
    list.listModel()->select();
    list.select("KEEP");

    // The update fails in the database, which says why.
    QString shownOnRetry;
    ModalDriver driver;
    driver.ok([&](QDialog *d) { typeCode(d, "REFUSED"); });
    driver.cancel([&](QDialog *d) { shownOnRetry = d->findChild<QLineEdit *>("code")->text(); });
    QVERIFY(!list.editCurrentRecord());

    QVERIFY2(shownStartingWith("Unable to submit data: ").contains("this code is refused"),
             qPrintable(MsgBox::shownTexts().join(" | ")));
    QCOMPARE(shownOnRetry, QString("REFUSED"));
    QCOMPARE(t.copy.scalar("select code from owners where oid = 9001").toString(), QString("KEEP"));
    QVERIFY(!list.listModel()->isDirty());
}

void TestListBase::failedInsertKeepsTheNewRow()
{
    TestHub t(refusesCode);
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(t.opened);
    BareList list(t.hub);
    const int stored = t.count("owners");
    QString shownOnRetry;
    ModalDriver driver;
    driver.ok([](QDialog *d) { typeCode(d, "REFUSED"); });
    driver.ok([&](QDialog *d) {
        shownOnRetry = d->findChild<QLineEdit *>("code")->text();
        typeCode(d, "SHORT");
    });
    QVERIFY(list.addRecord());
    QCOMPARE(shownOnRetry, QString("REFUSED"));
    QCOMPARE(t.count("owners"), stored + 1);
    QCOMPARE(t.count("owners where code = 'SHORT'"), 1);
}

void TestListBase::failedReadIsToldWithTheEnginesWords()
{
    // A row the engine cannot read, as a damaged page gives one: a column that fails for that row alone.
    TestHub t({QStringLiteral("alter table owners add unreadable computed by (1 / (oid - 9013))")});
    QVERIFY(t.opened);
    BareList list(t.hub);
    QVERIFY(list.listModel()->rowCount() > 0);
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9013, 'DMG', 'Damaged')"));

    // Told in a message and in the diagnostics, instead of a list that looks as if it had no owners.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^read failed: .*divide by zero"),
                                                          QRegularExpression::DotMatchesEverythingOption));
    list.applySearch("Name", "a");
    QCOMPARE(MsgBox::shownTexts().size(), 1);
    const QString told = MsgBox::shownTexts().constFirst();
    QVERIFY2(told.startsWith("Unable to read data: ") && told.contains("divide by zero"), qPrintable(told));
}

void TestListBase::editorRefusalsKeepTheEditorOpen()
{
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9002, 'TAKEN', 'x')"));
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9003, 'MINE', 'y')"));
    BareList list(t.hub);
    list.listModel()->select();
    list.select("MINE");
    ModalDriver driver;
    driver.ok([](QDialog *d) { typeCode(d, "  "); });
    QVERIFY(!list.editCurrentRecord());
    list.select("MINE");
    driver.ok([](QDialog *d) { typeCode(d, "TAKEN"); });
    QVERIFY(!list.editCurrentRecord());
    list.select("MINE");
    MsgBox::setNextAnswer(QMessageBox::No);
    driver.ok([](QDialog *d) { typeCode(d, "OTHER"); });
    QVERIFY(!list.editCurrentRecord());

    QCOMPARE(driver.stayedOpen, 3);
    QCOMPARE(MsgBox::shownTexts(),
             QStringList({"blank", "exists", "Are you sure you want to submit data"}));
    QCOMPARE(t.count("owners where code = 'MINE'"), 1);
}

void TestListBase::deleteAsksFirst()
{
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9004, 'GONE', 'z')"));
    BareList list(t.hub);
    list.listModel()->select();

    list.select("GONE");
    list.allowDelete = false;
    QVERIFY(!list.deleteCurrentRecord());
    QVERIFY(MsgBox::shownTexts().isEmpty());

    list.allowDelete = true;
    MsgBox::setNextAnswer(QMessageBox::No);
    QVERIFY(!list.deleteCurrentRecord());
    QCOMPARE(t.count("owners where oid = 9004"), 1);

    MsgBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(list.deleteCurrentRecord());
    QCOMPARE(t.count("owners where oid = 9004"), 0);
    QCOMPARE(list.rowOf("GONE"), -1);
}

void TestListBase::searchMatchesApostrophesAndPercent_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("apostrophe") << "o'brien" << QStringList{"OB"};
    QTest::newRow("percent alone") << "%" << QStringList{"PC"};
    QTest::newRow("percent inside") << "y %" << QStringList{"PC"};
    QTest::newRow("underscore alone") << "_" << QStringList{"US"};
    QTest::newRow("underscore is no wildcard") << "a_b" << QStringList{"US"};
    QTest::newRow("backslash") << "\\" << QStringList{"BS"};
    // Qt lowers a dotted capital I to two characters, the engine to one.
    QTest::newRow("dotted capital I") << "İNCİ" << QStringList{"IN"};
}

void TestListBase::searchMatchesApostrophesAndPercent()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9005, 'OB', 'Kevin O''Brien')"));
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9006, 'PC', 'Fifty % Ltd')"));
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9007, 'US', 'A_B Lettings')"));
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9008, 'XB', 'AXB Homes')"));
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9009, 'BS', 'Back\\Slash')"));
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9010, 'IN', 'İnci Homes')"));
    BareList list(t.hub);

    list.applySearch("Name", typed);
    QVERIFY2(!list.listModel()->lastError().isValid(), qPrintable(list.listModel()->lastError().text()));
    QStringList found;
    for (int row = 0; row < list.listModel()->rowCount(); ++row)
        found << list.listModel()->index(row, 1).data().toString();
    QCOMPARE(found, codes);

    list.applySearch("Name", "  ");
    QCOMPARE(list.listModel()->filter(), QString());
    QCOMPARE(list.listModel()->rowCount(), t.count("owners"));
}

void TestListBase::typingRunsTheSearchOnceAndReturnAtOnce()
{
    TestHub t;
    QVERIFY(t.opened);
    QVERIFY(t.exec("insert into owners (oid, code, name) values (9005, 'OB', 'Kevin O''Brien')"));
    BareList list(t.hub);
    auto *criteria = new QLineEdit(&list);
    list.setSearch(criteria, [&list, criteria] { list.applySearch("Name", criteria->text()); });
    int runs = 0;
    QObject::connect(list.listModel(), &QAbstractItemModel::modelReset, &list, [&runs] { ++runs; });

    // Nothing runs while the keys come; the statement runs once when they rest.
    QTest::keyClicks(criteria, "brie");
    QCOMPARE(runs, 0);
    QTRY_COMPARE(runs, 1);
    QTest::qWait(2 * ListFormBase::SearchDelayMs);
    QCOMPARE(runs, 1);
    QCOMPARE(list.listModel()->filter(), ListFormBase::likeFilter("Name", "brie"));
    QCOMPARE(list.listModel()->rowCount(), t.count("owners where lower(name) like '%brie%'"));

    // Return runs it at once, and leaves nothing to run after it.
    QTest::keyClicks(criteria, "n");
    QTest::keyClick(criteria, Qt::Key_Return);
    QCOMPARE(runs, 2);
    QCOMPARE(list.listModel()->filter(), ListFormBase::likeFilter("Name", "brien"));
    QTest::qWait(2 * ListFormBase::SearchDelayMs);
    QCOMPARE(runs, 2);
}

void TestListBase::tabLeavesTheGridAndTheChosenRowStays_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("previous");
    // The tenants page: the deposits grid below, the search box above.
    QTest::newRow("a list page") << "tenants" << "tableView_2" << "lineEdit";
    // Collect Rent: the buttons under the grid, the first of them Add..., and the tenant's apartments above.
    QTest::newRow("Collect Rent") << "collect" << "pushButton" << "suites";
}

void TestListBase::tabLeavesTheGridAndTheChosenRowStays()
{
    QFETCH(QString, window);
    QFETCH(QString, next);
    QFETCH(QString, previous);
    TestHub t;
    QVERIFY(t.opened);
    std::unique_ptr<QWidget> shown;
    if (window == "tenants") {
        shown.reset(new TenantsForm(t.hub));
    } else {
        const int tid = t.copy.scalar("select first 1 tid from charges where amt > 0 group by tid "
                                      "having count(*) >= 3 order by tid").toInt();
        auto *collection = new PaymentDialog(t.hub);
        collection->loadTenant(tid);
        shown.reset(collection);
    }
    shown->show();
    shown->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(shown.get()));
    auto *grid = child<QTableView>(shown.get(), "tableView");
    QVERIFY(grid->model()->rowCount() >= 3);
    int shownColumn = 0;
    while (grid->isColumnHidden(shownColumn))
        ++shownColumn;
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, shownColumn));
    const QVariant chosen = grid->model()->index(1, 0).data();
    const auto chosenStays = [&] {
        return grid->currentIndex().row() == 1 && grid->selectionModel()->selectedRows().size() == 1
               && grid->selectionModel()->selectedRows().constFirst().data() == chosen;
    };
    const auto focused = [] { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); };

    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(focused(), next);
    QVERIFY(chosenStays());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), grid);
    QVERIFY(chosenStays());

    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), previous);
    QVERIFY(chosenStays());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), grid);
    QVERIFY(chosenStays());

    // The arrow keys still walk the rows.
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->currentIndex().row(), 2);
}

VELLORAN_TEST_MAIN(TestListBase)
#include "tst_listbase.moc"
