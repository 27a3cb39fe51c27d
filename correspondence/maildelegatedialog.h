#ifndef MAILDELEGATEDIALOG_H
#define MAILDELEGATEDIALOG_H

#include <QDialog>
#include <QString>
#include <QVector>

#include <functional>

class QSqlQuery;
class XDataSource;

namespace Ui {
class MailDelegateDialog;
}

// Sends one notice e-mail to each tenant of a list, one SMTP session per e-mail, and asks the user
// whether to retry, skip or abort when one fails. Nothing is sent before Start.
//
// Kinds here: 0 custom, 1 late rent and charges, 2 lease expiry (each reads its own row of the mail
// table: 2, 0 and 1). Any other kind sends nothing.
class MailDelegateDialog : public QDialog
{
    Q_OBJECT

public:
    MailDelegateDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~MailDelegateDialog() override;

    void setRecipients(const QVector<int> &recipients) { m_recipients = recipients; }
    QVector<int> recipients() const { return m_recipients; }
    void setKind(const int &kind) { m_kind = kind; }
    int kind() const { return m_kind; }
    // The date bound of the late-rent and lease-expiry notices, "yyyy-MM-dd".
    void setDateText(const QString &text) { m_dateText = text; }
    QString dateText() const { return m_dateText; }

    // One e-mail over one SMTP session; emits sendStatus exactly once. True when the mail was sent.
    bool sendEmail(const QString &address, const QString &name, const QString &subject, const QString &html);
    // Build and send the notice for recipients()[index]; true when the tenant's rows were found and an
    // e-mail was attempted, false when there was nothing to send.
    bool sendCustomEmail(int index);
    bool sendLateRentEmail(int index);
    bool sendLeaseExpiryEmail(int index);
    // Goes on with the run after the recipient at `index` until the list ends or the user aborts.
    void processFrom(int index);

signals:
    void sendStatus(const QString &text);

public slots:
    // The outcome of one attempt: "success", or the failure to put to the user.
    void status(const QString &text);

private slots:
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();
    void on_pushButton_3_clicked();

private:
    // What the last attempt's status decided.
    enum class Next { Following, Again, Stop };

    using Composer = std::function<QString(QSqlQuery *query, const QString &intro, const QString &signOff)>;
    bool sendNotice(int mailRow, const QString &statement, const Composer &compose);

    Ui::MailDelegateDialog *ui;
    XDataSource *m_dataSource;
    QVector<int> m_recipients;
    int m_current = -1;
    int m_kind = 0;
    QString m_dateText;
    Next m_next = Next::Following;
};

#endif // MAILDELEGATEDIALOG_H
