// Kills a child process that restores a backup, with SIGKILL at random moments, and checks after
// every kill that, once the start-up recovery has run, the shop's files (records, the nine pick
// lists, soranika.db) and the settings file are byte for byte either all as they were before the
// restore or all as a restore that ran to its end leaves them. A table of damages is applied in
// turn to the journal a kill left (cut short, emptied, naming files outside the shop, oversized):
// the files still end all old or all new, the files outside stay untouched, and a journal that is
// not the program's is set aside.
//
//   restorekill [kills] [seed]     runs the parent; 20 kills unless told
//   restorekill --make <variant>   writes shop A or B into the working directory (B: and new.zip)
//   restorekill --restore <zip>    restores the backup file in the working directory
//   restorekill --recover          runs the start-up recovery in the working directory

#include "backup/BackupService.h"
#include "backup/RestoreJournal.h"
#include "backup/SaleStoreEntry.h"
#include "platform/Clock.h"
#include "store/Failure.h"
#include "store/PetRecord.h"
#include "store/SaleStore.h"
#include "store/ShopSettings.h"
#include "support/FixedClock.h"
#include "support/KillChild.h"
#include "support/PickListNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <random>
#include <thread>

namespace {

constexpr int Records = 300;

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw Failure::cannotWrite(path);
}

// Shop A or B: every file, every row and every setting differs between the two, and B lacks two
// of A's pick lists, so a restore of B replaces, adds and removes.
void makeShop(char variant)
{
    QByteArray records;
    for (int i = 0; i < Records; ++i)
        records += QByteArray(RecordLength, char('A' + (i + variant) % 26));
    writeBytes(QStringLiteral("detapetto.dt"), records);
    for (int i = 0; i < 9; ++i) {
        if (variant == 'B' && i >= 7)
            continue;
        QByteArray items;
        for (int n = 0; n < 20 + i; ++n)
            items += QByteArray("item-") + variant + QByteArray::number(i * 100 + n) + "\r\n";
        writeBytes(PickListNames[i], items);
    }
    SaleStore store;
    for (int n = 1; n <= 12; ++n) {
        ChartSale sale;
        sale.microchip =
            QStringLiteral("39214100000%1").arg(n * 7 + (variant == 'A' ? 0 : 1), 4, 10, QLatin1Char('0'));
        sale.buyerName = QStringLiteral("購入者%1%2").arg(QLatin1Char(variant)).arg(n);
        sale.explainedOn = QDate(2026, 11, n);
        store.saveChartSale(n * (variant == 'A' ? 2 : 3), sale);
    }
    store.saveDealerInfo({QStringLiteral("登録-%1").arg(QLatin1Char(variant)), QStringLiteral("責任者")});
    for (int i = 0; i < 4; ++i)
        ShopSettings::save(ShopSettings::Keys[i],
                           QStringLiteral("設定%1-%2").arg(QLatin1Char(variant)).arg(i));
    if (variant == 'B') {
        FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        BackupService backups(clock);
        backups.addExtraEntry(saleStoreEntry(store));
        backups.createBackup(QStringLiteral("new.zip"));
    }
}

void restore(const QString& archive)
{
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    BackupService backups(clock);
    SaleStore store;
    backups.addExtraEntry(saleStoreEntry(store));
    backups.setDailyBackupEnabled(false);
    backups.restore(backups.open(archive));
}

// The shop's files and the settings file, by name. The backup folder is left out (the backup of
// the old data may or may not have been written). An empty log or index SQLite left beside a
// database it had open when killed holds no data, and the next connection drops it.
QMap<QString, QByteArray> stateOf(const QString& shop, const QString& config)
{
    QMap<QString, QByteArray> state;
    for (const auto& [root, prefix] :
         {std::pair{shop, QStringLiteral("shop/")}, std::pair{config, QStringLiteral("config/")}}) {
        QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = QDir(root).relativeFilePath(path);
            if (name.startsWith(QStringLiteral("バックアップ/")) || name == QLatin1String("new.zip") ||
                name == QLatin1String("restore.journal.bad") || name.endsWith(QLatin1String(".db-shm")) ||
                (name.endsWith(QLatin1String(".db-wal")) && QFileInfo(path).size() == 0))
                continue;
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            state.insert(prefix + name, file.readAll());
        }
    }
    return state;
}

