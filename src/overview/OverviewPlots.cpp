#include "overview/OverviewPlots.h"

#include "overview/OverviewSheets.h"
#include "overview/PlotModule.h"
#include "store/Failure.h"
#include "store/ModuleFolders.h"
#include "widgets/Look.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

#include <algorithm>
#include <memory>

namespace {

const QColor RevenueColour(70, 130, 180);
const QColor MarginColour(240, 150, 50);
const QColor StockColour(60, 150, 90);
const QColor NoteColour(190, 0, 0);

// Loaded with the first plot and kept for the rest of the run. A module that cannot be loaded is
// tried again with the next plot.
PlotModule& plotModule()
{
    static std::unique_ptr<QPluginLoader> loader;
    if (loader)
        return *qobject_cast<PlotModule*>(loader->instance());
    QStringList errors;
    for (const QString& dir : moduleFolders()) {
        auto candidate =
            std::make_unique<QPluginLoader>(QDir(dir).filePath(QStringLiteral("soranika_plots")));
        if (qobject_cast<PlotModule*>(candidate->instance())) {
            loader = std::move(candidate);
            return *qobject_cast<PlotModule*>(loader->instance());
        }
        errors.append(candidate->errorString());
    }
    qWarning("%s", qUtf8Printable(errors.join(QLatin1Char('\n'))));
    throw Failure(QStringLiteral("グラフを表示するための部品 (soranika_plots) を読み込めません。"
                                 "ソラニカをインストールし直してください。"));
}

// 「2026/07 価格なし 1 件　2026/11 価格なし 2 件」: the sales the bars leave out for want of a price.
QString unpricedNote(const QList<MonthFigures>& months)
{
    QStringList parts;
    for (const MonthFigures& month : months)
        if (month.soldUnpriced > 0)
            parts.append(
                QStringLiteral("%1 価格なし %2 件").arg(monthName(month.month)).arg(month.soldUnpriced));
    return parts.join(QStringLiteral("　"));
}

PlotContent salesContent(const QList<MonthFigures>& months)
{
    PlotContent content;
    content.title = QStringLiteral("売上と粗利（万円） %1").arg(periodText(months));
    content.note = unpricedNote(months);
    PlotSeries revenue{QStringLiteral("revenue"), QStringLiteral("売上"), RevenueColour, {}, true};
    PlotSeries margin{QStringLiteral("margin"), QStringLiteral("粗利"), MarginColour, {}, true};
    for (const MonthFigures& month : months) {
        revenue.values.append(double(month.revenue) / 10000);
        margin.values.append(double(month.margin) / 10000);
    }
    content.series = {revenue, margin};
    content.unit = QStringLiteral("万円");
    // A margin below cost takes the axis under zero; a year without sales still has a scale.
    double lowest = 0;
    double highest = 0;
    for (const PlotSeries& series : content.series)
        for (double value : series.values) {
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
    content.lowest = lowest * 1.1;
    content.highest = std::max(highest * 1.1, 1.0);
    return content;
}

PlotContent stockContent(const QList<MonthFigures>& months)
{
    PlotContent content;
    content.title = QStringLiteral("月末の在庫（頭） %1").arg(periodText(months));
    PlotSeries stock{QStringLiteral("stockAtEnd"), QStringLiteral("月末在庫"), StockColour, {}, false};
    int highest = 0;
    for (const MonthFigures& month : months) {
        stock.values.append(month.stockAtEnd);
        highest = std::max(highest, month.stockAtEnd);
    }
    content.series = {stock};
    content.unit = QStringLiteral("頭");
    content.highest = std::max(highest, 4) * 1.1;
    content.wholeNumbers = true;
    return content;
}

PlotContent contentOf(Plot plot, const QList<MonthFigures>& months)
{
    PlotContent content = plot == Plot::Sales ? salesContent(months) : stockContent(months);
    for (const MonthFigures& month : months)
        content.keys.append(QStringLiteral("%1月").arg(month.month.month()));
    content.titleFont = gothicFont(10, true);
    content.noteFont = gothicFont(9);
    content.noteColour = NoteColour;
    content.labelFont = gothicFont(8);
    content.legendFont = gothicFont(9);
    return content;
}

} // namespace

QWidget* newPlotView(QWidget* parent, const char* name)
{
    return plotModule().newView(parent, QString::fromLatin1(name));
}

void showPlot(QWidget* view, Plot plot, const QList<MonthFigures>& months)
{
    plotModule().show(view, contentOf(plot, months));
}

void paintPlot(QPainter& painter, const QRectF& area, Plot plot, const QList<MonthFigures>& months)
{
    plotModule().paint(painter, area, contentOf(plot, months));
}
