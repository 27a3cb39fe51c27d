#ifndef EMAILADDRESS_H
#define EMAILADDRESS_H

#include <QString>

// One mailbox: the address and the name shown beside it. The name may hold any characters; the
// message encodes it when it is written.
class EmailAddress
{
public:
    EmailAddress() = default;
    EmailAddress(const QString &address, const QString &name = QString());

    QString address() const { return m_address; }
    void setAddress(const QString &address) { m_address = address; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

private:
    QString m_address;
    QString m_name;
};

#endif // EMAILADDRESS_H
