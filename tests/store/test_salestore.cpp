#include "store/AnimalOutcomes.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/Microchip.h"
#include "store/RecordFile.h"
#include "store/SaleStore.h"
#include "store/ShopDatabase.h"
#include "support/FailureText.h"
#include "support/FileSizeLimit.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"
#include "support/Sandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

// soranika.db: its versions, what each table keeps, the microchip rule, deleting a chart together
// with its record, and snapshots for backups.
class TestSaleStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newFileIsCreatedAtTheCurrentVersion_data();
    void newFileIsCreatedAtTheCurrentVersion();
    void version1FileIsMigratedKeepingItsRows();
    void failedMigrationLeavesTheFileAsItWas();
    void unusableFileIsRefusedUntouched_data();
    void unusableFileIsRefusedUntouched();
    void damagedFileIsSetAsideAndTheNextCallStartsANewOne_data();
    void damagedFileIsSetAsideAndTheNextCallStartsANewOne();
    void frontDoorReadsAShopWithoutTheFileWithoutMakingIt();
    void chartSaleBreedTextsAndDealerRoundTrip();
    void saleRowKnowsItsAnimal();
    void microchipNumbers_data();
    void microchipNumbers();
    void sameMicrochipOnAnotherChartIsFound();
    void breedTextsAreFoundForAChartWhoseKindWasCut();
    void deleteStoresTheBlankedRecordAndRemovesTheRow();
    void deleteWithAFailingRecordStoreChangesNeither_data();
    void deleteWithAFailingRecordStoreChangesNeither();
    void deleteWhoseCommitFailsPutsTheRecordBack();
    void snapshotHoldsWhatIsCommittedWhileAnotherConnectionWrites();
    void snapshotsWhileAnotherThreadWritesAreWhole();
    void restoreBringsBackTheSnapshot();
    void restoreOfAVersion1SnapshotBringsItUpToDate();
    void refusedSnapshotChangesNothing_data();
    void refusedSnapshotChangesNothing();

private:
    std::unique_ptr<Sandbox> dir;
};

namespace {

const QString DbName = QStringLiteral("soranika.db");
const QString Chip = QStringLiteral("392141000123456");

// The first schema as version 1 of the program wrote it.
const QStringList Version1 = {
    QStringLiteral(
        "CREATE TABLE chart_sale (record_number INTEGER PRIMARY KEY CHECK (record_number BETWEEN 1 AND "
        "32767), microchip TEXT NOT NULL DEFAULT '' CHECK (microchip = '' OR (length(microchip) = 15 "
        "AND microchip NOT GLOB '*[^0-9]*')), chip_implanted TEXT, chip_registered TEXT, neutered "
        "INTEGER NOT NULL DEFAULT 0 CHECK (neutered IN (0, 1)), neutered_on TEXT, owner TEXT NOT NULL "
        "DEFAULT '', hereditary TEXT NOT NULL DEFAULT '', buyer_name TEXT NOT NULL DEFAULT '', "
        "buyer_address TEXT NOT NULL DEFAULT '', buyer_phone TEXT NOT NULL DEFAULT '', explained_on "
        "TEXT)"),
    QStringLiteral(
        "CREATE TABLE breed_text (kind TEXT PRIMARY KEY, body_size TEXT NOT NULL DEFAULT '', lifespan "
        "TEXT NOT NULL DEFAULT '', housing TEXT NOT NULL DEFAULT '', feeding TEXT NOT NULL DEFAULT '', "
        "exercise TEXT NOT NULL DEFAULT '', diseases TEXT NOT NULL DEFAULT '', neutering TEXT NOT NULL "
        "DEFAULT '', breeding_control TEXT NOT NULL DEFAULT '', regulations TEXT NOT NULL DEFAULT '')"),
    QStringLiteral("INSERT INTO chart_sale (record_number, microchip, chip_implanted, buyer_name) VALUES (5, "
                   "'392141000123456', '2026-04-01', '山田 花子')"),
    QStringLiteral("INSERT INTO breed_text (kind, lifespan) VALUES ('柴犬', '12〜15年')"),
    QStringLiteral("PRAGMA user_version = 1"),
};

// The test's own connection, apart from the store's, for looking at and writing a file directly.
class Raw
{
public:
    explicit Raw(const QString& path) : name(QStringLiteral("raw-%1").arg(next++))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        db.open();
    }
    ~Raw()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    // Runs every statement; the first column of the last one's first row.
    QVariant run(const QStringList& statements)
    {
        QVariant result;
        for (const QString& sql : statements) {
            QSqlQuery query(QSqlDatabase::database(name, false));
            if (!query.exec(sql))
                qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            result = query.next() ? query.value(0) : QVariant();
        }
        return result;
    }
    QVariant run(const QString& sql) { return run(QStringList{sql}); }

private:
    static inline std::atomic<int> next = 0;
    QString name;
};

