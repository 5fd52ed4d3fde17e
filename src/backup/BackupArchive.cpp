#include "backup/BackupArchive.h"

#include "backup/BackupFailure.h"
#include "backup/Manifest.h"
#include "backup/ShopIni.h"
#include "store/PetRecord.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/RegularFile.h"
#include "store/ScratchFolder.h"
#include "store/ShopFiles.h"
#include "store/Sjis.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace BackupArchive {

namespace {

// Far above a full record file (31.6 MB), its pick lists and the database, so a wrong file picked by
// mistake (a film, a disk image) is refused before anything in it is read.
constexpr qint64 MaxArchiveSize = qint64(1) << 30;
constexpr qint64 MaxItems = 32767;

bool isPickList(const QString& name)
{
    return std::find(std::begin(PickListFile::FileNames), std::end(PickListFile::FileNames), name) !=
           std::end(PickListFile::FileNames);
}

// A pick list is readable when every byte belongs to a code page 932 character and the only control
// codes are tab, CR and LF. That holds for every list this program or its Windows original wrote;
// binary data, UTF-16 text and a file cut in the middle of a character are refused. (Other texts
// that happen to be valid code page 932 byte for byte, as some UTF-8 is, cannot be told apart.)
qsizetype firstUnreadableByte(const QByteArray& bytes)
{
    // Below 0x20 a byte is always a character of its own: trail bytes start at 0x40.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n')
            return i;
    }
    return Sjis::firstInvalidByte(bytes);
}

// Items as the pick-list reader counts them: lines ended by CR (with or without LF), plus a last
// line without an end.
qsizetype itemCount(const QByteArray& bytes)
{
    qsizetype items = bytes.count('\r');
    if (!bytes.isEmpty() && !bytes.endsWith('\r') && !bytes.endsWith("\r\n"))
        ++items;
    return items;
}

qint64 maxSizeOf(const QString& name)
{
    if (isPickList(name))
        return MaxPickListSize;
    if (name == ShopIni::FileName)
        return MaxShopIniSize;
    if (name == ManifestName)
        return MaxManifestSize;
    // The record file too: its own check then names the number of charts past the limit.
    return MaxDatabaseSize;
}

QString sizeText(qint64 bytes)
{
    return bytes >= (qint64(1) << 20) ? QStringLiteral("%L1 MB").arg(bytes >> 20)
                                      : QStringLiteral("%L1 KB").arg(bytes >> 10);
}

// The entries that stay on disk: the extra entries, each one file of its own that may be large.
bool keptOnDisk(const QString& name)
{
    return !isPickList(name) && name != ShopIni::FileName && name != ManifestName &&
           name != ShopFiles::Records;
}

// Every entry's size as the directory states it, before any is decompressed.
void checkStatedSizes(const ZipReader& zip, const QString& archiveName)
{
    qint64 total = 0;
    for (const QString& name : zip.names()) {
        const qint64 size = zip.statedSize(name);
        if (name == ShopFiles::Records && size > qint64(RecordFile::MaxRecords) * RecordLength)
            throw BackupFailure::tooManyRecords(archiveName, size / RecordLength);
        if (size > maxSizeOf(name))
            throw BackupFailure::entryTooLarge(archiveName, name, sizeText(maxSizeOf(name)));
        total += size;
        if (total > MaxTotalSize)
            throw BackupFailure::tooLarge(archiveName);
    }
}

} // namespace

void write(const QString& path, const DataSnapshot& data, const QDateTime& created,
           const QString& programVersion)
{
    const QString name = QFileInfo(path).fileName();
    QList<NamedBytes> entries = data.files;
    entries.append({ShopIni::FileName, ShopIni::encode(data.shopSettings)});
    Manifest manifest{programVersion, created, data.recordCount(), {}, data.missingReason};
    for (const NamedBytes& entry : entries)
        manifest.entries.append(Manifest::describe(entry));
    entries.append({ManifestName, manifest.toJson()});
    const ScratchFolder scratch;
    const QString built = scratch.filePath(QStringLiteral("archive.zip"));
    writeZip(entries, created, built, name);
    if (!RegularFile::copy(path, built, RegularFile::Readers::OwnerOnly))
        throw BackupFailure::cannotWriteArchive(name);
}

