#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "shell/outlookengine.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>

class NotificationDialog;
class QMdiSubWindow;
class QNetworkReply;
class QDate;
class QPrinter;
class QSqlQueryModel;
class QTimer;
class TiberneReport;
class XDataSource;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    bool openDatabase();
    bool isDatabaseOpen() const { return m_databaseOpen; }
    XDataSource *dataSource() const { return m_dataSource; }
    QPrinter *reportPrinter() const { return m_printer; }

    void loadOptionsFromSetup();
    void processRecurringCharges(bool showProgress = false);
    // Charges the late fees of one tenant's overdue charges, after asking.
    void processLateFees(int tenantId);
    void setTopBarText(const QString &text);

    // Start-up notices, run by finishInit in this order.
    void notifyExpiredLeases();
    void notifyLateBills();
    void checkReminders();

    void checkVersion();
    // True when a reply of the version page announces a newer build of this edition.
    static bool isNewerVersion(const QByteArray &body);

    // The commands the side bar shares with the menu; each applies its own right check.
    void openOwners();
    void openApartments();
    void openBuildings();
    void openCashbook();
    void openEquipment();
    void openTenants();
    void openVendors();
    void openUsers();
    void openCashbookCategories();
    void openRentFrequencies();
    void openLeaseTerms();
    void openCreditCards();
    void openAdjustRent();
    void openPaymentHistory();
    void recordExpense();
    void recordIncome();
    void collectRent();
    void openReminders();
    void openToDoList();
    void openLettersDialog();
    void openLeaseAgreementLetter();
    void openCustomLetters();
    void configureLateRentEmail();
    void configureExpiringLeaseEmail();
    void configureCustomEmail();
    void sendLateRentEmails();
    void sendExpiringLeaseEmails();
    void sendCustomEmails();
    void changePassword();
    void openHelp();

    // How the backup program is started. Tests replace it to see what would be started.
    using ProgramStarter = std::function<bool(const QString &program, const QStringList &arguments)>;
    void setProgramStarter(ProgramStarter starter) { m_startProgram = std::move(starter); }
    static QString backupProgram();
    static QString helpFile();

    // Must run before the first Qt Quick scene is created.
    static void prepareSceneGraph();

protected:
    void showEvent(QShowEvent *event) override;

public slots:
    void finishInit();
    void versionReply(QNetworkReply *reply);

private slots:
    void on_action_Close_triggered();
    void on_action_Blog_triggered();
    void on_action_Product_Homepage_triggered();
    void on_actionCom_pany_triggered();
    void on_action_About_triggered();
    void on_action_Users_triggered();
    void on_action_Credit_Cards_triggered();
    void on_action_Lease_Terms_triggered();
    void on_action_Rent_Frequency_triggered();
    void on_action_Cashbook_Categories_triggered();
    void on_action_Vendors_2_triggered();
    void on_action_Equipment_Manager_triggered();
    void on_action_Tenants_2_triggered();
    void on_action_Apartments_2_triggered();
    void on_action_Buildings_2_triggered();
    void on_action_Oweners_triggered();
    void on_action_Send_triggered();
    void on_action_Configure_triggered();
    void on_action_Send_2_triggered();
    void on_action_Configure_2_triggered();
    void on_action_Send_3_triggered();
    void on_action_Configure_3_triggered();
    void on_action_Cashbook_2_triggered();
    void on_action_Adjust_Rental_Rate_triggered();
    void on_action_To_do_List_triggered();
    void on_action_Reminders_triggered();
    void on_action_Vendors_triggered();
    void on_action_Equipments_triggered();
    void on_action_Youtube_Channel_triggered();
    void on_action_change_Password_triggered();
    void on_action_Log_Off_triggered();
    void on_action_Owners_Report_triggered();
    void on_action_Tenant_List_triggered();
    void on_action_Waitlist_triggered();
    void on_action_Options_triggered();
    void on_action_Buildings_List_triggered();
    void on_actionBuildings_by_Owner_triggered();
    void on_action_Apartments_List_Report_triggered();
    void on_action_Vacant_Apartments_Report_triggered();
    void on_action_Occupied_Apartments_Report_triggered();
    void on_action_Maintenance_by_Apartment_triggered();
    void on_actionMaintenance_by_Building_triggered();
    void on_actionMaintenance_by_Vendor_triggered();
    void on_actionTenant_Details_Report_triggered();
    void on_action_Cashbook_Report_triggered();
    void on_action_Income_by_Building_triggered();
    void on_action_Expense_by_Building_triggered();
    void on_actionIncome_by_Tenant_triggered();
    void on_actionExpense_by_Te_nant_triggered();
    void on_actionExpense_by_Vendors_triggered();
    void on_action_Payments_Report_triggered();
    void on_actionPayments_by_Tenants_triggered();
    void on_actionPayments_Summary_Report_triggered();
    void on_action_Late_Payment_List_triggered();
    void on_action_Lease_Expiry_Dates_triggered();
    void on_action_Expired_Leases_Report_triggered();
    void on_actionExpiring_Leases_this_Month_triggered();
    void on_action_Late_Payment_List_2_triggered();
    void on_action_Printer_triggered();
    void on_action_Contents_triggered();
    void on_action_Restore_triggered();
    void on_action_Backup_triggered();

private:
    bool permitted(bool right);
    void showPage(QMdiSubWindow *&page, const QString &title, QWidget *(*makeForm)(MainWindow *));
    void closePages();
    void openWebPage(const QUrl &url);
    // A new cashbook entry, opened on an income or an expense category.
    void newCashbookEntry(bool income);
    // The letter editor on one letter, printing on the shared printer.
    void openLetter(int letterKey);
    // The report commands' shared steps.
    bool canReport();
    TiberneReport *reports() const;
    QSqlQueryModel *reportRows() const;
    // The cashbook of a period and the chosen buildings, printed with the given template.
    using CashbookPrint = int (TiberneReport::*)(QSqlQueryModel *, const QStringList &);
    void cashbookByBuilding(QString (*statement)(const QString &, const QDate &, const QDate &), const QString &title,
                            CashbookPrint print);
    void cashbookByTenant(QString (*statement)(int, const QDate &, const QDate &), const QString &title);
    void printLatePayments();
    void refreshCharges();

    Ui::MainWindow *ui;
    OutlookEngine m_engine;
    QMdiSubWindow *m_ownersPage = nullptr;
    QMdiSubWindow *m_apartmentsPage = nullptr;
    QMdiSubWindow *m_buildingsPage = nullptr;
    QMdiSubWindow *m_cashbookPage = nullptr;
    QMdiSubWindow *m_equipmentPage = nullptr;
    QMdiSubWindow *m_tenantsPage = nullptr;
    QMdiSubWindow *m_vendorsPage = nullptr;
    XDataSource *m_dataSource = nullptr;
    TiberneReport *m_reportGenerator = nullptr;
    bool m_firstShowDone = false;
    QPrinter *m_printer = nullptr;
    QTimer *m_finishTimer = nullptr;
    bool m_databaseOpen = true;
    ProgramStarter m_startProgram;
};

#endif // MAINWINDOW_H
