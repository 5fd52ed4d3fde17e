#include "overview/OverviewPlots.h"

#include "overview/OverviewSheets.h"
#include "platform/Look.h"

#include <QFontMetricsF>
#include <QPainter>

#include <qcustomplot.h>

#include <algorithm>
#include <numeric>

namespace {

// The size a plot is laid out at on paper before it is scaled to its area: about its size on the screen.
const QSize PrintedSize(800, 420);

const QColor RevenueColour(70, 130, 180);
const QColor MarginColour(240, 150, 50);
const QColor StockColour(60, 150, 90);
const QColor NoteColour(190, 0, 0);

QCPTextElement* textRow(QCustomPlot& plot, int row, const char* name, const QFont& font)
{
    auto* text = new QCPTextElement(&plot, QString(), font);
    text->setObjectName(QString::fromLatin1(name));
    plot.plotLayout()->insertRow(row);
    plot.plotLayout()->addElement(row, 0, text);
    return text;
}

// The frame every plot shares, made once for each view: the title above the axes, the legend in one
// row below them, and under it the note of the sales the figures leave out.
void lay(QCustomPlot& plot)
{
    if (plot.findChild<QCPTextElement*>(QStringLiteral("title")) != nullptr)
        return;
    textRow(plot, 0, "title", gothicFont(10, true));
    plot.legend->setVisible(true);
    plot.legend->setFont(gothicFont(9));
    plot.legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot.legend->setBorderPen(Qt::NoPen);
    plot.axisRect()->insetLayout()->take(plot.legend);
    // Centred below the axes: empty room either side takes what the legend does not need.
    auto* legendRow = new QCPLayoutGrid;
    plot.plotLayout()->addElement(2, 0, legendRow);
    legendRow->addElement(0, 0, new QCPLayoutElement(&plot));
    legendRow->addElement(0, 1, plot.legend);
    legendRow->addElement(0, 2, new QCPLayoutElement(&plot));
    legendRow->setColumnStretchFactors({1, 0.001, 1});
    plot.plotLayout()->setRowStretchFactor(2, 0.001);
    QCPTextElement* note = textRow(plot, 3, "note", gothicFont(9));
    note->setTextColor(NoteColour);
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        axis->setTickLabelFont(gothicFont(8));
        axis->setLabelFont(gothicFont(8));
    }
    plot.xAxis->grid()->setVisible(false);
}

// The months on the axis below, one tick each, named by their number.
void nameMonths(QCustomPlot& plot, const QList<MonthFigures>& months)
{
    QSharedPointer<QCPAxisTickerText> ticker(new QCPAxisTickerText);
    for (int index = 0; index < months.size(); ++index)
        ticker->addTick(index, QStringLiteral("%1月").arg(months[index].month.month()));
    plot.xAxis->setTicker(ticker);
    plot.xAxis->setRange(-0.5, std::max<qsizetype>(months.size(), 1) - 0.5);
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

QCPBars* newBars(QCustomPlot& plot, QCPBarsGroup* group, const char* name, const QString& label,
                 const QColor& colour, const QVector<double>& values)
{
    auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
    bars->setObjectName(QString::fromLatin1(name));
    bars->setName(label);
    bars->setWidth(0.38);
    bars->setBarsGroup(group);
    bars->setPen(QPen(colour.darker(130)));
    bars->setBrush(colour);
    QVector<double> keys(values.size());
    std::iota(keys.begin(), keys.end(), 0.0);
    bars->setData(keys, values, true);
    return bars;
}

void drawSales(QCustomPlot& plot, const QList<MonthFigures>& months)
{
    QVector<double> revenue;
    QVector<double> margin;
    for (const MonthFigures& month : months) {
        revenue.append(double(month.revenue) / 10000);
        margin.append(double(month.margin) / 10000);
    }
    auto* group = new QCPBarsGroup(&plot);
    group->setSpacing(1);
    newBars(plot, group, "revenue", QStringLiteral("売上"), RevenueColour, revenue);
    newBars(plot, group, "margin", QStringLiteral("粗利"), MarginColour, margin);
    // A margin below cost takes the axis under zero; a year without sales still has a scale.
    double lowest = 0;
    double highest = 0;
    for (const QVector<double>* values : {&revenue, &margin})
        for (double value : *values) {
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
    plot.yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    plot.yAxis->setNumberFormat(QStringLiteral("f"));
    plot.yAxis->setNumberPrecision(highest - lowest < 5 ? 1 : 0);
    plot.yAxis->setRange(lowest < 0 ? lowest * 1.1 : 0, std::max(highest * 1.1, 1.0));
    plot.yAxis->setLabel(QStringLiteral("万円"));
}

void drawStock(QCustomPlot& plot, const QList<MonthFigures>& months)
{
    QVector<double> keys;
    QVector<double> values;
    int highest = 0;
    for (int index = 0; index < months.size(); ++index) {
        keys.append(index);
        values.append(months[index].stockAtEnd);
        highest = std::max(highest, months[index].stockAtEnd);
    }
    QCPGraph* line = plot.addGraph();
    line->setObjectName(QStringLiteral("stockAtEnd"));
    line->setName(QStringLiteral("月末在庫"));
    line->setPen(QPen(StockColour, 2));
    line->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, StockColour, 6));
    line->setData(keys, values, true);
    // Whole animals: ticks on whole numbers only.
    QSharedPointer<QCPAxisTickerFixed> ticker(new QCPAxisTickerFixed);
    ticker->setTickStep(1);
    ticker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
    plot.yAxis->setTicker(ticker);
    plot.yAxis->setNumberFormat(QStringLiteral("f"));
    plot.yAxis->setNumberPrecision(0);
    plot.yAxis->setRange(0, std::max(highest, 4) * 1.1);
    plot.yAxis->setLabel(QStringLiteral("頭"));
}

