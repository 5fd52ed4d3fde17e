// Backups of a full data file (32,767 charts): writing, checking and restoring a backup file; the
// start screen's first paint, and the chart screen opened right after it, with the daily backup off
// (0), due (1) or already written today (2).

#include "app/ScreenRegistry.h"
#include "backup/BackupService.h"
#include "store/PetRecord.h"
#include "store/RecordFile.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QEvent>
#include <QFile>

#include <memory>

#include <benchmark/benchmark.h>

namespace {

// Charts that differ from one another, as a shop's do, so the archive is not all repetition.
const QByteArray& fullRecordFile()
{
    static const QByteArray bytes = [] {
        QByteArray file;
        file.reserve(qsizetype(RecordFile::MaxRecords) * RecordLength);
        const QString kinds[] = {QStringLiteral("柴犬"), QStringLiteral("チワワ"),
                                 QStringLiteral("トイ・プードル"),
                                 QStringLiteral("ミニチュア・ダックスフンド")};
        for (int n = 1; n <= RecordFile::MaxRecords; ++n) {
            PetRecord record{};
            record.BirthYear = qint16(2000 + n % 25);
            record.BirthMonth = qint16(1 + n % 12);
            record.BirthDay = qint16(1 + n % 28);
            setText(record.Sex, n % 2 ? QStringLiteral("オス") : QStringLiteral("メス"));
            setText(record.Kind, kinds[n % 4]);
            setText(record.Memo1, QStringLiteral("記録%1 体重測定、ワクチン接種済み").arg(n));
            setText(record.PurchaseCost, QString::number(30000 + n * 7 % 90000));
            record.BirthWeight = 0.2f + float(n % 50) / 100;
            file.append(reinterpret_cast<const char*>(&record), RecordLength);
        }
        return file;
    }();
    return bytes;
}

void writeShop()
{
    writeFileBytes(QStringLiteral("detapetto.dt"), fullRecordFile());
    writeFileBytes(QStringLiteral("syurui.txt"), sjis(QStringLiteral("柴犬\r\nチワワ\r\n")).repeated(500));
}

void createBackup(benchmark::State& state)
{
    ProgramFixture fixture;
    writeShop();
    BackupService& backups = fixture.program->backups();
    for (auto _ : state)
        backups.createBackup(QStringLiteral("shop.zip"));
    state.counters["archive_bytes"] = double(QFile(QStringLiteral("shop.zip")).size());
}

void openAndCheck(benchmark::State& state)
{
    ProgramFixture fixture;
    writeShop();
    BackupService& backups = fixture.program->backups();
    backups.createBackup(QStringLiteral("shop.zip"));
    for (auto _ : state)
        benchmark::DoNotOptimize(backups.open(QStringLiteral("shop.zip")).recordCount());
}

void restore(benchmark::State& state)
{
    ProgramFixture fixture;
    writeShop();
    BackupService& backups = fixture.program->backups();
    backups.createBackup(QStringLiteral("shop.zip"));
    const BackupContents contents = backups.open(QStringLiteral("shop.zip"));
    for (auto _ : state) {
        backups.restore(contents);
        state.PauseTiming();
        fixture.clock.advance(1);
        state.ResumeTiming();
    }
}

// Notes when a window has been painted.
class Painted : public QObject
{
public:
    explicit Painted(QWidget* window) { window->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
    void wait()
    {
        while (!painted)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    bool painted = false;
};

enum Daily { Off, Due, DoneToday };

// A program with the full data file, the daily backup off, due, or already written today.
std::unique_ptr<ProgramFixture> programWithFullData(Daily daily)
{
    auto fixture = std::make_unique<ProgramFixture>();
    writeShop();
    BackupService& backups = fixture->program->backups();
    backups.setDailyBackupEnabled(daily != Off);
    if (daily == DoneToday) {
        backups.startDailyBackup();
        backups.waitForDailyBackup();
    }
    return fixture;
}

// From the program's start to the end of the start screen's first paint.
void startScreenPainted(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<ProgramFixture> fixture = programWithFullData(Daily(state.range(0)));
        state.ResumeTiming();

        fixture->start();
        Painted(fixture->window(QStringLiteral("Form1"))).wait();

        state.PauseTiming();
        fixture->program->backups().waitForDailyBackup();
        fixture.reset();
        state.ResumeTiming();
    }
}

// The user's first step right after the start screen appears, "スタート" to the chart screen's first
// paint, while the daily backup (when due) runs beside it.
void chartRightAfterStart(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<ProgramFixture> fixture = programWithFullData(Daily(state.range(0)));
        fixture->start();
        Painted(fixture->window(QStringLiteral("Form1"))).wait();
        // The daily backup starts on the event loop's next turn.
        QCoreApplication::processEvents();
        if (state.range(0) == Due && !fixture->program->backups().isDailyBackupRunning())
            state.SkipWithError("the daily backup was not running");
        state.ResumeTiming();

        fixture->program->registry().moveTo(ScreenName::Form1, ScreenRegistry::Leave::Unload,
                                            ScreenName::Form2);
        Painted(fixture->window(QStringLiteral("Form2"))).wait();

        state.PauseTiming();
        fixture->program->backups().waitForDailyBackup();
        fixture.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(createBackup)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(openAndCheck)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(restore)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(startScreenPainted)
    ->Arg(Off)
    ->Arg(Due)
    ->Arg(DoneToday)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(chartRightAfterStart)->Arg(Off)->Arg(Due)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
