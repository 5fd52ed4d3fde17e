#pragma once

#include <QMenuBar>

class BackupMenu;
class ChartListMenu;
class ChartPrinting;
class OverviewMenu;
class SaleMenu;
class ShopRecordsMenu;
class ShownChart;
struct ScreenContext;

// The chart screen's menus: the features behind them, each owning its commands, and the chart's own
// commands, which the chart screen runs.
class ChartMenuBar : public QMenuBar
{
    Q_OBJECT
public:
    ChartMenuBar(ScreenContext& context, ShownChart& chart, QWidget* parent);

    ChartListMenu* const chartList;
    ChartPrinting* const printing;
    BackupMenu* const backup;
    OverviewMenu* const overview;
    SaleMenu* const sale;
    ShopRecordsMenu* const shopRecords;

    QAction* const actQuit;
    QAction* const actNewEntry;
    QAction* const actHelp;
    QAction* const actAbout;

    QMenu* const fileMenu;
    QMenu* const chartMenu;
    QMenu* const dataMenu;
    QMenu* const helpMenu;
};
