#include "stowhand/dialog.h"
#include "ui_dialog.h"

#include "platform/datafolder.h"
#include "stowhand/archiver.h"
#include "stowhand/stowmsgbox.h"

#include <QDebug>
#include <QDir>
#include <QStandardPaths>

Dialog::Dialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog)
    , m_databaseFileName(QStringLiteral("DATA.FDB"))
{
    ui->setupUi(this);
    setWindowTitle(tr("Morvessa Velloran 2021 Stowhand"));
}

Dialog::~Dialog()
{
    delete ui;
}

void Dialog::setDatabaseFileName(const QString &fileName)
{
    m_databaseFileName = fileName;
}

QString Dialog::databaseFileName() const
{
    return m_databaseFileName;
}

void Dialog::takeArguments(const QStringList &arguments)
{
    if (arguments.size() != 2)
        return;
    // The main program passes the bare name of the database it uses. A name with a folder in it
    // would let a restore replace a file outside the data folder, so it is not taken.
    const QString name = arguments.at(1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/'))) {
        qWarning().noquote() << "not a database file name in the data folder:" << name;
        return;
    }
    setDatabaseFileName(name);
}

void Dialog::setFileChooser(const FileChooser &chooser)
{
    m_fileChooser = chooser;
}

// Said alike when a backup file to restore holds no database and when the file to back up is none.
QString Dialog::notADatabase(const QString &file) const
{
    return tr("The file %1 does not hold a Morvessa Velloran database. Your data has not been changed.")
        .arg(QDir::toNativeSeparators(file));
}

QString Dialog::chooseBackupFile(QFileDialog::AcceptMode mode, const QString &caption)
{
    QString folder = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation).value(0);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString filter = tr("Morvessa Velloran Backup (*.bkp)");
    if (m_fileChooser)
        return m_fileChooser(mode, caption, folder, filter);
    if (mode == QFileDialog::AcceptSave)
        return QFileDialog::getSaveFileName(this, caption, folder, filter);
    return QFileDialog::getOpenFileName(this, caption, folder, filter);
}

void Dialog::on_pushButton_3_clicked()
{
    close();
}

void Dialog::on_pushButton_clicked()
{
    Archiver archiver(DataFolder::path(), this);
    archiver.setFileName(m_databaseFileName);
    const QString archivePath = chooseBackupFile(QFileDialog::AcceptSave, tr("Backup Database"));
    if (archivePath.isEmpty())
        return;
    if (archiver.compress(archivePath)) {
        StowMsgBox::information(this, tr("You have successfully backed up your data."));
        return;
    }
    const QString closeFirst = tr("Unable to backup the data. Make sure that Morvessa Velloran has been closed!");
    switch (archiver.failure()) {
    case Archiver::InUse:
        StowMsgBox::information(this, closeFirst);
        break;
    case Archiver::NotADatabase:
        StowMsgBox::information(this, notADatabase(DataFolder::filePath(m_databaseFileName)));
        break;
    default:
        // A full disk or a folder that takes no file is not cured by closing the program.
        StowMsgBox::information(this, closeFirst + QStringLiteral("\n\n") + archiver.errorString());
        break;
    }
}

void Dialog::on_pushButton_2_clicked()
{
    Archiver archiver(DataFolder::path(), this);
    archiver.setFileName(m_databaseFileName);
    const QString archivePath = chooseBackupFile(QFileDialog::AcceptOpen, tr("Restore Database"));
    if (archivePath.isEmpty())
        return;
    // A restore replaces everything entered since the backup was made, so it is never done unasked.
    const QString database = QDir::toNativeSeparators(DataFolder::filePath(m_databaseFileName));
    if (!StowMsgBox::question(this, tr("Restoring replaces the database %1 with the backup %2. Everything entered "
                                       "since that backup was made will be lost. Do you want to restore?")
                                        .arg(database, QDir::toNativeSeparators(archivePath))))
        return;
    if (archiver.decompress(archivePath)) {
        StowMsgBox::information(this, tr("You have successfully restored your data!"));
        return;
    }
    switch (archiver.failure()) {
    case Archiver::InUse:
        StowMsgBox::information(this, tr("Unable to restore the data. Make sure Morvessa Velloran has been closed."));
        break;
    case Archiver::NotABackup:
        StowMsgBox::information(this, notADatabase(archivePath));
        break;
    default:
        StowMsgBox::information(this, tr("Unable to restore the data from %1. Your data has not been changed.")
                                          .arg(QDir::toNativeSeparators(archivePath)));
        break;
    }
}