BackupContents decode(const QString& path, const QString& archiveName, const QStringList& dataNames)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw BackupFailure::cannotReadArchive(archiveName);
    if (info.size() > MaxArchiveSize)
        throw BackupFailure::tooLarge(archiveName);
    const ZipReader zip(path, archiveName);
    checkStatedSizes(zip, archiveName);
    if (!zip.contains(ManifestName))
        throw BackupFailure::noManifest(archiveName);
    const Manifest manifest = Manifest::fromJson(zip.read(ManifestName, MaxManifestSize), archiveName);

    QSet<QString> listed{ManifestName};
    for (const Manifest::Entry& entry : manifest.entries) {
        if (entry.name != ShopIni::FileName && !dataNames.contains(entry.name))
            throw BackupFailure::unknownEntry(archiveName, entry.name);
        listed.insert(entry.name);
    }
    const QStringList names = zip.names();
    for (const QString& name : names) {
        if (!listed.contains(name))
            throw BackupFailure::unknownEntry(archiveName, name);
    }
    // A name twice in the archive: only one of the two could be checked.
    if (names.size() != listed.size())
        throw BackupFailure::brokenZip(archiveName);

    BackupContents contents{manifest.programVersion, manifest.created, {}};
    QHash<QString, NamedBytes> entries;
    for (const Manifest::Entry& entry : manifest.entries) {
        if (!zip.contains(entry.name))
            throw BackupFailure::missingEntry(archiveName, entry.name);
        NamedBytes file{entry.name, {}};
        if (keptOnDisk(entry.name) && zip.statedSize(entry.name) > 0) {
            if (!contents.data.scratch)
                contents.data.scratch = std::make_shared<ScratchFolder>();
            file.path = contents.data.scratch->filePath(entry.name);
            zip.extract(entry.name, maxSizeOf(entry.name), file.path);
        } else {
            file.bytes = zip.read(entry.name, maxSizeOf(entry.name));
        }
        const Manifest::Entry found = Manifest::describe(file);
        if (found.size != entry.size)
            throw BackupFailure::brokenEntry(archiveName, entry.name, QStringLiteral("大きさが違います"));
        if (found.sha256 != entry.sha256)
            throw BackupFailure::brokenEntry(archiveName, entry.name,
                                             QStringLiteral("SHA-256 が一致しません"));
        entries.insert(entry.name, file);
    }
    for (const QString& required : {ShopFiles::Records, ShopIni::FileName}) {
        if (!entries.contains(required))
            throw BackupFailure::missingEntry(archiveName, required);
    }

    contents.data.missingReason = manifest.saleInformationMissing;
    for (const QString& name : dataNames) {
        if (entries.contains(name))
            contents.data.files.append(entries.value(name));
    }
    const std::optional<QStringList> settings = ShopIni::decode(entries.value(ShopIni::FileName).bytes);
    if (!settings)
        throw BackupFailure::badShopIni(archiveName);
    contents.data.shopSettings = *settings;
    // The count is what the restore question shows, so it must be the file's own.
    if (manifest.recordCount != contents.recordCount())
        throw BackupFailure::badManifest(archiveName, QStringLiteral("「recordCount」の値"));
    return contents;
}

void checkData(const BackupContents& contents, const QString& archiveName)
{
    const qint64 recordBytes = contents.data.file(ShopFiles::Records)->bytes.size();
    if (recordBytes % RecordLength != 0)
        throw BackupFailure::partialRecord(archiveName, recordBytes);
    if (recordBytes / RecordLength > RecordFile::MaxRecords)
        throw BackupFailure::tooManyRecords(archiveName, recordBytes / RecordLength);

    for (const NamedBytes& file : contents.data.files) {
        if (!isPickList(file.name))
            continue;
        const qsizetype unreadable = firstUnreadableByte(file.bytes);
        if (unreadable >= 0)
            throw BackupFailure::notShiftJis(archiveName, file.name, unreadable);
        if (itemCount(file.bytes) > MaxItems)
            throw BackupFailure::tooManyItems(archiveName, file.name);
    }
}

} // namespace BackupArchive
