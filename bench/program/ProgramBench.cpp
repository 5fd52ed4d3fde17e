// The program as a shop feels it, against floors that no program can beat, measured in one run:
//   - start-up until the start screen is painted, against a bare Qt Widgets window with its three buttons;
//   - "新規入力" from record 1 across 32,766 used records, against a C loop doing only open, pread of
//     one record and close per record;
//   - resident memory with the chart screen open, against the bare window;
//   - お店の状況 opened over a full file (32,767 charts, 5,000 of them sold, care plans set), against
//     the chart list opened over the same file.
// Each round runs every process once, so a change in the machine's load hits both sides alike. Ratios
// are taken on CPU time (user + system of the whole process), which other work on a shared machine
// disturbs far less than wall-clock time; the wall-clock medians are printed beside them.
//
// Usage: program_bench [rounds]     (the probes are looked for beside this program)

#include "Measure.h"

#include "store/CarePlans.h"
#include "store/PetRecord.h"
#include "store/RecordFile.h"
#include "store/SaleDatabase.h"
#include "support/SampleCharts.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QList>
#include <QMap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int UsedRecords = 32766;

qint64 cpuNanos()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// One line of a probe: its label and its key=value numbers.
struct Line
{
    QByteArray label;
    QMap<QByteArray, QByteArray> values;
    qint64 number(const char* key) const { return values.value(key).toLongLong(); }
};

struct Run
{
    qint64 spawned = 0;
    QList<Line> lines;
    const Line& line(const char* label) const
    {
        for (const Line& line : lines) {
            if (line.label == label)
                return line;
        }
        std::fprintf(stderr, "a probe did not report \"%s\"\n", label);
        std::exit(1);
    }
};

// Runs one probe to its end and collects what it printed.
Run runProbe(const QString& program, const QStringList& arguments)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        qFatal("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    // What Qt says on the way (the offscreen platform's notes) is shown only when the probe fails.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "probe-messages.txt",
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QList<QByteArray> storage{program.toLocal8Bit()};
    for (const QString& argument : arguments)
        storage.append(argument.toLocal8Bit());
    QList<char*> argv;
    for (QByteArray& argument : storage)
        argv.append(argument.data());
    argv.append(nullptr);

    Run run;
    pid_t child = 0;
    run.spawned = Measure::monotonicNanos();
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        qFatal("cannot start %s", argv[0]);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    QByteArray output;
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        QFile messages(QStringLiteral("probe-messages.txt"));
        if (messages.open(QIODevice::ReadOnly))
            std::fputs(messages.readAll().constData(), stderr);
        qFatal("%s %s failed", argv[0], argv[1] ? argv[1] : "");
    }
    for (const QByteArray& text : output.split('\n')) {
        const QList<QByteArray> words = text.split(' ');
        if (text.isEmpty() || words.size() < 2)
            continue;
        Line line{words.first(), {}};
        for (const QByteArray& word : words.mid(1)) {
            const qsizetype equals = word.indexOf('=');
            line.values.insert(word.left(equals), word.mid(equals + 1));
        }
        run.lines.append(line);
    }
    return run;
}

// The floor of the search: open, read one record, close, until the free record after the last one.
// Returns the number of records read.
int searchFloor(const char* fileName)
{
    char record[RecordLength];
    int reads = 0;
    for (qint64 number = 2;; ++number) {
        const int file = open(fileName, O_RDONLY);
        if (file < 0)
            qFatal("cannot open %s", fileName);
        std::fill(std::begin(record), std::end(record), '\0');
        const ssize_t got = pread(file, record, RecordLength, (number - 1) * RecordLength);
        close(file);
        ++reads;
        if (got < 0)
            qFatal("cannot read %s", fileName);
        if (record[offsetof(PetRecord, Kind)] == '\0')
            return reads;
    }
}

void writeRecordFile(const QString& fileName)
{
    PetRecord record = SampleChart{.kind = QStringLiteral("柴犬"),
                                   .born = QDate(2026, 4, 1),
                                   .sex = QStringLiteral("オス"),
                                   .colour = QStringLiteral("赤")}
                           .record();
    setText(record.Staff, QStringLiteral("佐藤"));
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(fileName));
    file.write(bytesOf(record).repeated(UsedRecords));
}

