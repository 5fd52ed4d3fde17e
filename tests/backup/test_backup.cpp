#include "ShopData.h"

#include "app/StartupRecovery.h"
#include "backup/BackupService.h"
#include "backup/DailyBackup.h"
#include "backup/Manifest.h"
#include "backup/RestoreJournal.h"
#include "backup/SaleDatabaseCopy.h"
#include "backup/SaleStoreEntry.h"
#include "backup/ShopIni.h"
#include "platform/Clock.h"
#include "store/AnimalOutcomes.h"
#include "store/CarePlans.h"
#include "store/RecordFile.h"
#include "store/SaleStore.h"
#include "store/ShopSettings.h"
#include "store/SqliteConnection.h"
#include "support/FailureText.h"
#include "support/FileSizeLimit.h"
#include "support/FixedClock.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"
#include "support/Sandbox.h"
#include "support/ScriptedMessageBoxes.h"
#include "widgets/MessageBoxes.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace ShopData;

namespace {

// Where the program keeps the journal of a restore until it has finished.
const QString JournalFile = QStringLiteral("restore.journal");

// The files in the backup folder, sorted by name.
QStringList archives()
{
    QStringList names = QDir(QStringLiteral("バックアップ")).entryList(QDir::Files);
    names.sort();
    return names;
}

} // namespace

// Backup files, their checks and the restore, on the data files of a working directory of their own.
class TestBackup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void restoreBringsBackEveryFileByteForByte();
    void backupFileHoldsTheDataAndAManifest();
    void shopIniKeepsAnyText_data();
    void shopIniKeepsAnyText();
    void refusedArchiveChangesNothing_data();
    void refusedArchiveChangesNothing();
    void restoreThatFailsHalfWayEndsWithTheOldData_data();
    void restoreThatFailsHalfWayEndsWithTheOldData();
    void failedBackupLeavesNoFile();
    void interruptedRestoreIsSettledAtStart_data();
    void interruptedRestoreIsSettledAtStart();
    void unusableJournalNeverMixesTheData_data();
    void unusableJournalNeverMixesTheData();
    void dataThatCannotBePutBackNamesTheSafetyArchive();
    void backupWithoutSaleInformationSaysSoAndEmptiesIt();
    void pickListAtItsLimitRestores();
    void unusableSaleDatabaseCostsNoChartBackup_data();
    void unusableSaleDatabaseCostsNoChartBackup();
    void saleDatabaseIsCopiedRowByRow();
    void saleDatabaseOfThisVersionComesBackWhole();
    void saleDatabaseThatIsNotOursIsRefused_data();
    void saleDatabaseThatIsNotOursIsRefused();
    void unpackedSaleDatabaseLeavesNoCopyBehind();
    void saleDatabaseThatCannotBeUnpackedChangesNothing_data();
    void saleDatabaseThatCannotBeUnpackedChangesNothing();
    void extraEntriesGoIntoTheBackupAndComeBack();
    void extraEntryWithItsOwnCheckAndCompanions();

    void restoresKeepTheirFiveNewestSafetyArchives();
    void dailyBackupIsWrittenOnceADay();
    void dailyBackupReadsUnchangedDataOnce();
    void dailyBackupKeepsTheFourteenNewestAndNothingElse();
    void archivesOfAnOlderVersionAreTakenIn();
    void wrongClockKeepsTheNewestData_data();
    void wrongClockKeepsTheNewestData();
    void dailyBackupFailureIsKeptAndLoggedNotThrown();

private:
    std::unique_ptr<Sandbox> dir;
    std::unique_ptr<FixedClock> clock;
    std::unique_ptr<BackupService> backups;
};

void TestBackup::init()
{
    dir = std::make_unique<Sandbox>();
    clock = std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)));
    backups = std::make_unique<BackupService>(*clock);
}

void TestBackup::cleanup()
{
    backups.reset();
    dir.reset();
}

void TestBackup::restoreBringsBackEveryFileByteForByte()
{
    writeSample();
    backups->createBackup(QStringLiteral("shop.zip"));
    const QMap<QString, QByteArray> before = dataState();

    writeChanged();
    const QMap<QString, QByteArray> changed = dataState();
    QVERIFY(changed != before);

    const BackupContents contents = backups->open(QStringLiteral("shop.zip"));
    QCOMPARE(BackupService::restoreQuestion(contents),
             QStringLiteral("2026/12/07 9:05 の バックアップ (カルテ 3 件) に戻しますか？ "
                            "今のデータは自動的にバックアップされます。"));
    clock->advance(3600);
    const QString safety = backups->restore(contents);

    // Files written since the backup (kusuri.txt, hoka2.txt) are gone, tokucyou.txt is back.
    QCOMPARE(dataState(), before);
    QCOMPARE(settings(), sampleSettings());

    // The data as it was before the restore is in a backup file of its own, which restores too.
    QCOMPARE(safety,
             QDir::current().filePath(QStringLiteral("バックアップ/restore-before-20261207_100503.zip")));
    backups->restore(backups->open(safety));
    QCOMPARE(dataState(), changed);
    QVERIFY(QFileInfo::exists(QStringLiteral("バックアップ/restore-before-20261207_100503-2.zip")));
}

void TestBackup::backupFileHoldsTheDataAndAManifest()
{
    writeSample();
    backups->createBackup(QStringLiteral("shop.zip"));
    const ZipReader zip(QStringLiteral("shop.zip"), QStringLiteral("shop.zip"));
    QCOMPARE(zip.names(), (QStringList{"detapetto.dt", "syurui.txt", "iro.txt", "tokucyou.txt", "hoka1.txt",
                                       "shop.ini", "manifest.json"}));
    QCOMPARE(zip.read(QStringLiteral("detapetto.dt"), 1 << 20), sampleRecords());

    const Manifest manifest = Manifest::fromJson(zip.read(QStringLiteral("manifest.json"), 1 << 20), {});
    QCOMPARE(manifest.recordCount, 3);
    QCOMPARE(manifest.created, clock->now());
    QCOMPARE(manifest.entries.size(), 6);
    QCOMPARE(manifest.entries[0].size, 3 * 964);
    QCOMPARE(manifest.entries[0].sha256,
             QCryptographicHash::hash(sampleRecords(), QCryptographicHash::Sha256).toHex());

    // shop.ini is an INI file under the settings store's own section and keys.
    const QString ini = QString::fromUtf8(zip.read(QStringLiteral("shop.ini"), 1 << 20));
    QVERIFY(ini.startsWith(QStringLiteral("[mysave1]")));
    QVERIFY(ini.contains(QStringLiteral("myd1=\"ペットショップ「ソラニカ」\"")));
}

void TestBackup::shopIniKeepsAnyText_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces around") << QStringLiteral("  ソラニカ  ");
    QTest::newRow("INI syntax") << QStringLiteral("[mysave1]\nmyd2=x; y, z = w");
    QTest::newRow("quotes and backslashes") << QStringLiteral("\"C:\\ペット\\\" \\x41 \\");
    QTest::newRow("typed-value prefixes") << QStringLiteral("@Variant(AAAACgAAAAA=)");
    QTest::newRow("at signs only") << QStringLiteral("@@");
    QTest::newRow("line ends and tabs") << QStringLiteral("1行目\r\n2行目\t終");
    QTest::newRow("control codes before hex digits") << QString::fromUtf16(u"\u0001Ab\u001fF\u0000 0");
    QTest::newRow("outside the basic plane") << QStringLiteral("🐶🐱 ﾁﾜﾜ");
}

void TestBackup::shopIniKeepsAnyText()
{
    QFETCH(QString, value);
    const QStringList values{value, QStringLiteral("二番目"), value, QString()};
    QCOMPARE(ShopIni::decode(ShopIni::encode(values)), std::optional<QStringList>(values));
}

