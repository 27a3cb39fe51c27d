#ifndef CUSTOMLETTERSDIALOG_H
#define CUSTOMLETTERSDIALOG_H

#include <QDialog>
#include <QMap>
#include <QModelIndex>
#include <QString>

class QPrinter;
class QStringListModel;
class XDataSource;

namespace Ui {
class CustomLettersDialog;
}

// The office's own letters, every letter after the three that come with the program: listed by title,
// created, renamed, deleted, and one of them opened in the letter editor over the list.
class CustomLettersDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CustomLettersDialog(XDataSource *dataSource, QWidget *parent = nullptr);
    ~CustomLettersDialog() override;

    // The key of the letter last chosen with Select; 0 before any choice.
    int selectedLetterId() const { return m_selected; }
    // The printer the letter editor prints on.
    void setPrinter(QPrinter *printer) { m_printer = printer; }

private slots:
    void on_pushButton_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_3_clicked();
    void on_listView_clicked(const QModelIndex &index);
    void on_pushButton_2_clicked();
    void on_pushButton_5_clicked();
    void on_listView_doubleClicked(const QModelIndex &index);

private:
    // True when another letter than `exceptKey` already has the title, in any letter case.
    bool titleTaken(const QString &title, int exceptKey);
    // Runs one bound statement in a transaction of its own; false, rolled back, when any step failed.
    bool writeInTransaction(const QString &sql, const QVariantList &values);
    void sortList();

    Ui::CustomLettersDialog *ui;
    int m_selected = 0;
    XDataSource *m_data;
    QMap<QString, int> m_keys;
    QStringListModel *m_titles = nullptr;
    QPrinter *m_printer = nullptr;
};

#endif // CUSTOMLETTERSDIALOG_H
