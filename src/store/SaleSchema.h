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
constexpr int Version = 4;

// Brings the database to Version in one transaction, so a failed step leaves the file as it was, and
// puts it in write-ahead logging. A file of a newer version is refused and left alone.
void migrate(SqliteConnection& db);

struct Table
{
    QString name;
    QStringList columns;
};

// Every table of the current version with its columns, for copying a whole database's content.
const QList<Table>& tables();

} // namespace SaleSchema
