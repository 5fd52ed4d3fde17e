#include "hardening/Snapshot.h"
#include "store/Failure.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/ShopSettings.h"
#include "support/FailureText.h"
#include "support/FileSizeLimit.h"
#include "support/PickListNames.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"
#include "support/Sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include <functional>
#include <memory>

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

// Every file of the shop missing, odd, or impossible to write. Each case ends with a clear Japanese
// failure or the reading the file calls for, never a crash or a hang, and with every file as it
// was or as the last successful save left it.
class TestFaults : public QObject
{
    Q_OBJECT
public:
    enum class Step { StoreAppendedRecord, StoreRecordOverAHole, AppendListItem, RewriteList, SaveSettings };
    enum class Disk { SizeLimit, FullTmpfs };
    enum class Kind { Folder, Fifo, LinkToNothing, LinkToFifo, LinkToFolder, Device, Socket };

private slots:
    void init();
    void cleanup();

    void fullDisk_data();
    void fullDisk();
    void filesThatAreNotRegularFilesAreRefused_data();
    void filesThatAreNotRegularFilesAreRefused();
    void oddDataFiles_data();
    void oddDataFiles();
    void oddListFiles_data();
    void oddListFiles();
    void corruptSettingsFiles_data();
    void corruptSettingsFiles();

private:
    std::unique_ptr<Sandbox> dir;
    QString mountPoint;
};

Q_DECLARE_METATYPE(TestFaults::Step)
Q_DECLARE_METATYPE(TestFaults::Disk)
Q_DECLARE_METATYPE(TestFaults::Kind)

namespace {

const QString DataFile = QStringLiteral("detapetto.dt");
const QString ListFile = QStringLiteral("syurui.txt");
const QString CannotWriteData = QStringLiteral("ファイルに書き込めません。 (detapetto.dt)");
const QString CannotWriteList = QStringLiteral("ファイルに書き込めません。 (syurui.txt)");
const QString SettingsNotSaved = QStringLiteral("設定を保存できません。");
const QString LongItem = QString(5000, QChar(u'犬')); // 10,000 bytes: more than a page of a disk

PetRecord sampleRecord()
{
    PetRecord record = SampleChart{.kind = QStringLiteral("ミニチュア・ダックスフンド")}.record();
    record.BirthYear = 2025; // a birth date of a year alone
    setText(record.Memo6, QString(35, QChar(u'猫')));
    record.SaleWeight = 1.5f;
    return record;
}

QByteArray pattern(qint64 size)
{
    QByteArray bytes(size, '\0');
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + 7) % 251);
    return bytes;
}

// Uses up every free byte of the file system that holds the working directory.
void fillDisk()
{
    QFile filler(QStringLiteral("filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    for (const qint64 chunk : {qint64(65536), qint64(4096), qint64(1)}) {
        const QByteArray bytes(chunk, 'f');
        while (filler.write(bytes) == chunk) {
        }
    }
}

// A mounted file system of 256 KB, made the working directory and the settings store's home.
bool mountSmallDisk(const QString& at)
{
    return QDir().mkdir(at) && ::mount("tmpfs", qPrintable(at), "tmpfs", 0, "size=256k,mode=0755") == 0;
}

} // namespace

void TestFaults::init()
{
    // A FIFO that is opened blocks forever; the alarm ends such a run as a failure.
    ::alarm(120);
    dir = std::make_unique<Sandbox>();
}

void TestFaults::cleanup()
{
    QDir::setCurrent(dir->path());
    if (!mountPoint.isEmpty())
        ::umount2(qPrintable(mountPoint), MNT_DETACH);
    mountPoint.clear();
    dir.reset();
    ::alarm(0);
}

