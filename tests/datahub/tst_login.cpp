#include "testhub.h"

#include "datahub/changepassdialog.h"
#include "datahub/logindialog.h"
#include "datahub/msgbox.h"
#include "datahub/qsupersqltablemodel.h"
#include "datahub/xdatasource.h"

#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>

namespace {
// Written out independently of the dialogs: what a delivered database holds for a password.
QString md5Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

// Rights of the clerk, in column order: options, users, bill, void, tenants, buildings,
// apartments, cashbook, equipments, owners, email, reports.
const QList<int> ClerkRights = {0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1, 0};
const QList<int> NoRights = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

class TestLogIn : public QObject
{
    Q_OBJECT

private:
    TestDatabase *m_copy = nullptr;
    XDataSource *m_hub = nullptr;

    void addUser(int wid, const QString &id, const QVariant &digest, const QList<int> &rights)
    {
        QSqlQuery q(QSqlDatabase::database());
        q.prepare(QStringLiteral(
            "insert into users (wid, lastname, firstname, id, npassword, progoptions, modusers, bill, "
            "voidtrans, tenants, buildings, apartments, cashbook, equipments, owners, email, reports) "
            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        q.addBindValue(wid);
        q.addBindValue(QStringLiteral("Last%1").arg(wid));
        q.addBindValue(QStringLiteral("First%1").arg(wid));
        q.addBindValue(id);
        q.addBindValue(digest);
        for (int r : rights)
            q.addBindValue(r);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }

    QString storedDigest(int wid)
    {
        return m_copy->scalar(QStringLiteral("select npassword from users where wid = %1").arg(wid)).toString();
    }

    // Types into the real form and presses its Log In button; returns whether it was accepted.
    bool logIn(const QString &id, const QString &password)
    {
        LogInDialog dialog(m_hub);
        dialog.show();
        typeText(dialog.findChild<QLineEdit *>(QStringLiteral("id")), id);
        QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("password")), password);
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
        return dialog.result() == QDialog::Accepted && dialog.isHidden();
    }

