// A session that ends, or a user who kills the program, must not leave the database open with work
// half done. Each case starts this executable again as the program: its program mode runs the
// program's own start (database chooser, log-in, main window) on a copy of the demonstration
// database and reports when it has reached the stage asked for; the test then sends the signal.
#include "testdatabase.h"

#include "datahub/logindialog.h"
#include "datahub/today.h"
#include "money/editpaymentdialog.h"
#include "money/paymentdialog.h"
#include "platform/datafolder.h"
#include "properties/seltenantdialog.h"
#include "shell/chooosedatadialog.h"
#include "shell/mainwindow.h"
#include "shell/programstart.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSplashScreen>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const char *const kProgramMode = "--as-program";
// What the test marks one open charge as already paying before the program starts.
const char *const kMarkedApplied = "12.34";
// The start-up run's backlog: bills, each with a tenant, an apartment and a lease of its own, keyed
// above the demonstration office's keys, due monthly from the start to the program's day.
const int kBacklogBills = 3000;
const int kBacklogKeys = 50000;
const char *const kBacklogStart = "2025-06-01";
const char *const kBacklogToday = "2026-06-15";

void click(QWidget *dialog, QDialogButtonBox::StandardButton which)
{
    dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(which)->click();
}

// Collect Rent for the tenant of the marked charge, as a clerk does it: the tenant picked by code, the
// charge chosen in the grid and 75.00 typed into its Paying, a memo with it, through Edit. True once the
// database holds that amount and the collection is still open.
bool driveCollection(QWidget *modal, MainWindow *window)
{
    static bool started = false;
    static bool edited = false;
    static int chid = -1;
    static int tid = -1;
    static QString code;
    if (!started) {
        if (modal)
            return false;
        started = true;
        QSqlQuery marked;
        if (marked.exec(QStringLiteral("select c.chid, c.tid, t.id from charges c join tenants t on t.tid = c.tid "
                                       "where c.applied = %1").arg(QLatin1String(kMarkedApplied)))
            && marked.next()) {
            chid = marked.value(0).toInt();
            tid = marked.value(1).toInt();
            code = marked.value(2).toString();
        }
        QTimer::singleShot(0, window, [window] { window->collectRent(); });
        return false;
    }
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        // The late-fee question is declined; the notices are only read.
        QAbstractButton *answer = box->button(QMessageBox::No);
        (answer ? answer : box->button(QMessageBox::Ok))->click();
    } else if (auto *picker = qobject_cast<SelTenantDialog *>(modal)) {
        auto *search = picker->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
        auto *list = picker->findChild<QTableView *>(QStringLiteral("tableView"));
        if (search->text().isEmpty()) {
            QTest::keyClicks(search, code);
            return false;
        }
        for (QTimer *timer : picker->findChildren<QTimer *>(QStringLiteral("searchTimer")))
            if (timer->isActive())
                return false;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            if (list->model()->index(row, 0).data().toInt() == tid)
                list->setCurrentIndex(list->model()->index(row, 2));
        click(picker, QDialogButtonBox::Ok);
    } else if (auto *collection = qobject_cast<PaymentDialog *>(modal)) {
        if (edited) {
            QSqlQuery applied;
            return applied.exec(QStringLiteral("select applied from charges where chid = %1").arg(chid)) && applied.next()
                   && applied.value(0).toDouble() == 75.0;
        }
        edited = true;
        auto *grid = collection->findChild<QTableView *>(QStringLiteral("tableView"));
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            if (grid->model()->index(row, 0).data().toInt() == chid)
                grid->setCurrentIndex(grid->model()->index(row, 3));
        QTimer::singleShot(0, collection, [collection] {
            collection->findChild<QPushButton *>(QStringLiteral("pushButton_4"))->click();
        });
    } else if (auto *editor = qobject_cast<EditPaymentDialog *>(modal)) {
        auto *paying = editor->findChild<QLineEdit *>(QStringLiteral("paying"));
        paying->clear();
        QTest::keyClicks(paying, QStringLiteral("75.00"));
        editor->findChild<QPlainTextEdit *>(QStringLiteral("memo"))->setPlainText(QStringLiteral("typed at the end"));
        click(editor, QDialogButtonBox::Ok);
    }
    return false;
}

