#ifndef WELCOMEDIALOG_H
#define WELCOMEDIALOG_H

#include <QDialog>

namespace Ui {
class WelcomeDialog;
}

class WelcomeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit WelcomeDialog(QWidget *parent = nullptr);
    ~WelcomeDialog() override;

    // Where start-up and this dialog keep the user's choice.
    static bool showAtStart();

private slots:
    void on_label_4_linkActivated(const QString &link);
    void on_label_5_linkActivated(const QString &link);
    void on_label_6_linkActivated(const QString &link);
    void on_label_7_linkActivated(const QString &link);
    void on_label_8_linkActivated(const QString &link);
    void on_WelcomeDialog_accepted();

private:
    Ui::WelcomeDialog *ui;
};

#endif // WELCOMEDIALOG_H
