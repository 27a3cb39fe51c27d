#include "testhub.h"

#include "datahub/today.h"
#include "platform/datafolder.h"
#include "shell/chooosedatadialog.h"
#include "shell/mainwindow.h"
#include "shell/notificationdialog.h"
#include "upkeep/remindersform.h"
#include "upkeep/todolistform.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>

#include <memory>

namespace {
class Office;
}

class TestReminders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listShowsTitleDateDescriptionWithoutPrint();
    void reminderDateRules_data();
    void reminderDateRules();
    void searchByDateWaitsForAWholeDate();
    void cancelledNewReminderLeavesNoRow();
    void reminderMadeHerePopsUpAtStart();
    void pastReminderSavedWithItsPopUpUnticked();
    void latestDueReminderPopsUpAtStart();

    void todoListOpensOnToday();
    void newItemOnPastDayRefused();
    void newItemIsStoredOnTheChosenDay();
    void storedPriorityShownAndKept_data();
    void storedPriorityShownAndKept();
    void reminderFromNewItemOutlivesTheItem();
    void showAllAndBackToADay();
    void editedItemStaysCurrent();

private:
    RemindersForm *openReminders();
    ToDoListForm *openTodo();
    // The main window on a fresh demonstration database of its own, in place of the test's hub; the
    // driver answers the database chooser.
    std::unique_ptr<MainWindow> openMainWindow(ModalDriver &driver);

    TestHub *t = nullptr;
    std::unique_ptr<Office> office;
    std::unique_ptr<QDialog> list;
};

void TestReminders::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestReminders::init()
{
    Today::set(QDate(2026, 3, 14));
    t = new TestHub;
    QVERIFY(t->opened);
    // The demo's reminders and items are dated from the day the database was built; these are fixed.
    QVERIFY(t->exec("delete from reminders"));
    QVERIFY(t->exec("delete from todo"));
    QVERIFY(t->exec("insert into reminders (id, title, description, tdate, reminder) values "
                    "(1, 'Owner''s statements', 'Monthly', '2026-03-20', 1)"));
    QVERIFY(t->exec("insert into reminders (id, title, description, tdate, reminder) values "
                    "(2, 'Gutters', 'Before winter', '2026-03-01', 0)"));
    QVERIFY(t->exec("insert into todo (id, description, tdate, priority) values (1, 'Chase rent', '2026-03-14', 3)"));
    QVERIFY(t->exec("insert into todo (id, description, tdate, priority) values (2, 'Order keys', '2026-03-16', 1)"));
    t->hub->remindersModel()->setFilter(QString());
}

void TestReminders::cleanup()
{
    list.reset();
    delete t;
    t = nullptr;
    office.reset();
    Today::reset();
}

RemindersForm *TestReminders::openReminders()
{
    auto *form = new RemindersForm(t->hub);
    list.reset(form);
    return form;
}

ToDoListForm *TestReminders::openTodo()
{
    auto *form = new ToDoListForm(t->hub);
    list.reset(form);
    return form;
}

void TestReminders::listShowsTitleDateDescriptionWithoutPrint()
{
    RemindersForm *form = openReminders();
    auto *view = child<QTableView>(form, "tableView");
    QList<int> shown;
    for (int visual = 0; visual < view->horizontalHeader()->count(); ++visual) {
        const int column = view->horizontalHeader()->logicalIndex(visual);
        if (!view->isColumnHidden(column))
            shown << column;
    }
    QCOMPARE(shown, QList<int>({1, 3, 2}));
    QVERIFY(child<QPushButton>(form, "pushButton_4")->isHidden());
    // Latest day first.
    QCOMPARE(view->model()->index(0, 1).data().toString(), QString("Owner's statements"));
}

