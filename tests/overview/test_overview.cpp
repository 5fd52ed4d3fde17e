#include "overview/OverviewPlots.h"
#include "overview/OverviewSheets.h"
#include "overview/RowsModel.h"
#include "overview/ShopFigures.h"
#include "store/AnimalOutcomes.h"
#include "store/CarePlans.h"
#include "store/Failure.h"
#include "store/RecordFile.h"
#include "store/SaleSchema.h"
#include "store/SqliteConnection.h"
#include "support/CsvReader.h"
#include "support/DialogDriver.h"
#include "support/PdfText.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QTabWidget>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <qcustomplot.h>

#include <cmath>

#include <memory>

Q_DECLARE_METATYPE(MonthFigures)

namespace {

const QDate Today(2026, 12, 7);

struct Chart
{
    QString kind;
    QString sex;
    QDate birth;
    QString purchased;
    QString cost;
    QString planned;
    QStringList history;
};

PetRecord recordOf(const Chart& chart)
{
    PetRecord record = SampleChart{.kind = chart.kind,
                                   .born = chart.birth,
                                   .sex = chart.sex,
                                   .purchased = chart.purchased,
                                   .cost = chart.cost,
                                   .planned = chart.planned}
                           .record();
    TextField<50>* lines[] = {&record.Medication1, &record.Medication2, &record.Medication3,
                              &record.Medication4, &record.Medication5};
    for (int line = 0; line < 5; ++line)
        setText(*lines[line], chart.history.value(line));
    return record;
}

// A small shop: two animals in stock with care history, one with no dates, two sold in November
// (one at a cost that does not read), one that died, and a cleared chart sold in July.
std::vector<PetRecord> shopRecords()
{
    const QList<Chart> charts{
        {QStringLiteral("柴犬"),
         QStringLiteral("オス"),
         QDate(2026, 8, 1),
         QStringLiteral("2026/9/1"),
         QStringLiteral("80,000"),
         QStringLiteral("150,000円"),
         {QStringLiteral("2026年9月26日   混合ワクチン   済み"), QStringLiteral("R8.11.9 混合ワクチン"),
          QStringLiteral("2026/11/20 駆虫薬")}},
        {QStringLiteral("ミックス猫"),
         QStringLiteral("メス"),
         QDate(2026, 10, 1),
         QStringLiteral("R8.11.20"),
         {},
         {},
         {QStringLiteral("次回12/20")}},
        {QStringLiteral("トイプードル"),
         QStringLiteral("オス"),
         QDate(2026, 9, 1),
         QStringLiteral("2026/10/5"),
         QStringLiteral("90000"),
         {},
         {QStringLiteral("2026/10/1 駆虫薬")}},
        {QStringLiteral("トイプードル"),
         QStringLiteral("メス"),
         QDate(2026, 9, 1),
         QStringLiteral("2026/10/10"),
         QStringLiteral("相談"),
         {},
         {}},
        {QStringLiteral("柴犬"),
         QStringLiteral("メス"),
         QDate(2026, 7, 1),
         QStringLiteral("2026/9/20"),
         {},
         {},
         {}},
        {QStringLiteral("ハムスター"),
         QStringLiteral("オス"),
         QDate(),
         QStringLiteral("先月"),
         {},
         {},
         {QStringLiteral("２０２６年１２月１日　混合ワクチン")}},
    };
    std::vector<PetRecord> records;
    for (const Chart& chart : charts)
        records.push_back(recordOf(chart));
    return records;
}

const QMap<QString, Species> ShopSpecies{{QStringLiteral("柴犬"), Species::Dog},
                                         {QStringLiteral("トイプードル"), Species::Dog},
                                         {QStringLiteral("ミックス猫"), Species::Cat},
                                         {QStringLiteral("ハムスター"), Species::Other}};

const QList<CarePlan> ShopPlans{{QStringLiteral("混合ワクチン"), 28, 56, 3, CareFor::All, {}},
                                {QStringLiteral("駆虫薬"), 14, {}, {}, CareFor::All, {}}};

Sale saleOn(const QDate& day, qint64 price)
{
    Sale sale;
    sale.soldOn = day;
    sale.price = price;
    return sale;
}

QList<AnimalOutcome> shopOutcomes()
{
    AnimalOutcome cleared;
    cleared.kind = QStringLiteral("柴犬");
    cleared.species = Species::Dog;
    cleared.purchased = QStringLiteral("2026/6/1");
    cleared.sale = saleOn(QDate(2026, 7, 1), 100000);
    AnimalOutcome sold3;
    sold3.recordNumber = 3;
    sold3.sale = saleOn(QDate(2026, 11, 15), 250000);
    AnimalOutcome sold4;
    sold4.recordNumber = 4;
    sold4.sale = saleOn(QDate(2026, 11, 20), 200000);
    AnimalOutcome died5;
    died5.recordNumber = 5;
    died5.leaving = Leaving{QDate(2026, 11, 3), LeaveKind::Died, {}};
    return {cleared, sold3, sold4, died5};
}

// The same shop on disk: the record file and soranika.db with its sales, death, species and plans.
void writeShop()
{
    QByteArray bytes;
    for (const PetRecord& record : shopRecords())
        bytes += bytesOf(record);
    writeFileBytes("detapetto.dt", bytes);
    RecordFile records;
    AnimalOutcomes outcomes;
    outcomes.saveSpecies(ShopSpecies);
    outcomes.recordSale(records, 3, saleOn(QDate(2026, 11, 15), 250000), Species::Dog);
    outcomes.recordSale(records, 4, saleOn(QDate(2026, 11, 20), 200000), Species::Dog);
    records.LoadRecord(5);
    outcomes.recordLeaving(records, 5, {QDate(2026, 11, 3), LeaveKind::Died, {}}, Species::Dog);
    CarePlans().savePlans(ShopPlans);
}

QList<QStringList> modelRows(const QAbstractItemModel* model)
{
    QList<QStringList> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells.append(model->index(row, column).data().toString());
        rows.append(cells);
    }
    return rows;
}

