#include "datahub/xdatasource.h"
#include "datahub/safeupgrade.h"

#include "datahub/readfailure.h"
#include "datahub/reportquerymodel.h"
#include "datahub/scrambler.h"
#include "datahub/settingswriter.h"
#include "datahub/today.h"
#include "platform/datafolder.h"
#include "datahub/debuglog.h"

#include <QAbstractItemModel>
#include <QDebug>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlQueryModel>
#include <QSqlRelationalTableModel>
#include <QSqlTableModel>
#include <QStandardPaths>

#include <functional>
#include <type_traits>

namespace {

// The database administrator's password the engine is installed with.
const QString AdminUser = QStringLiteral("SYSDBA");
const QString AdminPassword = QStringLiteral("masterkey");

// The mail password in the setup table is scrambled under this key. Changing it makes every stored
// password unreadable.
const quint64 MailPasswordKey = Q_UINT64_C(0x6B2F94D3A75E1C08);

const QString ApartmentsListQuery = QStringLiteral(
    "select a.apid, a.tid, a.bid, b.description, a.suite, t.firstname||' '||t.lastname as TENNAME, "
    "t.company,  a.squarefootage, a.bedrooms, a.bathrooms, a.floor,  a.status, a.rent, a.agreeid "
    "from apartments a inner join buildings b on a.bid = b.buildid left join tenants t on a.tid=t.tid ");

const QString CashbookListQuery = QStringLiteral(
    "select c.tdate, t.name as category, c.description, c.expense, c.income, v.name as vendor, "
    "a.suite, c.accid, c.catid, c.vid, c.apid  from cashbook c  left join categories t  on c.catid "
    "= t.catid  left join vendors v  on c.vid = v.vid  left join apartments a  on c.apid = a.apid "
    "order by c.tdate desc");

void debugLine(const QString &line)
{
    qCDebug(velloranLog).noquote() << line;
}

// Sets up a table model the way every model of the hub is set up, in the order the relational
// models need: join mode, table, strategy, sort.
template <class Model>
Model *newTableModel(QObject *parent, const QSqlDatabase &db, const QString &table, int sortColumn,
                     Qt::SortOrder order, bool leftJoin = false)
{
    auto *model = new Model(parent, db);
    if constexpr (std::is_base_of<QSqlRelationalTableModel, Model>::value) {
        if (leftJoin)
            model->setJoinMode(QSqlRelationalTableModel::LeftJoin);
    } else {
        Q_UNUSED(leftJoin)
    }
    model->setTable(table);
    model->setEditStrategy(QSqlTableModel::OnManualSubmit);
    if (sortColumn >= 0)
        model->setSort(sortColumn, order);
    return model;
}

bool selected(QSqlTableModel *model, const char *failure)
{
    if (model->select())
        return true;
    debugLine(QString::fromLatin1(failure));
    return false;
}

// A model read only when a window first asks for it; the table must be there all the same.
bool deferred(QSqlTableModel *model, const char *failure)
{
    if (ReadFailure::check(model))
        return true;
    debugLine(QString::fromLatin1(failure));
    return false;
}

QString whereKey(const QSqlRecord &keyRecord, const QSqlRecord &valueRecord)
{
    return QStringLiteral(" where %1 = %2").arg(keyRecord.fieldName(0)).arg(valueRecord.value(0).toInt());
}

// Why the last row write failed, for the message the user sees.
QString lastWriteFailure;

bool finish(QSqlQuery &query)
{
    const QString error = query.lastError().text();
    lastWriteFailure = query.lastError().databaseText().trimmed();
    if (lastWriteFailure.isEmpty())
        lastWriteFailure = error.trimmed();
    if (error.isEmpty())
        return true;
    debugLine(error);
    return false;
}

// The insert or update of one row, bound field by field from `values` where `record` marks a field
// as set.
bool writePrepared(const QString &statement, const QSqlRecord &record,
                   const std::function<QVariant(int)> &values)
{
    debugLine(statement);
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(statement);
    for (int i = 0; i < record.count(); ++i) {
        if (record.isGenerated(i))
            query.addBindValue(values(i));
    }
    query.exec();
    debugLine(query.lastQuery());
    return finish(query);
}

bool writePlain(QSqlTableModel *model, int row, QSqlDriver::StatementType type)
{
    const QSqlRecord record = model->record(row);
    QSqlDatabase db = QSqlDatabase::database();
    QString statement = db.driver()->sqlStatement(type, model->tableName(), record, true);
    if (type == QSqlDriver::UpdateStatement)
        statement += whereKey(record, record);
    return writePrepared(statement, record, [&record](int i) { return record.value(i); });
}

bool deletePlain(QSqlTableModel *model, int row)
{
    debugLine(QStringLiteral("index %1").arg(row));
    const QSqlRecord record = model->record(row);
    QSqlDatabase db = QSqlDatabase::database();
    const QString statement = db.driver()->sqlStatement(QSqlDriver::DeleteStatement, model->tableName(),
                                                        record, false)
                              + whereKey(record, record);
    debugLine(statement);
    QSqlQuery query(db);
    query.exec(statement);
    return finish(query);
}

// A relational model's record names the shown column in place of each relation's key column, so
// the statement is built from the table's own fields and the values are read from the model.
bool writeRelational(QSqlTableModel *model, int row, QSqlDriver::StatementType type)
{
    QSqlDatabase db = QSqlDatabase::database();
    QSqlQueryModel fields;
    fields.setQuery(QStringLiteral("select first 1 * from %1").arg(model->tableName()), db);
    QSqlRecord base = fields.record();
    const QSqlRecord rowRecord = model->record(row);
    for (int i = 0; i < base.count() && i < rowRecord.count(); ++i)
        base.setGenerated(i, rowRecord.isGenerated(i));
    QString statement = db.driver()->sqlStatement(type, model->tableName(), base, true);
    if (type == QSqlDriver::UpdateStatement)
        statement += whereKey(base, rowRecord);
    const bool ok = writePrepared(statement, base, [model, row](int i) {
        return model->data(model->index(row, i), Qt::EditRole);
    });
    fields.clear();
    return ok;
}

} // namespace

