#include "platform/mail/mimepart.h"

MimePart::MimePart(const QString &subtype, const QString &text)
    : m_subtype(subtype)
    , m_text(text)
{
}

MimePart::~MimePart() = default;

MimeHtml::MimeHtml(const QString &html)
    : MimePart(QStringLiteral("html"), html)
{
}
