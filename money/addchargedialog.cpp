#include "money/addchargedialog.h"
#include "ui_addchargedialog.h"

#include "datahub/msgbox.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "money/catform.h"
#include "money/moneyfield.h"
#include "money/relationkey.h"

#include <QDataWidgetMapper>
#include <QSqlRecord>

namespace {
enum ChargeColumn { KeyColumn = 0, ApartmentColumn = 2, TypeColumn = 3, AmountColumn = 4, ForDateColumn = 6,
                    OriginalAmountColumn = 8 };
}

AddChargeDialog::AddChargeDialog(XDataSource *dataSource, int row, QAbstractItemModel *apartments,
                                 const QList<int> *apartmentKeys, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::AddChargeDialog)
    , m_row(row)
    , m_apartmentKeys(apartmentKeys)
{
    ui->setupUi(this);
    setWindowTitle(tr("Add One Time Charge"));

    QSqlDoubleRelationalTableModel *charges = dataSource->chargesModel();
    QDataWidgetMapper *map = createMapper(charges);
    QUniversalSqlTableModel *categories = dataSource->categoriesModel();
    ui->type->setModel(categories);
    ui->type->setModelColumn(1);
    map->addMapping(ui->type, TypeColumn);
    map->addMapping(ui->amount, AmountColumn);
    map->setCurrentIndex(row);

    ui->suite->setModel(apartments);

    m_newRecord = charges->record(row).isNull(KeyColumn);

    ui->fordate->setText(ShortDate::toText(Today::date()));
    ui->suite->setCurrentIndex(0);
    ui->type->setFocus();
}

AddChargeDialog::~AddChargeDialog()
{
    delete ui;
}

void AddChargeDialog::on_pushButton_clicked()
{
    // The type combo shows the shared categories model: a category added here is offered at once.
    CatForm::run(dataSource(), this);
}

void AddChargeDialog::accept()
{
    if (!ui->amount->check(tr("The amount field cannot be blank")))
        return;
    const QDate billed = ShortDate::fromText(ui->fordate->text());
    if (!billed.isValid()) {
        MsgBox::information(this, tr("The date you have enetered is not valid!"));
        return;
    }
    // A charge must belong to one of the tenant's apartments; a tenant who holds none has nothing
    // to bill it to.
    const int suite = ui->suite->currentIndex();
    if (!m_apartmentKeys || suite < 0 || suite >= m_apartmentKeys->size()) {
        MsgBox::information(this, tr("Select the suite/apartment the charge is for"));
        return;
    }

    QSqlDoubleRelationalTableModel *charges = dataSource()->chargesModel();
    XDataSource::setCellValue(charges, ForDateColumn, m_row, billed);
    setRelationKey(charges, ApartmentColumn, m_row, m_apartmentKeys->at(suite));
    XDataSource::setCellValue(charges, OriginalAmountColumn, m_row, ui->amount->value());

    submitRecord(charges, m_row, m_newRecord, QStringLiteral("GEN_CHARGES_ID"), KeyColumn);
}
