#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "datahub/changepassdialog.h"
#include "datahub/logindialog.h"
#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "platform/datafolder.h"
#include "reports/tibernereport.h"
#include "shell/about.h"
#include "shell/chooosedatadialog.h"
#include "shell/notificationdialog.h"
#include "shell/optionsdialog.h"
#include "shell/webpages.h"
#include "shell/welcomedialog.h"

#include "datahub/workersform.h"
#include "properties/ownersform.h"
#include "properties/buildingsform.h"
#include "properties/apartmentsform.h"
#include "properties/seltenantdialog.h"
#include "money/cashbookdialog.h"
#include "money/cashbookform.h"
#include "money/paymenthistorydialog.h"
#include "upkeep/vendorsform.h"
#include "money/catform.h"
#include "money/paymentdialog.h"
#include "money/relationkey.h"
#include "tenants/adjustrentdialog.h"
#include "tenants/creditcardsdialog.h"
#include "tenants/freqform.h"
#include "tenants/leasesdialog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QException>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMdiSubWindow>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QQmlContext>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimer>
#include <QUrl>

namespace {
const char *const kUserAgent = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
                               "Chrome/74.0.3729.131 Safari/537.36";
const int kFinishDelayMs = 2000;
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , m_engine(nullptr)
{
    prepareSceneGraph();
    ui->setupUi(this);
    m_engine.setMainWindow(this);

    setWindowTitle(tr("Morvessa Velloran 2021"));
    setCentralWidget(ui->splitter_2);

    ui->quickWidget_2->rootContext()->setContextProperty(
        QStringLiteral("xdate"), QLocale::system().toString(Today::date(), QLocale::LongFormat));
    ui->quickWidget->rootContext()->setContextProperty(QStringLiteral("xEngine"), &m_engine);

    m_finishTimer = new QTimer(this);
    m_finishTimer->setObjectName(QStringLiteral("finishTimer"));
    m_finishTimer->setSingleShot(true);
    connect(m_finishTimer, &QTimer::timeout, this, &MainWindow::finishInit);

    m_startProgram = [](const QString &program, const QStringList &arguments) {
        return QProcess::startDetached(program, arguments);
    };

    if (openDatabase()) {
        setTopBarText(m_dataSource->databaseFile() == QLatin1String("DEMO.FDB")
                          ? tr("Demonstration database")
                          : tr("Working database"));
        m_printer = new QPrinter(QPrinter::ScreenResolution);
        m_printer->setPageOrientation(QPageLayout::Portrait);
    }
}

MainWindow::~MainWindow()
{
    delete m_ownersPage;
    m_ownersPage = nullptr;
    delete m_dataSource;
    m_dataSource = nullptr;
    delete m_printer;
    delete ui;
}

void MainWindow::prepareSceneGraph()
{
    // Offices reach the program over remote desktops and on machines without a graphics driver;
    // without an OpenGL context the scenes would stay blank, so draw them in software instead.
    static bool decided = false;
    if (decided)
        return;
    decided = true;
    if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        return;
    QOpenGLContext context;
    bool usable = context.create();
    if (usable) {
        QOffscreenSurface surface;
        surface.setFormat(context.format());
        surface.create();
        usable = surface.isValid() && context.makeCurrent(&surface);
        if (usable)
            context.doneCurrent();
    }
    if (!usable)
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
}

bool MainWindow::openDatabase()
{
    const QString folder = DataFolder::path();
    QString fileName = QStringLiteral("DATA.FDB");
    {
        ChoooseDataDialog chooser(nullptr);
        chooser.exec();
        if (chooser.isDemoChosen())
            fileName = QStringLiteral("DEMO.FDB");
    }

    const QString path = QStringLiteral("%1/%2").arg(folder, fileName);
    if (!QFile::exists(path)) {
        MsgBox::information(nullptr, tr("Missing database"));
        m_databaseOpen = false;
        return false;
    }

    m_dataSource = new XDataSource(this);
    m_dataSource->setDataDirectory(folder);
    m_dataSource->setDatabaseFile(fileName);
    if (!m_dataSource->openDatabase()) {
        MsgBox::information(nullptr, QStringLiteral("%1: %2").arg(tr("Unable to connect"), m_dataSource->lastErrorText()));
        m_databaseOpen = false;
        return false;
    }

    m_reportGenerator = new TiberneReport(this);
    m_dataSource->setReportGenerator(m_reportGenerator);
    return true;
}

void MainWindow::setTopBarText(const QString &text)
{
    ui->quickWidget_2->rootContext()->setContextProperty(QStringLiteral("xuser"), text);
}

void MainWindow::loadOptionsFromSetup()
{
    m_dataSource->loadSettings();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_firstShowDone || !m_dataSource)
        return;
    m_firstShowDone = true;
    try {
        loadOptionsFromSetup();
        qDebug() << "initopitons";
        processRecurringCharges();
        qDebug() << "processoptions";
        m_finishTimer->start(kFinishDelayMs);
    } catch (const QException &e) {
        qDebug() << e.what();
    }
}