    bool changePassword(int key, const QString &current, const QString &newp, const QString &repeat)
    {
        ChangePassDialog dialog(m_hub);
        dialog.setUserKey(key);
        dialog.show();
        QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("current")), current);
        QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("newp")), newp);
        QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("repeat")), repeat);
        QTest::mouseClick(dialogButton(&dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        return dialog.result() == QDialog::Accepted && dialog.isHidden();
    }

    void verifyUsersModelUnfiltered()
    {
        QSuperSqlTableModel *users = m_hub->usersModel();
        QCOMPARE(users->filter(), QString());
        QCOMPARE(users->rowCount(), m_copy->scalar(QStringLiteral("select count(*) from users")).toInt());
    }

private slots:
    void initTestCase()
    {
        MsgBox::setTestMode(true);
    }

    void init()
    {
        m_copy = new TestDatabase(QStringLiteral("DATA.FDB"));
        QVERIFY(m_copy->isValid());
        m_hub = hubOnCopy(*m_copy);
        QVERIFY(m_hub->openDatabase());

        addUser(2, QStringLiteral("clerk"), md5Hex("s3cret"), ClerkRights);
        addUser(3, QStringLiteral("O'Brien"), md5Hex("shamrock"), NoRights);
        addUser(4, QStringLiteral("nopass"), QVariant(QVariant::String), NoRights);
        addUser(5, QStringLiteral("shouty"), md5Hex("s3cret").toUpper(), NoRights);
        addUser(6, QStringLiteral("blank"), QString(), NoRights);
        addUser(7, QStringLiteral("İnci"), md5Hex("s3cret"), NoRights);
        QVERIFY(m_hub->usersModel()->select());
        MsgBox::clearShown();
    }

    void cleanup()
    {
        delete m_hub;
        m_hub = nullptr;
        releaseConnection();
        delete m_copy;
        m_copy = nullptr;
    }

    void adminLogsInWithoutPassword_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("as stored") << "ADMIN";
        QTest::newRow("lower case") << "admin";
        QTest::newRow("mixed case, spaces") << "  aDmIn ";
    }

    void adminLogsInWithoutPassword()
    {
        QFETCH(QString, typed);
        QVERIFY(logIn(typed, QString()));
        QVERIFY(MsgBox::shownTexts().isEmpty());
        QCOMPARE(m_hub->userKey(), 1);
        QCOMPARE(m_hub->userId(), QStringLiteral("ADMIN"));
        QCOMPARE(m_hub->userFirstName(), QStringLiteral("System"));
        QCOMPARE(m_hub->userLastName(), QStringLiteral("Administrator"));
        QVERIFY(m_hub->canSetOptions() && m_hub->canModifyUsers() && m_hub->canReceivePayments()
                && m_hub->canVoidPayments() && m_hub->canManageTenants() && m_hub->canManageBuildings()
                && m_hub->canManageApartments() && m_hub->canUseCashbook() && m_hub->canManageEquipment()
                && m_hub->canManageOwners() && m_hub->canUseEmail() && m_hub->canViewReports());
        QVERIFY(!m_hub->query()->isActive());
    }

    void rightsOfTheUserReachTheHub()
    {
        QVERIFY(logIn(QStringLiteral("CLERK"), QStringLiteral("  s3cret ")));
        QCOMPARE(m_hub->userKey(), 2);
        QCOMPARE(m_hub->userId(), QStringLiteral("clerk"));
        const QList<bool> rights = {
            m_hub->canSetOptions(), m_hub->canModifyUsers(), m_hub->canReceivePayments(),
            m_hub->canVoidPayments(), m_hub->canManageTenants(), m_hub->canManageBuildings(),
            m_hub->canManageApartments(), m_hub->canUseCashbook(), m_hub->canManageEquipment(),
            m_hub->canManageOwners(), m_hub->canUseEmail(), m_hub->canViewReports()};
        for (int i = 0; i < ClerkRights.size(); ++i)
            QVERIFY2(rights.at(i) == bool(ClerkRights.at(i)), qPrintable(QString::number(i)));
    }

    void refusedLogIns_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");

        const QString blank = QStringLiteral("The id field cannot be blank");
        const QString tooShort = QStringLiteral("The password cannot be less than 5 characters");
        const QString unknown = QStringLiteral("The User ID you have entered does not exist!");
        const QString wrong = QStringLiteral("The password you have entered is incorrect!");

        QTest::newRow("empty id") << "" << "s3cret" << blank;
        QTest::newRow("spaces only") << "   " << "s3cret" << blank;
        QTest::newRow("4 characters") << "clerk" << "abcd" << tooShort;
        QTest::newRow("3 characters on an account without password") << "nopass" << "abc" << tooShort;
        QTest::newRow("4 characters inside spaces") << "clerk" << "  abcd  " << tooShort;
        QTest::newRow("unknown id") << "nobody" << "" << unknown;
        QTest::newRow("wrong password") << "clerk" << "secret" << wrong;
        QTest::newRow("no password typed for a protected account") << "clerk" << "" << wrong;
        QTest::newRow("password case matters") << "clerk" << "S3CRET" << wrong;
        QTest::newRow("upper-case stored digest never matches") << "shouty" << "s3cret" << wrong;
        QTest::newRow("apostrophe in an unknown id") << "d'Arcy" << "" << unknown;
        QTest::newRow("injected condition") << "x' or '1'='1" << "" << unknown;
        QTest::newRow("injected comment") << "admin'--" << "" << unknown;
        QTest::newRow("longer than any stored id") << QString(80, QLatin1Char('a')) << "" << unknown;
    }

    void refusedLogIns()
    {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(QString, message);

        // A refused log-in (as at Log Off) keeps whoever was logged in before.
        m_hub->setUserKey(42);
        m_hub->setUserId(QStringLiteral("previous"));
        m_hub->setCanViewReports(true);

        QVERIFY(!logIn(id, password));
        QCOMPARE(MsgBox::shownTexts(), QStringList{message});
        QCOMPARE(m_hub->userKey(), 42);
        QCOMPARE(m_hub->userId(), QStringLiteral("previous"));
        QVERIFY(m_hub->canViewReports());
        QVERIFY(!m_hub->query()->isActive());
    }

    void acceptedPasswords_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("key");
        QTest::newRow("apostrophe in the id") << "o'brien" << "shamrock" << 3;
        QTest::newRow("any password on an account without one") << "nopass" << "whatever" << 4;
        QTest::newRow("exactly 5 characters on an empty stored password") << "blank" << "abcde" << 6;
        QTest::newRow("surrounding spaces") << " clerk " << "   s3cret   " << 2;
        // Qt lowers a dotted capital I to two characters, the engine to one.
        QTest::newRow("dotted capital I, as stored") << "İnci" << "s3cret" << 7;
        QTest::newRow("dotted capital I, in capitals") << "İNCİ" << "s3cret" << 7;
        QTest::newRow("dotted capital I, in lower case") << "inci" << "s3cret" << 7;
    }

    void acceptedPasswords()
    {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(int, key);
        QVERIFY(logIn(id, password));
        QVERIFY(MsgBox::shownTexts().isEmpty());
        QCOMPARE(m_hub->userKey(), key);
    }

    // The accounts the README gives for the demonstration office open it.
    void demonstrationUsersLogIn_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("key");
        QTest::newRow("ADMIN") << "ADMIN" << "" << 1;
        QTest::newRow("DANA") << "DANA" << "dana2021" << 2;
    }

    void demonstrationUsersLogIn()
    {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(int, key);
        delete m_hub;
        m_hub = nullptr;
        releaseConnection();
        TestDatabase demo(QStringLiteral("DEMO.FDB"));
        QVERIFY(demo.isValid());
        m_hub = hubOnCopy(demo);
        QVERIFY(m_hub->openDatabase());
        QVERIFY(logIn(id, password));
        QVERIFY(MsgBox::shownTexts().isEmpty());
        QCOMPARE(m_hub->userKey(), key);
        delete m_hub;
        m_hub = nullptr;
        releaseConnection();
    }

    void closeRejects()
    {
        LogInDialog dialog(m_hub);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Log In"));
        QTest::keyClicks(dialog.findChild<QLineEdit *>(QStringLiteral("id")), QStringLiteral("admin"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButton_2")), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.isHidden());
        QCOMPARE(m_hub->userKey(), 0);
    }

    void refusedPasswordChanges_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("newp");
        QTest::addColumn<QString>("repeat");
        QTest::addColumn<QString>("message");

        QTest::newRow("no current") << 2 << "  " << "newpass" << "newpass"
                                    << "You must enter the current password.";
        QTest::newRow("no new") << 2 << "s3cret" << " " << "" << "The new password field is blank";
        QTest::newRow("new too short") << 2 << "s3cret" << "abcd" << "abcd"
                                       << "The new password cannot be less than 5 characters";
        QTest::newRow("repeat differs") << 2 << "s3cret" << "newpass" << "Newpass"
                                        << "The passwords you have typed do not match";
        QTest::newRow("wrong current") << 2 << "secret" << "newpass" << "newpass"
                                       << "Your current password is not correct!";
        QTest::newRow("no such account") << 99 << "s3cret" << "newpass" << "newpass"
                                         << "Sorry account does not exist!";
        QTest::newRow("account without password, blank current") << 1 << "" << "newpass" << "newpass"
                                                                  << "You must enter the current password.";
        QTest::newRow("account without password, any current") << 1 << "anything" << "newpass" << "newpass"
                                                               << "Your current password is not correct!";
    }

    void refusedPasswordChanges()
    {
        QFETCH(int, key);
        QFETCH(QString, current);
        QFETCH(QString, newp);
        QFETCH(QString, repeat);
        QFETCH(QString, message);

        QVERIFY(!changePassword(key, current, newp, repeat));
        QCOMPARE(MsgBox::shownTexts(), QStringList{message});
        QCOMPARE(storedDigest(2), md5Hex("s3cret"));
        QVERIFY(m_copy->scalar(QStringLiteral("select npassword from users where wid = 1")).isNull());
        verifyUsersModelUnfiltered();
    }

    void changedPasswordReplacesTheOldOne()
    {
        // Five characters are enough; surrounding spaces are not part of the password.
        QVERIFY(changePassword(2, QStringLiteral(" s3cret "), QStringLiteral("  fresh "), QStringLiteral("fresh")));
        QVERIFY(MsgBox::shownTexts().isEmpty());
        QCOMPARE(storedDigest(2), md5Hex("fresh"));
        verifyUsersModelUnfiltered();

        QVERIFY(!logIn(QStringLiteral("clerk"), QStringLiteral("s3cret")));
        QCOMPARE(MsgBox::shownTexts(), QStringList{QStringLiteral("The password you have entered is incorrect!")});
        QVERIFY(logIn(QStringLiteral("clerk"), QStringLiteral("fresh")));
    }

    void failedWriteKeepsTheOldPassword()
    {
        {
            QSqlQuery ddl(QSqlDatabase::database());
            QVERIFY(ddl.exec(QStringLiteral("create exception users_locked 'users are locked'")));
            QVERIFY(ddl.exec(QStringLiteral(
                "create trigger users_no_update for users before update as begin exception users_locked; end")));
        }
        QVERIFY(!changePassword(2, QStringLiteral("s3cret"), QStringLiteral("fresh"), QStringLiteral("fresh")));
        QCOMPARE(MsgBox::shownTexts(), QStringList{QStringLiteral("Database Error!")});
        QCOMPARE(storedDigest(2), md5Hex("s3cret"));
        verifyUsersModelUnfiltered();
    }
};

VELLORAN_TEST_MAIN(TestLogIn)
#include "tst_login.moc"