QString schemaOf(const QString& path)
{
    return Raw(path)
        .run(
            QStringLiteral("SELECT group_concat(type || ' ' || name, ', ') FROM (SELECT * FROM sqlite_master "
                           "ORDER BY name)"))
        .toString();
}

ChartSale fullSale()
{
    ChartSale sale;
    sale.microchip = Chip;
    sale.chipImplanted = QDate(2026, 4, 1);
    sale.chipRegistered = QDate(2026, 4, 10);
    sale.neutered = true;
    sale.neuteredOn = QDate(2026, 5, 2);
    sale.owner = QStringLiteral("ブリーダー佐藤");
    sale.hereditary = QStringLiteral("親・同腹子とも\n発生なし");
    sale.buyerName = QStringLiteral("山田 花子");
    sale.buyerAddress = QStringLiteral("東京都新宿区1-2-3, \"ハイツ\"");
    sale.buyerPhone = QStringLiteral("03-1234-5678");
    sale.explainedOn = QDate(2026, 12, 7);
    return sale;
}

BreedTexts breedTexts(const QString& tag)
{
    BreedTexts texts;
    for (int item = BreedTexts::FirstItem; item <= BreedTexts::LastItem; ++item)
        texts.item(item) = QStringLiteral("%1 項目%2").arg(tag).arg(item);
    return texts;
}

PetRecord recordOfKind(const QString& kind)
{
    return SampleChart{.kind = kind}.record();
}

void writeRecords(int count)
{
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += recordWith({{16, sjis(QStringLiteral("犬%1").arg(n)).leftJustified(30, ' ')}});
    writeFileBytes(QStringLiteral("detapetto.dt"), bytes);
}

// The bytes of the file a snapshot writes.
QByteArray snapshotOf(const SaleStore& store)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("snapshot.db"));
    store.snapshot(path);
    return readFileBytes(path);
}

} // namespace

void TestSaleStore::init()
{
    dir = std::make_unique<Sandbox>();
}

void TestSaleStore::cleanup()
{
    dir.reset();
}

void TestSaleStore::newFileIsCreatedAtTheCurrentVersion_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::newRow("no file") << false;
    QTest::newRow("empty file") << true;
}

