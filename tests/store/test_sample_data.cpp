#include "store/AnimalOutcomes.h"
#include "store/CarePlans.h"
#include "store/DisplayText.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/ShopSettings.h"
#include "support/PickListNames.h"
#include "support/Sandbox.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

// The demo shop of scripts/make-sample-data, read back by the program's own store: its Python code
// page 932 and record layout must agree with what the program reads.
class TestSampleData : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { dir.reset(); }

    void chartsReadBackAsWritten();
    void everyPickListIsThere();
    void shopDetailsComeFromTheFoldersOwnStore();
    void existingChartsAreNotWrittenOver();
    void windowsSettingsHoldTheSameShop();
    void breedsAreDogsAndCats();
    void carePlansAreForDogsOrCats();

private:
    int runScript(const QStringList& arguments);
    std::unique_ptr<Sandbox> dir;
};

int TestSampleData::runScript(const QStringList& arguments)
{
    QProcess script;
    script.start(QStringLiteral("python3"),
                 QStringList{QStringLiteral(SORANIKA_SOURCE_DIR "/scripts/make-sample-data")} + arguments);
    if (!script.waitForFinished(30000) || script.exitStatus() != QProcess::NormalExit)
        return -1;
    return script.exitCode();
}

void TestSampleData::initTestCase()
{
    dir = std::make_unique<Sandbox>();
    QCOMPARE(runScript({dir->path(), QStringLiteral("--config"), dir->filePath(QStringLiteral("settings")),
                        QStringLiteral("--tools"),
                        QCoreApplication::applicationDirPath() + QStringLiteral("/../..")}),
             0);
}

void TestSampleData::chartsReadBackAsWritten()
{
    RecordFile records;
    const std::vector<PetRecord> charts = records.loadAllRecords();
    QCOMPARE(charts.size(), std::size_t(36));
    QVERIFY(std::none_of(charts.begin(), charts.end(), isFreeRecord));

    const PetRecord& first = charts.front();
    QCOMPARE(birthDateText(first), QStringLiteral("2026/9/12"));
    QCOMPARE(tableText(first.Kind), QStringLiteral("トイ・プードル"));
    QCOMPARE(tableText(first.CoatColour), QStringLiteral("アプリコット"));
    QCOMPARE(tableText(first.Medication1), QStringLiteral("2026年10月24日   混合ワクチン（5種）   済み"));
    QCOMPARE(tableText(first.Memo3), QStringLiteral("11/20 シャンプー・爪切り済み"));
    const float saleWeight = first.SaleWeight; // the record is packed: read the field by value
    QCOMPARE(saleWeight, 0.95f);
    QCOMPARE(tableText(first.PurchaseCost), QStringLiteral("120,000円"));
    // Fields are padded with spaces as the program pads them, never left as zeros.
    QCOMPARE(fieldText(first.Memo6), QString(70, u' '));

    const auto sold = std::count_if(charts.begin(), charts.end(), [](const PetRecord& chart) {
        return !tableText(chart.SaleDate).isEmpty();
    });
    QCOMPARE(sold, 12);
    records.LoadRecord(37);
    QVERIFY(isFreeRecord(records.CurrentRecord));
}

void TestSampleData::everyPickListIsThere()
{
    for (const QString& name : PickListNames)
        QVERIFY2(QFile::exists(name), qPrintable(name));
    QVERIFY(PickListFile::readItems(QStringLiteral("syurui.txt")).contains(QStringLiteral("柴犬")));
    QCOMPARE(PickListFile::readItems(QStringLiteral("tokucyou.txt")).size(), 5);
    QCOMPARE(PickListFile::readItems(QStringLiteral("kusuri.txt")).first(),
             QStringLiteral("混合ワクチン（5種）"));
}

void TestSampleData::shopDetailsComeFromTheFoldersOwnStore()
{
    QCOMPARE(ShopSettings::get(ShopSettings::Keys[0]), QStringLiteral("ペットショップ ソラ 桜新町店"));
    QCOMPARE(ShopSettings::get(ShopSettings::Keys[3]), QStringLiteral("毎週水曜定休　営業時間 10:00～19:00"));
}

void TestSampleData::existingChartsAreNotWrittenOver()
{
    const QByteArray before = [] {
        QFile file(QStringLiteral("detapetto.dt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QVERIFY(runScript({dir->path()}) > 0);
    QFile file(QStringLiteral("detapetto.dt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

// The Windows build reads an INI file in %APPDATA%\\soranika, whatever the shop's folder; a shop's own
// file there is never written over.
void TestSampleData::windowsSettingsHoldTheSameShop()
{
    QTemporaryDir other;
    QVERIFY(other.isValid());
    const QString appData = other.filePath(QStringLiteral("AppData/Roaming"));
    const QString ini = appData + QStringLiteral("/soranika/soranika.ini");
    QCOMPARE(runScript({other.filePath(QStringLiteral("shop")), QStringLiteral("--appdata"), appData}), 0);
    {
        const QSettings windows(ini, QSettings::IniFormat);
        QCOMPARE(windows.value(QStringLiteral("mysave1/myd1")).toString(),
                 QStringLiteral("ペットショップ ソラ 桜新町店"));
        QCOMPARE(windows.value(QStringLiteral("mysave1/myd2")).toString(), QStringLiteral("03-1234-5678"));
        QCOMPARE(windows.value(QStringLiteral("mysave1/myd4")).toString(),
                 QStringLiteral("毎週水曜定休　営業時間 10:00～19:00"));
    }

    QFile own(ini);
    QVERIFY(own.open(QIODevice::WriteOnly | QIODevice::Truncate));
    own.write("[mysave1]\nmyd1=\"\xe8\x87\xaa\xe5\xba\x97\"\n");
    own.close();
    QVERIFY(runScript({other.filePath(QStringLiteral("second")), QStringLiteral("--appdata"), appData}) > 0);
    QVERIFY(!QFile::exists(other.filePath(QStringLiteral("second/detapetto.dt"))));
    QCOMPARE(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("mysave1/myd1")).toString(),
             QStringLiteral("自店"));
}

void TestSampleData::breedsAreDogsAndCats()
{
    const QMap<QString, Species> species = AnimalOutcomes().allSpecies();
    QCOMPARE(species.size(), 16);
    QCOMPARE(species.value(QStringLiteral("豆柴")), Species::Dog);
    QCOMPARE(species.value(QStringLiteral("トイ・プードル")), Species::Dog);
    QCOMPARE(species.value(QStringLiteral("マンチカン")), Species::Cat);
    QCOMPARE(species.value(QStringLiteral("スコティッシュ・フォールド")), Species::Cat);
}

void TestSampleData::carePlansAreForDogsOrCats()
{
    const QList<CarePlan> plans = CarePlans().plans();
    QCOMPARE(plans.size(), 5);
    QVERIFY(plans.contains(CarePlan{QStringLiteral("混合ワクチン（5種）"), 28, 56, 3, CareFor::Dog, {}}));
    QVERIFY(plans.contains(CarePlan{QStringLiteral("混合ワクチン（3種）"),
                                    28,
                                    56,
                                    3,
                                    CareFor::Cat,
                                    {QStringLiteral("混合ワクチン（5種）")}}));
    QVERIFY(plans.contains(CarePlan{QStringLiteral("駆虫薬"), 14, {}, 2, CareFor::All, {}}));
}

QTEST_GUILESS_MAIN(TestSampleData)
#include "test_sample_data.moc"
