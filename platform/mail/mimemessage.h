#ifndef MIMEMESSAGE_H
#define MIMEMESSAGE_H

#include "platform/mail/emailaddress.h"
#include "platform/mail/mimepart.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A message to send: one sender, its recipients, a subject and its text parts. The parts are copied
// in, so the caller's objects may go before the message does.
class MimeMessage
{
public:
    enum RecipientType { To = 0, Cc = 1, Bcc = 2 };

    // `stamped` adds the Date and Message-ID headers when the message is written; a message written
    // twice without them comes out the same both times.
    explicit MimeMessage(bool stamped = true);

    void setSender(const EmailAddress &sender) { m_sender = sender; }
    EmailAddress sender() const { return m_sender; }
    void addRecipient(const EmailAddress &recipient, RecipientType type = To);
    QList<EmailAddress> recipients(RecipientType type) const;
    // Every address the server must deliver to, Bcc included.
    QList<EmailAddress> envelopeRecipients() const;
    void setSubject(const QString &subject) { m_subject = subject; }
    QString subject() const { return m_subject; }
    void addPart(const MimePart &part) { m_parts.append(part); }
    QList<MimePart> parts() const { return m_parts; }

    // Empty when the message can be written; otherwise why it cannot. A header value that holds a
    // line break would let its text start headers of its own, so such a message is refused whole.
    QString problem() const;

    // The whole message with CRLF line ends, ready for the DATA phase; empty when problem() is not.
    QByteArray toBytes() const;

private:
    bool m_stamped;
    EmailAddress m_sender;
    QList<QPair<RecipientType, EmailAddress>> m_recipients;
    QString m_subject;
    QList<MimePart> m_parts;
};

#endif // MIMEMESSAGE_H
