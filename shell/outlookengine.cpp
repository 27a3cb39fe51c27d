#include "outlookengine.h"

#include "shell/mainwindow.h"

#include <QHash>

OutlookEngine::OutlookEngine(QObject *parent)
    : QObject(parent)
{
}

OutlookEngine::Command OutlookEngine::commandFor(const QString &name)
{
    static const QHash<QString, Command> commands = {
        {QStringLiteral("mainTenants"), &MainWindow::openTenants},
        {QStringLiteral("mainOwners"), &MainWindow::openOwners},
        {QStringLiteral("mainBuildings"), &MainWindow::openBuildings},
        {QStringLiteral("mainApartments"), &MainWindow::openApartments},
        {QStringLiteral("mainEquipment"), &MainWindow::openEquipment},
        {QStringLiteral("mainVendors"), &MainWindow::openVendors},
        {QStringLiteral("mainTodolist"), &MainWindow::openToDoList},
        {QStringLiteral("mainHelp"), &MainWindow::openHelp},
        {QStringLiteral("accCashbook"), &MainWindow::openCashbook},
        {QStringLiteral("accCollectRent"), &MainWindow::collectRent},
        {QStringLiteral("accRecordExpense"), &MainWindow::recordExpense},
        {QStringLiteral("accRecordIncome"), &MainWindow::recordIncome},
        {QStringLiteral("accPaymentHistory"), &MainWindow::openPaymentHistory},
        {QStringLiteral("sysUsers"), &MainWindow::openUsers},
        {QStringLiteral("sysCategories"), &MainWindow::openCashbookCategories},
        {QStringLiteral("sysRentFreq"), &MainWindow::openRentFrequencies},
        {QStringLiteral("sysLeaseTerms"), &MainWindow::openLeaseTerms},
        {QStringLiteral("sysCreditCards"), &MainWindow::openCreditCards},
        {QStringLiteral("otherReminders"), &MainWindow::openReminders},
        {QStringLiteral("otherAdjust"), &MainWindow::openAdjustRent},
        {QStringLiteral("letterLate"), &MainWindow::openLettersDialog},
        {QStringLiteral("letterLease"), &MainWindow::openLeaseAgreementLetter},
        {QStringLiteral("letterCustom"), &MainWindow::openCustomLetters},
        {QStringLiteral("emailConfigureLate"), &MainWindow::configureLateRentEmail},
        {QStringLiteral("emailSendLate"), &MainWindow::sendLateRentEmails},
        {QStringLiteral("emailConfigureExpiring"), &MainWindow::configureExpiringLeaseEmail},
        {QStringLiteral("emailSendExpiring"), &MainWindow::sendExpiringLeaseEmails},
        {QStringLiteral("emailConfigureCustom"), &MainWindow::configureCustomEmail},
        {QStringLiteral("emailSendCustom"), &MainWindow::sendCustomEmails},
    };
    return commands.value(name, nullptr);
}

void OutlookEngine::outAction(const QString &name)
{
    const Command command = commandFor(name);
    if (command && m_mainWindow)
        (m_mainWindow->*command)();
}