// The program, driven up to `stage`: "chooser", "log-in", "idle" (the main window, nothing open),
// "modal" (a tenant inserted in an open transaction, and a modal dialog up over the window) or
// "collect" (Collect Rent open with an amount set in Paying).
int runProgram(const QString &stage)
{
    QTextStream out(stdout);
    ProgramStart::setApplicationNames();
    // The welcome dialog would be a modal dialog of its own two seconds in.
    QSettings(QStringLiteral("Morvessa"), QStringLiteral("Velloran 2021")).setValue(QStringLiteral("ShowWelcome"), false);
    ProgramStart::handleEndSignals();
    if (stage == QLatin1String("engine held"))
        ProgramStart::setEngineWait(1000);

    bool reported = false;
    const auto report = [&] {
        if (reported)
            return;
        reported = true;
        out << "READY " << stage << Qt::endl;
    };
    bool modalOpened = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal); box && stage == QLatin1String("engine held")) {
            out << box->text() << Qt::endl;
            report();
            for (QAbstractButton *button : box->buttons())
                if (button->text() == QLatin1String("Quit"))
                    button->click();
            return;
        }
        if (auto *chooser = qobject_cast<ChoooseDataDialog *>(modal)) {
            if (stage == QLatin1String("chooser"))
                report();
            else if (chooser->isVisible())
                chooser->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
            return;
        }
        if (auto *logIn = qobject_cast<LogInDialog *>(modal)) {
            if (stage == QLatin1String("log-in")) {
                report();
            } else if (logIn->isVisible()) {
                logIn->findChild<QLineEdit *>(QStringLiteral("id"))->setText(QStringLiteral("ADMIN"));
                logIn->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
            }
            return;
        }
        MainWindow *window = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *found = qobject_cast<MainWindow *>(top); found && found->isVisible())
                window = found;
        if (!window)
            return;
        if (stage == QLatin1String("idle") && !modal) {
            report();
        } else if (stage == QLatin1String("collect")) {
            if (driveCollection(modal, window))
                report();
        } else if (stage == QLatin1String("modal") && !modal && !modalOpened) {
            modalOpened = true;
            QTimer::singleShot(0, window, [window] {
                QSqlDatabase db = QSqlDatabase::database();
                QSqlQuery insert(db);
                if (!db.transaction()
                    || !insert.exec(QStringLiteral("insert into tenants (tid, id, firstname, lastname) "
                                                   "values (77001, 'SIG', 'Half', 'Done')")))
                    qWarning() << "could not begin the work:" << insert.lastError().text();
                QDialog editor(window);
                editor.setObjectName(QStringLiteral("editor"));
                editor.exec();
            });
        } else if (modal && modal->objectName() == QLatin1String("editor")) {
            report();
        }
    });
    poll.start(20);
    if (stage == QLatin1String("start-up run")) {
        // Started as the program's own main starts it, splash and all; the backlog is a year behind.
        Today::set(QDate::fromString(QLatin1String(kBacklogToday), Qt::ISODate));
        QSplashScreen splash;
        ProgramStart::showSplash(splash);
        return ProgramStart::run(&splash);
    }
    return ProgramStart::run(nullptr);
}

// A copy of the demonstration office in the data folder under `documents`; its path, or empty.
QString officeIn(const QTemporaryDir &documents)
{
    const QString folder = documents.path() + QStringLiteral("/Morvessa/Morvessa Velloran");
    const QString file = folder + QStringLiteral("/DEMO.FDB");
    if (!QDir().mkpath(folder) || !QFile::copy(TestDatabase::builtDatabase(QStringLiteral("DEMO.FDB")), file))
        return QString();
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    return file;
}

// This executable started as the program on the office under `documents`, driven up to `stage`.
void startProgram(QProcess &program, const QTemporaryDir &documents, const QString &stage,
                  const QString &display = QString())
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!display.isEmpty()) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), display);
    }
    environment.insert(QStringLiteral("VELLORAN_DOCUMENTS"), documents.path());
    // A program that ends at once leaves its own temporary folders behind; they go with this one.
    const QString temporary = documents.path() + QStringLiteral("/tmp");
    QDir().mkpath(temporary);
    environment.insert(QStringLiteral("TMPDIR"), temporary);
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("velloran.debug=true"));
    environment.insert(QStringLiteral("VELLORAN_SPLASH_MS"), QStringLiteral("0"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kProgramMode), stage});
}

// Waits until the program says it has reached `stage`; what it said on its standard output.
QByteArray waitUntilReady(QProcess &program, const QString &stage)
{
    QElapsedTimer waited;
    waited.start();
    QByteArray said;
    while (!said.contains("READY " + stage.toLatin1()) && waited.elapsed() < 60000 && program.state() == QProcess::Running) {
        program.waitForReadyRead(100);
        said += program.readAllStandardOutput();
    }
    return said;
}

