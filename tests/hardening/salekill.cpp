// Kills a child process that sells, takes sales back, records returns and deletes charts, with SIGKILL
// at random moments, and checks after every kill, once the next start has settled what the kill cut
// short, that no chart and its sale database disagree: a chart's 販売日 holds a date exactly when its
// present stay records a sale, and a deleted chart has no stay and no sale information left under its
// number, while its stay is kept.
//
//   salekill [kills] [seed]   runs the parent; 30 kills unless told
//   salekill --child <seed>   runs steps in the working directory until it is killed

#include "store/AnimalOutcomes.h"
#include "store/DateText.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/PetRecord.h"
#include "store/RecordFile.h"
#include "store/SaleStore.h"
#include "support/KillChild.h"
#include "support/SampleCharts.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

namespace {

constexpr qint32 Charts = 12;

PetRecord chartOf(qint32 number)
{
    return SampleChart{.kind = QStringLiteral("柴犬%1").arg(number),
                       .born = QDate(2026, 1, 1),
                       .purchased = QStringLiteral("2026/3/1"),
                       .planned = QStringLiteral("200,000")}
        .record();
}

// One step of one chart's life, chosen from what it is now.
void step(RecordFile& records, AnimalOutcomes& outcomes, qint32 number, std::mt19937& random)
{
    records.LoadRecord(number);
    if (tableText(records.CurrentRecord.Kind).isEmpty()) {
        records.StoreRecord(number, chartOf(number));
        return;
    }
    const std::optional<AnimalOutcome> present = outcomes.outcome(number);
    if (!present || !present->sale) {
        Sale sale;
        sale.soldOn = QDate(2026, 6, 1).addDays(int(random() % 100));
        sale.price = 250000;
        sale.buyerName = QStringLiteral("山田 花子");
        outcomes.recordSale(records, number, sale, Species::Dog);
        return;
    }
    switch (random() % 3) {
    case 0:
        outcomes.undoSale(records, number);
        break;
    case 1:
        outcomes.recordReturn(records, number, present->sale->soldOn.addDays(3), QStringLiteral("体調"));
        break;
    default:
        PetRecord blanked{};
        blanked.PurchaseDate = records.CurrentRecord.PurchaseDate;
        outcomes.deleteChart(records, number, blanked, QDate(2026, 12, 8));
        break;
    }
}

int child(unsigned seed)
{
    std::mt19937 random(seed);
    RecordFile records;
    AnimalOutcomes outcomes;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (;;)
        step(records, outcomes, qint32(random() % Charts) + 1, random);
}

// Why the data disagrees, or nothing.
QString disagreement()
{
    RecordFile records;
    AnimalOutcomes outcomes;
    const std::vector<PetRecord> all = records.loadAllRecords();
    const QMap<qint32, ChartSale> sales = SaleStore().chartSales();
    for (std::size_t index = 0; index < all.size(); ++index) {
        const qint32 number = qint32(index + 1);
        const PetRecord& record = all[index];
        const std::optional<AnimalOutcome> present = outcomes.outcome(number);
        if (tableText(record.Kind).isEmpty()) {
            if (present || sales.contains(number))
                return QStringLiteral("deleted chart %1 keeps a stay or sale information").arg(number);
            continue;
        }
        const bool dated = readShopDate(tableText(record.SaleDate)).isValid();
        const bool sold = present && present->sale;
        if (dated != sold)
            return QStringLiteral("chart %1: 販売日 \"%2\" but %3 sale recorded")
                .arg(number)
                .arg(tableText(record.SaleDate), sold ? QStringLiteral("a") : QStringLiteral("no"));
        if (sold && dateText(present->sale->soldOn) !=
                        readShopDate(tableText(record.SaleDate)).toString(QStringLiteral("yyyy/M/d")))
            return QStringLiteral("chart %1: 販売日 and the recorded sale differ").arg(number);
    }
    return {};
}

int parent(int kills, unsigned seed)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/salekill-XXXXXX"));
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 2;
    std::mt19937 random(seed);
    int settled = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess process;
        const QString childSeed = QString::number(random());
        if (!startAndKill(process, {QStringLiteral("--child"), childSeed},
                          std::chrono::microseconds(random() % 150000))) {
            std::fprintf(stderr, "salekill: the child did not start\n");
            return 1;
        }
        if (process.exitStatus() != QProcess::CrashExit) {
            std::fprintf(stderr, "salekill: the child ended by itself: %s\n",
                         process.readAllStandardError().constData());
            return 1;
        }
        // What the next start of the program does before anything reads the data.
        RecordFile records;
        settled += int(AnimalOutcomes().settleUnfinished(records).size());
        const QString wrong = disagreement();
        if (!wrong.isEmpty()) {
            std::fprintf(stderr, "salekill: after kill %d (seed %u): %s\n", kill + 1, seed,
                         wrong.toUtf8().constData());
            return 1;
        }
    }
    std::printf("salekill: %d kills survived (seed %u); %d left a change for the next start to undo\n", kills,
                seed, settled);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() > 2 && args[1] == QLatin1String("--child"))
            return child(args[2].toUInt());
        const int kills = args.size() > 1 ? args[1].toInt() : 30;
        const unsigned seed = args.size() > 2 ? args[2].toUInt() : std::random_device()();
        return parent(kills, seed);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "salekill: %s\n", failure.what());
        return 1;
    }
}
