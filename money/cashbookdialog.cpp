#include "money/cashbookdialog.h"
#include "ui_cashbookdialog.h"

#include "datahub/debuglog.h"
#include "datahub/msgbox.h"
#include "datahub/permission.h"
#include "datahub/scopedtransaction.h"
#include "datahub/shortdate.h"
#include "datahub/today.h"
#include "datahub/xdatasource.h"
#include "money/catform.h"
#include "money/moneyfield.h"
#include "properties/selapartmentdialog.h"
#include "upkeep/vendordialog.h"

#include <QDataWidgetMapper>
#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlRelationalDelegate>
#include <QStringListModel>

#include <cmath>

CashbookDialog::CashbookDialog(XDataSource *dataSource, int row, QWidget *parent)
    : RecordDialogBase(dataSource, parent)
    , ui(new Ui::CashbookDialog)
    , m_row(row)
    , m_vendorModel(new QStringListModel(this))
{
    ui->setupUi(this);
    setWindowTitle(tr("CashBook Form"));

    fillVendors();

    QSqlDoubleRelationalTableModel *model = dataSource->cashbookModel();
    QDataWidgetMapper *map = createMapper(model);
    // The delegate shows the category by name and puts its key into the row.
    map->setItemDelegate(new QSqlRelationalDelegate(map));
    QSqlTableModel *categories = model->relationModel(2);
    // Read afresh: categories added since the model was opened (by a payment, or on the categories
    // window) are offered too.
    categories->select();
    ui->category->setModel(categories);
    ui->category->setModelColumn(categories->fieldIndex(QStringLiteral("NAME")));
    map->addMapping(ui->description, 3);
    map->addMapping(ui->category, 2);
    // Plain text: the editor's rich text wraps every comment in some 450 characters of markup, which
    // the comments column has no room for.
    map->addMapping(ui->notes, 8, "plainText");
    map->setCurrentIndex(row);

    QDate shown = Today::date();
    const QSqlRecord record = model->record(row);
    m_posted = !record.isNull(0) && record.value(9).toInt() > 0;
    ui->postedNote->setVisible(m_posted);
    ui->date->setReadOnly(m_posted);
    ui->amount->setReadOnly(m_posted);
    ui->category->setEnabled(!m_posted);
    ui->pushButton->setEnabled(!m_posted);
    if (!record.isNull(0)) {
        shown = record.value(1).toDate();
        setTypeFromCategory();

        const int vendor = record.value(6).toInt();
        ui->vendor->setCurrentIndex(m_vendorKeys.indexOf(vendor));

        m_apartmentId = model->data(model->index(row, 7), Qt::EditRole).toInt();
        QSqlQuery *query = dataSource->query();
        query->clear();
        query->prepare(QStringLiteral("select suite from apartments where apid = ?"));
        query->addBindValue(m_apartmentId);
        if (query->exec() && query->first())
            ui->suite->setText(query->value(0).toString());
        query->clear();

        const double amount = model->data(model->index(row, 4), Qt::EditRole).toDouble()
                              + model->data(model->index(row, 5), Qt::EditRole).toDouble();
        ui->amount->setAmount(amount);
    } else {
        m_newRow = true;
        ui->vendor->setCurrentIndex(0);
        ui->amount->clear();
    }
    ui->date->setText(shown.isValid() ? ShortDate::toText(shown) : QString());
    ui->date->setFocus();
}

CashbookDialog::~CashbookDialog()
{
    delete ui;
}

void CashbookDialog::fillVendors()
{
    QStringList names{tr("NONE"), tr("----------")};
    m_vendorKeys = {-1, -1};
    QSqlQuery *query = dataSource()->query();
    query->clear();
    if (query->exec(QStringLiteral("select vid, name from vendors"))) {
        while (query->next()) {
            names << query->value(QStringLiteral("name")).toString();
            m_vendorKeys << query->value(QStringLiteral("vid")).toInt();
        }
    }
    query->clear();
    m_vendorModel->setStringList(names);
    ui->vendor->setModel(m_vendorModel);
    ui->vendor->setEditable(true);
    ui->vendor->setCurrentIndex(0);
}

bool CashbookDialog::readVendor()
{
    const QString typed = ui->vendor->currentText();
    m_vendorId = -1;
    if (typed.trimmed().isEmpty())
        return true;
    // Only the listed names have keys: a position the combo added for a typed name has none.
    const int position = ui->vendor->findText(typed);
    if (position < 0 || position >= m_vendorKeys.size()) {
        MsgBox::information(this, tr("\"%1\" is not one of the vendors. Choose a vendor from the list, or add "
                                     "it with New...").arg(typed));
        return false;
    }
    m_vendorId = m_vendorKeys.at(position);
    return true;
}

void CashbookDialog::setTypeFromCategory()
{
    QSqlQuery *query = dataSource()->query();
    query->clear();
    query->prepare(QStringLiteral("select type from categories where name = ?"));
    query->addBindValue(ui->category->currentText());
    if (query->exec() && query->first()) {
        if (query->value(0).toInt() == 0)
            ui->expense->setChecked(true);
        else
            ui->income->setChecked(true);
    }
    query->clear();
}