XDataSource::XDataSource(QObject *parent)
    : QObject(parent)
{
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::AppLocalDataLocation);
    for (int i = 0; i < locations.size(); ++i)
        debugLine(QStringLiteral("locations %1 %2").arg(i).arg(locations.at(i)));
    m_dataDirectory = locations.value(0);
    m_databaseFile = QStringLiteral("DATA.FDB");
}

XDataSource::~XDataSource()
{
    delete m_query;
    delete m_query2;
}

bool XDataSource::openDatabase()
{
    DataFolder::prepareDatabaseEngine();
    // The caller tells the user why the database could not be opened (lastErrorText), once.
    m_readFailure.clear();
    ReadFailure::Quiet quiet(&m_readFailure);

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"));
    if (!db.isValid()) {
        debugLine(QStringLiteral("Invalid DB: ") + db.lastError().text());
        return false;
    }
    db.setHostName(QString());
    const QString databaseName = QStringLiteral("%1/%2").arg(m_dataDirectory, m_databaseFile);
    db.setDatabaseName(databaseName);
    db.setUserName(AdminUser);
    db.setPassword(AdminPassword);
    // Qt's driver reads only the options it knows and passes over the others without complaint, so
    // the line goes in whole; the file, user and password reach the driver through the calls above.
    // The columns hold UTF8. A connection that names no character set talks UNICODE_FSS, which holds
    // only 16-bit characters and, without a word, turns each one beyond them (an emoji, a rare CJK
    // ideograph) into another; in UTF8 every text reaches the file as typed.
    db.setConnectOptions(QStringLiteral("Database=%1;User=%2;Password=%3;ServerType=%4;Dialect=3;ClientLibrary=%5;"
                                        "ISC_DPB_LC_CTYPE=UTF8;")
                             .arg(databaseName, AdminUser, AdminPassword, QStringLiteral("1"),
                                  DataFolder::databaseClientLibrary()));
    if (!db.open()) {
        debugLine(db.lastError().text());
        return false;
    }
    // Every model below reads the columns of the current layout.
    SafeUpgrade upgrade(db);
    if (!upgrade.run()) {
        m_readFailure = tr("The database could not be brought up to date: %1").arg(upgrade.error());
        debugLine(m_readFailure);
        return false;
    }
    m_upgradeSummary = upgrade.summary();

    m_query = new QSqlQuery(db);
    m_query2 = new QSqlQuery(db);

    const Qt::SortOrder Asc = Qt::AscendingOrder;
    const Qt::SortOrder Desc = Qt::DescendingOrder;

    m_ownersModel = newTableModel<SqlDoubleTableModel>(this, db, QStringLiteral("OWNERS"), 0, Asc);
    m_ownersModel->doubleColumns() << 16 << 17 << 22;
    if (!selected(m_ownersModel, "failed to open owners table"))
        return false;

    m_setupModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("SETUP"), 0, Asc);
    if (!selected(m_setupModel, "failed to open SETUP table"))
        return false;

    m_mailModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("MAIL"), 0, Asc);
    if (!selected(m_mailModel, "failed to open MAIL table"))
        return false;

    m_lettersModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("LETTERS"), 0, Asc);
    if (!selected(m_lettersModel, "failed to open LETTERS table"))
        return false;

    m_tenantsModel = newTableModel<SqlTenantsModel>(this, db, QStringLiteral("TENANTS"), 0, Asc);
    if (!selected(m_tenantsModel, "failed to open tenants table"))
        return false;

    m_vehiclesModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("VEHICLES"), 0, Asc);
    if (!selected(m_vehiclesModel, "failed to open vehicles table"))
        return false;

    m_petsModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("PETS"), 0, Asc);
    if (!selected(m_petsModel, "failed to open pets table"))
        return false;

    m_occupantsModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("OCCUPANTS"), 0, Asc);
    if (!selected(m_occupantsModel, "failed to open occupants table"))
        return false;

    m_ccardsModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("CCARDS"), 0, Asc);
    if (!selected(m_ccardsModel, "failed to open ccards table"))
        return false;

    m_waitlistModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("WAITLIST"), 0, Asc);
    if (!selected(m_waitlistModel, "failed to open waitlist table"))
        return false;

    m_depositsModel = newTableModel<SqlDoubleTableModel>(this, db, QStringLiteral("DEPOSITS"), 0, Asc);
    m_depositsModel->doubleColumns() << 3;
    if (!selected(m_depositsModel, "failed to open DEPOSITS table"))
        return false;

    // Inner join: a building whose owner is gone is not listed.
    m_buildingsModel = newTableModel<QSqlDoubleRelationalTableModel>(this, db, QStringLiteral("BUILDINGS"), 0, Asc);
    m_buildingsModel->doubleColumns() << 13;
    m_buildingsModel->setRelation(17, QSqlRelation(QStringLiteral("OWNERS"), QStringLiteral("OID"), QStringLiteral("CODE")));
    if (!selected(m_buildingsModel, "failed to open BUILDINGS table"))
        return false;

    m_apartmentsModel = newTableModel<SqlDoubleTableModel>(this, db, QStringLiteral("APARTMENTS"), 0, Asc);
    m_apartmentsModel->doubleColumns() << 7;
    if (!selected(m_apartmentsModel, "failed to open APARTMENTS table"))
        return false;

    m_apartmentsQueryModel = new QSqlDoubleQueryModel(this);
    m_apartmentsQueryModel->setQuery(ApartmentsListQuery, db);
    m_apartmentsQueryModel->setDoubleColumn(12, 2);
    m_apartmentsQueryModel->setDoubleColumn(7, 4);
    if (m_apartmentsQueryModel->lastError().isValid()) {
        debugLine(QStringLiteral("failed to open APARTMENTS query"));
        return false;
    }

    m_selectQueryModel = new QSqlDoubleQueryModel(this);
    m_reportQueryModel = new ReportQueryModel(this);
    m_spareQueryModel = new QSqlDoubleQueryModel(this);

    // Inner join: a bill whose frequency is gone is not listed.
    m_recurModel = newTableModel<RecurModel>(this, db, QStringLiteral("RECUR"), 0, Asc);
    m_recurModel->doubleColumns() << 2 << 3 << 8;
    m_recurModel->setRelation(4, QSqlRelation(QStringLiteral("FREQUENCY"), QStringLiteral("FREQID"), QStringLiteral("NAME")));
    if (!selected(m_recurModel, "failed to open RECUR table"))
        return false;

    m_categoriesModel = newTableModel<QUniversalSqlTableModel>(this, db, QStringLiteral("CATEGORIES"), 1, Asc);
    m_categoriesModel->converters().insert(3, &XDataSource::transTypeText);
    if (!selected(m_categoriesModel, "failed to open CATEGORIES table"))
        return false;

    m_agreementsModel = newTableModel<QSqlDoubleRelationalTableModel>(this, db, QStringLiteral("AGREEMENTS"), 0, Asc, true);
    m_agreementsModel->doubleColumns() << 3 << 4 << 5 << 6 << 17;
    m_agreementsModel->setRelation(7, QSqlRelation(QStringLiteral("FREQUENCY"), QStringLiteral("FREQID"), QStringLiteral("NAME")));
    if (!selected(m_agreementsModel, "failed to open AGREEMENTS table"))
        return false;

    m_leasesModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("LEASES"), 0, Asc);
    if (!selected(m_leasesModel, "failed to open LEASES table"))
        return false;

    m_vendorsModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("VENDORS"), 0, Asc);
    if (!selected(m_vendorsModel, "failed to open VENDORS table"))
        return false;

    m_maintenanceModel = newTableModel<QSqlDoubleRelationalTableModel>(this, db, QStringLiteral("MAINTENANCE"), 0, Asc, true);
    m_maintenanceModel->doubleColumns() << 6;
    m_maintenanceModel->setRelation(7, QSqlRelation(QStringLiteral("VENDORS"), QStringLiteral("VID"), QStringLiteral("NAME")));
    if (!selected(m_maintenanceModel, "failed to open MAINTENANCE table"))
        return false;

    m_equipmentModel = newTableModel<SqlDoubleTableModel>(this, db, QStringLiteral("EQUIPMENTS"), 0, Asc);
    m_equipmentModel->doubleColumns() << 7;
    if (!selected(m_equipmentModel, "failed to open EQUIPMENT table"))
        return false;

    m_todoModel = newTableModel<QUniversalSqlTableModel>(this, db, QStringLiteral("TODO"), 3, Desc);
    m_todoModel->converters().insert(4, &XDataSource::priorityText);
    if (!selected(m_todoModel, "failed to open TODO table"))
        return false;

    m_remindersModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("REMINDERS"), 3, Desc);
    if (!selected(m_remindersModel, "failed to open REMINDERS table"))
        return false;

    // No sort: the frequencies keep the order the database gives them.
    m_frequencyModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("FREQUENCY"), -1, Asc);
    if (!selected(m_frequencyModel, "failed to open FREQUENCY table"))
        return false;

    m_cashbookModel = newTableModel<QSqlDoubleRelationalTableModel>(this, db, QStringLiteral("CASHBOOK"), 1, Desc, true);
    m_cashbookModel->doubleColumns() << 4 << 5;
    m_cashbookModel->setRelation(2, QSqlRelation(QStringLiteral("CATEGORIES"), QStringLiteral("CATID"), QStringLiteral("NAME")));
    if (!deferred(m_cashbookModel, "failed to open CASHBOOK table"))
        return false;

    m_cashbookQueryModel = new QSqlDoubleQueryModel(this);
    m_cashbookQueryModel->setDoubleColumn(3, 2);
    m_cashbookQueryModel->setDoubleColumn(4, 2);
    {
        // Prepared, not run: a statement the database refuses fails here all the same.
        QSqlQuery check(db);
        if (!check.prepare(CashbookListQuery)) {
            ReadFailure::report(check.lastError());
            debugLine(QStringLiteral("failed to open CASHBOOK query"));
            return false;
        }
    }

    m_usersModel = newTableModel<QSuperSqlTableModel>(this, db, QStringLiteral("USERS"), 1, Asc);
    if (!selected(m_usersModel, "failed to open USERS table"))
        return false;

    m_chargesModel = newTableModel<QSqlDoubleRelationalTableModel>(this, db, QStringLiteral("CHARGES"), 6, Asc, true);
    m_chargesModel->doubleColumns() << 4 << 5 << 7 << 8 << 9 << 10;
    m_chargesModel->setRelation(2, QSqlRelation(QStringLiteral("APARTMENTS"), QStringLiteral("APID"), QStringLiteral("SUITE")));
    if (!selected(m_chargesModel, "failed to open CHARGES table"))
        return false;

    m_transModel = newTableModel<SqlDoubleTableModel>(this, db, QStringLiteral("TRANS"), 1, Desc);
    m_transModel->doubleColumns() << 4 << 6 << 8 << 9 << 10 << 11;
    if (!deferred(m_transModel, "failed to open TRANS table"))
        return false;

    m_paymentsModel = newTableModel<SqlDoubleTableModel>(this, db, QStringLiteral("PAYMENTS"), 0, Asc);
    m_paymentsModel->doubleColumns() << 3;
    if (!selected(m_paymentsModel, "failed to open PAYMENTS table"))
        return false;

    m_unselected = {m_cashbookModel, m_cashbookQueryModel, m_transModel};
    m_isOpen = true;
    return true;
}