namespace {

// Makes the archive's local header and directory both say the entry decompresses to `size` bytes.
void setStatedSize(QByteArray& zip, const QByteArray& name, quint32 size)
{
    for (const auto& [signature, sizeAt, nameAt] :
         {std::tuple{QByteArray("PK\x03\x04"), 22, 30}, std::tuple{QByteArray("PK\x01\x02"), 24, 46}}) {
        for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 1)) {
            if (zip.mid(at + nameAt, name.size()) == name)
                qToLittleEndian<quint32>(size, zip.data() + at + sizeAt);
        }
    }
}

} // namespace

void TestBackup::refusedArchiveChangesNothing_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("message");

    const QList<NamedBytes> sample = sampleEntries();
    const QByteArray valid = archiveOf(sample);
    auto with = [&](const QString& name, const QByteArray& bytes) {
        QList<NamedBytes> files = sample;
        files.removeIf([&](const NamedBytes& file) { return file.name == name; });
        if (!bytes.isNull())
            files.append({name, bytes});
        return files;
    };
    const QByteArray syuruiHash = Manifest::describe(sample[1]).sha256;
    QByteArray flipped = valid;
    // Inside detapetto.dt's compressed bytes: past the local header (30 bytes, the name, the extra field).
    const int dataStart = 30 + 12 + quint8(valid[28]) + 256 * quint8(valid[29]);
    flipped[dataStart + 40] = char(flipped[dataStart + 40] ^ 0x55);

    QTest::newRow("not a ZIP") << sjis(QStringLiteral("バックアップではありません"))
                               << "ZIP 形式ではありません";
    QTest::newRow("empty file") << QByteArray() << "ZIP 形式ではありません";
    QTest::newRow("truncated ZIP") << valid.left(valid.size() / 2) << "バックアップファイルが壊れています";
    QTest::newRow("last byte missing") << valid.chopped(1) << "バックアップファイルが壊れています";
    QTest::newRow("damaged data") << flipped << "detapetto.dt が壊れています";
    QTest::newRow("wrong hash") << archiveOf(sample, [&](QByteArray& json) {
        json.replace(syuruiHash, QByteArray(64, 'a'));
    }) << "syurui.txt が壊れています（SHA-256 が一致しません）";
    QTest::newRow("wrong size") << archiveOf(sample, [](QByteArray& json) {
        json.replace("\"size\": 2892", "\"size\": 2893");
    }) << "detapetto.dt が壊れています（大きさが違います）";
    QTest::newRow("listed entry missing") << archiveOf(sample, [&](QByteArray& json) {
        json.replace("\"name\": \"syurui.txt\"", "\"name\": \"hoka2.txt\"");
    }) << "ソラニカのものではない syurui.txt";
    QTest::newRow("no record file") << archiveOf(with(QStringLiteral("detapetto.dt"), {}))
                                    << "detapetto.dt がありません";
    QTest::newRow("record file of 965 bytes")
        << archiveOf(with(QStringLiteral("detapetto.dt"), QByteArray(965, ' '))) << "（965 バイト）";
    QTest::newRow("32,768 records") << archiveOf(with(QStringLiteral("detapetto.dt"),
                                                      QByteArray(32768 * 964, '\0')))
                                    << "32,767 件を超えています（32,768 件）";
    QTest::newRow("missing manifest")
        << archiveOf(sample, [](QByteArray& json) { json.clear(); }) << "manifest.json がありません";
    QTest::newRow("manifest not JSON") << archiveOf(sample, [](QByteArray& json) { json.chop(3); })
                                       << "manifest.json が正しくありません（JSON として読めません）";
    QTest::newRow("record count not the file's") << archiveOf(sample, [](QByteArray& json) {
        json.replace("\"recordCount\": 3", "\"recordCount\": 30");
    }) << "「recordCount」の値";
    QTest::newRow("newer format") << archiveOf(sample, [](QByteArray& json) {
        json.replace("\"format\": 1", "\"format\": 2");
    }) << "新しいバージョンのソラニカ";
    QTest::newRow("unknown entry") << archiveOf(with(QStringLiteral("../soranika.txt"), "x"))
                                   << "ソラニカのものではない ../soranika.txt";
    QTest::newRow("pick list in UTF-16")
        << archiveOf(with(QStringLiteral("iro.txt"), QByteArray("\x7d\x76\r\0\n\0", 6)))
        << "iro.txt が Shift_JIS のテキストとして読めません（4 バイト目）";
    QTest::newRow("pick list cut in a character")
        << archiveOf(with(QStringLiteral("iro.txt"), sjis(QStringLiteral("白\r\n黒")).chopped(1)))
        << "iro.txt が Shift_JIS のテキストとして読めません（5 バイト目）";
    QTest::newRow("pick list with an unassigned code")
        << archiveOf(with(QStringLiteral("iro.txt"), QByteArray("ab\x85\x40"))) << "（3 バイト目）";
    QTest::newRow("pick list past 1 MB")
        << archiveOf(with(QStringLiteral("hoka1.txt"), QByteArray((1 << 20) + 1, 'a')))
        << "hoka1.txt が大きすぎます（1 MB までです）";
    QTest::newRow("shop.ini past 64 KB")
        << archiveOf(with(QStringLiteral("shop.ini"), "[mysave1]\nmyd1=" + QByteArray(64 << 10, 'a')))
        << "shop.ini が大きすぎます（64 KB までです）";
    QByteArray lying = archiveOf(with(QStringLiteral("hoka1.txt"), QByteArray(2 << 20, 'a')));
    setStatedSize(lying, "hoka1.txt", 100);
    QTest::newRow("directory states a small size for a large list") << lying << "hoka1.txt が壊れています";
    QTest::newRow("shop.ini without a key")
        << archiveOf(with(QStringLiteral("shop.ini"), "[mysave1]\nmyd1=a\n"))
        << "shop.ini（お店の情報）が正しくありません";
}

void TestBackup::refusedArchiveChangesNothing()
{
    QFETCH(QByteArray, archive);
    QFETCH(QString, message);
    writeSample();
    writeFileBytes(QStringLiteral("candidate.zip"), archive);
    const QMap<QString, QByteArray> before = folderState();

    const QString failure =
        failureText([&] { backups->restore(backups->open(QStringLiteral("candidate.zip"))); });
    QVERIFY2(failure.contains(message), qPrintable(failure));
    QVERIFY(failure.endsWith(QStringLiteral(" (candidate.zip)")));
    QCOMPARE(folderState(), before);
}

void TestBackup::restoreThatFailsHalfWayEndsWithTheOldData_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<bool>("largeBefore");
    QTest::newRow("the last list does not fit on the disk") << true << false;
    // Writing the old list back would fail for the same reason; it was never changed.
    QTest::newRow("the list that does not fit was as large before") << true << true;
    QTest::newRow("a folder stands where the last list goes") << false << false;
}

void TestBackup::restoreThatFailsHalfWayEndsWithTheOldData()
{
    QFETCH(bool, fullDisk);
    QFETCH(bool, largeBefore);
    const QByteArray large = sjis(QStringLiteral("ポメラニアン\r\n")).repeated(20000);
    // The backup holds new records and lists and, last of all, a large hoka2.txt.
    writeChanged();
    writeFileBytes(QStringLiteral("hoka2.txt"), large);
    backups->createBackup(QStringLiteral("shop.zip"));
    const BackupContents contents = backups->open(QStringLiteral("shop.zip"));
    QFile::remove(QStringLiteral("shop.zip"));

    QFile::remove(QStringLiteral("hoka2.txt"));
    QFile::remove(QStringLiteral("kusuri.txt"));
    writeSample();
    if (largeBefore)
        writeFileBytes(QStringLiteral("hoka2.txt"), large + "end");
    if (!fullDisk)
        QVERIFY(QDir().mkdir(QStringLiteral("hoka2.txt")));
    const QMap<QString, QByteArray> before = dataState();

    QString failure;
    {
        // Every other file, and the backup of the current data, is far smaller.
        std::unique_ptr<FileSizeLimit> limit;
        if (fullDisk)
            limit = std::make_unique<FileSizeLimit>(64 * 1024);
        failure = failureText([&] { backups->restore(contents); });
    }
    QCOMPARE(failure, QStringLiteral("復元できませんでした。データは復元する前のままです。\n"
                                     "ファイルに書き込めません。 (hoka2.txt)"));
    QCOMPARE(dataState(), before);
    QCOMPARE(settings(), sampleSettings());
    QCOMPARE(QDir(QStringLiteral("バックアップ")).entryList(QDir::Files),
             QStringList{QStringLiteral("restore-before-20261207_090503.zip")});
}

