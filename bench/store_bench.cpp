#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/Sjis.h"
#include "support/SampleCharts.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qint32 FullFile = RecordFile::MaxRecords;
constexpr int PickListLines = 5000;

PetRecord sampleRecord(int number)
{
    PetRecord record = SampleChart{.kind = QStringLiteral("ミニチュア・ダックスフンド"),
                                   .born = QDate(2000 + number % 25, 1 + number % 12, 1 + number % 28),
                                   .sex = QStringLiteral("オス")}
                           .record();
    setText(record.Memo1, QStringLiteral("記録%1").arg(number));
    record.BirthWeight = 0.25f;
    return record;
}

// One working directory for the whole run: a record file of 32767 charts and a long pick list.
struct Workspace
{
    QTemporaryDir dir;
    QString records = dir.filePath(QStringLiteral("detapetto.dt"));
    QString pickList = dir.filePath(QStringLiteral("syurui.txt"));

    Workspace()
    {
        QFile file(records);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(records));
        for (qint32 n = 1; n <= FullFile; ++n) {
            file.write(bytesOf(sampleRecord(n)));
        }
        QStringList items;
        for (int i = 0; i < PickListLines; ++i)
            items.append(QStringLiteral("犬種その%1 ﾁﾜﾜ").arg(i));
        PickListFile::rewrite(pickList, items);
    }
};

Workspace& workspace()
{
    static Workspace instance;
    return instance;
}

// Record numbers spread over the whole file rather than one after the other.
qint32 nextNumber(qint32 number)
{
    return (number + 7919) % FullFile + 1;
}

void BM_LoadRecord(benchmark::State& state)
{
    RecordFile records(workspace().records);
    qint32 number = 1;
    for (auto _ : state) {
        records.LoadRecord(number);
        benchmark::DoNotOptimize(records.CurrentRecord);
        number = nextNumber(number);
    }
}
BENCHMARK(BM_LoadRecord);

// Includes the flush to disk that every store makes.
void BM_StoreRecord(benchmark::State& state)
{
    RecordFile records(workspace().records);
    records.CurrentRecord = sampleRecord(1);
    qint32 number = 1;
    for (auto _ : state) {
        records.CurrentRecord.BirthDay = qint16(1 + number % 28);
        records.StoreRecord(number);
        number = nextNumber(number);
    }
}
BENCHMARK(BM_StoreRecord);

void BM_ReadPickList5000(benchmark::State& state)
{
    const QString name = workspace().pickList;
    for (auto _ : state) {
        const QStringList items = PickListFile::readItems(name);
        if (items.size() != PickListLines)
            state.SkipWithError("wrong item count");
        benchmark::DoNotOptimize(items);
    }
}
BENCHMARK(BM_ReadPickList5000);

} // namespace

BENCHMARK_MAIN();