QSqlDoubleRelationalTableModel *XDataSource::cashbookModel() const
{
    selectOnFirstUse(m_cashbookModel);
    return m_cashbookModel;
}

QSqlDoubleQueryModel *XDataSource::cashbookQueryModel() const
{
    selectOnFirstUse(m_cashbookQueryModel);
    return m_cashbookQueryModel;
}

SqlDoubleTableModel *XDataSource::transModel() const
{
    selectOnFirstUse(m_transModel);
    return m_transModel;
}

void XDataSource::setCashbookListStatement(const QString &statement)
{
    m_unselected.removeOne(m_cashbookQueryModel);
    m_cashbookQueryModel->setQuery(statement, QSqlDatabase::database());
}

void XDataSource::refreshCashbookList()
{
    if (!m_cashbookQueryModel || m_unselected.contains(m_cashbookQueryModel))
        return;
    m_cashbookQueryModel->setQuery(m_cashbookQueryModel->query().lastQuery(), QSqlDatabase::database());
}

void XDataSource::selectOnFirstUse(QSqlQueryModel *model) const
{
    if (!model || !m_unselected.removeOne(model))
        return;
    if (auto *table = qobject_cast<QSqlTableModel *>(model)) {
        if (!table->select())
            debugLine(QStringLiteral("failed to open %1 table").arg(table->tableName()));
        return;
    }
    if (model == m_cashbookQueryModel)
        m_cashbookQueryModel->setQuery(CashbookListQuery, QSqlDatabase::database());
}

