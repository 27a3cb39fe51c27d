#ifndef CHANGEPASSDIALOG_H
#define CHANGEPASSDIALOG_H

#include <QDialog>

class XDataSource;

namespace Ui {
class ChangePassDialog;
}

// Lets the logged-in user replace their own password. The account is chosen by setUserKey before
// the dialog is shown.
class ChangePassDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ChangePassDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~ChangePassDialog() override;

    int userKey() const { return m_userKey; }
    void setUserKey(int key) { m_userKey = key; }

public slots:
    void accept() override;

private:
    void refuse(const QString &text);

    Ui::ChangePassDialog *ui;
    XDataSource *m_dataSource;
    int m_userKey = 0;
};

#endif // CHANGEPASSDIALOG_H
