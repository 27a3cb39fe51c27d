#include "reports/reportchoices.h"

#include "datahub/qsqldoublequerymodel.h"
#include "datahub/xdatasource.h"
#include "properties/selapartmentdialog.h"
#include "properties/seltenantdialog.h"
#include "properties/selvendordialog.h"
#include "reports/choosebuildingsdialog.h"
#include "reports/choosegenericdialog.h"
#include "reports/chooseownersdialog.h"
#include "reports/daterangedialog.h"
#include "reports/reportsql.h"
#include "reports/tibernereport.h"
#include "reportengine/rptrunprogress.h"

#include <QCoreApplication>
#include <QScopedPointer>
#include <QSqlDatabase>
#include <QSqlError>

namespace ReportChoices {

bool owners(XDataSource *dataSource, QWidget *parent, QString &ownersClause)
{
    QScopedPointer<ChooseOwnersDialog> dialog(new ChooseOwnersDialog(dataSource, parent));
    if (dialog->exec() != QDialog::Accepted)
        return false;
    ownersClause = dialog->isAllOwners() ? QString() : dialog->whereClause();
    return true;
}

bool ownersAndBuildings(XDataSource *dataSource, QWidget *parent, QString &buildingsClause, bool *everyBuilding)
{
    QString ownersClause;
    if (!owners(dataSource, parent, ownersClause))
        return false;
    QScopedPointer<ChooseBuildingsDialog> dialog(new ChooseBuildingsDialog(dataSource, ownersClause, parent));
    if (dialog->exec() != QDialog::Accepted)
        return false;
    buildingsClause = dialog->whereClause();
    if (everyBuilding)
        *everyBuilding = ownersClause.isEmpty() && dialog->everyBuildingChosen();
    return true;
}

bool dateRange(QWidget *parent, QDate &from, QDate &to)
{
    QScopedPointer<DateRangeDialog> dialog(new DateRangeDialog(parent));
    if (dialog->exec() != QDialog::Accepted)
        return false;
    dialog->range(from, to);
    return true;
}

bool periodAndBuildings(XDataSource *dataSource, QWidget *parent, QDate &from, QDate &to, QString &buildingsClause)
{
    bool everyBuilding = false;
    if (!dateRange(parent, from, to) || !ownersAndBuildings(dataSource, parent, buildingsClause, &everyBuilding))
        return false;
    if (everyBuilding)
        buildingsClause = ReportSql::everyBuildingAndNone();
    return true;
}

bool maintenanceStatus(QWidget *parent, QString &statusClause)
{
    QScopedPointer<ChooseGenericDialog> dialog(new ChooseGenericDialog(parent));
    dialog->setTexts(QCoreApplication::translate("MainWindow", "Morvessa"),
                     QCoreApplication::translate("MainWindow", "Status of Maintenance"));
    // The list shows the statuses translated; the clause compares the values as they are stored.
    static const char *const labels[] = {
        QT_TRANSLATE_NOOP("MainWindow", "All"),      QT_TRANSLATE_NOOP("MainWindow", "OPEN"),
        QT_TRANSLATE_NOOP("MainWindow", "RESOLVED"), QT_TRANSLATE_NOOP("MainWindow", "CLOSED"),
        QT_TRANSLATE_NOOP("MainWindow", "POSTPONED"),
    };
    QStringList items;
    for (const char *label : labels)
        items.append(QCoreApplication::translate("MainWindow", label));
    dialog->setItems(items);
    if (dialog->exec() != QDialog::Accepted)
        return false;
    statusClause = ReportSql::statusClause(dialog->chosenItems());
    return true;
}

bool tenant(XDataSource *dataSource, QWidget *parent, int &tenantId)
{
    QScopedPointer<SelTenantDialog> dialog(new SelTenantDialog(dataSource, false, parent));
    if (dialog->exec() != QDialog::Accepted)
        return false;
    tenantId = dialog->tenantId();
    return true;
}

bool apartment(XDataSource *dataSource, QWidget *parent, int &apartmentId, QString &building, QString &suite)
{
    QScopedPointer<SelApartmentDialog> dialog(new SelApartmentDialog(dataSource, parent));
    if (dialog->exec() != QDialog::Accepted)
        return false;
    apartmentId = dialog->apartmentId();
    building = dialog->buildingDescription();
    suite = dialog->suite();
    return true;
}

bool vendor(XDataSource *dataSource, QWidget *parent, int &vendorId, QString &name, QString &type)
{
    QScopedPointer<SelVendorDialog> dialog(new SelVendorDialog(dataSource, parent));
    if (dialog->exec() != QDialog::Accepted)
        return false;
    vendorId = dialog->vendorId();
    name = dialog->vendorName();
    type = dialog->vendorType();
    return true;
}

bool loadRows(XDataSource *dataSource, QWidget *parent, const QString &sql)
{
    // The rows of a report that is running (its preview open) are not swept away under it by a
    // second report asked for meanwhile: the second one is refused.
    TiberneReport *reports = dataSource->reportGenerator();
    if (RptEngine::runInProgress() || (reports && reports->isRunning()))
        return false;
    // The database runs the statement in one go: the dialog says that it does, and the windows the
    // questions covered are painted again before it starts.
    RptRunProgress progress(parent, QCoreApplication::translate("MainWindow", "Reading the report"));
    progress.begin(QCoreApplication::translate("MainWindow", "Selecting the report's rows..."), 0);
    progress.showNow();
    QSqlDoubleQueryModel *model = dataSource->reportQueryModel();
    model->clear();
    // A statement the database refuses is told by the model itself, with the engine's words.
    model->setQuery(sql, QSqlDatabase::database());
    if (model->lastError().isValid())
        return false;
    // Nothing reads a report's rows once its output is done; a large one would hold its memory
    // until the next report.
    if (reports)
        reports->releaseRowsAfterOutput(model);
    return true;
}

} // namespace ReportChoices
