// Kills a child process that stores records and rewrites and appends to a pick list, with SIGKILL
// at random moments, and checks after every kill that nothing is half written: once the next load
// has finished a store the kill cut short (from its journal), the data file is a whole number of
// records and each record holds its old or its new content; the list is the old or the new list.
//
//   killtest [kills] [seed]       runs the parent; 200 kills unless told
//   killtest --child <first step> runs the steps from <first step> on in the working directory

#include "store/Failure.h"
#include "store/PetRecord.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/RecordJournal.h"
#include "support/KillChild.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <random>

#include <unistd.h>

namespace {

const QString DataFile = QStringLiteral("detapetto.dt");
const QString ListFile = QStringLiteral("syurui.txt");
constexpr qint32 Slots = 48;
constexpr qint32 FirstRecords = 40;

// Step n stores a record, rewrites the list or appends an item to it.
enum class Kind { Store, Rewrite, Append };

Kind kindOf(qint64 step)
{
    return step % 4 < 2 ? Kind::Store : step % 4 == 2 ? Kind::Rewrite : Kind::Append;
}

qint32 slotOf(qint64 step)
{
    return qint32(step * 7919 % Slots) + 1;
}

// The record that step `step` stores in `slot`: every byte depends on both, so a record torn
// between two steps matches neither.
QByteArray recordOf(qint32 slot, qint64 step)
{
    QByteArray bytes(RecordLength, '\0');
    std::memcpy(bytes.data(), &slot, sizeof slot);
    std::memcpy(bytes.data() + sizeof slot, &step, sizeof step);
    quint32 state = quint32(slot) * 2654435761u ^ quint32(step) * 40503u;
    for (int i = 12; i < RecordLength; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = char(state >> 24);
    }
    return bytes;
}

QStringList rewrittenList(qint64 step)
{
    QStringList items;
    for (int i = 0; i < int(step % 7) + 1; ++i)
        items.append(QStringLiteral("犬種%1の%2").arg(step).arg(i));
    return items;
}

QString appendedItem(qint64 step)
{
    return QStringLiteral("追加%1 ﾁﾜﾜ").arg(step);
}

void runStep(RecordFile& records, qint64 step)
{
    switch (kindOf(step)) {
    case Kind::Store: {
        const QByteArray bytes = recordOf(slotOf(step), step);
        std::memcpy(&records.CurrentRecord, bytes.constData(), RecordLength);
        records.StoreRecord(slotOf(step));
        break;
    }
    case Kind::Rewrite:
        PickListFile::rewrite(ListFile, rewrittenList(step));
        break;
    case Kind::Append:
        PickListFile::appendItem(ListFile, appendedItem(step));
        break;
    }
}

// The child: says it is ready, then runs steps and reports each one done, until it is killed.
int child(qint64 first)
{
    RecordFile records;
    const auto report = [](qint64 step) {
        const QByteArray line = QByteArray::number(step) + '\n';
        return ::write(STDOUT_FILENO, line.constData(), size_t(line.size())) == line.size();
    };
    if (!report(first - 1))
        return 1;
    try {
        for (qint64 step = first;; ++step) {
            runStep(records, step);
            if (!report(step))
                return 1;
        }
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
}

// What the parent knows is on disk: the step each record was last stored by (none: all zeros or
// past the end), and the list.
struct Model
{
    std::map<qint32, qint64> recordSteps;
    QStringList list;

    void apply(qint64 step)
    {
        switch (kindOf(step)) {
        case Kind::Store:
            recordSteps[slotOf(step)] = step;
            break;
        case Kind::Rewrite:
            list = rewrittenList(step);
            break;
        case Kind::Append:
            list.append(appendedItem(step));
            break;
        }
    }
};

struct Counts
{
    int kills = 0;
    int landed = 0;   // kills after which the step in flight turned out to be on disk
    int journals = 0; // kills that left a record store's journal for the next call to finish
    qint64 steps = 0;
};

quint32 seed = 0;

[[noreturn]] void fail(const char* what, qint64 step)
{
    std::fprintf(stderr, "killtest: %s (step in flight %lld, seed %u)\n", what, static_cast<long long>(step),
                 seed);
    std::exit(1);
}

// Checks the files against the model, with the step in flight either done or not done, and
// returns whether it was done.
bool check(const Model& model, qint64 inFlight)
{
    Model done = model;
    done.apply(inFlight);
    bool landed = false;

    QFile file(DataFile);
    if (!file.open(QIODevice::ReadOnly))
        fail("the data file cannot be read", inFlight);
    const QByteArray data = file.readAll();
    if (data.size() % RecordLength != 0)
        fail("the data file is not a whole number of records", inFlight);
    const qint32 count = qint32(data.size() / RecordLength);
    for (qint32 slot = 1; slot <= Slots; ++slot) {
        const auto expected = [&](const Model& m) -> std::optional<QByteArray> {
            const auto found = m.recordSteps.find(slot);
            if (found != m.recordSteps.end())
                return recordOf(slot, found->second);
            if (slot <= count)
                return QByteArray(RecordLength, '\0');
            return std::nullopt;
        };
        const std::optional<QByteArray> present =
            slot <= count ? std::optional(data.mid(qsizetype(slot - 1) * RecordLength, RecordLength))
                          : std::nullopt;
        if (present == expected(done) && present != expected(model))
            landed = true;
        else if (present != expected(model))
            fail("a record is neither its old nor its new content", inFlight);
    }

    const QStringList list = PickListFile::readItems(ListFile);
    if (list == done.list && list != model.list)
        landed = true;
    else if (list != model.list)
        fail("the list is neither the old nor the new list", inFlight);
    return landed;
}

int parent(int kills)
{
    QTemporaryDir work(killTestFolder(QStringLiteral("killtest")));
    if (!work.isValid() || !QDir::setCurrent(work.path()))
        fail("no working directory", 0);

    Model model;
    RecordFile records;
    for (qint32 slot = 1; slot <= FirstRecords; ++slot) {
        const QByteArray bytes = recordOf(slot, -slot);
        std::memcpy(&records.CurrentRecord, bytes.constData(), RecordLength);
        records.StoreRecord(slot);
        model.recordSteps[slot] = -slot;
    }
    PickListFile::rewrite(ListFile, {});

    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, 3000);
    Counts counts;
    qint64 next = 1;
    for (; counts.kills < kills; ++counts.kills) {
        QProcess process;
        if (!startAndKill(process, {QStringLiteral("--child"), QString::number(next)},
                          std::chrono::microseconds(delay(random))))
            fail("the child did not start", next);
        const QByteArray errors = process.readAllStandardError();
        if (process.exitStatus() != QProcess::CrashExit || !errors.isEmpty())
            fail(errors.isEmpty() ? "the child ended before it was killed" : errors.constData(), next);

        qint64 lastDone = next - 1;
        for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
            if (!line.isEmpty())
                lastDone = qMax(lastDone, line.toLongLong());
        }
        for (qint64 step = next; step <= lastDone; ++step)
            model.apply(step);
        const qint64 inFlight = lastDone + 1;
        // The program's next load finishes a store the kill cut short, as it would after a restart.
        if (QFile::exists(RecordJournal::fileName(DataFile)))
            ++counts.journals;
        RecordFile(DataFile).LoadRecord(1);
        if (check(model, inFlight)) {
            model.apply(inFlight);
            ++counts.landed;
        }
        counts.steps += inFlight - next;
        next = inFlight + 1;
    }

    // A rewrite killed before its rename can leave its temporary file behind; the clean-up at start
    // removes those, and nothing else is left.
    PickListFile::removeStaleTemporaries(QDateTime::currentDateTime().addSecs(1));
    const QStringList left =
        QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (left != QStringList{DataFile, ListFile})
        fail(qPrintable(QStringLiteral("files left over: ") + left.join(QLatin1Char(' '))), next);

    std::printf(
        "killtest: %d kills survived (seed %u): %lld steps done; the step in flight was on disk after %d "
        "kills and not after %d; %d kills left a record store for the next load to finish from its "
        "journal; every record whole, every list old or new\n",
        counts.kills, seed, static_cast<long long>(counts.steps), counts.landed, counts.kills - counts.landed,
        counts.journals);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--child"))
        return child(args[2].toLongLong());
    const int kills = args.size() > 1 ? args[1].toInt() : 200;
    seed = args.size() > 2 ? args[2].toUInt() : std::random_device()();
    return parent(kills);
}
