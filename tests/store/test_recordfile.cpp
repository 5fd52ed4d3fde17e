#include "store/Failure.h"
#include "store/RecordFile.h"
#include "store/RecordJournal.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"
#include "support/Sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "support/FileSizeLimit.h"

#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

// detapetto.dt: the bytes of a record, how the file grows, and every way a call can fail.
class TestRecordFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void missingFileIsCreatedEmptyAndReadsAsZeros();
    void fieldsLieAtTheirOffsets();
    void storedRecordLoadsBackFieldByField();
    void untouchedFieldsGoBackByteForByte();
    void storingJustPastTheEndAppends();
    void storingFurtherOutLeavesFreeRecordsBetween();
    void partialTrailingRecordIsNotCountedAndReadsPaddedWithZeros();
    void fileOf32767RecordsOpens();
    void fileOf32768RecordsFailsOnTheCount();
    void storingPastRecord32767IsRefusedBeforeTheFileIsTouched();
    void recordNumberBelowOneFails();
    void unopenableFileIsAFailureAndNothingIsWritten();
    void refusedStoreOfAChangedRecordKeepsTheSharedRecord();
    void storeThatFailsHalfwayLeavesTheFileAsItWas_data();
    void storeThatFailsHalfwayLeavesTheFileAsItWas();
    void storeCutShortIsFinishedByTheNextCall_data();
    void storeCutShortIsFinishedByTheNextCall();
    void fileIsClosedAfterEveryCall();
    void passReadsTheLengthOnceAndTheNextCallAgain();
    void recordNumberFromText_data();
    void recordNumberFromText();

private:
    std::unique_ptr<Sandbox> dir;
};

namespace {

const QString FileName = QStringLiteral("detapetto.dt");
const QString Overflow = QStringLiteral("オーバーフローしました。");
const QString BadRecordNumber = QStringLiteral("レコード番号が不正です。");

#define PET_TEXT_FIELDS(X)                                                                                   \
    X(Sex)                                                                                                   \
    X(Kind)                                                                                                  \
    X(CoatColour)                                                                                            \
    X(Staff)                                                                                                 \
    X(Medication1)                                                                                           \
    X(Medication2)                                                                                           \
    X(Medication3)                                                                                           \
    X(Medication4)                                                                                           \
    X(Medication5)                                                                                           \
    X(Memo1)                                                                                                 \
    X(Memo2)                                                                                                 \
    X(Memo3) X(Memo4) X(Memo5) X(Memo6) X(Siblings) X(Birthplace) X(PurchaseDate) X(Supplier)                \
        X(PurchaseCost) X(PlannedPrice) X(SaleDate)

// By value: the packed record's floats are not aligned for a reference.
quint32 bitsOf(float value)
{
    return std::bit_cast<quint32>(value);
}

// A record with every field set to something of its own.
PetRecord sampleRecord()
{
    PetRecord record{};
    record.BirthYear = 2024;
    record.BirthMonth = -5;
    record.BirthDay = 31;
#define SET_TEXT(field) setText(record.field, QStringLiteral("%1の値").arg(QLatin1String(#field)));
    PET_TEXT_FIELDS(SET_TEXT)
#undef SET_TEXT
    setText(record.Sex, QStringLiteral("メス"));
    setText(record.Memo6, QString(35, QChar(u'犬'))); // exactly fills the 70 bytes
    record.BirthWeight = 0.1f;
    record.SaleWeight = -3.25f;
    return record;
}

// A byte pattern with zeros and bytes that are not code page 932 text.
QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 37 + seed) % 256);
    return bytes;
}

void makeSparseFile(const QString& name, qint64 records)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(records * RecordLength));
}

// How many descriptors of this process are open on the file.
int openHandlesTo(const QString& name)
{
    const QString target = QFileInfo(name).canonicalFilePath();
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::Files))
        count += fd.symLinkTarget() == target ? 1 : 0;
    return count;
}

} // namespace

void TestRecordFile::init()
{
    dir = std::make_unique<Sandbox>();
}

void TestRecordFile::cleanup()
{
    dir.reset();
}

void TestRecordFile::missingFileIsCreatedEmptyAndReadsAsZeros()
{
    RecordFile records;
    records.CurrentRecord = sampleRecord();
    records.RecordCount = 9;
    records.LoadRecord(1);
    QVERIFY(QFile::exists(FileName));
    QCOMPARE(QFileInfo(FileName).size(), 0);
    QCOMPARE(records.RecordCount, qint16(0));
    QCOMPARE(bytesOf(records.CurrentRecord), QByteArray(RecordLength, '\0'));
    QCOMPARE(shownText(records.CurrentRecord.Kind), QString());
}