void TestBackup::interruptedRestoreIsSettledAtStart_data()
{
    QTest::addColumn<bool>("journal");
    QTest::addColumn<QString>("told");
    QTest::newRow("killed after the journal was written: finished")
        << true
#ifdef Q_OS_WIN
        // Paths are shown as the system writes them.
        << "前回の復元が途中で止まっていたため、復元を最後まで行いました。復元する前のデータは "
           "バックアップ\\restore-before-20261207_090503.zip に残っています。";
#else
        << "前回の復元が途中で止まっていたため、復元を最後まで行いました。復元する前のデータは "
           "バックアップ/restore-before-20261207_090503.zip に残っています。";
#endif
    QTest::newRow("killed before the journal was whole: taken back")
        << false << "前回の復元が途中で止まっていたため、取り消しました。データは復元する前のままです。";
}

void TestBackup::interruptedRestoreIsSettledAtStart()
{
    QFETCH(bool, journal);
    QFETCH(QString, told);
    // The state a kill leaves: after the journal, iro.txt already replaced, syurui.txt's new file
    // waiting, kusuri.txt to go; before it, only new files waiting. The settings file's new one waits.
    writeFileBytes(QStringLiteral("syurui.txt"), "old list");
    writeFileBytes(QStringLiteral("syurui.txt.restore-new"), "new list");
    writeFileBytes(QStringLiteral("kusuri.txt"), "old medicines");
    if (journal) {
        writeFileBytes(QStringLiteral("iro.txt.restore-old"), "old colours");
        writeFileBytes(QStringLiteral("iro.txt"), "new colours");
    } else {
        writeFileBytes(QStringLiteral("iro.txt"), "old colours");
        writeFileBytes(QStringLiteral("iro.txt.restore-new"), "new colours");
    }
    const QString settings = ShopSettings::fileName();
    QDir().mkpath(QFileInfo(settings).path());
    writeFileBytes(settings, "[mysave1]\nmyd1=old\n");
    writeFileBytes(settings + QStringLiteral(".restore-new"), "[mysave1]\nmyd1=new\n");
    writeFileBytes(QStringLiteral("detapetto.dt"), "old records");
    writeFileBytes(QStringLiteral("detapetto.dt.restore-new"), "new records");
    QDir().mkdir(QStringLiteral("バックアップ"));
    writeFileBytes(QStringLiteral("バックアップ/restore-before-20261207_090503.zip"), "the data as it was");
    const RestoreJournal::Journal written{QStringLiteral("バックアップ/restore-before-20261207_090503.zip"),
                                          {{QStringLiteral("detapetto.dt"), true},
                                           {QStringLiteral("iro.txt"), true},
                                           {QStringLiteral("syurui.txt"), true},
                                           {QStringLiteral("kusuri.txt"), false},
                                           {settings, true}}};
    if (journal)
        RestoreJournal::write(QDir::current(), written);
    else
        writeFileBytes(JournalFile, RestoreJournal::encode(written).chopped(1));

    ScriptedMessageBoxes messages;
    QVERIFY(recoverInterruptedRestore(messages));
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked[0].text, told);
    QCOMPARE(messages.asked[0].title, QStringLiteral("ソラニカ"));
    QMap<QString, QByteArray> expected;
    if (journal) {
        expected = {{"detapetto.dt", "new records"}, {"iro.txt", "new colours"}, {"syurui.txt", "new list"}};
        QCOMPARE(readFileBytes(settings), QByteArray("[mysave1]\nmyd1=new\n"));
    } else {
        expected = {{"detapetto.dt", "old records"},
                    {"iro.txt", "old colours"},
                    {"syurui.txt", "old list"},
                    {"kusuri.txt", "old medicines"}};
        QCOMPARE(readFileBytes(settings), QByteArray("[mysave1]\nmyd1=old\n"));
    }
    QMap<QString, QByteArray> found;
    for (const QString& name : QDir::current().entryList(QDir::Files))
        found.insert(name, readFileBytes(name));
    QCOMPARE(found, expected);
    QVERIFY(!QFileInfo::exists(settings + QStringLiteral(".restore-new")));

    // Said once: the next start finds nothing to do.
    QVERIFY(recoverInterruptedRestore(messages));
    QCOMPARE(messages.asked.size(), 1);
}

namespace {

const QString SafetyArchive = QStringLiteral("バックアップ/restore-before-20261207_090503.zip");

// The files a restore killed half way leaves, with its journal: detapetto.dt replaced (the old
// one moved aside), iro.txt added where there was none, syurui.txt's new file still waiting,
// kusuri.txt still to go, the settings file's new one waiting.
RestoreJournal::Journal writeHalfRestoredShop()
{
    writeFileBytes(QStringLiteral("detapetto.dt.restore-old"), "old records");
    writeFileBytes(QStringLiteral("detapetto.dt"), "new records");
    writeFileBytes(QStringLiteral("iro.txt.restore-absent"), "");
    writeFileBytes(QStringLiteral("iro.txt"), "new colours");
    writeFileBytes(QStringLiteral("syurui.txt"), "old list");
    writeFileBytes(QStringLiteral("syurui.txt.restore-new"), "new list");
    writeFileBytes(QStringLiteral("kusuri.txt"), "old medicines");
    const QString settings = ShopSettings::fileName();
    QDir().mkpath(QFileInfo(settings).path());
    writeFileBytes(settings, "[mysave1]\nmyd1=old\n");
    writeFileBytes(settings + QStringLiteral(".restore-new"), "[mysave1]\nmyd1=new\n");
    QDir().mkdir(QStringLiteral("バックアップ"));
    writeFileBytes(SafetyArchive, "the data as it was");
    return {SafetyArchive,
            {{QStringLiteral("detapetto.dt"), true},
             {QStringLiteral("iro.txt"), true},
             {QStringLiteral("syurui.txt"), true},
             {QStringLiteral("kusuri.txt"), false},
             {settings, true}}};
}

// The files of the working directory, the backup folder left out.
QMap<QString, QByteArray> dataFiles()
{
    QMap<QString, QByteArray> found;
    for (const QString& name : QDir::current().entryList(QDir::Files))
        found.insert(name, readFileBytes(name));
    return found;
}

} // namespace

void TestBackup::unusableJournalNeverMixesTheData_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("told");
    const QString takenBack =
        QStringLiteral("前回の復元が途中で止まっていたため、取り消しました。データは復元する前のままです。");
    const QString setAside = QStringLiteral("restore.journal はソラニカの復元の記録ではないため、"
                                            "restore.journal.bad に名前を変えて残しました。") +
                             takenBack;
    QTest::newRow("one byte short") << "short" << takenBack;
    QTest::newRow("0 bytes") << "empty" << takenBack;
    QTest::newRow("names files outside the shop's") << "foreign" << setAside;
    QTest::newRow("every file to go, no backup named") << "all go" << setAside;
    QTest::newRow("2 MiB") << "oversized" << setAside;
}

