#pragma once

#include <QLockFile>
#include <QString>
#include <QTemporaryDir>

// A folder of its own under the system's temporary folder, for every temporary file the program
// makes (the copies of the sale database that backing up and checking a backup make, the settings
// files QSettings works on): readable by its owner only, and removed with this object. A lock file
// inside tells a folder in use from one a killed program left behind, which removeAbandoned()
// removes at the next start, buyers' data and all.
class ScratchFolder
{
public:
    // Fails with "一時ファイルを作れません。" when the folder cannot be made.
    ScratchFolder();

    QString filePath(const QString& name) const { return dir.filePath(name); }

    // Removes every scratch folder of this user whose program no longer runs, and the unlocked
    // temporary folders of earlier versions.
    static void removeAbandoned();

private:
    QTemporaryDir dir;
    QLockFile inUse;
};
