#ifndef XDATASOURCE_H
#define XDATASOURCE_H

#include "datahub/qcustomtableview.h"
#include "datahub/qsqldoublequerymodel.h"
#include "datahub/qsqldoublerelationaltablemodel.h"
#include "datahub/qsupersqlrelationaltablemodel.h"
#include "datahub/qsupersqltablemodel.h"
#include "datahub/quniversalsqltablemodel.h"
#include "datahub/sqldoubletablemodel.h"
#include "datahub/sqltenantsmodel.h"
#include "datahub/recurmodel.h"

#include <QDate>
#include <QObject>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

class QAbstractItemModel;
class QSqlRelationalTableModel;
class QSqlTableModel;
class TiberneReport;
struct OfficeSettings;

// The one data hub of a running program: the database connection, a model of every table, the two
// shared queries, the logged-in user with his rights, the office settings, and the row utilities
// every window writes with. The main window owns it; every window gets a pointer to it.
class XDataSource : public QObject
{
    Q_OBJECT

public:
    explicit XDataSource(QObject *parent = nullptr);
    ~XDataSource() override;

    // ---- Connection and life cycle
    void setDataDirectory(const QString &directory) { m_dataDirectory = directory; }
    QString dataDirectory() const { return m_dataDirectory; }
    void setDatabaseFile(const QString &fileName) { m_databaseFile = fileName; }
    QString databaseFile() const { return m_databaseFile; }

    // Connects to dataDirectory()/databaseFile() and builds every model; false at the first step
    // that fails (the reason goes to the debug output, lastErrorText() gives the engine's words).
    bool openDatabase();
    QString lastErrorText() const;
    // What opening did to the file: a file of an earlier layout brought up to date on a copy put in its
    // place, a copy left by an upgrade broken off removed. Empty when it had nothing to do.
    QString upgradeSummary() const { return m_upgradeSummary; }
    bool isOpen() const { return m_isOpen; }
    bool reopenTables();
    void closeDatabase();
    // Empties every table but the reference and configuration ones, and resets their generators.
    void clearDatabase();

    void refreshBuildings();

    // ---- The logged-in user
    QString userId() const { return m_userId; }
    void setUserId(const QString &id) { m_userId = id; }
    int userKey() const { return m_userKey; }
    void setUserKey(int key) { m_userKey = key; }
    QString userFirstName() const { return m_userFirstName; }
    void setUserFirstName(const QString &name) { m_userFirstName = name; }
    QString userLastName() const { return m_userLastName; }
    void setUserLastName(const QString &name) { m_userLastName = name; }

    // Takes key, id, names and the twelve rights from a record of the users table.
    void loadUser(const QSqlRecord &user);

    bool canSetOptions() const { return m_canSetOptions; }
    void setCanSetOptions(bool on) { m_canSetOptions = on; }
    bool canModifyUsers() const { return m_canModifyUsers; }
    void setCanModifyUsers(bool on) { m_canModifyUsers = on; }
    bool canReceivePayments() const { return m_canReceivePayments; }
    void setCanReceivePayments(bool on) { m_canReceivePayments = on; }
    bool canVoidPayments() const { return m_canVoidPayments; }
    void setCanVoidPayments(bool on) { m_canVoidPayments = on; }
    bool canManageTenants() const { return m_canManageTenants; }
    void setCanManageTenants(bool on) { m_canManageTenants = on; }
    bool canManageBuildings() const { return m_canManageBuildings; }
    void setCanManageBuildings(bool on) { m_canManageBuildings = on; }
    bool canManageApartments() const { return m_canManageApartments; }
    void setCanManageApartments(bool on) { m_canManageApartments = on; }
    bool canUseCashbook() const { return m_canUseCashbook; }
    void setCanUseCashbook(bool on) { m_canUseCashbook = on; }
    bool canManageEquipment() const { return m_canManageEquipment; }
    void setCanManageEquipment(bool on) { m_canManageEquipment = on; }
    bool canManageOwners() const { return m_canManageOwners; }
    void setCanManageOwners(bool on) { m_canManageOwners = on; }
    bool canUseEmail() const { return m_canUseEmail; }
    void setCanUseEmail(bool on) { m_canUseEmail = on; }
    bool canViewReports() const { return m_canViewReports; }
    void setCanViewReports(bool on) { m_canViewReports = on; }

