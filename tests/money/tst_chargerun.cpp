// The frame of every charge run: what its work wrote is kept only when the work went through, and a
// failed step leaves nothing behind but its message.

#include "testhub.h"

#include "money/chargerun.h"

#include <QException>
#include <QSqlQuery>

namespace {
enum class Work { Posts, FindsNothing, Throws };
const char *const kInsert = "insert into owners (oid, code, name) values (9790, 'LOWN', 'Lee Owner')";
} // namespace

Q_DECLARE_METATYPE(Work)

class TestChargeRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keepsWhatTheWorkWroteOnlyWhenItWentThrough_data();
    void keepsWhatTheWorkWroteOnlyWhenItWentThrough();

private:
    TestHub *t = nullptr;
};

void TestChargeRun::init()
{
    t = new TestHub;
    QVERIFY(t->opened);
    MsgBox::clearShown();
}

void TestChargeRun::cleanup()
{
    delete t;
    t = nullptr;
}

void TestChargeRun::keepsWhatTheWorkWroteOnlyWhenItWentThrough_data()
{
    QTest::addColumn<Work>("work");
    QTest::addColumn<QString>("exceptionMessage");
    QTest::addColumn<bool>("reread");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("posted") << Work::Posts << QString() << true << 1 << QStringList();
    // Nothing due still closes the transaction, so that nothing of it waits for the next writer.
    QTest::newRow("nothing due") << Work::FindsNothing << QString() << false << 1 << QStringList();
    QTest::newRow("failed step") << Work::Throws << QString() << true << 0
                                 << QStringList("Error processing charges. Exception occured");
    QTest::newRow("failed step, own message")
        << Work::Throws << QStringLiteral("Error charging ahead. Exception occured") << true << 0
        << QStringList("Error charging ahead. Exception occured");
}

void TestChargeRun::keepsWhatTheWorkWroteOnlyWhenItWentThrough()
{
    QFETCH(Work, work);
    QFETCH(QString, exceptionMessage);
    QFETCH(bool, reread);
    QFETCH(int, kept);
    QFETCH(QStringList, shown);

    QSqlQuery *bills = t->hub->query();
    QSqlQuery *writer = t->hub->query2();
    const auto step = [&]() {
        if (!writer->exec(QLatin1String(kInsert)))
            throw QException();
        if (work == Work::Throws)
            throw QException();
        bills->exec(QStringLiteral("select oid from owners"));
        return work == Work::Posts;
    };
    QCOMPARE(ChargeRun::run(nullptr, bills, step, exceptionMessage), reread);
    QCOMPARE(t->count(QStringLiteral("owners where oid = 9790")), kept);
    QCOMPARE(MsgBox::shownTexts(), shown);
    QVERIFY(!bills->isActive());
}

VELLORAN_TEST_MAIN(TestChargeRun)
#include "tst_chargerun.moc"