// What a plot view was given: its title, its note, the names under its months, and each series' name
// with its values.
struct PlotData
{
    QString title;
    QString note;
    QStringList months;
    QList<QPair<QString, QList<double>>> series;
    QCPRange values;
};

PlotData plotData(QCustomPlot* plot)
{
    PlotData data;
    data.title = plot->findChild<QCPTextElement*>("title")->text();
    data.note = plot->findChild<QCPTextElement*>("note")->text();
    const auto ticker = plot->xAxis->ticker().dynamicCast<QCPAxisTickerText>();
    data.months = ticker->ticks().values();
    for (int index = 0; index < plot->plottableCount(); ++index) {
        QList<double> values;
        if (const auto* bars = qobject_cast<QCPBars*>(plot->plottable(index)))
            for (const QCPBarsData& bar : *bars->data())
                values.append(bar.value);
        if (const auto* graph = qobject_cast<QCPGraph*>(plot->plottable(index)))
            for (const QCPGraphData& point : *graph->data())
                values.append(point.value);
        data.series.append({plot->plottable(index)->name(), values});
    }
    data.values = plot->yAxis->range();
    return data;
}

MonthFigures monthOf(int month, qint64 revenue, qint64 margin, int unpriced, int stock)
{
    MonthFigures figures;
    figures.month = QDate(2026, month, 1);
    figures.revenue = revenue;
    figures.margin = margin;
    figures.soldUnpriced = unpriced;
    figures.stockAtEnd = stock;
    return figures;
}

} // namespace

// お店の状況: the figures of a small shop, the care that is due, the settings kept in soranika.db,
// and the window, its menu, its files and the chart screen's notice on the running program.
class TestOverview : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void stockShowsAgesDaysAndMarks();
    void monthsCountPurchasesSalesDeathsAndMargin();
    void plotsShowTheMonthsGiven_data();
    void plotsShowTheMonthsGiven();
    void salesWithoutAPriceAreNamedUnderThePlot();
    void historyLinesAreRead_data();
    void historyLinesAreRead();
    void careDueListsOverdueAndTodayOnly();
    void careFitsTheSpecies();
    void plansOfAnEarlierFileAreForEveryAnimal();
    void plansAndLimitsAreKept();
    void tableSortsNumbersByValueBeforeTexts();
    void overviewOpensWithCtrlOAndChoosesAChart();
    void overviewIsWrittenAsPdfAndCsv();
    void overdueCareIsToldOnTheChartScreen();
    void careTabOffersToSetIntervals();
    void chipDeadlinesOfAnimalsInStockAreShown();
    void carePlansAreSetUnderMasterData();

private:
    void startChartScreen();
    std::unique_ptr<ProgramFixture> f;
    std::vector<PetRecord> records;
    QList<ShopAnimal> animals;
};

void TestOverview::init()
{
    f = std::make_unique<ProgramFixture>();
    records = shopRecords();
    animals = shopAnimals(records, shopOutcomes(), ShopSpecies);
}

void TestOverview::startChartScreen()
{
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(f->window("Form2")));
}

void TestOverview::stockShowsAgesDaysAndMarks()
{
    const StockFigures stock = stockNow(animals, Today, {120, 60});
    QCOMPARE(stockRows(stock), (QList<QStringList>{
                                   {"1", "柴犬", "犬", "オス", "128", "97", "150,000円"},
                                   {"2", "ミックス猫", "猫", "メス", "67", "17", ""},
                                   {"6", "ハムスター", "その他", "オス", "", "", ""},
                               }));
    QCOMPARE(stockSummary(stock), QStringLiteral("犬 1 頭　猫 1 頭　その他 1 頭（計 3 頭）"));
    // A kind whose species nobody decided is not counted as その他.
    QList<ShopAnimal> undecided = animals;
    for (ShopAnimal& animal : undecided)
        if (animal.kind == QStringLiteral("ハムスター"))
            animal.species = Species::Unset;
    QCOMPARE(stockSummary(stockNow(undecided, Today, {120, 60})),
             QStringLiteral(
                 "犬 1 頭　猫 1 頭　その他 0 頭（計 3 頭）　種別が未設定 1 頭（品種情報で決めてください）"));
    QCOMPARE(stock.byKind, (QMap<QString, int>{{"柴犬", 1}, {"ミックス猫", 1}, {"ハムスター", 1}}));
    QCOMPARE(stock.animals[0].pastAge, true);
    QCOMPARE(stock.animals[0].pastStock, true);
    QCOMPARE(stock.animals[1].pastAge || stock.animals[1].pastStock, false);
    // On the limits themselves nothing is marked yet.
    const StockFigures atLimits = stockNow(animals, Today, {128, 97});
    QCOMPARE(atLimits.animals[0].pastAge || atLimits.animals[0].pastStock, false);
}