void TestBackup::unusableJournalNeverMixesTheData()
{
    QFETCH(QString, damage);
    QFETCH(QString, told);
    RestoreJournal::Journal journal = writeHalfRestoredShop();
    // What lies outside the shop's files, and must stay as it is.
    const QString victims = QDir::current().filePath(QStringLiteral("../victims-%1").arg(damage));
    QVERIFY(QDir().mkpath(victims));
    const QMap<QString, QByteArray> outside{{"rel.txt", "relative"},
                                            {"abs.txt", "absolute"},
                                            {"over.txt", "overwritten?"},
                                            {"over.txt.restore-new", "outsider"}};
    for (auto it = outside.cbegin(); it != outside.cend(); ++it)
        writeFileBytes(victims + QLatin1Char('/') + it.key(), it.value());
    QByteArray bytes = RestoreJournal::encode(journal);
    if (damage == QLatin1String("short")) {
        bytes.chop(1);
    } else if (damage == QLatin1String("empty")) {
        bytes.clear();
    } else if (damage == QLatin1String("foreign")) {
        journal.steps.append({QStringLiteral("../victims-foreign/rel.txt"), false});
        journal.steps.append({victims + QStringLiteral("/abs.txt"), false});
        journal.steps.append({QStringLiteral("../victims-foreign/over.txt"), true});
        bytes = RestoreJournal::encode(journal);
    } else if (damage == QLatin1String("all go")) {
        journal.safetyArchive.clear();
        for (RestoreJournal::Step& step : journal.steps)
            step.replaced = false;
        bytes = RestoreJournal::encode(journal);
    } else {
        bytes = RestoreJournal::encode(journal) + QByteArray(2 << 20, ' ');
    }
    writeFileBytes(JournalFile, bytes);

    ScriptedMessageBoxes messages;
    QVERIFY(recoverInterruptedRestore(messages));
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked[0].text, told);

    QMap<QString, QByteArray> expected{
        {"detapetto.dt", "old records"}, {"syurui.txt", "old list"}, {"kusuri.txt", "old medicines"}};
    if (told.startsWith(QStringLiteral("restore.journal ")))
        expected.insert(QStringLiteral("restore.journal.bad"), bytes);
    QCOMPARE(dataFiles(), expected);
    QCOMPARE(readFileBytes(ShopSettings::fileName()), QByteArray("[mysave1]\nmyd1=old\n"));
    QVERIFY(!QFileInfo::exists(ShopSettings::fileName() + QStringLiteral(".restore-new")));
    for (auto it = outside.cbegin(); it != outside.cend(); ++it)
        QCOMPARE(readFileBytes(victims + QLatin1Char('/') + it.key()), it.value());
    QCOMPARE(readFileBytes(SafetyArchive), QByteArray("the data as it was"));
    QDir(victims).removeRecursively();

    // Said once: the next start finds nothing to do.
    QVERIFY(recoverInterruptedRestore(messages));
    QCOMPARE(messages.asked.size(), 1);
}

void TestBackup::dataThatCannotBePutBackNamesTheSafetyArchive()
{
    const RestoreJournal::Journal journal = writeHalfRestoredShop();
    // Something the old record file cannot be renamed over.
    QFile::remove(QStringLiteral("detapetto.dt"));
    QVERIFY(QDir().mkpath(QStringLiteral("detapetto.dt/in-the-way")));
    const QByteArray bytes = RestoreJournal::encode(journal).chopped(1);
    writeFileBytes(JournalFile, bytes);

    ScriptedMessageBoxes messages;
    QVERIFY(!recoverInterruptedRestore(messages));
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(
        messages.asked[0].text,
        QStringLiteral("前回の復元が途中で止まっていましたが、復元の記録（restore.journal）が使えないため、"
                       "元のデータに戻せませんでした（detapetto.dt）。\n次に起動したときにもう一度試します。"
                       "元に戻らないときは、復元する前のデータが残っている ") +
            QDir::toNativeSeparators(SafetyArchive) +
            QStringLiteral(" を「ファイル」メニューの「バックアップから復元」で選んで復元してください。"));
    // Nothing that could still bring the old data back is gone.
    QCOMPARE(readFileBytes(QStringLiteral("detapetto.dt.restore-old")), QByteArray("old records"));
    QCOMPARE(readFileBytes(JournalFile), bytes);

    // Once the way is clear, the next start puts the old data back.
    QVERIFY(QDir(QStringLiteral("detapetto.dt")).removeRecursively());
    QVERIFY(recoverInterruptedRestore(messages));
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(dataFiles(), (QMap<QString, QByteArray>{{"detapetto.dt", "old records"},
                                                     {"syurui.txt", "old list"},
                                                     {"kusuri.txt", "old medicines"}}));
}

void TestBackup::failedBackupLeavesNoFile()
{
    writeSample();
    writeFileBytes(QStringLiteral("detapetto.dt"), QByteArray(964 * 200, 'x'));
    const QMap<QString, QByteArray> before = folderState();
    QString failure;
    {
        FileSizeLimit limit(200);
        failure = failureText([&] { backups->createBackup(QStringLiteral("shop.zip")); });
    }
    QCOMPARE(failure, QStringLiteral("バックアップファイルを書き込めません。 (shop.zip)"));
    QCOMPARE(folderState(), before);
}

namespace {

const QString ChartSaleTable = QStringLiteral(
    "CREATE TABLE chart_sale (record_number INTEGER PRIMARY KEY, microchip TEXT NOT NULL DEFAULT '',"
    " chip_implanted TEXT, chip_registered TEXT, neutered INTEGER NOT NULL DEFAULT 0, neutered_on TEXT,"
    " owner TEXT NOT NULL DEFAULT '', hereditary TEXT NOT NULL DEFAULT '', buyer_name TEXT NOT NULL DEFAULT "
    "'',"
    " buyer_address TEXT NOT NULL DEFAULT '', buyer_phone TEXT NOT NULL DEFAULT '', explained_on TEXT)");
const QString BreedTextTable = QStringLiteral(
    "CREATE TABLE breed_text (kind TEXT PRIMARY KEY, body_size TEXT NOT NULL DEFAULT '',"
    " lifespan TEXT NOT NULL DEFAULT '', housing TEXT NOT NULL DEFAULT '', feeding TEXT NOT NULL DEFAULT '',"
    " exercise TEXT NOT NULL DEFAULT '', diseases TEXT NOT NULL DEFAULT '', neutering TEXT NOT NULL DEFAULT "
    "'',"
    " breeding_control TEXT NOT NULL DEFAULT '', regulations TEXT NOT NULL DEFAULT '')");
const QString DealerTable = QStringLiteral(
    "CREATE TABLE dealer (id INTEGER PRIMARY KEY, registration_number TEXT NOT NULL DEFAULT '',"
    " animal_handler TEXT NOT NULL DEFAULT '')");
const QString Sold =
    QStringLiteral("INSERT INTO chart_sale (record_number, microchip, buyer_name, explained_on)"
                   " VALUES (2, '392141000123456', '山田 花子', '2026-11-03')");

// The bytes of a SQLite file made by `statements`, as a crafted backup would hold it.
QByteArray databaseOf(const QStringList& statements)
{
    const QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("crafted.db"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("crafted"));
        db.setDatabaseName(path);
        db.open();
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            if (!query.exec(statement))
                qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("crafted"));
    return readFileBytes(path);
}

QByteArray archiveWithDatabase(const QByteArray& database)
{
    QList<NamedBytes> files = sampleEntries();
    files.append({QStringLiteral("soranika.db"), database});
    return archiveOf(files);
}

// The system's temporary folder, pointed at a folder of the test's own while this lives, so that the
// test sees every temporary file a backup or a restore makes.
class OwnTemporaryFolder
{
public:
    // TMPDIR on Unix; Windows takes TMP, then TEMP.
    OwnTemporaryFolder()
    {
        for (const char* name : Names) {
            previous.append(qgetenv(name));
            qputenv(name, QFile::encodeName(QDir::toNativeSeparators(folder.path())));
        }
    }
    ~OwnTemporaryFolder()
    {
        for (int index = 0; index < previous.size(); ++index) {
            if (previous[index].isNull())
                qunsetenv(Names[index]);
            else
                qputenv(Names[index], previous[index]);
        }
    }
    OwnTemporaryFolder(const OwnTemporaryFolder&) = delete;
    OwnTemporaryFolder& operator=(const OwnTemporaryFolder&) = delete;

    QStringList entries() const
    {
        return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private:
    static constexpr const char* Names[] = {"TMPDIR", "TMP", "TEMP"};
    QTemporaryDir folder;
    QList<QByteArray> previous;
};

} // namespace