QString XDataSource::lastErrorText() const
{
    // A file the engine opens may still fail on its first read, and the connection has no words for
    // that: the reason of the step that failed comes first.
    if (!m_readFailure.isEmpty())
        return m_readFailure;
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), true).lastError().text();
}

bool XDataSource::reopenTables()
{
    // As when opening: the caller decides what the user sees.
    m_readFailure.clear();
    ReadFailure::Quiet quiet(&m_readFailure);
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    db.close();
    if (!db.open())
        return false;

    const struct {
        QSqlTableModel *model;
        const char *failure;
    } models[] = {
        {m_ownersModel, "failed to open owners table"},
        {m_tenantsModel, "failed to open tenants table"},
        {m_vehiclesModel, "failed to open vehicles table"},
        {m_petsModel, "failed to open pets table"},
        {m_occupantsModel, "failed to open occupants table"},
        {m_ccardsModel, "failed to open ccards table"},
        {m_waitlistModel, "failed to open waitlist table"},
    };
    for (const auto &entry : models) {
        if (!entry.model) {
            debugLine(QString::fromLatin1(entry.failure));
            return false;
        }
        if (!selected(entry.model, entry.failure))
            return false;
    }
    return true;
}

void XDataSource::closeDatabase()
{
    for (QSqlQueryModel *model : {static_cast<QSqlQueryModel *>(m_selectQueryModel),
                                  static_cast<QSqlQueryModel *>(m_reportQueryModel),
                                  static_cast<QSqlQueryModel *>(m_apartmentsQueryModel),
                                  static_cast<QSqlQueryModel *>(m_cashbookQueryModel)}) {
        if (model)
            model->clear();
    }
    // The shared queries and every table model hold on to the connection. They go before it does:
    // left behind, they would keep the removed connection alive and run on a detached database.
    const auto release = [](auto *&object) {
        delete object;
        object = nullptr;
    };
    release(m_query);
    release(m_query2);
    release(m_ownersModel);
    release(m_setupModel);
    release(m_mailModel);
    release(m_lettersModel);
    release(m_tenantsModel);
    release(m_vehiclesModel);
    release(m_petsModel);
    release(m_occupantsModel);
    release(m_ccardsModel);
    release(m_waitlistModel);
    release(m_depositsModel);
    release(m_buildingsModel);
    release(m_apartmentsModel);
    release(m_recurModel);
    release(m_categoriesModel);
    release(m_agreementsModel);
    release(m_leasesModel);
    release(m_vendorsModel);
    release(m_maintenanceModel);
    release(m_equipmentModel);
    release(m_todoModel);
    release(m_remindersModel);
    release(m_frequencyModel);
    release(m_cashbookModel);
    release(m_usersModel);
    release(m_chargesModel);
    release(m_transModel);
    release(m_paymentsModel);
    m_unselected.clear();
    m_isOpen = false;
    {
        QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
}

void XDataSource::clearDatabase()
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!m_query || !db.transaction())
        return;

    static const QStringList keptTables = {
        QStringLiteral("cashbooktotals"), QStringLiteral("categories"), QStringLiteral("ccards"),
        QStringLiteral("filelevel"), QStringLiteral("frequency"),
        QStringLiteral("leases"), QStringLiteral("letters"), QStringLiteral("mail"),
        QStringLiteral("setup"), QStringLiteral("users"),
    };
    const auto kept = [](const QString &table) {
        return table.contains(QLatin1Char('$')) || keptTables.contains(table.toLower())
               || keptTables.contains(table.toUpper());
    };

    const QStringList tables = db.tables(QSql::Tables);
    for (const QString &table : tables) {
        debugLine(table);
        const QString keyField = db.primaryIndex(table).fieldName(0);
        debugLine(keyField);
        if (kept(table))
            continue;
        m_query->clear();
        // A table without a key of its own (the days bills dealt with) has no placeholder rows.
        m_query->exec(keyField.isEmpty() ? QStringLiteral("delete from %1").arg(table)
                                         : QStringLiteral("delete from %1 where %2 > 0").arg(table, keyField));
        m_query->clear();
    }
    if (!db.commit())
        return;

    for (const QString &table : tables) {
        debugLine(table);
        if (kept(table) || db.primaryIndex(table).isEmpty())
            continue;
        m_query->clear();
        m_query->exec(QStringLiteral("SET GENERATOR GEN_%1_ID TO 0").arg(table));
        m_query->clear();
    }
}

