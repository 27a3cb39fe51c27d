#ifndef LOGINDIALOG_H
#define LOGINDIALOG_H

#include <QDialog>

class XDataSource;

namespace Ui {
class LogInDialog;
}

// Identifies the person at the keyboard and, on success only, hands the data hub that user's key,
// names and rights.
class LogInDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LogInDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~LogInDialog() override;

    // The stored form of a log-in password: MD5 of the trimmed UTF-8 text as 32 lower-case hex digits,
    // unsalted, because every delivered database (and its ADMIN row) holds digests of this form.
    // Every place that stores or checks a log-in password uses this one function.
    static QString passwordDigest(const QString &password);

private slots:
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();

private:
    Ui::LogInDialog *ui;
    XDataSource *m_dataSource;
};

#endif // LOGINDIALOG_H
