#include "hardening/Snapshot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

Snapshot snapshot(const QString& folder)
{
    Snapshot entries;
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat status
        {
        };
        if (::lstat(qPrintable(path), &status) != 0)
            continue;
        QByteArray entry;
        if (S_ISREG(status.st_mode)) {
            QFile file(path);
            entry = file.open(QIODevice::ReadOnly) ? "file " + file.readAll() : QByteArray("unreadable");
        } else if (S_ISLNK(status.st_mode)) {
            entry = "link to " + QFile::encodeName(QFileInfo(path).symLinkTarget());
        } else {
            entry = QByteArray("mode ") + QByteArray::number(status.st_mode, 8) + " device " +
                    QByteArray::number(quint64(status.st_rdev));
        }
        entries.insert(root.relativeFilePath(path), entry);
    }
    return entries;
}
