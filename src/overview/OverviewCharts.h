#pragma once

#include "overview/ShopFigures.h"

class QChart;
class QPainter;
class QRectF;

// The plots of the months: selling prices and margin as bars, and the stock at each month's end as
// a line. The caller owns them.
QChart* newSalesChart(const QList<MonthFigures>& months);
QChart* newStockChart(const QList<MonthFigures>& months);

// 「yyyy/MM～yyyy/MM」 of the months shown.
QString periodText(const QList<MonthFigures>& months);

// Draws `chart` into `area` of a printed page, scaled to fit; the chart is deleted afterwards.
void paintChart(QPainter& painter, const QRectF& area, QChart* chart);
