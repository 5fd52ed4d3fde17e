#include "chart/ChartMenuBar.h"

#include "app/ShownChart.h"
#include "backup/ui/BackupMenu.h"
#include "chart/ChartPrinting.h"
#include "chartlist/ChartListMenu.h"
#include "overview/OverviewMenu.h"
#include "sale/SaleMenu.h"
#include "sale/ShopRecordsMenu.h"

namespace {

QMenu* namedMenu(QMenuBar* bar, const char* name, const QString& title)
{
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

ChartMenuBar::ChartMenuBar(ScreenContext& context, ShownChart& chart, QWidget* parent)
    : QMenuBar(parent), chartList(new ChartListMenu(context, chart, this)),
      printing(new ChartPrinting(context, chart, this)), backup(new BackupMenu(context, chart, this)),
      overview(new OverviewMenu(context, chart, this)), sale(new SaleMenu(context, chart, this)),
      shopRecords(new ShopRecordsMenu(context, chart, this)),
      actQuit(namedAction(this, "actQuit", QStringLiteral("終了(&X)"))),
      actNewEntry(namedAction(this, "actNewEntry", QStringLiteral("新規入力(&N)"))),
      actHelp(namedAction(this, "actHelp", QStringLiteral("ヘルプページ(&H)"))),
      actAbout(namedAction(this, "actAbout", QStringLiteral("バージョン情報(&A)"))),
      fileMenu(namedMenu(this, "fileMenu", QStringLiteral("ファイル(&F)"))),
      chartMenu(namedMenu(this, "chartMenu", QStringLiteral("カルテ(&C)"))),
      dataMenu(namedMenu(this, "dataMenu", QStringLiteral("各種データ(&D)"))),
      helpMenu(namedMenu(this, "helpMenu", QStringLiteral("ヘルプ(&H)")))
{
    setObjectName(QStringLiteral("menuBar"));
    fileMenu->addActions({chartList->actChartList, overview->actOverview, printing->actSavePdf,
                          chartList->actExportCsv, backup->actBackup, backup->actRestore});
    fileMenu->addSeparator();
    fileMenu->addActions({shopRecords->actRecordBook, shopRecords->actYearlyReport});
    fileMenu->addSeparator();
    fileMenu->addAction(actQuit);

    // 新規入力 without the mouse; off with its button in direct entry, like the whole menu.
    actNewEntry->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    chartMenu->addActions({actNewEntry, sale->actSell, sale->actUnsell, sale->actLeave, sale->actReturn});
    chartMenu->addSeparator();
    chartMenu->addActions({sale->actSaleInfo, sale->actExplanation, sale->actExplanationPdf});

    dataMenu->addActions({shopRecords->actBreedInfo, shopRecords->actSaleLedger, shopRecords->actDealerInfo});

    actHelp->setShortcut(QKeySequence(Qt::Key_F1));
    helpMenu->addActions({actHelp, actAbout});
}
