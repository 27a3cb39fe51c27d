// The dialogs a report command asks before it prints, driven offscreen through their widgets on a
// copy of the demonstration database: what they list, what they refuse, and the clauses and dates
// they hand back.
#include "testhub.h"

#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "reports/choosebuildingsdialog.h"
#include "reports/choosegenericdialog.h"
#include "reports/chooseownersdialog.h"
#include "reports/daterangedialog.h"
#include "reports/reportchoices.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>

namespace {

QListView *listOf(QDialog *dialog)
{
    return child<QListView>(dialog, "listView");
}

QStringList listed(QDialog *dialog)
{
    QStringList texts;
    QAbstractItemModel *model = listOf(dialog)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

// Clicks the rows in turn, the first plainly and the others with Ctrl held, as the user picks several.
void pickRows(QDialog *dialog, const QVector<int> &rows)
{
    QListView *view = listOf(dialog);
    bool first = true;
    for (int row : rows) {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, first ? Qt::NoModifier : Qt::ControlModifier,
                          rect.center());
        first = false;
    }
}

// A radio button takes a click on its circle or its text, not on the empty rest of its row.
void choose(QDialog *dialog, const QString &option)
{
    auto *button = dialog->findChild<QRadioButton *>(option);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

void pressOk(QDialog *dialog)
{
    dialogButton(dialog, QDialogButtonBox::Ok)->click();
}

// key and text columns of a statement, in its order
QList<QPair<int, QString>> rowsOf(const QString &sql)
{
    QList<QPair<int, QString>> rows;
    QSqlQuery query(sql);
    while (query.next())
        rows.append({query.value(0).toInt(), query.value(1).toString()});
    return rows;
}

} // namespace

class TestReportChoosers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void ownersChoice_data();
    void ownersChoice();
    void emptyChoiceIsRefused_data();
    void emptyChoiceIsRefused();
    void buildingsOfChosenOwners();
    void genericChoiceKeepsSelectionOrder();
    void dateRange_data();
    void dateRange();
    void customToggleEnablesTheDates();
    void maintenanceStatusComparesStoredValues_data();
    void maintenanceStatusComparesStoredValues();
    void cancelledChoiceStopsTheCommand();

private:
    TestHub *hub = nullptr;
    QList<QPair<int, QString>> owners;
};

void TestReportChoosers::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    hub = new TestHub;
    QVERIFY(hub->opened);
    owners = rowsOf(QStringLiteral("select oid, code from owners order by code asc"));
    QVERIFY(owners.size() >= 3);
}

void TestReportChoosers::cleanupTestCase()
{
    // The hub owns the database copy in the temporary folder; it goes with it.
    delete hub;
    hub = nullptr;
}

void TestReportChoosers::init()
{
    MsgBox::clearShown();
    Today::set(QDate(2024, 3, 15));
}

void TestReportChoosers::cleanup()
{
    Today::reset();
}

void TestReportChoosers::ownersChoice_data()
{
    QTest::addColumn<QVector<int>>("rows");
    QTest::addColumn<bool>("allOwners");

    QTest::newRow("second and first owner") << QVector<int>{2, 1} << false;
    QTest::newRow("one owner") << QVector<int>{3} << false;
    QTest::newRow("all owners alone") << QVector<int>{0} << true;
    QTest::newRow("all owners with two owners") << QVector<int>{1, 0, 2} << true;
}

void TestReportChoosers::ownersChoice()
{
    QFETCH(QVector<int>, rows);
    QFETCH(bool, allOwners);

    ChooseOwnersDialog dialog(hub->hub);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Choose Owners"));
    QCOMPARE(child<QLabel>(&dialog, "label")->text(), QStringLiteral("List buildings for the following owners"));
    QStringList expectedList{QStringLiteral("All Owners")};
    for (const auto &owner : qAsConst(owners))
        expectedList << owner.second;
    QCOMPARE(listed(&dialog), expectedList);

    pickRows(&dialog, rows);
    pressOk(&dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(MsgBox::shownTexts().isEmpty());
    QCOMPARE(dialog.isAllOwners(), allOwners);
    if (!allOwners) {
        QStringList ids;
        for (int row : rows)
            ids << QString::number(owners.at(row - 1).first);
        QCOMPARE(dialog.whereClause(), QStringLiteral(" where oid in (%1) ").arg(ids.join(QStringLiteral(", "))));
        // The clause finds exactly the chosen owners.
        QSqlQuery check(QStringLiteral("select count(*) from owners") + dialog.whereClause());
        QVERIFY(check.next());
        QCOMPARE(check.value(0).toInt(), rows.size());
    }
}

void TestReportChoosers::emptyChoiceIsRefused_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("message");
    QTest::newRow("owners") << 0 << "You must select at least 1 owner!";
    QTest::newRow("buildings") << 1 << "You must select at least 1 building!";
    QTest::newRow("generic") << 2 << "You must select at least 1 item!";
    QTest::newRow("generic without items") << 3 << "You must select at least 1 item!";
}

