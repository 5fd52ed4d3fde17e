#pragma once

#include "app/ScreenContext.h"
#include "app/ScreenRegistry.h"
#include "store/RecordFile.h"

#include <memory>

class BackupService;

// The whole program: the shared record file, the screens and the flow between them, and the
// backups of the data.
class Program
{
public:
    Program(MessageBoxes& messages, Clock& clock);
    ~Program();

    // Starting the program is loading and showing the start screen. Once it has been painted, the
    // daily backup starts on a thread of its own; the program waits for it when it ends.
    void start();

    ScreenRegistry& registry() { return screens; }
    RecordFile& records() { return recordFile; }
    BackupService& backups() { return *backupService; }

private:
    RecordFile recordFile;
    ScreenRegistry screens;
    // Destroyed before the screens, so the program ends only after a running daily backup is on disk.
    std::unique_ptr<BackupService> backupService;
    ScreenContext context;
};
