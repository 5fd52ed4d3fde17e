#include "sale/ChipDeadlines.h"
#include "sale/ExplanationSheet.h"
#include "sale/SalesLedger.h"
#include "store/AnimalOutcomes.h"
#include "store/Csv.h"
#include "store/Failure.h"
#include "store/RecordFile.h"
#include "store/SaleStore.h"
#include "store/ShopDatabase.h"
#include "store/ShopSettings.h"
#include "support/CsvReader.h"
#include "support/FileSizeLimit.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"
#include "support/Sandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <cstring>
#include <memory>
#include <utility>

Q_DECLARE_METATYPE(ChipDates)

// The sales ledger and its CSV, and the items of the sale-time explanation sheet.
class TestSale : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void ledgerHoldsChartsWithASaleDateOrABuyer();
    void ledgerCsvReadsBack();
    void failedCsvSaveLeavesNoHalfFile_data();
    void failedCsvSaveLeavesNoHalfFile();
    void explanationItemsComeFromChartSaleAndBreed();
    void explanationOfAnEmptyChartShowsEveryGap();
    void explanationSheetOfTheShopsFiles();
    void chipDeadlines_data();
    void chipDeadlines();

private:
    std::unique_ptr<Sandbox> dir;
};

namespace {

PetRecord chart(const QString& kind, const QString& saleDate)
{
    return SampleChart{
        .kind = kind, .born = QDate(2024, 4, 1), .sex = QStringLiteral("オス"), .sold = saleDate}
        .record();
}

const QString Awkward = QStringLiteral("東京都新宿区1-2-3, \"ハイツ\" 101\n（裏口）");

} // namespace

void TestSale::init()
{
    dir = std::make_unique<Sandbox>();
}

void TestSale::cleanup()
{
    dir.reset();
}

void TestSale::ledgerHoldsChartsWithASaleDateOrABuyer()
{
    std::vector<PetRecord> records(6);
    records[0] = chart(QStringLiteral("柴犬"), QStringLiteral("2026/12/1"));
    records[1] = chart(QStringLiteral("在庫の犬"), QString());
    records[2] = chart(QStringLiteral("トイプードル"), QString());
    records[2].BirthYear = 0;
    std::memcpy(records[3].SaleDate.data(), "12/5\0old", 8); // the screen shows up to the zero byte
    records[4] = chart(QStringLiteral("チップだけ"), QStringLiteral("   "));
    const ChartSale chipOnly = chipSale(QStringLiteral("392141000123456"));
    ChartSale sold = buyerSale(QStringLiteral("山田 花子"), Awkward);
    sold.microchip = chipOnly.microchip;
    sold.buyerPhone = QStringLiteral("03-1234-5678");
    sold.explainedOn = QDate(2026, 11, 30);
    const QMap<qint32, ChartSale> sales{{1, sold},
                                        {3, buyerSale(QStringLiteral("鈴木"))},
                                        {5, chipOnly},
                                        {40, buyerSale(QStringLiteral("記録の先"))}};

    const QList<LedgerRow> expected{
        {1, QStringLiteral("柴犬"), QStringLiteral("オス"), QStringLiteral("2024/4/1"), chipOnly.microchip,
         QStringLiteral("2026/12/1"), QStringLiteral("山田 花子"), Awkward, QStringLiteral("03-1234-5678"),
         QStringLiteral("2026/11/30")},
        {3, QStringLiteral("トイプードル"), QStringLiteral("オス"), QString(), QString(), QString(),
         QStringLiteral("鈴木"), QString(), QString(), QString()},
        {4, QString(), QString(), QString(), QString(), QStringLiteral("12/5"), QString(), QString(),
         QString(), QString()},
        {40, QString(), QString(), QString(), QString(), QString(), QStringLiteral("記録の先"), QString(),
         QString(), QString()},
    };
    QCOMPARE(SalesLedger::rows(records, sales), expected);
}

