#ifndef DIALOG_H
#define DIALOG_H

#include <QDialog>
#include <QFileDialog>
#include <QString>

#include <functional>

class Archiver;

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

    // While a backup or restore runs the window stays open.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_3_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    QString chooseBackupFile(QFileDialog::AcceptMode mode, const QString &caption);
    QString notADatabase(const QString &file) const;
    // Runs `work` (a backup or restore by `archiver`) on a thread of its own while the window paints
    // and its bar follows `text`; the window's commands wait meanwhile. The result of `work`.
    bool runShown(Archiver &archiver, const QString &text, const std::function<bool()> &work);

    Ui::Dialog *ui;
    QString m_databaseFileName;
    FileChooser m_fileChooser;
    bool m_busy = false;
};

#endif // DIALOG_H