void TestOverview::monthsCountPurchasesSalesDeathsAndMargin()
{
    const QList<QStringList> rows = monthRows(monthFigures(animals, QDate(2026, 1, 15), 12));
    QCOMPARE(rows.size(), 12);
    QCOMPARE(rows.first().first(), QStringLiteral("2026/01"));
    QCOMPARE(rows.mid(5), (QList<QStringList>{
                              {"2026/06", "1", "0", "0", "0", "0", "0", "0", "", "1"},
                              {"2026/07", "0", "1", "0", "100,000", "0", "0", "1", "30.0", "0"},
                              {"2026/08", "0", "0", "0", "0", "0", "0", "0", "", "0"},
                              {"2026/09", "2", "0", "0", "0", "0", "0", "0", "", "2"},
                              {"2026/10", "2", "0", "0", "0", "0", "0", "0", "", "4"},
                              {"2026/11", "1", "2", "1", "450,000", "90,000", "160,000", "1", "41.0", "2"},
                              {"2026/12", "0", "0", "0", "0", "0", "0", "0", "", "2"},
                          }));
}

void TestOverview::plotsShowTheMonthsGiven_data()
{
    QTest::addColumn<QList<MonthFigures>>("months");
    QTest::addColumn<QString>("period");
    QTest::addColumn<QList<double>>("revenue");
    QTest::addColumn<QList<double>>("margin");
    QTest::addColumn<QList<double>>("stock");
    QTest::addColumn<QString>("note");
    QTest::newRow("sales, a loss, unpriced sales")
        << QList<MonthFigures>{monthOf(10, 250000, 90000, 0, 3), monthOf(11, 450000, -30000, 2, 5),
                               monthOf(12, 0, 0, 1, 0)}
        << "2026/10～2026/12" << QList<double>{25, 45, 0} << QList<double>{9, -3, 0} << QList<double>{3, 5, 0}
        << "2026/11 価格なし 2 件　2026/12 価格なし 1 件";
    QTest::newRow("a year without anything")
        << QList<MonthFigures>{monthOf(1, 0, 0, 0, 0), monthOf(2, 0, 0, 0, 0)} << "2026/01～2026/02"
        << QList<double>{0, 0} << QList<double>{0, 0} << QList<double>{0, 0} << "";
}

void TestOverview::plotsShowTheMonthsGiven()
{
    QFETCH(QList<MonthFigures>, months);
    QFETCH(QString, period);
    QFETCH(QList<double>, revenue);
    QFETCH(QList<double>, margin);
    QFETCH(QList<double>, stock);
    QFETCH(QString, note);
    QWidget window;
    auto* salesView = newPlotView(&window, "salesChart");
    auto* stockView = newPlotView(&window, "stockChart");
    // Drawn twice: the second drawing takes the place of the first.
    showPlot(salesView, Plot::Sales, {monthOf(1, 990000, 990000, 9, 9)});
    showPlot(salesView, Plot::Sales, months);
    showPlot(stockView, Plot::Stock, months);

    const PlotData sales = plotData(window.findChild<QCustomPlot*>("salesChart"));
    QCOMPARE(sales.title, "売上と粗利（万円） " + period);
    QCOMPARE(sales.note, note);
    QStringList names;
    for (const MonthFigures& month : months)
        names.append(QString::number(month.month.month()) + "月");
    QCOMPARE(sales.months, names);
    QCOMPARE(sales.series, (QList<QPair<QString, QList<double>>>{{"売上", revenue}, {"粗利", margin}}));
    const PlotData stockPlot = plotData(window.findChild<QCustomPlot*>("stockChart"));
    QCOMPARE(stockPlot.title, "月末の在庫（頭） " + period);
    QCOMPARE(stockPlot.note, QString());
    QCOMPARE(stockPlot.months, names);
    QCOMPARE(stockPlot.series, (QList<QPair<QString, QList<double>>>{{"月末在庫", stock}}));
    // Every value inside a finite scale that is never empty.
    for (const PlotData& plot : {sales, stockPlot}) {
        QVERIFY(std::isfinite(plot.values.lower) && std::isfinite(plot.values.upper));
        QVERIFY(plot.values.upper > plot.values.lower);
        for (const auto& series : plot.series)
            for (double value : series.second)
                QVERIFY2(plot.values.contains(value), qPrintable(QString::number(value)));
    }
    QVERIFY(stockPlot.values.upper >= 4);
}

