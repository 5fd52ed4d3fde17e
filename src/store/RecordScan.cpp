#include "store/RecordScan.h"

#include "store/Failure.h"
#include "store/RecordFile.h"

#include <QFile>

#include <cstring>

QList<PetRecord> readAllRecords(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw Failure::cannotOpen(fileName);
    const qint64 count = file.size() / RecordLength;
    if (count > RecordFile::MaxRecords)
        throw Failure::overflow();
    QList<PetRecord> records(count);
    const qint64 wanted = count * RecordLength;
    if (wanted > 0 && file.read(reinterpret_cast<char*>(records.data()), wanted) != wanted)
        throw Failure::cannotRead(fileName);
    return records;
}