void TestFaults::fullDisk_data()
{
    QTest::addColumn<Step>("step");
    QTest::addColumn<Disk>("disk");
    for (const Disk disk : {Disk::SizeLimit, Disk::FullTmpfs}) {
        const char* const on = disk == Disk::SizeLimit ? "size limit" : "full tmpfs";
        QTest::addRow("record appended, %s", on) << Step::StoreAppendedRecord << disk;
        QTest::addRow("list item appended, %s", on) << Step::AppendListItem << disk;
        QTest::addRow("list rewritten, %s", on) << Step::RewriteList << disk;
        QTest::addRow("settings saved, %s", on) << Step::SaveSettings << disk;
    }
    // A size limit never stops a write inside the file; a full disk does where the file has a hole.
    QTest::addRow("record over a hole, full tmpfs") << Step::StoreRecordOverAHole << Disk::FullTmpfs;
}

void TestFaults::fullDisk()
{
    QFETCH(Step, step);
    QFETCH(Disk, disk);
    if (disk == Disk::FullTmpfs) {
        if (!mountSmallDisk(dir->filePath(QStringLiteral("disk"))))
            QSKIP("a tmpfs cannot be mounted here");
        mountPoint = dir->filePath(QStringLiteral("disk"));
        QDir::setCurrent(mountPoint);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           mountPoint + QStringLiteral("/settings"));
    }

    // What the last successful saves left: four records (the last page of the file has room for a
    // quarter of a fifth), a list whose last line has no CR LF, two shop details.
    RecordFile records;
    records.CurrentRecord = sampleRecord();
    if (step == Step::StoreRecordOverAHole) {
        // Record 1, then a hole up to the end of record 8; record 5 starts in the first page and
        // ends in the hole.
        records.StoreRecord(1);
        QVERIFY(QFile::resize(DataFile, 8 * RecordLength));
    } else {
        writeFileBytes(DataFile, pattern(4 * RecordLength));
    }
    writeFileBytes(ListFile, sjis(QStringLiteral("柴犬\r\nチワワ")));
    ShopSettings::save(QStringLiteral("myd1"), QStringLiteral("ペットショップ空"));
    ShopSettings::save(QStringLiteral("myd2"), QStringLiteral("03-1234-5678"));
    const QString settingsFile = ShopSettings::fileName();
    const Snapshot before = snapshot(QDir::currentPath());

    const QStringList longList{QStringLiteral("柴犬"), LongItem};
    const std::function<void()> steps[] = {
        [&] { records.StoreRecord(5); },
        [&] { records.StoreRecord(5); },
        [&] { PickListFile::appendItem(ListFile, LongItem); },
        [&] { PickListFile::rewrite(ListFile, longList); },
        [&] { ShopSettings::save(QStringLiteral("myd3"), LongItem); },
    };
    const QString expected[] = {CannotWriteData, CannotWriteData, CannotWriteList, CannotWriteList,
                                SettingsNotSaved};
    const qint64 sizes[] = {QFileInfo(DataFile).size(), QFileInfo(DataFile).size(),
                            QFileInfo(ListFile).size(), 64, QFileInfo(settingsFile).size()};
    const int index = int(step);

    QString failure;
    if (disk == Disk::SizeLimit) {
        // Room for part of what is written.
        const FileSizeLimit limit(sizes[index] + 240);
        failure = failureText(steps[index]);
    } else {
        fillDisk();
        failure = failureText(steps[index]);
        QVERIFY(QFile::remove(QStringLiteral("filler")));
    }
    QCOMPARE(failure, expected[index]);
    QCOMPARE(snapshot(QDir::currentPath()), before);

    // With room again the same step goes through and leaves whole files.
    QCOMPARE(failureText(steps[index]), QString());
    QCOMPARE(QFileInfo(DataFile).size() % RecordLength, 0);
    if (step == Step::StoreAppendedRecord || step == Step::StoreRecordOverAHole)
        QCOMPARE(recordBytes(DataFile, 5), bytesOf(sampleRecord()));
    if (step == Step::AppendListItem)
        QCOMPARE(PickListFile::readItems(ListFile),
                 (QStringList{QStringLiteral("柴犬"), QStringLiteral("チワワ"), LongItem}));
    if (step == Step::RewriteList)
        QCOMPARE(PickListFile::readItems(ListFile), longList);
    if (step == Step::SaveSettings)
        QCOMPARE(ShopSettings::get(QStringLiteral("myd3")), LongItem);
}

