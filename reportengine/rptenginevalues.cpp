// Field values: variables, internal variables, aggregates, script expressions, printing
// conditions, highlighting and number masks.
#include "rptengine.h"
#include "rptscriptengine.h"
#include "rptsql.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <QVector>

namespace {

// Values from the host or a data source are literals. Before a field text is split into script
// parts, the characters that would start or end a part, or end a quoted string, are swapped for
// private-use stand-ins; they are put back as plain characters in text and as escaped ones in
// script.
const QString literalChars = QStringLiteral("<>[]'\\\n\r");
const ushort literalBase = 0xE000;

QString protectLiteral(const QString &value)
{
    QString out = value;
    for (QChar &c : out) {
        const int i = literalChars.indexOf(c);
        if (i >= 0)
            c = QChar(ushort(literalBase + i));
    }
    return out;
}

QString restorePlain(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const int i = c.unicode() - literalBase;
        if (i >= 0 && i < literalChars.size())
            c = literalChars.at(i);
    }
    return out;
}

QString scriptEscape(QChar c)
{
    switch (c.unicode()) {
    case '\'': return QStringLiteral("\\'");
    case '\\': return QStringLiteral("\\\\");
    case '\n': return QStringLiteral("\\n");
    case '\r': return QStringLiteral("\\r");
    case '[': return QStringLiteral("\\u005b");
    case ']': return QStringLiteral("\\u005d");
    case 0x2028: return QStringLiteral("\\u2028");
    case 0x2029: return QStringLiteral("\\u2029");
    default: return QString(c);
    }
}

QString restoreInScript(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const int i = c.unicode() - literalBase;
        if (i >= 0 && i < literalChars.size()) {
            const QChar original = literalChars.at(i);
            out += original == QLatin1Char('<') || original == QLatin1Char('>')
                ? QString(original)
                : scriptEscape(original);
        } else {
            out += c;
        }
    }
    return out;
}

// A text value inside a condition, as a script string literal.
QString quoteForScript(const QString &value)
{
    QString out = QStringLiteral("'");
    for (QChar c : value)
        out += scriptEscape(c);
    out += QLatin1Char('\'');
    return out;
}

bool isNumberText(const QString &value)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (ok)
        return qIsFinite(d);
    value.toFloat(&ok);
    if (ok)
        return true;
    value.toInt(&ok);
    return ok;
}

QString withoutBrackets(QString name)
{
    return name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
}

// A field text that is one variable and nothing else, as most fields of a row are: no internal
// variable, aggregate, condition or expression can be in it, so its text is the variable's value.
bool isLoneVariable(const QString &text)
{
    const int size = text.size();
    if (size < 3 || text.at(0) != QLatin1Char('[') || text.at(size - 1) != QLatin1Char(']'))
        return false;
    const ushort first = text.at(1).unicode();
    if (first >= '0' && first <= '9')
        return false;
    for (int i = 1; i < size - 1; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('<') || c == QLatin1Char('>')
            || c == QLatin1Char('(') || c.isSurrogate())
            return false;
    }
    return true;
}

const QRegularExpression::PatternOptions patternOptions =
    QRegularExpression::DotMatchesEverythingOption | QRegularExpression::MultilineOption;

} // namespace