void TestOverview::salesWithoutAPriceAreNamedUnderThePlot()
{
    // Two sales with no price in March beside one of 120,000 yen.
    QList<AnimalOutcome> outcomes;
    for (const std::optional<qint64>& price :
         {std::optional<qint64>(), std::optional<qint64>(120000), std::optional<qint64>()}) {
        AnimalOutcome sold;
        sold.kind = QStringLiteral("柴犬");
        sold.purchased = QStringLiteral("2026/2/1");
        sold.sale = saleOn(QDate(2026, 3, 10), 0);
        sold.sale->price = price;
        outcomes.append(sold);
    }
    const QList<ShopAnimal> sold = shopAnimals({}, outcomes, ShopSpecies);
    const QList<MonthFigures> months = monthFigures(sold, QDate(2026, 1, 1), 12);
    QCOMPARE(monthRows(months)[2],
             (QStringList{"2026/03", "0", "3", "0", "120,000", "0", "0", "3", "37.0", "0"}));
    QWidget window;
    showPlot(newPlotView(&window, "salesChart"), Plot::Sales, months);
    const PlotData plot = plotData(window.findChild<QCustomPlot*>("salesChart"));
    QCOMPARE(plot.note, QStringLiteral("2026/03 価格なし 2 件"));
    QCOMPARE(plot.series.first().second.mid(1, 3), (QList<double>{0, 12, 0}));
}

void TestOverview::historyLinesAreRead_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QDate>("given");
    QTest::addColumn<QString>("rest");
    QTest::newRow("editor") << "2026年11月2日   混合ワクチン   済み" << QDate(2026, 11, 2)
                            << "混合ワクチン   済み";
    QTest::newRow("era, dots") << "R8.11.2 混合ワクチン" << QDate(2026, 11, 2) << "混合ワクチン";
    QTest::newRow("era name, no space")
        << "令和8年11月2日混合ワクチン" << QDate(2026, 11, 2) << "混合ワクチン";
    QTest::newRow("full width") << "２０２６／１１／２　混合ワクチン" << QDate(2026, 11, 2) << "混合ワクチン";
    QTest::newRow("two-digit day") << "2026/11/20 駆虫薬" << QDate(2026, 11, 20) << "駆虫薬";
    QTest::newRow("memo") << "次回12/20" << QDate() << "";
    QTest::newRow("no such day") << "2026/13/1 混合ワクチン" << QDate() << "";
    QTest::newRow("day last") << "混合ワクチン 2026/11/2" << QDate() << "";
}

void TestOverview::historyLinesAreRead()
{
    QFETCH(QString, line);
    QFETCH(QDate, given);
    QFETCH(QString, rest);
    const std::optional<HistoryLine> read = readHistoryLine(line);
    QCOMPARE(read.has_value(), given.isValid());
    if (read) {
        QCOMPARE(read->given, given);
        QCOMPARE(read->rest, rest);
    }
}

void TestOverview::careDueListsOverdueAndTodayOnly()
{
    // The cat's first dose fell due at 56 days; the dog's wormer 14 days after the last and its
    // vaccine today; the hamster's next vaccine is not due yet, and the sold poodle is not listed.
    const CareFigures care = careDue(animals, ShopPlans, Today);
    QCOMPARE(dueRows(care),
             (QList<QStringList>{
                 {"2", "混合ワクチン", "2026/11/26", "ミックス猫", "生後 56 日", "期限切れ"},
                 {"1", "駆虫薬", "2026/12/04", "柴犬", "前回 2026/11/20 から 14 日", "期限切れ"},
                 {"1", "混合ワクチン", "2026/12/07", "柴犬", "前回 2026/11/9 から 28 日", "今日"},
             }));
    QCOMPARE(care.overdue(), 2);
    QCOMPARE(unreadableLines(care), QStringList{QStringLiteral("カルテ 2 番 ミックス猫：次回12/20")});
    // Once every dose is given, nothing more falls due.
    const CareFigures done =
        careDue(animals, {{QStringLiteral("混合ワクチン"), 28, 56, 2, CareFor::All, {}}}, Today);
    QCOMPARE(dueRows(done).size(), 1);
    QCOMPARE(done.due.first().number, 2);
}

