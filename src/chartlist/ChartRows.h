#pragma once

#include "store/FreeText.h"
#include "store/PetRecord.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One chart as the chart list shows it: its record number and the texts of its columns.
struct ChartRow
{
    enum Column {
        Number,
        Kind,
        Sex,
        CoatColour,
        Birth,
        Staff,
        PurchaseDate,
        Supplier,
        PurchaseCost,
        PlannedPrice,
        SaleDate,
        Microchip,
        Status,
        SalePrice,
        Margin,
        ColumnCount
    };

    qint32 number = 0;
    QStringList texts;

    bool inStock() const { return texts[Status] == QStringLiteral("在庫"); }
};

// What became of a chart's animal, as the list shows it: a status other than 在庫 and, for a sale,
// the selling price in yen.
struct ChartOutcomeFigures
{
    QString status;
    std::optional<qint64> price;
};

// The column headings, in column order.
const QStringList& chartColumnNames();

// The chart list as a CSV table: the heading row, then `rows` (texts in column order) with the amount
// in yen beside each typed price, so a spreadsheet can add them up; empty where the typed price does
// not read as an amount ("相談").
QList<QStringList> chartCsvRows(const QList<QStringList>& rows);

// The columns of chartCsvRows() that the program writes as numbers.
QList<int> chartCsvNumberColumns();

// The rows of every record that is not free (its kind shows empty), in record-number order, with the
// microchip numbers of the charts that have one and what became of the animals that left the shop.
// A sold animal's margin is its selling price less the purchase cost, where the cost reads as an amount.
QList<ChartRow> chartRows(const std::vector<PetRecord>& records, const QMap<qint32, QString>& microchips = {},
                          const QMap<qint32, ChartOutcomeFigures>& outcomes = {});

// A text reduced for searching: compatibility forms folded (ｼﾊﾞ → シバ, ５ → 5), hiragana read as
// katakana (ぷーどる → プードル), 「・」 and spaces dropped, case ignored. Line feeds stay, so the
// columns of a row joined by them stay apart.
QString searchForm(const QString& text);
