#include "testhub.h"

#include "datahub/workersform.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {
const char *const rightBoxes[] = {"progOptions", "modUsers", "viewReports", "recPayments", "voidPayments", "mail",
                                  "manageTenants", "manageBuildings", "manageApartments", "cashbook",
                                  "manageEquipment", "manageOwners"};

void retype(QDialog *d, const char *name, const QString &text)
{
    auto *edit = child<QLineEdit>(d, name);
    edit->clear();
    typeText(edit, text);
}
}

class TestWorkers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listShowsIdAndNamesOnly();
    void newAccountIsStoredTrimmedWithEveryRight();
    void cancelAfterNewLeavesNothing();
    void passwordRules_data();
    void passwordRules();
    void idMustBeUniqueWhateverTheCase_data();
    void idMustBeUniqueWhateverTheCase();
    void administratorIsProtected();
    void ownAccountIsToldAboutTheRestart();
    void deleteRemovesTheAccount();

private:
    void selectWid(int wid);

    TestHub *t = nullptr;
    WorkersForm *form = nullptr;
    QTableView *view = nullptr;
    QSqlTableModel *model = nullptr;
};

void TestWorkers::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    QVERIFY(t->exec("insert into users (wid, lastname, firstname, id, progoptions, modusers) "
                    "values (9400, 'Lane', 'Lois', 'lois', 0, 1)"));
    QVERIFY(t->exec("insert into users (wid, lastname, firstname, id) values (9401, 'Kent', 'Clark', 'Clark')"));
    form = new WorkersForm(t->hub);
    view = child<QTableView>(form, "tableView");
    model = t->hub->usersModel();
    model->select();
}

void TestWorkers::cleanup()
{
    delete form;
    delete t;
}

void TestWorkers::selectWid(int wid)
{
    selectRow(view, 0, wid, 1);
}

void TestWorkers::listShowsIdAndNamesOnly()
{
    QCOMPARE(form->windowTitle(), QString("Users"));
    QList<int> shown;
    for (int visual = 0; visual < view->horizontalHeader()->count(); ++visual) {
        const int column = view->horizontalHeader()->logicalIndex(visual);
        if (!view->isColumnHidden(column))
            shown << column;
    }
    QCOMPARE(shown, QList<int>({3, 1, 2}));
}

void TestWorkers::newAccountIsStoredTrimmedWithEveryRight()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    const int next = t->copy.scalar("select gen_id(GEN_USERS_ID, 0) from RDB$DATABASE").toInt() + 1;
    int ticked = 0;
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QString("Users Form"));
        for (const char *name : rightBoxes)
            ticked += child<QCheckBox>(d, name)->isChecked();
        child<QCheckBox>(d, "voidPayments")->setChecked(false);
        QTest::keyClicks(child<QLineEdit>(d, "id"), "  jdoe ");
        QTest::keyClicks(child<QLineEdit>(d, "firstname"), " Jane ");
    });
    clickButton(form, "pushButton_5");
    QCOMPARE(ticked, 12);
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select wid from users where id = 'jdoe'").toInt(), next);
    QCOMPARE(t->copy.scalar("select firstname from users where id = 'jdoe'").toString(), QString("Jane"));
    QVERIFY(t->copy.scalar("select npassword from users where id = 'jdoe'").isNull());
    QCOMPARE(t->copy.scalar("select bill + modusers + reports + voidtrans from users where id = 'jdoe'").toInt(), 3);
    // A new account is not one's own: no restart notice.
    QVERIFY(!MsgBox::shownTexts().contains("The new permissions will be applied when you restart the software."));
}

void TestWorkers::cancelAfterNewLeavesNothing()
{
    const int rows = model->rowCount();
    const int stored = t->count("users");
    ModalDriver driver;
    driver.cancel([](QDialog *d) { QTest::keyClicks(child<QLineEdit>(d, "id"), "ghost"); });
    clickButton(form, "pushButton_5");
    QCOMPARE(model->rowCount(), rows);
    QCOMPARE(t->count("users"), stored);
}

void TestWorkers::passwordRules_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank") << "   " << "abcde" << "The password and repeat password fields cannot be blank";
    QTest::newRow("different") << "abcde" << "abcdE" << "The passwords you have typed do not match";
    QTest::newRow("four characters") << "abcd" << "abcd" << "The passwords must be at least 5 characters";
    QTest::newRow("five, blanks around") << " abcde " << "abcde" << "";
}