void TestBackup::backupWithoutSaleInformationSaysSoAndEmptiesIt()
{
    writeSample();
    SaleStore sales;
    sales.saveChartSale(2, chipSale(QStringLiteral("392141000123456")));
    backups->addExtraEntry(saleStoreEntry(sales));
    writeFileBytes(QStringLiteral("older.zip"), archiveOf(sampleEntries()));
    const BackupContents contents = backups->open(QStringLiteral("older.zip"));
    QCOMPARE(BackupService::restoreQuestion(contents),
             QStringLiteral("2026/11/30 18:45 の バックアップ (カルテ 3 件) に戻しますか？ "
                            "今のデータは自動的にバックアップされます。\n"
                            "このバックアップには販売情報（マイクロチップ・購入者）が入っていません。"
                            "復元すると、今の販売情報は消えます。"));
    backups->restore(contents);
    QVERIFY(sales.chartSales().isEmpty());
}

void TestBackup::pickListAtItsLimitRestores()
{
    writeSample();
    QList<NamedBytes> files = sampleEntries();
    const QByteArray list = (QByteArray(62, 'a') + "\r\n").repeated(1 << 14).chopped(2) + "ab";
    QCOMPARE(list.size(), 1 << 20);
    files.removeIf([](const NamedBytes& file) { return file.name == QLatin1String("hoka1.txt"); });
    files.append({QStringLiteral("hoka1.txt"), list});
    writeFileBytes(QStringLiteral("limit.zip"), archiveOf(files));
    QCOMPARE(failureText([&] { backups->restore(backups->open(QStringLiteral("limit.zip"))); }), QString());
    QCOMPARE(readFileBytes(QStringLiteral("hoka1.txt")), list);
}

void TestBackup::unusableSaleDatabaseCostsNoChartBackup_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("reason");
    QTest::newRow("locked by another program") << "locked"
                                               << "データベースがほかで使用中です。 (soranika.db)";
    QTest::newRow("of a newer version")
        << "newer"
        << "新しいバージョンのソラニカで作られたデータベースです。 (soranika.db)";
    QTest::newRow("unreadable") << "unreadable"
                                << "ファイルを開けません。 (soranika.db)";
    QTest::newRow("in a read-only folder") << "read-only folder"
                                           << "soranika.db";
}

void TestBackup::unusableSaleDatabaseCostsNoChartBackup()
{
    QFETCH(QString, problem);
    QFETCH(QString, reason);
#ifdef Q_OS_UNIX
    if ((problem == "unreadable" || problem == "read-only folder") && ::geteuid() == 0)
        QSKIP("file modes do not stop the superuser");
#else
    if (problem == "unreadable" || problem == "read-only folder")
        QSKIP("Windows has only a read-only flag, which neither hides a file nor closes a folder");
#endif
    writeSample();
    SaleStore sales;
    sales.saveChartSale(2, chipSale(QStringLiteral("392141000123456")));
    backups->addExtraEntry(saleStoreEntry(sales));
    QSqlDatabase locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
    if (problem == "locked") {
        locker.setDatabaseName(QStringLiteral("soranika.db"));
        QVERIFY(locker.open());
        QSqlQuery(locker).exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
        QVERIFY(QSqlQuery(locker).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        QVERIFY(QSqlQuery(locker).exec(QStringLiteral("DELETE FROM dealer")));
    } else if (problem == "newer") {
        SqliteConnection db(QStringLiteral("soranika.db"), QStringLiteral("soranika.db"));
        db.run(QStringLiteral("PRAGMA user_version = 99"));
    } else if (problem == "unreadable") {
        QVERIFY(QFile::setPermissions(QStringLiteral("soranika.db"), QFileDevice::WriteOwner));
    } else {
        QVERIFY(QFile::setPermissions(QStringLiteral("."), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }

    // The file menu's backup and the daily one both hold the charts, and say what is missing.
    const QString shopFolder = QDir::currentPath();
    const QString archive = problem == "read-only folder" ? QDir::temp().filePath(QStringLiteral("menu.zip"))
                                                          : QStringLiteral("menu.zip");
    const QString told = backups->createBackup(archive);
    QVERIFY2(told.startsWith(QStringLiteral(
                 "バックアップを作りましたが、販売情報（マイクロチップ・購入者）は入っていません。\n")),
             qPrintable(told));
    QVERIFY(told.contains(reason));
    if (problem != "read-only folder") {
        backups->startDailyBackup();
        backups->waitForDailyBackup();
        QCOMPARE(backups->lastDailyBackupFailure(), QString());
        QCOMPARE(backups->open(QStringLiteral("バックアップ/20261207.zip")).recordCount(), 3);
    }
    locker.close();
    locker = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    QFile::setPermissions(shopFolder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const ZipReader zip(archive, archive);
    QVERIFY(!zip.contains(QStringLiteral("soranika.db")));
    const Manifest manifest = Manifest::fromJson(zip.read(QStringLiteral("manifest.json"), 1 << 20), {});
    QVERIFY2(manifest.saleInformationMissing.contains(reason), qPrintable(manifest.saleInformationMissing));

    const BackupContents contents = backups->open(archive);
    QCOMPARE(contents.recordCount(), 3);
    const QString question = BackupService::restoreQuestion(contents);
    QVERIFY2(question.contains(
                 QStringLiteral("\nこのバックアップには販売情報（マイクロチップ・購入者）が入っていません。"
                                "復元すると、今の販売情報は消えます。\n（バックアップを作ったとき：")),
             qPrintable(question));
    QVERIFY(question.contains(reason));
    if (archive != QStringLiteral("menu.zip"))
        QFile::remove(archive);
}

void TestBackup::saleDatabaseIsCopiedRowByRow()
{
    // A file of the first version, with an index and rows only the dialogs' rules allow.
    writeSample();
    writeFileBytes(QStringLiteral("older.zip"),
                   archiveWithDatabase(databaseOf({ChartSaleTable, BreedTextTable, Sold,
                                                   QStringLiteral("INSERT INTO breed_text (kind, lifespan) "
                                                                  "VALUES ('柴犬', '12〜15年')"),
                                                   // A text at the most a value may hold.
                                                   QStringLiteral("INSERT INTO breed_text (kind, lifespan) "
                                                                  "VALUES ('プードル', replace(hex(zeroblob("
                                                                  "524288)), '0', 'a'))"),
                                                   QStringLiteral("PRAGMA user_version = 1")})));
    SaleStore sales;
    sales.saveChartSale(5, {});
    backups->addExtraEntry(saleStoreEntry(sales));
    const BackupContents contents = backups->open(QStringLiteral("older.zip"));
    QCOMPARE(BackupService::restoreQuestion(contents),
             QStringLiteral("2026/11/30 18:45 の バックアップ (カルテ 3 件) に戻しますか？ "
                            "今のデータは自動的にバックアップされます。"));
    backups->restore(contents);

    const QMap<qint32, ChartSale> rows = sales.chartSales();
    QCOMPARE(rows.keys(), QList<qint32>{2});
    QCOMPARE(rows[2].microchip, QStringLiteral("392141000123456"));
    QCOMPARE(rows[2].buyerName, QStringLiteral("山田 花子"));
    QCOMPARE(rows[2].explainedOn, QDate(2026, 11, 3));
    QCOMPARE(sales.breedTexts(QStringLiteral("柴犬")).item(3), QStringLiteral("12〜15年"));
    QCOMPARE(sales.breedTexts(QStringLiteral("プードル")).item(3), QString(1 << 20, QLatin1Char('a')));
    QCOMPARE(sales.dealerInfo(), DealerInfo());

    // Reading that does not end in time is refused, whatever the file holds.
    const QByteArray many = databaseOf(
        {ChartSaleTable, BreedTextTable, DealerTable,
         QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
                        "INSERT INTO chart_sale (record_number) SELECT i FROM n WHERE i <= 32767"),
         QStringLiteral("PRAGMA user_version = 2")});
    writeFileBytes(QStringLiteral("many.db"), many);
    QCOMPARE(failureText([&] {
                 SaleDatabaseCopy::copy(QStringLiteral("many.db"), QStringLiteral("late.db"),
                                        QStringLiteral("x.db"), std::chrono::milliseconds(0));
             }),
             QStringLiteral("バックアップの soranika.db（販売情報）が正しくないため、復元できません"
                            "（読み込みが時間内に終わりません）。 (x.db)"));
    SaleDatabaseCopy::copy(QStringLiteral("many.db"), QStringLiteral("clean.db"), QStringLiteral("x.db"));
    QCOMPARE(readFileBytes(QStringLiteral("clean.db")).left(16), QByteArray("SQLite format 3\0", 16));
}

// The buyers' data a restore unpacks, checks and backs up first passes through temporary files: none
// is left once the restore is over, and the backup of the data as it was holds the database too.
void TestBackup::unpackedSaleDatabaseLeavesNoCopyBehind()
{
    writeSample();
    SaleStore sales;
    sales.saveChartSale(7, chipSale(QStringLiteral("392141000123456")));
    backups->addExtraEntry(saleStoreEntry(sales));
    writeFileBytes(QStringLiteral("older.zip"),
                   archiveWithDatabase(databaseOf(
                       {ChartSaleTable, BreedTextTable, Sold, QStringLiteral("PRAGMA user_version = 1")})));
    const OwnTemporaryFolder temporary;
    QString safety;
    {
        const BackupContents contents = backups->open(QStringLiteral("older.zip"));
        // The clean copy waits there for the restore.
        QVERIFY(!temporary.entries().isEmpty());
        safety = backups->restore(contents);
    }
    QCOMPARE(temporary.entries(), QStringList());
    QCOMPARE(sales.chartSales().keys(), QList<qint32>{2});

    clock->advance(1);
    backups->restore(backups->open(safety));
    QCOMPARE(sales.chartSales().keys(), QList<qint32>{7});
    QCOMPARE(sales.chartSale(7).microchip, QStringLiteral("392141000123456"));
    QCOMPARE(temporary.entries(), QStringList());
}

void TestBackup::saleDatabaseThatCannotBeUnpackedChangesNothing_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<qint64>("fileLimit");
    QTest::addColumn<QString>("message");
    // Far larger than the limit below.
    const QByteArray database = databaseOf(
        {ChartSaleTable, BreedTextTable,
         QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                        "INSERT INTO chart_sale (record_number, buyer_name) SELECT i, '購入者の名前' FROM n"),
         QStringLiteral("PRAGMA user_version = 1")});
    QByteArray lying = archiveWithDatabase(database);
    setStatedSize(lying, "soranika.db", 100);
    QTest::newRow("directory states a small size for a large database")
        << lying << qint64(0)
        << "バックアップファイルの soranika.db が壊れています（読み込めません）。 (crafted.zip)";
    QTest::newRow("no room for it in the temporary folder")
        << archiveWithDatabase(database) << qint64(16 * 1024) << "一時ファイルを作れません。 (soranika.db)";
}

void TestBackup::saleDatabaseThatCannotBeUnpackedChangesNothing()
{
    QFETCH(QByteArray, archive);
    QFETCH(qint64, fileLimit);
    QFETCH(QString, message);
    writeSample();
    SaleStore sales;
    sales.saveChartSale(1, {});
    backups->addExtraEntry(saleStoreEntry(sales));
    writeFileBytes(QStringLiteral("crafted.zip"), archive);
    const QMap<QString, QByteArray> before = folderState();
    const OwnTemporaryFolder temporary;

    QString failure;
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (fileLimit > 0)
            limit = std::make_unique<FileSizeLimit>(fileLimit);
        failure = failureText([&] { backups->restore(backups->open(QStringLiteral("crafted.zip"))); });
    }
    QCOMPARE(failure, message);
    QCOMPARE(folderState(), before);
    QCOMPARE(temporary.entries(), QStringList());
}

