#pragma once

#include <QtGlobal>

class QWidget;

// What the probes of the program benchmark report about their own process, one line on stdout each.
namespace Measure {

// CLOCK_MONOTONIC: the same clock in every process, so the benchmark can time a child from its spawn.
qint64 monotonicNanos();
// User plus system time of the whole process so far, every thread included.
qint64 processCpuMicros();
// The process's resident set (VmRSS).
qint64 residentKiB();

// Runs the event loop until `window` has been painted for the first time.
void waitUntilPainted(QWidget* window);

// `label wall=<ns> cpu=<µs> rss=<KiB>` for the process as it is now.
void report(const char* label);

} // namespace Measure
