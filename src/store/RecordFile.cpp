#include "store/RecordFile.h"

#include "platform/DiskSync.h"
#include "store/Failure.h"
#include "store/Numbers.h"
#include "store/RecordJournal.h"
#include "store/RegularFile.h"

#include <QFile>

#include <cstring>

namespace {

// Opens the file for reading and writing, creating it empty when missing, and counts its records.
// Unbuffered, so a short write shows at the write itself and can be undone at once.
qint16 openAndCount(QFile& file, QIODevice::OpenMode fallback = QIODevice::NotOpen)
{
    RegularFile::exists(file.fileName());
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered) &&
        (fallback == QIODevice::NotOpen || !file.open(fallback | QIODevice::Unbuffered)))
        throw Failure::cannotOpen(file.fileName());
    const qint64 count = file.size() / RecordLength;
    if (count > RecordFile::MaxRecords)
        throw Failure::overflow();
    return static_cast<qint16>(count);
}

qint64 offsetOf(qint32 number)
{
    return (qint64(number) - 1) * RecordLength;
}

// How many bytes went into the file; -1 when none could.
qint64 writeAt(QFile& file, qint64 offset, const QByteArray& bytes)
{
    return file.seek(offset) ? file.write(bytes) : -1;
}

} // namespace

RecordFile::RecordFile(QString fileName) : name(std::move(fileName))
{
}

void RecordFile::LoadRecord(qint32 number)
{
    RecordJournal::finishInterruptedStore(name);
    QFile file(name);
    // A read-only file can still be shown.
    RecordCount = openAndCount(file, QIODevice::ReadOnly);
    if (number < 1)
        throw Failure::badRecordNumber();

    // Bytes past the end of the file, whole record or trailing part, read as zero.
    char bytes[RecordLength] = {};
    const qint64 offset = offsetOf(number);
    if (offset < file.size()) {
        if (!file.seek(offset) || file.read(bytes, RecordLength) < 0)
            throw Failure::cannotRead(name);
    }
    std::memcpy(&CurrentRecord, bytes, RecordLength);
}

void RecordFile::StoreRecord(qint32 number)
{
    // A file past 32767 records could never be opened again.
    if (number > MaxRecords)
        throw Failure::overflow();
    RecordJournal::finishInterruptedStore(name);
    QFile file(name);
    RecordCount = openAndCount(file);
    if (number < 1)
        throw Failure::badRecordNumber();

    // What lies in the record's place now, to be put back when the write fails halfway.
    const qint64 size = file.size();
    const qint64 offset = offsetOf(number);
    QByteArray previous;
    if (offset < size) {
        if (file.seek(offset))
            previous = file.read(qMin<qint64>(RecordLength, size - offset));
        if (previous.size() != qMin<qint64>(RecordLength, size - offset))
            throw Failure::cannotRead(name);
    }
    const QByteArray bytes(reinterpret_cast<const char*>(&CurrentRecord), RecordLength);
    RecordJournal::write(name, {offset, bytes});
    const qint64 written = writeAt(file, offset, bytes);
    if (written != RecordLength || !syncToDisk(file)) {
        // Only what was overwritten goes back: the rest of the record's place never changed,
        // and may be a hole that a full disk has no room to fill.
        const QByteArray overwritten = previous.left(qMax<qint64>(written, 0));
        if (!file.resize(size) || writeAt(file, offset, overwritten) != overwritten.size() ||
            !RecordJournal::remove(name))
            throw Failure::cannotWriteNorUndo(name);
        throw Failure::cannotWrite(name);
    }
    // Should this fail, the next load or store writes the same record again and removes it.
    RecordJournal::remove(name);
}

void RecordFile::StoreRecord(qint32 number, const PetRecord& changed)
{
    const PetRecord previous = CurrentRecord;
    CurrentRecord = changed;
    try {
        StoreRecord(number);
    } catch (...) {
        CurrentRecord = previous;
        throw;
    }
}

qint32 readRecordNumber(const QString& text)
{
    return Numbers::toInt32(Numbers::readNumber(text));
}

bool isValidRecordNumber(const QString& text)
{
    try {
        return readRecordNumber(text) >= 1;
    } catch (const Failure&) {
        return false;
    }
}
