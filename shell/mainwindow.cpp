#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "correspondence/customlettersdialog.h"
#include "correspondence/lettersdialog.h"
#include "correspondence/destinationlistdialog.h"
#include "correspondence/emailconfiguredialog.h"
#include "correspondence/maildelegatedialog.h"
#include "correspondence/sendmaildaysdialog.h"
#include "datahub/changepassdialog.h"
#include "datahub/logindialog.h"
#include "datahub/msgbox.h"
#include "datahub/permission.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "platform/datafolder.h"
#include "platform/detachedprocess.h"
#include "reports/reportchoices.h"
#include "reports/reportsql.h"
#include "reports/tibernereport.h"
#include "shell/about.h"
#include "shell/chooosedatadialog.h"
#include "shell/notificationdialog.h"
#include "shell/optionsdialog.h"
#include "shell/programstart.h"
#include "shell/webpages.h"
#include "shell/welcomedialog.h"

#include "datahub/workersform.h"
#include "properties/ownersform.h"
#include "properties/buildingsform.h"
#include "properties/apartmentsform.h"
#include "tenants/tenantsform.h"
#include "upkeep/equipmentform.h"
#include "upkeep/remindersform.h"
#include "upkeep/todolistform.h"
#include "properties/seltenantdialog.h"
#include "money/cashbookdialog.h"
#include "money/cashbookform.h"
#include "money/paymenthistorydialog.h"
#include "upkeep/vendorsform.h"
#include "money/catform.h"
#include "money/paymentdialog.h"
#include "money/chargerun.h"
#include "money/latefees.h"
#include "tenants/adjustrentdialog.h"
#include "tenants/creditcardsdialog.h"
#include "tenants/freqform.h"
#include "tenants/leasesdialog.h"
#include "datahub/debuglog.h"

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
#include <QQmlContext>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTimer>
#include <QUrl>

namespace {
const char *const kUserAgent = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
                               "Chrome/74.0.3729.131 Safari/537.36";
const int kFinishDelayMs = 2000;

// "From <start> To <end>", the dates as the desktop writes them.
QString periodLine(const QDate &from, const QDate &to)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(MainWindow::tr("From"), ShortDate::toText(from), MainWindow::tr("To"), ShortDate::toText(to));
}

// The cashbook reports without a heading block: the period, four empty texts, the title.
QStringList cashbookHeadings(const QString &period, const QString &title)
{
    return {period, QString(), QString(), QString(), QString(), title};
}

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
        return DetachedProcess::start(program, arguments);
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
    // These steps run before the event loop reads an end signal. One asked for meanwhile lets the step
    // in hand finish (the charge run is one transaction, committed or rolled back whole) and no other
    // begin; the program then ends.
    try {
        loadOptionsFromSetup();
        qCDebug(velloranLog) << "initopitons";
        if (ProgramStart::endRequested())
            return;
        processRecurringCharges(true);
        qCDebug(velloranLog) << "processoptions";
        if (ProgramStart::endRequested())
            return;
        m_finishTimer->start(kFinishDelayMs);
    } catch (const QException &e) {
        qCDebug(velloranLog) << e.what();
    }
}

void MainWindow::processRecurringCharges(bool showProgress)
{
    // After a month away thousands of charges are posted: the clerk who has just logged in is told what
    // the program is doing.
    if (ChargeRun::postDue(this, m_dataSource, showProgress ? tr("Posting the charges that have fallen due...")
                                                            : QString()))
        refreshCharges();
}

void MainWindow::refreshCharges()
{
    // Re-reading drops the rows a run left pending in the model, written or rolled back.
    QSqlDoubleRelationalTableModel *charges = m_dataSource->chargesModel();
    if (charges)
        charges->setFilter(charges->filter());
}

void MainWindow::processLateFees(int tenantId)
{
    const QDate today = Today::date();
    if (!LateFees::anyOverdue(tenantId, today))
        return;
    if (MsgBox::question(this, tr("Do you want to charge late bills now?")) != QMessageBox::Yes)
        return;
    const MoneyCommand::Result charged = LateFees::charge(tenantId, today);
    if (!charged.ok())
        MsgBox::information(this, charged.message);
    refreshCharges();
}