void XDataSource::refreshBuildings()
{
    emit buildingsChanged();
}

QUniversalSqlTableModel *XDataSource::todoModel() const
{
    if (!m_todoModel)
        debugLine(QStringLiteral("todomodel is null"));
    return m_todoModel;
}

void XDataSource::loadUser(const QSqlRecord &user)
{
    const auto granted = [&user](const char *column) {
        return user.value(QLatin1String(column)).toInt() != 0;
    };
    setUserKey(user.value(0).toInt());
    setUserId(user.value(QStringLiteral("id")).toString());
    setUserFirstName(user.value(QStringLiteral("firstname")).toString());
    setUserLastName(user.value(QStringLiteral("lastname")).toString());
    setCanSetOptions(granted("progoptions"));
    setCanModifyUsers(granted("modusers"));
    setCanReceivePayments(granted("bill"));
    setCanVoidPayments(granted("voidtrans"));
    setCanManageTenants(granted("tenants"));
    setCanManageBuildings(granted("buildings"));
    setCanManageApartments(granted("apartments"));
    setCanUseCashbook(granted("cashbook"));
    setCanManageEquipment(granted("equipments"));
    setCanManageOwners(granted("owners"));
    setCanUseEmail(granted("email"));
    setCanViewReports(granted("reports"));
}

