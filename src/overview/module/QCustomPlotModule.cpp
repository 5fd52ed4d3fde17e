#include "overview/PlotModule.h"

#include <QFontMetricsF>
#include <QObject>
#include <QPainter>

#include <qcustomplot.h>

#include <algorithm>
#include <numeric>

namespace {

// The size a plot is laid out at on paper before it is scaled to its area: about its size on the screen.
const QSize PrintedSize(800, 420);

QCPTextElement* textRow(QCustomPlot& plot, int row, const char* name)
{
    auto* text = new QCPTextElement(&plot);
    text->setObjectName(QString::fromLatin1(name));
    plot.plotLayout()->insertRow(row);
    plot.plotLayout()->addElement(row, 0, text);
    return text;
}

// The frame every plot shares, made once for each view: the title above the axes, the legend centred
// in one row below them, and under it the note.
void lay(QCustomPlot& plot)
{
    if (plot.findChild<QCPTextElement*>(QStringLiteral("title")) != nullptr)
        return;
    textRow(plot, 0, "title");
    plot.legend->setVisible(true);
    plot.legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot.legend->setBorderPen(Qt::NoPen);
    plot.axisRect()->insetLayout()->take(plot.legend);
    // Empty room either side takes what the legend does not need.
    auto* legendRow = new QCPLayoutGrid;
    plot.plotLayout()->addElement(2, 0, legendRow);
    legendRow->addElement(0, 0, new QCPLayoutElement(&plot));
    legendRow->addElement(0, 1, plot.legend);
    legendRow->addElement(0, 2, new QCPLayoutElement(&plot));
    legendRow->setColumnStretchFactors({1, 0.001, 1});
    plot.plotLayout()->setRowStretchFactor(2, 0.001);
    textRow(plot, 3, "note");
    plot.xAxis->grid()->setVisible(false);
}

void draw(QCustomPlot& plot, const PlotSpec& spec)
{
    lay(plot);
    plot.clearPlottables();
    for (QCPBarsGroup* group : plot.findChildren<QCPBarsGroup*>())
        delete group;
    auto* title = plot.findChild<QCPTextElement*>(QStringLiteral("title"));
    title->setFont(spec.titleFont);
    title->setText(spec.title);
    auto* note = plot.findChild<QCPTextElement*>(QStringLiteral("note"));
    note->setFont(spec.noteFont);
    note->setTextColor(spec.noteColour);
    note->setText(spec.note);
    plot.legend->setFont(spec.legendFont);
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        axis->setTickLabelFont(spec.labelFont);
        axis->setLabelFont(spec.labelFont);
    }

    QSharedPointer<QCPAxisTickerText> keys(new QCPAxisTickerText);
    for (int index = 0; index < spec.keys.size(); ++index)
        keys->addTick(index, spec.keys[index]);
    plot.xAxis->setTicker(keys);
    plot.xAxis->setRange(-0.5, std::max<qsizetype>(spec.keys.size(), 1) - 0.5);

    auto* group = new QCPBarsGroup(&plot);
    group->setSpacing(1);
    for (const PlotSeries& series : spec.series) {
        QVector<double> positions(series.values.size());
        std::iota(positions.begin(), positions.end(), 0.0);
        QCPAbstractPlottable* plottable = nullptr;
        if (series.bars) {
            auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
            bars->setWidth(0.38);
            bars->setBarsGroup(group);
            bars->setPen(QPen(series.colour.darker(130)));
            bars->setBrush(series.colour);
            bars->setData(positions, series.values, true);
            plottable = bars;
        } else {
            QCPGraph* line = plot.addGraph();
            line->setPen(QPen(series.colour, 2));
            line->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, series.colour, 6));
            line->setData(positions, series.values, true);
            plottable = line;
        }
        plottable->setObjectName(series.objectName);
        plottable->setName(series.name);
    }

    if (spec.wholeNumbers) {
        QSharedPointer<QCPAxisTickerFixed> ticker(new QCPAxisTickerFixed);
        ticker->setTickStep(1);
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
        plot.yAxis->setTicker(ticker);
        plot.yAxis->setNumberPrecision(0);
    } else {
        plot.yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
        plot.yAxis->setNumberPrecision(spec.highest - spec.lowest < 5 ? 1 : 0);
    }
    plot.yAxis->setNumberFormat(QStringLiteral("f"));
    plot.yAxis->setRange(spec.lowest, spec.highest);
    plot.yAxis->setLabel(spec.unit);
}

} // namespace

class QCustomPlotModule final : public QObject, public PlotModule
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoranikaPlotModule_iid)
    Q_INTERFACES(PlotModule)
public:
    QWidget* newView(QWidget* parent, const QString& name) override
    {
        auto* view = new QCustomPlot(parent);
        view->setObjectName(name);
        view->setMinimumSize(420, 260);
        return view;
    }

    void show(QWidget* view, const PlotSpec& spec) override
    {
        auto* plot = static_cast<QCustomPlot*>(view);
        draw(*plot, spec);
        plot->replot();
    }

    // The title and the note go onto the page as text, so the page reads back; the axes, bars and lines
    // as a picture at three times the screen's size. QCustomPlot's clipping loses its texts when its
    // drawing is recorded and replayed at another scale.
    void paint(QPainter& painter, const QRectF& area, const PlotSpec& spec) override
    {
        QCustomPlot drawn;
        PlotSpec withoutTexts = spec;
        withoutTexts.title.clear();
        withoutTexts.note.clear();
        draw(drawn, withoutTexts);
        for (const char* name : {"title", "note"})
            drawn.plotLayout()->remove(drawn.findChild<QCPTextElement*>(QString::fromLatin1(name)));
        drawn.plotLayout()->simplify();

        painter.save();
        const double titleHeight = QFontMetricsF(spec.titleFont, painter.device()).height() * 1.5;
        const double noteHeight =
            spec.note.isEmpty() ? 0 : QFontMetricsF(spec.noteFont, painter.device()).height() * 1.5;
        const QRectF frame(area.left(), area.top() + titleHeight, area.width(),
                           area.height() - titleHeight - noteHeight);
        const double scale =
            std::min(frame.width() / PrintedSize.width(), frame.height() / PrintedSize.height());
        const QSizeF size = QSizeF(PrintedSize) * scale;
        const QRectF target(frame.left() + (frame.width() - size.width()) / 2, frame.top(), size.width(),
                            size.height());
        painter.setFont(spec.titleFont);
        painter.drawText(QRectF(target.left(), area.top(), target.width(), titleHeight), Qt::AlignCenter,
                         spec.title);
        painter.drawPixmap(target, drawn.toPixmap(PrintedSize.width(), PrintedSize.height(), 3),
                           QRectF(QPointF(0, 0), QSizeF(PrintedSize) * 3));
        if (!spec.note.isEmpty()) {
            painter.setFont(spec.noteFont);
            painter.setPen(spec.noteColour);
            painter.drawText(QRectF(target.left(), target.bottom(), target.width(), noteHeight),
                             Qt::AlignCenter, spec.note);
        }
        painter.restore();
    }
};

#include "QCustomPlotModule.moc"
