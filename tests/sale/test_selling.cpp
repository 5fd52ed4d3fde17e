#include "chartlist/ChartRows.h"
#include "sale/RecordBook.h"
#include "sale/YearlyCount.h"
#include "store/AnimalOutcomes.h"
#include "store/PetRecord.h"
#include "store/RecordFile.h"
#include "store/SaleStore.h"
#include "support/CsvReader.h"
#include "support/DialogDriver.h"
#include "support/OpenHook.h"
#include "support/PdfText.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"
#include "widgets/TablePages.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace {

const QString Chip = QStringLiteral("392141000123456");

// A male animal's chart; its trading fields but 仕入先 are written, an empty one as spaces.
QByteArray chartBytes(const QString& kind, const QDate& birth, const QString& purchased = {},
                      const QString& cost = {}, const QString& saleDate = {})
{
    return SampleChart{.kind = kind,
                       .born = birth,
                       .sex = QStringLiteral("オス"),
                       .purchased = purchased,
                       .cost = cost,
                       .sold = saleDate}
        .bytes();
}

// A chart whose 仕入先 says the animal was born in the shop, with no 仕入日.
QByteArray bornInShop(const QString& kind, const QDate& birth)
{
    return SampleChart{.kind = kind,
                       .born = birth,
                       .sex = QStringLiteral("オス"),
                       .purchased = QString(),
                       .supplier = QStringLiteral("自家繁殖"),
                       .cost = QString(),
                       .sold = QString()}
        .bytes();
}

void type(QDialog* dialog, const char* box, const QString& text)
{
    dialog->findChild<QLineEdit*>(QString::fromLatin1(box))->setText(text);
}

void pressOk(QDialog* dialog)
{
    dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
}

// A complete sale of a dog with a registered chip, so that no question comes up.
void fillSale(QDialog* dialog, const QString& saleDate)
{
    type(dialog, "saleDate", saleDate);
    type(dialog, "price", QStringLiteral("２５０，０００円"));
    type(dialog, "buyerName", QStringLiteral("山田 花子"));
    type(dialog, "microchip", Chip);
    dialog->findChild<QCheckBox*>("chipRegistered")->setChecked(true);
}

// The bytes of the 販売日 field of a record on file.
QByteArray saleDateBytes(int number)
{
    return recordBytes(QStringLiteral("detapetto.dt"), number).mid(934, 30);
}

} // namespace

// Selling, taking a sale back, animals that leave without a sale, the species of a breed and the
// yearly report, on the running program.
class TestSelling : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void dogsAndCatsAreSoldFromTheir57thDay_data();
    void dogsAndCatsAreSoldFromTheir57thDay();
    void saleIsRecordedListedAndTakenBack();
    void failedSaleStoresNothing_data();
    void failedSaleStoresNothing();
    void speciesIsProposedNeverSetSilently();
    void yearlyReportCountsASmallShop();
    void recordBookListsDogsAndCatsAndOutlivesTheChart();
    void recordBookPdfPrintsEveryDateWhole();
    void columnsKeepDatesWhole();
    void recordBookCountsOtherAnimalsByKind();
    void saleRecordsTheChipCertificateDay();

private:
    void startWith(const QByteArray& records);
    QAction* action(const QString& name) const { return f->window("Form2")->findChild<QAction*>(name); }
    void setSpecies(const QString& kind, Species species);

    std::unique_ptr<ProgramFixture> f;
};

void TestSelling::init()
{
    f = std::make_unique<ProgramFixture>();
}

void TestSelling::startWith(const QByteArray& records)
{
    writeFileBytes("detapetto.dt", records);
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(f->window("Form2")));
}

void TestSelling::setSpecies(const QString& kind, Species species)
{
    AnimalOutcomes().saveSpecies({{kind, species}});
}

void TestSelling::dogsAndCatsAreSoldFromTheir57thDay_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QString>("saleDate");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QByteArray>("stored");
    const QString tooYoung = QStringLiteral("販売日：生まれてから 56 日を経過していない%1は販売できません。"
                                            "販売できるのは %2 からです。");
    QTest::newRow("dog on day 56") << QStringLiteral("柴犬") << QDate(2026, 10, 1)
                                   << QStringLiteral("2026/11/26")
                                   << tooYoung.arg(QStringLiteral("犬"), QStringLiteral("2026/11/27"))
                                   << QByteArray();
    QTest::newRow("dog on day 57") << QStringLiteral("柴犬") << QDate(2026, 10, 1)
                                   << QStringLiteral("2026/11/27") << QString() << QByteArray("2026/11/27");
    QTest::newRow("cat on day 56 of a leap year")
        << QStringLiteral("マンチカン") << QDate(2028, 1, 5) << QStringLiteral("２０２８年３月１日")
        << tooYoung.arg(QStringLiteral("猫"), QStringLiteral("2028/3/2")) << QByteArray();
    QTest::newRow("cat on day 57 of a leap year")
        << QStringLiteral("マンチカン") << QDate(2028, 1, 5) << QStringLiteral("2028-3-2") << QString()
        << QByteArray("2028/03/02");
    QTest::newRow("another animal is not held back")
        << QStringLiteral("ハムスター") << QDate(2026, 11, 20) << QStringLiteral("2026/12/1") << QString()
        << QByteArray("2026/12/01");
    QTest::newRow("an undecided kind is held back like a dog or cat")
        << QStringLiteral("豆柴") << QDate(2026, 11, 20) << QStringLiteral("2026/12/1")
        << tooYoung.arg(QStringLiteral("犬・猫"), QStringLiteral("2027/1/16")) << QByteArray();
}

