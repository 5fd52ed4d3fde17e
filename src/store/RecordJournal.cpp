#include "store/RecordJournal.h"

#include "platform/DiskSync.h"
#include "platform/FileRead.h"
#include "store/Failure.h"
#include "store/PetRecord.h"
#include "store/RecordFile.h"
#include "store/RegularFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>

namespace RecordJournal {

namespace {

const QByteArray Magic("SRNKJRN1");
constexpr qsizetype OffsetAt = 8;
constexpr qsizetype RecordAt = OffsetAt + 8;
constexpr qsizetype HashAt = RecordAt + RecordLength;

QByteArray hashOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

QString fileName(const QString& dataFile)
{
    return dataFile + QStringLiteral(".journal");
}

QByteArray encode(const Store& store)
{
    Q_ASSERT(store.record.size() == RecordLength);
    QByteArray bytes = Magic;
    bytes.resize(RecordAt);
    qToLittleEndian<qint64>(store.offset, bytes.data() + OffsetAt);
    bytes += store.record;
    return bytes + hashOf(bytes);
}

std::optional<Store> decode(const QByteArray& bytes)
{
    if (bytes.size() != HashAt + 32 || !bytes.startsWith(Magic) ||
        hashOf(bytes.left(HashAt)) != bytes.mid(HashAt))
        return std::nullopt;
    const qint64 offset = qFromLittleEndian<qint64>(bytes.constData() + OffsetAt);
    if (offset < 0 || offset % RecordLength != 0 || offset / RecordLength >= RecordFile::MaxRecords)
        return std::nullopt;
    return Store{offset, bytes.mid(RecordAt, RecordLength)};
}

void write(const QString& dataFile, const Store& store)
{
    const QString journal = fileName(dataFile);
    RegularFile::exists(journal);
    const QByteArray bytes = encode(store);
    QFile file(journal);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) &&
        file.write(bytes) == bytes.size() && syncToDisk(file) && syncFolderOf(journal))
        return;
    file.close();
    // A whole journal left behind would finish a store that is reported as failed.
    if (!QFile::remove(journal) && QFile::exists(journal))
        throw Failure::cannotWriteNorUndo(dataFile);
    throw Failure::cannotWrite(dataFile);
}

void finishInterruptedStore(const QString& dataFile)
{
    const QString journal = fileName(dataFile);
    // Nearly always there is none: one look at the path, before the full check of what is there.
    if (nothingAt(journal) || !RegularFile::exists(journal))
        return;
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure::cannotOpen(journal);
    const std::optional<Store> store = decode(file.readAll());
    file.close();
    if (store) {
        RegularFile::exists(dataFile);
        QFile data(dataFile);
        if (!data.open(QIODevice::ReadWrite | QIODevice::Unbuffered) || !data.seek(store->offset) ||
            data.write(store->record) != RecordLength || !syncToDisk(data))
            throw Failure::cannotWrite(dataFile);
    }
    if (!remove(dataFile))
        throw Failure::cannotWrite(dataFile);
}

bool remove(const QString& dataFile)
{
    return QFile::remove(fileName(dataFile));
}

} // namespace RecordJournal