void MainWindow::finishInit()
{
    checkVersion();
    if (WelcomeDialog::showAtStart()) {
        WelcomeDialog welcome(this);
        welcome.exec();
    }
    qCDebug(velloranLog) << "in finishinit()";
    notifyExpiredLeases();
    notifyLateBills();
    qCDebug(velloranLog) << "end finish init";
    checkReminders();
    qCDebug(velloranLog) << "initialize reminders";
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
    // Only charges with something still owed are late; a bill paid in full is history. The notice only
    // says that there are some: the first one found answers, and the Late Payment List lists them.
    if (anyRow(m_dataSource->query(),
               QStringLiteral("select first 1 c.chid from charges c where c.fordate < '%1' and c.amt > 0")))
        MsgBox::information(this, tr("There are late bills! Press 'CTRL+L' to view them."), tr("Morvessa Velloran"));
}

void MainWindow::checkReminders()
{
    QSqlQuery *query = m_dataSource->query();
    query->clear();
    try {
        // One pop-up a start, for the latest reminder due: one missed long ago must not stand in front
        // of today's. The others are in the reminders list.
        if (query->exec(QStringLiteral("select * from reminders where  tdate <= '%1' and reminder=1 "
                                       "order by tdate desc, id desc")
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
        qCDebug(velloranLog) << e.what();
    }
    query->clear();
}

void MainWindow::checkVersion()
{
    qCDebug(velloranLog) << "called";
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
    qCDebug(velloranLog) << "version called";
    reply->deleteLater();
    // An office without internet, or a proxy's error page, must never bother the user.
    if (reply->error() != QNetworkReply::NoError)
        return;
    const QByteArray body = reply->readAll();
    qCDebug(velloranLog) << body;
    if (!isNewerVersion(body))
        return;
    qCDebug(velloranLog) << "got here 2";
    MsgBox::warning(nullptr,
                    tr("A new version of the software is available. Please download it now! <br/> When reinstalling "
                       "read instructions carefully. Do not replace your database files if you wish to keep your data."),
                    tr("Morvessa Velloran"));
}

// ---- Permission gate and work-area pages

bool MainWindow::permitted(bool right)
{
    return Permission::granted(this, right);
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
    if (!permitted(m_dataSource->canManageEquipment()))
        return;
    showPage(m_equipmentPage, tr("Equipment"),
             [](MainWindow *w) -> QWidget * { return new EquipmentForm(w->dataSource(), nullptr); });
}

void MainWindow::openTenants()
{
    if (!permitted(m_dataSource->canManageTenants()))
        return;
    showPage(m_tenantsPage, tr("Tenants"),
             [](MainWindow *w) -> QWidget * { return new TenantsForm(w->dataSource(), nullptr); });
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
    CatForm::run(m_dataSource, this);
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
    newCashbookEntry(false);
}

void MainWindow::recordIncome()
{
    newCashbookEntry(true);
}

void MainWindow::newCashbookEntry(bool income)
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
    editor.beginAs(income);
    if (editor.exec() != QDialog::Accepted) {
        cashbook->revertAll();
        return;
    }
    if (!cashbook->submitRowInView(row, true, false, nullptr)) {
        MsgBox::information(this, tr("Unable to submit data"));
        return;
    }
    m_dataSource->refreshCashbookList();
}

void MainWindow::collectRent()
{
    if (!permitted(m_dataSource->canReceivePayments()))
        return;
    processRecurringCharges();
    qCDebug(velloranLog) << "After process charges";
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
    RemindersForm reminders(m_dataSource, this);
    reminders.exec();
}

void MainWindow::openToDoList()
{
    ToDoListForm todo(m_dataSource, this);
    todo.exec();
}

void MainWindow::openLetter(int letterKey)
{
    LettersDialog editor(m_dataSource, letterKey, this);
    editor.setPrinter(m_printer);
    editor.exec();
}

void MainWindow::openLettersDialog()
{
    if (!permitted(m_dataSource->canUseEmail()))
        return;
    openLetter(LettersDialog::LateRentLetter);
}

void MainWindow::openLeaseAgreementLetter()
{
    if (!permitted(m_dataSource->canUseEmail()))
        return;
    openLetter(LettersDialog::RentalAgreementLetter);
}

void MainWindow::openCustomLetters()
{
    if (!permitted(m_dataSource->canUseEmail()))
        return;
    CustomLettersDialog chooser(m_dataSource, this);
    chooser.setPrinter(m_printer);
    chooser.exec();
}

namespace {
void configureNotice(XDataSource *dataSource, int mailRow, QWidget *parent)
{
    auto *dialog = new EmailConfigureDialog(dataSource, mailRow, parent);
    dialog->exec();
    delete dialog;
}

// Loads the tenants of `statement` into the report query model, lets the user tick the recipients
// and sends them the notice of `kind`.
void mailTenants(XDataSource *dataSource, QWidget *parent, const QString &statement, const QString &noneFound,
                 int kind, const QString &dateText)
{
    QSqlDoubleQueryModel *model = dataSource->reportQueryModel();
    model->clear();
    model->setQuery(statement);
    if (model->rowCount() == 0) {
        MsgBox::information(parent, noneFound);
        model->clear();
        return;
    }
    auto *list = new DestinationListDialog(dataSource, parent);
    if (list->exec() != QDialog::Accepted) {
        delete list;
        return;
    }
    const QVector<int> recipients = list->selectedTenantIds();
    delete list;
    auto *sender = new MailDelegateDialog(dataSource, parent);
    sender->setRecipients(recipients);
    if (!dateText.isEmpty())
        sender->setDateText(dateText);
    sender->setKind(kind);
    sender->exec();
    delete sender;
}

// The lead time the user confirms, or -1 when he cancels.
int askDays(QWidget *parent, bool leaseExpiry)
{
    auto *dialog = new SendmailDaysDialog(parent);
    if (leaseExpiry)
        dialog->setLeaseExpiryLabel();
    const int days = dialog->exec() == QDialog::Accepted ? dialog->days() : -1;
    delete dialog;
    return days;
}
}

void MainWindow::configureLateRentEmail()
{
    if (permitted(m_dataSource->canUseEmail()))
        configureNotice(m_dataSource, 0, this);
}

void MainWindow::configureExpiringLeaseEmail()
{
    if (permitted(m_dataSource->canUseEmail()))
        configureNotice(m_dataSource, 1, this);
}

void MainWindow::configureCustomEmail()
{
    if (permitted(m_dataSource->canUseEmail()))
        configureNotice(m_dataSource, 2, this);
}

void MainWindow::sendLateRentEmails()
{
    if (!permitted(m_dataSource->canUseEmail()))
        return;
    const int days = askDays(this, false);
    if (days < 0)
        return;
    // Late by at least that many days: due on the day that many days back or earlier, so the bound
    // (due before it) is the day after; with something still owed, and somewhere to send.
    const QString bound = XDataSource::toSqlDate(Today::date().addDays(1 - days));
    mailTenants(m_dataSource, this,
                QStringLiteral("select distinct t.tid, t.id, t.company,  t.firstname||' '||t.lastname as fullname, "
                               "t.dat1 as email  from charges  c left join tenants t  on t.tid = c.tid  "
                               "where c.fordate < '%1' and c.amt > 0 and trim(coalesce(t.dat1, '')) <> '' "
                               "order by fullname")
                    .arg(bound),
                tr("No tenant with an email address has charges that are late by at least that many days!"), 1,
                bound);
}

void MainWindow::sendExpiringLeaseEmails()
{
    if (!permitted(m_dataSource->canUseEmail()))
        return;
    const int days = askDays(this, true);
    if (days < 0)
        return;
    const QString bound = XDataSource::toSqlDate(Today::date().addDays(days));
    mailTenants(m_dataSource, this,
                QStringLiteral("select distinct t.tid, t.id, t.company,  t.firstname||' '||t.lastname as fullname, "
                               "t.dat1 as email  from agreements a left join tenants t  on t.tid = a.tid  "
                               "where a.leaseend < '%1'  and a.leaseend >= '%2' order by fullname")
                    .arg(bound, XDataSource::toSqlDate(Today::date())),
                tr("No lease would be expiring within the number of days that you have stated!"), 2, bound);
}

void MainWindow::sendCustomEmails()
{
    if (!permitted(m_dataSource->canUseEmail()))
        return;
    mailTenants(m_dataSource, this,
                QStringLiteral("select distinct t.tid, t.id, t.company,  t.firstname||' '||t.lastname as fullname, "
                               "t.dat1 as email  from tenants t where trim(coalesce(t.dat1, '')) <> '' "
                               "order by fullname asc"),
                tr("There is no tenant with a valid email address in your database!"), 0, QString());
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
    if (!canReport())
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::vendors()))
        reports()->printVendors(reportRows(), QString());
}

