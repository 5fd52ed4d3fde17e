#pragma once

#include "backup/DataSnapshot.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// What a backup file holds, read and checked.
struct BackupContents
{
    QString programVersion;
    QDateTime created;
    DataSnapshot data;
    // The backup lacks data an extra entry keeps (the sale information), and why, when known.
    bool extraDataMissing = false;

    qint64 recordCount() const { return data.recordCount(); }
};

// The backup file: one ZIP holding the data files, shop.ini with the shop settings, and
// manifest.json with the program version, the creation time, the record count and the size and
// SHA-256 of every other entry.
namespace BackupArchive {

inline const QString ManifestName = QStringLiteral("manifest.json");

// What an entry may hold once decompressed, far above any shop's data: checked against the
// archive's directory before anything is read, and again while reading, so a small archive cannot
// fill the memory or the disk.
constexpr qint64 MaxPickListSize = qint64(1) << 20;
constexpr qint64 MaxShopIniSize = qint64(64) << 10;
constexpr qint64 MaxManifestSize = qint64(1) << 20;
// The database, and any other entry. (The record file is refused by its stated size beyond its
// 32,767 records, with a description that names the count.)
constexpr qint64 MaxDatabaseSize = qint64(256) << 20;
constexpr qint64 MaxTotalSize = qint64(300) << 20;

// Writes the backup file `path` of `data`: built in a scratch folder, then put in place through
// QSaveFile, so a failed write leaves no half archive behind. Every backup holds the buyers' data, so
// only its owner can read it.
void write(const QString& path, const DataSnapshot& data, const QDateTime& created,
           const QString& programVersion);

// Reads the backup file at `path` an entry at a time and checks that it is whole: a readable ZIP, a
// well-formed manifest, every entry it lists present with its size and SHA-256 and nothing else in the
// archive, and every name one of `dataNames` (or shop.ini). The extra entries are unpacked to files in a
// scratch folder the contents own; the rest is held in memory. Fails with a description naming `archiveName`
// and what is wrong (a file that cannot be read, or far too large to be a backup, among it).
BackupContents decode(const QString& path, const QString& archiveName, const QStringList& dataNames);

// Checks that the data can be put back: detapetto.dt whole 964-byte records, at most 32,767 of
// them; each pick list readable code page 932 text of at most 32,767 items (the rule is beside
// the check).
void checkData(const BackupContents& contents, const QString& archiveName);

} // namespace BackupArchive