void TestSelling::dogsAndCatsAreSoldFromTheir57thDay()
{
    QFETCH(QString, kind);
    QFETCH(QDate, birth);
    QFETCH(QString, saleDate);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, stored);
    setSpecies(QStringLiteral("柴犬"), Species::Dog);
    setSpecies(QStringLiteral("マンチカン"), Species::Cat);
    setSpecies(QStringLiteral("ハムスター"), Species::Other);
    startWith(chartBytes(kind, birth));
    const QByteArray before = readFileBytes("detapetto.dt");

    QString kept;
    QString focused;
    whenDialogShows([&](QDialog* dialog) {
        fillSale(dialog, saleDate);
        // The refusal is acknowledged; after a sale, no sheet is printed.
        f->messages.setNextAnswer(refusal.isEmpty() ? MessageBoxes::Answer::Cancel
                                                    : MessageBoxes::Answer::Ok);
        pressOk(dialog);
        kept = dialog->isVisible() ? dialog->findChild<QLineEdit*>("saleDate")->text() : QString();
        focused = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
    });
    action("actSell")->trigger();

    if (!refusal.isEmpty()) {
        QCOMPARE(f->messages.asked.size(), 1);
        QCOMPARE(f->messages.asked[0].text, refusal);
        QCOMPARE(kept, saleDate);
        QCOMPARE(focused, QStringLiteral("saleDate"));
        QCOMPARE(readFileBytes("detapetto.dt"), before);
        QVERIFY(!AnimalOutcomes().outcome(1));
        return;
    }
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked[0].text, QStringLiteral("販売時説明書を印刷しますか？"));
    QCOMPARE(saleDateBytes(1), stored.leftJustified(30, ' '));
    QVERIFY(AnimalOutcomes().outcome(1)->sale);
}

void TestSelling::saleIsRecordedListedAndTakenBack()
{
    setSpecies(QStringLiteral("柴犬"), Species::Dog);
    writeFileBytes("tokucyou.txt", sjis(QStringLiteral("佐藤\r\n鈴木\r\n")));
    startWith(chartBytes(QStringLiteral("柴犬"), QDate(2026, 8, 1), QStringLiteral("2026/9/1"),
                         QStringLiteral("80,000")) +
              chartBytes(QStringLiteral("柴犬"), QDate(2026, 8, 1)));

    // No chip: the question comes first with キャンセル as its default, and キャンセル keeps the dialog.
    bool keptAfterCancel = false;
    whenDialogShows([&](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("SellDialog"));
        QCOMPARE(dialog->findChild<QLineEdit*>("saleDate")->text(), QStringLiteral("2026/12/7"));
        type(dialog, "price", QStringLiteral("250000"));
        dialog->findChild<QComboBox*>("buyerKind")->setCurrentText(QStringLiteral("事業者"));
        type(dialog, "buyerName", QStringLiteral("株式会社ペット"));
        type(dialog, "buyerRegNo", QStringLiteral("第2026-01号"));
        type(dialog, "buyerCheck", QStringLiteral("登録証の写し"));
        dialog->findChild<QComboBox*>("staff")->setCurrentText(QStringLiteral("鈴木"));
        // Without a reason for the missing chip nothing is stored, and the reason's box has the focus.
        pressOk(dialog);
        QCOMPARE(dialog->focusWidget()->objectName(), QStringLiteral("noChipReason"));
        type(dialog, "noChipReason", QStringLiteral("装着で健康を損なうおそれ"));
        f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
        pressOk(dialog);
        keptAfterCancel = dialog->isVisible();
        f->messages.setNextAnswer(MessageBoxes::Answer::Ok);     // sell all the same
        f->messages.setNextAnswer(MessageBoxes::Answer::Cancel); // no printed sheet
        pressOk(dialog);
    });
    action("actSell")->trigger();
    QVERIFY(keptAfterCancel);
    QCOMPARE(f->messages.asked.size(), 4);
    QCOMPARE(f->messages.asked[0].text,
             QStringLiteral(
                 "マイクロチップが登録されていない犬・猫を販売するときは、「チップなしの理由」を入力して"
                 "ください（例：装着で健康を損なうおそれ）。"));
    QCOMPARE(f->messages.asked[1].text,
             QStringLiteral("マイクロチップが登録されていません。このまま販売を記録しますか？"));
    QVERIFY(f->messages.asked[1].defaultAnswer == MessageBoxes::Answer::Cancel);
    QCOMPARE(f->messages.asked[3].text, QStringLiteral("販売時説明書を印刷しますか？"));

    QCOMPARE(saleDateBytes(1), QByteArray("2026/12/07").leftJustified(30, ' '));
    QCOMPARE(f->control<QLineEdit>("Form2", "Text7")->text(), QStringLiteral("2026/12/07"));
    const Sale sale = *AnimalOutcomes().outcome(1)->sale;
    QCOMPARE(sale.price, std::optional<qint64>(250000));
    QVERIFY(sale.businessBuyer);
    QCOMPARE(sale.buyerRegNo, QStringLiteral("第2026-01号"));
    QCOMPARE(sale.buyerCheck, QStringLiteral("登録証の写し"));
    QCOMPARE(sale.soldBy, QStringLiteral("鈴木"));
    QCOMPARE(sale.explainedHow, QStringLiteral("対面"));
    QCOMPARE(sale.noChipReason, QStringLiteral("装着で健康を損なうおそれ"));
    QCOMPARE(f->program->database().sales().chartSale(1).buyerName, QStringLiteral("株式会社ペット"));

    // The chart list's CSV: 販売済 with the price and the margin over the purchase cost.
    f->files.setNextAnswer(f->path("list.csv"));
    action("actExportCsv")->trigger();
    const QList<QStringList> list = readCsv(QString::fromUtf8(readFileBytes(f->path("list.csv")).mid(3)));
    QCOMPARE(list.value(0).mid(14),
             (QStringList{QStringLiteral("状態"), QStringLiteral("販売価格"), QStringLiteral("粗利")}));
    QCOMPARE(list.value(1).mid(14),
             (QStringList{QStringLiteral("販売済"), QStringLiteral("250000"), QStringLiteral("170000")}));
    QCOMPARE(list.value(2).mid(14), (QStringList{QStringLiteral("在庫"), QString(), QString()}));
    // On the screen the amounts are thousands separated.
    QStringList shown;
    whenDialogShows([&](QDialog* dialog) {
        const QAbstractItemModel* rows = dialog->findChild<QTableView*>()->model();
        shown = QStringList{rows->index(0, ChartRow::SalePrice).data().toString(),
                            rows->index(0, ChartRow::Margin).data().toString()};
    });
    action("actChartList")->trigger();
    QCOMPARE(shown, (QStringList{QStringLiteral("250,000"), QStringLiteral("170,000")}));

    // Taken back after a question: キャンセル changes nothing, OK empties the chart's 販売日.
    f->messages.asked.clear();
    f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
    action("actUnsell")->trigger();
    QCOMPARE(saleDateBytes(1), QByteArray("2026/12/07").leftJustified(30, ' '));
    f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
    action("actUnsell")->trigger();
    QCOMPARE(f->messages.asked.size(), 2);
    QVERIFY(f->messages.asked[1].defaultAnswer == MessageBoxes::Answer::Cancel);
    QCOMPARE(saleDateBytes(1), QByteArray(30, ' '));
    QVERIFY(!AnimalOutcomes().outcome(1));
    QCOMPARE(f->control<QLineEdit>("Form2", "Text7")->text(), QString());
}

