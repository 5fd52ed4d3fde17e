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
        ColumnCount
    };

    qint32 number = 0;
    QStringList texts;

    bool inStock() const { return texts[SaleDate].isEmpty(); }
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
// microchip numbers of the charts that have one.
QList<ChartRow> chartRows(const std::vector<PetRecord>& records,
                          const QMap<qint32, QString>& microchips = {});

// A text reduced for searching: compatibility forms folded (ｼﾊﾞ → シバ, ５ → 5), hiragana read as
// katakana (ぷーどる → プードル), 「・」 and spaces dropped, case ignored. Line feeds stay, so the
// columns of a row joined by them stay apart.
QString searchForm(const QString& text);