// Species, their default texts, what became of each animal, the care plans and the overview's marks
// come back from the program's own backup.
void TestBackup::saleDatabaseOfThisVersionComesBackWhole()
{
    writeSample();
    SaleStore sales;
    backups->addExtraEntry(saleStoreEntry(sales));
    AnimalOutcomes outcomes(sales.fileName());
    outcomes.saveSpecies({{QStringLiteral("柴犬"), Species::Dog}});
    BreedTexts dogs;
    dogs.item(5) = QStringLiteral("1日2回");
    sales.saveSpeciesTexts(QStringLiteral("犬"), dogs);
    RecordFile records;
    records.LoadRecord(1);
    outcomes.recordLeaving(records, 1, {QDate(2026, 9, 1), LeaveKind::Died, QStringLiteral("肺炎")},
                           Species::Dog);
    CarePlans care(sales.fileName());
    care.savePlans({{QStringLiteral("駆虫薬"), 14, {}, 2, CareFor::All, {}}});
    care.saveStockLimits({90, 45});
    backups->createBackup(QStringLiteral("shop.zip"));

    care.savePlans({});
    care.saveStockLimits({120, 60});
    sales.saveSpeciesTexts(QStringLiteral("犬"), {});
    outcomes.saveSpecies({{QStringLiteral("柴犬"), Species::Other}});
    outcomes.recordLeaving(records, 2, {QDate(2026, 10, 1), LeaveKind::Returned, {}}, Species::Dog);
    backups->restore(backups->open(QStringLiteral("shop.zip")));

    QCOMPARE(outcomes.allSpecies(), (QMap<QString, Species>{{QStringLiteral("柴犬"), Species::Dog}}));
    QCOMPARE(sales.speciesTexts(QStringLiteral("犬")).item(5), QStringLiteral("1日2回"));
    QCOMPARE(care.plans(), (QList<CarePlan>{{QStringLiteral("駆虫薬"), 14, {}, 2, CareFor::All, {}}}));
    QCOMPARE(care.stockLimits(), (StockLimits{90, 45}));
    const QList<AnimalOutcome> back = outcomes.outcomes();
    QCOMPARE(back.size(), 1);
    QCOMPARE(back[0].recordNumber, 1);
    QCOMPARE(back[0].species, Species::Dog);
    QCOMPARE(back[0].leaving,
             (std::optional<Leaving>(Leaving{QDate(2026, 9, 1), LeaveKind::Died, QStringLiteral("肺炎")})));
}

void TestBackup::saleDatabaseThatIsNotOursIsRefused_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("message");
    const QStringList tables{ChartSaleTable, BreedTextTable, DealerTable};
    const QString version = QStringLiteral("PRAGMA user_version = 2");

    QTest::newRow("chart_sale a never-ending view")
        << QStringList{BreedTextTable, DealerTable,
                       QStringLiteral("CREATE VIEW chart_sale AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                      "SELECT i + 1 FROM n) SELECT i AS record_number, '' AS microchip, "
                                      "NULL AS chip_implanted, NULL AS chip_registered, 0 AS neutered, "
                                      "NULL AS neutered_on, '' AS owner, '' AS hereditary, '' AS buyer_name, "
                                      "'' AS buyer_address, '' AS buyer_phone, NULL AS explained_on FROM n"),
                       version}
        << "ソラニカのものではない chart_sale があります";
    QTest::newRow("a trigger of its own")
        << tables + QStringList{QStringLiteral("CREATE TRIGGER t AFTER INSERT ON dealer BEGIN "
                                               "DELETE FROM chart_sale; END"),
                                version}
        << "ソラニカのものではない t があります";
    QTest::newRow("a breed text past 1 MB")
        << tables +
               QStringList{QStringLiteral("INSERT INTO breed_text (kind, lifespan) VALUES ('柴犬', "
                                          "substr(replace(hex(zeroblob(524289)), '0', 'a'), 1, 1048577))"),
                           version}
        << "1 MB を超える値があります";
    QTest::newRow("no tables") << QStringList{version} << "表 chart_sale がありません";
    QTest::newRow("no tables and no version")
        << QStringList{QStringLiteral("CREATE TABLE x (y)"), QStringLiteral("DROP TABLE x")}
        << "販売情報の表がありません";
    QTest::newRow("a newer version")
        << tables + QStringList{QStringLiteral("PRAGMA user_version = 99")}
        << "新しいバージョンのソラニカで作られた販売情報のため、復元できません。";
    QTest::newRow("a microchip of five digits")
        << tables + QStringList{QStringLiteral("INSERT INTO chart_sale (record_number, microchip) "
                                               "VALUES (1, '12345')"),
                                version}
        << "chart_sale の microchip の値";
    QTest::newRow("record number 0")
        << tables + QStringList{QStringLiteral("INSERT INTO chart_sale (record_number) VALUES (0)"), version}
        << "chart_sale の record_number の値";
    QTest::newRow("a date that is none")
        << tables + QStringList{QStringLiteral("INSERT INTO chart_sale (record_number, explained_on) "
                                               "VALUES (1, '2026-13-01')"),
                                version}
        << "chart_sale の explained_on の値";
    // A breed text per breed, and a pick list holds at most 32,767.
    QTest::newRow("more breeds than a pick list holds")
        << tables +
               QStringList{QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                          "WHERE i < 32768) INSERT INTO breed_text (kind) "
                                          "SELECT 'breed ' || i FROM n"),
                           version}
        << "表 breed_text の行が多すぎます";
    QTest::newRow("a buyer stored as bytes")
        << tables + QStringList{QStringLiteral("INSERT INTO chart_sale (record_number, buyer_name) "
                                               "VALUES (1, X'FF00')"),
                                version}
        << "chart_sale の buyer_name の値";
}

