// The real program, started exactly as main() starts it, reporting on itself at the moments the
// program benchmark asks about:
//   program_probe start    the start screen painted
//   program_probe chart    the chart screen painted after "スタート", then each "新規入力" from record 1
//                          (the record file in the working directory decides how far it goes)
//   program_probe lists    the chart screen painted, then the chart list and the overview each opened
//                          from their menu items until they are painted
//   program_probe backup   the start screen painted, then the day's automatic backup made (no report)

#include "Measure.h"

#include "app/DesktopProgram.h"
#include "app/Program.h"
#include "app/ScreenWindow.h"
#include "backup/BackupService.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void measureNewEntry(QWidget* chart, int clicks)
{
    auto* number = chart->findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* newEntry = chart->findChild<QPushButton*>(QStringLiteral("Command9"));
    for (int i = 0; i < clicks; ++i) {
        // Back to record 1 as the user goes there: the number typed, then Enter.
        number->setText(QStringLiteral("1"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(number, &enter);
        QCoreApplication::processEvents();
        const qint64 wall = Measure::monotonicNanos();
        const qint64 cpu = Measure::processCpuMicros();
        newEntry->click();
        const qint64 cpuUsed = Measure::processCpuMicros() - cpu;
        const qint64 wallUsed = Measure::monotonicNanos() - wall;
        std::printf("newentry wall=%lld cpu=%lld record=%s\n", static_cast<long long>(wallUsed),
                    static_cast<long long>(cpuUsed), qPrintable(number->text()));
        std::fflush(stdout);
        QCoreApplication::processEvents();
    }
}

// Reports `label` with the time since the watch began once the window named `name` is first painted,
// and closes that window.
class OpeningWatch : public QObject
{
public:
    OpeningWatch(const char* label, const char* name)
        : label(label), name(QString::fromLatin1(name)), wall(Measure::monotonicNanos()),
          cpu(Measure::processCpuMicros())
    {
        qApp->installEventFilter(this);
    }
    ~OpeningWatch() override { qApp->removeEventFilter(this); }
    bool seen() const { return reported; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = qobject_cast<QDialog*>(watched);
        if (event->type() != QEvent::Paint || window == nullptr || window->objectName() != name || reported)
            return false;
        reported = true;
        std::printf("%s wall=%lld cpu=%lld\n", label,
                    static_cast<long long>(Measure::monotonicNanos() - wall),
                    static_cast<long long>(Measure::processCpuMicros() - cpu));
        std::fflush(stdout);
        QTimer::singleShot(0, window, &QDialog::reject);
        return false;
    }

private:
    const char* label;
    QString name;
    qint64 wall;
    qint64 cpu;
    bool reported = false;
};

void measureOpening(QWidget* chart, const char* action, const char* label, const char* window)
{
    const OpeningWatch watch(label, window);
    chart->findChild<QAction*>(QString::fromLatin1(action))->trigger();
    // A window that is not modal (お店の状況) is back before it is painted: it is waited for.
    while (!watch.seen())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char* argv[])
{
    const bool listsMode = argc > 1 && std::strcmp(argv[1], "lists") == 0;
    const bool chartMode = listsMode || (argc > 1 && std::strcmp(argv[1], "chart") == 0);
    const int clicks = argc > 2 ? std::atoi(argv[2]) : 1;
    int qtArgc = 1;
    return runDesktopProgram(qtArgc, argv, [&](Program& program) {
        QWidget* start = program.registry().loaded(ScreenName::Form1);
        Measure::waitUntilPainted(start);
        if (argc > 1 && std::strcmp(argv[1], "backup") == 0) {
            // Started after the first paint unless it is running already; either way on disk before the end.
            program.backups().startDailyBackup();
            program.backups().waitForDailyBackup();
            std::_Exit(0);
        }
        if (!chartMode) {
            Measure::report("shown");
            std::_Exit(0);
        }
        start->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        QWidget* chart = program.registry().loaded(ScreenName::Form2);
        Measure::waitUntilPainted(chart);
        Measure::report("chart");
        if (listsMode) {
            // What the chart screen does once it is shown (the count of care that is due) is not part
            // of either opening.
            QCoreApplication::processEvents();
            measureOpening(chart, "actChartList", "chartlist", "ChartList");
            measureOpening(chart, "actOverview", "overview", "ShopOverview");
        } else {
            measureNewEntry(chart, clicks);
        }
        std::_Exit(0);
    });
}
