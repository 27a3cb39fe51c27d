#ifndef PERMISSION_H
#define PERMISSION_H

#include <QCoreApplication>

class QWidget;

// Whether the logged-in user may open a window. Every command that opens one, from the menus or from
// a button of another window, asks here with the right of the window it opens, so that a user without
// that right is refused in the same words wherever he asks.
class Permission
{
    Q_DECLARE_TR_FUNCTIONS(Permission)

public:
    // `right` as the data hub holds it for the user; false, after telling the user, when not held.
    static bool granted(QWidget *window, bool right);
};

#endif // PERMISSION_H
