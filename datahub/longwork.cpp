#include "datahub/longwork.h"

#include <QApplication>
#include <QCursor>

LongWork::LongWork()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

LongWork::~LongWork()
{
    QApplication::restoreOverrideCursor();
}
