// A session that ends, or a user who kills the program, must not leave the database open with work
// half done. Each case starts this executable again as the program: its program mode runs the
// program's own start (database chooser, log-in, main window) on a copy of the demonstration
// database and reports when it has reached the stage asked for; the test then sends the signal.
#include "testdatabase.h"

#include "datahub/logindialog.h"
#include "platform/datafolder.h"
#include "shell/chooosedatadialog.h"
#include "shell/mainwindow.h"
#include "shell/programstart.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <csignal>

namespace {

const char *const kProgramMode = "--as-program";

// The program, driven up to `stage`: "chooser", "log-in", "idle" (the main window, nothing open) or
// "modal" (a tenant inserted in an open transaction, and a modal dialog up over the window).
int runProgram(const QString &stage)
{
    QTextStream out(stdout);
    ProgramStart::setApplicationNames();
    // The welcome dialog would be a modal dialog of its own two seconds in.
    QSettings(QStringLiteral("Morvessa"), QStringLiteral("Velloran 2021")).setValue(QStringLiteral("ShowWelcome"), false);
    ProgramStart::handleEndSignals();

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
    return ProgramStart::run(nullptr);
}

} // namespace

class TestProgramEnd : public QObject
{
    Q_OBJECT

private slots:
    void endsCleanlyOnSignal_data();
    void endsCleanlyOnSignal();
};

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
}

void TestProgramEnd::endsCleanlyOnSignal()
{
    QFETCH(QString, stage);
    QFETCH(int, signal);

    QTemporaryDir documents;
    QVERIFY(documents.isValid());
    const QString folder = documents.path() + QStringLiteral("/Morvessa/Morvessa Velloran");
    QVERIFY(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/DEMO.FDB");
    QVERIFY(QFile::copy(TestDatabase::builtDatabase(QStringLiteral("DEMO.FDB")), file));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VELLORAN_DOCUMENTS"), documents.path());
    // A program that ends at once leaves its own temporary folders behind; they go with this one.
    const QString temporary = documents.path() + QStringLiteral("/tmp");
    QVERIFY(QDir().mkpath(temporary));
    environment.insert(QStringLiteral("TMPDIR"), temporary);
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("velloran.debug=true"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kProgramMode), stage});
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