void TestRecordFile::fieldsLieAtTheirOffsets()
{
    RecordFile records;
    records.CurrentRecord.BirthYear = 2024;
    records.CurrentRecord.BirthMonth = 12;
    records.CurrentRecord.BirthDay = -1;
    setText(records.CurrentRecord.Sex, QStringLiteral("オス"));
    setText(records.CurrentRecord.Kind, QStringLiteral("柴犬"));
    setText(records.CurrentRecord.Siblings, QStringLiteral("3"));
    setText(records.CurrentRecord.Birthplace, QStringLiteral("ﾁﾊﾞ"));
    records.CurrentRecord.BirthWeight = 2.5f;
    records.CurrentRecord.SaleWeight = 3.25f;
    setText(records.CurrentRecord.PurchaseDate, QStringLiteral("R8"));
    setText(records.CurrentRecord.SaleDate, QStringLiteral("x"));
    records.StoreRecord(1);

    const QByteArray expected = recordWith({
        {0, QByteArray::fromHex("E8 07 0C 00 FF FF")},
        {6, QByteArray::fromHex("83 49 83 58") + QByteArray(6, ' ')},
        {16, QByteArray::fromHex("8E C4 8C A2") + QByteArray(26, ' ')},
        {776, "3" + QByteArray(9, ' ')},
        {786, QByteArray::fromHex("C1 CA DE") + QByteArray(17, ' ')},
        {806, QByteArray::fromHex("00 00 20 40")},
        {810, QByteArray::fromHex("00 00 50 40")},
        {814, "R8" + QByteArray(28, ' ')},
        {934, "x" + QByteArray(29, ' ')},
    });
    QCOMPARE(readFileBytes(FileName).toHex(' '), expected.toHex(' '));
}

void TestRecordFile::storedRecordLoadsBackFieldByField()
{
    const PetRecord stored = sampleRecord();
    {
        RecordFile writer;
        writer.CurrentRecord = stored;
        writer.StoreRecord(2);
        QCOMPARE(writer.RecordCount, qint16(0)); // counted when the file was opened, before the write
    }
    RecordFile reader;
    reader.LoadRecord(2);
    const PetRecord& loaded = reader.CurrentRecord;
    QCOMPARE(reader.RecordCount, qint16(2));
    QCOMPARE(loaded.BirthYear, qint16(2024));
    QCOMPARE(loaded.BirthMonth, qint16(-5));
    QCOMPARE(loaded.BirthDay, qint16(31));
    QCOMPARE(bitsOf(loaded.BirthWeight), bitsOf(0.1f));
    QCOMPARE(bitsOf(loaded.SaleWeight), bitsOf(-3.25f));
#define COMPARE_TEXT(field)                                                                                  \
    QCOMPARE(fieldText(loaded.field), fieldText(stored.field));                                              \
    QVERIFY(loaded.field == stored.field);
    PET_TEXT_FIELDS(COMPARE_TEXT)
#undef COMPARE_TEXT
    QCOMPARE(fieldText(loaded.Sex), QStringLiteral("メス      "));
    QCOMPARE(fieldText(loaded.Kind), QStringLiteral("Kindの値") + QString(22, QLatin1Char(' ')));
    QCOMPARE(fieldText(loaded.Memo6), QString(35, QChar(u'犬')));
    // Record 1 was never written: zeros.
    reader.LoadRecord(1);
    QCOMPARE(bytesOf(reader.CurrentRecord), QByteArray(RecordLength, '\0'));
}

void TestRecordFile::untouchedFieldsGoBackByteForByte()
{
    const QByteArray original = pattern(3 * RecordLength, 11);
    writeFileBytes(FileName, original);

    RecordFile records;
    records.LoadRecord(2);
    QCOMPARE(bytesOf(records.CurrentRecord), original.mid(RecordLength, RecordLength));
    setText(records.CurrentRecord.Kind, QStringLiteral("柴犬"));
    records.StoreRecord(2);

    QByteArray expected = original;
    expected.replace(RecordLength + 16, 30, QByteArray::fromHex("8E C4 8C A2") + QByteArray(26, ' '));
    QCOMPARE(readFileBytes(FileName), expected);
}

