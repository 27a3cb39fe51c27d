#include "testhub.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"
#include "shell/chooosedatadialog.h"
#include "shell/optionsdialog.h"
#include "shell/welcomedialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>

#include <memory>

namespace {

QSettings store()
{
    return QSettings(QStringLiteral("Morvessa"), QStringLiteral("Velloran 2021"));
}

} // namespace

class TestShellDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void chooserAnswer_data();
    void chooserAnswer();

    void optionsRoundTrip();
    void optionsNotConfirmedChangesNothing();
    void optionsFailingRowChangesNothing();
    void optionsPortHeldInRange_data();
    void optionsPortHeldInRange();

    void welcomeRemembersChoice_data();
    void welcomeRemembersChoice();

private:
    void openHub();
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<XDataSource> m_hub;
};

void TestShellDialogs::initTestCase()
{
    MsgBox::setTestMode(true);
}

void TestShellDialogs::init()
{
    MsgBox::clearShown();
}

void TestShellDialogs::cleanup()
{
    m_hub.reset();
    releaseConnection();
    m_db.reset();
}

void TestShellDialogs::openHub()
{
    m_db = std::make_unique<TestDatabase>(QStringLiteral("DATA.FDB"));
    QVERIFY(m_db->isValid());
    m_hub.reset(hubOnCopy(*m_db));
    QVERIFY(m_hub->openDatabase());
}

void TestShellDialogs::chooserAnswer_data()
{
    QTest::addColumn<bool>("pickWorking");
    QTest::addColumn<bool>("pressOk");
    QTest::addColumn<bool>("demo");
    QTest::newRow("OK untouched") << false << true << true;
    QTest::newRow("working, OK") << true << true << false;
    QTest::newRow("working, closed without OK") << true << false << true;
}

void TestShellDialogs::chooserAnswer()
{
    QFETCH(bool, pickWorking);
    QFETCH(bool, pressOk);
    QFETCH(bool, demo);

    ChoooseDataDialog chooser;
    QVERIFY(chooser.findChild<QRadioButton *>(QStringLiteral("radioButton"))->isChecked());
    QTimer::singleShot(0, &chooser, [&] {
        if (pickWorking)
            QTest::mouseClick(chooser.findChild<QRadioButton *>(QStringLiteral("radioButton_2")), Qt::LeftButton);
        if (pressOk)
            QTest::mouseClick(dialogButton(&chooser, QDialogButtonBox::Ok), Qt::LeftButton);
        else
            QTest::keyClick(&chooser, Qt::Key_Escape);
    });
    chooser.exec();
    QCOMPARE(chooser.isDemoChosen(), demo);
}