QString RptEngine::stringPreprocessing(QString text, const QString &format)
{
    if (text.contains(QLatin1String("<Date>")))
        text.replace(QStringLiteral("<Date>"), getInternalVariable(QStringLiteral("Date"), format).toString());
    if (text.contains(QLatin1String("<Time>")))
        text.replace(QStringLiteral("<Time>"), getInternalVariable(QStringLiteral("Time"), format).toString());
    if (text.contains(QLatin1String("<Page>")))
        text.replace(QStringLiteral("<Page>"), QString::number(m_pageCounter));
    if (text.contains(QLatin1String("<TotalPages>")))
        text.replace(QStringLiteral("<TotalPages>"), QString::number(m_totalPages));
    if (text.contains(QLatin1String("<LineNo>")))
        text.replace(QStringLiteral("<LineNo>"), getInternalVariable(QStringLiteral("LineNo"), QString()).toString());
    if (text.contains(QLatin1String("<LineCount>")))
        text.replace(QStringLiteral("<LineCount>"),
                     getInternalVariable(QStringLiteral("LineCount"), QString()).toString());

    // Every aggregate call has an opening parenthesis; most field texts have none.
    if (!text.contains(QLatin1Char('(')))
        return text;

    static const char *names[] = {"SUM", "AVG", "COUNT", "MIN", "MAX"};
    if (text.contains(QLatin1String("(["))) {
        for (const char *name : names) {
            const QString n = QString::fromLatin1(name);
            text.replace(n + QStringLiteral("(["), n + QStringLiteral("(["), Qt::CaseInsensitive);
        }
    }
    static const QVector<QRegularExpression> aggregateCalls = [] {
        QVector<QRegularExpression> list;
        for (const char *name : names)
            list.append(QRegularExpression(QStringLiteral("(%1)\\((.*?)\\)").arg(QString::fromLatin1(name)),
                                           patternOptions));
        return list;
    }();
    for (int k = 0; k < aggregateCalls.size(); ++k) {
        // The patterns are case-sensitive: without the name and its parenthesis there is no match.
        if (!text.contains(QLatin1String(names[k]) + QLatin1Char('(')))
            continue;
        const QRegularExpression &re = aggregateCalls.at(k);
        QStringList matches;
        auto it = re.globalMatch(text);
        while (it.hasNext())
            matches.append(it.next().captured(0));
        for (const QString &matched : qAsConst(matches)) {
            QString changed = matched;
            changed.replace(QLatin1Char('['), QLatin1Char('\'')).replace(QLatin1Char(']'), QLatin1Char('\''));
            text.replace(matched, changed, Qt::CaseInsensitive);
        }
    }
    text.replace(QStringLiteral("SUM("), QStringLiteral("SUM(0,"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("AVG("), QStringLiteral("SUM(1,"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("COUNT("), QStringLiteral("SUM(2,"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("MAX("), QStringLiteral("SUM(3,"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("MIN("), QStringLiteral("SUM(4,"), Qt::CaseInsensitive);
    return text;
}

QVariant RptEngine::getInternalVariable(const QString &name, const QString &format)
{
    if (name.contains(QLatin1String("Date"))) {
        QString dateFormat;
        if (format.startsWith(QLatin1Char('D')))
            dateFormat = format.mid(1);
        else if (format.isEmpty())
            dateFormat = QLocale().dateFormat(QLocale::ShortFormat);
        else
            dateFormat = format;
        QString text = QDate::currentDate().toString(dateFormat);
        if (!text.isEmpty())
            text[0] = text.at(0).toUpper();
        return text;
    }
    if (name.contains(QLatin1String("Time")))
        return QTime::currentTime().toString(Qt::TextDate);
    if (name.contains(QLatin1String("LineNo")))
        return level0RecNos.isEmpty() ? m_recNo + 1 : m_lineNo;
    if (name.contains(QLatin1String("LineCount"))) {
        const int highest = qMax(-1, collectedValues.highestRecNo(m_currentReportPage));
        return highest + 1 > 0 ? highest + 1 : 1;
    }
    return QVariant();
}

QString RptEngine::sectionValue(QString paramName, int recNo)
{
    paramName = withoutBrackets(paramName);
    if (recNo < 0)
        recNo = m_recNo;
    if (m_currentReportPage >= 0 && m_currentReportPage < m_pageList.size()) {
        RptPageObject *page = m_pageList.at(m_currentReportPage);
        for (RptDsAbstract *source : {page->sqlDataSource, page->dataSource}) {
            if (!source || !paramName.contains(source->getName()))
                continue;
            QString field = paramName;
            field.remove(source->getName() + QLatin1Char('.'));
            return source->getFieldValue(field, recNo);
        }
    }
    QVariant value;
    emit setValue(recNo, paramName, value, m_currentReportPage);
    return value.toString();
}

QString RptEngine::sectionField(RptBandObject *band, QString value, bool noExpressions,
                                bool collect, const QString &format)
{
    if (isLoneVariable(value)) {
        const QString text = sectionValue(value, -1);
        if (collect) {
            const QString name = withoutBrackets(value);
            if (!collectedValues.contains(name, m_recNo, m_currentReportPage))
                collectedValues.append({name, QVariant(text), m_recNo, m_currentReportPage});
        }
        return getFormattedValue(restorePlain(text), format);
    }

    value = stringPreprocessing(value, format);

    // Protect comparison signs inside if-conditions from the splitting into script parts.
    static const QRegularExpression ifCondition(QStringLiteral("(if\\s*)\\((.*?)\\)"), patternOptions);
    int pos = 0;
    const bool mayHaveCondition = value.contains(QLatin1String("if"));
    for (int guard = 0; mayHaveCondition && guard <= value.size(); ++guard) {
        const QRegularExpressionMatch m = ifCondition.match(value, pos);
        if (!m.hasMatch())
            break;
        const QString matched = m.captured(0);
        QString changed = matched;
        changed.replace(QLatin1Char('<'), QStringLiteral("&lt-;")).replace(QLatin1Char('>'), QStringLiteral("&gt+;"));
        int before = 0;
        for (int i = value.indexOf(matched); i >= 0 && i < m.capturedStart(0);
             i = value.indexOf(matched, i + matched.size()))
            ++before;
        value.replace(matched, changed);
        pos = m.capturedEnd(1) + before * (changed.size() - matched.size());
    }

    const QStringList variables = splitStringOnVariable(value);
    for (const QString &variable : variables) {
        const QString text = sectionValue(variable, -1);
        if (collect) {
            const QString name = withoutBrackets(variable);
            if (!collectedValues.contains(name, m_recNo, m_currentReportPage))
                collectedValues.append({name, QVariant(text), m_recNo, m_currentReportPage});
        }
        value.replace(variable, protectLiteral(text));
    }

    // With nothing to evaluate the parts below would only be put back together as they were.
    if (noExpressions || !value.contains(QLatin1Char('<')))
        return getFormattedValue(restorePlain(value), format);

    QStringList parts;
    QString part;
    bool inside = false;
    auto close = [&]() {
        if (!part.isEmpty())
            parts.append(part);
        part.clear();
    };
    for (QChar c : qAsConst(value)) {
        if (c == QLatin1Char('[') && !inside) {
            close();
            part += c;
        } else if (c == QLatin1Char(']') && !inside) {
            part += c;
            close();
        } else if (c == QLatin1Char('<')) {
            close();
            part += c;
            inside = true;
        } else if (c == QLatin1Char('>')) {
            part += c;
            close();
            inside = false;
        } else {
            part += c;
        }
    }
    close();

    static const QStringList formattingTags = {
        QStringLiteral("<sub>"), QStringLiteral("</sub>"), QStringLiteral("<sup>"), QStringLiteral("</sup>"),
        QStringLiteral("<b>"),   QStringLiteral("</b>"),   QStringLiteral("<i>"),   QStringLiteral("</i>"),
        QStringLiteral("<u>"),   QStringLiteral("</u>"),   QStringLiteral("<s>"),   QStringLiteral("</s>")};
    QString result;
    bool copyUnchanged = noExpressions;
    for (const QString &p : qAsConst(parts)) {
        if (!copyUnchanged && formattingTags.contains(p))
            copyUnchanged = true;
        if (copyUnchanged || !p.contains(QLatin1Char('<')) || !p.contains(QLatin1Char('>'))) {
            result += p;
            continue;
        }
        QString expression = p;
        expression.remove(QLatin1Char('<')).remove(QLatin1Char('>'));
        expression.replace(QStringLiteral("&lt-;"), QStringLiteral("<")).replace(QStringLiteral("&gt+;"), QStringLiteral(">"));
        RptScriptEngine engine(this);
        engine.globalObject().setProperty(QStringLiteral("showInGroup"), band ? band->showInGroup : false);
        engine.globalObject().setProperty(QStringLiteral("groupLevel"), band ? band->groupLevel : 0);
        const QString evaluated = engine.evaluate(restoreInScript(expression)).toString();
        result += getFormattedValue(evaluated, format);
    }
    return getFormattedValue(restorePlain(result), format);
}

QString RptEngine::getVariableValue(QString text, bool quoteStrings)
{
    const QStringList variables = splitStringOnVariable(text);
    for (const QString &variable : variables) {
        QString value = sectionValue(variable, -1);
        if (quoteStrings && !isNumberText(value))
            value = quoteForScript(value);
        text.replace(variable, value, Qt::CaseInsensitive);
    }
    return text;
}

bool RptEngine::isFieldVisible(RptFieldObject *field)
{
    if (field->printing.size() < 2) {
        // Nearly every field prints always, "1": asked for each field of each row, the digit is read
        // as it stands rather than parsed.
        const QString &flag = field->printing;
        if (flag.size() == 1 && flag.at(0) >= QLatin1Char('0') && flag.at(0) <= QLatin1Char('9'))
            return flag.at(0) != QLatin1Char('0');
        return flag.toInt() != 0;
    }
    const QString condition = getVariableValue(field->printing, true);
    RptScriptEngine engine(this);
    return engine.evaluate(condition).toBool();
}

QVariant RptEngine::processHighligthing(RptFieldObject *field, RptName::HiType kind)
{
    if (field->highlighting.isEmpty()) {
        switch (kind) {
        case RptName::bold: return QVariant(field->font.weight() > 57);
        case RptName::italic: return QVariant(field->font.style() != QFont::StyleNormal);
        case RptName::underline: return QVariant(field->font.underline());
        case RptName::strikeout: return QVariant(field->font.strikeOut());
        case RptName::fontColor: return colorToString(field->baseFontColor());
        case RptName::backgroundColor: return colorToString(field->baseBackgroundColor());
        }
        return QVariant();
    }
    if (kind == RptName::backgroundColor && !field->highlighting.contains(QLatin1String("backgroundColor")))
        return colorToString(field->baseBackgroundColor());

    static const char *words[] = {"bold", "italic", "underline", "strikeout", "fontColor", "backgroundColor"};
    const QString word = QString::fromLatin1(words[kind]);
    const QString prefix = word + QLatin1Char('=');
    const QStringList items = field->highlighting.split(QLatin1Char(';'));
    const QString condition = items.first();
    for (int i = 1; i < items.size(); ++i) {
        const QString &item = items.at(i);
        if (item.isEmpty() || !item.contains(word))
            continue;
        RptScriptEngine engine(this);
        QString rest = item;
        rest.remove(prefix);
        if (kind <= RptName::strikeout) {
            const QString expression = getVariableValue(condition + rest, true);
            return QVariant(double(engine.evaluate(expression).toInteger()));
        }
        rest.insert(1, QLatin1Char('\''));
        const QColor own = kind == RptName::fontColor ? field->baseFontColor() : field->baseBackgroundColor();
        QString expression = getVariableValue(condition + rest, true);
        expression += QStringLiteral("':'") + colorToString(own) + QLatin1Char('\'');
        return engine.evaluate(expression).toString();
    }
    return QVariant();
}

QImage RptEngine::sectionFieldImage(QString value)
{
    if (m_currentReportPage < 0 || m_currentReportPage >= m_pageList.size())
        return QImage();
    auto *sql = qobject_cast<RptSql *>(m_pageList.at(m_currentReportPage)->sqlDataSource);
    if (!sql)
        return QImage();
    value = withoutBrackets(value);
    value.remove(sql->objectName() + QLatin1Char('.'));
    return sql->getFieldImage(value, m_recNo);
}

void RptEngine::fillListOfValue(RptBandObject *band)
{
    if (!band)
        return;
    for (RptFieldObject *field : qAsConst(band->fieldList)) {
        if (field->type != RptName::label || !isFieldVisible(field))
            continue;
        // A field that is one variable whose values the run does not keep would collect nothing but
        // the record it was met on: its value is not asked for. A long report lays out every field of
        // every row here, without drawing, before it draws them.
        const QString &text = field->value;
        if (isLoneVariable(text) && !collectedValues.keeps(text.mid(1, text.size() - 2))) {
            collectedValues.noteRecord(m_recNo, m_currentReportPage);
            continue;
        }
        sectionField(band, text, false, true, QString());
    }
}

QString RptEngine::getFormattedValue(const QString &value, const QString &format)
{
    if (format.isEmpty() || !format.startsWith(QLatin1Char('N')) || format.size() < 2)
        return value;
    bool isDouble = false;
    const double number = value.toDouble(&isDouble);
    if (!isDouble) {
        bool ok = false;
        value.toFloat(&ok);
        if (!ok)
            value.toInt(&ok);
        if (!ok)
            return value;
    }
    const int decimals = format.at(format.size() - 1).digitValue();
    if (decimals < 0)
        return value;
    const QString mask = format.mid(1, format.size() - 2);
    if (mask == QLatin1String("# ###.##"))
        return QLocale(QLocale::Ukrainian).toString(number, 'f', decimals).replace(QLatin1Char(','), QLatin1Char('.'));
    if (mask == QLatin1String("#,###.##"))
        return QLocale(QLocale::Ukrainian)
            .toString(number, 'f', decimals)
            .replace(QLatin1Char(','), QLatin1Char('.'))
            .replace(QChar(0x00A0), QLatin1Char(','));
    if (mask == QLatin1String("# ###,##"))
        return QLocale(QStringLiteral("fr_FR")).toString(number, 'f', decimals);
    if (mask == QLatin1String("#.###,##"))
        return QLocale(QLocale::German).toString(number, 'f', decimals);
    return value;
}

void RptEngine::processGlobalScript()
{
    qRegisterMetaType<QList<RptPageObject *>>("PageList");
    qScriptRegisterSequenceMetaType<QList<RptPageObject *>>(m_scriptEngine);
    for (RptPageObject *page : qAsConst(m_pageList)) {
        for (RptBandObject *band : qAsConst(page->bandList)) {
            for (RptFieldObject *field : qAsConst(band->fieldList))
                m_scriptEngine->addObject(field);
        }
    }
    // Values are pasted as they are, for the script to quote; escaped, a text inside quotes
    // cannot end the string early, and a bracket in it cannot be taken for another variable.
    QString script = stringPreprocessing(m_globalScript, QString());
    const QStringList variables = splitStringOnVariable(script);
    for (const QString &variable : variables) {
        QString escaped;
        for (QChar c : sectionValue(variable, -1))
            escaped += scriptEscape(c);
        script.replace(variable, escaped);
    }
    m_scriptEngine->evaluate(script);
}
