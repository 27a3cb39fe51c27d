#include "datahub/permission.h"

#include "datahub/msgbox.h"

bool Permission::granted(QWidget *window, bool right)
{
    if (!right)
        MsgBox::information(window, tr("You are not permitted to access this area"));
    return right;
}