void TestSelling::failedSaleStoresNothing_data()
{
    QTest::addColumn<bool>("recordFileFails");
    QTest::newRow("record file") << true;
    QTest::newRow("database") << false;
}

void TestSelling::failedSaleStoresNothing()
{
    QFETCH(bool, recordFileFails);
    startWith(chartBytes(QStringLiteral("ハムスター"), QDate(2026, 1, 1)));
    AnimalOutcomes().saveSpecies({{QStringLiteral("ハムスター"), Species::Other}});
    if (!recordFileFails) {
        // Stands for a database that takes no more writes: the sale's row is refused half-way.
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plant"));
        db.setDatabaseName(f->path("soranika.db"));
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON animal_stay "
                                                  "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plant"));
    const QByteArray before = readFileBytes("detapetto.dt");

    std::unique_ptr<OpenHook> hook;
    bool kept = false;
    whenDialogShows([&](QDialog* dialog) {
        fillSale(dialog, QStringLiteral("2026/12/7"));
        if (recordFileFails) {
            // OK reads the chart once more, then stores it: the journal that store writes first
            // cannot be made.
            hook = std::make_unique<OpenHook>("detapetto.dt", [](int opens) {
                if (opens == 2)
                    QDir().mkdir(QStringLiteral("detapetto.dt.journal"));
            });
        }
        pressOk(dialog);
        kept = dialog->isVisible();
        QDir().rmdir(QStringLiteral("detapetto.dt.journal"));
    });
    action("actSell")->trigger();

    QVERIFY(kept);
    if (recordFileFails)
        QVERIFY(hook->opens() >= 2); // the store was reached
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked[0].text,
             recordFileFails ? QStringLiteral("ファイルを開けません。 (detapetto.dt.journal)")
                             : QStringLiteral("データベースを読み書きできません。 (soranika.db)"));
    QCOMPARE(readFileBytes("detapetto.dt"), before);
    QVERIFY(!AnimalOutcomes().outcome(1));
    QCOMPARE(f->program->database().sales().chartSale(1), ChartSale());
}

void TestSelling::speciesIsProposedNeverSetSilently()
{
    writeFileBytes("syurui.txt", sjis(QStringLiteral("柴犬\r\nハムスター\r\nロシアンブルー\r\n")));
    startWith(chartBytes(QStringLiteral("柴犬"), QDate(2026, 1, 1)));
    QStringList shown;
    whenDialogShows([&](QDialog* dialog) {
        auto* breeds = dialog->findChild<QListWidget*>("breeds");
        auto* species = dialog->findChild<QComboBox*>("species");
        auto* propose = dialog->findChild<QPushButton*>("proposeSpecies");
        for (int row = 0; row < breeds->count(); ++row) {
            breeds->setCurrentRow(row);
            shown.append(QStringLiteral("%1 %2 %3")
                             .arg(breeds->item(row)->text(), species->currentText(),
                                  propose->isVisibleTo(dialog) ? propose->text() : QStringLiteral("-")));
        }
        breeds->setCurrentItem(breeds->findItems(QStringLiteral("柴犬"), Qt::MatchExactly).first());
        propose->click();
        pressOk(dialog);
    });
    action("actBreedInfo")->trigger();
    QCOMPARE(shown, (QStringList{QStringLiteral("ハムスター 未設定 -"),
                                 QStringLiteral("ロシアンブルー 未設定 「猫」にする"),
                                 QStringLiteral("柴犬 未設定 「犬」にする")}));
    QCOMPARE(AnimalOutcomes().allSpecies(), (QMap<QString, Species>{{QStringLiteral("柴犬"), Species::Dog}}));
}