void TestSaleStore::newFileIsCreatedAtTheCurrentVersion()
{
    QFETCH(bool, fileExists);
    if (fileExists)
        writeFileBytes(DbName, {});
    SaleStore().open();
    Raw db(DbName);
    QCOMPARE(db.run(QStringLiteral("PRAGMA user_version")).toInt(), 5);
    QCOMPARE(db.run(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    QCOMPARE(
        schemaOf(DbName),
        QStringLiteral("table animal_stay, index animal_stay_chart, table breed_species, table breed_text, "
                       "table care_plan, table chart_sale, index chart_sale_microchip, table dealer, "
                       "table pending_change, table program_state, table species_text, "
                       "index sqlite_autoindex_breed_species_1, index sqlite_autoindex_breed_text_1, "
                       "index sqlite_autoindex_care_plan_1, index sqlite_autoindex_program_state_1, "
                       "index sqlite_autoindex_species_text_1, table stock_limit"));
}

void TestSaleStore::version1FileIsMigratedKeepingItsRows()
{
    Raw(DbName).run(Version1);
    SaleStore store;
    const ChartSale kept = store.chartSale(5);
    QCOMPARE(kept.microchip, Chip);
    QCOMPARE(kept.chipImplanted, QDate(2026, 4, 1));
    QCOMPARE(kept.buyerName, QStringLiteral("山田 花子"));
    QCOMPARE(store.breedTexts(QStringLiteral("柴犬")).item(3), QStringLiteral("12〜15年"));
    QCOMPARE(Raw(DbName).run(QStringLiteral("PRAGMA user_version")).toInt(), 5);
    // A row from before the program kept the animal counts as the chart's own.
    QVERIFY(!kept.animal);
    QVERIFY(kept.isFor(recordOfKind(QStringLiteral("チワワ"))));

    // What version 2 added works on the migrated file.
    store.saveDealerInfo({QStringLiteral("第123456号"), QStringLiteral("佐藤 一郎")});
    QCOMPARE(store.dealerInfo(), (DealerInfo{QStringLiteral("第123456号"), QStringLiteral("佐藤 一郎")}));
    QVERIFY(schemaOf(DbName).contains(QStringLiteral("index chart_sale_microchip")));
}

void TestSaleStore::failedMigrationLeavesTheFileAsItWas()
{
    // A step of the migration fails half-way: a table of that name is already there.
    Raw(DbName).run(Version1 + QStringList{QStringLiteral("CREATE TABLE dealer (x)")});
    const QString before = schemaOf(DbName);
    QVERIFY(!failureText([] { SaleStore().open(); }).isEmpty());
    QCOMPARE(schemaOf(DbName), before);
    QCOMPARE(Raw(DbName).run(QStringLiteral("PRAGMA user_version")).toInt(), 1);
}

void TestSaleStore::unusableFileIsRefusedUntouched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    {
        QTemporaryDir other;
        const QString path = other.filePath(DbName);
        Raw(path).run(
            QStringList{QStringLiteral("CREATE TABLE t (x)"), QStringLiteral("PRAGMA user_version = 6")});
        QTest::newRow("newer version")
            << readFileBytes(path)
            << QStringLiteral("新しいバージョンのソラニカで作られたデータベースです。 (soranika.db)");
    }
}

void TestSaleStore::unusableFileIsRefusedUntouched()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    writeFileBytes(DbName, bytes);
    QCOMPARE(failureText([] { SaleStore().chartSale(1); }), message);
    QCOMPARE(failureText([] { SaleStore().saveChartSale(1, fullSale()); }), message);
    QCOMPARE(readFileBytes(DbName), bytes);
}

void TestSaleStore::damagedFileIsSetAsideAndTheNextCallStartsANewOne_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("not a database") << QByteArray(8192, 'x');
    // A sound file of this program with every page but the first (its schema) overwritten.
    QByteArray torn;
    {
        QTemporaryDir other;
        SaleStore sound(other.filePath(DbName));
        for (qint32 number = 1; number <= 200; ++number)
            sound.saveChartSale(number, fullSale());
        torn = readFileBytes(sound.fileName());
        torn.replace(4096, torn.size() - 4096, QByteArray(torn.size() - 4096, '\xff'));
    }
    QTest::newRow("pages overwritten") << torn;
}