    // ---- Office settings (rows of the setup table)
    QString companyName() const { return m_companyName; }
    void setCompanyName(const QString &v) { m_companyName = v; }
    QString addressLine1() const { return m_addressLine1; }
    void setAddressLine1(const QString &v) { m_addressLine1 = v; }
    QString addressLine2() const { return m_addressLine2; }
    void setAddressLine2(const QString &v) { m_addressLine2 = v; }
    QString city() const { return m_city; }
    void setCity(const QString &v) { m_city = v; }
    QString zipCode() const { return m_zipCode; }
    void setZipCode(const QString &v) { m_zipCode = v; }
    QString state() const { return m_state; }
    void setState(const QString &v) { m_state = v; }
    QString phone() const { return m_phone; }
    void setPhone(const QString &v) { m_phone = v; }
    QString mobile() const { return m_mobile; }
    void setMobile(const QString &v) { m_mobile = v; }
    QString fax() const { return m_fax; }
    void setFax(const QString &v) { m_fax = v; }
    QString firstName() const { return m_firstName; }
    void setFirstName(const QString &v) { m_firstName = v; }
    QString lastName() const { return m_lastName; }
    void setLastName(const QString &v) { m_lastName = v; }
    QString senderName() const { return m_senderName; }
    void setSenderName(const QString &v) { m_senderName = v; }
    QString senderAddress() const { return m_senderAddress; }
    void setSenderAddress(const QString &v) { m_senderAddress = v; }
    // The plain password; the setter takes the scrambled form kept in the table.
    QString mailPassword() const { return m_mailPassword; }
    void setMailPassword(const QString &scrambled);
    QString smtpServer() const { return m_smtpServer; }
    void setSmtpServer(const QString &v) { m_smtpServer = v; }
    QString smtpUser() const { return m_smtpUser; }
    void setSmtpUser(const QString &v) { m_smtpUser = v; }
    int smtpPort() const { return m_smtpPort; }
    void setSmtpPort(int port) { m_smtpPort = port; }
    bool useTls() const { return m_useTls; }
    void setUseTls(bool on) { m_useTls = on; }

    QString encryptPassword(const QString &plain) const;
    QString decryptPassword(const QString &scrambled) const;

    // Copies the eighteen settings from the setup model into the hub.
    void loadSettings();
    // The hub's settings in their stored form (the password scrambled afresh).
    OfficeSettings settings() const;
    // Takes over settings that were stored (the password given scrambled, as the table keeps it).
    void applySettings(const OfficeSettings &values);
    // Writes the hub's settings into the eighteen setup rows in one transaction; false, with every
    // row as it was, when any of them could not be written.
    bool writeSettings();

    // ---- Shared objects
    TiberneReport *reportGenerator() const { return m_reportGenerator; }
    void setReportGenerator(TiberneReport *generator) { m_reportGenerator = generator; }

    QSqlQuery *query() const { return m_query; }
    QSqlQuery *query2() const { return m_query2; }