void MainWindow::on_action_Equipments_triggered()
{
    if (!canReport())
        return;
    int apartmentId = -1;
    QString building;
    QString suite;
    if (!ReportChoices::apartment(m_dataSource, this, apartmentId, building, suite))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::equipment(apartmentId)))
        reports()->printEquipment(reportRows(), {building, suite});
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
    if (!canReport())
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::owners()))
        reports()->printOwners(reportRows(), QString());
}

void MainWindow::on_action_Tenant_List_triggered()
{
    if (!canReport())
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::tenantList()))
        reports()->printTenants(reportRows(), false, QString());
}

void MainWindow::on_action_Waitlist_triggered()
{
    if (!canReport())
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::waitingList()))
        reports()->printTenants(reportRows(), true, QString());
}

void MainWindow::on_action_Buildings_List_triggered()
{
    if (!canReport())
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::buildingsList()))
        reports()->printBuildings(reportRows(), QString());
}

void MainWindow::on_actionBuildings_by_Owner_triggered()
{
    if (!canReport())
        return;
    QString owners;
    if (!ReportChoices::owners(m_dataSource, this, owners))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::buildingsByOwner(owners)))
        reports()->printBuildings(reportRows(), QString());
}

void MainWindow::on_action_Apartments_List_Report_triggered()
{
    if (!canReport())
        return;
    QString buildings;
    if (!ReportChoices::ownersAndBuildings(m_dataSource, this, buildings))
        return;
    if (!ReportChoices::loadRows(m_dataSource, this, ReportSql::apartmentsList(buildings)))
        return;
    qCDebug(velloranLog) << reportRows()->rowCount();
    reports()->printApartments(reportRows(), {tr("Apartments"), tr("Number of Apartments in Building"),
                                              tr("Total Number of Apartments")});
}

