// Benchmark of a large office (built with the tests, not run by ctest): log-in, then the owners,
// buildings, apartments and users windows opened, searched and walked on an office of 10,000
// apartments and 500,000 charges. Each figure is printed beside its floor: a plain QSqlQuery on a
// connection of its own fetching the same first screenful of rows the window needs (the first batch
// its list model reads, every column of it).
//
//   scripts/largeoffice.sh /tmp/LARGE.FDB
//   QT_QPA_PLATFORM=offscreen build/tests/bench_largeoffice /tmp/LARGE.FDB
//
// Targets: log-in under 300 ms; every window step under 100 ms and within 3x its floor; resident
// memory after log-in and the four windows under 150 MB.
#include "datahub/logindialog.h"
#include "datahub/workersform.h"
#include "datahub/xdatasource.h"
#include "platform/datafolder.h"
#include "properties/apartmentsform.h"
#include "properties/buildingsform.h"
#include "properties/ownersform.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// Qt's list models read a statement's rows in batches of 256 as the view scrolls; the first batch is
// the screenful a window fetches, so the floor fetches as many.
const int Screenful = 256;
const int Moves = 20;
const int Runs = 5;
const double LoginTargetMs = 300;
const double StepTargetMs = 100;
const double FloorFactor = 3;
const double MemoryTargetMb = 150;

bool allMet = true;