void TestRecordFile::storingJustPastTheEndAppends()
{
    const QByteArray original = pattern(3 * RecordLength, 5);
    writeFileBytes(FileName, original);

    RecordFile records;
    records.CurrentRecord = sampleRecord();
    records.LoadRecord(4);
    QCOMPARE(records.RecordCount, qint16(3));
    QCOMPARE(bytesOf(records.CurrentRecord), QByteArray(RecordLength, '\0'));

    records.CurrentRecord = sampleRecord();
    records.StoreRecord(4);
    QCOMPARE(QFileInfo(FileName).size(), 3856);
    QCOMPARE(readFileBytes(FileName), original + bytesOf(sampleRecord()));
    records.LoadRecord(1);
    QCOMPARE(records.RecordCount, qint16(4));
}

void TestRecordFile::storingFurtherOutLeavesFreeRecordsBetween()
{
    const QByteArray original = pattern(3 * RecordLength, 7);
    writeFileBytes(FileName, original);

    RecordFile records;
    records.CurrentRecord = sampleRecord();
    records.StoreRecord(6);
    QCOMPARE(QFileInfo(FileName).size(), 5784);
    QCOMPARE(readFileBytes(FileName),
             original + QByteArray(2 * RecordLength, '\0') + bytesOf(sampleRecord()));

    records.LoadRecord(5);
    QCOMPARE(records.RecordCount, qint16(6));
    QCOMPARE(records.CurrentRecord.Kind[0], '\0'); // free
    QCOMPARE(bytesOf(records.CurrentRecord), QByteArray(RecordLength, '\0'));
}

void TestRecordFile::partialTrailingRecordIsNotCountedAndReadsPaddedWithZeros()
{
    const QByteArray original = pattern(3000, 3);
    writeFileBytes(FileName, original);

    RecordFile records;
    records.LoadRecord(4);
    QCOMPARE(records.RecordCount, qint16(3));
    QCOMPARE(bytesOf(records.CurrentRecord), original.mid(2892) + QByteArray(RecordLength - 108, '\0'));
    records.LoadRecord(5);
    QCOMPARE(bytesOf(records.CurrentRecord), QByteArray(RecordLength, '\0'));
}

void TestRecordFile::fileOf32767RecordsOpens()
{
    makeSparseFile(FileName, 32767);
    RecordFile records;
    records.LoadRecord(32767);
    QCOMPARE(records.RecordCount, qint16(32767));
    records.CurrentRecord = sampleRecord();
    records.StoreRecord(32767);
    QCOMPARE(QFileInfo(FileName).size(), qint64(32767) * RecordLength);
    records.CurrentRecord = {};
    records.LoadRecord(32767);
    QCOMPARE(bytesOf(records.CurrentRecord), bytesOf(sampleRecord()));
}

void TestRecordFile::fileOf32768RecordsFailsOnTheCount()
{
    makeSparseFile(FileName, 32768);
    RecordFile records;
    records.CurrentRecord = sampleRecord();
    records.RecordCount = 12;
    for (const bool store : {false, true}) {
        try {
            store ? records.StoreRecord(1) : records.LoadRecord(1);
            QFAIL("a file of 32768 records was opened");
        } catch (const Failure& f) {
            QCOMPARE(f.description(), Overflow);
        }
        QCOMPARE(records.RecordCount, qint16(12));
        QCOMPARE(bytesOf(records.CurrentRecord), bytesOf(sampleRecord()));
        QCOMPARE(QFileInfo(FileName).size(), qint64(32768) * RecordLength);
        QCOMPARE(recordBytes(FileName, 1), QByteArray(RecordLength, '\0'));
    }
}

void TestRecordFile::storingPastRecord32767IsRefusedBeforeTheFileIsTouched()
{
    RecordFile records;
    records.CurrentRecord = sampleRecord();
    try {
        records.StoreRecord(32768);
        QFAIL("record 32768 was stored");
    } catch (const Failure& f) {
        QCOMPARE(f.description(), Overflow);
    }
    QVERIFY(!QFile::exists(FileName));

    // Reading that far out is fine: it is a free record.
    records.LoadRecord(32768);
    QCOMPARE(bytesOf(records.CurrentRecord), QByteArray(RecordLength, '\0'));
    QCOMPARE(QFileInfo(FileName).size(), 0);
}

void TestRecordFile::recordNumberBelowOneFails()
{
    const QByteArray original = pattern(2 * RecordLength, 1);
    writeFileBytes(FileName, original);
    RecordFile records;
    records.CurrentRecord = sampleRecord();
    for (const qint32 number : {0, -1, std::numeric_limits<qint32>::min()}) {
        for (const bool store : {false, true}) {
            try {
                store ? records.StoreRecord(number) : records.LoadRecord(number);
                QFAIL(qPrintable(QStringLiteral("record %1 was accepted").arg(number)));
            } catch (const Failure& f) {
                QCOMPARE(f.description(), BadRecordNumber);
            }
            QCOMPARE(bytesOf(records.CurrentRecord), bytesOf(sampleRecord()));
            QCOMPARE(readFileBytes(FileName), original);
        }
    }
}