void TestSaleStore::damagedFileIsSetAsideAndTheNextCallStartsANewOne()
{
    QFETCH(QByteArray, bytes);
    writeFileBytes(DbName, bytes);

    // A backup's snapshot only reports the damage: nobody may be there to be told of a rename.
    try {
        snapshotOf(SaleStore());
        QFAIL("a damaged file gave a snapshot");
    } catch (const DamagedDatabase& damage) {
        QCOMPARE(damage.fileName(), DbName);
    }
    QCOMPARE(readFileBytes(DbName), bytes);

    SaleStore store;
    const QString failure = failureText([&] { store.chartSales(); });
    const QStringList kept = QDir().entryList({QStringLiteral("soranika-damaged-*.db")}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(failure, QStringLiteral("データベースが壊れていたため、%1 という名前に変えて残しました。"
                                     "もう一度操作すると、新しいデータベースで続けます。 (soranika.db)")
                          .arg(kept.first()));
    QCOMPARE(readFileBytes(kept.first()), bytes);

    store.saveChartSale(3, fullSale());
    QCOMPARE(store.chartSale(3), fullSale());
}

// A shop that never sold has no soranika.db; asking it about a chart must not make one. Once a sale
// is saved through the door, every part of it reads the same file.
void TestSaleStore::frontDoorReadsAShopWithoutTheFileWithoutMakingIt()
{
    ShopDatabase database;
    QCOMPARE(database.fileName(), QStringLiteral("soranika.db"));
    QVERIFY(!database.exists());
    QVERIFY(!database.storedOutcome(1));
    QVERIFY(!QFileInfo::exists(QStringLiteral("soranika.db")));

    ChartSale sale;
    sale.buyerName = QStringLiteral("山田");
    database.sales().saveChartSale(3, sale);
    QVERIFY(database.exists());
    QCOMPARE(SaleStore(QStringLiteral("soranika.db")).chartSale(3).buyerName, QStringLiteral("山田"));
    QVERIFY(!database.storedOutcome(3));
    QCOMPARE(database.carePlans().plans().size(), 0);
}

void TestSaleStore::chartSaleBreedTextsAndDealerRoundTrip()
{
    SaleStore store;
    QVERIFY(store.chartSale(4).isEmpty());
    store.saveChartSale(4, fullSale());
    const ChartSale second = buyerSale(QStringLiteral("鈴木"));
    store.saveChartSale(32767, second);
    QCOMPARE(store.chartSale(4), fullSale());
    QCOMPARE(store.chartSales(), (QMap<qint32, ChartSale>{{4, fullSale()}, {32767, second}}));

    // Clearing every field removes the row; a record number no file can hold is refused.
    store.saveChartSale(32767, ChartSale());
    QCOMPARE(store.chartSales().keys(), QList<qint32>{4});
    QCOMPARE(failureText([&] { store.saveChartSale(0, second); }),
             QStringLiteral("レコード番号が不正です。"));
    QCOMPARE(failureText([&] { store.saveChartSale(32768, second); }),
             QStringLiteral("オーバーフローしました。"));

    store.saveBreedTexts(QStringLiteral("柴犬"), breedTexts(QStringLiteral("柴")));
    store.saveBreedTexts(QStringLiteral("柴犬 "), breedTexts(QStringLiteral("空白つき")));
    QCOMPARE(store.breedTexts(QStringLiteral("柴犬")), breedTexts(QStringLiteral("柴")));
    QCOMPARE(store.breedTexts(QStringLiteral("柴犬 ")), breedTexts(QStringLiteral("空白つき")));
    store.saveBreedTexts(QStringLiteral("柴犬"), BreedTexts());
    QVERIFY(store.breedTexts(QStringLiteral("柴犬")).isEmpty());
    QCOMPARE(Raw(DbName).run(QStringLiteral("SELECT count(*) FROM breed_text")).toInt(), 1);

    // A text no backup could bring back is refused, and what was stored stays: 1 MB is taken, a byte more
    // is not (三 takes three bytes).
    BreedTexts large;
    large.item(2) = QString(1 << 20, QLatin1Char('a'));
    store.saveBreedTexts(QStringLiteral("大きい"), large);
    QCOMPARE(store.breedTexts(QStringLiteral("大きい")).item(2).size(), 1 << 20);
    BreedTexts tooLarge;
    tooLarge.item(2) = QString((1 << 20) - 2, QLatin1Char('a')) + QStringLiteral("三");
    QCOMPARE(failureText([&] { store.saveBreedTexts(QStringLiteral("大きい"), tooLarge); }),
             QStringLiteral("soranika.db に保存できません。1 つの欄に入れられるのは 1 MB までです。"));
    QCOMPARE(store.breedTexts(QStringLiteral("大きい")).item(2).size(), 1 << 20);

    QCOMPARE(store.dealerInfo(), DealerInfo());
    store.saveDealerInfo({QStringLiteral("東京都 第001号"), QString()});
    store.saveDealerInfo({QStringLiteral("東京都 第002号"), QStringLiteral("佐藤")});
    QCOMPARE(store.dealerInfo(), (DealerInfo{QStringLiteral("東京都 第002号"), QStringLiteral("佐藤")}));
}

// The row keeps the animal it was entered for; another animal under the same number is told apart.
void TestSaleStore::saleRowKnowsItsAnimal()
{
    PetRecord shiba = recordOfKind(QStringLiteral("柴犬"));
    shiba.BirthYear = 2026;
    shiba.BirthMonth = 9;
    shiba.BirthDay = 1;
    setText(shiba.PurchaseDate, QStringLiteral("2026/11/2"));
    QCOMPARE(SaleAnimal::of(shiba),
             (SaleAnimal{QStringLiteral("柴犬"), QStringLiteral("2026/9/1"), QStringLiteral("2026/11/2")}));

    SaleStore store;
    ChartSale sale = fullSale();
    sale.animal = SaleAnimal::of(shiba);
    store.saveChartSale(7, sale);
    QCOMPARE(store.chartSale(7), sale);
    QCOMPARE(
        Raw(DbName).run(QStringLiteral("SELECT animal_kind || '|' || animal_birth || '|' || animal_purchased "
                                       "FROM chart_sale WHERE record_number = 7")),
        QVariant(QStringLiteral("柴犬|2026/9/1|2026/11/2")));
    QVERIFY(store.chartSale(7).isFor(shiba));

    PetRecord other = shiba;
    setText(other.Kind, QStringLiteral("チワワ"));
    QVERIFY(!sale.isFor(other));
    other = shiba;
    other.BirthDay = 2;
    QVERIFY(!sale.isFor(other));
    other = shiba;
    setText(other.PurchaseDate, QStringLiteral("2026/11/3"));
    QVERIFY(!sale.isFor(other));
    QVERIFY(!sale.isFor(PetRecord{}));

    // An animal without any entered information is no row.
    ChartSale onlyAnimal;
    onlyAnimal.animal = SaleAnimal::of(shiba);
    QVERIFY(onlyAnimal.isEmpty());
    store.saveChartSale(7, onlyAnimal);
    QVERIFY(store.chartSales().isEmpty());

    // An empty chart's texts are stored as texts, never as the NULL of an older row.
    ChartSale forEmpty = fullSale();
    forEmpty.animal = SaleAnimal::of(PetRecord{});
    store.saveChartSale(8, forEmpty);
    QCOMPARE(store.chartSale(8).animal, std::optional<SaleAnimal>(SaleAnimal{}));
    QVERIFY(!store.chartSale(8).isFor(shiba));
}

void TestSaleStore::microchipNumbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty when refused
    QTest::addColumn<QString>("message");
    const QString length = QStringLiteral("マイクロチップ番号は15桁の数字です（入力は%1桁）。");
    const QString digits = QStringLiteral("マイクロチップ番号には数字だけを入力してください（15桁）。");
    QTest::newRow("15 digits") << Chip << Chip << QString();
    QTest::newRow("15 full-width digits")
        << QStringLiteral("３９２１４１０００１２３４５６") << Chip << QString();
    QTest::newRow("blanks around") << QStringLiteral(" 392141000123456　") << Chip << QString();
    QTest::newRow("14 digits") << QStringLiteral("39214100012345") << QString() << length.arg(14);
    QTest::newRow("16 digits") << QStringLiteral("3921410001234567") << QString() << length.arg(16);
    QTest::newRow("letters") << QStringLiteral("39214100012345A") << QString() << digits;
    QTest::newRow("grouped by spaces") << QStringLiteral("392 141 000 123 456") << Chip << QString();
    QTest::newRow("grouped by hyphens") << QStringLiteral("392-141-000-123-456") << Chip << QString();
    QTest::newRow("full-width groups")
        << QStringLiteral("３９２－１４１　０００ー１２３４５６") << Chip << QString();
    QTest::newRow("all zeros")
        << QStringLiteral("000 000 000 000 000") << QString()
        << QStringLiteral("マイクロチップ番号がすべて0です。チップの15桁の番号を入力してください。");
    QTest::newRow("other digits") << QStringLiteral("٣٩٢١٤١٠٠٠١٢٣٤٥٦") << QString() << digits;
}

