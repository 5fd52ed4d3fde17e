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
// The database, and any other entry.
constexpr qint64 MaxDatabaseSize = qint64(256) << 20;
constexpr qint64 MaxTotalSize = qint64(300) << 20;

QByteArray encode(const DataSnapshot& data, const QDateTime& created, const QString& programVersion);

// Reads a backup file's bytes and checks that it is whole: a readable ZIP, a well-formed manifest,
// every entry it lists present with its size and SHA-256 and nothing else in the archive, and
// every name one of `dataNames` (or shop.ini). Fails with a description naming `archiveName` and
// what is wrong.
BackupContents decode(const QByteArray& archive, const QString& archiveName, const QStringList& dataNames);

// Checks that the data can be put back: detapetto.dt whole 964-byte records, at most 32,767 of
// them; each pick list readable code page 932 text of at most 32,767 items (the rule is beside
// the check).
void checkData(const BackupContents& contents, const QString& archiveName);

// The bytes of the backup file at `path`; fails when it cannot be read or is far too large to be one.
QByteArray readFile(const QString& path);
// Writes a backup file through QSaveFile: a failed write leaves no half archive behind. Every backup
// holds the buyers' data, so only its owner can read it.
void writeFile(const QString& path, const QByteArray& archive);

} // namespace BackupArchive