void TestBackup::saleDatabaseThatIsNotOursIsRefused()
{
    QFETCH(QStringList, statements);
    QFETCH(QString, message);
    writeSample();
    SaleStore sales;
    sales.saveChartSale(1, {});
    backups->addExtraEntry(saleStoreEntry(sales));
    writeFileBytes(QStringLiteral("crafted.zip"), archiveWithDatabase(databaseOf(statements)));
    const QMap<QString, QByteArray> before = folderState();

    const QString failure = failureText([&] { backups->open(QStringLiteral("crafted.zip")); });
    QVERIFY2(failure.contains(message), qPrintable(failure));
    QVERIFY(failure.endsWith(QStringLiteral("(バックアップの soranika.db)")));
    QCOMPARE(folderState(), before);
}

void TestBackup::extraEntriesGoIntoTheBackupAndComeBack()
{
    writeSample();
    writeFileBytes(QStringLiteral("soranika.db"), "database as it was");
    backups->addExtraEntry({QStringLiteral("soranika.db"), [](const QString& path) {
                                return QFile::copy(QStringLiteral("soranika.db"), path);
                            }});
    backups->createBackup(QStringLiteral("shop.zip"));
    writeFileBytes(QStringLiteral("soranika.db"), "database changed");

    backups->restore(backups->open(QStringLiteral("shop.zip")));
    QCOMPARE(readFileBytes(QStringLiteral("soranika.db")), QByteArray("database as it was"));

    // A program that does not know the entry refuses the file instead of dropping the data.
    BackupService without(*clock);
    const QString failure = failureText([&] { without.open(QStringLiteral("shop.zip")); });
    QVERIFY2(failure.contains(QStringLiteral("ソラニカのものではない soranika.db")), qPrintable(failure));
}

void TestBackup::extraEntryWithItsOwnCheckAndCompanions()
{
    // A database whose backup bytes are checked and cleaned before the question, and whose log
    // files go with it.
    auto addDatabase = [](BackupService& service) {
        service.addExtraEntry({QStringLiteral("soranika.db"),
                               [](const QString& path) {
                                   return QFileInfo::exists(QStringLiteral("soranika.db")) &&
                                          QFile::copy(QStringLiteral("soranika.db"), path);
                               },
                               [](const QString& path, const QString& cleanPath) {
                                   const QByteArray bytes = readFileBytes(path);
                                   if (bytes == "damaged")
                                       throw Failure(
                                           QStringLiteral("バックアップの soranika.db が壊れています。"));
                                   writeFileBytes(cleanPath, QByteArray("clean ") + bytes);
                               },
                               {QStringLiteral("soranika.db-wal")}});
    };
    addDatabase(*backups);
    writeSample();
    writeFileBytes(QStringLiteral("soranika.db"), "v1");
    backups->createBackup(QStringLiteral("v1.zip"));
    writeFileBytes(QStringLiteral("soranika.db"), "v2");
    writeFileBytes(QStringLiteral("soranika.db-wal"), "log of v2");
    backups->restore(backups->open(QStringLiteral("v1.zip")));
    QCOMPARE(readFileBytes(QStringLiteral("soranika.db")), QByteArray("clean v1"));
    QVERIFY(!QFileInfo::exists(QStringLiteral("soranika.db-wal")));

    // A backup from before the database: the database goes, with its log.
    BackupService without(*clock);
    without.createBackup(QStringLiteral("older.zip"));
    writeFileBytes(QStringLiteral("soranika.db-wal"), "log");
    backups->restore(backups->open(QStringLiteral("older.zip")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("soranika.db")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("soranika.db-wal")));

    // Its own check refuses a damaged snapshot before anything changes.
    writeFileBytes(QStringLiteral("soranika.db"), "damaged");
    backups->createBackup(QStringLiteral("damaged.zip"));
    writeFileBytes(QStringLiteral("soranika.db"), "v3");
    const QMap<QString, QByteArray> before = folderState();
    QCOMPARE(failureText([&] { backups->open(QStringLiteral("damaged.zip")); }),
             QStringLiteral("バックアップの soranika.db が壊れています。"));
    QCOMPARE(folderState(), before);
}

void TestBackup::restoresKeepTheirFiveNewestSafetyArchives()
{
    writeSample();
    backups->createBackup(QStringLiteral("shop.zip"));
    QVERIFY(QDir().mkdir(QStringLiteral("バックアップ")));
    writeFileBytes(QStringLiteral("バックアップ/restore-before-20200101_000000.zip"), "the user's");
    for (int restore = 0; restore < 7; ++restore) {
        clock->advance(60);
        backups->restore(backups->open(QStringLiteral("shop.zip")));
    }
    QCOMPARE(archives(),
             (QStringList{"restore-before-20200101_000000.zip", "restore-before-20261207_090803.zip",
                          "restore-before-20261207_090903.zip", "restore-before-20261207_091003.zip",
                          "restore-before-20261207_091103.zip", "restore-before-20261207_091203.zip"}));
}

void TestBackup::dailyBackupIsWrittenOnceADay()
{
    writeSample();
    const QString today = QStringLiteral("バックアップ/20261207.zip");
    backups->startDailyBackup();
    backups->waitForDailyBackup();
    const QByteArray first = readFileBytes(today);
    QCOMPARE(backups->open(today).data.files.first().bytes, sampleRecords());

    // Started again the same day with the data unchanged: nothing new.
    clock->advance(3600);
    backups->startDailyBackup();
    backups->waitForDailyBackup();
    QCOMPARE(archives(), (QStringList{"20261207.zip"}));

    // Later the same day, with other data: the morning's archive stays as it was, and the changes
    // go into the day's second archive.
    writeChanged();
    clock->advance(8 * 3600);
    backups->startDailyBackup();
    backups->waitForDailyBackup();
    QCOMPARE(readFileBytes(today), first);
    QCOMPARE(archives(), (QStringList{"20261207-2.zip", "20261207.zip"}));
    QCOMPARE(backups->open(QStringLiteral("バックアップ/20261207-2.zip")).recordCount(), 5);

    clock->advance(24 * 3600);
    backups->startDailyBackup();
    backups->waitForDailyBackup();
    QCOMPARE(backups->open(QStringLiteral("バックアップ/20261208.zip")).recordCount(), 5);
    QCOMPARE(backups->lastDailyBackupFailure(), QString());
}