void TestOverview::careFitsTheSpecies()
{
    // Born 2026/9/1: 56 days old on 2026/10/27, 90 days old on 2026/11/30.
    const QDate born(2026, 9, 1);
    std::vector<PetRecord> records{
        recordOf({QStringLiteral("柴犬"), {}, born, QStringLiteral("2026/10/1"), {}, {}, {}}),
        recordOf({QStringLiteral("ミックス猫"),
                  {},
                  born,
                  QStringLiteral("2026/10/1"),
                  {},
                  {},
                  {QStringLiteral("2026年11月1日 混合ワクチン（3種）")}}),
        recordOf({QStringLiteral("チンチラ"), {}, born, QStringLiteral("2026/10/1"), {}, {}, {}}),
    };
    const QList<ShopAnimal> shop = shopAnimals(records, {}, ShopSpecies);
    const QList<CarePlan> plans{
        {QStringLiteral("混合ワクチン（5種）"), 28, 56, 3, CareFor::All, {}},
        {QStringLiteral("混合ワクチン（3種）"),
         28,
         56,
         3,
         CareFor::Cat,
         {QStringLiteral("混合ワクチン（5種）")}},
        {QStringLiteral("フィラリア予防薬"), 30, 90, {}, CareFor::Dog, {}},
        {QStringLiteral("毛玉ケア"), {}, 60, 1, CareFor::Cat, {}},
        {QStringLiteral("駆虫薬"), 14, 56, {}, CareFor::All, {}},
    };
    // The dog gets the plans for every animal and for dogs; the cat on 3種 is not due 5種 nor the dog's
    // heartworm; チンチラ, whose kind has no species saved, gets only the plans for every animal.
    QCOMPARE(
        dueRows(careDue(shop, plans, Today)),
        (QList<QStringList>{
            {"1", "混合ワクチン（5種）", "2026/10/27", "柴犬", "生後 56 日", "期限切れ"},
            {"1", "駆虫薬", "2026/10/27", "柴犬", "生後 56 日", "期限切れ"},
            {"2", "駆虫薬", "2026/10/27", "ミックス猫", "生後 56 日", "期限切れ"},
            {"3", "混合ワクチン（5種）", "2026/10/27", "チンチラ", "生後 56 日", "期限切れ"},
            {"3", "駆虫薬", "2026/10/27", "チンチラ", "生後 56 日", "期限切れ"},
            {"2", "毛玉ケア", "2026/10/31", "ミックス猫", "生後 60 日", "期限切れ"},
            {"2", "混合ワクチン（3種）", "2026/11/29", "ミックス猫", "前回 2026/11/1 から 28 日", "期限切れ"},
            {"1", "フィラリア予防薬", "2026/11/30", "柴犬", "生後 90 日", "期限切れ"},
        }));

    // Kept as typed.
    CarePlans().savePlans(plans);
    const QList<CarePlan> saved = CarePlans().plans();
    QCOMPARE(saved.size(), 5);
    QVERIFY(saved.contains(plans[1]));
    QVERIFY(saved.contains(plans[2]));
}

void TestOverview::plansOfAnEarlierFileAreForEveryAnimal()
{
    {
        SqliteConnection db(f->path("soranika.db"), QStringLiteral("soranika.db"));
        SaleSchema::migrate(db, 4);
        db.run(QStringLiteral("INSERT INTO care_plan (medication, interval_days) VALUES ('駆虫薬', 14)"));
    }
    QCOMPARE(CarePlans().plans(),
             (QList<CarePlan>{{QStringLiteral("駆虫薬"), 14, {}, {}, CareFor::All, {}}}));
}

void TestOverview::plansAndLimitsAreKept()
{
    CarePlans store;
    // A shop that never saved anything reads the usual marks and gets no file for looking.
    QCOMPARE(store.plans(), QList<CarePlan>{});
    QCOMPARE(store.stockLimits(), (StockLimits{120, 60}));
    QVERIFY(!QFileInfo::exists(f->path("soranika.db")));

    store.savePlans(ShopPlans + QList<CarePlan>{{QStringLiteral("目薬"), {}, {}, {}, CareFor::All, {}}});
    store.saveStockLimits({90, 30});
    QCOMPARE(CarePlans().plans(), ShopPlans);
    QCOMPARE(CarePlans().stockLimits(), (StockLimits{90, 30}));

    const auto refused = [&](const QList<CarePlan>& plans, const QString& message) {
        try {
            store.savePlans(plans);
            QFAIL("saved");
        } catch (const Failure& failure) {
            QCOMPARE(failure.description(), message);
        }
        QCOMPARE(CarePlans().plans(), ShopPlans);
    };
    refused({{QStringLiteral("駆虫薬"), 0, {}, {}, CareFor::All, {}}},
            QStringLiteral("駆虫薬：日数は 0～3650 日（間隔は 1 日から）で入力してください。"));
    refused({{QStringLiteral("目薬"), 7, {}, 100, CareFor::All, {}}},
            QStringLiteral("目薬：回数は 1～99 回で入力してください。"));
    QVERIFY_THROWS_EXCEPTION(Failure, store.saveStockLimits({0, 30}));
    QCOMPARE(CarePlans().stockLimits(), (StockLimits{90, 30}));
}