void MainWindow::on_action_Vacant_Apartments_Report_triggered()
{
    if (!canReport())
        return;
    if (!ReportChoices::loadRows(m_dataSource, this, ReportSql::vacantApartments()))
        return;
    reports()->printApartments(reportRows(), {tr("Vacant Apartments"), tr("Number of Vacant Apartments in Building"),
                                              tr("Total Number of Vacant Apartments")});
}

void MainWindow::on_action_Occupied_Apartments_Report_triggered()
{
    if (!canReport())
        return;
    if (!ReportChoices::loadRows(m_dataSource, this, ReportSql::occupiedApartments()))
        return;
    qCDebug(velloranLog) << reportRows()->rowCount();
    reports()->printApartments(reportRows(), {tr("Occupied Apartments"),
                                              tr("Number of Occupied Apartments in Building"),
                                              tr("Total Number of Occupied Apartments")});
}

void MainWindow::on_action_Maintenance_by_Apartment_triggered()
{
    if (!canReport())
        return;
    QString status;
    int apartmentId = -1;
    QString building;
    QString suite;
    if (!ReportChoices::maintenanceStatus(this, status)
        || !ReportChoices::apartment(m_dataSource, this, apartmentId, building, suite))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::maintenanceByApartment(apartmentId, status)))
        reports()->printMaintenance(reportRows(), {building, suite});
}

void MainWindow::on_actionMaintenance_by_Building_triggered()
{
    if (!canReport())
        return;
    QString status;
    QString buildings;
    if (!ReportChoices::maintenanceStatus(this, status)
        || !ReportChoices::ownersAndBuildings(m_dataSource, this, buildings))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::maintenanceByBuilding(buildings, status)))
        reports()->printMaintenance(reportRows(), QStringList());
}

