#ifndef ARCHIVER_H
#define ARCHIVER_H

#include <QObject>
#include <QString>

// Copies one file of a folder into a backup file and puts it back from one.
//
// The backup file ("*.bkp") is nothing but a gzip stream of the file's bytes, so the standard gzip
// tool reads it and a file gzip made restores as well. A file that is not gzip-compressed is taken
// over unchanged. Either way what would replace the database must itself be a whole database file,
// so that a wrongly chosen file never replaces the office's data; and only a whole database file is
// backed up, so that no backup is made that no restore would take.
//
// Neither direction ever leaves half a file behind: the new file is written beside its final place
// and moved there in one rename when all of it is written and checked.
class Archiver : public QObject
{
    Q_OBJECT

public:
    // Files are copied in chunks of this size both ways, so memory use stays at one chunk whatever
    // the file's size. A chunk that stays in the processor's cache between being produced and being
    // written out restores twice as fast as one of several megabytes.
    static constexpr int ChunkSize = 256 * 1024;

    explicit Archiver(const QString &directory, QObject *parent = nullptr);
    ~Archiver() override;

    void setFileName(const QString &fileName);
    QString fileName() const;

    // What kind of trouble stopped the last compress() or decompress(), for the message the user sees.
    // NotABackup: the backup file holds no database; NotADatabase: the file to back up is none.
    enum Failure { NoFailure, InUse, NotABackup, NotADatabase, OtherFailure };

    bool compress(const QString &archivePath);
    bool decompress(const QString &archivePath);

    // Why the last compress() or decompress() failed, for the debug log; empty after success. The
    // reasons of compress() are sentences for the message the user sees.
    QString errorString() const;
    Failure failure() const;

signals:
    // After each chunk of compress() or decompress(): `done` of `total` bytes of the file read. Sent
    // from the thread the work runs on.
    void progressed(qint64 done, qint64 total);

private:
    QString filePath() const;
    bool fail(const QString &reason, Failure kind = OtherFailure);

    QString m_directory;
    QString m_fileName;
    QString m_errorString;
    Failure m_failure = NoFailure;
};

#endif // ARCHIVER_H