void TestSale::ledgerCsvReadsBack()
{
    RecordFile records;
    records.StoreRecord(1, chart(QStringLiteral("柴犬"), QStringLiteral("2026/12/1")));
    records.StoreRecord(2, chart(QStringLiteral("\"豆\"柴,赤"), QString()));
    SaleStore store;
    store.saveChartSale(
        2, buyerSale(QStringLiteral("山田\n花子"), Awkward)); // a line break alone needs quotes too

    const QList<LedgerRow> rows = SalesLedger::load(records, store);
    QCOMPARE(rows.size(), 2);
    Csv::save(QStringLiteral("台帳.csv"), SalesLedger::table(rows));
    const QByteArray bytes = readFileBytes(QStringLiteral("台帳.csv"));
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(bytes.count("\r\n"), 3);
    QVERIFY(bytes.contains(QStringLiteral("\"\"\"豆\"\"柴,赤\"").toUtf8()));

    const QList<QStringList> read = readCsv(QString::fromUtf8(bytes.mid(3)));
    QCOMPARE(read.value(0), (QStringList{"番号", "種類", "性別", "生年月日", "マイクロチップ番号", "販売日",
                                         "購入者氏名", "住所", "電話", "説明書交付日"}));
    QCOMPARE(read.value(1), (QStringList{QStringLiteral("1"), QStringLiteral("柴犬"), QStringLiteral("オス"),
                                         QStringLiteral("2024/4/1"), QString(), QStringLiteral("2026/12/1"),
                                         QString(), QString(), QString(), QString()}));
    QCOMPARE(read.value(2), rows.at(1).columns());
    QCOMPARE(read.value(2).at(7), Awkward);
    QCOMPARE(read.size(), 3);
}

void TestSale::failedCsvSaveLeavesNoHalfFile_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("missing folder") << QStringLiteral("ない/台帳.csv") << false;
    QTest::newRow("disk full") << QStringLiteral("台帳.csv") << true;
}

void TestSale::failedCsvSaveLeavesNoHalfFile()
{
    QFETCH(QString, fileName);
    QFETCH(bool, fullDisk);
    const QList<QStringList> rows(2000, QStringList{QStringLiteral("長い値"), Awkward});
    if (fullDisk)
        writeFileBytes(fileName, "old");
    QString message;
    try {
        const std::unique_ptr<FileSizeLimit> limit =
            fullDisk ? std::make_unique<FileSizeLimit>(10000) : nullptr;
        Csv::save(fileName, rows);
    } catch (const Failure& failure) {
        message = failure.description();
    }
    QCOMPARE(message, QStringLiteral("ファイルに書き込めません。 (%1)").arg(QFileInfo(fileName).fileName()));
    QCOMPARE(QDir().entryList(QDir::Files).filter(QStringLiteral("台帳")),
             fullDisk ? QStringList{fileName} : QStringList());
    if (fullDisk)
        QCOMPARE(readFileBytes(fileName), QByteArray("old"));
}

