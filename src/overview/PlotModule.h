#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtPlugin>

class QPainter;
class QRectF;
class QWidget;

// QCustomPlot lives in a module of its own (soranika_plots) that the program loads when the first plot
// is shown, so a start that shows none neither maps nor relocates the library. This header is all that
// the program and the module share: plain data and an interface, nothing of the program's, so the
// module needs nothing from the executable.

// One series over the plot's keys: bars side by side with the other bar series, or a line with dots.
struct PlotSeries
{
    QString objectName;
    QString name;
    QColor colour;
    QList<double> values;
    bool bars = true;
};

// Everything a plot shows, worked out by the program.
struct PlotContent
{
    QString title;
    QString note;     // under the legend; empty for none
    QStringList keys; // the names under the axis, one per value
    QList<PlotSeries> series;
    QString unit; // beside the value axis
    double lowest = 0;
    double highest = 1;
    bool wholeNumbers = false; // ticks on whole numbers only
    QFont titleFont;
    QFont noteFont;
    QColor noteColour;
    QFont labelFont;
    QFont legendFont;
};

class PlotModule
{
public:
    virtual ~PlotModule() = default;
    // A view, named `name`, for one plot at a time.
    virtual QWidget* newView(QWidget* parent, const QString& name) = 0;
    // Shows `content` in a view made by newView, in place of what it showed.
    virtual void show(QWidget* view, const PlotContent& content) = 0;
    // Draws `content` into `area` of a page, scaled to fit.
    virtual void paint(QPainter& painter, const QRectF& area, const PlotContent& content) = 0;
};

#define SoranikaPlotModule_iid "jp.soranika.PlotModule/1"
Q_DECLARE_INTERFACE(PlotModule, SoranikaPlotModule_iid)