// ---- Office settings

void XDataSource::setMailPassword(const QString &scrambled)
{
    m_mailPassword = decryptPassword(scrambled);
}

QString XDataSource::encryptPassword(const QString &plain) const
{
    Scrambler scrambler(MailPasswordKey);
    return scrambler.encryptText(plain);
}

QString XDataSource::decryptPassword(const QString &scrambled) const
{
    Scrambler scrambler(MailPasswordKey);
    return scrambler.decryptText(scrambled);
}

void XDataSource::loadSettings()
{
    if (m_setupModel)
        applySettings(SettingsWriter(m_setupModel).read());
}

OfficeSettings XDataSource::settings() const
{
    OfficeSettings values;
    values.companyName = companyName();
    values.addressLine1 = addressLine1();
    values.addressLine2 = addressLine2();
    values.city = city();
    values.zipCode = zipCode();
    values.state = state();
    values.phone = phone();
    values.mobile = mobile();
    values.fax = fax();
    values.firstName = firstName();
    values.lastName = lastName();
    values.senderName = senderName();
    values.senderAddress = senderAddress();
    values.scrambledPassword = encryptPassword(mailPassword());
    values.smtpServer = smtpServer();
    values.smtpPort = smtpPort();
    values.smtpUser = smtpUser();
    values.useTls = useTls();
    return values;
}