double elapsedMs(const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

// A window step is done when the events it posted have been handled.
double windowMs(const std::function<void()> &step)
{
    return elapsedMs([&step] {
        step();
        QCoreApplication::processEvents();
    });
}

// Single runs of a few milliseconds are at the mercy of the machine; the middle of several is not.
double median(int runs, const std::function<double()> &run)
{
    QVector<double> times;
    for (int i = 0; i < runs; ++i)
        times << run();
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

// The floor: the statement run on the benchmark's own connection, its first screenful fetched.
double floorMs(const QStringList &statements, int rows = Screenful)
{
    return median(Runs, [&] { return elapsedMs([&] {
        for (const QString &statement : statements) {
            QSqlQuery query(QSqlDatabase::database(QStringLiteral("floor")));
            query.setForwardOnly(true);
            if (!query.exec(statement))
                std::printf("floor statement failed: %s\n%s\n", qPrintable(query.lastError().text()),
                            qPrintable(statement));
            const int columns = query.record().count();
            for (int i = 0; i < rows && query.next(); ++i) {
                for (int column = 0; column < columns; ++column)
                    query.value(column);
            }
        }
    }); });
}

// Log-in has only its own target; every window step also answers to its floor.
void report(const char *what, double ms, double floor, double target = StepTargetMs)
{
    const bool met = ms < target && (target == LoginTargetMs || ms <= FloorFactor * floor);
    allMet = allMet && met;
    if (floor > 0)
        std::printf("%-44s %9.1f ms   floor %8.1f ms   x%-6.1f %s\n", what, ms, floor, ms / floor,
                    met ? "ok" : "MISSED");
    else
        std::printf("%-44s %9.1f ms   %35s\n", what, ms, met ? "ok" : "MISSED");
    std::fflush(stdout);
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// Walks the current row of a list down `Moves` rows; the mean of one move.
double walkMs(QTableView *view, int column)
{
    QAbstractItemModel *model = view->model();
    const int moves = qMin(Moves, model->rowCount() - 1);
    return median(Runs, [&] {
        view->setCurrentIndex(model->index(0, column));
        QCoreApplication::processEvents();
        const double total = windowMs([&] {
            for (int row = 1; row <= moves; ++row) {
                view->setCurrentIndex(model->index(row, column));
                QCoreApplication::processEvents();
            }
        });
        return total / moves;
    });
}

// Types the text into the search box a key at a time; the mean of one key.
// Types the text into the search box a key at a time and clears it again: the mean of one key and
// the time of the clearing.
struct Search
{
    double perKey;
    double clear;
};
Search searchMs(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    QVector<double> keys, clears;
    for (int i = 0; i < Runs; ++i) {
        keys << windowMs([&] { QTest::keyClicks(edit, text); }) / text.size();
        clears << windowMs([edit] { edit->clear(); });
    }
    std::sort(keys.begin(), keys.end());
    std::sort(clears.begin(), clears.end());
    return {keys.at(Runs / 2), clears.at(Runs / 2)};
}

// Opens a window afresh several times; the one opened last stays.
template<class Form>
double openMs(Form *&form, const std::function<Form *()> &make)
{
    return median(Runs, [&] {
        delete form;
        form = nullptr;
        return windowMs([&] {
            form = make();
            form->show();
        });
    });
}

// The offscreen platform the benchmark runs on warns each time a window is shown that it cannot pass
// on size hints; a real display never does, so the line is neither printed nor timed.
QtMessageHandler qtHandler = nullptr;
void dropOffscreenNoise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    qtHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    qtHandler = qInstallMessageHandler(dropOffscreenNoise);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::printf("usage: bench_largeoffice LARGE.FDB   (make it with scripts/largeoffice.sh)\n");
        return 2;
    }
    const QFileInfo file(QString::fromLocal8Bit(argv[1]));
    if (!file.exists()) {
        std::printf("no database at %s\n", argv[1]);
        return 2;
    }
    DataFolder::prepareDatabaseEngine();

    QSqlDatabase floorDb = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), QStringLiteral("floor"));
    floorDb.setDatabaseName(file.absoluteFilePath());
    floorDb.setUserName(QStringLiteral("SYSDBA"));
    floorDb.setPassword(QStringLiteral("masterkey"));
    const double connectMs = elapsedMs([&floorDb] { floorDb.open(); });
    if (!floorDb.isOpen()) {
        std::printf("cannot open %s: %s\n", argv[1], qPrintable(floorDb.lastError().text()));
        return 2;
    }
    const auto count = [&floorDb](const char *table) {
        QSqlQuery query(floorDb);
        query.exec(QStringLiteral("select count(*) from %1").arg(QLatin1String(table)));
        return query.next() ? query.value(0).toLongLong() : -1;
    };
    std::printf("%s: %lld apartments, %lld tenants, %lld charges, %lld payments, %lld cashbook rows\n\n",
                qPrintable(file.fileName()), count("apartments"), count("tenants"), count("charges"),
                count("payments"), count("cashbook"));

    const double baseMemory = residentMb();

    // ---- Log-in: the hub opens every model, the log-in dialog finds the user. The first log-in of
    // the run is shown apart; the target answers to the middle of several, each on a hub of its own.
    XDataSource *hub = nullptr;
    const auto logIn = [&] {
        if (hub) {
            hub->closeDatabase();
            delete hub;
        }
        hub = new XDataSource;
        hub->setDataDirectory(file.absolutePath());
        hub->setDatabaseFile(file.fileName());
        bool opened = false;
        const double ms = windowMs([&] {
            opened = hub->openDatabase();
            LogInDialog login(hub);
            login.findChild<QLineEdit *>(QStringLiteral("id"))->setText(QStringLiteral("ADMIN"));
            login.findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
            hub->loadSettings();
        });
        if (!opened) {
            std::printf("the hub did not open: %s\n", qPrintable(hub->lastErrorText()));
            std::exit(1);
        }
        return ms;
    };
    const double firstLogIn = logIn();
    std::printf("%-44s %9.1f ms\n", "log-in, the first of the run", firstLogIn);
    report("log-in: hub opened, user found", median(Runs, logIn), connectMs, LoginTargetMs);

    // ---- Owners.
    OwnersForm *owners = nullptr;
    report("owners: open", openMs<OwnersForm>(owners, [hub] { return new OwnersForm(hub); }),
           floorMs({QStringLiteral("select * from owners order by oid")}));
    {
        auto *edit = owners->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
        owners->findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentIndex(1);
        const QString search = QStringLiteral("select * from owners where lower(name) like '%%1%' order by oid");
        const Search typed = searchMs(edit, QStringLiteral("tanaka"));
        report("owners: search, per key (\"tanaka\")", typed.perKey, floorMs({search.arg(QStringLiteral("tanaka"))}));
        report("owners: clear", typed.clear, floorMs({QStringLiteral("select * from owners order by oid")}));
        report("owners: move the current row",
               walkMs(owners->findChild<QTableView *>(QStringLiteral("tableView")), 1),
               floorMs({QStringLiteral("select * from owners where oid = 7")}, 1));
    }

    // ---- Buildings.
    BuildingsForm *buildings = nullptr;
    const QString buildingsList = QStringLiteral(
        "select b.buildid, b.description, b.address, b.city, b.tel, b.manager, b.dat1, b.provstate, b.postalcode, "
        "b.apartments, b.policynum, b.insurer, b.purchasedate, b.marketvalue, b.mantel, b.spare1, b.spare2, o.code "
        "from buildings b join owners o on b.oid = o.oid %1 order by b.buildid");
    report("buildings: open", openMs<BuildingsForm>(buildings, [hub] { return new BuildingsForm(hub); }),
           floorMs({buildingsList.arg(QString())}));
    {
        auto *edit = buildings->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
        const Search typed = searchMs(edit, QStringLiteral("maple"));
        report("buildings: search, per key (\"maple\")", typed.perKey,
               floorMs({buildingsList.arg(QStringLiteral("where lower(b.description) like '%maple%'"))}));
        report("buildings: clear", typed.clear, floorMs({buildingsList.arg(QString())}));
        report("buildings: move the current row",
               walkMs(buildings->findChild<QTableView *>(QStringLiteral("tableView")), 1),
               floorMs({QStringLiteral("select * from buildings where buildid = 7")}, 1));
    }

    // ---- Apartments.
    const QString apartmentsList = QStringLiteral(
        "select a.apid, a.tid, a.bid, b.description, a.suite, t.firstname||' '||t.lastname as TENNAME, "
        "t.company,  a.squarefootage, a.bedrooms, a.bathrooms, a.floor,  a.status, a.rent, a.agreeid "
        "from apartments a inner join buildings b on a.bid = b.buildid left join tenants t on a.tid=t.tid %1");
    const QString tree = QStringLiteral("select o.oid, o.code, o.name, b.buildid, b.description from owners o "
                                        "left join buildings b on b.oid = o.oid");
    const QString bills = QStringLiteral("select * from recur r join frequency f on r.freq = f.freqid "
                                         "where r.apid = 7 order by r.recid");
    ApartmentsForm *apartments = nullptr;
    report("apartments: open", openMs<ApartmentsForm>(apartments, [hub] { return new ApartmentsForm(hub, nullptr); }),
           floorMs({tree}, 1 << 30) + floorMs({apartmentsList.arg(QString()), bills}));
    {
        auto *edit = apartments->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
        apartments->findChild<QComboBox *>(QStringLiteral("comboBox"))->setCurrentIndex(3);
        const Search typed = searchMs(edit, QStringLiteral("smith"));
        report("apartments: search, per key (\"smith\")", typed.perKey,
               floorMs({apartmentsList.arg(QStringLiteral("where lower(t.lastname) like '%smith%'"))}));
        report("apartments: clear", typed.clear, floorMs({apartmentsList.arg(QString())}));
        report("apartments: show all", median(Runs, [apartments] {
                   return windowMs([apartments] {
                       apartments->findChild<QPushButton *>(QStringLiteral("pushButton_9"))->click();
                   });
               }),
               floorMs({apartmentsList.arg(QString())}));
        auto *view = apartments->findChild<QTableView *>(QStringLiteral("tableView"));
        report("apartments: move the current row", walkMs(view, 4), floorMs({bills}));
        report("apartments: refill the tree",
               median(Runs, [apartments] { return windowMs([apartments] { apartments->refreshBuildings(); }); }),
               floorMs({tree}, 1 << 30));
        // Each run chooses another owner, and then one of his buildings, as a user going down the tree.
        auto *treeWidget = apartments->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
        QTreeWidgetItem *owners = treeWidget->topLevelItem(0);
        int run = 0;
        report("apartments: choose an owner in the tree", median(Runs, [&] {
                   return windowMs([&] { treeWidget->setCurrentItem(owners->child(100 + run++)); });
               }),
               floorMs({apartmentsList.arg(QStringLiteral("where oid = %1").arg(owners->child(100)->data(0, Qt::UserRole).toInt()))}));
        run = 0;
        report("apartments: choose a building in the tree", median(Runs, [&] {
                   QTreeWidgetItem *owner = owners->child(100 + run++);
                   return windowMs([&] { treeWidget->setCurrentItem(owner->child(run % owner->childCount())); });
               }),
               floorMs({apartmentsList.arg(QStringLiteral("where oid = %1 and bid = %2")
                                               .arg(owners->child(100)->data(0, Qt::UserRole).toInt())
                                               .arg(owners->child(100)->child(1)->data(0, Qt::UserRole + 1).toInt()))}));
    }

    // ---- Users.
    WorkersForm *users = nullptr;
    report("users: open", openMs<WorkersForm>(users, [hub] { return new WorkersForm(hub); }),
           floorMs({QStringLiteral("select * from users order by lastname")}));
    report("users: move the current row", walkMs(users->findChild<QTableView *>(QStringLiteral("tableView")), 1),
           floorMs({QStringLiteral("select * from users where wid = 1")}, 1));
    {
        // What the window costs before its first row, which no statement can shorten: beside a floor
        // of a fraction of a millisecond it is most of the figure above. Shown, not a target.
        QSqlTableModel *model = hub->usersModel();
        model->setFilter(QStringLiteral("1 = 0"));
        WorkersForm *bare = nullptr;
        const double bareMs = openMs<WorkersForm>(bare, [hub] { return new WorkersForm(hub); });
        delete bare;
        model->setFilter(QString());
        std::printf("%-44s %9.1f ms   (the window alone, not a target)\n", "users: open with no rows", bareMs);
    }

    const double memory = residentMb();
    const bool memoryMet = memory < MemoryTargetMb;
    allMet = allMet && memoryMet;
    std::printf("%-44s %9.0f MB   before log-in %4.0f MB %14s\n", "memory: hub and the four windows", memory,
                baseMemory, memoryMet ? "ok" : "MISSED");
    std::printf("\n%s\n", allMet ? "every target met" : "some targets missed");

    delete users;
    delete apartments;
    delete buildings;
    delete owners;
    hub->closeDatabase();
    delete hub;
    return allMet ? 0 : 1;
}