void TestReminders::reminderDateRules_data()
{
    QTest::addColumn<int>("reminderId");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("stored");

    QTest::newRow("new, today") << 0 << "Boiler" << "3/14/2026" << true;
    QTest::newRow("new, yesterday") << 0 << "Boiler" << "3/13/2026" << false;
    QTest::newRow("new, two-digit year") << 0 << "Boiler" << "3/20/26" << false;
    QTest::newRow("new, other format") << 0 << "Boiler" << "2026-03-20" << false;
    QTest::newRow("new, blank title") << 0 << "  " << "3/20/2026" << false;
    QTest::newRow("past reminder moved to another past day") << 2 << "Gutters" << "3/2/2026" << false;
    QTest::newRow("past reminder moved to today") << 2 << "Gutters" << "3/14/2026" << true;
}

void TestReminders::reminderDateRules()
{
    QFETCH(int, reminderId);
    QFETCH(QString, title);
    QFETCH(QString, date);
    QFETCH(bool, stored);
    RemindersForm *form = openReminders();
    const QString dateMessage = "The date you have enetered is not valid. Also, the date can only be today or a "
                                "future date!";
    if (stored)
        MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Reminder Form"));
        QCOMPARE(child<QLineEdit>(d, "reminderDate")->text(), QString(reminderId ? "3/1/2026" : "3/14/2026"));
        child<QLineEdit>(d, "title")->setText(title);
        child<QLineEdit>(d, "reminderDate")->setText(date);
        QTest::keyClick(child<QPlainTextEdit>(d, "description"), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(child<QPlainTextEdit>(d, "description"), " it's due");
        child<QCheckBox>(d, "reminder")->setChecked(true);
    });
    if (reminderId) {
        selectRow(child<QTableView>(form, "tableView"), 0, reminderId, 1);
        clickButton(form, "pushButton_2");
    } else {
        clickButton(form, "pushButton");
    }
    QCOMPARE(driver.stayedOpen, stored ? 0 : 1);
    if (!stored) {
        QCOMPARE(MsgBox::shownTexts(), QStringList(title.trimmed().isEmpty() ? "The title field cannot be blank"
                                                                              : dateMessage));
        QCOMPARE(t->count("reminders"), 2);
        QCOMPARE(t->hub->remindersModel()->rowCount(), 2);
        return;
    }
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));
    const QString where = QStringLiteral(" from reminders where title = '%1'").arg(title);
    QCOMPARE(t->copy.scalar("select tdate" + where).toDate(), QDate(2026, 3, 14));
    QCOMPARE(t->copy.scalar("select reminder" + where).toInt(), 1);
    QVERIFY(t->copy.scalar("select description" + where).toString().endsWith(" it's due"));
    QCOMPARE(t->count("reminders"), reminderId ? 2 : 3);
}

void TestReminders::searchByDateWaitsForAWholeDate()
{
    RemindersForm *form = openReminders();
    QSqlTableModel *model = t->hub->remindersModel();
    auto *criteria = child<QLineEdit>(form, "lineEdit");
    QTest::keyClicks(criteria, "owner's");
    waitForSearch(form);
    QCOMPARE(model->filter(), QString("LOWER(Title) like LOWER('%owner''s%') ESCAPE '\\'"));
    QCOMPARE(model->rowCount(), 1);

    child<QComboBox>(form, "comboBox")->setCurrentIndex(2);
    criteria->clear();
    waitForSearch(form);
    QCOMPARE(model->filter(), QString());
    QTest::keyClicks(criteria, "3/1/202");
    waitForSearch(form);
    QCOMPARE(model->filter(), QString());
    QCOMPARE(model->rowCount(), 2);
    QTest::keyClicks(criteria, "6");
    waitForSearch(form);
    QCOMPARE(model->filter(), QString("tDate='2026-03-01'"));
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 1).data().toString(), QString("Gutters"));

    clickButton(form, "pushButton_7");
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(criteria->text(), QString("3/1/2026"));
}

