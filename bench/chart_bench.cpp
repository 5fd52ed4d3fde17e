// "新規入力" on the chart screen across a full data file: it reads one record per step, opening and
// closing the file each time, until it meets the free record after the last one.

#include "app/ScreenRegistry.h"
#include "store/PetRecord.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

// One record short of the most the file can hold, so the search ends on the last possible number.
constexpr int RecordsInFile = 32766;

// Records as the editor writes them: every text field space-padded, the kind never empty.
const QByteArray& editorWrittenFile()
{
    static const QByteArray bytes = editorWrittenRecord(QStringLiteral("柴犬")).repeated(RecordsInFile);
    return bytes;
}

void newEntryFromRecordOne(benchmark::State& state)
{
    ProgramFixture fixture;
    writeFileBytes(QStringLiteral("detapetto.dt"), editorWrittenFile());
    fixture.program->registry().show(ScreenName::Form2);
    auto* number = fixture.control<QLineEdit>(QStringLiteral("Form2"), QStringLiteral("Text1"));
    auto* newEntry = fixture.control<QPushButton>(QStringLiteral("Form2"), QStringLiteral("Command9"));
    const QString freeRecord = QString::number(RecordsInFile + 1);

    for (auto _ : state) {
        state.PauseTiming();
        number->setText(QStringLiteral("1"));
        QTest::keyClick(number, Qt::Key_Return);
        state.ResumeTiming();

        newEntry->click();

        state.PauseTiming();
        if (number->text() != freeRecord)
            state.SkipWithError("the search did not end on the free record after the last one");
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(newEntryFromRecordOne)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7);

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
