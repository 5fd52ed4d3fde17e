#pragma once

#include "overview/ShopFigures.h"

class QPainter;
class QRectF;
class QWidget;

// The plots of the months: selling prices and margin as bars, with a note of the sales that have no
// price, and the stock at each month's end as a line. Drawn by QCustomPlot in the module
// soranika_plots, loaded with the first plot; a module that cannot be loaded fails with a Failure.
enum class Plot { Sales, Stock };

// A view for one plot, named `name`.
QWidget* newPlotView(QWidget* parent, const char* name);

// Shows the plot of `months` in a view made by newPlotView, in place of the one shown before.
void showPlot(QWidget* view, Plot plot, const QList<MonthFigures>& months);

// Draws the plot of `months` into `area` of a printed page, scaled to fit.
void paintPlot(QPainter& painter, const QRectF& area, Plot plot, const QList<MonthFigures>& months);
