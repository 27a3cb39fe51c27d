#include "platform/mail/emailaddress.h"

EmailAddress::EmailAddress(const QString &address, const QString &name)
    : m_address(address)
    , m_name(name)
{
}