void CashbookDialog::beginAs(bool income)
{
    QSqlTableModel *categories = dataSource()->cashbookModel()->relationModel(2);
    const int type = categories->fieldIndex(QStringLiteral("TYPE"));
    for (int row = 0; row < categories->rowCount(); ++row) {
        if ((categories->index(row, type).data().toInt() != 0) == income) {
            ui->category->setCurrentIndex(row);
            return;
        }
    }
}

void CashbookDialog::on_category_currentIndexChanged(int)
{
    setTypeFromCategory();
}

void CashbookDialog::accept()
{
    const QString dateText = ui->date->text().trimmed();
    if (dateText.isEmpty()) {
        MsgBox::information(this, tr("The date field cannot be blank"));
        return;
    }
    if (!requireText(ui->description->text(), tr("The description field cannot be blank")))
        return;
    const QDate date = ShortDate::fromText(dateText);
    if (!date.isValid()) {
        MsgBox::information(this, tr("The date you have enetered isn't valid!"));
        return;
    }
    if (!ui->amount->check())
        return;
    // Kept to the cent, as every amount of the books.
    const double amount = std::round(ui->amount->value() * 100.0) / 100.0;
    if (!readVendor())
        return;

    QSqlDoubleRelationalTableModel *model = dataSource()->cashbookModel();
    XDataSource::setCellValue(model, 6, m_row, m_vendorId);
    if (!m_posted) {
        XDataSource::setCellValue(model, 1, m_row, date);
        const bool income = ui->income->isChecked();
        XDataSource::setCellValue(model, 4, m_row, income ? 0.0 : amount);
        XDataSource::setCellValue(model, 5, m_row, income ? amount : 0.0);
    }

    if (!confirmSubmit())
        return;
    if (m_newRow) {
        const int key = nextKey(QStringLiteral("GEN_CASHBOOK_ID"));
        if (key < 0)
            return;
        m_recordId = key;
        XDataSource::setCellValue(model, 0, m_row, key);
    }
    if (!submitMapper())
        return;
    QDialog::accept();
}

void CashbookDialog::on_pushButton_clicked()
{
    if (!CatForm::run(dataSource(), this))
        return;
    // Offer what was added there at once, keeping the category chosen so far.
    const QString chosen = ui->category->currentText();
    dataSource()->cashbookModel()->relationModel(2)->select();
    ui->category->setCurrentIndex(qMax(0, ui->category->findText(chosen)));
}

void CashbookDialog::reject()
{
    dropMadeVendors();
    QDialog::reject();
}

void CashbookDialog::on_pushButton_3_clicked()
{
    // The vendor editor is the Vendors page's, and is open to whoever may open that page.
    if (!Permission::granted(this, dataSource()->canManageApartments()))
        return;
    QSuperSqlTableModel *vendors = dataSource()->vendorsModel();
    const int row = vendors->rowCount();
    if (!vendors->insertRows(row, 1)) {
        MsgBox::information(this, tr("Unable to add new vendor"));
        return;
    }
    VendorDialog editor(dataSource(), row, this);
    if (editor.exec() != QDialog::Accepted) {
        vendors->revertAll();
        return;
    }
    // The editor drew the key; the write re-selects the model, which may then no longer hold the row.
    const int key = vendors->data(vendors->index(row, 0), Qt::EditRole).toInt();
    if (!vendors->submitRowInView(row, true, false, nullptr)) {
        MsgBox::information(this, tr("Unable to submit data"));
        return;
    }
    m_madeVendors << key;
    fillVendors();
    // The vendor was made for this entry.
    ui->vendor->setCurrentIndex(m_vendorKeys.indexOf(key));
}

void CashbookDialog::dropMadeVendors()
{
    if (m_madeVendors.isEmpty())
        return;
    bool dropped = false;
    {
        ScopedTransaction transaction;
        if (transaction.isActive()) {
            // Nothing but this entry could name them yet; should anything have come to, the vendor stays.
            QSqlQuery *query = dataSource()->query();
            dropped = true;
            for (int key : qAsConst(m_madeVendors)) {
                query->clear();
                query->prepare(QStringLiteral("delete from vendors where vid = ? and not exists (select accid from "
                                              "cashbook where vid = ?) and not exists (select id from maintenance "
                                              "where vendor = ?)"));
                for (int i = 0; i < 3; ++i)
                    query->addBindValue(key);
                if (!query->exec()) {
                    qCDebug(velloranLog) << query->lastError().text();
                    dropped = false;
                    break;
                }
            }
            query->clear();
            dropped = dropped && transaction.commit();
        }
    }
    m_madeVendors.clear();
    dataSource()->vendorsModel()->select();
    if (!dropped)
        MsgBox::information(this, tr("The vendor added for this entry could not be taken back: it stays in the "
                                     "vendors list."));
}

void CashbookDialog::on_pushButton_4_clicked()
{
    SelApartmentDialog picker(dataSource(), this);
    if (picker.exec() != QDialog::Accepted)
        return;
    m_apartmentId = picker.apartmentId();
    XDataSource::setCellValue(dataSource()->cashbookModel(), 7, m_row, m_apartmentId);
    ui->suite->setText(picker.suite());
}
