#include "store/RecordFile.h"

#include "platform/DiskSync.h"
#include "store/Failure.h"
#include "store/Numbers.h"

#include <QFile>

#include <cstring>

namespace {

// Opens the file for reading and writing, creating it empty when missing, and counts its records.
qint16 openAndCount(QFile& file, QIODevice::OpenMode fallback = QIODevice::NotOpen)
{
    if (!file.open(QIODevice::ReadWrite) && (fallback == QIODevice::NotOpen || !file.open(fallback)))
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

} // namespace

RecordFile::RecordFile(QString fileName) : name(std::move(fileName))
{
}

void RecordFile::LoadRecord(qint32 number)
{
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
    QFile file(name);
    RecordCount = openAndCount(file);
    if (number < 1)
        throw Failure::badRecordNumber();

    char bytes[RecordLength];
    std::memcpy(bytes, &CurrentRecord, RecordLength);
    if (!file.seek(offsetOf(number)) || file.write(bytes, RecordLength) != RecordLength || !file.flush() ||
        !syncToDisk(file))
        throw Failure::cannotWrite(name);
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
