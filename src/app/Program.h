#pragma once

#include "app/ScreenContext.h"
#include "app/ScreenRegistry.h"
#include "chartlist/ChartListView.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"

#include <memory>

class BackupService;
class WebViewFactory;

// The whole program: the shared record file, the screens and the flow between them, and the
// backups of the data.
class Program
{
public:
    Program(MessageBoxes& messages, Clock& clock, Printer& printer, FileDialogs& files,
            WebViewFactory& webViews);
    ~Program();

    // Starting the program is loading and showing the start screen. Once it has been painted, the
    // daily backup starts on a thread of its own; the program waits for it when it ends.
    void start();

    // Told once in the chart screen's status line when it opens.
    void tellAtStart(const QString& notice) { context.startNotice = notice; }

    ScreenRegistry& registry() { return screens; }
    RecordFile& records() { return recordFile; }
    ShopDatabase& database() { return shopDatabase; }
    BackupService& backups() { return *backupService; }

private:
    void addSaleStoreToBackups();

    RecordFile recordFile;
    ShopDatabase shopDatabase;
    ScreenRegistry screens;
    // Destroyed before the screens, so the program ends only after a running daily backup is on disk.
    std::unique_ptr<BackupService> backupService;
    ChartListView chartListView;
    ScreenContext context;
};
