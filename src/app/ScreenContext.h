#pragma once

#include <QString>

class ScreenRegistry;
class RecordFile;
class ShopDatabase;
class MessageBoxes;
class Clock;
class Printer;
class FileDialogs;
class BackupService;
struct ChartListView;

// What every screen is handed: the flow between screens, the record file with the shared record,
// the platform services that tests replace, and the backups of the data.
struct ScreenContext
{
    ScreenRegistry& registry;
    RecordFile& records;
    // soranika.db: what the record has no room for (microchip, buyer, the texts of the sale-time
    // explanation), the animals' stays and the care plans.
    ShopDatabase& database;
    MessageBoxes& messages;
    Clock& clock;
    Printer& printer;
    FileDialogs& files;
    BackupService& backups;
    // The chart list's search, status choice and sort, kept while the program runs.
    ChartListView& chartListView;
    // What the start found and the chart screen's status line tells once (a lock file taken over).
    QString startNotice;
};

// The screens known by name; each exists at most once.
enum class ScreenName { Form1, Form2, Form3, Form4 };