bool copyTree(const QString& from, const QString& to)
{
    QDir(to).removeRecursively();
    return QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), from, to}) == 0;
}

class Parent
{
public:
    explicit Parent(const QString& root) : root(root) {}

    // Runs this program with `arguments` in `folder` with its own settings; its exit code.
    QProcess* start(const QStringList& arguments, const QString& folder, const QString& config)
    {
        auto* process = new QProcess;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(folder);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QCoreApplication::applicationFilePath(), arguments);
        return process;
    }

    bool run(const QStringList& arguments, const QString& folder, const QString& config)
    {
        std::unique_ptr<QProcess> process(start(arguments, folder, config));
        return process->waitForFinished(120000) && process->exitStatus() == QProcess::NormalExit &&
               process->exitCode() == 0;
    }

    QString path(const QString& name) const { return QDir(root).filePath(name); }

    QString root;
};

// What is done to the journal a kill left before the next start, and whether the start then sets
// it aside as not the program's.
struct JournalDamage
{
    const char* name;
    bool setAside;
};

const JournalDamage Damages[] = {
    {"as left", false},      {"one byte short", false}, {"0 bytes", false},
    {"foreign paths", true}, {"2 MiB", true},
};

// Damages the journal at `path`; `victims` is a folder beside the shop the journal must never reach.
void damageJournal(const JournalDamage& damage, const QString& path, const QString& victims)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QByteArray bytes = file.readAll();
    file.close();
    const QString name = QString::fromLatin1(damage.name);
    if (name == QLatin1String("one byte short")) {
        bytes.chop(1);
    } else if (name == QLatin1String("0 bytes")) {
        bytes.clear();
    } else if (name == QLatin1String("foreign paths")) {
        // Cut short by the kill, it still becomes a whole journal of another's.
        RestoreJournal::Journal journal = RestoreJournal::decode(bytes).value_or(RestoreJournal::Journal{});
        journal.steps.append({QStringLiteral("../victims/rel.txt"), false});
        journal.steps.append({QDir(victims).filePath(QStringLiteral("abs.txt")), false});
        journal.steps.append({QStringLiteral("../victims/over.txt"), true});
        bytes = RestoreJournal::encode(journal);
    } else if (name == QLatin1String("2 MiB")) {
        bytes += QByteArray(2 << 20, ' ');
    }
    writeBytes(path, bytes);
}

const QMap<QString, QByteArray> VictimFiles{{"rel.txt", "relative"},
                                            {"abs.txt", "absolute"},
                                            {"over.txt", "outside"},
                                            {"over.txt.restore-new", "new"}};

bool victimsUntouched(const QString& victims)
{
    for (auto it = VictimFiles.cbegin(); it != VictimFiles.cend(); ++it) {
        QFile file(QDir(victims).filePath(it.key()));
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != it.value())
            return false;
    }
    return true;
}

