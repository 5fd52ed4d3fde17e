#include "Measure.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <sys/resource.h>

namespace Measure {

namespace {

class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

} // namespace

qint64 monotonicNanos()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

qint64 processCpuMicros()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (qint64(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1'000'000 + usage.ru_utime.tv_usec +
           usage.ru_stime.tv_usec;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

void waitUntilPainted(QWidget* window)
{
    PaintWatch watch;
    window->installEventFilter(&watch);
    QTimer::singleShot(20000, [] {
        std::fputs("the window was never painted\n", stderr);
        std::_Exit(2);
    });
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window->removeEventFilter(&watch);
}

void report(const char* label)
{
    const qint64 wall = monotonicNanos();
    const qint64 cpu = processCpuMicros();
    std::printf("%s wall=%lld cpu=%lld rss=%lld\n", label, static_cast<long long>(wall),
                static_cast<long long>(cpu), static_cast<long long>(residentKiB()));
    std::fflush(stdout);
}

} // namespace Measure
