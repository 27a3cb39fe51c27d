#ifndef DETACHEDPROCESS_H
#define DETACHEDPROCESS_H

#include <QString>
#include <QStringList>

// Starts a program that outlives this one.
//
// The database engine keeps its files open in this process without closing them on exec, and the
// locks it holds belong to those open files. A child that inherited them would keep the database
// "in use" for as long as it runs, even after this program has closed it, so no descriptor but the
// standard three reaches the child.
class DetachedProcess
{
public:
    static bool start(const QString &program, const QStringList &arguments, qint64 *pid = nullptr);
};

#endif // DETACHEDPROCESS_H