void TestFaults::filesThatAreNotRegularFilesAreRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Kind>("kind");
    QStringList files{DataFile, QStringLiteral("detapetto.dt.journal")};
    files += PickListNames;
    files << QStringLiteral("settings/soranika/soranika.conf") << QStringLiteral("settings/soranika.conf");
    const std::pair<Kind, const char*> kinds[] = {
        {Kind::Folder, "folder"},
        {Kind::Fifo, "FIFO"},
        {Kind::LinkToNothing, "link to nothing"},
        {Kind::LinkToFifo, "link to a FIFO"},
        {Kind::LinkToFolder, "link to a folder"},
        {Kind::Device, "device"},
        {Kind::Socket, "socket"},
    };
    for (const QString& file : files) {
        for (const auto& [kind, name] : kinds)
            QTest::addRow("%s is a %s", qPrintable(file), name) << file << kind;
    }
}

void TestFaults::filesThatAreNotRegularFilesAreRefused()
{
    QFETCH(QString, file);
    QFETCH(Kind, kind);
    QVERIFY(QDir().mkpath(QStringLiteral("settings/soranika")));
    const bool linked = kind == Kind::LinkToNothing || kind == Kind::LinkToFifo || kind == Kind::LinkToFolder;
    const QString target = linked ? QStringLiteral("target") : file;
    switch (kind) {
    case Kind::Folder:
    case Kind::LinkToFolder:
        QVERIFY(QDir().mkdir(target));
        break;
    case Kind::Fifo:
    case Kind::LinkToFifo:
        QCOMPARE(::mkfifo(qPrintable(target), 0666), 0);
        break;
    case Kind::Device:
        // The null device's numbers, in the test's own folder.
        if (::mknod(qPrintable(target), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("device nodes cannot be made here");
        break;
    case Kind::Socket: {
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, qPrintable(target), sizeof address.sun_path);
        QCOMPARE(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(socket);
        break;
    }
    case Kind::LinkToNothing:
        break;
    }
    if (linked)
        QVERIFY(QFile::link(QFileInfo(target).absoluteFilePath(), file));
    const Snapshot before = snapshot(QDir::currentPath());

    QList<std::function<void()>> steps;
    QString shown = file;
    if (file.startsWith(DataFile)) {
        RecordFile records;
        steps = {[=]() mutable { records.LoadRecord(1); }, [=]() mutable { records.StoreRecord(1); }};
    } else if (file.startsWith(QLatin1String("settings/"))) {
        shown = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
        steps = {[] { ShopSettings::get(QStringLiteral("myd1")); },
                 [] { ShopSettings::save(QStringLiteral("myd1"), QStringLiteral("ソラニカ")); }};
    } else {
        steps = {[=] { PickListFile::ensureExists(file); }, [=] { PickListFile::readItems(file); },
                 [=] { PickListFile::appendItem(file, QStringLiteral("柴犬")); },
                 [=] { PickListFile::rewrite(file, {QStringLiteral("柴犬")}); }};
    }
    for (const auto& step : steps) {
        QCOMPARE(failureText(step), QStringLiteral("ファイルを開けません。 (%1)").arg(shown));
        QCOMPARE(snapshot(QDir::currentPath()), before);
    }
}

void TestFaults::oddDataFiles_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<qint16>("count");
    QTest::addColumn<qint64>("lengthAfterStore");
    const qint64 full = qint64(RecordFile::MaxRecords) * RecordLength;
    QTest::newRow("exactly 32,768 records") << full + RecordLength << 1 << qint16(-1) << full + RecordLength;
    QTest::newRow("32,767 records and part of one") << full + 500 << 32767 << qint16(32767) << full + 500;
    QTest::newRow("3 records and 108 bytes") << qint64(3000) << 4 << qint16(3) << qint64(4 * RecordLength);
    QTest::newRow("less than one record")
        << qint64(RecordLength - 1) << 1 << qint16(0) << qint64(RecordLength);
    QTest::newRow("one byte") << qint64(1) << 2 << qint16(0) << qint64(2 * RecordLength);
}

void TestFaults::oddDataFiles()
{
    QFETCH(qint64, length);
    QFETCH(qint32, number);
    QFETCH(qint16, count);
    QFETCH(qint64, lengthAfterStore);
    // The first and last bytes hold a pattern, everything between is a hole, so the file costs no space.
    {
        QFile file(DataFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(length));
        const QByteArray head = pattern(qMin<qint64>(length, 2 * RecordLength));
        QVERIFY(file.write(head) == head.size());
        QVERIFY(file.seek(length - qMin<qint64>(length, 1000)));
        QVERIFY(file.write(pattern(qMin<qint64>(length, 1000))) >= 0);
    }
    const QByteArray before = readFileBytes(DataFile);
    const qint64 offset = qint64(number - 1) * RecordLength;
    const QByteArray expectedRecord =
        (before.mid(offset, RecordLength) + QByteArray(RecordLength, '\0')).left(RecordLength);

    RecordFile records;
    const QString loadFailure = failureText([&] { records.LoadRecord(number); });
    if (loadFailure.isEmpty())
        QCOMPARE(bytesOf(records.CurrentRecord), expectedRecord);
    records.CurrentRecord = sampleRecord();
    const QString storeFailure = failureText([&] { records.StoreRecord(number); });
    if (count < 0) {
        QCOMPARE(loadFailure, QStringLiteral("オーバーフローしました。"));
        QCOMPARE(storeFailure, QStringLiteral("オーバーフローしました。"));
        QCOMPARE(readFileBytes(DataFile), before);
        return;
    }
    QCOMPARE(loadFailure, QString());
    QCOMPARE(storeFailure, QString());
    QCOMPARE(records.RecordCount, count);
    QCOMPARE(QFileInfo(DataFile).size(), lengthAfterStore);
    const QByteArray after = readFileBytes(DataFile);
    QCOMPARE(after.mid(offset, RecordLength), bytesOf(sampleRecord()));
    // Before the record: the old bytes, and zeros where the file was shorter.
    QCOMPARE(after.left(offset), (before + QByteArray(offset, '\0')).left(offset));
    QCOMPARE(after.mid(offset + RecordLength), before.mid(offset + RecordLength));

    RecordFile reread;
    reread.LoadRecord(number);
    QCOMPARE(reread.RecordCount, qint16(lengthAfterStore / RecordLength));
}

void TestFaults::oddListFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("last");

    QTest::newRow("not Shift_JIS") << QByteArray("\x81\r\n\xFF\xFE\r\n\xA0\x80\r\n\x85\x40\r\n\x81") << 5
                                   << QString();
    QTest::newRow("CR only") << QByteArray("a\rb\rc\r") << 3 << QStringLiteral("c");
    QTest::newRow("LF only") << QByteArray("a\nb\nc\n") << 1 << QStringLiteral("a\nb\nc\n");
    QTest::newRow("a 10 MB line") << QByteArray(10 * 1024 * 1024, 'x') + "\r\n"
                                  << 1 << QString(10 * 1024 * 1024, QLatin1Char('x'));
    QByteArray manyLines;
    for (int i = 0; i < 40000; ++i)
        manyLines += QByteArray::number(i) + "\r\n";
    QTest::newRow("40,000 lines") << manyLines << 40000 << QStringLiteral("39999");
    QByteArray garbage = pattern(65536);
    garbage.replace('\r', "");
    QTest::newRow("binary garbage without CR") << garbage << 1 << QString();
    // Every CR ends an item (no LF follows one here), and the bytes after the last CR are one more.
    const QByteArray binary = pattern(65536);
    QTest::newRow("binary garbage") << binary << int(binary.count('\r') + (binary.endsWith('\r') ? 0 : 1))
                                    << QString();
}