void TestSaleStore::microchipNumbers()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    SaleStore store;
    ChartSale sale = fullSale();
    sale.microchip = QStringLiteral("999999999999999");
    store.saveChartSale(2, sale);

    sale.microchip = typed;
    QCOMPARE(failureText([&] { store.saveChartSale(2, sale); }), message);
    QCOMPARE(store.chartSale(2).microchip, stored.isEmpty() ? QStringLiteral("999999999999999") : stored);
    if (stored.isEmpty())
        QCOMPARE(failureText([&] { store.chartWithMicrochip(typed, 1); }), message);
    else
        QCOMPARE(Raw(DbName).run(QStringLiteral("SELECT microchip FROM chart_sale")).toString(), stored);
}

void TestSaleStore::sameMicrochipOnAnotherChartIsFound()
{
    SaleStore store;
    store.saveChartSale(7, chipSale(Chip));
    store.saveChartSale(3, chipSale(Chip));
    store.saveChartSale(5, chipSale(QStringLiteral("392141000999999")));

    QCOMPARE(store.chartWithMicrochip(QStringLiteral("３９２１４１０００１２３４５６"), 3),
             std::optional<qint32>(7));
    QCOMPARE(store.chartWithMicrochip(Chip, 7), std::optional<qint32>(3));
    QCOMPARE(store.chartWithMicrochip(Chip, 9), std::optional<qint32>(3));
    QCOMPARE(store.chartWithMicrochip(QStringLiteral("392141000999999"), 5), std::nullopt);
    QCOMPARE(store.chartWithMicrochip(QString(), 1), std::nullopt);
    QCOMPARE(
        Microchip::duplicateWarning(7),
        QStringLiteral("このマイクロチップ番号は、カルテ 7 番にも登録されています。このまま保存しますか？"));
}