    SqlDoubleTableModel *ownersModel() const { return m_ownersModel; }
    SqlTenantsModel *tenantsModel() const { return m_tenantsModel; }
    QSuperSqlTableModel *vehiclesModel() const { return m_vehiclesModel; }
    QSuperSqlTableModel *petsModel() const { return m_petsModel; }
    QSuperSqlTableModel *occupantsModel() const { return m_occupantsModel; }
    QSuperSqlTableModel *ccardsModel() const { return m_ccardsModel; }
    QSuperSqlTableModel *waitlistModel() const { return m_waitlistModel; }
    SqlDoubleTableModel *depositsModel() const { return m_depositsModel; }
    QSqlDoubleRelationalTableModel *buildingsModel() const { return m_buildingsModel; }
    SqlDoubleTableModel *apartmentsModel() const { return m_apartmentsModel; }
    QSqlDoubleQueryModel *apartmentsQueryModel() const { return m_apartmentsQueryModel; }
    QSqlDoubleQueryModel *selectQueryModel() const { return m_selectQueryModel; }
    QSqlDoubleQueryModel *reportQueryModel() const { return m_reportQueryModel; }
    QSqlDoubleQueryModel *spareQueryModel() const { return m_spareQueryModel; }
    RecurModel *recurModel() const { return m_recurModel; }
    QUniversalSqlTableModel *categoriesModel() const { return m_categoriesModel; }
    QSqlDoubleRelationalTableModel *agreementsModel() const { return m_agreementsModel; }
    QSuperSqlTableModel *leasesModel() const { return m_leasesModel; }
    QSuperSqlTableModel *vendorsModel() const { return m_vendorsModel; }
    QSqlDoubleRelationalTableModel *maintenanceModel() const { return m_maintenanceModel; }
    SqlDoubleTableModel *equipmentModel() const { return m_equipmentModel; }
    QUniversalSqlTableModel *todoModel() const;
    QSuperSqlTableModel *remindersModel() const { return m_remindersModel; }
    QSuperSqlTableModel *frequencyModel() const { return m_frequencyModel; }
    // The cashbook and the payment transactions are read when first asked for: sorting them whole
    // at log-in, for windows that may never open, is what made a large office slow to start.
    QSqlDoubleRelationalTableModel *cashbookModel() const;
    QSqlDoubleQueryModel *cashbookQueryModel() const;
    // The cashbook window runs its own statement on the shared list: the list's first one is then never run.
    void setCashbookListStatement(const QString &statement);
    // After a write: the shared cashbook list runs its statement again. A list no window has shown
    // yet is left to run when first asked for, rather than twice now.
    void refreshCashbookList();
    QSuperSqlTableModel *usersModel() const { return m_usersModel; }
    QSqlDoubleRelationalTableModel *chargesModel() const { return m_chargesModel; }
    SqlDoubleTableModel *transModel() const;
    SqlDoubleTableModel *paymentsModel() const { return m_paymentsModel; }
    QSuperSqlTableModel *setupModel() const { return m_setupModel; }
    QSuperSqlTableModel *mailModel() const { return m_mailModel; }
    QSuperSqlTableModel *lettersModel() const { return m_lettersModel; }

    // ---- Row and SQL utilities. None of them starts, commits or rolls back a transaction.
    static bool insertRow(QSqlTableModel *model, int row);
    static bool updateRow(QSqlTableModel *model, int row);
    static bool deleteRow(QSqlTableModel *model, int row);
    static bool insertRelationalRow(QSqlTableModel *model, int row);
    static bool updateRelationalRow(QSqlTableModel *model, int row);
    static bool deleteRelationalRow(QSqlRelationalTableModel *model, int row);
    // The engine's words for why the last of those writes failed; empty after one that went through.
    static QString lastWriteError();

    // The form of every date literal in a statement: "yyyy-MM-dd".
    static QString toSqlDate(const QDate &date);
    static bool setFieldValue(QSqlTableModel *model, const QString &field, int row, const QVariant &value);
    // Note the order: column before row.
    static bool setCellValue(QAbstractItemModel *model, int column, int row, const QVariant &value);
    static bool isValidEmail(const QString &address);
    static QString priorityText(const QVariant &code);
    static QString transTypeText(const QVariant &code);

signals:
    void buildingsChanged();
    void apartmentsRefresh();

private:
    void selectOnFirstUse(QSqlQueryModel *model) const;

    QString m_userId;
    int m_userKey = 0;
    QString m_userFirstName;
    QString m_userLastName;