// The number `sql` counts in the office's file, on a connection of its own; -1 when it cannot be read.
int countIn(const QString &file, const QString &sql)
{
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("count"));
        db.setDatabaseName(file);
        db.setUserName(QStringLiteral("SYSDBA"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql) && query.next())
                count = query.value(0).toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return count;
}

} // namespace

class TestProgramEnd : public QObject
{
    Q_OBJECT

private slots:
    void endsCleanlyOnSignal_data();
    void endsCleanlyOnSignal();
    void endDuringTheStartUpRunEndsWithTheRunWholeOrUndone();
    void endsWhenTheDisplayGoesAway_data();
    void endsWhenTheDisplayGoesAway();
    void startWithTheEngineHeldSaysSo();
};

void TestProgramEnd::endsWhenTheDisplayGoesAway_data()
{
    QTest::addColumn<bool>("signalled");
    QTest::newRow("display gone") << false;
    QTest::newRow("display gone and SIGTERM, as at a log-out") << true;
}

// The display plugin ends the program with exit() from inside the event loop when its display goes
// away; the work left open is given up and the file let go all the same.
void TestProgramEnd::endsWhenTheDisplayGoesAway()
{
    QFETCH(bool, signalled);
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (server.isEmpty())
        QSKIP("needs Xvfb");
    QTemporaryDir documents;
    QVERIFY(documents.isValid());
    const QString file = officeIn(documents);
    QVERIFY(!file.isEmpty());

    QProcess display;
    display.start(server, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                           QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x1024x24")});
    QVERIFY(display.waitForStarted(10000));
    QByteArray number;
    while (!number.contains('\n') && display.waitForReadyRead(10000))
        number += display.readAllStandardOutput();
    QVERIFY2(!number.trimmed().isEmpty(), "Xvfb gave no display");

    QProcess program;
    startProgram(program, documents, QStringLiteral("modal"), QLatin1Char(':') + QString::fromLatin1(number.trimmed()));
    QVERIFY(program.waitForStarted(10000));
    const QByteArray said = waitUntilReady(program, QStringLiteral("modal"));
    QVERIFY2(said.contains("READY modal"), said.constData());

    display.terminate();
    if (signalled)
        QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
    const bool ended = program.waitForFinished(10000);
    if (!ended) {
        program.kill();
        program.waitForFinished(5000);
    }
    display.waitForFinished(5000);
    const QString log = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(ended, qPrintable(log));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(log.contains(QLatin1String("database closed")), qPrintable(log));
    // The file opens again, without the tenant of the transaction left open.
    QCOMPARE(countIn(file, QStringLiteral("select count(*) from tenants where tid = 77001")), 0);
}

// A program hanging in the engine's exit holds the lock folder's init lock; a new start says so after
// a while, and ends when told to, instead of waiting on with nothing on the screen.
void TestProgramEnd::startWithTheEngineHeldSaysSo()
{
    QTemporaryDir documents;
    QVERIFY(documents.isValid());
    QVERIFY(!officeIn(documents).isEmpty());
    const QByteArray init = qgetenv("FIREBIRD_LOCK") + "/fb_init";
    const int held = ::open(init.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0660);
    QVERIFY(held >= 0);
    const auto release = qScopeGuard([held] { ::close(held); });
    QCOMPARE(::flock(held, LOCK_EX), 0);

    QProcess program;
    startProgram(program, documents, QStringLiteral("engine held"));
    QVERIFY(program.waitForStarted(10000));
    const QByteArray said = waitUntilReady(program, QStringLiteral("engine held"));
    QVERIFY2(said.contains("The database engine does not answer") && said.contains(qgetenv("FIREBIRD_LOCK")), said.constData());
    const bool ended = program.waitForFinished(10000);
    if (!ended) {
        program.kill();
        program.waitForFinished(5000);
    }
    QVERIFY(ended);
    QCOMPARE(program.exitCode(), 1);
}

void TestProgramEnd::endsCleanlyOnSignal_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<int>("signal");
    QTest::newRow("database chooser, SIGTERM") << QStringLiteral("chooser") << int(SIGTERM);
    QTest::newRow("log-in, SIGTERM") << QStringLiteral("log-in") << int(SIGTERM);
    QTest::newRow("log-in, SIGINT") << QStringLiteral("log-in") << int(SIGINT);
    QTest::newRow("idle main window, SIGTERM") << QStringLiteral("idle") << int(SIGTERM);
    QTest::newRow("idle main window, SIGHUP") << QStringLiteral("idle") << int(SIGHUP);
    QTest::newRow("modal dialog with work open, SIGTERM") << QStringLiteral("modal") << int(SIGTERM);
    QTest::newRow("Collect Rent with an amount in Paying, SIGTERM") << QStringLiteral("collect") << int(SIGTERM);
}