void TestReminders::cancelledNewReminderLeavesNoRow()
{
    RemindersForm *form = openReminders();
    ModalDriver driver;
    driver.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "title"), "Never"); });
    clickButton(form, "pushButton");
    QCOMPARE(t->hub->remindersModel()->rowCount(), 2);
    QVERIFY(!t->hub->remindersModel()->isDirty());
    QCOMPARE(t->count("reminders"), 2);
}

namespace {
// A data folder of the test's own with a fresh demonstration database, for a whole main window.
class Office
{
public:
    Office()
    {
        qputenv("VELLORAN_DOCUMENTS", QFile::encodeName(m_docs.path()));
        QDir().mkpath(DataFolder::path());
        const QString file = DataFolder::filePath(QStringLiteral("DEMO.FDB"));
        QFile::copy(TestDatabase::builtDatabase(QStringLiteral("DEMO.FDB")), file);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    }
    ~Office() { releaseConnection(); }

private:
    QTemporaryDir m_docs;
};

QList<NotificationDialog *> openPopups()
{
    QList<NotificationDialog *> popups;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *popup = qobject_cast<NotificationDialog *>(w))
            if (popup->isVisible())
                popups << popup;
    return popups;
}
}

std::unique_ptr<MainWindow> TestReminders::openMainWindow(ModalDriver &driver)
{
    delete t;
    t = nullptr;
    releaseConnection();
    MsgBox::setTestMode(true);
    office = std::make_unique<Office>();
    driver.ok(); // the database chooser: the demonstration database
    return std::make_unique<MainWindow>();
}

void TestReminders::reminderMadeHerePopsUpAtStart()
{
    ModalDriver driver;
    auto window = openMainWindow(driver);
    QVERIFY(window->isDatabaseOpen());
    QVERIFY(exec("update reminders set reminder = 0"));
    window->checkReminders();
    QVERIFY(openPopups().isEmpty());

    MsgBox::setNextAnswer(QMessageBox::Yes);
    driver.ok([](QDialog *reminders) {
        QVERIFY(qobject_cast<RemindersForm *>(reminders));
        clickButton(reminders, "pushButton");
    });
    driver.ok([](QDialog *editor) {
        QTest::keyClicks(child<QLineEdit>(editor, "title"), "Meter <readings>");
        QTest::keyClicks(child<QPlainTextEdit>(editor, "description"), "All of Maple Court");
        child<QCheckBox>(editor, "reminder")->setChecked(true);
    });
    window->findChild<QAction *>("action_Reminders")->trigger();
    QCOMPARE(driver.handled, 3);
    QCOMPARE(driver.stayedOpen, 0);

    window->checkReminders();
    const QList<NotificationDialog *> popups = openPopups();
    QCOMPARE(popups.size(), 1);
    QCOMPARE(popups.constFirst()->text(),
             QString("<b>Meter &lt;readings&gt; - 3/14/2026</b><br/><br/>All of Maple Court"));
    popups.constFirst()->close();
}

void TestReminders::pastReminderSavedWithItsPopUpUnticked()
{
    QVERIFY(t->exec("insert into reminders (id, title, description, tdate, reminder) values "
                    "(3, 'Insurance', 'Renew the policy', '2026-03-08', 1)"));
    t->hub->remindersModel()->select();
    RemindersForm *form = openReminders();
    selectRow(child<QTableView>(form, "tableView"), 0, 3, 1);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QCOMPARE(child<QLineEdit>(d, "reminderDate")->text(), QString("3/8/2026"));
        child<QCheckBox>(d, "reminder")->setChecked(false);
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(MsgBox::shownTexts(), QStringList("Are you sure you want to submit data"));
    QCOMPARE(t->copy.scalar("select reminder from reminders where id = 3").toInt(), 0);
    QCOMPARE(t->copy.scalar("select tdate from reminders where id = 3").toDate(), QDate(2026, 3, 8));
}

