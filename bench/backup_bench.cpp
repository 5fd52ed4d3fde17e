// Backups of a full data file (32,767 charts): writing, checking and restoring a backup file; the
// start screen's first paint, and the chart screen opened right after it, with the daily backup off
// (0), due (1) or already written today (2). First of all, the memory a restore takes at its peak
// with a full shop's sale information, and with as much as the row limits let through.

#include "app/ScreenRegistry.h"
#include "backup/BackupService.h"
#include "store/PetRecord.h"
#include "store/RecordFile.h"
#include "store/SaleDatabase.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QRegularExpression>

#include <memory>

#include <malloc.h>

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
            PetRecord record = SampleChart{.kind = kinds[n % 4],
                                           .born = QDate(2000 + n % 25, 1 + n % 12, 1 + n % 28),
                                           .sex = n % 2 ? QStringLiteral("オス") : QStringLiteral("メス"),
                                           .cost = QString::number(30000 + n * 7 % 90000)}
                                   .record();
            setText(record.Memo1, QStringLiteral("記録%1 体重測定、ワクチン接種済み").arg(n));
            record.BirthWeight = 0.2f + float(n % 50) / 100;
            file.append(bytesOf(record));
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

// The process's resident memory (kB) now and at its highest since the last reset.
qint64 residentKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression line(QStringLiteral("^%1:\\s+(\\d+) kB").arg(QLatin1String(field)),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
}

// Freed memory goes back to the system first, so the peak counts only what a restore holds.
void resetPeak()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// soranika.db of a shop that sold every chart: a sale row and an outcome row per chart, 500 breed
// texts. At the row limits: a breed text for every item a pick list may hold and four outcome rows
// per chart. Breed texts are nine texts of 40 characters.
void writeSaleInformation(bool atTheRowLimits)
{
    const QString text = QStringLiteral("replace(hex(zeroblob(20)), '0', 'あ')");
    SaleDatabase db(QStringLiteral("soranika.db"), QStringLiteral("soranika.db"));
    SqliteTransaction transaction(db);
    const QString numbers =
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ");
    db.run(numbers.arg(RecordFile::MaxRecords) +
           QStringLiteral(
               "INSERT INTO chart_sale (record_number, owner, buyer_name, buyer_address, buyer_phone) "
               "SELECT i, '販売者', '購入者 ' || i, '東京都千代田区千代田1丁目' || i || '番地 101号室', "
               "'03-1234-' || i FROM n"));
    db.run(numbers.arg(atTheRowLimits ? 32767 : 500) +
           QStringLiteral(
               "INSERT INTO breed_text (kind, body_size, lifespan, housing, feeding, exercise, diseases, "
               "neutering, breeding_control, regulations) SELECT '犬種' || i, %1, %1, %1, %1, %1, %1, %1, "
               "%1, %1 FROM n")
               .arg(text));
    db.run(numbers.arg((atTheRowLimits ? 4 : 1) * RecordFile::MaxRecords) +
           QStringLiteral(
               "INSERT INTO animal_stay (record_number, species, kind, birth, purchased, sold_on, price, "
               "buyer_name, buyer_address, buyer_phone, sold_by) SELECT CASE WHEN i <= %1 THEN i END, '犬', "
               "'柴犬', '2026/01/02', '2026/03/04', '2026-05-06', 120000, '購入者 ' || i, "
               "'東京都千代田区千代田1丁目' || i || '番地 101号室', '03-1234-' || i, '販売者' FROM n")
               .arg(RecordFile::MaxRecords));
    transaction.commit();
}

// Opening and restoring a backup of the full record file and that database (0: every chart sold,
// 1: at the row limits); peak_MB is the process's resident memory at its highest while it runs,
// resident_before_MB what it held before (the benchmark's own copy of the record file among it).
void restoreWithSaleInformation(benchmark::State& state)
{
    ProgramFixture fixture;
    writeShop();
    writeSaleInformation(state.range(0) == 1);
    BackupService& backups = fixture.program->backups();
    backups.createBackup(QStringLiteral("sold.zip"));
    const double databaseBytes = double(QFile(QStringLiteral("soranika.db")).size());
    qint64 before = 0;
    qint64 peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fixture.clock.advance(1);
        resetPeak();
        before = std::max(before, residentKb("VmRSS"));
        state.ResumeTiming();
        backups.restore(backups.open(QStringLiteral("sold.zip")));
        state.PauseTiming();
        peak = std::max(peak, residentKb("VmHWM"));
        state.ResumeTiming();
    }
    state.counters["database_MB"] = databaseBytes / (1 << 20);
    state.counters["archive_MB"] = double(QFile(QStringLiteral("sold.zip")).size()) / (1 << 20);
    state.counters["resident_before_MB"] = double(before) / 1024;
    state.counters["peak_MB"] = double(peak) / 1024;
}

} // namespace

BENCHMARK(restoreWithSaleInformation)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
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
    // The program's modules (the ZIP library, the plots) lie in the build folder, one up.
    QCoreApplication::addLibraryPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
