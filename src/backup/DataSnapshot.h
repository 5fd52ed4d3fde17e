#pragma once

#include "backup/ZipArchive.h"
#include "store/RegularFile.h"
#include "store/ScratchFolder.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// Data that another part of the program keeps beside the record file (a database, say), as the
// backup entry `name`.
struct ExtraEntry
{
    QString name;
    // Writes its data as one consistent snapshot to the new file `path` (in a folder only its owner can
    // read); false when there is no such data. A Failure says why the data cannot be taken now: the
    // backup goes on without it (see DataSnapshot). Runs on the thread that makes the backup, the daily
    // backup's own thread included, so it must not touch widgets or the store's shared Shift_JIS
    // converter.
    std::function<bool(const QString& path)> take;
    // Checks the entry's file `path` from a backup and writes to the new file `cleanPath` what a restore
    // puts in place of the file `name` (for a database, a clean copy of its content); refuses a file
    // that could not be put back, with a description naming what is wrong. Runs when a backup file is
    // opened, before anything changes. None: the file as it is.
    std::function<void(const QString& path, const QString& cleanPath)> check = {};
    // Files beside the data that belong to its current content (a database's logs): a restore takes
    // them away together with it.
    QStringList companions = {};
    // Who may read the file a restore writes; the buyers' data is its owner's from the first byte.
    RegularFile::Readers readers = RegularFile::Readers::AsUmask;
};

// The shop's data as one backup holds it.
struct DataSnapshot
{
    // detapetto.dt first, then each pick list that exists in the master-data screen's order, then
    // the extra entries.
    QList<NamedBytes> files;
    // Where the files kept on disk are (the extra entries'); it goes with the snapshot's last copy.
    std::shared_ptr<ScratchFolder> scratch;
    // myd1 .. myd4.
    QStringList shopSettings;
    // Why an extra entry's data could not be taken (a database locked, unreadable, damaged or of a
    // newer version), empty when nothing is missing. The rest of the data is backed up all the same.
    QString missingReason;
    // The missing data still exists and may hold what no backup has: a restore must not replace it.
    bool missingDataIntact = false;

    // The file of that name, or nullptr when the data has none.
    const NamedBytes* file(const QString& name) const;
    // Whole records in detapetto.dt.
    qint64 recordCount() const;
    // A SHA-256 over every file and setting: two snapshots of the same data have the same one.
    QByteArray fingerprint() const;
};

// Every data file a backup may hold, in the order in which a restore writes them.
QStringList dataFileNames(const QList<ExtraEntry>& extras);

// Reads each data file of `folder` once, whole, and the shop settings; the extra entries' data goes
// to files in a scratch folder of the snapshot's own. A missing record file reads as an empty one, as
// the program treats it; a pick list that is missing (or is not a regular file) is left out. Reads
// bytes only, so it may run on any thread.
DataSnapshot takeSnapshot(const QDir& folder, const QList<ExtraEntry>& extras);
