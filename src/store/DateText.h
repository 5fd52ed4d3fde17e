#pragma once

#include <QDate>
#include <QString>

// A date as a shop types it: "2026/11/2", "2026-11-2", "2026.11.2", "2026年11月2日", or in the
// Japanese era calendar with the era's letter or name ("R8/11/2", "R8.11.2", "令和8年11月2日",
// "H31/4/30", "平成元年1月8日", "S64.1.7"). Full-width digits, letters and separators read like
// their half-width forms, and spaces are ignored. An era date must fall inside its era.
// An invalid QDate when the text does not read as a day of the calendar.
QDate readShopDate(const QString& text);
