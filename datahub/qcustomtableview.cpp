#include "datahub/qcustomtableview.h"

#include <QKeyEvent>

QCustomTableView::QCustomTableView(QWidget *parent)
    : QTableView(parent)
{
}

QCustomTableView::~QCustomTableView() = default;

void QCustomTableView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    emit indexChanged(current);
}

void QCustomTableView::keyPressEvent(QKeyEvent *event)
{
    QTableView::keyPressEvent(event);
    // Owners refresh their details on Up and Down even at the first or last row, where the current
    // row does not move.
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        emit indexChanged(currentIndex());
}