    bool m_canSetOptions = false;
    bool m_canModifyUsers = false;
    bool m_canReceivePayments = false;
    bool m_canVoidPayments = false;
    bool m_canManageTenants = false;
    bool m_canManageBuildings = false;
    bool m_canManageApartments = false;
    bool m_canUseCashbook = false;
    bool m_canManageEquipment = false;
    bool m_canManageOwners = false;
    bool m_canUseEmail = false;
    bool m_canViewReports = false;

    QString m_companyName;
    QString m_addressLine1;
    QString m_addressLine2;
    QString m_city;
    QString m_zipCode;
    QString m_state;
    QString m_phone;
    QString m_mobile;
    QString m_fax;
    QString m_firstName;
    QString m_lastName;
    QString m_senderName;
    QString m_senderAddress;
    QString m_mailPassword;
    QString m_smtpServer;
    QString m_smtpUser;
    int m_smtpPort = 0;
    bool m_useTls = false;

    TiberneReport *m_reportGenerator = nullptr;

    QSqlQuery *m_query = nullptr;
    QSqlQuery *m_query2 = nullptr;

    SqlDoubleTableModel *m_ownersModel = nullptr;
    SqlTenantsModel *m_tenantsModel = nullptr;
    QSuperSqlTableModel *m_vehiclesModel = nullptr;
    QSuperSqlTableModel *m_petsModel = nullptr;
    QSuperSqlTableModel *m_occupantsModel = nullptr;
    QSuperSqlTableModel *m_ccardsModel = nullptr;
    QSuperSqlTableModel *m_waitlistModel = nullptr;
    SqlDoubleTableModel *m_depositsModel = nullptr;
    QSqlDoubleRelationalTableModel *m_buildingsModel = nullptr;
    SqlDoubleTableModel *m_apartmentsModel = nullptr;
    QSqlDoubleQueryModel *m_apartmentsQueryModel = nullptr;
    QSqlDoubleQueryModel *m_selectQueryModel = nullptr;
    QSqlDoubleQueryModel *m_reportQueryModel = nullptr;
    QSqlDoubleQueryModel *m_spareQueryModel = nullptr;
    RecurModel *m_recurModel = nullptr;
    QUniversalSqlTableModel *m_categoriesModel = nullptr;
    QSqlDoubleRelationalTableModel *m_agreementsModel = nullptr;
    QSuperSqlTableModel *m_leasesModel = nullptr;
    QSuperSqlTableModel *m_vendorsModel = nullptr;
    QSqlDoubleRelationalTableModel *m_maintenanceModel = nullptr;
    SqlDoubleTableModel *m_equipmentModel = nullptr;
    QUniversalSqlTableModel *m_todoModel = nullptr;
    QSuperSqlTableModel *m_remindersModel = nullptr;
    QSuperSqlTableModel *m_frequencyModel = nullptr;
    QSqlDoubleRelationalTableModel *m_cashbookModel = nullptr;
    QSqlDoubleQueryModel *m_cashbookQueryModel = nullptr;
    QSuperSqlTableModel *m_usersModel = nullptr;
    QSqlDoubleRelationalTableModel *m_chargesModel = nullptr;
    SqlDoubleTableModel *m_transModel = nullptr;
    SqlDoubleTableModel *m_paymentsModel = nullptr;
    QSuperSqlTableModel *m_setupModel = nullptr;
    QSuperSqlTableModel *m_mailModel = nullptr;
    QSuperSqlTableModel *m_lettersModel = nullptr;
    // Models created and checked by openDatabase but not yet read.
    mutable QList<QSqlQueryModel *> m_unselected;

    // Why the last openDatabase() failed on a read, in the engine's words.
    QString m_readFailure;
    QString m_upgradeSummary;
    QString m_databaseFile;
    QString m_dataDirectory;
    bool m_isOpen = false;
};

#endif // XDATASOURCE_H
