#ifndef DEBUGLOG_H
#define DEBUGLOG_H

#include <QLoggingCategory>

// The programs' diagnostics (statements, record numbers, start-up steps). They stay off in an ordinary
// run; QT_LOGGING_RULES="velloran.debug=true" turns them on.
Q_DECLARE_LOGGING_CATEGORY(velloranLog)

#endif // DEBUGLOG_H