void TestBackup::dailyBackupReadsUnchangedDataOnce()
{
    writeSample();
    int taken = 0;
    backups->addExtraEntry({QStringLiteral("extra.bin"), [&](const QString& path) {
                                ++taken;
                                writeFileBytes(path, "extra");
                                return true;
                            }});
    // Files last written an hour ago, as at a start later in the day.
    const auto settle = [] {
        for (const QString& name : QDir().entryList(QDir::Files)) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
        }
    };
    settle();
    const auto runDaily = [&] {
        clock->advance(600);
        backups->startDailyBackup();
        backups->waitForDailyBackup();
    };
    runDaily();
    QCOMPARE(taken, 1);
    runDaily();
    runDaily();
    QCOMPARE(taken, 1);
    QCOMPARE(archives(), (QStringList{"20261207.zip"}));

    // A changed shop setting, then changed files: each is read and backed up.
    ShopSettings::save(QStringLiteral("myd1"), QStringLiteral("ペットショップ　ソラ"));
    runDaily();
    QCOMPARE(taken, 2);
    QCOMPARE(archives(), (QStringList{"20261207-2.zip", "20261207.zip"}));
    writeChanged();
    settle();
    runDaily();
    runDaily();
    QCOMPARE(taken, 3);
    QCOMPARE(archives(), (QStringList{"20261207-2.zip", "20261207-3.zip", "20261207.zip"}));
    QCOMPARE(backups->open(QStringLiteral("バックアップ/20261207-3.zip")).recordCount(), 5);

    // The newest archive removed by hand: the data it held is backed up again.
    QVERIFY(QFile::remove(QStringLiteral("バックアップ/20261207-3.zip")));
    runDaily();
    QCOMPARE(taken, 4);
    QCOMPARE(archives(), (QStringList{"20261207-2.zip", "20261207-3.zip", "20261207.zip"}));

    // Data written just now is read again at the next start, however its times compare.
    writeSample();
    runDaily();
    runDaily();
    QCOMPARE(taken, 6);
}

void TestBackup::dailyBackupKeepsTheFourteenNewestAndNothingElse()
{
    writeSample();
    QVERIFY(QDir().mkdir(QStringLiteral("バックアップ")));
    QDir folder(QStringLiteral("バックアップ"));
    // Files named like daily archives that the program did not write are the user's.
    QStringList foreign{"restore-before-20261101_080000.zip", "2026110.zip", "20261399.zip",
                        "20261101.zip.bak", "メモ.txt"};
    for (int day = 1; day <= 20; ++day)
        foreign.append(QDate(2026, 11, day).toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".zip"));
    for (const QString& name : foreign)
        writeFileBytes(folder.filePath(name), "not ours");
    QVERIFY(folder.mkdir(QStringLiteral("20261001.zip")));

    // Twenty days of the program's own archives, the data changing every day.
    for (int day = 0; day < 20; ++day) {
        writeFileBytes(QStringLiteral("hoka1.txt"), QByteArray::number(day));
        backups->startDailyBackup();
        backups->waitForDailyBackup();
        clock->advance(24 * 3600);
    }

    QStringList expected = foreign;
    for (int day = 6; day < 20; ++day)
        expected.append(QDate(2026, 12, 7).addDays(day).toString(QStringLiteral("yyyyMMdd")) +
                        QStringLiteral(".zip"));
    expected.append(QStringLiteral(".soranika-archives"));
    expected.sort();
    QStringList present = folder.entryList(QDir::Files | QDir::Hidden);
    present.sort();
    QCOMPARE(present, expected);
    for (const QString& name : foreign)
        QCOMPARE(readFileBytes(folder.filePath(name)), QByteArray("not ours"));
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("20261001.zip"))).isDir());
}

void TestBackup::archivesOfAnOlderVersionAreTakenIn()
{
    writeSample();
    QVERIFY(QDir().mkdir(QStringLiteral("バックアップ")));
    // An older version wrote a daily archive on each of 20 days and kept no list of them; the user
    // saved a backup of 30 November under a name of their own.
    clock->set(QDateTime(QDate(2026, 11, 1), QTime(9, 0)));
    for (int day = 0; day < 20; ++day) {
        backups->createBackup(QStringLiteral("バックアップ/") + DailyArchives::fileName(clock->now().date()));
        clock->advance(24 * 3600);
    }
    backups->createBackup(QStringLiteral("バックアップ/20250101.zip"));

    clock->set(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    backups->startDailyBackup();
    backups->waitForDailyBackup();
    QStringList expected{"20250101.zip", "20261207.zip"};
    for (int day = 8; day <= 20; ++day)
        expected.append(QStringLiteral("202611%1.zip").arg(day, 2, 10, QLatin1Char('0')));
    expected.sort();
    QCOMPARE(archives(), expected);
}

void TestBackup::wrongClockKeepsTheNewestData_data()
{
    QTest::addColumn<QList<int>>("days");
    QTest::addColumn<QStringList>("kept");
    // Each start moves the clock by that many days, the data changing every time; the archives
    // that stay, oldest first, and the data of the newest is the data of the last start.
    QList<int> stuck(20, 0);
    QStringList stuckKept;
    for (int n = 7; n <= 20; ++n)
        stuckKept.append(QStringLiteral("20261207-%1.zip").arg(n));
    QTest::newRow("stuck") << stuck << stuckKept;

    QList<int> back(20, -1);
    back[0] = 0;
    QStringList backKept;
    for (int n = 6; n < 20; ++n)
        backKept.append(QDate(2026, 12, 7).addDays(-n).toString(QStringLiteral("yyyyMMdd")) +
                        QStringLiteral(".zip"));
    QTest::newRow("set back every day") << back << backKept;

    // Once far ahead, then right again: the far day goes out like any other.
    QList<int> forward{0, 26687};
    forward.append(QList<int>(18, 1));
    forward[2] = -26687 + 1;
    QStringList forwardKept;
    for (int n = 6; n <= 19; ++n)
        forwardKept.append(QDate(2026, 12, 7).addDays(n - 1).toString(QStringLiteral("yyyyMMdd")) +
                           QStringLiteral(".zip"));
    QTest::newRow("once set forward") << forward << forwardKept;
}

void TestBackup::wrongClockKeepsTheNewestData()
{
    QFETCH(QList<int>, days);
    QFETCH(QStringList, kept);
    writeSample();
    for (qsizetype start = 0; start < days.size(); ++start) {
        clock->advance(qint64(days[start]) * 24 * 3600);
        writeFileBytes(QStringLiteral("hoka1.txt"), QByteArray::number(start));
        backups->startDailyBackup();
        backups->waitForDailyBackup();
        QCOMPARE(backups->lastDailyBackupFailure(), QString());
    }
    const QDir folder(QStringLiteral("バックアップ"));
    const BackupContents newest = backups->open(folder.filePath(kept.last()));
    kept.sort();
    QCOMPARE(archives(), kept);
    QCOMPARE(newest.data.file(QStringLiteral("hoka1.txt"))->bytes, QByteArray::number(days.size() - 1));
}

void TestBackup::dailyBackupFailureIsKeptAndLoggedNotThrown()
{
    writeSample();
    // A file where the folder should be.
    writeFileBytes(QStringLiteral("バックアップ"), "in the way");
    QSignalSpy failed(backups.get(), &BackupService::dailyBackupFailed);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^今日の自動バックアップを作れませんでした")));

    backups->startDailyBackup();
    backups->waitForDailyBackup();
    const QString expected =
        QStringLiteral("今日の自動バックアップを作れませんでした。次に起動したときにもう一度作ります。\n"
                       "バックアップを保存するフォルダを作れません。 (バックアップ)");
    QCOMPARE(backups->lastDailyBackupFailure(), expected);
    QTRY_COMPARE(failed.size(), 1);
    QCOMPARE(failed[0][0].toString(), expected);

    // Told once.
    QCOMPARE(backups->takeDailyBackupFailure(), expected);
    QCOMPARE(backups->takeDailyBackupFailure(), QString());
    QCOMPARE(readFileBytes(QStringLiteral("バックアップ")), QByteArray("in the way"));
}

QTEST_MAIN(TestBackup)
#include "test_backup.moc"