void TestSaleStore::breedTextsAreFoundForAChartWhoseKindWasCut()
{
    // Sixteen full-width characters: the record's 30 bytes keep fifteen of them.
    const QString longKind = QStringLiteral("ウエストハイランドホワイトテリア");
    SaleStore store;
    store.saveBreedTexts(longKind, breedTexts(QStringLiteral("長い")));
    store.saveBreedTexts(QStringLiteral("柴犬"), breedTexts(QStringLiteral("柴")));
    QCOMPARE(store.breedTextsForChart(recordOfKind(longKind)), breedTexts(QStringLiteral("長い")));
    QCOMPARE(store.breedTextsForChart(recordOfKind(QStringLiteral("柴犬"))),
             breedTexts(QStringLiteral("柴")));
    QVERIFY(store.breedTextsForChart(recordOfKind(QStringLiteral("柴"))).isEmpty());
    QVERIFY(store.breedTextsForChart(PetRecord{}).isEmpty());
}

void TestSaleStore::deleteStoresTheBlankedRecordAndRemovesTheRow()
{
    writeRecords(3);
    SaleStore store;
    store.saveChartSale(2, fullSale());
    store.saveChartSale(3, fullSale());
    RecordFile records;
    const PetRecord blanked = recordOfKind(QString());

    AnimalOutcomes().deleteChart(records, 2, blanked, QDate(2026, 12, 8));
    QCOMPARE(store.chartSales().keys(), QList<qint32>{3});
    QCOMPARE(recordBytes(QStringLiteral("detapetto.dt"), 2), bytesOf(blanked));
    QCOMPARE(bytesOf(records.CurrentRecord), bytesOf(blanked));
}

void TestSaleStore::deleteWithAFailingRecordStoreChangesNeither_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("disk full in the middle of the record") << true;
    QTest::newRow("data file replaced by a directory") << false;
}

void TestSaleStore::deleteWithAFailingRecordStoreChangesNeither()
{
    QFETCH(bool, fullDisk);
    // Big enough that the database's shared-memory file fits under the limit.
    writeRecords(40);
    const QByteArray fileBefore = readFileBytes(QStringLiteral("detapetto.dt"));
    SaleStore store;
    store.saveChartSale(41, fullSale());
    if (!fullDisk) {
        QFile::remove(QStringLiteral("detapetto.dt"));
        QDir().mkdir(QStringLiteral("detapetto.dt"));
    }
    RecordFile records;
    records.CurrentRecord = recordOfKind(QStringLiteral("表示中"));

    QString message;
    {
        // Record 41 lies just past the end: only part of it would fit.
        const std::unique_ptr<FileSizeLimit> limit =
            fullDisk ? std::make_unique<FileSizeLimit>(fileBefore.size() + 500) : nullptr;
        message = failureText(
            [&] { AnimalOutcomes().deleteChart(records, 41, recordOfKind(QString()), QDate(2026, 12, 8)); });
    }
    QCOMPARE(message, fullDisk ? QStringLiteral("ファイルに書き込めません。 (detapetto.dt)")
                               : QStringLiteral("ファイルを開けません。 (detapetto.dt)"));
    QCOMPARE(store.chartSale(41), fullSale());
    QCOMPARE(tableText(records.CurrentRecord.Kind), QStringLiteral("表示中"));
    if (fullDisk)
        QCOMPARE(readFileBytes(QStringLiteral("detapetto.dt")), fileBefore);
    else
        QVERIFY(QFileInfo(QStringLiteral("detapetto.dt")).isDir());
}