void TestSelling::yearlyReportCountsASmallShop()
{
    setSpecies(QStringLiteral("柴犬"), Species::Dog);
    setSpecies(QStringLiteral("トイ・プードル"), Species::Dog);
    setSpecies(QStringLiteral("マンチカン"), Species::Cat);
    setSpecies(QStringLiteral("ハムスター"), Species::Other);
    const QDate born(2024, 1, 1);
    const QString shiba = QStringLiteral("柴犬");
    const QString poodle = QStringLiteral("トイ・プードル");
    const QString cat = QStringLiteral("マンチカン");
    startWith(chartBytes(shiba, born, QStringLiteral("2025/02/10"), {}, QStringLiteral("2025/05/03")) // 1
              + chartBytes(shiba, born, QStringLiteral("2025/3/20"))                       // 2 died
              + chartBytes(poodle, born, QStringLiteral("2025年6月1日"))                   // 3 handed over
              + chartBytes(poodle, born, QStringLiteral("R7/7/7"))                         // 4 returned
              + chartBytes(shiba, born, QStringLiteral("2025/9/1"))                        // 5 in stock
              + chartBytes(shiba, born, QStringLiteral("先月"))                            // 6 unreadable
              + chartBytes(cat, born, QStringLiteral("2024/12/1"))                         // 7 in stock
              + chartBytes(cat, born, QStringLiteral("2026/1/5"))                          // 8 sold
              + chartBytes(QStringLiteral("ハムスター"), born, QStringLiteral("2025/5/5")) // 9 not counted
              + chartBytes(shiba, born, QStringLiteral("2026/4/2")));                      // 10 next year
    RecordFile records;
    AnimalOutcomes outcomes;
    records.LoadRecord(2);
    outcomes.recordLeaving(records, 2, {QDate(2025, 8, 15), LeaveKind::Died, QStringLiteral("肺炎")},
                           Species::Dog);
    records.LoadRecord(3);
    outcomes.recordLeaving(
        records, 3, {QDate(2025, 10, 2), LeaveKind::HandedOver, QStringLiteral("田中 一郎")}, Species::Dog);
    records.LoadRecord(4);
    outcomes.recordLeaving(records, 4, {QDate(2026, 1, 10), LeaveKind::Returned, {}}, Species::Dog);
    Sale sale;
    sale.soldOn = QDate(2026, 2, 1);
    sale.price = 200000;
    outcomes.recordSale(records, 8, sale, Species::Cat);

    QStringList dogRows;
    QStringList catRows;
    QString check;
    QStringList problems;
    int year = 0;
    whenDialogShows([&](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("YearlyReport"));
        year = dialog->findChild<QSpinBox*>("fiscalYear")->value();
        for (const auto& [name, rows] : {std::pair{"dogs", &dogRows}, std::pair{"cats", &catRows}}) {
            auto* table = dialog->findChild<QTableWidget*>(QString::fromLatin1(name));
            QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("4月"));
            QCOMPARE(table->horizontalHeaderItem(11)->text(), QStringLiteral("3月"));
            QCOMPARE(table->horizontalHeaderItem(12)->text(), QStringLiteral("合計"));
            for (int row = 0; row < table->rowCount(); ++row) {
                QStringList cells{table->verticalHeaderItem(row)->text()};
                for (int column = 0; column < 13; ++column)
                    cells.append(table->item(row, column) ? table->item(row, column)->text()
                                                          : QStringLiteral("."));
                rows->append(cells.join(QLatin1Char(' ')));
            }
        }
        check = dialog->findChild<QLabel*>("check")->text();
        auto* list = dialog->findChild<QListWidget*>("problems");
        for (int row = 0; row < list->count(); ++row)
            problems.append(list->item(row)->text());
    });
    action("actYearlyReport")->trigger();

    QCOMPARE(year, 2025);
    QCOMPARE(dogRows, (QStringList{
                          QStringLiteral("4/1 の所有数 . . . . . . . . . . . . 2"),
                          QStringLiteral("新たに所有 0 0 1 1 0 1 0 0 0 0 0 0 3"),
                          QStringLiteral("販売 0 1 0 0 0 0 0 0 0 0 0 0 1"),
                          QStringLiteral("譲渡・引渡し 0 0 0 0 0 0 1 0 0 1 0 0 2"),
                          QStringLiteral("死亡 0 0 0 0 1 0 0 0 0 0 0 0 1"),
                          QStringLiteral("3/31 の所有数 . . . . . . . . . . . . 1"),
                      }));
    QCOMPARE(catRows, (QStringList{
                          QStringLiteral("4/1 の所有数 . . . . . . . . . . . . 1"),
                          QStringLiteral("新たに所有 0 0 0 0 0 0 0 0 0 1 0 0 1"),
                          QStringLiteral("販売 0 0 0 0 0 0 0 0 0 0 1 0 1"),
                          QStringLiteral("譲渡・引渡し 0 0 0 0 0 0 0 0 0 0 0 0 0"),
                          QStringLiteral("死亡 0 0 0 0 0 0 0 0 0 0 0 0 0"),
                          QStringLiteral("3/31 の所有数 . . . . . . . . . . . . 1"),
                      }));
    // The numbers agree, but an animal that could not be counted keeps the report from saying 一致.
    QCOMPARE(check, QStringLiteral("一致しません：1 頭を数えられません"));
    QCOMPARE(problems, QStringList{QStringLiteral("カルテ 6 番　柴犬　仕入日が日付として読めません：先月")});

    // A sale typed before the purchase makes the numbers disagree, and the chart is named.
    records.LoadRecord(10);
    PetRecord wrong = records.CurrentRecord;
    setText(wrong.PurchaseDate, QStringLiteral("2025/11/1"));
    setText(wrong.SaleDate, QStringLiteral("2025/3/1"));
    records.StoreRecord(10, wrong);
    const YearlyCount count =
        countYear(2025, records.loadAllRecords(), outcomes.outcomes(), outcomes.allSpecies());
    QCOMPARE(count.dogs.difference(), 0);
    QCOMPARE(count.cats.difference(), 0);
    QVERIFY(!count.agrees());
    QCOMPARE(count.problems.size(), 2);
    QCOMPARE(count.problems[1].number, 10);
    QCOMPARE(count.problems[1].reason,
             QStringLiteral("所有した日 2025/11/1 より前に販売・死亡・譲渡の日 2025/3/1 があります"));
}

