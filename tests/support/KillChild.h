#pragma once

// What the kill tests share: a working folder of their own and a child process, this same program
// started again, killed at a chosen moment. Header only: the kill tests link no widgets.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <thread>

// The template of a QTemporaryDir for one run: in memory (/dev/shm) where the system has it, else in
// the temporary folder.
inline QString killTestFolder(const QString& name)
{
    return QDir(QStringLiteral("/dev/shm")).exists()
               ? QStringLiteral("/dev/shm/%1-XXXXXX").arg(name)
               : QDir::tempPath() + QStringLiteral("/%1-XXXXXX").arg(name);
}

// Starts this program again with `arguments`, waits for the child's first output (it is under way),
// lets it run for `delay` and kills it. Returns false when the child did not start or said nothing.
inline bool startAndKill(QProcess& child, const QStringList& arguments, std::chrono::microseconds delay)
{
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForStarted() || !child.waitForReadyRead())
        return false;
    std::this_thread::sleep_for(delay);
    child.kill();
    child.waitForFinished();
    return true;
}
