#ifndef MIMEPART_H
#define MIMEPART_H

#include <QString>

// A text part of a message: its subtype under "text/" and its text, always written as UTF-8.
class MimePart
{
public:
    explicit MimePart(const QString &subtype = QStringLiteral("plain"), const QString &text = QString());
    virtual ~MimePart();

    QString subtype() const { return m_subtype; }
    QString text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }

private:
    QString m_subtype;
    QString m_text;
};

// The HTML body of a message.
class MimeHtml : public MimePart
{
public:
    explicit MimeHtml(const QString &html = QString());

    QString html() const { return text(); }
    void setHtml(const QString &html) { setText(html); }
};

#endif // MIMEPART_H
