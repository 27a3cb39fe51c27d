#include "rptscriptengine.h"

#include "numbertowords.h"
#include "rptengine.h"
#include "datahub/debuglog.h"

#include <QColor>
#include <QDebug>
#include <QScriptContext>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Numbers reach the functions as text in the C number format; anything else counts as 0.
double numberArgument(QScriptContext *context, int index)
{
    bool ok = false;
    const double v = context->argument(index).toString().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

// A result beyond the 32-bit range would be undefined when converted; keep it at the bounds.
int toInt32(double v)
{
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

QScriptValue sumFunction(QScriptContext *context, QScriptEngine *)
{
    const int kind = int(context->argument(0).toInteger());
    const QString field = context->argument(1).toString().remove(QLatin1Char('\''));
    if (collectedValues.isEmpty())
        return QScriptValue(0);

    const QScriptValue self = context->thisObject();
    const QList<int> *restriction = nullptr;
    switch (self.property(QStringLiteral("groupLevel")).toInt32()) {
    case 0: restriction = &level0RecNos; break;
    case 1: restriction = &level1RecNos; break;
    case 2: restriction = &level2RecNos; break;
    default: break;
    }
    const bool inGroup = restriction && !restriction->isEmpty()
        && self.property(QStringLiteral("showInGroup")).toBool();

    double sum = 0;
    int count = 0;
    double maximum = 0;
    double minimum = 0;
    bool haveMinimum = false;
    auto take = [&](double v) {
        ++count;
        sum += v;
        maximum = qMax(maximum, v);
        minimum = haveMinimum ? qMin(minimum, v) : v;
        haveMinimum = true;
    };

    if (inGroup) {
        // The group's records looked up one by one, each as often as the group lists it; the values
        // are taken in the order they were collected, so that a sum adds up as it always has.
        QVector<int> positions;
        for (int recNo : *restriction)
            collectedValues.appendPositions(field, recNo, positions);
        std::sort(positions.begin(), positions.end());
        for (int position : qAsConst(positions))
            take(collectedValues.valueAt(position).toDouble());
    } else {
        for (int position : collectedValues.positionsOf(field)) {
            const QString &value = collectedValues.valueAt(position);
            if (!value.isEmpty())
                take(value.toDouble());
        }
    }

    switch (kind) {
    case 0: return QScriptValue(sum);
    case 1: return count == 0 ? QScriptValue(0) : QScriptValue(sum / count);
    case 2: return QScriptValue(count);
    case 3: return QScriptValue(maximum);
    case 4: return QScriptValue(minimum);
    default: return QScriptValue(0);
    }
}

QScriptValue replaceFunction(QScriptContext *context, QScriptEngine *)
{
    QString text = context->argument(0).toString();
    return QScriptValue(text.replace(context->argument(1).toString(), context->argument(2).toString(),
                                     Qt::CaseSensitive));
}

QScriptValue toUpperFunction(QScriptContext *context, QScriptEngine *)
{
    return QScriptValue(context->argument(0).toString().toUpper());
}

QScriptValue toLowerFunction(QScriptContext *context, QScriptEngine *)
{
    return QScriptValue(context->argument(0).toString().toLower());
}

QScriptValue numberToWordsFunction(QScriptContext *context, QScriptEngine *)
{
    return QScriptValue(numberToWords(context->argument(0).toString(), numberArgument(context, 1)));
}

QScriptValue fracFunction(QScriptContext *context, QScriptEngine *)
{
    const double x = numberArgument(context, 0);
    // Hundredths of a decimal amount such as 12.345 lie a hair below the half in binary;
    // trimming that noise first rounds them the way the amount is written.
    double hundredths = (x - std::floor(x)) * 100.0;
    hundredths = std::round(hundredths * 1e6) / 1e6;
    return QScriptValue(toInt32(hundredths + 0.5));
}

QScriptValue floorFunction(QScriptContext *context, QScriptEngine *)
{
    return QScriptValue(toInt32(std::floor(numberArgument(context, 0))));
}

QScriptValue ceilFunction(QScriptContext *context, QScriptEngine *)
{
    return QScriptValue(toInt32(std::ceil(numberArgument(context, 0))));
}

QScriptValue roundFunction(QScriptContext *context, QScriptEngine *)
{
    const double x = numberArgument(context, 0);
    if (x >= 0)
        return QScriptValue(toInt32(std::trunc(x + 0.5)));
    const double m = std::trunc(x - 1);
    return QScriptValue(toInt32(std::trunc(x - m + 0.5) + m));
}

QScriptValue debugFunction(QScriptContext *context, QScriptEngine *)
{
    qCDebug(velloranLog) << context->argument(0).toString();
    return QScriptValue(QString());
}

QScriptValue colorFunction(QScriptContext *context, QScriptEngine *engine)
{
    const int r = context->argument(0).toInt32();
    const int g = context->argument(1).toInt32();
    const int b = context->argument(2).toInt32();
    auto inRange = [](int v) { return v >= 0 && v <= 255; };
    const QColor color = inRange(r) && inRange(g) && inRange(b) ? QColor(r, g, b, 255) : QColor();
    return engine->newVariant(QVariant::fromValue(color));
}

} // namespace

RptScriptEngine::RptScriptEngine(QObject *parent)
    : QScriptEngine(parent)
{
    struct Function
    {
        const char *name;
        QScriptEngine::FunctionSignature function;
    };
    static const Function functions[] = {
        {"SUM", sumFunction},
        {"Replace", replaceFunction},
        {"ToUpper", toUpperFunction},
        {"ToLower", toLowerFunction},
        {"NumberToWords", numberToWordsFunction},
        {"Frac", fracFunction},
        {"Floor", floorFunction},
        {"Ceil", ceilFunction},
        {"Round", roundFunction},
        {"debug", debugFunction},
        {"QColor", colorFunction},
    };
    for (const Function &f : functions)
        globalObject().setProperty(QString::fromLatin1(f.name), newFunction(f.function, 0));
    if (parent)
        addObject(parent);
}

RptScriptEngine::~RptScriptEngine() = default;

void RptScriptEngine::addObject(QObject *object)
{
    if (!object)
        return;
    const QScriptValue wrapped = newQObject(object, QScriptEngine::QtOwnership);
    const QString name = qobject_cast<RptEngine *>(object) ? QStringLiteral("RptEngine")
                                                           : object->objectName();
    globalObject().setProperty(name, wrapped);
}

QScriptValue RptScriptEngine::evaluate(const QString &formula)
{
    qCDebug(velloranLog) << formula;
    const QScriptValue result = QScriptEngine::evaluate(formula, QString(), 1);
    if (hasUncaughtException()) {
        qCDebug(velloranLog) << "formulaStr: " << formula;
        qCDebug(velloranLog) << "uncaught exception at line" << uncaughtExceptionLineNumber() << ":"
                 << result.toString();
    }
    return result;
}