void TestRecordFile::unopenableFileIsAFailureAndNothingIsWritten()
{
    // The tests may run as root, whom file modes do not stop: a directory in the file's place
    // cannot be opened as a file by anyone.
    QVERIFY(QDir().mkdir(FileName));
    RecordFile records;
    records.CurrentRecord = sampleRecord();
    records.RecordCount = 5;
    for (const bool store : {false, true}) {
        try {
            store ? records.StoreRecord(1) : records.LoadRecord(1);
            QFAIL("a directory was opened as the record file");
        } catch (const Failure& f) {
            QVERIFY2(f.description().contains(FileName), qPrintable(f.description()));
        }
        QCOMPARE(records.RecordCount, qint16(5));
        QCOMPARE(bytesOf(records.CurrentRecord), bytesOf(sampleRecord()));
        QVERIFY(
            QDir(FileName).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{FileName});
    }
}

void TestRecordFile::refusedStoreOfAChangedRecordKeepsTheSharedRecord()
{
    RecordFile records;
    records.CurrentRecord = sampleRecord();
    PetRecord changed = sampleRecord();
    setText(changed.Kind, QStringLiteral("柴犬"));
    QVERIFY_THROWS_EXCEPTION(Failure, records.StoreRecord(32768, changed));
    QCOMPARE(bytesOf(records.CurrentRecord), bytesOf(sampleRecord()));

    records.StoreRecord(2, changed);
    QCOMPARE(bytesOf(records.CurrentRecord), bytesOf(changed));
    QCOMPARE(recordBytes(FileName, 2), bytesOf(changed));
}

void TestRecordFile::storeThatFailsHalfwayLeavesTheFileAsItWas_data()
{
    QTest::addColumn<qint32>("number");
    QTest::addColumn<qint64>("limit");
    QTest::newRow("appending, room for part of the record") << 4 << qint64(3000);
    QTest::newRow("further out, no room at all") << 6 << qint64(3000);
    QTest::newRow("last record, room for part of it") << 3 << qint64(2500);
}

void TestRecordFile::storeThatFailsHalfwayLeavesTheFileAsItWas()
{
    QFETCH(qint32, number);
    QFETCH(qint64, limit);
    // The third record ends short of its length, as a file cut off by a crash would.
    const QByteArray original = pattern(2 * RecordLength + 400, 5);
    writeFileBytes(FileName, original);
    RecordFile records;
    records.CurrentRecord = sampleRecord();
    QString failure;
    {
        const FileSizeLimit fullDisk(limit);
        try {
            records.StoreRecord(number);
        } catch (const Failure& f) {
            failure = f.description();
        }
    }
    QCOMPARE(failure, QStringLiteral("ファイルに書き込めません。 (detapetto.dt)"));
    QCOMPARE(readFileBytes(FileName), original);

    records.StoreRecord(number);
    QCOMPARE(recordBytes(FileName, number), bytesOf(sampleRecord()));
}

void TestRecordFile::storeCutShortIsFinishedByTheNextCall_data()
{
    // A kill stopped the store of record 2 between the two pages its bytes lie on, or before it
    // began, or while its journal was being written.
    const QByteArray old = pattern(RecordLength, 7);
    const QByteArray fresh = bytesOf(sampleRecord());
    const QByteArray journal = RecordJournal::encode({RecordLength, fresh});
    QByteArray damaged = journal;
    damaged[100] = char(damaged[100] ^ 1);
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("journal");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("record torn, journal whole") << fresh.left(480) + old.mid(480) << journal << fresh;
    QTest::newRow("record not begun, journal whole") << old << journal << fresh;
    QTest::newRow("journal cut short") << old << journal.left(600) << old;
    QTest::newRow("journal damaged") << old << damaged << old;
    QTest::newRow("journal of another file's size")
        << old << RecordJournal::encode({qint64(RecordFile::MaxRecords) * RecordLength, fresh}) << old;
}

