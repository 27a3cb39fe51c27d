#ifndef WEBPAGES_H
#define WEBPAGES_H

#include <QByteArray>
#include <QString>
#include <QUrl>

// The maker's and the product's pages on the web, in one place for the menus, the welcome letter and
// the About box.
class WebPages
{
public:
    static QUrl makerHome() { return QUrl(QStringLiteral("https://www.morvessa.com/")); }
    static QUrl productHome() { return QUrl(QStringLiteral("https://www.morvessa.com/velloran/")); }
    static QUrl blog() { return QUrl(QStringLiteral("https://blog.morvessa.com/")); }
    static QUrl forum() { return QUrl(QStringLiteral("https://forum.morvessa.com/velloran/")); }
    static QUrl videoChannel() { return QUrl(QStringLiteral("https://www.youtube.com/@morvessa")); }

    // The page that answers with the newest release, "<edition>:<build>". An office behind its own
    // mirror, or a test, points the check elsewhere with VELLORAN_VERSION_URL.
    static QUrl versionPage()
    {
        const QByteArray chosen = qgetenv("VELLORAN_VERSION_URL");
        if (!chosen.isEmpty())
            return QUrl(QString::fromUtf8(chosen));
        return QUrl(QStringLiteral("https://www.morvessa.com/velloran/version.php"));
    }
};

#endif // WEBPAGES_H