int parent(int kills, unsigned seed)
{
    const QTemporaryDir dir(killTestFolder(QStringLiteral("restorekill")));
    Parent p(dir.path());
    for (const char* folder : {"a", "a-config", "b", "b-config"})
        QDir().mkpath(p.path(QString::fromLatin1(folder)));
    if (!p.run({"--make", "B"}, p.path("b"), p.path("b-config")) ||
        !p.run({"--make", "A"}, p.path("a"), p.path("a-config"))) {
        std::fprintf(stderr, "restorekill: the shops could not be made\n");
        return 1;
    }
    const QString archive = p.path("b/new.zip");
    const QMap<QString, QByteArray> oldSet = stateOf(p.path("a"), p.path("a-config"));

    // The new set: a restore that nothing interrupts, timed for the range of the kills.
    if (!copyTree(p.path("a"), p.path("run")) || !copyTree(p.path("a-config"), p.path("run-config")))
        return 1;
    QElapsedTimer timer;
    timer.start();
    if (!p.run({"--restore", archive}, p.path("run"), p.path("run-config"))) {
        std::fprintf(stderr, "restorekill: the restore failed\n");
        return 1;
    }
    const qint64 duration = timer.elapsed();
    const QMap<QString, QByteArray> newSet = stateOf(p.path("run"), p.path("run-config"));
    if (newSet == oldSet || !newSet.contains(QStringLiteral("shop/soranika.db"))) {
        std::fprintf(stderr, "restorekill: the restore changed nothing\n");
        return 1;
    }

    std::mt19937 random(seed);
    std::uniform_int_distribution<qint64> moment(0, duration + duration / 5);
    std::uniform_int_distribution<qint64> shortly(0, 20000);
    int allOld = 0;
    int allNew = 0;
    int recovered = 0;
    int damaged = 0;
    const QString victims = p.path("victims");
    for (int kill = 0; kill < kills; ++kill) {
        // Every damage in turn meets the kills that wait for the journal.
        const JournalDamage& damage = Damages[(kill / 3) % std::size(Damages)];
        if (!copyTree(p.path("a"), p.path("run")) || !copyTree(p.path("a-config"), p.path("run-config")))
            return 1;
        QDir(victims).removeRecursively();
        QDir().mkpath(victims);
        for (auto it = VictimFiles.cbegin(); it != VictimFiles.cend(); ++it)
            writeBytes(QDir(victims).filePath(it.key()), it.value());
        std::unique_ptr<QProcess> child(p.start({"--restore", archive}, p.path("run"), p.path("run-config")));
        child->waitForStarted();
        // A third of the kills fall anywhere in the run; the others shortly after the first new file
        // or the journal appears, where the files change, which a kill anywhere would seldom hit.
        if (kill % 3 == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        } else {
            const QString sign =
                kill % 3 == 1 ? p.path("run/detapetto.dt.restore-new") : p.path("run/restore.journal");
            QElapsedTimer waiting;
            waiting.start();
            while (!QFileInfo::exists(sign) && child->state() == QProcess::Running &&
                   waiting.elapsed() < duration * 2)
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            // The files are renamed within a fraction of a millisecond of the journal.
            std::this_thread::sleep_for(
                std::chrono::microseconds(shortly(random) / (kill % 3 == 1 ? 1 : 100)));
        }
        child->kill();
        child->waitForFinished();
        const QString journal = p.path("run/restore.journal");
        const bool journalLeft = QFileInfo::exists(journal);
        if (journalLeft && QLatin1String(damage.name) != QLatin1String("as left")) {
            damageJournal(damage, journal, victims);
            ++damaged;
        }
        if (!p.run({"--recover"}, p.path("run"), p.path("run-config"))) {
            std::fprintf(stderr, "restorekill: recovery failed after kill %d, journal %s (seed %u)\n", kill,
                         damage.name, seed);
            return 1;
        }
        const bool setAside = QFileInfo::exists(p.path("run/restore.journal.bad"));
        if (!victimsUntouched(victims) || QFileInfo::exists(journal) ||
            setAside != (journalLeft && damage.setAside)) {
            std::fprintf(stderr,
                         "restorekill: journal %s after kill %d: files outside changed, or the journal "
                         "not settled as it should be (seed %u)\n",
                         damage.name, kill, seed);
            return 1;
        }
        const QMap<QString, QByteArray> state = stateOf(p.path("run"), p.path("run-config"));
        if (state == oldSet) {
            ++allOld;
        } else if (state == newSet) {
            ++allNew;
        } else {
            for (auto it = state.cbegin(); it != state.cend(); ++it) {
                const char* side = oldSet.value(it.key()) == it.value()   ? "old"
                                   : newSet.value(it.key()) == it.value() ? "new"
                                                                          : "neither";
                std::fprintf(stderr, "  %s: %s\n", qPrintable(it.key()), side);
            }
            std::fprintf(stderr, "restorekill: a mix of old and new after kill %d, journal %s (seed %u)\n",
                         kill, damage.name, seed);
            return 1;
        }
        recovered += journalLeft ? 1 : 0;
    }
    std::printf(
        "restorekill: %d kills (seed %u): %d all old, %d all new; %d journals left, %d of them damaged\n",
        kills, seed, allOld, allNew, recovered, damaged);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() > 2 && args[1] == QLatin1String("--make")) {
            makeShop(args[2].at(0).toLatin1());
            return 0;
        }
        if (args.size() > 2 && args[1] == QLatin1String("--restore")) {
            restore(args[2]);
            return 0;
        }
        if (args.size() > 1 && args[1] == QLatin1String("--recover")) {
            RestoreJournal::finishInterruptedRestore(QDir(QDir::currentPath()));
            return 0;
        }
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    const int kills = args.size() > 1 ? args[1].toInt() : 20;
    const unsigned seed = args.size() > 2 ? args[2].toUInt() : std::random_device()();
    return parent(kills, seed);
}