void draw(QCustomPlot& plot, Plot which, const QList<MonthFigures>& months)
{
    lay(plot);
    plot.clearPlottables();
    for (QCPBarsGroup* group : plot.findChildren<QCPBarsGroup*>())
        delete group;
    const bool sales = which == Plot::Sales;
    const QString title = sales ? QStringLiteral("売上と粗利（万円）") : QStringLiteral("月末の在庫（頭）");
    plot.findChild<QCPTextElement*>(QStringLiteral("title"))
        ->setText(QStringLiteral("%1 %2").arg(title, periodText(months)));
    plot.findChild<QCPTextElement*>(QStringLiteral("note"))
        ->setText(sales ? unpricedNote(months) : QString());
    nameMonths(plot, months);
    if (sales)
        drawSales(plot, months);
    else
        drawStock(plot, months);
}

} // namespace

QWidget* newPlotView(QWidget* parent, const char* name)
{
    auto* view = new QCustomPlot(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setMinimumSize(420, 260);
    return view;
}

void showPlot(QWidget* view, Plot plot, const QList<MonthFigures>& months)
{
    auto* customPlot = static_cast<QCustomPlot*>(view);
    draw(*customPlot, plot, months);
    customPlot->replot();
}

void paintPlot(QPainter& painter, const QRectF& area, Plot plot, const QList<MonthFigures>& months)
{
    QCustomPlot drawn;
    draw(drawn, plot, months);
    // The title and the note go onto the page as text, so the page reads back; the axes, bars and lines
    // as a picture at three times the screen's size. QCustomPlot's clipping loses its texts when its
    // drawing is recorded and replayed at another scale.
    const auto takeText = [&](const char* name) {
        auto* element = drawn.findChild<QCPTextElement*>(QString::fromLatin1(name));
        const QString text = element->text();
        drawn.plotLayout()->remove(element);
        drawn.plotLayout()->simplify();
        return text;
    };
    const QString title = takeText("title");
    const QString note = takeText("note");
    painter.save();
    const QFont titleFont = gothicFont(10, true);
    const QFont noteFont = gothicFont(9);
    const double titleHeight = QFontMetricsF(titleFont, painter.device()).height() * 1.5;
    const double noteHeight = note.isEmpty() ? 0 : QFontMetricsF(noteFont, painter.device()).height() * 1.5;
    const QRectF frame(area.left(), area.top() + titleHeight, area.width(),
                       area.height() - titleHeight - noteHeight);
    const double scale = std::min(frame.width() / PrintedSize.width(), frame.height() / PrintedSize.height());
    const QSizeF size = QSizeF(PrintedSize) * scale;
    const QRectF target(frame.left() + (frame.width() - size.width()) / 2, frame.top(), size.width(),
                        size.height());
    painter.setFont(titleFont);
    painter.drawText(QRectF(target.left(), area.top(), target.width(), titleHeight), Qt::AlignCenter, title);
    painter.drawPixmap(target, drawn.toPixmap(PrintedSize.width(), PrintedSize.height(), 3),
                       QRectF(QPointF(0, 0), QSizeF(PrintedSize) * 3));
    if (!note.isEmpty()) {
        painter.setFont(noteFont);
        painter.setPen(NoteColour);
        painter.drawText(QRectF(target.left(), target.bottom(), target.width(), noteHeight), Qt::AlignCenter,
                         note);
    }
    painter.restore();
}