void MainWindow::processRecurringCharges()
{
    QSqlDriver *driver = QSqlDatabase::database().driver();
    driver->rollbackTransaction();
    if (!driver->beginTransaction()) {
        MsgBox::information(this, tr("Error processing charges. Unable to start transaction."));
        return;
    }
    QSqlQuery *bills = m_dataSource->query();
    bills->clear();
    try {
        bills->exec(QStringLiteral("SELECT * FROM recur r  WHERE r.completed = 0 and r.APID IN  "
                                   "(select a.apid from apartments a  INNER join agreements t  on a.apid = t.apid)  "
                                   "ORDER BY r.APID "));
        if (!bills->first()) {
            qDebug() << "no active rentals";
            bills->clear();
            driver->commitTransaction();
            return;
        }
        do {
            m_dataSource->postRecurringCharges(*bills);
        } while (bills->next());
    } catch (const QException &e) {
        qDebug() << "Exception: " << e.what();
        bills->clear();
        driver->rollbackTransaction();
        MsgBox::information(this, tr("Error processing charges. Exception occured"));
        refreshCharges();
        return;
    }
    bills->clear();
    if (!driver->commitTransaction()) {
        // Nothing half-posted may stay behind an open transaction for the next writer to commit.
        driver->rollbackTransaction();
        MsgBox::information(this, tr("Error processing charges. Unable to commit transaction."));
        return;
    }
    refreshCharges();
}

void MainWindow::refreshCharges()
{
    // Re-reading drops the rows a run left pending in the model, written or rolled back.
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    if (charges)
        charges->setFilter(charges->filter());
}

namespace {
[[noreturn]] void lateFeeFailed(const QString &step)
{
    qDebug().noquote() << "Late fees not charged:" << step;
    throw QException();
}
}

void MainWindow::processLateFees(int tenantId)
{
    const QDate today = Today::date();
    QSqlQuery *overdue = m_dataSource->query();
    overdue->clear();
    overdue->exec(QStringLiteral("select * from Charges where  tid = %1 and fordate < '%2' and amt > 0  and "
                                 "(latefeeflat >0 or perday > 0)  and not (perday=0 and lfd<>0 and lfd is not null)")
                      .arg(tenantId)
                      .arg(XDataSource::toSqlDate(today)));
    if (!overdue->first()) {
        overdue->clear();
        return;
    }
    if (MsgBox::question(this, tr("Do you want to charge late bills now?")) != QMessageBox::Yes) {
        overdue->clear();
        return;
    }
    QSqlDriver *driver = QSqlDatabase::database().driver();
    driver->rollbackTransaction();
    if (!driver->beginTransaction()) {
        overdue->clear();
        MsgBox::information(this, tr("Error processing charges. Unable to start transaction."));
        return;
    }

    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    QSqlQuery *update = m_dataSource->query2();
    try {
        do {
            const QSqlRecord charge = overdue->record();
            const int key = charge.value(QStringLiteral("chid")).toInt();
            const QVariant apartment = charge.value(QStringLiteral("apid"));
            const int daysCharged = charge.value(QStringLiteral("lfd")).toInt();
            const QDate due = charge.value(QStringLiteral("fordate")).toDate();
            const double perDay = charge.value(QStringLiteral("perday")).toDouble();
            const double flat = charge.value(QStringLiteral("latefeeflat")).toDouble();
            QString type = charge.value(QStringLiteral("type")).toString();
            qDebug() << "type " << type;
            type += tr(" Late Fee");

            const int days = int(due.daysTo(today));
            double fee = (days - daysCharged) * perDay;
            if (daysCharged == 0)
                fee += flat;
            // Nothing new is owed (or "today" lies before the last run): no fee, and lfd stays.
            if (fee <= 0.0)
                continue;

            const int row = charges->rowCount();
            if (!charges->insertRows(row, 1))
                lateFeeFailed(QStringLiteral("the charges model refused a new row"));
            const auto set = [charges, row](const char *field, const QVariant &value) {
                if (!XDataSource::setFieldValue(charges, QLatin1String(field), row, value))
                    lateFeeFailed(QStringLiteral("%1 of a fee not set").arg(QLatin1String(field)));
            };
            set("tid", tenantId);
            if (!setRelationKey(charges, 2, row, apartment))
                lateFeeFailed(QStringLiteral("apartment of a fee not set"));
            set("type", type);
            set("amt", fee);
            set("applied", 0);
            set("fordate", today);
            set("paid", 0);
            set("origamount", fee);
            set("latefeeflat", 0);
            set("perday", 0);
            set("memo", QString());
            if (!charges->writeRow(row, false))
                lateFeeFailed(QStringLiteral("the fee of charge %1 was not written").arg(key));

            // The fee and the days it covers go together: a fee without its lfd is charged again.
            update->clear();
            const bool advanced =
                update->exec(QStringLiteral("update charges set lfd=%1 where chid=%2").arg(days).arg(key))
                && update->numRowsAffected() == 1;
            update->clear();
            if (!advanced)
                lateFeeFailed(QStringLiteral("lfd of charge %1 not advanced").arg(key));
        } while (overdue->next());
    } catch (const QException &e) {
        qDebug() << "Exception: " << e.what();
        overdue->clear();
        driver->rollbackTransaction();
        MsgBox::information(this, tr("Error processing charges. Exception occured"));
        refreshCharges();
        return;
    }
    overdue->clear();
    if (!driver->commitTransaction()) {
        driver->rollbackTransaction();
        MsgBox::information(this, tr("Error processing charges. Unable to commit transaction."));
        return;
    }
    refreshCharges();
}

