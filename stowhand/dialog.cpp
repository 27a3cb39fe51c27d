#include "stowhand/dialog.h"
#include "ui_dialog.h"

#include "platform/datafolder.h"
#include "stowhand/archiver.h"
#include "stowhand/stowmsgbox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QStandardPaths>
#include <QThread>

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

void Dialog::reject()
{
    if (!m_busy)
        QDialog::reject();
}

void Dialog::closeEvent(QCloseEvent *event)
{
    if (m_busy)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

bool Dialog::runShown(Archiver &archiver, const QString &text, const std::function<bool()> &work)
{
    // An office's file of hundreds of megabytes takes seconds: the window keeps painting and shows how
    // far the copy has gone, and takes no second command until the first is over.
    m_busy = true;
    ui->widget->setEnabled(false);
    ui->progressBar->setFormat(text + QStringLiteral(" %p%"));
    ui->progressBar->setValue(0);
    ui->progressBar->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int steps = ui->progressBar->maximum();
    connect(&archiver, &Archiver::progressed, this, [this, steps](qint64 done, qint64 total) {
            if (total > 0)
                ui->progressBar->setValue(int(qMin(done, total) * steps / total));
        });

    bool result = false;
    QEventLoop loop;
    QThread *thread = QThread::create([&result, &work] { result = work(); });
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;

    QApplication::restoreOverrideCursor();
    ui->progressBar->hide();
    ui->widget->setEnabled(true);
    m_busy = false;
    return result;
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
    if (runShown(archiver, tr("Backing up..."), [&] { return archiver.compress(archivePath); })) {
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
    if (runShown(archiver, tr("Restoring..."), [&] { return archiver.decompress(archivePath); })) {
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