void TestReportChoosers::emptyChoiceIsRefused()
{
    QFETCH(int, which);
    QFETCH(QString, message);

    QScopedPointer<QDialog> dialog;
    if (which == 0) {
        dialog.reset(new ChooseOwnersDialog(hub->hub));
    } else if (which == 1) {
        dialog.reset(new ChooseBuildingsDialog(hub->hub, QString()));
    } else {
        auto *generic = new ChooseGenericDialog;
        if (which == 2)
            generic->setItems({QStringLiteral("One"), QStringLiteral("Two")});
        dialog.reset(generic);
    }
    dialog->show();
    pressOk(dialog.data());
    QCOMPARE(MsgBox::shownTexts(), QStringList{message});
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
}

void TestReportChoosers::buildingsOfChosenOwners()
{
    const QList<QPair<int, QString>> all =
        rowsOf(QStringLiteral("select buildid, description from buildings order by description asc"));
    {
        ChooseBuildingsDialog dialog(hub->hub, QString());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Choose Buildings"));
        QCOMPARE(listed(&dialog).size(), all.size());
    }

    const int owner = owners.at(0).first;
    const QList<QPair<int, QString>> ofOwner = rowsOf(
        QStringLiteral("select buildid, description from buildings where oid = %1 order by description asc").arg(owner));
    QVERIFY(!ofOwner.isEmpty());
    QVERIFY(ofOwner.size() < all.size());

    ChooseBuildingsDialog dialog(hub->hub, QStringLiteral(" where oid in (%1) ").arg(owner));
    dialog.show();
    QStringList descriptions;
    QVector<int> rows;
    QStringList ids;
    for (int row = 0; row < ofOwner.size(); ++row) {
        descriptions << ofOwner.at(row).second;
        rows.prepend(row);
        ids.prepend(QString::number(ofOwner.at(row).first));
    }
    QCOMPARE(listed(&dialog), descriptions);
    // Every building picked, last to first: that is how the user asks for all of them.
    pickRows(&dialog, rows);
    pressOk(&dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.whereClause(), QStringLiteral(" where b.buildid in (%1) ").arg(ids.join(QStringLiteral(", "))));
}

