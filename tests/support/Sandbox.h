#pragma once

#include <QString>
#include <QTemporaryDir>

// A temporary folder that is the working directory and holds the per-user settings store for as
// long as it lives, so no test touches the real data files or the shop's settings.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    QString path() const { return dir.path(); }
    QString filePath(const QString& name) const { return dir.filePath(name); }
    // The program's settings file, relative to the sandbox: QSettings names its files .ini on Windows.
    static QString settingsFile();

private:
    QTemporaryDir dir;
    QString previousDir;
};