void TestSaleStore::deleteWhoseCommitFailsPutsTheRecordBack()
{
    writeRecords(3);
    const QByteArray fileBefore = readFileBytes(QStringLiteral("detapetto.dt"));
    SaleStore store;
    store.saveChartSale(2, fullSale());
    RecordFile records;
    records.CurrentRecord = recordOfKind(QStringLiteral("表示中"));

    QString message;
    {
        // Another connection keeps the log and its shared memory open and empty; the record (within the
        // file) can be written under the limit, the commit's page in the log cannot.
        Raw other(DbName);
        QCOMPARE(other.run(QStringLiteral("SELECT count(*) FROM chart_sale")).toInt(), 1);
        FileSizeLimit limit(fileBefore.size() + 1000);
        message = failureText(
            [&] { AnimalOutcomes().deleteChart(records, 2, recordOfKind(QString()), QDate(2026, 12, 8)); });
    }
    QCOMPARE(message, QStringLiteral("ディスクの読み書きに失敗しました。 (soranika.db)"));
    QCOMPARE(readFileBytes(QStringLiteral("detapetto.dt")), fileBefore);
    QCOMPARE(tableText(records.CurrentRecord.Kind), QStringLiteral("表示中"));
    QCOMPARE(store.chartSale(2), fullSale());
}

void TestSaleStore::snapshotHoldsWhatIsCommittedWhileAnotherConnectionWrites()
{
    SaleStore store;
    store.saveChartSale(1, fullSale());
    Raw writer(DbName);
    // Committed, but only in the write-ahead log while the writer keeps the file open...
    writer.run(
        QStringLiteral("INSERT INTO chart_sale (record_number, buyer_name) VALUES (2, 'コミット済み')"));
    // ...and a transaction under way.
    writer.run(
        QStringList{QStringLiteral("BEGIN IMMEDIATE"),
                    QStringLiteral("INSERT INTO chart_sale (record_number, buyer_name) VALUES (3, '途中')")});

    const QByteArray snapshot = snapshotOf(store);
    writer.run(QStringLiteral("COMMIT"));

    QTemporaryDir other;
    writeFileBytes(other.filePath(QStringLiteral("copy.db")), readFileBytes(DbName));
    QCOMPARE(Raw(other.filePath(QStringLiteral("copy.db")))
                 .run(QStringLiteral("SELECT count(*) FROM chart_sale"))
                 .toInt(),
             1); // what a plain copy of the file would have missed
    writeFileBytes(other.filePath(DbName), snapshot);
    const SaleStore copy(other.filePath(DbName));
    QCOMPARE(copy.chartSales().keys(), (QList<qint32>{1, 2}));
    QCOMPARE(copy.chartSale(1), fullSale());
}

void TestSaleStore::snapshotsWhileAnotherThreadWritesAreWhole()
{
    SaleStore store;
    store.open();
    std::atomic<bool> stop = false;
    std::atomic<int> written = 0;
    const QString path = QDir::current().filePath(DbName);
    // Two rows in each transaction: a snapshot that caught half of one would hold an odd count.
    std::unique_ptr<QThread> writer(QThread::create([&] {
        Raw db(path);
        for (int n = 1; !stop && n < 16000; n += 2) {
            db.run(
                QStringList{QStringLiteral("BEGIN IMMEDIATE"),
                            QStringLiteral("INSERT INTO chart_sale (record_number) VALUES (%1)").arg(n),
                            QStringLiteral("INSERT INTO chart_sale (record_number) VALUES (%1)").arg(n + 1),
                            QStringLiteral("COMMIT")});
            ++written;
        }
    }));
    writer->start();
    const auto finish = qScopeGuard([&] {
        stop = true;
        writer->wait();
    });
    QTRY_VERIFY(written > 0);

    QTemporaryDir other;
    int previous = 0;
    for (int i = 0; i < 10; ++i) {
        writeFileBytes(other.filePath(DbName), snapshotOf(store));
        Raw copy(other.filePath(DbName));
        QCOMPARE(copy.run(QStringLiteral("PRAGMA quick_check")).toString(), QStringLiteral("ok"));
        const int count = copy.run(QStringLiteral("SELECT count(*) FROM chart_sale")).toInt();
        QCOMPARE(count % 2, 0);
        QVERIFY(count >= previous);
        previous = count;
    }
}