void TestReminders::latestDueReminderPopsUpAtStart()
{
    ModalDriver driver;
    auto window = openMainWindow(driver);
    QVERIFY(window->isDatabaseOpen());
    // A reminder missed a week ago stands before today's in the table; the one to come is not due.
    QVERIFY(exec("delete from reminders"));
    QVERIFY(exec("insert into reminders (id, title, description, tdate, reminder) values "
                 "(1, 'Insurance', 'Renew the policy', '2026-03-08', 1)"));
    QVERIFY(exec("insert into reminders (id, title, description, tdate, reminder) values "
                 "(2, 'Extinguishers', 'Book the inspection', '2026-03-14', 1)"));
    QVERIFY(exec("insert into reminders (id, title, description, tdate, reminder) values "
                 "(3, 'Statements', 'Send them out', '2026-03-20', 1)"));
    window->checkReminders();
    const QList<NotificationDialog *> popups = openPopups();
    QCOMPARE(popups.size(), 1);
    QCOMPARE(popups.constFirst()->text(), QString("<b>Extinguishers - 3/14/2026</b><br/><br/>Book the inspection"));
    popups.constFirst()->close();
}

void TestReminders::todoListOpensOnToday()
{
    ToDoListForm *form = openTodo();
    QCOMPARE(form->windowTitle(), QString("Todo List"));
    QCOMPARE(t->hub->todoModel()->filter(), QString("tdate = '2026-03-14'"));
    QCOMPARE(child<QCalendarWidget>(form, "calendarWidget")->selectedDate(), QDate(2026, 3, 14));
    auto *view = child<QTableView>(form, "tableView");
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(view->model()->index(0, 4).data().toString(), QString("HIGH"));
    for (int column = 0; column < view->model()->columnCount(); ++column)
        QCOMPARE(view->isColumnHidden(column), column != 1 && column != 3 && column != 4);
}

void TestReminders::newItemOnPastDayRefused()
{
    ToDoListForm *form = openTodo();
    child<QCalendarWidget>(form, "calendarWidget")->setSelectedDate(QDate(2026, 3, 13));
    ModalDriver driver;
    clickButton(form, "pushButton");
    QCOMPARE(MsgBox::shownTexts(), QStringList("Select today or a future date"));
    QCOMPARE(driver.handled, 0);
    QCOMPARE(t->count("todo"), 2);
}

void TestReminders::newItemIsStoredOnTheChosenDay()
{
    ToDoListForm *form = openTodo();
    // The list still shows today: the new item goes to the chosen day all the same.
    child<QCalendarWidget>(form, "calendarWidget")->setSelectedDate(QDate(2026, 3, 18));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QVERIFY(child<QPushButton>(d, "pushButton")->isEnabled());
        QVERIFY(child<QRadioButton>(d, "normal")->isChecked());
        QTest::keyClicks(child<QLineEdit>(d, "description"), "Tenant's keys");
        child<QRadioButton>(d, "high")->setChecked(true);
    });
    clickButton(form, "pushButton");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select tdate from todo where description = 'Tenant''s keys'").toDate(), QDate(2026, 3, 18));
    QCOMPARE(t->copy.scalar("select priority from todo where description = 'Tenant''s keys'").toInt(), 3);
    QVERIFY(t->copy.scalar("select id from todo where description = 'Tenant''s keys'").toInt() > 6);
}

void TestReminders::storedPriorityShownAndKept_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<int>("saved");
    QTest::newRow("0") << 0 << "NORMAL" << "normal" << 2;
    QTest::newRow("1") << 1 << "LOW" << "low" << 1;
    QTest::newRow("3") << 3 << "HIGH" << "high" << 3;
    QTest::newRow("5") << 5 << "NORMAL" << "normal" << 2;
}