// Makes today's automatic backup with the program itself, of data last written an hour ago, as on every
// start but the first of the day, so that what is measured is the program's own work, not a backup
// beside it.
void makeTodaysBackup(const QString& probe)
{
    for (const QString& name : QDir().entryList(QDir::Files)) {
        QFile file(name);
        if (!file.open(QIODevice::ReadWrite) ||
            !file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime))
            qFatal("cannot date %s back", qPrintable(name));
    }
    runProbe(probe, {QStringLiteral("backup")});
    if (!QFile::exists(QStringLiteral("バックアップ/%1.zip")
                           .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")))))
        qFatal("the program made no backup of today");
}

constexpr int SoldRecords = 5000;

// A shop with every chart in use: the first 5,000 sold over the last year, each with its row in
// soranika.db, the others in stock with a medication history; two care plans.
void writeFullShop()
{
    const QDate today = QDate::currentDate();
    QFile file(QStringLiteral("detapetto.dt"));
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the full record file");
    SaleDatabase db(QStringLiteral("soranika.db"), QStringLiteral("soranika.db"));
    SqliteTransaction transaction(db);
    db.run(QStringLiteral("INSERT INTO breed_species (kind, species) VALUES ('柴犬', '犬')"));
    for (int number = 1; number <= RecordFile::MaxRecords; ++number) {
        const QDate purchased = today.addDays(-(number % 400) - 30);
        const QDate birth = purchased.addDays(-60);
        PetRecord record = SampleChart{.kind = QStringLiteral("柴犬"),
                                       .born = birth,
                                       .sex = number % 2 ? QStringLiteral("オス") : QStringLiteral("メス"),
                                       .purchased = purchased.toString(QStringLiteral("yyyy/M/d")),
                                       .cost = QStringLiteral("80,000円"),
                                       .planned = QStringLiteral("198,000円")}
                               .record();
        setText(record.Medication1,
                birth.addDays(56).toString(QStringLiteral("yyyy年M月d日   混合ワクチン   済み")));
        setText(record.Medication2, purchased.toString(QStringLiteral("yyyy/M/d 駆虫薬")));
        if (number <= SoldRecords) {
            const QDate sold = std::min(purchased.addDays(20), today);
            setText(record.SaleDate, sold.toString(QStringLiteral("yyyy/M/d")));
            db.run(QStringLiteral("INSERT INTO animal_stay (record_number, species, kind, birth, purchased, "
                                  "sold_on, price) VALUES (?, '犬', '柴犬', ?, ?, ?, 198000)"),
                   {number, birth.toString(QStringLiteral("yyyy/M/d")),
                    purchased.toString(QStringLiteral("yyyy/M/d")), sold.toString(Qt::ISODate)});
        }
        file.write(bytesOf(record));
    }
    // The charts' typed sale dates were taken into the database by an earlier start: every start measured
    // here is an ordinary one.
    db.run(QStringLiteral("INSERT INTO program_state (key, value) VALUES ('typed_sale_dates_adopted', '0')"));
    transaction.commit();
    CarePlans().savePlans({{QStringLiteral("混合ワクチン"), 28, 56, 3, CareFor::All, {}},
                           {QStringLiteral("駆虫薬"), 14, {}, {}, CareFor::All, {}}});
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void printRow(const char* figure, double program, double floor, const char* unit, const char* target)
{
    std::printf("%-44s %10.1f %-3s %10.1f %-3s %6.2f×  %s\n", figure, program, unit, floor, unit,
                program / floor, target);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const QString here = QCoreApplication::applicationDirPath();
    const QString probe = here + QStringLiteral("/program_probe");
    const QString bare = here + QStringLiteral("/bare_window");

    // The probes run in a working directory and settings store of their own.
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        qFatal("no temporary working directory");
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LANG", "ja_JP.UTF-8");
    // The plot module, which the overview loads, sits beside the program, one folder up.
    qputenv("QT_PLUGIN_PATH", QDir(here).absoluteFilePath(QStringLiteral("..")).toLocal8Bit());
    writeRecordFile(QStringLiteral("detapetto.dt"));
    makeTodaysBackup(probe);
    // The full shop in a folder of its own.
    const QString fullShop = dir.filePath(QStringLiteral("full"));
    QDir().mkpath(fullShop);
    QDir::setCurrent(fullShop);
    writeFullShop();
    makeTodaysBackup(probe);
    QDir::setCurrent(dir.path());

    QList<double> bareCpu, bareWall, bareRss, startCpu, startWall, chartRss, searchCpu, searchWall, floorCpu,
        floorWall, listCpu, listWall, overviewCpu, overviewWall;
    const auto ms = [](qint64 value, double unit) { return double(value) / unit; };
    for (int round = 0; round < rounds; ++round) {
        const Run bareRun = runProbe(bare, {});
        const Line& bareShown = bareRun.line("shown");
        bareCpu.append(ms(bareShown.number("cpu"), 1e3));
        bareWall.append(ms(bareShown.number("wall") - bareRun.spawned, 1e6));
        bareRss.append(ms(bareShown.number("rss"), 1024));

        const Run startRun = runProbe(probe, {QStringLiteral("start")});
        const Line& startShown = startRun.line("shown");
        startCpu.append(ms(startShown.number("cpu"), 1e3));
        startWall.append(ms(startShown.number("wall") - startRun.spawned, 1e6));

        const Run chartRun = runProbe(probe, {QStringLiteral("chart"), QStringLiteral("1")});
        chartRss.append(ms(chartRun.line("chart").number("rss"), 1024));
        const Line& search = chartRun.line("newentry");
        if (search.values.value("record").toInt() != UsedRecords + 1)
            qFatal("the search ended on record %s", search.values.value("record").constData());
        searchCpu.append(ms(search.number("cpu"), 1e3));
        searchWall.append(ms(search.number("wall"), 1e6));

        const qint64 wall = Measure::monotonicNanos();
        const qint64 cpu = cpuNanos();
        if (searchFloor("detapetto.dt") != UsedRecords)
            qFatal("the floor loop read the wrong number of records");
        floorCpu.append(ms(cpuNanos() - cpu, 1e6));
        floorWall.append(ms(Measure::monotonicNanos() - wall, 1e6));

        QDir::setCurrent(fullShop);
        const Run listsRun = runProbe(probe, {QStringLiteral("lists")});
        QDir::setCurrent(dir.path());
        listCpu.append(ms(listsRun.line("chartlist").number("cpu"), 1e3));
        listWall.append(ms(listsRun.line("chartlist").number("wall"), 1e6));
        overviewCpu.append(ms(listsRun.line("overview").number("cpu"), 1e3));
        overviewWall.append(ms(listsRun.line("overview").number("wall"), 1e6));
        std::fprintf(stderr, "\rround %d of %d", round + 1, rounds);
    }
    std::fprintf(stderr, "\n");

    std::printf("Medians of %d rounds. CPU = user + system time of the whole process.\n\n", rounds);
    std::printf("%-44s %14s %14s %7s  %s\n", "figure", "soranika", "floor", "ratio", "target");
    printRow("start-up to the start screen, CPU", median(startCpu), median(bareCpu), "ms", "≤ 1.2×");
    printRow("  the same, wall-clock", median(startWall), median(bareWall), "ms", "");
    printRow("new entry from record 1, 32,766 records, CPU", median(searchCpu), median(floorCpu), "ms",
             "≤ 1.25×");
    printRow("  the same, wall-clock", median(searchWall), median(floorWall), "ms", "");
    printRow("resident memory, chart screen open", median(chartRss), median(bareRss), "MiB", "≤ 1.3×");
    std::printf("\n%-44s %14s %14s\n", "", "お店の状況", "カルテ一覧");
    printRow("opening over 32,767 charts, 5,000 sold, CPU", median(overviewCpu), median(listCpu), "ms",
             "≤ 1.5×");
    printRow("  the same, wall-clock", median(overviewWall), median(listWall), "ms", "");
    return 0;
}