void TestSale::explanationItemsComeFromChartSaleAndBreed()
{
    PetRecord record = chart(QStringLiteral("柴犬"), QString());
    setText(record.Sex, QStringLiteral("メス"));
    setText(record.Birthplace, QStringLiteral("長野県"));
    setText(record.Medication1, QStringLiteral("2024年5月1日   混合ワクチン   済み"));
    setText(record.Medication3, QStringLiteral("2024年6月1日   狂犬病   済み"));
    ChartSale sale;
    sale.microchip = QStringLiteral("392141000123456");
    sale.chipImplanted = QDate(2024, 5, 10);
    sale.chipRegistered = QDate(2024, 5, 20);
    sale.chipCertificateOn = QDate(2024, 6, 2);
    sale.breederName = QStringLiteral("佐藤ケネル");
    sale.breederReg = QStringLiteral("長野県 第21号");
    sale.neutered = true;
    sale.neuteredOn = QDate(2024, 9, 3);
    sale.owner = QStringLiteral("ブリーダー佐藤");
    sale.hereditary = QStringLiteral("発生なし");
    BreedTexts breed;
    for (int item = BreedTexts::FirstItem; item <= BreedTexts::LastItem; ++item)
        breed.item(item) = QStringLiteral("柴犬の項目%1").arg(item);
    breed.item(7) = QString();

    // Each item: its number, its title in the words of the law, and what this chart gives it.
    const QList<SheetItem> expected{
        {1, QStringLiteral("品種等の名称"), QStringLiteral("柴犬")},
        {2, QStringLiteral("性成熟時の標準体重・標準体長その他の体の大きさ"), QStringLiteral("柴犬の項目2")},
        {3, QStringLiteral("平均寿命その他の飼養期間"), QStringLiteral("柴犬の項目3")},
        {4, QStringLiteral("飼養施設の構造及び規模"), QStringLiteral("柴犬の項目4")},
        {5, QStringLiteral("給餌及び給水の方法"), QStringLiteral("柴犬の項目5")},
        {6, QStringLiteral("運動及び休養の方法"), QStringLiteral("柴犬の項目6")},
        {7, QStringLiteral("主な人と動物の共通感染症その他かかるおそれの高い疾病の種類及びその予防方法"),
         QStringLiteral("—")},
        {8, QStringLiteral("不妊又は去勢の措置の方法及びその費用"), QStringLiteral("柴犬の項目8")},
        {9, QStringLiteral("その他みだりな繁殖を制限するための措置"), QStringLiteral("柴犬の項目9")},
        {10, QStringLiteral("遺棄の禁止その他関係法令による規制の内容"), QStringLiteral("柴犬の項目10")},
        {11, QStringLiteral("性別の判定結果"), QStringLiteral("メス")},
        {12, QStringLiteral("生年月日"), QStringLiteral("2024/4/1")},
        {13, QStringLiteral("不妊又は去勢の措置の実施状況"), QStringLiteral("実施済み（2024/9/3）")},
        {14, QStringLiteral("繁殖者の氏名又は名称及び登録番号又は所在地"),
         QStringLiteral("佐藤ケネル　長野県 第21号")},
        {15, QStringLiteral("所有者の氏名"), QStringLiteral("ブリーダー佐藤")},
        {16, QStringLiteral("病歴・ワクチンの接種状況等"),
         QStringLiteral("2024年5月1日   混合ワクチン   済み\n2024年6月1日   狂犬病   済み")},
        {17, QStringLiteral("親及び同腹子に係る遺伝性疾患の発生状況"), QStringLiteral("発生なし")},
        {18, QStringLiteral("その他必要な事項"),
         QStringLiteral("マイクロチップ番号 392141000123456、装着日 2024/5/10、登録日 2024/5/20、"
                        "登録証明書の交付日 2024/6/2")},
    };
    const QList<SheetItem> items = Explanation::items(record, sale, breed);
    QCOMPARE(items.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(items.at(i), expected.at(i));

    sale.neutered = false;
    QCOMPARE(Explanation::items(record, sale, breed).at(12).value, QStringLiteral("未実施"));
    // The birthplace on the chart is not the breeder; an imported animal's exporter goes in the same fields.
    sale.breederReg = QString();
    QCOMPARE(Explanation::items(record, sale, breed).at(13).value, QStringLiteral("佐藤ケネル"));
    sale.breederName = QString();
    QCOMPARE(Explanation::items(record, sale, breed).at(13).value, QStringLiteral("—"));
}

void TestSale::explanationOfAnEmptyChartShowsEveryGap()
{
    for (const SheetItem& item : Explanation::items(PetRecord{}, ChartSale(), BreedTexts()))
        QCOMPARE(item.value, QStringLiteral("—"));
    PetRecord blanked{};
    setText(blanked.Kind, QString());
    setText(blanked.Medication2, QStringLiteral("  "));
    QCOMPARE(Explanation::items(blanked, ChartSale(), BreedTexts()).at(0).value, QStringLiteral("—"));
    QCOMPARE(Explanation::items(blanked, ChartSale(), BreedTexts()).at(15).value, QStringLiteral("—"));
}

void TestSale::explanationSheetOfTheShopsFiles()
{
    ShopSettings::save(ShopSettings::Keys[0], QStringLiteral("ペットショップそら"));
    ShopSettings::save(ShopSettings::Keys[1], QStringLiteral("03-0000-0000"));
    ShopSettings::save(ShopSettings::Keys[2], QStringLiteral("東京都"));
    ShopDatabase database;
    SaleStore& store = database.sales();
    store.saveDealerInfo({QStringLiteral("東京都 第123号"), QStringLiteral("佐藤")});
    store.saveChartSale(7, chipSale(QStringLiteral("３９２１４１０００１２３４５６")));
    BreedTexts breed;
    breed.item(3) = QStringLiteral("12〜15年");
    store.saveBreedTexts(QStringLiteral("柴犬"), breed);

    const ExplanationSheet sheet = Explanation::load(7, chart(QStringLiteral("柴犬"), QString()), database);
    QCOMPARE(sheet.shopName, QStringLiteral("ペットショップそら"));
    QCOMPARE(sheet.shopPhone, QStringLiteral("03-0000-0000"));
    QCOMPARE(sheet.shopAddress, QStringLiteral("東京都"));
    QCOMPARE(sheet.dealer, (DealerInfo{QStringLiteral("東京都 第123号"), QStringLiteral("佐藤")}));
    QCOMPARE(sheet.recordNumber, 7);
    QCOMPARE(sheet.microchip, QStringLiteral("392141000123456"));
    QCOMPARE(sheet.items.at(2).value, QStringLiteral("12〜15年"));
    QCOMPARE(sheet.items.at(12).value, QStringLiteral("未実施"));
    QCOMPARE(Explanation::load(8, PetRecord{}, database).microchip, QStringLiteral("—"));

    // A dog's empty items take the dogs' default; the breed's own text wins; cats' defaults stay apart.
    database.outcomes().saveSpecies({{QStringLiteral("柴犬"), Species::Dog}});
    BreedTexts dogs;
    dogs.item(3) = QStringLiteral("犬の寿命");
    dogs.item(5) = QStringLiteral("1日2回");
    dogs.item(7) = QStringLiteral("狂犬病");
    store.saveSpeciesTexts(QStringLiteral("犬"), dogs);
    BreedTexts cats;
    cats.item(6) = QStringLiteral("室内で遊ばせる");
    store.saveSpeciesTexts(QStringLiteral("猫"), cats);
    const ExplanationSheet withDefaults =
        Explanation::load(7, chart(QStringLiteral("柴犬"), QString()), database);
    QCOMPARE(withDefaults.items.at(2).value, QStringLiteral("12〜15年"));
    QCOMPARE(withDefaults.items.at(4).value, QStringLiteral("1日2回"));
    QCOMPARE(withDefaults.items.at(5).value, QStringLiteral("—"));
    QCOMPARE(withDefaults.items.at(6).value, QStringLiteral("狂犬病"));
    QCOMPARE(Explanation::defaultsNote(withDefaults),
             QStringLiteral("項目 5・7 は「犬」の標準の説明文です（事業者情報で設定）。"));
    QCOMPARE(Explanation::defaultsNote(
                 Explanation::load(8, chart(QStringLiteral("ハムスター"), QString()), database)),
             QString());
}

void TestSale::chipDeadlines_data()
{
    QTest::addColumn<ChipDates>("dates");
    QTest::addColumn<QString>("expected"); // 装着 or 登録 and the last day, or empty for none
    const QDate none;
    QTest::newRow("bought at 151 days: 30 days from buying")
        << ChipDates{QDate(2026, 1, 1), QDate(2026, 6, 1), none, none, none} << "装着 2026/7/1";
    QTest::newRow("bought at 49 days: 30 days from the 90th day")
        << ChipDates{QDate(2026, 9, 1), QDate(2026, 10, 20), none, none, none} << "装着 2026/12/30";
    QTest::newRow("bought on its 90th day")
        << ChipDates{QDate(2026, 3, 1), QDate(2026, 5, 30), none, none, none} << "装着 2026/6/29";
    QTest::newRow("bought on its 89th day")
        << ChipDates{QDate(2026, 3, 1), QDate(2026, 5, 29), none, none, none} << "装着 2026/6/29";
    QTest::newRow("bought on its 91st day")
        << ChipDates{QDate(2026, 3, 1), QDate(2026, 5, 31), none, none, none} << "装着 2026/6/30";
    QTest::newRow("born in the shop: no purchase day")
        << ChipDates{QDate(2026, 9, 1), none, none, none, none} << "装着 2026/12/30";
    QTest::newRow("handed over before the day")
        << ChipDates{QDate(2026, 9, 1), QDate(2026, 10, 20), none, none, QDate(2026, 11, 15)}
        << "装着 2026/11/15";
    QTest::newRow("handed over after the day")
        << ChipDates{QDate(2026, 1, 1), QDate(2026, 6, 1), none, none, QDate(2026, 7, 2)} << "装着 2026/7/1";
    QTest::newRow("implanted: 30 days to register")
        << ChipDates{QDate(2026, 9, 1), QDate(2026, 10, 20), QDate(2026, 11, 2), none, none}
        << "登録 2026/12/2";
    QTest::newRow("implanted, handed over before registering")
        << ChipDates{QDate(2026, 9, 1), QDate(2026, 10, 20), QDate(2026, 11, 2), none, QDate(2026, 11, 20)}
        << "登録 2026/11/20";
    QTest::newRow("implanted and registered")
        << ChipDates{QDate(2026, 9, 1), QDate(2026, 10, 20), QDate(2026, 11, 2), QDate(2026, 11, 3), none}
        << "";
    QTest::newRow("bought the day the duty began")
        << ChipDates{QDate(2022, 1, 1), QDate(2022, 6, 1), none, none, none} << "装着 2022/7/1";
    QTest::newRow("bought the day before")
        << ChipDates{QDate(2022, 1, 1), QDate(2022, 5, 31), none, none, none} << "";
    QTest::newRow("bought, birth day unknown")
        << ChipDates{none, QDate(2026, 10, 20), none, none, none} << "装着 2026/11/19";
    QTest::newRow("no day reads") << ChipDates{} << "";
}

void TestSale::chipDeadlines()
{
    QFETCH(ChipDates, dates);
    QFETCH(QString, expected);
    const std::optional<ChipDeadline> deadline = chipDeadline(dates);
    const QString shown =
        deadline ? (deadline->step == ChipStep::Implant ? QStringLiteral("装着 ") : QStringLiteral("登録 ")) +
                       deadline->due.toString(QStringLiteral("yyyy/M/d"))
                 : QString();
    QCOMPARE(shown, expected);
}

QTEST_GUILESS_MAIN(TestSale)
#include "test_sale.moc"