void MainWindow::finishInit()
{
    checkVersion();
    if (WelcomeDialog::showAtStart()) {
        WelcomeDialog welcome(this);
        welcome.exec();
    }
    qDebug() << "in finishinit()";
    notifyExpiredLeases();
    notifyLateBills();
    qDebug() << "end finish init";
    checkReminders();
    qDebug() << "initialize reminders";
}

namespace {
// Runs a start-up check on the shared query; true when it yields at least one row.
bool anyRow(QSqlQuery *query, const QString &statement)
{
    query->clear();
    const bool found = query->exec(statement.arg(XDataSource::toSqlDate(Today::date()))) && query->next();
    query->clear();
    return found;
}
}

void MainWindow::notifyExpiredLeases()
{
    if (anyRow(m_dataSource->query(),
               QStringLiteral("select  a.suite,  g.leasestart, g.leaseend  from apartments a inner join agreements g "
                              "on a.agreeid = g.rid  left join tenants t  on a.tid = t.tid   where g.leaseend < '%1'")))
        MsgBox::information(this, tr("There are expired Leases! Press 'CTRL+E' to view them."), tr("Morvessa Velloran"));
}

void MainWindow::notifyLateBills()
{
    // Only charges with something still owed are late; a bill paid in full is history.
    if (anyRow(m_dataSource->query(),
               QStringLiteral("select distinct t.tid, t.id, t.company,  t.firstname||' '||t.lastname as fullname, "
                              "t.dat1 as email  from charges  c left join tenants t  on t.tid = c.tid  "
                              "where c.fordate < '%1' and c.amt > 0 order by fullname")))
        MsgBox::information(this, tr("There are late bills! Press 'CTRL+L' to view them."), tr("Morvessa Velloran"));
}

void MainWindow::checkReminders()
{
    QSqlQuery *query = m_dataSource->query();
    query->clear();
    try {
        if (query->exec(QStringLiteral("select * from reminders where  tdate <= '%1' and reminder=1 ")
                            .arg(XDataSource::toSqlDate(Today::date())))
            && query->next()) {
            const QSqlRecord row = query->record();
            const QString text = QStringLiteral("<b>%1 - %3</b><br/><br/>%2")
                                     .arg(row.value(QStringLiteral("title")).toString().toHtmlEscaped(),
                                          row.value(QStringLiteral("description")).toString().toHtmlEscaped(),
                                          ShortDate::toText(row.value(QStringLiteral("tdate")).toDate()));
            // No parent: the reminder stays on screen on its own while the user works.
            auto *popup = new NotificationDialog(nullptr);
            popup->setAttribute(Qt::WA_DeleteOnClose);
            popup->setText(text);
            popup->showNormal();
        }
    } catch (const QException &e) {
        qDebug() << e.what();
    }
    query->clear();
}

