#pragma once

#include "overview/ShopFigures.h"

#include <QList>
#include <QStringList>

// The overview's figures as rows of text, the same for its tables, the printout and the CSV.

const QStringList& stockColumns();
QList<QStringList> stockRows(const StockFigures& stock);
// 「犬 3 頭　猫 2 頭　その他 1 頭（計 6 頭）」
QString stockSummary(const StockFigures& stock);

const QStringList& monthColumns();
// Amounts thousands separated on the screen and on paper; plain numbers for a spreadsheet.
enum class Amounts { Grouped, Plain };
QList<QStringList> monthRows(const QList<MonthFigures>& months, Amounts amounts = Amounts::Grouped);
// "yyyy/MM", as the month column and the plots name a month.
QString monthName(const QDate& month);

// 「yyyy/MM～yyyy/MM」 of the months shown.
QString periodText(const QList<MonthFigures>& months);

const QStringList& dueColumns();
QList<QStringList> dueRows(const CareFigures& care);
// 「カルテ 5 番 柴犬：2026年11月　混合ワクチン」 for each line whose date does not read.
QStringList unreadableLines(const CareFigures& care);

// The whole overview for a spreadsheet: each table under a title row, an empty row between them.
QList<QStringList> overviewCsvRows(const StockFigures& stock, const QList<MonthFigures>& months,
                                   const CareFigures& care);
