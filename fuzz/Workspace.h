#pragma once

#include <QDir>
#include <QTemporaryDir>

// One folder for the files of a whole fuzz run, in memory where the system has /dev/shm: the flush
// to disk every store makes costs nothing there, so a run gets through many more inputs. The
// working directory stays as it is: libFuzzer reads and writes its corpus relative to it.
struct FuzzWorkspace
{
    static QString base()
    {
        return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    }

    QTemporaryDir dir{base() + QStringLiteral("/soranika-fuzz-XXXXXX")};
};

inline FuzzWorkspace& fuzzWorkspace()
{
    static FuzzWorkspace workspace;
    return workspace;
}
