#ifndef RPTSCRIPTENGINE_H
#define RPTSCRIPTENGINE_H

#include <QScriptEngine>

// The script engine of report expressions, conditions and the template's global script: its
// global object carries the report functions and the owning report engine.
class RptScriptEngine : public QScriptEngine
{
public:
    explicit RptScriptEngine(QObject *parent = nullptr);
    ~RptScriptEngine() override;

    void addObject(QObject *object);
    QScriptValue evaluate(const QString &formula);
};

#endif // RPTSCRIPTENGINE_H