void TestOverview::tableSortsNumbersByValueBeforeTexts()
{
    RowsModel model({QStringLiteral("番号"), QStringLiteral("日齢")}, nullptr);
    model.setRows({{{"1", "120"}, {}, {}, {}},
                   {{"2", ""}, {}, {}, {}},
                   {{"3", "9"}, {}, {}, {}},
                   {{"4", "不明"}, {}, {}, {}},
                   {{"5", "35.5"}, {}, {}, {}},
                   {{"6", "1,200"}, {}, {}, {}}});
    const auto order = [&] {
        QStringList numbers;
        for (int row = 0; row < model.rowCount(); ++row)
            numbers.append(model.index(row, 0).data().toString());
        return numbers.join(QLatin1Char(' '));
    };
    model.sort(1, Qt::AscendingOrder);
    QCOMPARE(order(), QStringLiteral("3 5 1 6 2 4"));
    model.sort(1, Qt::DescendingOrder);
    QCOMPARE(order(), QStringLiteral("4 2 6 1 5 3"));
    QCOMPARE(model.index(0, 1).data(Qt::TextAlignmentRole), QVariant());
    QCOMPARE(model.index(2, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
}

void TestOverview::overviewOpensWithCtrlOAndChoosesAChart()
{
    writeShop();
    startChartScreen();
    QTest::keyClick(f->window("Form2"), Qt::Key_O, Qt::ControlModifier);
    auto* overview = f->window("Form2")->findChild<QDialog*>("ShopOverview");
    QVERIFY(overview);
    QVERIFY(QTest::qWaitForWindowExposed(overview));
    // An ordinary window: the chart screen takes clicks while it is open.
    QVERIFY(!overview->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    const QList<QStringList> stock = modelRows(overview->findChild<QTableView*>("stock")->model());
    QCOMPARE(stock.size(), 3);
    QCOMPARE(stock[0], (QStringList{"1", "柴犬", "犬", "オス", "128", "97", "150,000円"}));
    const QList<QStringList> due = modelRows(overview->findChild<QTableView*>("due")->model());
    QCOMPARE(due.size(), 3);
    QCOMPARE(due[0].mid(0, 3), (QStringList{"2", "混合ワクチン", "2026/11/26"}));
    auto* monthsTable = overview->findChild<QTableView*>("months");
    const QList<QStringList> months = modelRows(monthsTable->model());
    QCOMPARE(months.size(), 12);
    QCOMPARE(months.last(), (QStringList{"2026/12", "0", "0", "0", "0", "0", "0", "0", "", "2"}));
    // Amounts with thousands separators on the screen.
    QVERIFY(months.contains(
        QStringList{"2026/11", "1", "2", "1", "450,000", "90,000", "160,000", "1", "41.0", "2"}));
    QCOMPARE(overview->findChild<QCustomPlot*>("salesChart")->plottableCount() +
                 overview->findChild<QCustomPlot*>("stockChart")->plottableCount(),
             3);
    // All twelve months in sight at the window's own size.
    overview->findChild<QTabWidget*>("tabs")->setCurrentIndex(1);
    QTRY_VERIFY(monthsTable->isVisible());
    QVERIFY(monthsTable->rowViewportPosition(11) + monthsTable->rowHeight(11) <=
            monthsTable->viewport()->height());

    // The marks follow the limit typed, and the limit is kept.
    overview->findChild<QTabWidget*>("tabs")->setCurrentIndex(0);
    overview->findChild<QSpinBox*>("ageLimit")->setValue(130);
    QCOMPARE(CarePlans().stockLimits(), (StockLimits{130, 60}));
    // A double-click shows the animal's chart; the window stays open.
    auto* table = overview->findChild<QTableView*>("stock");
    const QModelIndex second = table->model()->index(1, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(second).center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(second).center());
    QCOMPARE(f->control<QLineEdit>("Form2", "Text1")->text(), QStringLiteral("2"));
    QCOMPARE(f->control<QLabel>("Form2", "Label2")->text().trimmed(), QStringLiteral("ミックス猫"));
    QVERIFY(overview->isVisible());

    // A death recorded on the chart screen leaves the stock of the open window.
    whenDialogShows([](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("LeaveDialog"));
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    f->window("Form2")->findChild<QAction*>("actLeave")->trigger();
    QCOMPARE(modelRows(table->model()).size(), 2);
    QCOMPARE(modelRows(overview->findChild<QTableView*>("due")->model()).size(), 2);
    // Opened again, the same window comes to the front.
    f->window("Form2")->findChild<QAction*>("actOverview")->trigger();
    QCOMPARE(f->window("Form2")->findChildren<QDialog*>("ShopOverview").size(), 1);
}

void TestOverview::overviewIsWrittenAsPdfAndCsv()
{
    writeShop();
    startChartScreen();
    f->files.setNextAnswer(f->path("overview.csv"));
    f->files.setNextAnswer(f->path("overview.pdf"));
    f->window("Form2")->findChild<QAction*>("actOverview")->trigger();
    auto* overview = f->window("Form2")->findChild<QDialog*>("ShopOverview");
    QVERIFY(overview);
    overview->findChild<QPushButton*>("saveCsv")->click();
    overview->findChild<QPushButton*>("savePdf")->click();
    overview->findChild<QPushButton*>("print")->click();

    // The CSV keeps plain numbers.
    const QList<QStringList> csv = readCsvFile(readFileBytes(f->path("overview.csv")));
    QCOMPARE(csv.value(0), (QStringList{"在庫", "犬 1 頭　猫 1 頭　その他 1 頭（計 3 頭）"}));
    QCOMPARE(csv.value(2), (QStringList{"1", "柴犬", "犬", "オス", "128", "97", "150,000円"}));
    QVERIFY(
        csv.contains(QStringList{"2026/11", "1", "2", "1", "450000", "90000", "160000", "1", "41.0", "2"}));
    QCOMPARE(csv.last(), (QStringList{"読めない投薬履歴", "カルテ 2 番 ミックス猫：次回12/20"}));
    QCOMPARE(f->printer.documents.size(), 1);
    QCOMPARE(f->printer.documents.first().name, QStringLiteral("お店の状況　2026/12/07"));
    if (!canReadPdfText())
        QSKIP("pdftotext is not installed");
    const QString text = pdfText(f->path("overview.pdf"));
    // A header on every page, the plots on the last one; the dog's overdue microchip on a page of its own;
    // amounts on paper with separators.
    QCOMPARE(text.count(QStringLiteral("お店の状況")), 6);
    QVERIFY(text.contains(QStringLiteral("6 / 6 ページ")));
    QVERIFY(text.contains(QStringLiteral("前回 2026/11/20 から 14 日")));
    QVERIFY(text.contains(QStringLiteral("月末の在庫（頭）")));
    QVERIFY(text.contains(QStringLiteral("450,000")));
    QVERIFY(!text.contains(QStringLiteral("450000")));
}

void TestOverview::overdueCareIsToldOnTheChartScreen()
{
    writeShop();
    startChartScreen();
    auto* notice = f->control<QLabel>("Form2", "careNotice");
    // The dog whose microchip is past its last day is told beside the care.
    QTRY_COMPARE(notice->text(), QStringLiteral("ケアの予定: 期限切れ 2 件　マイクロチップの期限 1 件"));
    QVERIFY(notice->isVisible());
    auto* status = f->control<QLabel>("Form2", "statusLine");
    QVERIFY(status->isHidden());

    // A status message comes beside the notice, which stays while the charts are paged through.
    f->files.setNextAnswer(f->path("charts.csv"));
    f->window("Form2")->findChild<QAction*>("actExportCsv")->trigger();
    QVERIFY(status->isVisible());
    QVERIFY(status->text().startsWith(QStringLiteral("CSVに書き出しました")));
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command6"), Qt::LeftButton);
    QCOMPARE(f->control<QLineEdit>("Form2", "Text1")->text(), QStringLiteral("2"));
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("ケアの予定: 期限切れ 2 件　マイクロチップの期限 1 件"));

    // A change is counted at once: chart 2's cat, due its vaccine, is handed over.
    whenDialogShows([](QDialog* dialog) {
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    f->window("Form2")->findChild<QAction*>("actLeave")->trigger();
    QCOMPARE(notice->text(), QStringLiteral("ケアの予定: 期限切れ 1 件　マイクロチップの期限 1 件"));

    // A click opens ケアの予定.
    QTest::mouseClick(notice, Qt::LeftButton);
    auto* overview = f->window("Form2")->findChild<QDialog*>("ShopOverview");
    QVERIFY(overview && overview->isVisible());
    QCOMPARE(overview->findChild<QTabWidget*>("tabs")->currentIndex(), 2);
}

// With no care intervals the ケアの予定 tab says so and offers to set them.
void TestOverview::careTabOffersToSetIntervals()
{
    writeFileBytes("kusuri.txt", sjis(QStringLiteral("混合ワクチン\r\n駆虫薬\r\n")));
    startChartScreen();
    f->window("Form2")->findChild<QAction*>("actOverview")->trigger();
    auto* overview = f->window("Form2")->findChild<QDialog*>("ShopOverview");
    QVERIFY(overview);
    overview->findChild<QTabWidget*>("tabs")->setCurrentIndex(2);
    auto* hint = overview->findChild<QWidget*>("noCarePlans");
    QTRY_VERIFY(hint->isVisible());
    QVERIFY(hint->findChild<QLabel*>()->text() == QStringLiteral("ケアの間隔が登録されていません。"));

    whenDialogShows([](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("CarePlan"));
        auto* table = dialog->findChild<QTableWidget*>("carePlans");
        QCOMPARE(table->rowCount(), 2);
        table->item(1, 2)->setText(QStringLiteral("14"));
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    });
    hint->findChild<QPushButton*>("setCarePlans")->click();
    QCOMPARE(CarePlans().plans(),
             (QList<CarePlan>{{QStringLiteral("駆虫薬"), 14, {}, {}, CareFor::All, {}}}));
    QVERIFY(hint->isHidden());
}

// On 2026/12/7: the dog (chart 1, bought at 31 days old) had to be implanted by 2026/11/29; implanted
// on 11/10, its registration is due by 12/10. The cat's was due by 12/1. The dogs sold or dead are not
// shown, nor is what is further off than seven days.
void TestOverview::chipDeadlinesOfAnimalsInStockAreShown()
{
    writeShop();
    ChartSale implanted;
    implanted.microchip = QStringLiteral("392141000123456");
    implanted.chipImplanted = QDate(2026, 11, 10);
    f->program->database().sales().saveChartSale(1, implanted);
    implanted.microchip = QStringLiteral("392141000654321");
    implanted.chipImplanted = QDate(2026, 11, 1);
    f->program->database().sales().saveChartSale(2, implanted);
    startChartScreen();
    // What the open window lists.
    const auto shownDeadlines = [&] {
        QStringList shown;
        const auto* list =
            f->window("Form2")->findChild<QDialog*>("ShopOverview")->findChild<QListWidget*>("chipDeadlines");
        for (int row = 0; row < list->count(); ++row)
            shown.append(list->item(row)->text());
        return shown;
    };
    QTest::keyClick(f->window("Form2"), Qt::Key_O, Qt::ControlModifier);
    f->files.setNextAnswer(f->path("overview.pdf"));
    f->window("Form2")->findChild<QDialog*>("ShopOverview")->findChild<QPushButton*>("savePdf")->click();
    QCOMPARE(
        shownDeadlines(),
        (QStringList{
            QStringLiteral("カルテ 2 番 ミックス猫：マイクロチップの登録 2026/12/1 まで（6 日過ぎています）"),
            QStringLiteral("カルテ 1 番 柴犬：マイクロチップの登録 2026/12/10 まで（あと 3 日）"),
        }));
    // The passed deadline in red, the coming one as any line.
    const auto* list =
        f->window("Form2")->findChild<QDialog*>("ShopOverview")->findChild<QListWidget*>("chipDeadlines");
    QCOMPARE(list->item(0)->foreground().color(), QColor(200, 0, 0));
    QCOMPARE(list->item(1)->foreground().style(), Qt::NoBrush);
    if (canReadPdfText())
        QVERIFY(pdfTextAsDrawn(f->path("overview.pdf"))
                    .remove(u'\n')
                    .contains(QStringLiteral(
                        "カルテ 1 番 柴犬：マイクロチップの登録 2026/12/10 まで（あと 3 日）")));

    // Without the implant days both are due to be implanted: the dog by 11/29 (90 days old on 10/30),
    // the cat only by 2027/1/29, so not yet shown.
    f->program->database().sales().saveChartSale(1, ChartSale());
    f->program->database().sales().saveChartSale(2, ChartSale());
    f->window("Form2")->findChild<QAction*>("actOverview")->trigger();
    QCOMPARE(shownDeadlines(),
             (QStringList{
                 QStringLiteral("カルテ 1 番 柴犬：マイクロチップの装着 2026/11/29 まで（8 日過ぎています）"),
             }));
}

void TestOverview::carePlansAreSetUnderMasterData()
{
    writeFileBytes("kusuri.txt", sjis(QStringLiteral("混合ワクチン\r\n駆虫薬\r\n")));
    startChartScreen();
    QVERIFY(f->control<QLabel>("Form2", "careNotice")->isHidden());
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command2"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(f->window("Form4")));

    // The figures typed for each medication: first dose, interval, doses.
    const auto setCells = [](QDialog* dialog, const QMap<QString, QStringList>& typed) {
        auto* table = dialog->findChild<QTableWidget*>("carePlans");
        QCOMPARE(table->rowCount(), 2);
        for (int row = 0; row < table->rowCount(); ++row) {
            const QStringList cells = typed.value(table->item(row, 0)->text());
            QCOMPARE(cells.size(), 3);
            for (int column = 0; column < 3; ++column)
                table->item(row, column + 1)->setText(cells[column]);
        }
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    };
    bool stayedOpen = false;
    whenDialogShows([&](QDialog* dialog) {
        setCells(dialog, {{"混合ワクチン", {"56", "28", "3"}}, {"駆虫薬", {"", "二週", ""}}});
        stayedOpen = dialog->isVisible();
    });
    QTest::mouseClick(f->control<QPushButton>("Form4", "careIntervals"), Qt::LeftButton);
    QVERIFY(stayedOpen);
    QCOMPARE(f->messages.asked.last().text, QStringLiteral("駆虫薬の間隔は数字で入力してください。"));
    QCOMPARE(CarePlans().plans(), QList<CarePlan>{});

    whenDialogShows([&](QDialog* dialog) {
        setCells(dialog, {{"混合ワクチン", {"５６", "28", "3"}}, {"駆虫薬", {"", "14", ""}}});
    });
    QTest::mouseClick(f->control<QPushButton>("Form4", "careIntervals"), Qt::LeftButton);
    QCOMPARE(CarePlans().plans(), ShopPlans);

    // The animals a plan is for and the plans it makes unneeded; a name not on the list is refused.
    // The rows come in the list's order: 駆虫薬 first.
    whenDialogShows([&](QDialog* dialog) {
        auto* table = dialog->findChild<QTableWidget*>("carePlans");
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("駆虫薬"));
        QCOMPARE(dialog->findChild<QComboBox*>("animals1")->currentText(), QStringLiteral("すべて"));
        dialog->findChild<QComboBox*>("animals1")->setCurrentText(QStringLiteral("猫"));
        table->item(0, 5)->setText(QStringLiteral("混合ワクチン、目薬"));
        auto* ok = dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok);
        ok->click();
        QVERIFY(dialog->isVisible());
        table->item(0, 5)->setText(QStringLiteral("混合ワクチン"));
        ok->click();
    });
    QTest::mouseClick(f->control<QPushButton>("Form4", "careIntervals"), Qt::LeftButton);
    QCOMPARE(f->messages.asked.last().text,
             QStringLiteral("駆虫薬の不要にする投薬「目薬」は、ほかの投薬名で入力してください。"));
    const QList<CarePlan> saved = CarePlans().plans();
    QCOMPARE(saved.size(), 2);
    QCOMPARE(saved[0].animals, CareFor::All);
    QCOMPARE(saved[1].animals, CareFor::Cat);
    QCOMPARE(saved[1].replaces, QStringList{QStringLiteral("混合ワクチン")});
}

QTEST_MAIN(TestOverview)
#include "test_overview.moc"
