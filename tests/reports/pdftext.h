#ifndef PDFTEXT_H
#define PDFTEXT_H

// Reports printed to PDF read back as text, laid out as on paper, for the report tests.

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// The text of the whole file, or of one page when `page` is 1 or more.
inline QString pdfText(const QString &pdf, int page = 0)
{
    QStringList arguments = {QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    arguments << pdf << QStringLiteral("-");
    QProcess process;
    process.start(QStringLiteral("pdftotext"), arguments);
    if (!process.waitForFinished(60000))
        return QString();
    // Compatibility forms undo the ligatures the PDF may carry ("fi" drawn as one glyph).
    return QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// Every money amount of a printed report (digits grouped by commas, two decimals), added up.
inline double sumOfAmounts(const QString &text)
{
    double sum = 0.0;
    const QRegularExpression amount(QStringLiteral("(?<![\\d/.,])(\\d{1,3}(?:,\\d{3})*\\.\\d\\d)(?!\\d)"));
    auto it = amount.globalMatch(text);
    while (it.hasNext())
        sum += it.next().captured(1).remove(QLatin1Char(',')).toDouble();
    return sum;
}

inline int pdfPages(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    if (!process.waitForFinished(60000))
        return 0;
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(info).captured(1).toInt();
}

// True when the first page of the file is wider than it is high.
inline bool pdfLandscape(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    if (!process.waitForFinished(60000))
        return false;
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
    return size.hasMatch() && size.captured(1).toDouble() > size.captured(2).toDouble();
}

#endif // PDFTEXT_H
