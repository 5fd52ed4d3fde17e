#include "backup/DataSnapshot.h"

#include "backup/WholeFile.h"
#include "store/Failure.h"
#include "store/PetRecord.h"
#include "store/PickListFile.h"
#include "store/ShopFiles.h"
#include "store/ShopSettings.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace {

// Far above any shop's data, so a wrong file under a data file's name cannot exhaust the memory.
constexpr qint64 MaxFileSize = qint64(1) << 30;

QByteArray readWhole(const QString& path, const QString& name)
{
    const std::optional<QByteArray> bytes = WholeFile::read(path, MaxFileSize);
    if (!bytes)
        throw Failure::cannotRead(name);
    return *bytes;
}

} // namespace

const NamedBytes* DataSnapshot::file(const QString& name) const
{
    for (const NamedBytes& each : files) {
        if (each.name == name)
            return &each;
    }
    return nullptr;
}

qint64 DataSnapshot::recordCount() const
{
    const NamedBytes* records = file(ShopFiles::Records);
    return records ? records->bytes.size() / RecordLength : 0;
}

QByteArray DataSnapshot::fingerprint() const
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const NamedBytes& each : files) {
        hash.addData(each.name.toUtf8() + '\0');
        const std::optional<QByteArray> sha256 =
            each.path.isEmpty() ? QCryptographicHash::hash(each.bytes, QCryptographicHash::Sha256)
                                : WholeFile::sha256(each.path);
        if (!sha256)
            throw Failure::cannotRead(each.name);
        hash.addData(*sha256);
    }
    for (const QString& setting : shopSettings) {
        hash.addData(QByteArray("\0setting\0"));
        hash.addData(QCryptographicHash::hash(setting.toUtf8(), QCryptographicHash::Sha256));
    }
    return hash.result().toHex();
}

QStringList dataFileNames(const QList<ExtraEntry>& extras)
{
    QStringList names{ShopFiles::Records};
    for (const QString& list : PickListFile::FileNames)
        names.append(list);
    for (const ExtraEntry& extra : extras)
        names.append(extra.name);
    return names;
}

DataSnapshot takeSnapshot(const QDir& folder, const QList<ExtraEntry>& extras)
{
    DataSnapshot snapshot;
    const QString& recordFile = ShopFiles::Records;
    const QString records = folder.filePath(recordFile);
    snapshot.files.append(
        {recordFile, QFileInfo::exists(records) ? readWhole(records, recordFile) : QByteArray()});
    for (const QString& list : PickListFile::FileNames) {
        const QString path = folder.filePath(list);
        // Only a regular file: a pipe under that name would never finish reading.
        if (QFileInfo(path).isFile())
            snapshot.files.append({list, readWhole(path, list)});
    }
    if (!extras.isEmpty())
        snapshot.scratch = std::make_shared<ScratchFolder>();
    for (const ExtraEntry& extra : extras) {
        try {
            const QString path = snapshot.scratch->filePath(extra.name);
            snapshot.files.append({extra.name, {}, extra.take(path) ? path : QString()});
        } catch (const DamagedDatabase& damage) {
            snapshot.missingReason = damage.description();
        } catch (const Failure& failure) {
            snapshot.missingReason = failure.description();
            snapshot.missingDataIntact = true;
        }
    }
    for (const QString& key : ShopSettings::Keys)
        snapshot.shopSettings.append(ShopSettings::get(key));
    return snapshot;
}
