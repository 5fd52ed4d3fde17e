#pragma once

#include "store/PetRecord.h"

#include <QDate>
#include <QList>
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
        Status,
        ColumnCount
    };

    qint32 number = 0;
    QStringList texts;

    bool inStock() const { return texts[SaleDate].isEmpty(); }
};

// The column headings, in column order.
const QStringList& chartColumnNames();

// The rows of every record that is not free (its kind shows empty), in record-number order.
QList<ChartRow> chartRows(const std::vector<PetRecord>& records);

// A price typed as free text, in yen: "50000", "50,000", "５００００円", "¥50,000". Nothing when the
// text does not read as a whole amount ("相談", "5万").
std::optional<qint64> readPrice(const QString& text);

// A date typed as free text: "2024/12/1", "2024-12-01", "2024.12.1", "2024年12月1日", full-width too.
std::optional<QDate> readDate(const QString& text);

// A text reduced for searching: compatibility forms folded (ｼﾊﾞ → シバ, ５ → 5) and case ignored.
QString searchForm(const QString& text);
