#ifndef NOTIFICATIONDIALOG_H
#define NOTIFICATIONDIALOG_H

#include <QDialog>

namespace Ui {
class NotificationDialog;
}

// The pop-up that shows a due reminder at start; it lives on its own until the user closes it.
class NotificationDialog : public QDialog
{
    Q_OBJECT

public:
    explicit NotificationDialog(QWidget *parent = nullptr);
    ~NotificationDialog() override;

    void setText(const QString &text);
    QString text() const;

private:
    Ui::NotificationDialog *ui;
};

#endif // NOTIFICATIONDIALOG_H