void MainWindow::checkVersion()
{
    qDebug() << "called";
    auto *manager = new QNetworkAccessManager(this);
    QNetworkRequest request(WebPages::versionPage());
    request.setRawHeader("User-Agent", kUserAgent);
    connect(manager, &QNetworkAccessManager::finished, this, &MainWindow::versionReply);
    connect(manager, &QNetworkAccessManager::finished, manager, &QObject::deleteLater);
    manager->get(request);
}

bool MainWindow::isNewerVersion(const QByteArray &body)
{
    const int zero = body.indexOf('\0');
    const QString text = QString::fromUtf8(zero < 0 ? body : body.left(zero));
    const QStringList parts = text.split(QLatin1Char(':'), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (parts.size() < 2)
        return false;
    const qlonglong build = parts.at(1).toLongLong();
    return parts.at(0) == QLatin1String("2021") && build >= 20210009;
}

void MainWindow::versionReply(QNetworkReply *reply)
{
    qDebug() << "version called";
    reply->deleteLater();
    // An office without internet, or a proxy's error page, must never bother the user.
    if (reply->error() != QNetworkReply::NoError)
        return;
    const QByteArray body = reply->readAll();
    qDebug() << body;
    if (!isNewerVersion(body))
        return;
    qDebug() << "got here 2";
    MsgBox::warning(nullptr,
                    tr("A new version of the software is available. Please download it now! <br/> When reinstalling "
                       "read instructions carefully. Do not replace your database files if you wish to keep your data."),
                    tr("Morvessa Velloran"));
}

// ---- Permission gate and work-area pages

bool MainWindow::permitted(bool right)
{
    if (!right)
        showPermissionDenied();
    return right;
}

void MainWindow::showPermissionDenied()
{
    MsgBox::information(this, tr("You are not permitted to access this area"));
}

void MainWindow::showPage(QMdiSubWindow *&page, const QString &title, QWidget *(*makeForm)(MainWindow *))
{
    if (!page) {
        page = new QMdiSubWindow(nullptr);
        page->setWindowIcon(QIcon(QStringLiteral("://images/main.ico")));
        page->setWindowTitle(title);
        page->setWidget(makeForm(this));
        ui->mdiArea->addSubWindow(page);
    }
    page->showMaximized();
}

void MainWindow::closePages()
{
    for (QMdiSubWindow **page : {&m_ownersPage, &m_apartmentsPage, &m_buildingsPage, &m_cashbookPage,
                                 &m_equipmentPage, &m_tenantsPage, &m_vendorsPage}) {
        if (*page) {
            ui->mdiArea->removeSubWindow(*page);
            delete *page;
            *page = nullptr;
        }
    }
}

void MainWindow::openOwners()
{
    if (!permitted(m_dataSource->canManageOwners()))
        return;
    showPage(m_ownersPage, tr("Owners"),
             [](MainWindow *w) -> QWidget * { return new OwnersForm(w->dataSource(), nullptr); });
}

void MainWindow::openApartments()
{
    if (!permitted(m_dataSource->canManageApartments()))
        return;
    showPage(m_apartmentsPage, tr("Apartments"), [](MainWindow *w) -> QWidget * {
        return new ApartmentsForm(w->dataSource(), w->reportPrinter(), nullptr);
    });
}

void MainWindow::openBuildings()
{
    if (!permitted(m_dataSource->canManageBuildings()))
        return;
    showPage(m_buildingsPage, tr("Buildings"),
             [](MainWindow *w) -> QWidget * { return new BuildingsForm(w->dataSource(), nullptr); });
}

void MainWindow::openCashbook()
{
    if (!permitted(m_dataSource->canUseCashbook()))
        return;
    showPage(m_cashbookPage, tr("Cashbook"),
             [](MainWindow *w) -> QWidget * { return new CashbookForm(w->dataSource(), nullptr); });
}

void MainWindow::openEquipment()
{
    permitted(m_dataSource->canManageEquipment());
}

void MainWindow::openTenants()
{
    permitted(m_dataSource->canManageTenants());
}

void MainWindow::openVendors()
{
    // Vendors have no right of their own: they belong with the apartments they serve.
    if (!permitted(m_dataSource->canManageApartments()))
        return;
    showPage(m_vendorsPage, tr("Vendors"),
             [](MainWindow *w) -> QWidget * { return new VendorsForm(w->dataSource(), nullptr); });
}

void MainWindow::openUsers()
{
    if (!permitted(m_dataSource->canModifyUsers()))
        return;
    WorkersForm users(m_dataSource, this);
    users.exec();
}

void MainWindow::openCashbookCategories()
{
    if (!permitted(m_dataSource->canUseCashbook()))
        return;
    CatForm categories(m_dataSource, this);
    categories.exec();
}

void MainWindow::openRentFrequencies()
{
    if (!permitted(m_dataSource->canReceivePayments()))
        return;
    FreqForm frequencies(m_dataSource, this);
    frequencies.exec();
}

void MainWindow::openLeaseTerms()
{
    if (!permitted(m_dataSource->canManageTenants()))
        return;
    LeasesDialog terms(m_dataSource, this);
    terms.exec();
}

void MainWindow::openCreditCards()
{
    if (!permitted(m_dataSource->canManageTenants()))
        return;
    CreditCardsDialog cards(m_dataSource, this);
    cards.exec();
}

void MainWindow::openAdjustRent()
{
    if (!permitted(m_dataSource->canReceivePayments()))
        return;
    AdjustRentDialog adjust(m_dataSource, this);
    adjust.exec();
}

void MainWindow::openPaymentHistory()
{
    if (!permitted(m_dataSource->canReceivePayments()))
        return;
    SelTenantDialog picker(m_dataSource, false, this);
    if (picker.exec() != QDialog::Accepted)
        return;
    PaymentHistoryDialog history(m_dataSource, picker.tenantId(), this);
    history.exec();
}

void MainWindow::recordExpense()
{
    if (!permitted(m_dataSource->canUseCashbook()))
        return;
    QSqlDoubleRelationalTableModel *cashbook = m_dataSource->cashbookModel();
    const int row = cashbook->rowCount();
    if (!cashbook->insertRows(row, 1)) {
        MsgBox::information(this, tr("Unable to add new record"));
        return;
    }
    CashbookDialog editor(m_dataSource, row, this);
    if (editor.exec() != QDialog::Accepted) {
        cashbook->revertAll();
        return;
    }
    if (!cashbook->submitRowInView(row, true, false, nullptr)) {
        MsgBox::information(this, tr("Unable to submit data"));
        return;
    }
    QSqlDoubleQueryModel *list = m_dataSource->cashbookQueryModel();
    list->setQuery(list->query().lastQuery(), QSqlDatabase::database());
}

void MainWindow::recordIncome()
{
    recordExpense();
}

void MainWindow::collectRent()
{
    if (!permitted(m_dataSource->canReceivePayments()))
        return;
    processRecurringCharges();
    qDebug() << "After process charges";
    int tenant = -1;
    {
        SelTenantDialog picker(m_dataSource, false, this);
        if (picker.exec() != QDialog::Accepted)
            return;
        tenant = picker.tenantId();
    }
    processLateFees(tenant);
    PaymentDialog payment(m_dataSource, this);
    payment.loadTenant(tenant);
    payment.exec();
}

void MainWindow::openReminders()
{
}

void MainWindow::openToDoList()
{
}

void MainWindow::openLettersDialog()
{
    permitted(m_dataSource->canUseEmail());
}

void MainWindow::openLeaseAgreementLetter()
{
    permitted(m_dataSource->canUseEmail());
}

void MainWindow::openCustomLetters()
{
    permitted(m_dataSource->canUseEmail());
}

void MainWindow::configureLateRentEmail()
{
    permitted(m_dataSource->canUseEmail());
}

void MainWindow::configureExpiringLeaseEmail()
{
    permitted(m_dataSource->canUseEmail());
}

void MainWindow::configureCustomEmail()
{
    permitted(m_dataSource->canUseEmail());
}

void MainWindow::sendLateRentEmails()
{
    permitted(m_dataSource->canUseEmail());
}

void MainWindow::sendExpiringLeaseEmails()
{
    permitted(m_dataSource->canUseEmail());
}

void MainWindow::sendCustomEmails()
{
    permitted(m_dataSource->canUseEmail());
}

void MainWindow::changePassword()
{
    ChangePassDialog dialog(m_dataSource, this);
    dialog.setUserKey(m_dataSource->userKey());
    dialog.exec();
}

QString MainWindow::helpFile()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/velloran.chm");
}

