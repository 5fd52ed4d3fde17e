#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a record store is about to write, kept beside the data file (detapetto.dt.journal) until
// the record is whole on disk. The kernel copies a write page by page and a kill or a power cut
// can stop it between two pages, leaving a record half old and half new; the next load or store
// then finishes the write from the journal. A journal cut short itself means that the write in
// the data file never began, and it is dropped.
//
// Layout: the eight bytes "SRNKJRN1", the record's offset in the data file (64-bit
// little-endian), the record's 964 bytes, and the SHA-256 of everything before it.
namespace RecordJournal {

struct Store
{
    qint64 offset;
    QByteArray record;
};

QString fileName(const QString& dataFile);

QByteArray encode(const Store& store);
// The store a journal holds, or nothing when it is cut short or damaged.
std::optional<Store> decode(const QByteArray& bytes);

// Writes the journal of `store` and pushes it to disk; a failure names `dataFile`.
void write(const QString& dataFile, const Store& store);

// Finishes a store that the journal shows was cut short, then removes the journal.
void finishInterruptedStore(const QString& dataFile);

// Removes the journal once the record is whole on disk or a failed write was undone.
bool remove(const QString& dataFile);

} // namespace RecordJournal
