#include "chartlist/ChartListMenu.h"

#include "app/Notices.h"
#include "app/ScreenContext.h"
#include "app/ShownChart.h"
#include "chartlist/ChartList.h"
#include "platform/Clock.h"
#include "platform/RunningHandlers.h"
#include "store/AnimalOutcomes.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "widgets/FailureReport.h"


#include <memory>

ChartListMenu::ChartListMenu(ScreenContext& context, ShownChart& chart, QObject* parent)
    : QObject(parent), actChartList(menuAction(this, "actChartList", QStringLiteral("カルテ一覧(&L)..."),
                                               &ChartListMenu::openChartList)),
      actExportCsv(menuAction(this, "actExportCsv", QStringLiteral("CSVに書き出す(&E)..."),
                              &ChartListMenu::exportAllCharts)),
      context(context), chart(chart)
{
    actChartList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
}

void ChartListMenu::openChartList()
{
    if (!chart.applyTypedRecordNumber())
        return;
    const QMap<qint32, QString> chips = microchipNumbers();
    const QMap<qint32, ChartOutcomeFigures> outcomes = outcomeFigures();
    std::unique_ptr<ChartList> list;
    if (!reportFailures(context.messages, chart.chartWindow(), [&] {
            list = std::make_unique<ChartList>(context.records.fileName(), chips, outcomes,
                                               context.chartListView, context.messages, context.files,
                                               context.clock.now().date(), chart.chartWindow());
        }))
        return;
    connect(list.get(), &ChartList::csvWritten, this,
            [this](const QString& path) { chart.showWritten(Notices::CsvWritten, path); });
    const HandlerScope running; // the list runs its own event loop
    if (list->exec() == QDialog::Accepted)
        chart.chooseChart(list->chosenRecord());
}

void ChartListMenu::exportAllCharts()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QList<QStringList> rows;
    const QMap<qint32, QString> chips = microchipNumbers();
    const QMap<qint32, ChartOutcomeFigures> outcomes = outcomeFigures();
    if (!reportFailures(context.messages, chart.chartWindow(),
                        [&] { rows = allChartRows(context.records.fileName(), chips, outcomes); }))
        return;
    const QString written = exportChartsToCsv(rows, context.messages, context.files,
                                              context.clock.now().date(), chart.chartWindow());
    if (!written.isEmpty())
        chart.showWritten(Notices::CsvWritten, written);
}

// The charts' microchip numbers for the list; when the sale information cannot be read the user
// is told, and the list opens without them.
QMap<qint32, QString> ChartListMenu::microchipNumbers()
{
    QMap<qint32, QString> chips;
    // Looking does not create the file: a shop that never entered sale information has none.
    if (!context.database.exists())
        return chips;
    reportFailures(context.messages, chart.chartWindow(), [&] {
        const QMap<qint32, ChartSale> sales = context.database.sales().chartSales();
        for (auto sale = sales.cbegin(); sale != sales.cend(); ++sale) {
            if (!sale->microchip.isEmpty())
                chips.insert(sale.key(), sale->microchip);
        }
    });
    return chips;
}

// What became of the animals, for the chart list; when it cannot be read the user is told, and the
// list opens with the statuses the charts' own 販売日 give.
QMap<qint32, ChartOutcomeFigures> ChartListMenu::outcomeFigures()
{
    QMap<qint32, ChartOutcomeFigures> figures;
    if (!context.database.exists())
        return figures;
    reportFailures(context.messages, chart.chartWindow(), [&] {
        for (const AnimalOutcome& outcome : context.database.outcomes().outcomes()) {
            if (outcome.recordNumber > 0)
                figures.insert(outcome.recordNumber,
                               {outcome.status(), outcome.sale ? outcome.sale->price : std::nullopt});
        }
    });
    return figures;
}