void TestWorkers::passwordRules()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QFETCH(QString, password);
    QFETCH(QString, repeat);
    QFETCH(QString, message);
    selectWid(9401);
    ModalDriver driver;
    driver.ok([&](QDialog *d) {
        child<QGroupBox>(d, "passBox")->setChecked(true);
        QTest::keyClicks(child<QLineEdit>(d, "password"), password);
        QTest::keyClicks(child<QLineEdit>(d, "rpassword"), repeat);
    });
    clickButton(form, "pushButton_8");
    const QVariant stored = t->copy.scalar("select npassword from users where wid = 9401");
    if (message.isEmpty()) {
        QCOMPARE(driver.stayedOpen, 0);
        QCOMPARE(stored.toString(),
                 QString::fromLatin1(QCryptographicHash::hash("abcde", QCryptographicHash::Md5).toHex()));
    } else {
        QCOMPARE(driver.stayedOpen, 1);
        QCOMPARE(MsgBox::shownTexts(), QStringList(message));
        QVERIFY(stored.isNull());
    }
}

void TestWorkers::idMustBeUniqueWhateverTheCase_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("another account's id in other case") << "LOIS";
    QTest::newRow("own id in other case") << "CLARK";
    QTest::newRow("the administrator's id with a dotted capital I") << "ADMİN";
}

void TestWorkers::idMustBeUniqueWhateverTheCase()
{
    QFETCH(QString, id);
    selectWid(9401);
    ModalDriver driver;
    driver.ok([&](QDialog *d) { retype(d, "id", id); });
    clickButton(form, "pushButton_8");
    QCOMPARE(driver.stayedOpen, 1);
    QCOMPARE(MsgBox::shownTexts(), QStringList("The ID you have entered already exists. Enter a new ID."));
    QCOMPARE(t->copy.scalar("select id from users where wid = 9401").toString(), QString("Clark"));
}

void TestWorkers::administratorIsProtected()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    selectWid(1);
    ModalDriver driver;
    driver.ok([](QDialog *d) {
        QVERIFY(!child<QGroupBox>(d, "groupBox")->isEnabled());
        QVERIFY(child<QLineEdit>(d, "id")->isReadOnly());
        QVERIFY(child<QLineEdit>(d, "lastname")->isReadOnly());
        child<QGroupBox>(d, "passBox")->setChecked(true);
        QTest::keyClicks(child<QLineEdit>(d, "password"), "s3cret");
        QTest::keyClicks(child<QLineEdit>(d, "rpassword"), "s3cret");
    });
    clickButton(form, "pushButton_8");
    QCOMPARE(driver.stayedOpen, 0);
    QCOMPARE(t->copy.scalar("select npassword from users where wid = 1").toString(),
             QString::fromLatin1(QCryptographicHash::hash("s3cret", QCryptographicHash::Md5).toHex()));

    selectWid(1);
    clickButton(form, "pushButton_9");
    QVERIFY(MsgBox::shownTexts().contains("Sorry! You cannot delete the ADMIN account"));
    QCOMPARE(t->count("users where wid = 1"), 1);
}

void TestWorkers::ownAccountIsToldAboutTheRestart()
{
    // Every question this test raises is answered Yes.
    MsgBox::setNextAnswer(QMessageBox::Yes);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    const QString notice = "The new permissions will be applied when you restart the software.";
    t->hub->setUserKey(9400);
    ModalDriver driver;
    selectWid(9401);
    driver.ok();
    clickButton(form, "pushButton_8");
    QVERIFY(!MsgBox::shownTexts().contains(notice));

    selectWid(9400);
    driver.ok([](QDialog *d) { child<QCheckBox>(d, "progOptions")->setChecked(true); });
    clickButton(form, "pushButton_8");
    QVERIFY(MsgBox::shownTexts().contains(notice));
    QCOMPARE(t->copy.scalar("select progoptions from users where wid = 9400").toInt(), 1);
    // The running rights change only at the next log-in.
    QVERIFY(!t->hub->canSetOptions());
}

void TestWorkers::deleteRemovesTheAccount()
{
    selectWid(9400);
    MsgBox::setNextAnswer(QMessageBox::No);
    clickButton(form, "pushButton_9");
    QCOMPARE(t->count("users where wid = 9400"), 1);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    clickButton(form, "pushButton_9");
    QCOMPARE(t->count("users where wid = 9400"), 0);
}

VELLORAN_TEST_MAIN(TestWorkers)
#include "tst_workers.moc"