void TestProgramEnd::endsCleanlyOnSignal()
{
    QFETCH(QString, stage);
    QFETCH(int, signal);

    QTemporaryDir documents;
    QVERIFY(documents.isValid());
    const QString file = officeIn(documents);
    QVERIFY(!file.isEmpty());

    // One open charge is already being paid in part, with a memo: an end leaves it so, not at nothing.
    const QString applied = QStringLiteral("select list(chid || ':' || applied || ':' || coalesce(memo, ''), ' ') "
                                           "from (select chid, cast(applied as numeric(12, 2)) applied, memo from "
                                           "charges where applied <> 0 order by chid)");
    QString appliedBefore;
    int transBefore = -1;
    {
        QSqlDatabase first = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("first"));
        first.setDatabaseName(file);
        first.setUserName(QStringLiteral("SYSDBA"));
        QVERIFY2(first.open(), qPrintable(first.lastError().text()));
        QSqlQuery mark(first);
        QVERIFY(mark.exec(QStringLiteral("update charges set applied = %1, memo = 'from May' where chid = "
                                         "(select min(chid) from charges where amt >= 100 and applied = 0)")
                              .arg(QLatin1String(kMarkedApplied))));
        QCOMPARE(mark.numRowsAffected(), 1);
        QVERIFY(mark.exec(applied) && mark.next());
        appliedBefore = mark.value(0).toString();
        QVERIFY(mark.exec(QStringLiteral("select count(*) from trans")) && mark.next());
        transBefore = mark.value(0).toInt();
        mark = QSqlQuery();
        first.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("first"));

    QProcess program;
    startProgram(program, documents, stage);
    QVERIFY(program.waitForStarted(10000));

    QElapsedTimer waited;
    waited.start();
    QByteArray said;
    while (!said.contains("READY") && waited.elapsed() < 60000 && program.state() == QProcess::Running) {
        program.waitForReadyRead(100);
        said += program.readAllStandardOutput();
    }
    QVERIFY2(said.contains("READY " + stage.toLatin1()), said.constData());

    QVERIFY(::kill(pid_t(program.processId()), signal) == 0);
    waited.restart();
    const bool ended = program.waitForFinished(8000);
    if (!ended) {
        program.kill();
        program.waitForFinished(5000);
    }
    const QString log = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(ended, qPrintable(log));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(log.contains(QLatin1String("ending on a signal")), qPrintable(log));
    // Before the chooser is answered no database is attached, and none may be opened after.
    QCOMPARE(log.contains(QLatin1String("database closed")), stage != QLatin1String("chooser"));

    // The file is free again, and the work left open was given up, not committed.
    QSqlDatabase second = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("second"));
    second.setDatabaseName(file);
    second.setUserName(QStringLiteral("SYSDBA"));
    QVERIFY2(second.open(), qPrintable(second.lastError().text()));
    {
        QSqlQuery count(second);
        QVERIFY(count.exec(QStringLiteral("select count(*) from tenants where tid = 77001")) && count.next());
        QCOMPARE(count.value(0).toInt(), 0);
        // Every charge holds what it was being paid before and its memo, and nothing was paid.
        QVERIFY(count.exec(applied) && count.next());
        QCOMPARE(count.value(0).toString(), appliedBefore);
        QVERIFY(count.exec(QStringLiteral("select count(*) from trans")) && count.next());
        QCOMPARE(count.value(0).toInt(), transBefore);
    }
    second.close();
    second = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("second"));
}

