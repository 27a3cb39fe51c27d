#ifndef QCUSTOMTABLEVIEW_H
#define QCUSTOMTABLEVIEW_H

#include <QTableView>

// A table view that tells its owner about every change of the current row, and about every Up or Down
// key press even when the row could not move.
class QCustomTableView : public QTableView
{
    Q_OBJECT

public:
    explicit QCustomTableView(QWidget *parent = nullptr);
    ~QCustomTableView() override;

signals:
    void indexChanged(const QModelIndex &index);

protected:
    void keyPressEvent(QKeyEvent *event) override;

protected slots:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
};

#endif // QCUSTOMTABLEVIEW_H