void TestSaleStore::restoreBringsBackTheSnapshot()
{
    SaleStore store;
    store.saveChartSale(4, fullSale());
    store.saveBreedTexts(QStringLiteral("柴犬"), breedTexts(QStringLiteral("柴")));
    store.saveDealerInfo({QStringLiteral("第1号"), QStringLiteral("佐藤")});
    const QByteArray snapshot = snapshotOf(store);

    ChartSale changed = fullSale();
    changed.buyerName = QStringLiteral("別の人");
    store.saveChartSale(4, changed);
    store.saveChartSale(9, changed);
    store.saveBreedTexts(QStringLiteral("柴犬"), BreedTexts());
    store.saveBreedTexts(QStringLiteral("プードル"), breedTexts(QStringLiteral("プ")));
    store.saveDealerInfo({});

    store.checkSnapshot(snapshot);
    store.restoreSnapshot(snapshot);
    QCOMPARE(store.chartSales(), (QMap<qint32, ChartSale>{{4, fullSale()}}));
    QCOMPARE(store.breedTexts(QStringLiteral("柴犬")), breedTexts(QStringLiteral("柴")));
    QVERIFY(store.breedTexts(QStringLiteral("プードル")).isEmpty());
    QCOMPARE(store.dealerInfo(), (DealerInfo{QStringLiteral("第1号"), QStringLiteral("佐藤")}));
}

void TestSaleStore::restoreOfAVersion1SnapshotBringsItUpToDate()
{
    QTemporaryDir other;
    Raw(other.filePath(DbName)).run(Version1);
    SaleStore store;
    store.saveDealerInfo({QStringLiteral("第1号"), QStringLiteral("佐藤")});
    store.restoreSnapshot(readFileBytes(other.filePath(DbName)));
    QCOMPARE(store.chartSales().keys(), QList<qint32>{5});
    QCOMPARE(store.dealerInfo(), DealerInfo());
    QCOMPARE(Raw(DbName).run(QStringLiteral("PRAGMA user_version")).toInt(), 5);
}

void TestSaleStore::refusedSnapshotChangesNothing_data()
{
    QTest::addColumn<int>("damage");
    QTest::addColumn<QString>("message");
    const QString damaged = QStringLiteral("データベースが壊れています。 (バックアップの soranika.db)");
    QTest::newRow("not a database") << 0 << damaged;
    QTest::newRow("cut short") << 1 << damaged;
    QTest::newRow("a page overwritten") << 2 << damaged;
    QTest::newRow("newer version")
        << 3
        << QStringLiteral(
               "新しいバージョンのソラニカで作られたデータベースです。 (バックアップの soranika.db)");
}

void TestSaleStore::refusedSnapshotChangesNothing()
{
    QFETCH(int, damage);
    QFETCH(QString, message);
    SaleStore store;
    store.open();
    // Enough rows for several pages, so damage to the end of the file hits the table.
    QStringList rows{QStringLiteral("BEGIN")};
    for (int n = 1; n <= 300; ++n)
        rows.append(
            QStringLiteral("INSERT INTO chart_sale (record_number, buyer_name) VALUES (%1, '購入者の名前')")
                .arg(n));
    Raw(DbName).run(rows + QStringList{QStringLiteral("COMMIT")});
    QByteArray snapshot = snapshotOf(store);
    store.saveChartSale(301, fullSale());

    if (damage == 0) {
        snapshot = QByteArray("PK\x03\x04 not a database");
    } else if (damage == 1) {
        snapshot.truncate(snapshot.size() / 2);
    } else if (damage == 2) {
        snapshot.replace(snapshot.size() - 4096, 4096, QByteArray(4096, '\x5a'));
    } else {
        QTemporaryDir other;
        writeFileBytes(other.filePath(DbName), snapshot);
        Raw(other.filePath(DbName)).run(QStringLiteral("PRAGMA user_version = 6"));
        snapshot = readFileBytes(other.filePath(DbName));
    }
    QCOMPARE(failureText([&] { store.checkSnapshot(snapshot); }), message);
    QCOMPARE(failureText([&] { store.restoreSnapshot(snapshot); }), message);
    QCOMPARE(store.chartSales().size(), 301);
}

QTEST_GUILESS_MAIN(TestSaleStore)
#include "test_salestore.moc"
