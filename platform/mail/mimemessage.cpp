#include "platform/mail/mimemessage.h"

#include <gmime/gmime.h>

#include <mutex>

namespace {
void initGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

bool hasLineBreak(const QString &value)
{
    return value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
}

// Characters that would end or break the address in the envelope commands.
bool isUnsafeAddress(const QString &address)
{
    if (address.trimmed().isEmpty())
        return true;
    for (const QChar c : address)
        if (c == QLatin1Char('<') || c == QLatin1Char('>') || c.isSpace() || c.unicode() < 0x20)
            return true;
    return false;
}

GMimeAddressType addressType(MimeMessage::RecipientType type)
{
    switch (type) {
    case MimeMessage::Cc:
        return GMIME_ADDRESS_TYPE_CC;
    case MimeMessage::Bcc:
        return GMIME_ADDRESS_TYPE_BCC;
    case MimeMessage::To:
        break;
    }
    return GMIME_ADDRESS_TYPE_TO;
}

// Names are encoded as UTF-8 too, not in whatever narrower charset would just hold them.
void addMailbox(GMimeMessage *message, GMimeAddressType type, const EmailAddress &mailbox)
{
    InternetAddress *address = internet_address_mailbox_new(mailbox.name().toUtf8().constData(),
                                                            mailbox.address().toUtf8().constData());
    internet_address_set_charset(address, "utf-8");
    internet_address_list_add(g_mime_message_get_addresses(message, type), address);
    g_object_unref(address);
}

GMimeObject *textPart(const MimePart &part)
{
    GMimeTextPart *text = g_mime_text_part_new_with_subtype(part.subtype().toUtf8().constData());
    // Text travels with CRLF line ends, whatever the caller wrote.
    QString canonical = part.text();
    canonical.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray utf8 = canonical.toUtf8();
    GMimeStream *stream = g_mime_stream_mem_new_with_buffer(utf8.constData(), size_t(utf8.size()));
    GMimeDataWrapper *content = g_mime_data_wrapper_new_with_stream(stream, GMIME_CONTENT_ENCODING_DEFAULT);
    g_object_unref(stream);
    g_mime_part_set_content(GMIME_PART(text), content);
    g_object_unref(content);
    // Always UTF-8, whatever the text holds; the transfer encoding keeps the lines 7-bit and short.
    g_mime_text_part_set_charset(text, "utf-8");
    g_mime_part_set_content_encoding(
        GMIME_PART(text), g_mime_part_get_best_content_encoding(GMIME_PART(text), GMIME_ENCODING_CONSTRAINT_7BIT));
    return GMIME_OBJECT(text);
}
}

MimeMessage::MimeMessage(bool stamped)
    : m_stamped(stamped)
{
}

void MimeMessage::addRecipient(const EmailAddress &recipient, RecipientType type)
{
    m_recipients.append(qMakePair(type, recipient));
}

QList<EmailAddress> MimeMessage::recipients(RecipientType type) const
{
    QList<EmailAddress> found;
    for (const auto &r : m_recipients)
        if (r.first == type)
            found.append(r.second);
    return found;
}

QList<EmailAddress> MimeMessage::envelopeRecipients() const
{
    QList<EmailAddress> all;
    for (const auto &r : m_recipients)
        all.append(r.second);
    return all;
}

QString MimeMessage::problem() const
{
    if (isUnsafeAddress(m_sender.address()))
        return QStringLiteral("The sender's address is missing or not usable: \"%1\"").arg(m_sender.address());
    if (hasLineBreak(m_sender.name()))
        return QStringLiteral("The sender's name holds a line break");
    if (m_recipients.isEmpty())
        return QStringLiteral("The message has no recipient");
    for (const auto &r : m_recipients) {
        if (isUnsafeAddress(r.second.address()))
            return QStringLiteral("A recipient's address is missing or not usable: \"%1\"").arg(r.second.address());
        if (hasLineBreak(r.second.name()))
            return QStringLiteral("A recipient's name holds a line break");
    }
    if (hasLineBreak(m_subject))
        return QStringLiteral("The subject holds a line break");
    if (m_parts.isEmpty())
        return QStringLiteral("The message has no body");
    return QString();
}

QByteArray MimeMessage::toBytes() const
{
    if (!problem().isEmpty())
        return QByteArray();
    initGMime();

    GMimeMessage *message = g_mime_message_new(TRUE);
    addMailbox(message, GMIME_ADDRESS_TYPE_FROM, m_sender);
    for (const auto &r : m_recipients)
        if (r.first != Bcc)
            addMailbox(message, addressType(r.first), r.second);
    g_mime_message_set_subject(message, m_subject.toUtf8().constData(), "utf-8");
    if (m_stamped) {
        GDateTime *now = g_date_time_new_now_local();
        g_mime_message_set_date(message, now);
        g_date_time_unref(now);
        const QString address = m_sender.address();
        const int at = address.lastIndexOf(QLatin1Char('@'));
        const QByteArray domain = at >= 0 ? address.mid(at + 1).toUtf8() : QByteArrayLiteral("localhost");
        char *id = g_mime_utils_generate_message_id(domain.constData());
        g_mime_message_set_message_id(message, id);
        g_free(id);
    }

    if (m_parts.size() == 1) {
        GMimeObject *body = textPart(m_parts.first());
        g_mime_message_set_mime_part(message, body);
        g_object_unref(body);
    } else {
        GMimeMultipart *mixed = g_mime_multipart_new_with_subtype("mixed");
        for (const MimePart &part : m_parts) {
            GMimeObject *body = textPart(part);
            g_mime_multipart_add(mixed, body);
            g_object_unref(body);
        }
        g_mime_message_set_mime_part(message, GMIME_OBJECT(mixed));
        g_object_unref(mixed);
    }

    GMimeFormatOptions *options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    char *text = g_mime_object_to_string(GMIME_OBJECT(message), options);
    const QByteArray bytes(text);
    g_free(text);
    g_mime_format_options_free(options);
    g_object_unref(message);
    return bytes;
}
