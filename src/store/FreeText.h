#pragma once

#include <QDate>
#include <QString>

#include <optional>

// Values the shop types as free text, read where they can be: for sorting, sums and checked entry.

// A price in yen: "50000", "50,000", "５００００円", "¥50,000". Nothing when the text does not read
// as a whole amount ("相談", "5万").
std::optional<qint64> readPrice(const QString& text);

// A date: "2024/12/1", "2024-12-01", "2024.12.1", "2024年12月1日", full-width too. Nothing when the
// text does not read as a day of the calendar.
std::optional<QDate> readDate(const QString& text);
