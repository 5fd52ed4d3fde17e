#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class SqliteConnection;

// The tables of soranika.db and how an older file is brought up to date. The version lives in the
// file's user_version; version 0 is a new, empty file.
namespace SaleSchema {

// 1: chart_sale (one row per chart) and breed_text (one row per kind).
// 2: dealer (the shop's registration) and an index for finding a chart by microchip number.
// 3: what chart_sale's animal was when its row was entered (kind, birth, purchase).
// 4: breeder and seller on chart_sale, breed_species (犬 / 猫 per kind) and animal_outcome (sales and
//    animals that left the shop), care_plan (when each medication falls due) and stock_limit (the
//    overview's age and days-in-stock marks).
// 5: animal_stay in place of animal_outcome (a return starts a new stay; a sale and a departure never
//    share a row; what a deleted chart held of the animal), その他 as a chosen species, the microchip
//    certificate's day, pending_change (a chart change both or neither) and program_state.
constexpr int Version = 5;

// Brings the database to `upTo` (Version unless a copy rebuilds an older file first) in one
// transaction, so a failed step leaves the file as it was, and puts it in write-ahead logging. A file
// of a newer version is refused and left alone.
void migrate(SqliteConnection& db, int upTo = Version);

struct Table
{
    QString name;
    QStringList columns;
    int since = 1;  // the version that made it
    int before = 0; // the version that replaced it; 0 while it is current
};

// Every table of `version` with its columns (those of the current version; an older file lacks the
// columns added since), for copying a whole database's content.
QList<Table> tables(int version = Version);

} // namespace SaleSchema
