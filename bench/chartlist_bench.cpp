#include "chartlist/ChartListModel.h"
#include "chartlist/ChartRows.h"
#include "store/RecordFile.h"
#include "support/SampleCharts.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A full record file of charts with every field the list shows filled in.
struct FullShop
{
    QTemporaryDir dir;
    QString records = dir.filePath(QStringLiteral("detapetto.dt"));

    FullShop()
    {
        QFile file(records);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(records));
        for (qint32 n = 1; n <= RecordFile::MaxRecords; ++n) {
            PetRecord record = SampleChart{.kind = QStringLiteral("ミニチュア・ダックスフンド"),
                                           .born = QDate(2000 + n % 25, 1 + n % 12, 1 + n % 28),
                                           .sex = n % 2 ? QStringLiteral("オス") : QStringLiteral("メス"),
                                           .colour = QStringLiteral("ブラック＆タン"),
                                           .purchased = QStringLiteral("2024/12/%1").arg(1 + n % 28),
                                           .supplier = QStringLiteral("山田ブリーダー"),
                                           .cost = QStringLiteral("50,000円"),
                                           .planned = QStringLiteral("128000"),
                                           .sold = n % 3 ? QString() : QStringLiteral("2025/1/10")}
                                   .record();
            setText(record.Staff, QStringLiteral("山田"));
            file.write(bytesOf(record));
        }
    }
};

FullShop& shop()
{
    static FullShop instance;
    return instance;
}

// The floor: one sequential read of the file and decoding the text fields the list shows.
void BM_ReadAndDecode(benchmark::State& state)
{
    for (auto _ : state) {
        const std::vector<PetRecord> records = RecordFile(shop().records).loadAllRecords();
        qsizetype characters = 0;
        for (const PetRecord& record : records) {
            for (const QString& text :
                 {shownText(record.Kind), shownText(record.Sex), shownText(record.CoatColour),
                  shownText(record.Staff), shownText(record.PurchaseDate), shownText(record.Supplier),
                  shownText(record.PurchaseCost), shownText(record.PlannedPrice), shownText(record.SaleDate)})
                characters += text.size();
        }
        benchmark::DoNotOptimize(characters);
    }
}
BENCHMARK(BM_ReadAndDecode)->Unit(benchmark::kMillisecond);

// What opening the chart list costs: the same read, the rows and the model over them.
void BM_ChartListModel(benchmark::State& state)
{
    for (auto _ : state) {
        ChartListModel model(chartRows(RecordFile(shop().records).loadAllRecords()));
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_ChartListModel)->Unit(benchmark::kMillisecond);

} // namespace

// The file is written before any benchmark runs, so that its cost is in none of them.
int main(int argc, char** argv)
{
    shop();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