void TestSelling::recordBookListsDogsAndCatsAndOutlivesTheChart()
{
    setSpecies(QStringLiteral("柴犬"), Species::Dog);
    setSpecies(QStringLiteral("マンチカン"), Species::Cat);
    setSpecies(QStringLiteral("ハムスター"), Species::Other);
    for (const char* list :
         {"syurui.txt", "iro.txt", "tokucyou.txt", "kusuri.txt", "taicyou.txt", "shoku.txt"})
        writeFileBytes(QString::fromLatin1(list), QByteArray());
    const QDate born(2026, 6, 1);
    startWith(chartBytes(QStringLiteral("柴犬"), born, QStringLiteral("2026/8/1"))         // 1 sold
              + chartBytes(QStringLiteral("マンチカン"), born, QStringLiteral("2026/8/2")) // 2 died
              + chartBytes(QStringLiteral("ハムスター"), born, QStringLiteral("2026/8/3")) // 3 not a dog
              + chartBytes(QStringLiteral("柴犬"), QDate(2019, 10, 1), QStringLiteral("2019/12/1"), {},
                           QStringLiteral("2020/1/10"))    // 4 too old
              + chartBytes(QStringLiteral("柴犬"), born)); // 5 in stock
    ChartSale origin;
    origin.breederName = QStringLiteral("佐藤ブリーダー");
    origin.breederReg = QStringLiteral("第100号");
    origin.sellerName = QStringLiteral("関東ペットオークション");
    origin.sellerReg = QStringLiteral("第200号");
    f->program->database().sales().saveChartSale(1, origin);
    RecordFile records;
    AnimalOutcomes outcomes;
    Sale sale;
    sale.soldOn = QDate(2026, 11, 3);
    sale.price = 300000;
    sale.businessBuyer = true;
    sale.buyerName = QStringLiteral("株式会社ワン");
    sale.buyerRegNo = QStringLiteral("第300号");
    sale.buyerCheck = QStringLiteral("登録証の写し");
    sale.soldBy = QStringLiteral("鈴木");
    sale.explainedOn = QDate(2026, 11, 3);
    sale.explainedHow = QStringLiteral("対面");
    outcomes.recordSale(records, 1, sale, Species::Dog);
    records.LoadRecord(2);
    outcomes.recordLeaving(records, 2, {QDate(2026, 9, 1), LeaveKind::Died, QStringLiteral("肺炎")},
                           Species::Cat);

    QString summary;
    whenDialogShows([&](QDialog* dialog) {
        QCOMPARE(dialog->findChild<QLineEdit*>("from")->text(), QStringLiteral("2021/12/8"));
        summary = dialog->findChild<QLabel*>("summary")->text();
        f->files.setNextAnswer(f->path("book.csv"));
        pressOk(dialog);
    });
    action("actRecordBook")->trigger();
    QCOMPARE(summary, QStringLiteral("2021/12/8～2026/12/7 に所有した犬・猫：3 頭\n"
                                     "記入のない項目：繁殖者の氏名 2 頭、繁殖者の登録番号・住所 2 頭、"
                                     "所有した日 1 頭、仕入先の氏名 2 頭、仕入先の登録番号・住所 2 頭\n"
                                     "犬・猫以外：1 品種等"));
    const QList<QStringList> book = readCsvFile(readFileBytes(f->path("book.csv")));
    QCOMPARE(book.size(), 8);
    QCOMPARE(book[0].size(), 16);
    QCOMPARE(book[1], (QStringList{"1", "柴犬", "佐藤ブリーダー", "第100号", "2026/6/1", "2026/8/1",
                                   "関東ペットオークション", "第200号", "2026/11/3", "株式会社ワン",
                                   "第300号", "登録証の写し", "鈴木", "2026/11/3 対面", "", ""}));
    QCOMPARE(book[2], (QStringList{"2", "マンチカン", "", "", "2026/6/1", "2026/8/2", "", "", "", "", "", "",
                                   "", "", "2026/9/1", "肺炎"}));
    QCOMPARE(book[3].mid(0, 6), (QStringList{"5", "柴犬", "", "", "2026/6/1", ""}));
    // The hamster, per 品種等 below an empty line and the part's heading.
    QVERIFY(book[4].join(QString()).isEmpty());
    QCOMPARE(book[5], QStringList{"犬・猫以外の哺乳類・鳥類・爬虫類（品種等ごと）"});
    QCOMPARE(
        book[6],
        (QStringList{"品種等の名称", "生年月日", "期間の初めの数", "所有した数", "販売・引渡しの数",
                     "死亡の数", "期間の終わりの数", "繁殖者の氏名・登録番号又は所在地",
                     "仕入先の氏名・登録番号又は所在地", "所有した日", "販売・引渡しの日", "販売・引渡し先",
                     "法令違反がないことを確認した方法", "販売担当者", "対面説明の実施", "死亡の日と原因"}));
    QCOMPARE(book[7], (QStringList{"ハムスター", "2026/6/1", "0", "1", "0", "0", "1", "", "", "2026/8/3", "",
                                   "", "", "", "", ""}));
    if (canReadPdfText()) {
        // Cells wrap their text over lines.
        const QString pdf = pdfTextAsDrawn(f->path("book.pdf")).remove(QLatin1Char('\n'));
        QVERIFY(pdf.contains(QStringLiteral("1 / 2 ページ")));
        QVERIFY(pdf.contains(QStringLiteral("2 / 2 ページ")));
        QVERIFY(pdf.contains(QStringLiteral("犬・猫以外の哺乳類・鳥類・爬虫類（品種等ごと）")));
        QVERIFY(pdf.contains(QStringLiteral("関東ペットオークション")));
        QVERIFY(pdf.contains(QStringLiteral("販売・引渡し先の登録番号・住所")));
    }

    // Deleting the sold dog's chart asks first; キャンセル keeps it, OK clears the chart but the book
    // still lists the animal.
    f->messages.asked.clear();
    f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command1"), Qt::LeftButton);
    QTest::mouseClick(f->control<QPushButton>("Form3", "Command2"), Qt::LeftButton);
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(
        f->messages.asked[0].text,
        QStringLiteral("この動物の記録は法律で 5 年間の保存が必要です。カルテとマイクロチップ・販売情報は"
                       "空になりますが、帳簿の記録は 2031/11/3 まで残ります。削除しますか？"));
    QVERIFY(f->messages.asked[0].defaultAnswer == MessageBoxes::Answer::Cancel);
    QVERIFY(f->window("Form3"));
    QCOMPARE(recordBytes("detapetto.dt", 1).mid(16, 4), sjis(QStringLiteral("柴犬")));
    // OK to the one question clears the chart, its buyer and its chip.
    f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
    QTest::mouseClick(f->control<QPushButton>("Form3", "Command2"), Qt::LeftButton);
    QTRY_VERIFY(!f->window("Form3"));
    QCOMPARE(f->messages.asked.size(), 2);
    QCOMPARE(recordBytes("detapetto.dt", 1).mid(16, 30), QByteArray(30, ' '));
    const RecordBook after =
        makeRecordBook(QDate(2021, 12, 8), QDate(2026, 12, 7), records.loadAllRecords(), outcomes.outcomes(),
                       f->program->database().sales().chartSales(), outcomes.allSpecies());
    QCOMPARE(after.rows.size(), 3);
    QCOMPARE(after.rows[0].mid(0, 8),
             (QStringList{"1（削除済）", "柴犬", "佐藤ブリーダー", "第100号", "2026/6/1", "2026/8/1",
                          "関東ペットオークション", "第200号"}));
    QCOMPARE(after.rows[0][8], QStringLiteral("2026/11/3"));
    QCOMPARE(after.rows[0][9], QStringLiteral("株式会社ワン"));
}