void TestRecordFile::storeCutShortIsFinishedByTheNextCall()
{
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, journal);
    QFETCH(QByteArray, after);
    const QByteArray first = pattern(RecordLength, 3);
    writeFileBytes(FileName, first + record);
    writeFileBytes(RecordJournal::fileName(FileName), journal);

    RecordFile records;
    records.LoadRecord(2);
    QCOMPARE(bytesOf(records.CurrentRecord), after);
    QCOMPARE(readFileBytes(FileName), first + after);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{FileName});

    // A store leaves no journal behind.
    records.StoreRecord(3);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{FileName});

    // In a pass of reads the first load finishes it; once the pass is over, every load looks again.
    for (int pass = 0; pass < 2; ++pass) {
        writeFileBytes(FileName, first + record);
        writeFileBytes(RecordJournal::fileName(FileName), journal);
        std::optional<RecordFile::ReadPass> reads;
        if (pass == 0)
            reads.emplace(records);
        records.LoadRecord(1);
        QCOMPARE(readFileBytes(FileName), first + after);
    }
}

void TestRecordFile::passReadsTheLengthOnceAndTheNextCallAgain()
{
    writeFileBytes(FileName, pattern(RecordLength, 1) + pattern(RecordLength, 2));
    RecordFile records;
    {
        const RecordFile::ReadPass pass(records);
        records.LoadRecord(2);
        QCOMPARE(records.RecordCount, 2);
        records.LoadRecord(3);
        QCOMPARE(bytesOf(records.CurrentRecord), QByteArray(RecordLength, '\0'));
        QCOMPARE(records.RecordCount, 2);
    }
    // Grown outside the program: the next load, outside the pass, sees the file as it is now.
    writeFileBytes(FileName, pattern(RecordLength, 1) + pattern(RecordLength, 2) + pattern(RecordLength, 3));
    records.LoadRecord(3);
    QCOMPARE(records.RecordCount, 3);
    QCOMPARE(bytesOf(records.CurrentRecord), pattern(RecordLength, 3));
}

void TestRecordFile::fileIsClosedAfterEveryCall()
{
#ifndef Q_OS_LINUX
    QSKIP("counts descriptors through /proc");
#endif
    RecordFile records;
    records.LoadRecord(1);
    QCOMPARE(openHandlesTo(FileName), 0);
    records.StoreRecord(3);
    QCOMPARE(openHandlesTo(FileName), 0);
    QVERIFY_THROWS_EXCEPTION(Failure, records.LoadRecord(0));
    QCOMPARE(openHandlesTo(FileName), 0);
    // The count is only a guard against a wrong path: with the file open it must be seen.
    QFile held(FileName);
    QVERIFY(held.open(QIODevice::ReadOnly));
    QCOMPARE(openHandlesTo(FileName), 1);
}

void TestRecordFile::recordNumberFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("overflow");
    QTest::newRow("plain") << QStringLiteral("12") << 12 << true << false;
    QTest::newRow("blanks") << QStringLiteral(" 1 2 ") << 12 << true << false;
    QTest::newRow("half to even down") << QStringLiteral("2.5") << 2 << true << false;
    QTest::newRow("half to even up") << QStringLiteral("3.5") << 4 << true << false;
    QTest::newRow("rounds to zero") << QStringLiteral("0.5") << 0 << false << false;
    QTest::newRow("rounds to one") << QStringLiteral("0.51") << 1 << true << false;
    QTest::newRow("no number") << QStringLiteral("abc") << 0 << false << false;
    QTest::newRow("negative") << QStringLiteral("-1") << -1 << false << false;
    QTest::newRow("hexadecimal") << QStringLiteral("&H10") << 16 << true << false;
    QTest::newRow("last record a file can hold") << QStringLiteral("32767") << 32767 << true << false;
    QTest::newRow("past the last record") << QStringLiteral("32767.51") << 32768 << false << false;
    QTest::newRow("largest") << QStringLiteral("2147483647") << 2147483647 << false << false;
    QTest::newRow("one past the largest") << QStringLiteral("2147483647.5") << 0 << false << true;
    QTest::newRow("far past") << QStringLiteral("99999999999") << 0 << false << true;
}

void TestRecordFile::recordNumberFromText()
{
    QFETCH(QString, text);
    QFETCH(qint32, number);
    QFETCH(bool, valid);
    QFETCH(bool, overflow);
    QCOMPARE(isValidRecordNumber(text), valid);
    try {
        QCOMPARE(readRecordNumber(text), number);
        QVERIFY2(!overflow, "expected an overflow");
    } catch (const Failure& f) {
        QVERIFY2(overflow, qPrintable(f.description()));
        QCOMPARE(f.description(), Overflow);
    }
}

QTEST_GUILESS_MAIN(TestRecordFile)
#include "test_recordfile.moc"