void TestProgramEnd::endDuringTheStartUpRunEndsWithTheRunWholeOrUndone()
{
    QTemporaryDir documents;
    QVERIFY(documents.isValid());
    const QString file = officeIn(documents);
    QVERIFY(!file.isEmpty());
    {
        // A year's backlog: bills of let apartments, monthly since a year before the program's day.
        QSqlDatabase first = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("first"));
        first.setDatabaseName(file);
        first.setUserName(QStringLiteral("SYSDBA"));
        QVERIFY2(first.open(), qPrintable(first.lastError().text()));
        QSqlQuery backlog(first);
        QVERIFY2(backlog.exec(QStringLiteral(
                     "execute block as declare i integer = 1; declare b integer; begin "
                     "select min(buildid) from buildings into b; "
                     "while (i <= %1) do begin "
                     "insert into tenants (tid, id, firstname, lastname) values (%2 + :i, 'BL' || :i, 'Back', 'Log'); "
                     "insert into apartments (apid, tid, bid, suite, rent) values (%2 + :i, %2 + :i, :b, 'BL' || :i, 900); "
                     "insert into agreements (rid, tid, apid, rent, freq, leasestart, leaseend) "
                     "values (%2 + :i, %2 + :i, %2 + :i, 900, 3, '%3', '2027-05-31'); "
                     "insert into recur (recid, type, amount, latefee, freq, nextdate, startdate, enddate, perday, tid, "
                     "completed, apid) values (%2 + :i, 'Rent', 900, 25, 3, '%3', '%3', '2027-05-31', 0, %2 + :i, 0, %2 + :i); "
                     "i = i + 1; end end")
                                  .arg(kBacklogBills)
                                  .arg(kBacklogKeys)
                                  .arg(QLatin1String(kBacklogStart))),
                 qPrintable(backlog.lastError().text()));
        backlog = QSqlQuery();
        first.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("first"));

    QProcess program;
    startProgram(program, documents, QStringLiteral("start-up run"));
    QVERIFY(program.waitForStarted(10000));
    // The end is asked for once the run has begun: the settings are read, the charges are being posted.
    QElapsedTimer waited;
    waited.start();
    QByteArray said;
    while (!said.contains("initopitons") && waited.elapsed() < 60000 && program.state() == QProcess::Running) {
        program.waitForReadyRead(20);
        said += program.readAllStandardError();
    }
    QVERIFY2(said.contains("initopitons"), said.constData());
    QVERIFY(::kill(pid_t(program.processId()), SIGTERM) == 0);
    // Long enough for the whole run on a loaded machine; a lost end waits here in the event loop.
    const bool ended = program.waitForFinished(60000);
    if (!ended) {
        program.kill();
        program.waitForFinished(5000);
    }
    const QString log = QString::fromLocal8Bit(said + program.readAllStandardError());
    QVERIFY2(ended, qPrintable(log));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(log.contains(QLatin1String("ending on a signal")), qPrintable(log));
    QVERIFY2(log.contains(QLatin1String("database closed")), qPrintable(log));
    // No later start-up step ran.
    QVERIFY2(!log.contains(QLatin1String("in finishinit()")), qPrintable(log));

    // Either every bill of the backlog moved on with all its charges, or none moved and none was posted.
    QSqlDatabase second = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("second"));
    second.setDatabaseName(file);
    second.setUserName(QStringLiteral("SYSDBA"));
    QVERIFY2(second.open(), qPrintable(second.lastError().text()));
    {
        QSqlQuery count(second);
        QVERIFY(count.exec(QStringLiteral("select count(*) from charges where tid > %1").arg(kBacklogKeys)) && count.next());
        const int posted = count.value(0).toInt();
        QVERIFY(count.exec(QStringLiteral("select count(*) from recur where recid > %1 and nextdate > '%2'")
                               .arg(kBacklogKeys)
                               .arg(QLatin1String(kBacklogToday)))
                && count.next());
        const int moved = count.value(0).toInt();
        // June 2025 to June 2026: thirteen months due.
        QVERIFY2((posted == 0 && moved == 0) || (posted == 13 * kBacklogBills && moved == kBacklogBills),
                 qPrintable(QStringLiteral("%1 charges posted, %2 bills moved on").arg(posted).arg(moved)));
    }
    second.close();
    second = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("second"));
}

int main(int argc, char *argv[])
{
    const QByteArray documents = qgetenv("VELLORAN_DOCUMENTS");
    TestEnvironment::isolate();
    if (argc == 3 && qstrcmp(argv[1], kProgramMode) == 0) {
        // The data folder is the one the test made for this run.
        qputenv("VELLORAN_DOCUMENTS", documents);
        QApplication app(argc, argv);
        return runProgram(QString::fromLatin1(argv[2]));
    }
    QApplication app(argc, argv);
    TestProgramEnd test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_programend.moc"
