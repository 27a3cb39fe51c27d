#include "datahub/workersdialog.h"
#include "ui_workersdialog.h"

#include "datahub/logindialog.h"
#include "datahub/msgbox.h"
#include "datahub/textfold.h"
#include "datahub/xdatasource.h"

#include <QCheckBox>
#include <QDataWidgetMapper>
#include <QDebug>
#include <QSqlError>

WorkersDialog::WorkersDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::WorkersDialog)
    , row(row)
{
    ui->setupUi(this);
    setWindowTitle(tr("Users Form"));

    QSuperSqlTableModel *model = dataSource->usersModel();
    QDataWidgetMapper *map = createMapper(model);
    map->addMapping(ui->id, model->fieldIndex(QStringLiteral("id")));
    map->addMapping(ui->firstname, model->fieldIndex(QStringLiteral("firstname")));
    map->addMapping(ui->lastname, model->fieldIndex(QStringLiteral("lastname")));

    const QList<QPair<QCheckBox *, const char *>> rights = {
        {ui->progOptions, "progoptions"},   {ui->modUsers, "modusers"},
        {ui->recPayments, "bill"},          {ui->voidPayments, "voidtrans"},
        {ui->manageTenants, "tenants"},     {ui->manageBuildings, "buildings"},
        {ui->manageApartments, "apartments"}, {ui->cashbook, "cashbook"},
        {ui->manageEquipment, "equipments"}, {ui->manageOwners, "owners"},
        {ui->mail, "email"},                {ui->viewReports, "reports"},
    };
    for (const auto &right : rights)
        map->addMapping(right.first, model->fieldIndex(QLatin1String(right.second)));
    map->setCurrentIndex(row);

    const QVariant key = model->data(model->index(row, 0), Qt::EditRole);
    if (key.isNull()) {
        isNewUser = true;
        for (const auto &right : rights)
            right.first->setChecked(true);
    } else if (key.toInt() == 1) {
        // The administrator keeps every right and its name; only its password may change.
        ui->groupBox->setEnabled(false);
        ui->id->setReadOnly(true);
        ui->firstname->setReadOnly(true);
        ui->lastname->setReadOnly(true);
    }
    loadedId = ui->id->text().trimmed();
    ui->id->setFocus();
}

WorkersDialog::~WorkersDialog()
{
    delete ui;
}

void WorkersDialog::accept()
{
    const QString id = ui->id->text().trimmed();
    if (!requireText(id, tr("The id field cannot be blank")))
        return;
    if (!requireText(ui->firstname->text(), tr("The firstname field cannot be blank")))
        return;

    QSuperSqlTableModel *model = dataSource()->usersModel();
    if (ui->passBox->isChecked()) {
        const QString password = ui->password->text().trimmed();
        const QString repeated = ui->rpassword->text().trimmed();
        if (password.isEmpty() || repeated.isEmpty()) {
            MsgBox::information(this, tr("The password and repeat password fields cannot be blank"));
            return;
        }
        if (repeated != password) {
            MsgBox::information(this, tr("The passwords you have typed do not match"));
            return;
        }
        if (password.length() < 5) {
            MsgBox::information(this, tr("The passwords must be at least 5 characters"));
            return;
        }
        XDataSource::setCellValue(model, model->fieldIndex(QStringLiteral("npassword")), row,
                                  LogInDialog::passwordDigest(password));
    }

    if (id != loadedId
        && !requireUnique(QStringLiteral("select id from users where ")
                              + TextFold::sameText(QStringLiteral("users"), QStringLiteral("id")),
                          id, tr("The ID you have entered already exists. Enter a new ID.")))
        return;
    if (!confirmSubmit())
        return;

    int key = model->data(model->index(row, 0), Qt::EditRole).toInt();
    if (isNewUser) {
        key = nextKey(QStringLiteral("GEN_USERS_ID"));
        if (key < 0)
            return;
        XDataSource::setCellValue(model, 0, row, key);
    }

    // The log-in compares the id exactly, so one saved with blanks around it could never log in.
    ui->id->setText(id);
    ui->firstname->setText(ui->firstname->text().trimmed());
    ui->lastname->setText(ui->lastname->text().trimmed());
    if (!submitMapper())
        return;

    if (!isNewUser && key == dataSource()->userKey() && key != 1)
        MsgBox::information(this, tr("The new permissions will be applied when you restart the software."));
    QDialog::accept();
}