void MainWindow::on_actionMaintenance_by_Vendor_triggered()
{
    if (!canReport())
        return;
    QString status;
    QString buildings;
    int vendorId = -1;
    QString name;
    QString type;
    if (!ReportChoices::maintenanceStatus(this, status)
        || !ReportChoices::ownersAndBuildings(m_dataSource, this, buildings)
        || !ReportChoices::vendor(m_dataSource, this, vendorId, name, type))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::maintenanceByVendor(buildings, status, vendorId)))
        reports()->printMaintenance(reportRows(), QStringList());
}

void MainWindow::on_actionTenant_Details_Report_triggered()
{
    if (!canReport())
        return;
    int tenantId = -1;
    if (!ReportChoices::tenant(m_dataSource, this, tenantId))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::tenantDetails(tenantId)))
        reports()->printTenantDetails(reportRows(), QString());
}

void MainWindow::on_action_Cashbook_Report_triggered()
{
    cashbookByBuilding(&ReportSql::cashbook, tr("Cashbook Entries"), &TiberneReport::printCashbook);
}

void MainWindow::on_action_Income_by_Building_triggered()
{
    cashbookByBuilding(&ReportSql::incomeByBuilding, tr("Income By Building"), &TiberneReport::printIncomeByBuilding);
}

void MainWindow::on_action_Expense_by_Building_triggered()
{
    cashbookByBuilding(&ReportSql::expenseByBuilding, tr("Expense By Building"),
                       &TiberneReport::printExpenseByBuilding);
}

void MainWindow::on_actionIncome_by_Tenant_triggered()
{
    cashbookByTenant(&ReportSql::incomeByTenant, tr("Income By Tenant"));
}

void MainWindow::on_actionExpense_by_Te_nant_triggered()
{
    cashbookByTenant(&ReportSql::expenseByTenant, tr("Expense By Tenant"));
}

void MainWindow::on_actionExpense_by_Vendors_triggered()
{
    if (!canReport())
        return;
    QDate from;
    QDate to;
    QString buildings;
    int vendorId = -1;
    QString name;
    QString type;
    if (!ReportChoices::periodAndBuildings(m_dataSource, this, from, to, buildings)
        || !ReportChoices::vendor(m_dataSource, this, vendorId, name, type))
        return;
    if (!ReportChoices::loadRows(m_dataSource, this, ReportSql::expenseByVendor(buildings, vendorId, from, to)))
        return;
    reports()->printCashbookHeading(reportRows(), {periodLine(from, to), tr("Vendor") + tr(":"), tr("Type") + tr(":"),
                                                   name, type, tr("Expense By Vendors")});
}

void MainWindow::on_action_Payments_Report_triggered()
{
    if (!canReport())
        return;
    QDate from;
    QDate to;
    QString buildings;
    if (!ReportChoices::periodAndBuildings(m_dataSource, this, from, to, buildings))
        return;
    if (!ReportChoices::loadRows(m_dataSource, this, ReportSql::payments(buildings, from, to)))
        return;
    qCDebug(velloranLog).noquote().nospace() << "payments count " << reportRows()->rowCount();
    reports()->printPayments(reportRows(), {periodLine(from, to), tr("Bill Payments Report")});
}

void MainWindow::on_actionPayments_by_Tenants_triggered()
{
    if (!canReport())
        return;
    QDate from;
    QDate to;
    int tenantId = -1;
    if (!ReportChoices::dateRange(this, from, to) || !ReportChoices::tenant(m_dataSource, this, tenantId))
        return;
    if (!ReportChoices::loadRows(m_dataSource, this, ReportSql::paymentsByTenant(tenantId, from, to)))
        return;
    qCDebug(velloranLog).noquote().nospace() << "payments count " << reportRows()->rowCount();
    reports()->printPayments(reportRows(), {periodLine(from, to), tr("Bill Payments Report")});
}

void MainWindow::on_actionPayments_Summary_Report_triggered()
{
    if (!canReport())
        return;
    QDate from;
    QDate to;
    if (!ReportChoices::dateRange(this, from, to))
        return;
    if (!ReportChoices::loadRows(m_dataSource, this, ReportSql::paymentsSummary(from, to)))
        return;
    // The statement gives cash, check and card in this order, each with its total first.
    QSqlQueryModel *rows = reportRows();
    QStringList headings = {periodLine(from, to), tr("Payments Summary Report")};
    double grandTotal = 0.0;
    for (int row = 0; row < 3; ++row) {
        const double total = rows->record(row).value(0).toDouble();
        grandTotal += total;
        headings.append(TiberneReport::money(total).trimmed());
    }
    headings.append(TiberneReport::money(grandTotal).trimmed());
    reports()->printPaymentsSummary(rows, headings);
}

