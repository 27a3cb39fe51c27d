#ifndef EMAILCONFIGUREDIALOG_H
#define EMAILCONFIGUREDIALOG_H

#include <QDialog>

class XDataSource;

namespace Ui {
class EmailConfigureDialog;
}

// Edits the subject, introduction and sign-off of one of the three e-mail notices (a row of the mail
// table) and previews the body with a sample middle part.
class EmailConfigureDialog : public QDialog
{
    Q_OBJECT

public:
    // kind: 0 late rent and charges, 1 lease reminder, 2 custom (the row of the mail table).
    EmailConfigureDialog(XDataSource *dataSource, int kind, QWidget *parent = nullptr);
    ~EmailConfigureDialog() override;

    static QString sampleBody(int kind);
    void showPreview();
    bool saveTemplate();

private slots:
    void on_pushButton_3_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::EmailConfigureDialog *ui;
    XDataSource *m_dataSource;
    int m_kind;
};

#endif // EMAILCONFIGUREDIALOG_H
