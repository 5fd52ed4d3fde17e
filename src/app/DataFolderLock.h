#pragma once

#include <QLockFile>
#include <QString>

#include <functional>
#include <memory>

class MessageBoxes;
class QLocalServer;

// One program per data folder: two copies writing the same files would lose each other's changes.
// The folder's lock file is held while the program runs; a lock left by a program that no longer
// runs (a crash, a power cut) is taken over, even one naming the process id this program now has.
// The program holding it listens for later starts on the same folder and comes to the front when one
// asks.
class DataFolderLock
{
public:
    static inline const QString FileName = QStringLiteral("soranika.lock");

    explicit DataFolderLock(const QString& folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    enum class Claim { Ours, OtherBroughtToFront, OtherNotReached };

    // Takes the folder for this program, which from then on calls `bringToFront` whenever another
    // start on the folder asks; or, when another running program holds it, asks that one to come
    // to the front. A folder where no lock file can be made is taken as it is.
    Claim claim(std::function<void()> bringToFront);

private:
    bool takeOverLockLeftUnderOurProcessId();
    bool askOtherToComeToFront() const;

    QString serverName;
    QLockFile lock;
    std::unique_ptr<QLocalServer> server;
};

// The data folder `folder` is this program's alone from here on, its windows brought to the front
// when the folder is started again, and the copies of the buyers' data that a killed program left
// in the temporary folder are removed. Null when another program has the folder: that one has come
// to the front, or, when it could not be reached, the user is told 「ソラニカはすでに起動しています。」.
std::unique_ptr<DataFolderLock> claimDataFolder(const QString& folder, MessageBoxes& messages);