void TestSelling::recordBookPdfPrintsEveryDateWhole()
{
    if (!canReadPdfText())
        QSKIP("pdftotext (poppler-utils) is not installed");
    setSpecies(QStringLiteral("柴犬"), Species::Dog);
    // Long names and addresses in every text column leave the dates little room.
    QByteArray charts;
    for (int chart = 1; chart <= 3; ++chart)
        charts += chartBytes(QStringLiteral("柴犬"), QDate(2026, 9, 11), QStringLiteral("2026/11/11"), {},
                             QStringLiteral("2026/11/11"));
    startWith(charts);
    ChartSale origin;
    origin.breederName = QStringLiteral("株式会社ペットブリーディングサービス関東第二繁殖センター");
    origin.breederReg = QStringLiteral("東京都千代田区千代田一丁目一番一号 第1234567890号");
    origin.sellerName = QStringLiteral("一般社団法人全国ペットオークション協会 関東支部");
    origin.sellerReg = QStringLiteral("埼玉県さいたま市浦和区高砂三丁目十五番一号 第9876543210号");
    origin.buyerName = QStringLiteral("山田 花子");
    origin.buyerAddress =
        QStringLiteral("神奈川県横浜市中区山下町一丁目二番地三 グランドハイツ横浜 1203号室");
    for (int chart = 1; chart <= 3; ++chart)
        f->program->database().sales().saveChartSale(chart, origin);

    whenDialogShows([&](QDialog* dialog) {
        f->files.setNextAnswer(f->path("book.csv"));
        pressOk(dialog);
    });
    action("actRecordBook")->trigger();
    QCOMPARE(f->messages.asked.size(), 0);

    // Each chart's 所有した日 and 販売・引渡しの日, and the birth dates, each one word on one line.
    QStringList dates;
    for (const PdfWord& word : pdfWords(f->path("book.pdf")))
        if (word.text.startsWith(QStringLiteral("2026/")))
            dates.append(word.text);
    QCOMPARE(dates, (QStringList{"2026/9/11", "2026/11/11", "2026/11/11", "2026/9/11", "2026/11/11",
                                 "2026/11/11", "2026/9/11", "2026/11/11", "2026/11/11"}));
    // The long values are there whole too, wrapped over lines.
    const QString drawn = pdfTextAsDrawn(f->path("book.pdf")).remove(QLatin1Char('\n'));
    QVERIFY(drawn.contains(QStringLiteral("第1234567890号")));
    QVERIFY(drawn.contains(QStringLiteral("株式会社ペットブリーディングサービス関東第二繁殖センター")));
    QVERIFY(drawn.contains(QStringLiteral("1 / 2 ページ")));
}

