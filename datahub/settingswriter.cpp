#include "datahub/settingswriter.h"

#include "datahub/debuglog.h"
#include "datahub/qsupersqltablemodel.h"
#include "datahub/scopedtransaction.h"

#include <QDebug>
#include <QSqlError>

namespace {

// Setup rows, by their position in key order.
enum SetupRow {
    CompanyRow, Address1Row, Address2Row, CityRow, ZipRow, StateRow, PhoneRow, MobileRow, FaxRow,
    FirstNameRow, LastNameRow, SenderNameRow, SenderAddressRow, MailPasswordRow, SmtpServerRow,
    SmtpPortRow, SmtpUserRow, TlsRow, SetupRowCount
};
const int ValueColumn = 1;
const int TlsColumn = 2;

} // namespace

SettingsWriter::SettingsWriter(QSuperSqlTableModel *setupModel)
    : m_model(setupModel)
{
}

OfficeSettings SettingsWriter::read() const
{
    OfficeSettings values;
    if (!m_model)
        return values;
    const auto value = [this](int row, int column = ValueColumn) {
        return m_model->data(m_model->index(row, column), Qt::DisplayRole);
    };
    values.companyName = value(CompanyRow).toString();
    values.addressLine1 = value(Address1Row).toString();
    values.addressLine2 = value(Address2Row).toString();
    values.city = value(CityRow).toString();
    values.zipCode = value(ZipRow).toString();
    values.state = value(StateRow).toString();
    values.phone = value(PhoneRow).toString();
    values.mobile = value(MobileRow).toString();
    values.fax = value(FaxRow).toString();
    values.firstName = value(FirstNameRow).toString();
    values.lastName = value(LastNameRow).toString();
    values.senderName = value(SenderNameRow).toString();
    values.senderAddress = value(SenderAddressRow).toString();
    values.scrambledPassword = value(MailPasswordRow).toString();
    values.smtpServer = value(SmtpServerRow).toString();
    // Text that is no number gives port 0.
    values.smtpPort = value(SmtpPortRow).toString().trimmed().toInt();
    values.smtpUser = value(SmtpUserRow).toString();
    values.useTls = value(TlsRow, TlsColumn).toInt() != 0;
    return values;
}

bool SettingsWriter::write(const OfficeSettings &values)
{
    // A setting whose row is missing from the table cannot be kept: say so rather than drop it.
    QSuperSqlTableModel *model = m_model;
    if (!model || model->rowCount() < SetupRowCount)
        return false;
    ScopedTransaction transaction;
    if (!transaction.isActive())
        return false;

    const auto put = [model](int row, const QVariant &v, int column = ValueColumn) {
        model->setData(model->index(row, column), v, Qt::EditRole);
    };
    put(CompanyRow, values.companyName);
    put(Address1Row, values.addressLine1);
    put(Address2Row, values.addressLine2);
    put(CityRow, values.city);
    put(ZipRow, values.zipCode);
    put(StateRow, values.state);
    put(PhoneRow, values.phone);
    put(MobileRow, values.mobile);
    put(FaxRow, values.fax);
    put(FirstNameRow, values.firstName);
    put(LastNameRow, values.lastName);
    put(SenderNameRow, values.senderName);
    put(SenderAddressRow, values.senderAddress);
    put(MailPasswordRow, values.scrambledPassword);
    put(SmtpServerRow, values.smtpServer);
    put(SmtpPortRow, QString::number(values.smtpPort));
    put(SmtpUserRow, values.smtpUser);
    put(TlsRow, values.useTls, TlsColumn);

    bool written = true;
    for (int row = 0; row < SetupRowCount && written; ++row)
        written = model->writeRow(row, false);
    if (!written || !transaction.commit()) {
        qCDebug(velloranLog) << "settings not saved" << model->lastError().text();
        // Nothing of this save stays, in the table or in the model.
        transaction.rollback();
        model->revertAll();
        return false;
    }
    model->setFilter(model->filter());
    return true;
}