void TestReminders::storedPriorityShownAndKept()
{
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(QString, ticked);
    QFETCH(int, saved);
    QVERIFY(t->exec(QStringLiteral("update todo set priority = %1 where id = 1").arg(stored)));
    ToDoListForm *form = openTodo();
    auto *view = child<QTableView>(form, "tableView");
    QCOMPARE(view->model()->index(0, 4).data().toString(), shown);
    view->setCurrentIndex(view->model()->index(0, 1));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        QVERIFY(child<QRadioButton>(d, qPrintable(ticked))->isChecked());
        // Only a new item can be made a reminder.
        QVERIFY(!child<QPushButton>(d, "pushButton")->isEnabled());
        QTest::keyClick(child<QLineEdit>(d, "description"), Qt::Key_End);
        QTest::keyClicks(child<QLineEdit>(d, "description"), " now");
    });
    clickButton(form, "pushButton_2");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select priority from todo where id = 1").toInt(), saved);
    QCOMPARE(t->copy.scalar("select description from todo where id = 1").toString(), QString("Chase rent now"));
}

void TestReminders::reminderFromNewItemOutlivesTheItem()
{
    ToDoListForm *form = openTodo();
    child<QCalendarWidget>(form, "calendarWidget")->setSelectedDate(QDate(2026, 4, 2));
    MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    driver.cancel([](QDialog *item) {
        QTest::keyClicks(child<QLineEdit>(item, "description"), "Inspect roof");
        clickButton(item, "pushButton");
    });
    driver.ok([](QDialog *reminder) {
        QCOMPARE(child<QLineEdit>(reminder, "reminderDate")->text(), QString("4/2/2026"));
        QVERIFY(child<QLineEdit>(reminder, "title")->text().isEmpty());
        QTest::keyClicks(child<QLineEdit>(reminder, "title"), "Roof");
    });
    clickButton(form, "pushButton");
    QCOMPARE(driver.handled, 2);
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->count("todo"), 2);
    QCOMPARE(t->copy.scalar("select tdate from reminders where title = 'Roof'").toDate(), QDate(2026, 4, 2));
}

void TestReminders::showAllAndBackToADay()
{
    ToDoListForm *form = openTodo();
    QAbstractItemModel *model = child<QTableView>(form, "tableView")->model();
    clickButton(form, "pushButton_5");
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, 1).data().toString(), QString("Order keys"));

    auto *calendar = child<QCalendarWidget>(form, "calendarWidget");
    calendar->setSelectedDate(QDate(2026, 3, 16));
    QCOMPARE(model->rowCount(), 2);
    QMetaObject::invokeMethod(calendar, "clicked", Q_ARG(QDate, QDate(2026, 3, 16)));
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->index(0, 1).data().toString(), QString("Order keys"));
}

void TestReminders::editedItemStaysCurrent()
{
    QVERIFY(t->exec("insert into todo (id, description, tdate, priority) values (3, 'Order new mailbox keys', "
                    "'2026-03-14', 2)"));
    QVERIFY(t->exec("insert into todo (id, description, tdate, priority) values (4, 'Sweep the yard', '2026-03-14', 2)"));
    ToDoListForm *form = openTodo();
    auto *view = child<QTableView>(form, "tableView");
    QCOMPARE(view->model()->rowCount(), 3);
    for (int id : {1, 4, 1}) {
        selectRow(view, 0, id, 1);
        MsgBox::setNextAnswer(QMessageBox::Yes);
        ModalDriver driver;
        driver.ok([](QDialog *d) {
            auto *description = child<QLineEdit>(d, "description");
            QTest::keyClick(description, Qt::Key_End);
            QTest::keyClicks(description, " and write it down in the office book");
        });
        clickButton(form, "pushButton_2");
        QCOMPARE(driver.stayedOpen, 0);
        QCOMPARE(view->currentIndex().siblingAtColumn(0).data().toInt(), id);
    }
    // The next Delete takes the item just edited.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_3");
    QCOMPARE(t->count("todo where id = 1"), 0);
    QCOMPARE(t->count("todo where id in (3, 4)"), 2);
}

VELLORAN_TEST_MAIN(TestReminders)
#include "tst_reminders.moc"
