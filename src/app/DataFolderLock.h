#pragma once

#include "store/ShopFiles.h"

#include <QDateTime>
#include <QLockFile>
#include <QString>

#include <functional>
#include <memory>

class MessageBoxes;
class FrontRequests;

// One program per data folder: two copies writing the same files would lose each other's changes.
// The folder's lock file is held while the program runs; a lock left by a program that no longer
// runs (a crash, a power cut) is taken over, even one naming the process id this program now has,
// and so is one that cannot be read (a power cut can leave it empty). The program holding it
// listens for later starts on the same folder and comes to the front when one asks.
class DataFolderLock
{
public:
    static inline const QString& FileName = ShopFiles::FolderLock;

    explicit DataFolderLock(const QString& folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    enum class Claim { Ours, OtherBroughtToFront, OtherNotReached, OtherComputer };

    // Takes the folder for this program, which from then on calls `bringToFront` whenever another
    // start on the folder asks; or, when another running program of this computer holds it, asks
    // that one to come to the front. A folder where no lock file can be made is taken as it is.
    // OtherComputer: the lock names another computer, which may be using the folder over the network.
    Claim claim(std::function<void()> bringToFront);
    // Takes the folder from a holder that did not answer or runs on another computer, once the shop
    // has said it is not in use there. False when a program still holds the lock file open.
    bool takeOver(std::function<void()> bringToFront);

    // The computer named in the lock file and since when it has held it (the file's time).
    QString holderHost() const;
    QDateTime heldSince() const;
    // What the shop is told once in the chart screen's status line: a lock file that could not be
    // read was taken over. Empty otherwise.
    const QString& notice() const { return takenOverNotice; }

private:
    bool takeOverLockLeftUnderOurProcessId();
    bool takeOverUnreadableLock();
    bool askOtherToComeToFront() const;
    void hold(std::function<void()> bringToFront);

    QString serverName;
    QLockFile lock;
    std::unique_ptr<FrontRequests> front;
    QString takenOverNotice;
};

// The data folder `folder` is this program's alone from here on, its windows brought to the front
// when the folder is started again, and the copies of the buyers' data that a killed program left
// in the temporary folder are removed. When the lock names another computer, or a program of this
// one that does not answer, the shop is asked whether to open the folder all the same (キャンセル
// the default). Null when another program keeps the folder: that one has come to the front, the
// shop said no, or the user is told 「ソラニカはすでに起動しています。」.
std::unique_ptr<DataFolderLock> claimDataFolder(const QString& folder, MessageBoxes& messages);