// The widths of a table's columns: a date or number is never narrower than its one line; long names
// give way first; the page is filled; and too narrow a page says so instead of cutting.
void TestSelling::columnsKeepDatesWhole()
{
    QFont font;
    font.setPointSizeF(7);
    const QFontMetricsF metrics(font);
    const QString address =
        QStringLiteral("東京都千代田区千代田一丁目一番一号 グランドハイツ千代田 1203 号室");
    const PrintedTable table{
        {},
        {QStringLiteral("番号"), QStringLiteral("販売・引渡しの日"), QStringLiteral("住所")},
        {1, 1, 8},
        {{QStringLiteral("12"), QStringLiteral("2026/11/11"), address},
         {QStringLiteral("3"), QStringLiteral("2026/9/1"), QString()}}};
    const double pad = 2;
    const double date = metrics.horizontalAdvance(QStringLiteral("2026/11/11")) + 2 * pad;
    const double number = metrics.horizontalAdvance(QStringLiteral("1203")) + 2 * pad;

    // Room for everything on one line: the rest is shared as the relative widths say.
    const double wide = metrics.horizontalAdvance(address) * 2;
    QList<double> widths = columnWidths(table, metrics, wide, pad);
    QCOMPARE(widths.size(), 3);
    QVERIFY(widths[1] >= date);
    QVERIFY(widths[2] > metrics.horizontalAdvance(address));
    QVERIFY(qAbs(widths[0] + widths[1] + widths[2] - wide) < 0.01);

    // Little room: the address wraps, the date does not.
    const double narrow = date + number * 4;
    widths = columnWidths(table, metrics, narrow, pad);
    QCOMPARE(widths.size(), 3);
    QVERIFY(widths[1] >= date);
    QVERIFY(widths[2] >= number);
    QVERIFY(widths[2] < metrics.horizontalAdvance(address));
    QVERIFY(qAbs(widths[0] + widths[1] + widths[2] - narrow) < 0.01);

    // Not even the date fits.
    QVERIFY(columnWidths(table, metrics, date, pad).isEmpty());
}

