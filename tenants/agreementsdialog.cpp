#include "tenants/agreementsdialog.h"
#include "ui_agreementsdialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"

#include <QDataWidgetMapper>
#include <QPushButton>
#include <QSqlRecord>
#include <QSqlRelationalDelegate>

namespace {
enum Column { KeyColumn = 0, DamageColumn = 3, RentColumn = 4, LateFeeColumn = 5, PerDayColumn = 6,
              FreqColumn = 7, FirstDueColumn = 8, LeaseTermColumn = 9, LeaseStartColumn = 10,
              LeaseEndColumn = 11, MoveInColumn = 12, MoveOutColumn = 13, NotesColumn = 14,
              FirstPaymentColumn = 16 };

// The six date fields in the order of dateFields(), with the column and field each one belongs to.
const int dateColumns[] = {FirstDueColumn, LeaseStartColumn, LeaseEndColumn, MoveInColumn, MoveOutColumn,
                           FirstPaymentColumn};
const char *const dateFieldNames[] = {"firstdue", "leasestart", "leaseend", "movein", "moveOut", "nextdate"};
}

AgreementsDialog::AgreementsDialog(XDataSource *dataSource, int row, bool isNew, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::AgreementsDialog)
    , m_row(row)
    , m_isNew(isNew)
{
    ui->setupUi(this);
    setWindowTitle(tr("Rental Agreement Form"));

    QSqlDoubleRelationalTableModel *model = dataSource->agreementsModel();
    QDataWidgetMapper *map = createMapper(model);
    // The frequency is chosen by its name and stored by its key.
    map->setItemDelegate(new QSqlRelationalDelegate(map));

    QSqlTableModel *frequencies = model->relationModel(FreqColumn);
    ui->rentRecurs->setModel(frequencies);
    ui->rentRecurs->setModelColumn(frequencies->fieldIndex(QStringLiteral("NAME")));
    ui->leaseterm_2->setModel(dataSource->leasesModel());
    ui->leaseterm_2->setModelColumn(1);

    map->addMapping(ui->rent, RentColumn);
    map->addMapping(ui->damage, DamageColumn);
    map->addMapping(ui->lateFeeFlatRate, LateFeeColumn);
    map->addMapping(ui->lateFeePerDay, PerDayColumn);
    map->addMapping(ui->rentRecurs, FreqColumn);
    map->addMapping(ui->leaseterm_2, LeaseTermColumn);
    map->addMapping(ui->notes, NotesColumn);
    map->setCurrentIndex(row);

    const QList<QLineEdit *> dates = dateFields();
    QList<QDate> values;
    for (int i = 0; i < dates.size(); ++i)
        values << Today::date();

    if (!isNew) {
        ui->buttonBox->clear();
        ui->buttonBox->addButton(QDialogButtonBox::Close);
        for (QLineEdit *field : {ui->rent, ui->lateFeeFlatRate, ui->lateFeePerDay, ui->damage})
            field->setReadOnly(true);
        for (QLineEdit *field : dates)
            field->setReadOnly(true);
        ui->rentRecurs->setEnabled(false);
        ui->leaseterm_2->setEnabled(false);

        // Field names are matched whatever case the table gives them.
        const QSqlRecord agreement = model->record(row);
        for (int i = 0; i < dates.size(); ++i)
            values[i] = agreement.value(QLatin1String(dateFieldNames[i])).toDate();
    }
    for (int i = 0; i < dates.size(); ++i)
        dates.at(i)->setText(ShortDate::toText(values.at(i)));

    ui->rent->setFocus();
}

AgreementsDialog::~AgreementsDialog()
{
    delete ui;
}

QList<QLineEdit *> AgreementsDialog::dateFields() const
{
    return {ui->firstDueOn, ui->leaseStartDate, ui->LeaseEndDate, ui->moveIn, ui->moveOut, ui->firstPaymentDate};
}

void AgreementsDialog::setTenantInfo(const QString &suite, const QString &company, const QString &firstname,
                                     const QString &lastname)
{
    ui->suite->setText(suite);
    ui->company->setText(company);
    ui->firstnameo->setText(firstname);
    ui->lastname->setText(lastname);
}

void AgreementsDialog::accept()
{
    if (!ui->rent->check(tr("The rent field cannot be blank"))
        || !MoneyField::checkAll({ui->damage, ui->lateFeeFlatRate, ui->lateFeePerDay}))
        return;

    const QList<QLineEdit *> fields = dateFields();
    QList<QDate> dates;
    for (QLineEdit *field : fields) {
        const QDate date = ShortDate::fromText(field->text());
        // A tenant who is staying has no move-out date yet.
        if (field == ui->moveOut && field->text().trimmed().isEmpty()) {
            dates << QDate();
            continue;
        }
        if (!date.isValid()) {
            MsgBox::information(this, tr("The dates you have enetered are not valid!"));
            return;
        }
        dates << date;
    }
    const QDate &firstDue = dates.at(0);
    const QDate &leaseStart = dates.at(1);
    const QDate &leaseEnd = dates.at(2);
    const QDate &moveIn = dates.at(3);
    const QDate &moveOut = dates.at(4);
    const QDate &firstPayment = dates.at(5);

    if (leaseStart > leaseEnd || (moveOut.isValid() && moveIn > moveOut)) {
        MsgBox::information(this, tr("The lease start date cannot come after the lease end date <br/> and the move "
                                     "in date cannot be later than the move out date!"));
        return;
    }
    if (firstPayment > leaseEnd || firstDue > leaseEnd) {
        MsgBox::information(this, tr("The first payment date cannot be later than the lease end date"));
        return;
    }

    QSqlDoubleRelationalTableModel *model = dataSource()->agreementsModel();
    for (int i = 0; i < dates.size(); ++i)
        XDataSource::setCellValue(model, dateColumns[i], m_row,
                                  dates.at(i).isValid() ? QVariant(dates.at(i)) : QVariant(QVariant::Date));

    submitRecord(model, m_row, m_isNew, QStringLiteral("GEN_AGREEMENTS_ID"), KeyColumn, &m_agreementId);
}