void TestFaults::oddListFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(QString, last);
    writeFileBytes(ListFile, bytes);

    QStringList items = PickListFile::readItems(ListFile);
    QCOMPARE(items.size(), count);
    if (!last.isNull())
        QCOMPARE(items.last(), last);

    // A new item is one more item, whatever the file ended with.
    PickListFile::appendItem(ListFile, QStringLiteral("柴犬"));
    items.append(QStringLiteral("柴犬"));
    const QStringList appended = PickListFile::readItems(ListFile);
    QCOMPARE(appended.size(), count + 1);
    QCOMPARE(appended.last(), QStringLiteral("柴犬"));

    // A rewrite keeps every item apart; what has no Shift_JIS form comes back as '?'.
    PickListFile::rewrite(ListFile, appended);
    const QStringList rewritten = PickListFile::readItems(ListFile);
    QCOMPARE(rewritten.size(), count + 1);
    if (!last.isNull())
        QCOMPARE(rewritten, items);
}

void TestFaults::corruptSettingsFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("values");
    const QString none;
    QTest::newRow("binary garbage") << QByteArray("\x00\x01\x02[[[]]]===\n\xff\xfe", 16)
                                    << QStringList{none, none, none, none};
    QTest::newRow("section never closed")
        << QByteArray("[mysave1\nmyd1=a\n") << QStringList{"a", none, none, none};
    QTest::newRow("broken variant") << QByteArray("[mysave1]\nmyd1=@Variant(\\0\\0\\0\\x7f)\nmyd4=d\n")
                                    << QStringList{none, none, none, "d"};
    QTest::newRow("other type") << QByteArray("[mysave1]\nmyd1=@Size(1 2)\n")
                                << QStringList{none, none, none, none};
    QTest::newRow("commas") << QByteArray("[mysave1]\nmyd1=a, b\nmyd3=c,d\n")
                            << QStringList{"a, b", none, "c, d", none};
    // Found by fuzz_settings: written back, a list with a zero byte in an item reads as a list of
    // variants, not of strings, and its text must not change.
    QTest::newRow("list with a zero byte") << QByteArray("[mysave1]\nmyd3=a, b\0!\n", 22)
                                           << QStringList{none, none, QString::fromUtf8("a, b\0!", 6), none};
    QTest::newRow("cut in a character")
        << QByteArray("[mysave1]\nmyd1=\xe3\x82") << QStringList{none, none, none, none};
    QTest::newRow("a 1 MB line") << "[mysave1]\nmyd1=" + QByteArray(1024 * 1024, 'a')
                                 << QStringList{QString(1024 * 1024, 'a'), none, none, none};
}

void TestFaults::corruptSettingsFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, values);
    QVERIFY(QDir().mkpath(QStringLiteral("settings/soranika")));
    writeFileBytes(ShopSettings::fileName(), bytes);

    // What can be read comes back; the rest reads as empty.
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ShopSettings::get(ShopSettings::Keys[i]), values[i]);

    // The next save writes a sound file, says so, and changes no other value.
    QCOMPARE(failureText([] { ShopSettings::save(QStringLiteral("myd2"), QStringLiteral("03-1234-5678")); }),
             QString());
    values[1] = QStringLiteral("03-1234-5678");
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ShopSettings::get(ShopSettings::Keys[i]), values[i]);
    QVERIFY(readFileBytes(ShopSettings::fileName()).contains("\nmyd2=03-1234-5678\n"));
}

QTEST_GUILESS_MAIN(TestFaults)
#include "test_faults.moc"