// Period 2026/4/1 to 2026/11/30: the days either side of its edges decide what is counted where.
void TestSelling::recordBookCountsOtherAnimalsByKind()
{
    setSpecies(QStringLiteral("ハムスター"), Species::Other);
    setSpecies(QStringLiteral("セキセイインコ"), Species::Other);
    setSpecies(QStringLiteral("柴犬"), Species::Dog);
    const QString hamster = QStringLiteral("ハムスター");
    startWith(chartBytes(hamster, QDate(2026, 1, 10), QStringLiteral("2026/3/31")) // 1 held at the start
              + chartBytes(hamster, QDate(2026, 2, 1), QStringLiteral("2026/4/1")) // 2 bought and sold
              + chartBytes(hamster, QDate(2026, 2, 1), QStringLiteral("2026/4/1")) // 3 bought, died
              + chartBytes(hamster, QDate(2026, 1, 1), QStringLiteral("2026/3/1"), {},
                           QStringLiteral("2026/3/31"))                              // 4 sold before
              + chartBytes(hamster, QDate(2026, 10, 1), QStringLiteral("2026/12/1")) // 5 bought after
              + bornInShop(QStringLiteral("セキセイインコ"), QDate(2026, 5, 5))      // 6 born in the shop
              + chartBytes(QStringLiteral("柴犬"), QDate(2026, 5, 5), QStringLiteral("2026/7/1")) // 7 a dog
              + chartBytes(hamster, QDate(2026, 3, 1), QStringLiteral("2026/5/1"), {},
                           QStringLiteral("2026/10/1"))); // 8 a 販売日 typed on the chart
    ChartSale origin;
    origin.breederName = QStringLiteral("ハムスター工房");
    origin.breederReg = QStringLiteral("千葉県第7号");
    origin.sellerName = QStringLiteral("小動物卸センター");
    f->program->database().sales().saveChartSale(2, origin);
    f->program->database().sales().saveChartSale(8, buyerSale(QStringLiteral("田中 花子")));
    RecordFile records;
    AnimalOutcomes outcomes;
    Sale sale;
    sale.soldOn = QDate(2026, 11, 30);
    sale.price = 3000;
    sale.businessBuyer = true;
    sale.buyerName = QStringLiteral("株式会社ペット");
    sale.buyerRegNo = QStringLiteral("第300号");
    sale.buyerCheck = QStringLiteral("登録証の写し");
    sale.soldBy = QStringLiteral("鈴木");
    sale.explainedOn = QDate(2026, 11, 30);
    sale.explainedHow = QStringLiteral("対面");
    outcomes.recordSale(records, 2, sale, Species::Other);
    outcomes.recordLeaving(records, 3, {QDate(2026, 6, 15), LeaveKind::Died, QStringLiteral("肺炎")},
                           Species::Other);

    QString summary;
    whenDialogShows([&](QDialog* dialog) {
        type(dialog, "from", QStringLiteral("2026/4/1"));
        type(dialog, "to", QStringLiteral("2026/11/30"));
        f->files.setNextAnswer(f->path("book.csv"));
        pressOk(dialog);
        summary = dialog->findChild<QLabel*>("summary")->text();
    });
    action("actRecordBook")->trigger();
    QVERIFY(summary.endsWith(QStringLiteral("\n犬・猫以外：2 品種等")));
    const QList<QStringList> book = readCsvFile(readFileBytes(f->path("book.csv")));
    QCOMPARE(book.size(), 7);
    QCOMPARE(book[1].mid(0, 2), (QStringList{"7", "柴犬"}));
    QCOMPARE(book[3], QStringList{"犬・猫以外の哺乳類・鳥類・爬虫類（品種等ごと）"});
    QCOMPARE(book[5], (QStringList{"セキセイインコ", "2026/5/5", "0", "1", "0", "0", "1", "", "自家繁殖",
                                   "2026/5/5", "", "", "", "", "", ""}));
    // 1 at the start + 3 acquired - 2 sold - 1 died = 1 at the end.
    QCOMPARE(book[6],
             (QStringList{"ハムスター", "2026/1/10、2026/2/1（2 頭）、2026/3/1", "1", "3", "2", "1", "1",
                          "ハムスター工房　千葉県第7号", "小動物卸センター", "2026/4/1（2 頭）、2026/5/1",
                          "2026/10/1、2026/11/30", "株式会社ペット、田中 花子", "登録証の写し", "鈴木",
                          "2026/11/30 対面", "2026/6/15　肺炎"}));
    if (canReadPdfText()) {
        const QString pdf = pdfTextAsDrawn(f->path("book.pdf")).remove(QLatin1Char('\n'));
        QVERIFY(pdf.contains(QStringLiteral("ハムスター工房")));
        QVERIFY(pdf.contains(QStringLiteral("2 / 2 ページ")));
    }
}

// The day the microchip's registration certificate went to the buyer: offered from the sale information,
// refused when it does not read, and kept with the sale, in the sale information and on the sheet.
void TestSelling::saleRecordsTheChipCertificateDay()
{
    setSpecies(QStringLiteral("柴犬"), Species::Dog);
    startWith(chartBytes(QStringLiteral("柴犬"), QDate(2026, 8, 1), QStringLiteral("2026/9/1")));
    ChartSale known;
    known.chipCertificateOn = QDate(2026, 12, 1);
    f->program->database().sales().saveChartSale(1, known);

    QString offered;
    QString focused;
    whenDialogShows([&](QDialog* dialog) {
        offered = dialog->findChild<QLineEdit*>("chipCertificateOn")->text();
        fillSale(dialog, QStringLiteral("2026/12/7"));
        type(dialog, "chipCertificateOn", QStringLiteral("12月7日ごろ"));
        pressOk(dialog);
        focused = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
        type(dialog, "chipCertificateOn", QStringLiteral("R8.12.7"));
        f->messages.setNextAnswer(MessageBoxes::Answer::Ok); // print the sheet
        f->messages.setNextAnswer(MessageBoxes::Answer::Ok); // 印刷しますか？
        pressOk(dialog);
    });
    action("actSell")->trigger();
    QCOMPARE(offered, QStringLiteral("2026/12/1"));
    QCOMPARE(f->messages.asked.size(), 3);
    QCOMPARE(f->messages.asked[0].text,
             QStringLiteral("登録証明書の交付日は日付で入力してください（例：2026/12/7）。"));
    QCOMPARE(focused, QStringLiteral("chipCertificateOn"));
    QCOMPARE(AnimalOutcomes().outcome(1)->sale->chipCertificateOn, QDate(2026, 12, 7));
    QCOMPARE(f->program->database().sales().chartSale(1).chipCertificateOn, QDate(2026, 12, 7));
    QCOMPARE(f->printer.documents.size(), 1);
    if (canReadPdfText()) {
        writeFileBytes(f->path("sheet.pdf"), f->printer.documents[0].pdf);
        QVERIFY(pdfTextAsDrawn(f->path("sheet.pdf"))
                    .simplified()
                    .remove(u' ')
                    .contains(QStringLiteral("登録証明書の交付日2026/12/7")));
    }
}

QTEST_MAIN(TestSelling)
#include "test_selling.moc"
