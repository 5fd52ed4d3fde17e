#include "overview/OverviewPlots.h"

#include "overview/OverviewSheets.h"
#include "platform/Look.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

namespace {

QChart* newChart(const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(gothicFont(10, true));
    chart->legend()->setFont(gothicFont(9));
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QBarCategoryAxis* monthAxis(const QList<MonthFigures>& months)
{
    auto* axis = new QBarCategoryAxis;
    for (const MonthFigures& month : months)
        axis->append(QString::number(month.month.month()));
    axis->setLabelsFont(gothicFont(8));
    return axis;
}

QValueAxis* countAxis(const QString& format)
{
    auto* axis = new QValueAxis;
    axis->setLabelFormat(format);
    axis->setLabelsFont(gothicFont(8));
    return axis;
}

// The series over the months, against `values` on the left.
void addWithAxes(QChart* chart, QAbstractSeries* series, const QList<MonthFigures>& months,
                 QValueAxis* values)
{
    chart->addSeries(series);
    QBarCategoryAxis* x = monthAxis(months);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(values);
    values->applyNiceNumbers();
}

// Draws a plot into `area` of a printed page at the size it has on the screen, scaled to fit; the
// plot is deleted with the scene.
void paintChart(QPainter& painter, const QRectF& area, QChart* chart)
{
    QGraphicsScene scene;
    scene.addItem(chart);
    const QSizeF size(800, 420);
    chart->resize(size);
    const double scale = qMin(area.width() / size.width(), area.height() / size.height());
    scene.render(&painter, QRectF(area.topLeft(), size * scale), QRectF(QPointF(0, 0), size));
}

QChart* newSalesChart(const QList<MonthFigures>& months)
{
    QChart* chart = newChart(QStringLiteral("売上と粗利（万円） %1").arg(periodText(months)));
    auto* revenue = new QBarSet(QStringLiteral("売上"));
    auto* margin = new QBarSet(QStringLiteral("粗利"));
    for (const MonthFigures& month : months) {
        revenue->append(double(month.revenue) / 10000);
        margin->append(double(month.margin) / 10000);
    }
    auto* series = new QBarSeries;
    series->append(revenue);
    series->append(margin);
    addWithAxes(chart, series, months, countAxis(QStringLiteral("%.0f")));
    return chart;
}

QChart* newStockChart(const QList<MonthFigures>& months)
{
    QChart* chart = newChart(QStringLiteral("月末の在庫（頭） %1").arg(periodText(months)));
    auto* series = new QLineSeries;
    series->setName(QStringLiteral("月末在庫"));
    series->setPointsVisible(true);
    int highest = 0;
    for (int index = 0; index < months.size(); ++index) {
        series->append(index, months[index].stockAtEnd);
        highest = qMax(highest, months[index].stockAtEnd);
    }
    QValueAxis* y = countAxis(QStringLiteral("%d"));
    y->setRange(0, qMax(highest, 4));
    addWithAxes(chart, series, months, y);
    return chart;
}

QChart* newChartOf(Plot plot, const QList<MonthFigures>& months)
{
    return plot == Plot::Sales ? newSalesChart(months) : newStockChart(months);
}

} // namespace

QWidget* newPlotView(QWidget* parent, const char* name)
{
    auto* view = new QChartView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(420, 260);
    return view;
}

void showPlot(QWidget* view, Plot plot, const QList<MonthFigures>& months)
{
    auto* chartView = static_cast<QChartView*>(view);
    QChart* before = chartView->chart();
    chartView->setChart(newChartOf(plot, months));
    // A chart view lets go of the chart it showed without deleting it.
    delete before;
}

void paintPlot(QPainter& painter, const QRectF& area, Plot plot, const QList<MonthFigures>& months)
{
    paintChart(painter, area, newChartOf(plot, months));
}
