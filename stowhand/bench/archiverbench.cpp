// Times one backup and one restore of a file with the backup program's own archive code:
//   stowhand_bench FOLDER FILE ARCHIVE
// backs FOLDER/FILE up into ARCHIVE, restores ARCHIVE over FOLDER/FILE, and prints the seconds
// each direction took.
#include "stowhand/archiver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream out(stdout);
    if (args.size() != 4) {
        out << "usage: stowhand_bench FOLDER FILE ARCHIVE\n";
        return 2;
    }
    Archiver archiver(args.at(1));
    archiver.setFileName(args.at(2));

    QElapsedTimer timer;
    timer.start();
    if (!archiver.compress(args.at(3)))
        return 1;
    out << "backup_seconds " << timer.nsecsElapsed() / 1e9 << "\n";

    timer.restart();
    if (!archiver.decompress(args.at(3)))
        return 1;
    out << "restore_seconds " << timer.nsecsElapsed() / 1e9 << "\n";
    return 0;
}
