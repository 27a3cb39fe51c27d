// Every window with an amount field, opened as a clerk opens it on a comma-decimal desktop and accepted
// as it came up: whatever amounts it filled in itself it must read back, never refuse.

#include "testhub.h"

#include "datahub/today.h"
#include "money/cashbookform.h"
#include "money/moneyfield.h"
#include "money/paymentdialog.h"
#include "properties/apartmentsform.h"
#include "properties/buildingsform.h"
#include "properties/ownersform.h"
#include "tenants/adjustrentdialog.h"
#include "tenants/tenantsform.h"
#include "upkeep/equipmentform.h"

#include <QLocale>
#include <QTableView>

class TestAmountFields : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void untouchedAmountsAreReadBack_data();
    void untouchedAmountsAreReadBack();

private:
    // Runs the clerk's way to `window`; the driver presses its OK as soon as inspect() has looked.
    void reach(const QString &window, ModalDriver &driver);
    void inspect(QDialog *window);

    TestHub *t = nullptr;
    QStringList opened;
    int fields = 0;
    QStringList unreadable;
};

void TestAmountFields::init()
{
    Today::set(QDate(2026, 3, 14));
    t = new TestHub;
    QVERIFY(t->opened);
    opened.clear();
    fields = 0;
    unreadable.clear();
}

void TestAmountFields::cleanup()
{
    delete t;
    t = nullptr;
    Today::reset();
    QLocale::setDefault(QLocale::system());
}

// What the window shows in its amount fields the moment it is up, before anyone types.
void TestAmountFields::inspect(QDialog *window)
{
    opened << QString::fromLatin1(window->metaObject()->className());
    for (MoneyField *field : window->findChildren<MoneyField *>()) {
        ++fields;
        if (!field->amount().isValid())
            unreadable << QStringLiteral("%1 \"%2\"").arg(field->objectName(), field->text());
    }
}

void TestAmountFields::untouchedAmountsAreReadBack_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("building") << "BuildingsDialog";
    QTest::newRow("owner") << "OwnerForm";
    QTest::newRow("apartment") << "ApartmentsDialog";
    QTest::newRow("recurring bill") << "RecurDialog";
    QTest::newRow("lease made again") << "AgreementsDialog";
    QTest::newRow("maintenance entry") << "MaintenanceItemDialog";
    QTest::newRow("equipment item") << "EquipmentDialog";
    QTest::newRow("tenant's income") << "TenantDialog";
    QTest::newRow("security deposit") << "DepositsDialog";
    QTest::newRow("cashbook entry") << "CashbookDialog";
    QTest::newRow("rent adjustment") << "AdjustRentDialog";
    QTest::newRow("Collect Rent") << "PaymentDialog";
    QTest::newRow("applied amount") << "EditPaymentDialog";
    QTest::newRow("one-time charge") << "AddChargeDialog";
}

void TestAmountFields::untouchedAmountsAreReadBack()
{
    QFETCH(QString, window);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // Every question on the way, and the one that confirms the write, is answered Yes.
    for (int i = 0; i < 8; ++i)
        MsgBox::setNextAnswer(QMessageBox::Yes);
    ModalDriver driver;
    reach(window, driver);

    QCOMPARE(opened, QStringList(window));
    QVERIFY(fields > 0);
    QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(QStringLiteral(", "))));
    const QStringList refused = MsgBox::shownTexts().filter(QStringLiteral("is not an amount"));
    QVERIFY2(refused.isEmpty(), qPrintable(refused.join(QStringLiteral(" | "))));
}

// The demonstration office: Maple Court 103 (apartment 3) is let to tenant 3, who owes three months'
// rent (charges 21 to 23), holds a deposit and has a maintenance entry; apartment 4 has equipment.
void TestAmountFields::reach(const QString &window, ModalDriver &driver)
{
    const auto accept = [this, &driver] { driver.ok([this](QDialog *d) { inspect(d); }); };
    const auto list = [](QWidget *page) { return child<QTableView>(page, "tableView"); };

    if (window == "BuildingsDialog") {
        BuildingsForm page(t->hub);
        selectRow(list(&page), 1, QStringLiteral("Maple Court"), 1);
        accept();
        clickButton(&page, "pushButton_2");
    } else if (window == "OwnerForm") {
        OwnersForm page(t->hub);
        selectRow(list(&page), 1, QStringLiteral("HOLL01"), 1);
        accept();
        clickButton(&page, "pushButton_2");
    } else if (window == "ApartmentsDialog" || window == "RecurDialog" || window == "AgreementsDialog"
               || window == "MaintenanceItemDialog") {
        ApartmentsForm page(t->hub, nullptr);
        selectRow(list(&page), 0, 3, 4);
        if (window == "ApartmentsDialog") {
            accept();
            clickButton(&page, "pushButton_2");
        } else if (window == "RecurDialog") {
            selectRow(child<QTableView>(&page, "tableView_2"), 0, 4, 1);
            accept();
            clickButton(&page, "pushButton_6");
        } else if (window == "AgreementsDialog") {
            // A saved lease is shown read-only, with Close alone; the clerk who enters it again deletes
            // it and gets the new-lease form, filled with the apartment's rent.
            clickButton(&page, "pushButton_12");
            accept();
            clickButton(&page, "pushButton_11");
        } else {
            driver.ok([](QDialog *log) {
                selectRow(child<QTableView>(log, "tableView"), 2, QStringLiteral("Kitchen faucet dripping"), 2);
                clickButton(log, "pushButton_2");
            });
            accept();
            clickButton(&page, "pushButton_14");
        }
    } else if (window == "EquipmentDialog") {
        EquipmentForm page(t->hub);
        driver.ok([](QDialog *picker) { selectRow(child<QTableView>(picker, "tableView"), 1, 4, 2); });
        clickButton(&page, "pushButton_5");
        selectRow(list(&page), 2, QStringLiteral("Refrigerator"), 2);
        accept();
        clickButton(&page, "pushButton_2");
    } else if (window == "TenantDialog" || window == "DepositsDialog") {
        TenantsForm page(t->hub);
        selectRow(list(&page), 0, 3, 1);
        accept();
        if (window == "TenantDialog") {
            clickButton(&page, "pushButton_2");
        } else {
            auto *deposits = child<QTableView>(&page, "tableView_2");
            deposits->setCurrentIndex(deposits->model()->index(0, 3));
            clickButton(&page, "pushButton_8");
        }
    } else if (window == "CashbookDialog") {
        CashbookForm page(t->hub);
        QSqlDoubleQueryModel *entries = t->hub->cashbookQueryModel();
        while (entries->canFetchMore())
            entries->fetchMore();
        // A repair paid out of the office's account, not one a payment posted.
        selectRow(list(&page), 8, 206, 1);
        accept();
        clickButton(&page, "pushButton_2");
    } else if (window == "AdjustRentDialog") {
        // Opened from the main window's menu, as the main window does.
        AdjustRentDialog adjust(t->hub);
        accept();
        adjust.exec();
    } else {
        // Collect Rent for the tenant the picker gave, as the main window opens it.
        PaymentDialog payment(t->hub);
        payment.loadTenant(3);
        if (window != "PaymentDialog") {
            const char *const command = window == "EditPaymentDialog" ? "pushButton_4" : "pushButton";
            driver.ok([command](QDialog *collect) {
                selectRow(child<QTableView>(collect, "tableView"), 0, 21, 3);
                clickButton(collect, command);
            });
        }
        accept();
        payment.exec();
    }
}

VELLORAN_TEST_MAIN(TestAmountFields)
#include "tst_amountfields.moc"