void TestReportChoosers::genericChoiceKeepsSelectionOrder()
{
    ChooseGenericDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
    dialog.setTexts(QStringLiteral("Pick"), QStringLiteral("Pick some"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Pick"));
    QCOMPARE(child<QLabel>(&dialog, "label")->text(), QStringLiteral("Pick some"));
    dialog.setItems({QStringLiteral("old")});
    dialog.setItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
    QCOMPARE(listed(&dialog), (QStringList{"a", "b", "c", "d"}));
    dialog.show();
    pickRows(&dialog, {3, 1});
    pressOk(&dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenItems(), (QVector<int>{3, 1}));
}

void TestReportChoosers::dateRange_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");

    const QDate today(2024, 3, 15);
    const QString none;
    QTest::newRow("year to date") << "year" << today << none << none << true << QDate(2024, 1, 1) << today;
    QTest::newRow("month to date") << "month" << today << none << none << true << QDate(2024, 3, 1) << today;
    QTest::newRow("month to date on the first") << "month" << QDate(2024, 4, 1) << none << none << true
                                                << QDate(2024, 4, 1) << QDate(2024, 4, 1);
    QTest::newRow("today") << "today" << today << none << none << true << today << today;
    QTest::newRow("custom") << "custom" << today << "2/1/2024" << " 2/29/2024 " << true << QDate(2024, 2, 1)
                            << QDate(2024, 2, 29);
    QTest::newRow("custom, one day") << "custom" << today << "3/14/2024" << "3/14/2024" << true
                                     << QDate(2024, 3, 14) << QDate(2024, 3, 14);
    QTest::newRow("custom, typed dates kept") << "custom" << today << none << none << true << today << today;
    QTest::newRow("custom, backwards") << "custom" << today << "3/15/2024" << "3/14/2024" << false << QDate()
                                       << QDate();
    QTest::newRow("custom, not a date") << "custom" << today << "15.03.2024" << "3/20/2024" << false << QDate()
                                        << QDate();
    QTest::newRow("custom, no end") << "custom" << today << "3/1/2024" << "" << false << QDate() << QDate();
}

void TestReportChoosers::dateRange()
{
    QFETCH(QString, option);
    QFETCH(QDate, today);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, accepted);
    QFETCH(QDate, start);
    QFETCH(QDate, end);

    Today::set(today);
    DateRangeDialog dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Date Range"));
    QVERIFY(child<QRadioButton>(&dialog, "year")->isChecked());
    auto *fromEdit = child<QLineEdit>(&dialog, "from");
    auto *toEdit = child<QLineEdit>(&dialog, "to");
    QCOMPARE(fromEdit->text(), ShortDate::toText(today));
    QCOMPARE(toEdit->text(), ShortDate::toText(today));

    choose(&dialog, option);
    if (!from.isNull()) {
        fromEdit->clear();
        QTest::keyClicks(fromEdit, from);
        toEdit->clear();
        QTest::keyClicks(toEdit, to);
    }
    pressOk(&dialog);

    if (!accepted) {
        QCOMPARE(MsgBox::shownTexts(), QStringList{QStringLiteral("Enter a valid date range!")});
        QVERIFY(dialog.isVisible());
        return;
    }
    QVERIFY(MsgBox::shownTexts().isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QDate gotStart;
    QDate gotEnd;
    dialog.range(gotStart, gotEnd);
    QCOMPARE(gotStart, start);
    QCOMPARE(gotEnd, end);
}

void TestReportChoosers::customToggleEnablesTheDates()
{
    DateRangeDialog dialog;
    dialog.show();
    auto *fromEdit = child<QLineEdit>(&dialog, "from");
    auto *toEdit = child<QLineEdit>(&dialog, "to");
    QVERIFY(!fromEdit->isEnabled());
    QVERIFY(!toEdit->isEnabled());
    choose(&dialog, QStringLiteral("custom"));
    QVERIFY(fromEdit->isEnabled());
    QVERIFY(toEdit->isEnabled());
    fromEdit->setText(QStringLiteral("1/2/2024"));
    choose(&dialog, QStringLiteral("month"));
    QVERIFY(!fromEdit->isEnabled());
    QVERIFY(!toEdit->isEnabled());
    QCOMPARE(fromEdit->text(), QStringLiteral("1/2/2024"));
}

void TestReportChoosers::maintenanceStatusComparesStoredValues_data()
{
    QTest::addColumn<QVector<int>>("rows");
    QTest::addColumn<QString>("clause");
    QTest::newRow("open and closed") << QVector<int>{1, 3} << "m.status = 'OPEN' or m.status = 'CLOSED'";
    QTest::newRow("all first") << QVector<int>{0, 2} << "";
    QTest::newRow("all after another") << QVector<int>{3, 0} << "";
}

void TestReportChoosers::maintenanceStatusComparesStoredValues()
{
    QFETCH(QVector<int>, rows);
    QFETCH(QString, clause);

    ModalDriver driver;
    QString title;
    QString label;
    QStringList items;
    driver.ok([&](QDialog *dialog) {
        title = dialog->windowTitle();
        label = child<QLabel>(dialog, "label")->text();
        items = listed(dialog);
        pickRows(dialog, rows);
    });
    QString got = QStringLiteral("untouched");
    QVERIFY(ReportChoices::maintenanceStatus(nullptr, got));
    QCOMPARE(title, QStringLiteral("Morvessa"));
    QCOMPARE(label, QStringLiteral("Status of Maintenance"));
    QCOMPARE(items, (QStringList{"All", "OPEN", "RESOLVED", "CLOSED", "POSTPONED"}));
    QCOMPARE(got, clause);
    QCOMPARE(driver.stayedOpen, 0);
}

void TestReportChoosers::cancelledChoiceStopsTheCommand()
{
    // Owners accepted, buildings cancelled: no clause comes back.
    ModalDriver driver;
    driver.ok([](QDialog *dialog) { pickRows(dialog, {1}); });
    driver.cancel();
    QString buildings = QStringLiteral("before");
    QVERIFY(!ReportChoices::ownersAndBuildings(hub->hub, nullptr, buildings));
    QCOMPARE(buildings, QStringLiteral("before"));
    QCOMPARE(driver.handled, 2);
    QVERIFY(MsgBox::shownTexts().isEmpty());

    // A statement the database refuses is shown, not printed empty.
    QVERIFY(!ReportChoices::loadRows(hub->hub, nullptr, QStringLiteral("select * from nosuchtable")));
    QCOMPARE(MsgBox::shownTexts().size(), 1);
    QVERIFY2(MsgBox::shownTexts().first().contains(QLatin1String("NOSUCHTABLE"), Qt::CaseInsensitive),
             qPrintable(MsgBox::shownTexts().first()));
}

VELLORAN_TEST_MAIN(TestReportChoosers)
#include "tst_reportchoosers.moc"
