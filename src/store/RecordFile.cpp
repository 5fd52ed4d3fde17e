#include "store/RecordFile.h"

#include "platform/DiskSync.h"
#include "platform/FileRead.h"
#include "store/Failure.h"
#include "store/Numbers.h"
#include "store/RecordJournal.h"
#include "store/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

// The number of whole records in a file of `size` bytes.
qint16 recordCount(qint64 size)
{
    const qint64 count = size / RecordLength;
    if (count > RecordFile::MaxRecords)
        throw Failure::overflow();
    return static_cast<qint16>(count);
}

// Opens the file for reading and writing, creating it empty when missing, and counts its records.
// Unbuffered, so a short write shows at the write itself and can be undone at once.
qint16 openAndCount(QFile& file)
{
    RegularFile::exists(file.fileName());
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw Failure::cannotOpen(file.fileName());
    return recordCount(file.size());
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
    // A store a crash cut short is finished first. Bytes past the end of the file, whole record or
    // trailing part, read as zero. A read-only file can still be shown.
    if (!readPass || !journalLooked)
        RecordJournal::finishInterruptedStore(name);
    journalLooked = readPass;
    char bytes[RecordLength] = {};
    const FileRead read =
        readOnce(name, offsetOf(number), bytes, RecordLength, passRead ? &*passRead : nullptr);
    if (readPass && read.opened)
        passRead = read;
    if (!read.opened)
        throw Failure::cannotOpen(name);
    RecordCount = recordCount(read.size);
    if (number < 1)
        throw Failure::badRecordNumber();
    if (!read.read)
        throw Failure::cannotRead(name);
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
        const qint32 number = readRecordNumber(text);
        return number >= 1 && number <= RecordFile::MaxRecords;
    } catch (const Failure&) {
        return false;
    }
}

std::vector<PetRecord> RecordFile::loadAllRecords() const
{
    // The same checks as a load: nothing that is not a regular file is opened, and a store a crash
    // cut short is finished first.
    if (!RegularFile::exists(name))
        return {};
    RecordJournal::finishInterruptedStore(name);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure::cannotOpen(name);
    if (file.size() / RecordLength > MaxRecords)
        throw Failure::overflow();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure::cannotRead(name);

    std::vector<PetRecord> records((bytes.size() + RecordLength - 1) / RecordLength);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const qsizetype offset = qsizetype(i) * RecordLength;
        std::memcpy(&records[i], bytes.constData() + offset,
                    std::min<qsizetype>(RecordLength, bytes.size() - offset));
    }
    return records;
}

RecordFile::UndoPoint RecordFile::undoPoint(qint32 number) const
{
    UndoPoint point;
    point.number = number;
    point.current = CurrentRecord;
    QFile file(name);
    if (!file.exists())
        return point;
    if (!file.open(QIODevice::ReadOnly))
        throw Failure::cannotOpen(name);
    point.existed = true;
    point.size = file.size();
    if (number >= 1 && offsetOf(number) < point.size) {
        if (!file.seek(offsetOf(number)))
            throw Failure::cannotRead(name);
        point.bytes = file.read(RecordLength);
        if (file.error() != QFileDevice::NoError)
            throw Failure::cannotRead(name);
    }
    return point;
}

void RecordFile::undo(const UndoPoint& point)
{
    CurrentRecord = point.current;
    QFile file(name);
    if (!point.existed) {
        if (file.exists() && !file.remove())
            throw Failure::cannotWrite(name);
        return;
    }
    if (!file.open(QIODevice::ReadWrite))
        throw Failure::cannotWrite(name);
    if (!point.bytes.isEmpty() &&
        (!file.seek(offsetOf(point.number)) || file.write(point.bytes) != point.bytes.size()))
        throw Failure::cannotWrite(name);
    if (!file.flush() || !file.resize(point.size) || !syncToDisk(file))
        throw Failure::cannotWrite(name);
}
