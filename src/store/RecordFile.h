#pragma once

#include "platform/FileRead.h"
#include "store/PetRecord.h"
#include "store/ShopFiles.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// detapetto.dt and the one shared record buffer. Every call opens the file, reads or writes one
// record and closes it again, so nothing stays open between two user actions. A store goes
// through a journal beside the file, so a record is always its old or its new content: every
// call first finishes a store that a kill or a power cut interrupted.
class RecordFile
{
public:
    static constexpr qint16 MaxRecords = 32767;

    explicit RecordFile(QString fileName = ShopFiles::Records);

    PetRecord CurrentRecord{};
    qint16 RecordCount = 0;

    // Reads record `number` into CurrentRecord; past the end it reads as all zeros.
    void LoadRecord(qint32 number);
    // Writes CurrentRecord as record `number`, extending the file with zero bytes where needed.
    void StoreRecord(qint32 number);
    // Stores `changed` as record `number`; CurrentRecord takes it only once it is on file, so a
    // refused store leaves the shared record as it was.
    void StoreRecord(qint32 number, const PetRecord& changed);

    // Every record of the file in number order, read in one pass. A trailing partial record reads
    // padded with zeros, as LoadRecord reads it; a missing file has none. CurrentRecord and
    // RecordCount stay as they are.
    std::vector<PetRecord> loadAllRecords() const;

    // What the file held before a store, so that a store whose companion change failed can be
    // taken back: the file's length (or that there was none), record `number`'s bytes on file, and
    // CurrentRecord.
    struct UndoPoint
    {
        qint32 number = 0;
        bool existed = false;
        qint64 size = 0;
        QByteArray bytes;
        PetRecord current{};
    };
    UndoPoint undoPoint(qint32 number) const;
    // Puts the file and CurrentRecord back as they were at `point`.
    void undo(const UndoPoint& point);

    const QString& fileName() const { return name; }

    // While one lives, the loads of one event (the search for a free chart, reading record after
    // record) look for an interrupted store only at the first of them, and at the file's kind and
    // length only when a read finds other than the length before promised: nothing of this program
    // stores in between, and two looks less per read keep the search near the speed of the bare reads.
    class ReadPass
    {
    public:
        explicit ReadPass(RecordFile& file) : file(file) { file.readPass = true; }
        ~ReadPass()
        {
            file.readPass = file.journalLooked = false;
            file.passRead.reset();
        }
        ReadPass(const ReadPass&) = delete;
        ReadPass& operator=(const ReadPass&) = delete;

    private:
        RecordFile& file;
    };

private:
    QString name;
    bool readPass = false;
    bool journalLooked = false;
    // The last read of the present pass.
    std::optional<FileRead> passRead;
};

// A record number typed or shown as text: its leading number, rounded halves to even;
// an overflow failure outside the signed 32-bit range.
qint32 readRecordNumber(const QString& text);

// True when `text` names a record that can be read and stored: it converts and lies between 1 and
// the last record a file can hold.
bool isValidRecordNumber(const QString& text);
