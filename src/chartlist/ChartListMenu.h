#pragma once

#include "chartlist/ChartRows.h"

#include <QMap>
#include <QObject>

class QAction;
class ShownChart;
struct ScreenContext;

// The file menu's commands over all charts: the chart list, which can show the chosen chart, and
// the CSV of every chart with the list's columns.
class ChartListMenu : public QObject
{
    Q_OBJECT
public:
    ChartListMenu(ScreenContext& context, ShownChart& chart, QObject* parent);

    QAction* const actChartList;
    QAction* const actExportCsv;

private:
    void openChartList();
    void exportAllCharts();
    QMap<qint32, QString> microchipNumbers();
    QMap<qint32, ChartOutcomeFigures> outcomeFigures();

    ScreenContext& context;
    ShownChart& chart;
};