void MainWindow::on_action_Late_Payment_List_triggered()
{
    printLatePayments();
}

void MainWindow::on_action_Lease_Expiry_Dates_triggered()
{
    if (!canReport())
        return;
    QString buildings;
    if (!ReportChoices::ownersAndBuildings(m_dataSource, this, buildings))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::leaseExpiry(buildings)))
        reports()->printExpiringLeases(reportRows(), tr("Lease Expiry Dates Report"));
}

void MainWindow::on_action_Expired_Leases_Report_triggered()
{
    if (!canReport())
        return;
    QString buildings;
    if (!ReportChoices::ownersAndBuildings(m_dataSource, this, buildings))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::expiredLeases(buildings, Today::date())))
        reports()->printExpiringLeases(reportRows(), tr("Expired Leases Report"));
}

void MainWindow::on_actionExpiring_Leases_this_Month_triggered()
{
    if (!canReport())
        return;
    QString buildings;
    if (!ReportChoices::ownersAndBuildings(m_dataSource, this, buildings))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::leasesEndingInMonth(buildings, Today::date())))
        reports()->printExpiringLeases(reportRows(), tr("Leases Expiring this Month"));
}

void MainWindow::on_action_Late_Payment_List_2_triggered()
{
    printLatePayments();
}

// ---- Report commands

bool MainWindow::canReport()
{
    return permitted(m_dataSource && m_dataSource->canViewReports());
}

TiberneReport *MainWindow::reports() const
{
    return m_dataSource->reportGenerator();
}

QSqlQueryModel *MainWindow::reportRows() const
{
    return m_dataSource->reportQueryModel();
}

void MainWindow::cashbookByBuilding(QString (*statement)(const QString &, const QDate &, const QDate &),
                                    const QString &title, CashbookPrint print)
{
    if (!canReport())
        return;
    QDate from;
    QDate to;
    QString buildings;
    if (!ReportChoices::periodAndBuildings(m_dataSource, this, from, to, buildings))
        return;
    if (ReportChoices::loadRows(m_dataSource, this, statement(buildings, from, to)))
        (reports()->*print)(reportRows(), cashbookHeadings(periodLine(from, to), title));
}

void MainWindow::cashbookByTenant(QString (*statement)(int, const QDate &, const QDate &), const QString &title)
{
    if (!canReport())
        return;
    QDate from;
    QDate to;
    int tenantId = -1;
    if (!ReportChoices::dateRange(this, from, to) || !ReportChoices::tenant(m_dataSource, this, tenantId))
        return;
    if (!ReportChoices::loadRows(m_dataSource, this, statement(tenantId, from, to)))
        return;

    QString nameLine;
    QString addressLine;
    QSqlQuery *query = m_dataSource->query();
    query->clear();
    if (query->exec(ReportSql::tenantAddress(tenantId)) && query->first()) {
        nameLine = QStringLiteral("%1 %2").arg(query->value(0).toString(), query->value(1).toString());
        addressLine = QStringLiteral("%1, %2, %3 %4")
                          .arg(query->value(QStringLiteral("address")).toString(),
                               query->value(QStringLiteral("city")).toString(),
                               query->value(QStringLiteral("state")).toString(),
                               query->value(QStringLiteral("postalcode")).toString());
    }
    query->clear();
    reports()->printCashbookHeading(reportRows(), {periodLine(from, to), tr("Tenant") + tr(":"),
                                                   tr("Address") + tr(":"), nameLine, addressLine, title});
}

void MainWindow::printLatePayments()
{
    if (!canReport())
        return;
    if (ReportChoices::loadRows(m_dataSource, this, ReportSql::latePayments(Today::date())))
        reports()->printLatePayments(reportRows(), QStringList());
}

void MainWindow::on_action_Contents_triggered()
{
    openHelp();
}
