#include "tenants/freqdialog.h"
#include "ui_freqdialog.h"

#include "datahub/msgbox.h"
#include "datahub/xdatasource.h"

#include <QDataWidgetMapper>
#include <QIntValidator>

FreqDialog::FreqDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::FreqDialog)
    , row(row)
    , daysValidator(new QIntValidator(1, 365, this))
{
    ui->setupUi(this);
    setWindowTitle(tr("Rent Frequeny Dialog"));

    QSuperSqlTableModel *model = dataSource->frequencyModel();
    QDataWidgetMapper *map = createMapper(model);
    map->addMapping(ui->name, 1);
    map->addMapping(ui->description, 2);
    map->addMapping(ui->days, 3);
    map->setCurrentIndex(row);

    ui->days->setValidator(daysValidator);
    isNewFrequency = model->data(model->index(row, 0), Qt::EditRole).isNull();
    loadedName = ui->name->text();
    ui->name->setFocus();
}

FreqDialog::~FreqDialog()
{
    delete ui;
}

void FreqDialog::accept()
{
    if (!requireText(ui->name->text(), tr("The name field cannot be blank")))
        return;

    // While typing the validator lets through what could still become a number in range (an empty
    // field, 0, 400); due dates cannot be stepped by such a period, so it is refused here.
    QString days = ui->days->text();
    int position = 0;
    if (daysValidator->validate(days, position) != QValidator::Acceptable) {
        MsgBox::information(this, tr("The number of days must be a whole number from 1 to 365"));
        return;
    }

    QSuperSqlTableModel *model = dataSource()->frequencyModel();
    const QString name = ui->name->text().trimmed();
    if (name != loadedName
        && !requireUniqueToRow(QStringLiteral("select name from frequency where name=? and freqid is distinct from ?"),
                               name, model, row, tr("The new name you have entered already exists!")))
        return;
    submitRecord(model, row, isNewFrequency, QStringLiteral("GEN_FREQUENCY_ID"));
}
