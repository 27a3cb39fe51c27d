#ifndef DIALOG_H
#define DIALOG_H

#include <QDialog>
#include <QFileDialog>
#include <QString>

#include <functional>

namespace Ui {
class Dialog;
}

// The backup program's window: backs the database file of the data folder up into a backup file
// and restores it from one.
class Dialog : public QDialog
{
    Q_OBJECT

public:
    // Asks the user for a backup file; returns an empty name when the user chose none. The file
    // dialogs by default; tests put their own choice in.
    using FileChooser = std::function<QString(QFileDialog::AcceptMode mode, const QString &caption,
                                              const QString &folder, const QString &filter)>;

    explicit Dialog(QWidget *parent = nullptr);
    ~Dialog() override;

    void setDatabaseFileName(const QString &fileName);
    QString databaseFileName() const;

    // The program's command line, after the toolkit took its own options out: one argument left is
    // the database file name; anything else leaves the default.
    void takeArguments(const QStringList &arguments);

    void setFileChooser(const FileChooser &chooser);

private slots:
    void on_pushButton_3_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    QString chooseBackupFile(QFileDialog::AcceptMode mode, const QString &caption);
    QString notADatabase(const QString &file) const;

    Ui::Dialog *ui;
    QString m_databaseFileName;
    FileChooser m_fileChooser;
};

#endif // DIALOG_H
