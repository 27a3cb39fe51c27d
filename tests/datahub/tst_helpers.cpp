#include "testdatabase.h"

#include "datahub/debuglog.h"
#include "datahub/msgbox.h"
#include "datahub/shortdate.h"

#include <QDateEdit>

class TestHelpers : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
    }

    // Statements, record numbers and start-up steps stay off the console of an ordinary run; the
    // logging rules turn them on.
    void debugLinesOnlyWhenTheRulesAskForThem()
    {
        if (!qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
            QSKIP("the environment sets its own logging rules");
        QCOMPARE(QLatin1String(velloranLog().categoryName()), QLatin1String("velloran"));
        QVERIFY(!velloranLog().isDebugEnabled());
        QVERIFY(velloranLog().isInfoEnabled());
        QLoggingCategory::setFilterRules(QStringLiteral("velloran.debug=true"));
        QVERIFY(velloranLog().isDebugEnabled());
        QLoggingCategory::setFilterRules(QString());
        QVERIFY(!velloranLog().isDebugEnabled());
    }

    void shortDateWidensTheYear_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");

        QTest::newRow("en_US") << "en_US" << "M/d/yyyy" << "12/9/2025";
        QTest::newRow("de_DE") << "de_DE" << "dd.MM.yyyy" << "09.12.2025";
        QTest::newRow("en_GB already full") << "en_GB" << "dd/MM/yyyy" << "09/12/2025";
    }

    void shortDateWidensTheYear()
    {
        QFETCH(QString, locale);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        const QDate date(2025, 12, 9);

        QCOMPARE(ShortDate::format(), format);
        QCOMPARE(ShortDate::toText(date), text);
        QCOMPARE(ShortDate::fromText(text), date);
        QCOMPARE(ShortDate::fromText(QLatin1Char(' ') + text + QLatin1Char(' ')), date);

        QDateEdit edit;
        ShortDate::apply(&edit);
        edit.setDate(date);
        QCOMPARE(edit.text(), text);
    }

    void shortDateRefusesWhatIsNotAFullDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("two-digit year") << "12/9/25";
        QTest::newRow("three-digit year") << "12/9/202";
        QTest::newRow("no such day") << "2/30/2025";
        QTest::newRow("words") << "tomorrow";
        QTest::newRow("empty") << "";
    }

    void shortDateRefusesWhatIsNotAFullDate()
    {
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        QVERIFY(!ShortDate::fromText(text).isValid());
        QCOMPARE(ShortDate::toText(QDate()), QString());
    }

    void msgBoxTestModeRecordsAndAnswers()
    {
        MsgBox::setTestMode(true);
        MsgBox::setNextAnswer(QMessageBox::No);
        MsgBox::setNextAnswer(QMessageBox::Yes);

        MsgBox::information(nullptr, QStringLiteral("one"));
        QCOMPARE(MsgBox::question(nullptr, QStringLiteral("two")), QMessageBox::No);
        MsgBox::warning(nullptr, QStringLiteral("three"), QStringLiteral("Morvessa Velloran"));
        QCOMPARE(MsgBox::question(nullptr, QStringLiteral("four")), QMessageBox::Yes);
        QCOMPARE(MsgBox::queuedAnswers(), 0);

        QCOMPARE(MsgBox::shownTexts(),
                 QStringList({"one", "two", "three", "four"}));
        MsgBox::clearShown();
        QVERIFY(MsgBox::shownTexts().isEmpty());

        // Leaving test mode drops answers a test queued but never used.
        MsgBox::setNextAnswer(QMessageBox::No);
        MsgBox::setTestMode(false);
        MsgBox::setTestMode(true);
        QCOMPARE(MsgBox::queuedAnswers(), 0);
        MsgBox::setTestMode(false);
    }

};

VELLORAN_TEST_MAIN(TestHelpers)
#include "tst_helpers.moc"