void MainWindow::openHelp()
{
    const QString file = helpFile();
    if (!QFileInfo::exists(file)) {
        MsgBox::information(this, tr("The help file could not be found:\n%1").arg(QDir::toNativeSeparators(file)));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void MainWindow::openWebPage(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

QString MainWindow::backupProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/stowhand");
}

// ---- Menu commands

void MainWindow::on_action_Log_Off_triggered()
{
    // The next user must not find the previous user's pages open, whatever his own rights.
    closePages();
    LogInDialog logIn(m_dataSource, this);
    if (logIn.exec() != QDialog::Accepted)
        close();
}

void MainWindow::on_action_Options_triggered()
{
    if (!permitted(m_dataSource->canSetOptions()))
        return;
    OptionsDialog options(m_dataSource, -1, this);
    options.exec();
}

void MainWindow::on_action_Printer_triggered()
{
    QPrintDialog dialog(m_printer, this);
    dialog.exec();
}

void MainWindow::on_action_Restore_triggered()
{
    // Restoring is the backup program's business; the entry stays hidden.
}

void MainWindow::on_action_Backup_triggered()
{
    m_startProgram(backupProgram(), QStringList{m_dataSource->databaseFile()});
}

void MainWindow::on_action_Close_triggered()
{
    QCoreApplication::quit();
}

void MainWindow::on_action_Blog_triggered()
{
    openWebPage(WebPages::blog());
}

void MainWindow::on_action_Product_Homepage_triggered()
{
    openWebPage(WebPages::productHome());
}

void MainWindow::on_actionCom_pany_triggered()
{
    openWebPage(WebPages::makerHome());
}

void MainWindow::on_action_About_triggered()
{
    about box(nullptr);
    box.exec();
}

void MainWindow::on_action_Users_triggered()
{
    openUsers();
}

void MainWindow::on_action_Credit_Cards_triggered()
{
    openCreditCards();
}

void MainWindow::on_action_Lease_Terms_triggered()
{
    openLeaseTerms();
}

void MainWindow::on_action_Rent_Frequency_triggered()
{
    openRentFrequencies();
}

void MainWindow::on_action_Cashbook_Categories_triggered()
{
    openCashbookCategories();
}

void MainWindow::on_action_Vendors_2_triggered()
{
    openVendors();
}

void MainWindow::on_action_Equipment_Manager_triggered()
{
    openEquipment();
}

void MainWindow::on_action_Tenants_2_triggered()
{
    openTenants();
}

void MainWindow::on_action_Apartments_2_triggered()
{
    openApartments();
}

void MainWindow::on_action_Buildings_2_triggered()
{
    openBuildings();
}

void MainWindow::on_action_Oweners_triggered()
{
    openOwners();
}

void MainWindow::on_action_Send_triggered()
{
    sendLateRentEmails();
}

void MainWindow::on_action_Configure_triggered()
{
    configureLateRentEmail();
}

void MainWindow::on_action_Send_2_triggered()
{
    sendExpiringLeaseEmails();
}

void MainWindow::on_action_Configure_2_triggered()
{
    configureExpiringLeaseEmail();
}

void MainWindow::on_action_Send_3_triggered()
{
    sendCustomEmails();
}

void MainWindow::on_action_Configure_3_triggered()
{
    configureCustomEmail();
}

void MainWindow::on_action_Cashbook_2_triggered()
{
    openCashbook();
}

void MainWindow::on_action_Adjust_Rental_Rate_triggered()
{
    openAdjustRent();
}

void MainWindow::on_action_To_do_List_triggered()
{
    openToDoList();
}

void MainWindow::on_action_Reminders_triggered()
{
    openReminders();
}

void MainWindow::on_action_Vendors_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Equipments_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Youtube_Channel_triggered()
{
    openWebPage(WebPages::videoChannel());
}

void MainWindow::on_action_change_Password_triggered()
{
    changePassword();
}

void MainWindow::on_action_Owners_Report_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Tenant_List_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Waitlist_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Buildings_List_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionBuildings_by_Owner_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Apartments_List_Report_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Vacant_Apartments_Report_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Occupied_Apartments_Report_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Maintenance_by_Apartment_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionMaintenance_by_Building_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionMaintenance_by_Vendor_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionTenant_Details_Report_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Cashbook_Report_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Income_by_Building_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Expense_by_Building_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionIncome_by_Tenant_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionExpense_by_Te_nant_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionExpense_by_Vendors_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Payments_Report_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionPayments_by_Tenants_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionPayments_Summary_Report_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Late_Payment_List_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Lease_Expiry_Dates_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Expired_Leases_Report_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_actionExpiring_Leases_this_Month_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Late_Payment_List_2_triggered()
{
    permitted(m_dataSource && m_dataSource->canViewReports());
}

void MainWindow::on_action_Contents_triggered()
{
    openHelp();
}
