#ifndef SETTINGSWRITER_H
#define SETTINGSWRITER_H

#include <QString>

class QSuperSqlTableModel;

// The office's eighteen settings in the form the setup table keeps them: the mail password scrambled,
// the port a number, TLS a flag.
struct OfficeSettings
{
    QString companyName;
    QString addressLine1;
    QString addressLine2;
    QString city;
    QString zipCode;
    QString state;
    QString phone;
    QString mobile;
    QString fax;
    QString firstName;
    QString lastName;
    QString senderName;
    QString senderAddress;
    QString scrambledPassword;
    QString smtpServer;
    int smtpPort = 0;
    QString smtpUser;
    bool useTls = false;
};

// Reads and writes the settings in the rows of the setup model, which are addressed by their position
// in key order. A save writes all eighteen rows in one transaction: either every new value is stored,
// or the table and the model keep the old ones.
class SettingsWriter
{
public:
    explicit SettingsWriter(QSuperSqlTableModel *setupModel);

    // What the model's rows hold now; a missing row reads as empty text, port 0 and no TLS.
    OfficeSettings read() const;
    // False when a row is missing, a transaction could not be had, or any row could not be written.
    bool write(const OfficeSettings &values);

private:
    QSuperSqlTableModel *m_model;
};

#endif // SETTINGSWRITER_H