void TestShellDialogs::optionsRoundTrip()
{
    openHub();
    {
        OptionsDialog options(m_hub.get(), -1, nullptr);
        options.show();
        auto field = [&](const char *name) { return options.findChild<QLineEdit *>(QLatin1String(name)); };
        QCOMPARE(options.findChild<QSpinBox *>(QStringLiteral("port"))->value(), 587);
        QVERIFY(options.findChild<QCheckBox *>(QStringLiteral("tls"))->isChecked());

        field("company")->setText(QStringLiteral("  Harbour Lets  "));
        field("mobile")->setText(QStringLiteral("555 0101"));
        field("password")->setText(QStringLiteral("  s3crét pass  "));
        field("server")->setText(QStringLiteral(" smtp.example.org "));
        field("username")->setText(QStringLiteral(" office "));
        options.findChild<QSpinBox *>(QStringLiteral("port"))->setValue(2525);
        options.findChild<QCheckBox *>(QStringLiteral("tls"))->setChecked(false);

        MsgBox::setNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(dialogButton(&options, QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(options.result(), int(QDialog::Accepted));
        QCOMPARE(MsgBox::shownTexts(), QStringList{QStringLiteral("Are you sure you want to submit data")});
    }

    // Spaces typed into the mail account fields are dropped; other fields keep them.
    QCOMPARE(m_db->scalar(QStringLiteral("select textvalue from setup where setid = 1")).toString(),
             QStringLiteral("  Harbour Lets  "));
    QCOMPARE(m_db->scalar(QStringLiteral("select textvalue from setup where setid = 8")).toString(),
             QStringLiteral("555 0101"));
    QCOMPARE(m_db->scalar(QStringLiteral("select textvalue from setup where setid = 15")).toString(),
             QStringLiteral("smtp.example.org"));
    QCOMPARE(m_db->scalar(QStringLiteral("select textvalue from setup where setid = 16")).toString(),
             QStringLiteral("2525"));
    QCOMPARE(m_db->scalar(QStringLiteral("select textvalue from setup where setid = 17")).toString(),
             QStringLiteral("office"));
    QCOMPARE(m_db->scalar(QStringLiteral("select flagvalue from setup where setid = 18")).toInt(), 0);

    // The password never reaches the table in plain, yet reads back as typed (trimmed).
    const QString stored = m_db->scalar(QStringLiteral("select textvalue from setup where setid = 14")).toString();
    QVERIFY(!stored.isEmpty());
    QVERIFY(!stored.contains(QLatin1String("s3cr")));
    QCOMPARE(m_hub->decryptPassword(stored), QStringLiteral("s3crét pass"));
    QCOMPARE(m_hub->mailPassword(), QStringLiteral("s3crét pass"));
    QCOMPARE(m_hub->useTls(), false);

    // Opening again shows what was saved.
    m_hub->setMailPassword(QString());
    OptionsDialog again(m_hub.get(), -1, nullptr);
    QCOMPARE(again.findChild<QLineEdit *>(QStringLiteral("password"))->text(), QStringLiteral("s3crét pass"));
    QCOMPARE(again.findChild<QLineEdit *>(QStringLiteral("server"))->text(), QStringLiteral("smtp.example.org"));
    QCOMPARE(again.findChild<QSpinBox *>(QStringLiteral("port"))->value(), 2525);
    QVERIFY(!again.findChild<QCheckBox *>(QStringLiteral("tls"))->isChecked());
}

void TestShellDialogs::optionsNotConfirmedChangesNothing()
{
    openHub();
    OptionsDialog options(m_hub.get(), -1, nullptr);
    options.show();
    options.findChild<QLineEdit *>(QStringLiteral("company"))->setText(QStringLiteral("Not saved"));

    MsgBox::setNextAnswer(QMessageBox::No);
    QTest::mouseClick(dialogButton(&options, QDialogButtonBox::Ok), Qt::LeftButton);
    QVERIFY(options.isVisible());
    QCOMPARE(options.findChild<QLineEdit *>(QStringLiteral("company"))->text(), QStringLiteral("Not saved"));
    QCOMPARE(m_hub->companyName(), QString());

    QTest::mouseClick(dialogButton(&options, QDialogButtonBox::Cancel), Qt::LeftButton);
    QCOMPARE(options.result(), int(QDialog::Rejected));
    QCOMPARE(m_db->scalar(QStringLiteral("select textvalue from setup where setid = 1")).toString(), QString());
    QCOMPARE(m_hub->companyName(), QString());
}

void TestShellDialogs::optionsFailingRowChangesNothing()
{
    openHub();
    const auto table = [this] {
        QStringList rows;
        for (int setid = 1; setid <= 18; ++setid)
            rows << m_db->scalar(QStringLiteral("select coalesce(textvalue, '') || '|' || coalesce(flagvalue, -1) "
                                                "from setup where setid = %1").arg(setid)).toString();
        return rows;
    };
    const QStringList before = table();
    QVERIFY(!before.contains(QString()));
    // The last row of the save is refused, after the seventeen before it were written.
    QVERIFY(exec(QStringLiteral("create exception setup_kept 'kept'")));
    QVERIFY(exec(QStringLiteral("create trigger setup_kept for setup before update as begin "
                                "if (new.setid = 18) then exception setup_kept; end")));

    OptionsDialog options(m_hub.get(), -1, nullptr);
    options.show();
    const QString server = m_hub->smtpServer();
    const QString password = m_hub->mailPassword();
    options.findChild<QLineEdit *>(QStringLiteral("company"))->setText(QStringLiteral("Harbour Lets"));
    options.findChild<QLineEdit *>(QStringLiteral("server"))->setText(QStringLiteral("smtp.elsewhere.org"));
    options.findChild<QLineEdit *>(QStringLiteral("password"))->setText(QStringLiteral("not kept"));
    options.findChild<QCheckBox *>(QStringLiteral("tls"))->setChecked(false);

    MsgBox::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(dialogButton(&options, QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(MsgBox::shownTexts(),
             QStringList({QStringLiteral("Are you sure you want to submit data"), QStringLiteral("Unable to submit data")}));
    QVERIFY(options.isVisible());
    QCOMPARE(options.result(), int(QDialog::Rejected));
    QCOMPARE(table(), before);
    QCOMPARE(m_hub->companyName(), QString());
    QCOMPARE(m_hub->smtpServer(), server);
    QCOMPARE(m_hub->mailPassword(), password);
    QVERIFY(m_hub->useTls());
}

void TestShellDialogs::optionsPortHeldInRange_data()
{
    QTest::addColumn<QString>("storedPort");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("saved");
    QTest::newRow("usual") << QStringLiteral("465") << 465 << QStringLiteral("465");
    QTest::newRow("above the range") << QStringLiteral("25000") << 10000 << QStringLiteral("10000");
    QTest::newRow("no number") << QStringLiteral("smtp") << 0 << QStringLiteral("0");
}

void TestShellDialogs::optionsPortHeldInRange()
{
    QFETCH(QString, storedPort);
    QFETCH(int, shown);
    QFETCH(QString, saved);

    openHub();
    QSqlQuery set;
    set.prepare(QStringLiteral("update setup set textvalue = ? where setid = 16"));
    set.addBindValue(storedPort);
    QVERIFY(set.exec());
    m_hub->setupModel()->select();

    OptionsDialog options(m_hub.get(), -1, nullptr);
    options.show();
    QCOMPARE(options.findChild<QSpinBox *>(QStringLiteral("port"))->value(), shown);
    MsgBox::setNextAnswer(QMessageBox::Yes);
    QTest::mouseClick(dialogButton(&options, QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(options.result(), int(QDialog::Accepted));
    QCOMPARE(m_db->scalar(QStringLiteral("select textvalue from setup where setid = 16")).toString(), saved);
}

void TestShellDialogs::welcomeRemembersChoice_data()
{
    QTest::addColumn<QVariant>("before");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<bool>("pressOk");
    QTest::addColumn<bool>("showNextTime");
    QTest::newRow("ticked, OK") << QVariant() << true << true << false;
    QTest::newRow("not ticked, OK") << QVariant() << false << true << true;
    QTest::newRow("ticked, Esc") << QVariant() << true << false << true;
    QTest::newRow("off stays off") << QVariant(false) << false << true << false;
}

void TestShellDialogs::welcomeRemembersChoice()
{
    QFETCH(QVariant, before);
    QFETCH(bool, tick);
    QFETCH(bool, pressOk);
    QFETCH(bool, showNextTime);

    {
        QSettings settings = store();
        settings.remove(QStringLiteral("ShowWelcome"));
        if (before.isValid())
            settings.setValue(QStringLiteral("ShowWelcome"), before);
    }
    QCOMPARE(WelcomeDialog::showAtStart(), !before.isValid() || before.toBool());

    WelcomeDialog welcome(nullptr);
    QCOMPARE(welcome.windowTitle(), QStringLiteral("Welcome to Morvessa Velloran 2021"));
    auto *checkBox = welcome.findChild<QCheckBox *>(QStringLiteral("checkBox"));
    QVERIFY(!checkBox->isChecked());
    QTimer::singleShot(0, &welcome, [&] {
        checkBox->setChecked(tick);
        if (pressOk)
            QTest::mouseClick(dialogButton(&welcome, QDialogButtonBox::Ok), Qt::LeftButton);
        else
            QTest::keyClick(&welcome, Qt::Key_Escape);
    });
    welcome.exec();
    QCOMPARE(WelcomeDialog::showAtStart(), showNextTime);
}

VELLORAN_TEST_MAIN(TestShellDialogs)
#include "tst_shelldialogs.moc"