void XDataSource::applySettings(const OfficeSettings &values)
{
    setCompanyName(values.companyName);
    setAddressLine1(values.addressLine1);
    setAddressLine2(values.addressLine2);
    setCity(values.city);
    setZipCode(values.zipCode);
    setState(values.state);
    setPhone(values.phone);
    setMobile(values.mobile);
    setFax(values.fax);
    setFirstName(values.firstName);
    setLastName(values.lastName);
    setSenderName(values.senderName);
    setSenderAddress(values.senderAddress);
    setMailPassword(values.scrambledPassword);
    setSmtpServer(values.smtpServer);
    setSmtpPort(values.smtpPort);
    setSmtpUser(values.smtpUser);
    setUseTls(values.useTls);
}

bool XDataSource::writeSettings()
{
    return m_setupModel && SettingsWriter(m_setupModel).write(settings());
}

// ---- Row and SQL utilities

bool XDataSource::insertRow(QSqlTableModel *model, int row)
{
    return writePlain(model, row, QSqlDriver::InsertStatement);
}

bool XDataSource::updateRow(QSqlTableModel *model, int row)
{
    return writePlain(model, row, QSqlDriver::UpdateStatement);
}

bool XDataSource::deleteRow(QSqlTableModel *model, int row)
{
    return deletePlain(model, row);
}

bool XDataSource::insertRelationalRow(QSqlTableModel *model, int row)
{
    return writeRelational(model, row, QSqlDriver::InsertStatement);
}

bool XDataSource::updateRelationalRow(QSqlTableModel *model, int row)
{
    return writeRelational(model, row, QSqlDriver::UpdateStatement);
}

bool XDataSource::deleteRelationalRow(QSqlRelationalTableModel *model, int row)
{
    return deletePlain(model, row);
}

QString XDataSource::lastWriteError()
{
    return lastWriteFailure;
}

QString XDataSource::toSqlDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

bool XDataSource::setFieldValue(QSqlTableModel *model, const QString &field, int row, const QVariant &value)
{
    return model->setData(model->index(row, model->fieldIndex(field)), value, Qt::EditRole);
}

bool XDataSource::setCellValue(QAbstractItemModel *model, int column, int row, const QVariant &value)
{
    return model->setData(model->index(row, column), value, Qt::EditRole);
}

bool XDataSource::isValidEmail(const QString &address)
{
    static const QRegularExpression pattern(QStringLiteral("^(.+)@(.+).(.+)$"));
    return pattern.match(address).hasMatch();
}

QString XDataSource::priorityText(const QVariant &code)
{
    switch (code.toInt()) {
    case 1:
        return tr("LOW");
    case 3:
        return tr("HIGH");
    default:
        return tr("NORMAL");
    }
}

QString XDataSource::transTypeText(const QVariant &code)
{
    return code.toInt() == 0 ? tr("EXPENSE") : tr("INCOME");
}
